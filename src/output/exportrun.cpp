#include "output/exportrun.h"

#include "monitors/monitor.h"
#include "output/htmlpage.h"
#include "output/pngfile.h"
#include "output/wholefile.h"
#include "platform/datefmt.h"
#include "platform/platform.h"
#include "settings/cfg.h"
#include "views/almchart.h"
#include "views/eventchart.h"
#include "views/perchart.h"
#include "views/prfchart.h"
#include "analysis/events.h"
#include "analysis/eventsfill.h"
#include "analysis/limits.h"
#include "analysis/limitsfill.h"
#include "analysis/rating.h"
#include "views/ratingchart.h"
#include "analysis/ratingfill.h"
#include "reports/stringgrid.h"

#include <QBuffer>
#include <QDir>
#include <QImage>

#include <algorithm>
#include <memory>

TExportOptions TExportOptions::FromCfg(const TCfg& cfg)
{
    TExportOptions opt;
    opt.bZoom = cfg.HtmlZoom();
    opt.bHideLogo = cfg.HtmlHideLogo();
    opt.sHeader = cfg.HtmlHeader();
    opt.nPeriod = cfg.RepPerPeriod();
    opt.imageFormat =
        TReportNames::ImageFormatFromText(cfg.HtmlImageFormat()).value_or(EImageFormat::Bmp);
    return opt;
}

TExportRun::TExportRun(TCfg& cfgRun, const TTQMonitors& monsAll, TMonitorSel aMonsSel, const QDate& dtFromRun,
                       const QDate& dtToRun, TExportOptions optRun)
    : cfg(cfgRun), mons(monsAll), aMons(std::move(aMonsSel)), dtFrom(dtFromRun), dtTo(dtToRun),
      opt(std::move(optRun))
{
}

bool TExportRun::MakeReportFolder(QString& sHtmlDir)
{
    if (!sHtmlDir.endsWith(TPlatform::Sep()))
        sHtmlDir += TPlatform::Sep();
    return TPlatform::ForceDirectories(sHtmlDir);
}

QString TExportRun::LastDayFile(const QString& sHtmlDir)
{
    return (sHtmlDir.endsWith(TPlatform::Sep()) ? sHtmlDir : sHtmlDir + TPlatform::Sep()) +
           QStringLiteral("last-export.txt");
}

QDate TExportRun::LastDay(const QString& sHtmlDir)
{
    // A day and a line end; anything much longer is not the note.
    const std::optional<QByteArray> ba = TPlatform::ReadPlainFile(LastDayFile(sHtmlDir), 64);
    if (!ba)
        return QDate();
    const QString s = QString::fromLatin1(*ba).trimmed();
    const QDate dt = QDate::fromString(s, QStringLiteral("yyyy-MM-dd"));
    return s.size() == 10 ? dt : QDate();
}

bool TExportRun::SetLastDay(const QString& sHtmlDir, const QDate& dt)
{
    // Through the export's own whole-file writer, as the pages: the note of a day
    // whose file could not be written whole would skip that day next time.
    QString sError;
    return TWholeFile::Save(LastDayFile(sHtmlDir), dt.toString(QStringLiteral("yyyy-MM-dd")).toLatin1() + '\n',
                            sError);
}

void TExportRun::Status(const QString& s) const
{
    if (fnStatus)
        fnStatus(s);
}

QString TExportRun::FolderFailText(const QString& sDir)
{
    const QString sReason = TPlatform::FolderError(sDir);
    return QStringLiteral("Failed to create report folder ") + QDir::toNativeSeparators(QDir::cleanPath(sDir)) +
           (sReason.isEmpty() ? QString() : QStringLiteral(": ") + sReason);
}

bool TExportRun::FolderFail(const QString& sDir)
{
    sError = FolderFailText(sDir);
    return false;
}

bool TExportRun::Fail(const QString& sFile)
{
    sError = QStringLiteral("Unable to write to ") + QDir::toNativeSeparators(sFile);
    return false;
}

QString TExportRun::ChartDir(EReportKind kind) const
{
    return sHtmlDir + TReportNames::KindFolder(kind) + TPlatform::Sep() + TReportNames::ChartFolder();
}

bool TExportRun::Run(const QString& sDir)
{
    sError.clear();
    sHtmlDir = sDir.endsWith(TPlatform::Sep()) ? sDir : sDir + TPlatform::Sep();
    if (opt.nPeriod != cfg.RepPerPeriod()) {
        // The alarm chart would count in other periods than its page's table.
        sError = QStringLiteral("The report period differs from the period of the settings");
        return false;
    }
    sDataPath = cfg.DataPath();
    const int n = opt.nPeriod;

    if (opt.bPerChart || opt.bPerTbl) {
        const bool bOK =
            RunKind(EReportKind::Per, QStringLiteral("Periodic Noise Report"),
                    QStringLiteral("Periodic reports: "), [&](THtmlPage& page, const TTQMonitor& mon) {
                        if (opt.bPerChart && !AddChartBlock(page, EReportKind::Per, mon))
                            return false;
                        if (opt.bPerTbl)
                            page.AddPerTable(cfg, sDataPath, mon.sID, dtFrom, dtTo, n, hooks);
                        return true;
                    });
        if (!bOK)
            return false;
    }
    if (opt.bAlmChart || opt.bAlmTbl || (opt.bAlmList && !Cancelled())) {
        const bool bOK =
            RunKind(EReportKind::Alm, QStringLiteral("Alarm Report"), QStringLiteral("Alarm reports: "),
                    [&](THtmlPage& page, const TTQMonitor& mon) {
                        if (opt.bAlmChart && !AddChartBlock(page, EReportKind::Alm, mon))
                            return false;
                        if (opt.bAlmTbl)
                            page.AddAlmTable(sDataPath, mon.sID, dtFrom, dtTo, n, hooks);
                        if (opt.bAlmList)
                            page.AddAlmList(sDataPath, mon.sID, dtFrom, dtTo, hooks);
                        return true;
                    });
        if (!bOK)
            return false;
    }
    if (opt.bPrfChart && !Cancelled()) {
        // The profile shows its progress per day, not per monitor.
        const bool bOK =
            RunKind(EReportKind::Prf, QStringLiteral("Noise Profile Report"), QString(),
                    [&](THtmlPage& page, const TTQMonitor& mon) { return AddPrfCharts(page, mon); });
        if (!bOK)
            return false;
    }
    if (opt.bCalList && !Cancelled()) {
        const bool bOK =
            RunKind(EReportKind::Cal, QStringLiteral("Calibration Report"),
                    QStringLiteral("Calibration reports: "), [&](THtmlPage& page, const TTQMonitor& mon) {
                        page.AddCalList(sDataPath, mon.sID, dtFrom, dtTo, hooks);
                        return true;
                    });
        if (!bOK)
            return false;
    }
    if (opt.bSummary && !Cancelled()) {
        const bool bOK =
            RunKind(EReportKind::Sum, QStringLiteral("Daily Rating Level Report"),
                    QStringLiteral("Summary reports: "),
                    [&](THtmlPage& page, const TTQMonitor& mon) { return AddSumBlocks(page, mon); });
        if (!bOK)
            return false;
    }
    if (opt.bEvents && !Cancelled()) {
        // Like the profile, the events show their progress per day.
        const bool bOK =
            RunKind(EReportKind::Evt, QStringLiteral("Noise Event Report"), QString(),
                    [&](THtmlPage& page, const TTQMonitor& mon) { return AddEvtBlocks(page, mon); });
        if (!bOK)
            return false;
    }
    if (opt.bExceedances && !Cancelled()) {
        const bool bOK = RunKind(
            EReportKind::Exc, QStringLiteral("Exceedance Report"), QStringLiteral("Exceedance reports: "),
            [&](THtmlPage& page, const TTQMonitor& mon) { return AddExcBlocks(page, mon); });
        if (!bOK)
            return false;
    }
    if (Cancelled())
        return true;

    THtmlPage index;
    index.AddIndexPage(sHtmlDir, mons, opt.sHeader, opt.bHideLogo);
    const QString sIndex = sHtmlDir + TReportNames::IndexFileName();
    return index.Save(sIndex, sError);
}

bool TExportRun::RunKind(EReportKind kind, const QString& sTitle, const QString& sProgress,
                         const TBlocksFn& fnBlocks)
{
    const QString sPageDir = sHtmlDir + TReportNames::KindFolder(kind);
    // A page folder that cannot be made ends the run with the reason: leaving the kind
    // out without a word would report a run as done that wrote nothing of it.
    if (!TPlatform::ForceDirectories(sPageDir))
        return FolderFail(sPageDir);
    // A cancel that came before the kind began writes none of its pages.
    for (const TTQMonitor* mon : aMons) {
        if (Cancelled())
            break;
        hooks.Pump();
        if (!sProgress.isEmpty())
            Status(sProgress + mon->sName);
        THtmlPage page;
        page.AddPageHead(sTitle, opt.bHideLogo);
        page.AddPreamble(*mon, dtFrom, dtTo);
        if (!fnBlocks(page, *mon))
            return false;
        page.AddPageFoot();
        const QString sPage =
            sPageDir + TPlatform::Sep() + TReportNames::PageName(kind, mon->sID, dtFrom, dtTo, opt.nPeriod);
        if (!page.Save(sPage, sError))
            return false;
    }
    return true;
}

bool TExportRun::AddChartBlock(THtmlPage& page, EReportKind kind, const TTQMonitor& mon)
{
    const QString sChartDir = ChartDir(kind);
    if (Cancelled())
        return true;
    if (!TPlatform::ForceDirectories(sChartDir))
        return FolderFail(sChartDir);

    const int n = opt.nPeriod;
    std::unique_ptr<TChartBase> chart;
    if (kind == EReportKind::Per) {
        auto per = std::make_unique<TPerChart>(cfg);
        per->SetTitle(QStringLiteral("Period: ") + QString::number(n) + QStringLiteral(" minutes"));
        per->SetMonitorID(mon.sID);
        per->SetLimitKeyShown(true);
        per->PlotPeriod(dtFrom, dtTo, n);
        chart = std::move(per);
    } else {
        auto alm = std::make_unique<TAlmChart>(cfg);
        alm->SetTitle(QStringLiteral("Alarms Per ") + QString::number(n) + QStringLiteral(" Minute Period"));
        alm->SetMonitorID(mon.sID);
        alm->PlotPeriod(dtFrom, dtTo);
        chart = std::move(alm);
    }

    return SaveChartImages(page, kind, mon, *chart);
}

bool TExportRun::SaveImage(TChartBase& chart, const QString& sChartDir, const QString& sImage, bool bZoom)
{
    const QString sPath = sChartDir + TPlatform::Sep() + sImage;
    const int cx = bZoom ? ZoomWidth : ChartWidth;
    const int cy = bZoom ? ZoomHeight : ChartHeight;
    QImage img = chart.toPixmap(cx, cy).toImage();
    // Rendering laid the chart out for the image; the screen gets its own layout back
    // at the next replot.
    chart.replot(QCustomPlot::rpQueuedReplot);
    QByteArray ba;
    if (opt.imageFormat == EImageFormat::Png) {
        // The same rendering as the BMP, kept losslessly in a small fraction of the bytes.
        ba = TPngFile::Encode(img);
    } else {
        // The resolution the chart component gives its bitmaps: 96 dots per inch.
        img.setDotsPerMeterX(qRound(96 / 0.0254));
        img.setDotsPerMeterY(qRound(96 / 0.0254));
        QBuffer buf(&ba);
        buf.open(QIODevice::WriteOnly);
        if (!img.save(&buf, "BMP"))
            ba.clear();
    }
    // Written whole or not at all, as the pages are: a full disk leaves no truncated image.
    if (ba.isEmpty())
        return Fail(sPath);
    return TWholeFile::Save(sPath, ba, sError);
}

bool TExportRun::SaveChartImages(THtmlPage& page, EReportKind kind, const TTQMonitor& mon, TChartBase& chart)
{
    const QString sChartDir = ChartDir(kind);
    const int n = opt.nPeriod;
    const QString sImage = TReportNames::ChartName(kind, mon.sID, dtFrom, dtTo, n, false, opt.imageFormat);
    if (!SaveImage(chart, sChartDir, sImage, false))
        return false;
    hooks.Pump();
    QString sZoom;
    if (opt.bZoom && !Cancelled()) {
        sZoom = TReportNames::ChartName(kind, mon.sID, dtFrom, dtTo, n, true, opt.imageFormat);
        if (!SaveImage(chart, sChartDir, sZoom, true))
            return false;
    }
    hooks.Pump();
    page.AddChartBlock(sImage, sZoom);
    return true;
}

bool TExportRun::AddSumBlocks(THtmlPage& page, const TTQMonitor& mon)
{
    // One computation serves the chart and the table, so the two cannot disagree.
    const TRatingSettings set = TRatingSettings::FromCfg(cfg);
    const TMonitorSel aOne{&mon};
    // As on screen, days still to come are not rows: they would only dilute the range.
    const QDate dtLast = std::min(dtTo, QDate::currentDate());
    const std::vector<TRatingMonitor> aResults =
        TRating::Compute(set, sDataPath, aOne, dtFrom, dtLast, opt.nPeriod);
    if (aResults.empty())
        return true;
    const TRatingMonitor& rm = aResults.front();

    const QString sChartDir = ChartDir(EReportKind::Sum);
    if (TPlatform::ForceDirectories(sChartDir) && !Cancelled()) {
        TRatingChart chart(cfg);
        chart.SetTitle(QStringLiteral("Daily Rating Levels - Period: ") + QString::number(opt.nPeriod) +
                       QStringLiteral(" minutes"));
        chart.SetMonitorID(mon.sID);
        chart.PlotRating(rm, set);
        if (!SaveChartImages(page, EReportKind::Sum, mon, chart))
            return false;
    }

    TStringGrid grid;
    TRatingFill::FillSummary(grid, set, aOne, aResults);
    page.AddSumTable(grid, set);
    return true;
}

bool TExportRun::AddEvtBlocks(THtmlPage& page, const TTQMonitor& mon)
{
    const QString sChartDir = ChartDir(EReportKind::Evt);
    const bool bCharts = TPlatform::ForceDirectories(sChartDir);
    const TEventSettings set = TEventSettings::FromCfg(cfg);
    const TMonitorSel aOne{&mon};
    TEventChart chart(cfg);
    chart.SetMonitorID(mon.sID);
    TStringGrid grid;
    // The whole range at once, so that an event running past midnight is one event,
    // listed on its start day; a day takes a few milliseconds.
    const std::vector<TEventMonitor> aRange = TEvents::Compute(set, sDataPath, aOne, dtFrom, dtTo);
    if (aRange.empty())
        return true;
    size_t iDay = 0;
    for (QDate d = dtFrom; d.isValid() && d <= dtTo; d = d.addDays(1), ++iDay) {
        if (Cancelled())
            break;
        hooks.Pump();
        Status(QStringLiteral("Events: ") + THtmlPage::IsoDate(d) + QLatin1Char(' ') + mon.sName);
        if (iDay >= aRange.front().aDays.size())
            break;
        // One day's results serve the chart and the list of the day.
        const std::vector<TEventMonitor> aResults{
            TEventMonitor{aRange.front().sID, {aRange.front().aDays[iDay]}}};
        if (bCharts) {
            chart.SetTitle(QStringLiteral("Noise Events per Hour: ") + THtmlPage::LongDate(d));
            chart.PlotEvents(aResults.front().aDays.front());
            const QString sImage = TReportNames::EventChartName(mon.sID, d, false, opt.imageFormat);
            if (!SaveImage(chart, sChartDir, sImage, false))
                return false;
            QString sZoom;
            if (opt.bZoom) {
                sZoom = TReportNames::EventChartName(mon.sID, d, true, opt.imageFormat);
                if (!SaveImage(chart, sChartDir, sZoom, true))
                    return false;
            }
            page.AddChartBlock(sImage, sZoom);
        }
        TEventsFill::FillList(grid, set, aOne, aResults);
        page.AddEvtTable(grid);
    }
    page.AddLine(QStringLiteral("<p>") + TEventsFill::Note(set).toHtmlEscaped() + QStringLiteral("</p>"));
    return true;
}

bool TExportRun::AddExcBlocks(THtmlPage& page, const TTQMonitor& mon)
{
    const TLimits limits = opt.pLimits ? *opt.pLimits : TLimits::FromCfg(cfg);
    const TMonitorSel aOne{&mon};
    // As on screen, days still to come are not rows: they would only add unassessed periods.
    const QDate dtLast = std::min(dtTo, QDate::currentDate());
    const std::vector<TLimitMonitor> aResults =
        TLimitCheck::Compute(limits, sDataPath, aOne, dtFrom, dtLast, opt.nPeriod);
    if (aResults.empty())
        return true;

    const QString sChartDir = ChartDir(EReportKind::Exc);
    if (TPlatform::ForceDirectories(sChartDir) && !Cancelled()) {
        TPerChart chart(cfg);
        chart.SetTitle(QStringLiteral("Limits - Period: ") + QString::number(opt.nPeriod) +
                       QStringLiteral(" minutes"));
        chart.SetMonitorID(mon.sID);
        chart.SetLimitRules(aResults.front().aRules);
        chart.SetLimitKeyShown(true);
        chart.PlotPeriod(dtFrom, dtTo, opt.nPeriod);
        if (!SaveChartImages(page, EReportKind::Exc, mon, chart))
            return false;
    }

    TStringGrid grid;
    TLimitsFill::FillExceedances(grid, aOne, aResults, TRatingSettings::FromCfg(cfg).dCoverage);
    page.AddExcTable(grid);
    return true;
}

bool TExportRun::AddPrfCharts(THtmlPage& page, const TTQMonitor& mon)
{
    const QString sChartDir = ChartDir(EReportKind::Prf);
    if (!TPlatform::ForceDirectories(sChartDir))
        return true;
    TPrfChart chart(cfg);
    for (QDate d = dtFrom; d.isValid() && d <= dtTo; d = d.addDays(1)) {
        if (Cancelled())
            break;
        hooks.Pump();
        Status(QStringLiteral("Profile: ") + THtmlPage::IsoDate(d) + QLatin1Char(' ') + mon.sName);
        chart.SetTitle(QStringLiteral("Noise Profile: ") + THtmlPage::LongDate(d));
        chart.SetMonitorID(mon.sID);
        chart.PlotDay(d);
        const QString sImage = TReportNames::ProfileChartName(mon.sID, d, false, opt.imageFormat);
        if (!SaveImage(chart, sChartDir, sImage, false))
            return false;
        QString sZoom;
        if (opt.bZoom) {
            sZoom = TReportNames::ProfileChartName(mon.sID, d, true, opt.imageFormat);
            if (!SaveImage(chart, sChartDir, sZoom, true))
                return false;
        }
        page.AddChartBlock(sImage, sZoom);
    }
    return true;
}
