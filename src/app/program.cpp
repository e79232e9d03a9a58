// Program start: a command-line run for scheduled jobs (no window, no display
// needed), or the main window.
#include "app/application.h"
#include "app/main.h"
#include "output/cmdline.h"
#include "platform/platform.h"

#include <QTextStream>

int main(int argc, char** argv)
{
    TPlatform::KeepFreedMemory();
    QStringList slArgs;
    for (int i = 0; i < argc; ++i)
        slArgs.append(QString::fromLocal8Bit(argv[i]));
    const bool bCommandLine = TCmdLine::Wants(slArgs);
    if (bCommandLine && qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");

    TApplication app(argc, argv);
    if (bCommandLine) {
        QTextStream out(stdout);
        QTextStream err(stderr);
        return TCmdLine::Run(app.arguments(), out, err);
    }
    TformMain formMain;
    formMain.show();
    return app.exec();
}
