#pragma once

#include <QByteArray>
#include <QByteArrayView>
#include <QLatin1StringView>
#include <QString>
#include <QStringList>
#include <QStringView>

#include <cstring>

// The text of a page as it will be saved: UTF-8, every line ending with CR LF. A
// table of a year holds millions of short lines, so they are written straight into
// one buffer instead of being kept as strings and joined at the end. A line is either
// added whole (<<) or put together from pieces (Put, PutEscaped) and ended (EndLine).
class THtmlLines final
{
public:
    THtmlLines() = default;
    Q_DISABLE_COPY_MOVE(THtmlLines)

    THtmlLines& operator<<(const QString& s)
    {
        Put(QStringView(s));
        EndLine();
        return *this;
    }
    THtmlLines& operator<<(QLatin1StringView s)
    {
        Put(s);
        EndLine();
        return *this;
    }
    // A line of fixed ASCII text, such as a tag.
    template <qsizetype N> THtmlLines& operator<<(const char (&sz)[N])
    {
        PutAscii(sz, N - 1);
        EndLine();
        return *this;
    }
    void append(const QString& s) { *this << s; }

    void Put(QStringView s);
    void Put(QLatin1StringView s);
    template <qsizetype N> void Put(const char (&sz)[N]) { PutAscii(sz, N - 1); }
    // s with "<", ">", "&" and the double quote written as HTML entities, as
    // QString::toHtmlEscaped does.
    void PutEscaped(QStringView s);
    void EndLine() { PutAscii("\r\n", 2); }

    // The lines as text, split at their CR LF ends.
    QStringList Lines() const;
    QByteArrayView Utf8() const { return QByteArrayView(ba.constData(), nUsed); }

private:
    // Room for n more bytes at the end; the buffer grows by doubling.
    char* Room(qsizetype n)
    {
        if (nUsed + n > ba.size())
            Grow(n);
        return ba.data() + nUsed;
    }
    void Grow(qsizetype n);
    void PutAscii(const char* p, qsizetype n)
    {
        std::memcpy(Room(n), p, size_t(n));
        nUsed += n;
    }
    // Pieces with a character beyond ASCII take the general encoder.
    void PutUtf8(QStringView s);
    void PutEscapedWide(QStringView s);

    QByteArray ba;
    qsizetype nUsed = 0;
};
