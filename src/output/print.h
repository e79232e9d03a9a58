#pragma once

#include "output/printlayout.h"

#include <QDate>
#include <QDialog>
#include <QList>
#include <QString>
#include <QStringList>

class QPagedPaintDevice;
class QPrinter;
class QPushButton;
class TCfg;
class TChartBase;
class TPrintCanvas;
class TGridView;

// What the report page in front holds: a grid or the charts of a scroll box.
struct TPrintJob
{
    QString sTitle; // e.g. "Periodic Noise - Period = 15 minutes", "Alarm List"
    QDate dtFrom, dtTo;
    const TGridView* grid = nullptr;    // a grid page, or
    const QWidget* scrollbox = nullptr; // a chart page: its chart children, in child order
    QString sNote;                      // a line under the date line, when the report needs one
};

// The print run and its small progress window with a Cancel button. Made by the main
// window for one print and released after it.
class TformPrint final : public QDialog
{
    Q_OBJECT

public:
    TformPrint(const TCfg& cfg, QWidget* mainWindow);
    ~TformPrint() override;
    Q_DISABLE_COPY_MOVE(TformPrint)

    // Prints the page in front. Asks for a printer unless one is given. Returns the
    // number of pages printed: 0 when nothing was (printer dialog cancelled, Cancel
    // pressed, nothing to print, or the file could not be written: see Error()).
    //
    // A printer that prints into a PDF file writes it whole or not at all: the pages
    // go to a temporary file that takes the file's name only once it is complete and
    // on the disk, so a full disk or a refused folder leaves any earlier file as it was.
    int DoPrint(const TPrintJob& job, QPrinter* printer = nullptr);
    // Why the last DoPrint wrote no file, e.g. "Unable to write to /r/a.pdf: No space
    // left on device"; empty when it succeeded or nothing was asked of the disk.
    const QString& Error() const { return sError; }

    // The charts a chart page prints: the chart children of the scroll box (of its
    // client widget when it is a scroll area), in child order.
    static QList<TChartBase*> ChartsOf(const QWidget* scrollbox);

    // Escape and the close box cancel a run in progress.
    void reject() override;

protected:
    // The progress window stays in front of the main window for the whole run.
    void changeEvent(QEvent* event) override;

private:
    void btnCancelClick();

    int PrintRun(const TPrintJob& job, QPagedPaintDevice& printer, int nResolution);
    int PrintPdfFile(const TPrintJob& job, const QPrinter& printer);
    void PrintCharts(TPrintCanvas& canvas, const QList<TChartBase*>& charts);
    void PrintGrid(TPrintCanvas& canvas, const TGridView& grid);

    void DrawHeader(TPrintCanvas& canvas) const;
    void DrawFooter(TPrintCanvas& canvas);
    void DrawTitle(TPrintCanvas& canvas, int y, int nLine) const;
    int TitleLines() const;
    // s in lines no wider than nWidth in the canvas's font, broken between words.
    static QStringList WrapText(const TPrintCanvas& canvas, const QString& s, int nWidth);
    QString DateLine() const;

    const TCfg& cfg;
    QWidget* mainWindow;
    QPushButton* btnCancel; // owned through Qt parenting

    QString sError;
    QString sTitle;
    QStringList slNote; // the job's note, wrapped to the page width
    QDate dtFrom, dtTo;
    bool bCancelPrint = false;
    bool bRunning = false;
    TPrintLayout lay;
    int nPageWidth = 0;
    int nPage = 0; // page counter of the footer
};
