#include "app/presets.h"

#include <gtest/gtest.h>

namespace {

QDateTime At(int y, int m, int d, int h = 0, int n = 0, int s = 0, int ms = 0)
{
    return QDateTime(QDate(y, m, d), QTime(h, n, s, ms));
}

void ExpectRange(int t, const QDate& dtToday, const QDateTime& dtStart, const QDateTime& dtEnd)
{
    const auto range = TPresets::Range(t, dtToday);
    ASSERT_TRUE(range.has_value()) << "preset " << t;
    EXPECT_EQ(range->dtStart, dtStart) << "preset " << t;
    EXPECT_EQ(range->dtEnd, dtEnd) << "preset " << t;
}

} // namespace

// ---- every preset on Wednesday 2024-05-15 ----

TEST(TPresets, Range_OnAWednesday)
{
    const QDate D(2024, 5, 15);
    ExpectRange(0, D, At(2024, 5, 15), At(2024, 5, 15));
    ExpectRange(1, D, At(2024, 5, 14), At(2024, 5, 14));
    ExpectRange(2, D, At(2024, 5, 13), At(2024, 5, 19, 23, 59, 59, 999));
    ExpectRange(3, D, At(2024, 5, 6), At(2024, 5, 12, 23, 59, 59, 999));
    ExpectRange(4, D, At(2024, 5, 8), At(2024, 5, 14));
    ExpectRange(5, D, At(2024, 5, 1), At(2024, 5, 31, 23, 59, 59, 999));
    ExpectRange(6, D, At(2024, 4, 1), At(2024, 4, 30));
    ExpectRange(7, D, At(2024, 4, 15), At(2024, 5, 14));
}

// ---- week and month boundaries ----

TEST(TPresets, Range_ThisWeekOnASundayStartsSixDaysEarlier)
{
    ExpectRange(2, QDate(2024, 5, 19), At(2024, 5, 13), At(2024, 5, 19, 23, 59, 59, 999));
    ExpectRange(3, QDate(2024, 5, 19), At(2024, 5, 6), At(2024, 5, 12, 23, 59, 59, 999));
}

TEST(TPresets, Range_LastMonthInJanuaryIsTheDecemberBefore)
{
    ExpectRange(6, QDate(2025, 1, 10), At(2024, 12, 1), At(2024, 12, 31));
    ExpectRange(5, QDate(2024, 2, 10), At(2024, 2, 1), At(2024, 2, 29, 23, 59, 59, 999));
}

TEST(TPresets, Range_UnknownNumberChangesNothing)
{
    EXPECT_FALSE(TPresets::Range(8, QDate(2024, 5, 15)).has_value());
    EXPECT_FALSE(TPresets::Range(-1, QDate(2024, 5, 15)).has_value());
    EXPECT_TRUE(TPresets::Caption(8).isEmpty());
}
