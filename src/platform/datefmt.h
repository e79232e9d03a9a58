#pragma once

#include <QDate>
#include <QDateTime>
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

    // Formatting with the translated pattern. Month and weekday names are English,
    // as in every text the program writes.
    static QString Format(const QDateTime& dt, const QString& sPattern);
    static QString Format(const QDate& d, const QString& sPattern);
    static QString Format(const QTime& t, const QString& sPattern);
};
