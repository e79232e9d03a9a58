#pragma once

#include "reports/markup.h"

#include <QStringList>

#include <functional>
#include <vector>

// How the columns of a grid go across the printed page. Each column is as wide as its
// widest cell, measured in the type the cell prints in (monitor titles, and a text
// that is alone on its row, run on to the right and are not counted). A table wider
// than the page body is tried in smaller type, down to MinPoints, first as it is and
// then with its headings wrapped between words onto more lines. A table still too
// wide is cut into parts printed one after the other, each part starting a new page
// and repeating the table's first two columns (the date and the time) in front of as
// many of the other columns as fit.
class TPrintTable final
{
public:
    // Width of s in device pixels in type of nPoints, bold or regular.
    using TMeasureFn = std::function<int(const QString& s, int nPoints, bool bBold)>;

    static constexpr int MaxPoints = 8;
    static constexpr int MinPoints = 6;
    // The columns every part of a cut table repeats.
    static constexpr int KeyColumns = 2;

    struct TPart
    {
        std::vector<int> anCols; // the grid columns of the part, left to right
        std::vector<int> anX;    // where each starts, from the left margin
    };

    // The layout of aRows (the shown cells, aRows[r][c]) for a body cxBody wide.
    static TPrintTable Fit(const std::vector<std::vector<TMarkedText>>& aRows, int cxBody,
                           const TMeasureFn& measure);

    // A heading row: every text on it is bold and none is a monitor title.
    static bool IsHeadRow(const std::vector<TMarkedText>& row);

    // The lines cell c of row r prints as: one, or a wrapped heading's lines.
    QStringList Lines(const std::vector<std::vector<TMarkedText>>& aRows, int r, int c) const;
    // The number of text lines row r takes.
    int RowLines(const std::vector<std::vector<TMarkedText>>& aRows, int r) const;

    // The width of the widest part, from the left margin to the end of its last text.
    int Width() const { return cxWidest; }

    int nPoints = MaxPoints; // of the table's text; titles print two points larger
    bool bWrapHeads = false;
    std::vector<TPart> aParts;
    std::vector<int> anWidth; // of each column's widest text

private:
    // Column widths at nPoints, headings wrapped or not; the gap between columns in cxGap.
    void Measure(const std::vector<std::vector<TMarkedText>>& aRows, int nCols, const TMeasureFn& measure);
    // Greedy word wrap of a heading to cxMax in the table's type.
    QStringList Wrap(const QString& s, int cxMax) const;

    TMeasureFn measureFn;
    int cxGap = 0;
    int cxWidest = 0;
};
