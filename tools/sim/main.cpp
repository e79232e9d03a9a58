// tarvik-sim: writes a data folder as the supervisor would, and with --live keeps
// rewriting today's files so a viewer's automatic refresh has something to find.

#include "platform/product.h"
#include "platform/supervisorlink.h"
#include "platform/supervisorserver.h"
#include "sim/simulator.h"

#include <QCommandLineParser>
#include <QCoreApplication>
#include <QDateTime>
#include <QDir>
#include <QThread>

#include <csignal>
#include <cstdio>
#include <memory>
#include <optional>

namespace {

constexpr int kExitUsage = 2;
constexpr int kLiveIntervalMs = 5000;

volatile std::sig_atomic_t bStopRequested = 0;

extern "C" void OnStopSignal(int)
{
    bStopRequested = 1;
}

void PrintErr(const QString& s)
{
    std::fprintf(stderr, "%s\n", qPrintable(s));
}

std::optional<int> ParseInt(const QString& s, int nMin, int nMax)
{
    bool bOk = false;
    const int n = s.trimmed().toInt(&bOk);
    if (!bOk || n < nMin || n > nMax)
        return std::nullopt;
    return n;
}

std::optional<QList<int>> ParsePeriods(const QString& s)
{
    QList<int> an;
    for (const QString& sPart : s.split(QLatin1Char(','))) {
        const auto n = ParseInt(sPart, 1, 1440);
        // A day must split into whole periods, and each file name once.
        if (!n || 1440 % *n != 0 || an.contains(*n))
            return std::nullopt;
        an << *n;
    }
    return an;
}

std::optional<QDate> ParseDate(const QString& s)
{
    const QDate d = QDate::fromString(s, QStringLiteral("yyyy-MM-dd"));
    return d.isValid() ? std::optional<QDate>(d) : std::nullopt;
}

// Reads the options into opt; the text of the first fault, or the empty text.
QString ReadOptions(const QCommandLineParser& cmd, TSimOptions& opt)
{
    if (!cmd.positionalArguments().isEmpty())
        return QStringLiteral("Unexpected argument: %1").arg(cmd.positionalArguments().constFirst());
    if (cmd.value(QStringLiteral("out")).isEmpty())
        return QStringLiteral("--out DIR is required");
    opt.sDataPath = QDir::cleanPath(QDir::current().absoluteFilePath(cmd.value(QStringLiteral("out"))));

    const auto nMonitors = ParseInt(cmd.value(QStringLiteral("monitors")), 1, 99);
    const auto nDays = ParseInt(cmd.value(QStringLiteral("days")), 1, 36600);
    bool bSeedOk = false;
    const quint32 nSeed = cmd.value(QStringLiteral("seed")).trimmed().toUInt(&bSeedOk);
    const auto nProfile = ParseInt(cmd.value(QStringLiteral("profile-days")), 0, 36600);
    const auto anPeriods = ParsePeriods(cmd.value(QStringLiteral("periods")));
    if (!nMonitors)
        return QStringLiteral("--monitors takes a number from 1 to 99");
    if (!nDays)
        return QStringLiteral("--days takes a number from 1");
    if (!bSeedOk)
        return QStringLiteral("--seed takes a whole number from 0");
    if (!nProfile)
        return QStringLiteral("--profile-days takes a number from 0");
    if (!anPeriods)
        return QStringLiteral("--periods takes distinct minutes that divide a day, e.g. 5,10,15,30,60");
    opt.nMonitors = *nMonitors;
    opt.nSeed = nSeed;
    opt.nProfileDays = *nProfile;
    opt.anPeriods = *anPeriods;

    const QDateTime dtNow = QDateTime::currentDateTime();
    const QDate dToday = dtNow.date();
    opt.dtTo = dToday;
    if (cmd.isSet(QStringLiteral("to"))) {
        const auto d = ParseDate(cmd.value(QStringLiteral("to")));
        if (!d)
            return QStringLiteral("--to takes a date YYYY-MM-DD");
        opt.dtTo = *d;
    }
    opt.dtFrom = opt.dtTo.addDays(1 - *nDays);
    if (cmd.isSet(QStringLiteral("from"))) {
        const auto d = ParseDate(cmd.value(QStringLiteral("from")));
        if (!d)
            return QStringLiteral("--from takes a date YYYY-MM-DD");
        opt.dtFrom = *d;
    }
    if (opt.dtFrom > opt.dtTo)
        return QStringLiteral("--from lies after --to");
    // Today is still going on: nothing after the present moment exists yet.
    if (opt.dtTo == dToday)
        opt.tmUpTo = dtNow.time();
    if (cmd.isSet(QStringLiteral("live")) && opt.dtTo != dToday)
        return QStringLiteral("--live needs a range that ends today");
    return QString();
}

// Rewrites today's files every few seconds until SIGINT or SIGTERM. A new day
// finishes the old one first, so yesterday ends complete. Like the real supervisor
// it listens on its local socket: a viewer's wake message makes it write at once.
int RunLive(TSimOptions opt)
{
    std::signal(SIGINT, OnStopSignal);
    std::signal(SIGTERM, OnStopSignal);
    auto sim = std::make_unique<TSimulator>(opt);
    TSupervisorServer server(nullptr);
    bool bWoken = false;
    QObject::connect(&server, &TSupervisorServer::Message, &server, [&bWoken](int nMessage) {
        if (nMessage == TSupervisorLink::WakeMessage)
            bWoken = true;
    });
    const bool bListening = server.Listen();
    std::printf("Live: rewriting today's files every %d s%s; Ctrl+C stops\n", kLiveIntervalMs / 1000,
                bListening ? ", or when a viewer wakes it" : "");
    std::fflush(stdout);
    while (!bStopRequested) {
        bWoken = false;
        for (int nWaited = 0; nWaited < kLiveIntervalMs && !bStopRequested && !bWoken; nWaited += 100) {
            QCoreApplication::processEvents();
            QThread::msleep(100);
        }
        if (bWoken)
            std::printf("Woken by a viewer: writing now\n");
        if (bStopRequested)
            break;
        const QDateTime dtNow = QDateTime::currentDateTime();
        if (dtNow.date() != opt.dtTo) {
            for (int iMon = 0; iMon < sim->MonitorCount(); ++iMon)
                sim->WriteDay(iMon, opt.dtTo);
            opt.dtTo = dtNow.date();
            sim = std::make_unique<TSimulator>(opt);
        }
        for (int iMon = 0; iMon < sim->MonitorCount(); ++iMon)
            sim->WriteDay(iMon, opt.dtTo, dtNow.time());
        if (!sim->LastError().isEmpty()) {
            PrintErr(sim->LastError());
            return 1;
        }
    }
    std::printf("Stopped\n");
    return 0;
}

} // namespace

int main(int argc, char* argv[])
{
    QCoreApplication app(argc, argv);
    QCoreApplication::setApplicationName(QStringLiteral("tarvik-sim"));
    QCoreApplication::setApplicationVersion(TProduct::Version());

    QCommandLineParser cmd;
    cmd.setApplicationDescription(QStringLiteral("Writes a simulated supervisor data folder."));
    cmd.addHelpOption();
    cmd.addVersionOption();
    cmd.addOptions({
        {QStringLiteral("out"), QStringLiteral("The data folder to write (created when missing)."),
         QStringLiteral("DIR")},
        {QStringLiteral("monitors"), QStringLiteral("Number of monitors, 1-99 (default 4)."),
         QStringLiteral("N"), QStringLiteral("4")},
        {QStringLiteral("from"), QStringLiteral("First day."), QStringLiteral("YYYY-MM-DD")},
        {QStringLiteral("to"), QStringLiteral("Last day (default today, written up to now)."),
         QStringLiteral("YYYY-MM-DD")},
        {QStringLiteral("days"), QStringLiteral("Number of days ending with the last day (default 45)."),
         QStringLiteral("N"), QStringLiteral("45")},
        {QStringLiteral("seed"), QStringLiteral("Random seed (default 1)."), QStringLiteral("S"),
         QStringLiteral("1")},
        {QStringLiteral("periods"), QStringLiteral("Period lengths in minutes (default 5,10,15,30,60)."),
         QStringLiteral("LIST"), QStringLiteral("5,10,15,30,60")},
        {QStringLiteral("profile-days"),
         QStringLiteral("One-second profiles for the last N days (default 7)."), QStringLiteral("N"),
         QStringLiteral("7")},
        {QStringLiteral("live"), QStringLiteral("Keep rewriting today's files until interrupted.")},
    });

    const auto usage = [&cmd](const QString& sFault) {
        PrintErr(QStringLiteral("tarvik-sim: ") + sFault);
        std::fprintf(stderr, "%s", qPrintable(cmd.helpText()));
        return kExitUsage;
    };
    if (!cmd.parse(QCoreApplication::arguments()))
        return usage(cmd.errorText());
    if (cmd.isSet(QStringLiteral("help"))) {
        std::printf("%s", qPrintable(cmd.helpText()));
        return 0;
    }
    // --help-all used to be taken for a run without --out (exit 2). Only the parser
    // itself prints Qt's options; it ends the program with status 0.
    if (cmd.isSet(QStringLiteral("help-all")))
        cmd.process(QStringList{QCoreApplication::arguments().constFirst(), QStringLiteral("--help-all")});
    if (cmd.isSet(QStringLiteral("version"))) {
        std::printf("tarvik-sim %s\n", qPrintable(TProduct::Version()));
        return 0;
    }
    TSimOptions opt;
    const QString sFault = ReadOptions(cmd, opt);
    if (!sFault.isEmpty())
        return usage(sFault);

    TSimulator sim(opt);
    sim.WriteAll();
    if (!sim.LastError().isEmpty()) {
        PrintErr(sim.LastError());
        return 1;
    }
    std::printf("%d monitors, %lld days, %d files written to %s\n", sim.MonitorCount(),
                qint64(opt.dtFrom.daysTo(opt.dtTo) + 1), sim.FilesWritten(), qPrintable(opt.sDataPath));
    std::fflush(stdout);
    return cmd.isSet(QStringLiteral("live")) ? RunLive(opt) : 0;
}
