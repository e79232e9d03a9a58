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

    // True when the arguments (the program name first) ask for --export, --table, --summary,
    // --events or --help.
    static bool Wants(const QStringList& args);
    // Runs the command and returns the exit status: 0 done, 1 the run failed (message
    // on err), 2 bad arguments (message and usage on err). Needs a QApplication.
    static int Run(const QStringList& args, QTextStream& out, QTextStream& err);

    static QString Usage();
};
