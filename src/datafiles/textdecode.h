#pragma once

#include <QByteArray>
#include <QString>

// Day files are decoded by their byte-order mark (UTF-8, UTF-16 LE or BE); a file
// without one is Windows-1252 text (in practice ASCII).
class TTextDecode final
{
public:
    TTextDecode() = delete;
    static QString Decode(const QByteArray& ba);
};
