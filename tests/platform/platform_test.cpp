#include "platform/platform.h"

#include "nonplainfile.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>

#include <gtest/gtest.h>

namespace {

class TPlatformTest : public ::testing::Test
{
protected:
    QTemporaryDir dir;

    QString MakeDir(const char* szName) const
    {
        const QString s = dir.filePath(QLatin1String(szName));
        QDir().mkpath(s);
        return s;
    }
    QString MakeFile(const char* szName) const
    {
        QFile f(dir.filePath(QLatin1String(szName)));
        EXPECT_TRUE(f.open(QIODevice::WriteOnly));
        return f.fileName();
    }
};

// --- folders ---

TEST_F(TPlatformTest, IsPlainDirectory_HiddenLinkedReadOnlyAndFilesDoNotCount)
{
    EXPECT_TRUE(TPlatform::IsPlainDirectory(MakeDir("B01")));
    EXPECT_TRUE(TPlatform::IsPlainDirectory(MakeDir("B02") + QStringLiteral("/")));
    EXPECT_FALSE(TPlatform::IsPlainDirectory(MakeDir(".cache")));

    const QString sLink = dir.filePath(QStringLiteral("link"));
    ASSERT_TRUE(QFile::link(MakeDir("real"), sLink));
    EXPECT_FALSE(TPlatform::IsPlainDirectory(sLink));
    EXPECT_FALSE(TPlatform::IsPlainDirectory(sLink + QStringLiteral("/")));

    const QString sRo = MakeDir("ro");
    QFile::setPermissions(sRo, QFileDevice::ReadOwner | QFileDevice::ExeOwner);
    EXPECT_FALSE(TPlatform::IsPlainDirectory(sRo));

    EXPECT_FALSE(TPlatform::IsPlainDirectory(MakeFile("file")));
    EXPECT_FALSE(TPlatform::IsPlainDirectory(dir.filePath(QStringLiteral("missing"))));
}

TEST_F(TPlatformTest, ForceDirectories_CreatesParentsAndFailsUnderAFile)
{
    const QString sDeep = dir.filePath(QStringLiteral("a/b/c"));
    EXPECT_TRUE(TPlatform::ForceDirectories(sDeep));
    EXPECT_TRUE(QFileInfo(sDeep).isDir());
    EXPECT_TRUE(TPlatform::ForceDirectories(sDeep));
    EXPECT_FALSE(TPlatform::ForceDirectories(MakeFile("file") + QStringLiteral("/sub")));
}

// --- files and environment ---

TEST_F(TPlatformTest, FileLastWrite_KeepsMillisecondsAndIsInvalidForMissingFile)
{
    EXPECT_FALSE(TPlatform::FileLastWrite(dir.filePath(QStringLiteral("none.csv"))).isValid());
    QFile f(MakeFile("per.csv"));
    ASSERT_TRUE(f.open(QIODevice::ReadWrite));
    const QDateTime dt(QDate(2024, 3, 5), QTime(7, 30, 15, 123));
    ASSERT_TRUE(f.setFileTime(dt, QFileDevice::FileModificationTime));
    f.close();
    EXPECT_EQ(TPlatform::FileLastWrite(f.fileName()), dt);
}

// Regression: the refresh timer asked for file times by opening each file, so a pipe
// in place of a day file held up the window for good.
TEST_F(TPlatformTest, FileLastWrite_ComesFromTheFolderEntryAndOnlyForPlainFiles)
{
    const QString sFifo = dir.filePath(QStringLiteral("alm-07.csv"));
    ASSERT_TRUE(MakeFifo(sFifo));
    EXPECT_FALSE(WithinTimeLimit(sFifo, [&] { return TPlatform::FileLastWrite(sFifo); }).isValid());
    EXPECT_FALSE(TPlatform::FileLastWrite(MakeDir("2024-03")).isValid());

    const QString sLocked = MakeFile("locked.csv");
    ASSERT_TRUE(QFile::setPermissions(sLocked, QFileDevice::Permissions()));
    EXPECT_TRUE(TPlatform::FileLastWrite(sLocked).isValid());
}

TEST_F(TPlatformTest, ReadPlainFile_GivesTheWholeFileUpToTheLimit)
{
    const QString sFile = MakeFile("per.csv");
    EXPECT_EQ(TPlatform::ReadPlainFile(sFile, 0), QByteArray());
    {
        QFile f(sFile);
        ASSERT_TRUE(f.open(QIODevice::WriteOnly));
        f.write(QByteArray(100000, 'x'));
    }
    EXPECT_EQ(TPlatform::ReadPlainFile(sFile, 100000), QByteArray(100000, 'x'));
    EXPECT_FALSE(TPlatform::ReadPlainFile(sFile, 99999).has_value());
    EXPECT_FALSE(TPlatform::ReadPlainFile(dir.filePath(QStringLiteral("missing")), 10).has_value());
    EXPECT_FALSE(TPlatform::ReadPlainFile(QString(), 10).has_value());
}

TEST_F(TPlatformTest, ReadPlainFile_RefusesPipesDevicesFoldersAndHugeFiles)
{
    const QString sFifo = dir.filePath(QStringLiteral("fifo"));
    ASSERT_TRUE(MakeFifo(sFifo));
    EXPECT_FALSE(
        WithinTimeLimit(sFifo, [&] { return TPlatform::ReadPlainFile(sFifo, 1 << 20); }).has_value());

    const QString sZero = dir.filePath(QStringLiteral("zero"));
    ASSERT_TRUE(LinkToDevZero(sZero));
    EXPECT_FALSE(TPlatform::ReadPlainFile(sZero, 1 << 20).has_value());

    EXPECT_FALSE(TPlatform::ReadPlainFile(MakeDir("folder"), 1 << 20).has_value());

    const QString sHuge = dir.filePath(QStringLiteral("huge"));
    ASSERT_TRUE(MakeSparseFile(sHuge, qint64(1) << 30));
    EXPECT_FALSE(TPlatform::ReadPlainFile(sHuge, 32 << 20).has_value());
}

TEST(TPlatform, Paths_EnvironmentOverridesAppDataAndProgramIsThisTest)
{
    const QByteArray baOld = qgetenv("TARVIK_COMMON_APPDATA");
    qputenv("TARVIK_COMMON_APPDATA", "/tmp/shared/");
    EXPECT_EQ(TPlatform::CommonAppDataPath(), QStringLiteral("/tmp/shared"));
    qputenv("TARVIK_COMMON_APPDATA", "");
    EXPECT_NE(TPlatform::CommonAppDataPath(), QStringLiteral("/tmp/shared"));
    qputenv("TARVIK_COMMON_APPDATA", baOld);
    EXPECT_EQ(QFileInfo(TPlatform::ProgramFilePath()).fileName(), QStringLiteral("test_platform"));
}

} // namespace
