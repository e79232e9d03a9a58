#include "platform/inifile.h"

#include "platform/writeerror.h"

#include <QFile>
#include <QSaveFile>
#include <QStringDecoder>

#include <optional>
#include <utility>
#include <vector>

namespace {

const QByteArray& Bom()
{
    static const QByteArray ba("\xEF\xBB\xBF");
    return ba;
}

bool IsBlank(char c)
{
    return c == ' ' || c == '\t';
}

QByteArray TrimBlanks(QByteArrayView ba)
{
    qsizetype i = 0;
    qsizetype j = ba.size();
    while (i < j && IsBlank(ba[i]))
        ++i;
    while (j > i && IsBlank(ba[j - 1]))
        --j;
    return ba.sliced(i, j - i).toByteArray();
}

// Names and values are UTF-8; a file saved in a Windows code page still gives
// readable names instead of replacement characters.
QString Decode(const QByteArray& ba)
{
    QStringDecoder dec(QStringDecoder::Utf8, QStringDecoder::Flag::Stateless);
    QString s = dec(ba);
    if (dec.hasError())
        return QString::fromLatin1(ba);
    return s;
}

bool SameName(const QByteArray& baName, const QString& sName)
{
    return QString::compare(Decode(baName), sName, Qt::CaseInsensitive) == 0;
}

} // namespace

// The file's bytes cut into lines, each knowing where it lies, so that a write can
// splice one line into the untouched rest.
class TIniText final
{
public:
    explicit TIniText(QByteArray baText) : ba(std::move(baText))
    {
        const qsizetype nBody = ba.startsWith(Bom()) ? Bom().size() : 0;
        for (qsizetype i = nBody; i < ba.size();) {
            TLine line;
            line.nStart = i;
            qsizetype j = i;
            while (j < ba.size() && ba[j] != '\n' && ba[j] != '\r')
                ++j;
            line.nLen = j - i;
            if (j < ba.size())
                line.nEolLen = (ba[j] == '\r' && j + 1 < ba.size() && ba[j + 1] == '\n') ? 2 : 1;
            Classify(line);
            i = j + line.nEolLen;
            aLines.push_back(std::move(line));
        }
    }

    const QByteArray& Bytes() const { return ba; }

    std::optional<QByteArray> Value(const QString& sSection, const QString& sKey) const
    {
        const int iKey = FindKey(FindSection(sSection), sKey);
        if (iKey < 0)
            return std::nullopt;
        return aLines[size_t(iKey)].baValue;
    }

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
            const QString sName = Decode(aLines[i].baName);
            if (!sl.contains(sName, Qt::CaseInsensitive))
                sl.append(sName);
        }
        return sl;
    }

    QByteArray WithValue(const QString& sSection, const QString& sKey, const QByteArray& baValue,
                         bool bNewFile) const
    {
        const QByteArray baEol = (bNewFile || ba.contains("\r\n")) ? QByteArray("\r\n") : QByteArray("\n");
        const int iSection = FindSection(sSection);
        if (iSection < 0) {
            const QByteArray baNew = '[' + sSection.toUtf8() + ']' + baEol + sKey.toUtf8() + '=' + baValue;
            // A file without a final line ending keeps that shape.
            if (!aLines.empty() && aLines.back().nEolLen == 0)
                return ba + baEol + baNew;
            return ba + baNew + baEol;
        }
        const int iKey = FindKey(iSection, sKey);
        if (iKey >= 0) {
            const TLine& line = aLines[size_t(iKey)];
            QByteArray baOut = ba;
            baOut.replace(line.nStart, line.nLen, line.baName + '=' + baValue);
            return baOut;
        }
        const TLine& after = aLines[size_t(LastKeyLine(iSection))];
        const QByteArray baNew = sKey.toUtf8() + '=' + baValue;
        QByteArray baOut = ba;
        if (after.nEolLen == 0)
            baOut.insert(after.nStart + after.nLen, baEol + baNew);
        else
            baOut.insert(after.nStart + after.nLen + after.nEolLen, baNew + baEol);
        return baOut;
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
        qsizetype nStart = 0;  // first byte of the line's text
        qsizetype nLen = 0;    // bytes of text, line ending excluded
        qsizetype nEolLen = 0; // 0 on a last line without line ending
        ELineKind kind = ELineKind::Other;
        QByteArray baName;  // section or key name, blanks trimmed
        QByteArray baValue; // key value, blanks trimmed
    };

    void Classify(TLine& line) const
    {
        const QByteArray baText = TrimBlanks(QByteArrayView(ba).sliced(line.nStart, line.nLen));
        if (baText.startsWith('[')) {
            const qsizetype nClose = baText.indexOf(']');
            line.kind = ELineKind::Section;
            line.baName =
                TrimBlanks(QByteArrayView(baText).sliced(1, (nClose < 0 ? baText.size() : nClose) - 1));
            return;
        }
        if (baText.startsWith(';'))
            return;
        const qsizetype nEq = baText.indexOf('=');
        if (nEq <= 0)
            return;
        line.baName = TrimBlanks(QByteArrayView(baText).first(nEq));
        if (line.baName.isEmpty())
            return;
        line.kind = ELineKind::Key;
        line.baValue = TrimBlanks(QByteArrayView(baText).sliced(nEq + 1));
    }

    int FindSection(const QString& sSection) const
    {
        for (size_t i = 0; i < aLines.size(); ++i)
            if (aLines[i].kind == ELineKind::Section && SameName(aLines[i].baName, sSection))
                return int(i);
        return -1;
    }

    int FindKey(int iSection, const QString& sKey) const
    {
        if (iSection < 0)
            return -1;
        for (size_t i = size_t(iSection) + 1; i < aLines.size() && aLines[i].kind != ELineKind::Section; ++i)
            if (aLines[i].kind == ELineKind::Key && SameName(aLines[i].baName, sKey))
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

    QByteArray ba;
    std::vector<TLine> aLines;
};

namespace {

QByteArray ReadBytes(const QString& sFile)
{
    QFile f(sFile);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

} // namespace

// An empty name would only make QFile complain; it stands for a file without values.
TIniValues::TIniValues(const QString& sFileName)
    : text(std::make_unique<const TIniText>(sFileName.isEmpty() ? QByteArray() : ReadBytes(sFileName)))
{
}

TIniValues::~TIniValues() = default;

QString TIniValues::ReadString(const QString& sSection, const QString& sKey, const QString& sDefault) const
{
    const std::optional<QByteArray> ba = text->Value(sSection, sKey);
    return ba ? Decode(*ba) : sDefault;
}

QStringList TIniValues::Keys(const QString& sSection) const
{
    return text->Keys(sSection);
}

int TIniValues::ReadInteger(const QString& sSection, const QString& sKey, int nDefault) const
{
    const std::optional<QByteArray> ba = text->Value(sSection, sKey);
    if (!ba)
        return nDefault;
    bool bOk = false;
    const int n = Decode(*ba).toInt(&bOk, 10);
    return bOk ? n : nDefault;
}

bool TIniValues::ReadBool(const QString& sSection, const QString& sKey, bool bDefault) const
{
    return ReadInteger(sSection, sKey, bDefault ? 1 : 0) != 0;
}

TIniFile::TIniFile(QString sFileName) : sFile(std::move(sFileName)) {}

QString TIniFile::ReadString(const QString& sSection, const QString& sKey, const QString& sDefault) const
{
    return TIniValues(sFile).ReadString(sSection, sKey, sDefault);
}

int TIniFile::ReadInteger(const QString& sSection, const QString& sKey, int nDefault) const
{
    return TIniValues(sFile).ReadInteger(sSection, sKey, nDefault);
}

bool TIniFile::ReadBool(const QString& sSection, const QString& sKey, bool bDefault) const
{
    return TIniValues(sFile).ReadBool(sSection, sKey, bDefault);
}

void TIniFile::WriteString(const QString& sSection, const QString& sKey, const QString& sValue) const
{
    QByteArray baOld;
    const bool bNewFile = !QFile::exists(sFile);
    if (!bNewFile) {
        // Writing without the old contents would lose every other key.
        QFile f(sFile);
        if (!f.open(QIODevice::ReadOnly))
            throw EWriteError(sFile);
        baOld = f.readAll();
    }
    // A line break inside a value would end the line and start a new key or section.
    QString sFlat = sValue;
    sFlat.replace(QLatin1Char('\r'), QLatin1Char(' ')).replace(QLatin1Char('\n'), QLatin1Char(' '));
    const QByteArray baNew = TIniText(baOld).WithValue(sSection, sKey, sFlat.toUtf8(), bNewFile);

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
