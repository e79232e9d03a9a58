#include "platform/datefmt.h"

#include <QLocale>

#include <algorithm>
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

QLocale& NamesLocaleRef()
{
    static QLocale loc(QLocale::English);
    return loc;
}

// Formats a Qt pattern with the names of the names locale and everything else as the
// C locale writes it, so that a locale's own digits never reach a report. The pattern
// is cut at each month or weekday name outside quotes; every piece between is a whole
// Qt pattern of its own, formatted by fnPiece.
template <class TFn> QString WithNames(const QString& sQt, const QDate& d, TFn fnPiece)
{
    const QLocale loc = TDateFmt::NamesLocale();
    QString sOut;
    qsizetype iPiece = 0;
    bool bQuoted = false;
    qsizetype i = 0;
    while (i < sQt.size()) {
        const QChar c = sQt[i];
        if (c == QLatin1Char('\'')) {
            bQuoted = !bQuoted;
            ++i;
            continue;
        }
        qsizetype nRun = 1;
        while (i + nRun < sQt.size() && sQt[i + nRun] == c)
            ++nRun;
        if (bQuoted || nRun < 3 || (c != QLatin1Char('M') && c != QLatin1Char('d'))) {
            i += nRun;
            continue;
        }
        // Qt reads at most four letters as one code.
        nRun = std::min<qsizetype>(nRun, 4);
        sOut += fnPiece(sQt.mid(iPiece, i - iPiece));
        const QLocale::FormatType fmt = nRun == 3 ? QLocale::ShortFormat : QLocale::LongFormat;
        sOut += c == QLatin1Char('M') ? loc.monthName(d.month(), fmt) : loc.dayName(d.dayOfWeek(), fmt);
        i += nRun;
        iPiece = i;
    }
    return sOut + fnPiece(sQt.mid(iPiece));
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

QLocale TDateFmt::NamesLocale()
{
    return NamesLocaleRef();
}

void TDateFmt::SetNamesLocale(const QLocale& loc)
{
    NamesLocaleRef() = loc;
}

QLocale TDateFmt::PickerLocale()
{
    const QLocale loc = NamesLocale();
    return loc.zeroDigit() == QLatin1String("0") ? loc : QLocale(QLocale::English);
}

QString TDateFmt::Format(const QDateTime& dt, const QString& sPattern)
{
    return WithNames(QtPattern(sPattern), dt.date(),
                     [&dt](const QString& sQt) { return QLocale::c().toString(dt, sQt); });
}

QString TDateFmt::Format(const QDate& d, const QString& sPattern)
{
    return WithNames(QtPattern(sPattern), d,
                     [&d](const QString& sQt) { return QLocale::c().toString(d, sQt); });
}

QString TDateFmt::Format(const QTime& t, const QString& sPattern)
{
    return QLocale::c().toString(t, QtPattern(sPattern));
}
