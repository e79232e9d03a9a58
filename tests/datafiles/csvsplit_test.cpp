#include "datafiles/csvsplit.h"

#include <gtest/gtest.h>

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
