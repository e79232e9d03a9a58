#include "datafiles/dayfile.h"

#include "platform/platform.h"
#include "platform/textdecode.h"

#include <algorithm>
#include <bit>
#include <charconv>
#include <cstdint>
#include <limits>
#include <optional>
#include <string>

#if defined(__SSE2__)
#include <emmintrin.h>
#endif

namespace {

bool IsBlank(char16_t c)
{
    return c >= 1 && c <= 32;
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

// The eight characters at p as "hh:mm:ss" with two digits each, in seconds; -1 for
// any other shape.
int ShortTime(const char16_t* p)
{
    const auto two = [p](int i) {
        const unsigned nTens = unsigned(p[i]) - unsigned(u'0');
        const unsigned nOnes = unsigned(p[i + 1]) - unsigned(u'0');
        return nTens <= 9 && nOnes <= 9 ? int(nTens * 10 + nOnes) : -1;
    };
    if (p[2] != u':' || p[5] != u':')
        return -1;
    const int nHour = two(0);
    const int nMin = two(3);
    const int nSec = two(6);
    return nHour >= 0 && nMin >= 0 && nSec >= 0 ? nHour * 3600 + nMin * 60 + nSec : -1;
}

// The first CR or LF at or after i, or n when there is none. Lines are short and
// the file long, so eight characters are compared at once where the processor can:
// with the fields cut the same way, a year of 10-minute periodic files takes 11.3 ms
// of processor time a character at a time and 10.1 ms with these steps, a full
// profile day 4.0 ms and 3.7 ms (bench_datafiles, the _Plain cases against the others).
qsizetype LineEnd(const char16_t* p, qsizetype i, qsizetype n, [[maybe_unused]] bool bSimd)
{
#if defined(__SSE2__)
    const __m128i vLf = _mm_set1_epi16(u'\n');
    const __m128i vCr = _mm_set1_epi16(u'\r');
    for (const qsizetype nSimdEnd = bSimd ? n : 0; i + 8 <= nSimdEnd; i += 8) {
        const __m128i v = _mm_loadu_si128(reinterpret_cast<const __m128i*>(p + i));
        const int nMask = _mm_movemask_epi8(_mm_or_si128(_mm_cmpeq_epi16(v, vLf), _mm_cmpeq_epi16(v, vCr)));
        if (nMask != 0)
            return i + std::countr_zero(unsigned(nMask)) / 2;
    }
#endif
    for (; i < n; ++i) {
        if (p[i] == u'\n' || p[i] == u'\r')
            return i;
    }
    return n;
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
    return LineText(aLines[size_t(iLine)]);
}

void TDayFile::IndexFields(const TLine& line) const
{
    // Fields beyond the header's are never asked for, so they are not looked at.
    const int nFlds = FldCount();
    aIdxFlds.resize(size_t(nFlds));
    const int nFound = TCsvSplit::LocateAll(LineText(line), bStrict, aIdxFlds.data(), nFlds);
    std::fill(aIdxFlds.begin() + nFound, aIdxFlds.end(), TCsvSplit::TFieldSpan());
    idxLine = line;
}

const TCsvSplit::TFieldSpan* TDayFile::IndexedFld(int iRec, int iFld) const
{
    if (iRec < 0 || iRec >= RecCount() || iFld < 0 || iFld >= FldCount())
        return nullptr;
    const TLine& line = aLines[size_t(iRec) + 1];
    if (line != idxLine)
        IndexFields(line);
    return &aIdxFlds[size_t(iFld)];
}

TCsvSplit::TFieldSpan TDayFile::LocateFld(int iRec, int iFld) const
{
    // The time in field 0 is found without walking the rest: filling a profile day
    // asks every record for its time alone.
    if (iFld == 0 && iRec >= 0 && iRec < RecCount() && FldCount() > 0 && aLines[size_t(iRec) + 1] != idxLine) {
        const QStringView sLine = LineText(aLines[size_t(iRec) + 1]);
        return bStrict ? TCsvSplit::LocateStrict(sLine, 0) : TCsvSplit::Locate(sLine, 0);
    }
    const TCsvSplit::TFieldSpan* fld = IndexedFld(iRec, iFld);
    return fld ? *fld : TCsvSplit::TFieldSpan();
}

QString TDayFile::FldStr(int iRec, int iFld) const
{
    return LocateFld(iRec, iFld).Value();
}

QStringView TDayFile::FldText(int iRec, int iFld, QString& sBuf) const
{
    const TCsvSplit::TFieldSpan fld = LocateFld(iRec, iFld);
    if (fld.IsPlain())
        return fld.sRaw;
    sBuf = fld.Value();
    return sBuf;
}

double TDayFile::FldValOf(int iRec, int iFld) const
{
    // A record is read value by value, all from its fields found once.
    const TCsvSplit::TFieldSpan* fld = IndexedFld(iRec, iFld);
    // A field whose text holds a quote is no number, so it need not be unescaped.
    if (!fld || !fld->bFound || !fld->IsPlain())
        return -1;
    return ParseVal(fld->sRaw);
}

int TDayFile::FldTimeSecs(int iRec, int iFld) const
{
    // A record that begins "hh:mm:ss," has that as its field 0 under either rule, so
    // the time is read without locating the field. Filling a profile day reads the
    // time of every record.
    if (iFld == 0 && iRec >= 0 && iRec < RecCount() && FldCount() > 0) {
        const TLine& line = aLines[size_t(iRec) + 1];
        const QStringView sLine = LineText(line);
        if (sLine.size() >= 8 && (sLine.size() == 8 || sLine[8] == u',')) {
            const int nSecs = ShortTime(sLine.utf16());
            if (nSecs >= 0)
                return nSecs;
        }
    }
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
    static constexpr double adPow10[] = {1e0, 1e1, 1e2,  1e3,  1e4,  1e5,  1e6,  1e7,
                                         1e8, 1e9, 1e10, 1e11, 1e12, 1e13, 1e14, 1e15};
    const char16_t* p = s.utf16();
    const char16_t* pEnd = p + s.size();

    // A level as the monitors write it, one to three digits and one decimal, is told
    // by its shape alone.
    if (s.size() >= 3 && s.size() <= 5 && pEnd[-2] == u'.') {
        const auto digit = [](char16_t c) { return unsigned(c) - unsigned(u'0'); };
        const unsigned nDec = digit(pEnd[-1]);
        const unsigned nOnes = digit(pEnd[-3]);
        const unsigned nTens = s.size() >= 4 ? digit(pEnd[-4]) : 0;
        const unsigned nHundreds = s.size() == 5 ? digit(p[0]) : 0;
        if ((nDec | nOnes | nTens | nHundreds) <= 9)
            return double(nHundreds * 1000 + nTens * 100 + nOnes * 10 + nDec) / 10.0;
    }

    // The usual level "55.3", digits and at most one point with nothing around them,
    // in one pass. Up to 15 digits are exact in a double, and so is the power of ten,
    // so one division gives the correctly rounded value.
    if (s.size() <= 16) {
        std::uint64_t nMantissa = 0;
        const char16_t* pDot = nullptr;
        const char16_t* q = p;
        for (; q < pEnd; ++q) {
            const unsigned nDigit = unsigned(*q) - unsigned(u'0');
            if (nDigit <= 9)
                nMantissa = nMantissa * 10 + nDigit;
            else if (*q == u'.' && !pDot)
                pDot = q;
            else
                break;
        }
        const qsizetype nDigits = s.size() - (pDot ? 1 : 0);
        if (q == pEnd && nDigits >= 1 && nDigits <= 15)
            return double(nMantissa) / adPow10[pDot ? pEnd - pDot - 1 : 0];
    }

    while (p < pEnd && IsBlank(*p))
        ++p;
    while (pEnd > p && IsBlank(pEnd[-1]))
        --pEnd;

    // The grammar is checked here because from_chars alone would also take "inf",
    // "nan" and the like.
    const auto digit = [](char16_t c) { return unsigned(c) - unsigned(u'0'); };
    const char16_t* q = p;
    bool bNeg = false;
    if (q < pEnd && (*q == u'+' || *q == u'-')) {
        bNeg = *q == u'-';
        ++q;
    }
    const char16_t* pMant = q;
    // The mantissa wraps beyond 19 digits, but it is only used up to 15.
    std::uint64_t nMantissa = 0;
    for (; q < pEnd && digit(*q) <= 9; ++q)
        nMantissa = nMantissa * 10 + digit(*q);
    qsizetype nDigits = q - pMant;
    qsizetype nDecimals = 0;
    if (q < pEnd && *q == u'.') {
        const char16_t* pDec = ++q;
        for (; q < pEnd && digit(*q) <= 9; ++q)
            nMantissa = nMantissa * 10 + digit(*q);
        nDecimals = q - pDec;
        nDigits += nDecimals;
    }
    if (nDigits == 0)
        return -1;
    const bool bExp = q < pEnd && (*q == u'e' || *q == u'E');
    if (bExp) {
        ++q;
        if (q < pEnd && (*q == u'+' || *q == u'-'))
            ++q;
        const char16_t* pExp = q;
        while (q < pEnd && digit(*q) <= 9)
            ++q;
        if (q == pExp)
            return -1;
    }
    if (q != pEnd)
        return -1;

    // The same short way with a sign or blanks around.
    if (!bExp && nDigits <= 15) {
        const double d = double(nMantissa) / adPow10[nDecimals];
        return bNeg ? -d : d;
    }
    return ParseValLong(pMant, pEnd, bNeg);
}

double TDayFile::ParseValLong(const char16_t* pMant, const char16_t* pEnd, bool bNeg)
{
    // from_chars takes a minus but no plus, so the sign is written back by hand. The
    // text is known to be ASCII digits, ".", "e" and signs by now.
    const qsizetype nLen = pEnd - pMant + 1;
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
    for (const char16_t* k = pMant; k < pEnd; ++k)
        *q++ = char(*k);

    double d = 0;
    const auto res = std::from_chars(pBuf, q, d, std::chars_format::general);
    if (res.ec != std::errc() || res.ptr != q)
        return -1;
    return d;
}

int TDayFile::ParseTimeSecs(QStringView s)
{
    // Nearly every time is written "hh:mm:ss"; that shape needs no split.
    if (s.size() == 8) {
        const int nSecs = ShortTime(s.utf16());
        if (nSecs >= 0)
            return nSecs;
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
    ForgetFields();

    // Only a plain file of a sane size is read: a folder, a pipe or a device in its
    // place, or a file beyond the limit, is no day.
    const std::optional<QByteArray> ba = TPlatform::ReadPlainFile(sPath, nMaxFileBytes);
    if (!ba)
        return false;

    // Lines keep 31-bit offsets; no decoding makes more characters than bytes.
    static_assert(nMaxFileBytes < qint64(nGapBit));
    sText = TTextDecode::Decode(*ba);
    const qsizetype n = sText.size();
    aLines.reserve(size_t(qMin<qsizetype>(n / 16 + 1, nMaxLines + 1)));
    const auto* pUnits = reinterpret_cast<const char16_t*>(sText.constData());
    qsizetype nStart = 0;
    const bool bSimd = TCsvSplit::Simd();
    for (qsizetype i = LineEnd(pUnits, 0, n, bSimd); i < n; i = LineEnd(pUnits, nStart, n, bSimd)) {
        aLines.push_back({quint32(nStart), quint32(i - nStart)});
        if (pUnits[i] == u'\r' && i + 1 < n && pUnits[i + 1] == u'\n')
            ++i;
        nStart = i + 1;
        if (aLines.size() > size_t(nMaxLines))
            break;
    }
    if (nStart < n)
        aLines.push_back({quint32(nStart), quint32(n - nStart)});

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
