#pragma once

#include "analysis/daywalk.h"
#include "reports/gridfill.h"

#include <QDate>
#include <QString>
#include <QStringList>

#include <optional>
#include <vector>

class TCfg;
class QTimeZone;

// One noise limit: a periodic parameter must not be above dLimit in the periods that
// start inside the time band on the given weekdays. Written as one line of text,
//   "* ; LAeq ; Mon-Fri ; 07:00-19:00 ; 65.0 ; Day"
// with the monitor ID ("*" for every monitor without a schedule of its own), the
// parameter, the weekdays, the band, the limit in dB(A) with at most one decimal and
// a label that may hold any text, semicolons too.
struct TLimitRule
{
    QString sMonitor; // empty: the default schedule
    QString sParam;
    int nDays = AllDays; // bit d-1 for the weekday d of QDate (1 Monday ... 7 Sunday)
    int nStartMin = 0;   // minutes after midnight
    int nEndMin = 0;     // equal to the start: the whole day
    double dLimit = 0;
    QString sLabel;

    static constexpr int AllDays = 0x7f;
    static constexpr double MaxLimit = 200.0;

    bool HasDay(int nDayOfWeek) const { return (nDays >> (nDayOfWeek - 1) & 1) != 0; }
    bool CrossesMidnight() const { return nEndMin < nStartMin; }
    // Whether a period starting nSecs after the midnight that begins dt falls under
    // the rule. A band belongs to the day it began on: when its end is not later than
    // its start (23:00-07:00; 06:00-06:00 is 24 hours from 06:00) its hours after
    // midnight count for the day before. 00:00-00:00 is the calendar day.
    bool Contains(const QDate& dt, int nSecs) const;
    // The same for a day given by its weekday (1 Monday ... 7 Sunday), for callers that
    // walk many periods of one day.
    bool ContainsOnDay(int nDayOfWeek, int nSecs) const;
    // Whether a value is above the limit as the limits judge it: its tenths, rounded
    // half away from zero, above the limit's. What is no number is above nothing.
    bool Exceeds(double dValue) const;

    QString DaysText() const; // "Mon-Fri", "Sat,Sun", "Mon-Sun"
    QString BandText() const; // "07:00-19:00"
    QString LimitText() const { return QString::number(dLimit, 'f', 1); }
    // The label, or what the rule says when it has none: "LAeq Mon-Fri 07:00-19:00".
    QString Name() const;
    // The line as it is stored; Parse reads it back unchanged.
    QString Text() const;

    // The rule of a stored line, or nothing with the reason in sError.
    static std::optional<TLimitRule> Parse(const QString& sLine, QString& sError);
    // "hh:mm" or "h:mm", hours 0-23 and minutes 0-59; -1 for anything else.
    static int ParseTime(const QString& s);
    // A number with "." from 0 to MaxLimit with at most one decimal; nothing otherwise.
    static std::optional<double> ParseLimit(const QString& s);
    // Weekdays "Mon", ranges "Mon-Fri" (also round the week end, "Fri-Mon") and lists
    // of both joined by ","; 0 when any part is not one of these.
    static int ParseDays(const QString& s);
    static QString DayName(int nDayOfWeek); // "Mon" ... "Sun"
};

// The limit schedules: the default one and those of single monitors, kept as one list
// of rules in the order they are stored. A monitor with rules of its own is judged by
// those alone.
struct TLimits
{
    std::vector<TLimitRule> aRules;
    // The stored rules that could not be read and were left out, each with its key
    // and the reason; shown once to the user.
    QStringList slErrors;
    // The stored lines of those rules as they were, so that storing the schedule
    // again keeps them for the user to mend rather than dropping them.
    QStringList slUnread;

    // More rules than this are left out (and reported): each rule costs a pass over
    // every period.
    static constexpr int MaxRules = 1000;

    static TLimits FromCfg(const TCfg& cfg);
    // slKeys name the lines in messages and run in step with slLines.
    static TLimits FromLines(const QStringList& slKeys, const QStringList& slLines);
    // A schedule file for one command-line run: one rule per line as stored in the
    // settings; blank lines, lines starting with ";" or "#", section lines and a
    // leading "key=" are allowed, so a copy of the settings section will do. A file
    // that cannot be read or is not text gives nothing and the reason in sError.
    static std::optional<TLimits> FromFile(const QString& sFile, QString& sError);

    QStringList Lines() const;
    // The rules that judge monitor sID.
    std::vector<TLimitRule> RulesFor(const QString& sID) const;
    // One line for the status bar or standard error; empty without errors. It counts
    // every rule left out.
    QString ErrorSummary() const;
    // The monitor IDs that rules name but slIDs (the installation's monitors) lacks,
    // each once: such rules judge nothing, which is said rather than passed over.
    QStringList UnknownMonitors(const QStringList& slIDs) const;
    // One line naming them for the status bar or standard error; empty when none.
    QString UnknownSummary(const QStringList& slIDs) const;
};

// The counts of one rule over a day or a range.
struct TLimitCount
{
    int nExpected = 0; // periods whose start falls under the rule
    int nAssessed = 0; // of those, with a value
    int nExceeded = 0;
    // The highest value minus the limit among the assessed periods (negative while
    // all are below), in tenths of a dB so that sums and comparisons are exact; and
    // the date and start of its period, the earliest of equals (the date is the day
    // after a day's own for a band past midnight). nWorstSecs is -1 without assessed
    // periods.
    int nWorstTenths = 0;
    QDate dtWorst;
    int nWorstSecs = -1;
    int nExcluded = 0; // periods under the rule that an exclusion covers: not assessed

    bool HasWorst() const { return nWorstSecs >= 0; }
    double Worst() const { return nWorstTenths / 10.0; }
    // Share (0-1) of the expected periods that were assessed; NaN when none expected.
    double Coverage() const;
    void Add(const TLimitCount& o);
};

// A period above its limit.
struct TLimitExceedance
{
    QDate dt;
    int nStartSecs = 0;
    int iRule = 0;         // index into TLimitMonitor::aRules
    int nValueTenths = 0;  // the value as shown, one decimal
    int nMarginTenths = 0; // above the limit, always positive

    double Value() const { return nValueTenths / 10.0; }
    double Margin() const { return nMarginTenths / 10.0; }
};

struct TLimitDay
{
    QDate dt;
    std::vector<TLimitCount> aCounts; // one per rule
    int Exceeded() const;
};

struct TLimitMonitor
{
    QString sID;
    std::vector<TLimitRule> aRules;
    std::vector<TLimitExceedance> aExceedances; // by date, start and rule
    std::vector<TLimitDay> aDays;               // every day of the range
    std::vector<TLimitCount> aRange;            // one per rule
};

// The values of one periodic day file that the rules ask for: the start of each
// record and, per parameter of slParams, its value per record (NaN: none).
using TLimitDayValues = TDayRecords;

// Judges the periods of the periodic day files against the limit rules. A period is
// judged by every rule whose weekdays and band hold its start; it exceeds a rule when
// its value, as shown with one decimal, is above the limit. A period without a level
// (TLevel::Is; a parameter the file lacks too) is not assessed and lowers the coverage;
// so is an excluded period (TDayRecords::Excluded), counted apart.
class TLimitCheck final
{
public:
    TLimitCheck() = delete;

    // The counts of day dt, adding its exceedances to aExc in time order with rule
    // indexes into aRules. A day's band begins in values (the file of dt); one that
    // runs past midnight ends in next (the file of the day after). Every record in a
    // band is judged, each of two with one start too; the periods expected follow the
    // clock of tz: a day the clock goes forward has an hour less, one it goes back an
    // hour more.
    static TLimitDay AssessDay(const std::vector<TLimitRule>& aRules, const QDate& dt, int nPeriod,
                               const TLimitDayValues& values, const TLimitDayValues& next,
                               std::vector<TLimitExceedance>& aExc, const QTimeZone& tz);
    // The same without the next day's file, in the local time zone.
    static TLimitDay AssessDay(const std::vector<TLimitRule>& aRules, const QDate& dt, int nPeriod,
                               const TLimitDayValues& values, std::vector<TLimitExceedance>& aExc);

    // Per monitor, the days from dtFrom to dtTo (both included) and the range; the
    // file of the day after dtTo is read for the last day's bands past midnight.
    // Periods the exclusions pExcl cover are not assessed (none: the raw figures).
    static std::vector<TLimitMonitor> Compute(const TLimits& limits, const QString& sDataPath,
                                              const TMonitorSel& aMons, const QDate& dtFrom,
                                              const QDate& dtTo, int nPeriod,
                                              const TExclusions* pExcl = nullptr);
};
