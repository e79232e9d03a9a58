#include "output/gridtext.h"

#include "reports/stringgrid.h"

#include "reportdir.h"

#include <gtest/gtest.h>

// --- the text of a whole grid ------------------------------------------------------

TEST(TGridText, HeadingAndValueRows_TabAfterEveryCellCrLfAfterEveryRow)
{
    TStringGrid grid;
    grid.SetColCount(2);
    grid.SetRowCount(2);
    grid.SetCell(0, 0, QStringLiteral("~h~Date"));
    grid.SetCell(1, 0, QStringLiteral("~h~LAeq"));
    grid.SetCell(0, 1, QStringLiteral("2026-12-07"));
    grid.SetCell(1, 1, QStringLiteral("55.3"));
    EXPECT_EQ(TGridText::FromGrid(grid), QStringLiteral("Date\tLAeq\t\r\n2026-12-07\t55.3\t\r\n"));
}

TEST(TGridText, EmptyCellsAndCellsBeyondTheCountsKeepTheirPlace)
{
    TStringGrid grid;
    grid.SetColCount(3);
    grid.SetRowCount(2);
    grid.SetCell(0, 0, QStringLiteral("~name~North Gate"));
    grid.SetCell(2, 1, QStringLiteral("^4"));
    grid.SetCell(0, 5, QStringLiteral("not shown")); // written beyond the row count
    EXPECT_EQ(TGridText::FromGrid(grid), QStringLiteral("North Gate\t\t\t\r\n\t\t4\t\r\n"));
}

// --- one cell ------------------------------------------------------------------------

TEST(TGridText, CellText_TakesTheMarkupOff)
{
    EXPECT_EQ(TGridText::CellText(QStringLiteral("^dB(A)")), QStringLiteral("dB(A)"));
    EXPECT_EQ(TGridText::CellText(QStringLiteral("~h~.Time")), QStringLiteral("Time"));
    EXPECT_EQ(TGridText::CellText(QStringLiteral("-")), QString());
    EXPECT_EQ(TGridText::CellText(QStringLiteral("-12.5")), QString());
    EXPECT_EQ(TGridText::CellText(QStringLiteral("~name~A~B")), QStringLiteral("B"));
    EXPECT_EQ(TGridText::CellText(QStringLiteral("..x")), QStringLiteral(".x"));
    // A greyed summary value pastes as the number, ready for a spreadsheet.
    EXPECT_EQ(TGridText::CellText(QStringLiteral("~low~48.2")), QStringLiteral("48.2"));
    // A name is cut at 64 characters; a plain value is not.
    const QString sLong(70, QLatin1Char('n'));
    EXPECT_EQ(TGridText::CellText(QStringLiteral("~name~") + sLong), sLong.left(64));
    EXPECT_EQ(TGridText::CellText(sLong), sLong);
}
