#include "datafiles/almfile.h"

#include <utility>

TAlmFile::TAlmFile(QString sDataPath) : TDayFile(false), sDataPath(std::move(sDataPath)) {}

QString TAlmFile::FileName(const QString& sDataPath, const QString& sID, const QDate& dt)
{
    return DayFilePath(sDataPath, sID, dt, QString::asprintf("alm-%.2d.csv", dt.day()));
}

bool TAlmFile::Load(const QString& sID, const QDate& dt)
{
    return LoadPath(FileName(sDataPath, sID, dt));
}
