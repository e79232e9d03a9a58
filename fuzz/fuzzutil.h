#pragma once

// What the fuzz targets share: a broken invariant stops the run at once, so the
// fuzzer keeps the input; scratch folders lie in memory where the system has such a
// folder, since several targets write files for every input.
#include <QDir>
#include <QFile>
#include <QString>
#include <QTemporaryDir>

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
