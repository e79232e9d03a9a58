#include "analysis/events.h"
#include "analysis/eventsfill.h"
#include "datafiles/thfile.h"
#include "settings/cfg.h"
#include "views/stringgrid.h"

#include "views/gridfill_daydir.h"

#include <cmath>
#include <limits>

#include <gtest/gtest.h>

namespace {
constexpr double dGap = std::numeric_limits<double>::quiet_NaN();
constexpr int nDay = 86400;

// A day at a quiet 40 dB with the given stretches raised: {first second, seconds, level}.
struct TBurst
{
    int nStart;
    int nSecs;
    double dLevel;
};

std::vector<double> Day(std::initializer_list<TBurst> aBursts, double dBackground = 40)
{
    std::vector<double> ad(size_t(nDay), dBackground);
    for (const TBurst& b : aBursts)
        for (int s = b.nStart; s < b.nStart + b.nSecs && s < nDay; ++s)
            ad[size_t(s)] = b.dLevel;
    return ad;
}

// Day threshold 60 from 07:00, night threshold 50 from 23:00, at least 5 s, hang 3 s.
TEventSettings Settings()
{
    TEventSettings set;
    set.dDayThreshold = 60;
    set.dNightThreshold = 50;
    set.nDayHour = 7;
    set.nNightHour = 23;
    set.nMinDuration = 5;
    set.nMaxDuration = 0;
    set.nHangTime = 3;
    set.adNLevels = {65, 70};
    return set;
}

constexpr int At(int h, int m = 0, int s = 0)
{
    return h * 3600 + m * 60 + s;
}
} // namespace

// --- one event and its figures ----------------------------------------------------------------

TEST(TEvents, DetectDay_TenSecondsAtSeventyGiveLaeEighty)
{
    const TEventDay day = TEvents::DetectDay(Settings(), Day({{At(10), 10, 70.0}}));
    ASSERT_EQ(day.aEvents.size(), 1u);
    const TNoiseEvent& ev = day.aEvents.front();
    EXPECT_EQ(ev.nStart, At(10));
    EXPECT_EQ(ev.nEnd, At(10, 0, 9));
    EXPECT_EQ(ev.Duration(), 10);
    EXPECT_DOUBLE_EQ(ev.dLAFmax, 70.0);
    EXPECT_NEAR(ev.dLAE, 80.0, 1e-9);
    EXPECT_FALSE(ev.bCut);
    EXPECT_EQ(day.nAboveSecs, 10);
    EXPECT_EQ(day.nNoValue, 0);
    EXPECT_EQ(day.anPerHour[10], 1);
}

TEST(TEvents, DetectDay_MinimumDurationIsInclusive)
{
    const TEventSettings set = Settings();
    const TEventDay day = TEvents::DetectDay(set, Day({{At(9), 5, 70}, {At(11), 4, 70}}));
    ASSERT_EQ(day.aEvents.size(), 1u);
    EXPECT_EQ(day.aEvents.front().nStart, At(9));
    EXPECT_EQ(day.aEvents.front().Duration(), 5);
    // The shorter burst was above the threshold all the same.
    EXPECT_EQ(day.nAboveSecs, 9);
}

TEST(TEvents, DetectDay_MaximumDurationDropsLongerEventsWhenSet)
{
    TEventSettings set = Settings();
    const std::vector<double> ad = Day({{At(9), 30, 70}, {At(11), 60, 70}});
    EXPECT_EQ(TEvents::DetectDay(set, ad).aEvents.size(), 2u);
    set.nMaxDuration = 30;
    const TEventDay day = TEvents::DetectDay(set, ad);
    ASSERT_EQ(day.aEvents.size(), 1u);
    EXPECT_EQ(day.aEvents.front().Duration(), 30);
}

TEST(TEvents, DetectDay_LevelEqualToThresholdIsNotAbove)
{
    const TEventDay day = TEvents::DetectDay(Settings(), Day({{At(9), 20, 60.0}}));
    EXPECT_TRUE(day.aEvents.empty());
    EXPECT_EQ(day.nAboveSecs, 0);
}

// --- hang time ----------------------------------------------------------------------------------

TEST(TEvents, DetectDay_BurstsCloserThanHangTimeAreOneEvent)
{
    // 2 s below between two 4-second bursts, hang 3 s: one event of 10 s.
    const TEventDay day = TEvents::DetectDay(Settings(), Day({{At(9), 4, 70}, {At(9, 0, 6), 4, 75}}));
    ASSERT_EQ(day.aEvents.size(), 1u);
    const TNoiseEvent& ev = day.aEvents.front();
    EXPECT_EQ(ev.nStart, At(9));
    EXPECT_EQ(ev.nEnd, At(9, 0, 9));
    EXPECT_DOUBLE_EQ(ev.dLAFmax, 75.0);
    // The two quiet seconds inside the event count in its exposure.
    const double dEnergy = 4 * 1e7 + 2 * 1e4 + 4 * std::pow(10.0, 7.5);
    EXPECT_NEAR(ev.dLAE, 10 * std::log10(dEnergy), 1e-9);
}

TEST(TEvents, DetectDay_BurstsAHangTimeApartAreTwoEvents)
{
    const TEventDay day = TEvents::DetectDay(Settings(), Day({{At(9), 6, 70}, {At(9, 0, 9), 6, 70}}));
    ASSERT_EQ(day.aEvents.size(), 2u);
    EXPECT_EQ(day.aEvents[0].nEnd, At(9, 0, 5));
    EXPECT_EQ(day.aEvents[1].nStart, At(9, 0, 9));
}

TEST(TEvents, DetectDay_HangTimeLongerThanTheDayRunsToMidnightAndIsCut)
{
    TEventSettings set = Settings();
    set.nHangTime = 100000;
    const TEventDay day = TEvents::DetectDay(set, Day({{At(9), 6, 70}, {At(15), 6, 70}}));
    ASSERT_EQ(day.aEvents.size(), 1u);
    EXPECT_EQ(day.aEvents.front().nStart, At(9));
    EXPECT_EQ(day.aEvents.front().nEnd, nDay - 1);
    EXPECT_TRUE(day.aEvents.front().bCut);
    EXPECT_DOUBLE_EQ(day.aEvents.front().dLAFmax, 70.0);
}

// --- gaps and midnight --------------------------------------------------------------------------

TEST(TEvents, DetectDay_GapEndsAnEventAndIsNeverPartOfOne)
{
    std::vector<double> ad = Day({{At(9), 20, 70}});
    ad[size_t(At(9, 0, 8))] = dGap;
    const TEventDay day = TEvents::DetectDay(Settings(), ad);
    ASSERT_EQ(day.aEvents.size(), 2u);
    EXPECT_EQ(day.aEvents[0].nStart, At(9));
    EXPECT_EQ(day.aEvents[0].nEnd, At(9, 0, 7));
    EXPECT_FALSE(day.aEvents[0].bCut);
    EXPECT_EQ(day.aEvents[1].nStart, At(9, 0, 9));
    EXPECT_EQ(day.aEvents[1].nEnd, At(9, 0, 19));
    EXPECT_EQ(day.nNoValue, 1);
    EXPECT_EQ(day.nAboveSecs, 19);
}

TEST(TEvents, DetectDay_EventRunningIntoTheNextDayEndsAtMidnightAndIsCut)
{
    const TEventDay day = TEvents::DetectDay(Settings(), Day({{At(23, 59, 50), 10, 70}}));
    ASSERT_EQ(day.aEvents.size(), 1u);
    const TNoiseEvent& ev = day.aEvents.front();
    EXPECT_EQ(ev.nStart, At(23, 59, 50));
    EXPECT_EQ(ev.nEnd, At(23, 59, 59));
    EXPECT_TRUE(ev.bCut);
    EXPECT_NEAR(ev.dLAE, 80.0, 1e-9);
    EXPECT_EQ(day.anPerHour[23], 1);
}

TEST(TEvents, DetectDay_BadLevelsAreGapsAndAShortListLeavesTheRestWithoutValue)
{
    // -3 and 200 are no levels; neither starts nor holds an event.
    std::vector<double> ad(size_t(At(12)), 40.0);
    for (int s = At(9); s < At(9, 0, 10); ++s)
        ad[size_t(s)] = s % 2 ? 200.0 : -3.0;
    ad[size_t(At(10))] = std::numeric_limits<double>::infinity();
    const TEventDay day = TEvents::DetectDay(Settings(), ad);
    EXPECT_TRUE(day.aEvents.empty());
    EXPECT_EQ(day.nNoValue, 10 + 1 + (nDay - At(12)));
}

TEST(TEvents, DetectDay_OnlyGapsOrThresholdAboveEveryLevelGiveNoEvents)
{
    const TEventDay gaps = TEvents::DetectDay(Settings(), std::vector<double>(size_t(nDay), dGap));
    EXPECT_TRUE(gaps.aEvents.empty());
    EXPECT_EQ(gaps.nNoValue, nDay);
    TEventSettings set = Settings();
    set.dDayThreshold = set.dNightThreshold = 180;
    const TEventDay high = TEvents::DetectDay(set, Day({{At(9), 100, 120}}));
    EXPECT_TRUE(high.aEvents.empty());
    EXPECT_EQ(high.nAboveSecs, 0);
}

// --- day and night ------------------------------------------------------------------------------

TEST(TEvents, DetectDay_EventKeepsTheThresholdOfItsStartAcrossTheNightChange)
{
    // 55 dB is above the night threshold only. An event started at 22:59:50 by a 65 dB
    // burst keeps the day threshold: the 55 dB after 23:00 ends it after the hang time,
    // and then a night event starts.
    const TEventDay day =
        TEvents::DetectDay(Settings(), Day({{At(22, 59, 50), 15, 65}, {At(23, 0, 5), 20, 55}}));
    ASSERT_EQ(day.aEvents.size(), 2u);
    EXPECT_EQ(day.aEvents[0].nStart, At(22, 59, 50));
    EXPECT_EQ(day.aEvents[0].nEnd, At(23, 0, 4));
    EXPECT_DOUBLE_EQ(day.aEvents[0].dThreshold, 60);
    EXPECT_EQ(day.aEvents[1].nStart, At(23, 0, 8));
    EXPECT_EQ(day.aEvents[1].nEnd, At(23, 0, 24));
    EXPECT_DOUBLE_EQ(day.aEvents[1].dThreshold, 50);
    EXPECT_EQ(day.nAboveSecs, 15 + 20);

    // The other way round: started at night, the 55 dB seconds after 07:00 still belong to it.
    const TEventDay morning = TEvents::DetectDay(Settings(), Day({{At(6, 59, 55), 15, 55}}));
    ASSERT_EQ(morning.aEvents.size(), 1u);
    EXPECT_EQ(morning.aEvents.front().Duration(), 15);
    EXPECT_DOUBLE_EQ(morning.aEvents.front().dThreshold, 50);
}

TEST(TEventSettings, ThresholdAt_FollowsHoursAcrossMidnight)
{
    const TEventSettings set = Settings();
    EXPECT_EQ(set.ThresholdAt(At(6, 59, 59)), 50);
    EXPECT_EQ(set.ThresholdAt(At(7)), 60);
    EXPECT_EQ(set.ThresholdAt(At(22, 59, 59)), 60);
    EXPECT_EQ(set.ThresholdAt(At(23)), 50);
    EXPECT_EQ(set.ThresholdAt(0), 50);

    // A night that starts before the day wraps the other way; equal hours are all day.
    TEventSettings wrap = set;
    wrap.nDayHour = 22;
    wrap.nNightHour = 6;
    EXPECT_EQ(wrap.ThresholdAt(At(23)), 60);
    EXPECT_EQ(wrap.ThresholdAt(At(12)), 50);
    wrap.nNightHour = 22;
    EXPECT_EQ(wrap.ThresholdAt(At(3)), 60);
}

// --- counts -------------------------------------------------------------------------------------

TEST(TEvents, DetectDay_NAboveAndHourlyCountsOfAHandMadeDay)
{
    const TEventDay day = TEvents::DetectDay(Settings(), Day({{At(8), 10, 64},
                                                              {At(8, 30), 10, 65},
                                                              {At(8, 45), 10, 65.1},
                                                              {At(9), 10, 71},
                                                              {At(13), 10, 80},
                                                              {At(13, 1), 3, 90}}));
    // 64 and 65 dB are not above 65; 65.1, 71 and 80 are. The 3-second burst is too short.
    ASSERT_EQ(day.aEvents.size(), 5u);
    ASSERT_EQ(day.anNAbove.size(), 2u);
    EXPECT_EQ(day.anNAbove[0], 3);
    EXPECT_EQ(day.anNAbove[1], 2);
    EXPECT_EQ(day.anPerHour[8], 3);
    EXPECT_EQ(day.anPerHour[9], 1);
    EXPECT_EQ(day.anPerHour[13], 1);
    EXPECT_EQ(day.nAboveSecs, 53);
}

// --- from the files -----------------------------------------------------------------------------

TEST(TEvents, Compute_ReadsProfileFilesWithBadFieldsAndMissingDays)
{
    TDayDir dir;
    ASSERT_TRUE(dir.IsValid());
    const QDate dt(2024, 3, 5);
    QString s = QStringLiteral("Time,LAeq");
    // 10:00:00-10:00:09 at 70 dB, then text a level cannot be read from.
    for (int i = 0; i < 10; ++i)
        s += QStringLiteral("\n10:00:%1,70.0").arg(i, 2, 10, QLatin1Char('0'));
    s += QStringLiteral("\n10:00:10,abc\n10:00:11,1e400\n10:00:12,-\n10:00:13,45.0");
    // A second given twice moves its neighbours on by one: still a defined day.
    s += QStringLiteral("\n11:00:00,72\n11:00:00,72\n11:00:01,72\n11:00:02,72\n11:00:03,72");
    dir.Write(QStringLiteral("M1"), dt, "prf-05.csv", s);
    const TTQMonitor mon = TDayDir::Mon("M1", "North");
    const std::vector<TEventMonitor> a =
        TEvents::Compute(Settings(), dir.DataPath(), {&mon}, dt, dt.addDays(1));
    ASSERT_EQ(a.size(), 1u);
    ASSERT_EQ(a[0].aDays.size(), 2u);
    const TEventDay& day = a[0].aDays[0];
    EXPECT_TRUE(day.bFile);
    ASSERT_EQ(day.aEvents.size(), 2u);
    EXPECT_EQ(day.aEvents[0].nStart, At(10));
    EXPECT_EQ(day.aEvents[0].nEnd, At(10, 0, 9));
    EXPECT_NEAR(day.aEvents[0].dLAE, 80.0, 1e-9);
    EXPECT_EQ(day.aEvents[1].nStart, At(11));
    EXPECT_EQ(day.aEvents[1].Duration(), 5);
    EXPECT_EQ(day.nNoValue, nDay - 10 - 1 - 5);
    const TEventDay& missing = a[0].aDays[1];
    EXPECT_FALSE(missing.bFile);
    EXPECT_EQ(missing.dt, dt.addDays(1));
    EXPECT_EQ(missing.nNoValue, nDay);
    EXPECT_EQ(missing.anNAbove.size(), 2u);
}

TEST(TEventSettings, FromCfg_FollowsTheRatingHoursAndRefusesBadValues)
{
    QTemporaryDir tmp;
    ASSERT_TRUE(tmp.isValid());
    TCfg cfg(tmp.path());
    cfg.SetRatingDayHour(6);
    cfg.SetRatingNightHour(22);
    cfg.SetEvtHangTime(-4);
    cfg.SetEvtNLevels(QStringLiteral("70, x,62.5,300"));
    TEventSettings set = TEventSettings::FromCfg(cfg);
    EXPECT_EQ(set.nDayHour, 6);
    EXPECT_EQ(set.nNightHour, 22);
    EXPECT_EQ(set.nHangTime, 0);
    EXPECT_EQ(set.adNLevels, (std::vector<double>{70, 62.5}));
    cfg.SetEvtDayHour(8);
    cfg.SetEvtNightHour(20);
    set = TEventSettings::FromCfg(cfg);
    EXPECT_EQ(set.nDayHour, 8);
    EXPECT_EQ(set.nNightHour, 20);

    std::vector<double> ad;
    EXPECT_TRUE(TEventSettings::ParseLevels(QStringLiteral("65, 70,"), ad));
    EXPECT_EQ(ad, (std::vector<double>{65, 70}));
    EXPECT_FALSE(TEventSettings::ParseLevels(QStringLiteral("65,abc"), ad));
    EXPECT_FALSE(TEventSettings::ParseLevels(QStringLiteral("181"), ad));
}

// Regression: the levels were written with six significant digits, so a level the
// settings dialog stored ("65.1234567") read back as another ("65.1235").
TEST(TEventSettings, LevelsText_ReadsBackAsTheSameLevels)
{
    std::vector<double> ad;
    ASSERT_TRUE(TEventSettings::ParseLevels(QStringLiteral("65.1234567,0.1,180"), ad));
    EXPECT_EQ(TEventSettings::LevelsText(ad), QStringLiteral("65.1234567,0.1,180"));
}

// --- the list -----------------------------------------------------------------------------------

TEST(TEventsFill, FillList_EventRowsCountsAndHours)
{
    const TEventSettings set = Settings();
    TEventMonitor em;
    em.sID = QStringLiteral("M1");
    TEventDay day = TEvents::DetectDay(set, Day({{At(9), 10, 70}, {At(23, 59, 55), 5, 66}}));
    day.dt = QDate(2024, 3, 5);
    em.aDays.push_back(day);
    TEventDay none;
    none.dt = QDate(2024, 3, 6);
    none.anNAbove.assign(2, 0);
    em.aDays.push_back(none);
    const TTQMonitor mon = TDayDir::Mon("M1", "North");
    TStringGrid grid;
    TEventsFill::FillList(grid, set, {&mon}, {em});

    EXPECT_EQ(grid.ColCount(), TEventsFill::ColCount);
    EXPECT_EQ(grid.Cells(0, 0), QStringLiteral("~name~North"));
    EXPECT_EQ(grid.Cells(0, 2), QStringLiteral("~h~2024-03-05"));
    EXPECT_EQ(grid.Cells(TEventsFill::ColLAE, 3), QStringLiteral("~h~LAE"));
    const int r = 5;
    EXPECT_EQ(grid.Cells(TEventsFill::ColNumber, r), QStringLiteral("1"));
    EXPECT_EQ(grid.Cells(TEventsFill::ColStart, r), QStringLiteral("09:00:00"));
    EXPECT_EQ(grid.Cells(TEventsFill::ColEnd, r), QStringLiteral("09:00:09"));
    EXPECT_EQ(grid.Cells(TEventsFill::ColDuration, r), QStringLiteral("10"));
    EXPECT_EQ(grid.Cells(TEventsFill::ColLAFmax, r), QStringLiteral("70.0"));
    EXPECT_EQ(grid.Cells(TEventsFill::ColLAE, r), QStringLiteral("80.0"));
    EXPECT_EQ(grid.Cells(TEventsFill::ColCut, r), QString());
    EXPECT_EQ(grid.Cells(TEventsFill::ColStart, r + 1), QStringLiteral("23:59:55"));
    EXPECT_EQ(grid.Cells(TEventsFill::ColCut, r + 1), QStringLiteral("cut"));
    EXPECT_EQ(grid.Cells(0, r + 3), QStringLiteral("~h~Events"));
    EXPECT_EQ(grid.Cells(1, r + 3), QStringLiteral("^2"));
    EXPECT_EQ(grid.Cells(0, r + 4), QStringLiteral("~h~N65"));
    EXPECT_EQ(grid.Cells(1, r + 4), QStringLiteral("2"));
    EXPECT_EQ(grid.Cells(1, r + 5), QStringLiteral("0")); // 70.0 is not above 70
    EXPECT_EQ(grid.Cells(0, r + 6), QStringLiteral("~h~Above (s)"));
    EXPECT_EQ(grid.Cells(1, r + 6), QStringLiteral("15"));
    EXPECT_EQ(grid.Cells(0, r + 7), QStringLiteral("~h~No value (s)"));
    EXPECT_EQ(grid.Cells(1, r + 7), QStringLiteral("0"));
    // Hour 09 is the fourth of the second pair of hour rows.
    EXPECT_EQ(grid.Cells(4, r + 10), QStringLiteral("~h~09:00"));
    EXPECT_EQ(grid.Cells(4, r + 11), QStringLiteral("1"));
    EXPECT_EQ(grid.Cells(6, r + 15), QStringLiteral("1")); // 23:00

    // The day without a file says so and that no second had a value.
    int nNoFile = -1;
    for (int row = 0; row < grid.RowCount(); ++row)
        if (grid.Cells(TEventsFill::ColStart, row) == QStringLiteral("No profile file"))
            nNoFile = row;
    ASSERT_GT(nNoFile, r);
    EXPECT_EQ(grid.Cells(0, nNoFile - 3), QStringLiteral("~h~2024-03-06"));
    EXPECT_EQ(grid.Cells(1, nNoFile + 6), QStringLiteral("86400"));
    EXPECT_EQ(grid.Cells(2, nNoFile + 6), QStringLiteral("24:00:00"));
    // The last row is empty and the grid ends right after the block's spacing rows.
    EXPECT_EQ(grid.Cells(0, grid.RowCount() - 4), QString());
    EXPECT_EQ(grid.Cells(1, grid.RowCount() - 5), QStringLiteral("0"));
}
