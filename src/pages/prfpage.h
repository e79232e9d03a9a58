#pragma once

#include "pages/reportpage.h"

class TKindExport;
class THtmlPage;
struct TTQMonitor;

// The "Profile 24hr" tab: the one-second profile of the start date, a chart per monitor.
class TPrfPage final : public TReportPage
{
    Q_OBJECT

public:
    TPrfPage(const TPageEnv& env, QWidget* parent);
    Q_DISABLE_COPY_MOVE(TPrfPage)

    // The kind's description, its tab page and its blocks of a library page.
    static const TKindInfo& Info();
    static TReportPage* Make(const TPageEnv& env, QWidget* parent) { return new TPrfPage(env, parent); }
    static bool Export(TKindExport& ex, THtmlPage& page, const TTQMonitor& mon);

    void Build(const TPageChoice& choice) override;
    QString DataFile(const QString& sDataPath, const QString& sID, const QDate& d,
                     int nPeriod) const override;
    bool OneDay() const override { return true; }
    QDate PrintTo(const QDate& dtFrom, const QDate& dtTo, const QDate& dtCut) const override;
    QString ErrorSource() const override;
    QString SettingsErrors() const override;
};
