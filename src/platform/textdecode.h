#pragma once

#include <QByteArray>
#include <QString>
#include <QStringView>

#include <optional>

// Every text file the program reads (day files, the settings file, term.cfg, the
// fallback monitor list) is decoded by one rule: its byte-order mark (UTF-8, UTF-16
// LE or BE); without one, UTF-8 when the bytes are valid UTF-8; otherwise the
// Windows code page 1252 that the supervisor and Windows editors write. Text in
// Windows-1252 is practically never valid UTF-8 as well, so the guess is safe.
class TTextDecode final
{
public:
    TTextDecode() = delete;

    enum class EEncoding
    {
        Utf8,        // no mark, valid UTF-8 (plain ASCII included)
        Windows1252, // no mark, not valid UTF-8
        Utf8Mark,
        Utf16LeMark,
        Utf16BeMark
    };

    struct TDecoded
    {
        QString sText;
        EEncoding enc;
    };

    static QString Decode(const QByteArray& ba) { return DecodeKeeping(ba).sText; }
    // The text and the encoding it was found in, so that a writer can keep it.
    static TDecoded DecodeKeeping(const QByteArray& ba);

    // The text in encoding enc, mark included, such that DecodeKeeping gives it back;
    // none when Windows-1252 has no byte for one of its characters.
    static std::optional<QByteArray> Encode(QStringView s, EEncoding enc);
};
