// Program start: the main window when the program is started without arguments;
// any argument makes it a command-line run for scheduled jobs (no window, no display
// needed), so that a mistyped word gets the usage and exit status 2 instead of a
// window that a cron job would wait on for ever.
#include "app/application.h"
#include "app/main.h"
#include "output/cmdline.h"
#include "platform/platform.h"

#include <QTextStream>

namespace {

QtMessageHandler fnQtMessages = nullptr;

// Without a session, as under cron, the offscreen platform warns that XDG_RUNTIME_DIR
// is not set and takes a folder of its own in /tmp: nothing the user can act on,
// which would only be mailed every night. Every other message passes on.
void CommandLineMessage(QtMsgType type, const QMessageLogContext& context, const QString& sMsg)
{
    if (type == QtWarningMsg && sMsg.contains(QLatin1String("XDG_RUNTIME_DIR not set")))
        return;
    if (fnQtMessages)
        fnQtMessages(type, context, sMsg);
}

} // namespace

int main(int argc, char** argv)
{
    TPlatform::KeepFreedMemory();
    QStringList slArgs;
    for (int i = 0; i < argc; ++i)
        slArgs.append(QString::fromLocal8Bit(argv[i]));
    const bool bCommandLine = TCmdLine::Wants(slArgs);
    if (bCommandLine) {
        if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
            qputenv("QT_QPA_PLATFORM", "offscreen");
        fnQtMessages = qInstallMessageHandler(CommandLineMessage);
    }

    // Qt reads options of its own (-platform, -style, ...) from the arguments it is
    // given; it is given none, so that every argument is the program's and a word that
    // is no option of it is refused. Qt's choices are made with its environment
    // variables instead (QT_QPA_PLATFORM, QT_STYLE_OVERRIDE, QT_SCALE_FACTOR).
    int argcQt = 1;
    TApplication app(argcQt, argv);
    if (bCommandLine) {
        QTextStream out(stdout);
        QTextStream err(stderr);
        return TCmdLine::Run(slArgs, out, err, TPlatform::StdoutIsTerminal());
    }
    TformMain formMain;
    formMain.show();
    return app.exec();
}
