#include "platform/inifile.h"
#include "platform/writeerror.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include "nonplainfile.h"

#include <unistd.h>

namespace {

// The text with its UTF-16 mark, in either byte order.
QByteArray Utf16(const QString& s, bool bBigEndian)
{
    QByteArray ba(bBigEndian ? "\xFE\xFF" : "\xFF\xFE");
    for (const QChar ch : s) {
        const char cHi = char(ch.unicode() >> 8);
        const char cLo = char(ch.unicode() & 0xFF);
        ba.append(bBigEndian ? cHi : cLo).append(bBigEndian ? cLo : cHi);
    }
    return ba;
}

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

// --- encodings: a mark, else UTF-8 when valid, else Windows-1252 ---

TEST_F(TIniFileTest, ReadString_DecodesUtf8Windows1252AndUtf16)
{
    // Regression: Windows-1252 text was read as Latin-1, so the euro sign and the
    // curly quotes became control characters.
    Put("[html]\r\nheader=\x93Z\xFCrich\x94 \x80 \x96 Nord\r\n");
    EXPECT_EQ(Read("html", "header"), QStringLiteral("\u201CZ\u00FCrich\u201D \u20AC \u2013 Nord"));
    Put("[html]\nheader=Z\xC3\xBCrich \xE2\x82\xAC\n");
    EXPECT_EQ(Read("html", "header"), QStringLiteral("Z\u00FCrich \u20AC"));

    Put(Utf16(QStringLiteral("[Head]\r\nName=\u5317\u95E8 \u20AC\r\n"), false));
    EXPECT_EQ(Read("head", "name"), QStringLiteral("\u5317\u95E8 \u20AC"));
}

TEST_F(TIniFileTest, WriteString_KeepsTheFilesEncodingAndLineEnds)
{
    Put("; \xC4nderungen\r\n[html]\r\nheader=old\r\n");
    Write("html", "header",
          "Bericht \xE2\x82\xAC \xE2\x80\x9CS\xC3\xBC"
          "d\xE2\x80\x9D");
    EXPECT_EQ(Bytes(), QByteArray("; \xC4nderungen\r\n[html]\r\nheader=Bericht \x80 \x93S\xFC"
                                  "d\x94\r\n"));
    EXPECT_EQ(Read("html", "header"), QStringLiteral("Bericht \u20AC \u201CS\u00FCd\u201D"));

    // A character that code page lacks turns the whole file into UTF-8, comment included.
    Write("html", "header", "\xE5\x8C\x97");
    EXPECT_EQ(Bytes(), QByteArray("; \xC3\x84nderungen\r\n[html]\r\nheader=\xE5\x8C\x97\r\n"));
    EXPECT_EQ(Read("html", "header"), QStringLiteral("\u5317"));

    Put(Utf16(QStringLiteral("[a]\r\nk=1"), true));
    Write("a", "k", "\xE2\x82\xAC");
    Write("a", "j", "2");
    EXPECT_EQ(Bytes(), Utf16(QStringLiteral("[a]\r\nk=\u20AC\r\nj=2"), true));

    Put("[a]\rk=1\r");
    Write("b", "k", "2");
    EXPECT_EQ(Bytes(), QByteArray("[a]\rk=1\r[b]\rk=2\r"));
}

// Regression: an empty file that existed got LF line ends, a new one CR LF.
TEST_F(TIniFileTest, WriteString_EmptyOrSingleLineFileGetsCrLf)
{
    Put("");
    Write("a", "k", "1");
    EXPECT_EQ(Bytes(), QByteArray("[a]\r\nk=1\r\n"));
    Put("[a]");
    Write("a", "k", "1");
    EXPECT_EQ(Bytes(), QByteArray("[a]\r\nk=1"));
}

// --- writing keeps every other byte ---

TEST_F(TIniFileTest, WriteString_ReplacesOnlyTheKeysLine)
{
    Put("; kept\r\n\r\n[App]\r\n  DataPath = old \r\nother=x\n\n[b]\r\nk=1");
    Write("app", "datapath", "D:\\new\\");
    Write("B", "K", "2");
    EXPECT_EQ(Bytes(), QByteArray("; kept\r\n\r\n[App]\r\nDataPath=D:\\new\\\r\nother=x\n\n[b]\r\nk=2"));
}

// Regression: the writer decoded the whole file and encoded it again, so bytes the
// decoder could not read changed on lines the write never touched: Windows-1252
// bytes after a UTF-8 mark became replacement characters, and so did a byte left
// over at the end of a UTF-16 file.
TEST_F(TIniFileTest, WriteString_KeepsBytesOfOtherLinesTheDecoderCouldNotRead)
{
    Put("\xEF\xBB\xBF[a]\r\nk=1\r\nname=Gr\xFC\xDF" "e\r\n");
    Write("a", "k", "\xE2\x82\xAC");
    Write("b", "j", "2");
    EXPECT_EQ(Bytes(), QByteArray("\xEF\xBB\xBF[a]\r\nk=\xE2\x82\xAC\r\nname=Gr\xFC\xDF" "e\r\n[b]\r\nj=2\r\n"));

    Put(Utf16(QStringLiteral("[a]\r\nk=1\r\n;"), false) + "x");
    Write("a", "k", "2");
    EXPECT_EQ(Bytes(), Utf16(QStringLiteral("[a]\r\nk=2\r\n;"), false) + "x");
}

// Regression: a Windows-1252 file whose only byte that is no UTF-8 lay in the value
// being replaced became valid UTF-8, and then every other accented value read as
// something else ("\xC3\xA9" as "é" rather than "Ã©"). Such a file becomes UTF-8 as
// a whole, so that it still says what it said.
TEST_F(TIniFileTest, WriteString_Windows1252FileNeverTurnsIntoOtherText)
{
    Put("[a]\r\nk=\xE9\r\nj=\xC3\xA9\r\n");
    ASSERT_EQ(Read("a", "j"), QStringLiteral("\u00C3\u00A9"));
    Write("a", "k", "x");
    EXPECT_EQ(Read("a", "j"), QStringLiteral("\u00C3\u00A9"));
    EXPECT_EQ(Bytes(), QByteArray("[a]\r\nk=x\r\nj=\xC3\x83\xC2\xA9\r\n"));
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

// --- files that are not plain files ---

// Regression: a pipe in place of the file held the program up for good, and a file
// linked to an endless device was read until memory ran out.
TEST_F(TIniFileTest, PipeDeviceOrHugeFileGivesDefaultsAndIsNeverReplaced)
{
    ASSERT_TRUE(MakeFifo(sFile));
    EXPECT_EQ(WithinTimeLimit(sFile, [&] { return Read("a", "k"); }), QStringLiteral("<none>"));
    EXPECT_THROW(WithinTimeLimit(sFile, [&] { Write("a", "k", "1"); }), EWriteError);
    EXPECT_FALSE(QFileInfo(sFile).isFile());

    ASSERT_TRUE(QFile::remove(sFile));
    ASSERT_TRUE(LinkToDevZero(sFile));
    EXPECT_EQ(TIniValues(sFile).ReadInteger(QStringLiteral("a"), QStringLiteral("k"), 3), 3);
    EXPECT_THROW(Write("a", "k", "1"), EWriteError);

    ASSERT_TRUE(QFile::remove(sFile));
    Put("[a]\r\nk=1\r\n");
    EXPECT_EQ(TIniValues(sFile, 10).ReadString(QStringLiteral("a"), QStringLiteral("k"), QString()),
              QStringLiteral("1"));
    EXPECT_EQ(TIniValues(sFile, 9).ReadString(QStringLiteral("a"), QStringLiteral("k"), QString()),
              QString());
    EXPECT_THROW(
        TIniFile(sFile, 9).WriteString(QStringLiteral("a"), QStringLiteral("k"), QStringLiteral("2")),
        EWriteError);
    EXPECT_EQ(Bytes(), QByteArray("[a]\r\nk=1\r\n"));
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
