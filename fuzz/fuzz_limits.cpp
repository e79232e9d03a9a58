// Arbitrary text as limit rules, one per line: a rule that parses is written by
// Text() as a line that parses back to the same rule and the same text, its weekdays
// and band hold what the rule says, and a schedule (from the settings or a file)
// keeps every line it could not read.
#include "analysis/limits.h"

#include "fuzzutil.h"

#include <QStringList>

#include <cmath>
#include <cstdint>

namespace {

bool SameRule(const TLimitRule& a, const TLimitRule& b)
{
    return a.sMonitor == b.sMonitor && a.sParam == b.sParam && a.nDays == b.nDays &&
           a.nStartMin == b.nStartMin && a.nEndMin == b.nEndMin && a.dLimit == b.dLimit && a.sLabel == b.sLabel;
}

void CheckRule(const TLimitRule& rule)
{
    Require(rule.nDays > 0 && rule.nDays <= TLimitRule::AllDays);
    Require(rule.nStartMin >= 0 && rule.nStartMin < 1440 && rule.nEndMin >= 0 && rule.nEndMin < 1440);
    Require(std::isfinite(rule.dLimit) && rule.dLimit >= 0 && rule.dLimit <= TLimitRule::MaxLimit);
    Require(!rule.sParam.isEmpty());

    QString sError;
    const QString sText = rule.Text();
    const std::optional<TLimitRule> back = TLimitRule::Parse(sText, sError);
    Require(back.has_value() && SameRule(*back, rule));
    Require(back->Text() == sText);
    Require(TLimitRule::ParseDays(rule.DaysText()) == rule.nDays);
    Require(TLimitRule::ParseLimit(rule.LimitText()) == rule.dLimit);
    Require(!rule.Name().isEmpty());

    // 00:00-00:00 holds every second of its days; any other band holds exactly its own
    // minutes, those after midnight counting for the day before, and a band whose start
    // equals its end (06:00-06:00) the 24 hours from its start.
    for (int nDow = 1; nDow <= 7; ++nDow) {
        for (int nMin : {0, rule.nStartMin, rule.nEndMin, (rule.nStartMin + 1439) % 1440, 1439}) {
            const int nSecs = nMin * 60 + 30;
            bool bIn = false;
            if (rule.nStartMin == 0 && rule.nEndMin == 0)
                bIn = rule.HasDay(nDow);
            else if (rule.nStartMin < rule.nEndMin)
                bIn = nMin >= rule.nStartMin && nMin < rule.nEndMin && rule.HasDay(nDow);
            else if (nMin >= rule.nStartMin)
                bIn = rule.HasDay(nDow);
            else
                bIn = nMin < rule.nEndMin && rule.HasDay(nDow == 1 ? 7 : nDow - 1);
            Require(rule.ContainsOnDay(nDow, nSecs) == bIn);
        }
    }
    // Above the limit is above its value shown with one decimal.
    Require(!rule.Exceeds(rule.dLimit) && rule.Exceeds(rule.dLimit + 0.1) && !rule.Exceeds(std::nan("")));
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* pData, std::size_t nSize)
{
    const QString sText = QString::fromUtf8(reinterpret_cast<const char*>(pData), qsizetype(nSize));
    const QStringList slLines = sText.split(u'\n');

    QStringList slKeys;
    int nParsed = 0;
    for (const QString& sLine : slLines) {
        QString sError;
        const std::optional<TLimitRule> rule = TLimitRule::Parse(sLine, sError);
        Require(rule.has_value() == sError.isEmpty());
        if (rule) {
            CheckRule(*rule);
            ++nParsed;
        }
        TLimitRule::ParseTime(sLine);
        TLimitRule::ParseDays(sLine);
        if (const std::optional<double> d = TLimitRule::ParseLimit(sLine))
            Require(std::isfinite(*d) && *d >= 0 && *d <= TLimitRule::MaxLimit);
        slKeys.append(QStringLiteral("rule") + QString::number(slKeys.size() + 1));
    }

    // A schedule: each line a rule or an error, and its unread lines kept as they were.
    const TLimits limits = TLimits::FromLines(slKeys, slLines);
    Require(limits.slErrors.size() == limits.slUnread.size() || int(limits.aRules.size()) == TLimits::MaxRules);
    Require(int(limits.aRules.size()) == std::min(nParsed, TLimits::MaxRules) ||
            int(limits.aRules.size()) == TLimits::MaxRules);
    for (const QString& sUnread : limits.slUnread)
        Require(slLines.contains(sUnread));
    // Stored again, the schedule reads back the same.
    const TLimits again = TLimits::FromLines(QStringList(), limits.Lines());
    Require(again.aRules.size() == limits.aRules.size() && again.slErrors.isEmpty());
    for (size_t i = 0; i < again.aRules.size(); ++i)
        Require(SameRule(again.aRules[i], limits.aRules[i]));
    Require(limits.ErrorSummary().isEmpty() == limits.slErrors.isEmpty());

    // The same bytes as a schedule file of a command-line run: refused as a whole, or
    // every rule read from it a sound one.
    static const QString sFile = FuzzScratch().path() + QStringLiteral("/limits.txt");
    WriteBytes(sFile, QByteArray(reinterpret_cast<const char*>(pData), qsizetype(nSize)));
    QString sError;
    const std::optional<TLimits> fromFile = TLimits::FromFile(sFile, sError);
    Require(fromFile.has_value() == sError.isEmpty());
    if (fromFile) {
        for (const TLimitRule& rule : fromFile->aRules)
            CheckRule(rule);
        Require(fromFile->slErrors.size() == fromFile->slUnread.size() ||
                int(fromFile->aRules.size()) == TLimits::MaxRules);
    }
    return 0;
}
