#include "dialogs/cfg.h"
#include "dialogs/weatherpage.h"

#include "platform/inifile.h"
#include "settings/cfg.h"

#include <QApplication>
#include <QCheckBox>
#include <QDoubleSpinBox>
#include <QComboBox>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QMessageBox>
#include <QPushButton>
#include <QScrollBar>
#include <QSpinBox>
#include <QTabWidget>
#include <QTableWidget>
#include <QTimeEdit>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>

#include <gtest/gtest.h>

#include <array>
#include <memory>
#include <utility>

namespace {

class TformCfgTest : public ::testing::Test
{
protected:
    void SetUp() override { ASSERT_TRUE(dir.isValid()); }

    QString IniPath() const { return dir.path() + QStringLiteral("/Kestrom/Tarvik-SV/rp_settings.ini"); }

    void WriteIni(const QByteArray& ba) const
    {
        ASSERT_TRUE(QDir().mkpath(dir.path() + QStringLiteral("/Kestrom/Tarvik-SV")));
        QFile f(IniPath());
        ASSERT_TRUE(f.open(QIODevice::WriteOnly));
        f.write(ba);
    }

    QByteArray IniBytes() const
    {
        QFile f(IniPath());
        return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
    }

    void Open()
    {
        cfg = std::make_unique<TCfg>(dir.path());
        dlg = std::make_unique<TformCfg>(*cfg, [this](const QString& sPage) { slHelp.append(sPage); });
        dlg->SetMessageFn([this](const QString& s) { slMessages.append(s); });
    }

    template <class T> T* Ctl(const char* szName) const
    {
        T* w = dlg->findChild<T*>(QLatin1String(szName));
        EXPECT_NE(w, nullptr) << szName;
        return w;
    }

    QStringList Ticked() const
    {
        QStringList sl;
        const auto* lst = Ctl<QListWidget>("chklstPerParams");
        for (int i = 0; i < lst->count(); ++i)
            if (lst->item(i)->checkState() == Qt::Checked)
                sl.append(lst->item(i)->text());
        return sl;
    }

    // Steps through a drop-down list with the arrow keys, as a user would, so that
    // only user picks reach the dialog.
    static void Pick(QComboBox* combo, const QString& sText)
    {
        const int iTarget = combo->findText(sText);
        ASSERT_GE(iTarget, 0) << qPrintable(sText);
        for (int n = 0; n < 20 && combo->currentIndex() != iTarget; ++n)
            QTest::keyClick(combo, combo->currentIndex() < iTarget ? Qt::Key_Down : Qt::Key_Up);
        ASSERT_EQ(combo->currentText(), sText);
    }

    QTemporaryDir dir;
    std::unique_ptr<TCfg> cfg;
    std::unique_ptr<TformCfg> dlg;
    QStringList slHelp;
    QStringList slMessages;
};

// --- Filling from the settings ----------------------------------------------------

TEST_F(TformCfgTest, FormCreate_FillsEveryControlFromTheSettings)
{
    WriteIni(
        "[app]\r\ndatapath=/srv/noise\r\n"
        "[report]\r\nautorefresh=0\r\nperparams=LAF90,LAeq\r\nyaxisauto=0\r\nyaxismin=30\r\nyaxismax=110\r\n"
        "[html]\r\nheader=Quarry North\r\nhidelogo=1\r\nzoom=1\r\nimageformat=png\r\n");
    Open();

    EXPECT_EQ(Ctl<QLineEdit>("editDataPath")->text(), QStringLiteral("/srv/noise/"));
    EXPECT_FALSE(Ctl<QCheckBox>("chkAutoRefresh")->isChecked());
    const auto* lst = Ctl<QListWidget>("chklstPerParams");
    ASSERT_EQ(lst->count(), MeasurementParams().size());
    for (int i = 0; i < lst->count(); ++i)
        EXPECT_EQ(lst->item(i)->text(), MeasurementParams()[i]);
    EXPECT_EQ(Ticked(), (QStringList{QStringLiteral("LAeq"), QStringLiteral("LAF90")}));
    EXPECT_FALSE(Ctl<QCheckBox>("chkAutoYAxis")->isChecked());
    EXPECT_EQ(Ctl<QComboBox>("comboYMin")->currentText(), QStringLiteral("30"));
    EXPECT_EQ(Ctl<QComboBox>("comboYMax")->currentText(), QStringLiteral("110"));
    EXPECT_TRUE(Ctl<QComboBox>("comboYMin")->isEnabled());
    EXPECT_TRUE(Ctl<QComboBox>("comboYMax")->isEnabled());
    EXPECT_EQ(Ctl<QLineEdit>("editHtmlHeader")->text(), QStringLiteral("Quarry North"));
    EXPECT_TRUE(Ctl<QCheckBox>("chkHtmlHideLogo")->isChecked());
    EXPECT_TRUE(Ctl<QCheckBox>("chkHtmlZoom")->isChecked());
    EXPECT_EQ(Ctl<QComboBox>("comboHtmlImages")->currentData().toString(), QStringLiteral("png"));
}

// --- Y-axis controls ----------------------------------------------------------------

TEST_F(TformCfgTest, YLists_KeepMaximumAboveMinimum)
{
    Open();
    auto* comboMin = Ctl<QComboBox>("comboYMin");
    auto* comboMax = Ctl<QComboBox>("comboYMax");
    QTest::mouseClick(Ctl<QCheckBox>("chkAutoYAxis"), Qt::LeftButton);
    ASSERT_TRUE(comboMin->isEnabled());

    Pick(comboMin, QStringLiteral("90"));
    EXPECT_EQ(comboMax->currentText(), QStringLiteral("100"));
    Pick(comboMax, QStringLiteral("30"));
    EXPECT_EQ(comboMin->currentText(), QStringLiteral("20"));
    // A pick that keeps the order moves nothing.
    Pick(comboMax, QStringLiteral("60"));
    EXPECT_EQ(comboMin->currentText(), QStringLiteral("20"));
    Pick(comboMin, QStringLiteral("40"));
    EXPECT_EQ(comboMax->currentText(), QStringLiteral("60"));
}

TEST_F(TformCfgTest, AutomaticTicked_GreysBothListsAndOkStillStoresThem)
{
    WriteIni("[report]\r\nyaxisauto=0\r\nyaxismin=40\r\nyaxismax=90\r\n");
    Open();
    auto* chk = Ctl<QCheckBox>("chkAutoYAxis");
    QTest::mouseClick(chk, Qt::LeftButton);
    EXPECT_FALSE(Ctl<QComboBox>("comboYMin")->isEnabled());
    EXPECT_FALSE(Ctl<QComboBox>("comboYMax")->isEnabled());
    Ctl<QPushButton>("btnOK")->click();

    const TCfg cfgAfter(dir.path());
    EXPECT_TRUE(cfgAfter.RepYAuto());
    EXPECT_EQ(cfgAfter.RepYMin(), 40);
    EXPECT_EQ(cfgAfter.RepYMax(), 90);
}

// A hand-edited value that is not in its list used to leave OK without a value to
// store; the stored value must survive unchanged.
TEST_F(TformCfgTest, StoredValueNotInList_OkKeepsItAndCouplingInventsNone)
{
    WriteIni("[report]\r\nyaxisauto=0\r\nyaxismin=25\r\nyaxismax=80\r\n");
    Open();
    auto* comboMin = Ctl<QComboBox>("comboYMin");
    EXPECT_EQ(comboMin->currentIndex(), -1);

    Pick(Ctl<QComboBox>("comboYMax"), QStringLiteral("30"));
    EXPECT_EQ(comboMin->currentIndex(), -1);
    Ctl<QPushButton>("btnOK")->click();

    const TCfg cfgAfter(dir.path());
    EXPECT_EQ(cfgAfter.RepYMin(), 25);
    EXPECT_EQ(cfgAfter.RepYMax(), 30);
    EXPECT_TRUE(IniBytes().contains("yaxismin=25"));
}

// A hand-edited minimum outside the list, or one at or above the maximum, used to reach
// the settings as it was: OK stored a minimum above the maximum, and the charts then
// ignored the fixed range.
TEST_F(TformCfgTest, HandEditedRange_OkNeverStoresMinimumAtOrAboveMaximum)
{
    struct TCase
    {
        const char* pszIni;
        const char* pszPickMax; // none: OK straight away
        int nMin;
        int nMax;
    };
    const TCase aCases[] = {
        {"yaxismin=25\r\nyaxismax=80", "20", 10, 20},     // the unlisted minimum crossed by a pick
        {"yaxismin=135\r\nyaxismax=80", nullptr, 70, 80}, // unlisted and above a listed maximum
        {"yaxismin=90\r\nyaxismax=50", nullptr, 90, 100}, // both listed, crossed
        {"yaxismin=60\r\nyaxismax=60", nullptr, 60, 70},  // equal
        {"yaxismin=25\r\nyaxismax=15", nullptr, 20, 30},  // neither in its list
        {"yaxismin=25\r\nyaxismax=85", nullptr, 25, 85},  // unlisted but in order: kept
    };
    for (const TCase& c : aCases) {
        SCOPED_TRACE(c.pszIni);
        WriteIni(QByteArray("[report]\r\nyaxisauto=0\r\n") + c.pszIni + "\r\n");
        Open();
        if (c.pszPickMax)
            Pick(Ctl<QComboBox>("comboYMax"), QString::fromLatin1(c.pszPickMax));
        Ctl<QPushButton>("btnOK")->click();
        const TCfg cfgAfter(dir.path());
        EXPECT_EQ(cfgAfter.RepYMin(), c.nMin);
        EXPECT_EQ(cfgAfter.RepYMax(), c.nMax);
    }

    // Picking a minimum leaves an unlisted maximum alone while the two stay in order.
    WriteIni("[report]\r\nyaxisauto=0\r\nyaxismin=20\r\nyaxismax=85\r\n");
    Open();
    Pick(Ctl<QComboBox>("comboYMin"), QStringLiteral("40"));
    EXPECT_EQ(Ctl<QComboBox>("comboYMax")->currentIndex(), -1);
    Pick(Ctl<QComboBox>("comboYMin"), QStringLiteral("90"));
    EXPECT_EQ(Ctl<QComboBox>("comboYMax")->currentText(), QStringLiteral("100"));
}

// --- OK and Cancel ----------------------------------------------------------------------

TEST_F(TformCfgTest, Ok_WritesEveryKeyReadBackBySettingsOpenedAgain)
{
    Open();
    Ctl<QLineEdit>("editDataPath")->setText(dir.path() + QStringLiteral("/elsewhere"));
    QTest::mouseClick(Ctl<QCheckBox>("chkAutoRefresh"), Qt::LeftButton);
    auto* lst = Ctl<QListWidget>("chklstPerParams");
    lst->item(0)->setCheckState(Qt::Unchecked); // LAeq
    lst->item(1)->setCheckState(Qt::Checked);   // LAFmin
    lst->item(8)->setCheckState(Qt::Checked);   // LAF99
    QTest::mouseClick(Ctl<QCheckBox>("chkAutoYAxis"), Qt::LeftButton);
    Pick(Ctl<QComboBox>("comboYMin"), QStringLiteral("30"));
    Pick(Ctl<QComboBox>("comboYMax"), QStringLiteral("120"));
    Ctl<QLineEdit>("editHtmlHeader")->setText(QStringLiteral("Bypass Survey"));
    QTest::mouseClick(Ctl<QCheckBox>("chkHtmlHideLogo"), Qt::LeftButton);
    QTest::mouseClick(Ctl<QCheckBox>("chkHtmlZoom"), Qt::LeftButton);
    Ctl<QComboBox>("comboHtmlImages")->setCurrentIndex(1);

    Ctl<QPushButton>("btnOK")->click();
    EXPECT_EQ(dlg->result(), QDialog::Accepted);

    TCfg cfgAfter(dir.path());
    EXPECT_EQ(cfgAfter.DataPath(), dir.path() + QStringLiteral("/elsewhere/"));
    EXPECT_FALSE(cfgAfter.AutoRefresh());
    // Names newly ticked follow the ones that stay, in list order.
    EXPECT_EQ(cfgAfter.PerParams(),
              (QStringList{QStringLiteral("LAFmax"), QStringLiteral("LAF10"), QStringLiteral("LAF90"),
                           QStringLiteral("LAFmin"), QStringLiteral("LAF99")}));
    EXPECT_FALSE(cfgAfter.RepYAuto());
    EXPECT_EQ(cfgAfter.RepYMin(), 30);
    EXPECT_EQ(cfgAfter.RepYMax(), 120);
    EXPECT_EQ(cfgAfter.HtmlHeader(), QStringLiteral("Bypass Survey"));
    EXPECT_TRUE(cfgAfter.HtmlHideLogo());
    EXPECT_TRUE(cfgAfter.HtmlZoom());
    EXPECT_EQ(cfgAfter.HtmlImageFormat(), QStringLiteral("png"));
}

TEST_F(TformCfgTest, Cancel_WritesNothing)
{
    WriteIni("[report]\r\nyaxisauto=0\r\n");
    Open();
    // Opening may store the resolved default data path; the dialog's own edits must not.
    const QByteArray baBefore = IniBytes();
    Ctl<QLineEdit>("editDataPath")->setText(QStringLiteral("/somewhere/else"));
    QTest::mouseClick(Ctl<QCheckBox>("chkAutoRefresh"), Qt::LeftButton);
    Ctl<QListWidget>("chklstPerParams")->item(0)->setCheckState(Qt::Unchecked);
    Pick(Ctl<QComboBox>("comboYMin"), QStringLiteral("60"));
    Ctl<QLineEdit>("editHtmlHeader")->setText(QStringLiteral("Changed"));
    Ctl<QSpinBox>("spinDayHour")->setValue(6);
    Ctl<QSpinBox>("spinCoverage")->setValue(40);
    QTest::mouseClick(Ctl<QCheckBox>("chkLdenLimit"), Qt::LeftButton);

    dlg->show();
    Ctl<QPushButton>("btnCancel")->click();

    EXPECT_FALSE(dlg->isVisible());
    EXPECT_EQ(IniBytes(), baBefore);
    EXPECT_EQ(cfg->HtmlHeader(), QStringLiteral("Tarvik Report"));
    EXPECT_EQ(cfg->RatingDayHour(), 7);
    EXPECT_FALSE(cfg->RatingLdenLimitOn());
}

TEST_F(TformCfgTest, EmptyDataPath_IsStoredEmptyAndBringsBackTheDefault)
{
    WriteIni("[app]\r\ndatapath=/srv/noise/\r\n");
    Open();
    Ctl<QLineEdit>("editDataPath")->clear();
    Ctl<QPushButton>("btnOK")->click();
    EXPECT_EQ(TIniFile(IniPath()).ReadString(QStringLiteral("app"), QStringLiteral("datapath"),
                                             QStringLiteral("?")),
              QString());

    TCfg cfgAfter(dir.path());
    const QString sDefault = dir.path() + QStringLiteral("/Kestrom/Tarvik-SV/data/");
    EXPECT_EQ(cfgAfter.DataPath(), sDefault);
    EXPECT_EQ(TIniFile(IniPath()).ReadString(QStringLiteral("app"), QStringLiteral("datapath"), QString()),
              sDefault);
}

// --- Rating page ------------------------------------------------------------------------

TEST_F(TformCfgTest, RatingPage_ShowsTheStoredValuesAndEnablesOnlyTickedLimits)
{
    WriteIni(
        "[rating]\r\ndayhour=6\r\neveninghour=18\r\nnighthour=22\r\neveningpenalty=3\r\nnightpenalty=8\r\n"
        "coverage=60\r\nldenlimit=62\r\nldenlimiton=1\r\nnightlimit=45\r\nnightlimiton=0\r\n");
    Open();
    dlg->SetActivePage(3);
    EXPECT_EQ(Ctl<QTabWidget>("pageCfg")->currentWidget()->objectName(), QStringLiteral("tabRating"));

    EXPECT_EQ(Ctl<QSpinBox>("spinDayHour")->value(), 6);
    EXPECT_EQ(Ctl<QSpinBox>("spinEveningHour")->value(), 18);
    EXPECT_EQ(Ctl<QSpinBox>("spinNightHour")->value(), 22);
    EXPECT_EQ(Ctl<QSpinBox>("spinEveningPenalty")->value(), 3);
    EXPECT_EQ(Ctl<QSpinBox>("spinNightPenalty")->value(), 8);
    EXPECT_EQ(Ctl<QSpinBox>("spinCoverage")->value(), 60);
    EXPECT_TRUE(Ctl<QCheckBox>("chkLdenLimit")->isChecked());
    EXPECT_EQ(Ctl<QSpinBox>("spinLdenLimit")->value(), 62);
    EXPECT_TRUE(Ctl<QSpinBox>("spinLdenLimit")->isEnabled());
    EXPECT_FALSE(Ctl<QCheckBox>("chkNightLimit")->isChecked());
    EXPECT_EQ(Ctl<QSpinBox>("spinNightLimit")->value(), 45);
    EXPECT_FALSE(Ctl<QSpinBox>("spinNightLimit")->isEnabled());
}

TEST_F(TformCfgTest, RatingLimits_SpinBoxFollowsItsCheckBox)
{
    Open();
    dlg->show();
    dlg->SetActivePage(3);
    const std::pair<const char*, const char*> aPairs[] = {{"chkLdenLimit", "spinLdenLimit"},
                                                          {"chkNightLimit", "spinNightLimit"}};
    for (const auto& [szChk, szSpin] : aPairs) {
        auto* chk = Ctl<QCheckBox>(szChk);
        auto* spin = Ctl<QSpinBox>(szSpin);
        ASSERT_FALSE(chk->isChecked()) << szChk;
        EXPECT_FALSE(spin->isEnabled()) << szSpin;
        QTest::mouseClick(chk, Qt::LeftButton);
        EXPECT_TRUE(spin->isEnabled()) << szSpin;
        QTest::mouseClick(chk, Qt::LeftButton);
        EXPECT_FALSE(spin->isEnabled()) << szSpin;
    }
}

TEST_F(TformCfgTest, RatingOk_WritesItsOwnSectionReadBackBySettingsOpenedAgain)
{
    WriteIni("[rating]\r\nnightlimit=48\r\nnightlimiton=1\r\n");
    Open();
    Ctl<QSpinBox>("spinDayHour")->setValue(6);
    Ctl<QSpinBox>("spinEveningHour")->setValue(20);
    Ctl<QSpinBox>("spinNightHour")->setValue(22);
    Ctl<QSpinBox>("spinEveningPenalty")->setValue(0);
    Ctl<QSpinBox>("spinNightPenalty")->setValue(15);
    Ctl<QSpinBox>("spinCoverage")->setValue(90);
    QTest::mouseClick(Ctl<QCheckBox>("chkLdenLimit"), Qt::LeftButton);
    Ctl<QSpinBox>("spinLdenLimit")->setValue(65);
    Ctl<QSpinBox>("spinNightLimit")->setValue(52);
    QTest::mouseClick(Ctl<QCheckBox>("chkNightLimit"), Qt::LeftButton);

    Ctl<QPushButton>("btnOK")->click();
    EXPECT_EQ(dlg->result(), QDialog::Accepted);
    EXPECT_TRUE(slMessages.isEmpty());

    const TCfg cfgAfter(dir.path());
    EXPECT_EQ(cfgAfter.RatingDayHour(), 6);
    EXPECT_EQ(cfgAfter.RatingEveningHour(), 20);
    EXPECT_EQ(cfgAfter.RatingNightHour(), 22);
    EXPECT_EQ(cfgAfter.RatingEveningPenalty(), 0);
    EXPECT_EQ(cfgAfter.RatingNightPenalty(), 15);
    EXPECT_EQ(cfgAfter.RatingCoverage(), 90);
    EXPECT_TRUE(cfgAfter.RatingLdenLimitOn());
    EXPECT_EQ(cfgAfter.RatingLdenLimit(), 65);
    // A limit switched off keeps the value it was last given.
    EXPECT_FALSE(cfgAfter.RatingNightLimitOn());
    EXPECT_EQ(cfgAfter.RatingNightLimit(), 52);
    const TIniFile ini(IniPath());
    EXPECT_EQ(ini.ReadString(QStringLiteral("rating"), QStringLiteral("dayhour"), QString()),
              QStringLiteral("6"));
    EXPECT_EQ(ini.ReadString(QStringLiteral("rating"), QStringLiteral("ldenlimit"), QString()),
              QStringLiteral("65"));
}

// Hours out of turn or all equal cannot split a day: OK must store none of the
// dialog's settings, not just skip the hours.
TEST_F(TformCfgTest, RatingInvalidHours_OkSaysWhyShowsThePageAndWritesNothing)
{
    const std::array<std::array<int, 3>, 2> aHours{{{7, 7, 7}, {19, 7, 23}}};
    for (const auto& an : aHours) {
        SCOPED_TRACE(testing::Message() << an[0] << '/' << an[1] << '/' << an[2]);
        Open();
        slMessages.clear();
        const QByteArray baBefore = IniBytes();
        dlg->show();
        dlg->SetActivePage(0);
        QTest::mouseClick(Ctl<QCheckBox>("chkAutoRefresh"), Qt::LeftButton);
        Ctl<QLineEdit>("editHtmlHeader")->setText(QStringLiteral("Changed"));
        Ctl<QSpinBox>("spinDayHour")->setValue(an[0]);
        Ctl<QSpinBox>("spinEveningHour")->setValue(an[1]);
        Ctl<QSpinBox>("spinNightHour")->setValue(an[2]);
        Ctl<QSpinBox>("spinCoverage")->setValue(10);

        Ctl<QPushButton>("btnOK")->click();
        EXPECT_TRUE(dlg->isVisible());
        EXPECT_NE(dlg->result(), QDialog::Accepted);
        ASSERT_EQ(slMessages.size(), 1);
        EXPECT_TRUE(slMessages[0].contains(QLatin1String("start hours"))) << qPrintable(slMessages[0]);
        EXPECT_EQ(Ctl<QTabWidget>("pageCfg")->currentWidget()->objectName(), QStringLiteral("tabRating"));
        EXPECT_EQ(IniBytes(), baBefore);
        const TCfg cfgAfter(dir.path());
        EXPECT_EQ(cfgAfter.RatingDayHour(), 7);
        EXPECT_EQ(cfgAfter.RatingCoverage(), 75);
        EXPECT_EQ(cfgAfter.HtmlHeader(), QStringLiteral("Tarvik Report"));

        // Mended hours then go through with everything else.
        Ctl<QSpinBox>("spinDayHour")->setValue(6);
        Ctl<QSpinBox>("spinEveningHour")->setValue(18);
        Ctl<QSpinBox>("spinNightHour")->setValue(22);
        Ctl<QPushButton>("btnOK")->click();
        EXPECT_EQ(dlg->result(), QDialog::Accepted);
        EXPECT_EQ(slMessages.size(), 1);
        const TCfg cfgMended(dir.path());
        EXPECT_EQ(cfgMended.RatingEveningHour(), 18);
        EXPECT_EQ(cfgMended.RatingCoverage(), 10);
        EXPECT_EQ(cfgMended.HtmlHeader(), QStringLiteral("Changed"));
        ASSERT_TRUE(QFile::remove(IniPath()));
    }
}

// The message about start hours is an error that stops OK: it carries the error icon.
TEST_F(TformCfgTest, RatingInvalidHours_MessageBoxHasTheErrorIcon)
{
    cfg = std::make_unique<TCfg>(dir.path());
    TformCfg dlgOwn(*cfg, {});
    dlgOwn.show();
    dlgOwn.findChild<QSpinBox*>(QStringLiteral("spinEveningHour"))->setValue(7);
    dlgOwn.findChild<QSpinBox*>(QStringLiteral("spinNightHour"))->setValue(7);
    QMessageBox::Icon icon = QMessageBox::NoIcon;
    QString sText;
    QTimer::singleShot(0, &dlgOwn, [&] {
        if (auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget())) {
            icon = box->icon();
            sText = box->text();
            box->accept();
        }
    });
    dlgOwn.findChild<QPushButton*>(QStringLiteral("btnOK"))->click();
    EXPECT_EQ(icon, QMessageBox::Critical);
    EXPECT_TRUE(sText.contains(QLatin1String("start hours"))) << qPrintable(sText);
}

// --- Events page ----------------------------------------------------------------------

TEST_F(TformCfgTest, EventsOk_WritesOnlyWhatChangedInItsOwnSection)
{
    Open();
    // The hours follow the rating hours until they are set apart.
    EXPECT_TRUE(Ctl<QCheckBox>("chkEvtRatingHours")->isChecked());
    EXPECT_FALSE(Ctl<QSpinBox>("spinEvtDayHour")->isEnabled());
    EXPECT_EQ(Ctl<QSpinBox>("spinEvtNightHour")->value(), 23);
    EXPECT_FALSE(Ctl<QSpinBox>("spinEvtMaxDuration")->isEnabled());
    Ctl<QPushButton>("btnOK")->click();
    EXPECT_EQ(dlg->result(), QDialog::Accepted);
    EXPECT_FALSE(IniBytes().contains("[events]"));

    Open();
    Ctl<QLineEdit>("editEvtDayThreshold")->setText(QStringLiteral(" 62.5"));
    QTest::mouseClick(Ctl<QCheckBox>("chkEvtRatingHours"), Qt::LeftButton);
    EXPECT_TRUE(Ctl<QSpinBox>("spinEvtDayHour")->isEnabled());
    Ctl<QSpinBox>("spinEvtDayHour")->setValue(6);
    Ctl<QSpinBox>("spinEvtMinDuration")->setValue(8);
    QTest::mouseClick(Ctl<QCheckBox>("chkEvtMaxDuration"), Qt::LeftButton);
    EXPECT_TRUE(Ctl<QSpinBox>("spinEvtMaxDuration")->isEnabled());
    Ctl<QSpinBox>("spinEvtMaxDuration")->setValue(120);
    Ctl<QLineEdit>("editEvtNLevels")->setText(QStringLiteral("70, 80.5"));
    QTest::mouseClick(Ctl<QCheckBox>("chkEvtShowSpans"), Qt::LeftButton);
    EXPECT_FALSE(Ctl<QSpinBox>("spinEvtBgMinutes")->isEnabled());
    QTest::mouseClick(Ctl<QCheckBox>("chkEvtBackground"), Qt::LeftButton);
    EXPECT_TRUE(Ctl<QSpinBox>("spinEvtBgMinutes")->isEnabled());
    Ctl<QDoubleSpinBox>("spinEvtBgMargin")->setValue(12.5);
    Ctl<QPushButton>("btnOK")->click();
    EXPECT_EQ(dlg->result(), QDialog::Accepted);
    EXPECT_TRUE(slMessages.isEmpty());

    const TCfg cfgAfter(dir.path());
    EXPECT_EQ(cfgAfter.EvtDayThreshold(), 62.5);
    EXPECT_EQ(cfgAfter.EvtNightThreshold(), 55);
    EXPECT_EQ(cfgAfter.EvtDayHour(), 6);
    EXPECT_EQ(cfgAfter.EvtNightHour(), 23);
    EXPECT_EQ(cfgAfter.EvtMinDuration(), 8);
    EXPECT_EQ(cfgAfter.EvtMaxDuration(), 120);
    EXPECT_EQ(cfgAfter.EvtNLevels(), QStringLiteral("70,80.5"));
    EXPECT_FALSE(cfgAfter.EvtShowSpans());
    EXPECT_TRUE(cfgAfter.EvtShowThreshold());
    EXPECT_TRUE(cfgAfter.EvtBackground());
    EXPECT_EQ(cfgAfter.EvtBgMargin(), 12.5);
    EXPECT_EQ(cfgAfter.EvtBgMinutes(), 10);
    const TIniFile ini(IniPath());
    EXPECT_EQ(ini.ReadString(QStringLiteral("events"), QStringLiteral("daythreshold"), QString()),
              QStringLiteral("62.5"));
    // Unchanged values are not written.
    EXPECT_EQ(ini.ReadString(QStringLiteral("events"), QStringLiteral("hangtime"), QStringLiteral("none")),
              QStringLiteral("none"));
}

TEST_F(TformCfgTest, EventsPage_NoControlCoversAnother)
{
    // Regression: the line edits of the thresholds asked for their wide default size,
    // and the "dB from" captions were laid over them, hiding the values.
    Open();
    dlg->show();
    dlg->SetActivePage(4);
    const QWidget* tab = Ctl<QWidget>("tabEvents");
    const QList<QWidget*> aw = tab->findChildren<QWidget*>(Qt::FindDirectChildrenOnly);
    ASSERT_GT(aw.size(), 15);
    for (qsizetype i = 0; i < aw.size(); ++i) {
        // Every control lies inside the page, which lies inside the dialog.
        EXPECT_TRUE(tab->rect().contains(aw[i]->geometry())) << qPrintable(aw[i]->objectName());
        for (qsizetype j = i + 1; j < aw.size(); ++j)
            EXPECT_FALSE(aw[i]->geometry().intersects(aw[j]->geometry()))
                << qPrintable(aw[i]->objectName()) << " / " << qPrintable(aw[j]->objectName());
    }
    EXPECT_FALSE(Ctl<QWidget>("btnHelp")->geometry().intersects(Ctl<QWidget>("pageCfg")->geometry()));
}

TEST_F(TformCfgTest, EventsInvalid_OkSaysWhyShowsThePageAndWritesNothing)
{
    struct TBad
    {
        const char* szThreshold;
        int nMin;
        const char* szLevels;
        const char* szWhy;
    };
    const TBad aBad[] = {{"abc", 5, "65", "threshold"},
                         {"180.1", 5, "65", "threshold"},
                         {"", 5, "65", "threshold"},
                         {"60", 301, "65", "minimum"},
                         {"60", 5, "65,loud", "levels"},
                         {"60", 5, "200", "levels"}};
    for (const TBad& bad : aBad) {
        SCOPED_TRACE(bad.szWhy);
        Open();
        slMessages.clear();
        const QByteArray baBefore = IniBytes();
        dlg->show();
        dlg->SetActivePage(0);
        Ctl<QLineEdit>("editHtmlHeader")->setText(QStringLiteral("Changed"));
        Ctl<QLineEdit>("editEvtNightThreshold")->setText(QLatin1String(bad.szThreshold));
        QTest::mouseClick(Ctl<QCheckBox>("chkEvtMaxDuration"), Qt::LeftButton);
        Ctl<QSpinBox>("spinEvtMaxDuration")->setValue(300);
        Ctl<QSpinBox>("spinEvtMinDuration")->setValue(bad.nMin);
        Ctl<QLineEdit>("editEvtNLevels")->setText(QLatin1String(bad.szLevels));

        Ctl<QPushButton>("btnOK")->click();
        EXPECT_NE(dlg->result(), QDialog::Accepted);
        ASSERT_EQ(slMessages.size(), 1);
        EXPECT_TRUE(slMessages[0].contains(QLatin1String(bad.szWhy))) << qPrintable(slMessages[0]);
        EXPECT_EQ(Ctl<QTabWidget>("pageCfg")->currentWidget()->objectName(), QStringLiteral("tabEvents"));
        EXPECT_EQ(IniBytes(), baBefore);
    }
}

// --- Limits -----------------------------------------------------------------------------

TEST_F(TformCfgTest, LimitsPage_BadLimitIsRefusedWithNothingWrittenThenEditsAreStored)
{
    // One readable rule and one that is not: the page shows the first; the second is
    // kept, unread, behind whatever the page stores.
    WriteIni(
        "[rp_limits]\r\nnight=*; LAeq; Mon-Sun; 23:00-07:00; 45.0; Night\r\nodd=*; LAeq; Mon; 7; 50\r\n");
    Open();
    dlg->show();
    auto* grid = Ctl<QTableWidget>("gridRules");
    ASSERT_EQ(grid->rowCount(), 1);
    EXPECT_EQ(grid->item(0, 3)->text(), QStringLiteral("23:00-07:00"));
    EXPECT_EQ(Ctl<QLineEdit>("editLimit")->text(), QStringLiteral("45.0"));

    // A copy of the selected rule, changed to Saturday daytime, with a limit that is no number.
    Ctl<QPushButton>("btnAddRule")->click();
    ASSERT_EQ(grid->rowCount(), 2);
    EXPECT_EQ(grid->currentRow(), 1);
    for (int d = 1; d <= 7; ++d)
        Ctl<QCheckBox>(qPrintable(QStringLiteral("chkDay") + QString::number(d)))->setChecked(d == 6);
    Ctl<QTimeEdit>("timeLimitFrom")->setTime(QTime(8, 0));
    Ctl<QTimeEdit>("timeLimitTo")->setTime(QTime(13, 30));
    Ctl<QLineEdit>("editLimitLabel")->setText(QStringLiteral("Saturday"));
    dlg->SetActivePage(0);
    const QByteArray baBefore = IniBytes();
    for (const char* sz : {"abc", "1e400", "-5", "65.25", ""}) {
        slMessages.clear();
        Ctl<QLineEdit>("editLimit")->setText(QLatin1String(sz));
        Ctl<QPushButton>("btnOK")->click();
        EXPECT_NE(dlg->result(), QDialog::Accepted) << sz;
        ASSERT_EQ(slMessages.size(), 1) << sz;
        EXPECT_TRUE(slMessages[0].startsWith(QLatin1String("Limit rule 2:"))) << qPrintable(slMessages[0]);
        EXPECT_EQ(Ctl<QTabWidget>("pageCfg")->currentWidget()->objectName(), QStringLiteral("tabLimits"));
        EXPECT_EQ(IniBytes(), baBefore);
    }

    Ctl<QLineEdit>("editLimit")->setText(QStringLiteral("62.5"));
    Ctl<QPushButton>("btnOK")->click();
    EXPECT_EQ(dlg->result(), QDialog::Accepted);
    const TCfg cfgAfter(dir.path());
    EXPECT_EQ(cfgAfter.LimitRules(),
              (QStringList{QStringLiteral("*; LAeq; Mon-Sun; 23:00-07:00; 45.0; Night"),
                           QStringLiteral("*; LAeq; Sat; 08:00-13:30; 62.5; Saturday"),
                           QStringLiteral("*; LAeq; Mon; 7; 50")}));

    // Removing a rule stores the rest; an untouched page writes nothing.
    Open();
    ASSERT_EQ(Ctl<QTableWidget>("gridRules")->rowCount(), 2);
    Ctl<QTableWidget>("gridRules")->setCurrentCell(0, 0);
    Ctl<QPushButton>("btnRemoveRule")->click();
    Ctl<QPushButton>("btnOK")->click();
    EXPECT_EQ(TCfg(dir.path()).LimitRules().size(), 2);
    const QByteArray baKept = IniBytes();
    Open();
    Ctl<QPushButton>("btnOK")->click();
    EXPECT_EQ(IniBytes(), baKept);
}

TEST_F(TformCfgTest, LimitsPage_OkWithoutEditsLeavesTheSectionByteForByte)
{
    // Fault: OK renumbered hand-named keys, rewrote their spacing and moved an unread
    // rule to the end, though nothing was edited.
    const QByteArray baIni =
        "[rp_limits]\r\nnight=*;LAeq;Mon-Fri;23:00-7:00;45;Night\r\n"
        "odd=*; LAeq; Mon; 7; 50\r\nday = 0042 ; LAFmax ; Sat,Sun ; 07:00-19:00 ; 80.0\r\n"
        "[other]\r\nx=1\r\n";
    WriteIni(baIni);
    Open();
    dlg->show();
    dlg->SetActivePage(5);
    ASSERT_EQ(Ctl<QTableWidget>("gridRules")->rowCount(), 2);
    Ctl<QTableWidget>("gridRules")->setCurrentCell(1, 0); // looking is no edit
    Ctl<QPushButton>("btnOK")->click();
    EXPECT_EQ(dlg->result(), QDialog::Accepted);
    // The other pages store their values after it; the section itself is unchanged.
    EXPECT_TRUE(IniBytes().startsWith(baIni)) << IniBytes().toStdString();
}

TEST_F(TformCfgTest, LimitsPage_ShowsEightRulesAndEveryColumn)
{
    // Fault: the fixed dialog showed five rules and cut the label column off.
    QByteArray baIni = "[rp_limits]\r\n";
    for (int i = 1; i <= 12; ++i)
        baIni += "rule" + QByteArray::number(i) +
                 "=0042; LAFmax; Mon-Fri,Sun; 23:00-07:00; 80.0; Night LAFmax by the quarry\r\n";
    WriteIni(baIni);
    Open();
    dlg->show();
    const QSize szOther = dlg->size();
    dlg->SetActivePage(5);
    QApplication::processEvents();
    auto* grid = Ctl<QTableWidget>("gridRules");
    ASSERT_EQ(grid->rowCount(), 12);
    // Eight whole rows below the header.
    EXPECT_GE(grid->viewport()->height(), 8 * grid->rowHeight(0)) << grid->viewport()->height();
    // Every column starts and ends inside the table, the label with room for its heading.
    const int nLast = grid->columnCount() - 1;
    EXPECT_LE(grid->columnViewportPosition(nLast) + grid->columnWidth(nLast), grid->viewport()->width());
    EXPECT_GE(grid->columnWidth(nLast), 100);
    EXPECT_FALSE(grid->horizontalScrollBar()->isVisible());
    // The text of every column but the free label is whole, and so are the headings.
    for (int c = 0; c < nLast; ++c) {
        EXPECT_GE(grid->columnWidth(c), grid->fontMetrics().horizontalAdvance(grid->item(0, c)->text())) << c;
        EXPECT_GE(grid->columnWidth(c), grid->horizontalHeader()->sectionSizeHint(c)) << c;
    }
    // The editor and the buttons stay inside the dialog.
    for (const char* sz : {"editLimitLabel", "btnOK", "btnCancel", "btnRemoveRule"}) {
        const QWidget* w = Ctl<QWidget>(sz);
        const QRect rc(w->mapTo(dlg.get(), QPoint(0, 0)), w->size());
        EXPECT_TRUE(dlg->rect().contains(rc)) << sz;
    }
    EXPECT_GE(dlg->width(), szOther.width());
    EXPECT_GE(dlg->height(), szOther.height());
}

// --- Weather ---------------------------------------------------------------------------

TEST_F(TformCfgTest, WeatherPage_SaysWhatTheFileGivesWithTheRulesOnThePage)
{
    // Wind 6, 6, 4, 9 and rain 0, 0.5, 0.5, 0 every ten minutes: above 5 m/s the wind
    // gives 10:00-10:20 and 10:30-10:40, any rain 10:10-10:30.
    const QString sWeather = dir.path() + QStringLiteral("/weather.csv");
    QFile f(sWeather);
    ASSERT_TRUE(f.open(QIODevice::WriteOnly));
    f.write("datetime,wind,rain\n2026-03-01 10:00,6,0\n2026-03-01 10:10,6,0.5\n2026-03-01 10:20,4,0.5\n"
            "2026-03-01 10:30,9,0\nlater,1,1\n");
    f.close();
    Open();
    auto* lbl = Ctl<QLabel>("lblWeatherResult");
    EXPECT_EQ(lbl->text(), QStringLiteral("No weather file is set for the installation."));
    Ctl<QLineEdit>("editWeatherFile")->setText(sWeather);
    Ctl<QLineEdit>("editWeatherFile")->editingFinished();
    const QString sBad = QStringLiteral(" 1 row of the weather file ") + sWeather +
                         QStringLiteral(" cannot be read: line 6: the time \"later\" is not yyyy-MM-dd HH:mm[:ss].");
    EXPECT_EQ(lbl->text(), QStringLiteral("The file gives 2 periods of wind and 1 of rain.") + sBad);
    Ctl<QDoubleSpinBox>("spinWindAbove")->setValue(6); // 6 is not above 6
    EXPECT_EQ(lbl->text(), QStringLiteral("The file gives 1 period of wind and 1 of rain.") + sBad);
    Ctl<QCheckBox>("chkRainAbove")->setChecked(false);
    EXPECT_FALSE(Ctl<QDoubleSpinBox>("spinRainAbove")->isEnabled());
    EXPECT_EQ(lbl->text(), QStringLiteral("The file gives 1 period of wind and 0 of rain.") + sBad);
    Ctl<QLineEdit>("editWeatherFile")->setText(sWeather + QStringLiteral(".old"));
    Ctl<QLineEdit>("editWeatherFile")->editingFinished();
    EXPECT_EQ(lbl->text(), QStringLiteral("The weather file ") + sWeather + QStringLiteral(".old is missing."));
}

TEST_F(TformCfgTest, WeatherPage_OkStoresTheRulesAndEveryMonitorsFileCancelNothing)
{
    // A file stored for a monitor the installation no longer lists stays.
    WriteIni("[weather]\r\nmonitorfiles=OLD,/w/old.csv\r\nwindabove=8\r\n");
    Open();
    dlg->SetMonitors({{QStringLiteral("M1"), QStringLiteral("North")}, {QStringLiteral("M2"), QStringLiteral("South")}});
    auto* page = dlg->findChild<TWeatherPage*>(QStringLiteral("tabWeather"));
    ASSERT_NE(page, nullptr);
    auto* grid = Ctl<QTableWidget>("gridWeatherMonitors");
    ASSERT_EQ(grid->rowCount(), 3);
    EXPECT_EQ(grid->item(1, 0)->text(), QStringLiteral("South (M2)"));
    EXPECT_EQ(grid->item(2, 0)->text(), QStringLiteral("OLD"));
    EXPECT_EQ(grid->item(2, 1)->text(), QStringLiteral("/w/old.csv"));
    EXPECT_EQ(Ctl<QDoubleSpinBox>("spinWindAbove")->value(), 8);

    QStringList slAsked;
    page->SetFileChooser([&slAsked](const QString& sStart) {
        slAsked.append(sStart);
        return QStringLiteral("/w/south mast.csv");
    });
    Ctl<QLineEdit>("editWeatherFile")->setText(QStringLiteral("/w/site.csv"));
    grid->setCurrentCell(1, 1);
    Ctl<QPushButton>("btnMonitorFile")->click();
    EXPECT_EQ(slAsked, QStringList{QStringLiteral("/w/site.csv")});
    Ctl<QCheckBox>("chkWeather")->setChecked(false);
    Ctl<QCheckBox>("chkWindAbove")->setChecked(false);
    Ctl<QDoubleSpinBox>("spinRainAbove")->setValue(0.5);

    const QByteArray baBefore = IniBytes();
    Ctl<QPushButton>("btnCancel")->click();
    EXPECT_EQ(IniBytes(), baBefore);

    Ctl<QPushButton>("btnOK")->click();
    EXPECT_EQ(dlg->result(), QDialog::Accepted);
    const TCfg cfgAfter(dir.path());
    EXPECT_FALSE(cfgAfter.WeatherOn());
    EXPECT_EQ(cfgAfter.WeatherFile(), QStringLiteral("/w/site.csv"));
    EXPECT_EQ(cfgAfter.WeatherMonitorFiles(),
              (TCfg::TMonitorFiles{{QStringLiteral("M2"), QStringLiteral("/w/south mast.csv")},
                                   {QStringLiteral("OLD"), QStringLiteral("/w/old.csv")}}));
    EXPECT_FALSE(cfgAfter.WeatherWindOn());
    EXPECT_EQ(cfgAfter.WeatherWindAbove(), 8);
    EXPECT_TRUE(cfgAfter.WeatherRainOn());
    EXPECT_EQ(cfgAfter.WeatherRainAbove(), 0.5);
}

// --- Help -----------------------------------------------------------------------------

TEST_F(TformCfgTest, Help_OpensThePageOfThePageInFront)
{
    Open();
    dlg->show();
    for (int i = 0; i < 7; ++i) {
        dlg->SetActivePage(i);
        Ctl<QPushButton>("btnHelp")->click();
    }
    EXPECT_EQ(slHelp, (QStringList{QStringLiteral("preferences/program.html"),
                                   QStringLiteral("preferences/reports.html"),
                                   QStringLiteral("preferences/html_prn.html"),
                                   QStringLiteral("preferences/rating.html"),
                                   QStringLiteral("preferences/events.html"),
                                   QStringLiteral("preferences/limits.html"),
                                   QStringLiteral("preferences/weather.html")}));
    EXPECT_TRUE(dlg->isVisible()) << "Help must leave the dialog open";
    for (const QString& sPage : slHelp)
        EXPECT_TRUE(QFileInfo(QStringLiteral(TARVIK_HELP_SOURCE_DIR) + sPage).isFile()) << qPrintable(sPage);
}

} // namespace

