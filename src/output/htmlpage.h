#pragma once

#include "output/htmllines.h"
#include "output/utils.h"
#include "reports/gridfill.h"

#include <QDate>
#include <QString>
#include <QStringList>

class TCfg;
class TStringGrid;
class TTQMonitors;
struct TQualitySettings;
struct TRatingSettings;
struct TTQMonitor;

// One page of the HTML report library as a list of lines: the frame every page
// shares, the report preamble, the tables and lists built straight from the day
// files, the chart-image lines and the sections of the index page. Every text that
// comes from outside the program (monitor names, IDs and types, the header setting,
// field names and values, file names) is HTML-escaped where it lands in the page,
// and file names are percent-encoded where they land in a link.
class THtmlPage final
{
public:
    THtmlPage() = default;
    Q_DISABLE_COPY_MOVE(THtmlPage)

    QStringList Lines() const { return slLines.Lines(); }
    void AddLine(const QString& s) { slLines << s; }

    // The head lines up to the closed head block; the "main" block stays open until
    // the foot. The maker's logo line is left out with bHideLogo.
    void AddPageHead(const QString& sTitle, bool bHideLogo);
    // The foot naming the program version and dtToday ("ddd mmm d, yyyy").
    void AddPageFoot(const QDate& dtToday = QDate::currentDate());

    // Monitor name, the date or date range, monitor ID and type.
    void AddPreamble(const TTQMonitor& mon, const QDate& dtFrom, const QDate& dtTo);

    // One chart image line (sImage in the page's "charts/" folder), linked to its
    // zoom image when sZoomImage is not empty.
    void AddChartBlock(const QString& sImage, const QString& sZoomImage);

    // The periodic table of one monitor: per day with a file, two head rows, one row
    // per record of the fields the settings include, and a gap row.
    // A value of a period fnExcluded excludes is in italic, its reasons as the title.
    void AddPerTable(const TCfg& cfg, const QString& sDataPath, const QString& sID, const QDate& dtFrom,
                     const QDate& dtTo, int nPeriod, const TRunHooks& hooks, const TExcludedOn& fnExcluded = {});
    // The alarm counts per period of nPeriod minutes, every period of every day.
    void AddAlmTable(const QString& sDataPath, const QString& sID, const QDate& dtFrom, const QDate& dtTo,
                     int nPeriod, const TRunHooks& hooks);
    // Every alarm, and every calibration: date and time, a gap row between days.
    void AddAlmList(const QString& sDataPath, const QString& sID, const QDate& dtFrom, const QDate& dtTo,
                    const TRunHooks& hooks);
    void AddCalList(const QString& sDataPath, const QString& sID, const QDate& dtFrom, const QDate& dtTo,
                    const TRunHooks& hooks);

    // The daily rating table of one monitor from the grid the summary fill gives for
    // it, then the note on what the figures mean. The title row and blank rows are
    // left out (the preamble names the monitor); headings and their units become head
    // rows, emphasised cells bold and values of too little coverage grey.
    void AddSumTable(const TStringGrid& grid, const TRatingSettings& set);
    // The noise events of one monitor and day from the grid the event list fill gives,
    // in the same way: the title row left out, headings and units as head rows.
    void AddEvtTable(const TStringGrid& grid);
    // The exceedance table of one monitor from the grid the exceedance fill gives for
    // it, then the note on how periods are judged, in the manner of AddSumTable.
    void AddExcTable(const TStringGrid& grid);
    // The exclusion list and its effect per day of one monitor, from the grids the
    // exclusion fill gives, then the note on how periods are judged; without a list
    // (bList false) a line saying so instead.
    void AddExlTables(const TStringGrid& list, const TStringGrid& effect, bool bList);
    // The line of a page whose figures leave excluded periods out: "12 periods
    // excluded; see the Exclusions Report", the report's name linked to sLink (a
    // relative link, already percent-encoded) when there is one.
    void AddExcludedLine(int nPeriods, const QString& sLink);
    // The data-quality table of one monitor, in the same way, then its note.
    void AddQualTable(const TStringGrid& grid, const TQualitySettings& set);
    // A statistics table of one monitor from the grid a statistics fill gives for it,
    // in the same way.
    void AddStatTable(const TStringGrid& grid);

    // One table of the index page: every page of the kind in sHtmlDir (which ends
    // with a separator) whose ID, read from the end of the name so that it may hold
    // "_", is a catalogue monitor's ID; monitors in catalogue order, names ascending
    // within a monitor. Nothing when none is found.
    void AddIndexSection(const TKindInfo& kind, const QString& sHtmlDir, const TTQMonitors& mons);
    // The whole index page: head with the header text, a section per kind of aKinds in
    // their order, foot.
    void AddIndexPage(const QString& sHtmlDir, const TTQMonitors& mons, const QString& sHeader,
                      bool bHideLogo, const std::vector<const TKindInfo*>& aKinds,
                      const QDate& dtToday = QDate::currentDate());

    // Writes the lines as UTF-8, each ending with CR LF, replacing any older file.
    // False when the file cannot be written; an older file is then left as it was.
    bool Save(const QString& sPath) const;
    // The same, with sError saying why when the page could not be written whole; an
    // earlier page of that name then stays as it was.
    bool Save(const QString& sPath, QString& sError) const;

    // The date patterns of the pages.
    static QString LongDate(const QDate& dt); // "MMM DD, YYYY"
    static QString IsoDate(const QDate& dt);  // "YYYY-MM-DD"
    // A file name as a relative link: percent-encoded, so a name holding "#", "?",
    // "%" or a quote still names the file, and safe inside an attribute.
    static QString LinkName(const QString& sFile);

private:
    // The rows of a marked-up grid as one table; nDateCol is the column whose head
    // cells take the date-time class (-1 for none).
    // bNoWrap keeps every cell on one line (the events' dates, clock times and labels).
    void AddMarkedTable(const TStringGrid& grid, int nDateCol, bool bNoWrap = false);
    template <class TReader>
    void AddEventList(const QString& sHeading, const QString& sDataPath, const QString& sID,
                      const QDate& dtFrom, const QDate& dtTo, const TRunHooks& hooks);

    THtmlLines slLines; // the page text, line by line
};
