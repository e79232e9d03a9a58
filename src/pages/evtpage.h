#pragma once

#include "pages/reportpage.h"

class TExclusions;
class QTextStream;
class TCfg;
class TKindExport;
class THtmlPage;
class TEventTable;
struct TTQMonitor;

// The "Events" tab: the noise events of the start date as a list and as a chart of
// events per hour per monitor, under the note on how they are found.
class TEvtPage final : public TReportPage
{
    Q_OBJECT

public:
    TEvtPage(const TPageEnv& env, QWidget* parent);
    Q_DISABLE_COPY_MOVE(TEvtPage)

    // The kind's description, its tab page and its blocks of a library page.
    static const TKindInfo& Info();
    static TReportPage* Make(const TPageEnv& env, QWidget* parent) { return new TEvtPage(env, parent); }
    static bool Export(TKindExport& ex, THtmlPage& page, const TTQMonitor& mon);
    // --events: the noise events as CSV, one row per event listed on its start day;
    // then after a blank line a row per monitor and day with its counts and whether its
    // file was read, so that a quiet day is told from a monitor that wrote nothing.
    // The event settings' mistakes go to err.
    static void WriteCsv(const TCfg& cfg, const QString& sDataPath,
                         const std::vector<const TTQMonitor*>& aSel, const QDate& dtFrom, const QDate& dtTo,
                         QTextStream& out, QTextStream& err, const TExclusions* pExcl = nullptr);
    // The hand-edited event settings out of range, as one status text; empty: none.
    static QString EventErrors(const TPageEnv& env);

    void Build(const TPageChoice& choice) override;
    QString DataFile(const QString& sDataPath, const QString& sID, const QDate& d,
                     int nPeriod) const override;
    bool OneDay() const override { return true; }
    QDate PrintTo(const QDate& dtFrom, const QDate& dtTo, const QDate& dtCut) const override;
    QString Note() const override;
    QString ErrorSource() const override;
    QString SettingsErrors() const override;

private:
    TEventTable* evtTable = nullptr;
};
