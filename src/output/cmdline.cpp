#include "output/cmdline.h"

#include "monitors/monitor.h"
#include "output/exportrun.h"
#include "output/gridtext.h"
#include "output/pdfreport.h"
#include "output/utils.h"
#include "pages/evtpage.h"
#include "pages/excpage.h"
#include "pages/qualpage.h"
#include "pages/sumpage.h"
#include "pages/reportkinds.h"
#include "platform/platform.h"
#include "platform/writeerror.h"
#include "settings/cfg.h"
#include "reports/gridfill.h"
#include "analysis/exclusions.h"
#include "analysis/limits.h"
#include "analysis/weatherrules.h"
#include "reports/stringgrid.h"

#include <QDate>
#include <QDir>
#include <QFileInfo>
#include <QTextStream>

#include <algorithm>
#include <cmath>
#include <memory>
#include <optional>
#include <stdexcept>
#include <utility>
#include <vector>

namespace {

// A mistake in the arguments: exit status 2 with the usage.
class EBadArgs final : public std::runtime_error
{
public:
    explicit EBadArgs(const QString& s) : std::runtime_error("bad arguments"), sMsg(s) {}
    QString sMsg;
};

// A run that cannot go on: exit status 1 with the message.
class ERunFailed final : public std::runtime_error
{
public:
    explicit ERunFailed(const QString& s) : std::runtime_error("run failed"), sMsg(s) {}
    QString sMsg;
};

struct TArgs
{
    bool bHelp = false;
    bool bSummary = false;
    bool bEvents = false;
    bool bExceedances = false;
    bool bQuality = false;
    std::optional<QString> sExport;
    std::optional<QString> sTable;
    std::optional<QString> sData;
    std::optional<QString> sFrom;
    std::optional<QString> sTo;
    std::optional<QString> sMonitors;
    std::optional<QString> sPeriod;
    std::optional<QString> sKinds;
    std::optional<QString> sHeader;
    std::optional<QString> sThreshold;
    std::optional<QString> sMinDuration;
    std::optional<QString> sImageFormat;
    std::optional<QString> sPdf;
    std::optional<QString> sReport;
    std::optional<QString> sPaper;
    bool bLandscape = false;
    bool bProgress = false;
    std::optional<QString> sLimits;
    std::optional<QString> sExclusions;
    bool bNoExclusions = false;
    std::optional<bool> bZoom;
    std::optional<bool> bLogo;
};

TArgs Parse(const QStringList& args)
{
    TArgs a;
    const std::pair<const char*, std::optional<QString> TArgs::*> aValued[] = {
        {"--export", &TArgs::sExport}, {"--table", &TArgs::sTable}, {"--data", &TArgs::sData},
        {"--from", &TArgs::sFrom},     {"--to", &TArgs::sTo},       {"--monitors", &TArgs::sMonitors},
        {"--period", &TArgs::sPeriod}, {"--kinds", &TArgs::sKinds}, {"--header", &TArgs::sHeader},
        {"--threshold", &TArgs::sThreshold}, {"--min-duration", &TArgs::sMinDuration},
        {"--image-format", &TArgs::sImageFormat}, {"--pdf", &TArgs::sPdf}, {"--report", &TArgs::sReport},
        {"--paper", &TArgs::sPaper},
        {"--limits", &TArgs::sLimits}, {"--exclusions", &TArgs::sExclusions},
    };
    for (qsizetype i = 1; i < args.size(); ++i) {
        QString sOpt = args[i];
        std::optional<QString> sInline;
        const qsizetype iEq = sOpt.indexOf(QLatin1Char('='));
        if (sOpt.startsWith(QLatin1String("--")) && iEq > 0) {
            sInline = sOpt.mid(iEq + 1);
            sOpt.truncate(iEq);
        }
        bool bKnown = false;
        for (const auto& [szName, field] : aValued) {
            if (sOpt != QLatin1String(szName))
                continue;
            bKnown = true;
            if (sInline) {
                a.*field = *sInline;
            } else {
                if (i + 1 >= args.size())
                    throw EBadArgs(sOpt + QStringLiteral(" needs a value"));
                a.*field = args[++i];
            }
        }
        if (bKnown)
            continue;
        if (sInline)
            throw EBadArgs(QStringLiteral("unknown option ") + args[i]);
        if (sOpt == QLatin1String("--help") || sOpt == QLatin1String("-h"))
            a.bHelp = true;
        else if (sOpt == QLatin1String("--summary"))
            a.bSummary = true;
        else if (sOpt == QLatin1String("--events"))
            a.bEvents = true;
        else if (sOpt == QLatin1String("--exceedances"))
            a.bExceedances = true;
        else if (sOpt == QLatin1String("--quality"))
            a.bQuality = true;
        else if (sOpt == QLatin1String("--zoom") || sOpt == QLatin1String("--no-zoom"))
            a.bZoom = sOpt == QLatin1String("--zoom");
        else if (sOpt == QLatin1String("--logo") || sOpt == QLatin1String("--no-logo"))
            a.bLogo = sOpt == QLatin1String("--logo");
        else if (sOpt == QLatin1String("--landscape"))
            a.bLandscape = true;
        else if (sOpt == QLatin1String("--progress"))
            a.bProgress = true;
        else if (sOpt == QLatin1String("--no-exclusions"))
            a.bNoExclusions = true;
        else
            throw EBadArgs(QStringLiteral("unknown option ") + sOpt);
    }
    return a;
}

QDate ParseDate(const QString& sOpt, const QString& s)
{
    // Scheduled jobs name their day relative to the day they run.
    if (s == QLatin1String("today"))
        return QDate::currentDate();
    if (s == QLatin1String("yesterday"))
        return QDate::currentDate().addDays(-1);
    const QDate d = QDate::fromString(s, QStringLiteral("yyyy-MM-dd"));
    if (s.size() != 10 || !d.isValid())
        throw EBadArgs(sOpt + QStringLiteral(" needs a date YYYY-MM-DD, today or yesterday, not ") + s);
    return d;
}

int ParsePeriod(const QString& s)
{
    const int n = DecimalNumber(s);
    if (n <= 0)
        throw EBadArgs(QStringLiteral("--period needs a positive whole number of minutes, not ") + s);
    return n;
}

// The chosen monitors in catalogue order, as the window's check-list would give them.
TMonitorSel SelectMonitors(const TCfg& cfg, const TTQMonitors& mons, const std::optional<QString>& sList)
{
    TMonitorSel aSel;
    QStringList slIDs;
    const bool bAll = sList && *sList == QLatin1String("all");
    if (sList && !bAll) {
        slIDs = sList->split(QLatin1Char(','), Qt::SkipEmptyParts);
        if (slIDs.isEmpty())
            throw EBadArgs(QStringLiteral("--monitors needs monitor IDs or \"all\""));
        for (const QString& sID : std::as_const(slIDs))
            if (!mons.GetHeadFromID(sID))
                throw EBadArgs(QStringLiteral("no monitor with the ID ") + sID);
    }
    for (int i = 0; i < mons.Count(); ++i) {
        const TTQMonitor* mon = mons.GetHead(i);
        const bool bWanted = bAll || (sList ? slIDs.contains(mon->sID) : cfg.GetMonitorSel(mon->sID));
        if (bWanted)
            aSel.push_back(mon);
    }
    return aSel;
}

TExportOptions ExportOptions(const TCfg& cfg, const TArgs& a)
{
    TExportOptions opt = TExportOptions::FromCfg(cfg);
    const QStringList slParts = TReportKinds::PartNames();
    QStringList slChosen = slParts;
    if (a.sKinds) {
        slChosen = a.sKinds->split(QLatin1Char(','), Qt::SkipEmptyParts);
        if (slChosen.isEmpty())
            throw EBadArgs(QStringLiteral("--kinds needs at least one kind"));
        for (const QString& s : std::as_const(slChosen))
            if (!slParts.contains(s))
                throw EBadArgs(QStringLiteral("unknown report kind ") + s);
    }
    opt.Choose(slChosen);
    if (a.bZoom)
        opt.bZoom = *a.bZoom;
    if (a.bLogo)
        opt.bHideLogo = !*a.bLogo;
    if (a.sHeader)
        opt.sHeader = *a.sHeader;
    if (a.sImageFormat) {
        const std::optional<EImageFormat> fmt = TReportNames::ImageFormatFromText(*a.sImageFormat);
        if (!fmt)
            throw EBadArgs(QStringLiteral("unknown image format ") + *a.sImageFormat +
                           QStringLiteral(" (png or bmp)"));
        opt.imageFormat = *fmt;
    }
    return opt;
}

// The exclusions of the run: none with --no-exclusions, those of --exclusions FILE,
// else the installation's list beside the settings (none when there is no such file);
// with the wind and rain the weather rules of the settings find.
// A file that is there but cannot be read ends the run: figures without the exclusions
// a consultant made would pass for cleaned ones.
std::shared_ptr<TExclusions> RunExclusions(const TArgs& a, const TCfg& cfg, const TTQMonitors& mons,
                                           QTextStream& err)
{
    if (a.bNoExclusions)
        return nullptr;
    const QString sFile = a.sExclusions ? *a.sExclusions
                                        : TExclusions::DefaultFileName(TPlatform::CommonAppDataPath());
    if (sFile.isEmpty())
        return nullptr;
    if (a.sExclusions && !QFileInfo::exists(sFile))
        throw EBadArgs(QStringLiteral("no exclusion file ") + sFile);
    auto pExcl = std::make_shared<TExclusions>();
    QString sError;
    if (!pExcl->Load(sFile, sError))
        throw ERunFailed(sError + QStringLiteral(" (--no-exclusions gives the figures without exclusions)"));
    if (!pExcl->Errors().isEmpty())
        err << QStringLiteral("tarvik-reporter: ") << pExcl->ErrorSummary() << Qt::endl;
    QStringList slIDs;
    for (int i = 0; i < mons.Count(); ++i)
        if (const TTQMonitor* mon = mons.GetHead(i))
            slIDs.append(mon->sID);
    const QString sUnknown = pExcl->UnknownSummary(slIDs);
    if (!sUnknown.isEmpty())
        err << QStringLiteral("tarvik-reporter: ") << sUnknown << Qt::endl;
    for (const QString& sLine : TWeatherRules::Apply(*pExcl, cfg))
        err << QStringLiteral("tarvik-reporter: ") << sLine << Qt::endl;
    return pExcl;
}

void PrintTable(const QString& sTable, TCfg& cfg, const TMonitorSel& aSel, const QDate& dtFrom,
                const QDate& dtTo, QTextStream& out, const TExclusions* pExcl)
{
    const TReportKind* kind = nullptr;
    int iPage = 0;
    if (!TReportKinds::FindTable(sTable, kind, iPage))
        return;
    TStringGrid grid;
    const QString sDataPath = cfg.DataPath();
    kind->info.aPages[size_t(iPage)].fnFill(grid, TFillArgs{cfg, sDataPath, aSel, dtFrom, dtTo, cfg.RepPerPeriod(), pExcl});
    out << TGridText::FromGrid(grid);
    out.flush();
}

// The event overrides of the run: a threshold for day and night, a minimum duration.
void ApplyEventArgs(TCfg& cfg, const TArgs& a)
{
    if (a.sThreshold) {
        bool bOk = false;
        const double d = a.sThreshold->trimmed().toDouble(&bOk);
        if (!bOk || !(d >= 0 && d <= 180))
            throw EBadArgs(QStringLiteral("--threshold needs a level from 0 to 180 dB, not ") +
                           *a.sThreshold);
        cfg.SetEvtDayThreshold(d);
        cfg.SetEvtNightThreshold(d);
    }
    if (a.sMinDuration) {
        const int n = DecimalNumber(*a.sMinDuration);
        if (n < 0)
            throw EBadArgs(QStringLiteral("--min-duration needs a whole number of seconds, not ") +
                           *a.sMinDuration);
        if (cfg.EvtMaxDuration() > 0 && n > cfg.EvtMaxDuration())
            throw EBadArgs(
                QStringLiteral("--min-duration lies above the maximum duration of the settings (") +
                QString::number(cfg.EvtMaxDuration()) + QStringLiteral(" s)"));
        cfg.SetEvtMinDuration(n);
    }
}

// The schedule of the run: from --limits FILE when given, else from the settings.
// Rules that cannot be read, and rules for monitors the installation does not have,
// are named once on standard error; the readable rules judge.
TLimits RunLimits(const TCfg& cfg, const TTQMonitors& mons, const std::optional<QString>& sFile,
                  QTextStream& err)
{
    TLimits limits;
    if (sFile) {
        QString sError;
        std::optional<TLimits> fromFile = TLimits::FromFile(*sFile, sError);
        if (!fromFile)
            throw EBadArgs(sError);
        limits = std::move(*fromFile);
    } else {
        limits = TLimits::FromCfg(cfg);
    }
    if (!limits.slErrors.isEmpty())
        err << QStringLiteral("tarvik-reporter: ") << limits.ErrorSummary() << Qt::endl;
    QStringList slIDs;
    for (int i = 0; i < mons.Count(); ++i)
        slIDs.append(mons.GetHead(i)->sID);
    const QString sUnknown = limits.UnknownSummary(slIDs);
    if (!sUnknown.isEmpty())
        err << QStringLiteral("tarvik-reporter: ") << sUnknown << Qt::endl;
    return limits;
}

// With no rule to judge by there is nothing to report: said on standard error, with
// where the rules were looked for, rather than an empty table on standard output.
bool NoLimitRules(const TLimits& limits, const TCfg& cfg, const std::optional<QString>& sFile,
                  QTextStream& err)
{
    if (!limits.aRules.empty())
        return false;
    const QString sWhere =
        sFile ? QStringLiteral("the limits file ") + *sFile
              : QStringLiteral("the section [") + TCfg::LimitSection() + QStringLiteral("] of ") +
                    QDir::toNativeSeparators(cfg.FileName());
    err << QStringLiteral("No limit rules: ") << sWhere << QStringLiteral(" holds no rule that can be read")
        << (sFile ? QString()
                  : QStringLiteral(" (make them on the Limits page of the preferences, or give --limits FILE)"))
        << Qt::endl;
    return true;
}

// Where the export stands: the report folder, its days, and whether the progress
// lines are shown.
struct TExportPlan
{
    QString sDir;
    QDate dtFrom;
    QDate dtTo;
    // --from last: one run per day, from the day after the folder's note to dtTo,
    // the note moved on after each complete day.
    bool bFromLast = false;
    bool bProgress = false;
};

int Export(const TExportPlan& plan, TCfg& cfg, const TTQMonitors& mons, const TMonitorSel& aSel,
           const TExportOptions& opt, QTextStream& out, QTextStream& err)
{
    // An export of no monitor would be an empty index reported as done.
    if (aSel.empty()) {
        err << QStringLiteral("No monitor chosen: tick monitors in the window or give --monitors") << Qt::endl;
        return 1;
    }
    QString sHtmlDir = QFileInfo(plan.sDir).absoluteFilePath();
    if (!TExportRun::MakeReportFolder(sHtmlDir)) {
        err << TExportRun::FolderFailText(sHtmlDir) << Qt::endl;
        return 1;
    }
    QDate dtFrom = plan.dtFrom;
    if (plan.bFromLast) {
        // A note of a day still to come (a clock that was wrong) is no note: the
        // run falls back to the last day alone.
        const QDate dtLast = TExportRun::LastDay(sHtmlDir);
        dtFrom = dtLast.isValid() && dtLast <= QDate::currentDate() ? dtLast.addDays(1) : plan.dtTo;
    }
    auto status = [&out, &plan](const QString& s) {
        if (plan.bProgress)
            out << s << Qt::endl;
    };
    if (dtFrom > plan.dtTo) {
        status(QStringLiteral("Nothing to export: the last export covered ") +
               dtFrom.addDays(-1).toString(QStringLiteral("yyyy-MM-dd")));
        return 0;
    }
    // Each missed day is written as the nightly run would have written it.
    const std::vector<std::pair<QDate, QDate>> aRuns = [&] {
        std::vector<std::pair<QDate, QDate>> a;
        if (!plan.bFromLast)
            a.emplace_back(dtFrom, plan.dtTo);
        else
            for (QDate d = dtFrom; d <= plan.dtTo; d = d.addDays(1))
                a.emplace_back(d, d);
        return a;
    }();
    for (const auto& [dtRunFrom, dtRunTo] : aRuns) {
        TExportRun run(cfg, mons, aSel, dtRunFrom, dtRunTo, opt);
        run.SetStatusFn(status);
        if (!run.Run(sHtmlDir)) {
            err << run.Error() << Qt::endl;
            return 1;
        }
        if (plan.bFromLast && !TExportRun::SetLastDay(sHtmlDir, dtRunTo)) {
            err << QStringLiteral("Unable to write to ")
                << QDir::toNativeSeparators(TExportRun::LastDayFile(sHtmlDir)) << Qt::endl;
            return 1;
        }
    }
    return 0;
}

struct TPdfChoice
{
    QString sReport;
    QPageSize::PageSizeId idPaper = QPageSize::A4;
};

// The report and paper of --pdf, checked before anything is read.
TPdfChoice PdfChoice(const TArgs& a)
{
    TPdfChoice choice;
    if (a.sPdf->isEmpty())
        throw EBadArgs(QStringLiteral("--pdf needs a file name"));
    if (!a.sReport)
        throw EBadArgs(QStringLiteral("--pdf needs --report, one of ") +
                       TPdfReport::ReportNames().join(QStringLiteral(", ")));
    if (!TPdfReport::ReportNames().contains(*a.sReport))
        throw EBadArgs(QStringLiteral("unknown report ") + *a.sReport + QStringLiteral(" (one of ") +
                       TPdfReport::ReportNames().join(QStringLiteral(", ")) + QLatin1Char(')'));
    choice.sReport = *a.sReport;
    if (a.sPaper) {
        if (a.sPaper->compare(QLatin1String("A4"), Qt::CaseInsensitive) == 0)
            choice.idPaper = QPageSize::A4;
        else if (a.sPaper->compare(QLatin1String("Letter"), Qt::CaseInsensitive) == 0)
            choice.idPaper = QPageSize::Letter;
        else
            throw EBadArgs(QStringLiteral("unknown paper ") + *a.sPaper + QStringLiteral(" (A4 or Letter)"));
    }
    return choice;
}

int WritePdf(const QString& sFile, const TPdfChoice& choice, bool bLandscape, TCfg& cfg, const TTQMonitors& mons,
             const TMonitorSel& aSel, const QDate& dtFrom, const QDate& dtTo, TExclusions* pExcl, QTextStream& out,
             QTextStream& err)
{
    TPdfReport pdf(cfg, mons, aSel, dtFrom, dtTo);
    pdf.SetExclusions(pExcl);
    pdf.SetPaper(choice.idPaper, bLandscape);
    const int nPages = pdf.Write(choice.sReport, sFile);
    if (nPages <= 0) {
        err << pdf.Error() << Qt::endl;
        return 1;
    }
    out << QDir::toNativeSeparators(QFileInfo(sFile).absoluteFilePath()) << QStringLiteral(": ") << nPages
        << (nPages == 1 ? QStringLiteral(" page") : QStringLiteral(" pages")) << Qt::endl;
    return 0;
}

int RunArgs(const TArgs& a, bool bOutIsTerminal, QTextStream& out, QTextStream& err)
{
    if (a.bHelp) {
        out << TCmdLine::Usage();
        out.flush();
        return 0;
    }
    if (int(a.sExport.has_value()) + int(a.sTable.has_value()) + int(a.bSummary) + int(a.bEvents) +
            int(a.bExceedances) + int(a.bQuality) + int(a.sPdf.has_value()) !=
        1)
        throw EBadArgs(QStringLiteral(
            "give one of --export, --table, --summary, --events, --exceedances, --quality or --pdf"));
    if (a.sExport && a.sExport->isEmpty())
        throw EBadArgs(QStringLiteral("--export needs a folder"));
    if (a.sTable && !TReportKinds::TableNames().contains(*a.sTable))
        throw EBadArgs(QStringLiteral("unknown table ") + *a.sTable);
    if (!a.sExport && (a.sKinds || a.bZoom || a.bLogo || a.sHeader || a.sImageFormat))
        throw EBadArgs(
            QStringLiteral("--kinds, --zoom, --logo, --header and --image-format go with --export only"));
    if (!a.sExport && !a.bEvents && (a.sThreshold || a.sMinDuration))
        throw EBadArgs(QStringLiteral("--threshold and --min-duration go with --events and --export only"));
    if (a.sLimits && !a.sExport && !a.bExceedances && !a.sPdf)
        throw EBadArgs(QStringLiteral("--limits goes with --exceedances, --export and --pdf only"));
    if (a.bNoExclusions && a.sExclusions)
        throw EBadArgs(QStringLiteral("give --exclusions FILE or --no-exclusions, not both"));
    if (!a.sPdf && (a.sReport || a.sPaper || a.bLandscape))
        throw EBadArgs(QStringLiteral("--report, --paper and --landscape go with --pdf only"));
    const bool bFromLast = a.sFrom && *a.sFrom == QLatin1String("last");
    if (!a.sExport && (bFromLast || a.bProgress))
        throw EBadArgs(QStringLiteral("--from last and --progress go with --export only"));
    const TPdfChoice pdfChoice = a.sPdf ? PdfChoice(a) : TPdfChoice();
    // With --from last the first day comes from the report folder's note; the last
    // day is yesterday, the last whole day, unless --to names another.
    QDate dtFrom;
    QDate dtTo;
    if (bFromLast) {
        dtTo = a.sTo ? ParseDate(QStringLiteral("--to"), *a.sTo) : QDate::currentDate().addDays(-1);
        dtFrom = dtTo;
    } else {
        dtFrom = a.sFrom ? ParseDate(QStringLiteral("--from"), *a.sFrom) : QDate::currentDate();
        dtTo = a.sTo ? ParseDate(QStringLiteral("--to"), *a.sTo) : dtFrom;
    }
    if (dtFrom > dtTo)
        throw EBadArgs(QStringLiteral("--from lies after --to"));
    const std::optional<int> nPeriod = a.sPeriod ? std::optional<int>(ParsePeriod(*a.sPeriod)) : std::nullopt;
    if (a.sData && !QFileInfo(*a.sData).isDir())
        throw EBadArgs(QStringLiteral("no data folder ") + *a.sData);

    // The settings give the defaults; the overrides below change only this run.
    TCfg cfg;
    cfg.SetWriteThrough(false);
    if (a.sData)
        cfg.SetDataPath(QFileInfo(*a.sData).absoluteFilePath());
    if (nPeriod)
        cfg.SetRepPerPeriod(*nPeriod);
    ApplyEventArgs(cfg, a);
    TTQMonitors mons;
    mons.LoadMonitors(cfg.DataPath());
    const TMonitorSel aSel = SelectMonitors(cfg, mons, a.sMonitors);
    const std::shared_ptr<TExclusions> pExcl = RunExclusions(a, cfg, mons, err);

    if (a.bSummary) {
        TSumPage::WriteCsv(cfg, cfg.DataPath(), aSel, dtFrom, dtTo, out, pExcl.get());
        return 0;
    }
    if (a.bEvents) {
        TEvtPage::WriteCsv(cfg, cfg.DataPath(), aSel, dtFrom, dtTo, out, err, pExcl.get());
        return 0;
    }
    if (a.bExceedances) {
        const TLimits limits = RunLimits(cfg, mons, a.sLimits, err);
        if (NoLimitRules(limits, cfg, a.sLimits, err))
            return 1;
        TExcPage::WriteCsv(limits, cfg.DataPath(), aSel, dtFrom, dtTo, cfg.RepPerPeriod(), out, pExcl.get());
        return 0;
    }
    if (a.bQuality) {
        TQualPage::WriteCsv(cfg, cfg.DataPath(), aSel, dtFrom, dtTo, cfg.RepPerPeriod(), pExcl.get(), out);
        return 0;
    }
    if (a.sTable) {
        PrintTable(*a.sTable, cfg, aSel, dtFrom, dtTo, out, pExcl.get());
        return 0;
    }
    if (a.sPdf) {
        // The report judges by the run's rules as by the settings' own; nothing is stored.
        if (a.sLimits)
            cfg.SetLimitRules(RunLimits(cfg, mons, a.sLimits, err).Lines());
        return WritePdf(*a.sPdf, pdfChoice, a.bLandscape, cfg, mons, aSel, dtFrom, dtTo, pExcl.get(), out, err);
    }
    TExportOptions opt = ExportOptions(cfg, a);
    opt.pExcl = pExcl;
    if (opt.Chosen(TExcPage::Info().aParts.front()))
        opt.pLimits = std::make_shared<const TLimits>(RunLimits(cfg, mons, a.sLimits, err));
    const TExportPlan plan{*a.sExport, dtFrom, dtTo, bFromLast, a.bProgress || bOutIsTerminal};
    return Export(plan, cfg, mons, aSel, opt, out, err);
}
} // namespace

bool TCmdLine::Wants(const QStringList& args)
{
    return args.size() > 1;
}

int TCmdLine::Run(const QStringList& args, QTextStream& out, QTextStream& err, bool bOutIsTerminal)
{
    try {
        return RunArgs(Parse(args), bOutIsTerminal, out, err);
    } catch (const EBadArgs& e) {
        err << QStringLiteral("tarvik-reporter: ") << e.sMsg << Qt::endl << Qt::endl << Usage();
        err.flush();
        return 2;
    } catch (const ERunFailed& e) {
        err << QStringLiteral("tarvik-reporter: ") << e.sMsg << Qt::endl;
        return 1;
    } catch (const EWriteError& e) {
        err << e.Message() << Qt::endl;
        return 1;
    }
}

QString TCmdLine::Usage()
{
    return QStringLiteral(
        "Usage: tarvik-reporter --export DIR [options]\n"
        "       tarvik-reporter --table periodic|alarms|alarm-list|calibrations|quality\n"
        "                               [options]\n"
        "       tarvik-reporter --summary [options]\n"
        "       tarvik-reporter --events [options]\n"
        "       tarvik-reporter --pdf FILE --report REPORT [options]\n"
        "       tarvik-reporter --exceedances [--limits FILE] [options]\n"
        "       tarvik-reporter --quality [options]\n"
        "       tarvik-reporter --help\n"
        "\n"
        "Runs without a window. The settings give the defaults; nothing is stored.\n"
        "\n"
        "  --export DIR          write the HTML reports and their index into DIR (created\n"
        "                        when missing)\n"
        "  --table TABLE         print one report table as tab-separated text, as the\n"
        "                        clipboard copy of the same table holds it\n"
        "  --summary             print the daily rating levels (Lday, Levening, Lnight,\n"
        "                        Lden) and the coverage of each part as CSV, one row per\n"
        "                        monitor and day and a \"Range\" row per monitor; days\n"
        "                        after today are left out; with excluded periods three\n"
        "                        more columns give the hours excluded of each part\n"
        "  --events              print the noise events in the one-second profiles as CSV\n"
        "                        (monitor, date, start, end, duration s, LAeq,1s max,\n"
        "                        LAE, cut, note), one row per event on its start day;\n"
        "                        then after a blank line one row per monitor and day\n"
        "                        (events, N-above counts, seconds above, seconds\n"
        "                        without a value, records not placed, file read,\n"
        "                        missing or not read)\n"
        "  --pdf FILE            print one report into the PDF file FILE, page for page as\n"
        "                        File > Print prints it (the folder must exist)\n"
        "  --exceedances         print every period above its noise limit as CSV (monitor,\n"
        "                        date, time, parameter, value, limit, margin, label), then\n"
        "                        the counts per monitor, day and rule (a night counts for\n"
        "                        the day it began on; worst at is a date and time) and a\n"
        "                        \"Range\" row; days after today are left out. Without any\n"
        "                        limit rule it says so on standard error and exits with 1;\n"
        "                        with excluded periods the count rows end with \"Excluded\"\n"
        "  --limits FILE         with --exceedances, --export or --pdf: judge by the limit\n"
        "                        rules of FILE, one per line as in the settings, for this\n"
        "                        run (default: the limits of the settings)\n"
        "  --exclusions FILE     leave out the periods the exclusion file FILE lists\n"
        "                        (default: the exclusion file beside the settings, when\n"
        "                        there is one), and the wind and rain periods of the\n"
        "                        weather rules of the settings\n"
        "  --no-exclusions       the raw figures: leave nothing out\n"
        "  --quality             print how complete the record is as CSV: every gap of more\n"
        "                        than 60 minutes without a LAeq value (monitor, from, to,\n"
        "                        minutes, cause: file missing, file not read, no LAeq\n"
        "                        column, no value, no record); then after a blank line one\n"
        "                        row per monitor and day (periodic file, periods expected,\n"
        "                        present, excluded and missing, coverage %, calendar step,\n"
        "                        alarms, calibrations) and a \"Range\" row per monitor;\n"
        "                        then the periods per part of the day. Days after today\n"
        "                        are left out, and today's periods count once they end\n"
        "  --data DIR            the data folder (default: the data folder of the settings)\n"
        "  --from DAY            first day: YYYY-MM-DD, today, yesterday, or with --export\n"
        "                        last (below) (default: today)\n"
        "  --to DAY              last day, given the same way (default: the first day)\n"
        "  --monitors ID,ID,...  the monitors by ID, or \"all\" (default: the monitors\n"
        "                        ticked in the window)\n"
        "  --period MIN          report period in minutes (default: the setting)\n"
        "\n"
        "With --events or --export:\n"
        "  --threshold DB        event threshold for day and night, 0 to 180 dB\n"
        "                        (default: the settings)\n"
        "  --min-duration S      shortest event in whole seconds (default: the setting)\n"
        "\n"
        "With --export only:\n"
        "  --from last           every day after the last day that the last complete\n"
        "                        --from last export into DIR covered, one report per day,\n"
        "                        up to --to (default: yesterday); without such an export\n"
        "                        the last day alone. DIR/last-export.txt holds that day\n"
        "                        (YYYY-MM-DD), written after each complete day\n"
        "  --progress            print one progress line per step also when standard\n"
        "                        output is no terminal (on a terminal they always show)\n"
        "  --kinds LIST          report kinds, separated by commas: per-chart, per-table,\n"
        "                        alm-chart, alm-table, alm-list, prf, cal, sum (the daily\n"
        "                        rating levels), evt (the noise events), exc (the\n"
        "                        exceedances of the noise limits), qual (the data\n"
        "                        quality) (default: all)\n"
        "  --zoom, --no-zoom     also write the large chart images, linked from the small\n"
        "                        ones (default: the setting)\n"
        "  --logo, --no-logo     show the maker's logo in the page heads (default: the setting)\n"
        "  --header TEXT         title of the index page (default: the setting)\n"
        "  --image-format FORMAT chart images as png or bmp, in any case (default: the\n"
        "                        setting)\n"
        "\n"
        "With --pdf only:\n"
        "  --report REPORT       the report to print: periodic-chart, periodic-table,\n"
        "                        alarm-chart, alarm-table, alarm-list, profile (the day\n"
        "                        of --from), calibrations, summary, event-list,\n"
        "                        event-chart (the events of the day of --from),\n"
        "                        exceedances, quality-calendar, quality\n"
        "  --paper SIZE          A4 or Letter (default: A4)\n"
        "  --landscape           turn the paper sideways\n"
        "\n"
        "  -h, --help            show this text\n"
        "\n"
        "The window opens only when no argument is given: any other word gets this text.\n"
        "Qt's own options (-platform, -style, ...) are not taken; use its environment\n"
        "variables (QT_QPA_PLATFORM, QT_STYLE_OVERRIDE) instead.\n"
        "\n"
        "Exit status: 0 done, 1 the run failed (message on standard error),\n"
        "2 bad arguments (message and this text on standard error).\n");
}
