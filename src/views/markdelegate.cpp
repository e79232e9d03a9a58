#include "views/markdelegate.h"

#include "reports/markup.h"

#include <QPainter>
#include <QStyle>

namespace {
constexpr int nTextTop = 2;
}

TMarkDelegate::TMarkDelegate(bool bCaret, QObject* parent) : QAbstractItemDelegate(parent), bCaret(bCaret) {}

void TMarkDelegate::paint(QPainter* painter, const QStyleOptionViewItem& option,
                          const QModelIndex& index) const
{
    // Only a view that lets rows be selected (the periodic table) has selected cells.
    painter->fillRect(option.rect, (option.state & QStyle::State_Selected) ? QColor(0xCC, 0xDD, 0xF5)
                                                                              : option.palette.base().color());
    const TMarkedText mt = TMarkup::Shown(index.data(Qt::DisplayRole).toString(), bCaret);
    if (mt.sText.isEmpty())
        return;
    // The painter is shared by every cell: the bold type must not reach the next one.
    painter->save();
    QFont font = option.font;
    font.setBold(mt.bBold);
    // A value of an excluded period is shown, in italic; its tooltip says why.
    font.setItalic(mt.bExcluded);
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
    font.setItalic(mt.bExcluded);
    const QFontMetrics fm(font);
    return {fm.horizontalAdvance(mt.sText), fm.height() + nTextTop};
}
