#include "datafiles/textdecode.h"

#include <gtest/gtest.h>

#include <vector>

namespace {

QByteArray Bytes(std::initializer_list<int> il)
{
    QByteArray ba;
    for (int n : il)
        ba.append(char(n));
    return ba;
}

std::vector<char16_t> Units(const QString& s)
{
    return {s.utf16(), s.utf16() + s.size()};
}

} // namespace

TEST(TTextDecode_Decode, WithoutMarkBytesAreWindows1252)
{
    // The euro sign and friends from the 0x80..0x9F table; the undefined bytes
    // 0x81, 0x8D, 0x8F, 0x90, 0x9D, NUL and the upper half keep their Latin-1 code.
    const QString s = TTextDecode::Decode(
        Bytes({0x80, 0x85, 0x8A, 0x99, 0x9F, 0x81, 0x8D, 0x8F, 0x90, 0x9D, 0x00, 0xE9, 0xFF, 'a'}));
    EXPECT_EQ(Units(s), (std::vector<char16_t>{0x20AC, 0x2026, 0x0160, 0x2122, 0x0178, 0x81, 0x8D, 0x8F, 0x90,
                                               0x9D, 0, 0xE9, 0xFF, 'a'}));
    // UTF-8 without a mark is not guessed: two bytes stay two characters.
    EXPECT_EQ(TTextDecode::Decode(Bytes({0xC3, 0xA9})).size(), 2);
}

TEST(TTextDecode_Decode, Utf8MarkIsDroppedAndTextDecoded)
{
    const QString s = TTextDecode::Decode(Bytes({0xEF, 0xBB, 0xBF, 'a', 0xC3, 0xA9, 0xE2, 0x82, 0xAC}));
    EXPECT_EQ(Units(s), (std::vector<char16_t>{'a', 0xE9, 0x20AC}));
    EXPECT_TRUE(TTextDecode::Decode(Bytes({0xEF, 0xBB, 0xBF})).isEmpty());
}

TEST(TTextDecode_Decode, Utf16MarksGiveTheByteOrder)
{
    const QString sLe = TTextDecode::Decode(Bytes({0xFF, 0xFE, 'a', 0, ',', 0, 0xAC, 0x20}));
    EXPECT_EQ(Units(sLe), (std::vector<char16_t>{'a', ',', 0x20AC}));
    const QString sBe = TTextDecode::Decode(Bytes({0xFE, 0xFF, 0, 'a', 0x20, 0xAC, 0xD8, 0x3D, 0xDE, 0x00}));
    EXPECT_EQ(Units(sBe), (std::vector<char16_t>{'a', 0x20AC, 0xD83D, 0xDE00}));
}

TEST(TTextDecode_Decode, Utf16OddLastByteBecomesReplacementCharacter)
{
    const QString s = TTextDecode::Decode(Bytes({0xFF, 0xFE, 'a', 0, 'b'}));
    EXPECT_EQ(Units(s), (std::vector<char16_t>{'a', QChar::ReplacementCharacter}));
}
