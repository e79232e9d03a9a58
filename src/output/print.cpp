#include "output/print.h"

#include "output/printcanvas.h"
#include "platform/datefmt.h"
#include "platform/product.h"
#include "settings/cfg.h"
#include "views/chartbase.h"
#include "views/grid.h"
#include "views/markup.h"

#include <QApplication>
#include <QLabel>
#include <QPainter>
#include <QPixmap>
#include <QPointer>
#include <QPrintDialog>
#include <QPrinter>
#include <QPushButton>
#include <QScopeGuard>
#include <QScrollArea>

#include <memory>

namespace {
const QLatin1String sMaker("Kestrom");
const QLatin1String sDateFmt("MMM DD, YYYY");

// Charts are rendered at this size whatever they look like on screen, then
// stretched to the body width.
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

QString TPrintJob::Title(EPrintReport report, int nPeriod)
{
    const QString sPeriod = QStringLiteral(" - Period = ") + QString::number(nPeriod) + QStringLiteral(" minutes");
    switch (report) {
    case EPrintReport::PerChart:
    case EPrintReport::PerTable:
        return QStringLiteral("Periodic Noise") + sPeriod;
    case EPrintReport::AlmChart:
        return QStringLiteral("Noise Alarm Count");
    case EPrintReport::AlmTable:
        return QStringLiteral("Alarm Table") + sPeriod;
    case EPrintReport::AlmList:
        return QStringLiteral("Alarm List");
    case EPrintReport::Profile:
        return QStringLiteral("Noise Profile");
    case EPrintReport::Calibrations:
        return QStringLiteral("Calibrations");
    case EPrintReport::Summary:
        return QStringLiteral("Daily Rating Levels") + sPeriod;
    case EPrintReport::EvtList:
        return QStringLiteral("Noise Events");
    case EPrintReport::EvtChart:
        return QStringLiteral("Noise Events per Hour");
    case EPrintReport::Exceedances:
        return QStringLiteral("Noise Limit Exceedances") + sPeriod;
    }
    return QString();
}

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
    return PrintRun(job, *printer);
}

int TformPrint::PrintRun(const TPrintJob& job, QPrinter& printer)
{
    sTitle = job.sTitle;
    dtFrom = job.dtFrom;
    dtTo = job.dtTo;
    nPage = 1;

    printer.setDocName(QStringLiteral("Tarvik Report"));
    const QRect rcPage = printer.pageLayout().paintRectPixels(printer.resolution());
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
            canvas.StretchDraw(QRect(lay.xMarg, y, lay.cxClient, chartH), ChartBitmap(*chart));
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
    // The grid is one of the main window's permanent views, but the processed
    // messages are not trusted to leave it alive.
    const QPointer<const TGridView> grid(&gridView);
    canvas.SetFontSize(nTextPoints);
    const int nWide = canvas.TextWidth(QStringLiteral("OOOOOOOOOO"));
    const int nNarrow = canvas.TextWidth(QStringLiteral("OOOOOOO"));
    const int L = canvas.TextHeight();
    int y = lay.yMarg;

    // Title and date line head the first page only.
    DrawTitle(canvas, y, L);
    y += TitleLines() * L;

    bool bPageStarted = false;
    bool bNewPagePending = false;
    for (int r = 0; grid && r < grid->RowCount() && !bCancelPrint; ++r) {
        if (!bPageStarted) {
            if (bNewPagePending)
                canvas.NewPage();
            DrawHeader(canvas);
            DrawFooter(canvas);
            bPageStarted = true;
        }
        int x = lay.xMarg;
        for (int c = 0; c < grid->ColCount(); ++c) {
            const TMarkedText mt = TMarkup::Shown(grid->Cells(c, r));
            if (!mt.sText.isEmpty()) {
                canvas.SetFontSize(mt.bName ? nNamePoints : nTextPoints, mt.bBold);
                if (mt.bDim)
                    canvas.SetColor(Qt::gray);
                canvas.TextOut(x, y, mt.sText);
                canvas.SetColor(Qt::black);
                canvas.SetFontSize(nTextPoints);
            }
            x += c < 2 ? nWide : nNarrow;
        }
        y += L;
        if (lay.PastBottom(y, L)) {
            y = lay.yMarg;
            bNewPagePending = true;
            bPageStarted = false;
        }
        QCoreApplication::processEvents();
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
