#include "analysis/weatherrules.h"

#include "datafiles/weatherfile.h"
#include "settings/cfg.h"

#include <QDateTime>
#include <QFile>
#include <QTemporaryDir>

#include <gtest/gtest.h>

namespace {

using EReason = TExclusion::EReason;

// Ten-minute readings of 1 March 2026 from 10:00: wind 4, 5 (equal is not above),
// 5.1, 7.2, 6 (10:20-10:50, one exclusion), 3, 8 (the last one, for the median step
// of 10 minutes); rain 0 until 0.2 and 0.4 at 10:30 and 10:40, and one row with no
// rain reading.
const QString sFile = QStringLiteral("Date time;Wind speed [m/s];Rain [mm/h]\n"
                                     "2026-03-01 10:00;4.0;0\n"
                                     "2026-03-01 10:10;5.0;0\n"
                                     "2026-03-01 10:20;5.1;0.0\n"
                                     "2026-03-01 10:30;7.2;0.2\n"
                                     "2026-03-01 10:40;6;0.4\n"
                                     "2026-03-01 10:50;3;\n"
                                     "2026-03-01 11:00;8;0\n");

qint64 At(const char* sz)
{
    return TExclusion::ParseWall(QLatin1String(sz)).value_or(-1);
}

std::vector<TWeatherRow> Rows(const QString& sText)
{
    TWeatherFile f;
    EXPECT_TRUE(f.LoadText(sText, QStringLiteral("w.csv"))) << qPrintable(f.Error());
    return f.Rows();
}

// Each exclusion as "monitor reason from-to: comment".
QStringList Texts(const std::vector<TExclusion>& a)
{
    QStringList sl;
    for (const TExclusion& ex : a) {
        EXPECT_TRUE(ex.slParams.isEmpty() && ex.sAuthor.isEmpty() && !ex.IsWithdrawn());
        sl.append(ex.sMonitor + u' ' + TExclusion::ReasonText(ex.eReason) + u' ' +
                  TExclusion::WallText(ex.nFrom).mid(11, 5) + u'-' + TExclusion::WallText(ex.nTo).mid(11, 5) +
                  QStringLiteral(": ") + ex.sComment);
    }
    return sl;
}

void WriteFile(const QString& sPath, const QString& sText)
{
    QFile f(sPath);
    ASSERT_TRUE(f.open(QIODevice::WriteOnly));
    f.write(sText.toUtf8());
}

} // namespace

// --- the rules on one file ---

TEST(TWeatherRules, Exclusions_StrictlyAboveMergedWhileAdjacentTheLastRowForItsStep)
{
    const TWeatherRules rules;
    EXPECT_EQ(Texts(rules.Exclusions(Rows(sFile), QStringLiteral("*"))),
              (QStringList{QStringLiteral("* wind 10:20-10:50: wind up to 7.2 m/s above 5 m/s"),
                           QStringLiteral("* wind 11:00-11:10: wind 8 m/s above 5 m/s"),
                           QStringLiteral("* rain 10:30-10:50: rain up to 0.4 mm/h above 0 mm/h")}));
}

TEST(TWeatherRules, Exclusions_SwitchesThresholdsAndTheMonitor)
{
    TWeatherRules rules;
    rules.bWindOn = false;
    rules.dRainAbove = 0.2; // 0.2 itself is not above
    EXPECT_EQ(Texts(rules.Exclusions(Rows(sFile), QStringLiteral("M2"))),
              QStringList{QStringLiteral("M2 rain 10:40-10:50: rain 0.4 mm/h above 0.2 mm/h")});
    rules.bWindOn = true;
    rules.bRainOn = false;
    rules.dWindAbove = 7.5;
    EXPECT_EQ(Texts(rules.Exclusions(Rows(sFile), QStringLiteral("M2"))),
              QStringList{QStringLiteral("M2 wind 11:00-11:10: wind 8 m/s above 7.5 m/s")});
}

TEST(TWeatherRules, Exclusions_ReadingsApartAcrossAGapAreNotMerged)
{
    // The station was off from 10:20 to 12:00: two exclusions, not one over the gap.
    const std::vector<TWeatherRow> aRows =
        Rows(QStringLiteral("datetime,wind\n2026-03-01 10:00,6\n2026-03-01 10:10,6\n2026-03-01 12:00,6\n"
                            "2026-03-01 12:10,6\n2026-03-01 12:20,1\n"));
    EXPECT_EQ(Texts(TWeatherRules().Exclusions(aRows, QStringLiteral("*"))),
              (QStringList{QStringLiteral("* wind 10:00-10:20: wind up to 6 m/s above 5 m/s"),
                           QStringLiteral("* wind 12:00-12:20: wind up to 6 m/s above 5 m/s")}));
}

// --- the files of the settings ---

class TWeatherRulesCfg : public ::testing::Test
{
protected:
    QTemporaryDir dir;
    TCfg cfg{dir.path()};
    QString sSite = dir.path() + QStringLiteral("/site.csv");
    QString sMast = dir.path() + QStringLiteral("/mast.csv");
};

TEST_F(TWeatherRulesCfg, Apply_TheInstallationsAndAMonitorsFileBecomeAutomaticExclusions)
{
    WriteFile(sSite, sFile);
    // Rain all night at M3's own gauge; line 3 has no time.
    WriteFile(sMast, QStringLiteral("timestamp,rain\n2026-03-01T22:00,1.5\nlater,2\n2026-03-01T23:00,0.5\n"));
    cfg.SetWeatherFile(sSite);
    cfg.SetWeatherMonitorFiles({{QStringLiteral("M3"), sMast}});
    TExclusions excl;
    EXPECT_EQ(TWeatherRules::Apply(excl, cfg),
              QStringList{QStringLiteral("1 row of the weather file ") + sMast +
                          QStringLiteral(" cannot be read: line 3: the time \"later\" is not yyyy-MM-dd HH:mm[:ss]")});
    EXPECT_EQ(Texts(excl.Automatic()),
              (QStringList{QStringLiteral("* wind 10:20-10:50: wind up to 7.2 m/s above 5 m/s"),
                           QStringLiteral("* wind 11:00-11:10: wind 8 m/s above 5 m/s"),
                           QStringLiteral("* rain 10:30-10:50: rain up to 0.4 mm/h above 0 mm/h"),
                           QStringLiteral("M3 rain 22:00-00:00: rain up to 1.5 mm/h above 0 mm/h")}));
    // The list answers with them: M3 is excluded at night, M1 only by the site's file.
    EXPECT_TRUE(excl.IsExcluded(QStringLiteral("M3"), QStringLiteral("LAeq"), At("2026-03-01 23:59:59")));
    EXPECT_FALSE(excl.IsExcluded(QStringLiteral("M1"), QStringLiteral("LAeq"), At("2026-03-01 23:00:00")));
    EXPECT_TRUE(excl.IsExcluded(QStringLiteral("M1"), QStringLiteral("LAF90"), At("2026-03-01 10:20:00")));
    EXPECT_FALSE(excl.IsExcluded(QStringLiteral("M1"), QStringLiteral("LAF90"), At("2026-03-01 10:19:59")));
    // Dated by their file, just written, not at day 0 of the calendar.
    for (const TExclusion& ex : excl.Automatic())
        EXPECT_NEAR(double(ex.nCreated), double(TExclusion::Wall(QDateTime::currentDateTime())), 3600);

    const TWeatherRules::TOutcome out = TWeatherRules::Run(cfg);
    EXPECT_EQ(TWeatherRules::CountText(out.nWind, out.nRain), QStringLiteral("2 periods of wind and 2 of rain"));
}

TEST_F(TWeatherRulesCfg, Apply_RulesOffOrAFileMissingTakesAwayTheEarlierExclusions)
{
    WriteFile(sSite, sFile);
    cfg.SetWeatherFile(sSite);
    TExclusions excl;
    EXPECT_TRUE(TWeatherRules::Apply(excl, cfg).isEmpty());
    EXPECT_EQ(excl.Automatic().size(), 3U);

    cfg.SetWeatherOn(false);
    EXPECT_TRUE(TWeatherRules::Apply(excl, cfg).isEmpty());
    EXPECT_TRUE(excl.Automatic().empty());

    cfg.SetWeatherOn(true);
    QFile::remove(sSite);
    EXPECT_EQ(TWeatherRules::Apply(excl, cfg),
              QStringList{QStringLiteral("the weather file ") + sSite + QStringLiteral(" is missing")});
    EXPECT_TRUE(excl.Automatic().empty());
    EXPECT_FALSE(excl.IsExcluded(QStringLiteral("M1"), QStringLiteral("LAeq"), At("2026-03-01 10:30:00")));
}
