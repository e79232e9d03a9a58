#include "pages/evtpage.h"

#include "analysis/events.h"
#include "analysis/eventsfill.h"
#include "analysis/ratingfill.h"
#include "datafiles/thfile.h"
#include "monitors/monitor.h"
#include "output/htmlpage.h"
#include "pages/kindexport.h"
#include "platform/platform.h"
#include "reports/csvtext.h"
#include "reports/stringgrid.h"
#include "settings/cfg.h"
#include "views/eventchart.h"
#include "views/eventtbl.h"

#include <QTextStream>

#include <algorithm>

namespace {

QString EventRow(const QString& sID, const QString& sDate, const TNoiseEvent& ev)
{
    return QStringList{TCsvText::Field(sID),
                       sDate,
                       TEventsFill::Clock(ev.nStart),
                       TEventsFill::EndText(ev),
                       QString::number(ev.Duration()),
                       TRatingFill::Level(ev.dLMax),
                       TRatingFill::Level(ev.dLAE),
                       ev.Cut() ? QStringLiteral("1") : QStringLiteral("0"),
                       TCsvText::Field(TEventsFill::NoteText(ev))}
        .join(QLatin1Char(','));
}

QString EventDayRow(const QString& sID, const TEventDay& day)
{
    QStringList sl{TCsvText::Field(sID), day.dt.toString(QStringLiteral("yyyy-MM-dd")),
                   QString::number(day.Counted())};
    for (int n : day.anNAbove)
        sl.append(QString::number(n));
    sl << QString::number(day.nAboveSecs) << QString::number(day.nNoValue) << QString::number(day.nUnplaced);
    switch (day.eFile) {
    case TEventDay::EFile::Read:
        sl.append(QStringLiteral("read"));
        break;
    case TEventDay::EFile::Missing:
        sl.append(QStringLiteral("missing"));
        break;
    case TEventDay::EFile::NotRead:
        sl.append(TCsvText::Field(QStringLiteral("not read: ") + day.sFileError));
        break;
    }
    return sl.join(QLatin1Char(','));
}

} // namespace

const TKindInfo& TEvtPage::Info()
{
    static const TKindInfo info{QStringLiteral("evt"),
                                QStringLiteral("events"),
                                QStringLiteral("Events"),
                                QStringLiteral("tabEvents"),
                                3,
                                QStringLiteral("reptypes/events.html"),
                                QStringLiteral("&Events"),
                                QStringLiteral("menuHelpEvents"),
                                false,
                                QStringLiteral("Noise Event Report"),
                                QStringLiteral("Noise Event Reports"),
                                QString(),
                                {QStringLiteral("evt")},
                                {TKindPage{QStringLiteral("List"),
                                           false,
                                           QStringLiteral("event-list"),
                                           QStringLiteral("Noise Events"),
                                           false,
                                           QString(),
                                           {}},
                                 TKindPage{QStringLiteral("Chart"),
                                           true,
                                           QStringLiteral("event-chart"),
                                           QStringLiteral("Noise Events per Hour"),
                                           false,
                                           QString(),
                                           {}}}};
    return info;
}

TEvtPage::TEvtPage(const TPageEnv& env, QWidget* parent) : TReportPage(Info(), env, parent)
{
    MakeLayout(QStringLiteral("lblEvtNote"), QStringLiteral("pagesEvt"),
               {QStringLiteral("tabEvtList"), QStringLiteral("tabEvtChart")},
               QStringLiteral("scrollboxEvtChart"), false);
    evtTable = new TEventTable(env.cfg, env.mons, PageWidget(0));
    SetGrid(0, evtTable);
}

void TEvtPage::Build(const TPageChoice& c)
{
    SetNote(Note());
    // Like the profile, the events are of the start date only.
    if (CurrentPage() == 0) {
        evtTable->LoadList(c.dtStart.date(), env.chklstMon, Applied());
        return;
    }
    const QList<TEventChart*> charts = MakeCharts<TEventChart>();
    int nHighest = 0;
    for (TEventChart* chart : charts) {
        chart->PlotDay(c.dtStart.date());
        nHighest = std::max(nHighest, chart->HighestCount());
    }
    // Counts, not levels: the stack shares one count range instead of the level range.
    for (TEventChart* chart : charts) {
        chart->SetCountMax(nHighest);
        chart->replot(QCustomPlot::rpQueuedReplot);
    }
}

QString TEvtPage::DataFile(const QString& sDataPath, const QString& sID, const QDate& d, int) const
{
    return TTHFile::FileName(sDataPath, sID, d);
}

QDate TEvtPage::PrintTo(const QDate& dtFrom, const QDate&, const QDate&) const
{
    // One day, as on screen.
    return dtFrom;
}

QString TEvtPage::Note() const
{
    return TEventsFill::Note(TEventSettings::FromCfg(env.cfg));
}

QString TEvtPage::EventErrors(const TPageEnv& env)
{
    QStringList slErrors;
    TEventSettings::FromCfg(env.cfg, &slErrors);
    return slErrors.join(QLatin1Char(' '));
}

QString TEvtPage::ErrorSource() const
{
    return Info().sKey;
}

QString TEvtPage::SettingsErrors() const
{
    return EventErrors(env);
}

bool TEvtPage::Export(TKindExport& ex, THtmlPage& page, const TTQMonitor& mon)
{
    ex.AddExcludedLine(page, mon);
    const QString sChartDir = ex.ChartDir(Info());
    const bool bCharts = TPlatform::ForceDirectories(sChartDir);
    const TEventSettings set = TEventSettings::FromCfg(ex.Cfg());
    const TMonitorSel aOne{&mon};
    TEventChart chart(ex.Cfg());
    chart.SetExclusions(ex.Exclusions());
    chart.SetMonitorID(mon.sID);
    TStringGrid grid;
    // The whole range at once, so that an event running past midnight is one event,
    // listed on its start day; a day takes a few milliseconds.
    const std::vector<TEventMonitor> aRange = TEvents::Compute(set, ex.DataPath(), aOne, ex.From(), ex.To(), ex.Exclusions());
    if (aRange.empty())
        return true;
    size_t iDay = 0;
    // Like the profile, the events show their progress per day.
    for (QDate d = ex.From(); d.isValid() && d <= ex.To(); d = d.addDays(1), ++iDay) {
        if (ex.Hooks().Cancelled())
            break;
        ex.Hooks().Pump();
        ex.Status(QStringLiteral("Events: ") + THtmlPage::IsoDate(d) + QLatin1Char(' ') + mon.sName);
        if (iDay >= aRange.front().aDays.size())
            break;
        // One day's results serve the chart and the list of the day.
        const std::vector<TEventMonitor> aResults{
            TEventMonitor{aRange.front().sID, {aRange.front().aDays[iDay]}}};
        if (bCharts) {
            chart.SetTitle(QStringLiteral("Noise Events per Hour: ") + THtmlPage::LongDate(d));
            chart.PlotEvents(aResults.front().aDays.front());
            if (!ex.SaveDayChart(page, Info(), mon.sID, d, chart))
                return false;
        }
        TEventsFill::FillList(grid, set, aOne, aResults);
        page.AddEvtTable(grid);
    }
    page.AddLine(QStringLiteral("<p>") + TEventsFill::Note(set).toHtmlEscaped() + QStringLiteral("</p>"));
    return true;
}

void TEvtPage::WriteCsv(const TCfg& cfg, const QString& sDataPath, const TMonitorSel& aSel,
                        const QDate& dtFrom, const QDate& dtTo, QTextStream& out, QTextStream& err,
                        const TExclusions* pExcl)
{
    QStringList slErrors;
    const TEventSettings set = TEventSettings::FromCfg(cfg, &slErrors);
    for (const QString& sError : std::as_const(slErrors))
        err << QStringLiteral("tarvik-reporter: ") << sError << Qt::endl;
    out << "Monitor,Date,Start,End,Duration s," << TCsvText::Field(TEventsFill::LMaxName())
        << ",LAE,Cut,Note\n";
    const auto aMons = TEvents::Compute(set, sDataPath, aSel, dtFrom, dtTo, pExcl);
    for (const TEventMonitor& em : aMons)
        for (const TEventDay& day : em.aDays) {
            const QString sDate = day.dt.toString(QStringLiteral("yyyy-MM-dd"));
            for (const TNoiseEvent& ev : day.aEvents)
                out << EventRow(em.sID, sDate, ev) << '\n';
        }
    out << "\nMonitor,Date,Events";
    for (double d : set.adNLevels)
        out << ',' << TEventsFill::NAboveName(d);
    out << ",Above s,No value s,Not placed,File\n";
    for (const TEventMonitor& em : aMons)
        for (const TEventDay& day : em.aDays)
            out << EventDayRow(em.sID, day) << '\n';
    out.flush();
}
