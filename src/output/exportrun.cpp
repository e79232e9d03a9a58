#include "output/exportrun.h"

#include "analysis/exclusionsfill.h"
#include "pages/exlpage.h"

#include "monitors/monitor.h"
#include "output/htmlpage.h"
#include "output/pngfile.h"
#include "platform/wholefile.h"
#include "platform/datefmt.h"
#include "platform/platform.h"
#include "settings/cfg.h"
#include "pages/reportkinds.h"
#include "views/chartbase.h"

#include <QBuffer>
#include <QDir>
#include <QFileInfo>
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

void TExportOptions::Choose(const QStringList& slNames, bool bChosen)
{
    for (const QString& s : slNames) {
        slParts.removeAll(s);
        if (bChosen)
            slParts.append(s);
    }
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

QString TExportRun::ChartDir(const TKindInfo& kind)
{
    return sHtmlDir + kind.sFolder + TPlatform::Sep() + TReportNames::ChartFolder();
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

    // The kinds in the order of the index, each with at least one part chosen; a
    // cancel that came before a kind began writes none of its pages.
    for (const TReportKind& kind : TReportKinds::All()) {
        const bool bChosen = std::any_of(kind.info.aParts.begin(), kind.info.aParts.end(),
                                         [this](const QString& sPart) { return opt.Chosen(sPart); });
        if (bChosen && !Cancelled() && !RunKind(kind))
            return false;
    }
    if (Cancelled())
        return true;

    THtmlPage index;
    index.AddIndexPage(sHtmlDir, mons, opt.sHeader, opt.bHideLogo, TReportKinds::Infos());
    const QString sIndex = sHtmlDir + TReportNames::IndexFileName();
    return index.Save(sIndex, sError);
}

bool TExportRun::RunKind(const TReportKind& kind)
{
    const TKindInfo& info = kind.info;
    const QString sPageDir = sHtmlDir + info.sFolder;
    // A page folder that cannot be made ends the run with the reason: leaving the kind
    // out without a word would report a run as done that wrote nothing of it.
    if (!TPlatform::ForceDirectories(sPageDir))
        return FolderFail(sPageDir);
    for (const TTQMonitor* mon : aMons) {
        if (Cancelled())
            break;
        hooks.Pump();
        if (!info.sProgress.isEmpty())
            Status(info.sProgress + mon->sName);
        THtmlPage page;
        page.AddPageHead(info.sHtmlTitle, opt.bHideLogo);
        page.AddPreamble(*mon, dtFrom, dtTo);
        if (!kind.fnExport(*this, page, *mon))
            return false;
        page.AddPageFoot();
        const QString sPage =
            sPageDir + TPlatform::Sep() + TReportNames::PageName(info, mon->sID, dtFrom, dtTo, opt.nPeriod);
        if (!page.Save(sPage, sError))
            return false;
    }
    return true;
}

int TExportRun::ExcludedPeriods(const QString& sID)
{
    if (!opt.pExcl)
        return 0;
    const auto it = excludedPeriods.constFind(sID);
    if (it != excludedPeriods.constEnd())
        return *it;
    const int n = TExclusionsFill::ExcludedPeriods(*opt.pExcl, sDataPath, sID, dtFrom, dtTo, opt.nPeriod);
    excludedPeriods.insert(sID, n);
    return n;
}

void TExportRun::AddExcludedLine(THtmlPage& page, const TTQMonitor& mon)
{
    const int n = ExcludedPeriods(mon.sID);
    if (n <= 0)
        return;
    // The kinds run in the order of the index, the exclusions after the figures: their
    // page is there when this run writes it or an earlier run of the same range did.
    const TKindInfo& exl = TExlPage::Info();
    const QString sName = TReportNames::PageName(exl, mon.sID, dtFrom, dtTo, opt.nPeriod);
    const bool bThere = std::any_of(exl.aParts.begin(), exl.aParts.end(),
                                    [this](const QString& sPart) { return opt.Chosen(sPart); }) ||
                        QFileInfo::exists(sHtmlDir + exl.sFolder + TPlatform::Sep() + sName);
    page.AddExcludedLine(n, bThere ? QStringLiteral("../") + exl.sFolder + QLatin1Char('/') + THtmlPage::LinkName(sName)
                                   : QString());
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

bool TExportRun::SaveChartImages(THtmlPage& page, const TKindInfo& kind, const QString& sID, TChartBase& chart)
{
    const QString sChartDir = ChartDir(kind);
    const int n = opt.nPeriod;
    const QString sImage = TReportNames::ChartName(kind, sID, dtFrom, dtTo, n, false, opt.imageFormat);
    if (!SaveImage(chart, sChartDir, sImage, false))
        return false;
    hooks.Pump();
    QString sZoom;
    if (opt.bZoom && !Cancelled()) {
        sZoom = TReportNames::ChartName(kind, sID, dtFrom, dtTo, n, true, opt.imageFormat);
        if (!SaveImage(chart, sChartDir, sZoom, true))
            return false;
    }
    hooks.Pump();
    page.AddChartBlock(sImage, sZoom);
    return true;
}

bool TExportRun::SaveDayChart(THtmlPage& page, const TKindInfo& kind, const QString& sID, const QDate& d,
                              TChartBase& chart)
{
    const QString sChartDir = ChartDir(kind);
    const QString sImage = TReportNames::DayChartName(kind, sID, d, false, opt.imageFormat);
    if (!SaveImage(chart, sChartDir, sImage, false))
        return false;
    QString sZoom;
    if (opt.bZoom) {
        sZoom = TReportNames::DayChartName(kind, sID, d, true, opt.imageFormat);
        if (!SaveImage(chart, sChartDir, sZoom, true))
            return false;
    }
    page.AddChartBlock(sImage, sZoom);
    return true;
}
