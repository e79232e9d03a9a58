#include "app/presets.h"

namespace {

const QTime tmEndOfDay(23, 59, 59, 999);

QDateTime Midnight(const QDate& d)
{
    return QDateTime(d, QTime(0, 0));
}

QDate MondayOf(const QDate& d)
{
    return d.addDays(-(d.dayOfWeek() - 1));
}

} // namespace

QString TPresets::Caption(int t)
{
    switch (t) {
    case 0: return QStringLiteral("Today");
    case 1: return QStringLiteral("Yesterday");
    case 2: return QStringLiteral("This Week");
    case 3: return QStringLiteral("Last Week");
    case 4: return QStringLiteral("Last 7 Days");
    case 5: return QStringLiteral("This Month");
    case 6: return QStringLiteral("Last Month");
    case 7: return QStringLiteral("Last 30 Days");
    default: return {};
    }
}

std::optional<TPresets::TRange> TPresets::Range(int t, const QDate& D)
{
    const QDate dtFirstOfMonth(D.year(), D.month(), 1);
    switch (t) {
    case 0: return TRange{Midnight(D), Midnight(D)};
    case 1: return TRange{Midnight(D.addDays(-1)), Midnight(D.addDays(-1))};
    case 2: {
        const QDate dtMon = MondayOf(D);
        return TRange{Midnight(dtMon), QDateTime(dtMon.addDays(6), tmEndOfDay)};
    }
    case 3: {
        const QDate dtMon = MondayOf(D.addDays(-7));
        return TRange{Midnight(dtMon), QDateTime(dtMon.addDays(6), tmEndOfDay)};
    }
    case 4: return TRange{Midnight(D.addDays(-7)), Midnight(D.addDays(-1))};
    case 5: return TRange{Midnight(dtFirstOfMonth), QDateTime(dtFirstOfMonth.addMonths(1).addDays(-1), tmEndOfDay)};
    case 6: return TRange{Midnight(dtFirstOfMonth.addMonths(-1)), Midnight(dtFirstOfMonth.addDays(-1))};
    case 7: return TRange{Midnight(D.addDays(-30)), Midnight(D.addDays(-1))};
    default: return std::nullopt;
    }
}
