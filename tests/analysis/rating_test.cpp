#include "analysis/rating.h"

#include "reports/gridfill_daydir.h"

#include <cmath>
#include <limits>

#include <gtest/gtest.h>

namespace {
constexpr double dNone = std::numeric_limits<double>::quiet_NaN();

// One value per hour of the day; NaN leaves the hour out.
std::vector<TRatingPeriod> Hourly(const std::array<double, 24>& adVal)
{
    std::vector<TRatingPeriod> a;
    for (int h = 0; h < 24; ++h)
        if (!std::isnan(adVal[size_t(h)]))
            a.push_back({h * 3600, adVal[size_t(h)]});
    return a;
}

std::array<double, 24> Constant(double d)
{
    std::array<double, 24> a{};
    a.fill(d);
    return a;
}

// A periodic file of 60-minute records from hourly values; NaN is written as "-".
QString PerText(const std::array<double, 24>& adVal)
{
    QString s = QStringLiteral(".Time,LAFmax,LAeq");
    for (int h = 0; h < 24; ++h)
        s += QStringLiteral("\n%1:00:00,99.0,").arg(h, 2, 10, QLatin1Char('0')) +
             (std::isnan(adVal[size_t(h)]) ? QStringLiteral("-") : QString::number(adVal[size_t(h)], 'f', 1));
    return s;
}

double Round1(double d)
{
    return std::round(d * 10.0) / 10.0;
}
} // namespace

// --- levels of one day ----------------------------------------------------------------------

TEST(TRating, ComputeDay_ConstantLevelGivesItInEveryPartAndLdenWithPenalties)
{
    const TRatingLevels lv = TRating::ComputeDay(TRatingSettings(), Hourly(Constant(60)), 60);
    EXPECT_DOUBLE_EQ(lv.Ld(), 60.0);
    EXPECT_DOUBLE_EQ(lv.Le(), 60.0);
    EXPECT_DOUBLE_EQ(lv.Ln(), 60.0);
    EXPECT_EQ(Round1(lv.dLden), 66.4);
    for (int p = 0; p < rpPartCount; ++p) {
        EXPECT_DOUBLE_EQ(lv.adCoverage[size_t(p)], 1.0);
        EXPECT_FALSE(lv.abLow[size_t(p)]);
    }
    EXPECT_FALSE(lv.bLdenLow);
}

TEST(TRating, ComputeDay_LevelsAreEnergyAveragesNotArithmetic)
{
    // 50 and 70 dB for six day hours each: 10 lg((1e5 + 1e7) / 2) = 67.0.
    auto a = Constant(60);
    for (int h = 7; h < 19; ++h)
        a[size_t(h)] = h < 13 ? 50 : 70;
    const TRatingLevels lv = TRating::ComputeDay(TRatingSettings(), Hourly(a), 60);
    EXPECT_EQ(Round1(lv.Ld()), 67.0);
    EXPECT_DOUBLE_EQ(lv.Le(), 60.0);
}

TEST(TRating, ComputeDay_CoverageBelowThresholdIsMarkedButTheLevelKept)
{
    // Four of the eight night hours missing: coverage 50 %.
    auto a = Constant(45);
    for (int h : {0, 1, 2, 23})
        a[size_t(h)] = dNone;
    TRatingSettings set;
    TRatingLevels lv = TRating::ComputeDay(set, Hourly(a), 60);
    EXPECT_DOUBLE_EQ(lv.adCoverage[rpNight], 0.5);
    EXPECT_TRUE(lv.abLow[rpNight]);
    EXPECT_TRUE(lv.bLdenLow);
    EXPECT_FALSE(lv.abLow[rpDay]);
    EXPECT_DOUBLE_EQ(lv.Ln(), 45.0);
    EXPECT_FALSE(std::isnan(lv.dLden));

    set.dCoverage = 50;
    lv = TRating::ComputeDay(set, Hourly(a), 60);
    EXPECT_FALSE(lv.abLow[rpNight]);
    EXPECT_FALSE(lv.bLdenLow);
}

TEST(TRating, ComputeDay_RepeatedStartAndOutOfDayTimesCountOnce)
{
    auto aPeriods = Hourly(Constant(50));
    aPeriods.push_back({12 * 3600, 90.0});
    aPeriods.push_back({86400, 90.0});
    aPeriods.push_back({-1, 90.0});
    const TRatingLevels lv = TRating::ComputeDay(TRatingSettings(), aPeriods, 60);
    EXPECT_DOUBLE_EQ(lv.Ld(), 50.0);
    EXPECT_DOUBLE_EQ(lv.adCoverage[rpDay], 1.0);
}

TEST(TRating, ComputeDay_LevelsOutsideZeroTo180AreMissingNotQuiet)
{
    // A night of 0.0 once gave Lnight 0.0 at full coverage; 180 and more is no
    // measurement either, while 179.9 and a small positive level are.
    auto a = Constant(50);
    for (int h : {23, 0, 1, 2, 3, 4, 5, 6})
        a[size_t(h)] = 0.0;
    a[8] = 180.0;
    a[9] = -3.0;
    a[20] = 179.9;
    a[21] = 0.1;
    const TRatingLevels lv = TRating::ComputeDay(TRatingSettings(), Hourly(a), 60);
    EXPECT_TRUE(std::isnan(lv.Ln()));
    EXPECT_DOUBLE_EQ(lv.adCoverage[rpNight], 0.0);
    EXPECT_TRUE(std::isnan(lv.dLden));
    EXPECT_DOUBLE_EQ(lv.Ld(), 50.0);
    EXPECT_DOUBLE_EQ(lv.adCoverage[rpDay], 10.0 / 12.0);
    EXPECT_DOUBLE_EQ(lv.adCoverage[rpEvening], 1.0);
    EXPECT_GT(lv.Le(), 170.0);
}

// --- day parts from the settings ------------------------------------------------------------

TEST(TRating, ComputeDay_ChangedHoursMovePeriodsBetweenParts)
{
    // Day hours at 60, night hours at 40, and 06:00 loud at 70.
    auto a = Constant(40);
    for (int h = 7; h < 23; ++h)
        a[size_t(h)] = 60;
    a[6] = 70;
    TRatingSettings set;
    TRatingLevels lv = TRating::ComputeDay(set, Hourly(a), 60);
    EXPECT_EQ(Round1(lv.Ln()), 61.0); // 10 lg((7e4 + 1e7) / 8)
    EXPECT_DOUBLE_EQ(lv.Ld(), 60.0);

    set.anStartHour = {6, 19, 23};
    lv = TRating::ComputeDay(set, Hourly(a), 60);
    EXPECT_DOUBLE_EQ(lv.Ln(), 40.0);
    EXPECT_EQ(Round1(lv.Ld()), 62.3); // 10 lg((12e6 + 1e7) / 13)
    EXPECT_DOUBLE_EQ(lv.adCoverage[rpNight], 1.0);
    EXPECT_DOUBLE_EQ(lv.adCoverage[rpDay], 1.0);
}

TEST(TRating, ComputeDay_ZeroLengthEveningDropsOutWithoutDividingByZero)
{
    TRatingSettings set;
    set.anStartHour = {7, 23, 23};
    const TRatingLevels lv = TRating::ComputeDay(set, Hourly(Constant(60)), 60);
    EXPECT_TRUE(std::isnan(lv.Le()));
    EXPECT_TRUE(std::isnan(lv.adCoverage[rpEvening]));
    EXPECT_FALSE(lv.abLow[rpEvening]);
    EXPECT_DOUBLE_EQ(lv.Ld(), 60.0);
    EXPECT_EQ(Round1(lv.dLden), 66.0); // 10 lg((16e6 + 8e7) / 24)
}

TEST(TRating, Settings_HoursThatCannotSplitADayFallBackToTheDefaults)
{
    for (const std::array<int, rpPartCount>& an :
         {std::array<int, 3>{19, 7, 23}, std::array<int, 3>{8, 8, 8}, std::array<int, 3>{7, 19, 24}}) {
        TRatingSettings set;
        set.anStartHour = an;
        EXPECT_FALSE(set.HoursValid()) << an[0] << ' ' << an[1] << ' ' << an[2];
        auto a = Constant(40);
        a[20] = 70;
        // 20:00 counts in the default evening.
        EXPECT_DOUBLE_EQ(TRating::ComputeDay(set, Hourly(a), 60).Le(),
                         TRating::ComputeDay(TRatingSettings(), Hourly(a), 60).Le());
    }
    TRatingSettings set;
    set.anStartHour = {22, 2, 6}; // a day part across midnight is fine
    EXPECT_TRUE(set.HoursValid());
    EXPECT_EQ(set.PartOf(23 * 3600), rpDay);
    EXPECT_EQ(set.PartOf(3 * 3600), rpEvening);
    EXPECT_EQ(set.PartMinutes(rpNight), 16 * 60);
}

TEST(TRating, ComputeDay_PeriodNotDividingThePartsCountsByStartAndShortLastPeriod)
{
    // 7-minute periods: 103 start in the day part, which expects 720 / 7 = 102.9,
    // and 35 in the evening, which expects 34.3; one evening period is left out. The
    // last period starts 23:55 and lasts 5 minutes to midnight.
    std::vector<TRatingPeriod> a;
    for (int nMin = 0; nMin < 1440; nMin += 7)
        if (nMin != 1141)
            a.push_back({nMin * 60, nMin == 1435 ? 80.0 : 40.0});
    const TRatingLevels lv = TRating::ComputeDay(TRatingSettings(), a, 7);
    EXPECT_DOUBLE_EQ(lv.adCoverage[rpDay], 1.0);
    EXPECT_NEAR(lv.adCoverage[rpEvening], 34.0 / (240.0 / 7.0), 1e-12);
    EXPECT_FALSE(lv.abLow[rpEvening]);
    EXPECT_EQ(Round1(lv.Ln()), 60.3); // 10 lg((67 * 7 * 1e4 + 5 * 1e8) / 474)

    // No period length: nothing expected, nothing divided.
    const TRatingLevels lvNone = TRating::ComputeDay(TRatingSettings(), a, 0);
    EXPECT_TRUE(std::isnan(lvNone.adCoverage[rpDay]));
    EXPECT_TRUE(std::isnan(lvNone.dLden));
}

// --- ranges from the day files --------------------------------------------------------------

class TRatingFiles : public ::testing::Test
{
protected:
    void SetUp() override { ASSERT_TRUE(dir.IsValid()); }

    void WriteDay(const QDate& dt, const std::array<double, 24>& a) const
    {
        dir.Write(QStringLiteral("7"), dt,
                  dt.toString(QStringLiteral("'per-'dd'-0060.csv'")).toLatin1().constData(), PerText(a));
    }
    std::vector<TRatingMonitor> Compute(const TRatingSettings& set, const QDate& dtFrom, const QDate& dtTo)
    {
        return TRating::Compute(set, dir.DataPath(), {&mon}, dtFrom, dtTo, 60);
    }

    TDayDir dir;
    TTQMonitor mon = TDayDir::Mon("7", "North Gate");
    QDate d1{2024, 5, 1};
    QDate d2{2024, 5, 2};
    QDate d3{2024, 5, 3};
};

TEST_F(TRatingFiles, Compute_RangeAveragesThePeriodsNotTheDailyValues)
{
    WriteDay(d1, Constant(60));
    auto a = Constant(60);
    for (int h = 7; h < 19; ++h)
        a[size_t(h)] = h == 12 ? 80 : dNone;
    WriteDay(d2, a);
    const auto aRes = Compute(TRatingSettings(), d1, d2);
    ASSERT_EQ(aRes.size(), 1u);
    const TRatingMonitor& rm = aRes[0];
    EXPECT_EQ(rm.sID, QStringLiteral("7"));
    ASSERT_EQ(rm.aDays.size(), 2u);
    EXPECT_EQ(rm.aDays[1].dt, d2);
    EXPECT_DOUBLE_EQ(rm.aDays[0].Ld(), 60.0);
    EXPECT_DOUBLE_EQ(rm.aDays[1].Ld(), 80.0);
    EXPECT_TRUE(rm.aDays[1].abLow[rpDay]);
    // Twelve periods of 60 and one of 80, where the daily figures would give 77.0.
    EXPECT_EQ(Round1(rm.range.Ld()), 69.4);
    EXPECT_NEAR(rm.range.adCoverage[rpDay], 13.0 / 24.0, 1e-12);
    EXPECT_TRUE(rm.range.abLow[rpDay]);
    EXPECT_DOUBLE_EQ(rm.range.Ln(), 60.0);
    EXPECT_DOUBLE_EQ(rm.range.dLden, TRating::Lden(TRatingSettings(), rm.range.Ld(), 60.0, 60.0));
    EXPECT_FALSE(rm.range.dt.isValid());
}

TEST_F(TRatingFiles, Compute_DashValuesAndMissingFilesCountAsMissing)
{
    auto a = Constant(50);
    for (int h : {20, 21})
        a[size_t(h)] = dNone;
    WriteDay(d1, a);
    // d2 has no file; d3 only an LAF percentile, which is never averaged.
    dir.Write(QStringLiteral("7"), d3, "per-03-0060.csv", QStringLiteral(".Time,LAF90\n08:00:00,44.0"));
    const auto aRes = Compute(TRatingSettings(), d1, d3);
    ASSERT_EQ(aRes.size(), 1u);
    const TRatingMonitor& rm = aRes[0];
    ASSERT_EQ(rm.aDays.size(), 3u);
    EXPECT_DOUBLE_EQ(rm.aDays[0].adCoverage[rpEvening], 0.5);
    EXPECT_DOUBLE_EQ(rm.aDays[0].Le(), 50.0);
    for (size_t i : {size_t(1), size_t(2)}) {
        EXPECT_TRUE(std::isnan(rm.aDays[i].Ld()));
        EXPECT_TRUE(std::isnan(rm.aDays[i].dLden));
        EXPECT_DOUBLE_EQ(rm.aDays[i].adCoverage[rpNight], 0.0);
        EXPECT_TRUE(rm.aDays[i].abLow[rpNight]);
    }
    EXPECT_DOUBLE_EQ(rm.range.Ld(), 50.0);
    EXPECT_NEAR(rm.range.adCoverage[rpEvening], 2.0 / 12.0, 1e-12);
}

TEST_F(TRatingFiles, Compute_ZeroAnd200InTheFileAreMissingPeriods)
{
    auto a = Constant(0.0);
    for (int h = 7; h < 23; ++h)
        a[size_t(h)] = h == 12 ? 200.0 : 55.0;
    WriteDay(d1, a);
    const auto aRes = Compute(TRatingSettings(), d1, d1);
    ASSERT_EQ(aRes.size(), 1u);
    const TRatingMonitor& rm = aRes[0];
    ASSERT_EQ(rm.aDays.size(), 1u);
    EXPECT_TRUE(std::isnan(rm.aDays[0].Ln()));
    EXPECT_DOUBLE_EQ(rm.aDays[0].adCoverage[rpNight], 0.0);
    EXPECT_TRUE(rm.aDays[0].abLow[rpNight]);
    EXPECT_DOUBLE_EQ(rm.aDays[0].Ld(), 55.0);
    EXPECT_DOUBLE_EQ(rm.aDays[0].adCoverage[rpDay], 11.0 / 12.0);
    EXPECT_TRUE(std::isnan(rm.range.Ln()));
    EXPECT_DOUBLE_EQ(rm.range.adCoverage[rpNight], 0.0);
}

TEST_F(TRatingFiles, Compute_DaysAboveLimitsCountedOnlyWhenEnabled)
{
    WriteDay(d1, Constant(60)); // Lden 66.4, Ln 60
    WriteDay(d2, Constant(45)); // Lden 51.4, Ln 45
    auto a = Constant(48.6);    // Lden 55.0 as shown: not above 55
    WriteDay(d3, a);
    TRatingSettings set;
    auto aRes = Compute(set, d1, d3);
    EXPECT_EQ(aRes[0].nLdenAbove, 0);
    EXPECT_EQ(aRes[0].nNightAbove, 0);

    set.bLdenLimitOn = true;
    aRes = Compute(set, d1, d3);
    EXPECT_EQ(Round1(aRes[0].aDays[2].dLden), 55.0);
    EXPECT_EQ(aRes[0].nLdenAbove, 1);
    EXPECT_EQ(aRes[0].nNightAbove, 0);

    set.bNightLimitOn = true;
    set.dNightLimit = 44;
    aRes = Compute(set, d1, d3);
    EXPECT_EQ(aRes[0].nNightAbove, 3);
}
