#include "views/gridmodel.h"

#include "reports/markup.h"

TGridModel::TGridModel(QObject* parent) : QAbstractTableModel(parent) {}

void TGridModel::Reload(const std::function<void(TStringGrid&)>& fill)
{
    beginResetModel();
    // A reset that never ends leaves every attached view without rows to show, so
    // it ends also when fill throws.
    struct TEndReset
    {
        TGridModel* model;
        ~TEndReset() { model->endResetModel(); }
    } endReset{this};
    fill(grid);
}

int TGridModel::rowCount(const QModelIndex& parent) const
{
    return parent.isValid() ? 0 : grid.RowCount();
}

int TGridModel::columnCount(const QModelIndex& parent) const
{
    return parent.isValid() ? 0 : grid.ColCount();
}

QVariant TGridModel::data(const QModelIndex& index, int role) const
{
    if (!checkIndex(index, CheckIndexOption::IndexIsValid))
        return {};
    if (role == Qt::ToolTipRole) {
        // An excluded value tells why it is excluded.
        const QString& s = grid.Cells(index.column(), index.row());
        if (!s.startsWith(u'~'))
            return {};
        const TMarkedText mt = TMarkup::Shown(s);
        if (!mt.bExcluded)
            return {};
        return QStringLiteral("Excluded: ") + mt.sReasons;
    }
    if (role != Qt::DisplayRole)
        return {};
    return grid.Cells(index.column(), index.row());
}

Qt::ItemFlags TGridModel::flags(const QModelIndex& index) const
{
    // Selectable for the views that let rows be selected (the periodic table); the
    // others select nothing whatever the flags say.
    return index.isValid() ? Qt::ItemIsEnabled | Qt::ItemIsSelectable | Qt::ItemNeverHasChildren : Qt::NoItemFlags;
}
