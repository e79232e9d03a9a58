#include "output/print.h"

#include "output/printlayout.h"
#include "platform/datefmt.h"
#include "settings/cfg.h"
#include "views/almchart.h"
#include "views/grid.h"
#include "views/perchart.h"
#include "views/prfchart.h"
#include "views/stringgrid.h"

#include <QFile>
#include <QImage>
#include <QLabel>
#include <QPrinter>
#include <QProcess>
#include <QPushButton>
#include <QRegularExpression>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QTimer>

#include <gtest/gtest.h>

#include <memory>

namespace {
// A grid view whose cells the test writes directly.
class TTestGrid final : public TGridView
{
public:
    TTestGrid() : TGridView(true, nullptr) {}

    void Fill(const QList<QStringList>& rows)
    {
        Reload([&rows](TStringGrid& grid) {
            grid.SetRowCount(int(rows.size()));
            int nCols = 1;
            for (const QStringList& row : rows)
                nCols = std::max(nCols, int(row.size()));
            grid.SetColCount(nCols);
            for (int r = 0; r < rows.size(); ++r)
                for (int c = 0; c < rows.at(r).size(); ++c)
                    grid.SetCell(c, r, rows.at(r).at(c));
        });
    }
};

bool HavePdfToText()
{
    return !QStandardPaths::findExecutable(QStringLiteral("pdftotext")).isEmpty();
}

// Page counts are checked everywhere; the printed text only where pdftotext is installed.
#define REQUIRE_PDFTOTEXT()                                                                                  \
    do {                                                                                                     \
        if (!HavePdfToText())                                                                                \
            GTEST_SKIP() << "pdftotext (poppler-utils) is not installed: the printed text is not checked";   \
    } while (false)

QString PdfToText(const QString& sFile, const QString& sMode)
{
    QProcess proc;
    proc.start(QStringLiteral("pdftotext"), {sMode, sFile, QStringLiteral("-")});
    return proc.waitForFinished(30000) ? QString::fromUtf8(proc.readAllStandardOutput()) : QString();
}

// The text of each page, as pdftotext lays it out.
QStringList PdfPages(const QString& sFile)
{
    QStringList sl = PdfToText(sFile, QStringLiteral("-layout")).split(QLatin1Char('\f'));
    sl.removeLast(); // what follows the last page's form feed
    return sl;
}

// Height of the box of the first word sWord; 0 when absent.
double WordHeight(const QString& sFile, const QString& sWord)
{
    const QRegularExpression re(
        QLatin1String(R"re(yMin="([\d.]+)" xMax="[\d.]+" yMax="([\d.]+)">([^<]*)</word>)re"));
    for (const auto& m : re.globalMatch(PdfToText(sFile, QStringLiteral("-bbox"))))
        if (m.captured(3) == sWord)
            return m.captured(2).toDouble() - m.captured(1).toDouble();
    return 0;
}
// Box of the first word sWord in points (x, y, width, height); empty when absent.
QRectF WordBox(const QString& sFile, const QString& sWord)
{
    const QRegularExpression re(QLatin1String(
        R"re(xMin="([\d.]+)" yMin="([\d.]+)" xMax="([\d.]+)" yMax="([\d.]+)">([^<]*)</word>)re"));
    for (const auto& m : re.globalMatch(PdfToText(sFile, QStringLiteral("-bbox"))))
        if (m.captured(5) == sWord)
            return QRectF(QPointF(m.captured(1).toDouble(), m.captured(2).toDouble()),
                          QPointF(m.captured(3).toDouble(), m.captured(4).toDouble()));
    return {};
}

// The darkest grey level (0 black, 255 white) inside a box of points of page 1.
int DarkestIn(const QString& sFile, const QRectF& rcPoints)
{
    const QString sBase = sFile + QStringLiteral("-page");
    QProcess proc;
    proc.start(QStringLiteral("pdftoppm"),
               {QStringLiteral("-r"), QStringLiteral("144"), QStringLiteral("-png"),
                QStringLiteral("-singlefile"), sFile, sBase});
    if (!proc.waitForFinished(30000))
        return -1;
    const QImage img(sBase + QStringLiteral(".png"));
    if (img.isNull())
        return -1;
    const QRect rc(QPoint(int(rcPoints.left() * 2), int(rcPoints.top() * 2)),
                   QPoint(int(rcPoints.right() * 2), int(rcPoints.bottom() * 2)));
    int nDarkest = 255;
    for (int y = rc.top(); y <= rc.bottom(); ++y)
        for (int x = rc.left(); x <= rc.right(); ++x)
            nDarkest = std::min(nDarkest, qGray(img.pixel(x, y)));
    return nDarkest;
}
} // namespace

class TPrintTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        ASSERT_TRUE(dirApp.isValid());
        ASSERT_TRUE(dirData.isValid());
        ASSERT_TRUE(dirOut.isValid());
        cfg = std::make_unique<TCfg>(dirApp.path());
        cfg->SetDataPath(dirData.path());
        cfg->SetHtmlHeader(QStringLiteral("Harbour Works Noise"));
        printer.setOutputFormat(QPrinter::PdfFormat);
        printer.setOutputFileName(sPdf);
        printer.setPageSize(QPageSize(QPageSize::A4));
    }

    int Print(const TPrintJob& job)
    {
        TformPrint form(*cfg, &mainWindow);
        return form.DoPrint(job, &printer);
    }

    static TPrintJob GridJob(const TGridView& grid, const QDate& dtFrom, const QDate& dtTo)
    {
        return {QStringLiteral("Alarm List"), dtFrom, dtTo, &grid, nullptr, QString()};
    }

    QTemporaryDir dirApp, dirData, dirOut;
    std::unique_ptr<TCfg> cfg;
    QWidget mainWindow;
    const QString sPdf = dirOut.filePath(QStringLiteral("out.pdf"));
    QPrinter printer{QPrinter::HighResolution};
    const QString sFooter = QStringLiteral("Generated by Kestrom Tarvik-RP v1.3.0 on ") +
                            TDateFmt::Format(QDate::currentDate(), QStringLiteral("ddd mmm d, yyyy"));
};

// --- page arithmetic --------------------------------------------------------

TEST(TPrintLayout, ForPage_A4At600Dpi)
{
    const TPrintLayout lay = TPrintLayout::ForPage(4960, 7016);
    EXPECT_EQ(lay.xMarg, 496);
    EXPECT_EQ(lay.yMarg, 491);
    EXPECT_EQ(lay.yMargBottom, 6525);
    EXPECT_EQ(lay.cxClient, 3968);
    EXPECT_EQ(lay.cyClient, 6034);
    EXPECT_EQ(lay.cyGap, 175);
    EXPECT_EQ(lay.ChartHeight(77), 1696); // 5089 / 3 = 1696.33
    EXPECT_EQ(lay.ChartHeight(76), 1700); // 5099 / 3 = 1699.67
}

TEST(TPrintLayout, ChartHeight_ThreeChartsOnEveryOrdinaryPage)
{
    // The chart loop on A4 and Letter at common resolutions, for any line height an
    // 8-point font can have: after the title three charts fit and a fourth does not.
    for (const int nDpi : {300, 600, 1200}) {
        for (const auto& [dInchW, dInchH] : {std::pair{8.27, 11.69}, {8.5, 11.0}}) {
            const TPrintLayout lay = TPrintLayout::ForPage(int(dInchW * nDpi), int(dInchH * nDpi));
            for (double dLeading = 1.1; dLeading <= 1.4; dLeading += 0.05) {
                const int L = int(8.0 / 72 * nDpi * dLeading);
                const int h = lay.ChartHeight(L);
                int y = lay.yMarg + 3 * L;
                int nOnPage = 1;
                while (!lay.PastBottom(y += h + lay.cyGap, h + lay.cyGap))
                    ++nOnPage;
                EXPECT_EQ(nOnPage, 3) << nDpi << " dpi, " << dInchH << " in, L=" << L;
            }
        }
    }
}

// --- chart pages ------------------------------------------------------------

TEST_F(TPrintTest, Charts_FourChartsMakeTwoPagesEachWithHeadings)
{
    QWidget box;
    new TPerChart(*cfg, &box);
    new QLabel(QStringLiteral("not a chart"), &box);
    new TAlmChart(*cfg, &box);
    new TPrfChart(*cfg, &box);
    auto* last = new TPerChart(*cfg, &box);
    last->resize(400, 200);
    last->replot();
    const QRect rcAxis = last->axisRect()->rect();

    const TPrintJob job{QStringLiteral("Periodic Noise - Period = 15 minutes"),
                        QDate(2024, 3, 5),
                        QDate(2024, 3, 7),
                        nullptr,
                        &box,
                        QString()};
    EXPECT_EQ(Print(job), 2);

    // The bitmap is rendered without changing what the screen shows.
    QCoreApplication::processEvents();
    EXPECT_EQ(last->size(), QSize(400, 200));
    EXPECT_EQ(last->axisRect()->rect(), rcAxis);

    REQUIRE_PDFTOTEXT();
    const QStringList slPages = PdfPages(sPdf);
    ASSERT_EQ(slPages.size(), 2);
    for (int i = 0; i < 2; ++i) {
        const QString& s = slPages.at(i);
        EXPECT_TRUE(s.contains(job.sTitle)) << i;
        EXPECT_TRUE(s.contains(QStringLiteral("Dates: Mar 05, 2024 to Mar 07, 2024"))) << i;
        EXPECT_TRUE(s.contains(QStringLiteral("Harbour Works Noise"))) << i;
        EXPECT_TRUE(s.contains(QStringLiteral("Tarvik Reporter"))) << i;
        EXPECT_TRUE(s.contains(sFooter)) << i;
        EXPECT_TRUE(s.contains(QStringLiteral("Page %1").arg(i + 1))) << i;
    }
}

TEST_F(TPrintTest, Charts_NoChartInTheBoxPrintsNothing)
{
    QWidget box;
    new QLabel(QStringLiteral("no data"), &box);
    EXPECT_EQ(Print({QStringLiteral("Noise Profile"), QDate(2024, 3, 5), QDate(2024, 3, 5), nullptr, &box,
                     QString()}),
              0);
    EXPECT_FALSE(QFile::exists(sPdf)) << "not even a blank sheet";
    EXPECT_EQ(Print(TPrintJob()), 0);
}

// --- grid pages -------------------------------------------------------------

TEST_F(TPrintTest, Grid_DateLineAndHiddenLogo)
{
    TTestGrid grid;
    grid.Fill({{QStringLiteral("12:00:00")}});
    cfg->SetHtmlHideLogo(true);
    EXPECT_EQ(Print(GridJob(grid, QDate(2024, 3, 5), QDate(2024, 3, 5))), 1);
    REQUIRE_PDFTOTEXT();
    QString s = PdfPages(sPdf).join(QString());
    EXPECT_TRUE(s.contains(QStringLiteral("Date: Mar 05, 2024")));
    EXPECT_FALSE(s.contains(QStringLiteral("Dates:")));
    EXPECT_FALSE(s.contains(QStringLiteral(" to ")));
    // The header is the header text alone.
    EXPECT_TRUE(s.contains(QStringLiteral("Harbour Works Noise")));
    EXPECT_FALSE(s.contains(QStringLiteral("Tarvik Reporter")));
    EXPECT_EQ(s.count(QStringLiteral("Kestrom")), 1) << "only the footer names the maker";

    EXPECT_EQ(Print(GridJob(grid, QDate(2023, 12, 31), QDate(2024, 1, 2))), 1);
    s = PdfPages(sPdf).join(QString());
    EXPECT_TRUE(s.contains(QStringLiteral("Dates: Dec 31, 2023 to Jan 02, 2024")));
}

TEST_F(TPrintTest, Grid_LongTableHasTitleOnFirstPageOnly)
{
    QList<QStringList> rows;
    for (int r = 0; r < 300; ++r)
        rows.append(
            {QStringLiteral("Row%1").arg(r, 3, 10, QLatin1Char('0')), QStringLiteral("55.%1").arg(r % 10)});
    TTestGrid grid;
    grid.Fill(rows);
    const int nPages = Print(GridJob(grid, QDate(2024, 3, 5), QDate(2024, 3, 6)));
    EXPECT_GE(nPages, 3);
    REQUIRE_PDFTOTEXT();
    const QStringList slPages = PdfPages(sPdf);
    ASSERT_EQ(slPages.size(), nPages);
    int nRowsSeen = 0;
    for (int i = 0; i < nPages; ++i) {
        const QString& s = slPages.at(i);
        EXPECT_EQ(s.contains(QStringLiteral("Alarm List")), i == 0) << i;
        EXPECT_EQ(s.contains(QStringLiteral("Dates: Mar 05, 2024 to Mar 06, 2024")), i == 0) << i;
        EXPECT_TRUE(s.contains(QStringLiteral("Harbour Works Noise"))) << i;
        EXPECT_TRUE(s.contains(sFooter)) << i;
        EXPECT_TRUE(s.contains(QStringLiteral("Page %1").arg(i + 1))) << i;
        nRowsSeen += int(s.count(QStringLiteral("Row")));
    }
    EXPECT_EQ(nRowsSeen, 300) << "every row once, none lost at a page break";
    EXPECT_TRUE(slPages.last().contains(QStringLiteral("Row299")));
}

TEST_F(TPrintTest, Grid_MarkupBecomesFontChanges)
{
    cfg->SetHtmlHideLogo(true);
    TTestGrid grid;
    grid.Fill(
        {{QStringLiteral("~name~North Gate")},
         {QStringLiteral("~h~.Date"), QStringLiteral("~h~.Time"), QStringLiteral("^dB(A)")},
         {QStringLiteral("Plainword"), QStringLiteral("-"), QStringLiteral("-12.5"), QStringLiteral("^3")},
         {QStringLiteral("~name~A~Zed")}});
    EXPECT_EQ(Print(GridJob(grid, QDate(2024, 3, 5), QDate(2024, 3, 5))), 1);
    REQUIRE_PDFTOTEXT();
    const QString s = PdfPages(sPdf).join(QString());
    for (const char* sz : {"North Gate", "Date", "Time", "dB(A)", "Plainword", "3", "Zed"})
        EXPECT_TRUE(s.contains(QLatin1String(sz))) << sz;
    for (const char* sz : {"~", ".Date", "^", "12.5", "A~"})
        EXPECT_FALSE(s.contains(QLatin1String(sz))) << sz;
    // A monitor title prints at 10 points, two more than the other cells.
    const double cyName = WordHeight(sPdf, QStringLiteral("North"));
    const double cyPlain = WordHeight(sPdf, QStringLiteral("Plainword"));
    ASSERT_GT(cyPlain, 0);
    EXPECT_NEAR(cyName / cyPlain, 10.0 / 8.0, 0.08);
}

TEST_F(TPrintTest, Grid_NoteUnderTheDateLineAndLowValuesInGrey)
{
    cfg->SetHtmlHideLogo(true);
    TTestGrid grid;
    grid.Fill({{QStringLiteral("2024-03-05"), QStringLiteral("~low~48.2"), QStringLiteral("55.5")}});
    TPrintJob job = GridJob(grid, QDate(2024, 3, 5), QDate(2024, 3, 5));
    job.sNote = QStringLiteral("Grey: under 75 % of the periods have a value.");
    EXPECT_EQ(Print(job), 1);
    REQUIRE_PDFTOTEXT();
    // The layout mode may pad the words of a line; their order is what counts.
    const QString s = PdfPages(sPdf).join(QString()).simplified();
    const qsizetype iDate = s.indexOf(QStringLiteral("Date: Mar 05, 2024"));
    const qsizetype iNote = s.indexOf(job.sNote);
    const qsizetype iRow = s.indexOf(QStringLiteral("2024-03-05"));
    ASSERT_GE(iDate, 0);
    EXPECT_GT(iNote, iDate);
    EXPECT_GT(iRow, iNote) << "the note must not be overprinted by the first row";

    // A note longer than the page is wide runs on over further lines, every word kept.
    QStringList slWords;
    for (int i = 0; i < 60; ++i)
        slWords << QStringLiteral("word%1").arg(i, 2, 10, QLatin1Char('0'));
    job.sNote = slWords.join(QLatin1Char(' '));
    EXPECT_EQ(Print(job), 1);
    const QStringList slLines = PdfPages(sPdf).join(QString()).split(QLatin1Char('\n'));
    const QStringList slNoteLines = slLines.filter(QStringLiteral("word"));
    EXPECT_GE(slNoteLines.size(), 2);
    EXPECT_EQ(slNoteLines.join(QLatin1Char(' ')).simplified(), job.sNote);
    EXPECT_GT(slLines.indexOf(QRegularExpression(QStringLiteral("^\\s*2024-03-05.*"))),
              slLines.indexOf(slNoteLines.last()));

    if (QStandardPaths::findExecutable(QStringLiteral("pdftoppm")).isEmpty())
        GTEST_SKIP() << "pdftoppm is not installed: the colours are not checked";
    // Grey text has no pixel near black; the plain value beside it has.
    const int nLow = DarkestIn(sPdf, WordBox(sPdf, QStringLiteral("48.2")));
    const int nPlain = DarkestIn(sPdf, WordBox(sPdf, QStringLiteral("55.5")));
    EXPECT_LT(nPlain, 60);
    EXPECT_GT(nLow, 90);
    EXPECT_LT(nLow, 200);
}

// --- the run ----------------------------------------------------------------

TEST_F(TPrintTest, Cancel_AbortsTheJobAndGivesTheMainWindowBack)
{
    QList<QStringList> rows(200, QStringList{QStringLiteral("12:00:00")});
    TTestGrid grid;
    grid.Fill(rows);
    TformPrint form(*cfg, &mainWindow);
    bool bMainEnabledDuringRun = true;
    // Runs at the first message processing, after the first row.
    QTimer::singleShot(0, &form, [&] {
        bMainEnabledDuringRun = mainWindow.isEnabled();
        auto* btn = form.findChild<QPushButton*>(QStringLiteral("btnCancel"));
        ASSERT_NE(btn, nullptr);
        EXPECT_EQ(btn->text(), QStringLiteral("Cancel"));
        btn->click(); // does nothing on a disabled button
        EXPECT_FALSE(btn->isEnabled());
    });
    EXPECT_EQ(form.DoPrint(GridJob(grid, QDate(2024, 3, 5), QDate(2024, 3, 5)), &printer), 0);
    EXPECT_FALSE(bMainEnabledDuringRun);
    EXPECT_TRUE(mainWindow.isEnabled());
    EXPECT_FALSE(form.isVisible());
    EXPECT_FALSE(QFile::exists(sPdf)) << "nothing already laid out reaches the printer";
}
