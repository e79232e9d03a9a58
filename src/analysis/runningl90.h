#pragma once

#include <cstddef>
#include <vector>

// The level exceeded 90 % of the time among the last nWindow values pushed, in steps
// of 0.1 dB. Sorting the window anew for every second of a day would cost a day of
// sorts; a histogram of the window whose lower-tail cursor moves only as far as the
// values do costs about one pass over the day.
class TRunningL90 final
{
public:
    explicit TRunningL90(int nWindow);
    // Pushes the next second's level (NaN or any value that is no level for none);
    // the oldest leaves the window.
    void Push(double dLevel);
    void Clear();
    // Levels in the window.
    int Count() const { return nCount; }
    // The level at or above which 90 % of the window's levels lie, rounded down to
    // 0.1 dB; NaN when the window holds no level.
    double Level();

    static constexpr int nBins = 1800; // 0.1 dB each, 0 to 180 dB

private:
    std::vector<int> anHist;
    std::vector<int> anRing; // the window's bins, -1 for no level
    size_t iRing = 0;
    int nCount = 0;
    int iCursor = 0;
    int nBelow = 0; // levels in the bins below iCursor
};
