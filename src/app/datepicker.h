#pragma once

#include <QDateEdit>

// A date picker of the top bar. The report follows a date the user has settled on,
// not every step of the editing: the picker says so when its calendar closes, with or
// without a choice (CloseUp), and when a key is released in it, whether or not the
// key changed the date (KeyUp). The mouse wheel does nothing here: a pointer passing
// over the picker would otherwise move the report by a year. The copy keys are left to
// the window, whose Edit > Copy copies the report, not the picker's text.
class TDatePicker final : public QDateEdit
{
    Q_OBJECT

public:
    explicit TDatePicker(QWidget* parent);
    Q_DISABLE_COPY_MOVE(TDatePicker)

Q_SIGNALS:
    void CloseUp();
    void KeyUp();

protected:
    bool event(QEvent* e) override;
    bool eventFilter(QObject* obj, QEvent* e) override;
    void keyReleaseEvent(QKeyEvent* e) override;
    void wheelEvent(QWheelEvent* e) override;

private:
    QWidget* popup = nullptr;
};
