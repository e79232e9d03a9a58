#include "pages/prfpage.h"

#include "datafiles/thfile.h"
#include "monitors/monitor.h"
#include "output/htmlpage.h"
#include "pages/evtpage.h"
#include "pages/kindexport.h"
#include "platform/platform.h"
#include "views/prfchart.h"

const TKindInfo& TPrfPage::Info()
{
    static const TKindInfo info{QStringLiteral("prf"),
                                QStringLiteral("profiles"),
                                QStringLiteral("Profile 24hr"),
                                QStringLiteral("tabTH"),
                                2,
                                QStringLiteral("reptypes/profile.html"),
                                QStringLiteral("&Profile"),
                                QStringLiteral("menuHelpProfile"),
                                false,
                                QStringLiteral("Noise Profile Report"),
                                QStringLiteral("Profile Reports"),
                                QString(),
                                {QStringLiteral("prf")},
                                {TKindPage{QString(),
                                           true,
                                           QStringLiteral("profile"),
                                           QStringLiteral("Noise Profile"),
                                           false,
                                           QString(),
                                           {}}}};
    return info;
}

TPrfPage::TPrfPage(const TPageEnv& env, QWidget* parent) : TReportPage(Info(), env, parent)
{
    MakeLayout(QString(), QString(), {QString()}, QStringLiteral("scrollboxTHChart"), true);
}

void TPrfPage::Build(const TPageChoice& c)
{
    for (TPrfChart* chart : MakeCharts<TPrfChart>())
        chart->PlotDay(c.dtStart.date());
    ShareLevels();
}

QString TPrfPage::DataFile(const QString& sDataPath, const QString& sID, const QDate& d, int) const
{
    return TTHFile::FileName(sDataPath, sID, d);
}

QDate TPrfPage::PrintTo(const QDate& dtFrom, const QDate&, const QDate&) const
{
    // The profile shows the one day of its start date.
    return dtFrom;
}

QString TPrfPage::ErrorSource() const
{
    // The profile marks the events, by the event settings.
    return TEvtPage::Info().sKey;
}

QString TPrfPage::SettingsErrors() const
{
    return TEvtPage::EventErrors(env);
}

bool TPrfPage::Export(TKindExport& ex, THtmlPage& page, const TTQMonitor& mon)
{
    ex.AddExcludedLine(page, mon);
    const QString sChartDir = ex.ChartDir(Info());
    if (!TPlatform::ForceDirectories(sChartDir))
        return true;
    TPrfChart chart(ex.Cfg());
    chart.SetExclusions(ex.Exclusions());
    // The profile shows its progress per day, not per monitor.
    for (QDate d = ex.From(); d.isValid() && d <= ex.To(); d = d.addDays(1)) {
        if (ex.Hooks().Cancelled())
            break;
        ex.Hooks().Pump();
        ex.Status(QStringLiteral("Profile: ") + THtmlPage::IsoDate(d) + QLatin1Char(' ') + mon.sName);
        chart.SetTitle(QStringLiteral("Noise Profile: ") + THtmlPage::LongDate(d));
        chart.SetMonitorID(mon.sID);
        chart.PlotDay(d);
        if (!ex.SaveDayChart(page, Info(), mon.sID, d, chart))
            return false;
    }
    return true;
}
