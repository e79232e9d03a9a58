#include "platform/supervisorlink.h"
#include "platform/supervisorserver.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QLocalServer>

#include <gtest/gtest.h>

// ---- the viewer waking a running supervisor ----

TEST(TSupervisorLink, Wake_FalseWhenNoSupervisorListens)
{
    QLocalServer::removeServer(TSupervisorLink::SocketName());
    EXPECT_FALSE(TSupervisorLink::Wake(200));
}

TEST(TSupervisorLink, Wake_DeliversMessage1025ToTheListeningSupervisor)
{
    TSupervisorServer server(nullptr);
    ASSERT_TRUE(server.Listen());
    QList<int> anGot;
    QObject::connect(&server, &TSupervisorServer::Message, &server, [&anGot](int n) { anGot.append(n); });
    ASSERT_TRUE(TSupervisorLink::Wake(1000));
    QElapsedTimer tm;
    tm.start();
    while (anGot.isEmpty() && tm.elapsed() < 3000)
        QCoreApplication::processEvents(QEventLoop::AllEvents, 50);
    EXPECT_EQ(anGot, QList<int>{1025});
}

TEST(TSupervisorLink, Start_FalseForAMissingProgram)
{
    EXPECT_FALSE(TSupervisorLink::Start(QStringLiteral("/nonexistent/folder/tarviksv")));
}
