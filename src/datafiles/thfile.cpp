#include "datafiles/thfile.h"

#include <utility>

TTHFile::TTHFile(QString sDataPath) : TDayFile(true), sDataPath(std::move(sDataPath)) {}

QString TTHFile::FileName(const QString& sDataPath, const QString& sID, const QDate& dt)
{
    return DayFilePath(sDataPath, sID, dt, QString::asprintf("prf-%.2d.csv", dt.day()));
}

bool TTHFile::Load(const QString& sID, const QDate& dt)
{
    if (!LoadPath(FileName(sDataPath, sID, dt)))
        return false;
    StuffFile();
    return true;
}

void TTHFile::StuffFile()
{
    // A file of a whole day (header and 86399 records or more) is used as written.
    const int nLines = int(aLines.size());
    if (nLines == 0 || nLines >= nSecsPerDay)
        return;

    // Reusing the memory of the last filled day spares faulting in a fresh 1.4 MB
    // list on every load; it already has the size of a day, so nothing is cleared.
    // The day is written through a pointer: every second gets exactly one line.
    std::vector<TLine> aDay = std::move(aSpare);
    aDay.resize(size_t(nSecsPerDay) + 1);
    TLine* pOut = aDay.data();
    *pOut++ = aLines[0];
    const int nRecs = nLines - 1;
    int iNext = 0; // the next file record not yet taken
    int nSec = 0;
    while (nSec < nSecsPerDay && iNext < nRecs) {
        // A record whose time cannot be read (-1), repeats a second or runs behind
        // is taken at the current second, so no record is ever taken twice.
        const int nNextSecs = FldTimeSecs(iNext, 0);
        for (; nSec < nNextSecs && nSec < nSecsPerDay; ++nSec)
            *pOut++ = GapRecord(nSec);
        if (nSec < nSecsPerDay) {
            *pOut++ = aLines[size_t(iNext) + 1];
            ++nSec;
            ++iNext;
        }
    }
    for (; nSec < nSecsPerDay; ++nSec)
        *pOut++ = GapRecord(nSec);
    aLines.swap(aDay);
    aSpare = std::move(aDay);
}
