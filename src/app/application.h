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

    // The program's name and version. No display name is set: the platform would
    // append it to every window caption ("Create HTML Reports — Tarvik Reporter"),
    // and each caption is exactly the window's own.
    static void SetNames();

    bool notify(QObject* receiver, QEvent* event) override;
};
