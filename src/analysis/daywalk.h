#pragma once

#include "analysis/exclusions.h"
#include "datafiles/perfile.h"
#include "datafiles/thfile.h"

#include <QDate>
#include <QString>
#include <QStringList>

#include <vector>

// The records of one monitor's day file as the analyses get them: the start of each
// record in seconds after midnight (-1 where its time cannot be read) and, per
// parameter of slParams, its value per record, NaN where it is no level (TLevel::Is)
// or the file lacks the parameter. A one-second profile is laid out one record per
// second, record k at second k. A day without its file has no records.
struct TDayRecords
{
    enum class EFile
    {
        Missing,
        Read,
        NotRead // there, but refused (too large, unreadable or empty)
    };

    QDate dt;
    EFile eFile = EFile::Missing;
    QString sFileError; // why a file that is there was not read
    int nUnplaced = 0;  // profile records that no second took (see TTHFile)
    QStringList slParams;
    std::vector<int> anStartSecs;
    std::vector<std::vector<double>> aadValues; // [parameter][record]
    // Per parameter, whether the read file has its column: a file without it and a
    // file whose column holds no level look alike in aadValues.
    std::vector<bool> abColumn; // [parameter]

    // What the consultant excluded: per parameter, the day's excluded stretches as
    // seconds after midnight (merged, sorted), and per record the reasons (bits
    // int(TExclusion::EReason)) of the exclusions its period overlaps, 0 where it
    // counts. Both are empty for a parameter nothing excludes on the day. Values stay
    // as read: the charts and grids show an excluded period, the analyses leave it out.
    std::vector<std::vector<TExcludedSpan>> aaSpans;     // [parameter]
    std::vector<std::vector<int>> aanExcluded;           // [parameter][record]

    int ExcludedReasons(size_t iParam, size_t iRec) const
    {
        return iParam < aanExcluded.size() && iRec < aanExcluded[iParam].size() ? aanExcluded[iParam][iRec] : 0;
    }
    bool Excluded(size_t iParam, size_t iRec) const { return ExcludedReasons(iParam, iRec) != 0; }
    bool AnyExcluded() const;
};

// Walks the days of a range, monitor after monitor, reading each day's files once:
//   walk.Start(sID, files); while (walk.Step()) ... walk.Periodic() ...
// Every day of the range comes once, in order, a day without its files too.
class TDayWalk final
{
public:
    // What each day of a monitor reads.
    struct TFiles
    {
        bool bPeriodic = false; // the periodic file of nPeriod minutes, its slParams
        int nPeriod = 0;
        QStringList slParams;
        // The periodic file of the day after too, for what runs past midnight; read
        // once, it becomes the following day's file.
        bool bNext = false;
        bool bProfile = false; // the one-second profile, its LAeq,1s
    };

    // No days when a date is invalid or dtFrom lies after dtTo.
    TDayWalk(const QString& sDataPath, const QDate& dtFrom, const QDate& dtTo);

    // The exclusions the records are marked with; none without (the raw figures).
    // The list must outlive the walk.
    void SetExclusions(const TExclusions* p) { pExcl = p; }

    int Days() const { return nDays; }
    // Begins monitor sID; the next Step goes to the range's first day.
    void Start(const QString& sID, const TFiles& files);
    // Goes to the next day; false after the last one.
    bool Step();

    int Index() const { return iDay; } // of the current day in the range, from 0
    QDate Date() const { return dtFrom.addDays(iDay); }
    const TDayRecords& Periodic() const { return periodic; }
    const TDayRecords& NextPeriodic() const { return next; }
    const TDayRecords& Profile() const { return profile; }

    // The 86400 levels of a loaded profile day; NaN where a second has no level.
    static std::vector<double> SecondLevels(const TTHFile& file);

private:
    TDayRecords Read(bool bProfile, const QDate& dt);
    void MarkExcluded(TDayRecords& rec, int nRecSecs) const;

    QString sDataPath;
    const TExclusions* pExcl = nullptr;
    QDate dtFrom;
    int nDays = 0;
    TPerFile per;
    TTHFile prf;
    QString sID;
    TFiles files;
    int iDay = -1;
    TDayRecords periodic;
    TDayRecords next;
    TDayRecords profile;
};
