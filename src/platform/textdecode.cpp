#include "platform/textdecode.h"

#include <QStringDecoder>
#include <QtEndian>

#include <array>
#include <cstdint>
#include <cstring>

namespace {

// Windows-1252 differs from Latin-1 only in 0x80..0x9F. The five bytes that code
// page leaves undefined keep their Latin-1 code point, so no byte is ever lost.
constexpr std::array<char16_t, 32> aCp1252High = {
    0x20AC, 0x0081, 0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021, // 80..87
    0x02C6, 0x2030, 0x0160, 0x2039, 0x0152, 0x008D, 0x017D, 0x008F, // 88..8F
    0x0090, 0x2018, 0x2019, 0x201C, 0x201D, 0x2022, 0x2013, 0x2014, // 90..97
    0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0x009D, 0x017E, 0x0178, // 98..9F
};

const char* const szUtf8Mark = "\xEF\xBB\xBF";

// True when no byte has its high bit set; eight bytes are looked at in one step.
bool IsAscii(const QByteArray& ba)
{
    const char* p = ba.constData();
    const qsizetype n = ba.size();
    std::uint64_t nAny = 0;
    qsizetype i = 0;
    for (; i + 8 <= n; i += 8) {
        std::uint64_t nWord;
        std::memcpy(&nWord, p + i, sizeof nWord);
        nAny |= nWord;
    }
    for (; i < n; ++i)
        nAny |= static_cast<unsigned char>(p[i]);
    return (nAny & 0x8080808080808080ULL) == 0;
}

QString DecodeUtf16(const char* p, qsizetype nBytes, bool bBigEndian)
{
    const qsizetype nUnits = nBytes / 2;
    QString s(nUnits + (nBytes % 2), Qt::Uninitialized);
    auto* pDst = reinterpret_cast<char16_t*>(s.data());
    if (bBigEndian)
        qFromBigEndian<char16_t>(p, nUnits, pDst);
    else
        qFromLittleEndian<char16_t>(p, nUnits, pDst);
    // A file cut in the middle of a code unit still shows that something was there.
    if (nBytes % 2)
        pDst[nUnits] = QChar::ReplacementCharacter;
    return s;
}

QString DecodeCp1252(const QByteArray& ba)
{
    QString s = QString::fromLatin1(ba);
    for (QChar& ch : s) {
        const char16_t c = ch.unicode();
        if (c >= 0x80 && c <= 0x9F)
            ch = QChar(aCp1252High[c - 0x80]);
    }
    return s;
}

std::optional<QByteArray> EncodeCp1252(QStringView s)
{
    QByteArray ba(s.size(), Qt::Uninitialized);
    char* p = ba.data();
    for (const QChar ch : s) {
        const char16_t c = ch.unicode();
        // 0x80..0x9F stand for themselves only where the code page leaves the byte
        // undefined; elsewhere they came from no byte of such a file.
        if (c < 0x80 || (c >= 0xA0 && c <= 0xFF) || (c <= 0x9F && aCp1252High[size_t(c - 0x80)] == c)) {
            *p++ = char(c);
            continue;
        }
        size_t i = 0;
        while (i < aCp1252High.size() && aCp1252High[i] != c)
            ++i;
        if (i == aCp1252High.size())
            return std::nullopt;
        *p++ = char(0x80 + i);
    }
    return ba;
}

QByteArray EncodeUtf16(QStringView s, bool bBigEndian)
{
    QByteArray ba(2 + s.size() * 2, Qt::Uninitialized);
    ba[0] = char(bBigEndian ? 0xFE : 0xFF);
    ba[1] = char(bBigEndian ? 0xFF : 0xFE);
    if (bBigEndian)
        qToBigEndian<char16_t>(s.utf16(), s.size(), ba.data() + 2);
    else
        qToLittleEndian<char16_t>(s.utf16(), s.size(), ba.data() + 2);
    return ba;
}

} // namespace

TTextDecode::TDecoded TTextDecode::DecodeKeeping(const QByteArray& ba)
{
    const auto* p = reinterpret_cast<const unsigned char*>(ba.constData());
    const qsizetype n = ba.size();
    if (n >= 3 && p[0] == 0xEF && p[1] == 0xBB && p[2] == 0xBF) {
        // Only the first mark is the file's: a second one is text, which fromUtf8
        // would drop as well.
        QStringDecoder dec(QStringDecoder::Utf8, QStringDecoder::Flag::Stateless |
                                                     QStringDecoder::Flag::ConvertInitialBom);
        return {dec(QByteArrayView(ba).sliced(3)), EEncoding::Utf8Mark};
    }
    if (n >= 2 && p[0] == 0xFF && p[1] == 0xFE)
        return {DecodeUtf16(ba.constData() + 2, n - 2, false), EEncoding::Utf16LeMark};
    if (n >= 2 && p[0] == 0xFE && p[1] == 0xFF)
        return {DecodeUtf16(ba.constData() + 2, n - 2, true), EEncoding::Utf16BeMark};

    // Day files are ASCII in practice; a byte test is quicker than a decoder.
    if (IsAscii(ba))
        return {QString::fromLatin1(ba), EEncoding::Utf8};
    QStringDecoder dec(QStringDecoder::Utf8, QStringDecoder::Flag::Stateless);
    QString s = dec(ba);
    if (!dec.hasError())
        return {std::move(s), EEncoding::Utf8};
    return {DecodeCp1252(ba), EEncoding::Windows1252};
}

std::optional<QByteArray> TTextDecode::Encode(QStringView s, EEncoding enc)
{
    switch (enc) {
    case EEncoding::Utf8:
        return s.toUtf8();
    case EEncoding::Utf8Mark:
        return QByteArray(szUtf8Mark) + s.toUtf8();
    case EEncoding::Utf16LeMark:
        return EncodeUtf16(s, false);
    case EEncoding::Utf16BeMark:
        return EncodeUtf16(s, true);
    case EEncoding::Windows1252:
        break;
    }
    return EncodeCp1252(s);
}
