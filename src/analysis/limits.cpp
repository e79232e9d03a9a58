#include "analysis/limits.h"

#include "datafiles/perfile.h"
#include "monitors/monitor.h"
#include "settings/cfg.h"

#include <QFile>
#include <QStringDecoder>

#include <cmath>
#include <limits>
#include <unordered_set>

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
// day before is nPrevDow.
bool Holds(const TLimitRule& rule, int nDow, int nPrevDow, int nSecs)
{
    const int nStart = rule.nStartMin * 60;
    const int nEnd = rule.nEndMin * 60;
    if (nStart == nEnd)
        return rule.HasDay(nDow);
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

TLimitDayValues ReadDay(TPerFile& per, const QString& sID, const QDate& dt, int nPeriod,
                        const QStringList& slParams)
{
    TLimitDayValues values;
    values.slParams = slParams;
    values.aadValues.resize(size_t(slParams.size()));
    if (!per.Load(sID, dt, nPeriod))
        return values;
    std::vector<int> aiFld;
    for (const QString& sParam : slParams)
        aiFld.push_back(per.FindFld(sParam));
    const int nRecs = per.RecCount();
    values.anStartSecs.reserve(size_t(nRecs));
    for (auto& ad : values.aadValues)
        ad.reserve(size_t(nRecs));
    for (int iRec = 0; iRec < nRecs; ++iRec) {
        values.anStartSecs.push_back(per.FldTimeSecs(iRec, 0));
        for (size_t p = 0; p < aiFld.size(); ++p) {
            // "-" and anything else that is no number reads as -1: no value.
            const double d = aiFld[p] < 0 ? -1 : per.FldVal(iRec, aiFld[p]);
            values.aadValues[p].push_back(d >= 0 ? d : std::numeric_limits<double>::quiet_NaN());
        }
    }
    return values;
}

// Bytes that are text: valid UTF-8 (or Latin-1) without NUL or other control bytes
// but tab and line endings.
bool IsText(const QByteArray& ba, QString& sText)
{
    for (char c : ba)
        if ((unsigned char)c < 0x20 && c != '\t' && c != '\n' && c != '\r')
            return false;
    QStringDecoder dec(QStringDecoder::Utf8, QStringDecoder::Flag::Stateless);
    sText = dec(ba);
    if (dec.hasError())
        sText = QString::fromLatin1(ba);
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
        if (i != iColon && !s[i].isDigit())
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
        if (c != QLatin1Char('.') && !c.isDigit())
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
            limits.slUnread.append(slLines.mid(i));
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
    QFile f(sFile);
    if (!f.open(QIODevice::ReadOnly)) {
        sError = QStringLiteral("cannot read the limits file ") + sFile;
        return std::nullopt;
    }
    // A device or a pipe has no size of its own; reading one byte past the cap tells.
    const QByteArray ba = f.read(nMaxFileBytes + 1);
    if (ba.size() > nMaxFileBytes) {
        sError = QStringLiteral("the limits file ") + sFile + QStringLiteral(" is larger than 1 MB");
        return std::nullopt;
    }
    QString sText;
    if (!IsText(ba, sText)) {
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
    return QString::number(slErrors.size()) +
           (slErrors.size() == 1 ? QStringLiteral(" limit rule could not be read and is left out: ")
                                 : QStringLiteral(" limit rules could not be read and are left out: ")) +
           slErrors.join(QStringLiteral("; "));
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

TLimitDay TLimitCheck::AssessDay(const std::vector<TLimitRule>& aRules, const QDate& dt, int nPeriod,
                                 const TLimitDayValues& values, std::vector<TLimitExceedance>& aExc)
{
    TLimitDay day;
    day.dt = dt;
    day.aCounts.resize(aRules.size());
    if (!dt.isValid())
        return day;
    const int nDow = dt.dayOfWeek();
    const int nPrev = PrevDow(nDow);
    // Every start within the day is a period, the short last one of a length that
    // does not divide the day too.
    const int nSlots = nPeriod > 0 ? (nMinutesPerDay + nPeriod - 1) / nPeriod : 0;

    std::vector<int> aiParam(aRules.size(), -1);
    for (size_t r = 0; r < aRules.size(); ++r) {
        for (qsizetype p = 0; p < values.slParams.size(); ++p)
            if (QString::compare(values.slParams[p], aRules[r].sParam, Qt::CaseInsensitive) == 0)
                aiParam[r] = int(p);
        TLimitCount& count = day.aCounts[r];
        for (int k = 0; k < nSlots; ++k)
            if (Holds(aRules[r], nDow, nPrev, k * nPeriod * 60))
                ++count.nExpected;
    }

    // A record repeated for the same start would otherwise count twice.
    std::unordered_set<int> seen;
    const size_t nRecs = values.anStartSecs.size();
    for (size_t iRec = 0; iRec < nRecs; ++iRec) {
        const int nSecs = values.anStartSecs[iRec];
        if (nSecs < 0 || nSecs >= nSecsPerDay || !seen.insert(nSecs).second)
            continue;
        for (size_t r = 0; r < aRules.size(); ++r) {
            const TLimitRule& rule = aRules[r];
            if (aiParam[r] < 0 || !Holds(rule, nDow, nPrev, nSecs))
                continue;
            const std::vector<double>& ad = values.aadValues[size_t(aiParam[r])];
            if (iRec >= ad.size() || !std::isfinite(ad[iRec]))
                continue;
            // Judged on the value as shown, so 65.04 shown as 65.0 is not above 65.0.
            const int nValue = Tenths(ad[iRec]);
            const int nMargin = nValue - Tenths(rule.dLimit);
            TLimitCount& count = day.aCounts[r];
            ++count.nAssessed;
            if (!count.HasWorst() || nMargin > count.nWorstTenths) {
                count.nWorstTenths = nMargin;
                count.dtWorst = dt;
                count.nWorstSecs = nSecs;
            }
            if (nMargin > 0) {
                ++count.nExceeded;
                aExc.push_back({dt, nSecs, int(r), nValue, nMargin});
            }
        }
    }
    // A period counts once against each expected slot, even from a file whose odd
    // start times do not fall on the period grid.
    for (TLimitCount& count : day.aCounts)
        count.nExpected = std::max(count.nExpected, count.nAssessed);
    return day;
}

std::vector<TLimitMonitor> TLimitCheck::Compute(const TLimits& limits, const QString& sDataPath,
                                                const TMonitorSel& aMons, const QDate& dtFrom,
                                                const QDate& dtTo, int nPeriod)
{
    std::vector<TLimitMonitor> aResult;
    TPerFile per(sDataPath);
    for (const TTQMonitor* mon : aMons) {
        TLimitMonitor lm;
        lm.sID = mon->sID;
        lm.aRules = limits.RulesFor(mon->sID);
        lm.aRange.resize(lm.aRules.size());
        QStringList slParams;
        for (const TLimitRule& rule : lm.aRules)
            if (!slParams.contains(rule.sParam, Qt::CaseInsensitive))
                slParams.append(rule.sParam);
        if (dtFrom.isValid() && dtTo.isValid() && nPeriod > 0 && nPeriod <= nMinutesPerDay) {
            for (QDate dt = dtFrom; dt <= dtTo; dt = dt.addDays(1)) {
                // Without rules there is nothing to read.
                const TLimitDayValues values =
                    lm.aRules.empty() ? TLimitDayValues() : ReadDay(per, mon->sID, dt, nPeriod, slParams);
                TLimitDay day = AssessDay(lm.aRules, dt, nPeriod, values, lm.aExceedances);
                for (size_t r = 0; r < lm.aRange.size(); ++r)
                    lm.aRange[r].Add(day.aCounts[r]);
                lm.aDays.push_back(std::move(day));
            }
        }
        aResult.push_back(std::move(lm));
    }
    return aResult;
}
