#include "views/almtbl.h"
#include "views/markdelegate.h"
#include "views/pertbl.h"

#include "monitors/monitor.h"
#include "settings/cfg.h"

#include "views/tickedmonitors.h"

#include <QAbstractItemModelTester>
#include <QApplication>
#include <QListWidget>
#include <QPainter>
#include <QStandardItemModel>
#include <QTest>
#include <QWheelEvent>

#include <gtest/gtest.h>

namespace {
const QDateTime dt7 = QDate(2024, 3, 7).startOfDay();

class TGridViewTest : public TTickedMonitorsTest
{
protected:
    QWidget page;
};

void Wheel(QWidget* viewport, int nDelta)
{
    const QPointF pt(10, 10);
    QWheelEvent ev(pt, viewport->mapToGlobal(pt), QPoint(), QPoint(0, nDelta), Qt::NoButton, Qt::NoModifier,
                   Qt::NoScrollPhase, false);
    QApplication::sendEvent(viewport, &ev);
    EXPECT_TRUE(ev.isAccepted());
}

// Dark pixels of one 100 x 18 cell drawn by the delegate, and where they lie.
int Ink(const TMarkDelegate& delegate, const char* pszCell, QRect* rcInk = nullptr)
{
    QStandardItemModel model(1, 1);
    model.setData(model.index(0, 0), QString::fromUtf8(pszCell));
    QImage img(100, 18, QImage::Format_RGB32);
    QStyleOptionViewItem opt;
    opt.rect = img.rect();
    opt.palette.setColor(QPalette::Base, Qt::white);
    opt.palette.setColor(QPalette::Text, Qt::black);
    opt.font.setPointSize(8);
    QPainter painter(&img);
    delegate.paint(&painter, opt, model.index(0, 0));
    painter.end();
    int nInk = 0;
    QRect rc;
    for (int y = 0; y < img.height(); ++y)
        for (int x = 0; x < img.width(); ++x)
            if (qGray(img.pixel(x, y)) < 128) {
                ++nInk;
                rc |= QRect(x, y, 1, 1);
            }
    if (rcInk)
        *rcInk = rc;
    return nInk;
}
} // namespace

TEST_F(TGridViewTest, LoadTable_TickedRowIsCatalogueEntry)
{
    TPerTable tbl(cfg, mons, &page);
    QAbstractItemModelTester tester(tbl.model(), QAbstractItemModelTester::FailureReportingMode::Fatal);
    dir.Write(QStringLiteral("M01"), dt7.date(), "per-07-0060.csv", TDayDir::FullDay60(".Time,LAeq"));
    Tick(1);
    tbl.LoadTable(dt7, dt7, 60, &chklstMon);
    EXPECT_EQ(tbl.Cells(0, 0), QStringLiteral("~name~North Gate"));
    EXPECT_EQ(tbl.model()->rowCount(), 28);
    EXPECT_EQ(tbl.model()->columnCount(), 6);
    EXPECT_EQ(tbl.model()->data(tbl.model()->index(27, 2)).toString(), QStringLiteral("51.3"));
    EXPECT_EQ(tbl.columnWidth(1), 80);
    EXPECT_EQ(tbl.columnWidth(2), 60);

    tbl.ClearGrid();
    EXPECT_EQ(tbl.RowCount(), 1);
    EXPECT_EQ(tbl.ColCount(), 1);
    EXPECT_EQ(tbl.model()->rowCount(), 1);
    EXPECT_TRUE(tbl.Cells(0, 0).isEmpty());
    EXPECT_TRUE(tbl.Cells(0, 2).isEmpty());
}

TEST_F(TGridViewTest, Wheel_OneRowPerNotchAndClampsAtBothEnds)
{
    TAlmTable tbl(cfg, mons, &page);
    Tick(0);
    tbl.LoadTable(dt7, dt7.addDays(2), 60, &chklstMon);
    ASSERT_EQ(tbl.RowCount(), 3 + 72 + 2);
    page.resize(400, 200);
    page.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&page));

    Wheel(tbl.viewport(), -120);
    EXPECT_EQ(tbl.TopRow(), 1);
    Wheel(tbl.viewport(), -60); // half a notch waits for the other half
    EXPECT_EQ(tbl.TopRow(), 1);
    Wheel(tbl.viewport(), -60);
    EXPECT_EQ(tbl.TopRow(), 2);
    Wheel(tbl.viewport(), 120);
    EXPECT_EQ(tbl.TopRow(), 1);

    for (int i = 0; i < 100; ++i)
        Wheel(tbl.viewport(), -120);
    EXPECT_EQ(tbl.TopRow(), tbl.RowCount() - tbl.VisibleRowCount());
    EXPECT_EQ(tbl.rowViewportPosition(tbl.RowCount() - 1) + 18,
              tbl.viewport()->height()); // last row at the bottom
    for (int i = 0; i < 100; ++i)
        Wheel(tbl.viewport(), 120);
    EXPECT_EQ(tbl.TopRow(), 0);
}

TEST(TMarkDelegate, Paint_BoldForMarkedCellsNothingForBlankOnes)
{
    const TMarkDelegate tbl(true);
    const int nPlain = Ink(tbl, "888");
    QRect rcInk;
    const int nBold = Ink(tbl, "^888", &rcInk);
    EXPECT_GT(nPlain, 0);
    EXPECT_GT(nBold, nPlain);
    EXPECT_EQ(Ink(tbl, "~h~888"), nBold);
    EXPECT_GE(rcInk.top(), 2); // 2 pixels below the cell's top
    EXPECT_LE(rcInk.left(), 2);
    EXPECT_EQ(Ink(tbl, "-888"), 0);
    EXPECT_EQ(Ink(tbl, "~h~"), 0);
    // The lists draw a leading caret as it stands, in regular type: less ink than
    // bold digits with a caret.
    const TMarkDelegate lst(false);
    EXPECT_GT(Ink(lst, "^888"), nPlain);
    EXPECT_LT(Ink(lst, "^888"), nBold + Ink(lst, "^"));
}
