#include "output/print.h"

#include "output/printcanvas.h"
#include "output/printtable.h"
#include "platform/wholefile.h"
#include "platform/writeerror.h"
#include "platform/datefmt.h"
#include "platform/product.h"
#include "settings/cfg.h"
#include "views/chartbase.h"
#include "views/grid.h"
#include "reports/markup.h"

#include <QApplication>
#include <QDir>
#include <QFileInfo>
#include <QLabel>
#include <QPainter>
#include <QPdfWriter>
#include <QPixmap>
#include <QPointer>
#include <QPrintDialog>
#include <QPrinter>
#include <QPushButton>
#include <QScopeGuard>
#include <QScrollArea>

#include <memory>
#include <vector>

namespace {
const QLatin1String sMaker("Kestrom");
const QLatin1String sDateFmt("MMM DD, YYYY");
const QString sDocName = QStringLiteral("Tarvik Report");

// Charts are rendered at this size whatever they look like on screen, then
// scaled, keeping their shape, to the body width or the height of their place.
constexpr int cxChartBitmap = 800;
constexpr int cyChartBitmap = 320;

constexpr int nTextPoints = 8;
constexpr int nNamePoints = nTextPoints + 2;

QPixmap ChartBitmap(TChartBase& chart)
{
    QPixmap bmp(cxChartBitmap, cyChartBitmap);
    bmp.fill(Qt::white);
    {
        QPainter painter(&bmp);
        painter.drawPixmap(0, 0, chart.toPixmap(cxChartBitmap, cyChartBitmap));
    }
    // Rendering laid the chart out for the bitmap; the screen gets its own layout
    // back at the next replot.
    chart.replot(QCustomPlot::rpQueuedReplot);
    return bmp;
}
} // namespace

TformPrint::TformPrint(const TCfg& cfgOwner, QWidget* mainWin)
    : QDialog(mainWin), cfg(cfgOwner), mainWindow(mainWin),
      btnCancel(new QPushButton(QStringLiteral("Cancel"), this))
{
    setWindowTitle(TProduct::AppTitle());
    setWindowFlags(Qt::Dialog | Qt::MSWindowsFixedSizeDialogHint | Qt::WindowTitleHint);
    setFixedSize(204, 96);

    auto* lbl = new QLabel(QStringLiteral("Printing, please wait..."), this);
    lbl->setAlignment(Qt::AlignHCenter | Qt::AlignTop);
    lbl->setGeometry(8, 18, 188, lbl->sizeHint().height());

    btnCancel->setObjectName(QStringLiteral("btnCancel"));
    btnCancel->setGeometry(64, 52, 75, 25);
    btnCancel->setAutoDefault(false);
    connect(btnCancel, &QPushButton::clicked, this, &TformPrint::btnCancelClick);
}

TformPrint::~TformPrint() = default;

void TformPrint::btnCancelClick()
{
    bCancelPrint = true;
    btnCancel->setEnabled(false);
}

void TformPrint::reject()
{
    // Escape or the close box during the run means Cancel, not a hidden window
    // over a job that goes on printing.
    if (bRunning)
        btnCancelClick();
    else
        QDialog::reject();
}

void TformPrint::changeEvent(QEvent* event)
{
    QDialog::changeEvent(event);
    if (event->type() != QEvent::ActivationChange || !bRunning || !isVisible() || isActiveWindow())
        return;
    // Only another window of this program taking over counts; switching to another
    // program is left alone.
    const QWidget* active = QApplication::activeWindow();
    if (active && active != this) {
        QApplication::beep();
        activateWindow();
    }
}

QList<TChartBase*> TformPrint::ChartsOf(const QWidget* scrollbox)
{
    QList<TChartBase*> charts;
    if (!scrollbox)
        return charts;
    const QWidget* holder = scrollbox;
    if (const auto* area = qobject_cast<const QScrollArea*>(scrollbox); area && area->widget())
        holder = area->widget();
    for (QObject* child : holder->children())
        if (auto* chart = qobject_cast<TChartBase*>(child))
            charts.append(chart);
    return charts;
}

int TformPrint::DoPrint(const TPrintJob& job, QPrinter* printer)
{
    sError.clear();
    if (!job.grid && ChartsOf(job.scrollbox).isEmpty())
        return 0;

    std::unique_ptr<QPrinter> printerOwn;
    if (!printer) {
        printerOwn = std::make_unique<QPrinter>(QPrinter::HighResolution);
        QPrintDialog dlg(printerOwn.get(), mainWindow);
        if (dlg.exec() != QDialog::Accepted)
            return 0;
        printer = printerOwn.get();
    }

    // Pending messages are processed while printing; a disabled main window cannot
    // start a rebuild that would free the charts or refill the grid being printed.
    // The progress window is a child of it, so it is enabled again on its own.
    const bool bMainWasEnabled = mainWindow && mainWindow->isEnabled();
    if (mainWindow)
        mainWindow->setEnabled(false);
    setEnabled(true);
    bRunning = true;
    const auto restore = qScopeGuard([this, bMainWasEnabled] {
        bRunning = false;
        hide();
        if (mainWindow && bMainWasEnabled)
            mainWindow->setEnabled(true);
    });

    show();
    repaint();
    printer->setDocName(sDocName);
    if (printer->outputFormat() == QPrinter::PdfFormat && !printer->outputFileName().isEmpty())
        return PrintPdfFile(job, *printer);
    return PrintRun(job, *printer, printer->resolution());
}

int TformPrint::PrintPdfFile(const TPrintJob& job, const QPrinter& printer)
{
    // The PDF engine does not look at the results of its writes; the file it writes
    // into checks every one, and the end marker shows that the engine got to the end.
    TWholeFile file(printer.outputFileName());
    if (!file.Open()) {
        sError = file.Error();
        return 0;
    }
    int nPages = 0;
    {
        QPdfWriter pdf(&file);
        pdf.setPdfVersion(printer.pdfVersion());
        pdf.setResolution(printer.resolution());
        pdf.setPageLayout(printer.pageLayout());
        pdf.setTitle(sDocName);
        pdf.setCreator(printer.creator());
        nPages = PrintRun(job, pdf, printer.resolution());
    }
    if (nPages <= 0) {
        sError = file.Error();
        return 0;
    }
    if (!file.Failed() && !file.EndsWith(QByteArrayLiteral("%%EOF"))) {
        file.Discard();
        sError = EWriteError::Text(QDir::toNativeSeparators(QFileInfo(printer.outputFileName()).absoluteFilePath()),
                                   QStringLiteral("the PDF file was not written to its end"));
        return 0;
    }
    if (!file.Commit()) {
        sError = file.Error();
        return 0;
    }
    return nPages;
}

int TformPrint::PrintRun(const TPrintJob& job, QPagedPaintDevice& printer, int nResolution)
{
    sTitle = job.sTitle;
    dtFrom = job.dtFrom;
    dtTo = job.dtTo;
    nPage = 1;

    const QRect rcPage = printer.pageLayout().paintRectPixels(nResolution);
    nPageWidth = rcPage.width();
    lay = TPrintLayout::ForPage(rcPage.width(), rcPage.height());

    TPrintCanvas canvas(printer);
    canvas.SetFontSize(nTextPoints);
    slNote = WrapText(canvas, job.sNote, lay.cxClient);
    if (job.grid)
        PrintGrid(canvas, *job.grid);
    else
        PrintCharts(canvas, ChartsOf(job.scrollbox));

    // Charts freed while the printer dialog was open can leave nothing to print.
    const bool bNothingDrawn = nPage == 1;
    if (bCancelPrint || bNothingDrawn || !canvas.Print(printer))
        return 0;
    return canvas.PageCount();
}

void TformPrint::PrintCharts(TPrintCanvas& canvas, const QList<TChartBase*>& charts)
{
    // A chart freed by something the processed messages did is skipped.
    QList<QPointer<TChartBase>> aCharts;
    for (TChartBase* chart : charts)
        aCharts.append(chart);

    canvas.SetFontSize(nTextPoints);
    const int L = canvas.TextHeight();
    const int chartH = lay.ChartHeight(L);
    int y = lay.yMarg;
    bool bPageStarted = false;
    bool bNewPagePending = false;
    for (const QPointer<TChartBase>& chart : std::as_const(aCharts)) {
        if (bCancelPrint)
            break;
        if (chart) {
            if (!bPageStarted) {
                if (bNewPagePending)
                    canvas.NewPage();
                DrawHeader(canvas);
                DrawFooter(canvas);
                DrawTitle(canvas, y, L);
                y += TitleLines() * L;
                bPageStarted = true;
            }
            // The image keeps its shape: stretched to the place of a chart on paper
            // turned sideways it would be drawn twice as wide as high.
            const TPrintLayout::TBox box = lay.ChartBox(y, chartH, cxChartBitmap, cyChartBitmap);
            canvas.StretchDraw(QRect(box.x, box.y, box.cx, box.cy), ChartBitmap(*chart));
            y += chartH + lay.cyGap;
            if (lay.PastBottom(y, chartH + lay.cyGap)) {
                y = lay.yMarg;
                bNewPagePending = true;
                bPageStarted = false;
            }
        }
        QCoreApplication::processEvents();
    }
}

void TformPrint::PrintGrid(TPrintCanvas& canvas, const TGridView& gridView)
{
    // The shown texts are taken first: the layout depends on every cell, and the
    // grid, one of the main window's permanent views, is not trusted to outlive the
    // messages processed while printing.
    std::vector<std::vector<TMarkedText>> aRows(size_t(gridView.RowCount()));
    for (int r = 0; r < gridView.RowCount(); ++r) {
        aRows[size_t(r)].reserve(size_t(gridView.ColCount()));
        for (int c = 0; c < gridView.ColCount(); ++c)
            aRows[size_t(r)].push_back(TMarkup::Shown(gridView.Cells(c, r)));
    }
    const TPrintTable tbl = TPrintTable::Fit(aRows, lay.cxClient, [&canvas](const QString& s, int nPts, bool bBold) {
        canvas.SetFontSize(nPts, bBold);
        return canvas.TextWidth(s);
    });

    canvas.SetFontSize(nTextPoints);
    int y = lay.yMarg;
    // Title and date line head the first page only.
    DrawTitle(canvas, y, canvas.TextHeight());
    y += TitleLines() * canvas.TextHeight();

    canvas.SetFontSize(tbl.nPoints);
    const int L = canvas.TextHeight();
    bool bPageStarted = false;
    bool bNewPagePending = false;
    for (size_t p = 0; p < tbl.aParts.size() && !bCancelPrint; ++p) {
        const TPrintTable::TPart& part = tbl.aParts[p];
        // Each further part of a table cut across starts a page of its own.
        if (p > 0) {
            y = lay.yMarg;
            bNewPagePending = true;
            bPageStarted = false;
        }
        for (int r = 0; r < int(aRows.size()) && !bCancelPrint; ++r) {
            const int cyRow = tbl.RowLines(aRows, r) * L;
            if (bPageStarted && lay.PastBottom(y, cyRow)) {
                y = lay.yMarg;
                bNewPagePending = true;
                bPageStarted = false;
            }
            if (!bPageStarted) {
                if (bNewPagePending)
                    canvas.NewPage();
                DrawHeader(canvas);
                DrawFooter(canvas);
                bPageStarted = true;
            }
            for (size_t i = 0; i < part.anCols.size(); ++i) {
                const int c = part.anCols[i];
                const QStringList slLines = tbl.Lines(aRows, r, c);
                if (slLines.isEmpty())
                    continue;
                const TMarkedText& mt = aRows[size_t(r)][size_t(c)];
                canvas.SetFontSize(mt.bName ? tbl.nPoints + 2 : tbl.nPoints, mt.bBold);
                if (mt.bDim)
                    canvas.SetColor(Qt::gray);
                // An excluded value keeps its place and reads as excluded, as on screen.
                QFont fontCell = canvas.Font();
                fontCell.setItalic(mt.bExcluded);
                canvas.SetFont(fontCell);
                for (int k = 0; k < slLines.size(); ++k)
                    canvas.TextOut(lay.xMarg + part.anX[i], y + k * L, slLines.at(k));
                canvas.SetColor(Qt::black);
                fontCell.setItalic(false);
                canvas.SetFont(fontCell);
            }
            canvas.SetFontSize(tbl.nPoints);
            y += cyRow;
            QCoreApplication::processEvents();
        }
    }
}

void TformPrint::DrawHeader(TPrintCanvas& canvas) const
{
    const QFont fontSaved = canvas.Font();
    canvas.SetFontSize(18, fontSaved.bold());
    const int yTop = lay.yMarg - 2 * canvas.TextHeight();
    canvas.TextOut(lay.xMarg, yTop, cfg.HtmlHeader());

    if (!cfg.HtmlHideLogo()) {
        canvas.SetFontSize(14, true);
        // The maker's name ends at the right margin; the program name starts under
        // its first letter.
        const int x = nPageWidth - lay.xMarg - canvas.TextWidth(sMaker);
        canvas.TextOut(x, yTop, sMaker);
        const int cyMaker = canvas.TextHeight();
        canvas.SetFontSize(10);
        canvas.TextOut(x, yTop + cyMaker, TProduct::AppTitle());
    }
    canvas.SetFont(fontSaved);
}

void TformPrint::DrawFooter(TPrintCanvas& canvas)
{
    const QFont fontSaved = canvas.Font();
    canvas.SetFontSize(nTextPoints, fontSaved.bold());
    const int y = lay.yMargBottom + 2 * canvas.TextHeight();
    canvas.TextOut(lay.xMarg, y,
                   QStringLiteral("Generated by ") + sMaker + QStringLiteral(" Tarvik-RP v") +
                       TProduct::Version() + QStringLiteral(" on ") +
                       TDateFmt::Format(QDate::currentDate(), QStringLiteral("ddd mmm d, yyyy")));
    if (nPage > 0) {
        // Page numbers of up to three digits end at the right margin.
        const int x = lay.xMarg + lay.cxClient - canvas.TextWidth(QStringLiteral("Page 000"));
        canvas.TextOut(x, y, QStringLiteral("Page ") + QString::number(nPage));
        ++nPage;
    }
    canvas.SetFont(fontSaved);
}

void TformPrint::DrawTitle(TPrintCanvas& canvas, int y, int nLine) const
{
    canvas.TextOut(lay.xMarg, y, sTitle);
    canvas.TextOut(lay.xMarg, y + nLine, DateLine());
    for (int i = 0; i < slNote.size(); ++i)
        canvas.TextOut(lay.xMarg, y + (2 + i) * nLine, slNote.at(i));
}

int TformPrint::TitleLines() const
{
    // Title, date line, the lines of the note, and a blank line.
    return 3 + int(slNote.size());
}

QStringList TformPrint::WrapText(const TPrintCanvas& canvas, const QString& s, int nWidth)
{
    QStringList sl;
    QString sLine;
    for (const QString& sWord : s.split(QLatin1Char(' '), Qt::SkipEmptyParts)) {
        const QString sLonger = sLine.isEmpty() ? sWord : sLine + QLatin1Char(' ') + sWord;
        if (!sLine.isEmpty() && canvas.TextWidth(sLonger) > nWidth) {
            sl << sLine;
            sLine = sWord;
        } else {
            sLine = sLonger;
        }
    }
    if (!sLine.isEmpty())
        sl << sLine;
    return sl;
}

QString TformPrint::DateLine() const
{
    if (dtFrom == dtTo)
        return QStringLiteral("Date: ") + TDateFmt::Format(dtFrom, sDateFmt);
    return QStringLiteral("Dates: ") + TDateFmt::Format(dtFrom, sDateFmt) + QStringLiteral(" to ") +
           TDateFmt::Format(dtTo, sDateFmt);
}
