#pragma once

#include <cmath>

// What counts as a measured level, for every analysis and chart alike. The monitors
// write 0 or a value of 180 dB and more when a period had no valid measurement (an
// overloaded or switched-off microphone), so such a value is no level: it is neither
// assessed against a limit, nor averaged, nor the start of a noise event.
struct TLevel final
{
    static constexpr double dLowest = 0;   // a level lies above this...
    static constexpr double dHighest = 180; // ...and below this

    static bool Is(double d) { return std::isfinite(d) && d > dLowest && d < dHighest; }
};
