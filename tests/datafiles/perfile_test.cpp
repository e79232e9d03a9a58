#include "datafiles/perfile.h"

#include "daydir.h"

#include <QDateTime>
#include <QRegularExpression>

#include <charconv>
#include <cmath>
#include <cstring>
#include <iterator>
#include <random>
#include <string>

class TPerFileTest : public TDayDirTest
{
protected:
    // Writes a 60-minute periodic file for dtDay and loads it.
    bool LoadDay(const QByteArray& ba)
    {
        WriteDay(sMon, dtDay, QStringLiteral("per-07-0060.csv"), ba);
        return per.Load(sMon, dtDay, 60);
    }

    TPerFile per{DataPath()};
};

TEST(TPerFile_FileName, PeriodIsPaddedToFourDigitsAndDayToTwo)
{
    const QString sData = QStringLiteral("/data/");
    EXPECT_EQ(TPerFile::FileName(sData, QStringLiteral("M01"), QDate(2024, 3, 1), 5),
              QStringLiteral("/data/M01/2024-03/per-01-0005.csv"));
    EXPECT_EQ(TPerFile::FileName(sData, QStringLiteral("X"), QDate(2024, 11, 30), 60),
              QStringLiteral("/data/X/2024-11/per-30-0060.csv"));
}

// ---- Loading

TEST_F(TPerFileTest, Load_HeaderOnlyIsADayWithoutRecords)
{
    EXPECT_TRUE(LoadDay(".Time,LAeq\r\n"));
    EXPECT_EQ(per.RecCount(), 0);
    EXPECT_EQ(per.FldCount(), 2);
}

TEST_F(TPerFileTest, Load_FailureEmptiesLinesButKeepsHeaderNames)
{
    EXPECT_FALSE(per.Load(sMon, dtDay, 60)); // no file yet
    EXPECT_EQ(per.RecCount(), -1);
    ASSERT_TRUE(LoadDay(".Time,LAeq\n00:00:00,1\n"));
    EXPECT_FALSE(LoadDay(""));
    EXPECT_EQ(per.RecCount(), -1);
    EXPECT_EQ(per.FldStr(0, 1), QString());
    EXPECT_EQ(per.FldVal(0, 1), -1);
    EXPECT_EQ(per.FldCount(), 2);
    EXPECT_EQ(per.Loaded(), dtDay);
}

// Line ends are looked for eight characters at a time where the processor can; one
// at a time they must end the same lines.
TEST_F(TPerFileTest, Load_EveryLineEndCountsAndFinalEndAddsNoRecord)
{
    for (const bool bSimd : {true, false}) {
        TCsvSplit::SetSimd(bSimd);
        SCOPED_TRACE(bSimd ? "eight characters a step" : "one character a step");
        ASSERT_TRUE(LoadDay("\xEF\xBB\xBF.Time,LAeq\r\n00:00:00,1\n01:00:00,2\r02:00:00,3\r\n"));
        EXPECT_EQ(per.FldName(0), QStringLiteral(".Time")); // no mark left in the first name
        EXPECT_EQ(per.RecCount(), 3);
        EXPECT_EQ(per.Line(2), QStringLiteral("01:00:00,2"));
        EXPECT_EQ(per.FldVal(2, 1), 3.0);

        ASSERT_TRUE(LoadDay(".Time,LAeq\r\r\n00:00:00,1"));
        EXPECT_EQ(per.RecCount(), 2);
        EXPECT_EQ(per.FldStr(0, 0), QString()); // the empty line is a record without fields
        EXPECT_EQ(per.FldVal(1, 1), 1.0);       // a last line without a line end still counts
    }
    TCsvSplit::SetSimd(true);
}

// ---- Header names, records and fields

TEST_F(TPerFileTest, FindFld_IgnoresLetterCase)
{
    ASSERT_TRUE(LoadDay(".TIME,LAeq,LAFmax\n"));
    EXPECT_EQ(per.FindFld(QStringLiteral("laeq")), 1);
    EXPECT_EQ(per.FindFld(QStringLiteral(".time")), 0);
    EXPECT_EQ(per.FindFld(QStringLiteral("LAF90")), -1);
    EXPECT_EQ(per.FldName(0), QStringLiteral(".TIME"));
    EXPECT_EQ(per.FldName(3), QString());
}

TEST_F(TPerFileTest, FldVal_MissingValuesShortAndLongRows)
{
    ASSERT_TRUE(LoadDay(".Time,LAeq,LAFmin,LAFmax\n"
                        "00:00:00,55.3,\"40.5\",\"5\"\"5\"\n"
                        "01:00:00,-,n/a,\n"
                        "02:00:00,52.0\n"
                        "03:00:00,1,2,3,4,5\n"));
    EXPECT_DOUBLE_EQ(per.FldVal(0, 1), 55.3);
    EXPECT_DOUBLE_EQ(per.FldVal(0, 2), 40.5); // quotes are not part of the value
    EXPECT_EQ(per.FldStr(0, 3), QStringLiteral("5\"5"));
    EXPECT_EQ(per.FldVal(0, 3), -1);
    EXPECT_EQ(per.FldVal(1, 1), -1); // "-"
    EXPECT_EQ(per.FldVal(1, 2), -1); // "n/a"
    EXPECT_EQ(per.FldVal(1, 3), -1); // empty after the final comma
    EXPECT_EQ(per.FldStr(2, 2), QString());
    EXPECT_EQ(per.FldVal(2, 3), -1);
    // A record longer than the header is read up to the header's last field only.
    EXPECT_EQ(per.FldVal(3, 3), 3.0);
    EXPECT_EQ(per.FldStr(3, 4), QString());
    EXPECT_EQ(per.FldStr(4, 0), QString()); // beyond the last record
}

// A record's fields are found once and kept while it is read; asking in any order,
// switching records and loading another day must never give a field of another line.
TEST_F(TPerFileTest, FldStr_AnyOrderAndAfterReloadMatchesTheSplitLine)
{
    const QByteArray baDay1 = ".Time,LAeq,LAFmax,Note\r\n"
                              "00:00:00, 55.3 ,\"6\"\"1\",\"a, b\"\r\n"
                              "01:00:00,,-\r\n"
                              "  02:00:00 , 40 ,41,x,extra\r\n"
                              "03:00:00,1,2,\r\n";
    const QByteArray baDay2 = ".Time,LAeq,LAFmax,Note\r\n"
                              "00:00:00,7,8,9\r\n"
                              "01:00:00,\"7\",8 8\r\n";
    // Both ways of cutting records into fields and the file into lines.
    for (const bool bSimd : {true, false}) {
        TCsvSplit::SetSimd(bSimd);
        SCOPED_TRACE(bSimd ? "eight characters a step" : "one character a step");
        for (const QByteArray& ba : {baDay1, baDay2, baDay1}) {
            ASSERT_TRUE(LoadDay(ba));
            const QList<QByteArray> alLines = ba.split('\n');
            auto expectField = [&](int iRec, int iFld) {
                const QString sLine = QString::fromLatin1(alLines[iRec + 1]).chopped(1);
                const QString sWant = iFld < per.FldCount() ? TCsvSplit::Split(sLine).value(iFld) : QString();
                EXPECT_EQ(per.FldStr(iRec, iFld), sWant) << "record " << iRec << " field " << iFld;
                EXPECT_EQ(per.FldVal(iRec, iFld), TDayFile::ParseVal(sWant))
                    << "record " << iRec << " field " << iFld;
            };
            for (int iFld = 4; iFld >= 0; --iFld) // field by field, across the records
                for (int iRec = 0; iRec < per.RecCount(); ++iRec)
                    expectField(iRec, iFld);
            for (int iRec = per.RecCount() - 1; iRec >= 0; --iRec) // record by record
                for (int iFld = 0; iFld < 5; ++iFld)
                    expectField(iRec, iFld);
        }
    }
    TCsvSplit::SetSimd(true);
    EXPECT_EQ(per.FldStr(0, 2), QStringLiteral("6\"1"));
    EXPECT_EQ(per.FldVal(0, 2), -1); // a quoted field holding a quote is no number
    EXPECT_EQ(per.FldVal(0, 1), 55.3);
}

TEST(TDayFile_ParseVal, AcceptsSignDecimalsExponentAndBlanksAround)
{
    const std::pair<const char16_t*, double> aCases[] = {
        {u"55.3", 55.3},
        {u" \t55.3 ", 55.3},
        {u"+1.5", 1.5},
        {u"-2", -2.0},
        {u"1e3", 1e3},
        {u"2.5E-1", 0.25},
        {u"5.", 5.0},
        {u".5", 0.5},
        {u"007", 7.0},
        {u"0.1", 0.1},
        {u"1234567890.12345", 1234567890.12345},
        {u"12345678901234567890.5", 12345678901234567890.5},
    };
    for (const auto& [p, d] : aCases)
        EXPECT_EQ(TDayFile::ParseVal(QStringView(p)), d) << QString::fromUtf16(p).toStdString();
}

TEST(TDayFile_ParseVal, RejectsEverythingElse)
{
    for (const char16_t* p : {u"",    u"-",        u"+",     u".",      u"n/a", u"inf",    u"-inf",
                              u"nan", u"infinity", u"0x10",  u"1e",     u"1e+", u"1.2.3",  u"55,3",
                              u"5 5", u"12abc",    u"1e999", u"-1e999", u"--1", u"\u0665", u"1\u00A0"}) {
        EXPECT_EQ(TDayFile::ParseVal(QStringView(p)), -1) << QString::fromUtf16(p).toStdString();
    }
}

namespace {

// The number rule spelled out the slow way: the grammar as a pattern, the value from
// from_chars. The reader's own parser takes a shorter way for the usual levels and
// must land on exactly the same double, sign of zero included.
double ReferenceVal(const QString& sVal)
{
    qsizetype nBeg = 0, nEnd = sVal.size();
    while (nBeg < nEnd && sVal[nBeg].unicode() >= 1 && sVal[nBeg].unicode() <= 32)
        ++nBeg;
    while (nEnd > nBeg && sVal[nEnd - 1].unicode() >= 1 && sVal[nEnd - 1].unicode() <= 32)
        --nEnd;
    QString s = sVal.mid(nBeg, nEnd - nBeg);
    static const QRegularExpression re(QStringLiteral("^[+-]?([0-9]+\\.?[0-9]*|\\.[0-9]+)([eE][+-]?[0-9]+)?$"));
    if (!re.match(s).hasMatch())
        return -1;
    if (s.startsWith(QLatin1Char('+')))
        s.remove(0, 1);
    const std::string sAscii = s.toStdString();
    double d = 0;
    const auto res = std::from_chars(sAscii.data(), sAscii.data() + sAscii.size(), d);
    return res.ec == std::errc() && res.ptr == sAscii.data() + sAscii.size() ? d : -1;
}

bool SameDouble(double d1, double d2)
{
    return std::memcmp(&d1, &d2, sizeof d1) == 0;
}

} // namespace

TEST(TDayFile_ParseVal, SameValuesAsTheGeneralPathAtTheEdges)
{
    const QString sHuge = QString(400, QLatin1Char('9'));
    const QStringList slEdge = {
        QStringLiteral("1e400"), QStringLiteral("-0"), QStringLiteral("-0.0"), QStringLiteral("+0"),
        QStringLiteral("nan"), QStringLiteral("NaN"), QStringLiteral("+5"), QStringLiteral(" 5"),
        QStringLiteral("5 "), QString(), QStringLiteral("-"), QStringLiteral("1,5"), QStringLiteral("0x10"),
        sHuge, sHuge + QStringLiteral(".5"), QStringLiteral("0.") + sHuge, QStringLiteral("1e-400"),
        QStringLiteral(".5"), QStringLiteral("5."), QStringLiteral("inf"), QStringLiteral("+inf"),
        QStringLiteral("999999999999999"), QStringLiteral("9999999999999999"), QStringLiteral("0.000000000000001"),
        QStringLiteral("123456789012345.6"), QStringLiteral("18446744073709551616"),
        QStringLiteral("1.7976931348623157e308"), QStringLiteral("1.8e308"), QStringLiteral("4.9e-324"),
        QStringLiteral("2.4e-324"), QStringLiteral("00000000000000000055.3"), QStringLiteral("55.30000000000000000"),
        QStringLiteral("\t-55.3\r"), QStringLiteral("5e"), QStringLiteral("e5"), QStringLiteral("-.5"),
        QStringLiteral("+-5"), QStringLiteral("5\u00A0"), QStringLiteral("\u0035\u0000"),
        // the shapes of a level as monitors write it, and near misses of them
        QStringLiteral("5.5"), QStringLiteral("05.5"), QStringLiteral("005.5"), QStringLiteral("999.9"),
        QStringLiteral("-5.5"), QStringLiteral("+5.5"), QStringLiteral(" 5.5"), QStringLiteral("5 .5"),
        QStringLiteral("5.5 "), QStringLiteral("1-5.5"), QStringLiteral("5..5"), QStringLiteral(".5.5"),
        QStringLiteral("5:5.5"), QStringLiteral("5/5.5"), QStringLiteral("1e5.5")};
    for (const QString& s : slEdge) {
        const double d = TDayFile::ParseVal(s);
        EXPECT_TRUE(SameDouble(d, ReferenceVal(s))) << s.toStdString() << " gives " << d;
    }
    EXPECT_TRUE(std::signbit(TDayFile::ParseVal(QStringLiteral("-0"))));

    // Random texts of the characters numbers are made of, and of the levels a file holds.
    std::mt19937 gen(15);
    const char16_t aChars[] = u"0123456789012345678901234567890123456789+-..eE ,x";
    for (int k = 0; k < 20000; ++k) {
        QString s;
        const int nLen = int(gen() % 24);
        for (int i = 0; i < nLen; ++i)
            s.append(QChar(aChars[gen() % (std::size(aChars) - 1)]));
        const double d = TDayFile::ParseVal(s);
        ASSERT_TRUE(SameDouble(d, ReferenceVal(s))) << s.toStdString() << " gives " << d;
    }
    for (int n = -2000; n <= 10000; ++n) {
        const QString s = QString::number(n / 10.0, 'f', 1 + (n & 1));
        ASSERT_TRUE(SameDouble(TDayFile::ParseVal(s), ReferenceVal(s))) << s.toStdString();
    }
}

TEST_F(TPerFileTest, RecDateTime_DayPlusRecordTime)
{
    ASSERT_TRUE(LoadDay(".Time,LAeq\n07:30:15,1\n24:00:00,1\n07:6x:00,1\n7:30:15,1\n23:59:60,1\n23:59\n"));
    EXPECT_EQ(per.RecDateTime(0), QDateTime(dtDay, QTime(7, 30, 15)));
    const QDateTime dtMidnight(dtDay, QTime(0, 0));
    for (int iRec = 1; iRec <= 6; ++iRec) // the last one is beyond the records
        EXPECT_EQ(per.RecDateTime(iRec), dtMidnight) << "record " << iRec;
}
