#pragma once

#include "views/qcpinclude.h"

#include <QFont>
#include <QRect>
#include <QSharedPointer>
#include <QString>
#include <QStringList>

class TCfg;
class TExclusions;
class TLabelTicker;
class TLeftTicker;

// What the periodic, alarm and profile charts share: the title, the white frame,
// horizontal-only zoom (drag a rectangle towards the lower right with the left button;
// towards the upper left, or a double-click, undoes it), horizontal panning with the
// right button, and the range operations the main window uses to keep the charts of a
// page in step. Without an owner the chart is an off-screen window for the export.
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
};
