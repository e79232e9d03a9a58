#include "dialogs/cfg.h"

#include "platform/product.h"
#include "settings/cfg.h"
#include "analysis/events.h"
#include "analysis/limits.h"
#include "analysis/rating.h"
#include "dialogs/limitspage.h"
#include "dialogs/weatherpage.h"

#include <QCheckBox>
#include <QComboBox>
#include <QDoubleSpinBox>
#include <QFileDialog>
#include <QFrame>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QMessageBox>
#include <QPushButton>
#include <QSpinBox>
#include <QStyle>
#include <QTabWidget>
#include <QToolButton>

#include <algorithm>
#include <array>

namespace {

constexpr int nYValues = 13;

// The dialog keeps the designed positions; a caption wider than its designed box
// (the fonts here are wider than the ones the layout was drawn for) widens the box
// instead of being cut off.
void Place(QWidget* w, int x, int y, int cx = 0, int cy = 0)
{
    const QSize szHint = w->sizeHint();
    w->setGeometry(x, y, std::max(cx, szHint.width()), std::max(cy, szHint.height()));
}

QLabel* AddLabel(QWidget* parent, const QString& sText, int x, int y)
{
    auto* lbl = new QLabel(sText, parent);
    Place(lbl, x, y);
    return lbl;
}

// A grey line of explanation below the controls it is about.
// A right-aligned spin box of the Rating and Events pages.
QSpinBox* SpinBox(QWidget* parent, const char* szName, int nMin, int nMax, const QString& sSuffix)
{
    auto* w = new QSpinBox(parent);
    w->setObjectName(QLatin1String(szName));
    w->setRange(nMin, nMax);
    w->setSuffix(sSuffix);
    w->setAlignment(Qt::AlignRight);
    return w;
}

QLabel* AddHint(QWidget* parent, const QString& sText, int x, int y, int cx = 0)
{
    auto* lbl = new QLabel(sText, parent);
    QPalette pal = lbl->palette();
    pal.setColor(QPalette::WindowText, Qt::gray);
    lbl->setPalette(pal);
    Place(lbl, x, y, cx);
    return lbl;
}

// The designed left edge of a control beside a label, or further right when the
// label's text reaches that far.
int RightOf(const QLabel* lbl, int xDesigned)
{
    return std::max(xDesigned, lbl->geometry().right() + 6);
}

const QStringList& PageHelp()
{
    static const QStringList sl{
        QStringLiteral("preferences/program.html"), QStringLiteral("preferences/reports.html"),
        QStringLiteral("preferences/html_prn.html"), QStringLiteral("preferences/rating.html"),
        QStringLiteral("preferences/events.html"),
        QStringLiteral("preferences/limits.html"), QStringLiteral("preferences/weather.html")};
    return sl;
}

} // namespace

TformCfg::TformCfg(TCfg& cfgIn, std::function<void(const QString&)> fnShowHelpIn, QWidget* parent)
    : QDialog(parent,
              Qt::Dialog | Qt::WindowTitleHint | Qt::WindowSystemMenuHint | Qt::WindowCloseButtonHint),
      cfg(cfgIn), fnShowHelp(std::move(fnShowHelpIn))
{
    setWindowTitle(QStringLiteral("Tarvik Reporter Settings"));
    QFont fBase(QStringLiteral("Tahoma"));
    fBase.setPixelSize(11);
    setFont(fBase);

    pageCfg = new QTabWidget(this);
    pageCfg->setObjectName(QStringLiteral("pageCfg"));
    pageCfg->setGeometry(8, 8, 410, 193);
    auto* tabProg = new QWidget(pageCfg);
    tabProg->setObjectName(QStringLiteral("tabProg"));
    auto* tabRepPer = new QWidget(pageCfg);
    tabRepPer->setObjectName(QStringLiteral("tabRepPer"));
    auto* tabHtml = new QWidget(pageCfg);
    tabHtml->setObjectName(QStringLiteral("tabHtml"));
    auto* tabRating = new QWidget(pageCfg);
    tabRating->setObjectName(QStringLiteral("tabRating"));
    pageCfg->addTab(tabProg, QStringLiteral("Program"));
    pageCfg->addTab(tabRepPer, QStringLiteral("Reports"));
    pageCfg->addTab(tabHtml, QStringLiteral("HTML && Printing"));
    pageCfg->addTab(tabRating, QStringLiteral("Rating"));
    auto* tabEvents = new QWidget(pageCfg);
    tabEvents->setObjectName(QStringLiteral("tabEvents"));
    pageCfg->addTab(tabEvents, QStringLiteral("Events"));
    CreateProgramPage(tabProg);
    CreateReportsPage(tabRepPer);
    CreateHtmlPage(tabHtml);
    CreateRatingPage(tabRating);
    CreateEventsPage(tabEvents);
    pageLimits = new TLimitsPage(pageCfg);
    pageLimits->setObjectName(QStringLiteral("tabLimits"));
    pageCfg->addTab(pageLimits, QStringLiteral("Limits"));
    pageWeather = new TWeatherPage(pageCfg);
    pageWeather->setObjectName(QStringLiteral("tabWeather"));
    pageCfg->addTab(pageWeather, QStringLiteral("Weather"));

    btnHelp = new QPushButton(QStringLiteral("&Help"), this);
    btnHelp->setObjectName(QStringLiteral("btnHelp"));
    btnHelp->setGeometry(8, 229, 75, 25);
    btnHelp->setAutoDefault(false);
    btnOK = new QPushButton(QStringLiteral("OK"), this);
    btnOK->setObjectName(QStringLiteral("btnOK"));
    btnOK->setGeometry(258, 229, 75, 25);
    btnOK->setDefault(true);
    btnCancel = new QPushButton(QStringLiteral("Cancel"), this);
    btnCancel->setObjectName(QStringLiteral("btnCancel"));
    btnCancel->setGeometry(339, 229, 75, 25);
    btnCancel->setAutoDefault(false);

    FitWidth();
    connect(pageCfg, &QTabWidget::currentChanged, this, [this] {
        if (pageCfg->currentWidget() == pageLimits || pageCfg->currentWidget() == pageWeather)
            FitLimitsPage();
    });

    connect(btnDir, &QToolButton::clicked, this, &TformCfg::btnDirClick);
    connect(btnOK, &QPushButton::clicked, this, &TformCfg::btnOKClick);
    connect(btnCancel, &QPushButton::clicked, this, &QDialog::reject);
    connect(btnHelp, &QPushButton::clicked, this, &TformCfg::btnHelpClick);
    connect(chkAutoYAxis, &QCheckBox::clicked, this, &TformCfg::chkAutoYAxisClick);
    // activated is the user's pick only, so the two lists adjusting each other and the
    // filling below do not set off a chain of changes.
    connect(comboYMin, &QComboBox::activated, this, &TformCfg::comboYMinChange);
    connect(comboYMax, &QComboBox::activated, this, &TformCfg::comboYMaxChange);
    connect(chkLdenLimit, &QCheckBox::toggled, spinLdenLimit, &QWidget::setEnabled);
    connect(chkNightLimit, &QCheckBox::toggled, spinNightLimit, &QWidget::setEnabled);

    fnMessage = [this](const QString& s) {
        QMessageBox box(QMessageBox::Critical, TProduct::AppTitle(), s, QMessageBox::Ok, this);
        box.exec();
    };

    FormCreate();
}

void TformCfg::CreateProgramPage(QWidget* tab)
{
    chkAutoRefresh = new QCheckBox(QStringLiteral("Auto refresh reports on new data"), tab);
    chkAutoRefresh->setObjectName(QStringLiteral("chkAutoRefresh"));
    Place(chkAutoRefresh, 17, 24, 224, 17);

    QLabel* lblDataPath = AddLabel(tab, QStringLiteral("Data Path"), 17, 108);
    lblDataPath->setObjectName(QStringLiteral("lblDataPath"));
    const int xEdit = RightOf(lblDataPath, 71);
    editDataPath = new QLineEdit(tab);
    editDataPath->setObjectName(QStringLiteral("editDataPath"));
    editDataPath->setGeometry(xEdit, 105, 275, 21);
    btnDir = new QToolButton(tab);
    btnDir->setObjectName(QStringLiteral("btnDir"));
    btnDir->setAutoRaise(true);
    btnDir->setIcon(style()->standardIcon(QStyle::SP_DirOpenIcon));
    btnDir->setToolTip(QStringLiteral("Select Tarvik Data Path"));
    btnDir->setGeometry(xEdit + 281, 105, 23, 22);

    AddHint(tab, QStringLiteral("Leave blank to use default Tarvik Supervisor data path"), xEdit, 130, 279)
        ->setObjectName(QStringLiteral("lblDefaultPath"));
}

void TformCfg::CreateReportsPage(QWidget* tab)
{
    AddLabel(tab, QStringLiteral("Period Measurements"), 17, 12)->setObjectName(QStringLiteral("lblParams"));
    chklstPerParams = new QListWidget(tab);
    chklstPerParams->setObjectName(QStringLiteral("chklstPerParams"));
    chklstPerParams->setGeometry(12, 28, 121, 128);

    AddLabel(tab, QStringLiteral("Noise Chart Y Axes"), 191, 12)->setObjectName(QStringLiteral("lblYAxis"));
    auto* panelYAxis = new QFrame(tab);
    panelYAxis->setObjectName(QStringLiteral("panelYAxis"));
    panelYAxis->setFrameShape(QFrame::Box);
    panelYAxis->setFrameShadow(QFrame::Plain);
    panelYAxis->setGeometry(186, 28, 185, 128);

    chkAutoYAxis = new QCheckBox(QStringLiteral("Automatic"), panelYAxis);
    chkAutoYAxis->setObjectName(QStringLiteral("chkAutoYAxis"));
    Place(chkAutoYAxis, 13, 13, 77, 17);
    comboYMin = new QComboBox(panelYAxis);
    comboYMin->setObjectName(QStringLiteral("comboYMin"));
    comboYMax = new QComboBox(panelYAxis);
    comboYMax->setObjectName(QStringLiteral("comboYMax"));
    // A wider font moves the lists and their units right rather than overlapping them.
    const int cxLabel = std::max(AddLabel(panelYAxis, QStringLiteral("Minimum"), 29, 45)->width(),
                                 AddLabel(panelYAxis, QStringLiteral("Maximum"), 29, 75)->width());
    const int xCombo = std::max(79, 29 + cxLabel + 4);
    Place(comboYMin, xCombo, 42, 48);
    Place(comboYMax, xCombo, 72, 48);
    const int xUnit = xCombo + comboYMin->width() + 5;
    AddLabel(panelYAxis, QStringLiteral("dB"), xUnit, 45);
    const QLabel* lblUnit = AddLabel(panelYAxis, QStringLiteral("dB"), xUnit, 75);
    panelYAxis->resize(std::max(panelYAxis->width(), lblUnit->geometry().right() + 8), panelYAxis->height());
}

void TformCfg::CreateHtmlPage(QWidget* tab)
{
    QLabel* lblHtmlHeader = AddLabel(tab, QStringLiteral("Page Header"), 12, 19);
    lblHtmlHeader->setObjectName(QStringLiteral("lblHtmlHeader"));
    editHtmlHeader = new QLineEdit(tab);
    editHtmlHeader->setObjectName(QStringLiteral("editHtmlHeader"));
    editHtmlHeader->setMaxLength(32);
    editHtmlHeader->setGeometry(RightOf(lblHtmlHeader, 80), 16, 194, 21);

    chkHtmlHideLogo = new QCheckBox(QStringLiteral("Hide Kestrom Logo"), tab);
    chkHtmlHideLogo->setObjectName(QStringLiteral("chkHtmlHideLogo"));
    Place(chkHtmlHideLogo, 12, 59, 142, 17);
    chkHtmlZoom = new QCheckBox(
        QStringLiteral("Include Zoomed Images in HTML reports (much slower export of charts)"), tab);
    chkHtmlZoom->setObjectName(QStringLiteral("chkHtmlZoom"));
    Place(chkHtmlZoom, 12, 90, 368, 17);

    QLabel* lblHtmlImages = AddLabel(tab, QStringLiteral("Chart Images"), 12, 124);
    lblHtmlImages->setObjectName(QStringLiteral("lblHtmlImages"));
    comboHtmlImages = new QComboBox(tab);
    comboHtmlImages->setObjectName(QStringLiteral("comboHtmlImages"));
    // Item i is the format of the same row; BMP keeps reports as they always were.
    comboHtmlImages->addItem(QStringLiteral("BMP"), QStringLiteral("bmp"));
    comboHtmlImages->addItem(QStringLiteral("PNG (much smaller files)"), QStringLiteral("png"));
    comboHtmlImages->setGeometry(RightOf(lblHtmlImages, 80), 121, 194, 21);
}

void TformCfg::CreateRatingPage(QWidget* tab)
{
    auto spin = [tab](const char* szName, int nMin, int nMax, const QString& sSuffix) {
        return SpinBox(tab, szName, nMin, nMax, sSuffix);
    };
    const QString sHour = QStringLiteral(":00");
    const QString sDB = QStringLiteral(" dB");

    // Left: a row per part of the day with its start hour and its penalty; the day has none.
    const std::array<int, rpPartCount> yRow{34, 62, 90};
    const std::array<const QLabel*, rpPartCount> lblParts{
        AddLabel(tab, QStringLiteral("Day"), 17, yRow[0] + 3),
        AddLabel(tab, QStringLiteral("Evening"), 17, yRow[1] + 3),
        AddLabel(tab, QStringLiteral("Night"), 17, yRow[2] + 3)};
    int xHour = 70;
    for (const QLabel* lbl : lblParts)
        xHour = RightOf(lbl, xHour);
    QLabel* lblStarts = AddLabel(tab, QStringLiteral("Starts at"), xHour, 14);
    spinDayHour = spin("spinDayHour", 0, 23, sHour);
    spinEveningHour = spin("spinEveningHour", 0, 23, sHour);
    spinNightHour = spin("spinNightHour", 0, 23, sHour);
    const int cxHour = std::max(58, lblStarts->width());
    Place(spinDayHour, xHour, yRow[0], cxHour, 21);
    Place(spinEveningHour, xHour, yRow[1], cxHour, 21);
    Place(spinNightHour, xHour, yRow[2], cxHour, 21);

    const int xPenalty = std::max(xHour + cxHour + 14, spinDayHour->geometry().right() + 14);
    QLabel* lblPenalty = AddLabel(tab, QStringLiteral("Penalty"), xPenalty, 14);
    spinEveningPenalty = spin("spinEveningPenalty", 0, 20, sDB);
    spinNightPenalty = spin("spinNightPenalty", 0, 20, sDB);
    const int cxPenalty = std::max(58, lblPenalty->width());
    Place(spinEveningPenalty, xPenalty, yRow[1], cxPenalty, 21);
    Place(spinNightPenalty, xPenalty, yRow[2], cxPenalty, 21);

    // Right: what a part needs to count as covered, and the optional limits.
    const int xRight = std::max(236, spinNightPenalty->geometry().right() + 24);
    QLabel* lblCoverage = AddLabel(tab, QStringLiteral("Coverage"), xRight, yRow[0] + 3);
    chkLdenLimit = new QCheckBox(QStringLiteral("Lden limit"), tab);
    chkLdenLimit->setObjectName(QStringLiteral("chkLdenLimit"));
    Place(chkLdenLimit, xRight, yRow[1] + 2);
    chkNightLimit = new QCheckBox(QStringLiteral("Lnight limit"), tab);
    chkNightLimit->setObjectName(QStringLiteral("chkNightLimit"));
    Place(chkNightLimit, xRight, yRow[2] + 2);
    const int xRightSpin =
        std::max({xRight + 80, lblCoverage->geometry().right() + 6, chkLdenLimit->geometry().right() + 6,
                  chkNightLimit->geometry().right() + 6});
    spinCoverage = spin("spinCoverage", 0, 100, QStringLiteral(" %"));
    spinLdenLimit = spin("spinLdenLimit", 30, 90, sDB);
    spinNightLimit = spin("spinNightLimit", 30, 90, sDB);
    Place(spinCoverage, xRightSpin, yRow[0], 58, 21);
    Place(spinLdenLimit, xRightSpin, yRow[1], 58, 21);
    Place(spinNightLimit, xRightSpin, yRow[2], 58, 21);
    spinLdenLimit->setEnabled(false);
    spinNightLimit->setEnabled(false);

    AddHint(tab, QStringLiteral("Levels of a part with less coverage than this are shown greyed."), 17, 130)
        ->setObjectName(QStringLiteral("lblRatingNote"));
}

void TformCfg::CreateEventsPage(QWidget* tab)
{
    auto spin = [tab](const char* szName, int nMin, int nMax, const QString& sSuffix) {
        return SpinBox(tab, szName, nMin, nMax, sSuffix);
    };
    auto edit = [tab](const char* szName) {
        auto* w = new QLineEdit(tab);
        w->setObjectName(QLatin1String(szName));
        w->setAlignment(Qt::AlignRight);
        return w;
    };
    const QString sHour = QStringLiteral(":00");
    const QString sSecs = QStringLiteral(" s");

    // Left: the thresholds of day and night with the hours at which each begins. A line
    // edit asks for far more width than a level needs, so its box is set as designed
    // and the captions after it start at its right edge rather than over it.
    auto after = [](const QWidget* w) { return w->geometry().right() + 5; };
    const QLabel* lblDay = AddLabel(tab, QStringLiteral("Day threshold"), 12, 17);
    const QLabel* lblNight = AddLabel(tab, QStringLiteral("Night threshold"), 12, 45);
    const int xThr = std::max(RightOf(lblDay, 96), RightOf(lblNight, 96));
    editEvtDayThreshold = edit("editEvtDayThreshold");
    editEvtNightThreshold = edit("editEvtNightThreshold");
    const int cxThr = std::max(44, editEvtDayThreshold->fontMetrics().horizontalAdvance(QStringLiteral("180.0")) + 12);
    editEvtDayThreshold->setGeometry(xThr, 14, cxThr, 21);
    editEvtNightThreshold->setGeometry(xThr, 42, cxThr, 21);
    const QLabel* lblDayFrom = AddLabel(tab, QStringLiteral("dB  from"), after(editEvtDayThreshold), 17);
    AddLabel(tab, QStringLiteral("dB  from"), after(editEvtNightThreshold), 45);
    const int xHour = after(lblDayFrom);
    spinEvtDayHour = spin("spinEvtDayHour", 0, 23, sHour);
    spinEvtNightHour = spin("spinEvtNightHour", 0, 23, sHour);
    Place(spinEvtDayHour, xHour, 14, 54, 21);
    Place(spinEvtNightHour, xHour, 42, 54, 21);
    chkEvtRatingHours = new QCheckBox(QStringLiteral("Hours as on the Rating page"), tab);
    chkEvtRatingHours->setObjectName(QStringLiteral("chkEvtRatingHours"));
    Place(chkEvtRatingHours, 12, 72);

    // Right: what makes an event.
    const int xRight = std::max({250, spinEvtDayHour->geometry().right() + 18, after(chkEvtRatingHours) + 8});
    const QLabel* lblMin = AddLabel(tab, QStringLiteral("Minimum"), xRight, 17);
    const QLabel* lblHang = AddLabel(tab, QStringLiteral("Hang time"), xRight, 45);
    chkEvtMaxDuration = new QCheckBox(QStringLiteral("Maximum"), tab);
    chkEvtMaxDuration->setObjectName(QStringLiteral("chkEvtMaxDuration"));
    Place(chkEvtMaxDuration, xRight, 72);
    const int xRightSpin = std::max({xRight + 72, after(lblMin), after(lblHang), after(chkEvtMaxDuration)});
    spinEvtMinDuration = spin("spinEvtMinDuration", 0, 86400, sSecs);
    spinEvtHangTime = spin("spinEvtHangTime", 0, 86400, sSecs);
    spinEvtMaxDuration = spin("spinEvtMaxDuration", 1, 86400, sSecs);
    Place(spinEvtMinDuration, xRightSpin, 14, 66, 21);
    Place(spinEvtHangTime, xRightSpin, 42, 66, 21);
    Place(spinEvtMaxDuration, xRightSpin, 70, 66, 21);

    const QLabel* lblLevels = AddLabel(tab, QStringLiteral("Count events above (dB)"), 12, 103);
    editEvtNLevels = new QLineEdit(tab);
    editEvtNLevels->setObjectName(QStringLiteral("editEvtNLevels"));
    editEvtNLevels->setGeometry(RightOf(lblLevels, 150), 100, 110, 21);

    // Relative to the background: the level exceeded 90 % of the preceding minutes plus
    // a margin, never below a floor under the fixed threshold.
    auto dbSpin = [tab](const char* szName) {
        auto* w = new QDoubleSpinBox(tab);
        w->setObjectName(QLatin1String(szName));
        w->setRange(0, 60);
        w->setDecimals(1);
        w->setSuffix(QStringLiteral(" dB"));
        w->setAlignment(Qt::AlignRight);
        return w;
    };
    chkEvtBackground = new QCheckBox(QStringLiteral("Relative to the background: L90 of the last"), tab);
    chkEvtBackground->setObjectName(QStringLiteral("chkEvtBackground"));
    Place(chkEvtBackground, 12, 130);
    spinEvtBgMinutes = spin("spinEvtBgMinutes", 1, 120, QStringLiteral(" min"));
    Place(spinEvtBgMinutes, after(chkEvtBackground), 128, 60, 21);
    const QLabel* lblPlus = AddLabel(tab, QStringLiteral("+"), after(spinEvtBgMinutes), 131);
    spinEvtBgMargin = dbSpin("spinEvtBgMargin");
    Place(spinEvtBgMargin, after(lblPlus), 128, 64, 21);
    const QLabel* lblFloor = AddLabel(tab, QStringLiteral("never below the fixed threshold less"), 30, 159);
    spinEvtBgFloorBelow = dbSpin("spinEvtBgFloorBelow");
    Place(spinEvtBgFloorBelow, after(lblFloor), 156, 64, 21);

    chkEvtShowSpans = new QCheckBox(QStringLiteral("Shade events on the profile chart"), tab);
    chkEvtShowSpans->setObjectName(QStringLiteral("chkEvtShowSpans"));
    Place(chkEvtShowSpans, 12, 183);
    chkEvtShowThreshold = new QCheckBox(QStringLiteral("Threshold line on the profile chart"), tab);
    chkEvtShowThreshold->setObjectName(QStringLiteral("chkEvtShowThreshold"));
    Place(chkEvtShowThreshold, 12, 205);

    connect(chkEvtRatingHours, &QCheckBox::clicked, this, [this] { chkEvtRatingHoursClick(); });
    connect(chkEvtMaxDuration, &QCheckBox::toggled, spinEvtMaxDuration, &QWidget::setEnabled);
    for (QWidget* w : std::initializer_list<QWidget*>{spinEvtBgMinutes, spinEvtBgMargin, spinEvtBgFloorBelow})
        connect(chkEvtBackground, &QCheckBox::toggled, w, &QWidget::setEnabled);
}

void TformCfg::chkEvtRatingHoursClick()
{
    const bool bRating = chkEvtRatingHours->isChecked();
    if (bRating) {
        spinEvtDayHour->setValue(spinDayHour->value());
        spinEvtNightHour->setValue(spinNightHour->value());
    }
    spinEvtDayHour->setEnabled(!bRating);
    spinEvtNightHour->setEnabled(!bRating);
}

// The designed client area is 426 x 262. A wider font than the one it was drawn for
// may push a caption past the page's right edge: the dialog then grows to the right
// and the OK and Cancel buttons move with its edge. The dialog may be made larger;
// the Limits page, a table of rules, makes it so when it comes in front.
void TformCfg::FitWidth()
{
    int xRight = 0;
    int yBottom = 0;
    for (int i = 0; i < pageCfg->count(); ++i) {
        const QWidget* tab = pageCfg->widget(i);
        if (tab == pageLimits || tab == pageWeather)
            continue; // laid out by its layout, to any width
        for (const QWidget* w : tab->findChildren<QWidget*>(Qt::FindDirectChildrenOnly)) {
            xRight = std::max(xRight, w->geometry().right());
            yBottom = std::max(yBottom, w->geometry().bottom());
        }
    }
    // The pages lie inside the tab frame, a few pixels narrower than the tab control
    // and some 26 pixels lower, under the tabs. A page with more rows than the design
    // grows the dialog downwards.
    const int cxGrow = std::max(0, xRight + 10 - (410 - 4));
    const int cyGrow = std::max(0, yBottom + 6 - (193 - 26));
    setMinimumSize(426 + cxGrow, 262 + cyGrow);
    resize(426 + cxGrow, 262 + cyGrow);
    PlaceControls();
}

void TformCfg::PlaceControls()
{
    pageCfg->setGeometry(8, 8, width() - 16, height() - 69);
    btnHelp->move(8, height() - 33);
    btnOK->move(width() - 168, height() - 33);
    btnCancel->move(width() - 87, height() - 33);
}

void TformCfg::resizeEvent(QResizeEvent* e)
{
    QDialog::resizeEvent(e);
    PlaceControls();
}

// Grows the dialog, never shrinks it, so that the Limits page shows its rows and
// every column of its table. The tab control's smallest size is the page's with the
// tabs and frame around it; the other pages are placed by hand and ask for none.
void TformCfg::FitLimitsPage()
{
    const QSize sz = pageCfg->minimumSizeHint();
    const int cx = sz.width() + (width() - pageCfg->width());
    const int cy = sz.height() + (height() - pageCfg->height());
    if (cx > width() || cy > height())
        resize(std::max(cx, width()), std::max(cy, height()));
}

void TformCfg::SetActivePage(int i)
{
    pageCfg->setCurrentIndex(i);
}

void TformCfg::SetMonitors(const std::vector<std::pair<QString, QString>>& aMons)
{
    pageLimits->SetMonitors(aMons);
    pageWeather->SetMonitors(aMons);
    pageWeather->Load(cfg);
}

void TformCfg::FormCreate()
{
    editDataPath->setText(cfg.DataPath());
    chkAutoRefresh->setChecked(cfg.AutoRefresh());

    for (const QString& sParam : MeasurementParams()) {
        auto* item = new QListWidgetItem(sParam, chklstPerParams);
        item->setFlags(Qt::ItemIsEnabled | Qt::ItemIsSelectable | Qt::ItemIsUserCheckable);
        item->setCheckState(cfg.GetPerParam(sParam) ? Qt::Checked : Qt::Unchecked);
    }

    chkAutoYAxis->setChecked(cfg.RepYAuto());
    for (int i = 0; i < nYValues; ++i) {
        comboYMin->addItem(QString::number(i * 10 + 10));
        comboYMax->addItem(QString::number(i * 10 + 20));
    }
    // A hand-edited value that is not in its list leaves the list without a selection.
    comboYMin->setCurrentIndex(comboYMin->findText(QString::number(cfg.RepYMin())));
    comboYMax->setCurrentIndex(comboYMax->findText(QString::number(cfg.RepYMax())));
    KeepYOrder(nullptr);
    chkAutoYAxisClick();

    editHtmlHeader->setText(cfg.HtmlHeader());
    chkHtmlHideLogo->setChecked(cfg.HtmlHideLogo());
    chkHtmlZoom->setChecked(cfg.HtmlZoom());
    comboHtmlImages->setCurrentIndex(std::max(0, comboHtmlImages->findData(cfg.HtmlImageFormat())));

    spinDayHour->setValue(cfg.RatingDayHour());
    spinEveningHour->setValue(cfg.RatingEveningHour());
    spinNightHour->setValue(cfg.RatingNightHour());
    spinEveningPenalty->setValue(cfg.RatingEveningPenalty());
    spinNightPenalty->setValue(cfg.RatingNightPenalty());
    spinCoverage->setValue(cfg.RatingCoverage());
    chkLdenLimit->setChecked(cfg.RatingLdenLimitOn());
    spinLdenLimit->setValue(cfg.RatingLdenLimit());
    chkNightLimit->setChecked(cfg.RatingNightLimitOn());
    spinNightLimit->setValue(cfg.RatingNightLimit());
    pageLimits->SetRules(TLimits::FromCfg(cfg).aRules);
    pageWeather->Load(cfg);

    const TEventSettings evt = TEventSettings::FromCfg(cfg);
    editEvtDayThreshold->setText(QString::number(evt.dDayThreshold));
    editEvtNightThreshold->setText(QString::number(evt.dNightThreshold));
    spinEvtDayHour->setValue(evt.nDayHour);
    spinEvtNightHour->setValue(evt.nNightHour);
    chkEvtRatingHours->setChecked(cfg.EvtDayHour() < 0 && cfg.EvtNightHour() < 0);
    chkEvtRatingHoursClick();
    spinEvtMinDuration->setValue(evt.nMinDuration);
    spinEvtHangTime->setValue(evt.nHangTime);
    chkEvtMaxDuration->setChecked(evt.nMaxDuration > 0);
    spinEvtMaxDuration->setValue(evt.nMaxDuration > 0 ? evt.nMaxDuration : 300);
    spinEvtMaxDuration->setEnabled(evt.nMaxDuration > 0);
    editEvtNLevels->setText(cfg.EvtNLevels());
    chkEvtShowSpans->setChecked(cfg.EvtShowSpans());
    chkEvtShowThreshold->setChecked(cfg.EvtShowThreshold());
    chkEvtBackground->setChecked(evt.bBackground);
    spinEvtBgMinutes->setValue(evt.nBgMinutes);
    spinEvtBgMargin->setValue(evt.dBgMargin);
    spinEvtBgFloorBelow->setValue(evt.dBgFloorBelow);
    for (QWidget* w : std::initializer_list<QWidget*>{spinEvtBgMinutes, spinEvtBgMargin, spinEvtBgFloorBelow})
        w->setEnabled(evt.bBackground);
}

bool TformCfg::EventsValid()
{
    QWidget* wrong = nullptr;
    QString sMessage;
    std::vector<double> adLevels;
    for (QLineEdit* edit : {editEvtDayThreshold, editEvtNightThreshold}) {
        bool bOk = false;
        const double d = edit->text().trimmed().toDouble(&bOk);
        if (!wrong && (!bOk || !(d >= 0 && d <= 180))) {
            wrong = edit;
            sMessage = QStringLiteral("An event threshold must be a number from 0 to 180 dB.");
        }
    }
    if (!wrong && chkEvtMaxDuration->isChecked() &&
        spinEvtMinDuration->value() > spinEvtMaxDuration->value()) {
        wrong = spinEvtMinDuration;
        sMessage = QStringLiteral("The minimum event duration must not be longer than the maximum.");
    }
    if (!wrong && !TEventSettings::ParseLevels(editEvtNLevels->text(), adLevels)) {
        wrong = editEvtNLevels;
        sMessage = QStringLiteral("The levels to count events above must be numbers from 0 to 180 dB, "
                                  "separated by commas.");
    }
    if (!wrong)
        return true;
    pageCfg->setCurrentWidget(wrong->parentWidget());
    wrong->setFocus();
    if (fnMessage)
        fnMessage(sMessage);
    return false;
}

// Only the values that changed are written, so that a dialog closed with OK leaves
// the events section as it was, and hours that follow the rating hours keep doing so.
void TformCfg::WriteEvents()
{
    const double dDay = editEvtDayThreshold->text().trimmed().toDouble();
    const double dNight = editEvtNightThreshold->text().trimmed().toDouble();
    if (dDay != cfg.EvtDayThreshold())
        cfg.SetEvtDayThreshold(dDay);
    if (dNight != cfg.EvtNightThreshold())
        cfg.SetEvtNightThreshold(dNight);
    const int nDayHour = chkEvtRatingHours->isChecked() ? -1 : spinEvtDayHour->value();
    const int nNightHour = chkEvtRatingHours->isChecked() ? -1 : spinEvtNightHour->value();
    if (nDayHour != cfg.EvtDayHour())
        cfg.SetEvtDayHour(nDayHour);
    if (nNightHour != cfg.EvtNightHour())
        cfg.SetEvtNightHour(nNightHour);
    if (spinEvtMinDuration->value() != cfg.EvtMinDuration())
        cfg.SetEvtMinDuration(spinEvtMinDuration->value());
    if (spinEvtHangTime->value() != cfg.EvtHangTime())
        cfg.SetEvtHangTime(spinEvtHangTime->value());
    const int nMax = chkEvtMaxDuration->isChecked() ? spinEvtMaxDuration->value() : 0;
    if (nMax != std::max(0, cfg.EvtMaxDuration()))
        cfg.SetEvtMaxDuration(nMax);
    std::vector<double> adLevels;
    TEventSettings::ParseLevels(editEvtNLevels->text(), adLevels);
    const QString sLevels = TEventSettings::LevelsText(adLevels);
    if (sLevels != cfg.EvtNLevels())
        cfg.SetEvtNLevels(sLevels);
    if (chkEvtShowSpans->isChecked() != cfg.EvtShowSpans())
        cfg.SetEvtShowSpans(chkEvtShowSpans->isChecked());
    if (chkEvtShowThreshold->isChecked() != cfg.EvtShowThreshold())
        cfg.SetEvtShowThreshold(chkEvtShowThreshold->isChecked());
    if (chkEvtBackground->isChecked() != cfg.EvtBackground())
        cfg.SetEvtBackground(chkEvtBackground->isChecked());
    if (spinEvtBgMinutes->value() != cfg.EvtBgMinutes())
        cfg.SetEvtBgMinutes(spinEvtBgMinutes->value());
    if (spinEvtBgMargin->value() != cfg.EvtBgMargin())
        cfg.SetEvtBgMargin(spinEvtBgMargin->value());
    if (spinEvtBgFloorBelow->value() != cfg.EvtBgFloorBelow())
        cfg.SetEvtBgFloorBelow(spinEvtBgFloorBelow->value());
}

void TformCfg::chkAutoYAxisClick()
{
    comboYMin->setEnabled(!chkAutoYAxis->isChecked());
    comboYMax->setEnabled(!chkAutoYAxis->isChecked());
}

// Entry i of the maximum list is 10 dB above entry i of the minimum list, so keeping
// the maximum's index at or above the minimum's keeps the range at least 10 dB wide.
void TformCfg::comboYMinChange(int nIndex)
{
    // A list without a selection keeps its stored value unless the two would cross.
    if (comboYMax->currentIndex() >= 0)
        comboYMax->setCurrentIndex(std::max(comboYMax->currentIndex(), nIndex));
    KeepYOrder(comboYMin);
}

void TformCfg::comboYMaxChange(int nIndex)
{
    if (comboYMin->currentIndex() >= 0)
        comboYMin->setCurrentIndex(std::min(comboYMin->currentIndex(), nIndex));
    KeepYOrder(comboYMax);
}

int TformCfg::YMinValue() const
{
    return comboYMin->currentIndex() >= 0 ? comboYMin->currentText().toInt() : cfg.RepYMin();
}

int TformCfg::YMaxValue() const
{
    return comboYMax->currentIndex() >= 0 ? comboYMax->currentText().toInt() : cfg.RepYMax();
}

// A hand-edited settings file may hold a minimum that is in neither list, or one at or
// above the maximum. A list without a selection keeps its stored value, but the two
// values OK stores must never cross (the charts would then ignore the fixed range):
// when they do, the list picked last keeps its pick and the other takes the entry at
// the same position, 10 dB below or above it.
void TformCfg::KeepYOrder(const QComboBox* comboPicked)
{
    if (YMinValue() < YMaxValue())
        return;
    const int iMin = comboYMin->currentIndex();
    const int iMax = comboYMax->currentIndex();
    if (iMax >= 0 && (comboPicked == comboYMax || iMin < 0)) {
        comboYMin->setCurrentIndex(iMax);
    } else if (iMin >= 0) {
        comboYMax->setCurrentIndex(iMin);
    } else {
        const int i = std::clamp((YMinValue() - 10) / 10, 0, nYValues - 1);
        comboYMin->setCurrentIndex(i);
        comboYMax->setCurrentIndex(i);
    }
}

void TformCfg::btnDirClick()
{
    const QString sDir =
        QFileDialog::getExistingDirectory(this, QStringLiteral("Select Tarvik Data Path"), cfg.DataPath());
    if (!sDir.isEmpty())
        editDataPath->setText(sDir);
}

void TformCfg::btnOKClick()
{
    // Checked before anything is written: the settings are stored all at once or not at all.
    TRatingSettings rating;
    rating.anStartHour = {spinDayHour->value(), spinEveningHour->value(), spinNightHour->value()};
    if (!rating.HoursValid()) {
        pageCfg->setCurrentWidget(spinDayHour->parentWidget());
        spinDayHour->setFocus();
        if (fnMessage)
            fnMessage(QStringLiteral("The day, evening and night start hours must follow each other round "
                                     "the clock, for example 7:00, 19:00 and 23:00."));
        return;
    }
    if (!EventsValid())
        return;
    QString sLimitError;
    const std::optional<std::vector<TLimitRule>> aLimitRules = pageLimits->Rules(sLimitError);
    if (!aLimitRules) {
        pageCfg->setCurrentWidget(pageLimits);
        if (fnMessage)
            fnMessage(sLimitError);
        return;
    }

    cfg.SetDataPath(editDataPath->text());
    cfg.SetAutoRefresh(chkAutoRefresh->isChecked());
    for (int i = 0; i < chklstPerParams->count(); ++i) {
        const QListWidgetItem* item = chklstPerParams->item(i);
        cfg.SetPerParam(item->text(), item->checkState() == Qt::Checked);
    }
    cfg.SetRepYAuto(chkAutoYAxis->isChecked());
    KeepYOrder(nullptr);
    // A list left without a selection (its stored value was not one of the list's)
    // keeps the stored value rather than inventing one.
    if (comboYMin->currentIndex() >= 0)
        cfg.SetRepYMin(comboYMin->currentText().toInt());
    if (comboYMax->currentIndex() >= 0)
        cfg.SetRepYMax(comboYMax->currentText().toInt());
    cfg.SetHtmlHeader(editHtmlHeader->text());
    cfg.SetHtmlHideLogo(chkHtmlHideLogo->isChecked());
    cfg.SetHtmlZoom(chkHtmlZoom->isChecked());
    cfg.SetHtmlImageFormat(comboHtmlImages->currentData().toString());
    cfg.SetRatingDayHour(spinDayHour->value());
    cfg.SetRatingEveningHour(spinEveningHour->value());
    cfg.SetRatingNightHour(spinNightHour->value());
    cfg.SetRatingEveningPenalty(spinEveningPenalty->value());
    cfg.SetRatingNightPenalty(spinNightPenalty->value());
    cfg.SetRatingCoverage(spinCoverage->value());
    // A limit switched off keeps its value for the next time it is switched on.
    cfg.SetRatingLdenLimitOn(chkLdenLimit->isChecked());
    cfg.SetRatingLdenLimit(spinLdenLimit->value());
    cfg.SetRatingNightLimitOn(chkNightLimit->isChecked());
    cfg.SetRatingNightLimit(spinNightLimit->value());
    WriteEvents();
    // Unchanged rules are not written again: the section stays as it is, byte for byte,
    // with its hand-made keys, spacing and unread lines. Once rules were changed, those
    // the settings held but could not read stay behind the edited ones, unread and
    // reported, for the user to mend.
    TLimits limits;
    limits.aRules = *aLimitRules;
    const TLimits stored = TLimits::FromCfg(cfg);
    if (limits.Lines() != stored.Lines())
        cfg.SetLimitRules(limits.Lines() + stored.slUnread);
    pageWeather->Store(cfg);
    accept();
}

void TformCfg::btnHelpClick()
{
    const int i = pageCfg->currentIndex();
    if (fnShowHelp && i >= 0 && i < PageHelp().size())
        fnShowHelp(PageHelp()[i]);
}
