#include "output/utils.h"

namespace {
QString PeriodField(int nPeriod)
{
    return QString::asprintf("%.4d", nPeriod);
}
} // namespace

QString TReportNames::DateField(const QDate& dt)
{
    return dt.toString(QStringLiteral("yyyyMMdd"));
}

QString TReportNames::PageName(const TKindInfo& kind, const QString& sID, const QDate& dtFrom,
                               const QDate& dtTo, int nPeriod)
{
    QString s = kind.sKey + QLatin1Char('_') + sID + QLatin1Char('_') + DateField(dtFrom) +
                QLatin1Char('_') + DateField(dtTo);
    if (kind.bPeriod)
        s += QLatin1Char('_') + PeriodField(nPeriod);
    return s + QStringLiteral(".html");
}

QString TReportNames::ImageExt(EImageFormat fmt)
{
    return fmt == EImageFormat::Png ? QStringLiteral("png") : QStringLiteral("bmp");
}

std::optional<EImageFormat> TReportNames::ImageFormatFromText(const QString& s)
{
    // Any case, as the paper's name: "PNG" is what many people type.
    if (s.compare(QLatin1String("bmp"), Qt::CaseInsensitive) == 0)
        return EImageFormat::Bmp;
    if (s.compare(QLatin1String("png"), Qt::CaseInsensitive) == 0)
        return EImageFormat::Png;
    return std::nullopt;
}

QString TReportNames::ImageEnding(bool bZoom, EImageFormat fmt)
{
    return (bZoom ? QStringLiteral("_zoom.") : QStringLiteral(".")) + ImageExt(fmt);
}

QString TReportNames::ChartName(const TKindInfo& kind, const QString& sID, const QDate& dtFrom,
                                const QDate& dtTo, int nPeriod, bool bZoom, EImageFormat fmt)
{
    return kind.sKey + QLatin1Char('_') + sID + QLatin1Char('_') + DateField(dtFrom) + QLatin1Char('_') +
           DateField(dtTo) + QLatin1Char('_') + PeriodField(nPeriod) + ImageEnding(bZoom, fmt);
}

QString TReportNames::DayChartName(const TKindInfo& kind, const QString& sID, const QDate& dtDay, bool bZoom,
                                   EImageFormat fmt)
{
    return kind.sKey + QLatin1Char('_') + sID + QLatin1Char('_') + DateField(dtDay) + ImageEnding(bZoom, fmt);
}

int DecimalNumber(const QString& s)
{
    if (s.isEmpty())
        return -1;
    for (const QChar c : s)
        if (c < QLatin1Char('0') || c > QLatin1Char('9'))
            return -1;
    bool bOK = false;
    const int n = s.toInt(&bOK, 10);
    return bOK ? n : -1;
}

QDate ReportDateToDate(const QString& sText)
{
    int nYear = -1, nMonth = -1, nDay = -1;
    if (sText.size() == 10 && sText[4] == QLatin1Char('-') && sText[7] == QLatin1Char('-')) {
        nYear = DecimalNumber(sText.mid(0, 4));
        nMonth = DecimalNumber(sText.mid(5, 2));
        nDay = DecimalNumber(sText.mid(8, 2));
    } else if (sText.size() == 8) {
        nYear = DecimalNumber(sText.mid(0, 4));
        nMonth = DecimalNumber(sText.mid(4, 2));
        nDay = DecimalNumber(sText.mid(6, 2));
    }
    // Year 0 does not exist in the calendar the names are written in.
    if (nYear <= 0 || !QDate::isValid(nYear, nMonth, nDay))
        return NoReportDate();
    return QDate(nYear, nMonth, nDay);
}
