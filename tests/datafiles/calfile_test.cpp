#include "datafiles/calfile.h"

#include "daydir.h"

class TCalFileTest : public TDayDirTest
{
protected:
    TCalFile cal{DataPath()};
};

TEST_F(TCalFileTest, HeaderOnlyLoadsButEmptyFileOnlyExists)
{
    EXPECT_EQ(TCalFile::FileName(DataPath(), sMon, dtDay),
              DataPath() + QStringLiteral("M01/2024-03/cal-07.csv"));
    WriteDay(sMon, dtDay, QStringLiteral("cal-07.csv"), "Time,Level\r\n");
    EXPECT_TRUE(TCalFile::CalFileExists(DataPath(), sMon, dtDay));
    EXPECT_TRUE(cal.Load(sMon, dtDay));
    EXPECT_EQ(cal.RecCount(), 0);

    WriteDay(sMon, dtDay, QStringLiteral("cal-07.csv"), QByteArray());
    EXPECT_TRUE(TCalFile::CalFileExists(DataPath(), sMon, dtDay));
    EXPECT_FALSE(cal.Load(sMon, dtDay));
    EXPECT_EQ(cal.RecCount(), -1);
}

TEST_F(TCalFileTest, MissingFileOrFolderInItsPlaceDoesNotExist)
{
    EXPECT_FALSE(TCalFile::CalFileExists(DataPath(), sMon, dtDay));
    ASSERT_TRUE(QDir().mkpath(DataPath() + sMon + QStringLiteral("/2024-03/cal-07.csv")));
    EXPECT_FALSE(TCalFile::CalFileExists(DataPath(), sMon, dtDay));
}

TEST_F(TCalFileTest, RecordTimes)
{
    WriteDay(sMon, dtDay, QStringLiteral("cal-07.csv"), "Time,Ref\n08:15:00,94.0\n\"17:45:30\",94.1\n");
    ASSERT_TRUE(cal.Load(sMon, dtDay));
    EXPECT_EQ(cal.FldTimeSecs(0, 0), 8 * 3600 + 15 * 60);
    EXPECT_EQ(cal.FldTimeSecs(1, 0), 17 * 3600 + 45 * 60 + 30);
}
