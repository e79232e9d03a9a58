#include "output/export.h"

#include "platform/platform.h"

#include "reportdir.h"

#include <QApplication>
#include <QCheckBox>
#include <QDir>
#include <QFileDialog>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTimer>
#include <QToolButton>

#include <gtest/gtest.h>

#include <algorithm>

namespace {
const QDate d1(2024, 3, 1);
const QDate d2(2024, 3, 2);
} // namespace

class TformExportTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        ASSERT_TRUE(dir.IsValid());
        dir.AddTwoMonitors();
        dir.SelectParams({QStringLiteral("LAeq")});
        dir.WriteLaeqHour(QStringLiteral("7"), d1);
        mons = dir.Monitors();
    }

    // The dialog over both monitors (rows 0 and 1) unless told otherwise; errors are
    // collected instead of shown.
    std::unique_ptr<TformExport> Make(std::vector<int> anRows = {0, 1},
                                      std::function<void(const QString&)> fnHelp = {},
                                      std::function<bool()> fnPrefs = {})
    {
        auto dlg = std::make_unique<TformExport>(dir.Cfg(), *mons, std::move(anRows), d1, d2,
                                                 std::move(fnHelp), std::move(fnPrefs), nullptr);
        dlg->SetErrorFn([this](const QString& s) { slErrors << s; });
        return dlg;
    }

    TReportDir dir;
    std::unique_ptr<TTQMonitors> mons;
    QStringList slErrors;
};

// --- creation -------------------------------------------------------------------------------

TEST_F(TformExportTest, Create_FixedSizeCaptionsAndIdleState)
{
    dir.Cfg().SetExportDir(dir.HtmlDir());
    const auto dlg = Make();
    EXPECT_EQ(dlg->windowTitle(), QStringLiteral("Create HTML Reports"));
    EXPECT_EQ(dlg->size(), QSize(457, 490));
    EXPECT_EQ(dlg->minimumSize(), dlg->maximumSize());
    EXPECT_EQ(dlg->editDir->text(), dir.HtmlDir());
    for (QCheckBox* chk : {dlg->chkPerChart, dlg->chkPerTbl, dlg->chkAlmChart, dlg->chkAlmTbl,
                           dlg->chkAlmList, dlg->chkPrfChart, dlg->chkCalList, dlg->chkSummary})
        EXPECT_FALSE(chk->isChecked());
    EXPECT_EQ(dlg->btnExport->text(), QStringLiteral("Create Report"));
    EXPECT_TRUE(dlg->btnExport->isDefault());
    EXPECT_EQ(dlg->btnCancel->text(), QStringLiteral("Close"));
    EXPECT_TRUE(dlg->lblStat->isHidden());
    EXPECT_EQ(dlg->State(), TformExport::EState::Idle);
    // Without callbacks help and preferences cannot be offered.
    EXPECT_FALSE(dlg->btnHelp->isEnabled());
    EXPECT_FALSE(dlg->btnCfg->isEnabled());
}

TEST_F(TformExportTest, Create_EmptyFolderSettingGetsTheDefaultFolder)
{
    ASSERT_TRUE(dir.Cfg().ExportDir().isEmpty());
    const auto dlg = Make();
    const QString sDesktop = TPlatform::DesktopPath();
    const QString sExpected = sDesktop.isEmpty() ? dir.Cfg().DataPath() + QStringLiteral("export/")
                                                 : sDesktop + QStringLiteral("/Tarvik Reports/");
    EXPECT_EQ(dir.Cfg().ExportDir(), sExpected);
    EXPECT_EQ(dlg->editDir->text(), sExpected);
}

TEST_F(TformExportTest, CalibrationProbe_OfferedOnlyForATickedMonitorInTheRange)
{
    EXPECT_TRUE(Make()->panelCals->isHidden());
    dir.WriteCal(QStringLiteral("8"), d2, {QStringLiteral("Time"), QStringLiteral("06:00:00")});
    EXPECT_FALSE(Make()->panelCals->isHidden());
    EXPECT_TRUE(Make({0})->panelCals->isHidden()); // monitor 8 not ticked
    dir.WriteCal(QStringLiteral("7"), d2.addDays(1), {QStringLiteral("Time"), QStringLiteral("06:00:00")});
    EXPECT_TRUE(Make({0})->panelCals->isHidden()); // after the range
}

TEST_F(TformExportTest, SummaryBox_OwnRowInTheKindsPanelClearOfTheOthers)
{
    const auto dlg = Make();
    dlg->show();
    ASSERT_EQ(dlg->findChild<QCheckBox*>(QStringLiteral("chkSummary")), dlg->chkSummary);
    EXPECT_EQ(dlg->chkSummary->text(), QStringLiteral("Summary"));
    // In the panel a run disables, below the profile row, and not cut by the dialog.
    EXPECT_TRUE(dlg->panelControls->isAncestorOf(dlg->chkSummary));
    const auto Rect = [&dlg](QWidget* w) { return QRect(w->mapTo(dlg.get(), QPoint(0, 0)), w->size()); };
    const QRect rcSum = Rect(dlg->chkSummary);
    EXPECT_GE(rcSum.top(), Rect(dlg->chkPrfChart).bottom());
    EXPECT_EQ(rcSum.left(), Rect(dlg->chkPrfChart).left());
    EXPECT_TRUE(dlg->rect().contains(rcSum));
    for (QWidget* w : std::initializer_list<QWidget*>{dlg->chkCalList, dlg->lblStat, dlg->btnExport})
        EXPECT_FALSE(Rect(w).intersects(rcSum));
    const QList<QLabel*> aLabels = dlg->panelControls->findChildren<QLabel*>();
    const auto itGroup = std::find_if(aLabels.begin(), aLabels.end(), [](const QLabel* lbl) {
        return lbl->text() == QLatin1String("Daily Rating Levels");
    });
    ASSERT_NE(itGroup, aLabels.end());
    EXPECT_LE(Rect(*itGroup).right(), rcSum.left());
}

// The "Noise Events" and "Noise Limits" rows used to share a grid row: their captions
// were drawn over each other ("Noise Eimits"), and so were their boxes. Every caption
// and box now has a place of its own, whole, inside the dialog, also with the
// calibrations row and the progress line showing.
TEST_F(TformExportTest, KindsPanel_EveryCaptionAndBoxHasItsOwnPlace)
{
    dir.WriteCal(QStringLiteral("8"), d2, {QStringLiteral("Time"), QStringLiteral("06:00:00")});
    const auto dlg = Make();
    dlg->show();
    ASSERT_FALSE(dlg->panelCals->isHidden());
    dlg->lblStat->show();
    QCoreApplication::processEvents();
    const auto Rect = [&dlg](QWidget* w) { return QRect(w->mapTo(dlg.get(), QPoint(0, 0)), w->size()); };
    QList<QWidget*> aParts;
    QStringList slCaptions;
    for (QWidget* panel : {dlg->panelControls, dlg->panelCals})
        for (QWidget* w : panel->findChildren<QWidget*>())
            if (auto* lbl = qobject_cast<QLabel*>(w); lbl && lbl->font().bold()) {
                aParts.append(lbl);
                slCaptions.append(lbl->text());
            } else if (qobject_cast<QCheckBox*>(w)) {
                aParts.append(w);
            }
    // Eight groups and the folder caption; eleven boxes.
    EXPECT_EQ(slCaptions.size(), 9) << slCaptions.join(u',').toStdString();
    EXPECT_EQ(aParts.size(), 9 + 11);
    for (QWidget* w : std::initializer_list<QWidget*>{dlg->lblStat, dlg->btnExport, dlg->btnHelp, dlg->btnCancel})
        aParts.append(w);
    for (qsizetype i = 0; i < aParts.size(); ++i) {
        const QRect rc = Rect(aParts[i]);
        const QString sName = QString::fromLatin1(aParts[i]->metaObject()->className()) + u' ' +
                              aParts[i]->property("text").toString();
        EXPECT_TRUE(dlg->rect().contains(rc)) << sName.toStdString();
        EXPECT_GE(rc.height(), aParts[i]->minimumSizeHint().height()) << sName.toStdString();
        for (qsizetype j = i + 1; j < aParts.size(); ++j)
            EXPECT_FALSE(rc.intersects(Rect(aParts[j])))
                << sName.toStdString() << " / " << aParts[j]->property("text").toString().toStdString();
    }
}

// --- buttons ------------------------------------------------------------------------------------

TEST_F(TformExportTest, HelpAndPreferencesButtons_CallTheirCallbacks)
{
    QString sPage;
    int nPrefs = 0;
    const auto dlg = Make(
        {0}, [&sPage](const QString& s) { sPage = s; },
        [&nPrefs] {
            ++nPrefs;
            return true;
        });
    ASSERT_TRUE(dlg->btnHelp->isEnabled());
    dlg->btnHelp->click();
    EXPECT_EQ(sPage, QStringLiteral("output/html.html"));
    dlg->btnCfg->click();
    EXPECT_EQ(nPrefs, 1);
}

TEST_F(TformExportTest, FolderButton_StoresTheChosenFolderAndCancelChangesNothing)
{
    dir.Cfg().SetExportDir(dir.HtmlDir());
    const auto dlg = Make();
    dlg->SetFolderFn([] { return QString(); });
    dlg->btnDir->click();
    EXPECT_EQ(dlg->editDir->text(), dir.HtmlDir());
    const QString sChosen = dir.Root() + QStringLiteral("chosen");
    dlg->SetFolderFn([&sChosen] { return sChosen; });
    dlg->btnDir->click();
    EXPECT_EQ(dlg->editDir->text(), sChosen);
    EXPECT_EQ(dir.Cfg().ExportDir(), sChosen);
}

// The chooser used to open with no folder, at the program's working folder, where its
// "Create New Folder" button is greyed out when the user may not write there. It opens
// at the reports folder, or the nearest folder above it that exists.
TEST_F(TformExportTest, FolderChooser_OpensAtTheReportsFolderWithANewFolderButton)
{
    const QString sRoot = QDir(dir.Root()).absolutePath();
    dir.Cfg().SetExportDir(dir.HtmlDir());
    const auto dlg = Make();
    dlg->editDir->setText(sRoot + QStringLiteral("/not/yet/made/"));
    EXPECT_EQ(dlg->FolderToBrowse(), sRoot);
    dlg->editDir->setText(QStringLiteral("relative/name"));
    EXPECT_EQ(dlg->FolderToBrowse(), QDir::homePath());
    dlg->editDir->setText(sRoot + QStringLiteral("/not/yet/made/"));

    bool bSeen = false;
    QTimer::singleShot(0, dlg.get(), [&] {
        QWidget* w = QApplication::activeModalWidget();
        auto* fd = qobject_cast<QFileDialog*>(w);
        if (!fd) {
            if (w)
                w->close();
            return;
        }
        bSeen = true;
        EXPECT_EQ(fd->windowTitle(), QStringLiteral("Export HTML to"));
        EXPECT_EQ(QDir(fd->directory()).absolutePath(), sRoot);
        // Qt's own dialog (the offscreen platform has no native one) names its button so.
        auto* btnNew = fd->findChild<QToolButton*>(QStringLiteral("newFolderButton"));
        EXPECT_NE(btnNew, nullptr);
        EXPECT_TRUE(btnNew && btnNew->isVisible() && btnNew->isEnabled());
        fd->reject();
    });
    dlg->btnDir->click();
    EXPECT_TRUE(bSeen);
    EXPECT_EQ(dlg->editDir->text(), sRoot + QStringLiteral("/not/yet/made/")) << "Cancel changes nothing";
}

// --- a run ---------------------------------------------------------------------------------------

TEST_F(TformExportTest, Export_EmptyOrUncreatableFolderStaysIdleWithItsMessage)
{
    const auto dlg = Make();
    dlg->editDir->clear();
    dlg->btnExport->click();
    TReportDir::Write(dir.Root() + QStringLiteral("file"), {QStringLiteral("x")});
    dlg->editDir->setText(dir.Root() + QStringLiteral("file/sub"));
    dlg->btnExport->click();
    EXPECT_EQ(slErrors, QStringList({QStringLiteral("Enter a folder to export the measurements to"),
                                     QStringLiteral("Failed to create report folder ") +
                                         QDir::toNativeSeparators(dir.Root() + QStringLiteral("file/sub")) +
                                         QStringLiteral(": Not a directory")}));
    EXPECT_EQ(dlg->editDir->text(), dir.Root() + QStringLiteral("file/sub/"));
    EXPECT_EQ(dlg->State(), TformExport::EState::Idle);
    EXPECT_TRUE(dlg->btnExport->isEnabled());
}

TEST_F(TformExportTest, Export_NoOptionStillWritesTheIndexStoresTheFolderAndCloses)
{
    const QString sTyped = dir.Root() + QStringLiteral("reports");
    const auto dlg = Make();
    dlg->editDir->setText(sTyped);
    dlg->btnExport->click();
    EXPECT_TRUE(slErrors.isEmpty());
    EXPECT_EQ(dlg->result(), QDialog::Accepted);
    EXPECT_EQ(dlg->editDir->text(), sTyped + QLatin1Char('/'));
    EXPECT_EQ(dir.Cfg().ExportDir(), sTyped + QLatin1Char('/'));
    EXPECT_EQ(TReportDir::Files(sTyped), QStringList{QStringLiteral("Tarvik Reports.html")});
}

TEST_F(TformExportTest, Export_RunningThenCancellingThenClosedWithoutIndex)
{
    const auto dlg = Make({0, 1}, [](const QString&) {});
    dlg->editDir->setText(dir.HtmlDir());
    dlg->chkPerTbl->setChecked(true);
    dlg->chkAlmList->setChecked(true);
    bool bSeen = false;
    QTimer::singleShot(0, dlg.get(), [&] {
        bSeen = true;
        EXPECT_EQ(dlg->State(), TformExport::EState::Running);
        EXPECT_FALSE(dlg->panelControls->isEnabled());
        EXPECT_FALSE(dlg->btnExport->isEnabled());
        EXPECT_TRUE(dlg->btnHelp->isEnabled());
        EXPECT_TRUE(dlg->chkCalList->isEnabled());
        EXPECT_EQ(dlg->btnCancel->text(), QStringLiteral("Cancel"));
        // The status line names monitors: text, never markup.
        EXPECT_EQ(dlg->lblStat->textFormat(), Qt::PlainText);
        dlg->btnCancel->click();
        EXPECT_EQ(dlg->State(), TformExport::EState::Cancelling);
        EXPECT_EQ(dlg->btnCancel->text(), QStringLiteral("Cancelling"));
        EXPECT_FALSE(dlg->btnCancel->isEnabled());
    });
    dlg->btnExport->click();
    EXPECT_TRUE(bSeen);
    EXPECT_EQ(dlg->result(), QDialog::Accepted);
    EXPECT_TRUE(dlg->lblStat->isHidden());
    EXPECT_EQ(TReportDir::Files(dir.HtmlDir()),
              QStringList{QStringLiteral("periodic/per_7_20240301_20240302_0060.html")});
}

TEST_F(TformExportTest, Export_SummaryBoxReachesTheRun)
{
    const auto dlg = Make({0});
    dlg->editDir->setText(dir.HtmlDir());
    dlg->chkSummary->setChecked(true);
    dlg->btnExport->click();
    EXPECT_TRUE(slErrors.isEmpty());
    EXPECT_EQ(dlg->result(), QDialog::Accepted);
    const QStringList slFiles = TReportDir::Files(dir.HtmlDir());
    EXPECT_TRUE(slFiles.contains(QStringLiteral("summaries/sum_7_20240301_20240302_0060.html")));
    EXPECT_TRUE(slFiles.contains(QStringLiteral("summaries/charts/sum_7_20240301_20240302_0060.bmp")));
    EXPECT_EQ(slFiles.filter(QStringLiteral("periodic")).size(), 0);
}

TEST_F(TformExportTest, Export_UnwritablePageShowsItsNameAndReturnsToIdle)
{
    const QString sBlocked = dir.HtmlDir() + QStringLiteral("periodic/per_8_20240301_20240302_0060.html");
    ASSERT_TRUE(QDir().mkpath(sBlocked));
    const auto dlg = Make();
    dlg->editDir->setText(dir.HtmlDir());
    dlg->chkPerTbl->setChecked(true);
    dlg->btnExport->click();
    ASSERT_EQ(slErrors.size(), 1);
    EXPECT_TRUE(slErrors[0].contains(QDir::toNativeSeparators(sBlocked)));
    EXPECT_EQ(dlg->State(), TformExport::EState::Idle);
    EXPECT_TRUE(dlg->panelControls->isEnabled());
    EXPECT_TRUE(dlg->btnExport->isEnabled());
    EXPECT_TRUE(dlg->btnCancel->isEnabled());
    EXPECT_EQ(dlg->btnCancel->text(), QStringLiteral("Close"));
    EXPECT_TRUE(dlg->lblStat->isHidden());
    EXPECT_NE(dlg->result(), QDialog::Accepted);
}
