#pragma once

#include "analysis/exclusions.h"

#include <QDialog>

class QCheckBox;
class QComboBox;
class QDateTimeEdit;
class QDialogButtonBox;
class QLabel;
class QLineEdit;

// Asks for what an exclusion covers and why: the monitor, the span to the second, the
// parameters (all levels, or a list), the reason and a comment. Used for a new
// exclusion (nId 0: "Exclude", its span from a chart or table selection) and to edit
// one (the other fields as they are). OK stays disabled until the span runs forward
// and a list of parameters, when asked for, names one.
class TExclusionDlg final : public QDialog
{
    Q_OBJECT

public:
    TExclusionDlg(const TExclusion& ex, const QStringList& slMonitorIDs, QWidget* parent);
    Q_DISABLE_COPY_MOVE(TExclusionDlg)

    // The exclusion as the fields give it; id, author and withdrawal as it came.
    TExclusion Result() const;

    // Parameters as a user types them: separated by ";", "," or blanks; empty parts dropped.
    static QStringList ParseParams(const QString& s);

private:
    void UpdateOk();

    TExclusion ex;
    QComboBox* cmbMonitor = nullptr;
    QDateTimeEdit* editFrom = nullptr;
    QDateTimeEdit* editTo = nullptr;
    QCheckBox* chkAllLevels = nullptr;
    QLineEdit* editParams = nullptr;
    QComboBox* cmbReason = nullptr;
    QLineEdit* editComment = nullptr;
    QLabel* lblSpan = nullptr;
    QDialogButtonBox* buttons = nullptr;
};
