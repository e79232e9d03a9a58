#include "platform/platform.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QStandardPaths>

#if defined(Q_OS_UNIX)
#include <cerrno>
#include <fcntl.h>
#if defined(__GLIBC__)
#include <malloc.h>
#endif
#include <pwd.h>
#include <sys/stat.h>
#include <unistd.h>
#endif

namespace {

// Folder paths are handed out without a trailing separator, in the platform's spelling.
QString CleanFolder(const QString& sPath)
{
    if (sPath.isEmpty())
        return sPath;
    return QDir::toNativeSeparators(QDir::cleanPath(sPath));
}

} // namespace

QString TPlatform::CommonAppDataPath()
{
    const QString sOverride = qEnvironmentVariable("TARVIK_COMMON_APPDATA");
    if (!sOverride.isEmpty())
        return CleanFolder(sOverride);
    return CleanFolder(QStandardPaths::writableLocation(QStandardPaths::GenericDataLocation));
}

QString TPlatform::DesktopPath()
{
    return CleanFolder(QStandardPaths::writableLocation(QStandardPaths::DesktopLocation));
}

QString TPlatform::ProgramFilePath()
{
    if (QCoreApplication::instance() != nullptr)
        return QDir::toNativeSeparators(QCoreApplication::applicationFilePath());
#if defined(Q_OS_LINUX)
    return QFileInfo(QStringLiteral("/proc/self/exe")).symLinkTarget();
#else
    return QString();
#endif
}

QString TPlatform::Sep()
{
    return QString(QDir::separator());
}

QString TPlatform::ExecutableName(const QString& sBaseName)
{
#if defined(Q_OS_WIN)
    return sBaseName + QStringLiteral(".exe");
#else
    return sBaseName;
#endif
}

bool TPlatform::ForceDirectories(const QString& sPath)
{
    if (sPath.isEmpty())
        return false;
    QDir().mkpath(sPath);
    return QFileInfo(sPath).isDir();
}

QString TPlatform::FolderError(const QString& sPath)
{
#if defined(Q_OS_UNIX)
    // The first folder of the path that is not there is the one that could not be
    // made; making it again gives the system's reason. Above it stands a folder, or
    // something else in a folder's place.
    QString sMissing = QDir::cleanPath(sPath);
    QString sParent = QFileInfo(sMissing).path();
    while (sParent != sMissing && !QFileInfo::exists(sParent)) {
        sMissing = sParent;
        sParent = QFileInfo(sMissing).path();
    }
    if (QFileInfo::exists(sParent) && !QFileInfo(sParent).isDir())
        return qt_error_string(ENOTDIR);
    if (QFileInfo::exists(sMissing) && !QFileInfo(sMissing).isDir())
        return qt_error_string(EEXIST);
    if (::mkdir(QFile::encodeName(sMissing).constData(), 0777) == 0) {
        // Made now after all (the cause has gone meanwhile): no reason to give.
        ::rmdir(QFile::encodeName(sMissing).constData());
        return QString();
    }
    return qt_error_string(errno);
#else
    Q_UNUSED(sPath);
    return QString();
#endif
}

bool TPlatform::IsPlainDirectory(const QString& sPath)
{
    // A trailing separator would make the link test look through a symbolic link.
    const QString sClean = QDir::cleanPath(sPath);
    if (sClean.isEmpty())
        return false;
    const QFileInfo fi(sClean);
    if (!fi.isDir() || fi.isSymLink())
        return false;
    if (fi.fileName().startsWith(QLatin1Char('.')) || fi.isHidden())
        return false;
    // The owner-write bit stands for the read-only attribute: a folder the supervisor
    // marked read-only is not one it is still filling.
    return fi.permission(QFileDevice::WriteOwner);
}

QDateTime TPlatform::FileLastWrite(const QString& sPath)
{
    const QFileInfo fi(sPath);
    if (!fi.isFile())
        return QDateTime();
    return fi.lastModified().toLocalTime();
}

#if defined(Q_OS_UNIX)

namespace {

// Closes the descriptor on every way out.
class TFd final
{
public:
    explicit TFd(int fdOpen) : fd(fdOpen) {}
    ~TFd()
    {
        if (fd >= 0)
            ::close(fd);
    }
    Q_DISABLE_COPY_MOVE(TFd)
    int Get() const { return fd; }

private:
    int fd;
};

} // namespace

std::optional<QByteArray> TPlatform::ReadPlainFile(const QString& sPath, qint64 nMaxBytes)
{
    if (sPath.isEmpty() || nMaxBytes < 0)
        return std::nullopt;
    // Opened without waiting: a pipe without a writer would hold a plain open
    // forever. What was opened is then asked what it is, so a pipe or device that
    // took the file's place after any earlier look is still refused.
    const TFd fd(::open(QFile::encodeName(sPath).constData(), O_RDONLY | O_NONBLOCK | O_CLOEXEC));
    if (fd.Get() < 0)
        return std::nullopt;
    struct stat st = {};
    if (::fstat(fd.Get(), &st) != 0 || !S_ISREG(st.st_mode) || st.st_size > nMaxBytes)
        return std::nullopt;

    // The supervisor may still be appending, so the read goes to the end of what is
    // there now, but never past the limit.
    QByteArray ba;
    qint64 nUsed = 0;
    ba.resize(qsizetype(qMin<qint64>(qint64(st.st_size) + 1, nMaxBytes + 1)));
    for (;;) {
        if (nUsed == ba.size()) {
            if (nUsed > nMaxBytes)
                return std::nullopt;
            ba.resize(qsizetype(qMin<qint64>(nUsed + qMax<qint64>(nUsed / 2, 65536), nMaxBytes + 1)));
        }
        const ssize_t n = ::read(fd.Get(), ba.data() + nUsed, size_t(ba.size() - nUsed));
        if (n == 0)
            break;
        if (n < 0) {
            if (errno == EINTR)
                continue;
            return std::nullopt;
        }
        nUsed += n;
    }
    if (nUsed > nMaxBytes)
        return std::nullopt;
    ba.resize(qsizetype(nUsed));
    return ba;
}

#else

std::optional<QByteArray> TPlatform::ReadPlainFile(const QString& sPath, qint64 nMaxBytes)
{
    if (sPath.isEmpty() || nMaxBytes < 0)
        return std::nullopt;
    const QFileInfo fi(sPath);
    if (!fi.isFile() || fi.size() > nMaxBytes)
        return std::nullopt;
    QFile f(sPath);
    if (!f.open(QIODevice::ReadOnly))
        return std::nullopt;
    QByteArray ba = f.read(nMaxBytes + 1);
    if (f.error() != QFileDevice::NoError || ba.size() > nMaxBytes)
        return std::nullopt;
    return ba;
}

#endif

void TPlatform::KeepFreedMemory()
{
#if defined(__GLIBC__)
    // Blocks of up to 32 MiB (the most the allocator takes here) come from the heap
    // instead of a mapping of their own, and the heap gives memory back only when
    // 64 MiB lie free at its top.
    mallopt(M_MMAP_THRESHOLD, 32 * 1024 * 1024);
    mallopt(M_TRIM_THRESHOLD, 64 * 1024 * 1024);
#endif
}

QString TPlatform::LoginName()
{
#if defined(Q_OS_UNIX)
    // The account of the process rather than $USER, which any caller can set.
    if (const struct passwd* pw = ::getpwuid(::geteuid()); pw != nullptr && pw->pw_name != nullptr)
        return QString::fromLocal8Bit(pw->pw_name);
    return qEnvironmentVariable("USER");
#else
    return qEnvironmentVariable("USERNAME");
#endif
}

bool TPlatform::StdoutIsTerminal()
{
#if defined(Q_OS_UNIX)
    return isatty(STDOUT_FILENO) != 0;
#else
    return false;
#endif
}
