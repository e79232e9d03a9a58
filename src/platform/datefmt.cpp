#include "platform/datefmt.h"

#include <QLocale>

#include <utility>

namespace {

enum class EToken
{
    None,
    Date,
    Hour
};

qsizetype RunLength(const QString& s, qsizetype i, QChar c)
{
    qsizetype n = 0;
    while (i + n < s.size() && s[i + n].toLower() == c)
        ++n;
    return n;
}

// Letters outside a pattern code must not reach Qt as codes, so a run of literal
// text holding a letter or a quote travels as one quoted string (two quoted pieces
// side by side would read as one piece with a quote inside).
void FlushLiteral(QString& sOut, QString& sLiteral)
{
    if (sLiteral.isEmpty())
        return;
    bool bQuote = false;
    for (const QChar c : std::as_const(sLiteral))
        bQuote = bQuote || c.isLetter() || c == QLatin1Char('\'');
    if (bQuote)
        sOut +=
            QLatin1Char('\'') + sLiteral.replace(QLatin1Char('\''), QStringLiteral("''")) + QLatin1Char('\'');
    else
        sOut += sLiteral;
    sLiteral.clear();
}

} // namespace

QString TDateFmt::QtPattern(const QString& sPattern)
{
    QString sOut;
    QString sLiteral;
    EToken last = EToken::None;
    qsizetype i = 0;
    while (i < sPattern.size()) {
        const QChar c = sPattern[i].toLower();
        const qsizetype nRun = RunLength(sPattern, i, c);
        qsizetype nTake = 1;
        if (QStringLiteral("ymnshd").contains(c))
            FlushLiteral(sOut, sLiteral);
        switch (c.unicode()) {
        case 'y':
            nTake = qMin<qsizetype>(nRun, 4);
            sOut += nTake <= 2 ? QStringLiteral("yy") : QStringLiteral("yyyy");
            last = EToken::Date;
            break;
        case 'm':
            nTake = qMin<qsizetype>(nRun, 4);
            if (nTake >= 3)
                sOut += QString(nTake, QLatin1Char('M'));
            else if (last == EToken::Hour)
                sOut += QString(nTake, QLatin1Char('m'));
            else
                sOut += QString(nTake, QLatin1Char('M'));
            last = EToken::Date;
            break;
        case 'n':
            nTake = qMin<qsizetype>(nRun, 2);
            sOut += QString(nTake, QLatin1Char('m'));
            last = EToken::Date;
            break;
        case 's':
            nTake = qMin<qsizetype>(nRun, 2);
            sOut += QString(nTake, QLatin1Char('s'));
            last = EToken::Date;
            break;
        case 'h':
            nTake = qMin<qsizetype>(nRun, 2);
            sOut += QString(nTake, QLatin1Char('H'));
            last = EToken::Hour;
            break;
        case 'd':
            nTake = qMin<qsizetype>(nRun, 4);
            sOut += QString(nTake, QLatin1Char('d'));
            last = EToken::Date;
            break;
        default:
            sLiteral += sPattern[i];
            break;
        }
        i += nTake;
    }
    FlushLiteral(sOut, sLiteral);
    return sOut;
}

QString TDateFmt::Format(const QDateTime& dt, const QString& sPattern)
{
    return QLocale(QLocale::English).toString(dt, QtPattern(sPattern));
}

QString TDateFmt::Format(const QDate& d, const QString& sPattern)
{
    return QLocale(QLocale::English).toString(d, QtPattern(sPattern));
}

QString TDateFmt::Format(const QTime& t, const QString& sPattern)
{
    return QLocale(QLocale::English).toString(t, QtPattern(sPattern));
}
