#pragma once

#include "pages/reportpage.h"

class TKindExport;
class THtmlPage;
class TAlmList;
class TAlmTable;
struct TTQMonitor;

// The "Alarms" tab: the alarms as a count chart per monitor, a table of counts per
// period and a list.
class TAlmPage final : public TReportPage
{
    Q_OBJECT

public:
    TAlmPage(const TPageEnv& env, QWidget* parent);
    Q_DISABLE_COPY_MOVE(TAlmPage)

    // The kind's description, its tab page and its blocks of a library page.
    static const TKindInfo& Info();
    static TReportPage* Make(const TPageEnv& env, QWidget* parent) { return new TAlmPage(env, parent); }
    static bool Export(TKindExport& ex, THtmlPage& page, const TTQMonitor& mon);

    void Build(const TPageChoice& choice) override;
    QString DataFile(const QString& sDataPath, const QString& sID, const QDate& d,
                     int nPeriod) const override;

    TAlmList* List() const { return almList; }

private:
    TAlmTable* almTable = nullptr;
    TAlmList* almList = nullptr;
};
