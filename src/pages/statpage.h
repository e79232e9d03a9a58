#pragma once

#include "pages/reportpage.h"

class QComboBox;
class QTextStream;
class TExclusions;
class TKindExport;
class THtmlPage;
class TFillGrid;
struct TTQMonitor;

// The "Statistics" tab: per monitor the distribution of a periodic parameter (LAF90
// unless the user picks another) per part of the day with the background candidates,
// the LAeq per hour of the typical weekday and weekend day and per hour and weekday,
// as tables and as a chart with the carpet.
class TStatPage final : public TReportPage
{
    Q_OBJECT

public:
    TStatPage(const TPageEnv& env, QWidget* parent);
    Q_DISABLE_COPY_MOVE(TStatPage)

    // The parameter the background is of where nobody chose one.
    static QString DefaultParam() { return QStringLiteral("LAF90"); }

    // The kind's description, its tab page and its blocks of a library page.
    static const TKindInfo& Info();
    static TReportPage* Make(const TPageEnv& env, QWidget* parent) { return new TStatPage(env, parent); }
    static bool Export(TKindExport& ex, THtmlPage& page, const TTQMonitor& mon);
    // --statistics: the classes, the candidates, the typical day and the carpet of
    // sParam as CSV blocks separated by blank lines; days after today left out. A
    // monitor whose figures are lacking is named on err with the reason; false when
    // no monitor has any figure of sParam.
    static bool WriteCsv(const TCfg& cfg, const QString& sDataPath, const std::vector<const TTQMonitor*>& aSel,
                         const QDate& dtFrom, const QDate& dtTo, int nPeriod, const QString& sParam,
                         const TExclusions* pExcl, QTextStream& out, QTextStream& err);

    // The parameter the background on screen is of.
    QString Param() const;
    void SetParam(const QString& sParam);

    void Build(const TPageChoice& choice) override;
    QString DataFile(const QString& sDataPath, const QString& sID, const QDate& d,
                     int nPeriod) const override;
    QDate PrintTo(const QDate& dtFrom, const QDate& dtTo, const QDate& dtCut) const override;
    QString Note() const override;

private:
    QComboBox* comboStatParam = nullptr;
    TFillGrid* statBackTable = nullptr;
    TFillGrid* statHourTable = nullptr;
    TPageChoice last;
    bool bBuilt = false;
};
