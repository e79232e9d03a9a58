#pragma once

#include "monitors/monitor.h"
#include "settings/cfg.h"

#include "reports/gridfill_daydir.h"

#include <QListWidget>
#include <QTemporaryDir>

#include <gtest/gtest.h>

// Two monitors (catalogue order: East Fence M02, North Gate M01), the settings
// pointing at their data folder, and a check-list like the main window's, for the
// tests of what the grids and pages load for the ticked rows.
class TTickedMonitorsTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        ASSERT_TRUE(dir.IsValid() && cfgDir.isValid());
        dir.AddMonitor(QStringLiteral("M01"), QStringLiteral("North Gate"));
        dir.AddMonitor(QStringLiteral("M02"), QStringLiteral("East Fence"));
        cfg.SetDataPath(dir.DataPath());
        mons.LoadMonitors(cfg.DataPath());
        ASSERT_EQ(mons.Count(), 2);
        for (int i = 0; i < mons.Count(); ++i)
            new QListWidgetItem(mons.GetHead(i)->sName, &chklstMon);
    }
    void Tick(int i) { chklstMon.item(i)->setCheckState(Qt::Checked); }

    TDayDir dir;
    QTemporaryDir cfgDir;
    TCfg cfg{cfgDir.path()};
    TTQMonitors mons;
    QListWidget chklstMon;
};
