#pragma once

#include "pages/reportpage.h"

class TKindExport;
class THtmlPage;
class TCalList;
struct TTQMonitor;

// The "Calibrations" tab: the list of calibrations.
class TCalPage final : public TReportPage
{
    Q_OBJECT

public:
    TCalPage(const TPageEnv& env, QWidget* parent);
    Q_DISABLE_COPY_MOVE(TCalPage)

    // The kind's description, its tab page and its blocks of a library page.
    static const TKindInfo& Info();
    static TReportPage* Make(const TPageEnv& env, QWidget* parent) { return new TCalPage(env, parent); }
    static bool Export(TKindExport& ex, THtmlPage& page, const TTQMonitor& mon);

    void Build(const TPageChoice& choice) override;
    bool Follows() const override { return false; }
    // Shown only when one of the monitors has a calibration file in the range.
    bool ShownFor(const QString& sDataPath, const std::vector<const TTQMonitor*>& aMons, const QDate& dtFrom,
                  const QDate& dtTo) const override;

    TCalList* List() const { return calList; }

private:
    TCalList* calList = nullptr;
};
