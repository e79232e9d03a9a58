#include "app/application.h"

#include "platform/product.h"
#include "platform/writeerror.h"

#include <QIcon>
#include <QMessageBox>

TApplication::TApplication(int& argc, char** argv) : QApplication(argc, argv)
{
    setApplicationName(TProduct::AppTitle());
    setApplicationDisplayName(TProduct::AppTitle());
    setApplicationVersion(TProduct::Version());
    // The installed desktop entry and icon: the desktop matches the windows to the
    // entry by this name, and the icon theme holds the icon once the program is installed.
    setDesktopFileName(QStringLiteral("example.kestrom.TarvikReporter"));
    setWindowIcon(QIcon::fromTheme(QStringLiteral("tarvik-reporter")));
}

bool TApplication::notify(QObject* receiver, QEvent* event)
{
    try {
        return QApplication::notify(receiver, event);
    } catch (const EWriteError& e) {
        QMessageBox::critical(activeWindow(), TProduct::AppTitle(), e.Message());
    }
    return false;
}
