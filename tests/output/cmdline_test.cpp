#include "output/cmdline.h"

#include "output/exportrun.h"
#include "output/gridtext.h"
#include "platform/wholefile.h"
#include "reports/gridfill.h"
#include "reports/stringgrid.h"

#include "nonplainfile.h"
#include "reportdir.h"
#include "sim/simulator.h"

#include <QDir>
#include <QFile>
#include <QImage>
#include <QMap>
#include <QProcess>
#include <QRegularExpression>
#include <QStandardPaths>
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

// The output of a poppler tool (pdftotext, pdfinfo) for a PDF file; empty when the
// tool is missing or fails.
QString Poppler(const QString& sTool, QStringList args)
{
    QProcess proc;
    proc.start(sTool, args);
    return proc.waitForFinished(30000) ? QString::fromUtf8(proc.readAllStandardOutput()) : QString();
}

bool HavePoppler()
{
    for (const char* sz : {"pdftotext", "pdfinfo", "pdfimages"})
        if (QStandardPaths::findExecutable(QString::fromLatin1(sz)).isEmpty())
            return false;
    return true;
}

// The text of each page of a PDF, as pdftotext lays it out.
QStringList PdfPages(const QString& sFile)
{
    QStringList sl = Poppler(QStringLiteral("pdftotext"), {QStringLiteral("-layout"), sFile, QStringLiteral("-")})
                         .split(QLatin1Char('\f'));
    sl.removeLast(); // what follows the last page's form feed
    return sl;
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

    int Run(QStringList args, bool bTerminal = true)
    {
        sOut.clear();
        sErr.clear();
        QTextStream out(&sOut);
        QTextStream err(&sErr);
        args.prepend(QStringLiteral("tarvik-reporter"));
        const int nExit = TCmdLine::Run(args, out, err, bTerminal);
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

// Only a start without arguments opens the window: a mistyped option or a stray word
// used to open it too, silently, and a scheduled job hung on it.
TEST(TCmdLine, Wants_EveryArgumentAfterTheProgramName)
{
    const QString sProg = QStringLiteral("tarvik-reporter");
    EXPECT_FALSE(TCmdLine::Wants({sProg}));
    EXPECT_FALSE(TCmdLine::Wants({QStringLiteral("--help")})); // a program so named
    for (const char* sz : {"--export", "--sumary", "summary", "-style", "--data", ""})
        EXPECT_TRUE(TCmdLine::Wants({sProg, QString::fromLatin1(sz)})) << sz;
}

TEST_F(TCmdLineTest, Help_PrintsTheUsageAndSucceeds)
{
    EXPECT_EQ(Run({QStringLiteral("--help")}), 0);
    EXPECT_EQ(sOut, TCmdLine::Usage());
    EXPECT_TRUE(sOut.contains(QLatin1String("--monitors ID,ID,...")));
    EXPECT_TRUE(sErr.isEmpty());
}

TEST(TCmdLine, ManPage_NamesEveryOptionOfTheHelp)
{
    const QByteArray baMan = ReadAll(QStringLiteral(TARVIK_MAN_PAGE));
    ASSERT_FALSE(baMan.isEmpty()) << TARVIK_MAN_PAGE;
    // In the page's source a hyphen is written \- (or -); the option must stand as a word.
    const QString sMan = QString::fromUtf8(baMan).replace(QLatin1String("\\-"), QLatin1String("-"));
    const QRegularExpression reOption(QStringLiteral("(?<![\\w-])-(-[a-z][a-z-]*|h)\\b"));
    QStringList slOptions;
    for (const QRegularExpressionMatch& m : reOption.globalMatch(TCmdLine::Usage()))
        if (!slOptions.contains(m.captured()))
            slOptions << m.captured();
    EXPECT_GE(slOptions.size(), 20);
    for (const QString& sOption : std::as_const(slOptions)) {
        const QRegularExpression reInMan(QStringLiteral("(?<![\\w-])") + QRegularExpression::escape(sOption) +
                                         QStringLiteral("(?![\\w-])"));
        EXPECT_TRUE(reInMan.match(sMan).hasMatch())
            << "the man page packaging/man/tarvik-reporter.1 lacks the option " << sOption.toStdString()
            << ", which --help names";
    }
}

TEST_F(TCmdLineTest, BadArguments_ExitTwoWithTheUsage)
{
    const QString sHtml = dir.HtmlDir();
    const QString sPdf = dir.Root() + QStringLiteral("r.pdf");
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
        {QStringLiteral("--events"), QStringLiteral("--summary")},
        {QStringLiteral("--events"), QStringLiteral("--threshold"), QStringLiteral("181")},
        {QStringLiteral("--events"), QStringLiteral("--threshold"), QStringLiteral("7O")},
        {QStringLiteral("--events"), QStringLiteral("--min-duration"), QStringLiteral("2.5")},
        {QStringLiteral("--events"), QStringLiteral("--min-duration"), QStringLiteral("-1")},
        {QStringLiteral("--summary"), QStringLiteral("--threshold"), QStringLiteral("60")},
        {QStringLiteral("--table"), QStringLiteral("alarms"), QStringLiteral("--min-duration=3")},
        {QStringLiteral("--export"), sHtml, QStringLiteral("--table"), QStringLiteral("alarms")},
        {QStringLiteral("--export"), sHtml, QStringLiteral("--kinds"), QStringLiteral("prf,pdf")},
        {QStringLiteral("--export"), sHtml, QStringLiteral("--data"), dir.Root() + QStringLiteral("nowhere")},
        {QStringLiteral("--export"), sHtml, QStringLiteral("--image-format"), QStringLiteral("gif")},
        {QStringLiteral("--export"), sHtml, QStringLiteral("--image-format"), QStringLiteral("PNG ")},
        {QStringLiteral("--export"), sHtml, QStringLiteral("--report"), QStringLiteral("profile")},
        {QStringLiteral("--table"), QStringLiteral("alarms"), QStringLiteral("--image-format"),
         QStringLiteral("png")},
        {QStringLiteral("--table"), QStringLiteral("alarms"), QStringLiteral("--landscape")},
        {QStringLiteral("--pdf"), sPdf},
        {QStringLiteral("--pdf"), QString(), QStringLiteral("--report"), QStringLiteral("profile")},
        {QStringLiteral("--pdf"), sPdf, QStringLiteral("--report"), QStringLiteral("chart")},
        {QStringLiteral("--pdf"), sPdf, QStringLiteral("--report"), QStringLiteral("profile"),
         QStringLiteral("--paper"), QStringLiteral("A3")},
        {QStringLiteral("--pdf"), sPdf, QStringLiteral("--report"), QStringLiteral("profile"),
         QStringLiteral("--zoom")},
        {QStringLiteral("--pdf"), sPdf, QStringLiteral("--report"), QStringLiteral("profile"),
         QStringLiteral("--export"), sHtml},
        {QStringLiteral("--pdf"), sPdf, QStringLiteral("--report"), QStringLiteral("profile"),
         QStringLiteral("--from"), QStringLiteral("tomorrow")},
        {QStringLiteral("--summary"), QStringLiteral("--from"), QStringLiteral("last")},
        {QStringLiteral("--table"), QStringLiteral("alarms"), QStringLiteral("--progress")},
        {QStringLiteral("--export"), sHtml, QStringLiteral("--from"), QStringLiteral("last"), QStringLiteral("--to"),
         QStringLiteral("2024-02-30")},
        {QStringLiteral("--monitors"), QStringLiteral("all")},
    };
    for (const QStringList& args : aBad) {
        EXPECT_EQ(Run(args), 2) << args.join(u' ').toStdString();
        EXPECT_TRUE(sErr.contains(QLatin1String("Usage:"))) << args.join(u' ').toStdString();
        EXPECT_TRUE(sOut.isEmpty());
    }
    EXPECT_FALSE(QFileInfo::exists(sHtml));
    EXPECT_FALSE(QFileInfo::exists(sPdf));
    // The message names what was wrong, not only that something was.
    Run({QStringLiteral("--export"), sHtml, QStringLiteral("--image-format"), QStringLiteral("gif")});
    EXPECT_TRUE(sErr.startsWith(QLatin1String("tarvik-reporter: unknown image format gif (png or bmp)\n")));
    Run({QStringLiteral("--pdf"), sPdf, QStringLiteral("--report"), QStringLiteral("chart")});
    EXPECT_TRUE(sErr.startsWith(QLatin1String("tarvik-reporter: unknown report chart (one of periodic-chart,")));
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

// The exclusion file beside the settings is used unless --no-exclusions says otherwise;
// --exclusions FILE takes another. Monitor 7's hour at midnight excluded leaves its
// night to the 01:00 value, covered 1 of 8 hours, with one hour told as excluded.
TEST_F(TCmdLineTest, Summary_LeavesOutTheExclusionsOfTheFileBesideTheSettings)
{
    const QString sHead = QStringLiteral("id,monitor,from,to,covers,reason,comment,author,created,withdrawn,"
                                         "withdrawn by\n");
    const QString sFile = dir.Root() + QStringLiteral("appdata/Kestrom/Tarvik-SV/rp_exclusions.csv");
    auto write = [](const QString& sPath, const QString& sText) {
        QFile f(sPath);
        ASSERT_TRUE(f.open(QIODevice::WriteOnly | QIODevice::Truncate));
        f.write(sText.toUtf8());
    };
    write(sFile, sHead + QStringLiteral("1,7,2024-03-01 00:00:00,2024-03-01 01:00:00,all,works,,a,"
                                        "2024-03-02 10:00:00,,\n"));
    const QStringList slArgs{QStringLiteral("--summary"), QStringLiteral("--monitors"), QStringLiteral("7"),
                             QStringLiteral("--from"), QStringLiteral("2024-03-01")};
    ASSERT_EQ(Run(slArgs), 0) << sErr.toStdString();
    EXPECT_EQ(sOut, QStringLiteral("Monitor,Date,Lday,Levening,Lnight,Lden,Day coverage %,Evening coverage %,"
                                   "Night coverage %,Day excluded h,Evening excluded h,Night excluded h\n"
                                   "7,2024-03-01,,,52.5,,0.0,0.0,12.5,0.0,0.0,1.0\n"
                                   "7,Range,,,52.5,,0.0,0.0,12.5,0.0,0.0,1.0\n"));
    ASSERT_EQ(Run(QStringList(slArgs) << QStringLiteral("--no-exclusions")), 0);
    EXPECT_EQ(sOut.section(QLatin1Char('\n'), 1, 1), QStringLiteral("7,2024-03-01,,,51.8,,0.0,0.0,25.0"));

    // Another file: the 01:00 hour instead, withdrawn rows changing nothing.
    const QString sOther = dir.Root() + QStringLiteral("other.csv");
    write(sOther, sHead + QStringLiteral("4,*,2024-03-01 01:00:00,2024-03-01 02:00:00,LAeq,rain,,a,"
                                         "2024-03-02 10:00:00,,\n"
                                         "5,7,2024-03-01 00:00:00,2024-03-02 00:00:00,all,fault,,a,"
                                         "2024-03-02 10:00:00,2024-03-02 11:00:00,b\n"));
    ASSERT_EQ(Run(QStringList(slArgs) << QStringLiteral("--exclusions") << sOther), 0) << sErr.toStdString();
    EXPECT_EQ(sOut.section(QLatin1Char('\n'), 1, 1), QStringLiteral("7,2024-03-01,,,51.0,,0.0,0.0,12.5,0.0,0.0,1.0"));

    // A file that is there but cannot be read ends the run rather than give raw
    // figures as cleaned ones; a missing one named on purpose is a mistake.
    ASSERT_TRUE(QDir().mkpath(dir.Root() + QStringLiteral("folder.csv")));
    EXPECT_EQ(Run(QStringList(slArgs) << QStringLiteral("--exclusions") << dir.Root() + QStringLiteral("folder.csv")), 1);
    EXPECT_TRUE(sOut.isEmpty());
    EXPECT_TRUE(sErr.contains(QLatin1String("--no-exclusions"))) << sErr.toStdString();
    EXPECT_EQ(Run(QStringList(slArgs) << QStringLiteral("--exclusions") << dir.Root() + QStringLiteral("none.csv")), 2);
    EXPECT_EQ(Run(QStringList(slArgs) << QStringLiteral("--exclusions") << sOther << QStringLiteral("--no-exclusions")),
              2);
}

TEST_F(TCmdLineTest, Summary_StopsAtTodaySoTheRangeCoverageIsNotDiluted)
{
    const QDate dtToday = QDate::currentDate();
    QStringList sl{QStringLiteral(".Time,LAeq")};
    for (int h = 0; h < 24; ++h)
        sl << QStringLiteral("%1:00:00,50.0").arg(h, 2, 10, QLatin1Char('0'));
    for (const QDate& d : {dtToday.addDays(-1), dtToday})
        dir.WritePer(QStringLiteral("7"), d, 60, sl);
    ASSERT_EQ(Run({QStringLiteral("--summary"), QStringLiteral("--monitors"), QStringLiteral("7"),
                   QStringLiteral("--from"), dtToday.addDays(-1).toString(Qt::ISODate),
                   QStringLiteral("--to"), dtToday.addDays(5).toString(Qt::ISODate)}),
              0)
        << sErr.toStdString();
    const QStringList slRows = sOut.split(QLatin1Char('\n'), Qt::SkipEmptyParts);
    ASSERT_EQ(slRows.size(), 4) << sOut.toStdString();
    EXPECT_TRUE(slRows[2].startsWith(QStringLiteral("7,") + dtToday.toString(Qt::ISODate) + u','));
    EXPECT_EQ(slRows[3], QStringLiteral("7,Range,50.0,50.0,50.0,56.4,100.0,100.0,100.0"));

    // A range wholly to come has no day rows and an empty range row.
    ASSERT_EQ(Run({QStringLiteral("--summary"), QStringLiteral("--monitors"), QStringLiteral("7"),
                   QStringLiteral("--from"), dtToday.addDays(2).toString(Qt::ISODate)}),
              0);
    EXPECT_EQ(sOut.section(QLatin1Char('\n'), 1), QStringLiteral("7,Range,,,,,,,\n"));
}

TEST_F(TCmdLineTest, Quality_GapsDaysAndPartsAsCsv)
{
    // Monitor 7 at 60 minutes: the 1st has the hours 00:00 and 01:00 and no record
    // after; the 2nd has only a 15-minute file, so none of 60. One gap from 02:00 on
    // the 1st to the end of the 2nd: 46 hours. Its two alarms are on the 2nd.
    ASSERT_EQ(Run({QStringLiteral("--quality"), QStringLiteral("--monitors"), QStringLiteral("7"),
                   QStringLiteral("--from"), QStringLiteral("2024-03-01"), QStringLiteral("--to"),
                   QStringLiteral("2024-03-02")}),
              0)
        << sErr.toStdString();
    EXPECT_EQ(sOut, QStringLiteral("Monitor,From,To,Minutes,Cause\n"
                                   "7,2024-03-01 02:00,2024-03-03 00:00,2760,file missing; no record\n"
                                   "\n"
                                   "Monitor,Date,File,Expected,Present,Excluded,Missing,Coverage %,Calendar,"
                                   "Alarms,Calibrations\n"
                                   "7,2024-03-01,read,24,2,0,22,8.3,below 75%,0,0\n"
                                   "7,2024-03-02,missing,24,0,0,24,0.0,no data,2,0\n"
                                   "7,Range,,48,2,0,46,4.2,,2,0\n"
                                   "\n"
                                   "Monitor,Part,Hours,Expected,Present,Excluded,Missing,Coverage %\n"
                                   "7,Day,07:00-19:00,24,0,0,24,0.0\n"
                                   "7,Evening,19:00-23:00,8,0,0,8,0.0\n"
                                   "7,Night,23:00-07:00,16,2,0,14,12.5\n"));
    EXPECT_TRUE(sErr.isEmpty());

    // The calibration of monitor 8 on the 3rd counts on its day.
    ASSERT_EQ(Run({QStringLiteral("--quality"), QStringLiteral("--from"), QStringLiteral("2024-03-03")}), 0);
    EXPECT_TRUE(sOut.contains(QStringLiteral("\n8,2024-03-03,missing,24,0,0,24,0.0,no data,0,1\n")))
        << sOut.toStdString();
    EXPECT_EQ(Run({QStringLiteral("--quality"), QStringLiteral("--summary")}), 2);
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
    opt.Choose({QStringLiteral("per-table"), QStringLiteral("alm-chart"), QStringLiteral("alm-list"), QStringLiteral("prf"), QStringLiteral("cal")});
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
    EXPECT_EQ(sErr, QStringLiteral("Unable to write to ") + QDir::toNativeSeparators(sBlocked) +
                        QStringLiteral(": Is a directory\n"));

    TReportDir::Write(dir.Root() + QStringLiteral("file"), {QStringLiteral("x")});
    EXPECT_EQ(Run({QStringLiteral("--export"), dir.Root() + QStringLiteral("file/sub")}), 1);
    EXPECT_EQ(sErr, QStringLiteral("Failed to create report folder ") +
                        QDir::toNativeSeparators(dir.Root() + QStringLiteral("file/sub")) +
                        QStringLiteral(": Not a directory\n"));

    // Regression: a kind whose page folder could not be made was left out without a
    // word, and the run reported success (a --from last run then noted the day as done).
    QDir(dir.HtmlDir()).removeRecursively();
    TReportDir::Write(dir.HtmlDir() + QStringLiteral("calibrations"), {QStringLiteral("x")});
    EXPECT_EQ(Run({QStringLiteral("--export"), dir.HtmlDir(), QStringLiteral("--from"),
                   QStringLiteral("2024-03-01"), QStringLiteral("--kinds"), QStringLiteral("cal")}),
              1);
    EXPECT_EQ(sErr, QStringLiteral("Failed to create report folder ") +
                        QDir::toNativeSeparators(dir.HtmlDir() + QStringLiteral("calibrations")) +
                        QStringLiteral(": File exists\n"));
    EXPECT_FALSE(QFile::exists(dir.HtmlDir() + QStringLiteral("Tarvik Reports.html")));
}

// Under a scheduler the output is mailed: the progress lines show on a terminal or
// with --progress only. An export of no monitor used to succeed with an empty index.
TEST_F(TCmdLineTest, Export_QuietWithoutATerminalAndFailsWithoutAMonitor)
{
    const QStringList slArgs{QStringLiteral("--export"), dir.HtmlDir(), QStringLiteral("--from"),
                             QStringLiteral("2024-03-03"), QStringLiteral("--kinds"), QStringLiteral("cal")};
    ASSERT_EQ(Run(slArgs, false), 0) << sErr.toStdString();
    EXPECT_EQ(sOut, QString());
    EXPECT_EQ(sErr, QString());
    ASSERT_EQ(Run(slArgs + QStringList{QStringLiteral("--progress")}, false), 0);
    EXPECT_EQ(sOut, QStringLiteral("Calibration reports: South Yard\n"));

    dir.Cfg().SetMonitorSel(QStringLiteral("8"), false);
    const QString sEmpty = dir.Root() + QStringLiteral("empty");
    EXPECT_EQ(Run({QStringLiteral("--export"), sEmpty, QStringLiteral("--kinds"), QStringLiteral("cal")}), 1);
    EXPECT_EQ(sErr, QStringLiteral("No monitor chosen: tick monitors in the window or give --monitors\n"));
    EXPECT_EQ(sOut, QString());
    EXPECT_FALSE(QFileInfo::exists(sEmpty));
}

// The timer makes up a missed night at the next start, but "--from yesterday" then
// exported only the day before that start: after a computer was off from Friday
// evening to Monday, Friday and Saturday were never exported. "--from last" exports
// every day after the folder's note, one report per day, and moves the note on.
TEST_F(TCmdLineTest, Export_FromLastMakesUpEveryDayMissedSinceTheLastCompleteRun)
{
    const QDate dtToday = QDate::currentDate();
    const QString sHtml = dir.Root() + QStringLiteral("nightly");
    auto day = [](const QDate& d) { return d.toString(QStringLiteral("yyyyMMdd")); };
    auto calPage = [&](const QDate& d) {
        return QStringLiteral("calibrations/cal_8_") + day(d) + u'_' + day(d) + QStringLiteral(".html");
    };
    auto pages = [&] { return TReportDir::Files(sHtml).filter(QStringLiteral(".html")); };
    const QStringList slNightly{QStringLiteral("--export"), sHtml, QStringLiteral("--from"), QStringLiteral("last"),
                                QStringLiteral("--kinds"), QStringLiteral("cal")};

    // No note yet: yesterday alone.
    ASSERT_EQ(Run(slNightly), 0) << sErr.toStdString();
    EXPECT_EQ(pages(), QStringList({QStringLiteral("Tarvik Reports.html"), calPage(dtToday.addDays(-1))}));
    EXPECT_EQ(ReadAll(sHtml + QStringLiteral("/last-export.txt")),
              dtToday.addDays(-1).toString(QStringLiteral("yyyy-MM-dd")).toLatin1() + '\n');

    // The last complete run covered the day four days ago: three days are missing.
    QDir(sHtml).removeRecursively();
    TReportDir::Write(sHtml + QStringLiteral("/last-export.txt"),
                      {dtToday.addDays(-4).toString(QStringLiteral("yyyy-MM-dd"))});
    ASSERT_EQ(Run(slNightly), 0) << sErr.toStdString();
    EXPECT_EQ(pages(), QStringList({QStringLiteral("Tarvik Reports.html"), calPage(dtToday.addDays(-3)),
                                    calPage(dtToday.addDays(-2)), calPage(dtToday.addDays(-1))}));
    EXPECT_EQ(sOut.count(QStringLiteral("Calibration reports: South Yard\n")), 3);
    EXPECT_EQ(TExportRun::LastDay(sHtml), dtToday.addDays(-1));

    // Run again the same day: nothing is due and nothing is written.
    ASSERT_EQ(Run(slNightly), 0);
    EXPECT_EQ(pages().size(), 4);
    EXPECT_EQ(sOut, QStringLiteral("Nothing to export: the last export covered ") +
                        dtToday.addDays(-1).toString(QStringLiteral("yyyy-MM-dd")) + u'\n');

    // A day that cannot be written stops the run; the note keeps the last complete
    // day, so the next run begins again with the day that failed.
    QDir(sHtml).removeRecursively();
    TReportDir::Write(sHtml + QStringLiteral("/last-export.txt"),
                      {dtToday.addDays(-4).toString(QStringLiteral("yyyy-MM-dd"))});
    const QString sBlocked = sHtml + u'/' + calPage(dtToday.addDays(-2));
    ASSERT_TRUE(QDir().mkpath(sBlocked));
    EXPECT_EQ(Run(slNightly), 1);
    EXPECT_EQ(TExportRun::LastDay(sHtml), dtToday.addDays(-3));
    ASSERT_TRUE(QDir(sBlocked).removeRecursively());
    ASSERT_EQ(Run(slNightly), 0) << sErr.toStdString();
    EXPECT_EQ(sOut.count(QStringLiteral("Calibration reports: South Yard\n")), 2);
    EXPECT_EQ(TExportRun::LastDay(sHtml), dtToday.addDays(-1));

    // A note that is no day, or a day still to come, counts as none.
    for (const QString& sNote : {QStringLiteral("garbage"), dtToday.addDays(5).toString(Qt::ISODate)}) {
        TReportDir::Write(sHtml + QStringLiteral("/last-export.txt"), {sNote});
        ASSERT_EQ(Run(slNightly), 0) << sErr.toStdString();
        EXPECT_EQ(sOut, QStringLiteral("Calibration reports: South Yard\n")) << sNote.toStdString();
        EXPECT_EQ(TExportRun::LastDay(sHtml), dtToday.addDays(-1));
    }
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
    EXPECT_EQ(slRows.size(), 2 * 10);
    for (int i = 0; i < 2; ++i) {
        const QString sID = simulator.MonitorID(i);
        for (const QString& sPage : {QStringLiteral("periodic/per_%1_20240301_20240302_0060.html"),
                                     QStringLiteral("alarms/alm_%1_20240301_20240302_0060.html"),
                                     QStringLiteral("profiles/prf_%1_20240301_20240302.html"),
                                     QStringLiteral("calibrations/cal_%1_20240301_20240302.html"),
                                     QStringLiteral("summaries/sum_%1_20240301_20240302_0060.html"),
                                     QStringLiteral("quality/qual_%1_20240301_20240302_0060.html"),
                                     QStringLiteral("events/evt_%1_20240301_20240302.html"),
                                     QStringLiteral("exceedances/exc_%1_20240301_20240302_0060.html"),
                                     QStringLiteral("exclusions/exl_%1_20240301_20240302_0060.html"),
                                     QStringLiteral("statistics/stat_%1_20240301_20240302_0060.html")}) {
            const QString sFile = sPage.arg(sID);
            EXPECT_TRUE(QFile::exists(sOutDir + u'/' + sFile)) << sFile.toStdString();
            EXPECT_EQ(slRows.filter(sFile).size(), 1) << sFile.toStdString();
        }
    }
}

// --- noise events --------------------------------------------------------------------------------

TEST_F(TCmdLineTest, Events_OneCsvRowPerEventWithTheRunsOverrides)
{
    // Monitor 8 on the first day: 70 dB for 10 s at 10:00 and 58 dB for 3 s at 12:00;
    // the last second of the day is loud, so the day's last event is cut.
    QStringList sl{QStringLiteral("Time,LAeq")};
    for (int s = 0; s < 10; ++s)
        sl << QStringLiteral("10:00:%1,70.0").arg(s, 2, 10, QLatin1Char('0'));
    for (int s = 0; s < 3; ++s)
        sl << QStringLiteral("12:00:%1,58.0").arg(s, 2, 10, QLatin1Char('0'));
    sl << QStringLiteral("23:59:59,66.0");
    TReportDir::Write(dir.DataPath() + QStringLiteral("8/2024-03/prf-01.csv"), sl);
    dir.Cfg().SetEvtMinDuration(1);

    // The events' maximum is of one-second LAeq levels, not of fast-weighted ones.
    const QString sHead = QStringLiteral("Monitor,Date,Start,End,Duration s,\"LAeq,1s max\",LAE,Cut,Note\n");
    const QString sDayHead = QStringLiteral("\nMonitor,Date,Events,N65,N70,N75,Above s,No value s,Not placed,File\n");
    ASSERT_EQ(Run({QStringLiteral("--events"), QStringLiteral("--from"), QStringLiteral("2024-03-01"),
                   QStringLiteral("--to"), QStringLiteral("2024-03-02")}),
              0)
        << sErr.toStdString();
    // After the events a row per day tells the day without a file from a quiet one:
    // 14 seconds had a level on the first day, 11 of them above the threshold.
    EXPECT_EQ(sOut, sHead + QStringLiteral("8,2024-03-01,10:00:00,10:00:09,10,70.0,80.0,0,\n"
                                           "8,2024-03-01,23:59:59,23:59:59,1,66.0,66.0,1,cut at midnight\n") +
                        sDayHead +
                        QStringLiteral("8,2024-03-01,2,2,0,0,11,86386,0,read\n"
                                       "8,2024-03-02,0,0,0,0,0,86400,0,missing\n"));
    EXPECT_TRUE(sErr.isEmpty());

    // A lower threshold takes in the 58 dB seconds; a longer minimum drops no event
    // cut at midnight, whose length is not its own.
    ASSERT_EQ(
        Run({QStringLiteral("--events"), QStringLiteral("--from"), QStringLiteral("2024-03-01"),
             QStringLiteral("--threshold"), QStringLiteral("55.5"), QStringLiteral("--min-duration=3")}),
        0)
        << sErr.toStdString();
    EXPECT_EQ(sOut, sHead + QStringLiteral("8,2024-03-01,10:00:00,10:00:09,10,70.0,80.0,0,\n"
                                           "8,2024-03-01,12:00:00,12:00:02,3,58.0,62.8,0,\n"
                                           "8,2024-03-01,23:59:59,23:59:59,1,66.0,66.0,1,cut at midnight\n") +
                        sDayHead + QStringLiteral("8,2024-03-01,3,2,0,0,14,86386,0,read\n"));
    // The overrides were for the run only.
    EXPECT_EQ(TCfg(dir.Root() + QStringLiteral("appdata")).EvtMinDuration(), 1);

    // A minimum above the maximum of the settings is refused.
    dir.Cfg().SetEvtMaxDuration(5);
    EXPECT_EQ(Run({QStringLiteral("--events"), QStringLiteral("--min-duration"), QStringLiteral("6")}), 2);

    // A hand-edited threshold out of range is said once and the default used, as
    // --threshold refuses it.
    dir.Cfg().SetEvtMaxDuration(0);
    dir.Cfg().SetEvtNightThreshold(181);
    ASSERT_EQ(Run({QStringLiteral("--events"), QStringLiteral("--from"), QStringLiteral("2024-03-01")}), 0);
    EXPECT_EQ(sErr, QStringLiteral("tarvik-reporter: [events] nightthreshold=181 is not a level from 0 to 180 dB; "
                                   "the default 55 is used.\n"));
    EXPECT_TRUE(sOut.contains(QStringLiteral("8,2024-03-01,23:59:59,23:59:59,1,66.0,66.0,1,cut at midnight\n")));
}

TEST_F(TCmdLineTest, Export_PngPagesDifferFromBmpPagesOnlyInTheImageNames)
{
    const QString sBmpDir = dir.Root() + QStringLiteral("bmp");
    const QString sPngDir = dir.Root() + QStringLiteral("png");
    const QStringList slCommon{QStringLiteral("--monitors"), QStringLiteral("all"), QStringLiteral("--from"),
                               QStringLiteral("2024-03-01"), QStringLiteral("--to"), QStringLiteral("2024-03-02"),
                               QStringLiteral("--zoom")};
    // BMP by default; PNG once the setting says so.
    ASSERT_EQ(Run(QStringList{QStringLiteral("--export"), sBmpDir} + slCommon), 0) << sErr.toStdString();
    dir.Cfg().SetHtmlImageFormat(QStringLiteral("png"));
    ASSERT_EQ(Run(QStringList{QStringLiteral("--export"), sPngDir} + slCommon), 0) << sErr.toStdString();
    // The command line overrides the setting for its run, its format named in any case.
    const QString sOverDir = dir.Root() + QStringLiteral("over");
    ASSERT_EQ(Run({QStringLiteral("--export"), sOverDir, QStringLiteral("--image-format"), QStringLiteral("BMP"),
                   QStringLiteral("--kinds"), QStringLiteral("per-chart"), QStringLiteral("--monitors"),
                   QStringLiteral("7"), QStringLiteral("--from"), QStringLiteral("2024-03-01")}),
              0);
    EXPECT_TRUE(QFile::exists(sOverDir + QStringLiteral("/periodic/charts/per_7_20240301_20240301_0060.bmp")));

    const QStringList slBmp = TReportDir::Files(sBmpDir);
    const QStringList slPng = TReportDir::Files(sPngDir);
    ASSERT_EQ(slBmp.size(), slPng.size());
    QStringList slRenamed;
    for (const QString& s : slBmp)
        slRenamed << (s.endsWith(QLatin1String(".bmp")) ? s.chopped(4) + QStringLiteral(".png") : s);
    slRenamed.sort();
    EXPECT_EQ(slRenamed, slPng);
    EXPECT_TRUE(slPng.filter(QStringLiteral(".bmp")).isEmpty());
    // Periodic, alarm, summary, exceedance, data quality and statistics images and their
    // zoom images of both monitors, and two days of profiles and of events per hour.
    EXPECT_EQ(slPng.filter(QStringLiteral(".png")).size(), 2 * (6 * 2 + 2 * 2 + 2 * 2));

    int nPages = 0;
    for (const QString& sFile : slBmp) {
        if (!sFile.endsWith(QLatin1String(".html")))
            continue;
        ++nPages;
        QString sBmpPage = QString::fromUtf8(ReadAll(sBmpDir + u'/' + sFile));
        const QString sPngPage = QString::fromUtf8(ReadAll(sPngDir + u'/' + sFile));
        EXPECT_EQ(sBmpPage.replace(QLatin1String(".bmp\""), QLatin1String(".png\"")), sPngPage)
            << sFile.toStdString();
    }
    EXPECT_EQ(nPages, 2 * 10 + 1);

    // The same pictures, kept in a small part of the bytes.
    for (const QString& sImage : {QStringLiteral("periodic/charts/per_7_20240301_20240302_0060"),
                                  QStringLiteral("profiles/charts/prf_8_20240302_zoom")}) {
        const QString sBmp = sBmpDir + u'/' + sImage + QStringLiteral(".bmp");
        const QString sPng = sPngDir + u'/' + sImage + QStringLiteral(".png");
        EXPECT_TRUE(ReadAll(sPng).startsWith("\x89PNG\r\n")) << sImage.toStdString();
        const QImage imgBmp(sBmp);
        const QImage imgPng(sPng);
        ASSERT_FALSE(imgBmp.isNull());
        EXPECT_EQ(imgPng.convertToFormat(QImage::Format_RGB32), imgBmp.convertToFormat(QImage::Format_RGB32))
            << sImage.toStdString();
        EXPECT_LT(QFileInfo(sPng).size() * 20, QFileInfo(sBmp).size()) << sImage.toStdString();
    }
}

// --- PDF ---------------------------------------------------------------------------------------------

TEST_F(TCmdLineTest, Pdf_ChartsThreeToAPageWithTheirHeadOnEveryPage)
{
    if (!HavePoppler())
        GTEST_SKIP() << "the poppler-utils tools are not installed";
    TReportDir sim;
    TSimOptions opt;
    opt.sDataPath = sim.DataPath();
    opt.nMonitors = 4;
    opt.dtFrom = d1;
    opt.dtTo = d2;
    opt.anPeriods = {60};
    opt.nProfileDays = 0;
    TSimulator simulator(opt);
    simulator.WriteAll();
    ASSERT_TRUE(simulator.LastError().isEmpty());

    const QString sPdf = sim.Root() + QStringLiteral("month.pdf");
    ASSERT_EQ(Run({QStringLiteral("--pdf"), sPdf, QStringLiteral("--report"), QStringLiteral("periodic-chart"),
                   QStringLiteral("--data"), sim.DataPath(), QStringLiteral("--monitors"), QStringLiteral("all"),
                   QStringLiteral("--from"), QStringLiteral("2024-03-01"), QStringLiteral("--to"),
                   QStringLiteral("2024-03-02")}),
              0)
        << sErr.toStdString();
    EXPECT_EQ(sOut, sPdf + QStringLiteral(": 2 pages\n"));
    EXPECT_TRUE(Poppler(QStringLiteral("pdfinfo"), {sPdf}).contains(QLatin1String("595 x 842 pts (A4)")));

    const QStringList slPages = PdfPages(sPdf);
    ASSERT_EQ(slPages.size(), 2);
    for (int i = 0; i < 2; ++i) {
        const QString& sPage = slPages[i];
        EXPECT_TRUE(sPage.contains(QLatin1String("Tarvik Report"))) << i;
        EXPECT_TRUE(sPage.contains(QLatin1String("Periodic Noise - Period = 60 minutes"))) << i;
        EXPECT_TRUE(sPage.contains(QLatin1String("Dates: Mar 01, 2024 to Mar 02, 2024"))) << i;
        EXPECT_TRUE(sPage.contains(QLatin1String("Generated by Kestrom Tarvik-RP v1.3.0 on "))) << i;
        EXPECT_TRUE(sPage.contains(QStringLiteral("Page %1").arg(i + 1))) << i;
    }
    // The charts go in as pictures: three on the first page, one on the second.
    QMap<int, int> mapImages;
    const QStringList slList = Poppler(QStringLiteral("pdfimages"), {QStringLiteral("-list"), sPdf}).split(u'\n');
    for (const QString& sLine : slList.mid(2)) // below the two heading lines
        if (const QStringList sl = sLine.split(u' ', Qt::SkipEmptyParts); sl.size() > 4 && sl[2] == u"image")
            ++mapImages[sl[0].toInt()];
    EXPECT_EQ(mapImages, (QMap<int, int>{{1, 3}, {2, 1}}));
}

TEST_F(TCmdLineTest, Pdf_TableRowsOnLetterPaperSideways)
{
    if (!HavePoppler())
        GTEST_SKIP() << "the poppler-utils tools are not installed";
    const QString sPdf = dir.Root() + QStringLiteral("cals.pdf");
    ASSERT_EQ(Run({QStringLiteral("--pdf=") + sPdf, QStringLiteral("--report"), QStringLiteral("calibrations"),
                   QStringLiteral("--monitors"), QStringLiteral("all"), QStringLiteral("--from"),
                   QStringLiteral("2024-03-03"), QStringLiteral("--paper"), QStringLiteral("letter"),
                   QStringLiteral("--landscape")}),
              0)
        << sErr.toStdString();
    EXPECT_EQ(sOut, sPdf + QStringLiteral(": 1 page\n"));
    EXPECT_TRUE(Poppler(QStringLiteral("pdfinfo"), {sPdf}).contains(QLatin1String("792 x 612 pts (letter)")));
    const QStringList slPages = PdfPages(sPdf);
    ASSERT_EQ(slPages.size(), 1);
    const QStringList slLines = slPages[0].split(QLatin1Char('\n'));
    auto hasLine = [&slLines](const char* sz) {
        const QRegularExpression re{QString::fromLatin1(sz)};
        return std::any_of(slLines.begin(), slLines.end(),
                           [&re](const QString& s) { return re.match(s).hasMatch(); });
    };
    EXPECT_TRUE(hasLine(R"(^\s*Calibrations\s*$)"));
    EXPECT_TRUE(hasLine(R"(^\s*Date: Mar 03, 2024\s*$)"));
    EXPECT_TRUE(hasLine(R"(^\s*South Yard\s*$)"));
    EXPECT_TRUE(hasLine(R"(^\s*2024-03-03\s+06:00:00\s*$)"));
    EXPECT_TRUE(hasLine(R"(Page 1\s*$)"));
}

TEST_F(TCmdLineTest, Pdf_FailureLeavesNoFileAndKeepsTheOldOne)
{
    // A folder that does not exist.
    const QString sMissing = dir.Root() + QStringLiteral("nowhere/r.pdf");
    EXPECT_EQ(Run({QStringLiteral("--pdf"), sMissing, QStringLiteral("--report"), QStringLiteral("alarm-list")}),
              1);
    EXPECT_EQ(sErr, QStringLiteral("Unable to write to ") + QDir::toNativeSeparators(sMissing) +
                        QStringLiteral(": No such file or directory\n"));
    EXPECT_FALSE(QFileInfo::exists(dir.Root() + QStringLiteral("nowhere")));

    // A name taken by a folder.
    const QString sFolder = dir.Root() + QStringLiteral("taken.pdf");
    ASSERT_TRUE(QDir().mkpath(sFolder));
    EXPECT_EQ(Run({QStringLiteral("--pdf"), sFolder, QStringLiteral("--report"), QStringLiteral("alarm-list")}), 1);
    EXPECT_EQ(sErr, QStringLiteral("Unable to write to ") + QDir::toNativeSeparators(sFolder) +
                        QStringLiteral(": Is a directory\n"));

    // Nothing to print: an older report of the same name stays as it was, and no
    // temporary file is left beside it.
    const QString sOutDir = dir.Root() + QStringLiteral("out/");
    const QString sPdf = sOutDir + QStringLiteral("r.pdf");
    TReportDir::Write(sPdf, {QStringLiteral("the older report")});
    const QByteArray baOld = ReadAll(sPdf);
    dir.Cfg().SetMonitorSel(QStringLiteral("8"), false); // no monitor ticked, none chosen
    EXPECT_EQ(Run({QStringLiteral("--pdf"), sPdf, QStringLiteral("--report"), QStringLiteral("periodic-chart"),
                   QStringLiteral("--from"), QStringLiteral("2024-03-01")}),
              1);
    EXPECT_EQ(sErr, QStringLiteral("No monitor chosen: there are no charts to print\n"));
    EXPECT_EQ(ReadAll(sPdf), baOld);
    EXPECT_EQ(QDir(sOutDir).entryList(QDir::Files | QDir::Hidden), QStringList{QStringLiteral("r.pdf")});

    // The same name written successfully replaces it, again with no file beside it.
    EXPECT_EQ(Run({QStringLiteral("--pdf"), sPdf, QStringLiteral("--report"), QStringLiteral("alarm-list"),
                   QStringLiteral("--monitors"), QStringLiteral("7"), QStringLiteral("--from"),
                   QStringLiteral("2024-03-02")}),
              0)
        << sErr.toStdString();
    EXPECT_TRUE(ReadAll(sPdf).startsWith("%PDF-"));
    EXPECT_EQ(QDir(sOutDir).entryList(QDir::Files | QDir::Hidden), QStringList{QStringLiteral("r.pdf")});

    // Regression: on a full disk the run exited 0 and renamed a truncated PDF over the
    // good one. Now it exits 1 with the system's reason, and the good file stays.
    const QByteArray baGood = ReadAll(sPdf);
    TWholeFile::SetRoomForTests(baGood.size() / 2);
    EXPECT_EQ(Run({QStringLiteral("--pdf"), sPdf, QStringLiteral("--report"), QStringLiteral("alarm-list"),
                   QStringLiteral("--monitors"), QStringLiteral("7"), QStringLiteral("--from"),
                   QStringLiteral("2024-03-02")}),
              1);
    TWholeFile::SetRoomForTests(-1);
    EXPECT_EQ(sErr, QStringLiteral("Unable to write to ") + QDir::toNativeSeparators(sPdf) +
                        QStringLiteral(": No space left on device\n"));
    EXPECT_EQ(ReadAll(sPdf), baGood);
    EXPECT_EQ(QDir(sOutDir).entryList(QDir::Files | QDir::Hidden), QStringList{QStringLiteral("r.pdf")});
}

TEST_F(TCmdLineTest, Dates_TodayAndYesterdayCountFromTheDayOfTheRun)
{
    ASSERT_EQ(Run({QStringLiteral("--summary"), QStringLiteral("--monitors"), QStringLiteral("7"),
                   QStringLiteral("--from"), QStringLiteral("yesterday"), QStringLiteral("--to"),
                   QStringLiteral("today")}),
              0)
        << sErr.toStdString();
    const QDate dtToday = QDate::currentDate();
    EXPECT_TRUE(sOut.contains(QStringLiteral("\n7,") + dtToday.addDays(-1).toString(Qt::ISODate) + u','));
    EXPECT_TRUE(sOut.contains(QStringLiteral("\n7,") + dtToday.toString(Qt::ISODate) + u','));
    EXPECT_FALSE(sOut.contains(QStringLiteral("\n7,") + dtToday.addDays(-2).toString(Qt::ISODate) + u','));
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
                        "7,2024-03-01,LAeq,Mon-Sun,00:00-02:00,51.0,2,2,1,1.5,2024-03-01 01:00,Night\n"
                        "7,2024-03-01,LAF90,Fri,00:00-00:00,39.9,24,1,1,0.1,2024-03-01 01:00,"
                        "LAF90 Fri 00:00-00:00\n"
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

// --exclusions-list over the monitors and days the command line chooses: each row of the
// monitors once ("*" too, whatever the number of monitors), withdrawn ones too, not a row
// that ends where the range begins nor, with monitor 7 alone, monitor 8's;
// --table exclusion-effect counts the one hourly period the exclusion touches; the list
// cannot go with --no-exclusions, which leaves no list.
TEST_F(TCmdLineTest, ExclusionsList_RowsOfTheChosenMonitorsAndRangeAsCsv)
{
    const QString sFile = dir.Root() + QStringLiteral("excl.csv");
    QFile f(sFile);
    ASSERT_TRUE(f.open(QIODevice::WriteOnly));
    f.write("id,monitor,from,to,covers,reason,comment,author,created,withdrawn,withdrawn by\r\n"
            "1,7,2024-03-01 01:10:00,2024-03-01 01:20:00,all,works,\"digger, north\",anna,2024-03-04 08:00:00,,\r\n"
            "2,8,2024-03-01 01:10:00,2024-03-01 01:20:00,all,rain,,anna,2024-03-04 08:00:00,,\r\n"
            "3,*,2024-02-29 23:00:00,2024-03-01 00:00:00,all,fault,,anna,2024-03-04 08:00:00,,\r\n"
            "4,*,2024-03-01 23:00:00,2024-03-02 01:00:00,LAF90,wind,,anna,2024-03-04 08:00:00,"
            "2024-03-04 09:00:00,pekka\r\n");
    f.close();
    ASSERT_EQ(Run({QStringLiteral("--exclusions-list"), QStringLiteral("--exclusions"), sFile,
                   QStringLiteral("--monitors"), QStringLiteral("all"), QStringLiteral("--from"),
                   QStringLiteral("2024-03-01")}),
              0)
        << sErr.toStdString();
    const QString sHead = QStringLiteral("id,status,monitor,from,to,seconds,covers,reason,comment,author,created,"
                                         "withdrawn,withdrawn by\n");
    const QString sRow1 = QStringLiteral("1,active,7,2024-03-01 01:10:00,2024-03-01 01:20:00,600,all,works,"
                                         "\"digger, north\",anna,2024-03-04 08:00:00,,\n");
    const QString sRow4 = QStringLiteral("4,withdrawn,*,2024-03-01 23:00:00,2024-03-02 01:00:00,7200,LAF90,wind,,"
                                         "anna,2024-03-04 08:00:00,2024-03-04 09:00:00,pekka\n");
    EXPECT_EQ(sOut, sHead + sRow1 +
                        QStringLiteral("2,active,8,2024-03-01 01:10:00,2024-03-01 01:20:00,600,all,rain,,anna,"
                                       "2024-03-04 08:00:00,,\n") +
                        sRow4);
    ASSERT_EQ(Run({QStringLiteral("--exclusions-list"), QStringLiteral("--exclusions"), sFile,
                   QStringLiteral("--monitors"), QStringLiteral("7"), QStringLiteral("--from"),
                   QStringLiteral("2024-03-01")}),
              0);
    EXPECT_EQ(sOut, sHead + sRow1 + sRow4);

    ASSERT_EQ(Run({QStringLiteral("--table"), QStringLiteral("exclusion-effect"), QStringLiteral("--exclusions"),
                   sFile, QStringLiteral("--monitors"), QStringLiteral("7"), QStringLiteral("--from"),
                   QStringLiteral("2024-03-01")}),
              0);
    // Title, blank, two heading rows, then the day: one of the two hourly periods, 600 s.
    const QStringList slRows = sOut.split(QStringLiteral("\r\n"));
    ASSERT_GT(slRows.size(), 4);
    EXPECT_TRUE(slRows[4].startsWith(QStringLiteral("2024-03-01\t1\t2\t600\t0:10:00\tworks\t")))
        << slRows[4].toStdString();

    EXPECT_EQ(Run({QStringLiteral("--exclusions-list"), QStringLiteral("--no-exclusions")}), 2);
    EXPECT_EQ(Run({QStringLiteral("--exclusions-list"), QStringLiteral("--summary")}), 2);
}

// --- statistics ----------------------------------------------------------------------------------

TEST_F(TCmdLineTest, Statistics_CsvBlocksCountedByHandAndWhatIsLackingIsSaid)
{
    // 2024-03-01 is a Friday: LAeq 51.0 at 00:00 and 52.5 at 01:00, both night; LAF90
    // "-" at 00:00 and 40.0 at 01:00.
    const QStringList args{QStringLiteral("--statistics"), QStringLiteral("--monitors"), QStringLiteral("7"),
                           QStringLiteral("--from"), QStringLiteral("2024-03-01"), QStringLiteral("--no-exclusions")};
    ASSERT_EQ(Run(args), 0) << sErr.toStdString();
    EXPECT_TRUE(sErr.isEmpty());
    const QStringList slBlocks = sOut.split(QStringLiteral("\n\n"));
    ASSERT_EQ(slBlocks.size(), 4);
    EXPECT_EQ(slBlocks[0], QStringLiteral("Monitor,Parameter,Part,Class from dB,Class to dB,Periods,Cumulative %\n"
                                          "7,LAF90,Night,40,41,1,100.0"));
    EXPECT_EQ(slBlocks[1], QStringLiteral("Monitor,Parameter,Part,Periods,Most frequent from dB,Most frequent to "
                                          "dB,Median dB,10th percentile dB\n"
                                          "7,LAF90,Day,0,,,,\n"
                                          "7,LAF90,Evening,0,,,,\n"
                                          "7,LAF90,Night,1,40,41,40.0,40.0"));
    // Every hour of weekdays and of weekends, and every hour of the carpet.
    const QStringList slHours = slBlocks[2].split(QLatin1Char('\n'));
    ASSERT_EQ(slHours.size(), 1 + 48);
    EXPECT_EQ(slHours[0], QStringLiteral("Monitor,Days,Hour,LAeq dB,10th percentile dB,90th percentile dB,Days with a level"));
    EXPECT_EQ(slHours[1], QStringLiteral("7,Weekdays,00:00,51.0,51.0,51.0,1"));
    EXPECT_EQ(slHours[2], QStringLiteral("7,Weekdays,01:00,52.5,52.5,52.5,1"));
    EXPECT_EQ(slHours[3], QStringLiteral("7,Weekdays,02:00,,,,0"));
    EXPECT_EQ(slHours[25], QStringLiteral("7,Weekends,00:00,,,,0"));
    const QStringList slCarpet = slBlocks[3].split(QLatin1Char('\n'));
    ASSERT_EQ(slCarpet.size(), 1 + 24 + 1);
    EXPECT_EQ(slCarpet[0], QStringLiteral("Monitor,Hour,Mon LAeq dB,Tue LAeq dB,Wed LAeq dB,Thu LAeq dB,Fri LAeq dB,"
                                          "Sat LAeq dB,Sun LAeq dB"));
    EXPECT_EQ(slCarpet[2], QStringLiteral("7,01:00,,,,,52.5,,"));
    EXPECT_EQ(slCarpet[25], QString());

    // A parameter the files lack is said, and is no success.
    QStringList argsLacking = args;
    argsLacking << QStringLiteral("--parameter") << QStringLiteral("LAF95");
    EXPECT_EQ(Run(argsLacking), 1);
    EXPECT_EQ(sErr, QStringLiteral("tarvik-reporter: 7: The day files have no LAF95 column\n"));
    EXPECT_FALSE(sOut.contains(QLatin1String("LAF95")));
    // No day file at all (the 3rd has only a calibration).
    EXPECT_EQ(Run({QStringLiteral("--statistics"), QStringLiteral("--monitors"), QStringLiteral("7,8"),
                   QStringLiteral("--from"), QStringLiteral("2024-03-03"), QStringLiteral("--no-exclusions")}),
              1);
    EXPECT_EQ(sErr, QStringLiteral("tarvik-reporter: 7: No periodic day file in the range\n"
                                   "tarvik-reporter: 8: No periodic day file in the range\n"));

    // The run's exclusion file leaves 01:00 out: no LAF90 value remains.
    const QString sExcl = dir.Root() + QStringLiteral("excl.csv");
    {
        QFile f(sExcl);
        ASSERT_TRUE(f.open(QIODevice::WriteOnly));
        f.write("id,monitor,from,to,covers,reason,comment,author,created,withdrawn,withdrawn by\n"
                "1,7,2024-03-01 01:00:00,2024-03-01 02:00:00,all,works,,anna,2024-03-02 08:00:00,,\n");
    }
    QStringList argsExcl = args;
    argsExcl.replace(argsExcl.indexOf(QStringLiteral("--no-exclusions")), QStringLiteral("--exclusions"));
    argsExcl << sExcl;
    EXPECT_EQ(Run(argsExcl), 1);
    EXPECT_EQ(sErr, QStringLiteral("tarvik-reporter: 7: No LAF90 value to count in the range\n"));

    for (const QStringList& bad :
         {QStringList{QStringLiteral("--summary"), QStringLiteral("--parameter"), QStringLiteral("LAF90")},
          QStringList{QStringLiteral("--statistics"), QStringLiteral("--parameter"), QStringLiteral(" ")},
          QStringList{QStringLiteral("--statistics"), QStringLiteral("--summary")}})
        EXPECT_EQ(Run(bad), 2) << bad.join(u' ').toStdString();
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

TEST_F(TCmdLineTest, Exceedances_FridaysNightReadsSaturdaysFileAndItsWorstHasADate)
{
    // 2024-03-01 is a Friday; Saturday's file (15-minute periods elsewhere) has an
    // hourly 00:15 record here. Fault: Friday's row held 00:00-06:59 of Friday itself
    // (Thursday's night) and its worst gave no date.
    dir.WritePer(QStringLiteral("7"), d2, 60,
                 {QStringLiteral(".Time,LAeq"), QStringLiteral("00:00:00,47.0")});
    dir.Cfg().SetLimitRules({QStringLiteral("*; LAeq; Fri; 23:00-07:00; 45.0; Night")});
    ASSERT_EQ(Run({QStringLiteral("--exceedances"), QStringLiteral("--monitors"), QStringLiteral("7"),
                   QStringLiteral("--from"), QStringLiteral("2024-03-01")}),
              0)
        << sErr.toStdString();
    // Friday 23:00 and Saturday 00:00-06:00: 8 periods; one with a value, above.
    EXPECT_EQ(sOut, QStringLiteral("Monitor,Date,Time,Parameter,Value,Limit,Margin,Label\n"
                                   "7,2024-03-02,00:00,LAeq,47.0,45.0,2.0,Night\n"
                                   "\n"
                                   "Monitor,Date,Parameter,Days,Band,Limit,Periods,Assessed,Exceedances,"
                                   "Worst margin,Worst at,Label\n"
                                   "7,2024-03-01,LAeq,Fri,23:00-07:00,45.0,8,1,1,2.0,2024-03-02 00:00,Night\n"
                                   "7,Range,LAeq,Fri,23:00-07:00,45.0,8,1,1,2.0,2024-03-02 00:00,Night\n"));
}

TEST_F(TCmdLineTest, Exceedances_DaysAfterTodayAreLeftOutAndNoRulesIsSaid)
{
    // Fault: days still to come were rows of unassessed periods, unlike --summary.
    dir.Cfg().SetLimitRules({QStringLiteral("*; LAeq; Mon-Sun; 00:00-00:00; 45.0; All day")});
    const QDate dtToday = QDate::currentDate();
    ASSERT_EQ(Run({QStringLiteral("--exceedances"), QStringLiteral("--monitors"), QStringLiteral("7"),
                   QStringLiteral("--from"), QStringLiteral("yesterday"), QStringLiteral("--to"),
                   dtToday.addDays(3).toString(Qt::ISODate)}),
              0)
        << sErr.toStdString();
    EXPECT_TRUE(sOut.contains(QStringLiteral("\n7,") + dtToday.addDays(-1).toString(Qt::ISODate) + u','));
    EXPECT_TRUE(sOut.contains(QStringLiteral("\n7,") + dtToday.toString(Qt::ISODate) + u','));
    EXPECT_FALSE(sOut.contains(QStringLiteral("\n7,") + dtToday.addDays(1).toString(Qt::ISODate) + u','));
    EXPECT_TRUE(sOut.contains(QStringLiteral("\n7,Range,LAeq,Mon-Sun,00:00-00:00,45.0,")));

    // Fault: without any rule an empty table was printed as if all were well.
    dir.Cfg().SetLimitRules({});
    EXPECT_EQ(Run({QStringLiteral("--exceedances"), QStringLiteral("--monitors"), QStringLiteral("7")}), 1);
    EXPECT_TRUE(sOut.isEmpty());
    EXPECT_TRUE(sErr.startsWith(QStringLiteral("No limit rules: the section [rp_limits] of ")))
        << sErr.toStdString();
    const QString sEmpty = dir.Root() + QStringLiteral("empty.txt");
    QFile f(sEmpty);
    ASSERT_TRUE(f.open(QIODevice::WriteOnly));
    f.write("# no rules yet\n");
    f.close();
    EXPECT_EQ(Run({QStringLiteral("--exceedances"), QStringLiteral("--limits"), sEmpty}), 1);
    EXPECT_EQ(sErr,
              QStringLiteral("No limit rules: the limits file ") + sEmpty +
                  QStringLiteral(" holds no rule that can be read\n"));
}

TEST_F(TCmdLineTest, Exceedances_LimitsFileOfUtf16AndUnknownMonitorsAndPipesAndThePdf)
{
    // Fault: a UTF-16 file (as Windows editors save) was "not text"; a rule for a
    // monitor the installation lacks judged nothing without a word; --pdf refused
    // --limits.
    const QString sFile = dir.Root() + QStringLiteral("limits16.txt");
    const QString sText =
        QStringLiteral("*; LAeq; Fri; 01:00-02:00; 52.0; Permit\r\n0099; LAeq; Fri; 01:00-02:00; 1\r\n");
    QByteArray ba("\xfe\xff", 2);
    for (QChar c : sText) {
        ba.append(char(c.unicode() >> 8));
        ba.append(char(c.unicode() & 0xff));
    }
    QFile f(sFile);
    ASSERT_TRUE(f.open(QIODevice::WriteOnly));
    f.write(ba);
    f.close();
    ASSERT_EQ(
        Run({QStringLiteral("--exceedances"), QStringLiteral("--monitors"), QStringLiteral("7"),
             QStringLiteral("--from"), QStringLiteral("2024-03-01"), QStringLiteral("--limits"), sFile}),
        0)
        << sErr.toStdString();
    EXPECT_EQ(sOut.section(QLatin1Char('\n'), 1, 1),
              QStringLiteral("7,2024-03-01,01:00,LAeq,52.5,52.0,0.5,Permit"));
    EXPECT_TRUE(sErr.contains(QLatin1String("monitor that does not exist and judge nothing: 0099")))
        << sErr.toStdString();

    const QString sPdf = dir.Root() + QStringLiteral("exc.pdf");
    ASSERT_EQ(Run({QStringLiteral("--pdf"), sPdf, QStringLiteral("--report"), QStringLiteral("exceedances"),
                   QStringLiteral("--monitors"), QStringLiteral("7"), QStringLiteral("--from"),
                   QStringLiteral("2024-03-01"), QStringLiteral("--limits"), sFile}),
              0)
        << sErr.toStdString();
    EXPECT_TRUE(QFileInfo(sPdf).isFile());
    if (HavePoppler()) {
        EXPECT_TRUE(PdfPages(sPdf).join(QString()).contains(QLatin1String("Permit")));
    }
    EXPECT_EQ(Run({QStringLiteral("--table"), QStringLiteral("periodic"), QStringLiteral("--limits"), sFile}),
              2);

    // A pipe where the file should be is refused at once, not waited on.
    const QString sFifo = dir.Root() + QStringLiteral("limits.fifo");
    ASSERT_TRUE(MakeFifo(sFifo));
    const int nExit = WithinTimeLimit(sFifo, [&] {
        return Run({QStringLiteral("--exceedances"), QStringLiteral("--limits"), sFifo});
    });
    EXPECT_EQ(nExit, 2);
    EXPECT_TRUE(sErr.contains(QLatin1String("not a plain file"))) << sErr.toStdString();
}
