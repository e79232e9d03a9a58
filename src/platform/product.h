#pragma once

#include <QString>

// Fixed facts about this program and its maker.
class TProduct final
{
public:
    TProduct() = delete;

    static QString Version() { return QStringLiteral("1.3.0"); }
    static QString AppTitle() { return QStringLiteral("Tarvik Reporter"); }

    // The maker's web sites (without scheme) and contact address.
    static QString WebSite() { return QStringLiteral("www.kestrom.example"); }
    static QString WebSiteGB() { return QStringLiteral("uk.kestrom.example"); }
    static QString WebUrl() { return QStringLiteral("https://") + WebSite(); }
    static QString Email() { return QStringLiteral("support@kestrom.example"); }

    // The update server's request address: the server address followed by the request
    // path "/install/". The environment variable TARVIK_UPDATE_URL replaces the server
    // address (tests point it at a local server, for example http://127.0.0.1:8080).
    static QString UpdateUrl() { return UpdateUrlFor(qEnvironmentVariable("TARVIK_UPDATE_URL")); }
    static QString UpdateUrlFor(const QString& sServer)
    {
        QString s = sServer.trimmed();
        if (s.isEmpty())
            s = QStringLiteral("http://update.kestrom.example");
        while (s.endsWith(QLatin1Char('/')))
            s.chop(1);
        return s + QStringLiteral("/install/");
    }
};
