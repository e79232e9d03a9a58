#include "app/application.h"

#include "platform/product.h"
#include "platform/writeerror.h"

#include <QMessageBox>

TApplication::TApplication(int& argc, char** argv) : QApplication(argc, argv)
{
    SetNames();
}

void TApplication::SetNames()
{
    setApplicationName(TProduct::AppTitle());
    setApplicationVersion(TProduct::Version());
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
