#pragma once

#include <QString>

// The fields of the program's CSV text: the command line's reports and the files it
// writes of its own.
class TCsvText final
{
public:
    TCsvText() = delete;

    // The field as it stands, or in double quotes with each quote doubled when it holds
    // a comma, a quote or a line break.
    static QString Field(const QString& s);
};
