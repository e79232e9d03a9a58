// Both line splitters on arbitrary text: no crash, and a single field always
// equals the same field of the full split.
#include "datafiles/csvsplit.h"
#include "datafiles/dayfile.h"
#include "platform/textdecode.h"

#include <QByteArray>

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

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* pData, std::size_t nSize)
{
    const QByteArray ba(reinterpret_cast<const char*>(pData), qsizetype(nSize));
    const QString sLine = TTextDecode::Decode(ba);

    CheckFields(sLine, TCsvSplit::Split(sLine), false, u',');
    CheckFields(sLine, TCsvSplit::Split(sLine, u':'), false, u':');
    CheckFields(sLine, TCsvSplit::SplitStrict(sLine), true, u',');

    const double d = TDayFile::ParseVal(sLine);
    if (d != d) // a NaN must never come out
        std::abort();
    TDayFile::ParseTimeSecs(sLine);
    return 0;
}
