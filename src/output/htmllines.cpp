#include "output/htmllines.h"

#include <algorithm>
#include <array>
#include <cstring>

void THtmlLines::Grow(qsizetype n)
{
    ba.resize(std::max(nUsed + n, std::max<qsizetype>(4096, ba.size() * 2)));
}

void THtmlLines::Put(QStringView s)
{
    const qsizetype n = s.size();
    const char16_t* p = s.utf16();
    char* q = Room(n);
    for (qsizetype i = 0; i < n; ++i) {
        if (p[i] >= 0x80) {
            // What was copied so far stays; the rest goes through the encoder.
            nUsed += i;
            PutUtf8(s.sliced(i));
            return;
        }
        q[i] = char(p[i]);
    }
    nUsed += n;
}

void THtmlLines::Put(QLatin1StringView s)
{
    const qsizetype n = s.size();
    const char* p = s.data();
    char* q = Room(n);
    for (qsizetype i = 0; i < n; ++i) {
        if (static_cast<unsigned char>(p[i]) >= 0x80) {
            nUsed += i;
            PutUtf8(QString(s.sliced(i)));
            return;
        }
        q[i] = p[i];
    }
    nUsed += n;
}

void THtmlLines::PutUtf8(QStringView s)
{
    const QByteArray baUtf8 = s.toUtf8();
    char* q = Room(baUtf8.size());
    std::copy(baUtf8.begin(), baUtf8.end(), q);
    nUsed += baUtf8.size();
}

void THtmlLines::PutEscaped(QStringView s)
{
    // One pass for ASCII text: each character is copied or replaced by its entity.
    // The first character beyond ASCII hands the rest to the general way.
    static constexpr qsizetype nMaxEntity = 6; // "&quot;"
    const qsizetype n = s.size();
    const char16_t* p = s.utf16();
    char* const pStart = Room(n * nMaxEntity);
    char* q = pStart;
    static constexpr auto aSpecial = [] {
        std::array<bool, 0x80> a{};
        for (const char c : {'<', '>', '&', '"'})
            a[size_t(c)] = true;
        return a;
    }();
    for (qsizetype i = 0; i < n; ++i) {
        const char16_t c = p[i];
        if (c < 0x80 && !aSpecial[c]) {
            *q++ = char(c);
            continue;
        }
        const char* pEntity = nullptr;
        switch (c) {
        case u'<':
            pEntity = "&lt;";
            break;
        case u'>':
            pEntity = "&gt;";
            break;
        case u'&':
            pEntity = "&amp;";
            break;
        case u'"':
            pEntity = "&quot;";
            break;
        default:
            nUsed += q - pStart;
            PutEscapedWide(s.sliced(i));
            return;
        }
        const size_t nLen = std::strlen(pEntity);
        std::memcpy(q, pEntity, nLen);
        q += nLen;
    }
    nUsed += q - pStart;
}

void THtmlLines::PutEscapedWide(QStringView s)
{
    Put(s.toString().toHtmlEscaped());
}

QStringList THtmlLines::Lines() const
{
    QStringList sl;
    const QByteArrayView baText = Utf8();
    qsizetype nFrom = 0;
    while (nFrom < baText.size()) {
        qsizetype nEnd = baText.indexOf(QByteArrayView("\r\n"), nFrom);
        if (nEnd < 0)
            nEnd = baText.size();
        sl.append(QString::fromUtf8(baText.sliced(nFrom, nEnd - nFrom)));
        nFrom = nEnd + 2;
    }
    return sl;
}
