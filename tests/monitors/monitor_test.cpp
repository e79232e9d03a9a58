#include "monitors/monitor.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include "nonplainfile.h"

namespace {

class TTQMonitorsTest : public ::testing::Test
{
protected:
    QTemporaryDir dir;
    QString sData = dir.path() + QStringLiteral("/");
    TTQMonitors mons;

    void PutFile(const QString& sRel, const QByteArray& ba) const
    {
        const QString sPath = sData + sRel;
        QDir().mkpath(QFileInfo(sPath).absolutePath());
        QFile f(sPath);
        ASSERT_TRUE(f.open(QIODevice::WriteOnly));
        f.write(ba);
    }
    // A monitor folder with a term.cfg naming it; a null name leaves the key out.
    void AddMonitor(const char* szID, const char* szName, const char* szType = "NM-3") const
    {
        QByteArray ba = "[head]\r\n";
        if (szName != nullptr)
            ba += QByteArray("name=") + szName + "\r\n";
        ba += QByteArray("type=") + szType + "\r\n[gps]\r\nlat=1\r\n";
        PutFile(QLatin1String(szID) + QStringLiteral("/term.cfg"), ba);
    }
    QStringList IDs() const
    {
        QStringList sl;
        for (int i = 0; i < mons.Count(); ++i)
            sl.append(mons.GetHead(i)->sID);
        return sl;
    }
};

// --- the folder scan ---

TEST_F(TTQMonitorsTest, LoadMonitors_ListsPlainMonitorFoldersSortedByName)
{
    AddMonitor("B01", "North gate");
    AddMonitor("A07", "East fence");
    AddMonitor("__old", "Old one");
    AddMonitor(".cache", "Cache");
    QDir().mkpath(sData + QStringLiteral("2020"));
    PutFile(QStringLiteral("clientlist.csv"), "X1\r\n");

    mons.LoadMonitors(sData);
    ASSERT_EQ(IDs(), (QStringList{QStringLiteral("A07"), QStringLiteral("B01")}));
    EXPECT_EQ(mons.GetHead(0)->sName, QStringLiteral("East fence"));
    EXPECT_EQ(mons.GetHead(1)->sName, QStringLiteral("North gate"));
    EXPECT_EQ(mons.GetHead(1)->sType, QStringLiteral("NM-3"));
    EXPECT_FALSE(QFileInfo::exists(sData + QStringLiteral("X1")));
}

TEST_F(TTQMonitorsTest, LoadMonitors_SkipsLinkedAndReadOnlyFolders)
{
    AddMonitor("M1", "One");
    AddMonitor("M2", "Two");
    AddMonitor("M3", "Three");
    ASSERT_TRUE(QFile::link(sData + QStringLiteral("M1"), sData + QStringLiteral("M0")));
    QFile::setPermissions(sData + QStringLiteral("M2"), QFileDevice::ReadOwner | QFileDevice::ExeOwner);

    mons.LoadMonitors(sData);
    QFile::setPermissions(sData + QStringLiteral("M2"),
                          QFileDevice::ReadOwner | QFileDevice::WriteOwner | QFileDevice::ExeOwner);
    EXPECT_EQ(IDs(), (QStringList{QStringLiteral("M1"), QStringLiteral("M3")}));
}

TEST_F(TTQMonitorsTest, LoadMonitors_MissingHeadKeysGiveIDAndUnknown)
{
    AddMonitor("C3", nullptr);
    PutFile(QStringLiteral("D4/term.cfg"), "[other]\nname=x\n");
    mons.LoadMonitors(sData);
    ASSERT_EQ(mons.Count(), 2);
    EXPECT_EQ(mons.GetHead(0)->sName, QStringLiteral("C3"));
    EXPECT_EQ(mons.GetHead(0)->sType, QStringLiteral("NM-3"));
    EXPECT_EQ(mons.GetHead(1)->sName, QStringLiteral("D4"));
    EXPECT_EQ(mons.GetHead(1)->sType, QStringLiteral("Unknown"));
}

TEST_F(TTQMonitorsTest, LoadMonitors_ReplacesThePreviousEntries)
{
    AddMonitor("A07", "East fence");
    mons.LoadMonitors(sData);
    ASSERT_EQ(mons.Count(), 1);
    EXPECT_NE(mons.GetHead(0), nullptr);
    EXPECT_EQ(mons.GetHead(-1), nullptr);
    EXPECT_EQ(mons.GetHead(1), nullptr);
    mons.LoadMonitors(sData + QStringLiteral("nowhere/"));
    EXPECT_EQ(mons.Count(), 0);
    mons.LoadMonitors(QString());
    EXPECT_EQ(mons.Count(), 0);
}

// --- the fallback list ---

TEST_F(TTQMonitorsTest, LoadMonitors_ClientListCreatesFoldersWhenNoneQualify)
{
    QDir().mkpath(sData + QStringLiteral("2020"));
    PutFile(QStringLiteral("clientlist.csv"), "X2\r\nX1\rX3, y \n");
    mons.LoadMonitors(sData);
    ASSERT_EQ(IDs(), (QStringList{QStringLiteral("X1"), QStringLiteral("X2"), QStringLiteral("X3, y ")}));
    EXPECT_EQ(mons.GetHead(0)->sName, QStringLiteral("X1"));
    EXPECT_EQ(mons.GetHead(0)->sType, QStringLiteral("Unknown"));
    for (const QString& sID : IDs())
        EXPECT_TRUE(QFileInfo(sData + sID).isDir()) << sID.toStdString();
}

// Regression: a list line such as "../x" or "" used to name a folder outside the
// data folder, or the data folder itself, and had it created.
TEST_F(TTQMonitorsTest, LoadMonitors_ClientListLinesThatAreNoFolderNameArePassedOver)
{
    PutFile(QStringLiteral("clientlist.csv"), "\r\n.\r\n..\r\n../escape\r\nsub/dir\r\nwin\\dir\r\nF1\r\nOK1");
    PutFile(QStringLiteral("F1"), "a file where the folder should be");
    mons.LoadMonitors(sData);
    EXPECT_EQ(IDs(), QStringList{QStringLiteral("OK1")});
    EXPECT_FALSE(QFileInfo::exists(dir.path() + QStringLiteral("/../escape")));
    EXPECT_FALSE(QFileInfo::exists(sData + QStringLiteral("sub")));
}

// Regression: a list line naming a link in the data folder made a monitor whose
// files were read from wherever the link led, outside the data folder too.
TEST_F(TTQMonitorsTest, LoadMonitors_ClientListLinesNamingALinkArePassedOver)
{
    QTemporaryDir dirOutside;
    ASSERT_TRUE(QFile::link(dirOutside.path(), sData + QStringLiteral("L")));
    ASSERT_TRUE(QFile::link(sData + QStringLiteral("gone"), sData + QStringLiteral("D")));
    PutFile(QStringLiteral("clientlist.csv"), "L\r\nD\r\nOK1\r\n");
    mons.LoadMonitors(sData);
    EXPECT_EQ(IDs(), QStringList{QStringLiteral("OK1")});
    EXPECT_FALSE(QFileInfo::exists(sData + QStringLiteral("gone")));
}

// --- encodings and files that are not plain files ---

// Regression: term.cfg names were read as Latin-1 and the list as UTF-8 only, so a
// list in the Windows code page made a folder of the wrong name and a UTF-16 list
// an empty catalogue.
TEST_F(TTQMonitorsTest, LoadMonitors_Windows1252AndUtf16TextIsDecoded)
{
    PutFile(QStringLiteral("clientlist.csv"), "Z\xFCrich\r\nM\xE4rz\r\n");
    mons.LoadMonitors(sData);
    ASSERT_EQ(IDs(), (QStringList{QStringLiteral("M\u00E4rz"), QStringLiteral("Z\u00FCrich")}));
    EXPECT_TRUE(QFileInfo(sData + QStringLiteral("Z\u00FCrich")).isDir());

    PutFile(QStringLiteral("Z\u00FCrich/term.cfg"), "[head]\r\nname=\x93Z\xFCrich\x94 \x80 \x96 Nord\r\n");
    PutFile(QStringLiteral("M\u00E4rz/term.cfg"), "[head]\nname=M\xC3\xA4rz \xE2\x82\xAC\n");
    mons.LoadMonitors(sData);
    ASSERT_EQ(mons.Count(), 2);
    EXPECT_EQ(mons.GetHead(0)->sName, QStringLiteral("M\u00E4rz \u20AC"));
    EXPECT_EQ(mons.GetHead(1)->sName, QStringLiteral("\u201CZ\u00FCrich\u201D \u20AC \u2013 Nord"));

    const QTemporaryDir dirUtf16;
    const QString sList = QStringLiteral("\u5317\u95E8\r\nS\u00FC"
                                         "d\r\n");
    QByteArray ba("\xFF\xFE");
    for (const QChar ch : sList)
        ba.append(char(ch.unicode() & 0xFF)).append(char(ch.unicode() >> 8));
    QFile f(dirUtf16.filePath(QStringLiteral("clientlist.csv")));
    ASSERT_TRUE(f.open(QIODevice::WriteOnly));
    f.write(ba);
    f.close();
    mons.LoadMonitors(dirUtf16.path() + QStringLiteral("/"));
    EXPECT_EQ(IDs(), (QStringList{QStringLiteral("S\u00FC"
                                                 "d"),
                                  QStringLiteral("\u5317\u95E8")}));
}

// Regression: a pipe in place of term.cfg or the list held the program up for good,
// and a term.cfg linked to an endless device was read until memory ran out.
TEST_F(TTQMonitorsTest, LoadMonitors_PipesDevicesAndHugeFilesGiveDefaults)
{
    const QString sList = sData + QStringLiteral("clientlist.csv");
    ASSERT_TRUE(MakeFifo(sList));
    WithinTimeLimit(sList, [&] { mons.LoadMonitors(sData); });
    EXPECT_EQ(mons.Count(), 0);
    ASSERT_TRUE(QFile::remove(sList));
    ASSERT_TRUE(MakeSparseFile(sList, qint64(1) << 30));
    mons.LoadMonitors(sData);
    EXPECT_EQ(mons.Count(), 0);

    AddMonitor("P1", "Pipe");
    AddMonitor("Z1", "Zero");
    AddMonitor("H1", "Huge");
    const QString sPipeCfg = sData + QStringLiteral("P1/term.cfg");
    ASSERT_TRUE(QFile::remove(sPipeCfg) && MakeFifo(sPipeCfg));
    ASSERT_TRUE(QFile::remove(sData + QStringLiteral("Z1/term.cfg")));
    ASSERT_TRUE(LinkToDevZero(sData + QStringLiteral("Z1/term.cfg")));
    ASSERT_TRUE(MakeSparseFile(sData + QStringLiteral("H1/term.cfg"), qint64(1) << 30));
    WithinTimeLimit(sPipeCfg, [&] { mons.LoadMonitors(sData); });
    ASSERT_EQ(IDs(), (QStringList{QStringLiteral("H1"), QStringLiteral("P1"), QStringLiteral("Z1")}));
    for (int i = 0; i < mons.Count(); ++i) {
        EXPECT_EQ(mons.GetHead(i)->sName, mons.GetHead(i)->sID);
        EXPECT_EQ(mons.GetHead(i)->sType, QStringLiteral("Unknown"));
    }
}

// --- order and look-up ---

TEST_F(TTQMonitorsTest, LoadMonitors_SortIsStableAndByCodeUnits)
{
    // Listed folders that the scan passes over, so the list decides the order of equal names.
    AddMonitor("__b", "same");
    AddMonitor("__z", "alpha");
    AddMonitor("__a", "same");
    AddMonitor("__y", "Zulu");
    PutFile(QStringLiteral("clientlist.csv"), "__b\n__z\n__a\n__y\n");
    mons.LoadMonitors(sData);
    EXPECT_EQ(IDs(), (QStringList{QStringLiteral("__y"), QStringLiteral("__z"), QStringLiteral("__b"),
                                  QStringLiteral("__a")}));
}

TEST_F(TTQMonitorsTest, GetHeadFromID_ExactCaseLastMatch)
{
    PutFile(QStringLiteral("clientlist.csv"), "X1\nX1\nY1\n");
    mons.LoadMonitors(sData);
    ASSERT_EQ(mons.Count(), 3);
    EXPECT_EQ(mons.GetHeadFromID(QStringLiteral("X1")), mons.GetHead(1));
    EXPECT_EQ(mons.GetHeadFromID(QStringLiteral("Y1")), mons.GetHead(2));
    EXPECT_EQ(mons.GetHeadFromID(QStringLiteral("x1")), nullptr);
}

} // namespace
