#include "reports/stringgrid.h"

#include <algorithm>

namespace {
const QString sEmpty;
}

void TStringGrid::SetRowCount(int n)
{
    nRows = std::max(n, 1);
    Reserve(nCols - 1, nRows - 1);
}

void TStringGrid::SetColCount(int n)
{
    nCols = std::max(n, 1);
    Reserve(nCols - 1, nRows - 1);
}

const QString& TStringGrid::Cells(int nCol, int nRow) const
{
    if (nCol < 0 || nRow < 0 || nCol >= nStride || nRow >= nStoredRows)
        return sEmpty;
    return aCells[size_t(nRow) * size_t(nStride) + size_t(nCol)];
}

void TStringGrid::SetCell(int nCol, int nRow, const QString& s)
{
    if (nCol < 0 || nRow < 0)
        return;
    Reserve(nCol, nRow);
    aCells[size_t(nRow) * size_t(nStride) + size_t(nCol)] = s;
}

void TStringGrid::Clear()
{
    nRows = 1;
    nCols = 1;
    nStride = 1;
    nStoredRows = 1;
    aCells.assign(1, QString());
}

void TStringGrid::SetDefaultColWidth(int n)
{
    nDefaultColWidth = n;
    anColWidths.clear();
}

int TStringGrid::ColWidth(int nCol) const
{
    if (nCol >= 0 && size_t(nCol) < anColWidths.size() && anColWidths[size_t(nCol)] > 0)
        return anColWidths[size_t(nCol)];
    return nDefaultColWidth;
}

void TStringGrid::SetColWidth(int nCol, int n)
{
    if (nCol < 0)
        return;
    if (size_t(nCol) >= anColWidths.size())
        anColWidths.resize(size_t(nCol) + 1, 0);
    anColWidths[size_t(nCol)] = n;
}

void TStringGrid::Reserve(int nCol, int nRow)
{
    if (nCol >= nStride) {
        // A wider row layout: rare (a load sets its column count before any cell).
        const int nNewStride = nCol + 1;
        std::vector<QString> aNew(size_t(nStoredRows) * size_t(nNewStride));
        for (int r = 0; r < nStoredRows; ++r)
            for (int c = 0; c < nStride; ++c)
                aNew[size_t(r) * size_t(nNewStride) + size_t(c)] =
                    std::move(aCells[size_t(r) * size_t(nStride) + size_t(c)]);
        aCells = std::move(aNew);
        nStride = nNewStride;
    }
    if (nRow >= nStoredRows) {
        nStoredRows = nRow + 1;
        aCells.resize(size_t(nStoredRows) * size_t(nStride));
    }
}
