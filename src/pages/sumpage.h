#pragma once

#include "pages/reportpage.h"

class TExclusions;
class QTextStream;
class TCfg;
class TKindExport;
class THtmlPage;
class TFillGrid;
struct TTQMonitor;

// The "Summary" tab: the daily rating levels as a table and as a chart per monitor,
// under the note on what the figures mean.
class TSumPage final : public TReportPage
{
    Q_OBJECT

public:
    TSumPage(const TPageEnv& env, QWidget* parent);
    Q_DISABLE_COPY_MOVE(TSumPage)

    // The kind's description, its tab page and its blocks of a library page.
    static const TKindInfo& Info();
    static TReportPage* Make(const TPageEnv& env, QWidget* parent) { return new TSumPage(env, parent); }
    static bool Export(TKindExport& ex, THtmlPage& page, const TTQMonitor& mon);
    // --summary: the daily rating levels and the coverage of each part as CSV, one row
    // per monitor and day and a "Range" row per monitor; days after today left out.
    static void WriteCsv(const TCfg& cfg, const QString& sDataPath,
                         const std::vector<const TTQMonitor*>& aSel, const QDate& dtFrom, const QDate& dtTo,
                         QTextStream& out, const TExclusions* pExcl = nullptr);

    void Build(const TPageChoice& choice) override;
    QString DataFile(const QString& sDataPath, const QString& sID, const QDate& d,
                     int nPeriod) const override;
    QDate PrintTo(const QDate& dtFrom, const QDate& dtTo, const QDate& dtCut) const override;
    QString Note() const override;

private:
    TFillGrid* sumTable = nullptr;
};
