#include "datafiles/almfile.h"

#include "daydir.h"

class TAlmFileTest : public TDayDirTest
{
protected:
    TAlmFile alm{DataPath()};
};

TEST(TDayFile_ParseTimeSecs, ThreeWholeNumbersWithoutUpperBounds)
{
    EXPECT_EQ(TDayFile::ParseTimeSecs(u"00:00:00"), 0);
    EXPECT_EQ(TDayFile::ParseTimeSecs(u"23:59:59"), 86399);
    EXPECT_EQ(TDayFile::ParseTimeSecs(u"7:5:3"), 25503);
    EXPECT_EQ(TDayFile::ParseTimeSecs(u"25:00:00"), 90000);
    EXPECT_EQ(TDayFile::ParseTimeSecs(u"+1:-1:0"), 3540);
    // Parts are split by the line rules with ":" for the comma.
    EXPECT_EQ(TDayFile::ParseTimeSecs(u" 12 : 00 :00 "), 43200);
    EXPECT_EQ(TDayFile::ParseTimeSecs(u"\"12\":00:00"), 43200);
    EXPECT_EQ(TDayFile::ParseTimeSecs(u"12 00 00"), 43200);
}

TEST(TDayFile_ParseTimeSecs, AnythingElseGivesMinusOne)
{
    for (const char16_t* p : {u"", u"12:00", u"12:0a:00", u"12:00:00:", u"12:00:00:00", u"12::00",
                              u"1.5:00:00", u"\"1\"\"\":00:00", u"999999999999:00:00", u"99999999:00:00"}) {
        EXPECT_EQ(TDayFile::ParseTimeSecs(QStringView(p)), -1) << QString::fromUtf16(p).toStdString();
    }
}

TEST_F(TAlmFileTest, FldTimeSecs_OfAlarmRecords)
{
    EXPECT_EQ(TAlmFile::FileName(DataPath(), sMon, dtDay),
              DataPath() + QStringLiteral("M01/2024-03/alm-07.csv"));
    WriteDay(sMon, dtDay, QStringLiteral("alm-07.csv"), "Time\r\n12:00:00 ,71.5\r\n13:00:00,14:00:00\r\n");
    ASSERT_TRUE(alm.Load(sMon, dtDay));
    EXPECT_EQ(alm.RecCount(), 2);
    EXPECT_EQ(alm.FldTimeSecs(0, 0), 43200); // the blank ends the time
    EXPECT_EQ(alm.FldTimeSecs(1, 0), 46800);
    EXPECT_EQ(alm.FldTimeSecs(1, 1), -1); // the header names one field only
    EXPECT_EQ(alm.FldTimeSecs(2, 0), -1); // beyond the last record
}
