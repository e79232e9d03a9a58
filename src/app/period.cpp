// The main window's choice of period length and report dates: the Period menu, the
// Presets menu and the two date pickers with the end-date box.
#include "app/datepicker.h"
#include "app/main.h"
#include "pages/reportpage.h"
#include "app/presets.h"
#include "settings/cfg.h"

#include <QAction>
#include <QCheckBox>
#include <QMenu>
#include <QPushButton>
#include <QTabWidget>

namespace {

struct TPeriodItem
{
    int nMinutes;
    const char* pszCaption;
};
constexpr TPeriodItem aPeriods[] = {
    {5, "5 minutes"}, {10, "10 minutes"}, {15, "15 minutes"}, {30, "30 minutes"}, {60, "60 minutes"}};

} // namespace

void TformMain::FillPeriodMenu()
{
    menuPeriod = new QMenu(this);
    menuPeriod->setObjectName(QStringLiteral("menuPeriod"));
    for (int nTag = 0; nTag < int(std::size(aPeriods)); ++nTag) {
        const QString sCaption = QString::fromLatin1(aPeriods[nTag].pszCaption);
        QAction* act = menuPeriod->addAction(sCaption);
        act->setData(nTag);
        connect(act, &QAction::triggered, this, [this, nTag] { menuPeriodClick(nTag); });
        // A stored length that is none of the five leaves the caption "Period" and is still used.
        if (aPeriods[nTag].nMinutes == cfg->RepPerPeriod())
            btnPeriod->setText(sCaption);
    }
    // A drop-down button: its arrow says a menu opens, and the menu opens under it.
    btnPeriod->setMenu(menuPeriod);
}

void TformMain::FillPresetsMenu()
{
    menuPresets = new QMenu(this);
    menuPresets->setObjectName(QStringLiteral("menuPresets"));
    static const char* const apszNames[] = {"menuPreToday",     "menuPreYesterday", "menuPreThisWeek",
                                            "menuPreLastWeek",  "menuPreLast7Days", "menuPreThisMonth",
                                            "menuPreLastMonth", "menuPreLast30Days"};
    static_assert(std::size(apszNames) == TPresets::Count);
    for (int nTag = 0; nTag < TPresets::Count; ++nTag) {
        if (nTag == 2 || nTag == 5)
            menuPresets->addSeparator()->setData(-1);
        QAction* act = menuPresets->addAction(TPresets::Caption(nTag));
        act->setObjectName(QString::fromLatin1(apszNames[nTag]));
        act->setData(nTag);
        connect(act, &QAction::triggered, this, [this, nTag] { menuPresetClick(nTag); });
        aPresetActions.append(act);
    }
    connect(menuPresets, &QMenu::aboutToShow, this, [this] { menuPresetsPopup(); });
    btnPresets->setMenu(menuPresets);
}

void TformMain::menuPeriodClick(int nTag)
{
    btnPeriod->setText(QString::fromLatin1(aPeriods[nTag].pszCaption));
    cfg->SetRepPerPeriod(aPeriods[nTag].nMinutes);
    UpdateReport();
}

void TformMain::menuPresetsPopup()
{
    // On a tab of the start date alone (the profile, the events of the same day)
    // only "Today" and "Yesterday" can be chosen.
    const TReportPage* page = ActivePage();
    const bool bProfile = page && page->OneDay();
    for (QAction* act : std::as_const(aPresetActions))
        if (act->data().toInt() > 1)
            act->setEnabled(!bProfile);
}

void TformMain::menuPresetClick(int nTag)
{
    cfg->SetRepPreset(nTag);
    ApplyPreset(nTag);
    UpdateReport();
}

void TformMain::ApplyPreset(int t)
{
    // A number that names no preset (a hand-edited settings file) changes no dates.
    const std::optional<TPresets::TRange> range = TPresets::Range(t, Now().date());
    if (range)
        SetPickers(range->dtStart, range->dtEnd);
    // The box follows the dates; this is the program's setting, not a user's click.
    chkEndDate->setChecked(dtEnd != dtStart);
    dtpickEnd->setEnabled(chkEndDate->isChecked());
    if (const QString sCaption = TPresets::Caption(t); !sCaption.isEmpty())
        btnPresets->setText(sCaption);
    nSelectedPreset = t;
}

QDateTime TformMain::EndValue() const
{
    return chkEndDate->isChecked() ? dtEnd : dtStart;
}

void TformMain::SetPickers(const QDateTime& dtFrom, const QDateTime& dtTo)
{
    dtStart = dtFrom;
    dtEnd = dtTo;
    bSettingPickers = true;
    dtpickStart->setDate(dtStart.date());
    dtpickEnd->setDate(dtEnd.date());
    bSettingPickers = false;
}

void TformMain::SetCustomChoice()
{
    btnPresets->setText(QStringLiteral("Custom"));
    cfg->SetRepPreset(0);
    nSelectedPreset = -1;
}

void TformMain::SetCustom()
{
    SetCustomChoice();
    UpdateReport();
}

void TformMain::chkEndDateClick()
{
    dtpickEnd->setEnabled(chkEndDate->isChecked());
    if (chkEndDate->isChecked()) {
        // The user is about to pick an end date: the choice is custom from now on, so
        // the refresh timer no longer re-applies the preset (which would clear the box
        // again). The end still equals the start, so there is nothing to rebuild.
        SetCustomChoice();
        return;
    }
    SetPickers(dtStart, dtStart);
    SetCustom();
}

// The calendar closing and a key released in the picker both take the picker's date
// as the user's choice, whether or not it changed.
void TformMain::dtpickStartCloseUp()
{
    if (bSettingPickers)
        return;
    // A date picked by the user keeps the time of day the value had.
    const QDateTime dtNew(dtpickStart->date(), dtStart.time());
    if (chkEndDate->isChecked())
        SetPickers(dtNew, qMax(dtEnd, dtNew));
    else
        SetPickers(dtNew, dtNew);
    SetCustom();
}

void TformMain::dtpickEndCloseUp()
{
    if (bSettingPickers)
        return;
    const QDateTime dtNew(dtpickEnd->date(), dtEnd.time());
    SetPickers(qMin(dtStart, dtNew), dtNew);
    SetCustom();
}

void TformMain::PickStart(const QDate& d)
{
    dtpickStart->setDate(d);
    dtpickStartCloseUp();
}

void TformMain::PickEnd(const QDate& d)
{
    dtpickEnd->setDate(d);
    dtpickEndCloseUp();
}

void TformMain::ShowDay(const QDate& d)
{
    if (!d.isValid())
        return;
    // One day: the end-date box clear, both pickers on the day, a custom choice.
    chkEndDate->setChecked(false);
    dtpickEnd->setEnabled(false);
    const QDateTime dt(d, dtStart.time());
    SetPickers(dt, dt);
    SetCustom();
}
