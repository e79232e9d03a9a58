#pragma once

// A temporary installation for the output tests: settings in a folder of their own,
// a data folder with hand-made monitors and day files (CR LF lines, as the
// supervisor writes them) and a report folder.
#include "monitors/monitor.h"
#include "settings/cfg.h"

#include <QDate>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QStringList>
#include <QTemporaryDir>

#include <functional>
#include <memory>
#include <ostream>

inline void PrintTo(const QString& s, std::ostream* os)
{
    *os << '"' << s.toStdString() << '"';
}

class TReportDir final
{
public:
    TReportDir() : cfg(std::make_unique<TCfg>(tmp.path() + QStringLiteral("/appdata")))
    {
        QDir().mkpath(DataPath());
        cfg->SetDataPath(DataPath());
    }

    bool IsValid() const { return tmp.isValid(); }
    QString Root() const { return tmp.path() + QLatin1Char('/'); }
    QString DataPath() const { return tmp.path() + QStringLiteral("/data/"); }
    QString HtmlDir() const { return tmp.path() + QStringLiteral("/html/"); }
    TCfg& Cfg() { return *cfg; }

    // Exactly the given parameters selected.
    void SelectParams(const QStringList& sl)
    {
        for (const QString& sParam : MeasurementParams())
            cfg->SetPerParam(sParam, sl.contains(sParam));
    }

    void AddMonitor(const QString& sID, const QString& sName,
                    const QString& sType = QStringLiteral("NM-2")) const
    {
        Write(DataPath() + sID + QStringLiteral("/term.cfg"),
              {QStringLiteral("[head]"), QStringLiteral("name=") + sName, QStringLiteral("type=") + sType});
    }
    // The pair of monitors most export tests run over, "North Gate" before "South Yard"
    // in the catalogue.
    void AddTwoMonitors() const
    {
        AddMonitor(QStringLiteral("7"), QStringLiteral("North Gate"));
        AddMonitor(QStringLiteral("8"), QStringLiteral("South Yard"));
    }
    std::unique_ptr<TTQMonitors> Monitors() const
    {
        auto mons = std::make_unique<TTQMonitors>();
        mons->LoadMonitors(DataPath());
        return mons;
    }

    void WritePer(const QString& sID, const QDate& dt, int nPeriod, const QStringList& slLines) const
    {
        Write(DayFolder(sID, dt) +
                  QStringLiteral("per-%1-%2.csv").arg(Dd(dt)).arg(nPeriod, 4, 10, QLatin1Char('0')),
              slLines);
    }
    // One hourly file of LAeq with a single value at midnight.
    void WriteLaeqHour(const QString& sID, const QDate& dt) const
    {
        WritePer(sID, dt, 60, {QStringLiteral(".Time,LAeq"), QStringLiteral("00:00:00,51.0")});
    }
    void WriteAlm(const QString& sID, const QDate& dt, const QStringList& slLines) const
    {
        Write(DayFolder(sID, dt) + QStringLiteral("alm-%1.csv").arg(Dd(dt)), slLines);
    }
    void WriteCal(const QString& sID, const QDate& dt, const QStringList& slLines) const
    {
        Write(DayFolder(sID, dt) + QStringLiteral("cal-%1.csv").arg(Dd(dt)), slLines);
    }

    // An empty file under the report folder, e.g. an older page of the library.
    void Touch(const QString& sRelPath) const { Write(HtmlDir() + sRelPath, {}); }

    static void Write(const QString& sPath, const QStringList& slLines)
    {
        QDir().mkpath(QFileInfo(sPath).path());
        QFile f(sPath);
        if (f.open(QIODevice::WriteOnly) && !slLines.isEmpty())
            f.write((slLines.join(QStringLiteral("\r\n")) + QStringLiteral("\r\n")).toUtf8());
    }

    // A page as lines. Every line of a page ends with CR LF, so the text split at CR
    // LF ends with one empty piece, which is dropped; a missing final CR LF shows as
    // a last line that is not empty before the drop, and fails bEndsWithCrLf.
    static QStringList ReadLines(const QString& sPath, bool* bEndsWithCrLf = nullptr)
    {
        QFile f(sPath);
        if (!f.open(QIODevice::ReadOnly))
            return {};
        QStringList sl = QString::fromUtf8(f.readAll()).split(QStringLiteral("\r\n"));
        if (bEndsWithCrLf)
            *bEndsWithCrLf = sl.last().isEmpty();
        if (sl.last().isEmpty())
            sl.removeLast();
        return sl;
    }

    // Every file under dir, relative, sorted.
    static QStringList Files(const QString& sDir)
    {
        QStringList sl;
        const QDir root(sDir);
        std::function<void(const QString&)> walk = [&](const QString& sSub) {
            const QDir d(sSub);
            for (const QFileInfo& fi : d.entryInfoList(QDir::Files | QDir::Dirs | QDir::NoDotAndDotDot)) {
                if (fi.isDir())
                    walk(fi.filePath());
                else
                    sl << root.relativeFilePath(fi.filePath());
            }
        };
        walk(sDir);
        sl.sort();
        return sl;
    }

private:
    static QString Dd(const QDate& dt) { return QStringLiteral("%1").arg(dt.day(), 2, 10, QLatin1Char('0')); }
    QString DayFolder(const QString& sID, const QDate& dt) const
    {
        return DataPath() + sID + u'/' + dt.toString(QStringLiteral("yyyy-MM")) + u'/';
    }

    QTemporaryDir tmp;
    std::unique_ptr<TCfg> cfg;
};
