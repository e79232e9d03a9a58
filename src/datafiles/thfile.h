#pragma once

#include "datafiles/dayfile.h"

#include <QDate>

// A one-second profile day file "prf-dd.csv". Records are split strictly at commas,
// and every file is laid out on loading so that record k stands for second k of the
// day, each record at the second its own time names: missing seconds get gap records
// "hh:mm:ss,-". A second is taken by its first record; a record whose second is taken
// already (a second written twice, the repeated hour of a 25-hour day, two records a
// second), whose time cannot be read or lies past 23:59:59 is left out and counted.
class TTHFile final : public TDayFile
{
public:
    explicit TTHFile(QString sDataPath);

    static QString FileName(const QString& sDataPath, const QString& sID, const QDate& dt);
    bool Load(const QString& sID, const QDate& dt);

    // Lays the loaded day out to one record per second (called by Load).
    void StuffFile();
    // Records of the last load that no second took.
    int Unplaced() const { return nUnplaced; }

private:
    QString sDataPath;
    std::vector<TLine> aSpare; // the line list of the previous load, kept for its memory
    std::vector<bool> abTaken; // per second, whether a record took it (kept for its memory)
    int nUnplaced = 0;
};
