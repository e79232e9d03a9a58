#pragma once

// A data folder of hand-made day files in a temporary directory, for the grid tests.
#include "monitors/monitor.h"

#include <QDate>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>
#include <QTime>

class TDayDir final
{
public:
    bool IsValid() const { return tmp.isValid(); }
    QString DataPath() const { return tmp.path() + QStringLiteral("/data/"); }

    // Writes the file pszName ("alm-07.csv") into sID's month folder of dt; every
    // "\n" of pszText becomes CR LF, as the supervisor writes.
    void Write(const QString& sID, const QDate& dt, const char* pszName, const QString& sText) const
    {
        const QString sPath =
            DataPath() + sID + u'/' + dt.toString(QStringLiteral("yyyy-MM")) + u'/' + QLatin1String(pszName);
        QDir().mkpath(QFileInfo(sPath).path());
        QFile f(sPath);
        if (f.open(QIODevice::WriteOnly))
            f.write(QString(sText).replace(u'\n', QStringLiteral("\r\n")).toLatin1() + "\r\n");
    }

    // A monitor folder with its term.cfg, for the catalogue.
    void AddMonitor(const QString& sID, const QString& sName) const
    {
        QDir().mkpath(DataPath() + sID);
        QFile f(DataPath() + sID + QStringLiteral("/term.cfg"));
        if (f.open(QIODevice::WriteOnly))
            f.write("[head]\r\nname=" + sName.toLatin1() + "\r\n");
    }

    static TTQMonitor Mon(const char* pszID, const char* pszName)
    {
        return TTQMonitor{QLatin1String(pszID), QLatin1String(pszName), QStringLiteral("Unknown")};
    }

    // A complete day of 60-minute records: the time, then "5f.h" for field f at hour h
    // (h modulo 10), so LAeq at 23:00 of ".Time,LAeq" reads 51.3.
    static QString FullDay60(const char* pszHeader)
    {
        QString s = QLatin1String(pszHeader);
        const qsizetype nFlds = s.count(u',') + 1;
        for (int h = 0; h < 24; ++h) {
            s += u'\n' + QTime(h, 0).toString(QStringLiteral("hh:mm:ss"));
            for (int f = 1; f < nFlds; ++f)
                s += QStringLiteral(",5%1.%2").arg(f).arg(h % 10);
        }
        return s;
    }

private:
    QTemporaryDir tmp;
};
