#include "analysis/exclusions.h"

#include "reports/csvtext.h"

#include "platform/platform.h"
#include "platform/textdecode.h"
#include "platform/wholefile.h"
#include "platform/writeerror.h"

#include <QDir>
#include <QFileInfo>
#include <QTime>

#include <algorithm>

namespace {

// The columns the program knows, in the order a new file names them.
enum EColumn
{
    ColId,
    ColMonitor,
    ColFrom,
    ColTo,
    ColCovers,
    ColReason,
    ColComment,
    ColAuthor,
    ColCreated,
    ColWithdrawn,
    ColWithdrawnBy,
    ColCount
};

const char* const aszColumns[ColCount] = {"id",      "monitor",   "from",        "to",
                                          "covers",  "reason",    "comment",     "author",
                                          "created", "withdrawn", "withdrawn by"};

const char* const aszReasons[] = {"rain", "wind", "works", "fault", "calibration", "other"};

const QString sAll = QStringLiteral("all");

// Text without NUL or other control characters but tab and line endings.
bool IsText(const QString& sText)
{
    for (QChar c : sText)
        if (c.unicode() < 0x20 && c != u'\t' && c != u'\n' && c != u'\r')
            return false;
    return true;
}

// The fields as the program's other CSV output quotes them.
QString CsvField(const QString& s)
{
    return TCsvText::Field(s);
}

struct TRecord
{
    QString sRaw;
    QStringList slFields;
    QString sError;
    qsizetype iEnd = 0;  // where the next record starts
    int nLines = 0;      // line breaks taken, the record's own included
    bool bSpans = false; // a quoted field runs past a line end
};

// The record that starts at iStart, up to a line break outside quotes, with its line
// ending. bOneLine ends it at its first line break whatever the quotes: a quote left
// open must not swallow the rows after it.
TRecord ParseRecord(const QString& s, qsizetype iStart, bool bOneLine)
{
    TRecord rec;
    const qsizetype n = s.size();
    qsizetype i = iStart;
    QString sField;
    bool bInQuotes = false;
    bool bFieldStart = true;
    bool bAfterQuote = false;
    bool bEnded = false;
    while (i < n && !bEnded) {
        const QChar c = s[i];
        if (bInQuotes && (c != u'\r' && c != u'\n')) {
            if (c == u'"') {
                if (i + 1 < n && s[i + 1] == u'"') {
                    sField += c;
                    i += 2;
                    continue;
                }
                bInQuotes = false;
                bAfterQuote = true;
            } else {
                sField += c;
            }
            ++i;
            continue;
        }
        if (bInQuotes && !bOneLine) {
            if (c == u'\n')
                ++rec.nLines;
            rec.bSpans = true;
            sField += c;
            ++i;
            continue;
        }
        if (c == u',') {
            rec.slFields.append(sField);
            sField.clear();
            bFieldStart = true;
            bAfterQuote = false;
            ++i;
            continue;
        }
        if (c == u'\r' || c == u'\n') {
            i += (c == u'\r' && i + 1 < n && s[i + 1] == u'\n') ? 2 : 1;
            ++rec.nLines;
            bEnded = true;
            continue;
        }
        if (c == u'"' && bFieldStart) {
            bInQuotes = true;
            bFieldStart = false;
            ++i;
            continue;
        }
        if (bAfterQuote && rec.sError.isEmpty())
            rec.sError = QStringLiteral("text after a closing quote");
        bFieldStart = false;
        // The plain characters up to the next comma, quote or line end, at once.
        qsizetype j = i + 1;
        while (j < n && s[j] != u',' && s[j] != u'"' && s[j] != u'\r' && s[j] != u'\n')
            ++j;
        sField += QStringView(s).mid(i, j - i);
        i = j;
    }
    if (bInQuotes) {
        rec.bSpans = true;
        rec.sError = QStringLiteral("a quote is not closed");
    }
    rec.slFields.append(sField);
    rec.sRaw = s.mid(iStart, i - iStart);
    rec.iEnd = i;
    return rec;
}

QString LineEnding(const QString& sRaw)
{
    if (sRaw.endsWith(QLatin1String("\r\n")))
        return QStringLiteral("\r\n");
    if (sRaw.endsWith(u'\n'))
        return QStringLiteral("\n");
    if (sRaw.endsWith(u'\r'))
        return QStringLiteral("\r");
    return QString();
}

// A name that a parameter list can hold and read back.
bool IsParamName(const QString& s)
{
    return !s.isEmpty() && s == s.trimmed() && !s.contains(u';') && !s.contains(u'\n') &&
           !s.contains(u'\r') && s.compare(sAll, Qt::CaseInsensitive) != 0;
}

// A parameter list as stored: "all", or names joined by ";".
std::optional<QStringList> ParseCovers(const QString& s, QString& sError)
{
    if (s.compare(sAll, Qt::CaseInsensitive) == 0)
        return QStringList();
    QStringList sl;
    for (const QString& sPart : s.split(u';')) {
        const QString sName = sPart.trimmed();
        if (!IsParamName(sName)) {
            sError = QStringLiteral("covers must be \"all\" or parameter names separated by \";\"");
            return std::nullopt;
        }
        sl.append(sName);
    }
    return sl;
}

std::optional<int> ParseId(const QString& s)
{
    if (s.isEmpty() || s.size() > 9)
        return std::nullopt;
    for (QChar c : s)
        if (c < u'0' || c > u'9')
            return std::nullopt;
    const int n = s.toInt();
    return n > 0 ? std::optional<int>(n) : std::nullopt;
}

} // namespace

// --- one exclusion ------------------------------------------------------------------------

bool TExclusion::Covers(const QString& sParam) const
{
    return slParams.isEmpty() || slParams.contains(sParam, Qt::CaseInsensitive);
}

qint64 TExclusion::Wall(const QDateTime& dt)
{
    return Wall(dt.date(), dt.time().msecsSinceStartOfDay() / 1000);
}

QDate TExclusion::DateOf(qint64 nWall)
{
    qint64 nDay = nWall / 86400;
    if (nWall % 86400 < 0)
        --nDay;
    return QDate::fromJulianDay(nDay);
}

int TExclusion::SecsOf(qint64 nWall)
{
    const qint64 n = nWall % 86400;
    return int(n < 0 ? n + 86400 : n);
}

// Written and read digit by digit: a file of 100,000 rows holds 300,000 of them, and
// the date and time formatters would take seconds over it.
QString TExclusion::WallText(qint64 nWall)
{
    const QDate dt = DateOf(nWall);
    const int nSecs = SecsOf(nWall);
    const int an[6] = {dt.year(), dt.month(), dt.day(), nSecs / 3600, nSecs / 60 % 60, nSecs % 60};
    if (!dt.isValid() || an[0] < 1 || an[0] > 9999)
        return QString();
    char ac[20] = "0000-00-00 00:00:00";
    ac[0] = char('0' + an[0] / 1000);
    ac[1] = char('0' + an[0] / 100 % 10);
    ac[2] = char('0' + an[0] / 10 % 10);
    ac[3] = char('0' + an[0] % 10);
    for (int i = 1; i < 6; ++i) {
        ac[2 + 3 * i] = char('0' + an[i] / 10);
        ac[3 + 3 * i] = char('0' + an[i] % 10);
    }
    return QString::fromLatin1(ac, 19);
}

std::optional<qint64> TExclusion::ParseWall(const QString& s)
{
    // Only the one spelling the program writes, so that a row reads back as written.
    static const char acPattern[] = "dddd-dd-dd dd:dd:dd";
    if (s.size() != 19)
        return std::nullopt;
    int an[6] = {};
    int iPart = 0;
    for (int i = 0; i < 19; ++i) {
        const QChar c = s[i];
        if (acPattern[i] != 'd') {
            if (c != QLatin1Char(acPattern[i]))
                return std::nullopt;
            ++iPart;
        } else if (c >= u'0' && c <= u'9') {
            an[iPart] = an[iPart] * 10 + (c.unicode() - '0');
        } else {
            return std::nullopt;
        }
    }
    const QDate dt(an[0], an[1], an[2]);
    if (an[0] < 1 || !dt.isValid() || an[3] > 23 || an[4] > 59 || an[5] > 59)
        return std::nullopt;
    return Wall(dt, an[3] * 3600 + an[4] * 60 + an[5]);
}

QString TExclusion::ReasonsText(int nReasons)
{
    QStringList sl;
    for (int e = 0; e <= int(EReason::Other); ++e)
        if ((nReasons >> e & 1) != 0)
            sl.append(ReasonText(EReason(e)));
    return sl.join(QStringLiteral(", "));
}

QString TExclusion::ReasonText(EReason e)
{
    return QString::fromLatin1(aszReasons[int(e)]);
}

std::optional<TExclusion::EReason> TExclusion::ParseReason(const QString& s)
{
    for (int i = 0; i < int(std::size(aszReasons)); ++i)
        if (s.compare(QLatin1String(aszReasons[i]), Qt::CaseInsensitive) == 0)
            return EReason(i);
    return std::nullopt;
}

// --- the file -----------------------------------------------------------------------------

TExclusions::TExclusions() : sLogin(TPlatform::LoginName()) {}

QString TExclusions::DefaultFileName(const QString& sCommonAppData)
{
    if (sCommonAppData.isEmpty())
        return QString();
    const QString sSep = TPlatform::Sep();
    return sCommonAppData + sSep + QStringLiteral("Kestrom") + sSep + QStringLiteral("Tarvik-SV") + sSep +
           QStringLiteral("rp_exclusions.csv");
}

void TExclusions::Clear()
{
    slErrors.clear();
    bLoadFailed = false;
    nMaxIdSeen = 0;
    baRead.clear();
    iEncoding = int(TTextDecode::EEncoding::Utf8);
    sEol = QStringLiteral("\r\n");
    aiColumn.assign(ColCount, -1);
    for (int i = 0; i < ColCount; ++i)
        aiColumn[size_t(i)] = i;
    nColumns = ColCount;
    cur = TState();
    prev.reset();
    // The exclusions the program finds itself stay, whatever the file holds.
    BuildIndex();
}

bool TExclusions::Load(const QString& sFileName, QString& sError)
{
    // Read as the settings and the limits file are: only a plain file (a pipe or a
    // device could hold the program up for ever), and decoded by the one rule for
    // text files.
    const QFileInfo fi(sFileName);
    if (!fi.exists() && !fi.isSymLink()) {
        Clear();
        sFile = sFileName;
        return true;
    }
    std::optional<QByteArray> ba;
    if (fi.isFile() && fi.size() > nMaxFileBytes)
        sError = QStringLiteral("the exclusion file ") + sFileName + QStringLiteral(" is larger than 64 MB");
    else if (!(ba = TPlatform::ReadPlainFile(sFileName, nMaxFileBytes)))
        sError = QStringLiteral("cannot read the exclusion file ") + sFileName +
                 (fi.exists() && !fi.isFile() ? QStringLiteral(" (not a plain file)") : QString());
    if (!ba) {
        Clear();
        sFile = sFileName;
        bLoadFailed = true;
        return false;
    }
    const TTextDecode::TDecoded dec = TTextDecode::DecodeKeeping(*ba);
    if (!LoadText(dec.sText, sFileName, sError))
        return false;
    baRead = *ba;
    iEncoding = int(dec.enc);
    return true;
}

bool TExclusions::LoadText(const QString& sText, const QString& sFileName, QString& sError)
{
    Clear();
    sFile = sFileName;
    if (!IsText(sText)) {
        sError = QStringLiteral("the exclusion file ") + sFileName + QStringLiteral(" is not text");
        bLoadFailed = true;
        return false;
    }
    baRead = sText.toUtf8();
    bool bHeader = false;
    QHash<int, int> lineOfId;
    // Why the record cannot be read as a row, or nothing with ex filled in.
    const auto ReadRow = [&](const TRecord& rec, TExclusion& ex) -> QString {
        QString sWhy = rec.sError;
        auto Field = [&](int c) { return rec.slFields.value(aiColumn[size_t(c)]); };
        if (sWhy.isEmpty() && rec.slFields.size() != nColumns)
            sWhy = QString::number(rec.slFields.size()) + QStringLiteral(" fields where the header names ") +
                   QString::number(nColumns);
        if (sWhy.isEmpty()) {
            const std::optional<int> nId = ParseId(Field(ColId).trimmed());
            const std::optional<qint64> nFrom = TExclusion::ParseWall(Field(ColFrom).trimmed());
            const std::optional<qint64> nTo = TExclusion::ParseWall(Field(ColTo).trimmed());
            const std::optional<TExclusion::EReason> reason =
                TExclusion::ParseReason(Field(ColReason).trimmed());
            const std::optional<qint64> nCreated = TExclusion::ParseWall(Field(ColCreated).trimmed());
            const QString sWithdrawn = Field(ColWithdrawn).trimmed();
            const std::optional<qint64> nWithdrawn = TExclusion::ParseWall(sWithdrawn);
            QString sCoversError;
            const std::optional<QStringList> slParams = ParseCovers(Field(ColCovers).trimmed(), sCoversError);
            ex.sMonitor = Field(ColMonitor).trimmed();
            ex.sComment = Field(ColComment);
            ex.sAuthor = Field(ColAuthor);
            ex.sWithdrawnBy = Field(ColWithdrawnBy);
            if (!nId)
                sWhy = QStringLiteral("the id is not a whole number above 0");
            else if (lineOfId.contains(*nId))
                sWhy = QStringLiteral("id ") + QString::number(*nId) + QStringLiteral(" is used on line ") +
                       QString::number(lineOfId.value(*nId)) + QStringLiteral(" already");
            else if (ex.sMonitor.isEmpty())
                sWhy = QStringLiteral("no monitor");
            else if (!nFrom || !nTo)
                sWhy = QStringLiteral("from and to must be dates and times as yyyy-MM-dd HH:mm:ss");
            else if (*nTo <= *nFrom)
                sWhy = QStringLiteral("to is not after from");
            else if (!slParams)
                sWhy = sCoversError;
            else if (!reason)
                sWhy =
                    QStringLiteral("the reason is not one of rain, wind, works, fault, calibration, other");
            else if (!nCreated)
                sWhy = QStringLiteral("created must be a date and time as yyyy-MM-dd HH:mm:ss");
            else if (!sWithdrawn.isEmpty() && !nWithdrawn)
                sWhy = QStringLiteral("withdrawn must be empty or a date and time as yyyy-MM-dd HH:mm:ss");
            else if (sWithdrawn.isEmpty() && !ex.sWithdrawnBy.trimmed().isEmpty())
                sWhy = QStringLiteral("withdrawn by is given without the time of the withdrawal");
            if (sWhy.isEmpty()) {
                ex.nId = *nId;
                ex.nFrom = *nFrom;
                ex.nTo = *nTo;
                ex.slParams = *slParams;
                ex.eReason = *reason;
                ex.nCreated = *nCreated;
                ex.nWithdrawn = nWithdrawn.value_or(-1);
                if (!ex.IsWithdrawn())
                    ex.sWithdrawnBy.clear(); // blanks at most
            }
        }
        return sWhy;
    };
    int nLine = 1;
    for (qsizetype iNext = 0; iNext < sText.size();) {
        TRecord rec = ParseRecord(sText, iNext, !bHeader);
        TExclusion ex;
        QString sWhy;
        if (bHeader && !rec.sRaw.trimmed().isEmpty()) {
            sWhy = ReadRow(rec, ex);
            // A quoted field over several lines is taken only in a row that reads
            // whole; anything else ends at its first line break, so that an open
            // quote cannot swallow the rows after it, nor a row added later.
            // The reason is then that of the line alone, the same whatever follows.
            if (!sWhy.isEmpty() && rec.bSpans) {
                rec = ParseRecord(sText, iNext, true);
                sWhy = ReadRow(rec, ex);
            }
        }
        const int nRecLine = nLine;
        nLine += rec.nLines;
        iNext = rec.iEnd;
        TLine line;
        line.sRaw = rec.sRaw;
        const bool bBlank = rec.sRaw.trimmed().isEmpty();
        if (!bHeader && !bBlank) {
            // The header names the columns; their order is the file's, and columns the
            // program does not know are kept.
            bHeader = true;
            cur.bHasHeader = true;
            sEol = LineEnding(rec.sRaw).isEmpty() ? sEol : LineEnding(rec.sRaw);
            aiColumn.assign(ColCount, -1);
            nColumns = int(rec.slFields.size());
            for (int i = 0; i < nColumns; ++i) {
                const QString sName = rec.slFields[i].trimmed();
                for (int c = 0; c < ColCount; ++c)
                    if (aiColumn[size_t(c)] < 0 &&
                        sName.compare(QLatin1String(aszColumns[c]), Qt::CaseInsensitive) == 0)
                        aiColumn[size_t(c)] = i;
            }
            QStringList slMissing;
            for (int c = 0; c < ColCount; ++c)
                if (aiColumn[size_t(c)] < 0)
                    slMissing.append(QLatin1String(aszColumns[c]));
            if (!rec.sError.isEmpty() || !slMissing.isEmpty()) {
                sError = QStringLiteral("the exclusion file ") + sFileName +
                         QStringLiteral(" has no header line naming the columns ") +
                         (rec.sError.isEmpty() ? slMissing.join(QStringLiteral(", ")) : rec.sError);
                Clear();
                sFile = sFileName;
                bLoadFailed = true;
                return false;
            }
            cur.aLines.push_back(std::move(line));
            continue;
        }
        if (bBlank) {
            cur.aLines.push_back(std::move(line));
            continue;
        }
        if (sWhy.isEmpty()) {
            lineOfId.insert(ex.nId, nRecLine);
            line.iRow = int(cur.aRows.size());
            line.slFields = rec.slFields;
            cur.aRows.push_back(std::move(ex));
        } else {
            slErrors.append(QStringLiteral("line ") + QString::number(nRecLine) + QStringLiteral(": ") +
                            sWhy);
            // Its id is taken all the same, so that mending the row later cannot
            // make it clash with one added meanwhile.
            if (const std::optional<int> nId = ParseId(rec.slFields.value(aiColumn[ColId]).trimmed()))
                lineOfId.insert(*nId, lineOfId.value(*nId, nRecLine));
        }
        cur.aLines.push_back(std::move(line));
    }
    nMaxIdSeen = 0;
    for (auto it = lineOfId.cbegin(); it != lineOfId.cend(); ++it)
        nMaxIdSeen = std::max(nMaxIdSeen, it.key());
    BuildIndex();
    return true;
}

const TExclusion* TExclusions::Find(int nId) const
{
    for (const TExclusion& ex : cur.aRows)
        if (ex.nId == nId)
            return &ex;
    return nullptr;
}

QString TExclusions::ErrorSummary() const
{
    if (slErrors.isEmpty())
        return QString();
    return QString::number(slErrors.size()) +
           (slErrors.size() == 1
                ? QStringLiteral(" exclusion row could not be read and is kept as it is: ")
                : QStringLiteral(" exclusion rows could not be read and are kept as they are: ")) +
           slErrors.join(QStringLiteral("; "));
}

QStringList TExclusions::UnknownMonitors(const QStringList& slIDs) const
{
    QStringList sl;
    for (const TExclusion& ex : cur.aRows) {
        if (ex.IsWithdrawn() || ex.AllMonitors() || sl.contains(ex.sMonitor, Qt::CaseInsensitive) ||
            slIDs.contains(ex.sMonitor, Qt::CaseInsensitive))
            continue;
        sl.append(ex.sMonitor);
    }
    return sl;
}

QString TExclusions::UnknownSummary(const QStringList& slIDs) const
{
    const QStringList sl = UnknownMonitors(slIDs);
    if (sl.isEmpty())
        return QString();
    return (sl.size() == 1
                ? QStringLiteral("exclusions name a monitor that does not exist and exclude nothing: ")
                : QStringLiteral("exclusions name monitors that do not exist and exclude nothing: ")) +
           sl.join(QStringLiteral(", "));
}

// --- changes ------------------------------------------------------------------------------

qint64 TExclusions::Now() const
{
    return TExclusion::Wall(fnNow ? fnNow() : QDateTime::currentDateTime());
}

bool TExclusions::Validate(const TExclusion& ex, QString& sError) const
{
    if (bLoadFailed) {
        sError = QStringLiteral("the exclusion file ") + sFile + QStringLiteral(" could not be read");
        return false;
    }
    const auto bSound = [](qint64 n) {
        const QDate dt = TExclusion::DateOf(n);
        return dt.isValid() && dt.year() >= 1 && dt.year() <= 9999;
    };
    if (ex.sMonitor.trimmed().isEmpty() || ex.sMonitor != ex.sMonitor.trimmed())
        sError = QStringLiteral("the monitor must be an ID or \"*\"");
    else if (!bSound(ex.nFrom) || !bSound(ex.nTo) || ex.nTo <= ex.nFrom)
        sError = QStringLiteral("to is not after from");
    for (const QString& sParam : ex.slParams)
        if (!IsParamName(sParam))
            sError =
                QStringLiteral("\"") + sParam + QStringLiteral("\" cannot be stored as a parameter name");
    return sError.isEmpty();
}

void TExclusions::Remember()
{
    prev = cur;
    cur.bChanged = true;
}

int TExclusions::Add(const TExclusion& exNew, QString& sError)
{
    if (!Validate(exNew, sError))
        return 0;
    TExclusion ex = exNew;
    int nMax = nMaxIdSeen;
    for (const TExclusion& o : cur.aRows)
        nMax = std::max(nMax, o.nId);
    ex.nId = nMax + 1;
    ex.sAuthor = sLogin;
    ex.nCreated = Now();
    ex.nWithdrawn = -1;
    ex.sWithdrawnBy.clear();
    Remember();
    // The row before the new one may be the file's last without a line ending; it
    // gets one when written (Bytes).
    if (!cur.bHasHeader) {
        cur.bHasHeader = true;
        TLine header;
        QStringList sl;
        for (const char* sz : aszColumns)
            sl.append(QLatin1String(sz));
        header.sRaw = sl.join(u',') + sEol;
        cur.aLines.insert(cur.aLines.begin(), header);
    }
    TLine line;
    line.iRow = int(cur.aRows.size());
    cur.aRows.push_back(ex);
    cur.aLines.push_back(line);
    BuildIndex();
    return ex.nId;
}

bool TExclusions::Edit(const TExclusion& ex, QString& sError)
{
    if (!Validate(ex, sError))
        return false;
    for (size_t iLine = 0; iLine < cur.aLines.size(); ++iLine) {
        const int iRow = cur.aLines[iLine].iRow;
        if (iRow < 0 || cur.aRows[size_t(iRow)].nId != ex.nId)
            continue;
        if (cur.aRows[size_t(iRow)].IsWithdrawn()) {
            sError = QStringLiteral("exclusion ") + QString::number(ex.nId) +
                     QStringLiteral(" is withdrawn and stays as it was");
            return false;
        }
        Remember();
        TExclusion& row = cur.aRows[size_t(iRow)];
        row.sMonitor = ex.sMonitor;
        row.nFrom = ex.nFrom;
        row.nTo = ex.nTo;
        row.slParams = ex.slParams;
        row.eReason = ex.eReason;
        row.sComment = ex.sComment;
        cur.aLines[iLine].sRaw.clear();
        BuildIndex();
        return true;
    }
    sError = QStringLiteral("there is no exclusion ") + QString::number(ex.nId);
    return false;
}

bool TExclusions::Withdraw(int nId, QString& sError)
{
    if (bLoadFailed) {
        sError = QStringLiteral("the exclusion file ") + sFile + QStringLiteral(" could not be read");
        return false;
    }
    for (size_t iLine = 0; iLine < cur.aLines.size(); ++iLine) {
        const int iRow = cur.aLines[iLine].iRow;
        if (iRow < 0 || cur.aRows[size_t(iRow)].nId != nId)
            continue;
        if (cur.aRows[size_t(iRow)].IsWithdrawn()) {
            sError =
                QStringLiteral("exclusion ") + QString::number(nId) + QStringLiteral(" is withdrawn already");
            return false;
        }
        Remember();
        cur.aRows[size_t(iRow)].nWithdrawn = Now();
        cur.aRows[size_t(iRow)].sWithdrawnBy = sLogin;
        cur.aLines[iLine].sRaw.clear();
        BuildIndex();
        return true;
    }
    sError = QStringLiteral("there is no exclusion ") + QString::number(nId);
    return false;
}

bool TExclusions::Undo()
{
    if (!prev)
        return false;
    cur = std::move(*prev);
    prev.reset();
    BuildIndex();
    return true;
}

// --- writing ------------------------------------------------------------------------------

QString TExclusions::RowText(const TLine& line) const
{
    const TExclusion& ex = cur.aRows[size_t(line.iRow)];
    QStringList sl = line.slFields;
    while (sl.size() < nColumns)
        sl.append(QString());
    auto Set = [&](int c, const QString& s) { sl[aiColumn[size_t(c)]] = s; };
    Set(ColId, QString::number(ex.nId));
    Set(ColMonitor, ex.sMonitor);
    Set(ColFrom, TExclusion::WallText(ex.nFrom));
    Set(ColTo, TExclusion::WallText(ex.nTo));
    Set(ColCovers, ex.slParams.isEmpty() ? sAll : ex.slParams.join(u';'));
    Set(ColReason, TExclusion::ReasonText(ex.eReason));
    Set(ColComment, ex.sComment);
    Set(ColAuthor, ex.sAuthor);
    Set(ColCreated, TExclusion::WallText(ex.nCreated));
    Set(ColWithdrawn, ex.IsWithdrawn() ? TExclusion::WallText(ex.nWithdrawn) : QString());
    Set(ColWithdrawnBy, ex.IsWithdrawn() ? ex.sWithdrawnBy : QString());
    for (QString& s : sl)
        s = CsvField(s);
    return sl.join(u',') + sEol;
}

QByteArray TExclusions::Bytes() const
{
    if (!cur.bChanged)
        return baRead;
    QString sText;
    for (size_t i = 0; i < cur.aLines.size(); ++i) {
        const TLine& line = cur.aLines[i];
        sText += line.sRaw.isEmpty() ? RowText(line) : line.sRaw;
        if (i + 1 < cur.aLines.size() && LineEnding(sText).isEmpty())
            sText += sEol;
    }
    const auto enc = TTextDecode::EEncoding(iEncoding);
    // A Windows-1252 file that now holds a character the code page lacks becomes UTF-8.
    return TTextDecode::Encode(sText, enc).value_or(sText.toUtf8());
}

bool TExclusions::Save(QString& sError)
{
    const QString sNative = QDir::toNativeSeparators(sFile);
    if (sFile.isEmpty()) {
        sError = QStringLiteral("no exclusion file is named");
        return false;
    }
    if (bLoadFailed) {
        sError =
            EWriteError::Text(sNative, QStringLiteral("the file could not be read and is kept as it is"));
        return false;
    }
    // A file or folder without any write permission is refused even where the
    // system would let the superuser replace it: someone made it read-only.
    const auto bWritable = [](const QFileInfo& fi) {
        const QFileDevice::Permissions p = fi.permissions();
        return fi.isWritable() &&
               (p & (QFileDevice::WriteOwner | QFileDevice::WriteGroup | QFileDevice::WriteOther)) != 0;
    };
    const QFileInfo fi(sFile);
    const QString sFolder = fi.absolutePath();
    if (!TPlatform::ForceDirectories(sFolder)) {
        sError = EWriteError::Text(sNative, TPlatform::FolderError(sFolder));
        return false;
    }
    if ((fi.exists() && !bWritable(fi)) || !bWritable(QFileInfo(sFolder))) {
        sError = EWriteError::Text(sNative, QStringLiteral("Permission denied"));
        return false;
    }
    const QByteArray ba = Bytes();
    if (!TWholeFile::Save(sFile, ba, sError))
        return false;
    // What is on disk now is what an unchanged list writes; an undo after the save
    // has to write its rows again.
    baRead = ba;
    if (!cur.bChanged && baRead.isEmpty())
        iEncoding = int(TTextDecode::EEncoding::Utf8);
    cur.bChanged = false;
    if (prev)
        prev->bChanged = true;
    return true;
}

// --- queries ------------------------------------------------------------------------------

// Built after every change rather than on the first query, so that queries change
// nothing and several analyses may ask at once.
void TExclusions::BuildIndex()
{
    index.clear();
    for (int i = 0; i < int(cur.aRows.size()); ++i) {
        const TExclusion& ex = cur.aRows[size_t(i)];
        if (!ex.IsWithdrawn())
            index[ex.sMonitor.toCaseFolded()].aiRows.push_back(i);
    }
    if (bAutoOn)
        for (int i = 0; i < int(aAuto.size()); ++i)
            if (aAuto[size_t(i)].nTo > aAuto[size_t(i)].nFrom)
                index[aAuto[size_t(i)].sMonitor.toCaseFolded()].aiRows.push_back(-i - 1);
    for (TIndexList& list : index) {
        std::sort(list.aiRows.begin(), list.aiRows.end(),
                  [&](int a, int b) { return Indexed(a).nFrom < Indexed(b).nFrom; });
        list.anMaxTo.resize(list.aiRows.size());
        qint64 nMax = 0;
        for (size_t k = 0; k < list.aiRows.size(); ++k) {
            nMax = std::max(nMax, Indexed(list.aiRows[k]).nTo);
            list.anMaxTo[k] = nMax;
        }
    }
}

// The rows of list that overlap [nFrom, nTo): the first that can is the first whose
// latest end so far lies past nFrom, and none starting at nTo or later can.
void TExclusions::Collect(const TIndexList* list, const QString& sParam, qint64 nFrom, qint64 nTo,
                          std::vector<TExcludedSpan>& a) const
{
    if (list == nullptr)
        return;
    auto it = std::upper_bound(list->anMaxTo.begin(), list->anMaxTo.end(), nFrom);
    for (size_t k = size_t(it - list->anMaxTo.begin()); k < list->aiRows.size(); ++k) {
        const TExclusion& ex = Indexed(list->aiRows[k]);
        if (ex.nFrom >= nTo)
            break;
        if (ex.nTo > nFrom && ex.Covers(sParam))
            a.push_back({std::max(ex.nFrom, nFrom), std::min(ex.nTo, nTo), 1 << int(ex.eReason)});
    }
}

void TExclusions::SetAutomatic(std::vector<TExclusion> a)
{
    aAuto = std::move(a);
    for (size_t i = 0; i < aAuto.size(); ++i)
        aAuto[i].nId = -int(i) - 1;
    BuildIndex();
}

void TExclusions::SetAutomaticOn(bool b)
{
    bAutoOn = b;
    BuildIndex();
}

std::vector<TExcludedSpan> TExclusions::Spans(const QString& sID, const QString& sParam, qint64 nFrom,
                                              qint64 nTo) const
{
    std::vector<TExcludedSpan> a;
    if (nTo <= nFrom)
        return a;
    const auto Find = [&](const QString& sKey) {
        const auto it = index.constFind(sKey);
        return it == index.cend() ? nullptr : &*it;
    };
    Collect(Find(sID.toCaseFolded()), sParam, nFrom, nTo, a);
    if (sID != QLatin1String("*"))
        Collect(Find(QStringLiteral("*")), sParam, nFrom, nTo, a);
    std::sort(a.begin(), a.end(),
              [](const TExcludedSpan& x, const TExcludedSpan& y) { return x.nFrom < y.nFrom; });
    std::vector<TExcludedSpan> aMerged;
    for (const TExcludedSpan& s : a) {
        if (!aMerged.empty() && s.nFrom <= aMerged.back().nTo) {
            aMerged.back().nTo = std::max(aMerged.back().nTo, s.nTo);
            aMerged.back().nReasons |= s.nReasons;
        } else {
            aMerged.push_back(s);
        }
    }
    return aMerged;
}

std::vector<TExcludedSpan> TExclusions::SpansOnDay(const QString& sID, const QString& sParam,
                                                   const QDate& dt) const
{
    const qint64 nStart = TExclusion::Wall(dt, 0);
    std::vector<TExcludedSpan> a = Spans(sID, sParam, nStart, nStart + 86400);
    for (TExcludedSpan& s : a) {
        s.nFrom -= nStart;
        s.nTo -= nStart;
    }
    return a;
}

bool TExclusions::IsExcluded(const QString& sID, const QString& sParam, qint64 nAt) const
{
    return !Spans(sID, sParam, nAt, nAt + 1).empty();
}
