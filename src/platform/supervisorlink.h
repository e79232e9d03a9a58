#pragma once

#include <QString>

// Reaching the supervisor program. A running supervisor listens on the local socket
// "Tarvik Supervisor"; waking it sends it the message number 1025 as one text line.
class TSupervisorLink final
{
public:
    TSupervisorLink() = delete;

    static QString SocketName() { return QStringLiteral("Tarvik Supervisor"); }
    static constexpr int WakeMessage = 1025;

    // Sends the wake message to a running supervisor. False when none listens.
    static bool Wake(int nTimeoutMs = 1000);
    // Starts the supervisor program detached. False when it cannot be started.
    static bool Start(const QString& sProgram);
};
