#include "datafiles/csvsplit.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <vector>

namespace {

struct TSplitCase
{
    const char* pLine;
    std::vector<const char*> aCommon;
    std::vector<const char*> aStrict;
};

const std::vector<TSplitCase> aCases = {
    // Blanks end a field under the common rule and belong to it under the strict one.
    {"a b,c", {"a", "b", "c"}, {"a b", "c"}},
    {"12:00:00 ,55.2", {"12:00:00", "55.2"}, {"12:00:00 ", "55.2"}},
    {" \t a,  b", {"a", "b"}, {" \t a", "  b"}},
    // Empty fields, and a comma at the very end; blanks after it make no field.
    {"a,,b", {"a", "", "b"}, {"a", "", "b"}},
    {",a", {"", "a"}, {"", "a"}},
    {"a,b,", {"a", "b", ""}, {"a", "b", ""}},
    {"a, ", {"a"}, {"a", " "}},
    {"", {}, {}},
    {"  ", {}, {"  "}},
    // Quotes: commas and blanks inside, doubled quotes, no closing quote.
    {"\"a, b\",c", {"a, b", "c"}, {"a, b", "c"}},
    {"\"say \"\"hi\"\"\",x", {"say \"hi\"", "x"}, {"say \"hi\"", "x"}},
    {"\"\"\"\"", {"\""}, {"\""}},
    {"a,\"b,c d", {"a", "b,c d"}, {"a", "b,c d"}},
    // After the closing quote the common rule reads on; the strict one drops the rest.
    {"\"ab\"cd,e", {"ab", "cd", "e"}, {"ab", "e"}},
    // Only a quote that begins a field quotes it.
    {"a\"b,c", {"a\"b", "c"}, {"a\"b", "c"}},
    {" \"a,b\"", {"a,b"}, {" \"a", "b\""}},
};

QStringList List(const std::vector<const char*>& a)
{
    QStringList sl;
    for (const char* p : a)
        sl.append(QString::fromUtf8(p));
    return sl;
}

} // namespace

TEST(TCsvSplit_Split, CommonAndStrictRules)
{
    for (const TSplitCase& c : aCases) {
        const QString sLine = QString::fromUtf8(c.pLine);
        EXPECT_EQ(TCsvSplit::Split(sLine), List(c.aCommon)) << c.pLine;
        EXPECT_EQ(TCsvSplit::SplitStrict(sLine), List(c.aStrict)) << c.pLine;
    }
}

TEST(TCsvSplit_Split, ControlCharactersActAsBlanksButNulDoesNot)
{
    EXPECT_EQ(TCsvSplit::Split(QStringLiteral("\x01\x1f"
                                              "a\tb")),
              List({"a", "b"}));
    const QString sLine = QStringLiteral("a") + QChar(0) + QStringLiteral("b,c");
    EXPECT_EQ(TCsvSplit::Split(sLine), QStringList({sLine.left(3), QStringLiteral("c")}));
}

TEST(TCsvSplit_Split, OtherSeparatorFollowsTheSameRules)
{
    EXPECT_EQ(TCsvSplit::Split(QStringLiteral(" 12 :\"00\": 00:"), u':'), List({"12", "00", "00", ""}));
}

// Field and FieldStrict walk the line differently from the full split.
TEST(TCsvSplit_Field, AgreesWithSplitForEveryIndex)
{
    for (const TSplitCase& c : aCases) {
        const QString sLine = QString::fromUtf8(c.pLine);
        const QStringList slCommon = TCsvSplit::Split(sLine);
        const QStringList slStrict = TCsvSplit::SplitStrict(sLine);
        for (int i = -1; i < 6; ++i) {
            EXPECT_EQ(TCsvSplit::Field(sLine, i), slCommon.value(i)) << c.pLine << " field " << i;
            EXPECT_EQ(TCsvSplit::FieldStrict(sLine, i), slStrict.value(i)) << c.pLine << " field " << i;
        }
    }
}

// LocateAll steps over the usual field by a shorter way than the full rule, eight
// characters at a time where the processor can; a blank after a comma, a quote or a
// final comma must still take the full rule, and the eight-character steps must cut
// where the character-by-character ones do.
TEST(TCsvSplit_LocateAll, AgreesWithLocateForEveryIndexAndStopsAtTheLimit)
{
    std::vector<const char*> aLines;
    for (const TSplitCase& c : aCases)
        aLines.push_back(c.pLine);
    for (const char* p : {"12:00:00,55.3,\"4\"\"0\",, 7 ,-,", "a,\"b\" ,c", ",,", "a, \"b,c\",d", "a,b c,d",
                          "\"x\",", "1,2,3,4,5,6,7"})
        aLines.push_back(p);
    // Records long enough to be looked at eight characters at a time, with a blank,
    // a quote, a control or a far character in the first, a middle or the last block,
    // and final commas on a block's edge.
    for (const char* p : {"12:00:00,55.3,44.1,66.2,60.1,58.2,50.3,46.4,45.5,44.6", "12:00:00, 55.3,44.1,66.2,60.1",
                          "12:00:00,55.3,44.1 ,66.2,60.1", "12:00:00,55.3,44.1,66.2,\"6\"\"0\",58.2",
                          "12:00:00,55.3,44.1,66.2,60.1,58.\"2", "12\t00:00,55.3,44.1,66.2,60.1",
                          "12:00:00,55.3,44.1,66.2,60.1,58.2 ", "12:00:00,55.3,44.1,66.2,60.1,\r",
                          "12:00:00,Süd,44.1,66.2,€,58.2,中,x", "12:00:00,55.3,44.1,66.2,\xEF\xBF\xBD,1,2,3",
                          "1234567,", "123456789012345,", ",,,,,,,,,,,,,,,,,,,", "12:00:00,,,,55.3,,,,,,,,,,,,"})
        aLines.push_back(p);
    std::vector<QString> asLines;
    for (const char* p : aLines)
        asLines.push_back(QString::fromUtf8(p));
    asLines.push_back(QStringLiteral("12:00:00,55.3,44.1,66.2") + QChar(0) + QStringLiteral(",60.1,58.2"));
    for (const bool bSimd : {true, false}) {
        TCsvSplit::SetSimd(bSimd);
        SCOPED_TRACE(bSimd ? "eight characters a step" : "one character a step");
        for (const QString& sLine : asLines) {
            const QByteArray baLine = sLine.toUtf8();
            const char* p = baLine.constData();
            for (const bool bStrict : {false, true}) {
                const int nAll =
                    int((bStrict ? TCsvSplit::SplitStrict(sLine) : TCsvSplit::Split(sLine)).size());
                for (int nMax = 0; nMax <= 12; ++nMax) {
                    std::vector<TCsvSplit::TFieldSpan> aFld(static_cast<size_t>(nMax));
                    const int nFound = TCsvSplit::LocateAll(sLine, bStrict, aFld.data(), nMax);
                    EXPECT_EQ(nFound, std::min(nAll, nMax)) << p << (bStrict ? " strict" : "");
                    for (int i = 0; i < nFound; ++i) {
                        const TCsvSplit::TFieldSpan one =
                            bStrict ? TCsvSplit::LocateStrict(sLine, i) : TCsvSplit::Locate(sLine, i);
                        // The same place in the line, not only the same text.
                        if (!one.sRaw.isEmpty()) {
                            EXPECT_EQ(aFld[size_t(i)].sRaw.data(), one.sRaw.data()) << p << " field " << i;
                        }
                        EXPECT_EQ(aFld[size_t(i)].Value(), one.Value()) << p << " field " << i;
                        EXPECT_EQ(aFld[size_t(i)].bQuoted, one.bQuoted) << p << " field " << i;
                        EXPECT_TRUE(aFld[size_t(i)].bFound);
                    }
                }
            }
        }
    }
    TCsvSplit::SetSimd(true);
}
