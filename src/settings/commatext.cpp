#include "settings/commatext.h"

namespace {

const QChar cQuote = QLatin1Char('"');
const QChar cComma = QLatin1Char(',');

// Blanks and control characters separate items outside quotes.
bool IsSpace(QChar c)
{
    return c.unicode() <= ' ';
}

bool NeedsQuotes(const QString& s)
{
    // An empty item unquoted would vanish on reading.
    if (s.isEmpty())
        return true;
    for (const QChar c : s)
        if (IsSpace(c) || c == cComma || c == cQuote)
            return true;
    return false;
}

} // namespace

QString TCommaText::Join(const QStringList& sl)
{
    QStringList slOut;
    slOut.reserve(sl.size());
    for (const QString& s : sl) {
        if (NeedsQuotes(s))
            slOut.append(cQuote + QString(s).replace(cQuote, QStringLiteral("\"\"")) + cQuote);
        else
            slOut.append(s);
    }
    return slOut.join(cComma);
}

QStringList TCommaText::Split(const QString& s)
{
    QStringList sl;
    const qsizetype n = s.size();
    qsizetype i = 0;
    while (i < n && IsSpace(s[i]))
        ++i;
    while (i < n) {
        QString sItem;
        if (s[i] == cQuote) {
            // A quoted item runs to the next single quote; a doubled quote stands for one.
            ++i;
            while (i < n) {
                if (s[i] == cQuote) {
                    if (i + 1 < n && s[i + 1] == cQuote) {
                        sItem += cQuote;
                        i += 2;
                        continue;
                    }
                    ++i;
                    break;
                }
                sItem += s[i++];
            }
        } else {
            const qsizetype nStart = i;
            while (i < n && !IsSpace(s[i]) && s[i] != cComma)
                ++i;
            sItem = s.mid(nStart, i - nStart);
        }
        sl.append(sItem);
        while (i < n && IsSpace(s[i]))
            ++i;
        if (i < n && s[i] == cComma) {
            // A comma at the very end still closes an (empty) item.
            if (i + 1 == n)
                sl.append(QString());
            ++i;
            while (i < n && IsSpace(s[i]))
                ++i;
        }
    }
    return sl;
}
