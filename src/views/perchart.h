#pragma once

#include "views/chartbase.h"

#include "analysis/limits.h"

#include <QDate>

#include <optional>
#include <vector>

// The periodic levels of one monitor: one line per included parameter, one point per
// record of the periodic day files, the days laid end to end on a category axis.
class TPerChart final : public TChartBase
{
    Q_OBJECT

public:
    explicit TPerChart(TCfg& cfg, QWidget* owner = nullptr);
    ~TPerChart() override;
    Q_DISABLE_COPY_MOVE(TPerChart)

    // Plots the days dtFrom..dtTo (both included) of the nPeriod-minute files and sets
    // the level axis from the levels found. Called once on a fresh chart.
    void PlotPeriod(const QDate& dtFrom, const QDate& dtTo, int nPeriod);
    // The limit rules drawn by PlotPeriod in place of the settings' rules for the
    // chart's monitor (an export run with a schedule of its own).
    void SetLimitRules(std::vector<TLimitRule> aRules) { aLimitRules = std::move(aRules); }
    // Whether PlotPeriod adds a key for the limit lines and marks to the legend, when
    // it draws any: the chart images of the export are read without the program's help.
    void SetLimitKeyShown(bool b) { bLimitKey = b; }

private:
    QStringList slParams; // the parameter of each series
    std::optional<std::vector<TLimitRule>> aLimitRules;
    bool bLimitKey = false;
};
