#include "output/cmdline.h"

#include "output/exportrun.h"
#include "output/gridtext.h"
#include "views/gridfill.h"
#include "views/stringgrid.h"

#include "reportdir.h"
#include "sim/simulator.h"

#include <QTextStream>

#include <gtest/gtest.h>

namespace {
const QDate d1(2024, 3, 1);
const QDate d2(2024, 3, 2);
const QDate d3(2024, 3, 3);

QByteArray ReadAll(const QString& sPath)
{
    QFile f(sPath);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}
} // namespace

class TCmdLineTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        ASSERT_TRUE(dir.IsValid());
        // The command line opens the settings of the shared application-data folder.
        qputenv("TARVIK_COMMON_APPDATA", (dir.Root() + QStringLiteral("appdata")).toLocal8Bit());
        dir.AddTwoMonitors();
        dir.SelectParams({QStringLiteral("LAeq"), QStringLiteral("LAF90")});
        for (const QString& sID : {QStringLiteral("7"), QStringLiteral("8")}) {
            dir.WritePer(sID, d1, 60,
                         {QStringLiteral(".Time,LAeq,LAF90"), QStringLiteral("00:00:00,51.0,-"),
                          QStringLiteral("01:00:00,52.5,40.0")});
            dir.WritePer(sID, d2, 15, {QStringLiteral(".Time,LAeq"), QStringLiteral("00:15:00,50.0")});
            dir.WriteAlm(sID, d2,
                         {QStringLiteral("Time"), QStringLiteral("10:00:00"), QStringLiteral("10:20:00")});
        }
        dir.WriteCal(QStringLiteral("8"), d3, {QStringLiteral("Time,Dev"), QStringLiteral("06:00:00,0.1")});
        dir.Cfg().SetMonitorSel(QStringLiteral("8"), true);
    }

    int Run(QStringList args)
    {
        sOut.clear();
        sErr.clear();
        QTextStream out(&sOut);
        QTextStream err(&sErr);
        args.prepend(QStringLiteral("tarvik-reporter"));
        const int nExit = TCmdLine::Run(args, out, err);
        out.flush();
        err.flush();
        return nExit;
    }

    // The clipboard text of a grid filled as the window would fill it.
    QString Expected(const std::function<void(TStringGrid&, const TMonitorSel&)>& fill,
                     const QStringList& slIDs)
    {
        const auto mons = dir.Monitors();
        TMonitorSel aSel;
        for (int i = 0; i < mons->Count(); ++i)
            if (slIDs.contains(mons->GetHead(i)->sID))
                aSel.push_back(mons->GetHead(i));
        TStringGrid grid;
        fill(grid, aSel);
        return TGridText::FromGrid(grid);
    }

    TReportDir dir;
    QString sOut;
    QString sErr;
};

// --- which runs the command line takes ---------------------------------------------------------

TEST(TCmdLine, Wants_OnlyTheCommandsAfterTheProgramName)
{
    const QString sProg = QStringLiteral("tarvik-reporter");
    EXPECT_FALSE(TCmdLine::Wants({sProg}));
    EXPECT_FALSE(TCmdLine::Wants({sProg, QStringLiteral("--data"), QStringLiteral("/x")}));
    EXPECT_FALSE(TCmdLine::Wants({QStringLiteral("--help")})); // a program so named
    for (const char* sz : {"--export", "--table", "--summary", "--exceedances", "--help", "-h",
                           "--export=/tmp/x", "--table=alarms"})
        EXPECT_TRUE(TCmdLine::Wants(
            {sProg, QStringLiteral("--from"), QStringLiteral("2024-03-01"), QString::fromLatin1(sz)}))
            << sz;
}

TEST_F(TCmdLineTest, Help_PrintsTheUsageAndSucceeds)
{
    EXPECT_EQ(Run({QStringLiteral("--help")}), 0);
    EXPECT_EQ(sOut, TCmdLine::Usage());
    EXPECT_TRUE(sOut.contains(QLatin1String("--monitors ID,ID,...")));
    EXPECT_TRUE(sErr.isEmpty());
}

TEST_F(TCmdLineTest, BadArguments_ExitTwoWithTheUsage)
{
    const QString sHtml = dir.HtmlDir();
    const std::vector<QStringList> aBad = {
        {QStringLiteral("--table"), QStringLiteral("alarms"), QStringLiteral("--bogus")},
        {QStringLiteral("--table"), QStringLiteral("levels")},
        {QStringLiteral("--table"), QStringLiteral("alarms"), QStringLiteral("--from"),
         QStringLiteral("2024-02-30")},
        {QStringLiteral("--table"), QStringLiteral("alarms"), QStringLiteral("--from"),
         QStringLiteral("2024-3-1")},
        {QStringLiteral("--table"), QStringLiteral("alarms"), QStringLiteral("--period"),
         QStringLiteral("0")},
        {QStringLiteral("--table"), QStringLiteral("alarms"), QStringLiteral("--period"),
         QStringLiteral("-5")},
        {QStringLiteral("--table"), QStringLiteral("alarms"), QStringLiteral("--period"),
         QStringLiteral("1.5")},
        {QStringLiteral("--table"), QStringLiteral("alarms"), QStringLiteral("--period"),
         QStringLiteral("+15")},
        {QStringLiteral("--table"), QStringLiteral("alarms"), QStringLiteral("--monitors"),
         QStringLiteral("7,9")},
        {QStringLiteral("--table"), QStringLiteral("alarms"), QStringLiteral("--from"),
         QStringLiteral("2024-03-02"), QStringLiteral("--to"), QStringLiteral("2024-03-01")},
        {QStringLiteral("--table"), QStringLiteral("alarms"), QStringLiteral("--zoom")},
        {QStringLiteral("--table")},
        {QStringLiteral("--summary"), QStringLiteral("--table"), QStringLiteral("alarms")},
        {QStringLiteral("--summary"), QStringLiteral("--no-logo")},
        {QStringLiteral("--summary=yes")},
        {QStringLiteral("--export"), sHtml, QStringLiteral("--table"), QStringLiteral("alarms")},
        {QStringLiteral("--export"), sHtml, QStringLiteral("--kinds"), QStringLiteral("prf,pdf")},
        {QStringLiteral("--export"), sHtml, QStringLiteral("--data"), dir.Root() + QStringLiteral("nowhere")},
    };
    for (const QStringList& args : aBad) {
        EXPECT_EQ(Run(args), 2) << args.join(u' ').toStdString();
        EXPECT_TRUE(sErr.contains(QLatin1String("Usage:"))) << args.join(u' ').toStdString();
        EXPECT_TRUE(sOut.isEmpty());
    }
    EXPECT_FALSE(QFileInfo::exists(sHtml));
}

// --- tables ---------------------------------------------------------------------------------------

TEST_F(TCmdLineTest, Table_PrintsTheClipboardTextOfTheSameFill)
{
    const QString sData = dir.DataPath();
    const TCfg& cfg = dir.Cfg();
    EXPECT_EQ(Run({QStringLiteral("--table"), QStringLiteral("periodic"), QStringLiteral("--monitors"),
                   QStringLiteral("all"), QStringLiteral("--from"), QStringLiteral("2024-03-01"),
                   QStringLiteral("--to"), QStringLiteral("2024-03-02")}),
              0)
        << sErr.toStdString();
    EXPECT_EQ(sOut,
              Expected([&](TStringGrid& g,
                           const TMonitorSel& a) { TGridFill::FillPerTable(g, cfg, sData, a, d1, d2, 60); },
                       {QStringLiteral("7"), QStringLiteral("8")}));
    EXPECT_TRUE(sOut.contains(QLatin1String("2024-03-01\t01:00:00\t52.5\t40.0\t\r\n")));

    EXPECT_EQ(
        Run({QStringLiteral("--table=periodic"), QStringLiteral("--monitors=7"), QStringLiteral("--period"),
             QStringLiteral("15"), QStringLiteral("--from"), QStringLiteral("2024-03-02")}),
        0);
    EXPECT_EQ(sOut,
              Expected([&](TStringGrid& g,
                           const TMonitorSel& a) { TGridFill::FillPerTable(g, cfg, sData, a, d2, d2, 15); },
                       {QStringLiteral("7")}));
    EXPECT_TRUE(sOut.contains(QLatin1String("00:15:00\t50.0")));

    EXPECT_EQ(Run({QStringLiteral("--table"), QStringLiteral("alarms"), QStringLiteral("--period"),
                   QStringLiteral("30"), QStringLiteral("--from"), QStringLiteral("2024-03-02")}),
              0);
    EXPECT_EQ(sOut, Expected([&](TStringGrid& g,
                                 const TMonitorSel& a) { TGridFill::FillAlmTable(g, sData, a, d2, d2, 30); },
                             {QStringLiteral("8")})); // the stored ticks
    EXPECT_TRUE(sOut.contains(QLatin1String("2024-03-02\t10:00:00\t2\t\r\n")));

    EXPECT_EQ(Run({QStringLiteral("--table"), QStringLiteral("alarm-list"), QStringLiteral("--monitors"),
                   QStringLiteral("8,7"), QStringLiteral("--from"), QStringLiteral("2024-03-01"),
                   QStringLiteral("--to"), QStringLiteral("2024-03-03")}),
              0);
    EXPECT_EQ(sOut, Expected([&](TStringGrid& g,
                                 const TMonitorSel& a) { TGridFill::FillAlmList(g, sData, a, d1, d3); },
                             {QStringLiteral("7"), QStringLiteral("8")}));

    EXPECT_EQ(Run({QStringLiteral("--table"), QStringLiteral("calibrations"), QStringLiteral("--from"),
                   QStringLiteral("2024-03-03")}),
              0);
    EXPECT_EQ(sOut,
              QStringLiteral("South Yard\t\t\t\r\n\t\t\t\r\nDate\tTime\t\t\r\n2024-03-03\t06:00:00\t\t\r\n"
                             "\t\t\t\r\n\t\t\t\r\n\t\t\t\r\n"));
}

TEST_F(TCmdLineTest, Overrides_StoreNoSetting)
{
    const QString sIni = dir.Cfg().FileName();
    const QByteArray baBefore = ReadAll(sIni);
    ASSERT_FALSE(baBefore.isEmpty());
    TReportDir other;
    other.AddMonitor(QStringLiteral("9"), QStringLiteral("Elsewhere"));
    EXPECT_EQ(Run({QStringLiteral("--table"), QStringLiteral("alarms"), QStringLiteral("--data"),
                   other.DataPath(), QStringLiteral("--period"), QStringLiteral("5"),
                   QStringLiteral("--monitors"), QStringLiteral("9")}),
              0)
        << sErr.toStdString();
    EXPECT_TRUE(sOut.startsWith(QLatin1String("Elsewhere\t")));
    EXPECT_EQ(ReadAll(sIni), baBefore);
}

// --- rating summary ------------------------------------------------------------------------------

TEST_F(TCmdLineTest, Summary_PrintsHeaderDayRowsAndRangeRowAsCsv)
{
    // Monitor 7 has two night hours on the first day (51.0 and 52.5) and no hourly
    // file on the second: the range's night coverage is 2 of 16 hours.
    EXPECT_EQ(Run({QStringLiteral("--summary"), QStringLiteral("--monitors"), QStringLiteral("7"),
                   QStringLiteral("--from"), QStringLiteral("2024-03-01"), QStringLiteral("--to"),
                   QStringLiteral("2024-03-02")}),
              0)
        << sErr.toStdString();
    EXPECT_EQ(sOut, QStringLiteral("Monitor,Date,Lday,Levening,Lnight,Lden,Day coverage %,Evening coverage %,"
                                   "Night coverage %\n"
                                   "7,2024-03-01,,,51.8,,0.0,0.0,25.0\n"
                                   "7,2024-03-02,,,,,0.0,0.0,0.0\n"
                                   "7,Range,,,51.8,,0.0,0.0,12.5\n"));
    EXPECT_TRUE(sErr.isEmpty());

    // The period chooses the file: one 15-minute night value of 32.
    EXPECT_EQ(Run({QStringLiteral("--summary"), QStringLiteral("--period=15"), QStringLiteral("--from"),
                   QStringLiteral("2024-03-02")}),
              0);
    EXPECT_EQ(sOut.section(QLatin1Char('\n'), 1), QStringLiteral("8,2024-03-02,,,50.0,,0.0,0.0,3.1\n"
                                                                 "8,Range,,,50.0,,0.0,0.0,3.1\n"));
}

TEST_F(TCmdLineTest, Summary_UsesTheRatingSettingsAndQuotesMonitorIDs)
{
    TReportDir other;
    const QString sID = QStringLiteral("Yard \"B\", east");
    other.AddMonitor(sID, QStringLiteral("Yard"));
    QStringList sl{QStringLiteral(".Time,LAeq")};
    for (int h = 0; h < 24; ++h)
        sl << QStringLiteral("%1:00:00,60.0").arg(h, 2, 10, QLatin1Char('0'));
    other.WritePer(sID, d1, 60, sl);
    const QStringList args{QStringLiteral("--summary"),  QStringLiteral("--data"), other.DataPath(),
                           QStringLiteral("--monitors"), QStringLiteral("all"),    QStringLiteral("--from"),
                           QStringLiteral("2024-03-01")};
    const QString sRow =
        QStringLiteral("\"Yard \"\"B\"\", east\",2024-03-01,60.0,60.0,60.0,%1,100.0,100.0,100.0\n");
    EXPECT_EQ(Run(args), 0) << sErr.toStdString();
    EXPECT_EQ(sOut.section(QLatin1Char('\n'), 1, 1) + u'\n', sRow.arg(QStringLiteral("66.4")));

    dir.Cfg().SetRatingEveningPenalty(0);
    dir.Cfg().SetRatingNightPenalty(0);
    EXPECT_EQ(Run(args), 0);
    EXPECT_EQ(sOut.section(QLatin1Char('\n'), 1, 1) + u'\n', sRow.arg(QStringLiteral("60.0")));
}

TEST_F(TCmdLineTest, Summary_SimulatedInstallationOneRowPerDayAndMonitor)
{
    TReportDir sim;
    TSimOptions opt;
    opt.sDataPath = sim.DataPath();
    opt.nMonitors = 2;
    opt.dtFrom = d1;
    opt.dtTo = QDate(2024, 3, 10);
    opt.nSeed = 3;
    opt.anPeriods = {15};
    opt.nProfileDays = 0;
    TSimulator simulator(opt);
    simulator.WriteAll();
    ASSERT_TRUE(simulator.LastError().isEmpty());
    ASSERT_EQ(Run({QStringLiteral("--summary"), QStringLiteral("--data"), sim.DataPath(),
                   QStringLiteral("--monitors"), QStringLiteral("all"), QStringLiteral("--period"),
                   QStringLiteral("15"), QStringLiteral("--from"), QStringLiteral("2024-03-01"),
                   QStringLiteral("--to"), QStringLiteral("2024-03-10")}),
              0)
        << sErr.toStdString();
    QStringList slRows = sOut.split(QLatin1Char('\n'));
    ASSERT_EQ(slRows.takeLast(), QString());
    slRows.removeFirst();
    ASSERT_EQ(slRows.size(), 2 * 11);
    // The blocks follow the catalogue's order, which need not be the simulator's.
    QStringList slSeen;
    for (int iBlock = 0; iBlock < 2; ++iBlock) {
        const QString sID = slRows[iBlock * 11].section(QLatin1Char(','), 0, 0);
        const int i = sID == simulator.MonitorID(0) ? 0 : 1;
        ASSERT_EQ(sID, simulator.MonitorID(i));
        ASSERT_FALSE(slSeen.contains(sID));
        slSeen << sID;
        for (int nDay = 0; nDay <= 10; ++nDay) {
            const QStringList slF = slRows[iBlock * 11 + nDay].split(QLatin1Char(','));
            ASSERT_EQ(slF.size(), 9);
            EXPECT_EQ(slF[0], sID);
            if (nDay == 10) {
                EXPECT_EQ(slF[1], QStringLiteral("Range"));
                continue;
            }
            const QDate dt = d1.addDays(nDay);
            EXPECT_EQ(slF[1], dt.toString(QStringLiteral("yyyy-MM-dd")));
            if (simulator.IsOutageDay(i, dt)) {
                EXPECT_EQ(slF.mid(2).join(QLatin1Char(',')), QStringLiteral(",,,,0.0,0.0,0.0"));
                continue;
            }
            // The simulated nights are never all missing.
            EXPECT_FALSE(slF[4].isEmpty()) << slRows[iBlock * 11 + nDay].toStdString();
            for (int f = 2; f < 9; ++f) {
                if (!slF[f].isEmpty()) {
                    EXPECT_EQ(slF[f].section(QLatin1Char('.'), 1).size(), 1) << slF[f].toStdString();
                }
            }
        }
    }
}

// --- exports -------------------------------------------------------------------------------------------

TEST_F(TCmdLineTest, Export_WritesWhatTheRunWritesWithTheSameChoices)
{
    const QString sCmdDir = dir.Root() + QStringLiteral("cmd");
    EXPECT_EQ(Run({QStringLiteral("--export"), sCmdDir, QStringLiteral("--monitors"), QStringLiteral("all"),
                   QStringLiteral("--from"), QStringLiteral("2024-03-01"), QStringLiteral("--to"),
                   QStringLiteral("2024-03-03"), QStringLiteral("--kinds"),
                   QStringLiteral("per-table,alm-chart,alm-list,prf,cal"), QStringLiteral("--zoom"),
                   QStringLiteral("--no-logo"), QStringLiteral("--header"), QStringLiteral("Site <A>")}),
              0)
        << sErr.toStdString();
    EXPECT_TRUE(sOut.startsWith(QLatin1String("Periodic reports: North Gate\n")));
    EXPECT_TRUE(sOut.contains(QLatin1String("Profile: 2024-03-03 South Yard\n")));

    const auto mons = dir.Monitors();
    TExportOptions opt = TExportOptions::FromCfg(dir.Cfg());
    opt.bPerTbl = opt.bAlmChart = opt.bAlmList = opt.bPrfChart = opt.bCalList = true;
    opt.bZoom = true;
    opt.bHideLogo = true;
    opt.sHeader = QStringLiteral("Site <A>");
    TExportRun run(dir.Cfg(), *mons, {mons->GetHead(0), mons->GetHead(1)}, d1, d3, opt);
    const QString sRunDir = dir.Root() + QStringLiteral("run/");
    ASSERT_TRUE(QDir().mkpath(sRunDir));
    ASSERT_TRUE(run.Run(sRunDir));

    const QStringList slFiles = TReportDir::Files(sCmdDir);
    ASSERT_EQ(slFiles, TReportDir::Files(sRunDir));
    EXPECT_EQ(slFiles.filter(QStringLiteral(".html")).size(), 2 * 4 + 1);
    EXPECT_EQ(slFiles.filter(QStringLiteral("_zoom.bmp")).size(), 2 * (1 + 3));
    for (const QString& sFile : slFiles) {
        if (sFile.endsWith(QLatin1String(".html"))) {
            EXPECT_EQ(ReadAll(sCmdDir + u'/' + sFile), ReadAll(sRunDir + sFile)) << sFile.toStdString();
        }
    }
    const QStringList slIndex = TReportDir::ReadLines(sCmdDir + QStringLiteral("/Tarvik Reports.html"));
    EXPECT_EQ(slIndex[33], QStringLiteral("<div id=\"title\">Site &lt;A&gt;</div>"));
}

TEST_F(TCmdLineTest, Export_KindsSumWritesOnlyTheSummaryPages)
{
    const QString sCmdDir = dir.Root() + QStringLiteral("cmd");
    ASSERT_EQ(Run({QStringLiteral("--export"), sCmdDir, QStringLiteral("--monitors"), QStringLiteral("all"),
                   QStringLiteral("--from"), QStringLiteral("2024-03-01"), QStringLiteral("--to"),
                   QStringLiteral("2024-03-02"), QStringLiteral("--kinds"), QStringLiteral("sum"),
                   QStringLiteral("--no-zoom")}),
              0)
        << sErr.toStdString();
    EXPECT_EQ(sOut, QStringLiteral("Summary reports: North Gate\nSummary reports: South Yard\n"));
    EXPECT_EQ(TReportDir::Files(sCmdDir),
              QStringList({QStringLiteral("Tarvik Reports.html"),
                           QStringLiteral("summaries/charts/sum_7_20240301_20240302_0060.bmp"),
                           QStringLiteral("summaries/charts/sum_8_20240301_20240302_0060.bmp"),
                           QStringLiteral("summaries/sum_7_20240301_20240302_0060.html"),
                           QStringLiteral("summaries/sum_8_20240301_20240302_0060.html")}));
    // The period of the run names the pages.
    ASSERT_EQ(Run({QStringLiteral("--export"), sCmdDir, QStringLiteral("--monitors"), QStringLiteral("7"),
                   QStringLiteral("--from"), QStringLiteral("2024-03-02"), QStringLiteral("--period"),
                   QStringLiteral("15"), QStringLiteral("--kinds"), QStringLiteral("sum,cal")}),
              0)
        << sErr.toStdString();
    EXPECT_TRUE(QFile::exists(sCmdDir + QStringLiteral("/summaries/sum_7_20240302_20240302_0015.html")));
}

TEST_F(TCmdLineTest, Export_FailedRunExitsOneWithTheMessage)
{
    const QString sBlocked = dir.HtmlDir() + QStringLiteral("calibrations/cal_8_20240301_20240301.html");
    ASSERT_TRUE(QDir().mkpath(sBlocked));
    EXPECT_EQ(Run({QStringLiteral("--export"), dir.HtmlDir(), QStringLiteral("--from"),
                   QStringLiteral("2024-03-01"), QStringLiteral("--kinds"), QStringLiteral("cal")}),
              1);
    EXPECT_EQ(sErr, QStringLiteral("Unable to write to ") + QDir::toNativeSeparators(sBlocked) + u'\n');

    TReportDir::Write(dir.Root() + QStringLiteral("file"), {QStringLiteral("x")});
    EXPECT_EQ(Run({QStringLiteral("--export"), dir.Root() + QStringLiteral("file/sub")}), 1);
    EXPECT_EQ(sErr, QStringLiteral("Failed to create report folder\n"));
}

TEST_F(TCmdLineTest, Export_SimulatedInstallationEveryPageIndexed)
{
    TReportDir sim;
    TSimOptions opt;
    opt.sDataPath = sim.DataPath();
    opt.nMonitors = 2;
    opt.dtFrom = d1;
    opt.dtTo = d2;
    opt.nSeed = 7;
    opt.anPeriods = {60};
    opt.nProfileDays = 1;
    TSimulator simulator(opt);
    simulator.WriteAll();
    ASSERT_TRUE(simulator.LastError().isEmpty());
    const QString sOutDir = sim.Root() + QStringLiteral("reports");
    ASSERT_EQ(Run({QStringLiteral("--export"), sOutDir, QStringLiteral("--data"), sim.DataPath(),
                   QStringLiteral("--monitors"), QStringLiteral("all"), QStringLiteral("--from"),
                   QStringLiteral("2024-03-01"), QStringLiteral("--to"), QStringLiteral("2024-03-02"),
                   QStringLiteral("--no-zoom")}),
              0)
        << sErr.toStdString();
    const QStringList slIndex = TReportDir::ReadLines(sOutDir + QStringLiteral("/Tarvik Reports.html"));
    const QStringList slRows = slIndex.filter(QStringLiteral("<tr class=\"link\""));
    EXPECT_EQ(slRows.size(), 2 * 6);
    for (int i = 0; i < 2; ++i) {
        const QString sID = simulator.MonitorID(i);
        for (const QString& sPage : {QStringLiteral("periodic/per_%1_20240301_20240302_0060.html"),
                                     QStringLiteral("alarms/alm_%1_20240301_20240302_0060.html"),
                                     QStringLiteral("profiles/prf_%1_20240301_20240302.html"),
                                     QStringLiteral("calibrations/cal_%1_20240301_20240302.html"),
                                     QStringLiteral("summaries/sum_%1_20240301_20240302_0060.html"),
                                     QStringLiteral("exceedances/exc_%1_20240301_20240302_0060.html")}) {
            const QString sFile = sPage.arg(sID);
            EXPECT_TRUE(QFile::exists(sOutDir + u'/' + sFile)) << sFile.toStdString();
            EXPECT_EQ(slRows.filter(sFile).size(), 1) << sFile.toStdString();
        }
    }
}

// --- noise limit exceedances ----------------------------------------------------------------------

TEST_F(TCmdLineTest, Exceedances_CsvRowsAndCountsAgainstHandCountedPeriods)
{
    // 2024-03-01 is a Friday. Monitor 7: LAeq 51.0 at 00:00 (equal to the limit: within
    // it) and 52.5 at 01:00 (1.5 above); LAF90 "-" at 00:00 (not assessed) and 40.0 at
    // 01:00, 0.1 above a Friday-long 39.9.
    dir.Cfg().SetLimitRules({QStringLiteral("*; LAeq; Mon-Sun; 00:00-02:00; 51.0; Night"),
                             QStringLiteral("*; LAF90; Fri; 00:00-00:00; 39.9;"),
                             QStringLiteral("8; LAeq; Mon-Sun; 00:00-00:00; 99.0; Other")});
    const QString sIni = dir.Cfg().FileName();
    const QByteArray baBefore = ReadAll(sIni);
    ASSERT_EQ(Run({QStringLiteral("--exceedances"), QStringLiteral("--monitors"), QStringLiteral("7"),
                   QStringLiteral("--from"), QStringLiteral("2024-03-01")}),
              0)
        << sErr.toStdString();
    EXPECT_EQ(sOut, QStringLiteral(
                        "Monitor,Date,Time,Parameter,Value,Limit,Margin,Label\n"
                        "7,2024-03-01,01:00,LAeq,52.5,51.0,1.5,Night\n"
                        "7,2024-03-01,01:00,LAF90,40.0,39.9,0.1,LAF90 Fri 00:00-00:00\n"
                        "\n"
                        "Monitor,Date,Parameter,Days,Band,Limit,Periods,Assessed,Exceedances,Worst margin,"
                        "Worst at,Label\n"
                        "7,2024-03-01,LAeq,Mon-Sun,00:00-02:00,51.0,2,2,1,1.5,01:00,Night\n"
                        "7,2024-03-01,LAF90,Fri,00:00-00:00,39.9,24,1,1,0.1,01:00,LAF90 Fri 00:00-00:00\n"
                        "7,Range,LAeq,Mon-Sun,00:00-02:00,51.0,2,2,1,1.5,2024-03-01 01:00,Night\n"
                        "7,Range,LAF90,Fri,00:00-00:00,39.9,24,1,1,0.1,2024-03-01 01:00,"
                        "LAF90 Fri 00:00-00:00\n"));
    EXPECT_TRUE(sErr.isEmpty());

    // Monitor 8 has a schedule of its own, which replaces the default: nothing above 99.
    ASSERT_EQ(Run({QStringLiteral("--exceedances"), QStringLiteral("--monitors"), QStringLiteral("8"),
                   QStringLiteral("--from"), QStringLiteral("2024-03-01"), QStringLiteral("--to"),
                   QStringLiteral("2024-03-02")}),
              0);
    EXPECT_EQ(sOut.section(QLatin1Char('\n'), 1, 1), QString());
    EXPECT_EQ(sOut.count(QLatin1Char('\n')), 6);
    EXPECT_TRUE(sOut.contains(QLatin1String("8,2024-03-02,LAeq,Mon-Sun,00:00-00:00,99.0,24,0,0,,,Other\n")));
    EXPECT_EQ(ReadAll(sIni), baBefore);
}

TEST_F(TCmdLineTest, Exceedances_LimitsFileReplacesTheSettingsAndBadInputIsRefused)
{
    dir.Cfg().SetLimitRules({QStringLiteral("*; LAeq; Mon-Sun; 00:00-00:00; 10.0"),
                             QStringLiteral("*; LAeq; Mon-Sun; 25:00-07:00; 10.0")});
    const QString sFile = dir.Root() + QStringLiteral("limits.txt");
    QFile f(sFile);
    ASSERT_TRUE(f.open(QIODevice::WriteOnly));
    f.write("# permit\n*; LAeq; Fri; 01:00-02:00; 52.0; Permit\n*; LAeq; Fri; 07:00-07:00; abc\n");
    f.close();
    const QStringList args{QStringLiteral("--exceedances"),
                           QStringLiteral("--monitors"),
                           QStringLiteral("7"),
                           QStringLiteral("--from"),
                           QStringLiteral("2024-03-01"),
                           QStringLiteral("--limits"),
                           sFile};
    ASSERT_EQ(Run(args), 0) << sErr.toStdString();
    EXPECT_EQ(sOut.section(QLatin1Char('\n'), 1, 1),
              QStringLiteral("7,2024-03-01,01:00,LAeq,52.5,52.0,0.5,Permit"));
    // The unreadable line is named once; the settings' own bad rule is not in play.
    EXPECT_EQ(sErr.count(QLatin1String("could not be read")), 1);
    EXPECT_TRUE(sErr.contains(QLatin1String("line 3:"))) << sErr.toStdString();

    // Without --limits the settings' readable rule judges, and their bad one is named.
    ASSERT_EQ(Run(QStringList(args.mid(0, 5))), 0);
    EXPECT_EQ(sOut.count(QLatin1String(",10.0,")), 4);
    EXPECT_TRUE(sErr.contains(QLatin1String("rule2:")));

    QFile fb(sFile);
    ASSERT_TRUE(fb.open(QIODevice::WriteOnly));
    fb.write(QByteArray("\x7f"
                        "ELF\x02\x01\x01\0\0\0",
                        10));
    fb.close();
    EXPECT_EQ(Run(args), 2);
    EXPECT_TRUE(sErr.contains(QLatin1String("is not text")));
    EXPECT_TRUE(sOut.isEmpty());
    EXPECT_EQ(Run({QStringLiteral("--summary"), QStringLiteral("--limits"), sFile}), 2);
    EXPECT_EQ(Run({QStringLiteral("--exceedances"), QStringLiteral("--limits"),
                   dir.Root() + QStringLiteral("none")}),
              2);
}
