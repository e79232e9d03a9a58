#include "datafiles/weatherfile.h"

#include "datafiles/dayfile.h"
#include "platform/platform.h"
#include "platform/textdecode.h"

#include <QDate>
#include <QFileInfo>

#include <algorithm>
#include <cmath>
#include <limits>

namespace {

constexpr double dNone = std::numeric_limits<double>::quiet_NaN();

// A column name as the lists below hold it: lower case, without units in brackets,
// words apart by one blank whatever stood between them.
QString ColumnKey(const QString& sName)
{
    QString s;
    int nDepth = 0;
    for (QChar c : sName) {
        if (c == u'[' || c == u'(' || c == u'{')
            ++nDepth;
        else if (c == u']' || c == u')' || c == u'}')
            nDepth = std::max(0, nDepth - 1);
        else if (nDepth == 0)
            s += (c == u'_' || c == u'-' || c == u'.') ? QChar(u' ') : c.toLower();
    }
    return s.simplified();
}

bool OneOf(const QString& sKey, std::initializer_list<const char*> aNames)
{
    for (const char* sz : aNames)
        if (sKey == QLatin1String(sz))
            return true;
    return false;
}

bool IsDigits(QStringView s)
{
    for (QChar c : s)
        if (c < u'0' || c > u'9')
            return false;
    return true;
}

QString LineWord(int n)
{
    return n == 1 ? QStringLiteral("1 row") : QString::number(n) + QStringLiteral(" rows");
}

} // namespace

std::optional<qint64> TWeatherFile::ParseTime(QStringView s)
{
    s = s.trimmed();
    // yyyy-MM-dd HH:mm, then optionally :ss
    if ((s.size() != 16 && s.size() != 19) || s[4] != u'-' || s[7] != u'-' || (s[10] != u' ' && s[10] != u'T') ||
        s[13] != u':' || (s.size() == 19 && s[16] != u':'))
        return std::nullopt;
    const QStringView aParts[] = {s.mid(0, 4), s.mid(5, 2), s.mid(8, 2), s.mid(11, 2), s.mid(14, 2),
                                  s.size() == 19 ? s.mid(17, 2) : QStringView(u"00")};
    for (QStringView part : aParts)
        if (!IsDigits(part))
            return std::nullopt;
    const QDate dt(aParts[0].toInt(), aParts[1].toInt(), aParts[2].toInt());
    const int nHour = aParts[3].toInt();
    const int nMin = aParts[4].toInt();
    const int nSec = aParts[5].toInt();
    if (!dt.isValid() || nHour > 23 || nMin > 59 || nSec > 59)
        return std::nullopt;
    return dt.toJulianDay() * 86400 + nHour * 3600 + nMin * 60 + nSec;
}

bool TWeatherFile::SplitLine(QStringView sLine, QChar chSep, QStringList& slFields)
{
    slFields.clear();
    qsizetype i = 0;
    const qsizetype n = sLine.size();
    for (;;) {
        while (i < n && (sLine[i] == u' ' || sLine[i] == u'\t'))
            ++i;
        QString sField;
        if (i < n && sLine[i] == u'"') {
            bool bClosed = false;
            for (++i; i < n; ++i) {
                if (sLine[i] != u'"') {
                    sField += sLine[i];
                } else if (i + 1 < n && sLine[i + 1] == u'"') {
                    sField += u'"';
                    ++i;
                } else {
                    bClosed = true;
                    ++i;
                    break;
                }
            }
            if (!bClosed)
                return false;
            // Whatever stands between the closing quote and the separator is dropped.
            while (i < n && sLine[i] != chSep)
                ++i;
        } else {
            const qsizetype iStart = i;
            while (i < n && sLine[i] != chSep)
                ++i;
            sField = sLine.mid(iStart, i - iStart).trimmed().toString();
        }
        slFields.append(sField);
        if (i >= n)
            return true;
        ++i; // the separator
    }
}

void TWeatherFile::Clear(const QString& sFile)
{
    sFileName = sFile;
    aRows.clear();
    bWind = false;
    bRain = false;
    sError.clear();
    slBadRows.clear();
    nBadRows = 0;
}

bool TWeatherFile::Fail(const QString& sWhy)
{
    const QString sFile = sFileName;
    Clear(sFile);
    sError = QStringLiteral("the weather file ") + sFile + u' ' + sWhy;
    return false;
}

void TWeatherFile::BadRow(int nLine, const QString& sWhy)
{
    if (++nBadRows <= nMaxBadRows)
        slBadRows.append(QStringLiteral("line ") + QString::number(nLine) + QStringLiteral(": ") + sWhy);
}

QString TWeatherFile::BadRowSummary() const
{
    if (nBadRows == 0)
        return QString();
    return LineWord(nBadRows) + QStringLiteral(" of the weather file ") + sFileName +
           (nBadRows == 1 ? QStringLiteral(" cannot be read: ") : QStringLiteral(" cannot be read; the first, ")) +
           slBadRows.value(0);
}

bool TWeatherFile::Load(const QString& sFile)
{
    // Only a plain file is read: a pipe or a device in its place could hold the
    // program up for ever.
    Clear(sFile);
    const QFileInfo fi(sFile);
    if (!fi.exists() && !fi.isSymLink())
        return Fail(QStringLiteral("is missing"));
    if (fi.isFile() && fi.size() > nMaxFileBytes)
        return Fail(QStringLiteral("is larger than 64 MB"));
    const std::optional<QByteArray> ba = TPlatform::ReadPlainFile(sFile, nMaxFileBytes);
    if (!ba)
        return Fail(fi.exists() && !fi.isFile() ? QStringLiteral("is not a plain file")
                                                : QStringLiteral("cannot be read"));
    return LoadText(TTextDecode::Decode(*ba), sFile);
}

bool TWeatherFile::LoadText(const QString& sText, const QString& sFile)
{
    Clear(sFile);
    for (QChar c : sText)
        if (c.unicode() < 0x20 && c != u'\t' && c != u'\n' && c != u'\r')
            return Fail(QStringLiteral("is not text"));

    int iDateTime = -1;
    int iDate = -1;
    int iTime = -1;
    int iWind = -1;
    int iRain = -1;
    QChar chSep = u',';
    bool bHeader = false;
    int nTried = 0;     // lines that were not the header
    QString sFirstWhy;  // why the first of them was not
    QStringList slFields;
    int nLine = 0;
    qsizetype iPos = 0;
    while (iPos < sText.size()) {
        qsizetype iEnd = iPos;
        while (iEnd < sText.size() && sText[iEnd] != u'\n' && sText[iEnd] != u'\r')
            ++iEnd;
        const QStringView sLine = QStringView(sText).mid(iPos, iEnd - iPos);
        iPos = iEnd;
        if (iPos < sText.size() && sText[iPos] == u'\r' && iPos + 1 < sText.size() && sText[iPos + 1] == u'\n')
            ++iPos;
        if (iPos < sText.size())
            ++iPos;
        ++nLine;
        if (sLine.trimmed().isEmpty())
            continue;

        if (!bHeader) {
            // Some exports put a few lines about the station before the header: the
            // header is the first line that names the columns, and when none of the
            // first lines does, the first line's fault is the file's.
            iDateTime = iDate = iTime = iWind = iRain = -1;
            chSep = sLine.contains(u';') ? u';' : u',';
            QString sWhy;
            if (!SplitLine(sLine, chSep, slFields))
                sWhy = QStringLiteral("has a header line with an open quote");
            for (int i = 0; sWhy.isEmpty() && i < int(slFields.size()); ++i) {
                const QString sKey = ColumnKey(slFields[i]);
                auto take = [i](int& iCol) {
                    if (iCol < 0)
                        iCol = i;
                };
                if (OneOf(sKey, {"datetime", "date time", "date and time", "timestamp", "time stamp"}))
                    take(iDateTime);
                else if (sKey == QLatin1String("date"))
                    take(iDate);
                else if (sKey == QLatin1String("time"))
                    take(iTime);
                else if (OneOf(sKey, {"wind", "wind speed", "windspeed", "ws", "wspd", "wind speed mean",
                                      "wind speed avg", "mean wind speed", "average wind speed"}))
                    take(iWind);
                else if (OneOf(sKey, {"rain", "rain rate", "rainrate", "rain intensity", "precipitation",
                                      "precipitation rate", "precipitation intensity", "precip"}))
                    take(iRain);
            }
            // A date column and a time column apart are read together; one of them
            // alone may hold both.
            if (iDateTime < 0 && (iDate < 0 || iTime < 0)) {
                iDateTime = std::max(iDate, iTime);
                iDate = iTime = -1;
            }
            if (sWhy.isEmpty() && iDateTime < 0 && iDate < 0)
                sWhy = QStringLiteral("has no header line naming a date and time column");
            if (sWhy.isEmpty() && iWind < 0 && iRain < 0)
                sWhy = QStringLiteral("has no wind speed or rain column");
            if (!sWhy.isEmpty()) {
                if (sFirstWhy.isEmpty())
                    sFirstWhy = sWhy;
                if (++nTried == nMaxPreamble)
                    return Fail(sFirstWhy);
                continue;
            }
            bHeader = true;
            bWind = iWind >= 0;
            bRain = iRain >= 0;
            continue;
        }

        if (!SplitLine(sLine, chSep, slFields)) {
            BadRow(nLine, QStringLiteral("a quote is not closed"));
            continue;
        }
        const QString sTime = iDateTime >= 0 ? slFields.value(iDateTime)
                                             : slFields.value(iDate) + u' ' + slFields.value(iTime);
        const std::optional<qint64> nAt = ParseTime(sTime);
        if (!nAt) {
            BadRow(nLine, QStringLiteral("the time \"") + sTime + QStringLiteral("\" is not yyyy-MM-dd HH:mm[:ss]"));
            continue;
        }
        // An empty field is no reading; anything else must be a number of 0 or more.
        auto value = [&slFields](int iCol, QString& sWhy, const char* szWhat) {
            if (iCol < 0)
                return dNone;
            const QString s = slFields.value(iCol);
            if (s.isEmpty())
                return dNone;
            const double d = TDayFile::ParseVal(s);
            if (!(d >= 0) || !std::isfinite(d))
                sWhy = QLatin1String(szWhat) + QStringLiteral(" \"") + s +
                       QStringLiteral("\" is not a number of 0 or more");
            return d;
        };
        QString sWhy;
        TWeatherRow row;
        row.nFrom = *nAt;
        row.nLine = nLine;
        row.dWind = value(iWind, sWhy, "the wind speed");
        row.dRain = value(iRain, sWhy, "the rain rate");
        if (!sWhy.isEmpty()) {
            BadRow(nLine, sWhy);
            continue;
        }
        aRows.push_back(row);
    }
    if (!bHeader)
        return Fail(sFirstWhy.isEmpty() ? QStringLiteral("has no header line naming a date and time column")
                                        : sFirstWhy);
    SetSpans();
    return true;
}

void TWeatherFile::SetSpans()
{
    // Stations write in time order, but a file put together by hand may not be; a
    // time that repeats is taken once, from the first row that gives it.
    std::stable_sort(aRows.begin(), aRows.end(),
                     [](const TWeatherRow& a, const TWeatherRow& b) { return a.nFrom < b.nFrom; });
    std::vector<TWeatherRow> aKept;
    aKept.reserve(aRows.size());
    std::vector<std::pair<int, QString>> aRepeats;
    for (const TWeatherRow& row : aRows) {
        if (!aKept.empty() && aKept.back().nFrom == row.nFrom) {
            aRepeats.emplace_back(row.nLine, QStringLiteral("the time repeats line ") +
                                                 QString::number(aKept.back().nLine));
            continue;
        }
        aKept.push_back(row);
    }
    aRows = std::move(aKept);
    std::sort(aRepeats.begin(), aRepeats.end(),
              [](const auto& a, const auto& b) { return a.first < b.first; });
    for (const auto& [nLine, sWhy] : aRepeats)
        BadRow(nLine, sWhy);

    std::vector<qint64> anSteps;
    for (size_t i = 1; i < aRows.size(); ++i)
        anSteps.push_back(aRows[i].nFrom - aRows[i - 1].nFrom);
    qint64 nMedian = nMaxStep;
    if (!anSteps.empty()) {
        const auto itMid = anSteps.begin() + qsizetype(anSteps.size() / 2);
        std::nth_element(anSteps.begin(), itMid, anSteps.end());
        nMedian = *itMid;
    }
    const qint64 nStep = std::min(nMedian, nMaxStep);
    for (size_t i = 0; i < aRows.size(); ++i) {
        const qint64 nNext = i + 1 < aRows.size() ? aRows[i + 1].nFrom - aRows[i].nFrom : -1;
        aRows[i].nTo = aRows[i].nFrom + (nNext >= 0 && nNext <= 3 * nMedian ? nNext : nStep);
    }
}
