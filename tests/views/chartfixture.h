#pragma once

// Shared set-up of the chart tests: settings in a temporary folder, a temporary data
// folder, and writers for hand-made day files.

#include "datafiles/almfile.h"
#include "datafiles/perfile.h"
#include "datafiles/thfile.h"
#include "settings/cfg.h"
#include "views/qcpinclude.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QFontMetrics>
#include <QMouseEvent>
#include <QResizeEvent>
#include <QTemporaryDir>
#include <QWidget>

#include <gtest/gtest.h>

#include <memory>

class TChartTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        ASSERT_TRUE(dirApp.isValid());
        ASSERT_TRUE(dirData.isValid());
        cfg = std::make_unique<TCfg>(dirApp.path());
        cfg->SetDataPath(dirData.path());
    }

    // Selects exactly the given parameters.
    void SelectParams(const QStringList& sl)
    {
        for (const QString& sParam : MeasurementParams())
            cfg->SetPerParam(sParam, sl.contains(sParam));
    }

    static void WriteText(const QString& sPath, const QByteArray& text)
    {
        ASSERT_TRUE(QDir().mkpath(QFileInfo(sPath).absolutePath()));
        QFile f(sPath);
        ASSERT_TRUE(f.open(QIODevice::WriteOnly | QIODevice::Truncate));
        ASSERT_EQ(f.write(text), text.size());
    }

    void WritePer(const QDate& d, int nPeriod, const QByteArray& text)
    {
        WriteText(TPerFile::FileName(cfg->DataPath(), sID, d, nPeriod), text);
    }
    void WriteAlm(const QDate& d, const QByteArray& text)
    {
        WriteText(TAlmFile::FileName(cfg->DataPath(), sID, d), text);
    }
    void WritePrf(const QDate& d, const QByteArray& text)
    {
        WriteText(TTHFile::FileName(cfg->DataPath(), sID, d), text);
    }

    // Sizes a chart that is never shown and lays it out: a hidden widget gets its
    // resize event only when shown, so it is sent here.
    static void Layout(QCustomPlot& chart, int nWidth, int nHeight)
    {
        const QSize sizeOld = chart.size();
        chart.resize(nWidth, nHeight);
        QResizeEvent ev(chart.size(), sizeOld);
        QCoreApplication::sendEvent(&chart, &ev);
        chart.replot();
    }

    // The left axis' ticks that carry a label: those within its range.
    static QVector<double> LeftLabels(const QCustomPlot& chart)
    {
        QVector<double> ad;
        for (double d : chart.yAxis->tickVector())
            if (chart.yAxis->range().contains(d))
                ad.append(d);
        return ad;
    }
    // At least two labels on the left axis, each a label's height or more from the next,
    // so that they can be read as a scale.
    static void ExpectReadableLeftLabels(const QCustomPlot& chart, const char* pszWhat)
    {
        const QVector<double> ad = LeftLabels(chart);
        EXPECT_GE(ad.size(), 2) << pszWhat << " at " << chart.height() << " px: " << ad.size() << " label(s)";
        const int nLabel = QFontMetrics(chart.yAxis->tickLabelFont()).height();
        for (qsizetype i = 1; i < ad.size(); ++i)
            EXPECT_GE(chart.yAxis->coordToPixel(ad.at(i - 1)) - chart.yAxis->coordToPixel(ad.at(i)), nLabel)
                << pszWhat << " at " << chart.height() << " px: " << ad.at(i - 1) << " and " << ad.at(i)
                << " overlap";
    }

    static void SendMouse(QWidget& w, QEvent::Type type, Qt::MouseButton button, QPoint pos)
    {
        const Qt::MouseButtons buttons =
            type == QEvent::MouseButtonRelease ? Qt::NoButton : Qt::MouseButtons(button);
        QMouseEvent ev(type, QPointF(pos), QPointF(w.mapToGlobal(pos)),
                       type == QEvent::MouseMove ? Qt::NoButton : button, buttons, Qt::NoModifier);
        QCoreApplication::sendEvent(&w, &ev);
    }
    static void Drag(QWidget& w, Qt::MouseButton button, QPoint from, QPoint to)
    {
        SendMouse(w, QEvent::MouseButtonPress, button, from);
        SendMouse(w, QEvent::MouseMove, button, (from + to) / 2);
        SendMouse(w, QEvent::MouseMove, button, to);
        SendMouse(w, QEvent::MouseButtonRelease, button, to);
    }

    QTemporaryDir dirApp;
    QTemporaryDir dirData;
    std::unique_ptr<TCfg> cfg;
    const QString sID = QStringLiteral("M01");
};
