#include "output/utils.h"

#include "platform/wholefile.h"

#include "reportdir.h"
#include "testkinds.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <csignal>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

// --- page and image names -------------------------------------------------------

TEST(TReportNames, PageNames_CarryPeriodOnlyForPeriodicAndAlarmPages)
{
    const QDate d1(2024, 3, 1), d3(2024, 3, 3);
    EXPECT_EQ(TReportNames::PageName(TestKind(QStringLiteral("per")), QStringLiteral("7"), d1, d3, 15),
              QStringLiteral("per_7_20240301_20240303_0015.html"));
    EXPECT_EQ(TReportNames::PageName(TestKind(QStringLiteral("alm")), QStringLiteral("7"), d1, d1, 5),
              QStringLiteral("alm_7_20240301_20240301_0005.html"));
    EXPECT_EQ(TReportNames::PageName(TestKind(QStringLiteral("prf")), QStringLiteral("M01"), d1, d3, 15),
              QStringLiteral("prf_M01_20240301_20240303.html"));
    EXPECT_EQ(TReportNames::PageName(TestKind(QStringLiteral("cal")), QStringLiteral("M01"), d1, d3, 15),
              QStringLiteral("cal_M01_20240301_20240303.html"));
    EXPECT_EQ(TReportNames::PageName(TestKind(QStringLiteral("sum")), QStringLiteral("M01"), d1, d3, 10),
              QStringLiteral("sum_M01_20240301_20240303_0010.html"));
    // A period of more than four digits keeps all of them.
    EXPECT_EQ(TReportNames::PageName(TestKind(QStringLiteral("per")), QStringLiteral("7"), d1, d1, 12345),
              QStringLiteral("per_7_20240301_20240301_12345.html"));
}

TEST(TReportNames, ChartNames_ZoomImagesEndWithZoomBmp)
{
    const QDate d1(2024, 3, 1), d3(2024, 3, 3);
    EXPECT_EQ(TReportNames::ChartName(TestKind(QStringLiteral("per")), QStringLiteral("7"), d1, d3, 60, false),
              QStringLiteral("per_7_20240301_20240303_0060.bmp"));
    EXPECT_EQ(TReportNames::ChartName(TestKind(QStringLiteral("alm")), QStringLiteral("7"), d1, d3, 60, true),
              QStringLiteral("alm_7_20240301_20240303_0060_zoom.bmp"));
    EXPECT_EQ(TReportNames::ChartName(TestKind(QStringLiteral("sum")), QStringLiteral("7"), d1, d3, 10, false),
              QStringLiteral("sum_7_20240301_20240303_0010.bmp"));
    EXPECT_EQ(TReportNames::ChartName(TestKind(QStringLiteral("sum")), QStringLiteral("7"), d1, d3, 10, true),
              QStringLiteral("sum_7_20240301_20240303_0010_zoom.bmp"));
    EXPECT_EQ(TReportNames::DayChartName(TestKind(QStringLiteral("prf")), QStringLiteral("7"), d3, false),
              QStringLiteral("prf_7_20240303.bmp"));
    EXPECT_EQ(TReportNames::DayChartName(TestKind(QStringLiteral("prf")), QStringLiteral("7"), d3, true),
              QStringLiteral("prf_7_20240303_zoom.bmp"));
}

TEST(TReportNames, LinkPrefix_IsTheKindsFolderWithASlash)
{
    EXPECT_EQ(TReportNames::LinkPrefix(TestKind(QStringLiteral("sum"))), QStringLiteral("summaries/"));
}

// --- number and date fields -------------------------------------------------------

TEST(DecimalNumber, DigitsOnlyAndWithinInt)
{
    EXPECT_EQ(DecimalNumber(QStringLiteral("0015")), 15);
    EXPECT_EQ(DecimalNumber(QStringLiteral("0")), 0);
    EXPECT_EQ(DecimalNumber(QStringLiteral("2147483647")), 2147483647);
    for (const char* sz :
         {"", "+15", "-5", " 15", "15 ", "1.5", "00a5", "2147483648", "99999999999999999999"})
        EXPECT_EQ(DecimalNumber(QString::fromLatin1(sz)), -1) << sz;
}

TEST(ReportDateToDate, ReadsBothForms)
{
    EXPECT_EQ(ReportDateToDate(QStringLiteral("20240305")), QDate(2024, 3, 5));
    EXPECT_EQ(ReportDateToDate(QStringLiteral("2024-03-05")), QDate(2024, 3, 5));
    EXPECT_EQ(ReportDateToDate(QStringLiteral("20240229")), QDate(2024, 2, 29));
}

TEST(ReportDateToDate, AnythingElseIsTheDayBeforeTheOrigin)
{
    for (const char* sz : {"", "2024035", "202403051", "2024-3-05", "2024/03/05", "20240230", "20231301",
                           "2024-13-01", "2O240305", "+2024030", "2024 305", "00000101", "20240000"})
        EXPECT_EQ(ReportDateToDate(QString::fromLatin1(sz)), QDate(1899, 12, 29)) << sz;
}

TEST(TReportNames, ImageFormat_AnyCaseAsThePaper)
{
    EXPECT_EQ(TReportNames::ImageFormatFromText(QStringLiteral("PNG")), EImageFormat::Png);
    EXPECT_EQ(TReportNames::ImageFormatFromText(QStringLiteral("Bmp")), EImageFormat::Bmp);
    EXPECT_EQ(TReportNames::ImageFormatFromText(QStringLiteral("png")), EImageFormat::Png);
    EXPECT_FALSE(TReportNames::ImageFormatFromText(QStringLiteral("PNG ")).has_value());
    EXPECT_FALSE(TReportNames::ImageFormatFromText(QStringLiteral("gif")).has_value());
}

// --- files written whole ------------------------------------------------------------

namespace {
QByteArray ReadFile(const QString& sFile)
{
    QFile f(sFile);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray("<missing>");
}
} // namespace

TEST(TWholeFile, ModeFollowsTheUmaskAndAnEarlierFileIsReplacedInOneStep)
{
    QTemporaryDir dir;
    const QString sFile = dir.filePath(QStringLiteral("a.png"));
    QString sError;
    const mode_t nOldMask = ::umask(022);
    ASSERT_TRUE(TWholeFile::Save(sFile, "first", sError));
    EXPECT_EQ(QFile::permissions(sFile) & 0x0777, QFile::Permissions(0x0644));
    // A file made private before is written anew with the umask's mode too.
    QFile::setPermissions(sFile, QFile::ReadOwner | QFile::WriteOwner);
    ::umask(027);
    ASSERT_TRUE(TWholeFile::Save(sFile, "second", sError));
    ::umask(nOldMask);
    EXPECT_EQ(QFile::permissions(sFile) & 0x0777, QFile::Permissions(0x0640));
    EXPECT_EQ(ReadFile(sFile), "second");
    EXPECT_EQ(QDir(dir.path()).entryList(QDir::Files | QDir::Hidden), QStringList{QStringLiteral("a.png")});
}

TEST(TWholeFile, RefusedWritesLeaveTheEarlierFileAndNameTheReason)
{
    QTemporaryDir dir;
    const QString sFile = dir.filePath(QStringLiteral("a.pdf"));
    QString sError;
    ASSERT_TRUE(TWholeFile::Save(sFile, "%PDF-1.4 good %%EOF", sError));
    const QString sNative = QDir::toNativeSeparators(sFile);

    // A full disk: the first bytes go, the rest are refused.
    {
        TWholeFile::SetRoomForTests(4);
        TWholeFile f(sFile);
        ASSERT_TRUE(f.Open());
        EXPECT_EQ(f.write("%PDF-1.4 worse"), -1);
        // A writer that ignores the refusal goes on writing; nothing more is taken.
        f.write(" %%EOF");
        TWholeFile::SetRoomForTests(-1);
        EXPECT_FALSE(f.Commit());
        EXPECT_EQ(f.Error(), QStringLiteral("Unable to write to ") + sNative +
                                 QStringLiteral(": No space left on device"));
    }
    EXPECT_EQ(ReadFile(sFile), "%PDF-1.4 good %%EOF");

    // Discarded, or dropped without a commit: the earlier file stays as well.
    {
        TWholeFile f(sFile);
        ASSERT_TRUE(f.Open());
        f.write("half");
        EXPECT_TRUE(f.EndsWith("half"));
        EXPECT_FALSE(f.EndsWith("%%EOF"));
    }
    EXPECT_EQ(ReadFile(sFile), "%PDF-1.4 good %%EOF");
    EXPECT_EQ(QDir(dir.path()).entryList(QDir::Files | QDir::Hidden), QStringList{QStringLiteral("a.pdf")});

    // A missing folder and a folder in the file's place.
    EXPECT_FALSE(TWholeFile::Save(dir.filePath(QStringLiteral("none/a.pdf")), "x", sError));
    EXPECT_TRUE(sError.endsWith(QStringLiteral(": No such file or directory"))) << sError.toStdString();
    EXPECT_FALSE(TWholeFile::Save(dir.path(), "x", sError));
    EXPECT_TRUE(sError.endsWith(QStringLiteral(": Is a directory"))) << sError.toStdString();
}

TEST(TWholeFile, NamedTemporaryFileIsPrivateUntilCompleteAndNeverLeftBehind)
{
    // Where the file system cannot make a file without a name, a hidden file made with
    // mode 0600 stands in; renamed, it must take the umask's mode like any new file.
    QTemporaryDir dir;
    const QString sFile = dir.filePath(QStringLiteral("r.pdf"));
    const mode_t nOldMask = ::umask(022);
    TWholeFile::UseNamedTempForTests(true);
    {
        TWholeFile f(sFile);
        ASSERT_TRUE(f.Open());
        f.write("%PDF-1.4 %%EOF");
        const QStringList sl = QDir(dir.path()).entryList(QDir::Files | QDir::Hidden);
        ASSERT_EQ(sl.size(), 1);
        EXPECT_TRUE(sl.first().startsWith(QStringLiteral(".r.pdf.")));
        EXPECT_EQ(QFile::permissions(dir.filePath(sl.first())) & 0x0777, QFile::Permissions(0x0600));
        ASSERT_TRUE(f.Commit());
    }
    EXPECT_EQ(QFile::permissions(sFile) & 0x0777, QFile::Permissions(0x0644));
    {
        TWholeFile f(sFile);
        ASSERT_TRUE(f.Open());
        f.write("half");
    }
    // A SIGTERM in the middle of the write ends the process as before and takes the
    // hidden file with it.
    const pid_t pid = ::fork();
    ASSERT_GE(pid, 0);
    if (pid == 0) {
        TWholeFile f(sFile);
        if (f.Open()) {
            f.write("half");
            ::raise(SIGTERM);
        }
        ::_exit(3);
    }
    int nStatus = 0;
    ASSERT_EQ(::waitpid(pid, &nStatus, 0), pid);
    EXPECT_TRUE(WIFSIGNALED(nStatus) && WTERMSIG(nStatus) == SIGTERM) << nStatus;
    TWholeFile::UseNamedTempForTests(false);
    ::umask(nOldMask);
    EXPECT_EQ(ReadFile(sFile), "%PDF-1.4 %%EOF");
    EXPECT_EQ(QDir(dir.path()).entryList(QDir::Files | QDir::Hidden), QStringList{QStringLiteral("r.pdf")});
}
