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

    // The help folder, ending with the path separator: "help-rp" in the program folder
    // where the program runs from its build folder or an unpacked copy; for a program
    // installed in PREFIX/bin, the folder of its pages under PREFIX/share. Where
    // neither exists, the one in the program folder.
    QString HelpPath() const;

    // The program folder, ending with the path separator. A program file in a build
    // folder ending in Win32/Debug/ or Win32/Release/ takes the folder two levels up.
    QString sProgPath;
};
