// Arbitrary bytes as a weather file: read without a crash; the readings are in time
// order, each holding a while and no longer than until the next one; the rows that
// could not be read are counted and summed up in one line; the same bytes read from
// a file give the same readings; and the rules make exclusions of each kind that lie
// within the readings, one after the other, each one found by the exclusion list.
#include "analysis/weatherrules.h"
#include "datafiles/weatherfile.h"
#include "platform/textdecode.h"

#include "fuzzutil.h"

#include <cmath>
#include <cstdint>

namespace {

bool NoneOrAtLeastZero(double d)
{
    return std::isnan(d) || (std::isfinite(d) && d >= 0);
}

bool SameRows(const std::vector<TWeatherRow>& a, const std::vector<TWeatherRow>& b)
{
    if (a.size() != b.size())
        return false;
    auto same = [](double x, double y) { return (std::isnan(x) && std::isnan(y)) || x == y; };
    for (size_t i = 0; i < a.size(); ++i)
        if (a[i].nFrom != b[i].nFrom || a[i].nTo != b[i].nTo || !same(a[i].dWind, b[i].dWind) ||
            !same(a[i].dRain, b[i].dRain) || a[i].nLine != b[i].nLine)
            return false;
    return true;
}

void CheckExclusions(const std::vector<TWeatherRow>& aRows, const TWeatherRules& rules)
{
    const std::vector<TExclusion> a = rules.Exclusions(aRows, QStringLiteral("M1"));
    const TExclusion* pLast = nullptr;
    for (const TExclusion& ex : a) {
        Require(ex.nFrom < ex.nTo && ex.sMonitor == QLatin1String("M1") && ex.slParams.isEmpty());
        Require(ex.eReason == TExclusion::EReason::Wind || ex.eReason == TExclusion::EReason::Rain);
        Require(ex.nFrom >= aRows.front().nFrom && ex.nTo <= aRows.back().nTo);
        // Adjacent readings are merged, so two exclusions of one kind never touch.
        if (pLast && pLast->eReason == ex.eReason)
            Require(pLast->nTo < ex.nFrom);
        pLast = &ex;
    }
    TExclusions excl;
    excl.SetAutomatic(a);
    int nAsked = 0;
    for (const TExclusion& ex : a) {
        if (++nAsked > 50)
            break;
        Require(excl.IsExcluded(QStringLiteral("M1"), QStringLiteral("LAeq"), ex.nFrom));
        Require(excl.IsExcluded(QStringLiteral("m1"), QStringLiteral("LAF90"), ex.nTo - 1));
        Require(!excl.IsExcluded(QStringLiteral("M2"), QStringLiteral("LAeq"), ex.nFrom));
    }
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* pData, std::size_t nSize)
{
    const QByteArray baIn(reinterpret_cast<const char*>(pData), qsizetype(nSize));
    const QString sText = TTextDecode::Decode(baIn);

    TWeatherFile f;
    const bool bRead = f.LoadText(sText, QStringLiteral("w.csv"));
    Require(bRead == f.Error().isEmpty());
    Require(f.BadRowSummary().isEmpty() == (f.BadRowCount() == 0));
    Require(f.BadRows().size() == std::min(f.BadRowCount(), TWeatherFile::nMaxBadRows));
    if (!bRead) {
        Require(f.Rows().empty() && f.BadRowCount() == 0 && !f.HasWind() && !f.HasRain());
        return 0;
    }
    Require(f.HasWind() || f.HasRain());
    const std::vector<TWeatherRow>& aRows = f.Rows();
    for (size_t i = 0; i < aRows.size(); ++i) {
        const TWeatherRow& row = aRows[i];
        Require(row.nFrom < row.nTo);
        Require(i + 1 == aRows.size() ? row.nTo - row.nFrom <= TWeatherFile::nMaxStep : row.nTo <= aRows[i + 1].nFrom);
        Require(NoneOrAtLeastZero(row.dWind) && NoneOrAtLeastZero(row.dRain));
        Require(f.HasWind() || std::isnan(row.dWind));
        Require(f.HasRain() || std::isnan(row.dRain));
        Require(row.nLine >= 2);
    }
    if (!aRows.empty()) {
        CheckExclusions(aRows, TWeatherRules());
        TWeatherRules rules;
        rules.dWindAbove = 0;
        rules.dRainAbove = 1.5;
        CheckExclusions(aRows, rules);
    }

    // The same bytes as a file read the same.
    static const QString sFile = FuzzScratch().path() + QStringLiteral("/weather.csv");
    WriteBytes(sFile, baIn);
    TWeatherFile file;
    Require(file.Load(sFile) == bRead && SameRows(file.Rows(), aRows) && file.BadRows() == f.BadRows());
    return 0;
}
