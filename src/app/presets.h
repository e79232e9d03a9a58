#pragma once

#include <QDateTime>
#include <QString>

#include <optional>

// The eight named date ranges of the Presets menu, computed from "today".
class TPresets final
{
public:
    TPresets() = delete;

    static constexpr int Count = 8;

    // The menu caption of preset t; empty for a number outside 0..7.
    static QString Caption(int t);

    // Start and end of preset t for the day dtToday. Weeks begin on Monday; the end of
    // a week or month is 23:59:59.999 of its last day. None for a number outside 0..7.
    struct TRange
    {
        QDateTime dtStart;
        QDateTime dtEnd;
    };
    static std::optional<TRange> Range(int t, const QDate& dtToday);
};
