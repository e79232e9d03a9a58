#pragma once

#include "pages/reportpage.h"

class QTextStream;
class TCfg;
class TExclusions;
class TKindExport;
class THtmlPage;
class TFillGrid;
struct TTQMonitor;

// The "Data Quality" tab: per monitor the coverage calendar with the calibration
// figures under it, and the table of the range's totals, days, gaps and
// calibrations, under the note on what the figures mean.
class TQualPage final : public TReportPage
{
    Q_OBJECT

public:
    TQualPage(const TPageEnv& env, QWidget* parent);
    Q_DISABLE_COPY_MOVE(TQualPage)

    // The kind's description, its tab page and its blocks of a library page.
    static const TKindInfo& Info();
    static TReportPage* Make(const TPageEnv& env, QWidget* parent) { return new TQualPage(env, parent); }
    static bool Export(TKindExport& ex, THtmlPage& page, const TTQMonitor& mon);
    // --quality: the gaps, the days with their coverage and the totals per part of the
    // day as CSV; days after today left out, as on screen.
    static void WriteCsv(const TCfg& cfg, const QString& sDataPath, const std::vector<const TTQMonitor*>& aSel,
                         const QDate& dtFrom, const QDate& dtTo, int nPeriod, const TExclusions* pExcl,
                         QTextStream& out);

    void Build(const TPageChoice& choice) override;
    QString DataFile(const QString& sDataPath, const QString& sID, const QDate& d,
                     int nPeriod) const override;
    QDate PrintTo(const QDate& dtFrom, const QDate& dtTo, const QDate& dtCut) const override;
    QString Note() const override;

private:
    TFillGrid* qualTable = nullptr;
};
