#include "platform/platform.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QStandardPaths>

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
    QFile f(sPath);
    if (!f.open(QIODevice::ReadOnly))
        return QDateTime();
    return f.fileTime(QFileDevice::FileModificationTime).toLocalTime();
}
