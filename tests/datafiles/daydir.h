#pragma once

#include <QByteArray>
#include <QDate>
#include <QDir>
#include <QFile>
#include <QString>
#include <QTemporaryDir>

#include <gtest/gtest.h>

// A data folder in a temporary directory, with day files written where the
// supervisor writes them: <data>/<ID>/<yyyy-MM>/<file>.
class TDayDirTest : public ::testing::Test
{
protected:
    void SetUp() override { ASSERT_TRUE(tmp.isValid()); }

    QString DataPath() const { return tmp.path() + QStringLiteral("/"); }

    static QString MonthDir(const QDate& dt) { return dt.toString(QStringLiteral("yyyy-MM")); }

    // Writes the bytes as file sFile of monitor sID for the day dt; returns its path.
    QString WriteDay(const QString& sID, const QDate& dt, const QString& sFile, const QByteArray& ba)
    {
        const QString sDir = DataPath() + sID + QStringLiteral("/") + MonthDir(dt);
        EXPECT_TRUE(QDir().mkpath(sDir));
        const QString sPath = sDir + QStringLiteral("/") + sFile;
        QFile f(sPath);
        EXPECT_TRUE(f.open(QIODevice::WriteOnly));
        EXPECT_EQ(f.write(ba), ba.size());
        return sPath;
    }

    QTemporaryDir tmp;
    const QString sMon = QStringLiteral("M01");
    const QDate dtDay{2024, 3, 7};
};
