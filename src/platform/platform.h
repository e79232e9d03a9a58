#pragma once

#include <QByteArray>
#include <QDateTime>
#include <QString>

#include <optional>

// The few operating-system services the program needs, in one place: the shared
// application-data folder, the desktop, the program's own folder, folder creation
// and the folder and file facts the catalogue scan and the refresh timer read.
// Every folder path returned here ends without a separator unless said otherwise.
class TPlatform final
{
public:
    TPlatform() = delete;

    // The machine-wide application-data folder that the supervisor and the reporter
    // share. On Linux the user's writable generic data folder; the environment
    // variable TARVIK_COMMON_APPDATA overrides it. Empty when none can be named.
    static QString CommonAppDataPath();

    // The current user's desktop folder; empty when the platform names none.
    static QString DesktopPath();

    // Full path of the running program file.
    static QString ProgramFilePath();

    // The platform's path separator as text ("/" here, "\" on Windows).
    static QString Sep();

    // A program file name as this platform spells it ("tarviksv" here, "tarviksv.exe" on Windows).
    static QString ExecutableName(const QString& sBaseName);

    // Creates a folder with all missing parents. True when the folder exists afterwards.
    static bool ForceDirectories(const QString& sPath);
    // Why ForceDirectories failed for sPath, in the system's words ("Permission
    // denied", "Not a directory"); empty where the system gives no reason.
    static QString FolderError(const QString& sPath);

    // True when sPath is a folder that carries no attribute beyond being a folder.
    // The catalogue scan lists only such folders: a hidden, read-only or
    // symbolic-link folder counts as carrying another attribute.
    static bool IsPlainDirectory(const QString& sPath);

    // Last-write time of a plain file at full resolution, in local time, from the
    // folder entry alone (the file is not opened, so this never waits on it);
    // invalid when there is no plain file at sPath.
    static QDateTime FileLastWrite(const QString& sPath);

    // The whole contents of a plain file of at most nMaxBytes. None when sPath is
    // missing or unreadable, names a folder, pipe, socket or device (also through a
    // symbolic link), or holds more than nMaxBytes: such a file can neither hold up
    // the program nor make it allocate without bound.
    static std::optional<QByteArray> ReadPlainFile(const QString& sPath, qint64 nMaxBytes);

    // Has the memory the program frees kept for its next use rather than handed back
    // to the system at once. A year's chart takes and frees megabytes at every plot,
    // and memory fresh from the system costs a page fault per page at first touch:
    // without this, each plot would pay for its memory anew, or not, as the heap
    // happens to lie. Called once, first thing in main. It pays: the year's periodic
    // chart plots in 12.7 ms and first paints in 8.2 ms with it, in 19.8 and 17.9 ms
    // without (bench_charts, medians of three), the year chart with no limits of
    // bench_limits in 18 ms against 32 to 39 ms.
    static void KeepFreedMemory();

    // The name the current user logged in with, as records of who did what carry it;
    // empty when the system names none.
    static QString LoginName();

    // True when standard output is a terminal rather than a file, a pipe or a mail
    // (cron hands a job's output to mail).
    static bool StdoutIsTerminal();
};
