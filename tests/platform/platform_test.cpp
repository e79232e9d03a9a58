#include "platform/platform.h"

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
