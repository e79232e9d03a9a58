#pragma once

#include "reports/kindinfo.h"

#include <QString>

#include <vector>

// The library names of the seven report kinds as the index and the page names use
// them, for the tests of the core output that runs without the kinds' pages.
inline const TKindInfo& TestKind(const QString& sKey)
{
    static const std::vector<TKindInfo> aKinds = [] {
        auto kind = [](const char* pszKey, const char* pszFolder, bool bPeriod, const char* pszHeading) {
            TKindInfo info;
            info.sKey = QString::fromLatin1(pszKey);
            info.sFolder = QString::fromLatin1(pszFolder);
            info.bPeriod = bPeriod;
            info.sIndexHeading = QString::fromLatin1(pszHeading);
            return info;
        };
        return std::vector<TKindInfo>{kind("per", "periodic", true, "Periodic Reports"),
                                      kind("alm", "alarms", true, "Alarm Reports"),
                                      kind("prf", "profiles", false, "Profile Reports"),
                                      kind("cal", "calibrations", false, "Calibration Reports"),
                                      kind("sum", "summaries", true, "Summary Reports"),
                                      kind("evt", "events", false, "Noise Event Reports"),
                                      kind("exc", "exceedances", true, "Exceedance Reports")};
    }();
    for (const TKindInfo& info : aKinds)
        if (info.sKey == sKey)
            return info;
    return aKinds.front();
}

// All seven in the order of the index.
inline std::vector<const TKindInfo*> TestKinds()
{
    std::vector<const TKindInfo*> a;
    for (const char* psz : {"per", "alm", "prf", "cal", "sum", "evt", "exc"})
        a.push_back(&TestKind(QString::fromLatin1(psz)));
    return a;
}
