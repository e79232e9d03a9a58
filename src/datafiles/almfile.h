#pragma once

#include "datafiles/dayfile.h"

#include <QDate>

// An alarm day file "alm-dd.csv": one record per alarm, field 0 its time of day.
class TAlmFile final : public TDayFile
{
public:
    explicit TAlmFile(QString sDataPath);

    static QString FileName(const QString& sDataPath, const QString& sID, const QDate& dt);
    bool Load(const QString& sID, const QDate& dt);

private:
    QString sDataPath;
};
