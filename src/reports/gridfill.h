#pragma once

#include "monitors/monitor.h"

#include <QDate>
#include <QString>

#include <functional>
#include <vector>

class TAlmFile;
class TCfg;
class TStringGrid;

// A stretch of a day a consultant excluded, in seconds after its midnight (a period
// that runs past midnight is excluded from the day after, so it may reach beyond
// 86400), with the reasons' text ("rain, works").
struct TDayExclusion
{
    qint64 nFrom = 0;
    qint64 nTo = 0;
    QString sReasons;
};
// The excluded stretches of parameter sParam of monitor sID on day dt, sorted and
// apart; what the fills ask of the exclusion list without knowing it.
using TExcludedOn = std::function<std::vector<TDayExclusion>(const QString& sID, const QString& sParam, const QDate& dt)>;

// What a row of the periodic table stands for: the monitor and the start of the
// record's period (days since the Julian epoch times 86400 plus the seconds after
// midnight, as the exclusions count); nStart -1 for a row that is no record.
struct TRowPeriod
{
    QString sID;
    qint64 nStart = -1;
};

// Fills a grid with the marked-up cells of the four tabular reports, straight from
// the day files: one block of rows per monitor (title, headings, records, two
// spacing rows), the days walked from dtFrom to dtTo, both included. Each call
// clears the grid first and sets its column count and widths.
class TGridFill final
{
public:
    TGridFill() = delete;

    // One row per record of the periodic day files of period nPeriod minutes, with
    // the date and the fields the settings show (".Time" and the selected parameters).
    // A value of a period that fnExcluded (when given) excludes for its parameter is
    // marked up as excluded, with the reasons. pRows, when given, gets what each row
    // stands for.
    static void FillPerTable(TStringGrid& grid, const TCfg& cfg, const QString& sDataPath,
                             const TMonitorSel& aMons, const QDate& dtFrom, const QDate& dtTo, int nPeriod,
                             const TExcludedOn& fnExcluded = {}, std::vector<TRowPeriod>* pRows = nullptr);

    // The reasons of the stretches of a that the period of nSecs seconds from nStart
    // seconds after midnight overlaps by a second or more, each once; empty for none.
    static QString PeriodReasons(const std::vector<TDayExclusion>& a, int nStart, int nSecs);

    // One row per period of nPeriod minutes of every day, with the number of alarms
    // whose time falls in it.
    static void FillAlmTable(TStringGrid& grid, const QString& sDataPath, const TMonitorSel& aMons,
                             const QDate& dtFrom, const QDate& dtTo, int nPeriod);

    // One row per alarm, and one per calibration: the day and the record's time text.
    static void FillAlmList(TStringGrid& grid, const QString& sDataPath, const TMonitorSel& aMons,
                            const QDate& dtFrom, const QDate& dtTo);
    static void FillCalList(TStringGrid& grid, const QString& sDataPath, const TMonitorSel& aMons,
                            const QDate& dtFrom, const QDate& dtTo);

    // Periods of nPeriod minutes in a day (1440 div nPeriod); 0 for a length that is
    // not a positive number of minutes, which a hand-edited settings file can hold.
    static int PeriodsPerDay(int nPeriod);
    // The start of each of those periods, "hh:mm:ss".
    static std::vector<QString> PeriodTimes(int nPeriod);

    // The alarms of monitor sID on day dt per period of nPeriod minutes, read through
    // alm into anCount: PeriodsPerDay(nPeriod) counts, all 0 for a day without a file.
    // An alarm whose time cannot be read, or lies beyond the last period, counts in none.
    static void CountAlarms(TAlmFile& alm, const QString& sID, const QDate& dt, int nPeriod,
                            std::vector<int>& anCount);
};
