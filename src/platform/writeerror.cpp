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

QString EWriteError::Text(const QString& sFile, const QString& sReason)
{
    QString s = QStringLiteral("Unable to write to %1").arg(sFile);
    if (!sReason.isEmpty())
        s += QStringLiteral(": ") + sReason;
    return s;
}
