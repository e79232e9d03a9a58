#include "pages/calpage.h"

#include "datafiles/calfile.h"
#include "monitors/monitor.h"
#include "output/htmlpage.h"
#include "pages/kindexport.h"
#include "reports/gridfill.h"
#include "views/callist.h"

const TKindInfo& TCalPage::Info()
{
    static const TKindInfo info{
        QStringLiteral("cal"),
        QStringLiteral("calibrations"),
        QStringLiteral("Calibrations"),
        QStringLiteral("tabCals"),
        9,
        QStringLiteral("reptypes/calibrations.html"),
        QStringLiteral("&Calibrations"),
        QStringLiteral("menuHelpCals"),
        false,
        QStringLiteral("Calibration Report"),
        QStringLiteral("Calibration Reports"),
        QStringLiteral("Calibration reports: "),
        {QStringLiteral("cal")},
        {TKindPage{QString(), false, QStringLiteral("calibrations"), QStringLiteral("Calibrations"), false,
                   QStringLiteral("calibrations"), [](TStringGrid& grid, const TFillArgs& a) {
                       TGridFill::FillCalList(grid, a.sDataPath, a.aMons, a.dtFrom, a.dtTo);
                   }}}};
    return info;
}

TCalPage::TCalPage(const TPageEnv& env, QWidget* parent) : TReportPage(Info(), env, parent)
{
    MakeLayout(QString(), QString(), {QString()}, QString(), false);
    calList = new TCalList(env.cfg, env.mons, this);
    SetGrid(0, calList);
}

void TCalPage::Build(const TPageChoice& c)
{
    calList->LoadList(c.dtStart, c.dtEnd, env.chklstMon);
}

bool TCalPage::ShownFor(const QString& sDataPath, const std::vector<const TTQMonitor*>& aMons,
                        const QDate& dtFrom, const QDate& dtTo) const
{
    // An invalid date compares below every other and stays invalid however many days
    // are added: the walk refuses it rather than never ending.
    for (QDate d = dtFrom; d.isValid() && d <= dtTo; d = d.addDays(1))
        for (const TTQMonitor* mon : aMons)
            if (TCalFile::CalFileExists(sDataPath, mon->sID, d))
                return true;
    return false;
}

bool TCalPage::Export(TKindExport& ex, THtmlPage& page, const TTQMonitor& mon)
{
    page.AddCalList(ex.DataPath(), mon.sID, ex.From(), ex.To(), ex.Hooks());
    return true;
}
