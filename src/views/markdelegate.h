#pragma once

#include <QAbstractItemDelegate>

// Draws a grid cell from its stored markup: the background, then the shown text in
// regular or bold type (grey for a "~low~" value), its left edge at the cell's left
// and its top 2 pixels below the cell's top, not clipped to the cell. The cells of a
// selected row (the periodic table lets rows be selected) on a pale blue; no
// current-cell or focus marks.
class TMarkDelegate final : public QAbstractItemDelegate
{
    Q_OBJECT

public:
    // bCaret false for the lists, which draw a leading "^" as it stands.
    explicit TMarkDelegate(bool bCaret, QObject* parent = nullptr);
    Q_DISABLE_COPY_MOVE(TMarkDelegate)

    bool HandlesCaret() const { return bCaret; }

    void paint(QPainter* painter, const QStyleOptionViewItem& option,
               const QModelIndex& index) const override;
    QSize sizeHint(const QStyleOptionViewItem& option, const QModelIndex& index) const override;

private:
    bool bCaret;
};
