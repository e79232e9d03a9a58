#pragma once

#include "pages/reportpage.h"

class TExclusions;
class QTextStream;
class TKindExport;
struct TLimits;
class THtmlPage;
class TFillGrid;
struct TTQMonitor;

// The "Exceedances" tab: the periods above the noise limits and their counts, under
// the note on how periods are judged.
class TExcPage final : public TReportPage
{
    Q_OBJECT

public:
    TExcPage(const TPageEnv& env, QWidget* parent);
    Q_DISABLE_COPY_MOVE(TExcPage)

    // The kind's description, its tab page and its blocks of a library page.
    static const TKindInfo& Info();
    static TReportPage* Make(const TPageEnv& env, QWidget* parent) { return new TExcPage(env, parent); }
    static bool Export(TKindExport& ex, THtmlPage& page, const TTQMonitor& mon);
    // --exceedances: one row per period above its limit as CSV, then after a blank
    // line the counts per monitor, day and rule and a "Range" row per monitor and
    // rule. As on screen and in the export, days still to come are not rows.
    static void WriteCsv(const TLimits& limits, const QString& sDataPath,
                         const std::vector<const TTQMonitor*>& aSel, const QDate& dtFrom, const QDate& dtTo,
                         int nPeriod, QTextStream& out,
                         const TExclusions* pExcl = nullptr);

    void Build(const TPageChoice& choice) override;
    QString DataFile(const QString& sDataPath, const QString& sID, const QDate& d,
                     int nPeriod) const override;
    QDate PrintTo(const QDate& dtFrom, const QDate& dtTo, const QDate& dtCut) const override;
    QString Note() const override;
    QString ErrorSource() const override;
    QString SettingsErrors() const override;

private:
    TFillGrid* excTable = nullptr;
};
