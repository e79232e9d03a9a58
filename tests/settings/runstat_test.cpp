#include "settings/runstat.h"

#include <QFileInfo>

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

} // namespace
