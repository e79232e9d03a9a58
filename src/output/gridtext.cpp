#include "output/gridtext.h"

#include "reports/markup.h"
#include "reports/stringgrid.h"

QString TGridText::CellText(const QString& sStored)
{
    // The text copy drops a leading "^" in every grid, the lists included.
    return TMarkup::Shown(sStored, true).sText;
}

QString TGridText::FromCells(int nRows, int nCols, const TCellFn& fnCell)
{
    QString s;
    for (int nRow = 0; nRow < nRows; ++nRow) {
        for (int nCol = 0; nCol < nCols; ++nCol) {
            s += CellText(fnCell(nCol, nRow));
            s += QLatin1Char('\t');
        }
        s += QStringLiteral("\r\n");
    }
    return s;
}

QString TGridText::FromGrid(const TStringGrid& grid)
{
    return FromCells(grid.RowCount(), grid.ColCount(),
                     [&grid](int nCol, int nRow) { return grid.Cells(nCol, nRow); });
}
