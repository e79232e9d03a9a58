#include "platform/writeerror.h"

EWriteError::EWriteError(const QString& sFileName)
    : std::runtime_error(QStringLiteral("Unable to write to %1").arg(sFileName).toStdString()),
      sFile(sFileName)
{
}

QString EWriteError::Message() const
{
    return QStringLiteral("Unable to write to %1").arg(sFile);
}
