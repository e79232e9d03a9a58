#include "platform/textdecode.h"

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

TEST(TTextDecode_Decode, WithoutMarkInvalidUtf8IsWindows1252)
{
    // The euro sign and friends from the 0x80..0x9F table; the undefined bytes
    // 0x81, 0x8D, 0x8F, 0x90, 0x9D, NUL and the upper half keep their Latin-1 code.
    const QByteArray ba =
        Bytes({0x80, 0x85, 0x8A, 0x99, 0x9F, 0x81, 0x8D, 0x8F, 0x90, 0x9D, 0x00, 0xE9, 0xFF, 'a'});
    const TTextDecode::TDecoded dec = TTextDecode::DecodeKeeping(ba);
    EXPECT_EQ(Units(dec.sText), (std::vector<char16_t>{0x20AC, 0x2026, 0x0160, 0x2122, 0x0178, 0x81, 0x8D,
                                                       0x8F, 0x90, 0x9D, 0, 0xE9, 0xFF, 'a'}));
    EXPECT_EQ(dec.enc, TTextDecode::EEncoding::Windows1252);
    // One stray byte makes the whole file Windows-1252, its valid UTF-8 pairs included;
    // a sequence cut at the end of the file is no valid UTF-8 either.
    EXPECT_EQ(Units(TTextDecode::Decode(Bytes({0xC3, 0xA9, ' ', 0xFC}))),
              (std::vector<char16_t>{0xC3, 0xA9, ' ', 0xFC}));
    EXPECT_EQ(Units(TTextDecode::Decode(Bytes({'a', 0xE2, 0x82}))),
              (std::vector<char16_t>{'a', 0xE2, 0x201A}));
}

TEST(TTextDecode_Decode, WithoutMarkValidUtf8IsUtf8AndAsciiStaysAscii)
{
    const TTextDecode::TDecoded dec = TTextDecode::DecodeKeeping(Bytes({'Z', 0xC3, 0xBC, 0xE2, 0x82, 0xAC}));
    EXPECT_EQ(Units(dec.sText), (std::vector<char16_t>{'Z', 0xFC, 0x20AC}));
    EXPECT_EQ(dec.enc, TTextDecode::EEncoding::Utf8);
    EXPECT_EQ(TTextDecode::DecodeKeeping(QByteArray(".Time,LAeq\r\n")).sText,
              QStringLiteral(".Time,LAeq\r\n"));
    EXPECT_EQ(TTextDecode::DecodeKeeping(QByteArray()).enc, TTextDecode::EEncoding::Utf8);
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

// --- writing back ---

// A file rewritten in the encoding it was found in gives back every byte.
TEST(TTextDecode_Encode, EveryEncodingGivesBackTheBytesItWasReadFrom)
{
    const std::vector<QByteArray> aFiles = {
        Bytes({'a', 0xC3, 0xBC, 0xE2, 0x82, 0xAC}),
        Bytes({0xEF, 0xBB, 0xBF, 'a', 0xC3, 0xBC}),
        // Regression: a second mark after the first was dropped as well, so a file
        // written back lost its three bytes; text that began with U+FEFF lost it.
        Bytes({0xEF, 0xBB, 0xBF, 0xEF, 0xBB, 0xBF, 'a'}),
        Bytes({0xFF, 0xFE, 'a', 0, 0xAC, 0x20, 0x3D, 0xD8, 0x00, 0xDE}),
        Bytes({0xFE, 0xFF, 0, 'a', 0x20, 0xAC}),
        // every byte of Windows-1252, the undefined ones included
        [] {
            QByteArray ba;
            for (int n = 1; n < 256; ++n)
                ba.append(char(n));
            return ba;
        }(),
    };
    for (const QByteArray& ba : aFiles) {
        const TTextDecode::TDecoded dec = TTextDecode::DecodeKeeping(ba);
        EXPECT_EQ(TTextDecode::Encode(dec.sText, dec.enc), ba) << ba.toHex().toStdString();
    }
}

TEST(TTextDecode_Encode, Windows1252HasNoByteForOtherScripts)
{
    const auto enc = TTextDecode::EEncoding::Windows1252;
    EXPECT_EQ(TTextDecode::Encode(u"\u20AC \u201Cx\u201D \u00FC", enc),
              Bytes({0x80, ' ', 0x93, 'x', 0x94, ' ', 0xFC}));
    EXPECT_FALSE(TTextDecode::Encode(u"\u5317", enc).has_value());
    EXPECT_FALSE(TTextDecode::Encode(u"\u0100", enc).has_value());
    // A C1 control that stands for a defined byte came from no such file.
    EXPECT_FALSE(TTextDecode::Encode(u"\u0080", enc).has_value());
}
