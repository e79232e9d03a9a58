#include "dialogs/help.h"

#include <QDir>
#include <QDirIterator>
#include <QFile>
#include <QFileInfo>
#include <QPointer>
#include <QPushButton>
#include <QRegularExpression>
#include <QSet>
#include <QTemporaryDir>
#include <QTest>
#include <QTextBrowser>

#include <gtest/gtest.h>

namespace {

// The pages the program's menus and dialogs open.
const QStringList& HelpPages()
{
    static const QStringList sl{QStringLiteral("overview.html"),
                                QStringLiteral("reptypes/periodic.html"),
                                QStringLiteral("reptypes/alarms.html"),
                                QStringLiteral("reptypes/profile.html"),
                                QStringLiteral("reptypes/summary.html"),
                                QStringLiteral("reptypes/events.html"),
                                QStringLiteral("reptypes/calibrations.html"),
                                QStringLiteral("preferences/program.html"),
                                QStringLiteral("preferences/reports.html"),
                                QStringLiteral("preferences/html_prn.html"),
                                QStringLiteral("preferences/rating.html"),
                                QStringLiteral("preferences/events.html"),
                                QStringLiteral("preferences/weather.html"),
                                QStringLiteral("output/html.html"),
                                QStringLiteral("output/printing.html"),
                                QStringLiteral("output/clipboard.html")};
    return sl;
}

bool WriteFile(const QString& sPath, const QByteArray& ba)
{
    QDir().mkpath(QFileInfo(sPath).absolutePath());
    QFile f(sPath);
    return f.open(QIODevice::WriteOnly) && f.write(ba) == ba.size();
}

class TformHelpTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        ASSERT_TRUE(dir.isValid());
        sFolder = dir.path() + QStringLiteral("/help-rp/");
        ASSERT_TRUE(WriteFile(sFolder + QStringLiteral("contents.html"),
                              "<html><body><a href=\"overview.html\">Overview</a> "
                              "<a href=\"reptypes/periodic.html\">Periodic</a> "
                              "<a href=\"old-contents.html\">Old</a></body></html>"));
        ASSERT_TRUE(
            WriteFile(sFolder + QStringLiteral("old-contents.html"), "<html><body>old</body></html>"));
        ASSERT_TRUE(
            WriteFile(sFolder + QStringLiteral("overview.html"), "<html><body>overview</body></html>"));
        ASSERT_TRUE(WriteFile(sFolder + QStringLiteral("reptypes/periodic.html"),
                              "<html><body><a href=\"alarms.html\">Alarms</a> "
                              "<a href=\"../overview.html\">Up</a></body></html>"));
        ASSERT_TRUE(
            WriteFile(sFolder + QStringLiteral("reptypes/alarms.html"), "<html><body>alarms</body></html>"));
        help = std::make_unique<TformHelp>(sFolder);
        browserContents = help->findChild<QTextBrowser*>(QStringLiteral("browserContents"));
        browser = help->findChild<QTextBrowser*>(QStringLiteral("browser"));
        ASSERT_NE(browserContents, nullptr);
        ASSERT_NE(browser, nullptr);
    }

    QUrl Page(const QString& sPage) const { return QUrl::fromLocalFile(sFolder + sPage); }

    QTemporaryDir dir;
    QString sFolder;
    std::unique_ptr<TformHelp> help;
    QTextBrowser* browserContents = nullptr;
    QTextBrowser* browser = nullptr;
};

// --- Showing a page --------------------------------------------------------------------

TEST_F(TformHelpTest, ShowHelp_LoadsContentsLeftAndPageRightAndShows)
{
    help->ShowHelp(QStringLiteral("reptypes/periodic.html"));

    EXPECT_TRUE(help->isVisible());
    EXPECT_EQ(help->windowTitle(), QStringLiteral("Tarvik Reporter Help"));
    EXPECT_EQ(browserContents->source(), Page(QStringLiteral("contents.html")));
    EXPECT_EQ(browser->source(), Page(QStringLiteral("reptypes/periodic.html")));
    EXPECT_TRUE(browser->toPlainText().contains(QStringLiteral("Alarms")));
}

TEST_F(TformHelpTest, Close_OnlyHidesAndLaterShowHelpReusesTheWindow)
{
    help->ShowHelp(QStringLiteral("overview.html"));
    help->findChild<QPushButton*>(QStringLiteral("btnClose"))->click();
    EXPECT_FALSE(help->isVisible());

    help->ShowHelp(QStringLiteral("reptypes/alarms.html"));
    EXPECT_TRUE(help->isVisible());
    EXPECT_EQ(browser->source(), Page(QStringLiteral("reptypes/alarms.html")));

    // The window's own close box hides it too; the object lives on for the next call.
    QPointer<TformHelp> p(help.get());
    help->close();
    QCoreApplication::processEvents();
    ASSERT_FALSE(p.isNull());
    EXPECT_FALSE(help->isVisible());
    help->ShowHelp(QStringLiteral("overview.html"));
    EXPECT_TRUE(help->isVisible());
    EXPECT_EQ(browser->source(), Page(QStringLiteral("overview.html")));
}

TEST_F(TformHelpTest, ShowHelp_ReloadsAPageThatChangedOnDisk)
{
    help->ShowHelp(QStringLiteral("overview.html"));
    ASSERT_TRUE(WriteFile(sFolder + QStringLiteral("overview.html"), "<html><body>rewritten</body></html>"));
    help->ShowHelp(QStringLiteral("overview.html"));
    EXPECT_TRUE(browser->toPlainText().contains(QStringLiteral("rewritten")));
}

// --- Following links -----------------------------------------------------------------------

TEST_F(TformHelpTest, ContentsLink_OpensInThePagePaneAndContentsStay)
{
    help->ShowHelp(QStringLiteral("overview.html"));
    Q_EMIT browserContents->anchorClicked(QUrl(QStringLiteral("reptypes/periodic.html")));

    EXPECT_EQ(browser->source(), Page(QStringLiteral("reptypes/periodic.html")));
    EXPECT_EQ(browserContents->source(), Page(QStringLiteral("contents.html")));
}

TEST_F(TformHelpTest, ContentsLinkNamingContentsHtml_LoadsInTheContentsPane)
{
    help->ShowHelp(QStringLiteral("overview.html"));
    Q_EMIT browserContents->anchorClicked(QUrl(QStringLiteral("old-contents.html")));

    EXPECT_EQ(browserContents->source(), Page(QStringLiteral("old-contents.html")));
    EXPECT_EQ(browser->source(), Page(QStringLiteral("overview.html")));
}

TEST_F(TformHelpTest, PageLink_NavigatesThePagePaneRelativeToThePage)
{
    help->ShowHelp(QStringLiteral("reptypes/periodic.html"));
    Q_EMIT browser->anchorClicked(QUrl(QStringLiteral("alarms.html")));
    EXPECT_EQ(browser->source(), Page(QStringLiteral("reptypes/alarms.html")));

    help->ShowHelp(QStringLiteral("reptypes/periodic.html"));
    Q_EMIT browser->anchorClicked(QUrl(QStringLiteral("../overview.html")));
    EXPECT_EQ(browser->source(), Page(QStringLiteral("overview.html")));
    EXPECT_EQ(browserContents->source(), Page(QStringLiteral("contents.html")));
}

// --- The delivered help pages ----------------------------------------------------------------

QString HelpSourceDir()
{
    return QStringLiteral(TARVIK_HELP_SOURCE_DIR);
}

QStringList HtmlFiles()
{
    QStringList sl;
    QDirIterator it(HelpSourceDir(), {QStringLiteral("*.html")}, QDir::Files, QDirIterator::Subdirectories);
    while (it.hasNext())
        sl.append(it.next());
    return sl;
}

QStringList Links(const QString& sFile)
{
    QFile f(sFile);
    if (!f.open(QIODevice::ReadOnly))
        return {};
    const QString sHtml = QString::fromUtf8(f.readAll());
    static const QRegularExpression re(QStringLiteral("(?:href|src)\\s*=\\s*\"([^\"]*)\""),
                                       QRegularExpression::CaseInsensitiveOption);
    QStringList sl;
    for (auto m = re.globalMatch(sHtml); m.hasNext();)
        sl.append(m.next().captured(1));
    return sl;
}

TEST(HelpPages, EveryPageTheProgramOpensExists)
{
    for (const QString& sPage : HelpPages() + QStringList{QStringLiteral("contents.html")})
        EXPECT_TRUE(QFileInfo(HelpSourceDir() + sPage).isFile()) << qPrintable(sPage);
}

TEST(HelpPages, ContentsLinksToEveryPageByRelativeName)
{
    const QStringList slLinks = Links(HelpSourceDir() + QStringLiteral("contents.html"));
    for (const QString& sPage : HelpPages())
        EXPECT_TRUE(slLinks.contains(sPage)) << qPrintable(sPage);
}

TEST(HelpPages, EveryLocalLinkResolvesToAFile)
{
    const QStringList slFiles = HtmlFiles();
    ASSERT_GE(slFiles.size(), HelpPages().size() + 1);
    int nLinks = 0;
    for (const QString& sFile : slFiles) {
        for (const QString& sLink : Links(sFile)) {
            const QUrl url(sLink);
            if (!url.scheme().isEmpty()) {
                EXPECT_TRUE(url.scheme() == QLatin1String("https") || url.scheme() == QLatin1String("http") ||
                            url.scheme() == QLatin1String("mailto"))
                    << qPrintable(sFile) << ": " << qPrintable(sLink);
                continue;
            }
            const QString sPath = url.path();
            if (sPath.isEmpty())
                continue; // a jump within the page
            ++nLinks;
            const QString sTarget = QFileInfo(sFile).dir().filePath(sPath);
            EXPECT_TRUE(QFileInfo(sTarget).isFile()) << qPrintable(sFile) << ": " << qPrintable(sLink);
            EXPECT_TRUE(QDir::cleanPath(sTarget).startsWith(QDir::cleanPath(HelpSourceDir())))
                << qPrintable(sFile) << " leaves the help folder: " << qPrintable(sLink);
        }
    }
    EXPECT_GT(nLinks, HelpPages().size());
}

} // namespace
