#pragma once

#include "reports/kindinfo.h"

#include <QString>

#include <vector>

class QWidget;
class TKindExport;
class THtmlPage;
class TReportPage;
struct TPageEnv;
struct TTQMonitor;

// A report kind: its description and the three things every kind does, each kept in
// the kind's own page class.
struct TReportKind
{
    const TKindInfo& info;
    // Makes the kind's tab page.
    TReportPage* (*fnMakePage)(const TPageEnv& env, QWidget* parent);
    // Writes the kind's blocks of one monitor's library page; false when the run must
    // stop (a file or folder that cannot be written).
    bool (*fnExport)(TKindExport& ex, THtmlPage& page, const TTQMonitor& mon);
};

// The one table of report kinds, in the order of the library's index. The window's
// tabs, Edit > Copy, File > Print, the export and its index, and the command line's
// --kinds, --pdf --report and --table all walk it.
class TReportKinds final
{
public:
    TReportKinds() = delete;

    static const std::vector<TReportKind>& All();
    // The descriptions alone, in the same order.
    static std::vector<const TKindInfo*> Infos();
    // The kind and page that --pdf --report sReport names; false when none does.
    static bool FindReport(const QString& sReport, const TReportKind*& kind, int& iPage);
    // Every --pdf --report name, in table order.
    static QStringList ReportNames();
    // The kind and page that --table sTable names; false when none does.
    static bool FindTable(const QString& sTable, const TReportKind*& kind, int& iPage);
    // Every --table name, in table order.
    static QStringList TableNames();
    // Every part --kinds names, in table order.
    static QStringList PartNames();
};
