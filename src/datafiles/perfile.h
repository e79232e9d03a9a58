#pragma once

#include "datafiles/dayfile.h"

#include <QDate>
#include <QDateTime>

// A periodic day file "per-dd-pppp.csv": ".Time" and one column per parameter,
// one record per aggregation period.
class TPerFile final : public TDayFile
{
public:
    explicit TPerFile(QString sDataPath);

    // <data>/<ID>/<yyyy-MM>/per-<dd>-<pppp>.csv, pppp the period zero-padded to 4 digits.
    static QString FileName(const QString& sDataPath, const QString& sID, const QDate& dt, int nPeriod);

    bool Load(const QString& sID, const QDate& dt, int nPeriod);
    // The loaded day plus the record's "hh:mm:ss" (characters 1-2, 4-5, 7-8); the
    // loaded day at midnight when the time cannot be read or is out of range.
    QDateTime RecDateTime(int iRec) const;

    QDate Loaded() const { return dtLoaded; }

private:
    QString sDataPath;
    QDate dtLoaded;
};
