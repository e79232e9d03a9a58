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

    // The update server's request address; the environment variable TARVIK_UPDATE_URL
    // overrides it (tests point it at a local server).
    static QString UpdateUrl()
    {
        const QString s = qEnvironmentVariable("TARVIK_UPDATE_URL");
        return s.isEmpty() ? QStringLiteral("http://update.kestrom.example/install/") : s;
    }
};
