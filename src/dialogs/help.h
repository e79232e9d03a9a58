#pragma once

#include <QPointer>
#include <QWidget>

class QPushButton;
class QTextBrowser;
class QUrl;

// The help window: the contents page on the left, the page being read on the right.
// One window serves the whole run; closing it only hides it.
class TformHelp final : public QWidget
{
    Q_OBJECT

public:
    // sHelpFolder is the program folder + "help-rp/", ending with the separator.
    explicit TformHelp(const QString& sHelpFolder, QWidget* parent = nullptr);
    Q_DISABLE_COPY_MOVE(TformHelp)

    // The window the help opens centred on, the first time it opens. The help is a
    // window of its own (no parent), so it stays usable beside a modal dialog.
    void SetOwner(QWidget* owner) { wOwner = owner; }

    // Loads the contents and the page (a name relative to the help folder, written
    // with "/"), then shows the window in front.
    void ShowHelp(const QString& sPage);

private:
    void browserContentsBeforeNavigate2(const QUrl& url);
    void browserAnchorClicked(const QUrl& url);
    void btnCloseClick();

    QString sHelpFolder;
    bool bPlaced = false;
    QPointer<QWidget> wOwner;
    QTextBrowser* browserContents = nullptr;
    QTextBrowser* browser = nullptr;
    QWidget* panelBtns = nullptr;
    QPushButton* btnClose = nullptr;
};
