#include "datafiles/almfile.h"
#include "datafiles/calfile.h"
#include "datafiles/perfile.h"
#include "datafiles/thfile.h"

#include "daydir.h"
#include "nonplainfile.h"

#include <QRandomGenerator>

#include <unistd.h>

// Whatever lies where a day file should be, every reader loads or refuses it without
// crashing, and every query stays within the loaded lines.
class TBadInputTest : public TDayDirTest
{
protected:
    void WriteAll(const QByteArray& ba)
    {
        for (const char* p : {"per-07-0010.csv", "alm-07.csv", "prf-07.csv", "cal-07.csv"})
            WriteDay(sMon, dtDay, QString::fromLatin1(p), ba);
    }

    // Loads every reader and asks every query of a few records and fields; returns
    // how many readers loaded.
    int LoadAndQueryAll()
    {
        const int nLoaded =
            per.Load(sMon, dtDay, 10) + alm.Load(sMon, dtDay) + th.Load(sMon, dtDay) + cal.Load(sMon, dtDay);
        for (const TDayFile* p : std::initializer_list<const TDayFile*>{&per, &alm, &th, &cal}) {
            for (int iRec : {0, 1, p->RecCount() - 1, p->RecCount()}) {
                for (int iFld : {0, 1, p->FldCount()}) {
                    const QString s = p->FldStr(iRec, iFld);
                    EXPECT_TRUE(!s.isEmpty() ||
                                (p->FldVal(iRec, iFld) == -1 && p->FldTimeSecs(iRec, iFld) == -1));
                    EXPECT_TRUE(s.isEmpty() || (iRec < p->RecCount() && iFld < p->FldCount()));
                }
            }
        }
        return nLoaded;
    }

    TPerFile per{DataPath()};
    TAlmFile alm{DataPath()};
    TTHFile th{DataPath()};
    TCalFile cal{DataPath()};
};

// ---- Files that are not there or cannot be read

TEST_F(TBadInputTest, EmptyRemovedOrFolderIsNoDay)
{
    WriteAll(QByteArray());
    EXPECT_EQ(LoadAndQueryAll(), 0);
    EXPECT_EQ(th.RecCount(), -1);

    WriteAll("Time\n01:00:00\n");
    for (const char* p : {"per-07-0010.csv", "alm-07.csv", "prf-07.csv", "cal-07.csv"}) {
        const QString sPath = DataPath() + sMon + QStringLiteral("/2024-03/") + QString::fromLatin1(p);
        ASSERT_TRUE(QFile::remove(sPath));
        ASSERT_TRUE(QDir().mkpath(sPath)); // a folder where the file should be
    }
    EXPECT_EQ(LoadAndQueryAll(), 0);
    EXPECT_EQ(per.RecCount(), -1);
}

TEST_F(TBadInputTest, UnreadableFileIsNoDay)
{
    if (geteuid() == 0)
        GTEST_SKIP() << "root reads files whatever their permissions";
    const QString sPath = WriteDay(sMon, dtDay, QStringLiteral("cal-07.csv"), "Time\n01:00:00\n");
    ASSERT_TRUE(QFile::setPermissions(sPath, QFileDevice::Permissions()));
    EXPECT_TRUE(TCalFile::CalFileExists(DataPath(), sMon, dtDay));
    EXPECT_FALSE(cal.Load(sMon, dtDay));
    EXPECT_EQ(cal.RecCount(), -1);
}

// Regression: a pipe in place of a day file held the program up for good, and a
// huge sparse file or a link to an endless device was read until memory ran out.
TEST_F(TBadInputTest, PipeDeviceOrHugeFileIsNoDay)
{
    const QString sDir = DataPath() + sMon + QStringLiteral("/2024-03/");
    ASSERT_TRUE(QDir().mkpath(sDir));
    ASSERT_TRUE(MakeFifo(sDir + QStringLiteral("per-07-0010.csv")));
    ASSERT_TRUE(MakeFifo(sDir + QStringLiteral("prf-07.csv")));
    ASSERT_TRUE(LinkToDevZero(sDir + QStringLiteral("cal-07.csv")));
    ASSERT_TRUE(MakeSparseFile(sDir + QStringLiteral("alm-07.csv"), qint64(1) << 30));
    // Released in turn if a regression waits on them; the profile pipe is then next.
    EXPECT_EQ(WithinTimeLimit(sDir + QStringLiteral("per-07-0010.csv"),
                              [&] {
                                  return WithinTimeLimit(sDir + QStringLiteral("prf-07.csv"),
                                                         [&] { return LoadAndQueryAll(); });
                              }),
              0);
    EXPECT_EQ(alm.RecCount(), -1);
    EXPECT_EQ(th.RecCount(), -1);
}

// The limits keep every real day: a whole profile day of 86,400 records and an
// alarm file as long as a profile; only a file beyond them is refused.
TEST_F(TBadInputTest, LimitsPassAWholeDayAndStopAFileBeyondThem)
{
    QByteArray ba = ".Time,LAeq\r\n";
    for (int nSec = 0; nSec < 86400; ++nSec)
        ba += QString::asprintf("%.2d:%.2d:%.2d,%d.%d\r\n", nSec / 3600, nSec / 60 % 60, nSec % 60,
                                40 + nSec % 50, nSec % 10)
                  .toLatin1();
    WriteAll(ba);
    EXPECT_EQ(LoadAndQueryAll(), 4);
    EXPECT_EQ(th.RecCount(), 86400);
    EXPECT_EQ(th.FldVal(86399, 1), 40 + 86399 % 50 + 0.9);
    EXPECT_EQ(alm.RecCount(), 86400);

    WriteAll(".Time\n" + QByteArray(TDayFile::nMaxLines - 1, '\n'));
    EXPECT_EQ(LoadAndQueryAll(), 4);
    EXPECT_EQ(cal.RecCount(), TDayFile::nMaxLines - 1);
    WriteAll(".Time\n" + QByteArray(TDayFile::nMaxLines, '\n'));
    EXPECT_EQ(LoadAndQueryAll(), 0);

    const QString sAlm = WriteDay(sMon, dtDay, QStringLiteral("alm-07.csv"), ".Time\n01:00:00\n");
    ASSERT_TRUE(MakeSparseFile(sAlm, TDayFile::nMaxFileBytes));
    EXPECT_TRUE(alm.Load(sMon, dtDay));
    ASSERT_TRUE(MakeSparseFile(sAlm, TDayFile::nMaxFileBytes + 1));
    EXPECT_FALSE(alm.Load(sMon, dtDay));
}

// ---- Odd contents

TEST_F(TBadInputTest, RandomBytesNeverBreakAReader)
{
    QRandomGenerator rng(20240307);
    for (int nRound = 0; nRound < 40; ++nRound) {
        QByteArray ba(int(rng.bounded(1, 4000)), Qt::Uninitialized);
        for (char& ch : ba) {
            // Plenty of commas, quotes, colons and line ends among the noise.
            const quint32 n = rng.bounded(16);
            ch = n < 5 ? ",\":\n\r"[n] : char(rng.bounded(256));
        }
        WriteAll(ba);
        EXPECT_EQ(LoadAndQueryAll(), 4);
        EXPECT_EQ(th.RecCount(), 86400);
    }
}

TEST_F(TBadInputTest, NulBytesStayInsideTheirField)
{
    static const char acFile[] = ".Time,LAeq\n00:00:00,5\0"
                                 "5,6\n";
    WriteAll(QByteArray(acFile, sizeof(acFile) - 1));
    EXPECT_EQ(LoadAndQueryAll(), 4);
    EXPECT_EQ(per.RecCount(), 1);
    EXPECT_EQ(per.FldStr(0, 1).size(), 3);
    EXPECT_EQ(per.FldVal(0, 1), -1);
    EXPECT_EQ(th.FldVal(0, 1), -1);
}

TEST_F(TBadInputTest, TenMegabyteLineIsOneRecord)
{
    const qsizetype nBig = 10 * 1024 * 1024;
    QByteArray ba = ".Time,LAeq,LAFmax\n00:00:00,";
    ba += QByteArray(nBig, '7');
    ba += ",5\n01:00:00,";
    ba += QByteArray(nBig, 'x'); // a field without any comma or line end
    WriteDay(sMon, dtDay, QStringLiteral("per-07-0010.csv"), ba);
    WriteDay(sMon, dtDay, QStringLiteral("prf-07.csv"), ba);

    ASSERT_TRUE(per.Load(sMon, dtDay, 10));
    ASSERT_EQ(per.RecCount(), 2);
    EXPECT_EQ(per.FldStr(0, 1).size(), nBig);
    EXPECT_EQ(per.FldVal(0, 1), -1); // far beyond the range of a double
    EXPECT_EQ(per.FldVal(0, 2), 5.0);
    EXPECT_EQ(per.FldStr(1, 1).size(), nBig);

    ASSERT_TRUE(th.Load(sMon, dtDay));
    ASSERT_EQ(th.RecCount(), 86400);
    EXPECT_EQ(th.FldVal(0, 2), 5.0);
    EXPECT_EQ(th.FldTimeSecs(3600, 0), 3600);
}
