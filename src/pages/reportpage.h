#pragma once

#include "reports/kindinfo.h"

#include <QDateTime>
#include <QList>
#include <QWidget>

#include <functional>
#include <vector>

class QLabel;
class QListWidget;
class QTabWidget;
class QVBoxLayout;
class TCfg;
class TChartBase;
class TExclusions;
class TGridView;
class TScrollBox;
class TTQMonitors;

// What every report page gets from the window (or the off-screen printout) holding it.
struct TPageEnv
{
    TCfg& cfg;
    const TTQMonitors& mons;
    // The monitor check-list: its ticked rows are the monitors reported, row i standing
    // for catalogue entry i; each chart takes its row's text as its title.
    const QListWidget* chklstMon = nullptr;
    // Called for each chart a page makes, before it plots (the window connects its
    // zoom and scroll synchronisation there); may be empty.
    std::function<void(TChartBase*)> fnChartMade;
    // The installation's exclusion list, which the Exclusions tab changes; none where
    // there is no list (a printout of the raw figures, tests).
    TExclusions* excl = nullptr;
    // Whether the figures leave the exclusions out; empty: they do.
    std::function<bool()> fnApplied = {};
};

// The choice a page is built for: Start and End, End cut at today (charts and the
// reports that say nothing of days to come) and the report period in minutes.
struct TPageChoice
{
    QDateTime dtStart;
    QDateTime dtEnd;
    QDate dtEndCut;
    int nPeriod = 60;
};

// One report tab: the pages of a report kind (a grid, a stack of charts, or several
// of them as sub-tabs) and how they are built, printed and kept up to date. The main
// window, the print run and the PDF printout all build a kind through its page.
class TReportPage : public QWidget
{
    Q_OBJECT

public:
    ~TReportPage() override;
    Q_DISABLE_COPY_MOVE(TReportPage)

    const TKindInfo& Info() const { return info; }

    // Builds the page in front from the choice.
    virtual void Build(const TPageChoice& choice) = 0;

    // The sub-page in front, an index into Info().aPages; the sub-tabs when the kind
    // has more than one page.
    int CurrentPage() const;
    void SetCurrentPage(int iPage);
    QTabWidget* SubPages() const { return pagesSub; }
    QWidget* PageWidget(int iPage) const { return aSub[size_t(iPage)].panel; }

    // The grid of the page in front; none when it shows charts.
    const TGridView* ActiveGrid() const;
    // The grid of page iPage; none for a chart page.
    TGridView* Grid(int iPage) const { return aSub[size_t(iPage)].grid; }
    // The kind's charts and their scroll box; none for a kind without charts.
    const QList<TChartBase*>& Charts() const { return achart; }
    TScrollBox* ScrollBox() const { return box; }
    // The kind's charts, also while a grid is in front; none for a kind without charts.
    const QList<TChartBase*>* ActiveCharts() const;
    // Lays the charts out in the scroll box.
    void LayoutCharts();

    // A report of the start date alone (the profile, the events): the period and the
    // end date have no say.
    virtual bool OneDay() const { return false; }
    // The last day a printout's date line names, for a printout of dtFrom to dtTo
    // whose end cut at today is dtCut.
    virtual QDate PrintTo(const QDate& dtFrom, const QDate& dtTo, const QDate& dtCut) const;
    // The line under the printout's date line (what the figures mean); empty for none.
    virtual QString Note() const { return QString(); }
    // The day file of monitor sID on d whose change makes the page out of date; empty
    // when no file does (the page then waits for the user).
    virtual QString DataFile(const QString& sDataPath, const QString& sID, const QDate& d, int nPeriod) const;
    // Whether the tab shows for the monitors aMons and the days dtFrom to dtTo; a kind
    // that is there only when the range holds something of it says so here.
    virtual bool ShownFor(const QString& sDataPath, const std::vector<const TTQMonitor*>& aMons,
                          const QDate& dtFrom, const QDate& dtTo) const;
    // Whether the refresh timer follows the page's day files.
    virtual bool Follows() const { return true; }
    // The settings' mistakes that concern the kind, for the status line; empty: none.
    // Kinds that read the same settings name the same source, so that the window
    // tells each mistake once whichever of their tabs is in front.
    virtual QString ErrorSource() const { return QString(); }
    virtual QString SettingsErrors() const { return QString(); }

Q_SIGNALS:
    // The page changed the exclusion list and saved it: every figure has to follow.
    void ExclusionsChanged();
    // The user picked one day on the page (a day of the coverage calendar): the window
    // makes it the report's only day.
    void DayChosen(const QDate& dt);

protected:
    TReportPage(const TKindInfo& info, const TPageEnv& env, QWidget* parent);

    // The page's layout: a note line on top when lblNote is given, then the sub-tabs
    // (or the one page, under the empty strip of the report tabs when bStrip).
    // Called once by the kind's constructor; sSubName names the sub-tab widget,
    // asPanels the panel of each page, sBox the scroll box of the chart page.
    void MakeLayout(const QString& sNoteName, const QString& sSubName, const QStringList& slPanels,
                    const QString& sBox, bool bStrip);
    // Puts grid into page iPage.
    void SetGrid(int iPage, TGridView* grid);

    // One chart of type TChart per ticked monitor in the scroll box, titled with its
    // row's text; the old ones go.
    template <class TChart> QList<TChart*> MakeCharts();
    // Gives the charts one vertical range, as the window's synchronisation does.
    void ShareLevels();
    // The ticked rows of the check-list.
    QList<int> TickedRows() const;

    void SetNote(const QString& s);
    // The exclusions the page's figures leave out; none: the raw figures.
    const TExclusions* Applied() const { return env.excl != nullptr && (!env.fnApplied || env.fnApplied()) ? env.excl : nullptr; }

    TPageEnv env;

private:
    struct TSub
    {
        QWidget* panel = nullptr;
        TGridView* grid = nullptr;
    };

    void ClearCharts();
    TChartBase* AddChart(TChartBase* chart, int iRow);

    const TKindInfo& info;
    QTabWidget* pagesSub = nullptr;
    QLabel* lblNote = nullptr;
    std::vector<TSub> aSub;
    TScrollBox* box = nullptr;
    int iChartPage = -1;
    QList<TChartBase*> achart;
};

template <class TChart> QList<TChart*> TReportPage::MakeCharts()
{
    ClearCharts();
    QList<TChart*> a;
    for (int i : TickedRows())
        a.append(static_cast<TChart*>(AddChart(new TChart(env.cfg, nullptr), i)));
    LayoutCharts();
    return a;
}
