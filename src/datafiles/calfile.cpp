#include "datafiles/calfile.h"

#include <utility>

#include <QFileInfo>

TCalFile::TCalFile(QString sDataPath) : TDayFile(false), sDataPath(std::move(sDataPath)) {}

QString TCalFile::FileName(const QString& sDataPath, const QString& sID, const QDate& dt)
{
    return DayFilePath(sDataPath, sID, dt, QString::asprintf("cal-%.2d.csv", dt.day()));
}

bool TCalFile::CalFileExists(const QString& sDataPath, const QString& sID, const QDate& dt)
{
    return QFileInfo(FileName(sDataPath, sID, dt)).isFile();
}

bool TCalFile::Load(const QString& sID, const QDate& dt)
{
    return LoadPath(FileName(sDataPath, sID, dt));
}
