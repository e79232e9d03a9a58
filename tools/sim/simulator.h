#pragma once

#include <QByteArray>
#include <QDate>
#include <QList>
#include <QString>
#include <QTime>

#include <vector>

// What the simulated supervisor writes: which monitors, which days, which kinds.
struct TSimOptions
{
    QString sDataPath; // the data folder to write (created with parents)
    int nMonitors = 4;
    QDate dtFrom, dtTo; // inclusive
    quint32 nSeed = 1;
    QList<int> anPeriods{5, 10, 15, 30, 60};
    int nProfileDays = 7; // one-second profiles only for the last N days of the range (0: none)
    bool bAlarms = true;
    bool bCalibrations = true;
    bool bOutages = true;      // "-" values and whole missing days
    bool bClientList = true;   // write clientlist.csv
    double dAlarmLevel = 68.0; // dB: alarm threshold on the one-second level
    QTime tmUpTo;              // for dtTo only: write records before this time; invalid = whole day
};

// Writes a data folder the way the supervisor does: one folder per monitor with its
// term.cfg, a month folder per month and the day files of every kind. Everything is
// drawn from random engines keyed by (seed, monitor, day), so the same options give
// the same bytes, and one day can be rewritten on its own (the live mode does that
// for today) without disturbing the others.
class TSimulator final
{
public:
    explicit TSimulator(TSimOptions opt);

    void WriteAll(); // term.cfg of every monitor, clientlist, every day file
    void WriteDay(int iMon, const QDate& d, const QTime& tmUpTo = QTime()); // all kinds for one monitor-day
    int MonitorCount() const;
    QString MonitorID(int iMon) const; // folder names, e.g. "M01"
    QString MonitorName(int iMon) const;
    QString MonitorType(int iMon) const;

    // Files written so far, and the first write that failed (empty while all went well).
    int FilesWritten() const { return nFilesWritten; }
    const QString& LastError() const { return sError; }

    // True when the monitor was off all day: no day file of any kind exists. The
    // newest day of the range never is, so a live day always has data.
    bool IsOutageDay(int iMon, const QDate& d) const;
    // True when day d lies in the last nProfileDays days of the range.
    bool HasProfile(const QDate& d) const;
    // The day's one-second levels in tenths of a dB (553 is 55.3 dB), -1 where the
    // monitor had no value; 86400 entries, whatever tmUpTo says.
    std::vector<short> DayLevels(int iMon, const QDate& d) const;

private:
    struct TMonitor
    {
        QString sID, sName, sType;
        double dNight = 0;    // quiet-night base level, dB
        double dDay = 0;      // working-day base level, dB
        double dTraffic = 0;  // passing vehicles per hour at full activity
        double dLoudRate = 0; // loud events per hour at full activity
        int nCalWeekday = 0;  // day of the week (1..7) of the weekly calibration
    };

    QString MonitorPath(int iMon) const;
    QString MonthPath(int iMon, const QDate& d) const;
    void WriteTermCfg(int iMon);
    void WriteClientList();
    void WriteFile(const QString& sPath, const QByteArray& baData);
    // Creates a folder with its parents; false (and the fault noted) when it cannot.
    bool MakeFolder(const QString& sPath);
    // Keeps the first fault only: later ones usually follow from it.
    void NoteError(const QString& sFault);
    // The calibration of day d as seconds since midnight, or -1 when there is none;
    // nDevTenths receives its deviation.
    int CalibrationSecs(int iMon, const QDate& d, int& nDevTenths) const;

    TSimOptions optSim;
    std::vector<TMonitor> aMonitors;
    int nFilesWritten = 0;
    QString sError;
};
