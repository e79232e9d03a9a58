#include "platform/inifile.h"

#include "platform/platform.h"
#include "platform/textdecode.h"
#include "platform/writeerror.h"

#include <QFileInfo>
#include <QSaveFile>

#include <optional>
#include <utility>
#include <vector>

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

} // namespace

// The file's text cut into lines, each knowing where it lies, so that a write can
// splice one line into the untouched rest. The text is decoded by the program's one
// rule for text files and written back in the encoding it was found in.
class TIniText final
{
public:
    explicit TIniText(const QByteArray& ba)
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

    // The file's bytes with the key set: in the file's own encoding, or in UTF-8
    // when that encoding has no byte for a character (Windows-1252 and a value in
    // another script); in the file's line ending, CR LF when it has none yet.
    QByteArray WithValue(const QString& sSection, const QString& sKey, const QString& sValue) const
    {
        const QString sText = TextWithValue(sSection, sKey, sValue);
        if (std::optional<QByteArray> ba = TTextDecode::Encode(sText, enc))
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

    QString TextWithValue(const QString& sSection, const QString& sKey, const QString& sValue) const
    {
        const QString sEol = Eol();
        const int iSection = FindSection(sSection);
        if (iSection < 0) {
            const QString sNew = u'[' + sSection + u']' + sEol + sKey + u'=' + sValue;
            // A file without a final line ending keeps that shape.
            if (!aLines.empty() && aLines.back().nEolLen == 0)
                return s + sEol + sNew;
            return s + sNew + sEol;
        }
        const int iKey = FindKey(iSection, sKey);
        if (iKey >= 0) {
            const TLine& line = aLines[size_t(iKey)];
            QString sOut = s;
            sOut.replace(line.nStart, line.nLen, Name(line).toString() + u'=' + sValue);
            return sOut;
        }
        const TLine& after = aLines[size_t(LastKeyLine(iSection))];
        const QString sNew = sKey + u'=' + sValue;
        QString sOut = s;
        if (after.nEolLen == 0)
            sOut.insert(after.nStart + after.nLen, sEol + sNew);
        else
            sOut.insert(after.nStart + after.nLen + after.nEolLen, sNew + sEol);
        return sOut;
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

    QString s;
    TTextDecode::EEncoding enc = TTextDecode::EEncoding::Utf8;
    std::vector<TLine> aLines;
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

void TIniFile::WriteString(const QString& sSection, const QString& sKey, const QString& sValue) const
{
    QByteArray baOld;
    if (QFileInfo::exists(sFile)) {
        // Writing without the old contents would lose every other key; so would
        // replacing a pipe or an oversized file that could not be read.
        std::optional<QByteArray> ba = TPlatform::ReadPlainFile(sFile, nMaxBytes);
        if (!ba)
            throw EWriteError(sFile);
        baOld = std::move(*ba);
    }
    // A line break inside a value would end the line and start a new key or section.
    QString sFlat = sValue;
    sFlat.replace(QLatin1Char('\r'), QLatin1Char(' ')).replace(QLatin1Char('\n'), QLatin1Char(' '));
    const QByteArray baNew = TIniText(baOld).WithValue(sSection, sKey, sFlat);

    QSaveFile f(sFile);
    f.setDirectWriteFallback(false);
    if (!f.open(QIODevice::WriteOnly))
        throw EWriteError(sFile);
    if (f.write(baNew) != baNew.size()) {
        f.cancelWriting();
        throw EWriteError(sFile);
    }
    if (!f.commit())
        throw EWriteError(sFile);
}

void TIniFile::WriteInteger(const QString& sSection, const QString& sKey, int nValue) const
{
    WriteString(sSection, sKey, QString::number(nValue));
}

void TIniFile::WriteBool(const QString& sSection, const QString& sKey, bool bValue) const
{
    WriteString(sSection, sKey, bValue ? QStringLiteral("1") : QStringLiteral("0"));
}
