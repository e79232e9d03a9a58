#pragma once

#include <QByteArray>
#include <QByteArrayView>
#include <QIODevice>
#include <QString>

// One output file that appears whole or not at all. What is written goes to a file
// without a name in the target's folder (or, where the file system cannot make one,
// to a hidden file beside the target that a SIGTERM or SIGINT removes); Commit()
// flushes it to the disk and only then gives it the target's name, replacing any
// earlier file in one step. A failed or abandoned write leaves the earlier file as it
// was and no temporary file behind. The new file's mode follows the umask (0644 under
// umask 022), whether or not a file of that name was there before.
//
// Every write is checked: the first one the system refuses makes the file fail, and
// Error() then gives the file's name with the system's reason, e.g. "Unable to write
// to /reports/a.pdf: No space left on device". Writers that ignore the results of
// their writes (the PDF engine does) therefore cannot produce a truncated file.
class TWholeFile final : public QIODevice
{
public:
    explicit TWholeFile(const QString& sFile);
    ~TWholeFile() override;
    Q_DISABLE_COPY_MOVE(TWholeFile)

    // Makes the temporary file; false with Error() when the folder is missing,
    // refuses writing, or the target is a folder.
    bool Open();
    // Syncs and renames; false with Error() when anything written was refused or the
    // file cannot take its name, and then nothing is left behind.
    bool Commit();
    // Drops what was written; the earlier file stays.
    void Discard();

    bool Failed() const { return !sReason.isEmpty(); }
    // "Unable to write to <full file name>: <the system's reason>"; empty while all is well.
    QString Error() const;
    // True when the bytes written so far end with sEnd (trailing white space aside).
    bool EndsWith(const QByteArray& sEnd) const;

    // The whole of ba into sFile; false with sError set as Error() gives it.
    static bool Save(const QString& sFile, QByteArrayView ba, QString& sError);

    // For tests: the disk takes only this many more bytes in all, the writes after
    // that fail as on a full disk; a negative number lifts the limit.
    static void SetRoomForTests(qint64 nBytes);
    // For tests: write through a named hidden file, as on file systems that cannot
    // make a file without a name.
    static void UseNamedTempForTests(bool bNamed);

    bool isSequential() const override { return true; }

protected:
    qint64 readData(char* data, qint64 nMax) override;
    qint64 writeData(const char* data, qint64 nLen) override;

private:
    void FailWith(int nErrno);
    void CloseFd();

    QString sFile;          // the target, absolute
    QByteArray baTemp;      // the hidden temporary name, when the file has one
    QByteArray baTail;      // the last bytes written
    QString sReason;
    int fd = -1;
    bool bUnnamed = false;
};
