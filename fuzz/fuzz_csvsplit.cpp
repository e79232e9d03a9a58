// Both line splitters on arbitrary text: no crash, a single field always equals the
// same field of the full split, and the whole-line walk that the day files take finds
// the same fields as the field-by-field one, with its eight-character steps on and off.
#include "datafiles/csvsplit.h"
#include "datafiles/dayfile.h"
#include "platform/textdecode.h"

#include <QByteArray>

#include <algorithm>
#include <array>
#include <cstdint>
#include <cstdlib>

namespace {

void CheckFields(const QString& sLine, const QStringList& sl, bool bStrict, QChar chSep)
{
    auto field = [&](int i) {
        return bStrict ? TCsvSplit::FieldStrict(sLine, i) : TCsvSplit::Field(sLine, i, chSep);
    };
    // Every field near both ends and past them; all of them would be quadratic.
    const int nCount = int(sl.size());
    for (int i = -1; i < nCount + 2; ++i) {
        if (i == 32 && nCount > 40)
            i = nCount - 4;
        if (field(i) != sl.value(i))
            std::abort();
    }
    for (const QString& s : sl) {
        // Without quotes, the common rule never leaves a blank or separator in a field.
        if (!bStrict && !sLine.contains(u'"') && (s.contains(chSep) || s.contains(u' ')))
            std::abort();
        TDayFile::ParseVal(s);
        TDayFile::ParseTimeSecs(s);
    }
}

// The same place in the line, quoting and presence.
bool SameSpan(const TCsvSplit::TFieldSpan& a, const TCsvSplit::TFieldSpan& b)
{
    return a.bFound == b.bFound && a.bQuoted == b.bQuoted && a.sRaw.size() == b.sRaw.size() &&
           (b.sRaw.isEmpty() || a.sRaw.data() == b.sRaw.data());
}

void CheckLocateAll(const QString& sLine, int nCount, bool bStrict)
{
    constexpr int nMax = 48;
    std::array<TCsvSplit::TFieldSpan, nMax> aSimd;
    std::array<TCsvSplit::TFieldSpan, nMax> aPlain;
    TCsvSplit::SetSimd(true);
    const int nSimd = TCsvSplit::LocateAll(sLine, bStrict, aSimd.data(), nMax);
    TCsvSplit::SetSimd(false);
    const int nPlain = TCsvSplit::LocateAll(sLine, bStrict, aPlain.data(), nMax);
    TCsvSplit::SetSimd(true);
    if (nSimd != nPlain || nSimd != std::min(nCount, nMax))
        std::abort();
    for (int i = 0; i < nSimd; ++i) {
        const TCsvSplit::TFieldSpan one =
            bStrict ? TCsvSplit::LocateStrict(sLine, i) : TCsvSplit::Locate(sLine, i);
        if (!SameSpan(aSimd[size_t(i)], one) || !SameSpan(aPlain[size_t(i)], one))
            std::abort();
    }
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* pData, std::size_t nSize)
{
    const QByteArray ba(reinterpret_cast<const char*>(pData), qsizetype(nSize));
    const QString sLine = TTextDecode::Decode(ba);

    const QStringList slCommon = TCsvSplit::Split(sLine);
    const QStringList slStrict = TCsvSplit::SplitStrict(sLine);
    CheckFields(sLine, slCommon, false, u',');
    CheckFields(sLine, TCsvSplit::Split(sLine, u':'), false, u':');
    CheckFields(sLine, slStrict, true, u',');
    CheckLocateAll(sLine, int(slCommon.size()), false);
    CheckLocateAll(sLine, int(slStrict.size()), true);

    const double d = TDayFile::ParseVal(sLine);
    if (d != d) // a NaN must never come out
        std::abort();
    TDayFile::ParseTimeSecs(sLine);
    return 0;
}
