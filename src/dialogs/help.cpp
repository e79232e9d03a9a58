#include "dialogs/help.h"

#include <QDesktopServices>
#include <QHBoxLayout>
#include <QPushButton>
#include <QTextBrowser>
#include <QUrl>
#include <QVBoxLayout>

namespace {

// Web and mail links leave the help for the user's own browser or mail program.
bool OpenOutside(const QUrl& url)
{
    const QString sScheme = url.scheme().toLower();
    if (sScheme != QLatin1String("http") && sScheme != QLatin1String("https") &&
        sScheme != QLatin1String("mailto"))
        return false;
    QDesktopServices::openUrl(url);
    return true;
}

// A link as written in a page is relative to that page.
QUrl Resolved(const QTextBrowser* br, const QUrl& url)
{
    return url.isRelative() ? br->source().resolved(url) : url;
}

// Loading the page a pane already shows reloads it, so an edited help file is seen.
void Load(QTextBrowser* br, const QUrl& url)
{
    if (br->source() == url)
        br->reload();
    else
        br->setSource(url);
}

} // namespace

TformHelp::TformHelp(const QString& sHelpFolderIn, QWidget* parent)
    : QWidget(parent, Qt::Window), sHelpFolder(sHelpFolderIn)
{
    setWindowTitle(QStringLiteral("Tarvik Reporter Help"));
    resize(769, 435);

    browserContents = new QTextBrowser(this);
    browserContents->setObjectName(QStringLiteral("browserContents"));
    browserContents->setFixedWidth(163);
    browserContents->setOpenLinks(false);
    browser = new QTextBrowser(this);
    browser->setObjectName(QStringLiteral("browser"));
    browser->setOpenLinks(false);

    panelBtns = new QWidget(this);
    panelBtns->setObjectName(QStringLiteral("panelBtns"));
    panelBtns->setFixedHeight(41);
    btnClose = new QPushButton(QStringLiteral("Close"), panelBtns);
    btnClose->setObjectName(QStringLiteral("btnClose"));
    auto* layBtns = new QHBoxLayout(panelBtns);
    layBtns->setContentsMargins(8, 8, 8, 8);
    layBtns->addStretch();
    layBtns->addWidget(btnClose);

    auto* layPanes = new QHBoxLayout;
    layPanes->setContentsMargins(0, 0, 0, 0);
    layPanes->setSpacing(2);
    layPanes->addWidget(browserContents);
    layPanes->addWidget(browser, 1);
    auto* layMain = new QVBoxLayout(this);
    layMain->setContentsMargins(0, 0, 0, 0);
    layMain->setSpacing(0);
    layMain->addLayout(layPanes, 1);
    layMain->addWidget(panelBtns);

    connect(browserContents, &QTextBrowser::anchorClicked, this, &TformHelp::browserContentsBeforeNavigate2);
    connect(browser, &QTextBrowser::anchorClicked, this, &TformHelp::browserAnchorClicked);
    connect(btnClose, &QPushButton::clicked, this, &TformHelp::btnCloseClick);
}

void TformHelp::ShowHelp(const QString& sPage)
{
    browserContentsBeforeNavigate2(QUrl::fromLocalFile(sHelpFolder + QStringLiteral("contents.html")));
    Load(browser, QUrl::fromLocalFile(sHelpFolder + sPage));
    const QWidget* owner = parentWidget() ? parentWidget()->window() : wOwner.data();
    if (!bPlaced && owner) {
        // Centred on the window that owns it the first time; afterwards it stays where
        // the user put it.
        QRect rc = frameGeometry();
        rc.moveCenter(owner->frameGeometry().center());
        move(rc.topLeft());
    }
    bPlaced = true;
    show();
    raise();
    activateWindow();
}

// The contents pane only ever shows the contents page: every other link it is asked
// to follow opens in the page pane.
void TformHelp::browserContentsBeforeNavigate2(const QUrl& url)
{
    const QUrl urlTarget = Resolved(browserContents, url);
    if (OpenOutside(urlTarget))
        return;
    if (urlTarget.toString().contains(QLatin1String("contents.html")))
        Load(browserContents, urlTarget);
    else
        Load(browser, urlTarget);
}

void TformHelp::browserAnchorClicked(const QUrl& url)
{
    const QUrl urlTarget = Resolved(browser, url);
    if (!OpenOutside(urlTarget))
        Load(browser, urlTarget);
}

void TformHelp::btnCloseClick()
{
    hide();
}
