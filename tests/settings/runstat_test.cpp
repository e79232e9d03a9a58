#include "settings/runstat.h"

#include <QDir>
#include <QFileInfo>
#include <QTemporaryDir>

#include <gtest/gtest.h>

namespace {

TEST(TRunstat, ProgPath_BuildFoldersTakeTheFolderTwoLevelsUp)
{
    EXPECT_EQ(TRunstat(QStringLiteral("/p/Win32/Release/tarvikrp")).sProgPath, QStringLiteral("/p/"));
    EXPECT_EQ(TRunstat(QStringLiteral("/p/Win32/Debug/tarvikrp")).sProgPath, QStringLiteral("/p/"));
    EXPECT_EQ(TRunstat(QStringLiteral("/opt/tarvik/tarvikrp")).sProgPath, QStringLiteral("/opt/tarvik/"));
}

TEST(TRunstat, ProgPath_DefaultIsThisProgramsFolder)
{
    const QString s = TRunstat().sProgPath;
    EXPECT_TRUE(s.endsWith(QLatin1Char('/')));
    EXPECT_TRUE(QFileInfo::exists(s + QStringLiteral("test_settings")));
}

TEST(TRunstat, HelpPath_BesideTheProgramFirstThenTheInstalledSharedFolder)
{
    QTemporaryDir dir;
    ASSERT_TRUE(dir.isValid());
    const QString sRoot = dir.path() + QStringLiteral("/usr/");
    const QString sProg = sRoot + QStringLiteral("bin/tarvik-reporter");
    const QString sShared = sRoot + QStringLiteral("share/tarvik-reporter/help-rp/");
    // Neither folder there: the program folder's, where a user would put the pages.
    EXPECT_EQ(TRunstat(sProg).HelpPath(), sRoot + QStringLiteral("bin/help-rp/"));
    // Installed: the pages lie with the shared data of the same prefix.
    ASSERT_TRUE(QDir().mkpath(sShared));
    EXPECT_EQ(TRunstat(sProg).HelpPath(), sShared);
    // A build or unpacked copy keeps its pages beside the program, and they win.
    ASSERT_TRUE(QDir().mkpath(sRoot + QStringLiteral("bin/help-rp")));
    EXPECT_EQ(TRunstat(sProg).HelpPath(), sRoot + QStringLiteral("bin/help-rp/"));
}

} // namespace
