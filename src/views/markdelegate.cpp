#include "views/markdelegate.h"

#include "reports/markup.h"

#include <QPainter>

namespace {
constexpr int nTextTop = 2;
}

TMarkDelegate::TMarkDelegate(bool bCaret, QObject* parent) : QAbstractItemDelegate(parent), bCaret(bCaret) {}

void TMarkDelegate::paint(QPainter* painter, const QStyleOptionViewItem& option,
                          const QModelIndex& index) const
{
    painter->fillRect(option.rect, option.palette.base());
    const TMarkedText mt = TMarkup::Shown(index.data(Qt::DisplayRole).toString(), bCaret);
    if (mt.sText.isEmpty())
        return;
    // The painter is shared by every cell: the bold type must not reach the next one.
    painter->save();
    QFont font = option.font;
    font.setBold(mt.bBold);
    painter->setFont(font);
    // A value with too little data behind it is greyed, never left out.
    painter->setPen(mt.bDim ? QColor(0x80, 0x80, 0x80) : option.palette.color(QPalette::Text));
    const QFontMetrics fm(font);
    painter->drawText(QPoint(option.rect.left(), option.rect.top() + nTextTop + fm.ascent()), mt.sText);
    painter->restore();
}

QSize TMarkDelegate::sizeHint(const QStyleOptionViewItem& option, const QModelIndex& index) const
{
    const TMarkedText mt = TMarkup::Shown(index.data(Qt::DisplayRole).toString(), bCaret);
    QFont font = option.font;
    font.setBold(mt.bBold);
    const QFontMetrics fm(font);
    return {fm.horizontalAdvance(mt.sText), fm.height() + nTextTop};
}
