#include "analysis/events.h"
#include "analysis/eventsfill.h"
#include "analysis/level.h"
#include "analysis/runningl90.h"
#include "datafiles/thfile.h"
#include "settings/cfg.h"
#include "reports/stringgrid.h"

#include "reports/gridfill_daydir.h"

#include <QFile>

#include <algorithm>
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
    EXPECT_DOUBLE_EQ(ev.dLMax, 70.0);
    EXPECT_NEAR(ev.dLAE, 80.0, 1e-9);
    EXPECT_FALSE(ev.Cut());
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

TEST(TEvents, DetectDay_EventLongerThanTheMaximumIsKeptAndMarkedLong)
{
    // Regression: a maximum duration used to drop the longer events without a word.
    TEventSettings set = Settings();
    const std::vector<double> ad = Day({{At(9), 30, 70}, {At(11), 60, 70}});
    EXPECT_EQ(TEvents::DetectDay(set, ad).aEvents.size(), 2u);
    set.nMaxDuration = 30;
    const TEventDay day = TEvents::DetectDay(set, ad);
    ASSERT_EQ(day.aEvents.size(), 2u);
    EXPECT_FALSE(day.aEvents[0].bLong);
    EXPECT_TRUE(day.aEvents[1].bLong);
    EXPECT_EQ(day.aEvents[1].Duration(), 60);
    EXPECT_EQ(TEventsFill::NoteText(day.aEvents[1]), QStringLiteral("long"));
}

TEST(TEvents, DetectDay_ValuesOfZeroAnd180AreNoLevels)
{
    // Regression: 180 dB, the monitors' mark of an overload, made an event of LAE 187.8.
    const TEventDay day = TEvents::DetectDay(Settings(), Day({{At(9), 6, 180}, {At(10), 6, 0}, {At(11), 6, 179.9}}));
    ASSERT_EQ(day.aEvents.size(), 1u);
    EXPECT_EQ(day.aEvents[0].nStart, At(11));
    EXPECT_EQ(day.nNoValue, 12);
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
    EXPECT_DOUBLE_EQ(ev.dLMax, 75.0);
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
    // 23:00 changes the threshold: the event ends there.
    EXPECT_EQ(day.aEvents.front().nEnd, At(23) - 1);
    EXPECT_EQ(day.aEvents.front().eCut, TNoiseEvent::ECut::Threshold);
    EXPECT_DOUBLE_EQ(day.aEvents.front().dLMax, 70.0);
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
    EXPECT_FALSE(day.aEvents[0].Cut());
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
    EXPECT_TRUE(ev.Cut());
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

TEST(TEvents, DetectDay_EventEndsWhereTheThresholdChanges)
{
    // An event started at 22:59:50 by a 65 dB burst ends at 23:00, cut; detection goes
    // on under the night threshold, above which both the 65 and the 55 dB lie.
    const TEventDay day =
        TEvents::DetectDay(Settings(), Day({{At(22, 59, 50), 15, 65}, {At(23, 0, 5), 20, 55}}));
    ASSERT_EQ(day.aEvents.size(), 2u);
    EXPECT_EQ(day.aEvents[0].nStart, At(22, 59, 50));
    EXPECT_EQ(day.aEvents[0].nEnd, At(22, 59, 59));
    EXPECT_EQ(day.aEvents[0].eCut, TNoiseEvent::ECut::Threshold);
    EXPECT_DOUBLE_EQ(day.aEvents[0].dThreshold, 60);
    EXPECT_EQ(day.aEvents[1].nStart, At(23));
    EXPECT_EQ(day.aEvents[1].nEnd, At(23, 0, 24));
    EXPECT_FALSE(day.aEvents[1].Cut());
    EXPECT_DOUBLE_EQ(day.aEvents[1].dThreshold, 50);
    EXPECT_EQ(day.nAboveSecs, 10 + 25);

    // A cut event counts however short: 2 s above the night threshold before 07:00.
    const TEventDay morning = TEvents::DetectDay(Settings(), Day({{At(6, 59, 58), 15, 55}}));
    ASSERT_EQ(morning.aEvents.size(), 1u);
    EXPECT_EQ(morning.aEvents.front().Duration(), 2);
    EXPECT_EQ(TEventsFill::NoteText(morning.aEvents.front()), QStringLiteral("cut at threshold change"));
}

TEST(TEvents, DetectDay_NightEventDoesNotSwallowTheDay)
{
    // Regression: steady 55 dB traffic from 06:50, above the night threshold only, kept
    // the night threshold all day as one event that swallowed a lorry at 80 dB and a
    // 30-s event at 85 dB; with a maximum duration set, all of them vanished.
    const std::vector<double> ad =
        Day({{At(6, 50), At(20) - At(6, 50), 55}, {At(9), 20, 80}, {At(14), 30, 85}});
    TEventSettings set = Settings();
    for (int nMax : {0, 300}) {
        set.nMaxDuration = nMax;
        const TEventDay day = TEvents::DetectDay(set, ad);
        ASSERT_EQ(day.aEvents.size(), 3u) << nMax;
        EXPECT_EQ(day.aEvents[0].nStart, At(6, 50));
        EXPECT_EQ(day.aEvents[0].nEnd, At(7) - 1);
        EXPECT_EQ(day.aEvents[0].eCut, TNoiseEvent::ECut::Threshold);
        EXPECT_EQ(day.aEvents[0].bLong, nMax > 0);
        EXPECT_EQ(day.aEvents[1].nStart, At(9));
        EXPECT_EQ(day.aEvents[1].Duration(), 20);
        EXPECT_DOUBLE_EQ(day.aEvents[1].dLMax, 80);
        EXPECT_EQ(day.aEvents[2].nStart, At(14));
        EXPECT_EQ(day.aEvents[2].Duration(), 30);
        EXPECT_FALSE(day.aEvents[2].bLong);
    }
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
    // A second given twice takes its first record; the other is counted, not placed.
    s += QStringLiteral("\n11:00:00,72\n11:00:00,90\n11:00:01,72\n11:00:02,72\n11:00:03,72\n11:00:04,72");
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
    EXPECT_DOUBLE_EQ(day.aEvents[1].dLMax, 72);
    EXPECT_EQ(day.nUnplaced, 1);
    EXPECT_EQ(day.nNoValue, nDay - 10 - 1 - 5);
    const TEventDay& missing = a[0].aDays[1];
    EXPECT_FALSE(missing.bFile);
    EXPECT_EQ(missing.dt, dt.addDays(1));
    EXPECT_EQ(missing.nNoValue, nDay);
    EXPECT_EQ(missing.anNAbove.size(), 2u);
}

// Profile text of the given seconds at one level.
QString Secs(int nFrom, int nCount, const char* pszLevel)
{
    QString s;
    for (int t = nFrom; t < nFrom + nCount; ++t)
        s += QString::asprintf("\n%02d:%02d:%02d,%s", t / 3600, t / 60 % 60, t % 60, pszLevel);
    return s;
}

TEST(TEvents, Compute_EventAcrossMidnightIsOneEventOnItsStartDay)
{
    // Regression: 23:59:57 to 00:00:02 was two halves of 3 s, each under the 5-s
    // minimum, and the event was lost.
    TDayDir dir;
    ASSERT_TRUE(dir.IsValid());
    const QDate dt(2024, 3, 5);
    dir.Write(QStringLiteral("M1"), dt, "prf-05.csv", QStringLiteral("Time,LAeq") + Secs(At(23, 59, 57), 3, "70"));
    dir.Write(QStringLiteral("M1"), dt.addDays(1), "prf-06.csv",
              QStringLiteral("Time,LAeq") + Secs(0, 3, "70") + Secs(At(9), 2, "75"));
    const TTQMonitor mon = TDayDir::Mon("M1", "North");

    const std::vector<TEventMonitor> both = TEvents::Compute(Settings(), dir.DataPath(), {&mon}, dt, dt.addDays(1));
    ASSERT_EQ(both[0].aDays.size(), 2u);
    ASSERT_EQ(both[0].aDays[0].aEvents.size(), 1u);
    const TNoiseEvent& ev = both[0].aDays[0].aEvents[0];
    EXPECT_EQ(ev.nStart, At(23, 59, 57));
    EXPECT_EQ(ev.Duration(), 6);
    EXPECT_FALSE(ev.Cut());
    EXPECT_NEAR(ev.dLAE, 70 + 10 * std::log10(6.0), 1e-9);
    EXPECT_EQ(TEventsFill::EndText(ev), QStringLiteral("00:00:02 next day"));
    EXPECT_EQ(both[0].aDays[0].anPerHour[23], 1);
    EXPECT_EQ(both[0].aDays[0].nAboveSecs, 3);
    // The next day lists nothing of it, and its own 2-s burst is too short.
    EXPECT_TRUE(both[0].aDays[1].aEvents.empty());
    EXPECT_EQ(both[0].aDays[1].nAboveSecs, 3 + 2);

    // With the first day alone the event is cut at midnight and kept however short.
    const std::vector<TEventMonitor> one = TEvents::Compute(Settings(), dir.DataPath(), {&mon}, dt, dt);
    ASSERT_EQ(one[0].aDays[0].aEvents.size(), 1u);
    EXPECT_EQ(one[0].aDays[0].aEvents[0].Duration(), 3);
    EXPECT_EQ(one[0].aDays[0].aEvents[0].eCut, TNoiseEvent::ECut::Midnight);
    // The second day alone: 3 s from midnight are too short to count.
    const std::vector<TEventMonitor> two =
        TEvents::Compute(Settings(), dir.DataPath(), {&mon}, dt.addDays(1), dt.addDays(1));
    EXPECT_TRUE(two[0].aDays[0].aEvents.empty());
}

TEST(TEvents, Compute_RefusedFileIsToldFromAMissingOne)
{
    TDayDir dir;
    ASSERT_TRUE(dir.IsValid());
    const QDate dt(2024, 3, 5);
    dir.Write(QStringLiteral("M1"), dt, "prf-05.csv", QString());
    // An empty file: Write adds a line end, so empty it again.
    QFile f(TTHFile::FileName(dir.DataPath(), QStringLiteral("M1"), dt));
    ASSERT_TRUE(f.open(QIODevice::WriteOnly | QIODevice::Truncate));
    f.close();
    const TTQMonitor mon = TDayDir::Mon("M1", "North");
    const std::vector<TEventMonitor> a = TEvents::Compute(Settings(), dir.DataPath(), {&mon}, dt, dt.addDays(1));
    EXPECT_EQ(a[0].aDays[0].eFile, TEventDay::EFile::NotRead);
    EXPECT_EQ(TEventsFill::NoEventsText(a[0].aDays[0]), QStringLiteral("Profile file not read: prf-05.csv is empty"));
    EXPECT_EQ(a[0].aDays[1].eFile, TEventDay::EFile::Missing);
    EXPECT_EQ(TEventsFill::NoEventsText(a[0].aDays[1]), QStringLiteral("No profile file"));
}

// --- relative to the background -----------------------------------------------------------------

TEST(TRunningL90, AgreesWithSortingTheWindow)
{
    // Levels that wander like a street, with gaps and values that are no levels.
    constexpr int nWindow = 600;
    TRunningL90 l90(nWindow);
    std::vector<double> ad;
    quint32 nSeed = 12345;
    double dLevel = 50;
    for (int s = 0; s < 5000; ++s) {
        nSeed = nSeed * 1664525U + 1013904223U;
        dLevel = std::clamp(dLevel + double(int(nSeed >> 24) % 31 - 15) / 10.0, 20.0, 110.0);
        const double d = nSeed % 97 == 0 ? dGap : nSeed % 89 == 0 ? 180.0 : std::round(dLevel * 10) / 10;
        ad.push_back(d);
        l90.Push(d);
        if (s % 37 != 0)
            continue;
        std::vector<double> aWin;
        for (int i = std::max(0, s - nWindow + 1); i <= s; ++i)
            if (TLevel::Is(ad[size_t(i)]))
                aWin.push_back(ad[size_t(i)]);
        std::sort(aWin.begin(), aWin.end());
        ASSERT_EQ(l90.Count(), int(aWin.size()));
        // At least 90 % of the window lie at or above it: the ceil(n/10)-th lowest.
        const double dPlain = aWin[(aWin.size() + 9) / 10 - 1];
        ASSERT_NEAR(l90.Level(), dPlain, 1e-9) << s;
    }
    l90.Clear();
    EXPECT_TRUE(std::isnan(l90.Level()));
}

TEST(TEvents, DetectDay_BackgroundThresholdFollowsTheQuietLevel)
{
    TEventSettings set = Settings(); // day 60, so the floor is 50 by day
    set.bBackground = true;
    // 40 dB until 10:00, then 58 dB. At 09:30 the threshold is the floor, 50: a 55-dB
    // burst is an event that the fixed 60 would miss. The step to 58 dB is an event
    // until the window's lowest tenth is 58 dB too: 541 s, when 59 s at 40 dB remain.
    // From then on the threshold is 58 + 10 = 68: a 65-dB burst is no event, a 70-dB one is.
    std::vector<double> ad = Day({{At(10), At(24) - At(10), 58}, {At(9, 30), 10, 55}, {At(11), 10, 65},
                                  {At(12), 10, 70}});
    std::vector<double> adThr;
    const TEventDay day = TEvents::DetectDay(set, ad, &adThr);
    ASSERT_EQ(day.aEvents.size(), 3u);
    EXPECT_EQ(day.aEvents[0].nStart, At(9, 30));
    EXPECT_DOUBLE_EQ(day.aEvents[0].dThreshold, 50);
    EXPECT_EQ(day.aEvents[1].nStart, At(10));
    EXPECT_EQ(day.aEvents[1].Duration(), 541);
    EXPECT_EQ(day.aEvents[2].nStart, At(12));
    EXPECT_DOUBLE_EQ(day.aEvents[2].dThreshold, 68);
    ASSERT_EQ(adThr.size(), size_t(nDay));
    // The first minute has too little background: the fixed night threshold holds.
    EXPECT_DOUBLE_EQ(adThr[30], 50);
    EXPECT_DOUBLE_EQ(adThr[size_t(At(10, 9, 0))], 50);
    EXPECT_DOUBLE_EQ(adThr[size_t(At(10, 9, 1))], 68);
    // Ten seconds of 70 dB do not move the level exceeded 90 % of the time.
    EXPECT_DOUBLE_EQ(adThr[size_t(At(12, 0, 9))], 68);
    // The 58 dB after 23:00 has a night floor of 40; the threshold stays 68.
    EXPECT_DOUBLE_EQ(adThr[size_t(At(23, 30))], 68);

    // By the fixed thresholds the 55 dB and the step are no events; the 65 and 70 dB
    // are, and the 58 dB from 23:00 to midnight is one more.
    set.bBackground = false;
    const TEventDay fixed = TEvents::DetectDay(set, ad);
    ASSERT_EQ(fixed.aEvents.size(), 3u);
    EXPECT_EQ(fixed.aEvents[0].nStart, At(11));
    EXPECT_EQ(fixed.aEvents[2].nStart, At(23));
    EXPECT_EQ(fixed.aEvents[2].eCut, TNoiseEvent::ECut::Midnight);
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
    QStringList slErrors;
    TEventSettings set = TEventSettings::FromCfg(cfg, &slErrors);
    EXPECT_EQ(set.nDayHour, 6);
    EXPECT_EQ(set.nNightHour, 22);
    EXPECT_EQ(set.nHangTime, 3);
    EXPECT_EQ(set.adNLevels, (std::vector<double>{70, 62.5}));
    ASSERT_EQ(slErrors.size(), 3);
    EXPECT_EQ(slErrors[0], QStringLiteral("[events] hangtime=-4 is not a number of seconds from 0 to 86400; "
                                          "the default 3 is used."));
    cfg.SetEvtDayHour(8);
    cfg.SetEvtNightHour(20);
    set = TEventSettings::FromCfg(cfg);
    EXPECT_EQ(set.nDayHour, 8);
    EXPECT_EQ(set.nNightHour, 20);

    // Regression: hand-edited values the preferences refuse were used as they stood
    // (a threshold of nan made no events, 181 none either, a minimum of -5 counted as 0).
    {
        QFile f(cfg.FileName());
        ASSERT_TRUE(f.open(QIODevice::WriteOnly | QIODevice::Truncate));
        f.write("[events]\r\ndaythreshold=nan\r\nnightthreshold=181\r\nminduration=-5\r\n"
                "bgmargin=x\r\nbgminutes=0\r\n");
    }
    TCfg cfgEdited(tmp.path());
    slErrors.clear();
    set = TEventSettings::FromCfg(cfgEdited, &slErrors);
    EXPECT_EQ(set.dDayThreshold, 65);
    EXPECT_EQ(set.dNightThreshold, 55);
    EXPECT_EQ(set.nMinDuration, 5);
    EXPECT_EQ(set.dBgMargin, 10);
    EXPECT_EQ(set.nBgMinutes, 10);
    EXPECT_EQ(slErrors.size(), 5);
    EXPECT_TRUE(slErrors[1].startsWith(QStringLiteral("[events] nightthreshold=181 is not a level")));

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
    EXPECT_EQ(grid.Cells(TEventsFill::ColLMax, r), QStringLiteral("70.0"));
    EXPECT_EQ(grid.Cells(TEventsFill::ColLAE, r), QStringLiteral("80.0"));
    EXPECT_EQ(grid.Cells(TEventsFill::ColNote, r), QString());
    EXPECT_EQ(grid.Cells(TEventsFill::ColStart, r + 1), QStringLiteral("23:59:55"));
    EXPECT_EQ(grid.Cells(TEventsFill::ColNote, r + 1), QStringLiteral("cut at midnight"));
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
