#pragma once

#include <QString>
#include <QStringList>

#include <functional>
#include <memory>

class TIniText;

// The values of an ini file as they were when it was read: one read and one parse
// for any number of look-ups, under the rules of TIniFile's reads (below). An empty
// name, a missing or an unreadable file, one that is no plain file (a pipe, a device)
// and one larger than nMaxBytes have no values, so every read gives its default.
class TIniValues final
{
public:
    // Settings files and term.cfg files hold a few kilobytes.
    static constexpr qint64 nMaxBytesDefault = 1024 * 1024;

    explicit TIniValues(const QString& sFileName, qint64 nMaxBytes = nMaxBytesDefault);
    ~TIniValues();
    Q_DISABLE_COPY_MOVE(TIniValues)

    QString ReadString(const QString& sSection, const QString& sKey, const QString& sDefault) const;
    int ReadInteger(const QString& sSection, const QString& sKey, int nDefault) const;
    bool ReadBool(const QString& sSection, const QString& sKey, bool bDefault) const;
    // The key names of [sSection] in file order, each once (the first spelling of
    // duplicates); empty when the section is missing.
    QStringList Keys(const QString& sSection) const;

private:
    std::unique_ptr<const TIniText> text;
};

// An ini file as Windows reads and writes it, so that the supervisor and this
// program can share files: section and key names compare without regard to letter
// case, values are taken literally (backslashes and quotes included, blanks around
// them trimmed), and the first of duplicate sections or keys wins. The text is
// decoded like every text file of the program (TTextDecode): a mark, else UTF-8
// when valid, else Windows-1252.
//
// Every call works on the file as it is on disk at that moment; nothing is cached,
// so what another program wrote meanwhile is seen and survives. A caller that reads
// many keys at one moment reads them from one TIniValues instead. A write changes only
// the one key's line (or appends the key to its section, or the section and key at
// the end), keeping every other byte of the file: comments, blank lines, order, line
// endings and encoding. A new file is UTF-8 with CR LF; a file without a line ending
// yet gets CR LF; a Windows-1252 file becomes UTF-8 as a whole only when a value
// holds a character that code page lacks, since anything else would lose it.
// Writes go to a temporary file beside the target that then replaces it, so a crash
// or a full disk never leaves a truncated file; what another program wrote to the
// file while ours was being written is kept (see WriteString in inifile.cpp).
class TIniFile final
{
public:
    explicit TIniFile(QString sFileName, qint64 nMaxFileBytes = TIniValues::nMaxBytesDefault);

    const QString& FileName() const { return sFile; }

    // The value of [sSection] sKey, or sDefault when the file, section or key is missing.
    QString ReadString(const QString& sSection, const QString& sKey, const QString& sDefault) const;
    // A decimal integer (optional sign, blanks around); sDefault when missing or not an integer.
    int ReadInteger(const QString& sSection, const QString& sKey, int nDefault) const;
    // Read as an integer: non-zero is true, 0 false, anything else the default.
    bool ReadBool(const QString& sSection, const QString& sKey, bool bDefault) const;

    // Each write throws EWriteError when the file cannot be written, and when a file
    // is there that cannot be read whole (a pipe, more than the limit): writing
    // would lose what it holds.
    void WriteString(const QString& sSection, const QString& sKey, const QString& sValue) const;
    void WriteInteger(const QString& sSection, const QString& sKey, int nValue) const;
    void WriteBool(const QString& sSection, const QString& sKey, bool bValue) const;

    // For tests: fn runs in every write after the new contents were written beside
    // the file and before they replace it, the moment another program's write must
    // not be lost. An empty function turns it off.
    static void SetBeforeReplaceHook(std::function<void()> fn);

private:
    QString sFile;
    qint64 nMaxBytes;
};
