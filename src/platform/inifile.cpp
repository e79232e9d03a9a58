#include "platform/inifile.h"

#include "platform/platform.h"
#include "platform/textdecode.h"
#include "platform/writeerror.h"

#include <QFileInfo>
#include <QTemporaryFile>

#include <algorithm>
#include <filesystem>
#include <optional>
#include <system_error>
#include <utility>
#include <vector>

#ifdef Q_OS_UNIX
#include <cerrno>
#include <cstdio>
#include <fcntl.h>
#include <unistd.h>
#endif

namespace {

bool IsBlank(QChar c)
{
    return c == u' ' || c == u'\t';
}

QStringView TrimBlanks(QStringView s)
{
    qsizetype i = 0;
    qsizetype j = s.size();
    while (i < j && IsBlank(s[i]))
        ++i;
    while (j > i && IsBlank(s[j - 1]))
        --j;
    return s.sliced(i, j - i);
}

bool SameName(QStringView sA, const QString& sB)
{
    return QStringView(sB).compare(sA, Qt::CaseInsensitive) == 0;
}

// Called before each replacement of a file, for the tests of concurrent writes.
std::function<void()>& BeforeReplaceHook()
{
    static std::function<void()> fn;
    return fn;
}

// A file that keeps changing under every write is given up after this many rounds.
constexpr int nMaxWriteRounds = 10;

// The file as it is now; none when there is none. Something there that cannot be
// read whole (a pipe, more than the limit) throws: replacing it would lose it.
std::optional<QByteArray> ReadCurrent(const QString& sFile, qint64 nMaxBytes)
{
    std::optional<QByteArray> ba = TPlatform::ReadPlainFile(sFile, nMaxBytes);
    if (!ba && QFileInfo(sFile).exists())
        throw EWriteError(sFile);
    return ba;
}

std::filesystem::path FsPath(const QString& s)
{
#ifdef Q_OS_WIN
    return std::filesystem::path(s.toStdWString());
#else
    return std::filesystem::path(QFile::encodeName(s).toStdString());
#endif
}

QFileDevice::Permissions NewFilePermissions()
{
    return QFileDevice::ReadOwner | QFileDevice::WriteOwner | QFileDevice::ReadUser | QFileDevice::WriteUser |
           QFileDevice::ReadGroup | QFileDevice::ReadOther;
}

// The new contents reach the disk before they replace the old, so that a crash
// leaves the one or the other, never an empty file.
void SyncToDisk(QFileDevice& f)
{
#ifdef Q_OS_UNIX
    ::fsync(f.handle());
#else
    Q_UNUSED(f);
#endif
}

} // namespace

// The file's text cut into lines, each knowing where it lies, so that a write can
// splice one line into the untouched rest. The text is decoded by the program's one
// rule for text files and written back in the encoding it was found in.
class TIniText final
{
public:
    explicit TIniText(const QByteArray& ba) : baFile(ba)
    {
        TTextDecode::TDecoded dec = TTextDecode::DecodeKeeping(ba);
        s = std::move(dec.sText);
        enc = dec.enc;
        for (qsizetype i = 0; i < s.size();) {
            TLine line;
            line.nStart = i;
            qsizetype j = i;
            while (j < s.size() && s[j] != u'\n' && s[j] != u'\r')
                ++j;
            line.nLen = j - i;
            if (j < s.size())
                line.nEolLen = (s[j] == u'\r' && j + 1 < s.size() && s[j + 1] == u'\n') ? 2 : 1;
            Classify(line);
            i = j + line.nEolLen;
            aLines.push_back(line);
        }
        MapLineBytes();
    }

    std::optional<QString> Value(const QString& sSection, const QString& sKey) const
    {
        const int iKey = FindKey(FindSection(sSection), sKey);
        if (iKey < 0)
            return std::nullopt;
        return Part(aLines[size_t(iKey)].nValue, aLines[size_t(iKey)].nValueLen).toString();
    }

    // The names of a section's keys in file order, each once.
    QStringList Keys(const QString& sSection) const
    {
        QStringList sl;
        const int iSection = FindSection(sSection);
        if (iSection < 0)
            return sl;
        for (size_t i = size_t(iSection) + 1; i < aLines.size() && aLines[i].kind != ELineKind::Section;
             ++i) {
            if (aLines[i].kind != ELineKind::Key)
                continue;
            const QString sName = Name(aLines[i]).toString();
            if (!sl.contains(sName, Qt::CaseInsensitive))
                sl.append(sName);
        }
        return sl;
    }

    // The file's bytes with the key set: the one line written in the file's own
    // encoding and spliced into the file's bytes, so that every other byte stays as it
    // was, even one that is not valid in that encoding (a Windows-1252 byte after a
    // UTF-8 mark, a byte left over at the end of a UTF-16 file). The whole file
    // becomes UTF-8 only when its encoding has no byte for a character (Windows-1252
    // and a value in another script) or when its bytes would then read as UTF-8;
    // in the file's line ending, CR LF when it has none yet.
    QByteArray WithValue(const QString& sSection, const QString& sKey, const QString& sValue) const
    {
        const TEdit edit = EditFor(sSection, sKey, sValue);
        QString sText = s;
        sText.replace(edit.nFrom, edit.nLen, edit.sInsert);
        const std::optional<qsizetype> nFrom = ByteOf(edit.nFrom);
        const std::optional<qsizetype> nTo = ByteOf(edit.nFrom + edit.nLen);
        const std::optional<QByteArray> baInsert = EncodeBare(edit.sInsert);
        if (nFrom && nTo && baInsert) {
            QByteArray ba = baFile;
            ba.replace(*nFrom, *nTo - *nFrom, *baInsert);
            if (ReadsAs(ba, sText))
                return ba;
        }
        if (std::optional<QByteArray> ba = TTextDecode::Encode(sText, enc); ba && ReadsAs(*ba, sText))
            return *ba;
        return sText.toUtf8();
    }

private:
    enum class ELineKind
    {
        Other,
        Section,
        Key
    };

    struct TLine
    {
        qsizetype nStart = 0;  // first character of the line's text
        qsizetype nLen = 0;    // characters of text, line ending excluded
        qsizetype nEolLen = 0; // 0 on a last line without line ending
        ELineKind kind = ELineKind::Other;
        qsizetype nName = 0; // section or key name, blanks trimmed
        qsizetype nNameLen = 0;
        qsizetype nValue = 0; // key value, blanks trimmed
        qsizetype nValueLen = 0;
    };

    // A change of the text: nLen characters from nFrom replaced by sInsert.
    struct TEdit
    {
        qsizetype nFrom = 0;
        qsizetype nLen = 0;
        QString sInsert;
    };

    QStringView Part(qsizetype nStart, qsizetype nLen) const { return QStringView(s).sliced(nStart, nLen); }
    QStringView Name(const TLine& line) const { return Part(line.nName, line.nNameLen); }

    QString Eol() const
    {
        if (s.contains(u"\r\n"))
            return QStringLiteral("\r\n");
        if (s.contains(u'\n'))
            return QStringLiteral("\n");
        if (s.contains(u'\r'))
            return QStringLiteral("\r");
        return QStringLiteral("\r\n");
    }

    TEdit EditFor(const QString& sSection, const QString& sKey, const QString& sValue) const
    {
        const QString sEol = Eol();
        const int iSection = FindSection(sSection);
        if (iSection < 0) {
            const QString sNew = u'[' + sSection + u']' + sEol + sKey + u'=' + sValue;
            // A file without a final line ending keeps that shape.
            if (!aLines.empty() && aLines.back().nEolLen == 0)
                return {s.size(), 0, sEol + sNew};
            return {s.size(), 0, sNew + sEol};
        }
        const int iKey = FindKey(iSection, sKey);
        if (iKey >= 0) {
            const TLine& line = aLines[size_t(iKey)];
            return {line.nStart, line.nLen, Name(line).toString() + u'=' + sValue};
        }
        const TLine& after = aLines[size_t(LastKeyLine(iSection))];
        const QString sNew = sKey + u'=' + sValue;
        if (after.nEolLen == 0)
            return {after.nStart + after.nLen, 0, sEol + sNew};
        return {after.nStart + after.nLen + after.nEolLen, 0, sNew + sEol};
    }

    bool ReadsAs(const QByteArray& ba, const QString& sText) const
    {
        const TTextDecode::TDecoded dec = TTextDecode::DecodeKeeping(ba);
        return dec.enc == enc && dec.sText == sText;
    }

    // Text in the file's encoding without a mark; none when the encoding lacks a character.
    std::optional<QByteArray> EncodeBare(const QString& sText) const
    {
        std::optional<QByteArray> ba = TTextDecode::Encode(sText, enc);
        if (ba)
            ba->remove(0, MarkBytes());
        return ba;
    }

    qsizetype MarkBytes() const
    {
        switch (enc) {
        case TTextDecode::EEncoding::Utf8Mark:
            return 3;
        case TTextDecode::EEncoding::Utf16LeMark:
        case TTextDecode::EEncoding::Utf16BeMark:
            return 2;
        case TTextDecode::EEncoding::Utf8:
        case TTextDecode::EEncoding::Windows1252:
            break;
        }
        return 0;
    }

    bool IsUtf16() const
    {
        return enc == TTextDecode::EEncoding::Utf16LeMark || enc == TTextDecode::EEncoding::Utf16BeMark;
    }

    // Where each line lies in the file's bytes. In UTF-16 every character is two
    // bytes; in the byte encodings line endings are single bytes that no other
    // character contains, so the lines are found again in the bytes. Should the
    // lines not match, the table stays empty and a write encodes the whole text.
    void MapLineBytes()
    {
        if (IsUtf16())
            return;
        std::vector<qsizetype> anStarts;
        const qsizetype n = baFile.size();
        for (qsizetype i = MarkBytes(); i < n;) {
            qsizetype j = i;
            while (j < n && baFile[j] != '\n' && baFile[j] != '\r')
                ++j;
            const qsizetype nEol = j >= n ? 0 : (baFile[j] == '\r' && j + 1 < n && baFile[j + 1] == '\n') ? 2 : 1;
            const size_t iLine = anStarts.size() / 2;
            if (iLine >= aLines.size() || aLines[iLine].nEolLen != nEol)
                return;
            anStarts.push_back(i);
            anStarts.push_back(j);
            i = j + nEol;
        }
        if (anStarts.size() == aLines.size() * 2)
            anLineBytes = std::move(anStarts);
    }

    // The byte offset of a text position at a line's start or end or at the end of
    // the text, the only places a write changes; none elsewhere or without a table.
    std::optional<qsizetype> ByteOf(qsizetype nPos) const
    {
        if (IsUtf16())
            return std::min(2 + 2 * nPos, baFile.size());
        if (nPos == s.size())
            return baFile.size();
        if (anLineBytes.size() != aLines.size() * 2)
            return std::nullopt;
        for (size_t i = 0; i < aLines.size(); ++i) {
            if (aLines[i].nStart == nPos)
                return anLineBytes[2 * i];
            if (aLines[i].nStart + aLines[i].nLen == nPos)
                return anLineBytes[2 * i + 1];
        }
        return std::nullopt;
    }

    void Classify(TLine& line) const
    {
        const QStringView sLine = Part(line.nStart, line.nLen);
        const QStringView sText = TrimBlanks(sLine);
        const qsizetype nText = line.nStart + (sText.data() - sLine.data());
        auto setName = [&](QStringView sName) {
            line.nName = nText + (sName.data() - sText.data());
            line.nNameLen = sName.size();
        };
        if (sText.startsWith(u'[')) {
            const qsizetype nClose = sText.indexOf(u']');
            line.kind = ELineKind::Section;
            setName(TrimBlanks(sText.sliced(1, (nClose < 0 ? sText.size() : nClose) - 1)));
            return;
        }
        if (sText.startsWith(u';'))
            return;
        const qsizetype nEq = sText.indexOf(u'=');
        if (nEq <= 0)
            return;
        const QStringView sName = TrimBlanks(sText.first(nEq));
        if (sName.isEmpty())
            return;
        setName(sName);
        line.kind = ELineKind::Key;
        const QStringView sValue = TrimBlanks(sText.sliced(nEq + 1));
        line.nValue = nText + (sValue.data() - sText.data());
        line.nValueLen = sValue.size();
    }

    int FindSection(const QString& sSection) const
    {
        for (size_t i = 0; i < aLines.size(); ++i)
            if (aLines[i].kind == ELineKind::Section && SameName(Name(aLines[i]), sSection))
                return int(i);
        return -1;
    }

    int FindKey(int iSection, const QString& sKey) const
    {
        if (iSection < 0)
            return -1;
        for (size_t i = size_t(iSection) + 1; i < aLines.size() && aLines[i].kind != ELineKind::Section; ++i)
            if (aLines[i].kind == ELineKind::Key && SameName(Name(aLines[i]), sKey))
                return int(i);
        return -1;
    }

    // New keys go after the section's last key, so blank lines and comments that
    // stand before the next section stay there.
    int LastKeyLine(int iSection) const
    {
        int iLast = iSection;
        for (size_t i = size_t(iSection) + 1; i < aLines.size() && aLines[i].kind != ELineKind::Section; ++i)
            if (aLines[i].kind == ELineKind::Key)
                iLast = int(i);
        return iLast;
    }

    QByteArray baFile;
    QString s;
    TTextDecode::EEncoding enc = TTextDecode::EEncoding::Utf8;
    std::vector<TLine> aLines;
    std::vector<qsizetype> anLineBytes; // per line: first byte, first byte of its line ending
};

// An empty name would only make QFile complain; it stands for a file without values.
// A file that is no plain file or is larger than the limit has no values either.
TIniValues::TIniValues(const QString& sFileName, qint64 nMaxBytes)
    : text(std::make_unique<const TIniText>(
          TPlatform::ReadPlainFile(sFileName, nMaxBytes).value_or(QByteArray())))
{
}

TIniValues::~TIniValues() = default;

QString TIniValues::ReadString(const QString& sSection, const QString& sKey, const QString& sDefault) const
{
    return text->Value(sSection, sKey).value_or(sDefault);
}

QStringList TIniValues::Keys(const QString& sSection) const
{
    return text->Keys(sSection);
}

int TIniValues::ReadInteger(const QString& sSection, const QString& sKey, int nDefault) const
{
    const std::optional<QString> s = text->Value(sSection, sKey);
    if (!s)
        return nDefault;
    bool bOk = false;
    const int n = s->toInt(&bOk, 10);
    return bOk ? n : nDefault;
}

bool TIniValues::ReadBool(const QString& sSection, const QString& sKey, bool bDefault) const
{
    return ReadInteger(sSection, sKey, bDefault ? 1 : 0) != 0;
}

TIniFile::TIniFile(QString sFileName, qint64 nMaxFileBytes)
    : sFile(std::move(sFileName)), nMaxBytes(nMaxFileBytes)
{
}

QString TIniFile::ReadString(const QString& sSection, const QString& sKey, const QString& sDefault) const
{
    return TIniValues(sFile, nMaxBytes).ReadString(sSection, sKey, sDefault);
}

int TIniFile::ReadInteger(const QString& sSection, const QString& sKey, int nDefault) const
{
    return TIniValues(sFile, nMaxBytes).ReadInteger(sSection, sKey, nDefault);
}

bool TIniFile::ReadBool(const QString& sSection, const QString& sKey, bool bDefault) const
{
    return TIniValues(sFile, nMaxBytes).ReadBool(sSection, sKey, bDefault);
}

void TIniFile::SetBeforeReplaceHook(std::function<void()> fn)
{
    BeforeReplaceHook() = std::move(fn);
}

// Another program (the supervisor) may write the file at any moment, and what it
// wrote must survive our write. So the new contents are formed from the file as it
// is, written to a temporary file beside it, and only then checked against what is
// there: on Linux the temporary file and the file swap places in one step, and what
// comes out is exactly what our file replaced; elsewhere the file is read again
// just before the rename. Had another program written meanwhile, our key is set in
// its text and the round repeats (until then, for a moment, the file lacks that
// write). What remains open: a program that opened the file before the swap and
// writes into it in place after we read what came out, and, without the swap, a
// write between that last read and the rename.
void TIniFile::WriteString(const QString& sSection, const QString& sKey, const QString& sValue) const
{
    // A line break inside a value would end the line and start a new key or section.
    QString sFlat = sValue;
    sFlat.replace(QLatin1Char('\r'), QLatin1Char(' ')).replace(QLatin1Char('\n'), QLatin1Char(' '));

    // baBase is what our key is set in; baOnDisk what the file should hold when ours
    // replaces it. They differ only after a swap that found another program's write.
    std::optional<QByteArray> baBase = ReadCurrent(sFile, nMaxBytes);
    std::optional<QByteArray> baOnDisk = baBase;
    for (int nRound = 1;; ++nRound) {
        const bool bLastRound = nRound >= nMaxWriteRounds;
        const QByteArray baNew = TIniText(baBase.value_or(QByteArray())).WithValue(sSection, sKey, sFlat);
        QTemporaryFile tmp(sFile + QStringLiteral(".XXXXXX"));
        if (!tmp.open() || tmp.write(baNew) != baNew.size() || !tmp.flush())
            throw EWriteError(sFile);
        const QFileInfo fiNow(sFile);
        tmp.setPermissions(fiNow.exists() ? fiNow.permissions() : NewFilePermissions());
        SyncToDisk(tmp);
        tmp.close();
        if (BeforeReplaceHook())
            BeforeReplaceHook()();

#ifdef Q_OS_LINUX
        const QByteArray baTmpName = QFile::encodeName(tmp.fileName());
        const QByteArray baName = QFile::encodeName(sFile);
        auto swap = [&](unsigned nFlags) {
            return ::renameat2(AT_FDCWD, baTmpName.constData(), AT_FDCWD, baName.constData(), nFlags) == 0;
        };
        if (baOnDisk ? swap(RENAME_EXCHANGE) : swap(RENAME_NOREPLACE)) {
            if (!baOnDisk)
                return;
            // The temporary name now holds what the file was at the moment of the swap.
            const std::optional<QByteArray> baWas = TPlatform::ReadPlainFile(tmp.fileName(), nMaxBytes);
            if (baWas == baOnDisk)
                return;
            if (!baWas || bLastRound) {
                // Theirs goes back in place; ours is reported as not written.
                swap(RENAME_EXCHANGE);
                throw EWriteError(sFile);
            }
            baBase = baWas;
            baOnDisk = baNew;
            continue;
        }
        if (errno == ENOENT || errno == EEXIST) {
            // The file went away, or one came, since it was read.
            if (bLastRound)
                throw EWriteError(sFile);
            baBase = baOnDisk = ReadCurrent(sFile, nMaxBytes);
            continue;
        }
        if (errno != EINVAL && errno != ENOSYS && errno != EOPNOTSUPP)
            throw EWriteError(sFile);
        // A file system that cannot swap takes the portable way.
#endif
        const std::optional<QByteArray> baNow = ReadCurrent(sFile, nMaxBytes);
        if (baNow != baOnDisk && !bLastRound) {
            baBase = baOnDisk = baNow;
            continue;
        }
        std::error_code ec;
        std::filesystem::rename(FsPath(tmp.fileName()), FsPath(sFile), ec);
        if (ec)
            throw EWriteError(sFile);
        return;
    }
}

void TIniFile::WriteInteger(const QString& sSection, const QString& sKey, int nValue) const
{
    WriteString(sSection, sKey, QString::number(nValue));
}

void TIniFile::WriteBool(const QString& sSection, const QString& sKey, bool bValue) const
{
    WriteString(sSection, sKey, bValue ? QStringLiteral("1") : QStringLiteral("0"));
}
