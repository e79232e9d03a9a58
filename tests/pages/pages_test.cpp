#include "pages/excpage.h"
#include "pages/exlpage.h"
#include "pages/qualpage.h"
#include "pages/statpage.h"
#include "pages/sumpage.h"

#include "analysis/exclusions.h"
#include "analysis/exclusionsfill.h"
#include "analysis/limitsfill.h"
#include "analysis/qualityfill.h"
#include "analysis/ratingfill.h"
#include "analysis/statfill.h"
#include "monitors/monitor.h"
#include "settings/cfg.h"
#include "views/grid.h"
#include "views/qualchart.h"
#include "views/statchart.h"

#include "views/tickedmonitors.h"

#include <QApplication>
#include <QComboBox>
#include <QDialog>
#include <QFile>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>

#include <gtest/gtest.h>

#include <cmath>
#include <memory>

namespace {
const QDate d7(2024, 3, 7);

// The ticked monitors with the page's environment and a one-day choice.
class TPageTest : public TTickedMonitorsTest
{
protected:
    TPageEnv Env() { return TPageEnv{cfg, mons, &chklstMon, {}, nullptr, {}}; }
    static TPageChoice Day(const QDate& d) { return TPageChoice{d.startOfDay(), d.startOfDay(), d, 60}; }
};
} // namespace

TEST_F(TPageTest, SummaryTable_UsesTheSettingsAsTheyAreAtTheBuild)
{
    TSumPage page(Env(), nullptr);
    dir.Write(QStringLiteral("M02"), d7, "per-07-0060.csv", TDayDir::FullDay60(".Time,LAeq"));
    Tick(0);
    page.Build(Day(d7));
    const TGridView& tbl = *page.Grid(0);
    EXPECT_EQ(tbl.Cells(0, 0), QStringLiteral("~name~East Fence"));
    EXPECT_EQ(tbl.ColCount(), TRatingFill::ColCount);
    EXPECT_EQ(tbl.Cells(0, 4), QStringLiteral("2024-03-07"));
    EXPECT_FALSE(tbl.Cells(TRatingFill::ColLden, 4).isEmpty());
    EXPECT_EQ(tbl.columnWidth(0), 84);
    EXPECT_TRUE(tbl.Cells(0, 6).isEmpty()) << "no limit rows while the limits are off";

    cfg.SetRatingLdenLimitOn(true);
    page.Build(Day(d7));
    EXPECT_EQ(tbl.Cells(0, 6), QStringLiteral("~h~Limit"));
}

TEST_F(TPageTest, Exceedances_JudgedByTheRulesAsTheyAreAtTheBuild)
{
    TExcPage page(Env(), nullptr);
    dir.Write(QStringLiteral("M02"), d7, "per-07-0060.csv", TDayDir::FullDay60(".Time,LAeq"));
    Tick(0);
    page.Build(Day(d7));
    const QString sNone = page.Grid(0)->Cells(0, 2);
    // A rule every hourly period of the day is above: 24 rows of exceedances, each
    // at its start time, then the day's count row and the range's, which name the band.
    cfg.SetLimitRules({QStringLiteral("* ; LAeq ; Mon-Sun ; 00:00-00:00 ; 1.0 ; Low")});
    page.Build(Day(d7));
    int nRows = 0;
    for (int r = 0; r < page.Grid(0)->RowCount(); ++r)
        if (page.Grid(0)->Cells(TLimitsFill::ColLimit, r) == QStringLiteral("1.0") &&
            !page.Grid(0)->Cells(TLimitsFill::ColTime, r).contains(QLatin1Char('-')))
            ++nRows;
    EXPECT_EQ(nRows, 24);
    EXPECT_NE(page.Grid(0)->Cells(0, 2), sNone);
}

namespace {
QByteArray FileBytes(const QString& sFile)
{
    QFile f(sFile);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray("<unreadable>");
}

// The page's list over a temporary exclusion file: M02 (East Fence, ticked) has an
// active row and a withdrawn one, M01 one that the list leaves out.
class TExlPageTest : public TPageTest
{
protected:
    void SetUp() override
    {
        TPageTest::SetUp();
        ASSERT_TRUE(tmp.isValid());
        sFile = tmp.path() + QStringLiteral("/rp_exclusions.csv");
        baFile = "id,monitor,from,to,covers,reason,comment,author,created,withdrawn,withdrawn by\r\n"
                 "1,M02,2024-03-07 10:00:00,2024-03-07 12:00:00,all,rain,,anna,2024-03-08 09:00:00,,\r\n"
                 "2,M02,2024-03-07 14:00:00,2024-03-07 15:00:00,all,works,,anna,2024-03-08 09:00:00,"
                 "2024-03-08 10:00:00,anna\r\n"
                 "3,M01,2024-03-07 14:00:00,2024-03-07 15:00:00,all,works,,anna,2024-03-08 09:00:00,,\r\n";
        QFile f(sFile);
        ASSERT_TRUE(f.open(QIODevice::WriteOnly));
        ASSERT_EQ(f.write(baFile), baFile.size());
        f.close();
        QString sError;
        ASSERT_TRUE(excl.Load(sFile, sError)) << qPrintable(sError);
        excl.SetLogin(QStringLiteral("pekka"));
        dir.Write(QStringLiteral("M02"), d7, "per-07-0060.csv", TDayDir::FullDay60(".Time,LAeq"));
        Tick(0);
    }
    TPageEnv ExlEnv()
    {
        TPageEnv env = Env();
        env.excl = &excl;
        return env;
    }
    // The list's row of exclusion nId; -1 when it is not listed.
    static int RowOf(const TExlPage& page, int nId)
    {
        const TGridView& grid = *page.Grid(0);
        for (int r = 0; r < grid.RowCount(); ++r)
            if (grid.Cells(TExclusionsFill::ColId, r) == QString::number(nId))
                return r;
        return -1;
    }
    static bool Enabled(const TExlPage& page, const char* szButton)
    {
        const auto* btn = page.findChild<QPushButton*>(QLatin1String(szButton));
        return btn != nullptr && btn->isEnabled();
    }

    QTemporaryDir tmp;
    QString sFile;
    QByteArray baFile;
    TExclusions excl;
};
} // namespace

// The buttons follow the row chosen: an active row can be edited and withdrawn, a
// withdrawn one neither; Undo waits for a change. Without a list nothing is offered.
TEST_F(TExlPageTest, Exclusions_ButtonsFollowTheRowChosen)
{
    TExlPage page(ExlEnv(), nullptr);
    page.Build(Day(d7));
    EXPECT_EQ(RowOf(page, 3), -1) << "M01 is not ticked";
    ASSERT_GE(RowOf(page, 2), 0);
    page.ChooseRow(RowOf(page, 2));
    EXPECT_EQ(page.Chosen(), 2);
    EXPECT_FALSE(Enabled(page, "btnExlEdit"));
    EXPECT_FALSE(Enabled(page, "btnExlWithdraw"));
    page.ChooseRow(RowOf(page, 1));
    EXPECT_TRUE(Enabled(page, "btnExlEdit"));
    EXPECT_TRUE(Enabled(page, "btnExlWithdraw"));
    EXPECT_FALSE(Enabled(page, "btnExlUndo"));
    page.ChooseRow(0); // the monitor's title
    EXPECT_EQ(page.Chosen(), 0);
    EXPECT_FALSE(Enabled(page, "btnExlWithdraw"));
    // An automatic exclusion is listed but changes with its weather rules alone.
    TExclusion ex;
    ex.sMonitor = QStringLiteral("M02");
    ex.nFrom = TExclusion::Wall(d7, 3600);
    ex.nTo = TExclusion::Wall(d7, 7200);
    excl.SetAutomatic({ex});
    page.Build(Day(d7));
    int nAuto = -1;
    for (int r = 0; r < page.Grid(0)->RowCount(); ++r)
        if (page.Grid(0)->Cells(TExclusionsFill::ColId, r) == QStringLiteral("A1"))
            nAuto = r;
    ASSERT_GE(nAuto, 0);
    page.ChooseRow(nAuto);
    EXPECT_EQ(page.Chosen(), -1);
    EXPECT_FALSE(Enabled(page, "btnExlEdit"));
    EXPECT_FALSE(Enabled(page, "btnExlWithdraw"));

    TExlPage none(Env(), nullptr);
    none.Build(Day(d7));
    none.ChooseRow(3);
    EXPECT_FALSE(Enabled(none, "btnExlEdit"));
    EXPECT_FALSE(Enabled(none, "btnExlUndo"));
}

// Withdraw writes the file at once and the row stays, withdrawn by the login; Undo
// writes the file back byte for byte. Each saved change is announced once.
TEST_F(TExlPageTest, Exclusions_WithdrawAndUndoRoundTripThroughTheFile)
{
    TExlPage page(ExlEnv(), nullptr);
    QSignalSpy spy(&page, &TReportPage::ExclusionsChanged);
    page.Build(Day(d7));
    page.ChooseRow(RowOf(page, 1));
    page.WithdrawChosen();
    EXPECT_EQ(spy.count(), 1);
    const QByteArray baWithdrawn = FileBytes(sFile);
    EXPECT_NE(baWithdrawn, baFile);
    EXPECT_TRUE(baWithdrawn.contains(",pekka\r\n"));
    QString sError;
    TExclusions onDisk;
    ASSERT_TRUE(onDisk.Load(sFile, sError));
    ASSERT_NE(onDisk.Find(1), nullptr);
    EXPECT_TRUE(onDisk.Find(1)->IsWithdrawn());
    // The page built itself again: the row is there, withdrawn, and can no longer be withdrawn.
    const int nRow = RowOf(page, 1);
    ASSERT_GE(nRow, 0);
    EXPECT_EQ(page.Grid(0)->Cells(TExclusionsFill::ColStatus, nRow), QStringLiteral("withdrawn"));
    EXPECT_FALSE(Enabled(page, "btnExlWithdraw"));
    EXPECT_TRUE(Enabled(page, "btnExlUndo"));

    page.UndoLast();
    EXPECT_EQ(spy.count(), 2);
    EXPECT_EQ(FileBytes(sFile), baFile);
    EXPECT_EQ(page.Grid(0)->Cells(TExclusionsFill::ColStatus, RowOf(page, 1)), QStringLiteral("active"));
    EXPECT_TRUE(Enabled(page, "btnExlWithdraw"));
    EXPECT_FALSE(Enabled(page, "btnExlUndo"));
}

// Edit… asks through the exclusion dialog and stores what it gives: the comment and
// reason change in the file, the author and the creation stay.
TEST_F(TExlPageTest, Exclusions_EditThroughTheDialogIsSaved)
{
    TExlPage page(ExlEnv(), nullptr);
    QSignalSpy spy(&page, &TReportPage::ExclusionsChanged);
    page.Build(Day(d7));
    page.ChooseRow(RowOf(page, 1));
    bool bSeen = false;
    // Looks for the dialog until it is open; a timer once too early would leave it waiting.
    QTimer timer;
    timer.setInterval(10);
    QObject::connect(&timer, &QTimer::timeout, [&] {
        auto* dlg = qobject_cast<QDialog*>(QApplication::activeModalWidget());
        if (dlg == nullptr)
            return;
        timer.stop();
        bSeen = true;
        if (auto* edit = dlg->findChild<QLineEdit*>(QStringLiteral("editComment")))
            edit->setText(QStringLiteral("storm, not rain"));
        if (auto* cmb = dlg->findChild<QComboBox*>(QStringLiteral("cmbReason")))
            cmb->setCurrentIndex(int(TExclusion::EReason::Wind));
        dlg->accept();
    });
    timer.start();
    page.EditChosen();
    ASSERT_TRUE(bSeen);
    EXPECT_EQ(spy.count(), 1);
    TExclusions onDisk;
    QString sError;
    ASSERT_TRUE(onDisk.Load(sFile, sError));
    const TExclusion* ex = onDisk.Find(1);
    ASSERT_NE(ex, nullptr);
    EXPECT_EQ(ex->sComment, QStringLiteral("storm, not rain"));
    EXPECT_EQ(ex->eReason, TExclusion::EReason::Wind);
    EXPECT_EQ(ex->sAuthor, QStringLiteral("anna"));
    EXPECT_EQ(TExclusion::WallText(ex->nFrom), QStringLiteral("2024-03-07 10:00:00"));
    EXPECT_EQ(page.Grid(0)->Cells(TExclusionsFill::ColReason, RowOf(page, 1)), QStringLiteral("wind"));
}

// A file that refuses writing: the message comes, nothing is announced, and the list
// in memory is what the file holds, so the tab does not show a withdrawal never stored.
TEST_F(TExlPageTest, Exclusions_ReadOnlyFileGivesTheMessageAndKeepsTheListAsOnDisk)
{
    TExlPage page(ExlEnv(), nullptr);
    QStringList slMessages;
    page.SetMessageFn([&](const QString& s) { slMessages << s; });
    QSignalSpy spy(&page, &TReportPage::ExclusionsChanged);
    page.Build(Day(d7));
    page.ChooseRow(RowOf(page, 1));
    const QFileDevice::Permissions was = QFile::permissions(sFile);
    ASSERT_TRUE(QFile::setPermissions(sFile, QFileDevice::ReadOwner));
    page.WithdrawChosen();
    QFile::setPermissions(sFile, was);
    ASSERT_EQ(slMessages.size(), 1);
    EXPECT_TRUE(slMessages[0].startsWith(QStringLiteral("Unable to write to "))) << qPrintable(slMessages[0]);
    EXPECT_EQ(spy.count(), 0);
    EXPECT_EQ(FileBytes(sFile), baFile);
    ASSERT_NE(excl.Find(1), nullptr);
    EXPECT_FALSE(excl.Find(1)->IsWithdrawn());
    EXPECT_EQ(excl.Bytes(), baFile);
    EXPECT_EQ(page.Grid(0)->Cells(TExclusionsFill::ColStatus, RowOf(page, 1)), QStringLiteral("active"));
    EXPECT_TRUE(Enabled(page, "btnExlWithdraw"));
}

// --- data quality -----------------------------------------------------------------

namespace {
QPoint DayPoint(TQualChart& chart, int iDay)
{
    const QRect rc = chart.axisRect()->rect();
    return QPoint(int(chart.xAxis->coordToPixel(iDay)), rc.center().y());
}
} // namespace

TEST_F(TPageTest, QualityCalendar_StepsPerDayAndAClickRebuildsForThatDay)
{
    // East Fence: the 6th without a file, the 7th whole, with a calibration whose
    // level is a number and whose note is not. North Gate has nothing at all.
    const QDate d6 = d7.addDays(-1);
    dir.Write(QStringLiteral("M02"), d7, "per-07-0060.csv", TDayDir::FullDay60(".Time,LAeq"));
    dir.Write(QStringLiteral("M02"), d7, "cal-07.csv", QStringLiteral(".Time,Level,Note\n08:00:00,94.0,ok"));
    Tick(0);
    Tick(1);
    TQualPage page(Env(), nullptr);
    ASSERT_EQ(page.CurrentPage(), 0);
    page.Build(TPageChoice{d6.startOfDay(), d7.startOfDay(), d7, 60});
    ASSERT_EQ(page.Charts().size(), 2);
    auto* east = static_cast<TQualChart*>(page.Charts()[0]);
    auto* north = static_cast<TQualChart*>(page.Charts()[1]);
    auto keys = [](TQualChart* chart, EQualityDay e) {
        QList<double> a;
        const auto* bars = static_cast<QCPBars*>(chart->plottable(int(e)));
        for (auto it = bars->data()->constBegin(); it != bars->data()->constEnd(); ++it)
            a.append(it->key);
        return a;
    };
    EXPECT_EQ(keys(east, EQualityDay::Full), QList<double>{1});
    EXPECT_EQ(keys(east, EQualityDay::NoData), QList<double>{0});
    EXPECT_EQ(keys(north, EQualityDay::NoData), (QList<double>{0, 1}));
    EXPECT_EQ(east->graph(TQualChart::SeriesCals - TQualChart::SeriesAlarms)->dataCount(), 1);
    // The level is drawn under the calendar, the note is not: one line.
    ASSERT_NE(east->CalRect(), nullptr);
    EXPECT_EQ(east->CalRect()->graphs().size(), 1);
    EXPECT_EQ(north->CalRect(), nullptr);
    // Fault guarded: in a stack of many monitors the calibration plot squeezed the
    // calendar to a line; a chart too low for both shows the calendar alone.
    static_cast<void>(east->toPixmap(800, 150));
    EXPECT_FALSE(east->CalRect()->visible());
    EXPECT_FALSE(east->legend->hasItemWithPlottable(east->CalRect()->graphs().at(0)));
    static_cast<void>(east->toPixmap(800, 400));
    EXPECT_TRUE(east->CalRect()->visible());
    EXPECT_TRUE(east->legend->hasItemWithPlottable(east->CalRect()->graphs().at(0)));

    // Fault guarded: the window rebuilds the page for the clicked day, which deletes
    // the chart clicked; done inside the chart's own mouse handler it ends the program.
    QList<QDate> aChosen;
    QObject::connect(&page, &TReportPage::DayChosen, &page, [&](const QDate& d) {
        aChosen.append(d);
        page.Build(TPageChoice{d.startOfDay(), d.startOfDay(), d, 60});
    });
    east->resize(800, 300);
    east->replot();
    QTest::mouseClick(east, Qt::LeftButton, {}, DayPoint(*east, 1));
    EXPECT_TRUE(aChosen.isEmpty()) << "asked for the day while the click was being handled";
    QCoreApplication::processEvents();
    EXPECT_EQ(aChosen, QList<QDate>{d7});
    ASSERT_EQ(page.Charts().size(), 2);
    EXPECT_EQ(keys(static_cast<TQualChart*>(page.Charts()[0]), EQualityDay::Full), QList<double>{0});

    // A drag zooms and picks no day.
    auto* again = static_cast<TQualChart*>(page.Charts()[0]);
    again->resize(800, 300);
    again->replot();
    const QPoint pt = DayPoint(*again, 0);
    QTest::mousePress(again, Qt::LeftButton, {}, pt - QPoint(30, 20));
    QTest::mouseMove(again, pt + QPoint(30, 20));
    QTest::mouseRelease(again, Qt::LeftButton, {}, pt + QPoint(30, 20));
    QCoreApplication::processEvents();
    EXPECT_EQ(aChosen.size(), 1);
}

TEST_F(TPageTest, QualityTable_FilledFromTheSameFiguresAsTheCalendar)
{
    dir.Write(QStringLiteral("M02"), d7, "per-07-0060.csv", TDayDir::FullDay60(".Time,LAeq"));
    Tick(0);
    TQualPage page(Env(), nullptr);
    page.SetCurrentPage(1);
    page.Build(Day(d7));
    const TGridView& tbl = *page.Grid(1);
    EXPECT_EQ(tbl.Cells(0, 0), QStringLiteral("~name~East Fence"));
    // Title, blank, heading, units, then Day, Evening, Night and the whole day.
    EXPECT_EQ(tbl.Cells(TQualityFill::ColExpected, 7), QStringLiteral("24"));
    EXPECT_EQ(tbl.Cells(TQualityFill::ColPresent, 7), QStringLiteral("24"));
    EXPECT_EQ(tbl.Cells(TQualityFill::ColClass, 14), QStringLiteral("full"));
    EXPECT_FALSE(page.Note().isEmpty());
}

// --- statistics ---------------------------------------------------------------------

TEST_F(TPageTest, Statistics_TheChosenParameterRebuildsAndTheCarpetTellsItsCells)
{
    TStatPage page(Env(), nullptr);
    page.resize(1400, 900);
    // LAeq "5f.h": 51.h at hour h; LAF90 52.h.
    dir.Write(QStringLiteral("M02"), d7, "per-07-0060.csv", TDayDir::FullDay60(".Time,LAeq,LAF90"));
    Tick(0);
    EXPECT_EQ(page.Param(), QStringLiteral("LAF90"));
    page.Build(Day(d7));
    const TGridView& back = *page.Grid(0);
    EXPECT_EQ(back.Cells(0, 0), QStringLiteral("~name~East Fence"));
    EXPECT_EQ(back.Cells(0, 2), QStringLiteral("~h~LAF90"));
    EXPECT_EQ(back.Cells(0, 4), QStringLiteral("52-53"));
    // 7:00 to 18:00 are day: twelve periods.
    EXPECT_EQ(back.Cells(TStatFill::ColPart + 2 * rpDay, 4), QStringLiteral("12"));
    EXPECT_TRUE(page.Note().contains(QLatin1String("nearest rank")));

    // Choosing another parameter rebuilds what is on screen; one the file lacks says so.
    page.SetParam(QStringLiteral("LAF95"));
    EXPECT_EQ(back.Cells(0, 2), QStringLiteral("The day files have no LAF95 column"));
    page.SetParam(QStringLiteral("LAeq"));
    EXPECT_EQ(back.Cells(0, 4), QStringLiteral("51-52"));

    page.SetCurrentPage(1);
    page.Build(Day(d7));
    const TGridView& hours = *page.Grid(1);
    // 2024-03-07 is a Thursday: hour 13 of the carpet reads 51.3.
    EXPECT_EQ(hours.Cells(TStatFill::ColCarpet + 3, 4 + 13), QStringLiteral("51.3"));
    EXPECT_EQ(hours.Cells(TStatFill::ColCarpet + 4, 4 + 13), QString());

    page.SetCurrentPage(2);
    page.Build(Day(d7));
    ASSERT_EQ(page.Charts().size(), 1);
    auto* chart = static_cast<TStatChart*>(page.Charts().front());
    chart->resize(1200, 400);
    chart->replot();
    EXPECT_DOUBLE_EQ(chart->CarpetLevel(3, 13), 51.3);
    EXPECT_TRUE(std::isnan(chart->CarpetLevel(4, 13)));
    EXPECT_DOUBLE_EQ(chart->KeyMin(), 51.0);
    EXPECT_DOUBLE_EQ(chart->KeyMax(), 52.0);
    EXPECT_DOUBLE_EQ(chart->Value(TStatChart::SeriesWeekdays, 13), 51.3);
    // The tip of the cell under a point found from the carpet's own axes.
    const QList<QCPAxisRect*> aRects = chart->axisRects();
    ASSERT_EQ(aRects.size(), 3);
    QCPAxisRect* rectCarpet = aRects[2];
    const QPointF pt(rectCarpet->axis(QCPAxis::atBottom)->coordToPixel(13),
                     rectCarpet->axis(QCPAxis::atLeft)->coordToPixel(3));
    EXPECT_EQ(chart->CarpetTip(pt), QStringLiteral("Thu 13:00-14:00  51.3 dB"));
    const QPointF ptFri(pt.x(), rectCarpet->axis(QCPAxis::atLeft)->coordToPixel(4));
    EXPECT_EQ(chart->CarpetTip(ptFri), QStringLiteral("Fri 13:00-14:00  no value"));
    EXPECT_EQ(chart->CarpetTip(QPointF(2, 2)), QString());
    // The distribution of the chosen parameter (LAeq, chosen above): the day's twelve
    // values 51.7 to 51.9 and 51.0 to 51.8 all lie in the class 51-52.
    EXPECT_DOUBLE_EQ(chart->Value(TStatChart::SeriesParts + rpDay, 0), 100.0);
    EXPECT_TRUE(std::isnan(chart->Value(TStatChart::SeriesParts + rpDay, 1)));
}
