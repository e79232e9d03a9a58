#include "app/datepicker.h"

#include <QCalendarWidget>
#include <QKeyEvent>
#include <QWheelEvent>

TDatePicker::TDatePicker(QWidget* parent) : QDateEdit(parent)
{
    setCalendarPopup(true);
    // The calendar lives in a pop-up window of its own; it closes after a pick, on
    // Esc and on a click elsewhere alike.
    if (QCalendarWidget* cal = calendarWidget()) {
        popup = cal->window();
        popup->installEventFilter(this);
    }
}

bool TDatePicker::event(QEvent* e)
{
    // Left unclaimed, the copy keys reach the window's shortcut instead of copying
    // the picker's text.
    if (e->type() == QEvent::ShortcutOverride && static_cast<QKeyEvent*>(e)->matches(QKeySequence::Copy)) {
        e->ignore();
        return false;
    }
    return QDateEdit::event(e);
}

bool TDatePicker::eventFilter(QObject* obj, QEvent* e)
{
    // Told once the pop-up has done its own closing, which may still set the date.
    if (obj == popup && e->type() == QEvent::Hide)
        QMetaObject::invokeMethod(this, &TDatePicker::CloseUp, Qt::QueuedConnection);
    return QDateEdit::eventFilter(obj, e);
}

void TDatePicker::keyReleaseEvent(QKeyEvent* e)
{
    QDateEdit::keyReleaseEvent(e);
    // A held key repeats its press and release; it is one key all the same.
    if (!e->isAutoRepeat())
        Q_EMIT KeyUp();
}

void TDatePicker::wheelEvent(QWheelEvent* e)
{
    e->ignore();
}
