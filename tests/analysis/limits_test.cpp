#include "analysis/limits.h"

#include "views/gridfill_daydir.h"

#include <QFile>

#include <cmath>
#include <limits>

#include <gtest/gtest.h>

namespace {
constexpr double dNone = std::numeric_limits<double>::quiet_NaN();

TLimitRule Rule(const char* szLine)
{
    QString sError;
    const std::optional<TLimitRule> rule = TLimitRule::Parse(QLatin1String(szLine), sError);
    EXPECT_TRUE(rule.has_value()) << qPrintable(sError);
    return rule.value_or(TLimitRule());
}

// One parameter's values at the given starts in minutes.
TLimitDayValues Values(const char* szParam, const std::vector<std::pair<int, double>>& aMinVal)
{
    TLimitDayValues v;
    v.slParams = {QLatin1String(szParam)};
    v.aadValues.resize(1);
    for (const auto& [nMin, d] : aMinVal) {
        v.anStartSecs.push_back(nMin * 60);
        v.aadValues[0].push_back(d);
    }
    return v;
}

// A constant value at every start of a day of nPeriod-minute periods.
TLimitDayValues FullDay(const char* szParam, int nPeriod, double d)
{
    std::vector<std::pair<int, double>> a;
    for (int nMin = 0; nMin < 1440; nMin += nPeriod)
        a.push_back({nMin, d});
    return Values(szParam, a);
}

const QDate dtMonday(2024, 5, 6);
const QDate dtSaturday(2024, 5, 11);
const QDate dtSunday(2024, 5, 12);
} // namespace

// --- reading a rule -------------------------------------------------------------------------

TEST(TLimitRule, Parse_ReadsEveryFieldAndTextGivesTheLineBack)
{
    const TLimitRule r = Rule("0042 ; LAFmax ; Mon-Fri,Sun ; 23:00-7:00 ; 80 ; Night; LAFmax");
    EXPECT_EQ(r.sMonitor, QStringLiteral("0042"));
    EXPECT_EQ(r.sParam, QStringLiteral("LAFmax"));
    EXPECT_EQ(r.nDays, 0x5f);
    EXPECT_EQ(r.nStartMin, 23 * 60);
    EXPECT_EQ(r.nEndMin, 7 * 60);
    EXPECT_DOUBLE_EQ(r.dLimit, 80.0);
    EXPECT_EQ(r.sLabel, QStringLiteral("Night; LAFmax")); // the label takes the rest of the line
    EXPECT_EQ(r.Text(), QStringLiteral("0042; LAFmax; Mon-Fri,Sun; 23:00-07:00; 80.0; Night; LAFmax"));
    QString sError;
    const auto again = TLimitRule::Parse(r.Text(), sError);
    ASSERT_TRUE(again.has_value());
    EXPECT_EQ(again->Text(), r.Text());

    const TLimitRule all = Rule("*;LAeq;Fri-Mon;07:00-07:00;65.5");
    EXPECT_TRUE(all.sMonitor.isEmpty());
    EXPECT_EQ(all.DaysText(), QStringLiteral("Mon,Fri-Sun")); // round the week end
    EXPECT_EQ(all.Name(), QStringLiteral("LAeq Mon,Fri-Sun 07:00-07:00"));
}

TEST(TLimitRule, Parse_RefusesBadLimitsHoursAndDaysWithAReason)
{
    for (const char* sz :
         {"*;LAeq;Mon;07:00-19:00;abc", "*;LAeq;Mon;07:00-19:00;1e400", "*;LAeq;Mon;07:00-19:00;-5",
          "*;LAeq;Mon;07:00-19:00;65.25", "*;LAeq;Mon;07:00-19:00;250", "*;LAeq;Mon;07:00-19:00;",
          "*;LAeq;Mon;25:00-19:00;65", "*;LAeq;Mon;7-19:00;65", "*;LAeq;Mon;07:60-19:00;65",
          "*;LAeq;Mon;07:00;65", "*;LAeq;Mo;07:00-19:00;65", "*;LAeq;;07:00-19:00;65",
          "*;;Mon;07:00-19:00;65", "*;LAeq;Mon", "", "*;LA eq;Mon;07:00-19:00;65"}) {
        QString sError;
        EXPECT_FALSE(TLimitRule::Parse(QLatin1String(sz), sError).has_value()) << sz;
        EXPECT_FALSE(sError.isEmpty()) << sz;
    }
}

TEST(TLimits, FromLines_BadRulesAreLeftOutAndReportedTheOthersKept)
{
    const TLimits lim = TLimits::FromLines(
        {QStringLiteral("rule1"), QStringLiteral("rule2"), QStringLiteral("rule3"), QStringLiteral("rule4")},
        {QStringLiteral("*;LAeq;Mon-Fri;07:00-19:00;65"), QStringLiteral("*;LAeq;Mon-Fri;19:00-23:00;abc"),
         QString(), QStringLiteral("*;LAF90;Mon-Sun;00:00-00:00;45")});
    ASSERT_EQ(lim.aRules.size(), 2u);
    EXPECT_EQ(lim.aRules[1].sParam, QStringLiteral("LAF90"));
    ASSERT_EQ(lim.slErrors.size(), 1);
    EXPECT_TRUE(lim.slErrors[0].startsWith(QStringLiteral("rule2: the limit \"abc\"")));
    EXPECT_TRUE(lim.ErrorSummary().startsWith(QStringLiteral("1 limit rule could not be read")));
}

TEST(TLimits, FromLines_ThousandsOfRulesStopAtTheCapWithOneMessage)
{
    QStringList sl;
    for (int i = 0; i < 3000; ++i)
        sl.append(QStringLiteral("*;LAeq;Mon;07:00-19:00;65"));
    const TLimits lim = TLimits::FromLines({}, sl);
    EXPECT_EQ(int(lim.aRules.size()), TLimits::MaxRules);
    EXPECT_EQ(lim.slErrors.size(), 1);
}

TEST(TLimits, RulesFor_AMonitorsOwnScheduleReplacesTheDefault)
{
    TLimits lim;
    lim.aRules = {Rule("*;LAeq;Mon-Sun;07:00-19:00;65"), Rule("b7;LAFmax;Mon-Sun;23:00-07:00;80"),
                  Rule("*;LAeq;Mon-Sun;23:00-07:00;45"), Rule("B7;LAeq;Mon-Sun;07:00-19:00;60")};
    const auto aOwn = lim.RulesFor(QStringLiteral("B7"));
    ASSERT_EQ(aOwn.size(), 2u); // the IDs compare without letter case
    EXPECT_EQ(aOwn[0].sParam, QStringLiteral("LAFmax"));
    EXPECT_DOUBLE_EQ(aOwn[1].dLimit, 60.0);
    const auto aDefault = lim.RulesFor(QStringLiteral("C1"));
    ASSERT_EQ(aDefault.size(), 2u);
    EXPECT_DOUBLE_EQ(aDefault[1].dLimit, 45.0);
}

TEST(TLimits, FromFile_TakesRuleLinesOrACopiedSectionAndRefusesNonText)
{
    QTemporaryDir tmp;
    const QString sText = tmp.path() + QStringLiteral("/limits.txt");
    QFile f(sText);
    ASSERT_TRUE(f.open(QIODevice::WriteOnly));
    f.write("# permit 2024\r\n[rp_limits]\r\nrule1=*;LAeq;Mon-Fri;07:00-19:00;65;Day=time\r\n\r\n"
            "; night\r\n*;LAFmax;Mon-Sun;23:00-07:00;80\r\n*;LAeq;Mon;07:00-19:00;x\r\n");
    f.close();
    QString sError;
    const auto lim = TLimits::FromFile(sText, sError);
    ASSERT_TRUE(lim.has_value()) << qPrintable(sError);
    ASSERT_EQ(lim->aRules.size(), 2u);
    EXPECT_EQ(lim->aRules[0].sLabel, QStringLiteral("Day=time"));
    ASSERT_EQ(lim->slErrors.size(), 1);
    EXPECT_TRUE(lim->slErrors[0].startsWith(QStringLiteral("line 7:")));

    const QString sBinary = tmp.path() + QStringLiteral("/limits.bin");
    QFile fb(sBinary);
    ASSERT_TRUE(fb.open(QIODevice::WriteOnly));
    fb.write(QByteArray("*;LAeq;Mon;07:00-19:00;65\n\0\x01\x02", 30));
    fb.close();
    EXPECT_FALSE(TLimits::FromFile(sBinary, sError).has_value());
    EXPECT_TRUE(sError.contains(QStringLiteral("not text")));
    EXPECT_FALSE(TLimits::FromFile(tmp.path() + QStringLiteral("/none"), sError).has_value());
}

// --- bands, days and the limit itself ---------------------------------------------------------

TEST(TLimitRule, Contains_BandStartIsInItsEndIsNot)
{
    const TLimitRule day = Rule("*;LAeq;Mon-Fri;07:00-19:00;65");
    EXPECT_FALSE(day.Contains(dtMonday, 7 * 3600 - 1));
    EXPECT_TRUE(day.Contains(dtMonday, 7 * 3600));
    EXPECT_TRUE(day.Contains(dtMonday, 19 * 3600 - 1));
    EXPECT_FALSE(day.Contains(dtMonday, 19 * 3600));
    EXPECT_FALSE(day.Contains(dtSaturday, 12 * 3600));
    const TLimitRule all = Rule("*;LAeq;Sat;07:00-07:00;65"); // equal ends: the whole day
    EXPECT_TRUE(all.Contains(dtSaturday, 0));
    EXPECT_TRUE(all.Contains(dtSaturday, 86399));
    EXPECT_FALSE(all.Contains(dtSunday, 0));
}

TEST(TLimitRule, Contains_BandAcrossMidnightBelongsToTheDayItBegan)
{
    // Friday nights only: Friday 23:00 to Saturday 07:00.
    const TLimitRule night = Rule("*;LAeq;Fri;23:00-07:00;45");
    const QDate dtFriday = dtSaturday.addDays(-1);
    EXPECT_TRUE(night.Contains(dtFriday, 23 * 3600));
    EXPECT_FALSE(night.Contains(dtFriday, 2 * 3600)); // Thursday's night
    EXPECT_TRUE(night.Contains(dtSaturday, 0));
    EXPECT_TRUE(night.Contains(dtSaturday, 7 * 3600 - 1));
    EXPECT_FALSE(night.Contains(dtSaturday, 7 * 3600));
    EXPECT_FALSE(night.Contains(dtSaturday, 23 * 3600));
    // Sunday night's small hours fall on Monday, whose day before is Sunday.
    const TLimitRule sunNight = Rule("*;LAeq;Sun;22:00-06:00;45");
    EXPECT_TRUE(sunNight.Contains(dtMonday, 5 * 3600));
    EXPECT_FALSE(sunNight.Contains(dtSunday, 5 * 3600));
}

TEST(TLimitCheck, AssessDay_EqualToTheLimitIsNotAnExceedanceAndShownValueCounts)
{
    const std::vector<TLimitRule> aRules{Rule("*;LAeq;Mon-Sun;07:00-19:00;65")};
    std::vector<TLimitExceedance> aExc;
    const TLimitDay day = TLimitCheck::AssessDay(
        aRules, dtMonday, 60,
        Values("LAeq", {{6 * 60, 90}, {7 * 60, 65.0}, {8 * 60, 65.04}, {9 * 60, 65.05}, {10 * 60, 70.2}}),
        aExc);
    ASSERT_EQ(day.aCounts.size(), 1u);
    const TLimitCount& c = day.aCounts[0];
    EXPECT_EQ(c.nExpected, 12);
    EXPECT_EQ(c.nAssessed, 4); // 06:00 lies before the band
    EXPECT_EQ(c.nExceeded, 2);
    EXPECT_EQ(c.nWorstTenths, 52);
    EXPECT_EQ(c.nWorstSecs, 10 * 3600);
    ASSERT_EQ(aExc.size(), 2u);
    EXPECT_EQ(aExc[0].nStartSecs, 9 * 3600);
    EXPECT_EQ(aExc[0].nValueTenths, 651);
    EXPECT_EQ(aExc[0].nMarginTenths, 1);
    EXPECT_DOUBLE_EQ(aExc[1].Margin(), 5.2);
    // The rule's own test, which the charts' marks ask, judges alike.
    const TLimitRule& rule = aRules[0];
    EXPECT_FALSE(rule.Exceeds(65.0));
    EXPECT_FALSE(rule.Exceeds(65.04));
    EXPECT_TRUE(rule.Exceeds(65.05));
    EXPECT_FALSE(rule.Exceeds(std::numeric_limits<double>::quiet_NaN()));
}

TEST(TLimitCheck, AssessDay_MissingValuesUnknownParametersAndRepeatsAreNotAssessed)
{
    const std::vector<TLimitRule> aRules{Rule("*;LAeq;Mon-Sun;00:00-00:00;50"),
                                         Rule("*;LCpeak;Mon-Sun;00:00-00:00;50")};
    std::vector<TLimitExceedance> aExc;
    TLimitDayValues v = Values("LAeq", {{0, 60}, {15, dNone}, {30, 40}, {30, 99}, {-15, 99}});
    v.anStartSecs.push_back(86400); // a start beyond the day
    v.aadValues[0].push_back(99);
    const TLimitDay day = TLimitCheck::AssessDay(aRules, dtMonday, 15, v, aExc);
    EXPECT_EQ(day.aCounts[0].nExpected, 96);
    EXPECT_EQ(day.aCounts[0].nAssessed, 2);
    EXPECT_EQ(day.aCounts[0].nExceeded, 1);
    EXPECT_NEAR(day.aCounts[0].Coverage(), 2.0 / 96.0, 1e-12);
    EXPECT_EQ(day.aCounts[1].nAssessed, 0);
    EXPECT_FALSE(day.aCounts[1].HasWorst());
    EXPECT_DOUBLE_EQ(day.aCounts[1].Coverage(), 0.0);
    EXPECT_EQ(aExc.size(), 1u);
    EXPECT_EQ(day.Exceeded(), 1);
}

TEST(TLimitCheck, AssessDay_OddPeriodLengthsAndOverlappingRules)
{
    // 7-minute periods: 206 starts, 0:00 to 23:55; 07:00-19:00 holds the starts
    // 420 (60 x 7) to 1134 (162 x 7): 103 of them.
    const std::vector<TLimitRule> aRules{Rule("*;LAeq;Mon-Sun;07:00-19:00;60"),
                                         Rule("*;LAeq;Mon-Sun;12:00-13:00;55")};
    std::vector<TLimitExceedance> aExc;
    const TLimitDay day = TLimitCheck::AssessDay(aRules, dtMonday, 7, FullDay("LAeq", 7, 58), aExc);
    EXPECT_EQ(day.aCounts[0].nExpected, 206 - 60 - (206 - 163));
    EXPECT_EQ(day.aCounts[0].nAssessed, 103);
    EXPECT_EQ(day.aCounts[0].nExceeded, 0);
    EXPECT_EQ(day.aCounts[0].nWorstTenths, -20);
    // The overlapping rule judges its periods too: 12:01 (103 x 7) to 12:57.
    EXPECT_EQ(day.aCounts[1].nExceeded, 9);
    EXPECT_EQ(int(aExc.size()), 9);
    EXPECT_EQ(aExc.front().nStartSecs, 721 * 60);
    EXPECT_DOUBLE_EQ(day.aCounts[0].Coverage(), 1.0);
}

TEST(TLimitCount, Add_SumsCountsAndKeepsTheEarliestOfEqualWorsts)
{
    TLimitCount a{10, 8, 1, 5, QDate(2024, 5, 1), 3600};
    const TLimitCount b{10, 10, 2, 5, QDate(2024, 5, 2), 7200};
    const TLimitCount c{10, 0, 0, 0, QDate(), -1};
    a.Add(b);
    a.Add(c);
    EXPECT_EQ(a.nExpected, 30);
    EXPECT_EQ(a.nAssessed, 18);
    EXPECT_EQ(a.nExceeded, 3);
    EXPECT_EQ(a.dtWorst, QDate(2024, 5, 1));
    a.Add({1, 1, 1, 6, QDate(2024, 5, 3), 0});
    EXPECT_EQ(a.dtWorst, QDate(2024, 5, 3));
}

// --- ranges from the day files ----------------------------------------------------------------

TEST(TLimitCheck, Compute_ReadsTheFilesPerMonitorWithMissingDaysUnassessed)
{
    TDayDir dir;
    ASSERT_TRUE(dir.IsValid());
    const QDate d1(2024, 5, 10); // a Friday
    const QDate d2 = d1.addDays(1);
    QString sDay1 = QStringLiteral(".Time,LAeq,LAFmax");
    for (int h = 0; h < 24; ++h)
        sDay1 += QStringLiteral("\n%1:00:00,%2,%3")
                     .arg(h, 2, 10, QLatin1Char('0'))
                     .arg(h == 23 ? QStringLiteral("-") : QStringLiteral("50.0"))
                     .arg(h == 23 ? 85.5 : 70.0);
    dir.Write(QStringLiteral("7"), d1, "per-10-0060.csv", sDay1);
    TLimits lim;
    QString sError;
    lim.aRules = {*TLimitRule::Parse(QStringLiteral("*;LAeq;Mon-Fri;07:00-19:00;49.9"), sError),
                  *TLimitRule::Parse(QStringLiteral("*;LAFmax;Fri;23:00-07:00;80"), sError)};
    const TTQMonitor mon = TDayDir::Mon("7", "North Gate");
    const auto aRes = TLimitCheck::Compute(lim, dir.DataPath(), {&mon}, d1, d2, 60);
    ASSERT_EQ(aRes.size(), 1u);
    const TLimitMonitor& lm = aRes[0];
    ASSERT_EQ(lm.aDays.size(), 2u);
    EXPECT_EQ(lm.aDays[0].aCounts[0].nExceeded, 12);
    EXPECT_EQ(lm.aDays[0].aCounts[1].nExpected, 1); // Friday 23:00
    EXPECT_EQ(lm.aDays[0].aCounts[1].nExceeded, 1);
    // Saturday has no file: its seven night hours are expected but not assessed.
    EXPECT_EQ(lm.aDays[1].aCounts[1].nExpected, 7);
    EXPECT_EQ(lm.aDays[1].aCounts[1].nAssessed, 0);
    EXPECT_EQ(lm.aDays[1].aCounts[0].nExpected, 0); // no weekday band on a Saturday
    EXPECT_EQ(lm.aRange[1].nExpected, 8);
    EXPECT_EQ(lm.aRange[1].nWorstTenths, 55);
    EXPECT_EQ(lm.aRange[0].nExceeded, 12);
    EXPECT_EQ(int(lm.aExceedances.size()), 13);
    EXPECT_EQ(lm.aExceedances.back().iRule, 1);
}
