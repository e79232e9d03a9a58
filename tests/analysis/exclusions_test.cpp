#include "analysis/exclusions.h"

#include "analysis/daywalk.h"
#include "analysis/exclusionsfill.h"
#include "analysis/events.h"
#include "analysis/eventsfill.h"
#include "analysis/limits.h"
#include "analysis/limitsfill.h"
#include "analysis/rating.h"
#include "analysis/ratingfill.h"
#include "nonplainfile.h"
#include "reports/gridfill_daydir.h"
#include "reports/markup.h"
#include "reports/stringgrid.h"

#include <cmath>

#include <QFile>
#include <QTemporaryDir>

#include <gtest/gtest.h>

namespace {

using EReason = TExclusion::EReason;

const QString sHeader =
    QStringLiteral("id,monitor,from,to,covers,reason,comment,author,created,withdrawn,withdrawn by");

qint64 At(const char* sz)
{
    const std::optional<qint64> n = TExclusion::ParseWall(QLatin1String(sz));
    EXPECT_TRUE(n.has_value()) << sz;
    return n.value_or(0);
}

QByteArray ReadAll(const QString& sFile)
{
    QFile f(sFile);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray("<unreadable>");
}

void WriteAll(const QString& sFile, const QByteArray& ba)
{
    QFile f(sFile);
    ASSERT_TRUE(f.open(QIODevice::WriteOnly | QIODevice::Truncate));
    ASSERT_EQ(f.write(ba), ba.size());
}

// A list with a fixed clock and login, read from sText.
void LoadText(TExclusions& ex, const QString& sText)
{
    ex.SetLogin(QStringLiteral("mkoivu"));
    ex.SetClock([] { return QDateTime(QDate(2026, 5, 4), QTime(10, 11, 12)); });
    QString sError;
    ASSERT_TRUE(ex.LoadText(sText, QString(), sError)) << qPrintable(sError);
}

QString Rows(const QStringList& sl)
{
    return sHeader + QStringLiteral("\n") + sl.join(u'\n') + QStringLiteral("\n");
}

qint64 Covered(const std::vector<TExcludedSpan>& a)
{
    qint64 n = 0;
    for (const TExcludedSpan& s : a)
        n += s.Length();
    return n;
}

TExclusion Span(const char* szMonitor, const char* szFrom, const char* szTo, EReason e = EReason::Works)
{
    TExclusion ex;
    ex.sMonitor = QLatin1String(szMonitor);
    ex.nFrom = At(szFrom);
    ex.nTo = At(szTo);
    ex.eReason = e;
    return ex;
}

// --- the file -----------------------------------------------------------------------------

// A file edited by hand: CR LF, columns in another order with one the program does not
// know, a quoted comment holding a comma, quotes and a line break, loose spelling of
// the reason, and an unreadable row between two good ones.
TEST(TExclusions, File_HandEditedRowsRoundTripByteForByteAndAnUnreadableRowSurvivesAnEdit)
{
    const QByteArray baFile =
        "Monitor,ID,From,To,Covers,Reason,Comment,Author,Created,Withdrawn,Withdrawn by,Site note\r\n"
        "NMT01,1,2026-05-01 08:00:00,2026-05-01 09:30:00,LAeq;LAF90, Rain ,\"wet, \"\"very\"\"\r\nwet\",anna,"
        "2026-05-02 07:00:00,,,roof\r\n"
        "NMT01,2,2026-05-01 10:00:00,2026-05-01 09:00:00,all,wind,backwards,anna,2026-05-02 07:01:00,,,\r\n"
        "\r\n"
        "NMT02,3,2026-05-01 12:00:00,2026-05-01 13:00:00,all,works,digger,anna,2026-05-02 "
        "07:02:00,,,gate\r\n";
    QTemporaryDir tmp;
    const QString sFile = tmp.path() + QStringLiteral("/rp_exclusions.csv");
    WriteAll(sFile, baFile);

    TExclusions ex;
    ex.SetLogin(QStringLiteral("mkoivu"));
    QString sError;
    ASSERT_TRUE(ex.Load(sFile, sError)) << qPrintable(sError);
    ASSERT_EQ(ex.Rows().size(), 2u);
    EXPECT_EQ(ex.Rows()[0].sComment, QStringLiteral("wet, \"very\"\r\nwet"));
    EXPECT_EQ(ex.Rows()[0].slParams, (QStringList{QStringLiteral("LAeq"), QStringLiteral("LAF90")}));
    EXPECT_EQ(ex.Rows()[0].eReason, EReason::Rain);
    // The row starts on line 4, after the comment's line break.
    EXPECT_EQ(ex.Errors(), QStringList{QStringLiteral("line 4: to is not after from")});
    EXPECT_TRUE(ex.ErrorSummary().startsWith(QStringLiteral("1 exclusion row could not be read")));

    // Nothing changed: the same bytes, in the file too.
    EXPECT_EQ(ex.Bytes(), baFile);
    ASSERT_TRUE(ex.Save(sError)) << qPrintable(sError);
    EXPECT_EQ(ReadAll(sFile), baFile);

    // Row 3 changes: rows 1 and 2 and the blank line stay byte for byte; row 3 keeps
    // the file's column order, line ending and its unknown column.
    TExclusion edit = *ex.Find(3);
    edit.nTo = At("2026-05-01 14:00:00");
    edit.sComment = QStringLiteral("digger, then \"roller\"");
    ASSERT_TRUE(ex.Edit(edit, sError)) << qPrintable(sError);
    ASSERT_TRUE(ex.Save(sError)) << qPrintable(sError);
    const QByteArray baWant =
        baFile.left(baFile.indexOf("NMT02,3")) +
        "NMT02,3,2026-05-01 12:00:00,2026-05-01 14:00:00,all,works,\"digger, then \"\"roller\"\"\",anna,"
        "2026-05-02 07:02:00,,,gate\r\n";
    EXPECT_EQ(ReadAll(sFile), baWant);

    // Read again, it gives the same rows and the same unreadable one.
    TExclusions again;
    ASSERT_TRUE(again.Load(sFile, sError));
    ASSERT_EQ(again.Rows().size(), 2u);
    EXPECT_EQ(again.Rows()[1].nTo, At("2026-05-01 14:00:00"));
    EXPECT_EQ(again.Rows()[1].sComment, edit.sComment);
    EXPECT_EQ(again.Errors(), ex.Errors());
}

// A file in Windows-1252, as an editor there saves it: the row left alone keeps its
// bytes and the file its code page when another row is withdrawn.
TEST(TExclusions, File_Windows1252RowsKeepTheirBytes)
{
    const QByteArray baRow1 = "1,A,2026-05-01 08:00:00,2026-05-01 09:00:00,all,works,K\xe4yr\xe4 \xb0"
                              "C,p\xe4ivi,"
                              "2026-05-01 10:00:00,,\r\n";
    const QByteArray baFile =
        sHeader.toLatin1() + "\r\n" + baRow1 +
        "2,A,2026-05-01 10:00:00,2026-05-01 11:00:00,all,rain,,a,2026-05-01 10:00:00,,\r\n";
    QTemporaryDir tmp;
    const QString sFile = tmp.path() + QStringLiteral("/rp_exclusions.csv");
    WriteAll(sFile, baFile);
    TExclusions ex;
    ex.SetLogin(QStringLiteral("p\u00e4ivi"));
    ex.SetClock([] { return QDateTime(QDate(2026, 5, 4), QTime(10, 11, 12)); });
    QString sError;
    ASSERT_TRUE(ex.Load(sFile, sError));
    EXPECT_EQ(ex.Find(1)->sComment, QStringLiteral("K\u00e4yr\u00e4 \u00b0C"));
    ASSERT_TRUE(ex.Withdraw(2, sError));
    ASSERT_TRUE(ex.Save(sError)) << qPrintable(sError);
    EXPECT_EQ(ReadAll(sFile),
              sHeader.toLatin1() + "\r\n" + baRow1 +
                  "2,A,2026-05-01 10:00:00,2026-05-01 11:00:00,all,rain,,a,2026-05-01 10:00:00,"
                  "2026-05-04 10:11:12,p\xe4ivi\r\n");
}

// Each fault makes its row unreadable on its own; the rows around it are read.
TEST(TExclusions, File_BadRowsAreReportedOnceAndTheirIdsStayTaken)
{
    TExclusions ex;
    LoadText(
        ex,
        Rows({
            QStringLiteral("1,A,2026-05-01 08:00:00,2026-05-01 09:00:00,all,hail,,a,2026-05-01 10:00:00,,"),
            QStringLiteral("2,A,2026-05-01 23:00:00,2026-05-01 24:00:00,all,rain,,a,2026-05-01 10:00:00,,"),
            QStringLiteral("3,A,2026-05-01 08:00:00,2026-05-01 09:00:00,all,rain,,a,2026-05-01 10:00:00"),
            QStringLiteral("4,A,2026-05-01 08:00:00,2026-05-01 08:00:00,all,rain,,a,2026-05-01 10:00:00,,"),
            QStringLiteral("5,A,2026-05-01 08:00:00,2026-05-01 09:00:00,all,rain,\"open,a,x,,"),
            QStringLiteral("6,A,2026-05-01 08:00:00,2026-05-01 09:00:00,all,rain,,a,2026-05-01 10:00:00,,"),
            QStringLiteral("6,A,2026-05-01 08:00:00,2026-05-01 09:00:00,all,rain,,a,2026-05-01 10:00:00,,"),
            QStringLiteral("9,A,2026-05-01 08:00:00,2026-05-01 09:00:00,all,rain,,a,2026-05-01 10:00:00,,b"),
            QStringLiteral(
                "12,A,2026-05-01 08:00:00,2026-05-01 09:00:00,LAeq;;x,rain,,a,2026-05-01 10:00:00,,"),
        }));
    ASSERT_EQ(ex.Rows().size(), 1u);
    EXPECT_EQ(ex.Rows()[0].nId, 6);
    const QStringList sl = ex.Errors();
    ASSERT_EQ(sl.size(), 8);
    EXPECT_TRUE(sl[0].startsWith(QStringLiteral("line 2: the reason")));
    EXPECT_TRUE(sl[1].startsWith(QStringLiteral("line 3: from and to")));
    EXPECT_EQ(sl[2], QStringLiteral("line 4: 9 fields where the header names 11"));
    EXPECT_EQ(sl[3], QStringLiteral("line 5: to is not after from"));
    EXPECT_EQ(sl[4], QStringLiteral("line 6: a quote is not closed"));
    EXPECT_EQ(sl[5], QStringLiteral("line 8: id 6 is used on line 7 already"));
    EXPECT_TRUE(sl[6].startsWith(QStringLiteral("line 9: withdrawn by")));
    EXPECT_TRUE(sl[7].startsWith(QStringLiteral("line 10: covers")));
    // The unreadable row 12 keeps its id: mended later, it must not clash.
    QString sError;
    TExclusion add = Span("A", "2026-05-02 08:00:00", "2026-05-02 09:00:00");
    add.sComment = QStringLiteral("gusts, \"strong\"\nall day");
    EXPECT_EQ(ex.Add(add, sError), 13);
    // Regression: the open quote of row 5 read on to the first quote after it, so a row
    // added with a quoted comment was swallowed with the rows between on the next read.
    TExclusions again;
    ASSERT_TRUE(again.LoadText(QString::fromUtf8(ex.Bytes()), QString(), sError));
    ASSERT_EQ(again.Rows().size(), 2u);
    EXPECT_EQ(again.Rows()[1].sComment, add.sComment);
    EXPECT_EQ(again.Errors(), sl);
}

// A file without a header line would lose its rows if written over: it is refused and
// nothing is saved over it.
TEST(TExclusions, File_WithoutHeaderIsRefusedAndNotOverwritten)
{
    QTemporaryDir tmp;
    const QString sFile = tmp.path() + QStringLiteral("/rp_exclusions.csv");
    const QByteArray ba = "1,A,2026-05-01 08:00:00,2026-05-01 09:00:00,all,rain,,a,2026-05-01 10:00:00,,\n";
    WriteAll(sFile, ba);
    TExclusions ex;
    QString sError;
    EXPECT_FALSE(ex.Load(sFile, sError));
    EXPECT_TRUE(sError.contains(QStringLiteral("no header line"))) << qPrintable(sError);
    EXPECT_TRUE(ex.Rows().empty());
    EXPECT_EQ(ex.Add(Span("A", "2026-05-02 08:00:00", "2026-05-02 09:00:00"), sError), 0);
    EXPECT_FALSE(ex.Save(sError));
    EXPECT_EQ(ReadAll(sFile), ba);
}

TEST(TExclusions, File_PipeDeviceAndOversizedFileAreRefused)
{
    QTemporaryDir tmp;
    const QString sFifo = tmp.path() + QStringLiteral("/fifo.csv");
    ASSERT_TRUE(MakeFifo(sFifo));
    TExclusions ex;
    QString sError;
    EXPECT_FALSE(WithinTimeLimit(sFifo, [&] { return ex.Load(sFifo, sError); }));
    EXPECT_TRUE(sError.contains(QStringLiteral("not a plain file"))) << qPrintable(sError);

    const QString sZero = tmp.path() + QStringLiteral("/zero.csv");
    ASSERT_TRUE(LinkToDevZero(sZero));
    EXPECT_FALSE(ex.Load(sZero, sError));

    const QString sHuge = tmp.path() + QStringLiteral("/huge.csv");
    ASSERT_TRUE(MakeSparseFile(sHuge, TExclusions::nMaxFileBytes + 1));
    EXPECT_FALSE(ex.Load(sHuge, sError));
    EXPECT_TRUE(sError.contains(QStringLiteral("larger than"))) << qPrintable(sError);
    EXPECT_FALSE(ex.Save(sError));
    EXPECT_EQ(QFileInfo(sHuge).size(), TExclusions::nMaxFileBytes + 1);
}

// A read-only file or folder: a clear error, the old file as it was, nothing beside it.
// Refused for the superuser too, whom the system would let write.
TEST(TExclusions, File_ReadOnlyFileOrFolderLeavesTheOldFileAndReportsIt)
{
    QTemporaryDir tmp;
    const QString sFile = tmp.path() + QStringLiteral("/rp_exclusions.csv");
    const QByteArray ba =
        (Rows({QStringLiteral(
             "1,A,2026-05-01 08:00:00,2026-05-01 09:00:00,all,rain,,a,2026-05-01 10:00:00,,")}))
            .toUtf8();
    WriteAll(sFile, ba);
    for (const bool bFolder : {false, true}) {
        const QString sLocked = bFolder ? tmp.path() : sFile;
        const QFileDevice::Permissions was = QFile::permissions(sLocked);
        ASSERT_TRUE(QFile::setPermissions(sLocked, QFileDevice::ReadOwner | QFileDevice::ExeOwner));
        TExclusions ex;
        QString sError;
        ASSERT_TRUE(ex.Load(sFile, sError));
        ASSERT_TRUE(ex.Withdraw(1, sError));
        EXPECT_FALSE(ex.Save(sError));
        EXPECT_TRUE(sError.startsWith(QStringLiteral("Unable to write to ") + sFile)) << qPrintable(sError);
        QFile::setPermissions(sLocked, was);
        EXPECT_EQ(ReadAll(sFile), ba);
        EXPECT_EQ(QDir(tmp.path()).entryList(QDir::Files | QDir::Hidden),
                  QStringList{QStringLiteral("rp_exclusions.csv")});
    }
}

// --- changes ------------------------------------------------------------------------------

TEST(TExclusions, Changes_AddToANewFileWithdrawKeepsTheRowUndoGoesBackOneStep)
{
    QTemporaryDir tmp;
    const QString sFile = TExclusions::DefaultFileName(tmp.path());
    EXPECT_EQ(sFile, tmp.path() + QStringLiteral("/Kestrom/Tarvik-SV/rp_exclusions.csv"));
    TExclusions ex;
    ex.SetLogin(QStringLiteral("mkoivu"));
    ex.SetClock([] { return QDateTime(QDate(2026, 5, 4), QTime(10, 11, 12)); });
    QString sError;
    ASSERT_TRUE(ex.Load(sFile, sError)); // missing: an empty list
    EXPECT_FALSE(ex.CanUndo());

    TExclusion rain = Span("NMT01", "2026-05-01 08:00:00", "2026-05-01 09:00:00", EReason::Rain);
    rain.slParams = {QStringLiteral("LAeq")};
    rain.sAuthor = QStringLiteral("ignored");
    EXPECT_EQ(ex.Add(rain, sError), 1);
    EXPECT_EQ(ex.Add(Span("*", "2026-05-01 22:00:00", "2026-05-02 06:00:00", EReason::Fault), sError), 2);
    ASSERT_TRUE(ex.Save(sError)) << qPrintable(sError);
    const QByteArray baSaved =
        sHeader.toUtf8() + "\r\n" +
        "1,NMT01,2026-05-01 08:00:00,2026-05-01 09:00:00,LAeq,rain,,mkoivu,2026-05-04 10:11:12,,\r\n"
        "2,*,2026-05-01 22:00:00,2026-05-02 06:00:00,all,fault,,mkoivu,2026-05-04 10:11:12,,\r\n";
    EXPECT_EQ(ReadAll(sFile), baSaved);

    ASSERT_TRUE(ex.Withdraw(1, sError));
    EXPECT_FALSE(ex.Withdraw(1, sError));
    EXPECT_FALSE(ex.Edit(*ex.Find(1), sError));
    ASSERT_EQ(ex.Rows().size(), 2u);
    EXPECT_EQ(ex.Find(1)->sWithdrawnBy, QStringLiteral("mkoivu"));
    EXPECT_FALSE(ex.IsExcluded(QStringLiteral("NMT01"), QStringLiteral("LAeq"), At("2026-05-01 08:30:00")));
    ASSERT_TRUE(ex.Save(sError));
    QByteArray baWithdrawn = baSaved;
    baWithdrawn.replace("LAeq,rain,,mkoivu,2026-05-04 10:11:12,,",
                        "LAeq,rain,,mkoivu,2026-05-04 10:11:12,2026-05-04 10:11:12,mkoivu");
    EXPECT_EQ(ReadAll(sFile), baWithdrawn);

    // Undo, even after the save, gives back the rows and text before the withdrawal.
    ASSERT_TRUE(ex.Undo());
    EXPECT_FALSE(ex.CanUndo());
    EXPECT_FALSE(ex.Find(1)->IsWithdrawn());
    EXPECT_TRUE(ex.IsExcluded(QStringLiteral("NMT01"), QStringLiteral("LAeq"), At("2026-05-01 08:30:00")));
    EXPECT_EQ(ex.Bytes(), baSaved);
    ASSERT_TRUE(ex.Save(sError));
    EXPECT_EQ(ReadAll(sFile), baSaved);

    // A sound exclusion only: a refused one changes nothing and leaves the undo step.
    ASSERT_TRUE(ex.Withdraw(2, sError));
    EXPECT_EQ(ex.Add(Span("NMT01", "2026-05-01 09:00:00", "2026-05-01 08:00:00"), sError), 0);
    EXPECT_EQ(sError, QStringLiteral("to is not after from"));
    TExclusion blank = Span("NMT01", "2026-05-01 08:00:00", "2026-05-01 09:00:00");
    blank.slParams = {QStringLiteral("LAeq;LAF90")};
    EXPECT_EQ(ex.Add(blank, sError), 0);
    EXPECT_EQ(ex.Rows().size(), 2u);
    ASSERT_TRUE(ex.Undo());
    EXPECT_FALSE(ex.Find(2)->IsWithdrawn());
}

// An undone first row in a new file takes its header with it.
TEST(TExclusions, Changes_UndoOfTheFirstAddGivesBackTheEmptyText)
{
    TExclusions ex;
    LoadText(ex, QString());
    QString sError;
    ASSERT_EQ(ex.Add(Span("A", "2026-05-01 08:00:00", "2026-05-01 09:00:00"), sError), 1);
    ASSERT_TRUE(ex.Undo());
    EXPECT_TRUE(ex.Bytes().isEmpty());
    ASSERT_EQ(ex.Add(Span("A", "2026-05-01 08:00:00", "2026-05-01 09:00:00"), sError), 1);
    EXPECT_TRUE(ex.Bytes().startsWith(sHeader.toUtf8() + "\r\n1,A,"));
}

TEST(TExclusions, Changes_UnknownMonitorIsKeptAndReported)
{
    TExclusions ex;
    LoadText(
        ex,
        Rows({
            QStringLiteral(
                "1,NMT09,2026-05-01 08:00:00,2026-05-01 09:00:00,all,rain,,a,2026-05-01 10:00:00,,"),
            QStringLiteral("2,*,2026-05-01 08:00:00,2026-05-01 09:00:00,all,rain,,a,2026-05-01 10:00:00,,"),
            QStringLiteral(
                "3,nmt01,2026-05-01 08:00:00,2026-05-01 09:00:00,all,rain,,a,2026-05-01 10:00:00,,"),
        }));
    const QStringList slIDs{QStringLiteral("NMT01"), QStringLiteral("NMT02")};
    EXPECT_EQ(ex.UnknownMonitors(slIDs), QStringList{QStringLiteral("NMT09")});
    EXPECT_EQ(ex.UnknownSummary(slIDs),
              QStringLiteral("exclusions name a monitor that does not exist and exclude nothing: NMT09"));
    EXPECT_EQ(ex.Rows().size(), 3u);
    EXPECT_TRUE(ex.IsExcluded(QStringLiteral("NMT01"), QStringLiteral("LAeq"), At("2026-05-01 08:00:00")));
}

// --- queries ------------------------------------------------------------------------------

// NMT01 on 2026-05-01, LAeq: rain 08:00-10:00, wind 09:00-11:00 overlapping it, works
// 09:30-09:45 inside both, a fault of LAF90 alone 12:00-12:30 and a withdrawn 13:00-14:00.
// LAeq: 08:00-11:00 once, 3 h = 10800 s; LAF90 adds 30 min = 1800 s.
TEST(TExclusions, Query_OverlappingAndNestedSpansCountOnce)
{
    TExclusions ex;
    LoadText(
        ex,
        Rows({
            QStringLiteral(
                "1,NMT01,2026-05-01 08:00:00,2026-05-01 10:00:00,all,rain,,a,2026-05-01 10:00:00,,"),
            QStringLiteral(
                "2,NMT01,2026-05-01 09:00:00,2026-05-01 11:00:00,LAeq,wind,,a,2026-05-01 10:00:00,,"),
            QStringLiteral(
                "3,NMT01,2026-05-01 09:30:00,2026-05-01 09:45:00,all,works,,a,2026-05-01 10:00:00,,"),
            QStringLiteral(
                "4,NMT01,2026-05-01 12:00:00,2026-05-01 12:30:00,LAF90,fault,,a,2026-05-01 10:00:00,,"),
            QStringLiteral("5,NMT01,2026-05-01 13:00:00,2026-05-01 14:00:00,all,other,,a,2026-05-01 10:00:00,"
                           "2026-05-02 08:00:00,b"),
        }));
    const QDate dt(2026, 5, 1);
    const auto aLAeq = ex.SpansOnDay(QStringLiteral("NMT01"), QStringLiteral("laeq"), dt);
    ASSERT_EQ(aLAeq.size(), 1u);
    EXPECT_EQ(aLAeq[0].nFrom, 8 * 3600);
    EXPECT_EQ(aLAeq[0].nTo, 11 * 3600);
    EXPECT_EQ(Covered(aLAeq), 10800);
    EXPECT_TRUE(aLAeq[0].HasReason(EReason::Rain) && aLAeq[0].HasReason(EReason::Wind) &&
                aLAeq[0].HasReason(EReason::Works) && !aLAeq[0].HasReason(EReason::Fault));

    const auto aL90 = ex.SpansOnDay(QStringLiteral("NMT01"), QStringLiteral("LAF90"), dt);
    ASSERT_EQ(aL90.size(), 2u);
    EXPECT_EQ(Covered(aL90), 3 * 3600 + 1800 - 3600); // rain and works only before 10:00
    EXPECT_EQ(aL90[0].nTo, 10 * 3600);
    EXPECT_EQ(aL90[1].nFrom, 12 * 3600);
    EXPECT_EQ(aL90[1].nReasons, 1 << int(EReason::Fault));

    // A window inside the spans is clipped to itself.
    const auto aClip = ex.Spans(QStringLiteral("NMT01"), QStringLiteral("LAeq"), At("2026-05-01 09:10:00"),
                                At("2026-05-01 09:20:00"));
    EXPECT_EQ(Covered(aClip), 600);
    EXPECT_TRUE(ex.IsExcluded(QStringLiteral("NMT01"), QStringLiteral("LAeq"), At("2026-05-01 10:59:59")));
    EXPECT_FALSE(ex.IsExcluded(QStringLiteral("NMT01"), QStringLiteral("LAeq"), At("2026-05-01 11:00:00")));
    EXPECT_FALSE(ex.IsExcluded(QStringLiteral("NMT01"), QStringLiteral("LAeq"), At("2026-05-01 13:30:00")));
    EXPECT_TRUE(ex.SpansOnDay(QStringLiteral("NMT02"), QStringLiteral("LAeq"), dt).empty());
}

// A "*" fault from 23:00 to 01:30 counts 3600 s on the first day and 5400 s on the
// second, for any monitor, merged with a monitor's own span that it touches.
TEST(TExclusions, Query_SpanAcrossMidnightAnswersForBothDaysAndStarForEveryMonitor)
{
    TExclusions ex;
    LoadText(
        ex,
        Rows({
            QStringLiteral("1,*,2026-03-01 23:00:00,2026-03-02 01:30:00,all,fault,,a,2026-03-03 10:00:00,,"),
            QStringLiteral(
                "2,NMT02,2026-03-02 01:30:00,2026-03-02 02:00:00,all,works,,a,2026-03-03 10:00:00,,"),
        }));
    for (const QString& sID : {QStringLiteral("NMT01"), QStringLiteral("NMT02")}) {
        const auto a1 = ex.SpansOnDay(sID, QStringLiteral("LAeq"), QDate(2026, 3, 1));
        ASSERT_EQ(a1.size(), 1u);
        EXPECT_EQ(a1[0].nFrom, 23 * 3600);
        EXPECT_EQ(a1[0].nTo, 86400);
        const auto a2 = ex.SpansOnDay(sID, QStringLiteral("LAeq"), QDate(2026, 3, 2));
        ASSERT_EQ(a2.size(), 1u);
        EXPECT_EQ(a2[0].nFrom, 0);
        EXPECT_EQ(Covered(a2), sID == QStringLiteral("NMT02") ? 7200 : 5400);
    }
    EXPECT_TRUE(ex.IsExcluded(QStringLiteral("X"), QStringLiteral("LAeq"), At("2026-03-02 01:29:59")));
    EXPECT_FALSE(ex.IsExcluded(QStringLiteral("X"), QStringLiteral("LAeq"), At("2026-03-02 01:30:00")));
    EXPECT_FALSE(ex.IsExcluded(QStringLiteral("X"), QStringLiteral("LAeq"), At("2026-03-01 22:59:59")));
}

// 100,000 rows: 10 monitors, each with 10,000 half-hour spans one hour apart from
// 2026-01-01 00:00. A day holds 24 of them per monitor, 12 hours.
TEST(TExclusions, Query_HundredThousandRowsLoadAndAnswer)
{
    QString sText = sHeader + u'\n';
    sText.reserve(120 * 100000);
    const qint64 nStart = TExclusion::Wall(QDate(2026, 1, 1), 0);
    int nId = 0;
    for (int m = 0; m < 10; ++m) {
        for (int k = 0; k < 10000; ++k) {
            const qint64 n = nStart + k * 3600LL;
            sText += QString::number(++nId) + QStringLiteral(",NMT%1,").arg(m) + TExclusion::WallText(n) +
                     u',' + TExclusion::WallText(n + 1800) +
                     QStringLiteral(",all,rain,,a,2026-01-01 00:00:00,,\n");
        }
    }
    TExclusions ex;
    LoadText(ex, sText);
    ASSERT_EQ(ex.Rows().size(), 100000u);
    EXPECT_TRUE(ex.Errors().isEmpty());
    const auto a = ex.SpansOnDay(QStringLiteral("NMT7"), QStringLiteral("LAeq"), QDate(2026, 3, 1));
    ASSERT_EQ(a.size(), 24u);
    EXPECT_EQ(Covered(a), 12 * 3600);
    EXPECT_TRUE(ex.IsExcluded(QStringLiteral("NMT3"), QStringLiteral("LAeq"), At("2026-06-01 05:10:00")));
    EXPECT_FALSE(ex.IsExcluded(QStringLiteral("NMT3"), QStringLiteral("LAeq"), At("2026-06-01 05:40:00")));
    EXPECT_EQ(ex.Bytes(), sText.toUtf8());
}

// --- the figures leave exclusions out ---------------------------------------------------------

// A day of 60-minute LAeq records: 50 dB every hour but 10:00 (80 dB) and 11:00 ("-").
class TExcludedFigures : public ::testing::Test
{
protected:
    void SetUp() override
    {
        ASSERT_TRUE(dir.IsValid());
        QString s = QStringLiteral(".Time,LAeq");
        for (int h = 0; h < 24; ++h)
            s += QString::asprintf("\n%02d:00:00,", h) +
                 (h == 10 ? QStringLiteral("80.0") : h == 11 ? QStringLiteral("-") : QStringLiteral("50.0"));
        dir.Write(QStringLiteral("M1"), dt, "per-04-0060.csv", s);
        // Rain from 10:00 to 12:00, and on another monitor all day.
        LoadText(excl, Rows({QStringLiteral("1,M1,2026-05-04 10:00:00,2026-05-04 12:00:00,all,rain,,a,"
                                            "2026-05-04 13:00:00,,"),
                             QStringLiteral("2,M2,2026-05-04 00:00:00,2026-05-05 00:00:00,all,fault,,a,"
                                            "2026-05-04 13:00:00,,")}));
    }

    TDayDir dir;
    const QDate dt{2026, 5, 4}; // a Monday
    const TTQMonitor mon = TDayDir::Mon("M1", "North");
    TExclusions excl;
};

// Two rainy hours out of the twelve of the day part: Lday is the other ten periods'
// 50 dB, the coverage 10 of 12, and the two hours are told as excluded, the one without
// a value too. Withdrawing the exclusion gives the raw figures back and keeps the row.
TEST_F(TExcludedFigures, RatingLeavesTheRainOutAndCountsItApart)
{
    const TRatingSettings set;
    const auto aRaw = TRating::Compute(set, dir.DataPath(), {&mon}, dt, dt, 60);
    const auto aClean = TRating::Compute(set, dir.DataPath(), {&mon}, dt, dt, 60, &excl);
    ASSERT_EQ(aClean.size(), 1u);
    const TRatingLevels& lv = aClean[0].aDays[0];
    EXPECT_DOUBLE_EQ(lv.Ld(), 50.0);
    EXPECT_NEAR(lv.adCoverage[rpDay], 10.0 / 12.0, 1e-12);
    EXPECT_EQ(lv.adExcludedSecs[rpDay], 7200.0);
    EXPECT_EQ(lv.adExcludedSecs[rpNight], 0.0);
    EXPECT_DOUBLE_EQ(aClean[0].range.Ld(), 50.0);
    // Raw: ten periods of 50 and one of 80, the "-" hour missing.
    const TRatingLevels& raw = aRaw[0].aDays[0];
    EXPECT_NEAR(raw.Ld(), 10.0 * std::log10((10 * 1e5 + 1e8) / 11.0), 1e-9);
    EXPECT_NEAR(raw.adCoverage[rpDay], 11.0 / 12.0, 1e-12);
    EXPECT_EQ(raw.ExcludedSecs(), 0.0);

    TStringGrid grid;
    TRatingFill::FillSummary(grid, set, {&mon}, aClean);
    ASSERT_EQ(grid.ColCount(), TRatingFill::ColCountExcluded);
    EXPECT_EQ(grid.Cells(TRatingFill::ColExcluded + rpDay, 4), QStringLiteral("2.0"));
    EXPECT_EQ(grid.Cells(TRatingFill::ColCoverage + rpDay, 4), QStringLiteral("83.3"));
    TRatingFill::FillSummary(grid, set, {&mon}, aRaw);
    EXPECT_EQ(grid.ColCount(), TRatingFill::ColCount);

    QString sError;
    ASSERT_TRUE(excl.Withdraw(1, sError)) << qPrintable(sError);
    const auto aBack = TRating::Compute(set, dir.DataPath(), {&mon}, dt, dt, 60, &excl);
    EXPECT_DOUBLE_EQ(aBack[0].aDays[0].Ld(), raw.Ld());
    EXPECT_EQ(aBack[0].aDays[0].ExcludedSecs(), 0.0);
    ASSERT_EQ(excl.Rows().size(), 2u);
    EXPECT_TRUE(excl.Rows()[0].IsWithdrawn());
}

// The 80 dB hour above a 60 dB limit lies inside the exclusion: no exceedance, and the
// two hours are counted as excluded, not assessed.
TEST_F(TExcludedFigures, LimitsDoNotAssessExcludedPeriods)
{
    TLimits lim;
    QString sError;
    lim.aRules = {*TLimitRule::Parse(QStringLiteral("*;LAeq;Mon-Sun;07:00-19:00;60"), sError)};
    const auto aRaw = TLimitCheck::Compute(lim, dir.DataPath(), {&mon}, dt, dt, 60);
    const auto aClean = TLimitCheck::Compute(lim, dir.DataPath(), {&mon}, dt, dt, 60, &excl);
    const TLimitCount& raw = aRaw[0].aDays[0].aCounts[0];
    EXPECT_EQ(raw.nExpected, 12);
    EXPECT_EQ(raw.nAssessed, 11);
    EXPECT_EQ(raw.nExceeded, 1);
    EXPECT_EQ(raw.nExcluded, 0);
    const TLimitCount& clean = aClean[0].aDays[0].aCounts[0];
    EXPECT_EQ(clean.nExpected, 12);
    EXPECT_EQ(clean.nAssessed, 10);
    EXPECT_EQ(clean.nExceeded, 0);
    EXPECT_EQ(clean.nExcluded, 2);
    EXPECT_EQ(aClean[0].aRange[0].nExcluded, 2);
    EXPECT_TRUE(aClean[0].aExceedances.empty());
    EXPECT_EQ(clean.nWorstTenths, -100); // the highest counted period: 50 dB
    EXPECT_TRUE(TLimitsFill::AnyExcluded(aClean));
    EXPECT_FALSE(TLimitsFill::AnyExcluded(aRaw));
}

// A period is excluded when one of its seconds is: a one-second exclusion marks its
// 10-minute period alone, one across midnight the periods on both sides, one of another
// parameter nothing of LAeq, and a "*" exclusion every monitor.
TEST(TExcludedRecords, DayWalkMarksEveryPeriodAnExclusionTouches)
{
    TDayDir dir;
    ASSERT_TRUE(dir.IsValid());
    const QDate d1(2026, 5, 4);
    for (const QDate& d : {d1, d1.addDays(1)}) {
        QString s = QStringLiteral(".Time,LAeq,LAF90");
        for (int k = 0; k < 144; ++k)
            s += QString::asprintf("\n%02d:%02d:00,55.0,40.0", k / 6, k % 6 * 10);
        dir.Write(QStringLiteral("M1"), d, d.toString(QStringLiteral("'per-'dd'-0010.csv'")).toLatin1().constData(),
                  s);
    }
    TExclusions excl;
    LoadText(excl, Rows({QStringLiteral("1,M1,2026-05-04 10:05:00,2026-05-04 10:05:01,all,works,,a,2026-05-04 13:00:00,,"),
                         QStringLiteral("2,*,2026-05-04 23:55:00,2026-05-05 00:05:00,all,wind,,a,2026-05-04 13:00:00,,"),
                         QStringLiteral("3,M1,2026-05-04 12:00:00,2026-05-04 13:00:00,LAF90,other,,a,2026-05-04 13:00:00,,")}));
    TDayWalk walk(dir.DataPath(), d1, d1.addDays(1));
    walk.SetExclusions(&excl);
    TDayWalk::TFiles files;
    files.bPeriodic = true;
    files.nPeriod = 10;
    files.slParams = {QStringLiteral("LAeq"), QStringLiteral("LAF90")};
    walk.Start(QStringLiteral("M1"), files);
    std::vector<std::vector<int>> aaLAeq, aaLAF90;
    while (walk.Step()) {
        const TDayRecords& rec = walk.Periodic();
        std::vector<int> a0, a1;
        for (size_t i = 0; i < rec.anStartSecs.size(); ++i) {
            if (rec.Excluded(0, i))
                a0.push_back(rec.anStartSecs[i] / 60);
            if (rec.Excluded(1, i))
                a1.push_back(rec.anStartSecs[i] / 60);
        }
        aaLAeq.push_back(a0);
        aaLAF90.push_back(a1);
        EXPECT_TRUE(rec.AnyExcluded());
    }
    ASSERT_EQ(aaLAeq.size(), 2u);
    EXPECT_EQ(aaLAeq[0], (std::vector<int>{10 * 60, 23 * 60 + 50}));
    EXPECT_EQ(aaLAeq[1], (std::vector<int>{0}));
    std::vector<int> aExpected{10 * 60};
    for (int m = 12 * 60; m < 13 * 60; m += 10)
        aExpected.push_back(m);
    aExpected.push_back(23 * 60 + 50);
    EXPECT_EQ(aaLAF90[0], aExpected);
    // "*" reaches another monitor, and the reasons come with the marks.
    dir.Write(QStringLiteral("M2"), d1, "per-04-0010.csv", QStringLiteral(".Time,LAeq\n23:50:00,50.0\n23:40:00,50.0"));
    walk.Start(QStringLiteral("M2"), files);
    ASSERT_TRUE(walk.Step());
    EXPECT_EQ(walk.Periodic().ExcludedReasons(0, 0), 1 << int(EReason::Wind));
    EXPECT_EQ(walk.Periodic().ExcludedReasons(0, 1), 0); // out of order, looked up afresh
}

// An event half inside an exclusion is listed as excluded with its reason and counted
// nowhere; one that runs past midnight into an exclusion of the next day too.
TEST(TExcludedEvents, EventsOverlappingAnExclusionAreListedNotCounted)
{
    TDayDir dir;
    ASSERT_TRUE(dir.IsValid());
    const QDate d1(2026, 5, 4);
    auto secs = [](int nFrom, int nCount) {
        QString s;
        for (int t = nFrom; t < nFrom + nCount; ++t)
            s += QString::asprintf("\n%02d:%02d:%02d,70.0", t / 3600 % 24, t / 60 % 60, t % 60);
        return s;
    };
    dir.Write(QStringLiteral("M1"), d1, "prf-04.csv",
              QStringLiteral("Time,LAeq") + secs(10 * 3600, 20) + secs(11 * 3600, 10) + secs(86400 - 10, 10));
    dir.Write(QStringLiteral("M1"), d1.addDays(1), "prf-05.csv", QStringLiteral("Time,LAeq") + secs(0, 10));
    TExclusions excl;
    LoadText(excl, Rows({QStringLiteral("1,M1,2026-05-04 10:00:10,2026-05-04 10:30:00,all,works,,a,2026-05-04 13:00:00,,"),
                         QStringLiteral("2,M1,2026-05-05 00:00:05,2026-05-05 00:00:06,LAeq,rain,,a,2026-05-04 13:00:00,,")}));
    const TTQMonitor mon = TDayDir::Mon("M1", "North");
    const TEventSettings set;
    const auto aRaw = TEvents::Compute(set, dir.DataPath(), {&mon}, d1, d1.addDays(1));
    const auto aClean = TEvents::Compute(set, dir.DataPath(), {&mon}, d1, d1.addDays(1), &excl);
    const TEventDay& raw = aRaw[0].aDays[0];
    const TEventDay& day = aClean[0].aDays[0];
    ASSERT_EQ(raw.aEvents.size(), 3u);
    ASSERT_EQ(day.aEvents.size(), 3u);
    EXPECT_EQ(raw.Counted(), 3);
    EXPECT_EQ(day.aEvents[0].nExcluded, 1 << int(EReason::Works));
    EXPECT_EQ(day.aEvents[1].nExcluded, 0);
    EXPECT_EQ(day.aEvents[2].nExcluded, 1 << int(EReason::Rain));
    EXPECT_EQ(day.aEvents[2].nEnd, 86400 + 9);
    EXPECT_EQ(day.Counted(), 1);
    EXPECT_EQ(day.Excluded(), 2);
    EXPECT_EQ(day.anPerHour[10], 0);
    EXPECT_EQ(day.anPerHour[11], 1);
    EXPECT_EQ(day.anPerHour[23], 0);
    EXPECT_EQ(raw.anPerHour[23], 1);
    EXPECT_EQ(day.anNAbove[0], 1); // N65: the 11:00 event alone
    EXPECT_EQ(raw.anNAbove[0], 3);
    EXPECT_EQ(TEventsFill::NoteText(day.aEvents[0]), QStringLiteral("excluded: works"));
}

// --- the exclusions report: the list and its effect per day -----------------------------------

// Two days of 10-minute LAeq records on M1 and exclusions counted by hand: 08:00-09:00
// rain with 08:30-08:45 works inside it and 08:50-09:20 wind overlapping its end, a "*"
// fault across midnight, a withdrawn row, a row of LAF90 alone and a row of another
// monitor.
class TExclusionReport : public ::testing::Test
{
protected:
    void SetUp() override
    {
        ASSERT_TRUE(dir.IsValid());
        for (const QDate& d : {d1, d1.addDays(1)}) {
            QString s = QStringLiteral(".Time,LAeq");
            for (int k = 0; k < 144; ++k)
                s += QString::asprintf("\n%02d:%02d:00,55.0", k / 6, k % 6 * 10);
            dir.Write(QStringLiteral("M1"), d, d.toString(QStringLiteral("'per-'dd'-0010.csv'")).toLatin1().constData(),
                      s);
        }
        LoadText(excl, Rows({QStringLiteral("1,M1,2026-05-04 08:00:00,2026-05-04 09:00:00,all,rain,,a,2026-05-04 13:00:00,,"),
                             QStringLiteral("2,M1,2026-05-04 08:30:00,2026-05-04 08:45:00,all,works,-5 dB,a,2026-05-04 13:00:00,,"),
                             QStringLiteral("3,M1,2026-05-04 08:50:00,2026-05-04 09:20:00,LAeq,wind,\"gusts, 12 m/s\",a,2026-05-04 13:00:00,,"),
                             QStringLiteral("4,*,2026-05-04 23:30:00,2026-05-05 00:25:00,all,fault,,b,2026-05-05 08:00:00,,"),
                             QStringLiteral("5,M1,2026-05-04 12:00:00,2026-05-04 13:00:00,all,other,,a,2026-05-04 13:00:00,2026-05-04 14:00:00,c"),
                             QStringLiteral("6,M1,2026-05-04 14:00:00,2026-05-04 15:00:00,LAF90,other,,a,2026-05-04 13:00:00,,"),
                             QStringLiteral("7,M2,2026-05-04 14:00:00,2026-05-04 15:00:00,all,rain,,a,2026-05-04 13:00:00,,")}));
    }

    std::vector<TExclusionMonitor> Compute() const
    {
        return TExclusionsFill::Compute(&excl, dir.DataPath(), {&m1}, d1, d1.addDays(1), 10);
    }

    TDayDir dir;
    const QDate d1{2026, 5, 4};
    const TTQMonitor m1 = TDayDir::Mon("M1", "North");
    TExclusions excl;
};

// Day 1: the union 08:00-09:20 is 80 minutes (4800 s) and touches the eight periods
// 08:00 to 09:10; 23:30-24:00 adds 1800 s and the periods 23:30, 23:40, 23:50. Day 2:
// 00:00-00:25 is 1500 s over the periods 00:00, 00:10, 00:20. The withdrawn row and the
// LAF90 row exclude nothing of LAeq.
TEST_F(TExclusionReport, EffectCountsOverlappingAndNestedSpansOnceAndSplitsMidnight)
{
    const auto aRes = Compute();
    ASSERT_EQ(aRes.size(), 1u);
    const TExclusionMonitor& em = aRes[0];
    ASSERT_EQ(em.aDays.size(), 2u);
    EXPECT_EQ(em.aDays[0].nPeriods, 11);
    EXPECT_EQ(em.aDays[0].nSecs, 6600);
    EXPECT_EQ(em.aDays[0].nRecords, 144);
    EXPECT_EQ(TExclusion::ReasonsText(em.aDays[0].nReasons), QStringLiteral("rain, wind, works, fault"));
    EXPECT_EQ(em.aDays[1].nPeriods, 3);
    EXPECT_EQ(em.aDays[1].nSecs, 1500);
    EXPECT_EQ(TExclusion::ReasonsText(em.aDays[1].nReasons), QStringLiteral("fault"));
    EXPECT_EQ(em.nPeriods, 14);
    EXPECT_EQ(em.nSecs, 8100);
    EXPECT_EQ(TExclusionsFill::ExcludedPeriods(excl, dir.DataPath(), QStringLiteral("M1"), d1, d1.addDays(1), 10),
              14);
    // Periods are the records of the report period's file: there is no hourly file.
    EXPECT_EQ(TExclusionsFill::ExcludedPeriods(excl, dir.DataPath(), QStringLiteral("M1"), d1, d1, 60), 0);

    TStringGrid grid;
    TExclusionsFill::FillEffect(grid, {&m1}, aRes);
    EXPECT_EQ(grid.Cells(0, 0), QStringLiteral("~name~North"));
    EXPECT_EQ(grid.Cells(TExclusionsFill::ColDate, 4), QStringLiteral("2026-05-04"));
    EXPECT_EQ(grid.Cells(TExclusionsFill::ColPeriods, 4), QStringLiteral("^11"));
    EXPECT_EQ(grid.Cells(TExclusionsFill::ColTime, 4), QStringLiteral("1:50:00"));
    EXPECT_EQ(grid.Cells(TExclusionsFill::ColDate, 6), QStringLiteral("~h~Range"));
    EXPECT_EQ(grid.Cells(TExclusionsFill::ColSecs, 6), QStringLiteral("8100"));
    EXPECT_EQ(grid.Cells(TExclusionsFill::ColRecords, 6), QStringLiteral("288"));
}

// The list names every row of M1 and "*" that overlaps the range, withdrawn ones too, and
// not M2's; withdrawing keeps the row, marked with who and when, and takes its effect away.
TEST_F(TExclusionReport, WithdrawalKeepsTheRowListedAndRemovesItsEffect)
{
    QString sError;
    ASSERT_TRUE(excl.Withdraw(3, sError)) << qPrintable(sError);
    const auto aRes = Compute();
    std::vector<int> aIds;
    for (const TExclusion& ex : aRes[0].aRows)
        aIds.push_back(ex.nId);
    EXPECT_EQ(aIds, (std::vector<int>{1, 2, 3, 4, 5, 6}));
    // Day 1 now: 08:00-09:00 (six periods, 3600 s) and 23:30-24:00 (three, 1800 s).
    EXPECT_EQ(aRes[0].aDays[0].nPeriods, 9);
    EXPECT_EQ(aRes[0].aDays[0].nSecs, 5400);

    TStringGrid grid;
    std::vector<int> aRowIds;
    TExclusionsFill::FillList(grid, {&m1}, aRes, &aRowIds);
    ASSERT_EQ(int(aRowIds.size()), grid.RowCount());
    // Title, blank, heading, then rows 3 to 8.
    EXPECT_EQ(aRowIds[3], 1);
    EXPECT_EQ(aRowIds[5], 3);
    EXPECT_EQ(aRowIds[2], 0);
    EXPECT_EQ(grid.Cells(TExclusionsFill::ColStatus, 5), QStringLiteral("withdrawn"));
    EXPECT_EQ(grid.Cells(TExclusionsFill::ColWithdrawn, 5), QStringLiteral("2026-05-04 10:11:12 by mkoivu"));
    EXPECT_EQ(grid.Cells(TExclusionsFill::ColStatus, 7), QStringLiteral("withdrawn"));
    EXPECT_EQ(grid.Cells(TExclusionsFill::ColWithdrawn, 7), QStringLiteral("2026-05-04 14:00:00 by c"));
    EXPECT_EQ(grid.Cells(TExclusionsFill::ColStatus, 3), QStringLiteral("active"));
    EXPECT_EQ(grid.Cells(TExclusionsFill::ColMonitor, 6), QStringLiteral("*"));
    EXPECT_EQ(grid.Cells(TExclusionsFill::ColDuration, 6), QStringLiteral("0:55:00"));
    EXPECT_EQ(grid.Cells(TExclusionsFill::ColCovers, 8), QStringLiteral("LAF90"));
    // A comment the cell markup would swallow ("-" shows nothing) is shown whole.
    EXPECT_EQ(TMarkup::Shown(grid.Cells(TExclusionsFill::ColComment, 4)).sText.trimmed(), QStringLiteral("-5 dB"));
}

// Automatic exclusions are listed after the file's rows with ids A1, ... and count in the
// effect while on; switched off, they leave the list and the effect.
TEST_F(TExclusionReport, AutomaticExclusionsAreListedAndCountedWhileOn)
{
    excl.SetAutomatic({Span("M1", "2026-05-05 06:00:00", "2026-05-05 06:30:00", EReason::Rain)});
    auto aRes = Compute();
    ASSERT_EQ(aRes[0].aRows.size(), 7u);
    EXPECT_LT(aRes[0].aRows.back().nId, 0);
    EXPECT_EQ(TExclusionsFill::StatusText(aRes[0].aRows.back()), QStringLiteral("automatic"));
    EXPECT_EQ(TExclusionsFill::IdText(aRes[0].aRows.back().nId), QStringLiteral("A1"));
    EXPECT_EQ(aRes[0].aDays[1].nPeriods, 6);
    EXPECT_EQ(aRes[0].aDays[1].nSecs, 1500 + 1800);
    excl.SetAutomaticOn(false);
    aRes = Compute();
    EXPECT_EQ(aRes[0].aRows.size(), 6u);
    EXPECT_EQ(aRes[0].aDays[1].nPeriods, 3);
}

} // namespace
