#pragma once

#include <QDate>
#include <QString>

#include <functional>
#include <optional>

// The kinds of report page the export writes, in the order of the index page. The
// summary and the noise events came last, so the older kinds keep their numbers.
enum class EReportKind
{
    Per,
    Alm,
    Prf,
    Cal,
    Sum,
    Evt,
    Exc
};

// The file format of the export's chart images. BMP is what every library held so
// far; PNG holds the same picture in a small fraction of the bytes.
enum class EImageFormat
{
    Bmp,
    Png
};

// Names of the report library: page folders, page and chart file names, and the
// date fields inside them. A page name is parsed back by the index page, so the
// two directions live side by side.
class TReportNames final
{
public:
    TReportNames() = delete;

    // "per", "alm", "prf", "cal", "sum", "evt", "exc": the first field of every file name of the kind.
    static QString KindKey(EReportKind kind);
    // "periodic", "alarms", "profiles", "calibrations", "summaries", "events", "exceedances".
    static QString KindFolder(EReportKind kind);
    // Index page links always use "/", whatever the platform separator.
    static QString LinkPrefix(EReportKind kind) { return KindFolder(kind) + QLatin1Char('/'); }

    // A date field of a file name, "YYYYMMDD".
    static QString DateField(const QDate& dt);

    // Whether the names of the kind end with the period field: true for per, alm, sum and exc.
    static bool HasPeriod(EReportKind kind);

    // per_ID_FROM_TO_PPPP.html, alm_... and sum_...; prf_ID_FROM_TO.html and cal_... carry no period.
    static QString PageName(EReportKind kind, const QString& sID, const QDate& dtFrom, const QDate& dtTo,
                            int nPeriod);
    // per_ID_FROM_TO_PPPP.bmp or ..._zoom.bmp (also alm_ and sum_); .png for PNG images.
    static QString ChartName(EReportKind kind, const QString& sID, const QDate& dtFrom, const QDate& dtTo,
                             int nPeriod, bool bZoom, EImageFormat fmt = EImageFormat::Bmp);
    // prf_ID_DAY.bmp or prf_ID_DAY_zoom.bmp; .png for PNG images.
    static QString ProfileChartName(const QString& sID, const QDate& dtDay, bool bZoom,
                                    EImageFormat fmt = EImageFormat::Bmp);
    // evt_ID_DAY.bmp or evt_ID_DAY_zoom.bmp: the events per hour of one day; .png for PNG images.
    static QString EventChartName(const QString& sID, const QDate& dtDay, bool bZoom,
                                  EImageFormat fmt = EImageFormat::Bmp);

    // "bmp" or "png": the file name ending, and the text of the setting and the command line.
    static QString ImageExt(EImageFormat fmt);
    // The format named by "bmp" or "png" in any case; none for any other text.
    static std::optional<EImageFormat> ImageFormatFromText(const QString& s);

    static QString IndexFileName() { return QStringLiteral("Tarvik Reports.html"); }
    static QString ChartFolder() { return QStringLiteral("charts"); }

private:
    static QString ImageEnding(bool bZoom, EImageFormat fmt);
};

// The day before the date origin of 30 December 1899: what a date field that is not
// a date turns into, so the index row still shows (as Dec 29, 1899).
inline QDate NoReportDate()
{
    return QDate(1899, 12, 29);
}

// The value of a text of decimal digits only; -1 for the empty text, one holding any
// other character (a sign or a blank too) or a value beyond int. The fields of a page
// name and the period given on the command line are read this way.
int DecimalNumber(const QString& s);

// A date field of a page name, "YYYYMMDD" or "YYYY-MM-DD", as a date; NoReportDate()
// for any other length, a part that is not a decimal number, or a day that does not exist.
QDate ReportDateToDate(const QString& sText);

// What a long run offers its caller between two steps: a chance to process pending
// events (the dialog's Cancel button) and the question whether to stop. Both may be empty.
struct TRunHooks
{
    std::function<void()> fnPump;
    std::function<bool()> fnCancelled;

    void Pump() const
    {
        if (fnPump)
            fnPump();
    }
    bool Cancelled() const { return fnCancelled && fnCancelled(); }
};
