#include "output/print.h"

#include "output/printlayout.h"
#include "output/printtable.h"
#include "platform/wholefile.h"
#include "platform/datefmt.h"
#include "settings/cfg.h"
#include "views/almchart.h"
#include "views/grid.h"
#include "views/perchart.h"
#include "views/prfchart.h"
#include "reports/stringgrid.h"

#include <QDir>
#include <QFile>
#include <QFontMetrics>
#include <QImage>
#include <QLabel>
#include <QPrinter>
#include <QProcess>
#include <QPushButton>
#include <QRegularExpression>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QTimer>

#include "reports/markup.h"

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

// The right end of the rightmost word of every page, and the page's text, in points.
double RightmostWord(const QString& sFile)
{
    const QRegularExpression re(QLatin1String(R"re(xMax="([\d.]+)" yMax="[\d.]+">)re"));
    double dMax = 0;
    for (const auto& m : re.globalMatch(PdfToText(sFile, QStringLiteral("-bbox"))))
        dMax = std::max(dMax, m.captured(1).toDouble());
    return dMax;
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

TEST(TPrintLayout, ChartBox_ImageKeepsItsShapeOnEveryPaper)
{
    // Regression: on A4 turned sideways the 800 x 320 images were stretched to the
    // body width, 88 x 178 pixels an inch, drawn twice as wide as high.
    for (const QPageSize::PageSizeId id : {QPageSize::A4, QPageSize::Letter}) {
        for (const bool bLandscape : {false, true}) {
            const QPageLayout layout(QPageSize(id), bLandscape ? QPageLayout::Landscape : QPageLayout::Portrait,
                                     QMarginsF());
            const QRect rc = layout.paintRectPixels(1200);
            const TPrintLayout lay = TPrintLayout::ForPage(rc.width(), rc.height());
            const int h = lay.ChartHeight(160);
            const TPrintLayout::TBox box = lay.ChartBox(1000, h, 800, 320);
            EXPECT_NEAR(double(box.cx) / box.cy, 2.5, 0.01) << id << bLandscape;
            EXPECT_LE(box.cy, h);
            EXPECT_GE(box.x, lay.xMarg);
            EXPECT_LE(box.x + box.cx, lay.xMarg + lay.cxClient);
            EXPECT_EQ(box.y, 1000);
            if (bLandscape) {
                // The height binds: as high as the place, centred.
                EXPECT_EQ(box.cy, h);
                EXPECT_LE(std::abs((box.x - lay.xMarg) - (lay.xMarg + lay.cxClient - box.x - box.cx)), 1);
            } else {
                // Upright the image keeps (nearly) the full body width, as before.
                EXPECT_GE(box.cx, lay.cxClient * 0.95);
            }
        }
    }
}

// A table as the exceedances counts print it, with texts longer than today's.
std::vector<std::vector<TMarkedText>> WideTable()
{
    QList<QStringList> rows{
        {QStringLiteral("~name~North Gate")},
        {QStringLiteral("~h~Date"), QStringLiteral("~h~Band"), QStringLiteral("~h~Parameter"),
         QStringLiteral("~h~Highest"), QStringLiteral("~h~Limit"), QStringLiteral("~h~Margin"),
         QStringLiteral("~h~Rule"), QStringLiteral("~h~Periods"), QStringLiteral("~h~Coverage"),
         QStringLiteral("~h~Exceeded"), QStringLiteral("~h~Worst at date and time")},
    };
    for (int r = 0; r < 5; ++r)
        rows.append({QStringLiteral("2026-12-0%1").arg(r + 1), QStringLiteral("23:00-07:00"),
                     QStringLiteral("LAeq,1s max"), QStringLiteral("88.6"), QStringLiteral("60.0"),
                     QStringLiteral("^28.6"), QStringLiteral("Night limit, LAeq,1s max"), QStringLiteral("24"),
                     QStringLiteral("100.0"), QStringLiteral("^3"), QStringLiteral("2026-12-01 10:15")});
    std::vector<std::vector<TMarkedText>> aRows;
    for (const QStringList& row : std::as_const(rows)) {
        aRows.emplace_back();
        for (const QString& s : row)
            aRows.back().push_back(TMarkup::Shown(s));
    }
    return aRows;
}

// The periodic grid of a monitor with many parameters: date, time and 40 columns.
std::vector<std::vector<TMarkedText>> ManyParameters()
{
    std::vector<std::vector<TMarkedText>> aRows(4);
    aRows[0].push_back(TMarkup::Shown(QStringLiteral("~name~North Gate")));
    aRows[1].push_back(TMarkup::Shown(QStringLiteral("~h~Date")));
    aRows[1].push_back(TMarkup::Shown(QStringLiteral("~h~Time")));
    for (int c = 0; c < 40; ++c)
        aRows[1].push_back(TMarkup::Shown(QStringLiteral("~h~LAF%1").arg(c + 1)));
    for (int r = 2; r < 4; ++r) {
        aRows[size_t(r)].push_back(TMarkup::Shown(QStringLiteral("2026-12-01")));
        aRows[size_t(r)].push_back(TMarkup::Shown(QStringLiteral("10:15")));
        for (int c = 0; c < 40; ++c)
            aRows[size_t(r)].push_back(TMarkup::Shown(QStringLiteral("101.5")));
    }
    return aRows;
}

TEST(TPrintTable, EveryPartFitsTheBodyOnA4AndLetterBothWays)
{
    QPrinter printer(QPrinter::HighResolution);
    printer.setOutputFormat(QPrinter::PdfFormat);
    const auto measure = [&printer](const QString& s, int nPts, bool bBold) {
        QFont font;
        font.setPointSize(nPts);
        font.setBold(bBold);
        return QFontMetrics(font, &printer).horizontalAdvance(s);
    };
    for (const QPageSize::PageSizeId id : {QPageSize::A4, QPageSize::Letter}) {
        for (const bool bLandscape : {false, true}) {
            printer.setPageSize(QPageSize(id));
            printer.setPageOrientation(bLandscape ? QPageLayout::Landscape : QPageLayout::Portrait);
            const QRect rc = printer.pageLayout().paintRectPixels(printer.resolution());
            const TPrintLayout lay = TPrintLayout::ForPage(rc.width(), rc.height());
            for (const auto& aRows : {WideTable(), ManyParameters()}) {
                const TPrintTable tbl = TPrintTable::Fit(aRows, lay.cxClient, measure);
                EXPECT_GE(tbl.nPoints, TPrintTable::MinPoints);
                EXPECT_LE(tbl.Width(), lay.cxClient) << id << bLandscape;
                // Every column is printed once, the date and time in front of every part.
                std::vector<int> anSeen(aRows[1].size(), 0);
                for (const TPrintTable::TPart& part : tbl.aParts) {
                    ASSERT_GE(part.anCols.size(), 2u);
                    if (tbl.aParts.size() > 1) {
                        EXPECT_EQ(part.anCols[0], 0);
                        EXPECT_EQ(part.anCols[1], 1);
                    }
                    for (size_t i = 0; i < part.anCols.size(); ++i) {
                        ++anSeen[size_t(part.anCols[i])];
                        // The next column starts after the widest text of this one.
                        if (i + 1 < part.anCols.size()) {
                            EXPECT_GT(part.anX[i + 1], part.anX[i] + tbl.anWidth[size_t(part.anCols[i])]);
                        }
                    }
                }
                for (size_t c = 2; c < anSeen.size(); ++c)
                    EXPECT_EQ(anSeen[c], 1) << c;
                // Every heading line fits its column.
                for (int c = 0; c < int(aRows[1].size()); ++c)
                    for (const QString& sLine : tbl.Lines(aRows, 1, c))
                        EXPECT_LE(measure(sLine, tbl.nPoints, true), tbl.anWidth[size_t(c)]) << sLine.toStdString();
            }
        }
    }
    // Forty parameters cannot share one upright A4 page at a readable size.
    printer.setPageSize(QPageSize(QPageSize::A4));
    printer.setPageOrientation(QPageLayout::Portrait);
    const QRect rc = printer.pageLayout().paintRectPixels(printer.resolution());
    EXPECT_GT(TPrintTable::Fit(ManyParameters(), TPrintLayout::ForPage(rc.width(), rc.height()).cxClient, measure)
                  .aParts.size(),
              1u);
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

// An excluded value prints in italic with its text as it is, the tag never; the next
// cell goes back to the upright type.
TEST_F(TPrintTest, Grid_ExcludedValuesInItalicTheRestUpright)
{
    if (QStandardPaths::findExecutable(QStringLiteral("pdffonts")).isEmpty())
        GTEST_SKIP() << "pdffonts (poppler-utils) is not installed: the type is not checked";
    auto fonts = [this] {
        QProcess proc;
        proc.start(QStringLiteral("pdffonts"), {sPdf});
        return proc.waitForFinished(30000) ? QString::fromUtf8(proc.readAllStandardOutput()) : QString();
    };
    auto italic = [](const QString& sFonts) {
        return sFonts.contains(QStringLiteral("Italic"), Qt::CaseInsensitive) ||
               sFonts.contains(QStringLiteral("Oblique"), Qt::CaseInsensitive);
    };
    cfg->SetHtmlHideLogo(true);
    TTestGrid plain;
    plain.Fill({{QStringLiteral("2024-03-05"), QStringLiteral("48.2"), QStringLiteral("55.5")}});
    EXPECT_EQ(Print(GridJob(plain, QDate(2024, 3, 5), QDate(2024, 3, 5))), 1);
    const QString sPlainFonts = fonts();
    ASSERT_FALSE(sPlainFonts.isEmpty());
    EXPECT_FALSE(italic(sPlainFonts)) << qPrintable(sPlainFonts);

    TTestGrid grid;
    grid.Fill({{QStringLiteral("2024-03-05"), TMarkup::Excluded(QStringLiteral("48.2"), QStringLiteral("rain")),
                QStringLiteral("55.5")}});
    EXPECT_EQ(Print(GridJob(grid, QDate(2024, 3, 5), QDate(2024, 3, 5))), 1);
    EXPECT_TRUE(italic(fonts())) << qPrintable(fonts());
    REQUIRE_PDFTOTEXT();
    const QString s = PdfPages(sPdf).join(QString());
    EXPECT_TRUE(s.contains(QStringLiteral("48.2")));
    EXPECT_FALSE(s.contains(QStringLiteral("rain")));
    EXPECT_FALSE(s.contains(QStringLiteral("~")));
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

TEST_F(TPrintTest, Grid_WideTableStaysInsideTheBodyOnEveryPaper)
{
    // Regression: the exceedances table ran off upright A4 (words ending at x=599 on a
    // 595-point page, "2026-12-01 10:15" cut) and long rule names overprinted the next
    // column: the columns had fixed widths whatever their texts.
    QList<QStringList> rows;
    for (const auto& row : WideTable()) {
        rows.append(QStringList());
        for (const TMarkedText& mt : row)
            rows.back().append(mt.bName ? QStringLiteral("~name~") + mt.sText
                                        : (mt.bBold ? QStringLiteral("~h~") : QString()) + mt.sText);
    }
    TTestGrid grid;
    grid.Fill(rows);
    cfg->SetHtmlHideLogo(true);
    for (const QPageSize::PageSizeId id : {QPageSize::A4, QPageSize::Letter}) {
        for (const bool bLandscape : {false, true}) {
            printer.setPageSize(QPageSize(id));
            printer.setPageOrientation(bLandscape ? QPageLayout::Landscape : QPageLayout::Portrait);
            ASSERT_EQ(Print(GridJob(grid, QDate(2026, 12, 1), QDate(2026, 12, 5))), 1);
            if (!HavePdfToText())
                continue;
            // The body ends a tenth of the printable width before its right edge.
            const QRectF rc = printer.pageLayout().paintRect(QPageLayout::Point);
            EXPECT_LE(RightmostWord(sPdf), rc.left() + rc.width() * 0.9 + 0.5) << id << bLandscape;
            const QString s = PdfPages(sPdf).join(QString());
            EXPECT_EQ(s.count(QStringLiteral("2026-12-01 10:15")), 5);
            EXPECT_EQ(s.count(QStringLiteral("Night limit, LAeq,1s max")), 5);
        }
    }
}

TEST_F(TPrintTest, PdfFile_FullDiskKeepsTheEarlierFileAndSaysWhy)
{
    // Regression: the PDF engine does not report refused writes, so a full disk left a
    // truncated file renamed over the good one and the run counted as a success.
    QList<QStringList> rows;
    for (int r = 0; r < 300; ++r)
        rows.append({QStringLiteral("Row%1").arg(r), QStringLiteral("55.5")});
    TTestGrid grid;
    grid.Fill(rows);
    const TPrintJob job = GridJob(grid, QDate(2024, 3, 5), QDate(2024, 3, 6));
    ASSERT_GT(Print(job), 0);
    QFile f(sPdf);
    ASSERT_TRUE(f.open(QIODevice::ReadOnly));
    const QByteArray baGood = f.readAll();
    f.close();
    const auto entries = [this] {
        return QDir(dirOut.path()).entryList(QDir::AllEntries | QDir::Hidden | QDir::NoDotAndDotDot);
    };

    for (const qint64 nRoom : {qint64(0), qint64(1000), baGood.size() - 3}) {
        TWholeFile::SetRoomForTests(nRoom);
        TformPrint form(*cfg, &mainWindow);
        EXPECT_EQ(form.DoPrint(job, &printer), 0) << nRoom;
        TWholeFile::SetRoomForTests(-1);
        EXPECT_EQ(form.Error(), QStringLiteral("Unable to write to ") + QDir::toNativeSeparators(sPdf) +
                                    QStringLiteral(": No space left on device"));
        ASSERT_TRUE(f.open(QIODevice::ReadOnly));
        EXPECT_EQ(f.readAll(), baGood) << "the earlier file is never replaced by a worse one";
        f.close();
        EXPECT_EQ(entries(), QStringList{QStringLiteral("out.pdf")}) << "no temporary file is left";
    }

    // A missing folder and a folder in the file's place are refused with their reasons.
    TformPrint form(*cfg, &mainWindow);
    printer.setOutputFileName(dirOut.filePath(QStringLiteral("none/out.pdf")));
    EXPECT_EQ(form.DoPrint(job, &printer), 0);
    EXPECT_TRUE(form.Error().endsWith(QStringLiteral("none/out.pdf: No such file or directory")))
        << form.Error().toStdString();
    printer.setOutputFileName(dirOut.path());
    EXPECT_EQ(form.DoPrint(job, &printer), 0);
    EXPECT_TRUE(form.Error().endsWith(QStringLiteral(": Is a directory"))) << form.Error().toStdString();
    EXPECT_EQ(entries(), QStringList{QStringLiteral("out.pdf")});
}
