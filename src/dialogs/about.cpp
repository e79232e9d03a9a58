#include "dialogs/about.h"

#include "platform/product.h"

#include <QDateTime>
#include <QDesktopServices>
#include <QLabel>
#include <QLocale>
#include <QMouseEvent>
#include <QNetworkAccessManager>
#include <QNetworkProxy>
#include <QNetworkReply>
#include <QNetworkRequest>
#include <QPainter>
#include <QPushButton>
#include <QStringDecoder>
#include <QTimer>

#include <algorithm>
#include <limits>
#include <optional>

namespace {

QLabel* AddLabel(QWidget* parent, const QString& sText, int x, int y, const QString& sName = QString())
{
    auto* lbl = new QLabel(sText, parent);
    if (!sName.isEmpty())
        lbl->setObjectName(sName);
    lbl->move(x, y);
    lbl->adjustSize();
    return lbl;
}

void MakeLink(QLabel* lbl)
{
    QFont f = lbl->font();
    f.setUnderline(true);
    lbl->setFont(f);
    QPalette pal = lbl->palette();
    pal.setColor(QPalette::WindowText, Qt::blue);
    lbl->setPalette(pal);
    lbl->setCursor(Qt::PointingHandCursor);
}

// A level meter's three bars rising under a sound arc, white on the maker's blue.
QPixmap LogoPixmap()
{
    QPixmap pm(32, 32);
    pm.fill(Qt::transparent);
    QPainter p(&pm);
    p.setRenderHint(QPainter::Antialiasing);
    p.setPen(Qt::NoPen);
    p.setBrush(QColor(0, 0, 136));
    p.drawRoundedRect(QRectF(0.5, 0.5, 31, 31), 6, 6);
    p.setBrush(Qt::white);
    p.drawRect(QRectF(7, 19, 4, 7));
    p.drawRect(QRectF(14, 14, 4, 12));
    p.drawRect(QRectF(21, 9, 4, 17));
    p.setPen(QPen(Qt::white, 2));
    p.setBrush(Qt::NoBrush);
    p.drawArc(QRectF(5, 4, 22, 14), 30 * 16, 120 * 16);
    return pm;
}

// The charset parameter of a Content-Type header; empty when none is declared.
QByteArray Charset(const QByteArray& baContentType)
{
    for (const QByteArray& baPart : baContentType.split(';')) {
        const QByteArray ba = baPart.trimmed();
        if (ba.toLower().startsWith("charset="))
            return ba.mid(8).trimmed().replace('"', QByteArray());
    }
    return {};
}

bool IsAscii(const QByteArray& ba)
{
    return std::all_of(ba.begin(), ba.end(), [](char c) { return uchar(c) < 0x80; });
}

// The answer decoded by the charset it declares (UTF-8 when it declares none).
// A charset this program cannot decode still serves a plain ASCII answer, which
// every common charset spells the same way.
std::optional<QString> DecodeBody(const QByteArray& baBody, const QByteArray& baContentType)
{
    QByteArray baCharset = Charset(baContentType);
    if (baCharset.isEmpty())
        baCharset = "UTF-8";
    QStringDecoder dec(baCharset.constData());
    if (!dec.isValid()) {
        if (IsAscii(baBody))
            return QString::fromLatin1(baBody);
        return std::nullopt;
    }
    QString s = dec.decode(baBody);
    if (dec.hasError())
        return std::nullopt;
    return s;
}

} // namespace

TformAbout::TformAbout(QWidget* parent)
    : QDialog(parent, Qt::Dialog | Qt::WindowTitleHint | Qt::WindowSystemMenuHint | Qt::WindowCloseButtonHint)
{
    setWindowTitle(QStringLiteral("About Tarvik Reporter"));
    setFixedSize(317, 150);
    QFont fBase(QStringLiteral("Tahoma"));
    fBase.setPixelSize(11);
    setFont(fBase);

    QLabel* lblMaker = AddLabel(this, QStringLiteral("Kestrom"), 12, 6, QStringLiteral("lblMaker"));
    QFont fMaker(QStringLiteral("Arial Black"));
    fMaker.setPixelSize(21);
    fMaker.setWeight(QFont::Black);
    lblMaker->setFont(fMaker);
    lblMaker->adjustSize();

    auto* imgLogo = new QLabel(this);
    imgLogo->setObjectName(QStringLiteral("imgLogo"));
    imgLogo->setPixmap(LogoPixmap());
    imgLogo->setGeometry(273, 10, 32, 32);

    lblTitle = AddLabel(this, QString(), 12, 44, QStringLiteral("lblTitle"));
    QFont fTitle = fBase;
    fTitle.setPixelSize(13);
    fTitle.setBold(true);
    lblTitle->setFont(fTitle);
    lblVersion = AddLabel(this, QString(), 12, 64, QStringLiteral("lblVersion"));
    lblUpdate = AddLabel(this, QStringLiteral("Checking for updates..."), 0, 0, QStringLiteral("lblUpdate"));
    lblUpdate->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
    lblUpdate->setGeometry(90, 62, 215, lblUpdate->height() + 4);
    lblUpdate->installEventFilter(this);

    QLabel* lblTxtWeb = AddLabel(this, QStringLiteral("Web:"), 12, 90, QStringLiteral("lblTxtWeb"));
    QLabel* lblTxtEmail = AddLabel(this, QStringLiteral("Email:"), 12, 108, QStringLiteral("lblTxtEmail"));
    const int xLink = std::max(lblTxtWeb->width(), lblTxtEmail->width()) + 12 + 8;
    lblLinkWeb = AddLabel(this, QString(), xLink, 90, QStringLiteral("lblLinkWeb"));
    lblLinkEmail = AddLabel(this, TProduct::Email(), xLink, 108, QStringLiteral("lblLinkEmail"));
    for (QLabel* lbl : {lblLinkWeb, lblLinkEmail}) {
        MakeLink(lbl);
        lbl->adjustSize();
        lbl->installEventFilter(this);
    }

    btnClose = new QPushButton(QStringLiteral("Close"), this);
    btnClose->setObjectName(QStringLiteral("btnClose"));
    btnClose->setGeometry(230, 116, 75, 25);
    btnClose->setDefault(true);
    // Esc already rejects a dialog, which closes the box as the Close button does.
    connect(btnClose, &QPushButton::clicked, this, &QDialog::reject);

    timerUpdates = new QTimer(this);
    timerUpdates->setObjectName(QStringLiteral("timerUpdates"));
    timerUpdates->setInterval(1000);
    connect(timerUpdates, &QTimer::timeout, this, &TformAbout::timerUpdatesTimer);

    nam = new QNetworkAccessManager(this);
    nam->setProxy(QNetworkProxy::NoProxy);
}

QString TformAbout::WebSiteFor(const QString& sLocaleName)
{
    return sLocaleName == QLatin1String("en-GB") ? TProduct::WebSiteGB() : TProduct::WebSite();
}

int TformAbout::VersionValue(const QString& s)
{
    QStringList slTokens;
    QString sToken;
    for (const QChar c : s) {
        if (c == QLatin1Char('.') || c == QLatin1Char(' ') || c.unicode() < 0x20) {
            if (!sToken.isEmpty())
                slTokens.append(sToken);
            sToken.clear();
        } else {
            sToken.append(c);
        }
    }
    if (!sToken.isEmpty())
        slTokens.append(sToken);
    if (slTokens.size() < 3)
        return -1;

    qint64 nValue = 0;
    for (int i = 0; i < 3; ++i) {
        const QString& sPart = slTokens[i];
        const bool bDigits = std::all_of(sPart.begin(), sPart.end(), [](QChar c) {
            return c >= QLatin1Char('0') && c <= QLatin1Char('9');
        });
        bool bOk = false;
        const int n = sPart.toInt(&bOk);
        if (!bDigits || !bOk)
            return -1;
        // major * 65536 + minor * 256 + build; a minor or build of 256 or more spills
        // into the next part's weight.
        nValue = nValue * 256 + n;
    }
    return nValue <= std::numeric_limits<int>::max() ? int(nValue) : -1;
}

QByteArray TformAbout::UpdateRequestBody(const QDateTime& dtNow)
{
    const qint64 nDays = QDate(1899, 12, 30).daysTo(dtNow.date());
    const qint64 nSecs = nDays * 86400 + dtNow.time().msecsSinceStartOfDay() / 1000;
    return QByteArrayLiteral("action=rpver&x=") + QByteArray::number(nSecs);
}

void TformAbout::showEvent(QShowEvent* e)
{
    QDialog::showEvent(e);
    if (!e->spontaneous())
        FormShow();
}

void TformAbout::FormShow()
{
    lblTitle->setText(QStringLiteral("Tarvik-RP"));
    lblTitle->adjustSize();
    lblVersion->setText(QStringLiteral("v") + TProduct::Version());
    lblVersion->adjustSize();
    // The locale name as "en-GB"; a locale the system does not name keeps the
    // international address.
    sWebUrl = WebSiteFor(QLocale::system().name().replace(QLatin1Char('_'), QLatin1Char('-')));
    lblLinkWeb->setText(sWebUrl);
    lblLinkWeb->adjustSize();
    timerUpdates->start();
}

void TformAbout::timerUpdatesTimer()
{
    timerUpdates->stop();
    CheckForUpdate();
}

void TformAbout::CheckForUpdate()
{
    QNetworkRequest req{QUrl(TProduct::UpdateUrl())};
    req.setHeader(QNetworkRequest::ContentTypeHeader, QStringLiteral("application/x-www-form-urlencoded"));
    req.setTransferTimeout(nTimeoutMs);
    QNetworkReply* reply = nam->post(req, UpdateRequestBody(QDateTime::currentDateTime()));
    connect(reply, &QNetworkReply::finished, this, [this, reply] { UpdateReplyFinished(reply); });
}

void TformAbout::UpdateReplyFinished(QNetworkReply* reply)
{
    reply->deleteLater();
    const int nStatus = reply->attribute(QNetworkRequest::HttpStatusCodeAttribute).toInt();
    std::optional<QString> sBody;
    if (reply->error() == QNetworkReply::NoError && nStatus >= 200 && nStatus < 300)
        sBody = DecodeBody(reply->readAll(), reply->rawHeader("Content-Type"));
    if (sBody)
        ShowUpdateResult(*sBody);
    else
        lblUpdate->setText(QStringLiteral("Failed to contact server"));
}

void TformAbout::ShowUpdateResult(const QString& sResponse)
{
    if (VersionValue(TProduct::Version()) < VersionValue(sResponse)) {
        MakeLink(lblUpdate);
        lblUpdate->setText(QStringLiteral("New version available"));
        bUpdateLink = true;
    } else {
        lblUpdate->setText(QStringLiteral("Program is up to date"));
    }
}

void TformAbout::OpenDownloadPage()
{
    QDesktopServices::openUrl(QUrl(TProduct::UpdateUrl()));
    close();
}

void TformAbout::lblLinkWebClick()
{
    QDesktopServices::openUrl(QUrl(QStringLiteral("https://") + sWebUrl));
}

// "mailto:" takes the address straight after the colon; with "//" in between the
// mail program would see a malformed address.
void TformAbout::lblLinkEmailClick()
{
    QDesktopServices::openUrl(QUrl(QStringLiteral("mailto:") + TProduct::Email() +
                                   QStringLiteral("?subject=Tarvik%20Reporter%20v") + TProduct::Version()));
}

bool TformAbout::eventFilter(QObject* obj, QEvent* e)
{
    if (e->type() == QEvent::MouseButtonRelease && static_cast<QMouseEvent*>(e)->button() == Qt::LeftButton) {
        if (obj == lblLinkWeb) {
            lblLinkWebClick();
            return true;
        }
        if (obj == lblLinkEmail) {
            lblLinkEmailClick();
            return true;
        }
        if (obj == lblUpdate && bUpdateLink) {
            OpenDownloadPage();
            return true;
        }
    }
    return QDialog::eventFilter(obj, e);
}
