#pragma once

#include "reports/stringgrid.h"

#include <QAbstractTableModel>

#include <functional>

// A grid's cells as a table model: the display text of a cell is its stored markup,
// which the view's delegate turns into what is drawn. Read-only.
class TGridModel final : public QAbstractTableModel
{
    Q_OBJECT

public:
    explicit TGridModel(QObject* parent = nullptr);
    Q_DISABLE_COPY_MOVE(TGridModel)

    const TStringGrid& Grid() const { return grid; }

    // Runs fill on the cells inside one model reset, which ends also when fill throws.
    void Reload(const std::function<void(TStringGrid&)>& fill);

    int rowCount(const QModelIndex& parent = QModelIndex()) const override;
    int columnCount(const QModelIndex& parent = QModelIndex()) const override;
    QVariant data(const QModelIndex& index, int role = Qt::DisplayRole) const override;
    Qt::ItemFlags flags(const QModelIndex& index) const override;

private:
    TStringGrid grid;
};
