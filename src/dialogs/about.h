#pragma once

#include <QDialog>

class QDateTime;
class QLabel;
class QNetworkAccessManager;
class QNetworkReply;
class QPushButton;
class QTimer;

// The about box: name, version, the maker's web site and contact address, and a
// check with the update server whether a newer version has been published. The check
// starts a second after the box is shown, runs once and never blocks the box.
class TformAbout final : public QDialog
{
    Q_OBJECT

public:
    explicit TformAbout(QWidget* parent = nullptr);
    Q_DISABLE_COPY_MOVE(TformAbout)

    // major.minor.build as major * 65536 + minor * 256 + build; -1 when the text is not
    // such a version. Blanks and control characters around the parts are skipped.
    static int VersionValue(const QString& s);
    // The form body of the update request at the given local time: "action=rpver&x=T",
    // T in whole seconds since 30 December 1899, 00:00.
    static QByteArray UpdateRequestBody(const QDateTime& dtNow);

    // The maker's web site (without scheme) for a locale name such as "en-GB".
    static QString WebSiteFor(const QString& sLocaleName);

    // Sets the update line from the server's answer.
    void ShowUpdateResult(const QString& sResponse);
    // Sends the update request; the answer arrives later.
    void CheckForUpdate();
    // How long the request may go without progress before it counts as failed.
    void SetUpdateTimeout(int nMs) { nTimeoutMs = nMs; }

protected:
    void showEvent(QShowEvent* e) override;
    bool eventFilter(QObject* obj, QEvent* e) override;

private:
    void FormShow();
    void timerUpdatesTimer();
    void UpdateReplyFinished(QNetworkReply* reply);
    void OpenDownloadPage();
    void lblLinkWebClick();
    void lblLinkEmailClick();

    QString sWebUrl;
    int nTimeoutMs = 10000;
    bool bUpdateLink = false;
    QLabel* lblTitle = nullptr;
    QLabel* lblVersion = nullptr;
    QLabel* lblLinkWeb = nullptr;
    QLabel* lblLinkEmail = nullptr;
    QLabel* lblUpdate = nullptr;
    QPushButton* btnClose = nullptr;
    QTimer* timerUpdates = nullptr;
    QNetworkAccessManager* nam = nullptr;
};
