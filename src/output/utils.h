#pragma once

#include "reports/kindinfo.h"

#include <QDate>
#include <QString>

#include <functional>
#include <optional>

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

    // Index page links always use "/", whatever the platform separator.
    static QString LinkPrefix(const TKindInfo& kind) { return kind.sFolder + QLatin1Char('/'); }

    // A date field of a file name, "YYYYMMDD".
    static QString DateField(const QDate& dt);

    // KEY_ID_FROM_TO_PPPP.html for a kind whose names carry the period, else KEY_ID_FROM_TO.html.
    static QString PageName(const TKindInfo& kind, const QString& sID, const QDate& dtFrom, const QDate& dtTo,
                            int nPeriod);
    // KEY_ID_FROM_TO_PPPP.bmp or ..._zoom.bmp: the chart of a range; .png for PNG images.
    static QString ChartName(const TKindInfo& kind, const QString& sID, const QDate& dtFrom, const QDate& dtTo,
                             int nPeriod, bool bZoom, EImageFormat fmt = EImageFormat::Bmp);
    // KEY_ID_DAY.bmp or KEY_ID_DAY_zoom.bmp: the chart of one day (the profile, the
    // events per hour); .png for PNG images.
    static QString DayChartName(const TKindInfo& kind, const QString& sID, const QDate& dtDay, bool bZoom,
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
