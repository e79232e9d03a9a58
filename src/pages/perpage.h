#pragma once

#include "pages/reportpage.h"

class TKindExport;
class THtmlPage;
class TPerTable;
struct TTQMonitor;

// The "Periodic" tab: the periodic levels as a chart per monitor and as a table.
class TPerPage final : public TReportPage
{
    Q_OBJECT

public:
    TPerPage(const TPageEnv& env, QWidget* parent);
    Q_DISABLE_COPY_MOVE(TPerPage)

    // The kind's description, its tab page and its blocks of a library page.
    static const TKindInfo& Info();
    static TReportPage* Make(const TPageEnv& env, QWidget* parent) { return new TPerPage(env, parent); }
    static bool Export(TKindExport& ex, THtmlPage& page, const TTQMonitor& mon);
    // The settings' limit rules that cannot be read, or name monitors the catalogue
    // does not have, as one status text; empty: none.
    static QString LimitErrors(const TPageEnv& env);

    void Build(const TPageChoice& choice) override;
    QString DataFile(const QString& sDataPath, const QString& sID, const QDate& d,
                     int nPeriod) const override;
    QString ErrorSource() const override;
    QString SettingsErrors() const override;

private:
    TPerTable* perTable = nullptr;
};
