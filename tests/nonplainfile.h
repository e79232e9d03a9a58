#pragma once

#include <QFile>
#include <QString>

#include <gtest/gtest.h>

#include <chrono>
#include <future>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

// What may stand where the program expects a plain text file: a pipe without a
// writer (a plain open of it waits forever), a huge sparse file and a link to an
// endless device. Each read path is tried with them under a time limit, so that a
// regression fails its test instead of hanging the suite.

inline bool MakeFifo(const QString& sPath)
{
    return ::mkfifo(QFile::encodeName(sPath).constData(), 0600) == 0;
}

// A file of nBytes that takes no disk space: its size alone must keep it unread.
inline bool MakeSparseFile(const QString& sPath, qint64 nBytes)
{
    QFile f(sPath);
    return f.open(QIODevice::WriteOnly) && f.resize(nBytes);
}

inline bool LinkToDevZero(const QString& sPath)
{
    return QFile::link(QStringLiteral("/dev/zero"), sPath);
}

// Runs fn and returns its result. When it has not returned after nSecs it is held
// up by the pipe sFifo: the test fails, and opening the pipe's writing end (again,
// until fn returns) lets the stuck open go on to an empty read.
template <class F> auto WithinTimeLimit(const QString& sFifo, F fn, int nSecs = 10) -> decltype(fn())
{
    auto fut = std::async(std::launch::async, fn);
    if (fut.wait_for(std::chrono::seconds(nSecs)) != std::future_status::ready) {
        ADD_FAILURE() << "still waiting on " << sFifo.toStdString() << " after " << nSecs << " s";
        do {
            const int fd = ::open(QFile::encodeName(sFifo).constData(), O_WRONLY | O_NONBLOCK);
            if (fd >= 0)
                ::close(fd);
        } while (fut.wait_for(std::chrono::milliseconds(200)) != std::future_status::ready);
    }
    return fut.get();
}
