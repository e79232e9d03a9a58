#include "datafiles/dayfile.h"

#include "platform/platform.h"
#include "platform/textdecode.h"

#include <charconv>
#include <cstdint>
#include <limits>
#include <optional>
#include <string>

namespace {

bool IsBlank(QChar ch)
{
    return ch.unicode() >= 1 && ch.unicode() <= 32;
}

bool IsDigit(QChar ch)
{
    return ch.unicode() >= u'0' && ch.unicode() <= u'9';
}

// A whole decimal number with an optional sign and nothing else. Numbers too large
// to be a time part are refused rather than overflowing.
bool ParseWhole(QStringView s, std::int64_t& nOut)
{
    qsizetype i = 0;
    bool bNeg = false;
    if (i < s.size() && (s[i] == u'+' || s[i] == u'-')) {
        bNeg = s[i] == u'-';
        ++i;
    }
    if (i == s.size())
        return false;
    std::int64_t n = 0;
    for (; i < s.size(); ++i) {
        if (!IsDigit(s[i]))
            return false;
        n = n * 10 + (s[i].unicode() - u'0');
        if (n > 1'000'000'000'000LL)
            return false;
    }
    nOut = bNeg ? -n : n;
    return true;
}

} // namespace

const QString& TDayFile::GapText()
{
    static const QString sGaps = [] {
        QString s(nSecsPerDay * nGapLen, Qt::Uninitialized);
        QChar* p = s.data();
        auto put2 = [&p](int n) {
            *p++ = QChar(u'0' + n / 10);
            *p++ = QChar(u'0' + n % 10);
        };
        for (int nSec = 0; nSec < nSecsPerDay; ++nSec) {
            put2(nSec / 3600);
            *p++ = u':';
            put2(nSec / 60 % 60);
            *p++ = u':';
            put2(nSec % 60);
            *p++ = u',';
            *p++ = u'-';
        }
        return s;
    }();
    return sGaps;
}

TDayFile::TDayFile(bool bStrictRecords)
    : bStrict(bStrictRecords), pGaps(bStrictRecords ? GapText().constData() : nullptr)
{
}

QString TDayFile::FldName(int iFld) const
{
    return slFlds.value(iFld);
}

int TDayFile::FindFld(const QString& sFld) const
{
    for (qsizetype i = 0; i < slFlds.size(); ++i) {
        if (slFlds[i].compare(sFld, Qt::CaseInsensitive) == 0)
            return int(i);
    }
    return -1;
}

QStringView TDayFile::Line(int iLine) const
{
    if (iLine < 0 || iLine >= int(aLines.size()))
        return {};
    return QStringView(aLines[iLine].p, aLines[iLine].nLen);
}

TCsvSplit::TFieldSpan TDayFile::LocateFld(int iRec, int iFld) const
{
    if (iRec < 0 || iRec >= RecCount() || iFld < 0 || iFld >= FldCount())
        return {};
    const QStringView sLine = Line(iRec + 1);
    return bStrict ? TCsvSplit::LocateStrict(sLine, iFld) : TCsvSplit::Locate(sLine, iFld);
}

QString TDayFile::FldStr(int iRec, int iFld) const
{
    return LocateFld(iRec, iFld).Value();
}

double TDayFile::FldVal(int iRec, int iFld) const
{
    // A gap record holds a time and "-": no field of it is a number. Most of a
    // sparse profile day is gaps, so this spares the split.
    if (pGaps && iRec >= 0 && iRec < RecCount() && IsGapRecord(aLines[size_t(iRec) + 1]))
        return -1;
    const TCsvSplit::TFieldSpan fld = LocateFld(iRec, iFld);
    // A field whose text holds a quote is no number, so it need not be unescaped.
    if (!fld.bFound || !fld.IsPlain())
        return -1;
    return ParseVal(fld.sRaw);
}

int TDayFile::FldTimeSecs(int iRec, int iFld) const
{
    const TCsvSplit::TFieldSpan fld = LocateFld(iRec, iFld);
    if (!fld.bFound)
        return -1;
    if (fld.IsPlain())
        return ParseTimeSecs(fld.sRaw);
    const QString sTime = fld.Value();
    return ParseTimeSecs(sTime);
}

double TDayFile::ParseVal(QStringView s)
{
    qsizetype nBeg = 0;
    qsizetype nEnd = s.size();
    while (nBeg < nEnd && IsBlank(s[nBeg]))
        ++nBeg;
    while (nEnd > nBeg && IsBlank(s[nEnd - 1]))
        --nEnd;

    // The grammar is checked here because from_chars alone would also take "inf",
    // "nan" and the like.
    qsizetype i = nBeg;
    bool bNeg = false;
    if (i < nEnd && (s[i] == u'+' || s[i] == u'-')) {
        bNeg = s[i] == u'-';
        ++i;
    }
    const qsizetype nMant = i;
    qsizetype nDigits = 0;
    qsizetype nDecimals = 0;
    std::uint64_t nMantissa = 0;
    for (; i < nEnd && IsDigit(s[i]); ++i) {
        nMantissa = nMantissa * 10 + (s[i].unicode() - u'0');
        ++nDigits;
        if (nDigits > 19)
            nMantissa = 0; // too long for the short way; only nDigits matters now
    }
    if (i < nEnd && s[i] == u'.') {
        for (++i; i < nEnd && IsDigit(s[i]); ++i) {
            nMantissa = nMantissa * 10 + (s[i].unicode() - u'0');
            ++nDigits;
            ++nDecimals;
            if (nDigits > 19)
                nMantissa = 0;
        }
    }
    if (nDigits == 0)
        return -1;
    const bool bExp = i < nEnd && (s[i] == u'e' || s[i] == u'E');
    if (bExp) {
        ++i;
        if (i < nEnd && (s[i] == u'+' || s[i] == u'-'))
            ++i;
        const qsizetype nExp = i;
        while (i < nEnd && IsDigit(s[i]))
            ++i;
        if (i == nExp)
            return -1;
    }
    if (i != nEnd)
        return -1;

    // The usual level "55.3": up to 15 digits are exact in a double, and so is the
    // power of ten, so one division gives the correctly rounded value.
    constexpr double adPow10[] = {1e0, 1e1, 1e2,  1e3,  1e4,  1e5,  1e6,  1e7,
                                  1e8, 1e9, 1e10, 1e11, 1e12, 1e13, 1e14, 1e15};
    if (!bExp && nDigits <= 15) {
        const double d = double(nMantissa) / adPow10[nDecimals];
        return bNeg ? -d : d;
    }

    // from_chars takes a minus but no plus, so the sign is written back by hand.
    const qsizetype nLen = nEnd - nMant + 1;
    char aSmall[64];
    std::string sBig;
    char* pBuf = aSmall;
    if (nLen > qsizetype(sizeof(aSmall))) {
        sBig.resize(size_t(nLen));
        pBuf = sBig.data();
    }
    char* q = pBuf;
    if (bNeg)
        *q++ = '-';
    for (qsizetype k = nMant; k < nEnd; ++k)
        *q++ = char(s[k].unicode());

    double d = 0;
    const auto res = std::from_chars(pBuf, q, d, std::chars_format::general);
    if (res.ec != std::errc() || res.ptr != q)
        return -1;
    return d;
}

int TDayFile::ParseTimeSecs(QStringView s)
{
    // Nearly every time is written "hh:mm:ss"; that shape needs no split.
    if (s.size() == 8 && s[2] == u':' && s[5] == u':') {
        const auto two = [&s](qsizetype i) {
            return IsDigit(s[i]) && IsDigit(s[i + 1])
                       ? (s[i].unicode() - u'0') * 10 + (s[i + 1].unicode() - u'0')
                       : -1;
        };
        const int nHour = two(0);
        const int nMin = two(3);
        const int nSec = two(6);
        if (nHour >= 0 && nMin >= 0 && nSec >= 0)
            return nHour * 3600 + nMin * 60 + nSec;
    }
    TCsvSplit::TScanner scan(s, false, u':');
    TCsvSplit::TFieldSpan aPart[3];
    for (auto& part : aPart) {
        if (!scan.Next(part))
            return -1;
    }
    TCsvSplit::TFieldSpan extra;
    if (scan.Next(extra))
        return -1;

    constexpr std::int64_t anWeight[3] = {3600, 60, 1};
    std::int64_t nSecs = 0;
    for (int k = 0; k < 3; ++k) {
        std::int64_t n = 0;
        // A part that still holds a quote is no whole number.
        if (!aPart[k].IsPlain() || !ParseWhole(aPart[k].sRaw, n))
            return -1;
        nSecs += n * anWeight[k];
    }
    if (nSecs < std::numeric_limits<int>::min() || nSecs > std::numeric_limits<int>::max())
        return -1;
    return int(nSecs);
}

bool TDayFile::LoadPath(const QString& sPath)
{
    aLines.clear();
    sText.clear();

    // Only a plain file of a sane size is read: a folder, a pipe or a device in its
    // place, or a file beyond the limit, is no day.
    const std::optional<QByteArray> ba = TPlatform::ReadPlainFile(sPath, nMaxFileBytes);
    if (!ba)
        return false;

    sText = TTextDecode::Decode(*ba);
    const QChar* p = sText.constData();
    const qsizetype n = sText.size();
    aLines.reserve(size_t(qMin<qsizetype>(n / 16 + 1, nMaxLines + 1)));
    qsizetype nStart = 0;
    for (qsizetype i = 0; i < n; ++i) {
        const char16_t c = p[i].unicode();
        if (c != u'\n' && c != u'\r')
            continue;
        aLines.push_back({p + nStart, i - nStart});
        if (c == u'\r' && i + 1 < n && p[i + 1] == u'\n')
            ++i;
        nStart = i + 1;
        if (aLines.size() > size_t(nMaxLines))
            break;
    }
    if (nStart < n)
        aLines.push_back({p + nStart, n - nStart});

    if (aLines.empty() || aLines.size() > size_t(nMaxLines)) {
        aLines.clear();
        sText.clear();
        return false;
    }
    slFlds = TCsvSplit::Split(Line(0));
    return true;
}

QString TDayFile::DayFilePath(const QString& sDataPath, const QString& sID, const QDate& dt,
                              const QString& sFile)
{
    const QString sSep = TPlatform::Sep();
    return sDataPath + sID + sSep + QString::asprintf("%.4d-%.2d", dt.year(), dt.month()) + sSep + sFile;
}
