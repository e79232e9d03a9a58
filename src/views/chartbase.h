#pragma once

#include "views/qcpinclude.h"

#include <QFont>
#include <QRect>
#include <QSharedPointer>
#include <QString>
#include <QStringList>

#include <utility>
#include <vector>

class QMenu;
class TCfg;
class TExclBand;
class TExclusions;
struct TExcludedSpan;
class TLabelTicker;
class TLeftTicker;

// What the periodic, alarm and profile charts share: the title, the white frame,
// horizontal-only zoom (drag a rectangle towards the lower right with the left button;
// towards the upper left, or a double-click, undoes it), horizontal panning with the
// right button, and the range operations the main window uses to keep the charts of a
// page in step. Without an owner the chart is an off-screen window for the export.
// A chart whose keys stand for times of day (periodic, alarm and profile charts) shows
// the excluded stretches of its monitor as hatched bands, says why in their tooltip,
// lets a span be selected with Shift and the left button, and offers "Exclude…" for
// it (or for the range shown) in its context menu (a right click that does not pan).
class TChartBase : public QCustomPlot
{
    Q_OBJECT

public:
    ~TChartBase() override;
    Q_DISABLE_COPY_MOVE(TChartBase)

    QString MonitorID() const { return sMonID; }
    void SetMonitorID(const QString& sID) { sMonID = sID; }

    // The exclusions the chart's figures leave out and its bands show; none: the raw
    // figures. Given before the chart plots; the list must outlive the chart's plots.
    const TExclusions* Exclusions() const { return pExcl; }
    void SetExclusions(const TExclusions* p) { pExcl = p; }

    // The excluded stretches the bands show, as TExclusion::Wall times, sorted and
    // apart, and the bands' key ranges; empty without exclusions.
    const std::vector<TExcludedSpan>& ExcludedSpans() const;
    QList<QCPRange> BandRanges() const;
    // The tooltip of the band at key dKey; empty where there is none.
    QString BandTip(double dKey) const;

    // Whether the chart knows the time of day of its keys, and so can select a span.
    bool HasTimeKeys() const { return bTimeAxis || !anKeyStarts.empty(); }
    // The wall-clock span (TExclusion::Wall) of keys dFrom to dTo: from the start of
    // the first period among them to the end of the last; {0, 0} for none.
    std::pair<qint64, qint64> WallSpan(double dFrom, double dTo) const;
    // The span selected with Shift and the left button; {0, 0} for none.
    std::pair<qint64, qint64> Selection() const;
    // Selects keys dFrom to dTo as the mouse does; ClearSelection drops it.
    void Select(double dFrom, double dTo);
    void ClearSelection();
    // What "Exclude…" takes: the selection, else the range shown.
    std::pair<qint64, qint64> ExcludeSpan() const;
    // Whether "Exclude…" is offered enabled (the window's list could be read).
    void SetExcludeEnabled(bool b) { bExcludeEnabled = b; }
    // The context menu at a point of the chart; none for a chart without time keys.
    QMenu* MakeMenu();

    QString Title() const;
    void SetTitle(const QString& sText);

    // The level (left) axis.
    double LeftMin() const;
    double LeftMax() const;
    void SetLeftMin(double d);
    void SetLeftMax(double d);

    // The time (bottom) axis.
    double BottomMin() const;
    double BottomMax() const;
    void SetBottomRange(double dMin, double dMax);

    // Pixel rectangle of the last zoom, by the user or through ZoomToRect.
    QRect LastZoomRect() const { return rcLastZoom; }
    // Zooms the bottom axis to the horizontal extent of rc (pixels); emits Zoomed.
    void ZoomToRect(const QRect& rc);
    // Shows the whole data range again; emits Unzoomed.
    void UndoZoom();

    // Renders the chart off-screen at the given size into a BMP file.
    bool SaveBmp(const QString& sFile, int nWidth, int nHeight);

    int SeriesCount() const;
    // Points of the first series; 0 without series.
    int PointCount() const;
    // Value of point i of a series; NaN for a null point or an index out of range.
    double Value(int iSeries, int i) const;
    // The bottom-axis text of point i; empty out of range.
    virtual QString Label(int i) const;
    // Whether the left axis shows levels, which the charts of a page share.
    virtual bool HasLevelAxis() const { return true; }

Q_SIGNALS:
    void Zoomed(TChartBase* chart);
    void Unzoomed(TChartBase* chart);
    // The user has finished panning with the right button.
    void Scrolled(TChartBase* chart);
    // "Exclude…" was chosen for the span nFrom to nTo (TExclusion::Wall) of the
    // chart's monitor sID. Whoever asks for the exclusion there and rebuilds the charts
    // connects queued: the menu the choice came from belongs to this chart.
    void ExcludeRequested(const QString& sID, qint64 nFrom, qint64 nTo);

protected:
    TChartBase(TCfg& cfgOwner, QWidget* owner);

    // Puts the category ticker on the bottom axis: point i at X = i, labelled from slLabels.
    void UseLabelAxis();
    void SetSlotsPerDay(int n);
    void SetLegendShown(bool b);
    // Legend entries side by side, nPerRow to a row, in a slightly smaller type.
    void SetLegendRows(int nPerRow);
    // Moves the legend out of the plot to a column at its right, level with the plot:
    // the entries one under the other, in as many columns as the plot's height needs.
    void SetLegendBeside();

    // The left axis by the level rule: 160 first, so the minimum never lands above the
    // maximum, then the tens below the lowest level and the tens above the highest.
    void SetLevelRange(double dLowest, double dHighest);

    // The bottom range that shows all data; an invalid range (size 0) when there is none.
    virtual QCPRange FullBottomRange() const;
    // Sets the bottom axis to FullBottomRange, unless there is no data, and replots.
    void ShowFullRange();
    // Keeps a panned category axis inside its data after the right button is released.
    virtual void ScrollClamp();
    // Moves the bottom axis, without changing its size, back inside full.
    void KeepInside(const QCPRange& full);
    // Left-axis ticks at least nPixels apart (0: a label's height and a little room)
    // and no more than nMaxIntervals of them (0: no limit). About one level label per
    // 30 pixels, 5 at the most, unless a chart says otherwise.
    void SetLeftTickSpacing(int nPixels, int nMaxIntervals);

    // Key i is the period of nSecs seconds from anStarts[i] (TExclusion::Wall; -1: its
    // time could not be read).
    void SetKeyPeriods(std::vector<qint64> anStarts, int nSecs);
    // Keys are seconds: key k is the second from wall time k + nOffset, from nFirst up
    // to before nEnd.
    void SetKeyOffset(qint64 nOffset, qint64 nFirst, qint64 nEnd);
    // Draws the bands of the exclusions of the chart's monitor that cover one of
    // slParams (none: only those covering all levels), in place of any before.
    void ShowExclusions(const QStringList& slParams);

    bool event(QEvent* event) override;
    void contextMenuEvent(QContextMenuEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void mouseDoubleClickEvent(QMouseEvent* event) override;
    void updateLayout() override;

    // The label of a period, its time over its date ("hh:mm:ss\nyyyy-MM-dd"), made in
    // one piece: a year of 5-minute periods has 105,120 of them.
    static QString SlotLabel(QStringView sTime, QStringView sDate);

    TCfg& cfg;
    QStringList slLabels;

private:
    const TExclusions* pExcl = nullptr;
    QCPPlottableInterface1D* Series(int iSeries) const;
    void ShowMenu(const QPoint& ptGlobal);
    int BandAt(double dKey) const;
    // How far the first (or the last) bottom-axis label reaches past the plot's left
    // (or right) side, in pixels; 0 when it does not.
    int BottomLabelOverhang(bool bRight) const;
    // Each fits one part to the present layout and says whether it changed anything:
    // the level title's type and distance, the legend's columns beside the plot.
    bool FitLeftTitle();
    bool FitLegendColumns();
    void SelectionRectAccepted(const QRect& rc, QMouseEvent* event);

    QString sMonID;
    QCPTextElement* title;
    QSharedPointer<TLabelTicker> ticker;
    QSharedPointer<TLeftTicker> tickerLeft;
    QRect rcLastZoom;
    QCPLayoutGrid* gridLegend = nullptr; // the column beside the plot, when there is one
    QFont fontLeftTitle;                 // the level title's type where there is room
    int nLeftTitlePadding = 0;           // and its distance from the level labels
    bool bPanning = false;
    int xPanStart = 0;
    QCPRange rangePanStart;

    // The keys' times and the bands.
    bool bTimeAxis = false;
    qint64 nKeyOffset = 0;
    qint64 nKeyFirst = 0;
    qint64 nKeyEnd = 0;
    std::vector<qint64> anKeyStarts;
    int nKeySecs = 0;
    QStringList slExclParams;
    std::vector<TExcludedSpan> aExclSpans;
    QList<TExclBand*> aBands;
    std::vector<std::pair<qint64, qint64>> aBandWall; // per band, its wall-clock span
    // The selection and its drag.
    TExclBand* bandSel = nullptr;
    bool bSelecting = false;
    double dSelAnchor = 0;
    bool bExcludeEnabled = true;
};
