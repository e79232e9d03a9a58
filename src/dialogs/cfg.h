#pragma once

#include <QDialog>

#include <functional>
#include <vector>
#include <utility>

class TCfg;
class TLimitsPage;
class TWeatherPage;
class QCheckBox;
class QComboBox;
class QDoubleSpinBox;
class QLabel;
class QLineEdit;
class QListWidget;
class QPushButton;
class QSpinBox;
class QTabWidget;
class QToolButton;

// The modal preferences dialog. It fills its controls from the settings when it is
// made and writes them back, all at once, only when OK is pressed.
class TformCfg final : public QDialog
{
    Q_OBJECT

public:
    // fnShowHelp opens the shared help window at a page of the help folder.
    TformCfg(TCfg& cfg, std::function<void(const QString& sPage)> fnShowHelp, QWidget* parent = nullptr);
    Q_DISABLE_COPY_MOVE(TformCfg)

    // 0 "Program", 1 "Reports", 2 "HTML & Printing", 3 "Rating", 4 "Events", 5 "Limits",
    // 6 "Weather".
    void SetActivePage(int i);
    // The monitors, (ID, name), that the limit rules and weather files may be given for.
    void SetMonitors(const std::vector<std::pair<QString, QString>>& aMons);

    // Messages to the user go through fn (a modal message box unless replaced).
    void SetMessageFn(std::function<void(const QString&)> fn) { fnMessage = std::move(fn); }

protected:
    void resizeEvent(QResizeEvent* e) override;

private:
    void CreateProgramPage(QWidget* tab);
    void CreateReportsPage(QWidget* tab);
    void CreateHtmlPage(QWidget* tab);
    void CreateRatingPage(QWidget* tab);
    void CreateEventsPage(QWidget* tab);
    // Checks the events page; false, with the page in front and a message, when a
    // value cannot be used.
    bool EventsValid();
    void WriteEvents();
    void chkEvtRatingHoursClick();
    void FitWidth();
    void PlaceControls(); // the tab control and the buttons to the dialog's size
    void FitLimitsPage();

    void FormCreate();
    void btnDirClick();
    void btnOKClick();
    void btnHelpClick();
    void chkAutoYAxisClick();
    void comboYMinChange(int nIndex);
    void comboYMaxChange(int nIndex);
    // The Y-axis values OK would store, and the rule that keeps them apart.
    int YMinValue() const;
    int YMaxValue() const;
    void KeepYOrder(const QComboBox* comboPicked);

    TCfg& cfg;
    std::function<void(const QString&)> fnShowHelp;
    std::function<void(const QString&)> fnMessage;

    QTabWidget* pageCfg = nullptr;
    QCheckBox* chkAutoRefresh = nullptr;
    QLineEdit* editDataPath = nullptr;
    QToolButton* btnDir = nullptr;
    QListWidget* chklstPerParams = nullptr;
    QCheckBox* chkAutoYAxis = nullptr;
    QComboBox* comboYMin = nullptr;
    QComboBox* comboYMax = nullptr;
    QLineEdit* editHtmlHeader = nullptr;
    QCheckBox* chkHtmlHideLogo = nullptr;
    QCheckBox* chkHtmlZoom = nullptr;
    QComboBox* comboHtmlImages = nullptr;
    QSpinBox* spinDayHour = nullptr;
    QSpinBox* spinEveningHour = nullptr;
    QSpinBox* spinNightHour = nullptr;
    QSpinBox* spinEveningPenalty = nullptr;
    QSpinBox* spinNightPenalty = nullptr;
    QSpinBox* spinCoverage = nullptr;
    QCheckBox* chkLdenLimit = nullptr;
    QSpinBox* spinLdenLimit = nullptr;
    QCheckBox* chkNightLimit = nullptr;
    QSpinBox* spinNightLimit = nullptr;
    QLineEdit* editEvtDayThreshold = nullptr;
    QLineEdit* editEvtNightThreshold = nullptr;
    QSpinBox* spinEvtDayHour = nullptr;
    QSpinBox* spinEvtNightHour = nullptr;
    QCheckBox* chkEvtRatingHours = nullptr;
    QSpinBox* spinEvtMinDuration = nullptr;
    QSpinBox* spinEvtHangTime = nullptr;
    QCheckBox* chkEvtMaxDuration = nullptr;
    QSpinBox* spinEvtMaxDuration = nullptr;
    QLineEdit* editEvtNLevels = nullptr;
    QCheckBox* chkEvtShowSpans = nullptr;
    QCheckBox* chkEvtShowThreshold = nullptr;
    QCheckBox* chkEvtBackground = nullptr;
    QSpinBox* spinEvtBgMinutes = nullptr;
    QDoubleSpinBox* spinEvtBgMargin = nullptr;
    QDoubleSpinBox* spinEvtBgFloorBelow = nullptr;
    TLimitsPage* pageLimits = nullptr;
    TWeatherPage* pageWeather = nullptr;
    QPushButton* btnHelp = nullptr;
    QPushButton* btnOK = nullptr;
    QPushButton* btnCancel = nullptr;
};
