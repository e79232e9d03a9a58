#pragma once

#include <QObject>

class QLocalServer;

// The supervisor's end of the local socket: emits Message for every message number a
// viewer sends (1025 asks the supervisor to show itself and write its files now).
class TSupervisorServer final : public QObject
{
    Q_OBJECT

public:
    explicit TSupervisorServer(QObject* parent);
    Q_DISABLE_COPY_MOVE(TSupervisorServer)

    // Starts listening; false when the name cannot be taken.
    bool Listen();

Q_SIGNALS:
    void Message(int nMessage);

private:
    void Accept();

    QLocalServer* server;
};
