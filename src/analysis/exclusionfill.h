#pragma once

#include "reports/gridfill.h"

class TExclusions;

// Hands the exclusion list to the grid fills, which sit beneath the analyses and
// know the excluded stretches only as TExcludedOn asks them.
class TExclusionFill final
{
public:
    TExclusionFill() = delete;

    // What p excludes, monitor by monitor, parameter by parameter and day by day; an
    // empty function for none (the raw figures). p must outlive the function.
    static TExcludedOn Of(const TExclusions* p);
};
