#include "analysis/eventsfill.h"
#include "analysis/exclusions.h"
#include "nonplainfile.h"
#include "reports/markup.h"
#include "views/pertbl.h"
#include "app/application.h"
#include "app/datepicker.h"
#include "app/main.h"
#include "views/scrollbox.h"
#include "dialogs/help.h"
#include "pages/reportpage.h"
#include "platform/datefmt.h"
#include "settings/cfg.h"
#include "views/chartbase.h"
#include "views/eventtbl.h"
#include "views/grid.h"

#include <QAction>
#include <QApplication>
#include <QCalendarWidget>
#include <QCheckBox>
#include <QClipboard>
#include <QDateEdit>
#include <QDialog>
#include <QDir>
#include <QDirIterator>
#include <QRegularExpression>
#include <QFile>
#include <QFileInfo>
#include <QGuiApplication>
#include <QImage>
#include <QLabel>
#include <QItemSelectionModel>
#include <QLineEdit>
#include <QListWidget>
#include <QMessageBox>
#include <QTimer>
#include <QMenu>
#include <QProcess>
#include <QPushButton>
#include <QScreen>
#include <QScrollBar>
#include <QSet>
#include <QSettings>
#include <QStyle>
#include <QStyleOptionViewItem>
#include <QTabWidget>
#include <QTemporaryDir>
#include <QTest>
#include <QTextBrowser>
#include <QWheelEvent>

#include <gtest/gtest.h>

#include <chrono>
#include <condition_variable>
#include <cstdio>
#include <cstdlib>
#include <memory>
#include <mutex>
#include <thread>

#include <sys/stat.h>

namespace {

// A shared application-data folder of the test's own, with a data folder the
// monitors and day files are written into by hand.
class FormMainTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        ASSERT_TRUE(dir.isValid());
        qputenv("TARVIK_COMMON_APPDATA", dir.path().toLocal8Bit());
        sSettingsDir = dir.path() + QStringLiteral("/Kestrom/Tarvik-SV/");
        sData = sSettingsDir + QStringLiteral("data/");
        QDir().mkpath(sData);
    }

    void WriteText(const QString& sPath, const QByteArray& ba)
    {
        QDir().mkpath(QFileInfo(sPath).absolutePath());
        QFile f(sPath);
        ASSERT_TRUE(f.open(QIODevice::WriteOnly));
        f.write(ba);
    }

    // The file's last-write time (Qt sets file times only through an open file).
    static void SetModified(const QString& sPath, const QDateTime& dt)
    {
        QFile f(sPath);
        ASSERT_TRUE(f.open(QIODevice::ReadOnly));
        ASSERT_TRUE(f.setFileTime(dt, QFileDevice::FileModificationTime));
    }

    void WriteSettings(const QByteArray& ba) { WriteText(sSettingsDir + QStringLiteral("rp_settings.ini"), ba); }

    QByteArray Settings()
    {
        QFile f(sSettingsDir + QStringLiteral("rp_settings.ini"));
        return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
    }

    void AddMonitor(const QString& sID, const QString& sName)
    {
        WriteText(sData + sID + QStringLiteral("/term.cfg"), "[head]\r\nname=" + sName.toUtf8() + "\r\n");
    }

    QString DayPath(const QString& sID, const QDate& d, const QString& sFile)
    {
        return sData + sID + QLatin1Char('/') + d.toString(QStringLiteral("yyyy-MM")) + QLatin1Char('/') + sFile;
    }

    // A 60-minute periodic day whose LAeq runs from dLow to dHigh.
    void WritePerDay(const QString& sID, const QDate& d, double dLow, double dHigh)
    {
        QByteArray ba = ".Time,LAeq\r\n";
        for (int h = 0; h < 24; ++h) {
            const double dVal = dLow + (dHigh - dLow) * h / 23.0;
            ba += QTime(h, 0).toString(QStringLiteral("HH:mm:ss")).toLatin1() + ',' + QByteArray::number(dVal, 'f', 1) +
                  "\r\n";
        }
        WriteText(DayPath(sID, d, QStringLiteral("per-%1-0060.csv").arg(d.day(), 2, 10, QLatin1Char('0'))), ba);
    }

    std::unique_ptr<TformMain> Show()
    {
        auto form = std::make_unique<TformMain>();
        form->SetClock([this] { return dtNow; });
        form->show();
        return form;
    }

    static QStringList Ticked(const TformMain& form)
    {
        QStringList sl;
        for (int i = 0; i < form.chklstMon->count(); ++i)
            if (form.chklstMon->item(i)->checkState() == Qt::Checked)
                sl.append(form.chklstMon->item(i)->text());
        return sl;
    }

    static void ClickName(TformMain& form, int iRow)
    {
        const QRect rc = form.chklstMon->visualItemRect(form.chklstMon->item(iRow));
        QTest::mouseClick(form.chklstMon->viewport(), Qt::LeftButton, {}, rc.center() + QPoint(rc.width() / 4, 0));
    }

    static void ClickBox(TformMain& form, int iRow)
    {
        QListWidget* list = form.chklstMon;
        QStyleOptionViewItem opt;
        opt.initFrom(list);
        opt.rect = list->visualItemRect(list->item(iRow));
        opt.features |= QStyleOptionViewItem::HasCheckIndicator;
        const QRect rcBox = list->style()->subElementRect(QStyle::SE_ItemViewItemCheckIndicator, &opt, list);
        QTest::mouseClick(list->viewport(), Qt::LeftButton, {}, rcBox.center());
        QCoreApplication::processEvents();
    }

    QTemporaryDir dir;
    QString sSettingsDir;
    QString sData;
    // Wednesday 2024-05-15, noon.
    QDateTime dtNow{QDate(2024, 5, 15), QTime(12, 0)};
};

} // namespace

// Ends the test program when the guarded steps do not finish in time: a hang must fail
// the suite, not block it.
class TWatchdog final
{
public:
    explicit TWatchdog(std::chrono::seconds secs, const char* pszWhat)
        : thr([this, secs, pszWhat] {
              std::unique_lock<std::mutex> lock(mtx);
              if (!cv.wait_for(lock, secs, [this] { return bDone; })) {
                  std::fprintf(stderr, "Hang: %s did not finish within %d s\n", pszWhat, int(secs.count()));
                  std::_Exit(EXIT_FAILURE);
              }
          })
    {
    }
    ~TWatchdog()
    {
        {
            const std::lock_guard<std::mutex> lock(mtx);
            bDone = true;
        }
        cv.notify_one();
        thr.join();
    }
    Q_DISABLE_COPY_MOVE(TWatchdog)

private:
    std::mutex mtx;
    std::condition_variable cv;
    bool bDone = false;
    std::thread thr;
};

// ---- start-up and closing ----

// A stored preset number that names no preset used to leave the dates invalid, and the
// calibration day walk of the first build never ended.
TEST_F(FormMainTest, FormShow_PresetNumberOutsideTheListChangesNoDatesAndStarts)
{
    AddMonitor(QStringLiteral("M1"), QStringLiteral("North Gate"));
    for (const char* pszPreset : {"8", "-1"}) {
        SCOPED_TRACE(pszPreset);
        WriteSettings(QByteArray("[report]\r\nmonitorsel=M1\r\nperpreset=") + pszPreset + "\r\n");
        std::unique_ptr<TformMain> form;
        {
            const TWatchdog watch(std::chrono::seconds(30), "showing the window");
            form = Show();
        }
        EXPECT_EQ(form->StartValue(), QDateTime(dtNow.date(), QTime(0, 0)));
        EXPECT_EQ(form->EndValue(), form->StartValue());
        EXPECT_FALSE(form->chkEndDate->isChecked());
        EXPECT_EQ(form->btnPresets->text(), QStringLiteral("Presets"));
        EXPECT_EQ(form->LastUpdate(), dtNow) << "the first report was built";

        // The refresh timer re-applies the number: still no change, and no hang.
        dtNow = dtNow.addDays(1);
        {
            const TWatchdog watch(std::chrono::seconds(30), "the refresh timer");
            form->timerUpdateTimer();
        }
        EXPECT_EQ(form->StartValue().date(), dtNow.date().addDays(-1));
        dtNow = dtNow.addDays(-1);
    }
}

// The built program, run as a scheduler runs it: no display, no session, output to a
// file rather than a terminal.
namespace {
struct TProgramRun
{
    int nExit = -1;
    QString sOut;
    QString sErr;
};

TProgramRun RunProgram(const QStringList& args, const QString& sAppData)
{
    QProcess proc;
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    for (const char* psz : {"DISPLAY", "WAYLAND_DISPLAY", "XDG_RUNTIME_DIR", "QT_QPA_PLATFORM"})
        env.remove(QString::fromLatin1(psz));
    env.insert(QStringLiteral("TARVIK_COMMON_APPDATA"), sAppData);
    proc.setProcessEnvironment(env);
    proc.start(QCoreApplication::applicationDirPath() + QStringLiteral("/tarvik-reporter"), args);
    TProgramRun run;
    // A window that opened would never end by itself.
    if (!proc.waitForFinished(60000)) {
        proc.kill();
        proc.waitForFinished();
        return run;
    }
    run.nExit = proc.exitStatus() == QProcess::NormalExit ? proc.exitCode() : -2;
    run.sOut = QString::fromLocal8Bit(proc.readAllStandardOutput());
    run.sErr = QString::fromLocal8Bit(proc.readAllStandardError());
    return run;
}
} // namespace

// A mistyped option or a stray word used to open the window, silently, and a cron job
// waited on it until killed. Every argument is now the command line's: anything it
// does not know gets the usage and exit status 2, Qt's own options included.
TEST_F(FormMainTest, Program_AnyWordThatIsNoOptionGetsTheUsageNotTheWindow)
{
    const std::vector<QStringList> aBad = {{QStringLiteral("--sumary")},
                                           {QStringLiteral("summary")},
                                           {QStringLiteral("--data"), sData},
                                           {QStringLiteral("-style"), QStringLiteral("Fusion")},
                                           {QStringLiteral("-platform"), QStringLiteral("offscreen")}};
    for (const QStringList& args : aBad) {
        const TProgramRun run = RunProgram(args, dir.path());
        EXPECT_EQ(run.nExit, 2) << qPrintable(args.join(u' '));
        EXPECT_TRUE(run.sErr.startsWith(QLatin1String("tarvik-reporter: "))) << qPrintable(run.sErr);
        EXPECT_TRUE(run.sErr.contains(QLatin1String("\nUsage: tarvik-reporter"))) << qPrintable(run.sErr);
        EXPECT_TRUE(run.sOut.isEmpty());
    }
    EXPECT_TRUE(RunProgram({QStringLiteral("--sumary")}, dir.path())
                    .sErr.startsWith(QLatin1String("tarvik-reporter: unknown option --sumary\n")));
}

// Under cron: a run that went well prints nothing at all (the progress lines only on a
// terminal or with --progress, and never Qt's note that XDG_RUNTIME_DIR is not set),
// so that no mail is sent; an export without a monitor fails loudly.
TEST_F(FormMainTest, Program_ScheduledExportQuietWhenWellLoudWhenNot)
{
    AddMonitor(QStringLiteral("B01"), QStringLiteral("North Gate"));
    const QString sHtml = dir.path() + QStringLiteral("/html");
    const QStringList slExport{QStringLiteral("--export"), sHtml, QStringLiteral("--kinds"), QStringLiteral("cal"),
                               QStringLiteral("--from"), QStringLiteral("2024-05-01")};
    TProgramRun run = RunProgram(slExport + QStringList{QStringLiteral("--monitors"), QStringLiteral("all")},
                                 dir.path());
    EXPECT_EQ(run.nExit, 0) << qPrintable(run.sErr);
    EXPECT_EQ(run.sOut, QString());
    EXPECT_EQ(run.sErr, QString());
    EXPECT_TRUE(QFileInfo::exists(sHtml + QStringLiteral("/Tarvik Reports.html")));

    run = RunProgram(slExport + QStringList{QStringLiteral("--monitors"), QStringLiteral("all"),
                                            QStringLiteral("--progress")},
                     dir.path());
    EXPECT_EQ(run.nExit, 0);
    EXPECT_EQ(run.sOut, QStringLiteral("Calibration reports: North Gate\n"));
    EXPECT_EQ(run.sErr, QString());

    // Nothing ticked in the window and no --monitors: used to exit 0 with an empty index.
    run = RunProgram(slExport, dir.path());
    EXPECT_EQ(run.nExit, 1);
    EXPECT_TRUE(run.sErr.startsWith(QLatin1String("No monitor chosen"))) << qPrintable(run.sErr);
    EXPECT_EQ(run.sOut, QString());
}

// Naming the program used to set a display name, which the platform appends to every
// window caption ("Create HTML Reports — Tarvik Reporter").
TEST(TApplication, SetNames_LeavesEveryCaptionAsTheWindowsOwn)
{
    TApplication::SetNames();
    const QString sName = QCoreApplication::applicationName();
    EXPECT_EQ(sName, QStringLiteral("Tarvik Reporter"));
    EXPECT_EQ(QCoreApplication::applicationVersion(), QStringLiteral("1.3.0"));
    // A display name that was never set follows the application name.
    QCoreApplication::setApplicationName(QStringLiteral("probe"));
    EXPECT_EQ(QGuiApplication::applicationDisplayName(), QStringLiteral("probe"));
    QCoreApplication::setApplicationName(sName);
}

TEST_F(FormMainTest, FirstRun_PresetTodayNothingTickedDesignedSize)
{
    AddMonitor(QStringLiteral("B01"), QStringLiteral("North Gate"));
    AddMonitor(QStringLiteral("A07"), QStringLiteral("East Fence"));
    auto form = Show();
    EXPECT_EQ(form->btnPresets->text(), QStringLiteral("Today"));
    EXPECT_EQ(form->StartValue(), QDateTime(QDate(2024, 5, 15), QTime(0, 0)));
    EXPECT_FALSE(form->chkEndDate->isChecked());
    EXPECT_FALSE(form->dtpickEnd->isEnabled());
    ASSERT_EQ(form->chklstMon->count(), 2);
    EXPECT_EQ(form->chklstMon->item(0)->text(), QStringLiteral("East Fence"));
    EXPECT_TRUE(Ticked(*form).isEmpty());
    EXPECT_EQ(form->centralWidget()->width(), 946);
    EXPECT_EQ(form->lblStatus->text(), QStringLiteral("Auto refresh: on  |  Y axis: auto"));
}

TEST_F(FormMainTest, FormShow_StoredPositionPulledIntoWorkArea)
{
    WriteSettings("[window]\r\nx=-400\r\ny=-300\r\ncx=700\r\ncy=500\r\n");
    auto form = Show();
    const QRect rcWork = form->screen()->availableGeometry();
    EXPECT_EQ(form->pos(), rcWork.topLeft());
    EXPECT_EQ(form->size(), QSize(700, 500));
}

// A stored size of 100000 x 100000 used to make a window as large as the window system
// allows (32767 x 32767), whose chart images took memory until the program was killed.
TEST_F(FormMainTest, FormShow_StoredSizeHeldBetweenAMinimumAndTheWorkArea)
{
    const QRect rcWork = QGuiApplication::primaryScreen()->availableGeometry();
    ASSERT_GE(rcWork.width(), 480);
    ASSERT_GE(rcWork.height(), 320);
    {
        WriteSettings("[window]\r\nx=0\r\ny=0\r\ncx=100000\r\ncy=100000\r\n");
        auto form = Show();
        EXPECT_EQ(form->size(), rcWork.size());
        EXPECT_EQ(form->pos(), rcWork.topLeft());
    }
    {
        // The window's own minimum, from its controls, may be larger still.
        WriteSettings("[window]\r\nx=10\r\ny=10\r\ncx=5\r\ncy=-7\r\n");
        auto form = Show();
        EXPECT_EQ(form->size(), QSize(480, 320).expandedTo(form->minimumSize()));
        EXPECT_GE(form->centralWidget()->height(), 200);
    }
    {
        // Beyond the right and bottom edges: moved back so that the whole window shows.
        // The window's minimum grows with its tabs, so it may be wider than asked.
        WriteSettings("[window]\r\nx=30000\r\ny=30000\r\ncx=600\r\ncy=400\r\n");
        auto form = Show();
        const QSize sz = QSize(600, 400).expandedTo(form->minimumSize());
        EXPECT_EQ(form->size(), sz);
        EXPECT_EQ(form->pos(), QPoint(rcWork.right() + 1 - sz.width(), rcWork.bottom() + 1 - sz.height()));
    }
}

// A settings file that cannot be read used to leave the window empty: storing the
// default data folder failed on the way, so the monitor list stayed empty, the pickers
// read "Jan 01, 2000" and no report was built. The window now starts on the defaults,
// as the command line does, and names the file it cannot write on the status line.
TEST_F(FormMainTest, FormShow_UnreadableSettingsFileStartsOnTheDefaults)
{
    AddMonitor(QStringLiteral("B01"), QStringLiteral("North Gate"));
    AddMonitor(QStringLiteral("A07"), QStringLiteral("East Fence"));
    const QString sIni = sSettingsDir + QStringLiteral("rp_settings.ini");
    for (const char* pszKind : {"oversized", "pipe"}) {
        SCOPED_TRACE(pszKind);
        QFile::remove(sIni);
        if (QByteArray(pszKind) == "pipe") {
            ASSERT_EQ(mkfifo(QFile::encodeName(sIni).constData(), 0600), 0);
        } else {
            // Larger than any settings file is read: the keys in it do not count.
            WriteSettings("[report]\r\nmonitorsel=B01\r\nperpreset=4\r\n" + QByteArray(2 * 1024 * 1024, ';'));
        }
        std::unique_ptr<TformMain> form;
        {
            const TWatchdog watch(std::chrono::seconds(30), "showing the window");
            form = Show();
        }
        ASSERT_EQ(form->chklstMon->count(), 2);
        EXPECT_EQ(form->chklstMon->item(1)->text(), QStringLiteral("North Gate"));
        EXPECT_TRUE(Ticked(*form).isEmpty());
        EXPECT_EQ(form->btnPresets->text(), QStringLiteral("Today"));
        EXPECT_EQ(form->StartValue(), QDateTime(dtNow.date(), QTime(0, 0)));
        EXPECT_EQ(form->dtpickStart->date(), dtNow.date());
        EXPECT_EQ(form->LastUpdate(), dtNow) << "the first report was built";
        EXPECT_EQ(form->lblStatus->text(), QStringLiteral("Unable to write to ") + QDir::toNativeSeparators(sIni));
    }
    QFile::remove(sIni);
}

TEST_F(FormMainTest, FormShow_StoredTicksRestored)
{
    AddMonitor(QStringLiteral("B01"), QStringLiteral("North Gate"));
    AddMonitor(QStringLiteral("A07"), QStringLiteral("East Fence"));
    WriteSettings("[report]\r\nmonitorsel=b01\r\n");
    auto form = Show();
    EXPECT_EQ(Ticked(*form), QStringList{QStringLiteral("North Gate")});
}

TEST_F(FormMainTest, Close_MinimisedStoresNeitherGeometryNorState)
{
    WriteSettings("[window]\r\nx=10\r\ny=20\r\ncx=700\r\ncy=500\r\nstate=0\r\n");
    auto form = Show();
    form->setWindowState(Qt::WindowMinimized);
    form->close();
    TCfg cfg;
    EXPECT_EQ(cfg.x(), 10);
    EXPECT_EQ(cfg.cx(), 700);
    EXPECT_EQ(cfg.WinState(), 0);
}

TEST_F(FormMainTest, Close_MaximisedStoresStateButNotGeometry)
{
    AddMonitor(QStringLiteral("B01"), QStringLiteral("North Gate"));
    WriteSettings("[window]\r\nx=10\r\ny=20\r\ncx=700\r\ncy=500\r\n");
    auto form = Show();
    form->chklstMon->item(0)->setCheckState(Qt::Checked);
    QCoreApplication::processEvents();
    form->setWindowState(Qt::WindowMaximized);
    form->close();
    TCfg cfg;
    EXPECT_EQ(cfg.WinState(), 2);
    EXPECT_EQ(cfg.x(), 10);
    EXPECT_EQ(cfg.cy(), 500);
    EXPECT_TRUE(cfg.GetMonitorSel(QStringLiteral("B01")));
}

// ---- the monitor list ----

TEST_F(FormMainTest, MonitorList_ClickingANameTicksOnlyItAndTheBoxAddsOne)
{
    AddMonitor(QStringLiteral("M1"), QStringLiteral("A one"));
    AddMonitor(QStringLiteral("M2"), QStringLiteral("B two"));
    AddMonitor(QStringLiteral("M3"), QStringLiteral("C three"));
    WriteSettings("[report]\r\nmonitorsel=M1,M2\r\n");
    auto form = Show();
    ASSERT_EQ(Ticked(*form), (QStringList{QStringLiteral("A one"), QStringLiteral("B two")}));

    ClickName(*form, 2);
    EXPECT_EQ(Ticked(*form), QStringList{QStringLiteral("C three")});

    ClickBox(*form, 0);
    EXPECT_EQ(Ticked(*form), (QStringList{QStringLiteral("A one"), QStringLiteral("C three")}));
}

// ---- presets and dates ----

TEST_F(FormMainTest, Presets_ChosenFromTheMenuAreStoredAndMoveTheDates)
{
    auto form = Show();
    QAction* actWeek = form->menuPresets->findChild<QAction*>(QStringLiteral("menuPreThisWeek"));
    ASSERT_NE(actWeek, nullptr);
    actWeek->trigger();
    EXPECT_EQ(form->StartValue(), QDateTime(QDate(2024, 5, 13), QTime(0, 0)));
    EXPECT_EQ(form->EndValue(), QDateTime(QDate(2024, 5, 19), QTime(23, 59, 59, 999)));
    EXPECT_TRUE(form->chkEndDate->isChecked());
    EXPECT_TRUE(form->dtpickEnd->isEnabled());
    EXPECT_EQ(form->Cfg().RepPreset(), 2);

    form->menuPresets->findChild<QAction*>(QStringLiteral("menuPreYesterday"))->trigger();
    EXPECT_FALSE(form->chkEndDate->isChecked());
    EXPECT_EQ(form->btnPresets->text(), QStringLiteral("Yesterday"));
    EXPECT_EQ(form->EndValue().date(), QDate(2024, 5, 14));
    EXPECT_EQ(TCfg().RepPreset(), 1);
}

TEST_F(FormMainTest, Presets_StoredPresetFollowsTheCalendarOnTheTimer)
{
    WriteSettings("[report]\r\nperpreset=0\r\n");
    auto form = Show();
    dtNow = QDateTime(QDate(2024, 5, 16), QTime(0, 1));
    form->timerUpdateTimer();
    EXPECT_EQ(form->StartValue().date(), QDate(2024, 5, 16));
}

TEST_F(FormMainTest, CustomDates_MoveTheOtherPickerAndStopFollowingTheCalendar)
{
    auto form = Show();
    form->ApplyPreset(4); // 2024-05-08 .. 2024-05-14
    form->PickStart(QDate(2024, 5, 20));
    EXPECT_EQ(form->EndValue().date(), QDate(2024, 5, 20));
    EXPECT_EQ(form->btnPresets->text(), QStringLiteral("Custom"));
    EXPECT_EQ(form->SelectedPreset(), -1);

    form->PickEnd(QDate(2024, 5, 2));
    EXPECT_EQ(form->StartValue().date(), QDate(2024, 5, 2));
    EXPECT_EQ(form->EndValue().date(), QDate(2024, 5, 2));

    dtNow = QDateTime(QDate(2024, 5, 17), QTime(8, 0));
    form->timerUpdateTimer();
    EXPECT_EQ(form->StartValue().date(), QDate(2024, 5, 2));
}

TEST_F(FormMainTest, CustomDates_ADayChosenOnAPageBecomesTheReportsOnlyDay)
{
    // A click on a day of the coverage calendar: that day alone, whatever range and
    // end-date box there were, as a custom choice the timer leaves alone.
    auto form = Show();
    form->ApplyPreset(7);
    ASSERT_TRUE(form->chkEndDate->isChecked());
    auto* page = form->pagesMain->findChild<TReportPage*>(QStringLiteral("tabQuality"));
    ASSERT_NE(page, nullptr);
    Q_EMIT page->DayChosen(QDate(2024, 4, 30));
    EXPECT_EQ(form->StartValue().date(), QDate(2024, 4, 30));
    EXPECT_EQ(form->EndValue(), form->StartValue());
    EXPECT_FALSE(form->chkEndDate->isChecked());
    EXPECT_FALSE(form->dtpickEnd->isEnabled());
    EXPECT_EQ(form->dtpickStart->date(), QDate(2024, 4, 30));
    EXPECT_EQ(form->btnPresets->text(), QStringLiteral("Custom"));
    dtNow = QDateTime(QDate(2024, 5, 17), QTime(8, 0));
    form->timerUpdateTimer();
    EXPECT_EQ(form->StartValue().date(), QDate(2024, 4, 30));
}

TEST_F(FormMainTest, EndDateBox_ClearingItEndsAtTheStart)
{
    auto form = Show();
    form->ApplyPreset(7);
    form->chkEndDate->click();
    EXPECT_FALSE(form->chkEndDate->isChecked());
    EXPECT_FALSE(form->dtpickEnd->isEnabled());
    EXPECT_EQ(form->EndValue(), form->StartValue());
    EXPECT_EQ(form->btnPresets->text(), QStringLiteral("Custom"));
}

TEST_F(FormMainTest, DatePickers_MonthNamesInTheUsersLanguageDigitsUnchanged)
{
    // Program start hands the user's locale over; the pickers take it when made.
    TDateFmt::SetNamesLocale(QLocale(QLocale::German, QLocale::Germany));
    auto form = Show();
    TDateFmt::SetNamesLocale(QLocale(QLocale::English));
    EXPECT_EQ(form->dtpickStart->text(), QStringLiteral("Mai 15, 2024"));
    form->ApplyPreset(6); // April
    EXPECT_EQ(form->dtpickStart->text(), QStringLiteral("Apr. 01, 2024"));
    EXPECT_EQ(form->dtpickEnd->text(), QStringLiteral("Apr. 30, 2024"));

    auto formC = Show();
    EXPECT_EQ(formC->dtpickStart->text(), QStringLiteral("May 15, 2024"));
}

// Ticking the box under "Today" used to leave the preset in force: a minute later the
// refresh timer re-applied it and cleared the box before an end date was picked.
TEST_F(FormMainTest, EndDateBox_TickingItMakesTheChoiceCustomAndTheTimerLeavesIt)
{
    auto form = Show();
    ASSERT_EQ(form->SelectedPreset(), 0);
    const QDateTime dtBuilt = form->LastUpdate();
    form->chkEndDate->click();
    EXPECT_TRUE(form->chkEndDate->isChecked());
    EXPECT_TRUE(form->dtpickEnd->isEnabled());
    EXPECT_EQ(form->btnPresets->text(), QStringLiteral("Custom"));
    EXPECT_EQ(form->SelectedPreset(), -1);
    EXPECT_EQ(TCfg().RepPreset(), 0);
    EXPECT_EQ(form->LastUpdate(), dtBuilt) << "the end still equals the start: nothing to rebuild";

    dtNow = dtNow.addSecs(60);
    form->timerUpdateTimer();
    EXPECT_TRUE(form->chkEndDate->isChecked());
    EXPECT_TRUE(form->dtpickEnd->isEnabled());
}

// The pickers used to follow every change of their date: the wheel over a picker
// stepped the date and rebuilt the report. Now the wheel does nothing there.
TEST_F(FormMainTest, DatePickers_IgnoreTheMouseWheel)
{
    auto form = Show();
    const QDateTime dtBuilt = form->LastUpdate();
    dtNow = dtNow.addSecs(60);
    for (TDatePicker* pick : {form->dtpickStart, form->dtpickEnd}) {
        pick->setEnabled(true);
        const QDate dtBefore = pick->date();
        const QPointF pt = QRectF(pick->rect()).center();
        for (int nDelta : {120, -120, 120}) {
            QWheelEvent ev(pt, QPointF(pick->mapToGlobal(pt.toPoint())), QPoint(), QPoint(0, nDelta),
                           Qt::NoButton, Qt::NoModifier, Qt::NoScrollPhase, false);
            QApplication::sendEvent(pick, &ev);
        }
        EXPECT_EQ(pick->date(), dtBefore) << qPrintable(pick->objectName());
    }
    EXPECT_EQ(form->LastUpdate(), dtBuilt);
    EXPECT_EQ(form->btnPresets->text(), QStringLiteral("Today"));
}

// A key released in a picker takes its date as the user's choice, whether or not the key
// changed it; so does the calendar closing, with a pick or without one.
TEST_F(FormMainTest, DatePickers_KeyUpAndCalendarCloseUpMakeACustomChoice)
{
    auto form = Show();
    form->ApplyPreset(4); // 2024-05-08 .. 2024-05-14
    TDatePicker* pick = form->dtpickStart;

    // An arrow to the next field changes no date, but is a choice all the same.
    dtNow = dtNow.addSecs(60);
    QTest::keyClick(pick, Qt::Key_Right);
    EXPECT_EQ(form->btnPresets->text(), QStringLiteral("Custom"));
    EXPECT_EQ(form->SelectedPreset(), -1);
    EXPECT_EQ(form->LastUpdate(), dtNow);
    EXPECT_EQ(form->StartValue().date(), QDate(2024, 5, 8));

    // Stepping a field moves the report with the picker.
    QTest::keyClick(pick, Qt::Key_Up);
    EXPECT_NE(pick->date(), QDate(2024, 5, 8));
    EXPECT_EQ(form->StartValue().date(), pick->date());
    EXPECT_GE(form->EndValue().date(), form->StartValue().date());

    // A day picked in the calendar, then the calendar closed without a pick.
    QCalendarWidget* cal = pick->calendarWidget();
    ASSERT_NE(cal, nullptr);
    form->ApplyPreset(0);
    cal->window()->show();
    Q_EMIT cal->activated(QDate(2024, 5, 3));
    QCoreApplication::processEvents();
    EXPECT_FALSE(cal->window()->isVisible());
    EXPECT_EQ(form->StartValue().date(), QDate(2024, 5, 3));
    EXPECT_EQ(form->EndValue().date(), QDate(2024, 5, 3));
    EXPECT_EQ(form->btnPresets->text(), QStringLiteral("Custom"));

    form->ApplyPreset(1);
    dtNow = dtNow.addSecs(60);
    cal->window()->show();
    cal->window()->close();
    QCoreApplication::processEvents();
    EXPECT_EQ(form->StartValue().date(), QDate(2024, 5, 14));
    EXPECT_EQ(form->btnPresets->text(), QStringLiteral("Custom"));
    EXPECT_EQ(form->LastUpdate(), dtNow);
}

TEST_F(FormMainTest, PeriodMenu_StoredLengthOutsideTheListKeepsTheCaption)
{
    WriteSettings("[report]\r\nperperiod=20\r\n");
    auto form = Show();
    EXPECT_EQ(form->btnPeriod->text(), QStringLiteral("Period"));
    form->menuPeriod->actions().at(2)->trigger();
    EXPECT_EQ(form->btnPeriod->text(), QStringLiteral("15 minutes"));
    EXPECT_EQ(TCfg().RepPerPeriod(), 15);
}

// ---- report tabs ----

TEST_F(FormMainTest, ProfileTab_HidesPeriodAndEndDateAndLimitsThePresets)
{
    auto form = Show();
    form->pagesMain->setCurrentWidget(form->tabTH);
    EXPECT_TRUE(form->panelPeriod->isHidden());
    EXPECT_TRUE(form->panelDateTo->isHidden());
    Q_EMIT form->menuPresets->aboutToShow();
    for (QAction* act : form->menuPresets->actions()) {
        if (!act->isSeparator()) {
            EXPECT_EQ(act->isEnabled(), act->data().toInt() <= 1) << act->text().toStdString();
        }
    }

    form->pagesMain->setCurrentWidget(form->tabAlarms);
    EXPECT_FALSE(form->panelPeriod->isHidden());
}

TEST_F(FormMainTest, CalibrationsTab_ShownOnlyWithACalibrationFileInTheRange)
{
    AddMonitor(QStringLiteral("M1"), QStringLiteral("North Gate"));
    WriteText(DayPath(QStringLiteral("M1"), QDate(2024, 5, 14), QStringLiteral("cal-14.csv")),
              ".Time,Level\r\n06:00:00,94.0\r\n");
    WriteSettings("[report]\r\nmonitorsel=M1\r\nperpreset=1\r\n");
    auto form = Show();
    const int iCals = form->pagesMain->indexOf(form->tabCals);
    EXPECT_TRUE(form->pagesMain->isTabVisible(iCals));
    form->pagesMain->setCurrentWidget(form->tabCals);
    EXPECT_EQ(form->pagesMain->currentWidget(), form->tabCals);

    // Today has no calibration: the tab goes and the periodic report is built instead.
    form->menuPresets->findChild<QAction*>(QStringLiteral("menuPreToday"))->trigger();
    EXPECT_FALSE(form->pagesMain->isTabVisible(iCals));
    EXPECT_EQ(form->pagesMain->currentWidget(), form->tabPeriodic);
}

// ---- chart layout and synchronisation ----

TEST(TScrollBox, LayoutCharts_StacksAtLeast120HighAnd300Wide)
{
    TScrollBox box(nullptr);
    box.resize(250, 400);
    QList<QWidget*> aw;
    for (int i = 0; i < 5; ++i)
        aw.append(new QWidget(box.Client()));
    box.LayoutCharts(aw);
    for (int k = 0; k < 5; ++k)
        EXPECT_EQ(aw.at(k)->geometry(), QRect(0, k * 120, 300, 120)) << k;
    EXPECT_EQ(box.verticalScrollBarPolicy(), Qt::ScrollBarAlwaysOn);

    box.resize(600, 500);
    box.LayoutCharts(aw.mid(0, 2));
    EXPECT_EQ(aw.at(1)->geometry(), QRect(0, 250, 600, 250));
    EXPECT_EQ(box.verticalScrollBarPolicy(), Qt::ScrollBarAlwaysOff);

    box.LayoutCharts(aw.mid(0, 1));
    EXPECT_EQ(aw.at(0)->geometry(), QRect(0, 0, 600, 500));
}

TEST_F(FormMainTest, SyncAxes_AutomaticRangeSpansTheChartsWithData)
{
    AddMonitor(QStringLiteral("M1"), QStringLiteral("A"));
    AddMonitor(QStringLiteral("M2"), QStringLiteral("B"));
    AddMonitor(QStringLiteral("M3"), QStringLiteral("C"));
    WritePerDay(QStringLiteral("M1"), dtNow.date(), 45, 65); // 40 .. 70
    WritePerDay(QStringLiteral("M2"), dtNow.date(), 35, 55); // 30 .. 60
    WriteSettings("[report]\r\nmonitorsel=M1,M2,M3\r\n");
    auto form = Show();
    const QList<TChartBase*>* charts = form->ActiveCharts();
    ASSERT_NE(charts, nullptr);
    ASSERT_EQ(charts->size(), 3);
    for (TChartBase* chart : *charts) {
        EXPECT_DOUBLE_EQ(chart->LeftMin(), 30);
        EXPECT_DOUBLE_EQ(chart->LeftMax(), 70);
    }
}

TEST_F(FormMainTest, SyncAxes_FixedRangeAppliesToEveryChartUnlessEmpty)
{
    AddMonitor(QStringLiteral("M1"), QStringLiteral("A"));
    AddMonitor(QStringLiteral("M2"), QStringLiteral("B"));
    WritePerDay(QStringLiteral("M1"), dtNow.date(), 45, 65);
    WriteSettings("[report]\r\nmonitorsel=M1,M2\r\nyaxisauto=0\r\nyaxismin=20\r\nyaxismax=80\r\n");
    auto form = Show();
    for (TChartBase* chart : *form->ActiveCharts()) {
        EXPECT_DOUBLE_EQ(chart->LeftMin(), 20);
        EXPECT_DOUBLE_EQ(chart->LeftMax(), 80);
    }

    // Alarm counts keep their own range: 0 to 4 below 20 to 80 dB would show nothing.
    WriteText(DayPath(QStringLiteral("M1"), dtNow.date(), QStringLiteral("alm-15.csv")),
              ".Time\r\n08:10:00\r\n08:20:00\r\n08:30:00\r\n");
    form->pagesMain->setCurrentWidget(form->tabAlarms);
    ASSERT_EQ(form->ActiveCharts()->size(), 2);
    EXPECT_EQ(form->ActiveCharts()->at(0)->yAxis->range(), QCPRange(0, 4));
    EXPECT_EQ(form->ActiveCharts()->at(1)->yAxis->range(), QCPRange(0, 1));
    form->pagesMain->setCurrentWidget(form->tabPeriodic);

    form->Cfg().SetRepYMin(80);
    form->UpdateReport();
    EXPECT_DOUBLE_EQ(form->ActiveCharts()->at(0)->LeftMin(), 40); // the chart's own range stays
    EXPECT_DOUBLE_EQ(form->ActiveCharts()->at(0)->LeftMax(), 70);
}

TEST_F(FormMainTest, SyncZoom_PropagatesPausesRefreshAndUndoesTogether)
{
    AddMonitor(QStringLiteral("M1"), QStringLiteral("A"));
    AddMonitor(QStringLiteral("M2"), QStringLiteral("B"));
    AddMonitor(QStringLiteral("M3"), QStringLiteral("C"));
    for (const char* psz : {"M1", "M2", "M3"})
        WritePerDay(QString::fromLatin1(psz), dtNow.date(), 45, 65);
    WriteSettings("[report]\r\nmonitorsel=M1,M2,M3\r\n");
    auto form = Show();
    form->resize(1000, 800);
    QCoreApplication::processEvents();
    const QList<TChartBase*> charts = *form->ActiveCharts();
    for (TChartBase* chart : charts)
        chart->replot();
    const double dFullMax = charts.at(0)->BottomMax();

    TChartBase* second = charts.at(1);
    const int xLeft = second->xAxis->coordToPixel(5);
    const int xRight = second->xAxis->coordToPixel(10);
    second->ZoomToRect(QRect(QPoint(xLeft, 20), QPoint(xRight, 60)));
    EXPECT_TRUE(form->Zoomed());
    for (TChartBase* chart : charts) {
        EXPECT_NEAR(chart->BottomMin(), second->BottomMin(), 1e-6);
        EXPECT_NEAR(chart->BottomMax(), second->BottomMax(), 1e-6);
        EXPECT_LT(chart->BottomMax(), dFullMax);
    }

    // While zoomed, new data does not rebuild.
    const QDateTime dtBuilt = form->LastUpdate();
    WritePerDay(QStringLiteral("M1"), dtNow.date(), 40, 60);
    SetModified(DayPath(QStringLiteral("M1"), dtNow.date(), QStringLiteral("per-15-0060.csv")), dtBuilt.addSecs(30));
    dtNow = dtNow.addSecs(60);
    form->timerUpdateTimer();
    EXPECT_EQ(form->LastUpdate(), dtBuilt);

    charts.at(0)->UndoZoom();
    EXPECT_FALSE(form->Zoomed());
    for (TChartBase* chart : charts)
        EXPECT_NEAR(chart->BottomMax(), dFullMax, 1e-6);
}

// ---- automatic refresh ----

TEST_F(FormMainTest, RefreshTimer_RebuildsOnlyForANewerFileOfTheTabsKind)
{
    AddMonitor(QStringLiteral("M1"), QStringLiteral("A"));
    WritePerDay(QStringLiteral("M1"), dtNow.date(), 45, 65);
    WriteText(DayPath(QStringLiteral("M1"), dtNow.date(), QStringLiteral("alm-15.csv")), ".Time\r\n");
    WriteSettings("[report]\r\nmonitorsel=M1\r\n");
    const QDateTime dtOld = dtNow.addSecs(-3600);
    SetModified(DayPath(QStringLiteral("M1"), dtNow.date(), QStringLiteral("per-15-0060.csv")), dtOld);
    SetModified(DayPath(QStringLiteral("M1"), dtNow.date(), QStringLiteral("alm-15.csv")), dtOld);
    auto form = Show();
    const QDateTime dtBuilt = form->LastUpdate();
    ASSERT_EQ(dtBuilt, dtNow);
    EXPECT_TRUE(form->timerUpdate->isActive());

    // A newer alarm file does not count on the periodic tab.
    SetModified(DayPath(QStringLiteral("M1"), dtNow.date(), QStringLiteral("alm-15.csv")), dtBuilt.addSecs(1));
    dtNow = dtNow.addSecs(60);
    form->timerUpdateTimer();
    EXPECT_EQ(form->LastUpdate(), dtBuilt);

    // Written one second after the build: a stamp rounded to even seconds would miss it.
    SetModified(DayPath(QStringLiteral("M1"), dtNow.date(), QStringLiteral("per-15-0060.csv")), dtBuilt.addSecs(1));
    form->timerUpdateTimer();
    EXPECT_EQ(form->LastUpdate(), dtNow);
}

// ---- exclusions ----

namespace {
const QByteArray baExclHeader = "id,monitor,from,to,covers,reason,comment,author,created,withdrawn,withdrawn by\r\n";

// Answers the window's modal dialogs while a step runs: the exclusion dialog is
// accepted as it was filled in (with a comment, when one is given), a message box is
// read and closed.
class TModalAnswer final
{
public:
    explicit TModalAnswer(QString sComment = QString()) : sCommentSet(std::move(sComment))
    {
        timer.setInterval(10);
        QObject::connect(&timer, &QTimer::timeout, [this] {
            QWidget* w = QApplication::activeModalWidget();
            if (auto* dlg = qobject_cast<QDialog*>(w); dlg && dlg->objectName() == QLatin1String("formExclusion")) {
                ++nDialogs;
                if (auto* edit = dlg->findChild<QLineEdit*>(QStringLiteral("editComment")); edit && !sCommentSet.isEmpty())
                    edit->setText(sCommentSet);
                dlg->accept();
            } else if (auto* box = qobject_cast<QMessageBox*>(w)) {
                slMessages.append(box->text());
                box->close();
            }
        });
        timer.start();
    }
    int nDialogs = 0;
    QStringList slMessages;

private:
    QString sCommentSet;
    QTimer timer;
};
} // namespace

// A span selected on a chart, then one of rows of the periodic table, goes through the
// dialog into the file beside the settings; the report is rebuilt at once with its
// band and italic cells, and Edit > Undo Exclusion takes the last one back out of the
// file. View > Apply Exclusions off shows the raw figures and is stored.
TEST_F(FormMainTest, Exclusions_ChartAndTableSelectionThroughTheDialogIntoTheFileAndUndo)
{
    AddMonitor(QStringLiteral("M1"), QStringLiteral("A"));
    WritePerDay(QStringLiteral("M1"), dtNow.date(), 45, 65);
    WriteSettings("[report]\r\nmonitorsel=M1\r\n");
    const QString sFile = sSettingsDir + QStringLiteral("rp_exclusions.csv");
    auto form = Show();
    ASSERT_TRUE(form->ExclusionsUsable());
    ASSERT_EQ(form->ActiveCharts()->size(), 1);
    TChartBase* chart = form->ActiveCharts()->first();
    EXPECT_TRUE(chart->BandRanges().isEmpty());
    auto* menuUndo = form->findChild<QAction*>(QStringLiteral("menuUndoExclusion"));
    ASSERT_NE(menuUndo, nullptr);
    EXPECT_FALSE(menuUndo->isEnabled());

    chart->Select(2.9, 5.1);
    {
        TModalAnswer answer(QStringLiteral("digger, by the gate"));
        // The menu belongs to the chart, which the rebuild deletes.
        QMenu* menu = chart->MakeMenu();
        menu->findChild<QAction*>(QStringLiteral("menuExclude"))->trigger();
        QCoreApplication::processEvents();
        EXPECT_EQ(answer.nDialogs, 1);
        EXPECT_TRUE(answer.slMessages.isEmpty()) << qPrintable(answer.slMessages.join(u'\n'));
    }
    QFile f(sFile);
    ASSERT_TRUE(f.open(QIODevice::ReadOnly));
    const QString sText = QString::fromUtf8(f.readAll());
    f.close();
    EXPECT_TRUE(sText.contains(QStringLiteral("M1,2024-05-15 03:00:00,2024-05-15 06:00:00,all,"))) << qPrintable(sText);
    EXPECT_TRUE(sText.contains(QStringLiteral("\"digger, by the gate\"")));
    // Rebuilt: the chart of the new build shows the band.
    chart = form->ActiveCharts()->first();
    ASSERT_EQ(chart->BandRanges().size(), 1);
    EXPECT_EQ(chart->BandRanges().first(), QCPRange(2.5, 5.5));
    EXPECT_TRUE(menuUndo->isEnabled());

    // Rows 10:00 and 11:00 of the table (its rows 14 and 15: title, gap, two head rows).
    form->pagesPer->setCurrentIndex(1);
    QCoreApplication::processEvents();
    TPerTable* table = form->perTable;
    EXPECT_TRUE(TMarkup::Shown(table->Cells(2, 4 + 3)).bExcluded);
    EXPECT_FALSE(TMarkup::Shown(table->Cells(2, 4 + 6)).bExcluded);
    // The dialog's reason, as it was left, is the cell's tooltip.
    EXPECT_EQ(table->model()->index(7, 2).data(Qt::ToolTipRole).toString(), QStringLiteral("Excluded: other"));
    EXPECT_FALSE(table->model()->index(10, 2).data(Qt::ToolTipRole).isValid());
    table->selectionModel()->select(table->model()->index(14, 0),
                                    QItemSelectionModel::Select | QItemSelectionModel::Rows);
    table->selectionModel()->select(table->model()->index(15, 0),
                                    QItemSelectionModel::Select | QItemSelectionModel::Rows);
    {
        TModalAnswer answer;
        std::unique_ptr<QMenu> menu(table->MakeMenu());
        menu->findChild<QAction*>(QStringLiteral("menuExclude"))->trigger();
        QCoreApplication::processEvents();
        EXPECT_EQ(answer.nDialogs, 1);
    }
    ASSERT_EQ(form->Exclusions().Rows().size(), 2U);
    EXPECT_EQ(form->Exclusions().Rows()[1].nFrom, TExclusion::Wall(dtNow.date(), 10 * 3600));
    EXPECT_EQ(form->Exclusions().Rows()[1].nTo, TExclusion::Wall(dtNow.date(), 12 * 3600));
    EXPECT_TRUE(TMarkup::Shown(form->perTable->Cells(2, 14)).bExcluded);

    menuUndo->trigger();
    ASSERT_EQ(form->Exclusions().Rows().size(), 1U);
    TExclusions onDisk;
    QString sError;
    ASSERT_TRUE(onDisk.Load(sFile, sError));
    EXPECT_EQ(onDisk.Rows().size(), 1U);
    EXPECT_FALSE(TMarkup::Shown(form->perTable->Cells(2, 14)).bExcluded);

    // The raw figures on demand, remembered for the next start.
    auto* menuApply = form->findChild<QAction*>(QStringLiteral("menuApplyExclusions"));
    ASSERT_NE(menuApply, nullptr);
    EXPECT_TRUE(menuApply->isChecked());
    menuApply->trigger();
    EXPECT_FALSE(TMarkup::Shown(form->perTable->Cells(2, 7)).bExcluded);
    EXPECT_EQ(form->perTable->Cells(2, 7), QStringLiteral("47.6"));
    EXPECT_TRUE(Settings().contains("applyexclusions=0"));
}

// A read-only exclusion file: the addition is refused with the reason, the file keeps
// its bytes and the list on screen is the one on disk. A file that cannot be read at
// all (a pipe) is named on the status line and nothing offers to exclude.
TEST_F(FormMainTest, Exclusions_ReadOnlyFileRefusedWithAMessageAPipeDisablesExcluding)
{
    AddMonitor(QStringLiteral("M1"), QStringLiteral("A"));
    WritePerDay(QStringLiteral("M1"), dtNow.date(), 45, 65);
    WriteSettings("[report]\r\nmonitorsel=M1\r\n");
    const QString sFile = sSettingsDir + QStringLiteral("rp_exclusions.csv");
    const QByteArray baFile = baExclHeader + "1,M1,2024-05-15 01:00:00,2024-05-15 02:00:00,all,rain,,anna,"
                                             "2024-05-15 08:00:00,,\r\n"
                                             "2,M9,2024-05-15 01:00:00,2024-05-15 02:00:00,all,rain,,anna,"
                                             "2024-05-15 08:00:00,,\r\n";
    WriteText(sFile, baFile);
    ASSERT_TRUE(QFile::setPermissions(sFile, QFileDevice::ReadOwner | QFileDevice::ReadGroup));
    {
        auto form = Show();
        // The unknown monitor is told on the status line.
        EXPECT_TRUE(form->lblStatus->text().contains(QStringLiteral("M9"))) << qPrintable(form->lblStatus->text());
        TModalAnswer answer;
        form->ExcludeSpan(QStringLiteral("M1"), TExclusion::Wall(dtNow.date(), 5 * 3600),
                          TExclusion::Wall(dtNow.date(), 6 * 3600));
        EXPECT_EQ(answer.nDialogs, 1);
        ASSERT_EQ(answer.slMessages.size(), 1);
        EXPECT_TRUE(answer.slMessages.first().contains(QStringLiteral("Unable to write"))) << qPrintable(answer.slMessages.first());
        EXPECT_EQ(form->Exclusions().Rows().size(), 2U);
        EXPECT_FALSE(form->Exclusions().CanUndo());
        EXPECT_FALSE(form->findChild<QAction*>(QStringLiteral("menuUndoExclusion"))->isEnabled());
        QFile f(sFile);
        ASSERT_TRUE(f.open(QIODevice::ReadOnly));
        EXPECT_EQ(f.readAll(), baFile);
        EXPECT_EQ(form->ActiveCharts()->first()->BandRanges().size(), 1);
    }
    QFile::setPermissions(sFile, QFileDevice::ReadOwner | QFileDevice::WriteOwner);
    ASSERT_TRUE(QFile::remove(sFile));
    ASSERT_TRUE(MakeFifo(sFile));
    auto form = Show();
    EXPECT_FALSE(form->ExclusionsUsable());
    EXPECT_TRUE(form->lblStatus->text().contains(QStringLiteral("rp_exclusions.csv"))) << qPrintable(form->lblStatus->text());
    std::unique_ptr<QMenu> menu(form->ActiveCharts()->first()->MakeMenu());
    EXPECT_FALSE(menu->findChild<QAction*>(QStringLiteral("menuExclude"))->isEnabled());
    TModalAnswer answer;
    form->ExcludeSpan(QStringLiteral("M1"), TExclusion::Wall(dtNow.date(), 5 * 3600),
                      TExclusion::Wall(dtNow.date(), 6 * 3600));
    EXPECT_EQ(answer.nDialogs, 0);
    QFileInfo fi(sFile);
    EXPECT_FALSE(fi.isFile());
}

// Exclusions written by someone else while the window runs are read by the refresh
// timer, which rebuilds the report with them; an unchanged file is not read again.
TEST_F(FormMainTest, Exclusions_FileChangedOnDiskIsReadAgainByTheRefresh)
{
    AddMonitor(QStringLiteral("M1"), QStringLiteral("A"));
    WritePerDay(QStringLiteral("M1"), dtNow.date(), 45, 65);
    WriteSettings("[report]\r\nmonitorsel=M1\r\n");
    const QString sFile = sSettingsDir + QStringLiteral("rp_exclusions.csv");
    SetModified(DayPath(QStringLiteral("M1"), dtNow.date(), QStringLiteral("per-15-0060.csv")), dtNow.addSecs(-3600));
    auto form = Show();
    EXPECT_TRUE(form->Exclusions().Rows().empty());
    const QDateTime dtBuilt = form->LastUpdate();

    form->timerUpdateTimer();
    EXPECT_EQ(form->LastUpdate(), dtBuilt);

    WriteText(sFile, baExclHeader + "1,*,2024-05-15 06:00:00,2024-05-15 08:00:00,all,wind,,anna,"
                                    "2024-05-15 08:00:00,,\r\n");
    dtNow = dtNow.addSecs(60);
    form->timerUpdateTimer();
    ASSERT_EQ(form->Exclusions().Rows().size(), 1U);
    EXPECT_EQ(form->LastUpdate(), dtNow);
    ASSERT_EQ(form->ActiveCharts()->first()->BandRanges().size(), 1);
    EXPECT_EQ(form->ActiveCharts()->first()->BandRanges().first(), QCPRange(5.5, 7.5));

    // Changed again within the same second as the last read: full file times see it.
    WriteText(sFile, baExclHeader);
    SetModified(sFile, QFileInfo(sFile).lastModified().addMSecs(1));
    form->timerUpdateTimer();
    EXPECT_TRUE(form->Exclusions().Rows().empty());
    EXPECT_TRUE(form->ActiveCharts()->first()->BandRanges().isEmpty());
}

// ---- summary tab ----

TEST_F(FormMainTest, SummaryTab_TableAfterProfileRowsPerTickedMonitorStopAtToday)
{
    AddMonitor(QStringLiteral("M1"), QStringLiteral("A"));
    AddMonitor(QStringLiteral("M2"), QStringLiteral("B"));
    WritePerDay(QStringLiteral("M1"), dtNow.date().addDays(-1), 60, 60);
    WriteSettings("[report]\r\nmonitorsel=M1,M2\r\n");
    auto form = Show();
    EXPECT_EQ(form->pagesMain->indexOf(form->tabSummary), form->pagesMain->indexOf(form->tabEvents) + 1);
    form->PickStart(dtNow.date().addDays(-1));
    form->chkEndDate->click();
    form->PickEnd(dtNow.date().addDays(5));
    form->pagesMain->setCurrentWidget(form->tabSummary);
    ASSERT_EQ(form->pagesSum->currentWidget(), form->tabSumTbl);
    EXPECT_FALSE(form->panelPeriod->isHidden());
    EXPECT_TRUE(form->lblSumNote->text().contains(QStringLiteral("calendar day of the day file")));

    // Each monitor lists yesterday and today, never the days still to come.
    QStringList slDates;
    int iYesterday = -1;
    for (int r = 0; r < form->sumTable->RowCount(); ++r) {
        const QString s = form->sumTable->Cells(0, r);
        if (s.startsWith(QStringLiteral("2024-")))
            slDates << s;
        if (iYesterday < 0 && s == QStringLiteral("2024-05-14"))
            iYesterday = r;
    }
    EXPECT_EQ(slDates, QStringList({QStringLiteral("2024-05-14"), QStringLiteral("2024-05-15"),
                                    QStringLiteral("2024-05-14"), QStringLiteral("2024-05-15")}));
    ASSERT_GE(iYesterday, 0);
    // A day of constant 60 dB: 60 in every part, 66.4 with the evening and night penalties.
    EXPECT_EQ(form->sumTable->Cells(1, iYesterday), QStringLiteral("60.0"));
    EXPECT_EQ(form->sumTable->Cells(3, iYesterday), QStringLiteral("60.0"));
    EXPECT_EQ(form->sumTable->Cells(4, iYesterday), QStringLiteral("66.4"));
    EXPECT_EQ(form->sumTable->Cells(5, iYesterday), QStringLiteral("100.0"));
    // Today has no file: no levels, and the coverage is marked, not left out.
    EXPECT_TRUE(form->sumTable->Cells(1, iYesterday + 1).isEmpty());
    EXPECT_EQ(form->sumTable->Cells(5, iYesterday + 1), QStringLiteral("~low~0.0"));

    // Edit > Copy gives the table as tab-separated text, markup taken off.
    QGuiApplication::clipboard()->clear();
    form->findChild<QAction*>(QStringLiteral("menuCopy"))->trigger();
    const QString sCopied = QGuiApplication::clipboard()->text();
    EXPECT_TRUE(sCopied.contains(QStringLiteral("Date\tLday\tLevening\tLnight\tLden\t")));
    EXPECT_TRUE(sCopied.contains(QStringLiteral("2024-05-15\t\t\t\t\t0.0\t")));
}

TEST_F(FormMainTest, SummaryTab_ChartsShareTheLevelRangeAndFollowNewPeriodicFiles)
{
    AddMonitor(QStringLiteral("M1"), QStringLiteral("A"));
    AddMonitor(QStringLiteral("M2"), QStringLiteral("B"));
    WritePerDay(QStringLiteral("M1"), dtNow.date(), 45, 45);
    WritePerDay(QStringLiteral("M2"), dtNow.date(), 72, 72);
    WriteSettings("[report]\r\nmonitorsel=M1,M2\r\n");
    const QString sFile = DayPath(QStringLiteral("M1"), dtNow.date(), QStringLiteral("per-15-0060.csv"));
    SetModified(sFile, dtNow.addSecs(-3600));
    auto form = Show();
    form->pagesMain->setCurrentWidget(form->tabSummary);
    form->pagesSum->setCurrentWidget(form->tabSumChart);
    const QList<TChartBase*>* charts = form->ActiveCharts();
    ASSERT_NE(charts, nullptr);
    ASSERT_EQ(charts->size(), 2);
    EXPECT_EQ(charts->at(0)->Title(), QStringLiteral("A"));
    EXPECT_NEAR(charts->at(0)->Value(0, 0), 51.4, 0.05); // Lden of a constant 45 dB day
    for (TChartBase* chart : *charts) {
        // From the 45 dB levels of one up to the 78.4 dB Lden of the other.
        EXPECT_DOUBLE_EQ(chart->LeftMin(), 40);
        EXPECT_DOUBLE_EQ(chart->LeftMax(), 80);
    }

    // The summary is made from the periodic files: a newer one rebuilds it.
    const QDateTime dtBuilt = form->LastUpdate();
    WritePerDay(QStringLiteral("M1"), dtNow.date(), 50, 50);
    SetModified(sFile, dtBuilt.addSecs(1));
    dtNow = dtNow.addSecs(60);
    form->timerUpdateTimer();
    EXPECT_EQ(form->LastUpdate(), dtNow);
    ASSERT_EQ(form->ActiveCharts()->size(), 2);
    EXPECT_NEAR(form->ActiveCharts()->at(0)->Value(0, 0), 56.4, 0.05);
}

// ---- events tab ----

TEST_F(FormMainTest, EventsTab_OneDayListChartsAndRefreshFromTheProfileFiles)
{
    AddMonitor(QStringLiteral("M1"), QStringLiteral("A"));
    AddMonitor(QStringLiteral("M2"), QStringLiteral("B"));
    // M1: a 10-second event at 70 dB at 09:00 today and one at 75 dB at 10:00 tomorrow;
    // M2: three events in the 14:00 hour today.
    auto profile = [](std::initializer_list<int> anStarts, const char* szLevel) {
        QByteArray ba = "Time,LAeq\r\n";
        for (int nStart : anStarts)
            for (int s = nStart; s < nStart + 10; ++s)
                ba += QTime(0, 0).addSecs(s).toString(QStringLiteral("HH:mm:ss")).toLatin1() + ',' + szLevel +
                      "\r\n";
        return ba;
    };
    const QString sFile = DayPath(QStringLiteral("M1"), dtNow.date(), QStringLiteral("prf-15.csv"));
    WriteText(sFile, profile({9 * 3600}, "70.0"));
    WriteText(DayPath(QStringLiteral("M1"), dtNow.date().addDays(1), QStringLiteral("prf-16.csv")),
              profile({10 * 3600}, "75.0"));
    WriteText(DayPath(QStringLiteral("M2"), dtNow.date(), QStringLiteral("prf-15.csv")),
              profile({14 * 3600, 14 * 3600 + 60, 14 * 3600 + 120}, "80.0"));
    SetModified(sFile, dtNow.addSecs(-3600));
    WriteSettings("[report]\r\nmonitorsel=M1,M2\r\n");
    auto form = Show();
    EXPECT_EQ(form->pagesMain->indexOf(form->tabEvents), form->pagesMain->indexOf(form->tabTH) + 1);
    form->chkEndDate->click();
    form->PickEnd(dtNow.date().addDays(1));
    form->pagesMain->setCurrentWidget(form->tabEvents);
    ASSERT_EQ(form->pagesEvt->currentWidget(), form->tabEvtList);
    EXPECT_TRUE(form->panelPeriod->isHidden());
    EXPECT_TRUE(form->panelDateTo->isHidden());
    EXPECT_TRUE(form->lblEvtNote->text().startsWith(QStringLiteral("Threshold 65 dB from 07:00")));
    Q_EMIT form->menuPresets->aboutToShow();
    for (QAction* act : form->menuPresets->actions()) {
        if (!act->isSeparator()) {
            EXPECT_EQ(act->isEnabled(), act->data().toInt() <= 1) << act->text().toStdString();
        }
    }

    // Only the start date is listed, whatever the end date.
    QStringList slDates;
    QStringList slStarts;
    for (int r = 0; r < form->evtTable->RowCount(); ++r) {
        if (form->evtTable->Cells(0, r).startsWith(QStringLiteral("~h~2024-")))
            slDates << form->evtTable->Cells(0, r).mid(3);
        if (form->evtTable->Cells(1, r).contains(u':') && !form->evtTable->Cells(1, r).startsWith(u'~'))
            slStarts << form->evtTable->Cells(1, r);
    }
    EXPECT_EQ(slDates, QStringList({QStringLiteral("2024-05-15"), QStringLiteral("2024-05-15")}));
    EXPECT_EQ(slStarts, QStringList({QStringLiteral("09:00:00"), QStringLiteral("14:00:00"),
                                     QStringLiteral("14:01:00"), QStringLiteral("14:02:00")}));

    // Edit > Copy gives the list as tab-separated text.
    QGuiApplication::clipboard()->clear();
    form->findChild<QAction*>(QStringLiteral("menuCopy"))->trigger();
    EXPECT_TRUE(QGuiApplication::clipboard()->text().contains(
        QStringLiteral("1\t09:00:00\t09:00:09\t10\t70.0\t80.0")))
        << qPrintable(QGuiApplication::clipboard()->text());

    // The charts count per hour and share the highest count of the stack.
    form->pagesEvt->setCurrentWidget(form->tabEvtChart);
    const QList<TChartBase*>* charts = form->ActiveCharts();
    ASSERT_NE(charts, nullptr);
    ASSERT_EQ(charts->size(), 2);
    EXPECT_EQ(charts->at(0)->Title(), QStringLiteral("A"));
    EXPECT_EQ(charts->at(0)->PointCount(), 24);
    EXPECT_EQ(charts->at(0)->Value(0, 9), 1);
    EXPECT_EQ(charts->at(1)->Value(0, 14), 3);
    for (TChartBase* chart : *charts)
        EXPECT_DOUBLE_EQ(chart->LeftMax(), 4);

    // A newer profile file of the day rebuilds the tab.
    const QDateTime dtBuilt = form->LastUpdate();
    WriteText(sFile, profile({9 * 3600, 11 * 3600}, "70.0"));
    SetModified(sFile, dtBuilt.addSecs(1));
    dtNow = dtNow.addSecs(60);
    form->timerUpdateTimer();
    EXPECT_EQ(form->LastUpdate(), dtNow);
    EXPECT_EQ(form->ActiveCharts()->at(0)->Value(0, 11), 1);
}

TEST_F(FormMainTest, EventsTab_DayWithoutFileIsNotCutAndBadSettingsAreNamed)
{
    // Regression: "No profile file" was cut at the edge of its narrow column; and a
    // hand-edited threshold of 181 was used without a word.
    AddMonitor(QStringLiteral("M1"), QStringLiteral("A"));
    WriteSettings("[report]\r\nmonitorsel=M1\r\n[events]\r\nnightthreshold=181\r\n");
    auto form = Show();
    form->pagesMain->setCurrentWidget(form->tabEvents);
    int nRow = -1;
    for (int r = 0; r < form->evtTable->RowCount(); ++r)
        if (form->evtTable->Cells(TEventsFill::ColStart, r) == QStringLiteral("No profile file"))
            nRow = r;
    ASSERT_GE(nRow, 0);
    EXPECT_EQ(form->evtTable->columnSpan(nRow, TEventsFill::ColStart), TEventsFill::ColCount - TEventsFill::ColStart);
    EXPECT_EQ(form->evtTable->columnSpan(nRow + 2, 0), 1);
    EXPECT_TRUE(form->lblStatus->text().contains(QStringLiteral("nightthreshold=181")));
    EXPECT_TRUE(form->lblEvtNote->text().contains(QStringLiteral("65 dB from 07:00, 55 dB from 23:00")));
}

// ---- exceedances tab ----

TEST_F(FormMainTest, ExceedancesTab_AfterSummaryListsPeriodsAboveTheLimitCopiesAndNamesBadRulesOnce)
{
    AddMonitor(QStringLiteral("M1"), QStringLiteral("A"));
    // 45 dB at midnight rising to 65 dB at 23:00: 59.8 at 17:00, then 60.7 and up from 18:00.
    WritePerDay(QStringLiteral("M1"), dtNow.date().addDays(-1), 45, 65);
    WriteSettings(
        "[report]\r\nmonitorsel=M1\r\n[rp_limits]\r\nrule1=*; LAeq; Mon-Sun; 00:00-00:00; 60.0; Site\r\n"
        "rule2=*; LAeq; Mon; 7-19; 60\r\nrule3=X9; LAeq; Mon-Sun; 00:00-00:00; 50.0\r\n");
    auto form = Show();
    EXPECT_EQ(form->pagesMain->indexOf(form->tabExceed), form->pagesMain->indexOf(form->tabSummary) + 1);
    EXPECT_EQ(form->pagesMain->tabText(form->pagesMain->indexOf(form->tabExceed)),
              QStringLiteral("Exceedances"));
    // The periodic chart draws the limit and the marks beside the four parameters' lines.
    form->PickStart(dtNow.date().addDays(-1));
    ASSERT_EQ(form->ActiveCharts()->size(), 1);
    EXPECT_EQ(form->ActiveCharts()->at(0)->SeriesCount(), 4 + 2);
    EXPECT_TRUE(form->lblStatus->text().contains(QStringLiteral("1 limit rule could not be read")));
    // Fault: a rule for a monitor the installation lacks judged nothing without a word.
    EXPECT_TRUE(form->lblStatus->text().contains(QStringLiteral("does not exist and judge nothing: X9")))
        << qPrintable(form->lblStatus->text());
    form->UpdateStatus();

    form->pagesMain->setCurrentWidget(form->tabExceed);
    EXPECT_TRUE(form->lblExcNote->text().contains(QStringLiteral("equal to its limit")));
    // Reported once: a rebuild with the same rules leaves the status line alone.
    EXPECT_FALSE(form->lblStatus->text().contains(QStringLiteral("could not be read")));
    int nExc = 0;
    int iCount = -1;
    for (int r = 0; r < form->excTable->RowCount(); ++r) {
        if (form->excTable->Cells(5, r).startsWith(u'^') && form->excTable->Cells(1, r).size() == 5)
            ++nExc;
        if (iCount < 0 && form->excTable->Cells(1, r) == QStringLiteral("00:00-00:00"))
            iCount = r;
    }
    EXPECT_EQ(nExc, 6);
    ASSERT_GT(iCount, 0);
    EXPECT_EQ(form->excTable->Cells(9, iCount), QStringLiteral("^6"));
    EXPECT_EQ(form->excTable->Cells(3, iCount), QStringLiteral("65.0"));

    QGuiApplication::clipboard()->clear();
    form->findChild<QAction*>(QStringLiteral("menuCopy"))->trigger();
    const QString sCopied = QGuiApplication::clipboard()->text();
    EXPECT_TRUE(sCopied.contains(QStringLiteral("2024-05-14\t18:00\tLAeq\t60.7\t60.0\t0.7\tSite\t")))
        << qPrintable(sCopied);
}

// ---- edit and help commands ----

TEST_F(FormMainTest, Copy_TakesThePageInFrontAPictureOfChartsOrTheGridsText)
{
    AddMonitor(QStringLiteral("M1"), QStringLiteral("A"));
    AddMonitor(QStringLiteral("M2"), QStringLiteral("B"));
    WritePerDay(QStringLiteral("M1"), dtNow.date(), 45, 65);
    WritePerDay(QStringLiteral("M2"), dtNow.date(), 45, 65);
    WriteSettings("[report]\r\nmonitorsel=M1,M2\r\n");
    auto form = Show();
    form->resize(1000, 800);
    QCoreApplication::processEvents();
    QAction* actCopy = form->findChild<QAction*>(QStringLiteral("menuCopy"));
    ASSERT_NE(actCopy, nullptr);
    QClipboard* clip = QGuiApplication::clipboard();

    // The periodic chart page: both charts, stacked.
    ASSERT_EQ(form->pagesPer->currentWidget(), form->tabPerChart);
    clip->clear();
    actCopy->trigger();
    const QImage img = clip->image();
    ASSERT_FALSE(img.isNull());
    EXPECT_GE(img.height(), 2 * form->ActiveCharts()->at(0)->height());
    EXPECT_TRUE(clip->text().isEmpty());

    // The periodic table holds the levels.
    form->pagesPer->setCurrentWidget(form->tabPerTbl);
    clip->clear();
    actCopy->trigger();
    EXPECT_TRUE(clip->text().contains(QStringLiteral("65.0"))) << qPrintable(clip->text());
    EXPECT_TRUE(clip->image().isNull());

    // The alarm table counts alarms per period (no levels); the list has no such column.
    form->pagesMain->setCurrentWidget(form->tabAlarms);
    form->pagesAlm->setCurrentWidget(form->tabAlmTable);
    clip->clear();
    actCopy->trigger();
    EXPECT_TRUE(clip->text().contains(QStringLiteral("Date\tTime\tAlarms"))) << qPrintable(clip->text());
    EXPECT_FALSE(clip->text().contains(QStringLiteral("65.0")));

    form->pagesAlm->setCurrentWidget(form->tabAlmList);
    clip->clear();
    actCopy->trigger();
    EXPECT_TRUE(clip->text().contains(QStringLiteral("Date\tTime"))) << qPrintable(clip->text());
    EXPECT_FALSE(clip->text().contains(QStringLiteral("Alarms")));
}

// Ctrl+C with the focus in a date picker used to copy the picker's text; Edit > Copy
// copies the report wherever the focus is.
TEST_F(FormMainTest, Copy_CtrlCInADatePickerCopiesTheReport)
{
    AddMonitor(QStringLiteral("M1"), QStringLiteral("A"));
    WritePerDay(QStringLiteral("M1"), dtNow.date(), 45, 65);
    WriteSettings("[report]\r\nmonitorsel=M1\r\n");
    auto form = Show();
    form->pagesPer->setCurrentWidget(form->tabPerTbl);
    form->activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(form.get()));
    form->dtpickStart->setFocus();
    ASSERT_TRUE(form->dtpickStart->hasFocus());
    QClipboard* clip = QGuiApplication::clipboard();
    clip->setText(QStringLiteral("before"));
    QTest::keyClick(form->dtpickStart, Qt::Key_C, Qt::ControlModifier);
    EXPECT_TRUE(clip->text().contains(QStringLiteral("65.0"))) << qPrintable(clip->text());
    EXPECT_FALSE(clip->text().contains(QStringLiteral("May"))) << "the picker's own text";
}

TEST_F(FormMainTest, HelpMenu_EveryItemOpensItsOwnDeliveredPage)
{
    auto form = Show();
    QList<QAction*> acts;
    for (QAction* act : form->findChildren<QAction*>())
        if (act->objectName().startsWith(QLatin1String("menuHelp")))
            acts.append(act);
    ASSERT_EQ(acts.size(), 21);

    QSet<QString> setPages;
    for (QAction* act : acts) {
        act->trigger();
        TformHelp* help = nullptr;
        for (QWidget* w : QApplication::topLevelWidgets())
            if (auto* h = qobject_cast<TformHelp*>(w))
                help = h;
        ASSERT_NE(help, nullptr) << qPrintable(act->objectName());
        EXPECT_TRUE(help->isVisible());
        // It opens centred on the main window (it used to open wherever the platform put
        // it), give or take its frame, which is known only once it is shown.
        if (act == acts.first()) {
            EXPECT_LE((help->frameGeometry().center() - form->frameGeometry().center()).manhattanLength(), 8)
                << help->frameGeometry().x() << "," << help->frameGeometry().y() << " "
                << help->frameGeometry().width() << "x" << help->frameGeometry().height() << " in "
                << form->frameGeometry().x() << "," << form->frameGeometry().y() << " "
                << form->frameGeometry().width() << "x" << form->frameGeometry().height();
        }
        const QString sPage =
            help->findChild<QTextBrowser*>(QStringLiteral("browser"))->source().toLocalFile();
        EXPECT_TRUE(QFileInfo(sPage).isFile()) << qPrintable(act->objectName()) << ": " << qPrintable(sPage);
        setPages.insert(sPage);
    }
    EXPECT_EQ(setPages.size(), acts.size());
}

// Help › Report Types listed Summary before Events, which the tabs show the other way
// round; the events, exceedances and limits pages used a heading level the style sheet
// does not style, so their headings looked unlike every other page's.
TEST_F(FormMainTest, HelpMenu_ReportTypesInTheOrderOfTheTabsEveryHeadingStyled)
{
    auto form = Show();
    QMenu* menuTypes = nullptr;
    for (QMenu* menu : form->findChildren<QMenu*>())
        if (menu->title() == QLatin1String("&Report Types"))
            menuTypes = menu;
    ASSERT_NE(menuTypes, nullptr);
    const QList<QAction*> acts = menuTypes->actions();
    ASSERT_EQ(acts.size(), form->pagesMain->count());
    for (int i = 0; i < form->pagesMain->count(); ++i) {
        const QString sItem = acts[i]->text().remove(u'&');
        EXPECT_TRUE(form->pagesMain->tabText(i).startsWith(sItem))
            << i << ": " << qPrintable(sItem) << " / " << qPrintable(form->pagesMain->tabText(i));
    }

    const QString sHelp = QCoreApplication::applicationDirPath() + QStringLiteral("/help-rp/");
    QFile fCss(sHelp + QStringLiteral("help.css"));
    ASSERT_TRUE(fCss.open(QIODevice::ReadOnly));
    const QString sCss = QString::fromUtf8(fCss.readAll());
    const QRegularExpression reHeading(QStringLiteral("<(h[1-6])[\\s>]"));
    int nPages = 0;
    QDirIterator it(sHelp, {QStringLiteral("*.html")}, QDir::Files, QDirIterator::Subdirectories);
    while (it.hasNext()) {
        QFile f(it.next());
        ASSERT_TRUE(f.open(QIODevice::ReadOnly));
        ++nPages;
        for (const QRegularExpressionMatch& m : reHeading.globalMatch(QString::fromUtf8(f.readAll()))) {
            const QRegularExpression reRule(QStringLiteral("(^|[\\s,}])") + m.captured(1) + QStringLiteral("\\s*\\{"));
            EXPECT_TRUE(reRule.match(sCss).hasMatch())
                << qPrintable(it.filePath()) << " uses <" << qPrintable(m.captured(1)) << ">, which help.css does not style";
        }
    }
    EXPECT_GE(nPages, 17);
}
