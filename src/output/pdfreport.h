#pragma once

#include "output/print.h"
#include "monitors/monitor.h"

#include <QDate>
#include <QPageSize>
#include <QString>
#include <QStringList>


class TCfg;
class TExclusions;
class TTQMonitors;

// One report page printed into a PDF file without a window or a dialog, for scheduled
// jobs: the page's grid or charts are built off-screen as the main window builds them
// for the chosen monitors and days, and go through the print run of File > Print. The
// file appears whole or not at all, as the print run writes every PDF file: an
// earlier file of that name stays until the new one is complete on the disk.
class TPdfReport final
{
public:
    TPdfReport(TCfg& cfg, const TTQMonitors& mons, TMonitorSel aMons, const QDate& dtFrom, const QDate& dtTo);
    Q_DISABLE_COPY_MOVE(TPdfReport)

    // The paper and its orientation; A4 upright unless changed.
    void SetPaper(QPageSize::PageSizeId id, bool bLandscape)
    {
        idPaper = id;
        bLandscapePaper = bLandscape;
    }

    // The exclusions the report's figures leave out; none (the default): raw figures.
    void SetExclusions(TExclusions* p) { pExcl = p; }

    // Prints report into sFile and returns the number of pages; 0 with Error() when
    // nothing was written (the file cannot be written, or there is nothing to print).
    // sReport is a name of ReportNames().
    int Write(const QString& sReport, const QString& sFile);
    const QString& Error() const { return sError; }

    // The command-line names of the reports ("periodic-chart", ... "summary"), in
    // the order of the report kinds and their pages.
    static QStringList ReportNames();

private:
    int Print(const QString& sReport, const QString& sPdf);

    TCfg& cfg;
    const TTQMonitors& mons;
    TMonitorSel aMons;
    TExclusions* pExcl = nullptr;
    QDate dtFrom;
    QDate dtTo;
    QPageSize::PageSizeId idPaper = QPageSize::A4;
    bool bLandscapePaper = false;
    QString sError;
};
