#include "output/printtable.h"

#include <algorithm>

namespace {

// A text alone on its row (a note, "None", "No limits") runs on to the right like a
// title and does not widen its column.
bool Lone(const std::vector<TMarkedText>& row)
{
    int n = 0;
    for (const TMarkedText& mt : row)
        n += mt.sText.isEmpty() ? 0 : 1;
    return n <= 1;
}

} // namespace

bool TPrintTable::IsHeadRow(const std::vector<TMarkedText>& row)
{
    bool bAny = false;
    for (const TMarkedText& mt : row) {
        if (mt.sText.isEmpty())
            continue;
        if (!mt.bBold || mt.bName)
            return false;
        bAny = true;
    }
    return bAny;
}

QStringList TPrintTable::Wrap(const QString& s, int cxMax) const
{
    QStringList sl;
    QString sLine;
    for (const QString& sWord : s.split(QLatin1Char(' '), Qt::SkipEmptyParts)) {
        const QString sLonger = sLine.isEmpty() ? sWord : sLine + QLatin1Char(' ') + sWord;
        if (!sLine.isEmpty() && measureFn(sLonger, nPoints, true) > cxMax) {
            sl << sLine;
            sLine = sWord;
        } else {
            sLine = sLonger;
        }
    }
    if (!sLine.isEmpty() || sl.isEmpty())
        sl << sLine;
    return sl;
}

void TPrintTable::Measure(const std::vector<std::vector<TMarkedText>>& aRows, int nCols, const TMeasureFn& measure)
{
    anWidth.assign(size_t(nCols), 0);
    // A letter O's width parts the columns: enough to read them apart, little
    // enough for a table of many columns to keep a readable type.
    cxGap = measure(QStringLiteral("O"), nPoints, false);
    for (const std::vector<TMarkedText>& row : aRows) {
        if (Lone(row))
            continue;
        const bool bHead = bWrapHeads && IsHeadRow(row);
        for (int c = 0; c < int(row.size()); ++c) {
            const TMarkedText& mt = row[size_t(c)];
            if (mt.sText.isEmpty() || mt.bName)
                continue;
            int cx = 0;
            if (bHead) {
                // Wrapped, a heading needs only its longest word.
                for (const QString& sWord : mt.sText.split(QLatin1Char(' '), Qt::SkipEmptyParts))
                    cx = std::max(cx, measure(sWord, nPoints, mt.bBold));
            } else {
                cx = measure(mt.sText, nPoints, mt.bBold);
            }
            anWidth[size_t(c)] = std::max(anWidth[size_t(c)], cx);
        }
    }
}

TPrintTable TPrintTable::Fit(const std::vector<std::vector<TMarkedText>>& aRows, int cxBody,
                             const TMeasureFn& measure)
{
    int nCols = 0;
    for (const std::vector<TMarkedText>& row : aRows)
        nCols = std::max(nCols, int(row.size()));

    TPrintTable tbl;
    tbl.measureFn = measure;
    // The width of the columns anCols side by side, gaps between them.
    auto span = [&tbl](const std::vector<int>& anCols) {
        int cx = 0;
        for (size_t i = 0; i < anCols.size(); ++i)
            cx += (i > 0 ? tbl.cxGap : 0) + tbl.anWidth[size_t(anCols[i])];
        return cx;
    };
    std::vector<int> anAll(static_cast<size_t>(nCols));
    for (int c = 0; c < nCols; ++c)
        anAll[size_t(c)] = c;

    bool bFits = false;
    for (int nPts = MaxPoints; nPts >= MinPoints && !bFits; --nPts) {
        for (const bool bWrap : {false, true}) {
            tbl.nPoints = nPts;
            tbl.bWrapHeads = bWrap;
            tbl.Measure(aRows, nCols, measure);
            if (span(anAll) <= cxBody) {
                bFits = true;
                break;
            }
        }
    }

    // Parts: the key columns, then as many of the others as fit; at least one.
    const int nKey = std::min(nCols, KeyColumns);
    std::vector<int> anKey(anAll.begin(), anAll.begin() + nKey);
    int c = bFits ? nCols : nKey;
    if (bFits)
        tbl.aParts.push_back(TPart{anAll, {}});
    while (c < nCols) {
        TPart part{anKey, {}};
        do {
            part.anCols.push_back(c++);
        } while (c < nCols && [&] {
            std::vector<int> an = part.anCols;
            an.push_back(c);
            return span(an) <= cxBody;
        }());
        tbl.aParts.push_back(std::move(part));
    }
    if (tbl.aParts.empty())
        tbl.aParts.push_back(TPart{anAll, {}});

    for (TPart& part : tbl.aParts) {
        int x = 0;
        for (size_t i = 0; i < part.anCols.size(); ++i) {
            part.anX.push_back(x);
            x += tbl.anWidth[size_t(part.anCols[i])] + tbl.cxGap;
        }
        tbl.cxWidest = std::max(tbl.cxWidest, span(part.anCols));
    }
    return tbl;
}

QStringList TPrintTable::Lines(const std::vector<std::vector<TMarkedText>>& aRows, int r, int c) const
{
    const std::vector<TMarkedText>& row = aRows[size_t(r)];
    if (c >= int(row.size()))
        return QStringList();
    const QString& s = row[size_t(c)].sText;
    if (s.isEmpty())
        return QStringList();
    if (bWrapHeads && IsHeadRow(row) && !Lone(row))
        return Wrap(s, anWidth[size_t(c)]);
    return QStringList(s);
}

int TPrintTable::RowLines(const std::vector<std::vector<TMarkedText>>& aRows, int r) const
{
    int n = 1;
    for (int c = 0; c < int(aRows[size_t(r)].size()); ++c)
        n = std::max(n, int(Lines(aRows, r, c).size()));
    return n;
}
