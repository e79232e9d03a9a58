#pragma once

#include <QString>

// Run-time facts of this program: its own folder, where the help pages lie.
class TRunstat final
{
public:
    // Computed from the running program file.
    TRunstat();
    // Computed from the given program file path (tests).
    explicit TRunstat(const QString& sProgramFile);

    // The program folder, ending with the path separator. A program file in a build
    // folder ending in Win32/Debug/ or Win32/Release/ takes the folder two levels up.
    QString sProgPath;
};
