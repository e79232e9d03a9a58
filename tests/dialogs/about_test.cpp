#include "dialogs/about.h"

#include "platform/product.h"

#include <QDateTime>
#include <QDesktopServices>
#include <QHostAddress>
#include <QLabel>
#include <QLocale>
#include <QRegularExpression>
#include <QStringEncoder>
#include <QTcpServer>
#include <QTcpSocket>
#include <QTest>

#include <gtest/gtest.h>

#include <memory>

namespace {

// --- Version values ------------------------------------------------------------------------

TEST(TformAboutVersionValue, WeighsPartsNumerically)
{
    EXPECT_EQ(TformAbout::VersionValue(QStringLiteral("1.3.0")), 66304);
    EXPECT_EQ(TformAbout::VersionValue(QStringLiteral("1.10.0")), 68096);
    EXPECT_GT(TformAbout::VersionValue(QStringLiteral("1.10.0")),
              TformAbout::VersionValue(QStringLiteral("1.9.9")));
    EXPECT_EQ(TformAbout::VersionValue(QStringLiteral("1.2.256")),
              TformAbout::VersionValue(QStringLiteral("1.3.0")));
    EXPECT_EQ(TformAbout::VersionValue(QStringLiteral("2.0.0.7")), 131072);
}

TEST(TformAboutVersionValue, SkipsBlanksAndLineBreaks)
{
    EXPECT_EQ(TformAbout::VersionValue(QStringLiteral(" 1.3.1\r\n")), 66305);
    EXPECT_EQ(TformAbout::VersionValue(QStringLiteral("\t1.4.0\n")), 66560);
}

TEST(TformAboutVersionValue, RejectsWhatIsNotAVersion)
{
    EXPECT_EQ(TformAbout::VersionValue(QStringLiteral("1.3")), -1);
    EXPECT_EQ(TformAbout::VersionValue(QString()), -1);
    EXPECT_EQ(TformAbout::VersionValue(QStringLiteral("<html><body>1.3.1</body></html>")), -1);
    EXPECT_EQ(TformAbout::VersionValue(QStringLiteral("<!DOCTYPE html>\n<html><p>Version 1.4.0</p></html>")),
              -1);
    EXPECT_EQ(TformAbout::VersionValue(QStringLiteral("1.x.0")), -1);
    EXPECT_EQ(TformAbout::VersionValue(QStringLiteral("1.-3.0")), -1);
    EXPECT_EQ(TformAbout::VersionValue(QStringLiteral("99999999.0.0")), -1) << "too large for the value";
}

// --- Request and result texts ------------------------------------------------------------------

TEST(TformAbout, RequestBody_CountsWholeSecondsSince30December1899)
{
    const QDateTime dt(QDate(2024, 3, 5), QTime(12, 0, 30, 999));
    EXPECT_EQ(TformAbout::UpdateRequestBody(dt), QByteArray("action=rpver&x=3918801630"));
    EXPECT_EQ(TformAbout::UpdateRequestBody(QDateTime(QDate(1899, 12, 31), QTime(0, 0, 1))),
              QByteArray("action=rpver&x=86401"));
}

// TARVIK_UPDATE_URL names the server, as the README says; the request path is added
// once, whether or not the address ends with "/".
TEST(TProduct, UpdateUrl_ServerAddressGetsTheRequestPath)
{
    EXPECT_EQ(TProduct::UpdateUrlFor(QStringLiteral("http://127.0.0.1:8080")),
              QStringLiteral("http://127.0.0.1:8080/install/"));
    EXPECT_EQ(TProduct::UpdateUrlFor(QStringLiteral("http://updates.example/tarvik/")),
              QStringLiteral("http://updates.example/tarvik/install/"));
    EXPECT_EQ(TProduct::UpdateUrlFor(QString()), QStringLiteral("http://update.kestrom.example/install/"));
}

QString UpdateText(const TformAbout& dlg)
{
    return dlg.findChild<QLabel*>(QStringLiteral("lblUpdate"))->text();
}

TEST(TformAbout, ShowUpdateResult_NewerOnlyWhenTheAnswerIsAHigherVersion)
{
    struct TCase
    {
        const char* szAnswer;
        const char* szText;
    };
    const TCase aCases[] = {
        {"1.3.0", "Program is up to date"}, {"1.3.1", "New version available"},
        {"1.4.0", "New version available"}, {"2.0.0", "New version available"},
        {"1.2.9", "Program is up to date"}, {"1.10.0", "New version available"},
        {"1.3", "Program is up to date"},   {"<html>oops</html>", "Program is up to date"},
    };
    for (const TCase& c : aCases) {
        TformAbout dlg;
        dlg.ShowUpdateResult(QString::fromLatin1(c.szAnswer));
        EXPECT_EQ(UpdateText(dlg), QString::fromLatin1(c.szText)) << c.szAnswer;
    }
}

// Catches what the box hands to the desktop, so no browser or mail program starts.
class TUrlCatcher : public QObject
{
    Q_OBJECT

public:
    QList<QUrl> aUrls;

public Q_SLOTS:
    void Open(const QUrl& url) { aUrls.append(url); }
};

class TformAboutLinks : public ::testing::Test
{
protected:
    void SetUp() override
    {
        for (const char* sz : {"http", "https", "mailto"})
            QDesktopServices::setUrlHandler(QString::fromLatin1(sz), &catcher, "Open");
    }
    void TearDown() override
    {
        for (const char* sz : {"http", "https", "mailto"})
            QDesktopServices::unsetUrlHandler(QString::fromLatin1(sz));
    }

    TUrlCatcher catcher;
};

TEST_F(TformAboutLinks, WebAndEmailLabelsOpenTheirAddresses)
{
    qputenv("TARVIK_UPDATE_URL", "http://127.0.0.1:9");
    TformAbout dlg;
    dlg.show();
    auto* lblWeb = dlg.findChild<QLabel*>(QStringLiteral("lblLinkWeb"));
    auto* lblEmail = dlg.findChild<QLabel*>(QStringLiteral("lblLinkEmail"));
    EXPECT_EQ(dlg.findChild<QLabel*>(QStringLiteral("lblTitle"))->text(), QStringLiteral("Tarvik-RP"));
    EXPECT_EQ(dlg.findChild<QLabel*>(QStringLiteral("lblVersion"))->text(), QStringLiteral("v1.3.0"));
    const bool bGB = QLocale::system().name() == QLatin1String("en_GB");
    EXPECT_EQ(lblWeb->text(), bGB ? TProduct::WebSiteGB() : TProduct::WebSite());
    EXPECT_EQ(TformAbout::WebSiteFor(QStringLiteral("en-GB")), TProduct::WebSiteGB());
    EXPECT_EQ(TformAbout::WebSiteFor(QStringLiteral("en-US")), TProduct::WebSite());

    QTest::mouseClick(lblWeb, Qt::LeftButton);
    QTest::mouseClick(lblEmail, Qt::LeftButton);
    ASSERT_EQ(catcher.aUrls.size(), 2);
    EXPECT_EQ(catcher.aUrls[0].toString(), QStringLiteral("https://") + lblWeb->text());
    const QUrl urlMail = catcher.aUrls[1];
    EXPECT_EQ(urlMail.scheme(), QStringLiteral("mailto"));
    EXPECT_EQ(urlMail.path(), TProduct::Email()) << "no '//' before the address";
    EXPECT_EQ(urlMail.toString(QUrl::FullyEncoded),
              QStringLiteral("mailto:") + TProduct::Email() +
                  QStringLiteral("?subject=Tarvik%20Reporter%20v1.3.0"));
    qunsetenv("TARVIK_UPDATE_URL");
}

// --- Update check against a local server -------------------------------------------------------

// A one-file HTTP server on the loopback interface: records each request and answers
// it as told, or never answers at all.
class TUpdateServer : public QObject
{
    Q_OBJECT

public:
    struct TRequest
    {
        QByteArray baMethod, baPath, baContentType, baBody;
    };

    TUpdateServer()
    {
        connect(&server, &QTcpServer::newConnection, this, &TUpdateServer::Accept);
        server.listen(QHostAddress::LocalHost);
    }

    quint16 Port() const { return server.serverPort(); }

    void Answer(int nStatus, const QByteArray& baBody, const QByteArray& baContentType = "text/plain")
    {
        bSilent = false;
        nAnswerStatus = nStatus;
        baAnswer = baBody;
        baAnswerType = baContentType;
    }
    void NeverAnswer() { bSilent = true; }

    QList<TRequest> aRequests;

private:
    void Accept()
    {
        while (QTcpSocket* sock = server.nextPendingConnection()) {
            sock->setParent(this);
            connect(sock, &QTcpSocket::readyRead, this, [this, sock] { Read(sock); });
        }
    }

    void Read(QTcpSocket* sock)
    {
        QByteArray& ba = aPending[sock];
        ba += sock->readAll();
        const qsizetype nHeadEnd = ba.indexOf("\r\n\r\n");
        if (nHeadEnd < 0)
            return;
        TRequest req;
        qsizetype nLength = 0;
        const QList<QByteArray> aLines = ba.left(nHeadEnd).split('\n');
        const QList<QByteArray> aFirst = aLines.value(0).trimmed().split(' ');
        req.baMethod = aFirst.value(0);
        req.baPath = aFirst.value(1);
        for (const QByteArray& baLine : aLines.mid(1)) {
            const qsizetype nColon = baLine.indexOf(':');
            const QByteArray baName = baLine.left(nColon).trimmed().toLower();
            const QByteArray baValue = baLine.mid(nColon + 1).trimmed();
            if (baName == "content-length")
                nLength = baValue.toLongLong();
            else if (baName == "content-type")
                req.baContentType = baValue;
        }
        if (ba.size() < nHeadEnd + 4 + nLength)
            return;
        req.baBody = ba.mid(nHeadEnd + 4, nLength);
        aRequests.append(req);
        aPending.remove(sock);
        if (bSilent)
            return;
        sock->write("HTTP/1.1 " + QByteArray::number(nAnswerStatus) + " Status\r\nContent-Type: " +
                    baAnswerType + "\r\nContent-Length: " + QByteArray::number(baAnswer.size()) +
                    "\r\nConnection: close\r\n\r\n" + baAnswer);
        sock->disconnectFromHost();
    }

    QTcpServer server;
    QHash<QTcpSocket*, QByteArray> aPending;
    bool bSilent = false;
    int nAnswerStatus = 200;
    QByteArray baAnswer;
    QByteArray baAnswerType;
};

class TformAboutUpdate : public ::testing::Test
{
protected:
    void SetUp() override
    {
        ASSERT_TRUE(server.Port() != 0);
        // The server address as the README gives it; the program adds the request path.
        qputenv("TARVIK_UPDATE_URL", "http://127.0.0.1:" + QByteArray::number(server.Port()));
        dlg = std::make_unique<TformAbout>();
        dlg->SetUpdateTimeout(300);
    }
    void TearDown() override
    {
        dlg.reset();
        qunsetenv("TARVIK_UPDATE_URL");
    }

    // Runs one check and waits, a bounded time, for its result.
    QString Check()
    {
        dlg->CheckForUpdate();
        const bool bDone = QTest::qWaitFor(
            [this] { return UpdateText(*dlg) != QLatin1String("Checking for updates..."); }, 5000);
        EXPECT_TRUE(bDone) << "no result within 5 s";
        return UpdateText(*dlg);
    }

    void ExpectOneWellFormedRequest() const
    {
        ASSERT_EQ(server.aRequests.size(), 1);
        const TUpdateServer::TRequest& req = server.aRequests[0];
        EXPECT_EQ(req.baMethod, QByteArray("POST"));
        EXPECT_EQ(req.baPath, QByteArray("/install/"));
        EXPECT_EQ(req.baContentType, QByteArray("application/x-www-form-urlencoded"));
        static const QRegularExpression re(QStringLiteral("^action=rpver&x=[0-9]+$"));
        EXPECT_TRUE(re.match(QString::fromLatin1(req.baBody)).hasMatch()) << req.baBody.constData();
    }

    TUpdateServer server;
    std::unique_ptr<TformAbout> dlg;
};

TEST_F(TformAboutUpdate, NewerVersion_BecomesALinkThatOpensTheDownloadPageAndCloses)
{
    server.Answer(200, "1.3.1\r\n");
    dlg->show();
    EXPECT_EQ(Check(), QStringLiteral("New version available"));
    ExpectOneWellFormedRequest();

    auto* lbl = dlg->findChild<QLabel*>(QStringLiteral("lblUpdate"));
    EXPECT_EQ(lbl->cursor().shape(), Qt::PointingHandCursor);
    EXPECT_TRUE(lbl->font().underline());
    TUrlCatcher catcher;
    QDesktopServices::setUrlHandler(QStringLiteral("http"), &catcher, "Open");
    QTest::mouseClick(lbl, Qt::LeftButton);
    QDesktopServices::unsetUrlHandler(QStringLiteral("http"));
    ASSERT_EQ(catcher.aUrls.size(), 1);
    EXPECT_EQ(catcher.aUrls[0].toString(), QStringLiteral("http://127.0.0.1:%1/install/").arg(server.Port()));
    EXPECT_FALSE(dlg->isVisible());
}

TEST_F(TformAboutUpdate, HtmlPageWithSuccessStatus_IsUpToDate)
{
    server.Answer(200, "<!DOCTYPE html>\n<html><body><p>Latest 1.4.0</p></body></html>",
                  "text/html; charset=utf-8");
    EXPECT_EQ(Check(), QStringLiteral("Program is up to date"));
    ExpectOneWellFormedRequest();
}

TEST_F(TformAboutUpdate, ErrorStatus_FailsEvenWithAVersionInTheBody)
{
    server.Answer(404, "9.9.9");
    EXPECT_EQ(Check(), QStringLiteral("Failed to contact server"));
    ExpectOneWellFormedRequest();
}

TEST_F(TformAboutUpdate, SilentServer_TimesOutAndFails)
{
    server.NeverAnswer();
    QElapsedTimer t;
    t.start();
    EXPECT_EQ(Check(), QStringLiteral("Failed to contact server"));
    EXPECT_LT(t.elapsed(), 3000);
    ExpectOneWellFormedRequest();
}

TEST_F(TformAboutUpdate, BodyIsDecodedByItsDeclaredCharset)
{
    QStringEncoder enc(QStringEncoder::Utf16LE);
    const QByteArray baUtf16 = enc.encode(QStringLiteral("1.4.0\r\n"));
    server.Answer(200, baUtf16, "text/plain; charset=utf-16le");
    EXPECT_EQ(Check(), QStringLiteral("New version available"));
}

TEST_F(TformAboutUpdate, UndecodableBody_Fails)
{
    server.Answer(200, "1.4.0 \xff\xfe\xfd", "text/plain; charset=utf-8");
    EXPECT_EQ(Check(), QStringLiteral("Failed to contact server"));
}

TEST_F(TformAboutUpdate, Showing_StartsTheCheckAboutASecondLaterWithoutBlocking)
{
    server.Answer(200, "1.3.0");
    dlg->show();
    EXPECT_EQ(UpdateText(*dlg), QStringLiteral("Checking for updates..."));
    QTest::qWait(500);
    EXPECT_TRUE(server.aRequests.isEmpty()) << "the check waits for the one-second timer";
    EXPECT_TRUE(
        QTest::qWaitFor([this] { return UpdateText(*dlg) == QLatin1String("Program is up to date"); }, 5000));
    ExpectOneWellFormedRequest();
    // The timer fires once per opening.
    QTest::qWait(1200);
    EXPECT_EQ(server.aRequests.size(), 1);
}

} // namespace

#include "about_test.moc"
