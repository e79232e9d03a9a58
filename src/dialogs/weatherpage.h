#pragma once

#include "datafiles/weatherfile.h"

#include <QWidget>

#include <functional>
#include <utility>
#include <vector>

class TCfg;
class QCheckBox;
class QDoubleSpinBox;
class QLabel;
class QLineEdit;
class QPushButton;
class QTableWidget;
class QToolButton;

// The "Weather" page of the preferences: whether periods of wind and rain are left out
// by themselves, the installation's weather file, the wind and rain rules, and the
// monitors that have a weather file of their own. A line under the rules says what
// the installation's file gives with the rules as they stand on the page, or why the
// file cannot be used.
class TWeatherPage final : public QWidget
{
    Q_OBJECT

public:
    explicit TWeatherPage(QWidget* parent);
    Q_DISABLE_COPY_MOVE(TWeatherPage)

    // The monitors, (ID, name), that may have a file of their own; call before Load.
    void SetMonitors(const std::vector<std::pair<QString, QString>>& aMons);
    void Load(const TCfg& cfg);
    void Store(TCfg& cfg) const;

    // Reads the installation's file again when its name changed, and says what it gives.
    void UpdateResult();

    // Choosing a file goes through fn (a file dialog unless replaced); it returns the
    // chosen file, or nothing when the user cancelled.
    void SetFileChooser(std::function<QString(const QString& sStart)> fn) { fnChooseFile = std::move(fn); }
    void btnWeatherFileClick();
    void btnMonitorFileClick();

    QCheckBox* chkWeather = nullptr;
    QLineEdit* editWeatherFile = nullptr;
    QToolButton* btnWeatherFile = nullptr;
    QCheckBox* chkWindAbove = nullptr;
    QDoubleSpinBox* spinWindAbove = nullptr;
    QCheckBox* chkRainAbove = nullptr;
    QDoubleSpinBox* spinRainAbove = nullptr;
    QLabel* lblWeatherResult = nullptr;
    QTableWidget* gridWeatherMonitors = nullptr;
    QPushButton* btnMonitorFile = nullptr;

private:
    std::vector<std::pair<QString, QString>> aMonitors;
    std::function<QString(const QString&)> fnChooseFile;
    QString sLoadedFile; // the name file was last loaded from
    bool bLoaded = false;
    TWeatherFile file;
};
