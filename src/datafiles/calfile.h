#pragma once

#include "datafiles/dayfile.h"

#include <QDate>

// A calibration day file "cal-dd.csv": one record per calibration, field 0 its time.
class TCalFile final : public TDayFile
{
public:
    explicit TCalFile(QString sDataPath);

    static QString FileName(const QString& sDataPath, const QString& sID, const QDate& dt);
    // Whether the day has a calibration file; the file is not opened.
    static bool CalFileExists(const QString& sDataPath, const QString& sID, const QDate& dt);
    bool Load(const QString& sID, const QDate& dt);

private:
    QString sDataPath;
};
