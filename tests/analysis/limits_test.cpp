#include "analysis/limits.h"

#include "nonplainfile.h"
#include "reports/gridfill_daydir.h"

#include <QFile>
#include <QTimeZone>

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

TEST(TLimitRule, Parse_RefusesDigitsOtherThanAscii)
{
    // Fault: "０７:００" (fullwidth) was read as 00:00, silently another band.
    for (const char* sz :
         {"*;LAeq;Mon;\uff10\uff17:\uff10\uff10-19:00;65", "*;LAeq;Mon;07:00-\u0661\u0669:00;65",
          "*;LAeq;Mon;07:00-19:00;\uff16\uff15", "*;LAeq;Mon;07:00-19:00;6\u0665.0"}) {
        QString sError;
        EXPECT_FALSE(TLimitRule::Parse(QString::fromUtf8(sz), sError).has_value()) << sz;
        EXPECT_FALSE(sError.isEmpty()) << sz;
    }
    EXPECT_EQ(TLimitRule::ParseTime(QString::fromUtf8("\uff10\uff17:\uff10\uff10")), -1);
    EXPECT_EQ(TLimitRule::ParseTime(QStringLiteral("7:05")), 7 * 60 + 5);
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
    sl.insert(5, QStringLiteral("*;LAeq;Mon;07:00-19:00;abc"));
    sl.append(QString()); // blank lines are no rules
    const TLimits lim = TLimits::FromLines({}, sl);
    EXPECT_EQ(int(lim.aRules.size()), TLimits::MaxRules);
    EXPECT_EQ(lim.slErrors.size(), 2);
    // Fault: "2 limit rules could not be read" while 2001 were left out.
    EXPECT_EQ(lim.slUnread.size(), 2001);
    EXPECT_TRUE(lim.ErrorSummary().startsWith(QStringLiteral("2001 limit rules could not be read")))
        << qPrintable(lim.ErrorSummary());
}

TEST(TLimits, UnknownMonitors_RulesForAMonitorThatDoesNotExistAreNamed)
{
    TLimits lim;
    lim.aRules = {Rule("*;LAeq;Mon-Sun;07:00-19:00;65"), Rule("b7;LAFmax;Mon-Sun;23:00-07:00;80"),
                  Rule("X9;LAeq;Mon-Sun;07:00-19:00;60"), Rule("x9;LAeq;Mon-Sun;19:00-23:00;55")};
    const QStringList slIDs{QStringLiteral("B7"), QStringLiteral("C1")};
    EXPECT_EQ(lim.UnknownMonitors(slIDs), QStringList{QStringLiteral("X9")});
    EXPECT_TRUE(lim.UnknownSummary(slIDs).endsWith(QStringLiteral(": X9")));
    EXPECT_TRUE(lim.UnknownSummary(slIDs + QStringList{QStringLiteral("X9")}).isEmpty());
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

TEST(TLimits, FromFile_DecodedLikeEveryTextFileAndAPipeIsRefused)
{
    // Fault: the file was read as UTF-8 or Latin-1 only, so UTF-16 was "not text" and
    // a Windows-1252 dash came out as a control character; a pipe held the run up.
    QTemporaryDir tmp;
    const auto write = [&](const char* szName, const QByteArray& ba) {
        const QString sFile = tmp.path() + QLatin1Char('/') + QLatin1String(szName);
        QFile f(sFile);
        EXPECT_TRUE(f.open(QIODevice::WriteOnly));
        f.write(ba);
        return sFile;
    };
    const QString sLine = QString::fromUtf8("*;LAeq;Mon-Fri;07:00-19:00;65;Day \u2013 \u00e9t\u00e9\r\n");
    QByteArray baUtf16("\xff\xfe", 2);
    for (QChar c : sLine) {
        baUtf16.append(char(c.unicode() & 0xff));
        baUtf16.append(char(c.unicode() >> 8));
    }
    const QByteArray baUtf8Mark = QByteArray("\xef\xbb\xbf") + sLine.toUtf8();
    const QByteArray ba1252("*;LAeq;Mon-Fri;07:00-19:00;65;Day \x96 \xe9t\xe9\r\n");
    for (const QString& sFile :
         {write("u16.txt", baUtf16), write("u8.txt", baUtf8Mark), write("w1252.txt", ba1252)}) {
        QString sError;
        const auto lim = TLimits::FromFile(sFile, sError);
        ASSERT_TRUE(lim.has_value()) << qPrintable(sFile + sError);
        ASSERT_EQ(lim->aRules.size(), 1u) << qPrintable(sFile + lim->ErrorSummary());
        EXPECT_EQ(lim->aRules[0].sMonitor, QString()) << qPrintable(sFile); // the mark is no part of "*"
        EXPECT_EQ(lim->aRules[0].sLabel, QString::fromUtf8("Day \u2013 \u00e9t\u00e9")) << qPrintable(sFile);
    }

    const QString sFifo = tmp.path() + QStringLiteral("/fifo");
    ASSERT_TRUE(MakeFifo(sFifo));
    QString sError;
    EXPECT_FALSE(WithinTimeLimit(sFifo, [&] { return TLimits::FromFile(sFifo, sError).has_value(); }));
    EXPECT_TRUE(sError.contains(QStringLiteral("not a plain file"))) << qPrintable(sError);
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
    const TLimitRule all = Rule("*;LAeq;Sat;00:00-00:00;65"); // midnight to midnight: the day
    EXPECT_TRUE(all.Contains(dtSaturday, 0));
    EXPECT_TRUE(all.Contains(dtSaturday, 86399));
    EXPECT_FALSE(all.Contains(dtSunday, 0));
}

TEST(TLimitRule, Contains_EqualEndsAre24HoursFromTheStartNotTheCalendarDay)
{
    // Fault: 06:00-06:00 held Saturday 00:00-06:00, which is Friday's, and not Sunday
    // 00:00-06:00, the end of Saturday's 24 hours.
    const TLimitRule r = Rule("*;LAeq;Sat;06:00-06:00;65");
    EXPECT_FALSE(r.Contains(dtSaturday, 0));
    EXPECT_FALSE(r.Contains(dtSaturday, 6 * 3600 - 1));
    EXPECT_TRUE(r.Contains(dtSaturday, 6 * 3600));
    EXPECT_TRUE(r.Contains(dtSaturday, 86399));
    EXPECT_TRUE(r.Contains(dtSunday, 0));
    EXPECT_TRUE(r.Contains(dtSunday, 6 * 3600 - 1));
    EXPECT_FALSE(r.Contains(dtSunday, 6 * 3600));
    // Counted alike: hourly, Saturday's row holds 06:00-23:00 (18) and Sunday 00:00-05:00 (6).
    TLimitDayValues sat = FullDay("LAeq", 60, 66);
    TLimitDayValues sun = FullDay("LAeq", 60, 66);
    std::vector<TLimitExceedance> aExc;
    const TLimitDay day =
        TLimitCheck::AssessDay({r}, dtSaturday, 60, sat, sun, aExc, QTimeZone(QByteArrayLiteral("UTC")));
    EXPECT_EQ(day.aCounts[0].nExpected, 24);
    EXPECT_EQ(day.aCounts[0].nAssessed, 24);
    ASSERT_EQ(aExc.size(), 24u);
    EXPECT_EQ(aExc.front().dt, dtSaturday);
    EXPECT_EQ(aExc.front().nStartSecs, 6 * 3600);
    EXPECT_EQ(aExc.back().dt, dtSunday);
    EXPECT_EQ(aExc.back().nStartSecs, 5 * 3600);
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

TEST(TLimitCheck, AssessDay_MissingValuesAndUnknownParametersAreNotAssessedRepeatsAre)
{
    const std::vector<TLimitRule> aRules{Rule("*;LAeq;Mon-Sun;00:00-00:00;50"),
                                         Rule("*;LCpeak;Mon-Sun;00:00-00:00;50")};
    std::vector<TLimitExceedance> aExc;
    // Fault: of two records of one start the first won, a "-" too, and a later 99 the
    // chart marks was never listed. Each is judged now.
    TLimitDayValues v = Values("LAeq", {{0, 60}, {15, dNone}, {30, 40}, {45, dNone}, {45, 99}, {-15, 99}});
    v.anStartSecs.push_back(86400); // a start beyond the day
    v.aadValues[0].push_back(99);
    const TLimitDay day = TLimitCheck::AssessDay(aRules, dtMonday, 15, v, aExc);
    EXPECT_EQ(day.aCounts[0].nExpected, 96);
    EXPECT_EQ(day.aCounts[0].nAssessed, 3); // 00:00, 00:30 and the second 00:45
    EXPECT_EQ(day.aCounts[0].nExceeded, 2);
    EXPECT_NEAR(day.aCounts[0].Coverage(), 3.0 / 96.0, 1e-12);
    EXPECT_EQ(day.aCounts[0].nWorstSecs, 45 * 60);
    EXPECT_EQ(day.aCounts[1].nAssessed, 0);
    EXPECT_FALSE(day.aCounts[1].HasWorst());
    EXPECT_DOUBLE_EQ(day.aCounts[1].Coverage(), 0.0);
    ASSERT_EQ(aExc.size(), 2u);
    EXPECT_EQ(aExc[1].nStartSecs, 45 * 60);
    EXPECT_EQ(aExc[1].nValueTenths, 990);
    EXPECT_EQ(day.Exceeded(), 2);
}

TEST(TLimitCheck, AssessDay_ExpectedPeriodsFollowTheClockOnTheDaysItChanges)
{
    // Fault: every day had 24 hours. In Berlin the clock skips 02:00-03:00 on
    // 2024-03-31 and shows 02:00-03:00 twice on 2024-10-27; the supervisor writes
    // the second 02:00 as a record of its own, which is judged like the first.
    const QTimeZone tz(QByteArrayLiteral("Europe/Berlin"));
    ASSERT_TRUE(tz.isValid());
    const std::vector<TLimitRule> aRules{Rule("*;LAeq;Mon-Sun;00:00-00:00;50"),
                                         Rule("*;LAeq;Mon-Sun;01:00-04:00;50")};
    std::vector<TLimitExceedance> aExc;
    std::vector<std::pair<int, double>> aSpring;
    for (int h = 0; h < 24; ++h)
        if (h != 2)
            aSpring.push_back({h * 60, 40});
    const TLimitDay spring =
        TLimitCheck::AssessDay(aRules, QDate(2024, 3, 31), 60, Values("LAeq", aSpring), {}, aExc, tz);
    EXPECT_EQ(spring.aCounts[0].nExpected, 23);
    EXPECT_EQ(spring.aCounts[0].nAssessed, 23);
    EXPECT_DOUBLE_EQ(spring.aCounts[0].Coverage(), 1.0);
    EXPECT_EQ(spring.aCounts[1].nExpected, 2); // 01:00 and 03:00

    std::vector<std::pair<int, double>> aFall;
    for (int h = 0; h < 24; ++h) {
        aFall.push_back({h * 60, 40});
        if (h == 2)
            aFall.push_back({h * 60, 70});
    }
    const TLimitDay fall =
        TLimitCheck::AssessDay(aRules, QDate(2024, 10, 27), 60, Values("LAeq", aFall), {}, aExc, tz);
    EXPECT_EQ(fall.aCounts[0].nExpected, 25);
    EXPECT_EQ(fall.aCounts[0].nAssessed, 25);
    EXPECT_EQ(fall.aCounts[0].nExceeded, 1);
    EXPECT_EQ(fall.aCounts[1].nExpected, 4); // 01:00, 02:00 twice, 03:00
    ASSERT_EQ(aExc.size(), 2u);
    EXPECT_EQ(aExc[0].nStartSecs, 2 * 3600);
}

TEST(TLimitCheck, AssessDay_ZeroAnd180dBAndMoreAreNoLevels)
{
    // Fault: 999 was an exceedance of 949 dB and the worst margin; 0 counted as assessed.
    const std::vector<TLimitRule> aRules{Rule("*;LAeq;Mon-Sun;00:00-00:00;50")};
    std::vector<TLimitExceedance> aExc;
    const TLimitDay day = TLimitCheck::AssessDay(
        aRules, dtMonday, 60,
        Values("LAeq", {{0, 0}, {60, 180}, {120, 999}, {180, -3}, {240, 179.9}, {300, 0.1}}), aExc);
    const TLimitCount& c = day.aCounts[0];
    EXPECT_EQ(c.nAssessed, 2); // 179.9 and 0.1
    EXPECT_EQ(c.nExceeded, 1);
    EXPECT_EQ(c.nWorstTenths, 1299);
    EXPECT_EQ(c.nWorstSecs, 4 * 3600);
    ASSERT_EQ(aExc.size(), 1u);
    EXPECT_EQ(aExc[0].nValueTenths, 1799);
}

TEST(TLimitCheck, AssessDay_RowsOfAnOutOfOrderFileComeInTimeOrder)
{
    const std::vector<TLimitRule> aRules{Rule("*;LAeq;Mon-Sun;00:00-00:00;50"),
                                         Rule("*;LAeq;Mon-Sun;08:00-12:00;55")};
    std::vector<TLimitExceedance> aExc;
    TLimitCheck::AssessDay(aRules, dtMonday, 60, Values("LAeq", {{600, 60}, {480, 52}, {540, 61}, {60, 51}}),
                           aExc);
    ASSERT_EQ(aExc.size(), 6u);
    const std::vector<std::pair<int, int>> aWant{{1, 0}, {8, 0}, {9, 0}, {9, 1}, {10, 0}, {10, 1}};
    for (size_t i = 0; i < aWant.size(); ++i) {
        EXPECT_EQ(aExc[i].nStartSecs, aWant[i].first * 3600) << i;
        EXPECT_EQ(aExc[i].iRule, aWant[i].second) << i;
    }
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
    // Friday's night: Friday 23:00 and Saturday 00:00-06:00, whose file is missing.
    EXPECT_EQ(lm.aDays[0].aCounts[1].nExpected, 8);
    EXPECT_EQ(lm.aDays[0].aCounts[1].nAssessed, 1);
    EXPECT_EQ(lm.aDays[0].aCounts[1].nExceeded, 1);
    EXPECT_EQ(lm.aDays[1].aCounts[1].nExpected, 0); // no night begins on a Saturday
    EXPECT_EQ(lm.aDays[1].aCounts[0].nExpected, 0); // no weekday band on a Saturday
    EXPECT_EQ(lm.aRange[1].nExpected, 8);
    EXPECT_EQ(lm.aRange[1].nWorstTenths, 55);
    EXPECT_EQ(lm.aRange[0].nExceeded, 12);
    EXPECT_EQ(int(lm.aExceedances.size()), 13);
    EXPECT_EQ(lm.aExceedances.back().iRule, 1);
}

TEST(TLimitCheck, Compute_ANightIsCountedOnTheDayItBegan)
{
    // Fault: the rows counted by calendar day. A Monday-Friday night rule over the
    // range Monday to Friday gave Monday 1 period (23:00), Tuesday to Friday 8 each
    // (the night before's 7 and 23:00), and Friday's night after midnight was in no row. By
    // the help's rule each row is the night that begins on its day: 23:00 and 00:00 to
    // 06:00 of the next day, 8 hourly periods; the range is the five nights, 40.
    TDayDir dir;
    ASSERT_TRUE(dir.IsValid());
    const QDate dtSun(2024, 5, 5);
    for (int d = 0; d < 7; ++d) {
        const QDate dt = dtSun.addDays(d);
        QString s = QStringLiteral(".Time,LAeq");
        for (int h = 0; h < 24; ++h) {
            // 70 dB on Monday 03:00 (Sunday's night) and Saturday 05:00 (Friday's).
            const bool bLoud = (d == 1 && h == 3) || (d == 6 && h == 5);
            s += QStringLiteral("\n%1:00:00,%2").arg(h, 2, 10, QLatin1Char('0')).arg(bLoud ? 70 : 40);
        }
        dir.Write(
            QStringLiteral("7"), dt,
            QStringLiteral("per-%1-0060.csv").arg(dt.day(), 2, 10, QLatin1Char('0')).toLatin1().constData(),
            s);
    }
    TLimits lim;
    QString sError;
    lim.aRules = {*TLimitRule::Parse(QStringLiteral("*;LAeq;Mon-Fri;23:00-07:00;45;Night"), sError)};
    const TTQMonitor mon = TDayDir::Mon("7", "North Gate");
    const QDate dtMon = dtSun.addDays(1);
    const QDate dtFri = dtSun.addDays(5);
    const auto aRes = TLimitCheck::Compute(lim, dir.DataPath(), {&mon}, dtMon, dtFri, 60);
    ASSERT_EQ(aRes.size(), 1u);
    const TLimitMonitor& lm = aRes[0];
    ASSERT_EQ(lm.aDays.size(), 5u);
    for (const TLimitDay& day : lm.aDays) {
        EXPECT_EQ(day.aCounts[0].nExpected, 8) << qPrintable(day.dt.toString());
        EXPECT_EQ(day.aCounts[0].nAssessed, 8) << qPrintable(day.dt.toString());
    }
    EXPECT_EQ(lm.aDays[0].aCounts[0].nExceeded, 0); // Sunday's night lies before the range
    EXPECT_EQ(lm.aDays[4].aCounts[0].nExceeded, 1); // Friday's night, from Saturday's file
    EXPECT_EQ(lm.aRange[0].nExpected, 40);
    EXPECT_EQ(lm.aRange[0].nAssessed, 40);
    EXPECT_EQ(lm.aRange[0].nExceeded, 1);
    ASSERT_EQ(lm.aExceedances.size(), 1u);
    EXPECT_EQ(lm.aExceedances[0].dt, dtFri.addDays(1));
    EXPECT_EQ(lm.aExceedances[0].nStartSecs, 5 * 3600);
    // The worst is the Saturday period, in Friday's row and the range.
    EXPECT_EQ(lm.aDays[4].aCounts[0].dtWorst, dtFri.addDays(1));
    EXPECT_EQ(lm.aRange[0].dtWorst, dtFri.addDays(1));
    EXPECT_EQ(lm.aRange[0].nWorstSecs, 5 * 3600);
    EXPECT_EQ(lm.aRange[0].nWorstTenths, 250);
    // The chart's test places the same hours: Monday's small hours are Sunday's night.
    for (int d = 1; d <= 6; ++d)
        for (int h = 0; h < 24; ++h) {
            const QDate dt = dtSun.addDays(d);
            const bool bInRow = (d <= 5 && h == 23) || (d >= 2 && h < 7);
            EXPECT_EQ(lim.aRules[0].Contains(dt, h * 3600), bInRow) << qPrintable(dt.toString()) << ' ' << h;
        }
}

// --- the day walk beneath the analyses ------------------------------------------------------

namespace {
// A 60-minute periodic file of dt whose LAeq reads dLAeq every hour.
void WritePer(const TDayDir& dir, const char* szID, const QDate& dt, double dLAeq)
{
    QString s = QStringLiteral(".Time,LAeq");
    for (int h = 0; h < 24; ++h)
        s += QStringLiteral("\n%1:00:00,%2").arg(h, 2, 10, QLatin1Char('0')).arg(dLAeq, 0, 'f', 1);
    dir.Write(QLatin1String(szID), dt,
              QStringLiteral("per-%1-0060.csv").arg(dt.day(), 2, 10, QLatin1Char('0')).toLatin1().constData(),
              s);
}

QString PerPath(const TDayDir& dir, const char* szID, const QDate& dt)
{
    return TPerFile::FileName(dir.DataPath(), QLatin1String(szID), dt, 60);
}

TDayWalk::TFiles PerFiles(bool bNext)
{
    TDayWalk::TFiles files;
    files.bPeriodic = true;
    files.nPeriod = 60;
    files.slParams = {QStringLiteral("LAeq")};
    files.bNext = bNext;
    return files;
}
} // namespace

TEST(TDayWalk, Step_TheNextDaysFileIsReadOnceAndBecomesTheFollowingDay)
{
    // Fault guarded: the day after read again as the following day's own file, every
    // periodic file of a range with night limits read twice. The file is taken away
    // once the walk holds it: the following day must still have its records.
    TDayDir dir;
    ASSERT_TRUE(dir.IsValid());
    const QDate d1(2024, 5, 10);
    for (int d = 0; d < 3; ++d)
        WritePer(dir, "7", d1.addDays(d), 41 + d);
    TDayWalk walk(dir.DataPath(), d1, d1.addDays(1));
    walk.Start(QStringLiteral("7"), PerFiles(true));
    ASSERT_TRUE(walk.Step());
    EXPECT_EQ(walk.Periodic().dt, d1);
    ASSERT_EQ(walk.NextPeriodic().dt, d1.addDays(1));
    ASSERT_EQ(walk.NextPeriodic().anStartSecs.size(), 24u);
    ASSERT_TRUE(QFile::remove(PerPath(dir, "7", d1.addDays(1))));
    ASSERT_TRUE(walk.Step());
    EXPECT_EQ(walk.Date(), d1.addDays(1));
    EXPECT_EQ(walk.Periodic().eFile, TDayRecords::EFile::Read);
    ASSERT_EQ(walk.Periodic().anStartSecs.size(), 24u);
    EXPECT_EQ(walk.Periodic().aadValues[0][23], 42.0);
    // The last day's night ends in the file of the day after the range.
    EXPECT_EQ(walk.NextPeriodic().dt, d1.addDays(2));
    EXPECT_EQ(walk.NextPeriodic().aadValues[0][0], 43.0);
    EXPECT_FALSE(walk.Step());
}

TEST(TDayWalk, Step_AMissingOrRefusedDayHasNoRecordsButItsParameters)
{
    // The limits find a rule's parameter by its place in slParams, and the events say
    // why a file that is there gave nothing; a day without records keeps both.
    TDayDir dir;
    ASSERT_TRUE(dir.IsValid());
    const QDate d1(2024, 5, 10);
    WritePer(dir, "7", d1, 50);
    QFile empty(PerPath(dir, "7", d1.addDays(2)));
    ASSERT_TRUE(empty.open(QIODevice::WriteOnly));
    empty.close();
    TDayWalk::TFiles files = PerFiles(false);
    files.slParams.append(QStringLiteral("LAF90"));
    TDayWalk walk(dir.DataPath(), d1, d1.addDays(2));
    walk.Start(QStringLiteral("7"), files);
    ASSERT_TRUE(walk.Step());
    // A parameter the file lacks has no levels, each record still there.
    ASSERT_EQ(walk.Periodic().aadValues.size(), 2u);
    EXPECT_EQ(walk.Periodic().aadValues[1].size(), 24u);
    EXPECT_TRUE(std::isnan(walk.Periodic().aadValues[1][0]));
    ASSERT_TRUE(walk.Step());
    EXPECT_EQ(walk.Periodic().eFile, TDayRecords::EFile::Missing);
    EXPECT_TRUE(walk.Periodic().anStartSecs.empty());
    EXPECT_EQ(walk.Periodic().slParams.size(), 2);
    EXPECT_EQ(walk.Periodic().aadValues.size(), 2u);
    EXPECT_TRUE(walk.Periodic().sFileError.isEmpty());
    ASSERT_TRUE(walk.Step());
    // An empty file: there, but not read.
    EXPECT_EQ(walk.Periodic().eFile, TDayRecords::EFile::NotRead);
    EXPECT_TRUE(walk.Periodic().anStartSecs.empty());
    EXPECT_EQ(walk.Periodic().sFileError.left(15), QStringLiteral("per-12-0060.csv"));
    EXPECT_FALSE(walk.Step());
}

TEST(TDayWalk, Step_EveryDayOnceAcrossMonthsAndEachMonitorFromTheFirstDay)
{
    // 30 January to 1 March of a leap year: 32 days in three month folders. The second
    // monitor has no files: its first day must not be handed the first monitor's day
    // after (fault guarded: the kept next day outliving its monitor).
    TDayDir dir;
    ASSERT_TRUE(dir.IsValid());
    const QDate dtFrom(2024, 1, 30);
    const QDate dtTo(2024, 3, 1);
    for (const QDate& dt :
         {QDate(2024, 1, 31), QDate(2024, 2, 1), QDate(2024, 2, 29), QDate(2024, 3, 1), QDate(2024, 3, 2)})
        WritePer(dir, "7", dt, dt.day());
    TDayWalk walk(dir.DataPath(), dtFrom, dtTo);
    EXPECT_EQ(walk.Days(), 32);
    for (const char* szID : {"7", "8", "7"}) {
        walk.Start(QLatin1String(szID), PerFiles(true));
        QDate dtExpect = dtFrom;
        QStringList slRead;
        while (walk.Step()) {
            EXPECT_EQ(walk.Date(), dtExpect);
            EXPECT_EQ(walk.Periodic().dt, dtExpect);
            EXPECT_EQ(walk.Index(), dtFrom.daysTo(dtExpect));
            if (walk.Periodic().eFile == TDayRecords::EFile::Read) {
                EXPECT_EQ(walk.Periodic().aadValues[0][0], dtExpect.day());
                slRead.append(dtExpect.toString(Qt::ISODate));
            }
            dtExpect = dtExpect.addDays(1);
        }
        EXPECT_EQ(dtExpect, dtTo.addDays(1)) << szID;
        EXPECT_EQ(slRead.join(u' '), QByteArray(szID) == "7"
                                         ? QStringLiteral("2024-01-31 2024-02-01 2024-02-29 2024-03-01")
                                         : QString())
            << szID;
    }
    // A range the wrong way round, or with an invalid date, has no days.
    EXPECT_EQ(TDayWalk(dir.DataPath(), dtTo, dtFrom).Days(), 0);
    TDayWalk none(dir.DataPath(), QDate(), dtTo);
    none.Start(QStringLiteral("7"), PerFiles(true));
    EXPECT_FALSE(none.Step());
}
