// Arbitrary bytes through the text decoder: the encoding it finds writes the text
// back to the very bytes it came from wherever the bytes were well formed, and the
// writer's encodings always decode to the text they were given.
#include "platform/textdecode.h"

#include "fuzzutil.h"

#include <QByteArray>

#include <cstdint>

namespace {

using EEnc = TTextDecode::EEncoding;

bool HasLoneSurrogate(const QString& s)
{
    for (qsizetype i = 0; i < s.size(); ++i) {
        if (s[i].isHighSurrogate() && i + 1 < s.size() && s[i + 1].isLowSurrogate())
            ++i;
        else if (s[i].isSurrogate())
            return true;
    }
    return false;
}

void RoundTrip(const QString& s, EEnc enc)
{
    const std::optional<QByteArray> ba = TTextDecode::Encode(s, enc);
    Require(ba.has_value() || enc == EEnc::Windows1252);
    if (!ba)
        return;
    const TTextDecode::TDecoded dec = TTextDecode::DecodeKeeping(*ba);
    Require(dec.sText == s);
    Require(dec.enc == enc);
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* pData, std::size_t nSize)
{
    const QByteArray ba(reinterpret_cast<const char*>(pData), qsizetype(nSize));
    const TTextDecode::TDecoded dec = TTextDecode::DecodeKeeping(ba);
    Require(TTextDecode::Decode(ba) == dec.sText);

    const std::optional<QByteArray> baBack = TTextDecode::Encode(dec.sText, dec.enc);
    switch (dec.enc) {
    case EEnc::Utf8:
        // Valid UTF-8 without a mark, and never a mark's bytes at the start.
        Require(QString::fromUtf8(ba) == dec.sText);
        Require(baBack && *baBack == ba);
        break;
    case EEnc::Windows1252:
        // Every byte has its character, so nothing is lost, and the bytes were no UTF-8.
        Require(dec.sText.size() == ba.size());
        Require(baBack && *baBack == ba);
        break;
    case EEnc::Utf8Mark:
        Require(ba.startsWith("\xEF\xBB\xBF"));
        Require(baBack.has_value());
        // Malformed bytes after the mark come out as replacement characters.
        Require(*baBack == ba || dec.sText.contains(QChar::ReplacementCharacter));
        break;
    case EEnc::Utf16LeMark:
    case EEnc::Utf16BeMark:
        Require(dec.sText.size() == (ba.size() - 1) / 2);
        // Only a byte left over at the end is not given back.
        Require(baBack && (*baBack == ba || (ba.size() % 2 == 1 && baBack->size() == ba.size() + 1 &&
                                             baBack->startsWith(ba.chopped(1)))));
        break;
    }

    // The writer's forms: the found encoding, and the marked ones for any text.
    RoundTrip(dec.sText, dec.enc);
    RoundTrip(dec.sText, EEnc::Utf16LeMark);
    RoundTrip(dec.sText, EEnc::Utf16BeMark);
    if (!HasLoneSurrogate(dec.sText))
        RoundTrip(dec.sText, EEnc::Utf8Mark);
    return 0;
}
