#include "pages/excpage.h"
#include "pages/exlpage.h"
#include "pages/sumpage.h"

#include "analysis/exclusions.h"
#include "analysis/exclusionsfill.h"
#include "analysis/limitsfill.h"
#include "analysis/ratingfill.h"
#include "monitors/monitor.h"
#include "settings/cfg.h"
#include "views/grid.h"

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
#include <QTimer>

#include <gtest/gtest.h>

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
