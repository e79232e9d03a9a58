#pragma once

#include "datafiles/dayfile.h"

#include <QDate>

// A one-second profile day file "prf-dd.csv". Records are split strictly at commas,
// and a file of fewer than 86400 lines is filled on loading so that record k stands
// for second k of the day: missing seconds get gap records "hh:mm:ss,-".
class TTHFile final : public TDayFile
{
public:
    explicit TTHFile(QString sDataPath);

    static QString FileName(const QString& sDataPath, const QString& sID, const QDate& dt);
    bool Load(const QString& sID, const QDate& dt);

    // Fills the loaded day to one record per second (called by Load).
    void StuffFile();

private:
    QString sDataPath;
    std::vector<TLine> aSpare; // the line list of the previous load, kept for its memory
};
