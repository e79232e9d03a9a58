#include "platform/inifile.h"
#include "platform/writeerror.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <unistd.h>

namespace {

class TIniFileTest : public ::testing::Test
{
protected:
    QTemporaryDir dir;
    QString sFile = dir.filePath(QStringLiteral("s.ini"));
    TIniFile ini{sFile};

    void Put(const QByteArray& ba) const
    {
        QFile f(sFile);
        ASSERT_TRUE(f.open(QIODevice::WriteOnly));
        f.write(ba);
    }
    QByteArray Bytes() const
    {
        QFile f(sFile);
        return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
    }
    QString Read(const char* szSection, const char* szKey) const
    {
        return ini.ReadString(QLatin1String(szSection), QLatin1String(szKey), QStringLiteral("<none>"));
    }
    void Write(const char* szSection, const char* szKey, const char* szValue) const
    {
        ini.WriteString(QLatin1String(szSection), QLatin1String(szKey), QString::fromUtf8(szValue));
    }
    QStringList Files() const { return QDir(dir.path()).entryList(QDir::Files | QDir::Hidden); }
};

// --- reading ---

TEST_F(TIniFileTest, ReadString_NamesIgnoreCaseAndBlanksValuesStayLiteral)
{
    EXPECT_EQ(Read("app", "datapath"), QStringLiteral("<none>"));
    Put("\xEF\xBB\xBF[App]\r\n  DataPath =  C:\\noise\\data\\  \r\nquoted=\"a b\" 'c'\r\n; note=comment\r\n"
        "[ Win ]\nx=1\nx=2\n[app]\ndatapath=second\n[empty]\nkey=\n");
    EXPECT_EQ(Read("app", "datapath"), QStringLiteral("C:\\noise\\data\\"));
    EXPECT_EQ(Read("APP", "QUOTED"), QStringLiteral("\"a b\" 'c'"));
    EXPECT_EQ(Read("win", "x"), QStringLiteral("1"));
    EXPECT_EQ(Read("app", "; note"), QStringLiteral("<none>"));
    EXPECT_EQ(Read("empty", "key"), QString());
}

TEST_F(TIniFileTest, ReadIntegerAndBool_OnlyWholeIntegersCount)
{
    Put("[n]\na= -7 \nb=+5\nc=yes\nd=12abc\ne=99999999999\nf=0\ng=\n");
    const QString n = QStringLiteral("n");
    EXPECT_EQ(ini.ReadInteger(n, QStringLiteral("a"), 3), -7);
    EXPECT_EQ(ini.ReadInteger(n, QStringLiteral("b"), 3), 5);
    for (const char* sz : {"c", "d", "e", "g", "missing"})
        EXPECT_EQ(ini.ReadInteger(n, QLatin1String(sz), 3), 3) << sz;
    EXPECT_TRUE(ini.ReadBool(n, QStringLiteral("b"), false));
    EXPECT_TRUE(ini.ReadBool(n, QStringLiteral("c"), true));
    EXPECT_FALSE(ini.ReadBool(n, QStringLiteral("f"), true));
}

// Many keys read at one moment come from one reading of the file.
TEST_F(TIniFileTest, IniValues_KeepTheFileAsItWasWhenRead)
{
    Put("[a]\nk=1\nn= 5\n");
    const TIniValues values(sFile);
    Put("[a]\nk=2\n");
    const QString a = QStringLiteral("A");
    EXPECT_EQ(values.ReadString(a, QStringLiteral("K"), QString()), QStringLiteral("1"));
    EXPECT_EQ(values.ReadInteger(a, QStringLiteral("n"), 0), 5);
    EXPECT_TRUE(values.ReadBool(a, QStringLiteral("n"), false));
    EXPECT_EQ(Read("a", "k"), QStringLiteral("2"));
    EXPECT_EQ(Read("a", "n"), QStringLiteral("<none>"));
    EXPECT_EQ(TIniValues(QString()).ReadInteger(a, QStringLiteral("n"), 7), 7);
}

// --- writing keeps every other byte ---

TEST_F(TIniFileTest, WriteString_ReplacesOnlyTheKeysLine)
{
    Put("; kept\r\n\r\n[App]\r\n  DataPath = old \r\nother=x\n\n[b]\r\nk=1");
    Write("app", "datapath", "D:\\new\\");
    Write("B", "K", "2");
    EXPECT_EQ(Bytes(), QByteArray("; kept\r\n\r\n[App]\r\nDataPath=D:\\new\\\r\nother=x\n\n[b]\r\nk=2"));
}

TEST_F(TIniFileTest, WriteString_NewKeyFollowsTheSectionsLastKey)
{
    Put("[a]\nk=1\n\n; about b\n[b]\nj=2\n[c]\n[d]\n");
    Write("a", "new", "v");
    Write("b", "z", "w");
    Write("c", "y", "u");
    EXPECT_EQ(Bytes(), QByteArray("[a]\nk=1\nnew=v\n\n; about b\n[b]\nj=2\nz=w\n[c]\ny=u\n[d]\n"));
}

TEST_F(TIniFileTest, WriteString_NewSectionGoesAtTheEndInTheFilesLineEnding)
{
    Put("[a]\nk=1\n");
    Write("html", "header", "T");
    EXPECT_EQ(Bytes(), QByteArray("[a]\nk=1\n[html]\nheader=T\n"));

    Put("[a]\nk=1\r\nj=2");
    Write("html", "header", "T");
    Write("a", "i", "3");
    EXPECT_EQ(Bytes(), QByteArray("[a]\nk=1\r\nj=2\r\ni=3\r\n[html]\r\nheader=T"));
}

TEST_F(TIniFileTest, WriteString_NewFileUsesCrLfAndBomIsKept)
{
    ini.WriteInteger(QStringLiteral("a"), QStringLiteral("n"), -12);
    ini.WriteBool(QStringLiteral("a"), QStringLiteral("t"), true);
    ini.WriteBool(QStringLiteral("a"), QStringLiteral("f"), false);
    EXPECT_EQ(Bytes(), QByteArray("[a]\r\nn=-12\r\nt=1\r\nf=0\r\n"));

    Put("\xEF\xBB\xBF[a]\nk=1\n");
    Write("a", "k", "\xC3\xA9t\xC3\xA9");
    EXPECT_EQ(Bytes(), QByteArray("\xEF\xBB\xBF[a]\nk=\xC3\xA9t\xC3\xA9\n"));
    EXPECT_EQ(Read("a", "k"), QStringLiteral("\u00E9t\u00E9"));
    EXPECT_EQ(Files(), QStringList{QStringLiteral("s.ini")});
}

TEST_F(TIniFileTest, WriteString_KeepsWhatAnotherProgramWroteMeanwhile)
{
    Write("a", "k", "1");
    Put(Bytes() + "[sv]\r\nport=7\r\n");
    Write("a", "k", "2");
    EXPECT_EQ(Bytes(), QByteArray("[a]\r\nk=2\r\n[sv]\r\nport=7\r\n"));
}

// Regression: a line break in a value started new lines, that is new keys.
TEST_F(TIniFileTest, WriteString_LineBreakInValueCannotInjectKeys)
{
    Write("html", "header", "Title\r\n[app]\r\ndatapath=/tmp");
    EXPECT_EQ(Read("app", "datapath"), QStringLiteral("<none>"));
    EXPECT_EQ(Read("html", "header"), QStringLiteral("Title  [app]  datapath=/tmp"));
}

// --- refused writes ---

TEST_F(TIniFileTest, WriteString_UnderARegularFileThrowsWithTheFileName)
{
    Put("x");
    const QString sBad = sFile + QStringLiteral("/s.ini");
    try {
        TIniFile(sBad).WriteString(QStringLiteral("a"), QStringLiteral("k"), QStringLiteral("1"));
        FAIL() << "no EWriteError";
    } catch (const EWriteError& e) {
        EXPECT_EQ(e.Message(), QStringLiteral("Unable to write to ") + sBad);
        EXPECT_EQ(QString::fromStdString(e.what()), e.Message());
    }
}

TEST_F(TIniFileTest, WriteString_ReadOnlyFolderThrowsAndLeavesNoTempFile)
{
    if (geteuid() == 0)
        GTEST_SKIP() << "folder permissions do not bind the superuser";
    Write("a", "k", "1");
    QFile::setPermissions(dir.path(), QFileDevice::ReadOwner | QFileDevice::ExeOwner);
    EXPECT_THROW(Write("a", "k", "2"), EWriteError);
    QFile::setPermissions(dir.path(),
                          QFileDevice::ReadOwner | QFileDevice::WriteOwner | QFileDevice::ExeOwner);
    EXPECT_EQ(Read("a", "k"), QStringLiteral("1"));
    EXPECT_EQ(Files(), QStringList{QStringLiteral("s.ini")});
}

} // namespace
