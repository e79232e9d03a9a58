#pragma once

#include "datafiles/csvsplit.h"

#include <QDate>
#include <QString>
#include <QStringList>
#include <QStringView>

#include <functional>
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
    // The same text as FldStr without making a string when the field needs no
    // unescaping: a view into the file, or into sBuf where the text had to be built.
    // Valid until the next load or the next call with the same sBuf.
    QStringView FldText(int iRec, int iFld, QString& sBuf) const;
    // The field as a number: optional sign, digits, optional "." and decimals,
    // optional exponent, blanks around. Anything else ("-", the empty text, n/a, a
    // number outside the range of a double) gives -1.
    double FldVal(int iRec, int iFld) const
    {
        // A gap record holds a time and "-": no field of it is a number. Most of a
        // sparse profile day is gaps, so they are told apart here, before any call.
        if (iRec >= 0 && iRec < RecCount() && IsGapRecord(aLines[size_t(iRec) + 1]))
            return -1;
        return FldValOf(iRec, iFld);
    }
    // The field as "h:m:s" seconds since midnight (whole numbers, sign allowed, no
    // upper bounds: 25:00:00 gives 90000), or -1 when it is not three such parts.
    int FldTimeSecs(int iRec, int iFld) const;

    // The whole text of line iLine (0 is the header), or empty; valid until the next Load.
    QStringView Line(int iLine) const;

    // The number rule of FldVal and the time rule of FldTimeSecs on any text.
    static double ParseVal(QStringView sVal);
    static int ParseTimeSecs(QStringView sTime);

    // What one load may take. The largest real day file, a whole profile day, is
    // 86,401 lines of about 16 bytes (some 1.4 MB, twice that in UTF-16); a file
    // beyond either limit, such as a huge sparse file, is no day rather than a load
    // that exhausts memory.
    static constexpr qint64 nMaxFileBytes = 32 * 1024 * 1024;
    static constexpr int nMaxLines = 1'000'000;

protected:
    explicit TDayFile(bool bStrictRecords);

    // Empties the lines, then reads the file at sPath. True when it is a plain file
    // within the limits above and has at least one line; the header names are then
    // replaced by line 1's.
    bool LoadPath(const QString& sPath);

    // Builds the day-file path: data folder, ID, "yyyy-MM" month folder, then sFile.
    static QString DayFilePath(const QString& sDataPath, const QString& sID, const QDate& dt,
                               const QString& sFile);

    // A line is a piece of the decoded file, or of the shared text of gap records,
    // kept as offset and length: a filled profile day has 86,401 of them, and at
    // eight bytes each they stay in the processor's cache.
    struct TLine
    {
        // Left unset when made without text: a day is sized first and then every
        // line written, so clearing a day's worth of lines would be wasted.
        TLine() {}
        TLine(quint32 nOffset, quint32 nLength) : nOff(nOffset), nLen(nLength) {}
        bool operator==(const TLine&) const = default;
        quint32 nOff; // into the file's text, or with nGapBit set into the gap text
        quint32 nLen;
    };
    static constexpr quint32 nGapBit = 0x8000'0000U;
    // The profile gap record "hh:mm:ss,-" of second nSec (0..86399) of the day.
    static TLine GapRecord(int nSec) { return {nGapBit | quint32(nSec * nGapLen), quint32(nGapLen)}; }
    static bool IsGapRecord(const TLine& line) { return (line.nOff & nGapBit) != 0; }
    QStringView LineText(const TLine& line) const
    {
        return {(IsGapRecord(line) ? pGaps : sText.constData()) + (line.nOff & ~nGapBit), qsizetype(line.nLen)};
    }
    static constexpr int nSecsPerDay = 86400;
    static constexpr qsizetype nGapLen = 10; // "hh:mm:ss,-"

    // Every line of the last load, header included. The views point into sText,
    // which is never changed after the lines are built.
    std::vector<TLine> aLines;

private:
    // Every gap record of a day, one after the other, built once and shared by all
    // profile readers: filling a day then only points lines into this text.
    static const QString& GapText();
    // ParseVal for a number too long or with an exponent: pMant..pEnd is its checked
    // text without sign.
    static double ParseValLong(const char16_t* pMant, const char16_t* pEnd, bool bNeg);
    TCsvSplit::TFieldSpan LocateFld(int iRec, int iFld) const;
    // Field iFld of record iRec among the record's fields, found once for the record;
    // null out of range.
    const TCsvSplit::TFieldSpan* IndexedFld(int iRec, int iFld) const;
    double FldValOf(int iRec, int iFld) const; // FldVal of a record that is no gap
    // Locates every field of one line in a single walk and keeps them as the record
    // last asked for.
    void IndexFields(const TLine& line) const;
    void ForgetFields() const { idxLine = {~0U, ~0U}; }

    bool bStrict;       // records split by the strict rule (profile files)
    const QChar* pGaps; // the shared gap records of a whole day (profile files only)
    QString sText;      // the decoded file
    QStringList slFlds; // header names of the last successful load

    // The fields of the record last asked for. A record is read field by field, and
    // finding field n anew would walk the line from its start each time; the line's
    // fields are found once instead. The record is known by its line, which within
    // one load always holds the same text; a load forgets it.
    mutable TLine idxLine{~0U, ~0U}; // no line of any load
    mutable std::vector<TCsvSplit::TFieldSpan> aIdxFlds;
};
