#pragma once

#include <QDate>
#include <QDateTime>
#include <QHash>
#include <QString>
#include <QStringList>

#include <functional>
#include <optional>
#include <vector>

// One span of time a monitor should not have counted, as a consultant marked it.
//
// Times are wall-clock times as the day files carry them: a date and the seconds
// after its midnight, joined into one number (Wall) so that spans across midnight
// compare and subtract simply. The analyses walk the day files by date and seconds
// after midnight, so this is what they ask with; a QDateTime would turn the hour
// that repeats on the day the clock goes back into two instants, while the day file
// gives both passes the same clock times and an exclusion of 02:00-03:00 has to
// cover both. Lengths are therefore wall-clock seconds: on the day the clock goes
// forward the missing hour counts as if it had passed.
struct TExclusion
{
    enum class EReason
    {
        Rain,
        Wind,
        Works,
        Fault,
        Calibration,
        Other
    };

    int nId = 0;
    QString sMonitor;     // a monitor ID, or "*" for every monitor
    qint64 nFrom = 0;     // Wall(); the first second excluded
    qint64 nTo = 0;       // Wall(); the first second no longer excluded, after nFrom
    QStringList slParams; // empty: all levels
    EReason eReason = EReason::Other;
    QString sComment;
    QString sAuthor;        // login name
    qint64 nCreated = 0;    // Wall()
    qint64 nWithdrawn = -1; // Wall(); -1 while in force
    QString sWithdrawnBy;   // login name

    bool IsWithdrawn() const { return nWithdrawn >= 0; }
    bool AllMonitors() const { return sMonitor == QLatin1String("*"); }
    // Whether the exclusion covers parameter sParam (names compare without regard to case).
    bool Covers(const QString& sParam) const;

    static qint64 Wall(const QDate& dt, int nSecs) { return dt.toJulianDay() * 86400 + nSecs; }
    static qint64 Wall(const QDateTime& dt);
    static QDate DateOf(qint64 nWall);
    static int SecsOf(qint64 nWall); // 0 ... 86399
    // "yyyy-MM-dd HH:mm:ss"
    static QString WallText(qint64 nWall);
    // "yyyy-MM-dd HH:mm:ss" exactly; nothing for anything else.
    static std::optional<qint64> ParseWall(const QString& s);

    // "rain", "wind", "works", "fault", "calibration", "other"
    static QString ReasonText(EReason e);
    static std::optional<EReason> ParseReason(const QString& s);
    // The reasons of a set of bits int(EReason), "rain, works"; empty for none.
    static QString ReasonsText(int nReasons);
};

// A stretch of time covered by one or more exclusions, with the reasons that cover it
// (bit int(EReason) set for each).
struct TExcludedSpan
{
    qint64 nFrom = 0;
    qint64 nTo = 0;
    int nReasons = 0;
    qint64 Length() const { return nTo - nFrom; }
    bool HasReason(TExclusion::EReason e) const { return (nReasons >> int(e) & 1) != 0; }
};

// The exclusion file "rp_exclusions.csv" beside the settings: plain CSV with a header
// line naming the columns, one row per exclusion, read, changed and written whole.
// Rows are never removed: a withdrawn exclusion keeps its row with who withdrew it
// and when. A row that cannot be read is reported (slErrors) and written back
// exactly as it was; so is every row the program did not change, and a file nobody
// changed is written back byte for byte.
class TExclusions final
{
public:
    // Larger files are refused: 100,000 rows take some 9 MB.
    static constexpr qint64 nMaxFileBytes = 64 * 1024 * 1024;

    TExclusions();

    // "<sCommonAppData>/Kestrom/Tarvik-SV/rp_exclusions.csv", beside the settings file;
    // empty when sCommonAppData is.
    static QString DefaultFileName(const QString& sCommonAppData);

    // Reads sFile; a missing file is an empty list. False with sError when the file is
    // there but cannot be read (not a plain file, too large, not text, no header):
    // the list is then empty and Save refuses, so nothing the file holds is lost.
    bool Load(const QString& sFile, QString& sError);
    // The same from text; sFile only names the file Save writes to.
    bool LoadText(const QString& sText, const QString& sFile, QString& sError);

    const QString& FileName() const { return sFile; }
    // Every exclusion that could be read, in file order, withdrawn ones too.
    const std::vector<TExclusion>& Rows() const { return cur.aRows; }
    const TExclusion* Find(int nId) const;
    // The rows that could not be read, each with its line and the reason; shown once.
    const QStringList& Errors() const { return slErrors; }
    // One line for the status bar or standard error; empty without errors.
    QString ErrorSummary() const;
    // The monitor IDs rows name that slIDs (the installation's monitors) lacks, each
    // once; "*" is every monitor and never unknown.
    QStringList UnknownMonitors(const QStringList& slIDs) const;
    QString UnknownSummary(const QStringList& slIDs) const;

    // Adds ex under a new id, written by the login name at the clock's time; its id,
    // author and withdrawal are ignored. The new id, or 0 with sError when ex is not
    // a sound exclusion (no monitor, to not after from, a parameter list that cannot
    // be stored).
    int Add(const TExclusion& ex, QString& sError);
    // Changes the monitor, span, parameters, reason and comment of row ex.nId; the
    // author, creation and withdrawal stay. A withdrawn row stays as it was.
    bool Edit(const TExclusion& ex, QString& sError);
    // Marks row nId withdrawn by the login name at the clock's time.
    bool Withdraw(int nId, QString& sError);
    // Goes back to the rows before the last change; false when there is none.
    bool Undo();
    bool CanUndo() const { return prev.has_value(); }
    bool Changed() const { return cur.bChanged; }

    // The file's bytes as Save writes them.
    QByteArray Bytes() const;
    // Writes the whole file to a temporary file beside it that then takes its name.
    // False with sError ("Unable to write to ...") when the folder or the file refuses
    // writing or the load failed; the file on disk is then as it was.
    bool Save(QString& sError);

    // The queries read an index by monitor of the rows in force, sorted by start, that
    // every change rebuilds: a day's query looks at the rows near that day alone, and
    // several threads may ask at once.
    //
    // The active exclusions of monitor sID (its own and "*") that cover parameter
    // sParam within [nFrom, nTo), clipped to it and merged: disjoint, sorted, so
    // time covered by several counts once.
    std::vector<TExcludedSpan> Spans(const QString& sID, const QString& sParam, qint64 nFrom,
                                     qint64 nTo) const;
    // The same for one day, as seconds after its midnight (0 ... 86400).
    std::vector<TExcludedSpan> SpansOnDay(const QString& sID, const QString& sParam, const QDate& dt) const;
    bool IsExcluded(const QString& sID, const QString& sParam, qint64 nAt) const;

    // Exclusions the program finds itself (wind and rain above the weather rules):
    // queried with the rows of the file while on, never written to it. Their ids are
    // negative, from -1 down.
    void SetAutomatic(std::vector<TExclusion> a);
    const std::vector<TExclusion>& Automatic() const { return aAuto; }
    void SetAutomaticOn(bool b);
    bool AutomaticOn() const { return bAutoOn; }

    // For tests: the clock and the login name that Add and Withdraw record.
    void SetClock(std::function<QDateTime()> fn) { fnNow = std::move(fn); }
    void SetLogin(const QString& s) { sLogin = s; }

private:
    // One record of the file: the header, a row, a blank line or a row that cannot be
    // read. sRaw is the record as read, line ending included; empty once the program
    // changed the row, which is then written from aRows[iRow].
    struct TLine
    {
        QString sRaw;
        int iRow = -1;
        QStringList slFields; // as read, so that columns the program does not know stay
    };
    struct TState
    {
        std::vector<TLine> aLines;
        std::vector<TExclusion> aRows;
        bool bChanged = false;
        bool bHasHeader = false;
    };
    // Active rows of one monitor key, sorted by start, with the latest end so far.
    struct TIndexList
    {
        std::vector<int> aiRows;
        std::vector<qint64> anMaxTo;
    };

    void Clear();
    bool Validate(const TExclusion& ex, QString& sError) const;
    QString RowText(const TLine& line) const;
    void Remember();
    void BuildIndex();
    void Collect(const TIndexList* list, const QString& sParam, qint64 nFrom, qint64 nTo,
                 std::vector<TExcludedSpan>& a) const;
    qint64 Now() const;
    // Index entry i: row i of the file, or automatic exclusion -i-1.
    const TExclusion& Indexed(int i) const { return i >= 0 ? cur.aRows[size_t(i)] : aAuto[size_t(-i - 1)]; }

    QString sFile;
    QStringList slErrors;
    bool bLoadFailed = false;
    int nMaxIdSeen = 0; // the highest id of any row, the unreadable ones too
    QByteArray baRead;  // the file as read, written back while nothing changed
    int iEncoding = 0;  // TTextDecode::EEncoding of the file
    QString sEol = QStringLiteral("\r\n");
    std::vector<int> aiColumn; // per field (EColumn), its column in the header; -1: none
    int nColumns = 0;
    TState cur;
    std::optional<TState> prev;
    std::function<QDateTime()> fnNow;
    QString sLogin;

    std::vector<TExclusion> aAuto;
    bool bAutoOn = true;
    QHash<QString, TIndexList> index; // by case-folded monitor ID, "*" too
};
