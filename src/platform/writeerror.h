#pragma once

#include <QString>

#include <stdexcept>

// Raised when the file system refuses a settings write. The message is the one the
// user sees: "Unable to write to <full file name>".
class EWriteError final : public std::runtime_error
{
public:
    explicit EWriteError(const QString& sFileName);

    const QString& FileName() const { return sFile; }
    QString Message() const;

    // "Unable to write to <sFile>: <sReason>", or without the reason when it is empty.
    static QString Text(const QString& sFile, const QString& sReason);

private:
    QString sFile;
};
