#include "platform/supervisorlink.h"

#include <QFileInfo>
#include <QLocalSocket>
#include <QProcess>

bool TSupervisorLink::Wake(int nTimeoutMs)
{
    QLocalSocket sock;
    sock.connectToServer(SocketName());
    if (!sock.waitForConnected(nTimeoutMs))
        return false;
    sock.write(QByteArray::number(WakeMessage) + '\n');
    const bool bSent = sock.waitForBytesWritten(nTimeoutMs);
    sock.disconnectFromServer();
    return bSent;
}

bool TSupervisorLink::Start(const QString& sProgram)
{
    const QFileInfo fi(sProgram);
    if (!fi.isExecutable())
        return false;
    return QProcess::startDetached(sProgram, {}, fi.absolutePath());
}
