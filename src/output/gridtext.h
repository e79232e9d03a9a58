#pragma once

#include <QString>

#include <functional>

class TStringGrid;

// A grid as tab-separated text that pastes into a spreadsheet: every cell of every
// row with the cell markup taken off, a TAB after every cell (the last one too) and
// CR LF after every row.
class TGridText final
{
public:
    TGridText() = delete;

    using TCellFn = std::function<QString(int nCol, int nRow)>;

    static QString FromGrid(const TStringGrid& grid);
    static QString FromCells(int nRows, int nCols, const TCellFn& fnCell);
    // What one stored cell becomes in the text.
    static QString CellText(const QString& sStored);
};
