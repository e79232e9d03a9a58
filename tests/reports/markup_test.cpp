#include "reports/markup.h"
#include "reports/stringgrid.h"

#include <gtest/gtest.h>

namespace {
struct TShownCase
{
    const char* pszStored;
    const char* pszShown;
    bool bBold = false;
    bool bName = false;
};

void ExpectShown(const TShownCase& c, bool bCaret)
{
    const TMarkedText mt = TMarkup::Shown(QString::fromUtf8(c.pszStored), bCaret);
    EXPECT_EQ(mt.sText.toStdString(), c.pszShown) << c.pszStored;
    if (!mt.sText.isEmpty()) {
        EXPECT_EQ(mt.bBold, c.bBold) << c.pszStored;
        EXPECT_EQ(mt.bName, c.bName) << c.pszStored;
    }
}
} // namespace

// ---- Shown text and style ------------------------------------------------------

TEST(TMarkup, Shown_TablesAndPrintingRules)
{
    // clang-format off
    const TShownCase aCases[] = {
        {"~name~North Gate", "North Gate", true, true}, {"~name~A~B", "B", true, true},
        {"~names~x", "x", true},  {"~h~.Date", "Date", true}, {"~abc", "abc", true},
        {"~h~", ""},              {"~name~", ""},             {"^dB(A)", "dB(A)", true},
        {"^3", "3", true},        {"~h~^x", "x", true},       {"^.x", ".x", true},
        {"..x", ".x"},            {".", ""},                  {"^", ""},
        {"-", ""},                {"-12.5", ""},              {"^-3", ""},
        {"55.3", "55.3"},         {"", ""},
    };
    // clang-format on
    for (const TShownCase& c : aCases)
        ExpectShown(c, true);
}

TEST(TMarkup, Shown_ListsLeaveCaretAlone)
{
    const TShownCase aCases[] = {{"^3", "^3"}, {"~h~.Time", "Time", true}, {".x", "x"}, {"-1", ""}};
    for (const TShownCase& c : aCases)
        ExpectShown(c, false);
}

TEST(TMarkup, Shown_LowTagGreyNotBoldOtherTagsNotGrey)
{
    const TMarkedText low = TMarkup::Shown(QStringLiteral("~low~48.2"));
    EXPECT_EQ(low.sText, QStringLiteral("48.2"));
    EXPECT_TRUE(low.bDim);
    EXPECT_FALSE(low.bBold);
    // Only the exact tag greys: a longer tag and the other markup stay as they were.
    for (const char* psz : {"~lower~x", "~h~x", "^x", "~name~low", "x~low~"})
        EXPECT_FALSE(TMarkup::Shown(QString::fromLatin1(psz)).bDim) << psz;
    EXPECT_TRUE(TMarkup::Shown(QStringLiteral("~lower~x")).bBold);
}

// An excluded value keeps its text (the copied table reads as before) and is neither
// bold nor grey; the reasons ride in the tag, which must not show.
TEST(TMarkup, Shown_ExcludedValueKeepsItsTextWithTheReasonsApart)
{
    const QString sStored = TMarkup::Excluded(QStringLiteral("62.3"), QStringLiteral("rain, works"));
    const TMarkedText mt = TMarkup::Shown(sStored);
    EXPECT_EQ(mt.sText, QStringLiteral("62.3"));
    EXPECT_TRUE(mt.bExcluded);
    EXPECT_EQ(mt.sReasons, QStringLiteral("rain, works"));
    EXPECT_FALSE(mt.bBold);
    EXPECT_FALSE(mt.bDim);
    // Without reasons, or without a value, nothing is marked.
    EXPECT_EQ(TMarkup::Excluded(QStringLiteral("62.3"), QString()), QStringLiteral("62.3"));
    EXPECT_EQ(TMarkup::Excluded(QString(), QStringLiteral("rain")), QString());
    // A "~" in the reasons would have cut the tag short and shown part of them.
    const TMarkedText odd = TMarkup::Shown(TMarkup::Excluded(QStringLiteral("50.1"), QStringLiteral("a~b")));
    EXPECT_EQ(odd.sText, QStringLiteral("50.1"));
    EXPECT_EQ(odd.sReasons, QStringLiteral("a b"));
    for (const char* psz : {"~h~x", "~low~x", "~xray~x", "x~x=~"})
        EXPECT_FALSE(TMarkup::Shown(QString::fromLatin1(psz)).bExcluded) << psz;
}

TEST(TMarkup, Shown_MarkedTextCutAt64PlainValueWhole)
{
    const QString s70(70, u'x');
    const QString s64(64, u'x');
    EXPECT_EQ(TMarkup::Shown(QStringLiteral("~name~") + s70).sText, s64);
    EXPECT_EQ(TMarkup::Shown(u'.' + s70).sText, s64);
    EXPECT_EQ(TMarkup::Shown(u'^' + s70).sText, s64);
    EXPECT_EQ(TMarkup::Shown(s70).sText, s70);
}

// ---- TStringGrid ----------------------------------------------------------------

TEST(TStringGrid, CellsBeyondCountsKeptUntilCountsGrowOrClear)
{
    TStringGrid grid;
    grid.SetColCount(2);
    grid.SetCell(0, 5, QStringLiteral("a"));
    grid.SetCell(4, 1, QStringLiteral("b")); // wider than any row so far
    EXPECT_EQ(grid.RowCount(), 1);
    EXPECT_EQ(grid.ColCount(), 2);
    EXPECT_TRUE(grid.Cells(9, 99).isEmpty());
    grid.SetRowCount(6);
    grid.SetColCount(5);
    EXPECT_EQ(grid.Cells(0, 5), QStringLiteral("a"));
    EXPECT_EQ(grid.Cells(4, 1), QStringLiteral("b"));

    grid.Clear();
    EXPECT_EQ(grid.RowCount(), 1);
    EXPECT_EQ(grid.ColCount(), 1);
    EXPECT_TRUE(grid.Cells(0, 5).isEmpty());
    EXPECT_TRUE(grid.Cells(4, 1).isEmpty());
}

TEST(TStringGrid, DefaultWidthDropsSingleColumnWidths)
{
    TStringGrid grid;
    grid.SetColWidth(1, 80);
    grid.SetDefaultColWidth(60);
    grid.SetColWidth(0, 80);
    EXPECT_EQ(grid.ColWidth(0), 80);
    EXPECT_EQ(grid.ColWidth(1), 60);
}
