#include "output/exportrun.h"
#include "pages/perpage.h"
#include "pages/sumpage.h"

#include "analysis/limits.h"
#include "output/htmlpage.h"
#include "output/pngfile.h"
#include "platform/wholefile.h"
#include "views/almchart.h"

#include "reportdir.h"

#include <QDirIterator>
#include <QFileInfo>
#include <QImage>
#include <QRegularExpression>

#include <gtest/gtest.h>

#include <sys/stat.h>

namespace {
const QDate d1(2024, 3, 1);
const QDate d2(2024, 3, 2);
const QDate d3(2024, 3, 3);

TExportOptions AllKinds(const TCfg& cfg, bool bZoom)
{
    TExportOptions opt = TExportOptions::FromCfg(cfg);
    opt.Choose({QStringLiteral("per-chart"), QStringLiteral("per-table"), QStringLiteral("alm-chart"), QStringLiteral("alm-table"), QStringLiteral("alm-list"), QStringLiteral("prf"), QStringLiteral("cal")});
    opt.bZoom = bZoom;
    return opt;
}
} // namespace

class TExportRunTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        ASSERT_TRUE(dir.IsValid());
        dir.AddTwoMonitors();
        dir.SelectParams({QStringLiteral("LAeq")});
        for (const QString& sID : {QStringLiteral("7"), QStringLiteral("8")}) {
            dir.WriteLaeqHour(sID, d1);
            dir.WriteAlm(sID, d2, {QStringLiteral("Time"), QStringLiteral("10:00:00")});
        }
        dir.WriteCal(QStringLiteral("7"), d3, {QStringLiteral("Time,Dev"), QStringLiteral("06:00:00,0.1")});
        mons = dir.Monitors();
        ASSERT_EQ(mons->Count(), 2);
        ASSERT_TRUE(QDir().mkpath(dir.HtmlDir()));
    }

    // Both monitors, catalogue order.
    TMonitorSel Both() const { return {mons->GetHead(0), mons->GetHead(1)}; }

    TReportDir dir;
    std::unique_ptr<TTQMonitors> mons;
};

// --- what a run writes ------------------------------------------------------------------

TEST_F(TExportRunTest, AllKindsWithZoom_PagesImagesAndIndex)
{
    TExportRun run(dir.Cfg(), *mons, {mons->GetHead(0)}, d1, d3, AllKinds(dir.Cfg(), true));
    ASSERT_TRUE(run.Run(dir.HtmlDir())) << run.Error().toStdString();
    EXPECT_EQ(TReportDir::Files(dir.HtmlDir()),
              QStringList({QStringLiteral("Tarvik Reports.html"),
                           QStringLiteral("alarms/alm_7_20240301_20240303_0060.html"),
                           QStringLiteral("alarms/charts/alm_7_20240301_20240303_0060.bmp"),
                           QStringLiteral("alarms/charts/alm_7_20240301_20240303_0060_zoom.bmp"),
                           QStringLiteral("calibrations/cal_7_20240301_20240303.html"),
                           QStringLiteral("periodic/charts/per_7_20240301_20240303_0060.bmp"),
                           QStringLiteral("periodic/charts/per_7_20240301_20240303_0060_zoom.bmp"),
                           QStringLiteral("periodic/per_7_20240301_20240303_0060.html"),
                           QStringLiteral("profiles/charts/prf_7_20240301.bmp"),
                           QStringLiteral("profiles/charts/prf_7_20240301_zoom.bmp"),
                           QStringLiteral("profiles/charts/prf_7_20240302.bmp"),
                           QStringLiteral("profiles/charts/prf_7_20240302_zoom.bmp"),
                           QStringLiteral("profiles/charts/prf_7_20240303.bmp"),
                           QStringLiteral("profiles/charts/prf_7_20240303_zoom.bmp"),
                           QStringLiteral("profiles/prf_7_20240301_20240303.html")}));

    const QImage img(dir.HtmlDir() + QStringLiteral("periodic/charts/per_7_20240301_20240303_0060.bmp"));
    EXPECT_EQ(img.size(), QSize(800, 320));
    const QImage imgZoom(dir.HtmlDir() + QStringLiteral("profiles/charts/prf_7_20240302_zoom.bmp"));
    EXPECT_EQ(imgZoom.size(), QSize(2048, 800));

    bool bCrLf = false;
    const QStringList slPrf = TReportDir::ReadLines(
        dir.HtmlDir() + QStringLiteral("profiles/prf_7_20240301_20240303.html"), &bCrLf);
    EXPECT_TRUE(bCrLf);
    EXPECT_EQ(slPrf[33], QStringLiteral("<div id=\"title\">Noise Profile Report</div>"));
    EXPECT_EQ(slPrf.filter(QStringLiteral("<div><a href=\"charts/prf_7_")).size(), 3);
    EXPECT_EQ(slPrf.indexOf(QStringLiteral("<div><a href=\"charts/prf_7_20240302_zoom.bmp\"><img "
                                           "src=\"charts/prf_7_20240302.bmp\"></a></div>")),
              slPrf.indexOf(QStringLiteral("<div><a href=\"charts/prf_7_20240301_zoom.bmp\"><img "
                                           "src=\"charts/prf_7_20240301.bmp\"></a></div>")) +
                  1);

    // The alarm page holds its blocks in order: chart, count table, list.
    const QStringList slAlm =
        TReportDir::ReadLines(dir.HtmlDir() + QStringLiteral("alarms/alm_7_20240301_20240303_0060.html"));
    const auto iChart =
        slAlm.indexOf(QStringLiteral("<div><a href=\"charts/alm_7_20240301_20240303_0060_zoom.bmp\">"
                                     "<img src=\"charts/alm_7_20240301_20240303_0060.bmp\"></a></div>"));
    const auto iTable = slAlm.indexOf(QStringLiteral("<h3>Alarms Per 60 Minute Period</h3>"));
    const auto iList = slAlm.indexOf(QStringLiteral("<h3>List of All Alarms</h3>"));
    EXPECT_EQ(iChart, 36 + 6); // after the head lines and the preamble of a range
    EXPECT_LT(iChart, iTable);
    EXPECT_LT(iTable, iList);
    EXPECT_EQ(slAlm.last(), QStringLiteral("</body></html>"));

    const QStringList slIndex = TReportDir::ReadLines(dir.HtmlDir() + QStringLiteral("Tarvik Reports.html"));
    EXPECT_EQ(slIndex.filter(QStringLiteral("<tr class=\"link\"")).size(), 4);
}

TEST_F(TExportRunTest, ZoomOff_NoZoomImagesAndPlainImageLines)
{
    TExportOptions opt = AllKinds(dir.Cfg(), false);
    opt.Choose({QStringLiteral("alm-chart"), QStringLiteral("alm-table"), QStringLiteral("alm-list"), QStringLiteral("cal")}, false);
    TExportRun run(dir.Cfg(), *mons, {mons->GetHead(0)}, d1, d2, opt);
    ASSERT_TRUE(run.Run(dir.HtmlDir()));
    EXPECT_TRUE(TReportDir::Files(dir.HtmlDir()).filter(QStringLiteral("_zoom")).isEmpty());
    const QStringList slPer =
        TReportDir::ReadLines(dir.HtmlDir() + QStringLiteral("periodic/per_7_20240301_20240302_0060.html"));
    EXPECT_EQ(slPer.count(QStringLiteral("<div><img src=\"charts/per_7_20240301_20240302_0060.bmp\"></div>")),
              1);
    EXPECT_EQ(slPer.count(QStringLiteral("<table id=\"tblPer\">")), 1);
    EXPECT_TRUE(slPer.filter(QStringLiteral("<a href=\"charts/")).isEmpty());
}

TEST_F(TExportRunTest, ProgressTexts_PerMonitorAndPerProfileDay)
{
    TExportOptions opt;
    opt.nPeriod = 60;
    opt.Choose({QStringLiteral("per-table"), QStringLiteral("alm-list"), QStringLiteral("prf"), QStringLiteral("cal"), QStringLiteral("sum")});
    TExportRun run(dir.Cfg(), *mons, Both(), d1, d2, opt);
    QStringList slStatus;
    run.SetStatusFn([&slStatus](const QString& s) { slStatus << s; });
    ASSERT_TRUE(run.Run(dir.HtmlDir()));
    EXPECT_EQ(
        slStatus,
        QStringList(
            {QStringLiteral("Periodic reports: North Gate"), QStringLiteral("Periodic reports: South Yard"),
             QStringLiteral("Alarm reports: North Gate"), QStringLiteral("Alarm reports: South Yard"),
             QStringLiteral("Profile: 2024-03-01 North Gate"),
             QStringLiteral("Profile: 2024-03-02 North Gate"),
             QStringLiteral("Profile: 2024-03-01 South Yard"),
             QStringLiteral("Profile: 2024-03-02 South Yard"),
             QStringLiteral("Calibration reports: North Gate"),
             QStringLiteral("Calibration reports: South Yard"), QStringLiteral("Summary reports: North Gate"),
             QStringLiteral("Summary reports: South Yard")}));
    // A calibration page for every chosen monitor, also one without calibrations.
    EXPECT_TRUE(QFile::exists(dir.HtmlDir() + QStringLiteral("calibrations/cal_8_20240301_20240302.html")));
}

// --- the daily rating summary ------------------------------------------------------------------

TEST_F(TExportRunTest, Summary_PagePerMonitorWithChartTableAndNote)
{
    // Day 1 has one hour of the night; day 2 is complete.
    QStringList slDay2{QStringLiteral(".Time,LAeq")};
    for (int h = 0; h < 24; ++h)
        slDay2 << QStringLiteral("%1:00:00,60.0").arg(h, 2, 10, QLatin1Char('0'));
    dir.WritePer(QStringLiteral("7"), d2, 60, slDay2);
    TExportOptions opt = TExportOptions::FromCfg(dir.Cfg());
    opt.Choose({QStringLiteral("sum")});
    opt.bZoom = true;
    TExportRun run(dir.Cfg(), *mons, {mons->GetHead(0)}, d1, d3, opt);
    ASSERT_TRUE(run.Run(dir.HtmlDir())) << run.Error().toStdString();
    EXPECT_EQ(TReportDir::Files(dir.HtmlDir()),
              QStringList({QStringLiteral("Tarvik Reports.html"),
                           QStringLiteral("summaries/charts/sum_7_20240301_20240303_0060.bmp"),
                           QStringLiteral("summaries/charts/sum_7_20240301_20240303_0060_zoom.bmp"),
                           QStringLiteral("summaries/sum_7_20240301_20240303_0060.html")}));
    const QString sCharts = dir.HtmlDir() + QStringLiteral("summaries/charts/");
    EXPECT_EQ(QImage(sCharts + QStringLiteral("sum_7_20240301_20240303_0060.bmp")).size(), QSize(800, 320));
    EXPECT_EQ(QImage(sCharts + QStringLiteral("sum_7_20240301_20240303_0060_zoom.bmp")).size(),
              QSize(2048, 800));

    bool bCrLf = false;
    const QStringList sl = TReportDir::ReadLines(
        dir.HtmlDir() + QStringLiteral("summaries/sum_7_20240301_20240303_0060.html"), &bCrLf);
    EXPECT_TRUE(bCrLf);
    EXPECT_EQ(sl[33], QStringLiteral("<div id=\"title\">Daily Rating Level Report</div>"));
    EXPECT_EQ(sl[36], QStringLiteral("<h1>North Gate</h1>"));
    const auto iChart =
        sl.indexOf(QStringLiteral("<div><a href=\"charts/sum_7_20240301_20240303_0060_zoom.bmp\">"
                                  "<img src=\"charts/sum_7_20240301_20240303_0060.bmp\"></a></div>"));
    const auto iTable = sl.indexOf(QStringLiteral("<table id=\"tblPer\">"));
    // A whole-line match: the note is one line.
    const auto iNote = sl.indexOf(QRegularExpression(QStringLiteral("<p>A day is the calendar day .*</p>")));
    EXPECT_EQ(iChart, 36 + 6);
    EXPECT_EQ(iTable, iChart + 1);
    ASSERT_GT(iNote, iTable);
    EXPECT_EQ(sl[iNote - 1], QStringLiteral("</table>"));
    EXPECT_TRUE(sl[iNote + 1].startsWith(QLatin1String("<div id=\"foot\">")));

    // A row per day and the range row; the short first day is grey, the full second is not.
    const QStringList slTable = sl.mid(iTable, iNote - iTable);
    const auto i1 = slTable.indexOf(QStringLiteral("<td>2024-03-01</td>"));
    const auto i2 = slTable.indexOf(QStringLiteral("<td>2024-03-02</td>"));
    const auto i3 = slTable.indexOf(QStringLiteral("<td>2024-03-03</td>"));
    const auto iRange = slTable.indexOf(QStringLiteral("<td class=\"hi\">Range</td>"));
    ASSERT_GT(i1, 0);
    EXPECT_LT(i1, i2);
    EXPECT_LT(i2, i3);
    EXPECT_LT(i3, iRange);
    EXPECT_EQ(slTable[i1 + 3], QStringLiteral("<td style=\"color:#888\">51.0</td>")); // one night hour
    EXPECT_TRUE(slTable.mid(i2, i3 - i2).filter(QStringLiteral("color:#888")).isEmpty());
    EXPECT_EQ(slTable[i2 + 1], QStringLiteral("<td>60.0</td>"));

    const QStringList slIndex = TReportDir::ReadLines(dir.HtmlDir() + QStringLiteral("Tarvik Reports.html"));
    const auto iHead = slIndex.indexOf(QStringLiteral("<h1>Summary Reports</h1>"));
    ASSERT_GT(iHead, 0);
    EXPECT_TRUE(slIndex[iHead + 3].contains(QLatin1String("summaries/sum_7_20240301_20240303_0060.html")));
    EXPECT_TRUE(slIndex[iHead + 3].endsWith(QLatin1String("<td>60 min</td></tr>")));
}

TEST_F(TExportRunTest, Summary_DaysStillToComeAreNoRows)
{
    const QDate dtToday = QDate::currentDate();
    TExportOptions opt = TExportOptions::FromCfg(dir.Cfg());
    opt.Choose({QStringLiteral("sum")});
    TExportRun run(dir.Cfg(), *mons, {mons->GetHead(0)}, dtToday.addDays(-1), dtToday.addDays(2), opt);
    ASSERT_TRUE(run.Run(dir.HtmlDir()));
    // The page keeps the name of the range asked for.
    const QStringList sl =
        TReportDir::ReadLines(dir.HtmlDir() + QStringLiteral("summaries/") +
                              TReportNames::PageName(TSumPage::Info(), QStringLiteral("7"),
                                                     dtToday.addDays(-1), dtToday.addDays(2), 60));
    const QString sIso = QStringLiteral("yyyy-MM-dd");
    EXPECT_EQ(sl.count(QStringLiteral("<td>") + dtToday.addDays(-1).toString(sIso) + QStringLiteral("</td>")),
              1);
    EXPECT_EQ(sl.count(QStringLiteral("<td>") + dtToday.toString(sIso) + QStringLiteral("</td>")), 1);
    EXPECT_EQ(sl.count(QStringLiteral("<td>") + dtToday.addDays(1).toString(sIso) + QStringLiteral("</td>")),
              0);
}

TEST_F(TExportRunTest, Summary_OffWritesNoFolderAndOnOnlyAddsItsIndexSection)
{
    TExportRun before(dir.Cfg(), *mons, Both(), d1, d3, AllKinds(dir.Cfg(), false));
    ASSERT_TRUE(before.Run(dir.HtmlDir()));
    EXPECT_FALSE(QFile::exists(dir.HtmlDir() + QStringLiteral("summaries")));
    const QString sIndex = dir.HtmlDir() + QStringLiteral("Tarvik Reports.html");
    const QStringList slBefore = TReportDir::ReadLines(sIndex);
    EXPECT_TRUE(slBefore.filter(QStringLiteral("ummar")).isEmpty());

    TExportOptions opt = TExportOptions::FromCfg(dir.Cfg());
    opt.Choose({QStringLiteral("sum")});
    TExportRun after(dir.Cfg(), *mons, Both(), d1, d3, opt);
    ASSERT_TRUE(after.Run(dir.HtmlDir()));
    QStringList slAfter = TReportDir::ReadLines(sIndex);
    // The section sits after the four older ones, just before the foot.
    const auto iHead = slAfter.indexOf(QStringLiteral("<h1>Summary Reports</h1>"));
    ASSERT_GT(iHead, 0);
    ASSERT_EQ(slAfter[iHead + 5], QStringLiteral("</table>"));
    EXPECT_TRUE(slAfter[iHead + 6].startsWith(QLatin1String("<div id=\"foot\">")));
    slAfter.remove(iHead, 6);
    EXPECT_EQ(slAfter, slBefore);
}

TEST_F(TExportRunTest, Exceedances_PagePerMonitorWithChartTableNoteAndLastIndexSection)
{
    // Both monitors read LAeq 51.0 at midnight of day 1. The settings' schedule would find
    // nothing; the run's own schedule finds that period 0.5 above 50.5.
    dir.Cfg().SetLimitRules({QStringLiteral("*; LAeq; Mon-Sun; 00:00-00:00; 70.0")});
    TExportOptions opt = TExportOptions::FromCfg(dir.Cfg());
    opt.Choose({QStringLiteral("sum")});
    opt.Choose({QStringLiteral("exc")});
    auto limits = std::make_shared<TLimits>();
    QString sError;
    limits->aRules = {
        *TLimitRule::Parse(QStringLiteral("*; LAeq; Fri; 00:00-01:00; 50.5; Midnight"), sError)};
    opt.pLimits = limits;
    TExportRun run(dir.Cfg(), *mons, Both(), d1, d3, opt);
    ASSERT_TRUE(run.Run(dir.HtmlDir())) << run.Error().toStdString();
    for (const char* sz :
         {"exceedances/exc_7_20240301_20240303_0060.html", "exceedances/exc_8_20240301_20240303_0060.html",
          "exceedances/charts/exc_7_20240301_20240303_0060.bmp"})
        EXPECT_TRUE(QFile::exists(dir.HtmlDir() + QLatin1String(sz))) << sz;

    const QStringList sl = TReportDir::ReadLines(
        dir.HtmlDir() + QStringLiteral("exceedances/exc_8_20240301_20240303_0060.html"));
    EXPECT_EQ(sl[33], QStringLiteral("<div id=\"title\">Exceedance Report</div>"));
    const auto iChart =
        sl.indexOf(QStringLiteral("<div><img src=\"charts/exc_8_20240301_20240303_0060.bmp\"></div>"));
    const auto iTable = sl.indexOf(QStringLiteral("<table id=\"tblPer\">"));
    ASSERT_GT(iChart, 0);
    EXPECT_EQ(iTable, iChart + 1);
    const auto iExc = sl.indexOf(QStringLiteral("<td>2024-03-01</td>"));
    ASSERT_GT(iExc, iTable);
    EXPECT_EQ(
        sl.mid(iExc + 1, 6),
        QStringList({QStringLiteral("<td>00:00</td>"), QStringLiteral("<td>LAeq</td>"),
                     QStringLiteral("<td>51.0</td>"), QStringLiteral("<td>50.5</td>"),
                     QStringLiteral("<td class=\"hi\">0.5</td>"), QStringLiteral("<td>Midnight</td>")}));
    EXPECT_EQ(sl.filter(QRegularExpression(QStringLiteral("^<p>A period is judged .*</p>$"))).size(), 1);

    // The index lists the new kind last, after the summaries.
    const QStringList slIndex = TReportDir::ReadLines(dir.HtmlDir() + QStringLiteral("Tarvik Reports.html"));
    const auto iSum = slIndex.indexOf(QStringLiteral("<h1>Summary Reports</h1>"));
    const auto iHead = slIndex.indexOf(QStringLiteral("<h1>Exceedance Reports</h1>"));
    ASSERT_GT(iSum, 0);
    ASSERT_GT(iHead, iSum);
    EXPECT_TRUE(slIndex[iHead + 3].contains(QLatin1String("exceedances/exc_7_20240301_20240303_0060.html")));
    EXPECT_TRUE(slIndex[iHead + 4].contains(QLatin1String("exceedances/exc_8_20240301_20240303_0060.html")));
    EXPECT_EQ(slIndex[iHead + 5], QStringLiteral("</table>"));
}

TEST_F(TExportRunTest, Quality_PagePerMonitorWithCalendarTableNoteAndIndexSection)
{
    // Monitor 7 has one hourly value, at midnight of day 1, and a calibration on day 3:
    // one gap from 01:00 of day 1 to the end of day 3, 71 hours.
    TExportOptions opt = TExportOptions::FromCfg(dir.Cfg());
    opt.Choose({QStringLiteral("qual")});
    TExportRun run(dir.Cfg(), *mons, Both(), d1, d3, opt);
    ASSERT_TRUE(run.Run(dir.HtmlDir())) << run.Error().toStdString();
    for (const char* sz : {"quality/qual_7_20240301_20240303_0060.html", "quality/qual_8_20240301_20240303_0060.html",
                           "quality/charts/qual_7_20240301_20240303_0060.bmp"})
        EXPECT_TRUE(QFile::exists(dir.HtmlDir() + QLatin1String(sz))) << sz;

    const QStringList sl =
        TReportDir::ReadLines(dir.HtmlDir() + QStringLiteral("quality/qual_7_20240301_20240303_0060.html"));
    EXPECT_EQ(sl[33], QStringLiteral("<div id=\"title\">Data Quality Report</div>"));
    const auto iChart =
        sl.indexOf(QStringLiteral("<div><img src=\"charts/qual_7_20240301_20240303_0060.bmp\"></div>"));
    ASSERT_GT(iChart, 0);
    EXPECT_EQ(sl[iChart + 1], QStringLiteral("<table id=\"tblPer\">"));
    const auto iGap = sl.indexOf(QStringLiteral("<td>2024-03-01 01:00</td>"));
    ASSERT_GT(iGap, iChart);
    EXPECT_EQ(sl.mid(iGap + 1, 3), QStringList({QStringLiteral("<td>2024-03-04 00:00</td>"),
                                                QStringLiteral("<td>71:00</td>"),
                                                QStringLiteral("<td>file missing; no record</td>")}));
    EXPECT_EQ(sl.filter(QRegularExpression(QStringLiteral("^<p>Coverage: .*</p>$"))).size(), 1);

    const QStringList slIndex = TReportDir::ReadLines(dir.HtmlDir() + QStringLiteral("Tarvik Reports.html"));
    const auto iHead = slIndex.indexOf(QStringLiteral("<h1>Data Quality Reports</h1>"));
    ASSERT_GT(iHead, 0);
    EXPECT_TRUE(slIndex[iHead + 3].contains(QLatin1String("quality/qual_7_20240301_20240303_0060.html")));
    EXPECT_TRUE(slIndex[iHead + 4].contains(QLatin1String("quality/qual_8_20240301_20240303_0060.html")));
}

TEST_F(TExportRunTest, Summary_CancelledAtTheFirstMonitorWritesNoIndex)
{
    TExportOptions opt = TExportOptions::FromCfg(dir.Cfg());
    opt.Choose({QStringLiteral("sum")});
    TExportRun run(dir.Cfg(), *mons, Both(), d1, d1, opt);
    bool bCancel = false;
    run.SetStatusFn([&bCancel](const QString&) { bCancel = true; });
    run.SetCancelFn([&bCancel] { return bCancel; });
    ASSERT_TRUE(run.Run(dir.HtmlDir()));
    // The open page is finished without its chart; the second monitor gets none.
    EXPECT_EQ(TReportDir::Files(dir.HtmlDir()),
              QStringList{QStringLiteral("summaries/sum_7_20240301_20240301_0060.html")});
}

TEST_F(TExportRunTest, Summary_UnwritableImageStopsTheRunNamingIt)
{
    const QString sImage =
        dir.HtmlDir() + QStringLiteral("summaries/charts/sum_8_20240301_20240301_0060.bmp");
    ASSERT_TRUE(QDir().mkpath(sImage));
    TExportOptions opt = TExportOptions::FromCfg(dir.Cfg());
    opt.Choose({QStringLiteral("sum")});
    TExportRun run(dir.Cfg(), *mons, Both(), d1, d1, opt);
    EXPECT_FALSE(run.Run(dir.HtmlDir()));
    EXPECT_EQ(run.Error(), QStringLiteral("Unable to write to ") + QDir::toNativeSeparators(sImage) +
                               QStringLiteral(": Is a directory"));
    EXPECT_TRUE(QFile::exists(dir.HtmlDir() + QStringLiteral("summaries/sum_7_20240301_20240301_0060.html")));
    EXPECT_FALSE(
        QFile::exists(dir.HtmlDir() + QStringLiteral("summaries/sum_8_20240301_20240301_0060.html")));
}

TEST_F(TExportRunTest, Events_EventAcrossMidnightIsOneEventOnItsStartDay)
{
    // Regression: each day was computed alone, so 23:59:57 to 00:00:02 was two halves
    // of 3 s, each under the 5-s minimum, and the event was in neither block.
    TReportDir::Write(dir.DataPath() + QStringLiteral("7/2024-03/prf-01.csv"),
                      {QStringLiteral("Time,LAeq"), QStringLiteral("23:59:57,70.0"), QStringLiteral("23:59:58,70.0"),
                       QStringLiteral("23:59:59,70.0")});
    TReportDir::Write(dir.DataPath() + QStringLiteral("7/2024-03/prf-02.csv"),
                      {QStringLiteral("Time,LAeq"), QStringLiteral("00:00:00,70.0"), QStringLiteral("00:00:01,70.0"),
                       QStringLiteral("00:00:02,70.0")});
    TExportOptions opt = TExportOptions::FromCfg(dir.Cfg());
    opt.Choose({QStringLiteral("evt")});
    TExportRun run(dir.Cfg(), *mons, {mons->GetHead(0)}, d1, d2, opt);
    ASSERT_TRUE(run.Run(dir.HtmlDir())) << run.Error().toStdString();
    const QStringList slPage =
        TReportDir::ReadLines(dir.HtmlDir() + QStringLiteral("events/evt_7_20240301_20240302.html"));
    const auto iStart = slPage.indexOf(QStringLiteral("<td>23:59:57</td>"));
    ASSERT_GT(iStart, 0);
    EXPECT_EQ(slPage[iStart + 1], QStringLiteral("<td>00:00:02 next day</td>"));
    EXPECT_EQ(slPage[iStart + 2], QStringLiteral("<td>6</td>"));
    EXPECT_EQ(slPage.mid(iStart).filter(QStringLiteral("<td>No events</td>")).size(), 1);
}

TEST_F(TExportRunTest, Events_PagePerMonitorWithABlockPerDayAndItsIndexSection)
{
    // Monitor 7: one 10-second event at 70 dB on day 1; no profile file on day 2.
    QStringList sl{QStringLiteral("Time,LAeq")};
    for (int s = 0; s < 10; ++s)
        sl << QStringLiteral("10:00:%1,70.0").arg(s, 2, 10, QLatin1Char('0'));
    TReportDir::Write(dir.DataPath() + QStringLiteral("7/2024-03/prf-01.csv"), sl);
    TExportOptions opt = TExportOptions::FromCfg(dir.Cfg());
    opt.Choose({QStringLiteral("evt")});
    opt.bZoom = true;
    TExportRun run(dir.Cfg(), *mons, {mons->GetHead(0)}, d1, d2, opt);
    QStringList slStatus;
    run.SetStatusFn([&slStatus](const QString& s) { slStatus << s; });
    ASSERT_TRUE(run.Run(dir.HtmlDir())) << run.Error().toStdString();
    EXPECT_EQ(slStatus, QStringList({QStringLiteral("Events: 2024-03-01 North Gate"),
                                     QStringLiteral("Events: 2024-03-02 North Gate")}));
    EXPECT_EQ(TReportDir::Files(dir.HtmlDir()),
              QStringList({QStringLiteral("Tarvik Reports.html"),
                           QStringLiteral("events/charts/evt_7_20240301.bmp"),
                           QStringLiteral("events/charts/evt_7_20240301_zoom.bmp"),
                           QStringLiteral("events/charts/evt_7_20240302.bmp"),
                           QStringLiteral("events/charts/evt_7_20240302_zoom.bmp"),
                           QStringLiteral("events/evt_7_20240301_20240302.html")}));
    EXPECT_EQ(QImage(dir.HtmlDir() + QStringLiteral("events/charts/evt_7_20240301.bmp")).size(),
              QSize(800, 320));

    const QStringList slPage =
        TReportDir::ReadLines(dir.HtmlDir() + QStringLiteral("events/evt_7_20240301_20240302.html"));
    EXPECT_EQ(slPage[33], QStringLiteral("<div id=\"title\">Noise Event Report</div>"));
    const auto iChart1 = slPage.indexOf(QStringLiteral(
        "<div><a href=\"charts/evt_7_20240301_zoom.bmp\"><img src=\"charts/evt_7_20240301.bmp\"></a></div>"));
    const auto iChart2 = slPage.indexOf(QStringLiteral(
        "<div><a href=\"charts/evt_7_20240302_zoom.bmp\"><img src=\"charts/evt_7_20240302.bmp\"></a></div>"));
    ASSERT_GT(iChart1, 0);
    ASSERT_GT(iChart2, iChart1);
    // Each chart is followed by the table of its own day, the monitor's title left out.
    // Its cells keep dates, clock times and notes on one line.
    EXPECT_EQ(slPage[iChart1 + 1], QStringLiteral("<table id=\"tblPer\" style=\"white-space:nowrap\">"));
    EXPECT_EQ(slPage.filter(QStringLiteral("<td>LAeq,1s max</td>")).size(), 2);
    const QStringList slDay1 = slPage.mid(iChart1, iChart2 - iChart1);
    EXPECT_TRUE(slDay1.filter(QStringLiteral("North Gate")).isEmpty());
    const auto iStart = slDay1.indexOf(QStringLiteral("<td>10:00:00</td>"));
    ASSERT_GT(iStart, 0);
    EXPECT_EQ(slDay1[iStart + 1], QStringLiteral("<td>10:00:09</td>"));
    EXPECT_EQ(slDay1[iStart + 4], QStringLiteral("<td>80.0</td>"));
    EXPECT_EQ(slPage.mid(iChart2).filter(QStringLiteral("<td>No profile file</td>")).size(), 1);
    EXPECT_EQ(
        slPage.filter(QRegularExpression(QStringLiteral("^<p>Threshold 65 dB from 07:00, .*</p>$"))).size(),
        1);

    const QStringList slIndex = TReportDir::ReadLines(dir.HtmlDir() + QStringLiteral("Tarvik Reports.html"));
    const auto iHead = slIndex.indexOf(QStringLiteral("<h1>Noise Event Reports</h1>"));
    ASSERT_GT(iHead, 0);
    EXPECT_TRUE(slIndex[iHead + 3].contains(QLatin1String("events/evt_7_20240301_20240302.html")));
    EXPECT_TRUE(slIndex[iHead + 3].endsWith(QLatin1String("</td></tr>")));
    EXPECT_FALSE(slIndex[iHead + 3].contains(QLatin1String(" min</td>")));
}

// --- the report library ----------------------------------------------------------------------

TEST_F(TExportRunTest, SecondExportAddsIndexRowsAndKeepsOlderPages)
{
    TExportOptions opt;
    opt.nPeriod = 60;
    opt.Choose({QStringLiteral("per-table")});
    TExportRun first(dir.Cfg(), *mons, {mons->GetHead(0)}, d1, d1, opt);
    ASSERT_TRUE(first.Run(dir.HtmlDir()));
    TExportRun second(dir.Cfg(), *mons, Both(), d2, d3, opt);
    ASSERT_TRUE(second.Run(dir.HtmlDir()));
    const QStringList slRows = TReportDir::ReadLines(dir.HtmlDir() + QStringLiteral("Tarvik Reports.html"))
                                   .filter(QStringLiteral("<tr class=\"link\""));
    ASSERT_EQ(slRows.size(), 3);
    EXPECT_TRUE(slRows[0].contains(QLatin1String("per_7_20240301_20240301_0060.html")));
    EXPECT_TRUE(slRows[1].contains(QLatin1String("per_7_20240302_20240303_0060.html")));
    EXPECT_TRUE(slRows[2].contains(QLatin1String("per_8_20240302_20240303_0060.html")));
    // The same choices again overwrite the same files.
    TExportRun again(dir.Cfg(), *mons, Both(), d2, d3, opt);
    ASSERT_TRUE(again.Run(dir.HtmlDir()));
    EXPECT_EQ(TReportDir::Files(dir.HtmlDir()).size(), 4);
}

TEST_F(TExportRunTest, CancelDuringPeriodicPages_NothingAfterTheOpenPageAndNoIndex)
{
    TExportOptions opt = AllKinds(dir.Cfg(), false);
    TExportRun run(dir.Cfg(), *mons, Both(), d1, d3, opt);
    bool bCancel = false;
    run.SetStatusFn([&bCancel](const QString&) { bCancel = true; });
    run.SetCancelFn([&bCancel] { return bCancel; });
    ASSERT_TRUE(run.Run(dir.HtmlDir()));
    EXPECT_TRUE(run.Cancelled());
    // The first page is finished with what it had: no chart (the chart block sees
    // the cancel), the table cut before its first day, and the foot.
    EXPECT_EQ(TReportDir::Files(dir.HtmlDir()),
              QStringList{QStringLiteral("periodic/per_7_20240301_20240303_0060.html")});
    const QStringList sl =
        TReportDir::ReadLines(dir.HtmlDir() + QStringLiteral("periodic/per_7_20240301_20240303_0060.html"));
    EXPECT_TRUE(sl.filter(QStringLiteral("<img")).isEmpty());
    ASSERT_GE(sl.size(), 5);
    EXPECT_EQ(sl[sl.size() - 5], QStringLiteral("<table id=\"tblPer\">"));
    EXPECT_EQ(sl[sl.size() - 4], QStringLiteral("</table>"));
    EXPECT_TRUE(sl[sl.size() - 3].startsWith(QLatin1String("<div id=\"foot\">")));
}

// --- failures ------------------------------------------------------------------------------------

TEST_F(TExportRunTest, UnwritablePage_StopsTheRunNamingTheFile)
{
    const QString sBlocked = dir.HtmlDir() + QStringLiteral("alarms/alm_8_20240301_20240301_0060.html");
    ASSERT_TRUE(QDir().mkpath(sBlocked));
    TExportOptions opt;
    opt.nPeriod = 60;
    opt.Choose({QStringLiteral("alm-list"), QStringLiteral("cal")});
    TExportRun run(dir.Cfg(), *mons, Both(), d1, d1, opt);
    EXPECT_FALSE(run.Run(dir.HtmlDir()));
    EXPECT_EQ(run.Error(), QStringLiteral("Unable to write to ") + QDir::toNativeSeparators(sBlocked) +
                               QStringLiteral(": Is a directory"));
    EXPECT_TRUE(QFile::exists(dir.HtmlDir() + QStringLiteral("alarms/alm_7_20240301_20240301_0060.html")));
    EXPECT_FALSE(QFile::exists(dir.HtmlDir() + QStringLiteral("calibrations")));
    EXPECT_FALSE(QFile::exists(dir.HtmlDir() + QStringLiteral("Tarvik Reports.html")));
}

TEST_F(TExportRunTest, UnwritableImageOrIndex_StopsTheRunNamingTheFile)
{
    const QString sImage = dir.HtmlDir() + QStringLiteral("periodic/charts/per_7_20240301_20240301_0060.bmp");
    ASSERT_TRUE(QDir().mkpath(sImage));
    TExportOptions opt;
    opt.nPeriod = 60;
    opt.Choose({QStringLiteral("per-chart")});
    TExportRun run(dir.Cfg(), *mons, Both(), d1, d1, opt);
    EXPECT_FALSE(run.Run(dir.HtmlDir()));
    EXPECT_TRUE(run.Error().endsWith(QDir::toNativeSeparators(sImage) + QStringLiteral(": Is a directory")));
    EXPECT_FALSE(QFile::exists(dir.HtmlDir() + QStringLiteral("periodic/per_7_20240301_20240301_0060.html")));

    ASSERT_TRUE(QDir(sImage).removeRecursively());
    ASSERT_TRUE(QDir().mkpath(dir.HtmlDir() + QStringLiteral("Tarvik Reports.html")));
    TExportRun index(dir.Cfg(), *mons, Both(), d1, d1, TExportOptions::FromCfg(dir.Cfg()));
    EXPECT_FALSE(index.Run(dir.HtmlDir()));
    EXPECT_TRUE(index.Error().endsWith(QStringLiteral("Tarvik Reports.html: Is a directory")));
}

TEST_F(TExportRunTest, FullDisk_NoTruncatedImageOrPageAndTheReason)
{
    // Regression: on a full disk the run stopped with exit status 1 but left a truncated
    // PNG or BMP behind, and the message did not say why.
    const mode_t nOldMask = ::umask(022);
    for (const EImageFormat fmt : {EImageFormat::Bmp, EImageFormat::Png}) {
        QDir(dir.HtmlDir()).removeRecursively();
        ASSERT_TRUE(QDir().mkpath(dir.HtmlDir()));
        TExportOptions opt = AllKinds(dir.Cfg(), true);
        opt.imageFormat = fmt;
        ASSERT_TRUE(TExportRun(dir.Cfg(), *mons, Both(), d1, d1, opt).Run(dir.HtmlDir()));
        const QString sFirst = dir.HtmlDir() + QStringLiteral("periodic/charts/") +
                               TReportNames::ChartName(TPerPage::Info(), QStringLiteral("7"), d1, d1, 60, false, fmt);
        QFile f(sFirst);
        ASSERT_TRUE(f.open(QIODevice::ReadOnly));
        const QByteArray baFirst = f.readAll();
        f.close();
        // Written through a private temporary file, the images end with the umask's mode.
        EXPECT_EQ(QFileInfo(sFirst).permissions() & 0x0777, QFile::Permissions(0x0644));

        // Room for the first image and a part of the next.
        for (const qint64 nRoom : {baFirst.size() / 2, baFirst.size() + 3000}) {
            TWholeFile::SetRoomForTests(nRoom);
            TExportRun run(dir.Cfg(), *mons, Both(), d1, d1, opt);
            EXPECT_FALSE(run.Run(dir.HtmlDir()));
            TWholeFile::SetRoomForTests(-1);
            EXPECT_TRUE(run.Error().startsWith(QStringLiteral("Unable to write to ")));
            EXPECT_TRUE(run.Error().endsWith(QStringLiteral(": No space left on device"))) << run.Error().toStdString();
            // Every file there is whole: each image reads, and no temporary file is left.
            QDirIterator it(dir.HtmlDir(), QDir::Files | QDir::Hidden, QDirIterator::Subdirectories);
            int nImages = 0;
            while (it.hasNext()) {
                const QString sFile = it.next();
                EXPECT_FALSE(it.fileName().startsWith(QLatin1Char('.'))) << sFile.toStdString();
                if (sFile.endsWith(QLatin1String(".bmp")) || sFile.endsWith(QLatin1String(".png"))) {
                    EXPECT_FALSE(QImage(sFile).isNull()) << sFile.toStdString();
                    ++nImages;
                }
            }
            EXPECT_GT(nImages, 0);
            ASSERT_TRUE(f.open(QIODevice::ReadOnly));
            EXPECT_EQ(f.readAll(), baFirst) << "an image is never replaced by a worse one";
            f.close();
        }
    }
    ::umask(nOldMask);
}

TEST_F(TExportRunTest, PeriodOtherThanTheSettings_IsRefused)
{
    TExportOptions opt = TExportOptions::FromCfg(dir.Cfg());
    opt.nPeriod = 15;
    opt.Choose({QStringLiteral("alm-chart")});
    TExportRun run(dir.Cfg(), *mons, Both(), d1, d1, opt);
    EXPECT_FALSE(run.Run(dir.HtmlDir()));
    EXPECT_FALSE(run.Error().isEmpty());
    EXPECT_TRUE(TReportDir::Files(dir.HtmlDir()).isEmpty());
}

// --- PNG chart images ---------------------------------------------------------------------------

TEST(TPngFile, EncodeKeepsEveryPixelAsPaletteOrRgb)
{
    // A chart-like picture: white ground, a few lines, a grey ramp of anti-aliased edges.
    QImage imgFew(300, 120, QImage::Format_RGB32);
    imgFew.fill(Qt::white);
    for (int x = 0; x < 300; ++x) {
        imgFew.setPixel(x, 60 + (x % 40) / 4, qRgb(0, 0, 200));
        imgFew.setPixel(x, 100, qRgb(x % 200, x % 200, x % 200));
    }
    // More than 256 colours: every pixel its own.
    QImage imgMany(200, 100, QImage::Format_ARGB32_Premultiplied);
    for (int y = 0; y < 100; ++y)
        for (int x = 0; x < 200; ++x)
            imgMany.setPixel(x, y, qRgb(x, y * 2, (x * y) % 256));

    for (const auto& [img, nColourType] : {std::pair{imgFew, 3}, std::pair{imgMany, 2}}) {
        const QByteArray ba = TPngFile::Encode(img);
        ASSERT_TRUE(ba.startsWith("\x89PNG\r\n\x1a\n"));
        EXPECT_EQ(int(ba.at(25)), nColourType); // IHDR colour type: 3 palette, 2 RGB
        QImage imgRead;
        ASSERT_TRUE(imgRead.loadFromData(ba, "PNG"));
        EXPECT_EQ(imgRead.convertToFormat(QImage::Format_RGB32), img.convertToFormat(QImage::Format_RGB32));
    }
    // Exactly 256 colours still fit the palette.
    QImage img256(256, 2, QImage::Format_RGB32);
    for (int x = 0; x < 256; ++x) {
        img256.setPixel(x, 0, qRgb(x, 255 - x, 7));
        img256.setPixel(x, 1, qRgb(x, 255 - x, 7));
    }
    EXPECT_EQ(int(TPngFile::Encode(img256).at(25)), 3);
    EXPECT_TRUE(TPngFile::Encode(QImage()).isEmpty());
}

TEST(TPngFile, SaveFailsWhereNoFileCanBeWritten)
{
    QTemporaryDir dir;
    QImage img(10, 10, QImage::Format_RGB32);
    img.fill(Qt::white);
    EXPECT_FALSE(TPngFile::Save(img, dir.path() + QStringLiteral("/missing/a.png")));
    EXPECT_FALSE(TPngFile::Save(img, dir.path())); // a folder
    ASSERT_TRUE(TPngFile::Save(img, dir.path() + QStringLiteral("/a.png")));
    EXPECT_EQ(QImage(dir.path() + QStringLiteral("/a.png")).convertToFormat(QImage::Format_RGB32), img);
}
