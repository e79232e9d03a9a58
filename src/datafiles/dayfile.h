#pragma once

#include <QDate>
#include <QString>
#include <QStringList>
#include <QStringView>

#include <vector>

// What the four day-file readers share: a file read whole into memory as lines
// (CR LF, LF or CR ends a line; a final line end makes no extra line), line 1 the
// header, every further line a record whose field 0 is the time "hh:mm:ss". Fields
// are split only when asked for, one line at a time. A reader never reports: a
// missing, empty, locked or unreadable file is an empty day.
class TDayFile
{
public:
    virtual ~TDayFile() = default;
    Q_DISABLE_COPY_MOVE(TDayFile)

    int FldCount() const { return int(slFlds.size()); }
    // Number of records; -1 after a failed load or before any load.
    int RecCount() const { return int(aLines.size()) - 1; }
    // Header field iFld, or the empty text.
    QString FldName(int iFld) const;
    // Index of the header field equal to sFld, letter case ignored; -1 when none.
    int FindFld(const QString& sFld) const;

    // Field iFld of record iRec, or the empty text (record or field beyond the end).
    QString FldStr(int iRec, int iFld) const;
    // The field as a number: optional sign, digits, optional "." and decimals,
    // optional exponent, blanks around. Anything else ("-", the empty text, n/a, a
    // number outside the range of a double) gives -1.
    double FldVal(int iRec, int iFld) const;
    // The field as "h:m:s" seconds since midnight (whole numbers, sign allowed, no
    // upper bounds: 25:00:00 gives 90000), or -1 when it is not three such parts.
    int FldTimeSecs(int iRec, int iFld) const;

    // The whole text of line iLine (0 is the header).
    QStringView Line(int iLine) const;

protected:
    explicit TDayFile(bool bStrictRecords);

    // Empties the lines, then reads the file at sPath. True when it exists and has at
    // least one line; the header names are then replaced by line 1's.
    bool LoadPath(const QString& sPath);

    // Replaces the records (all lines after the header) with the given texts.
    void ReplaceRecords(const QStringList& slRecords);

    // Builds the day-file path: data folder, ID, "yyyy-MM" month folder, then sFile.
    static QString DayFilePath(const QString& sDataPath, const QString& sID, const QDate& dt,
                               const QString& sFile);

private:
    struct TLine
    {
        qsizetype nStart;
        qsizetype nLen;
    };

    bool bStrict;           // records split by the strict rule (profile files)
    QString sText;          // the decoded file
    std::vector<TLine> aLines; // every line of the last load, header included
    QStringList slFlds;     // header names of the last successful load
};
