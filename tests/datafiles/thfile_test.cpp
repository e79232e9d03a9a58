#include "datafiles/thfile.h"

#include "daydir.h"

namespace {

QByteArray Records(int nFromSec, int nToSec, const char* pLevel = "55.2")
{
    QByteArray ba;
    for (int s = nFromSec; s <= nToSec; ++s)
        ba += QString::asprintf("%.2d:%.2d:%.2d,%s\r\n", s / 3600, s / 60 % 60, s % 60, pLevel).toLatin1();
    return ba;
}

QString Gap(int nSec)
{
    return QString::asprintf("%.2d:%.2d:%.2d,-", nSec / 3600, nSec / 60 % 60, nSec % 60);
}

} // namespace

class TTHFileTest : public TDayDirTest
{
protected:
    bool LoadDay(const QByteArray& ba)
    {
        WriteDay(sMon, dtDay, QStringLiteral("prf-07.csv"), ba);
        return th.Load(sMon, dtDay);
    }

    // The records that are not the gap record of their own second.
    std::vector<int> NonGaps() const
    {
        std::vector<int> an;
        for (int i = 0; i < th.RecCount(); ++i) {
            if (th.Line(i + 1) != Gap(i))
                an.push_back(i);
        }
        return an;
    }

    TTHFile th{DataPath()};
};

// ---- Filling the day to one record per second

TEST_F(TTHFileTest, StuffFile_OneHourOfRecordsLandsAtItsSeconds)
{
    EXPECT_EQ(TTHFile::FileName(DataPath(), sMon, dtDay),
              DataPath() + QStringLiteral("M01/2024-03/prf-07.csv"));
    ASSERT_TRUE(LoadDay(".Time,LAeq\r\n" + Records(36000, 39599)));
    ASSERT_EQ(th.RecCount(), 86400);
    EXPECT_EQ(th.Line(0), QStringLiteral(".Time,LAeq"));
    EXPECT_EQ(th.Line(1), Gap(0));
    EXPECT_EQ(th.Line(36000), Gap(35999));
    EXPECT_EQ(th.Line(36001), QStringLiteral("10:00:00,55.2"));
    EXPECT_EQ(th.Line(39600), QStringLiteral("10:59:59,55.2"));
    EXPECT_EQ(th.Line(39601), Gap(39600));
    EXPECT_EQ(th.Line(86400), Gap(86399));
    EXPECT_EQ(NonGaps().size(), 3600u);
}

TEST_F(TTHFileTest, StuffFile_TwoRecordsFarApart)
{
    ASSERT_TRUE(LoadDay(".Time,LAeq\n10:00:00,50\n12:00:00,60\n"));
    ASSERT_EQ(th.RecCount(), 86400);
    EXPECT_EQ(NonGaps(), (std::vector<int>{36000, 43200}));
    EXPECT_EQ(th.FldVal(36000, 1), 50.0);
    EXPECT_EQ(th.FldVal(43200, 1), 60.0);
}

TEST_F(TTHFileTest, StuffFile_HeaderOnlyGivesAWholeDayOfGaps)
{
    ASSERT_TRUE(LoadDay(".Time,LAeq\n"));
    ASSERT_EQ(th.RecCount(), 86400);
    EXPECT_EQ(th.Line(1), QStringLiteral("00:00:00,-"));
    EXPECT_EQ(th.Line(6), QStringLiteral("00:00:05,-"));
    EXPECT_EQ(th.Line(86400), QStringLiteral("23:59:59,-"));
    EXPECT_TRUE(NonGaps().empty());
}

TEST_F(TTHFileTest, StuffFile_FileOfAWholeDayIsPlacedByItsTimes)
{
    // Regression: a file of 86,400 lines or more was mapped by line number. With the
    // first second missing every record sat a second early.
    ASSERT_TRUE(LoadDay(".Time,LAeq\n" + Records(1, 86399)));
    ASSERT_EQ(th.RecCount(), 86400);
    EXPECT_EQ(th.Line(1), Gap(0));
    EXPECT_EQ(th.FldStr(1, 0), QStringLiteral("00:00:01"));
    EXPECT_EQ(th.Unplaced(), 0);

    // A whole day and ten seconds again: the repeats are counted, not placed.
    ASSERT_TRUE(LoadDay(".Time,LAeq\n" + Records(0, 86399) + Records(0, 9)));
    EXPECT_EQ(th.RecCount(), 86400);
    EXPECT_EQ(th.Unplaced(), 10);
    EXPECT_TRUE(NonGaps().size() == 86400u);
}

TEST_F(TTHFileTest, StuffFile_TwentyFiveHourDayKeepsItsTimes)
{
    // Regression: the repeated hour of a 25-hour day (02:00-02:59 twice) pushed every
    // later record an hour late, so a 12:00 level was shown at 13:00 and the last hour
    // fell off the day.
    QByteArray ba = ".Time,LAeq\n" + Records(0, 3 * 3600 - 1) + Records(2 * 3600, 12 * 3600 - 1, "70.0") +
                    Records(12 * 3600, 86399, "60.0");
    ASSERT_TRUE(LoadDay(ba));
    ASSERT_EQ(th.RecCount(), 86400);
    EXPECT_EQ(th.Unplaced(), 3600);
    EXPECT_EQ(th.FldStr(12 * 3600, 0), QStringLiteral("12:00:00"));
    EXPECT_EQ(th.FldVal(12 * 3600, 1), 60.0);
    EXPECT_EQ(th.FldVal(23 * 3600 + 1800, 1), 60.0);
    // The first of the two 02:30 records holds the second.
    EXPECT_EQ(th.FldVal(2 * 3600 + 1800, 1), 55.2);

    // A 23-hour day lacks 02:00-02:59: those seconds are gaps, the rest is in place.
    ASSERT_TRUE(LoadDay(".Time,LAeq\n" + Records(0, 2 * 3600 - 1) + Records(3 * 3600, 86399)));
    EXPECT_EQ(th.Unplaced(), 0);
    EXPECT_EQ(th.FldVal(2 * 3600 + 5, 1), -1);
    EXPECT_EQ(th.FldStr(3 * 3600, 0), QStringLiteral("03:00:00"));
}

TEST_F(TTHFileTest, StuffFile_TwoRecordsASecondStayAtTheirTimes)
{
    // Regression: with two records a second, record k was taken as second k, and a
    // 10:00 level was shown at 20:00.
    QByteArray ba = ".Time,LAeq\n";
    for (int s = 0; s < 86400; ++s) {
        const char* psz = s >= 36000 && s < 36010 ? "80.0" : "40.0";
        const QByteArray baRec = QString::asprintf("%.2d:%.2d:%.2d,%s\n", s / 3600, s / 60 % 60, s % 60, psz).toLatin1();
        ba += baRec + baRec;
    }
    ASSERT_TRUE(LoadDay(ba));
    ASSERT_EQ(th.RecCount(), 86400);
    EXPECT_EQ(th.Unplaced(), 86400);
    EXPECT_EQ(th.FldVal(36000, 1), 80.0);
    EXPECT_EQ(th.FldVal(36010, 1), 40.0);
    EXPECT_EQ(th.FldVal(72000, 1), 40.0);
}

TEST_F(TTHFileTest, StuffFile_OutOfStepRecordsGoToTheirOwnSecond)
{
    // A repeated second keeps its first record and an unreadable time is no second:
    // both are counted. A record that runs behind still goes to its own second.
    ASSERT_TRUE(LoadDay(".Time,LAeq\n00:00:02,1\n00:00:02,2\nxx,3\n00:00:01,4\n00:00:09,5\n"));
    ASSERT_EQ(th.RecCount(), 86400);
    EXPECT_EQ(th.Line(2), QStringLiteral("00:00:01,4"));
    EXPECT_EQ(th.Line(3), QStringLiteral("00:00:02,1"));
    EXPECT_EQ(th.Line(4), Gap(3));
    EXPECT_EQ(th.Line(10), QStringLiteral("00:00:09,5"));
    EXPECT_EQ(NonGaps(), (std::vector<int>{1, 2, 9}));
    EXPECT_EQ(th.Unplaced(), 2);
}

TEST_F(TTHFileTest, StuffFile_RecordsPastTheLastSecondAreDropped)
{
    ASSERT_TRUE(LoadDay(".Time,LAeq\n23:59:59,1\n23:59:59,2\n25:00:00,3\n"));
    ASSERT_EQ(th.RecCount(), 86400);
    EXPECT_EQ(th.Line(86400), QStringLiteral("23:59:59,1"));
    EXPECT_EQ(NonGaps(), (std::vector<int>{86399}));
    EXPECT_EQ(th.Unplaced(), 2);
}

TEST_F(TTHFileTest, FldStr_BlankAfterCommaBelongsToTheLevel)
{
    ASSERT_TRUE(LoadDay(".Time, LAeq\n00:00:00, 55.2\n00:00:01 ,\"5,5\"\n00:00:02,a b\n"));
    EXPECT_EQ(th.FldName(1), QStringLiteral("LAeq")); // the header is split by the common rule
    EXPECT_EQ(th.FldStr(0, 1), QStringLiteral(" 55.2"));
    EXPECT_DOUBLE_EQ(th.FldVal(0, 1), 55.2);
    EXPECT_EQ(th.FldStr(1, 0), QStringLiteral("00:00:01 "));
    EXPECT_EQ(th.FldTimeSecs(1, 0), 1);
    EXPECT_EQ(th.FldStr(1, 1), QStringLiteral("5,5"));
    EXPECT_EQ(th.FldStr(2, 1), QStringLiteral("a b"));
}

TEST_F(TTHFileTest, GapRecordReadsAsTimeAndNoLevel)
{
    ASSERT_TRUE(LoadDay(".Time,LAeq\n"));
    EXPECT_EQ(th.FldStr(3725, 0), QStringLiteral("01:02:05"));
    EXPECT_EQ(th.FldTimeSecs(3725, 0), 3725);
    EXPECT_EQ(th.FldStr(3725, 1), QStringLiteral("-"));
    EXPECT_EQ(th.FldVal(3725, 1), -1);
    EXPECT_EQ(th.FldVal(3725, 0), -1);
}
