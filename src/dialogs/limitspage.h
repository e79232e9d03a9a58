#pragma once

#include "analysis/limits.h"

#include <QWidget>

#include <array>
#include <functional>
#include <optional>
#include <utility>
#include <vector>

class QBoxLayout;
class QCheckBox;
class QComboBox;
class QLineEdit;
class QPushButton;
class QTableWidget;
class QTimeEdit;

// The "Limits" page of the preferences: the limit rules of every schedule as a table,
// one row per rule, and under it the editor of the selected row (monitor, parameter,
// weekdays, band and limit, label). Rules are changed only in the page; Rules() checks
// and hands them over when the dialog is accepted.
class TLimitsPage final : public QWidget
{
    Q_OBJECT

public:
    explicit TLimitsPage(QWidget* parent);
    Q_DISABLE_COPY_MOVE(TLimitsPage)

    // The rules to edit; the monitors offered besides "All monitors" are (ID, name) pairs.
    void SetRules(const std::vector<TLimitRule>& aRules);
    void SetMonitors(const std::vector<std::pair<QString, QString>>& aMons);

    // The rules as edited, or nothing when one of them cannot be kept: the row is then
    // selected and sError says why.
    std::optional<std::vector<TLimitRule>> Rules(QString& sError);

    void btnAddClick();
    void btnRemoveClick();

    // The size the page needs to show RowsShown rules and every column whole; the
    // dialog that holds the page grows to it.
    QSize minimumSizeHint() const override;
    static constexpr int RowsShown = 8;

    QTableWidget* gridRules = nullptr;
    QComboBox* comboMonitor = nullptr;
    QComboBox* comboParam = nullptr;
    std::array<QCheckBox*, 7> achkDays{};
    QTimeEdit* timeFrom = nullptr;
    QTimeEdit* timeTo = nullptr;
    QLineEdit* editLimit = nullptr;
    QLineEdit* editLabel = nullptr;
    QPushButton* btnAdd = nullptr;
    QPushButton* btnRemove = nullptr;

private:
    // A rule as the editor holds it: the limit stays text until it is checked.
    struct TRow
    {
        TLimitRule rule;
        QString sLimit;
    };

    void FillMonitorCombo();
    void FitColumns();
    void ShowRow(int iRow);    // table row iRow from aRows
    void LoadEditor(int iRow); // the editor from aRows[iRow]
    void EditorChanged();      // the selected row from the editor
    void EnableEditor(bool b);

    QBoxLayout* layTop = nullptr;
    std::vector<TRow> aRows;
    std::vector<std::pair<QString, QString>> aMonitors;
    bool bLoading = false;
};
