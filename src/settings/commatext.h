#pragma once

#include <QString>
#include <QStringList>

// The comma text in which the settings file keeps its two lists.
class TCommaText final
{
public:
    TCommaText() = delete;

    // Items in order, separated by ","; an item holding a blank, a control character,
    // a comma or a double quote is enclosed in double quotes, inner quotes doubled.
    static QString Join(const QStringList& sl);
    // A quoted item is taken whole; outside quotes commas and blanks both separate items.
    static QStringList Split(const QString& s);
};
