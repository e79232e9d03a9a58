#pragma once

#include <QDate>
#include <QDateTime>
#include <QLocale>
#include <QString>
#include <QTime>

// Date and time patterns as the reports spell them, turned into Qt's. In the
// report patterns letters are not case-sensitive: "yyyy" year, "mm" month (minutes
// when it follows "hh"), "nn" minutes, "ss" seconds, "hh" hours 00-23, "dd" and "d"
// day, "mmm" short month name, "ddd" short weekday name. Qt spells month "MM" and
// minutes "mm", so every pattern goes through QtPattern before it reaches Qt.
class TDateFmt final
{
public:
    TDateFmt() = delete;

    static QString QtPattern(const QString& sPattern);

    // The locale whose short and long month and weekday names the patterns write:
    // English until program start sets the user's (the C locale's names are English
    // too, so LANG=C gives the English names).
    static QLocale NamesLocale();
    static void SetNamesLocale(const QLocale& loc);
    // For date pickers, which write their digits in their own locale: the names
    // locale when it writes the digits 0-9, else English.
    static QLocale PickerLocale();

    // Formatting with the translated pattern. Names come from the names locale; every
    // digit, separator and number is written as in the C locale.
    static QString Format(const QDateTime& dt, const QString& sPattern);
    static QString Format(const QDate& d, const QString& sPattern);
    static QString Format(const QTime& t, const QString& sPattern);
};
