#include "analysis/exclusions.h"

#include "nonplainfile.h"

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

} // namespace
