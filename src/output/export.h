#pragma once

#include "monitors/monitor.h"

#include <QDate>
#include <QDialog>
#include <QString>

#include <functional>
#include <memory>
#include <vector>

class QCheckBox;
class QLabel;
class QLineEdit;
class QPushButton;
class QToolButton;
class QWidget;
class TCfg;
class TExclusions;
class TTQMonitors;

// "Create HTML Reports": chooses the report folder and the report kinds, then
// exports the ticked monitors over the main window's dates into linked HTML pages
// with chart images. Idle -> Running (the upper panel and "Create Report" disabled,
// "Cancel") -> Cancelling ("Cancelling", disabled) -> closed with OK. A page or image
// that cannot be written stops the run with a message naming it, and the dialog is
// idle again.
class TformExport final : public QDialog
{
    Q_OBJECT

public:
    enum class EState
    {
        Idle,
        Running,
        Cancelling
    };

    // fnPreferences opens the preferences at their "HTML && Printing" page and says
    // whether they closed with OK; fnShowHelp shows a help page. An empty one leaves
    // its button disabled.
    TformExport(TCfg& cfg, const TTQMonitors& mons, std::vector<int> anTickedRows, const QDate& dtFrom,
                const QDate& dtTo, std::function<void(const QString&)> fnShowHelp,
                std::function<bool()> fnPreferences, QWidget* parent);
    ~TformExport() override;
    Q_DISABLE_COPY_MOVE(TformExport)

    EState State() const;

    // The exclusions the reports leave out; none: the raw figures.
    void SetExclusions(std::shared_ptr<const TExclusions> p) { pExcl = std::move(p); }

    // Error messages go through fnError (a modal message box unless replaced).
    void SetErrorFn(std::function<void(const QString&)> fn) { fnError = std::move(fn); }
    // The folder chooser returns the chosen folder, or the empty text on cancel
    // (the platform's folder dialog unless replaced).
    void SetFolderFn(std::function<QString()> fn) { fnFolder = std::move(fn); }
    // The folder the folder chooser opens at.
    QString FolderToBrowse() const;

    // The status line: shown with a text, hidden with the empty text.
    void ShowStat(const QString& s);

    // Controls, named as the handlers below use them.
    QWidget* panelControls;
    QWidget* panelCals;
    QLineEdit* editDir;
    QPushButton* btnDir;
    QToolButton* btnCfg;
    QCheckBox* chkPerChart;
    QCheckBox* chkPerTbl;
    QCheckBox* chkAlmChart;
    QCheckBox* chkAlmTbl;
    QCheckBox* chkAlmList;
    QCheckBox* chkPrfChart;
    QCheckBox* chkCalList;
    QCheckBox* chkSummary;
    QCheckBox* chkEvents;
    QCheckBox* chkExceed;
    QCheckBox* chkExclusions;
    QCheckBox* chkQuality;
    QCheckBox* chkStatistics;
    QLabel* lblStat;
    QPushButton* btnExport;
    QPushButton* btnCancel;
    QPushButton* btnHelp;

    void btnDirClick();
    void btnCfgClick();
    void btnHelpClick();
    void btnExportClick();
    void btnCancelClick();

    static constexpr int FormWidth = 457;
    static constexpr int FormHeight = 538;

public Q_SLOTS:
    // Escape and the window's close box act as the Cancel button while a run is on,
    // so the dialog cannot vanish under the run.
    void reject() override;

private:
    void BuildControls();
    void SetDefaultFolder();
    void ProbeCalibrations();
    void SetIdle();
    void ShowError(const QString& s);

    TCfg& cfg;
    const TTQMonitors& mons;
    TMonitorSel aMons;
    QDate dtFrom;
    QDate dtTo;
    QString sHtmlDir;
    bool bReportRunning = false;
    bool bCancelReport = false;
    std::function<void(const QString&)> fnShowHelp;
    std::function<bool()> fnPreferences;
    std::function<void(const QString&)> fnError;
    std::function<QString()> fnFolder;
    std::shared_ptr<const TExclusions> pExcl;
};
