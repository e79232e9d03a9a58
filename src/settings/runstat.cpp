#include "settings/runstat.h"

#include "platform/platform.h"

#include <QDir>
#include <QFileInfo>

TRunstat::TRunstat() : TRunstat(TPlatform::ProgramFilePath()) {}

TRunstat::TRunstat(const QString& sProgramFile)
{
    const QString sSep = TPlatform::Sep();
    sProgPath = QDir::toNativeSeparators(QFileInfo(sProgramFile).absolutePath());
    if (!sProgPath.endsWith(sSep))
        sProgPath += sSep;
    // A program run from a build folder finds its help pages two levels up.
    if (sProgPath.contains(QStringLiteral("Win32") + sSep + QStringLiteral("Debug")))
        sProgPath.chop(12);
    if (sProgPath.contains(QStringLiteral("Win32") + sSep + QStringLiteral("Release")))
        sProgPath.chop(14);
}

QString TRunstat::HelpPath() const
{
    const QString sSep = TPlatform::Sep();
    const QString sBeside = sProgPath + QStringLiteral("help-rp") + sSep;
    if (QFileInfo(sBeside).isDir())
        return sBeside;
    const QString sShared =
        QDir::toNativeSeparators(QDir::cleanPath(sProgPath + QStringLiteral(TARVIK_HELP_FROM_BIN))) + sSep;
    return QFileInfo(sShared).isDir() ? sShared : sBeside;
}
