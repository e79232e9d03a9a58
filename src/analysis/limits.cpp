#include "analysis/limits.h"

#include "analysis/level.h"

#include "monitors/monitor.h"
#include "platform/platform.h"
#include "platform/textdecode.h"
#include "settings/cfg.h"

#include <QDateTime>
#include <QFileInfo>
#include <QTimeZone>

#include <algorithm>
#include <cmath>
#include <limits>

namespace {
constexpr int nSecsPerDay = 86400;
constexpr int nMinutesPerDay = 1440;
constexpr qint64 nMaxFileBytes = 1024 * 1024;
const QLatin1Char chSep(';');

int Tenths(double d)
{
    return int(std::lround(d * 10.0));
}

QString Time(int nMin)
{
    return QString::asprintf("%02d:%02d", nMin / 60, nMin % 60);
}

// Field n of a stored line, blanks trimmed; the last field takes the rest of the line.
QStringList Fields(const QString& sLine, int nFields)
{
    QStringList sl;
    qsizetype iFrom = 0;
    for (int i = 0; i < nFields - 1; ++i) {
        const qsizetype iSep = sLine.indexOf(chSep, iFrom);
        if (iSep < 0)
            break;
        sl.append(sLine.mid(iFrom, iSep - iFrom).trimmed());
        iFrom = iSep + 1;
    }
    sl.append(sLine.mid(iFrom).trimmed());
    return sl;
}

bool SameID(const QString& a, const QString& b)
{
    return QString::compare(a, b, Qt::CaseInsensitive) == 0;
}

// Whether the rule holds a period starting nSecs into a day of weekday nDow, whose
// day before is nPrevDow. A band runs from its start on one of its days to its end,
// on the next day when the end is not later than the start (23:00-07:00, and
// 06:00-06:00, which is 24 hours from 06:00); 00:00-00:00 is the calendar day.
bool Holds(const TLimitRule& rule, int nDow, int nPrevDow, int nSecs)
{
    const int nStart = rule.nStartMin * 60;
    const int nEnd = rule.nEndMin * 60;
    if (nStart < nEnd)
        return nSecs >= nStart && nSecs < nEnd && rule.HasDay(nDow);
    if (nSecs >= nStart)
        return rule.HasDay(nDow);
    return nSecs < nEnd && rule.HasDay(nPrevDow);
}

int PrevDow(int nDow)
{
    return nDow == 1 ? 7 : nDow - 1;
}

// Text without NUL or other control characters but tab and line endings.
bool IsText(const QString& sText)
{
    for (QChar c : sText)
        if (c.unicode() < 0x20 && c != QLatin1Char('\t') && c != QLatin1Char('\n') && c != QLatin1Char('\r'))
            return false;
    return true;
}
} // namespace

// --- rules --------------------------------------------------------------------------------

bool TLimitRule::Contains(const QDate& dt, int nSecs) const
{
    return ContainsOnDay(dt.dayOfWeek(), nSecs);
}

bool TLimitRule::ContainsOnDay(int nDayOfWeek, int nSecs) const
{
    return Holds(*this, nDayOfWeek, PrevDow(nDayOfWeek), nSecs);
}

bool TLimitRule::Exceeds(double dValue) const
{
    return std::isfinite(dValue) && Tenths(dValue) > Tenths(dLimit);
}

QString TLimitRule::DayName(int nDayOfWeek)
{
    static const char* const aszDays[] = {"Mon", "Tue", "Wed", "Thu", "Fri", "Sat", "Sun"};
    return nDayOfWeek >= 1 && nDayOfWeek <= 7 ? QLatin1String(aszDays[nDayOfWeek - 1]) : QString();
}

QString TLimitRule::DaysText() const
{
    QStringList sl;
    for (int d = 1; d <= 7;) {
        if (!HasDay(d)) {
            ++d;
            continue;
        }
        int e = d;
        while (e < 7 && HasDay(e + 1))
            ++e;
        if (e - d >= 2)
            sl.append(DayName(d) + QLatin1Char('-') + DayName(e));
        else
            for (int i = d; i <= e; ++i)
                sl.append(DayName(i));
        d = e + 1;
    }
    return sl.join(QLatin1Char(','));
}

QString TLimitRule::BandText() const
{
    return Time(nStartMin) + QLatin1Char('-') + Time(nEndMin);
}

QString TLimitRule::Name() const
{
    if (!sLabel.isEmpty())
        return sLabel;
    return sParam + QLatin1Char(' ') + DaysText() + QLatin1Char(' ') + BandText();
}

QString TLimitRule::Text() const
{
    const QString sSep = QStringLiteral("; ");
    return (sMonitor.isEmpty() ? QStringLiteral("*") : sMonitor) + sSep + sParam + sSep + DaysText() + sSep +
           BandText() + sSep + LimitText() + sSep + sLabel;
}

int TLimitRule::ParseTime(const QString& s)
{
    const qsizetype iColon = s.indexOf(QLatin1Char(':'));
    if (iColon < 1 || iColon > 2 || s.size() != iColon + 3)
        return -1;
    for (qsizetype i = 0; i < s.size(); ++i)
        // ASCII digits only: QString would read other scripts' digits as something else.
        if (i != iColon && (s[i] < QLatin1Char('0') || s[i] > QLatin1Char('9')))
            return -1;
    const int nHour = s.left(iColon).toInt();
    const int nMin = s.mid(iColon + 1).toInt();
    if (nHour > 23 || nMin > 59)
        return -1;
    return nHour * 60 + nMin;
}

std::optional<double> TLimitRule::ParseLimit(const QString& s)
{
    // Plain decimals only: no sign, no exponent, so "1e400" and "-5" are refused here.
    const qsizetype iDot = s.indexOf(QLatin1Char('.'));
    if (s.isEmpty() || s.size() > 12 || iDot == 0 || (iDot > 0 && s.size() - iDot - 1 > 1) ||
        s.count(QLatin1Char('.')) > 1)
        return std::nullopt;
    for (QChar c : s)
        if (c != QLatin1Char('.') && (c < QLatin1Char('0') || c > QLatin1Char('9')))
            return std::nullopt;
    bool bOK = false;
    const double d = s.toDouble(&bOK);
    if (!bOK || !std::isfinite(d) || d < 0 || d > MaxLimit)
        return std::nullopt;
    return d;
}

int TLimitRule::ParseDays(const QString& s)
{
    auto day = [](const QString& sName) {
        for (int d = 1; d <= 7; ++d)
            if (QString::compare(sName.trimmed(), DayName(d), Qt::CaseInsensitive) == 0)
                return d;
        return 0;
    };
    int nDays = 0;
    const QStringList slParts = s.split(QLatin1Char(','));
    for (const QString& sPart : slParts) {
        const QStringList slEnds = sPart.split(QLatin1Char('-'));
        if (slEnds.size() > 2)
            return 0;
        const int d1 = day(slEnds.front());
        const int d2 = day(slEnds.back());
        if (d1 == 0 || d2 == 0)
            return 0;
        for (int d = d1;; d = d % 7 + 1) {
            nDays |= 1 << (d - 1);
            if (d == d2)
                break;
        }
    }
    return nDays;
}

std::optional<TLimitRule> TLimitRule::Parse(const QString& sLine, QString& sError)
{
    const QStringList sl = Fields(sLine, 6);
    if (sl.size() < 5) {
        sError = QStringLiteral("it needs monitor; parameter; days; hh:mm-hh:mm; limit[; label]");
        return std::nullopt;
    }
    TLimitRule rule;
    rule.sMonitor = sl[0] == QLatin1String("*") ? QString() : sl[0];
    rule.sParam = sl[1];
    if (sl[0].isEmpty() || rule.sParam.isEmpty() || rule.sParam.contains(QLatin1Char(' '))) {
        sError = QStringLiteral("the monitor or the parameter is missing");
        return std::nullopt;
    }
    rule.nDays = ParseDays(sl[2]);
    if (rule.nDays == 0) {
        sError = QStringLiteral("\"") + sl[2] + QStringLiteral("\" are no weekdays (Mon-Fri, Sat,Sun)");
        return std::nullopt;
    }
    const QStringList slBand = sl[3].split(QLatin1Char('-'));
    rule.nStartMin = slBand.size() == 2 ? ParseTime(slBand[0].trimmed()) : -1;
    rule.nEndMin = slBand.size() == 2 ? ParseTime(slBand[1].trimmed()) : -1;
    if (rule.nStartMin < 0 || rule.nEndMin < 0) {
        sError = QStringLiteral("\"") + sl[3] + QStringLiteral("\" is no time band hh:mm-hh:mm");
        return std::nullopt;
    }
    const std::optional<double> dLimit = ParseLimit(sl[4]);
    if (!dLimit) {
        sError = QStringLiteral("the limit \"") + sl[4] +
                 QStringLiteral("\" is no number from 0 to 200 with at most one decimal");
        return std::nullopt;
    }
    rule.dLimit = *dLimit;
    rule.sLabel = sl.size() > 5 ? sl[5] : QString();
    return rule;
}

// --- schedules ----------------------------------------------------------------------------

TLimits TLimits::FromCfg(const TCfg& cfg)
{
    return FromLines(cfg.LimitRuleKeys(), cfg.LimitRules());
}

TLimits TLimits::FromLines(const QStringList& slKeys, const QStringList& slLines)
{
    TLimits limits;
    for (qsizetype i = 0; i < slLines.size(); ++i) {
        const QString sKey = i < slKeys.size() ? slKeys[i] : QString::number(i + 1);
        if (slLines[i].trimmed().isEmpty())
            continue;
        if (int(limits.aRules.size()) >= MaxRules) {
            limits.slErrors.append(QStringLiteral("more than ") + QString::number(MaxRules) +
                                   QStringLiteral(" rules: ") + sKey + QStringLiteral(" and those after it"));
            for (qsizetype j = i; j < slLines.size(); ++j)
                if (!slLines[j].trimmed().isEmpty())
                    limits.slUnread.append(slLines[j]);
            break;
        }
        QString sError;
        const std::optional<TLimitRule> rule = TLimitRule::Parse(slLines[i], sError);
        if (rule)
            limits.aRules.push_back(*rule);
        else {
            limits.slErrors.append(sKey + QStringLiteral(": ") + sError);
            limits.slUnread.append(slLines[i]);
        }
    }
    return limits;
}

std::optional<TLimits> TLimits::FromFile(const QString& sFile, QString& sError)
{
    // Read as the day files and settings are: only a plain file (a pipe or device
    // could hold the run up for ever), and decoded by the one rule for text files
    // (byte-order mark, UTF-8, else Windows-1252).
    const QFileInfo fi(sFile);
    if (fi.exists() && fi.isFile() && fi.size() > nMaxFileBytes) {
        sError = QStringLiteral("the limits file ") + sFile + QStringLiteral(" is larger than 1 MB");
        return std::nullopt;
    }
    const std::optional<QByteArray> ba = TPlatform::ReadPlainFile(sFile, nMaxFileBytes);
    if (!ba) {
        sError = QStringLiteral("cannot read the limits file ") + sFile +
                 (fi.exists() && !fi.isFile() ? QStringLiteral(" (not a plain file)") : QString());
        return std::nullopt;
    }
    const QString sText = TTextDecode::Decode(*ba);
    if (!IsText(sText)) {
        sError = QStringLiteral("the limits file ") + sFile + QStringLiteral(" is not text");
        return std::nullopt;
    }
    QStringList slKeys;
    QStringList slLines;
    const QStringList slAll = sText.split(QLatin1Char('\n'));
    for (qsizetype i = 0; i < slAll.size(); ++i) {
        QString sLine = slAll[i].trimmed();
        if (sLine.isEmpty() || sLine.startsWith(QLatin1Char(';')) || sLine.startsWith(QLatin1Char('#')) ||
            sLine.startsWith(QLatin1Char('[')))
            continue;
        const qsizetype iEq = sLine.indexOf(QLatin1Char('='));
        const qsizetype iSep = sLine.indexOf(chSep);
        if (iEq > 0 && (iSep < 0 || iEq < iSep))
            sLine = sLine.mid(iEq + 1).trimmed();
        slKeys.append(QStringLiteral("line ") + QString::number(i + 1));
        slLines.append(sLine);
    }
    return FromLines(slKeys, slLines);
}

QStringList TLimits::Lines() const
{
    QStringList sl;
    for (const TLimitRule& rule : aRules)
        sl.append(rule.Text());
    return sl;
}

std::vector<TLimitRule> TLimits::RulesFor(const QString& sID) const
{
    std::vector<TLimitRule> aOwn;
    std::vector<TLimitRule> aDefault;
    for (const TLimitRule& rule : aRules) {
        if (rule.sMonitor.isEmpty())
            aDefault.push_back(rule);
        else if (SameID(rule.sMonitor, sID))
            aOwn.push_back(rule);
    }
    return aOwn.empty() ? aDefault : aOwn;
}

QString TLimits::ErrorSummary() const
{
    if (slErrors.isEmpty())
        return QString();
    // Every rule left out counts, each of those past the cap too, though they share
    // one message.
    const qsizetype n = std::max(slUnread.size(), slErrors.size());
    return QString::number(n) +
           (n == 1 ? QStringLiteral(" limit rule could not be read and is left out: ")
                   : QStringLiteral(" limit rules could not be read and are left out: ")) +
           slErrors.join(QStringLiteral("; "));
}

QStringList TLimits::UnknownMonitors(const QStringList& slIDs) const
{
    QStringList sl;
    for (const TLimitRule& rule : aRules) {
        if (rule.sMonitor.isEmpty() || sl.contains(rule.sMonitor, Qt::CaseInsensitive))
            continue;
        bool bKnown = false;
        for (const QString& sID : slIDs)
            bKnown = bKnown || SameID(sID, rule.sMonitor);
        if (!bKnown)
            sl.append(rule.sMonitor);
    }
    return sl;
}

QString TLimits::UnknownSummary(const QStringList& slIDs) const
{
    const QStringList sl = UnknownMonitors(slIDs);
    if (sl.isEmpty())
        return QString();
    return (sl.size() == 1
                ? QStringLiteral("limit rules name a monitor that does not exist and judge nothing: ")
                : QStringLiteral("limit rules name monitors that do not exist and judge nothing: ")) +
           sl.join(QStringLiteral(", "));
}

// --- counts -------------------------------------------------------------------------------

double TLimitCount::Coverage() const
{
    return nExpected > 0 ? std::min(1.0, double(nAssessed) / nExpected)
                         : std::numeric_limits<double>::quiet_NaN();
}

void TLimitCount::Add(const TLimitCount& o)
{
    nExpected += o.nExpected;
    nAssessed += o.nAssessed;
    nExceeded += o.nExceeded;
    nExcluded += o.nExcluded;
    // The earlier of equal worsts stays: days are added in order.
    if (o.HasWorst() && (!HasWorst() || o.nWorstTenths > nWorstTenths)) {
        nWorstTenths = o.nWorstTenths;
        dtWorst = o.dtWorst;
        nWorstSecs = o.nWorstSecs;
    }
}

int TLimitDay::Exceeded() const
{
    int n = 0;
    for (const TLimitCount& c : aCounts)
        n += c.nExceeded;
    return n;
}

// --- assessment ---------------------------------------------------------------------------

namespace {
// How many times the clock shows each wall time of a stretch of days: twice in the
// hour the clock goes back, never in the hour it skips, once elsewhere. Wall times
// are counted in seconds from the first day's midnight.
class TClockCount
{
public:
    TClockCount(const QTimeZone& tz, const QDate& dtFirst, int nDays)
    {
        if (!tz.isValid() || !tz.hasTransitions())
            return;
        const QDateTime dtBase(dtFirst, QTime(0, 0), Qt::UTC);
        // A day more on each side: offsets differ by hours, not days.
        const QDateTime dtFrom = dtBase.addDays(-1);
        const QDateTime dtTo = dtBase.addDays(nDays + 1);
        for (const QTimeZone::OffsetData& tr : tz.transitions(dtFrom, dtTo)) {
            const QDateTime dtAt = tr.atUtc;
            const int nBefore = tz.offsetFromUtc(dtAt.addSecs(-1));
            const int nAfter = tr.offsetFromUtc;
            // The change in seconds after the base; the clock showed that plus the
            // offset before, and then that plus the offset after.
            const qint64 nWall = dtBase.secsTo(dtAt);
            if (nAfter > nBefore)
                aSpans.push_back({nWall + nBefore, nWall + nAfter, 0});
            else if (nAfter < nBefore)
                aSpans.push_back({nWall + nAfter, nWall + nBefore, 2});
        }
    }

    int At(qint64 nWallSecs) const
    {
        for (const TSpan& span : aSpans)
            if (nWallSecs >= span.nFrom && nWallSecs < span.nTo)
                return span.nTimes;
        return 1;
    }

private:
    struct TSpan
    {
        qint64 nFrom;
        qint64 nTo;
        int nTimes;
    };
    std::vector<TSpan> aSpans;
};

// The part of a day's periods that a rule's band of that day holds: from its start
// to the end of the day, or to its end; and the periods of the day after, up to its
// end, when the band runs past midnight.
struct TBandParts
{
    int nFromSecs;
    int nToSecs;
    int nNextToSecs; // 0: the band ends at midnight or before
};

TBandParts BandParts(const TLimitRule& rule)
{
    const int nStart = rule.nStartMin * 60;
    const int nEnd = rule.nEndMin * 60;
    if (nStart < nEnd)
        return {nStart, nEnd, 0};
    return {nStart, nSecsPerDay, nEnd};
}

bool Earlier(const QDate& dt1, int nSecs1, const QDate& dt2, int nSecs2)
{
    return dt1 < dt2 || (dt1 == dt2 && nSecs1 < nSecs2);
}

void SortExceedances(std::vector<TLimitExceedance>& aExc, size_t nFrom)
{
    // Stable: two records of one start (the clock going back) keep the file's order.
    std::stable_sort(aExc.begin() + std::ptrdiff_t(nFrom), aExc.end(),
                     [](const TLimitExceedance& a, const TLimitExceedance& b) {
                         if (a.dt != b.dt || a.nStartSecs != b.nStartSecs)
                             return Earlier(a.dt, a.nStartSecs, b.dt, b.nStartSecs);
                         return a.iRule < b.iRule;
                     });
}
} // namespace

TLimitDay TLimitCheck::AssessDay(const std::vector<TLimitRule>& aRules, const QDate& dt, int nPeriod,
                                 const TLimitDayValues& values, std::vector<TLimitExceedance>& aExc)
{
    return AssessDay(aRules, dt, nPeriod, values, TLimitDayValues(), aExc, QTimeZone::systemTimeZone());
}

TLimitDay TLimitCheck::AssessDay(const std::vector<TLimitRule>& aRules, const QDate& dt, int nPeriod,
                                 const TLimitDayValues& values, const TLimitDayValues& next,
                                 std::vector<TLimitExceedance>& aExc, const QTimeZone& tz)
{
    TLimitDay day;
    day.dt = dt;
    day.aCounts.resize(aRules.size());
    if (!dt.isValid() || nPeriod <= 0)
        return day;
    const QDate dtNext = dt.addDays(1);
    const int nDow = dt.dayOfWeek();
    const size_t nExcFrom = aExc.size();
    // Every start within a day is a period, the short last one of a length that does
    // not divide the day too; the clock decides how often each start comes.
    const int nSlots = (nMinutesPerDay + nPeriod - 1) / nPeriod;
    const TClockCount clock(tz, dt, 2);

    for (size_t r = 0; r < aRules.size(); ++r) {
        const TLimitRule& rule = aRules[r];
        TLimitCount& count = day.aCounts[r];
        if (!rule.HasDay(nDow))
            continue;
        const TBandParts band = BandParts(rule);
        for (int k = 0; k < nSlots; ++k) {
            const int nSecs = k * nPeriod * 60;
            if (nSecs >= band.nFromSecs && nSecs < band.nToSecs)
                count.nExpected += clock.At(nSecs);
            if (nSecs < band.nNextToSecs)
                count.nExpected += clock.At(qint64(nSecsPerDay) + nSecs);
        }

        // Every record is judged, a start that comes twice too, as the chart draws it.
        const auto judge = [&](const TLimitDayValues& v, const QDate& dtOf, int nFrom, int nTo) {
            qsizetype iParam = -1;
            for (qsizetype p = 0; p < v.slParams.size() && iParam < 0; ++p)
                if (QString::compare(v.slParams[p], rule.sParam, Qt::CaseInsensitive) == 0)
                    iParam = p;
            if (iParam < 0 || size_t(iParam) >= v.aadValues.size())
                return;
            const std::vector<double>& ad = v.aadValues[size_t(iParam)];
            for (size_t iRec = 0; iRec < v.anStartSecs.size() && iRec < ad.size(); ++iRec) {
                const int nSecs = v.anStartSecs[iRec];
                if (nSecs < nFrom || nSecs >= nTo)
                    continue;
                if (v.Excluded(size_t(iParam), iRec)) {
                    ++count.nExcluded;
                    continue;
                }
                if (!TLevel::Is(ad[iRec]))
                    continue;
                // Judged on the value as shown, so 65.04 shown as 65.0 is not above 65.0.
                const int nValue = Tenths(ad[iRec]);
                const int nMargin = nValue - Tenths(rule.dLimit);
                ++count.nAssessed;
                if (!count.HasWorst() || nMargin > count.nWorstTenths ||
                    (nMargin == count.nWorstTenths &&
                     Earlier(dtOf, nSecs, count.dtWorst, count.nWorstSecs))) {
                    count.nWorstTenths = nMargin;
                    count.dtWorst = dtOf;
                    count.nWorstSecs = nSecs;
                }
                if (nMargin > 0) {
                    ++count.nExceeded;
                    aExc.push_back({dtOf, nSecs, int(r), nValue, nMargin});
                }
            }
        };
        judge(values, dt, band.nFromSecs, band.nToSecs);
        if (band.nNextToSecs > 0)
            judge(next, dtNext, 0, band.nNextToSecs);
        // Records of odd start times off the period grid, or a supervisor that wrote a
        // period twice, never make the coverage more than whole.
        count.nExpected = std::max(count.nExpected, count.nAssessed + count.nExcluded);
    }
    SortExceedances(aExc, nExcFrom);
    return day;
}

std::vector<TLimitMonitor> TLimitCheck::Compute(const TLimits& limits, const QString& sDataPath,
                                                const TMonitorSel& aMons, const QDate& dtFrom,
                                                const QDate& dtTo, int nPeriod, const TExclusions* pExcl)
{
    std::vector<TLimitMonitor> aResult;
    const bool bDays = nPeriod > 0 && nPeriod <= nMinutesPerDay;
    TDayWalk walk(sDataPath, bDays ? dtFrom : QDate(), dtTo);
    walk.SetExclusions(pExcl);
    const QTimeZone tz = QTimeZone::systemTimeZone();
    for (const TTQMonitor* mon : aMons) {
        TLimitMonitor lm;
        lm.sID = mon->sID;
        lm.aRules = limits.RulesFor(mon->sID);
        lm.aRange.resize(lm.aRules.size());
        // Without rules there is nothing to read. A band past midnight takes the next
        // day's file too: the last day's night ends in the day after the range.
        TDayWalk::TFiles files;
        files.bPeriodic = !lm.aRules.empty();
        files.nPeriod = nPeriod;
        for (const TLimitRule& rule : lm.aRules) {
            if (!files.slParams.contains(rule.sParam, Qt::CaseInsensitive))
                files.slParams.append(rule.sParam);
            files.bNext = files.bNext || BandParts(rule).nNextToSecs > 0;
        }
        walk.Start(mon->sID, files);
        while (walk.Step()) {
            TLimitDay day = AssessDay(lm.aRules, walk.Date(), nPeriod, walk.Periodic(), walk.NextPeriodic(),
                                      lm.aExceedances, tz);
            for (size_t r = 0; r < lm.aRange.size(); ++r)
                lm.aRange[r].Add(day.aCounts[r]);
            lm.aDays.push_back(std::move(day));
        }
        // A night's small hours come after the next day's own early periods.
        SortExceedances(lm.aExceedances, 0);
        aResult.push_back(std::move(lm));
    }
    return aResult;
}
