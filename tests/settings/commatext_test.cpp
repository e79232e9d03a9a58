#include "settings/commatext.h"

#include <gtest/gtest.h>

namespace {

QStringList L(std::initializer_list<const char*> items)
{
    QStringList sl;
    for (const char* sz : items)
        sl.append(QString::fromUtf8(sz));
    return sl;
}

// --- writing ---

TEST(TCommaText, Join_QuotesOnlyItemsThatNeedIt)
{
    EXPECT_EQ(TCommaText::Join(L({"LAeq", "LAFmax"})), QStringLiteral("LAeq,LAFmax"));
    EXPECT_EQ(TCommaText::Join(L({"North gate", "A07"})), QStringLiteral("\"North gate\",A07"));
    EXPECT_EQ(TCommaText::Join(L({"say \"hi\"", "a,b", "tab\there"})),
              QStringLiteral("\"say \"\"hi\"\"\",\"a,b\",\"tab\there\""));
    EXPECT_EQ(TCommaText::Join({}), QString());
}

// --- reading ---

TEST(TCommaText, Split_QuotedItemIsWholeBlanksAndCommasSeparate)
{
    EXPECT_EQ(TCommaText::Split(QStringLiteral("\"North gate\",A07")), L({"North gate", "A07"}));
    EXPECT_EQ(TCommaText::Split(QStringLiteral("North gate,A07")), L({"North", "gate", "A07"}));
    EXPECT_EQ(TCommaText::Split(QStringLiteral("  A , B ")), L({"A", "B"}));
    EXPECT_EQ(TCommaText::Split(QStringLiteral("\"say \"\"hi\"\"\"")), L({"say \"hi\""}));
    EXPECT_EQ(TCommaText::Split(QStringLiteral("\"open")), L({"open"}));
    EXPECT_EQ(TCommaText::Split(QString()), QStringList());
    EXPECT_EQ(TCommaText::Split(QStringLiteral("a,,b")), L({"a", "", "b"}));
    EXPECT_EQ(TCommaText::Split(QStringLiteral("a,")), L({"a", ""}));
}

TEST(TCommaText, JoinThenSplit_GivesBackAnyList)
{
    const QStringList aLists[] = {
        L({"North gate", "say \"hi\"", "a,b", "", "x"}),
        L({""}),
        L({" lead", "trail ", "\"", ",,"}),
        L({"\xC3\xA9t\xC3\xA9", "plain"}),
    };
    for (const QStringList& sl : aLists)
        EXPECT_EQ(TCommaText::Split(TCommaText::Join(sl)), sl) << TCommaText::Join(sl).toStdString();
}

} // namespace
