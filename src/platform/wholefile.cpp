#include "platform/wholefile.h"

#include "platform/writeerror.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QRandomGenerator>

#include <algorithm>
#include <cerrno>
#include <csignal>
#include <cstring>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace {

qint64 nRoomForTests = -1;
bool bNamedForTests = false;

// The hidden temporary file of the one write that has to use a named one, removed
// by the termination signals' handler; the handler then does what was done before.
char acPending[4096];
volatile sig_atomic_t bPending = 0;
struct sigaction aOldActions[3];
constexpr int anSignals[3] = {SIGTERM, SIGINT, SIGHUP};

void OnTerminate(int nSignal)
{
    if (bPending)
        ::unlink(acPending);
    for (int i = 0; i < 3; ++i)
        if (anSignals[i] == nSignal)
            ::sigaction(nSignal, &aOldActions[i], nullptr);
    ::raise(nSignal);
}

bool Register(const QByteArray& baPath)
{
    if (bPending || baPath.size() >= qsizetype(sizeof acPending))
        return false;
    std::memcpy(acPending, baPath.constData(), size_t(baPath.size()) + 1);
    struct sigaction act = {};
    act.sa_handler = OnTerminate;
    sigemptyset(&act.sa_mask);
    for (int i = 0; i < 3; ++i)
        ::sigaction(anSignals[i], &act, &aOldActions[i]);
    bPending = 1;
    return true;
}

void Unregister(const QByteArray& baPath)
{
    if (!bPending || std::strcmp(acPending, baPath.constData()) != 0)
        return;
    bPending = 0;
    for (int i = 0; i < 3; ++i)
        ::sigaction(anSignals[i], &aOldActions[i], nullptr);
}

// Holds the termination signals back while a temporary name exists only for the
// moment of a rename, so that a signal cannot leave it behind.
class TSignalsHeld
{
public:
    TSignalsHeld()
    {
        sigset_t set;
        sigemptyset(&set);
        for (int nSignal : anSignals)
            sigaddset(&set, nSignal);
        ::pthread_sigmask(SIG_BLOCK, &set, &old);
    }
    ~TSignalsHeld() { ::pthread_sigmask(SIG_SETMASK, &old, nullptr); }
    TSignalsHeld(const TSignalsHeld&) = delete;
    TSignalsHeld& operator=(const TSignalsHeld&) = delete;

private:
    sigset_t old;
};

// The process's umask, read without changing it (changing it, even for a moment,
// would race with any other thread creating a file).
mode_t Umask()
{
    QFile f(QStringLiteral("/proc/self/status"));
    if (f.open(QIODevice::ReadOnly)) {
        for (const QByteArray& ba : f.readAll().split('\n')) {
            if (ba.startsWith("Umask:")) {
                bool bOK = false;
                const uint n = ba.mid(6).trimmed().toUInt(&bOK, 8);
                if (bOK)
                    return mode_t(n);
            }
        }
    }
    return 022;
}

QByteArray HiddenName(const QString& sFile)
{
    const QFileInfo fi(sFile);
    const QString sName = fi.absolutePath() + QStringLiteral("/.") + fi.fileName() + QLatin1Char('.') +
                          QString::number(QRandomGenerator::global()->generate() % 0xFFFFFFu, 16);
    return QFile::encodeName(sName);
}

void SyncFolder(const QString& sFile)
{
    const int fdDir = ::open(QFile::encodeName(QFileInfo(sFile).absolutePath()).constData(),
                             O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (fdDir >= 0) {
        ::fsync(fdDir);
        ::close(fdDir);
    }
}

} // namespace

TWholeFile::TWholeFile(const QString& sFileName) : sFile(QFileInfo(sFileName).absoluteFilePath()) {}

TWholeFile::~TWholeFile()
{
    Discard();
}

void TWholeFile::SetRoomForTests(qint64 nBytes)
{
    nRoomForTests = nBytes;
}

void TWholeFile::UseNamedTempForTests(bool bNamed)
{
    bNamedForTests = bNamed;
}

QString TWholeFile::Error() const
{
    if (sReason.isEmpty())
        return QString();
    return EWriteError::Text(QDir::toNativeSeparators(sFile), sReason);
}

void TWholeFile::FailWith(int nErrno)
{
    if (sReason.isEmpty())
        sReason = qt_error_string(nErrno);
}

bool TWholeFile::Open()
{
    Discard();
    sReason.clear();
    baTail.clear();
    const QByteArray baFile = QFile::encodeName(sFile);
    struct stat st = {};
    if (::stat(baFile.constData(), &st) == 0 && S_ISDIR(st.st_mode)) {
        FailWith(EISDIR);
        return false;
    }
    const QByteArray baDir = QFile::encodeName(QFileInfo(sFile).absolutePath());
    // A file without a name cannot outlive the process, whatever ends it.
    fd = bNamedForTests ? -1 : ::open(baDir.constData(), O_TMPFILE | O_WRONLY | O_CLOEXEC, 0666);
    bUnnamed = fd >= 0;
    if (bNamedForTests)
        errno = EOPNOTSUPP;
    if (fd < 0 && errno != EOPNOTSUPP && errno != EISDIR && errno != EINVAL) {
        FailWith(errno);
        return false;
    }
    if (fd < 0) {
        for (int nTry = 0; nTry < 100 && fd < 0; ++nTry) {
            baTemp = HiddenName(sFile);
            fd = ::open(baTemp.constData(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0600);
            if (fd < 0 && errno != EEXIST)
                break;
        }
        if (fd < 0) {
            FailWith(errno);
            baTemp.clear();
            return false;
        }
        // Private while it is being written; it takes the umask's mode once complete.
        Register(baTemp);
    }
    return QIODevice::open(QIODevice::WriteOnly | QIODevice::Unbuffered);
}

qint64 TWholeFile::readData(char*, qint64)
{
    return -1;
}

qint64 TWholeFile::writeData(const char* data, qint64 nLen)
{
    if (fd < 0 || Failed())
        return -1;
    qint64 nTake = nLen;
    if (nRoomForTests >= 0)
        nTake = std::min(nLen, nRoomForTests);
    qint64 nDone = 0;
    while (nDone < nTake) {
        const ssize_t n = ::write(fd, data + nDone, size_t(nTake - nDone));
        if (n < 0) {
            if (errno == EINTR)
                continue;
            FailWith(errno);
            return -1;
        }
        nDone += n;
    }
    if (nRoomForTests >= 0)
        nRoomForTests -= nDone;
    if (nDone < nLen) {
        FailWith(ENOSPC);
        return -1;
    }
    const qint64 nKeep = std::min<qint64>(nLen, 64);
    baTail.append(data + nLen - nKeep, qsizetype(nKeep));
    baTail = baTail.right(64);
    return nLen;
}

bool TWholeFile::EndsWith(const QByteArray& sEnd) const
{
    return baTail.trimmed().endsWith(sEnd);
}

void TWholeFile::CloseFd()
{
    if (fd >= 0)
        ::close(fd);
    fd = -1;
    if (!baTemp.isEmpty()) {
        ::unlink(baTemp.constData());
        Unregister(baTemp);
        baTemp.clear();
    }
    if (isOpen())
        QIODevice::close();
}

void TWholeFile::Discard()
{
    CloseFd();
}

bool TWholeFile::Commit()
{
    if (fd < 0) {
        if (!Failed())
            FailWith(EBADF);
        return false;
    }
    // Written out to the disk before the name moves over: a crash or power cut after
    // the rename finds the whole file, and a disk that refuses the data says so here.
    if (!bUnnamed && !Failed() && ::fchmod(fd, 0666 & ~Umask()) != 0)
        FailWith(errno);
    if (!Failed() && ::fsync(fd) != 0)
        FailWith(errno);
    if (Failed()) {
        CloseFd();
        return false;
    }
    const QByteArray baFile = QFile::encodeName(sFile);
    {
        const TSignalsHeld held;
        if (bUnnamed) {
            const QByteArray baProc = "/proc/self/fd/" + QByteArray::number(fd);
            for (int nTry = 0; nTry < 100; ++nTry) {
                baTemp = HiddenName(sFile);
                if (::linkat(AT_FDCWD, baProc.constData(), AT_FDCWD, baTemp.constData(), AT_SYMLINK_FOLLOW) == 0)
                    break;
                const int nErr = errno;
                baTemp.clear();
                if (nErr != EEXIST) {
                    FailWith(nErr);
                    break;
                }
            }
        }
        if (!Failed() && ::rename(baTemp.constData(), baFile.constData()) != 0)
            FailWith(errno);
        if (!Failed()) {
            Unregister(baTemp);
            baTemp.clear();
        }
        CloseFd();
    }
    if (Failed())
        return false;
    SyncFolder(sFile);
    return true;
}

bool TWholeFile::Save(const QString& sFile, QByteArrayView ba, QString& sError)
{
    TWholeFile f(sFile);
    if (f.Open() && f.write(ba.data(), ba.size()) == ba.size() && f.Commit())
        return true;
    sError = f.Error();
    return false;
}
