#pragma once

// What the fuzz targets share: a broken invariant stops the run at once, so the
// fuzzer keeps the input; scratch folders lie in memory where the system has such a
// folder, since several targets write files for every input.
#include <QDir>
#include <QFile>
#include <QString>
#include <QTemporaryDir>

#include <optional>

inline void Require(bool b)
{
    if (!b)
        __builtin_trap();
}

// The blanks an ini line may carry around its names and values.
inline bool IsBlank(QChar c)
{
    return c == u' ' || c == u'\t';
}

inline QString TrimBlanks(QString s)
{
    while (!s.isEmpty() && IsBlank(s.front()))
        s.remove(0, 1);
    while (!s.isEmpty() && IsBlank(s.back()))
        s.chop(1);
    return s;
}

// The value of [sSection] sKey read line by line as the ini rules say: the first
// matching section and key, names without regard to letter case, blanks trimmed.
inline std::optional<QString> PlainValue(const QString& sText, const QString& sSection, const QString& sKey)
{
    QString s = sText;
    s.replace(QStringLiteral("\r\n"), QStringLiteral("\n")).replace(u'\r', u'\n');
    bool bInSection = false;
    bool bSeen = false;
    for (const QString& sRaw : s.split(u'\n')) {
        const QString sLine = TrimBlanks(sRaw);
        if (sLine.startsWith(u'[')) {
            if (bInSection)
                return std::nullopt;
            const qsizetype nClose = sLine.indexOf(u']');
            const QString sName = TrimBlanks(sLine.mid(1, nClose < 0 ? -1 : nClose - 1));
            bInSection = !bSeen && sName.compare(sSection, Qt::CaseInsensitive) == 0;
            bSeen = bSeen || bInSection;
            continue;
        }
        if (!bInSection || sLine.startsWith(u';'))
            continue;
        const qsizetype nEq = sLine.indexOf(u'=');
        if (nEq <= 0 || TrimBlanks(sLine.left(nEq)).compare(sKey, Qt::CaseInsensitive) != 0)
            continue;
        return TrimBlanks(sLine.mid(nEq + 1));
    }
    return std::nullopt;
}

inline QTemporaryDir& FuzzScratch()
{
    static QTemporaryDir tmp(QDir(QStringLiteral("/dev/shm")).exists()
                                 ? QStringLiteral("/dev/shm/tarvik-fuzz-XXXXXX")
                                 : QDir::tempPath() + QStringLiteral("/tarvik-fuzz-XXXXXX"));
    Require(tmp.isValid());
    return tmp;
}

inline void WriteBytes(const QString& sFile, const QByteArray& ba)
{
    QFile f(sFile);
    Require(f.open(QIODevice::WriteOnly | QIODevice::Truncate));
    Require(f.write(ba) == ba.size());
}

inline QByteArray ReadBytes(const QString& sFile)
{
    QFile f(sFile);
    Require(f.open(QIODevice::ReadOnly));
    return f.readAll();
}
