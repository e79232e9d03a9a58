#include "dialogs/weatherpage.h"

#include "analysis/weatherrules.h"
#include "settings/cfg.h"

#include <QCheckBox>
#include <QDoubleSpinBox>
#include <QFileDialog>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QStyle>
#include <QTableWidget>
#include <QToolButton>
#include <QVBoxLayout>

#include <algorithm>

namespace {

enum EColumn : int
{
    colMonitor,
    colFile,
    colCount
};

QDoubleSpinBox* ThresholdSpin(QWidget* parent, const char* szName, double dMax, const QString& sSuffix)
{
    auto* w = new QDoubleSpinBox(parent);
    w->setObjectName(QLatin1String(szName));
    w->setRange(0, dMax);
    w->setDecimals(1);
    w->setSingleStep(0.5);
    w->setSuffix(sSuffix);
    w->setAlignment(Qt::AlignRight);
    return w;
}

// A message of the weather files as a sentence of its own.
QString Sentence(const QString& s)
{
    return s.isEmpty() ? s : s.front().toUpper() + s.mid(1) + u'.';
}

} // namespace

TWeatherPage::TWeatherPage(QWidget* parent) : QWidget(parent)
{
    auto* lay = new QVBoxLayout(this);
    lay->setContentsMargins(8, 8, 8, 4);
    lay->setSpacing(4);

    chkWeather = new QCheckBox(QStringLiteral("Leave out periods of wind and rain found in weather files"), this);
    chkWeather->setObjectName(QStringLiteral("chkWeather"));
    lay->addWidget(chkWeather);

    auto* layFile = new QHBoxLayout;
    layFile->addWidget(new QLabel(QStringLiteral("Weather file"), this));
    editWeatherFile = new QLineEdit(this);
    editWeatherFile->setObjectName(QStringLiteral("editWeatherFile"));
    layFile->addWidget(editWeatherFile, 1);
    btnWeatherFile = new QToolButton(this);
    btnWeatherFile->setObjectName(QStringLiteral("btnWeatherFile"));
    btnWeatherFile->setAutoRaise(true);
    btnWeatherFile->setIcon(style()->standardIcon(QStyle::SP_DirOpenIcon));
    layFile->addWidget(btnWeatherFile);
    lay->addLayout(layFile);

    auto* layRules = new QHBoxLayout;
    chkWindAbove = new QCheckBox(QStringLiteral("Wind above"), this);
    chkWindAbove->setObjectName(QStringLiteral("chkWindAbove"));
    spinWindAbove = ThresholdSpin(this, "spinWindAbove", 60, QStringLiteral(" m/s"));
    chkRainAbove = new QCheckBox(QStringLiteral("Rain above"), this);
    chkRainAbove->setObjectName(QStringLiteral("chkRainAbove"));
    spinRainAbove = ThresholdSpin(this, "spinRainAbove", 500, QStringLiteral(" mm/h"));
    layRules->addWidget(chkWindAbove);
    layRules->addWidget(spinWindAbove);
    layRules->addSpacing(16);
    layRules->addWidget(chkRainAbove);
    layRules->addWidget(spinRainAbove);
    layRules->addStretch(1);
    lay->addLayout(layRules);

    lblWeatherResult = new QLabel(this);
    lblWeatherResult->setObjectName(QStringLiteral("lblWeatherResult"));
    lblWeatherResult->setWordWrap(true);
    lay->addWidget(lblWeatherResult);
    lay->addSpacing(6);

    lay->addWidget(new QLabel(QStringLiteral("Monitors with a weather file of their own"), this));
    auto* layMonitors = new QHBoxLayout;
    gridWeatherMonitors = new QTableWidget(0, colCount, this);
    gridWeatherMonitors->setObjectName(QStringLiteral("gridWeatherMonitors"));
    gridWeatherMonitors->setHorizontalHeaderLabels({QStringLiteral("Monitor"), QStringLiteral("Weather file")});
    gridWeatherMonitors->verticalHeader()->hide();
    gridWeatherMonitors->verticalHeader()->setDefaultSectionSize(17);
    gridWeatherMonitors->horizontalHeader()->setStretchLastSection(true);
    gridWeatherMonitors->horizontalHeader()->setDefaultAlignment(Qt::AlignLeft | Qt::AlignVCenter);
    gridWeatherMonitors->setSelectionBehavior(QAbstractItemView::SelectRows);
    gridWeatherMonitors->setSelectionMode(QAbstractItemView::SingleSelection);
    gridWeatherMonitors->setMinimumHeight(4 * 17 + 24);
    layMonitors->addWidget(gridWeatherMonitors, 1);
    auto* layButtons = new QVBoxLayout;
    btnMonitorFile = new QPushButton(QStringLiteral("&Choose..."), this);
    btnMonitorFile->setObjectName(QStringLiteral("btnMonitorFile"));
    btnMonitorFile->setAutoDefault(false);
    layButtons->addWidget(btnMonitorFile);
    layButtons->addStretch(1);
    layMonitors->addLayout(layButtons);
    lay->addLayout(layMonitors, 1);

    fnChooseFile = [this](const QString& sStart) {
        return QFileDialog::getOpenFileName(this, QStringLiteral("Select Weather File"), sStart,
                                            QStringLiteral("Weather files (*.csv *.txt);;All files (*)"));
    };
    connect(btnWeatherFile, &QToolButton::clicked, this, &TWeatherPage::btnWeatherFileClick);
    connect(btnMonitorFile, &QPushButton::clicked, this, &TWeatherPage::btnMonitorFileClick);
    connect(editWeatherFile, &QLineEdit::editingFinished, this, &TWeatherPage::UpdateResult);
    for (QCheckBox* chk : {chkWindAbove, chkRainAbove})
        connect(chk, &QCheckBox::toggled, this, &TWeatherPage::UpdateResult);
    for (QDoubleSpinBox* spin : {spinWindAbove, spinRainAbove})
        connect(spin, &QDoubleSpinBox::valueChanged, this, &TWeatherPage::UpdateResult);
    connect(chkWindAbove, &QCheckBox::toggled, spinWindAbove, &QWidget::setEnabled);
    connect(chkRainAbove, &QCheckBox::toggled, spinRainAbove, &QWidget::setEnabled);
}

void TWeatherPage::SetMonitors(const std::vector<std::pair<QString, QString>>& aMons)
{
    aMonitors = aMons;
}

void TWeatherPage::Load(const TCfg& cfg)
{
    chkWeather->setChecked(cfg.WeatherOn());
    editWeatherFile->setText(cfg.WeatherFile());
    chkWindAbove->setChecked(cfg.WeatherWindOn());
    spinWindAbove->setValue(cfg.WeatherWindAbove());
    spinWindAbove->setEnabled(cfg.WeatherWindOn());
    chkRainAbove->setChecked(cfg.WeatherRainOn());
    spinRainAbove->setValue(cfg.WeatherRainAbove());
    spinRainAbove->setEnabled(cfg.WeatherRainOn());

    // Every monitor of the installation, then those the settings name that it lacks,
    // so that no stored file is lost while a monitor's folder is away.
    std::vector<std::pair<QString, QString>> aRows = aMonitors;
    const TCfg::TMonitorFiles& aFiles = cfg.WeatherMonitorFiles();
    for (const auto& pair : aFiles) {
        const bool bKnown = std::any_of(aRows.begin(), aRows.end(), [&pair](const auto& mon) {
            return QString::compare(mon.first, pair.first, Qt::CaseInsensitive) == 0;
        });
        if (!bKnown)
            aRows.emplace_back(pair.first, pair.first);
    }
    gridWeatherMonitors->setRowCount(int(aRows.size()));
    for (int i = 0; i < int(aRows.size()); ++i) {
        const auto& [sID, sName] = aRows[size_t(i)];
        auto* itemMon = new QTableWidgetItem(sName == sID ? sID : sName + QStringLiteral(" (") + sID + u')');
        itemMon->setData(Qt::UserRole, sID);
        itemMon->setFlags(Qt::ItemIsEnabled | Qt::ItemIsSelectable);
        gridWeatherMonitors->setItem(i, colMonitor, itemMon);
        QString sFile;
        for (const auto& [sFileID, sFileName] : aFiles)
            if (QString::compare(sFileID, sID, Qt::CaseInsensitive) == 0)
                sFile = sFileName;
        gridWeatherMonitors->setItem(i, colFile, new QTableWidgetItem(sFile));
    }
    gridWeatherMonitors->resizeColumnToContents(colMonitor);
    UpdateResult();
}

void TWeatherPage::Store(TCfg& cfg) const
{
    cfg.SetWeatherOn(chkWeather->isChecked());
    cfg.SetWeatherFile(editWeatherFile->text().trimmed());
    cfg.SetWeatherWindOn(chkWindAbove->isChecked());
    cfg.SetWeatherWindAbove(spinWindAbove->value());
    cfg.SetWeatherRainOn(chkRainAbove->isChecked());
    cfg.SetWeatherRainAbove(spinRainAbove->value());
    TCfg::TMonitorFiles aFiles;
    for (int i = 0; i < gridWeatherMonitors->rowCount(); ++i) {
        const QTableWidgetItem* itemMon = gridWeatherMonitors->item(i, colMonitor);
        const QTableWidgetItem* itemFile = gridWeatherMonitors->item(i, colFile);
        if (itemMon && itemFile && !itemFile->text().trimmed().isEmpty())
            aFiles.emplace_back(itemMon->data(Qt::UserRole).toString(), itemFile->text().trimmed());
    }
    cfg.SetWeatherMonitorFiles(aFiles);
}

void TWeatherPage::UpdateResult()
{
    const QString sFile = editWeatherFile->text().trimmed();
    if (sFile.isEmpty()) {
        lblWeatherResult->setText(QStringLiteral("No weather file is set for the installation."));
        return;
    }
    if (!bLoaded || sFile != sLoadedFile) {
        file.Load(sFile);
        sLoadedFile = sFile;
        bLoaded = true;
    }
    if (!file.Error().isEmpty()) {
        lblWeatherResult->setText(Sentence(file.Error()));
        return;
    }
    TWeatherRules rules;
    rules.bWindOn = chkWindAbove->isChecked();
    rules.dWindAbove = spinWindAbove->value();
    rules.bRainOn = chkRainAbove->isChecked();
    rules.dRainAbove = spinRainAbove->value();
    int nWind = 0;
    int nRain = 0;
    for (const TExclusion& ex : rules.Exclusions(file.Rows(), QStringLiteral("*")))
        ++(ex.eReason == TExclusion::EReason::Wind ? nWind : nRain);
    QString sText = QStringLiteral("The file gives ") + TWeatherRules::CountText(nWind, nRain) + u'.';
    if (!file.HasWind() || !file.HasRain())
        sText += file.HasWind() ? QStringLiteral(" It has no rain column.") : QStringLiteral(" It has no wind column.");
    if (file.BadRowCount() > 0)
        sText += u' ' + Sentence(file.BadRowSummary());
    lblWeatherResult->setText(sText);
}

void TWeatherPage::btnWeatherFileClick()
{
    const QString sFile = fnChooseFile ? fnChooseFile(editWeatherFile->text().trimmed()) : QString();
    if (sFile.isEmpty())
        return;
    editWeatherFile->setText(sFile);
    UpdateResult();
}

void TWeatherPage::btnMonitorFileClick()
{
    const int iRow = gridWeatherMonitors->currentRow();
    QTableWidgetItem* itemFile = iRow >= 0 ? gridWeatherMonitors->item(iRow, colFile) : nullptr;
    if (!itemFile)
        return;
    const QString sStart = itemFile->text().trimmed().isEmpty() ? editWeatherFile->text().trimmed() : itemFile->text();
    const QString sFile = fnChooseFile ? fnChooseFile(sStart) : QString();
    if (!sFile.isEmpty())
        itemFile->setText(sFile);
}
