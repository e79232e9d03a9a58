#include "app/application.h"

#include "platform/datefmt.h"
#include "platform/product.h"
#include "platform/writeerror.h"

#include <QIcon>
#include <QLocale>
#include <QMessageBox>

TApplication::TApplication(int& argc, char** argv) : QApplication(argc, argv)
{
    SetNames();
}

void TApplication::SetNames()
{
    setApplicationName(TProduct::AppTitle());
    setApplicationVersion(TProduct::Version());
    // Numbers are written and read with "." whatever the user's region, in the window
    // and on the command line alike (spin boxes and chart axes follow the default
    // locale); only the month and weekday names follow the user's locale.
    QLocale::setDefault(QLocale::c());
    TDateFmt::SetNamesLocale(QLocale::system());
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
