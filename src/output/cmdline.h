#pragma once

#include <QStringList>

class QTextStream;

// The program without its window, for scheduled jobs: an HTML export into a folder,
// one table printed as the clipboard would hold it, or the daily rating levels or
// the noise events as CSV. Settings are read for the defaults, never written.
class TCmdLine final
{
public:
    TCmdLine() = delete;

    // True when anything follows the program name (the first argument): the window
    // opens only without arguments, so that a mistyped word is refused, not a window
    // left open under a scheduler.
    static bool Wants(const QStringList& args);
    // Runs the command and returns the exit status: 0 done, 1 the run failed (message
    // on err), 2 bad arguments (message and usage on err). Needs a QApplication. The
    // export's progress lines go to out when it is a terminal, or with --progress.
    static int Run(const QStringList& args, QTextStream& out, QTextStream& err, bool bOutIsTerminal = true);

    static QString Usage();
};
