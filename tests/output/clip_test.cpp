#include "output/clip.h"

#include "output/gridtext.h"
#include "views/callist.h"
#include "views/perchart.h"

#include "reportdir.h"

#include <QApplication>
#include <QClipboard>
#include <QLabel>
#include <QListWidget>

#include <gtest/gtest.h>

// --- grid copy ---------------------------------------------------------------------------------

TEST(TClip, CopyGrid_PutsTheGridTextOnTheClipboard)
{
    TReportDir dir;
    ASSERT_TRUE(dir.IsValid());
    dir.AddMonitor(QStringLiteral("7"), QStringLiteral("North Gate"));
    dir.WriteCal(QStringLiteral("7"), QDate(2024, 3, 1),
                 {QStringLiteral("Time"), QStringLiteral("06:00:00")});
    const auto mons = dir.Monitors();
    QWidget page;
    TCalList list(dir.Cfg(), *mons, &page);
    QListWidget chklst;
    auto* item = new QListWidgetItem(QStringLiteral("North Gate"), &chklst);
    item->setFlags(item->flags() | Qt::ItemIsUserCheckable);
    item->setCheckState(Qt::Checked);
    const QDateTime dt(QDate(2024, 3, 1), QTime(0, 0));
    list.LoadList(dt, dt, &chklst);

    TClip::CopyGrid(list);
    EXPECT_EQ(QGuiApplication::clipboard()->text(),
              QStringLiteral("North Gate\t\t\t\r\n\t\t\t\r\nDate\tTime\t\t\r\n2024-03-01\t06:00:00\t\t\r\n"
                             "\t\t\t\r\n\t\t\t\r\n\t\t\t\r\n"));
}

// --- chart stack copy ---------------------------------------------------------------------------

TEST(TClip, CopyCharts_StacksTheChartsTopFirstAtTheirSize)
{
    TReportDir dir;
    ASSERT_TRUE(dir.IsValid());
    QWidget box;
    new QLabel(QStringLiteral("not a chart"), &box);
    std::vector<TPerChart*> aCharts;
    for (int i = 0; i < 3; ++i) {
        auto* chart = new TPerChart(dir.Cfg(), &box);
        chart->resize(784, 250);
        aCharts.push_back(chart);
    }
    // Tell the top chart from the others by its background.
    aCharts[0]->setBackground(QBrush(Qt::red));
    aCharts[0]->axisRect()->setBackground(QBrush(Qt::red));

    TClip::CopyCharts(&box);
    const QImage img = QGuiApplication::clipboard()->image();
    ASSERT_EQ(img.size(), QSize(784, 750));
    EXPECT_EQ(QColor(img.pixel(3, 3)), QColor(Qt::red));
    EXPECT_EQ(QColor(img.pixel(3, 253)), QColor(Qt::white));
    EXPECT_EQ(QColor(img.pixel(3, 503)), QColor(Qt::white));
}

TEST(TClip, CopyCharts_WithoutChartsLeavesTheClipboardAlone)
{
    QGuiApplication::clipboard()->setText(QStringLiteral("kept"));
    QWidget box;
    new QLabel(QStringLiteral("not a chart"), &box);
    TClip::CopyCharts(&box);
    TClip::CopyCharts(nullptr);
    EXPECT_EQ(QGuiApplication::clipboard()->text(), QStringLiteral("kept"));
}
