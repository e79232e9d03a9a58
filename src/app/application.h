#pragma once

#include <QApplication>

// The application object. A settings write that the file system refuses, raised inside
// an event handler, ends only that handler and is shown as an error message.
class TApplication final : public QApplication
{
    Q_OBJECT

public:
    TApplication(int& argc, char** argv);
    Q_DISABLE_COPY_MOVE(TApplication)

    bool notify(QObject* receiver, QEvent* event) override;
};
