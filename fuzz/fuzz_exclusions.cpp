// Arbitrary bytes as an exclusion file: read without a crash; a file nobody changed is
// written back byte for byte; a change adds its row after the text as it was, every
// unreadable row in it included; the text written reads back to the same rows with the
// same errors; and the merged spans of every query are sorted, disjoint and inside
// the window asked for.
#include "analysis/exclusions.h"

#include "fuzzutil.h"

#include <cstdint>

namespace {

bool SameRow(const TExclusion& a, const TExclusion& b)
{
    return a.nId == b.nId && a.sMonitor == b.sMonitor && a.nFrom == b.nFrom && a.nTo == b.nTo &&
           a.slParams == b.slParams && a.eReason == b.eReason && a.sComment == b.sComment &&
           a.sAuthor == b.sAuthor && a.nCreated == b.nCreated && a.nWithdrawn == b.nWithdrawn &&
           a.sWithdrawnBy == b.sWithdrawnBy;
}

void CheckSpans(const std::vector<TExcludedSpan>& a, qint64 nFrom, qint64 nTo)
{
    for (size_t i = 0; i < a.size(); ++i) {
        Require(a[i].nFrom >= nFrom && a[i].nTo <= nTo && a[i].nFrom < a[i].nTo && a[i].nReasons != 0);
        Require(i == 0 || a[i - 1].nTo < a[i].nFrom);
    }
}

void CheckQueries(const TExclusions& ex)
{
    int nAsked = 0;
    for (const TExclusion& row : ex.Rows()) {
        if (++nAsked > 20)
            break;
        const QString sParam = row.slParams.isEmpty() ? QStringLiteral("LAeq") : row.slParams.front();
        const qint64 nFrom = row.nFrom - 86400;
        const qint64 nTo = row.nFrom + 2 * 86400;
        const std::vector<TExcludedSpan> a = ex.Spans(row.sMonitor, sParam, nFrom, nTo);
        CheckSpans(a, nFrom, nTo);
        CheckSpans(ex.SpansOnDay(row.sMonitor, sParam, TExclusion::DateOf(row.nFrom)), 0, 86400);
        // A row in force covers its first second, and the spans say so too.
        const bool bCovered = ex.IsExcluded(row.sMonitor, sParam, row.nFrom);
        if (!row.IsWithdrawn())
            Require(bCovered);
        bool bInSpans = false;
        for (const TExcludedSpan& s : a)
            bInSpans = bInSpans || (s.nFrom <= row.nFrom && row.nFrom < s.nTo);
        Require(bInSpans == bCovered);
    }
}

void CheckSameList(const TExclusions& a, const QByteArray& ba)
{
    TExclusions b;
    QString sError;
    Require(b.LoadText(QString::fromUtf8(ba), QString(), sError));
    Require(b.Rows().size() == a.Rows().size() && b.Errors() == a.Errors());
    for (size_t i = 0; i < a.Rows().size(); ++i)
        Require(SameRow(a.Rows()[i], b.Rows()[i]));
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* pData, std::size_t nSize)
{
    const QByteArray baIn(reinterpret_cast<const char*>(pData), qsizetype(nSize));
    const QString sText = QString::fromUtf8(baIn);

    TExclusions ex;
    ex.SetLogin(QStringLiteral("fuzz"));
    ex.SetClock([] { return QDateTime(QDate(2026, 1, 2), QTime(3, 4, 5)); });
    QString sError;
    const bool bRead = ex.LoadText(sText, QString(), sError);
    Require(bRead == sError.isEmpty());
    Require(ex.ErrorSummary().isEmpty() == ex.Errors().isEmpty());
    if (!bRead) {
        Require(ex.Rows().empty() && ex.Add(TExclusion(), sError) == 0);
        return 0;
    }
    const QByteArray baText = sText.toUtf8();
    Require(ex.Bytes() == baText);
    CheckQueries(ex);

    // Written again after a change of every row, the text reads back the same.
    const std::vector<TExclusion> aRows = ex.Rows();
    for (const TExclusion& row : aRows) {
        if (!row.IsWithdrawn())
            Require(ex.Edit(row, sError));
    }
    CheckSameList(ex, ex.Bytes());
    Require(ex.LoadText(sText, QString(), sError) && ex.Bytes() == baText);

    // A new row goes after the text as it was, unreadable rows included.
    TExclusion add;
    add.sMonitor = QStringLiteral("*");
    add.nFrom = TExclusion::Wall(QDate(2026, 1, 1), 3600);
    add.nTo = add.nFrom + 7200;
    add.sComment = QStringLiteral("a, \"b\"\nc");
    const int nId = ex.Add(add, sError);
    Require(nId > 0);
    const QByteArray baAdded = ex.Bytes();
    if (!sText.trimmed().isEmpty())
        Require(baAdded.startsWith(baText));
    CheckSameList(ex, baAdded);
    Require(ex.Withdraw(nId, sError));
    CheckSameList(ex, ex.Bytes());
    CheckQueries(ex);
    Require(ex.Undo() && ex.Find(nId) != nullptr && !ex.Find(nId)->IsWithdrawn());

    // The same bytes as a file: what is read is written back unchanged.
    static const QString sFile = FuzzScratch().path() + QStringLiteral("/rp_exclusions.csv");
    WriteBytes(sFile, baIn);
    TExclusions file;
    if (file.Load(sFile, sError)) {
        Require(file.Bytes() == baIn);
        Require(file.Save(sError));
        Require(ReadBytes(sFile) == baIn);
    }
    return 0;
}
