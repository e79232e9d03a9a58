#include "pages/reportpage.h"

#include "monitors/monitor.h"
#include "views/chartbase.h"
#include "views/chartlevels.h"
#include "views/grid.h"
#include "views/scrollbox.h"

#include <QLabel>
#include <QListWidget>
#include <QTabWidget>
#include <QVBoxLayout>

namespace {

QWidget* Panel(const QString& sName, QWidget* parent)
{
    auto* w = new QWidget(parent);
    w->setObjectName(sName);
    return w;
}

QVBoxLayout* FillPage(QWidget* page)
{
    auto* lay = new QVBoxLayout(page);
    lay->setContentsMargins(0, 0, 0, 0);
    lay->setSpacing(0);
    return lay;
}

} // namespace

TReportPage::TReportPage(const TKindInfo& infoKind, const TPageEnv& envPage, QWidget* parent)
    : QWidget(parent), env(envPage), info(infoKind)
{
    setObjectName(info.sTabName);
}

TReportPage::~TReportPage() = default;

void TReportPage::MakeLayout(const QString& sNoteName, const QString& sSubName, const QStringList& slPanels,
                             const QString& sBox, bool bStrip)
{
    QVBoxLayout* lay = FillPage(this);
    if (bStrip) {
        // The empty 26-pixel strip under the report tabs.
        auto* strip = new QWidget(this);
        strip->setFixedHeight(26);
        lay->addWidget(strip);
    }
    if (!sNoteName.isEmpty()) {
        lblNote = new QLabel(this);
        lblNote->setObjectName(sNoteName);
        // The note wraps to the width the tab has; it never widens the window.
        lblNote->setWordWrap(true);
        lblNote->setSizePolicy(QSizePolicy::Ignored, QSizePolicy::Preferred);
        lblNote->setMinimumHeight(26);
        lblNote->setContentsMargins(6, 2, 6, 2);
        lay->addWidget(lblNote);
    }
    if (!sSubName.isEmpty()) {
        pagesSub = new QTabWidget(this);
        pagesSub->setObjectName(sSubName);
        lay->addWidget(pagesSub, 1);
    }
    for (int i = 0; i < int(info.aPages.size()); ++i) {
        TSub sub;
        if (pagesSub)
            sub.panel = Panel(slPanels.value(i), pagesSub);
        else if (!slPanels.value(i).isEmpty())
            sub.panel = Panel(slPanels.value(i), this);
        else
            sub.panel = this;
        if (info.aPages[size_t(i)].bChart) {
            box = new TScrollBox(sub.panel);
            box->setObjectName(sBox);
            iChartPage = i;
            connect(box, &TScrollBox::Resized, this, [this] { LayoutCharts(); });
            if (sub.panel == this)
                lay->addWidget(box, 1);
            else
                FillPage(sub.panel)->addWidget(box);
        } else if (sub.panel != this && !pagesSub) {
            lay->addWidget(sub.panel, 1);
        }
        if (pagesSub)
            pagesSub->addTab(sub.panel, info.aPages[size_t(i)].sCaption);
        aSub.push_back(sub);
    }
}

void TReportPage::SetGrid(int iPage, TGridView* grid)
{
    aSub[size_t(iPage)].grid = grid;
}

int TReportPage::CurrentPage() const
{
    return pagesSub ? pagesSub->currentIndex() : 0;
}

void TReportPage::SetCurrentPage(int iPage)
{
    if (pagesSub)
        pagesSub->setCurrentIndex(iPage);
}

const TGridView* TReportPage::ActiveGrid() const
{
    const int i = CurrentPage();
    return i >= 0 && i < int(aSub.size()) ? aSub[size_t(i)].grid : nullptr;
}

const QList<TChartBase*>* TReportPage::ActiveCharts() const
{
    // The charts stay the tab's also while a grid is in front: the window's
    // synchronisation and layout walk them.
    return box ? &achart : nullptr;
}

bool TReportPage::ShownFor(const QString&, const std::vector<const TTQMonitor*>&, const QDate&, const QDate&) const
{
    return true;
}

QDate TReportPage::PrintTo(const QDate&, const QDate& dtTo, const QDate&) const
{
    return dtTo;
}

QString TReportPage::DataFile(const QString&, const QString&, const QDate&, int) const
{
    return QString();
}

QList<int> TReportPage::TickedRows() const
{
    QList<int> anRows;
    if (!env.chklstMon)
        return anRows;
    for (int i = 0; i < env.chklstMon->count(); ++i)
        if (env.chklstMon->item(i)->checkState() == Qt::Checked)
            anRows.append(i);
    return anRows;
}

void TReportPage::ClearCharts()
{
    qDeleteAll(achart);
    achart.clear();
}

TChartBase* TReportPage::AddChart(TChartBase* chart, int iRow)
{
    chart->setParent(box->Client());
    chart->SetTitle(env.chklstMon->item(iRow)->text());
    if (const TTQMonitor* mon = env.mons.GetHead(iRow))
        chart->SetMonitorID(mon->sID);
    chart->SetExclusions(Applied());
    if (env.fnChartMade)
        env.fnChartMade(chart);
    chart->show();
    achart.append(chart);
    return chart;
}

void TReportPage::LayoutCharts()
{
    if (!box)
        return;
    QList<QWidget*> aw;
    for (TChartBase* chart : std::as_const(achart))
        aw.append(chart);
    box->LayoutCharts(aw);
}

void TReportPage::ShareLevels()
{
    TChartLevels::Share(achart, env.cfg);
}

void TReportPage::SetNote(const QString& s)
{
    if (lblNote)
        lblNote->setText(s);
}
