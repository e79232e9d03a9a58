#pragma once

#include <QString>

#include <vector>

// The cells of a grid view without the widget: rows x columns of texts, plus the
// column widths the loaders choose (pixels).
//
// As in the toolkit grids the loaders were written for, a cell may be written
// outside the current row and column counts: it is kept, and shows once the
// counts grow to include it. Cells(col, row) reads any position; outside what was
// ever written it is the empty text.
class TStringGrid final
{
public:
    TStringGrid() = default;
    Q_DISABLE_COPY_MOVE(TStringGrid)

    int RowCount() const { return nRows; }
    void SetRowCount(int n);
    int ColCount() const { return nCols; }
    void SetColCount(int n);

    const QString& Cells(int nCol, int nRow) const;
    void SetCell(int nCol, int nRow, const QString& s);

    // Every cell empty, then one row and one column. Column widths stay.
    void Clear();

    int DefaultColWidth() const { return nDefaultColWidth; }
    // Also drops every width set for a single column.
    void SetDefaultColWidth(int n);
    int ColWidth(int nCol) const;
    void SetColWidth(int nCol, int n);

private:
    void Reserve(int nCol, int nRow);

    int nRows = 1;
    int nCols = 1;
    // Storage, row after row, nStride cells each; it covers the counts and every
    // cell ever written since the last Clear.
    int nStride = 1;
    int nStoredRows = 1;
    std::vector<QString> aCells = std::vector<QString>(1);

    int nDefaultColWidth = 64;
    std::vector<int> anColWidths; // 0 = the default width
};
