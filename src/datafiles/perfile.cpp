#include "datafiles/perfile.h"

#include <utility>

#include <QTime>

namespace {

// Characters nFrom..nFrom+1 of the time field as a whole number 0..nBelow-1, or -1.
int TimePart(QStringView sTime, qsizetype nFrom, int nBelow)
{
    const QStringView sPart = sTime.mid(nFrom, 2);
    if (sPart.isEmpty())
        return -1;
    int n = 0;
    for (const QChar ch : sPart) {
        if (ch.unicode() < u'0' || ch.unicode() > u'9')
            return -1;
        n = n * 10 + (ch.unicode() - u'0');
    }
    return n < nBelow ? n : -1;
}

} // namespace

TPerFile::TPerFile(QString sDataPath) : TDayFile(false), sDataPath(std::move(sDataPath)) {}

QString TPerFile::FileName(const QString& sDataPath, const QString& sID, const QDate& dt, int nPeriod)
{
    return DayFilePath(sDataPath, sID, dt, QString::asprintf("per-%.2d-%.4d.csv", dt.day(), nPeriod));
}

bool TPerFile::Load(const QString& sID, const QDate& dt, int nPeriod)
{
    if (!LoadPath(FileName(sDataPath, sID, dt, nPeriod)))
        return false;
    dtLoaded = dt;
    return true;
}

QDateTime TPerFile::RecDateTime(int iRec) const
{
    const QDateTime dtDay(dtLoaded, QTime(0, 0));
    if (iRec < 0 || iRec >= RecCount())
        return dtDay;
    const QString sTime = FldStr(iRec, 0);
    const int nHour = TimePart(sTime, 0, 24);
    const int nMin = TimePart(sTime, 3, 60);
    const int nSec = TimePart(sTime, 6, 60);
    if (nHour < 0 || nMin < 0 || nSec < 0)
        return dtDay;
    return QDateTime(dtLoaded, QTime(nHour, nMin, nSec));
}
