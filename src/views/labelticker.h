#pragma once

#include "views/qcpinclude.h"

#include <QStringList>

// Ticks for a category axis whose slot i is at coordinate i and carries the text
// labels[i]. For the visible range and the axis width it labels only every n-th slot,
// n chosen so that no two labels overlap and, when the number of slots per day is
// known, so that the labels fall on whole fractions or multiples of a day.
class TLabelTicker final : public QCPAxisTicker
{
public:
    // The labels list belongs to the chart and outlives the ticker's use of it.
    TLabelTicker(QCPAxis* axisOwner, const QStringList& slLabels);

    void SetSlotsPerDay(int n) { nSlotsPerDay = n; }

    // The slot step between labels, at least dMinStep: below a day a divisor of
    // nSlotsPerDay, preferably a round number of minutes or hours; above a day whole
    // days (1, 2, 5, 10, 20, ...); 1, 2, 5, 10, ... slots when nSlotsPerDay is 0.
    static int NiceStep(double dMinStep, int nSlotsPerDay);

    void generate(const QCPRange& range, const QLocale& locale, QChar formatChar, int precision,
                  QVector<double>& ticks, QVector<double>* subTicks, QVector<QString>* tickLabels) override;

private:
    int LabelWidth(int iSlot) const;

    QCPAxis* axis;
    const QStringList& slLabels;
    int nSlotsPerDay = 0;
};
