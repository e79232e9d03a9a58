#include "datafiles/thfile.h"

#include <utility>

TTHFile::TTHFile(QString sDataPath) : TDayFile(true), sDataPath(std::move(sDataPath)) {}

QString TTHFile::FileName(const QString& sDataPath, const QString& sID, const QDate& dt)
{
    return DayFilePath(sDataPath, sID, dt, QString::asprintf("prf-%.2d.csv", dt.day()));
}

bool TTHFile::Load(const QString& sID, const QDate& dt)
{
    nUnplaced = 0;
    if (!LoadPath(FileName(sDataPath, sID, dt)))
        return false;
    StuffFile();
    return true;
}

void TTHFile::StuffFile()
{
    nUnplaced = 0;
    const int nLines = int(aLines.size());
    if (nLines == 0)
        return;

    // Reusing the memory of the last filled day spares faulting in a fresh 1.4 MB
    // list on every load; it already has the size of a day, so nothing is cleared.
    // A file's line number is no clock: a 25-hour day or two records a second would
    // move every later record, so each goes to the second of its own time.
    std::vector<TLine> aDay = std::move(aSpare);
    aDay.resize(size_t(nSecsPerDay) + 1);
    abTaken.assign(size_t(nSecsPerDay), false);
    aDay[0] = aLines[0];
    const int nRecs = nLines - 1;
    for (int i = 0; i < nRecs; ++i) {
        const int nSec = FldTimeSecs(i, 0);
        if (nSec < 0 || nSec >= nSecsPerDay || abTaken[size_t(nSec)]) {
            ++nUnplaced;
            continue;
        }
        abTaken[size_t(nSec)] = true;
        aDay[size_t(nSec) + 1] = aLines[size_t(i) + 1];
    }
    for (int nSec = 0; nSec < nSecsPerDay; ++nSec)
        if (!abTaken[size_t(nSec)])
            aDay[size_t(nSec) + 1] = GapRecord(nSec);
    aLines.swap(aDay);
    aSpare = std::move(aDay);
}
