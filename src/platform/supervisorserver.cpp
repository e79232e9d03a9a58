#include "platform/supervisorserver.h"

#include "platform/supervisorlink.h"

#include <QLocalServer>
#include <QLocalSocket>

TSupervisorServer::TSupervisorServer(QObject* parent) : QObject(parent), server(new QLocalServer(this))
{
    connect(server, &QLocalServer::newConnection, this, &TSupervisorServer::Accept);
}

bool TSupervisorServer::Listen()
{
    if (server->listen(TSupervisorLink::SocketName()))
        return true;
    // A socket file left by a supervisor that did not end cleanly blocks the name.
    QLocalServer::removeServer(TSupervisorLink::SocketName());
    return server->listen(TSupervisorLink::SocketName());
}

void TSupervisorServer::Accept()
{
    while (QLocalSocket* sock = server->nextPendingConnection()) {
        connect(sock, &QLocalSocket::disconnected, sock, &QObject::deleteLater);
        connect(sock, &QLocalSocket::readyRead, this, [this, sock] {
            while (sock->canReadLine()) {
                bool bOk = false;
                const int n = sock->readLine().trimmed().toInt(&bOk);
                if (bOk)
                    Q_EMIT Message(n);
            }
        });
    }
}
