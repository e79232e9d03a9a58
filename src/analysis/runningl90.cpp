#include "analysis/runningl90.h"

#include "analysis/level.h"

#include <algorithm>
#include <cmath>
#include <limits>

TRunningL90::TRunningL90(int nWindow) : anHist(size_t(nBins), 0), anRing(size_t(std::max(1, nWindow)), -1) {}

void TRunningL90::Clear()
{
    std::fill(anHist.begin(), anHist.end(), 0);
    std::fill(anRing.begin(), anRing.end(), -1);
    iRing = 0;
    nCount = 0;
    iCursor = 0;
    nBelow = 0;
}

void TRunningL90::Push(double dLevel)
{
    const int nOld = anRing[iRing];
    if (nOld >= 0) {
        --anHist[size_t(nOld)];
        --nCount;
        if (nOld < iCursor)
            --nBelow;
    }
    int nNew = -1;
    if (TLevel::Is(dLevel)) {
        // Levels are written to 0.1 dB: rounding keeps 55.2 in bin 552.
        nNew = std::clamp(int(std::lround(dLevel * 10)), 0, nBins - 1);
        ++anHist[size_t(nNew)];
        ++nCount;
        if (nNew < iCursor)
            ++nBelow;
    }
    anRing[iRing] = nNew;
    iRing = (iRing + 1) % anRing.size();
}

double TRunningL90::Level()
{
    if (nCount == 0)
        return std::numeric_limits<double>::quiet_NaN();
    // The k-th lowest level has 90 % of the window at or above it.
    const int k = std::max(1, (nCount + 9) / 10);
    while (nBelow >= k) {
        --iCursor;
        nBelow -= anHist[size_t(iCursor)];
    }
    while (nBelow + anHist[size_t(iCursor)] < k) {
        nBelow += anHist[size_t(iCursor)];
        ++iCursor;
    }
    return iCursor / 10.0;
}
