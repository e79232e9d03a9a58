#include "dialogs/exclusiondlg.h"

#include <QCheckBox>
#include <QComboBox>
#include <QDateTimeEdit>
#include <QDialogButtonBox>
#include <QFormLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRegularExpression>
#include <QTime>
#include <QTimeZone>
#include <QVBoxLayout>

namespace {
const QString sTimeFormat = QStringLiteral("yyyy-MM-dd HH:mm:ss");

QDateTime WallDateTime(qint64 nWall)
{
    // Wall-clock times: kept as UTC so that no clock change moves or refuses one.
    return QDateTime(TExclusion::DateOf(nWall), QTime(0, 0).addSecs(TExclusion::SecsOf(nWall)), QTimeZone::utc());
}

qint64 WallOf(const QDateTimeEdit* edit)
{
    const QDateTime dt = edit->dateTime();
    return TExclusion::Wall(dt.date(), dt.time().msecsSinceStartOfDay() / 1000);
}

QString Duration(qint64 nSecs)
{
    const qint64 nDays = nSecs / 86400;
    const int nRest = int(nSecs % 86400);
    QString s = QString::asprintf("%02d:%02d:%02d", nRest / 3600, nRest / 60 % 60, nRest % 60);
    if (nDays > 0)
        s = QString::number(nDays) + (nDays == 1 ? QStringLiteral(" day ") : QStringLiteral(" days ")) + s;
    return s;
}
} // namespace

TExclusionDlg::TExclusionDlg(const TExclusion& exIn, const QStringList& slMonitorIDs, QWidget* parent)
    : QDialog(parent), ex(exIn)
{
    setObjectName(QStringLiteral("formExclusion"));
    setWindowTitle(ex.nId == 0 ? QStringLiteral("Exclude") : QStringLiteral("Edit Exclusion"));

    cmbMonitor = new QComboBox(this);
    cmbMonitor->setObjectName(QStringLiteral("cmbMonitor"));
    cmbMonitor->addItem(QStringLiteral("All monitors"), QStringLiteral("*"));
    for (const QString& sID : slMonitorIDs)
        cmbMonitor->addItem(sID, sID);
    // A monitor the installation no longer has stays choosable, so an edit keeps it.
    if (!ex.sMonitor.isEmpty() && cmbMonitor->findData(ex.sMonitor) < 0)
        cmbMonitor->addItem(ex.sMonitor, ex.sMonitor);
    cmbMonitor->setCurrentIndex(std::max(0, cmbMonitor->findData(ex.sMonitor.isEmpty() ? QStringLiteral("*")
                                                                                       : ex.sMonitor)));

    editFrom = new QDateTimeEdit(WallDateTime(ex.nFrom), this);
    editFrom->setObjectName(QStringLiteral("editFrom"));
    editTo = new QDateTimeEdit(WallDateTime(ex.nTo), this);
    editTo->setObjectName(QStringLiteral("editTo"));
    for (QDateTimeEdit* edit : {editFrom, editTo}) {
        edit->setDisplayFormat(sTimeFormat);
        edit->setTimeSpec(Qt::UTC);
    }
    lblSpan = new QLabel(this);
    lblSpan->setObjectName(QStringLiteral("lblSpan"));

    chkAllLevels = new QCheckBox(QStringLiteral("All levels"), this);
    chkAllLevels->setObjectName(QStringLiteral("chkAllLevels"));
    chkAllLevels->setChecked(ex.slParams.isEmpty());
    editParams = new QLineEdit(ex.slParams.join(QStringLiteral("; ")), this);
    editParams->setObjectName(QStringLiteral("editParams"));
    editParams->setPlaceholderText(QStringLiteral("LAeq; LAF90"));
    editParams->setEnabled(!ex.slParams.isEmpty());

    cmbReason = new QComboBox(this);
    cmbReason->setObjectName(QStringLiteral("cmbReason"));
    for (auto e : {TExclusion::EReason::Rain, TExclusion::EReason::Wind, TExclusion::EReason::Works,
                   TExclusion::EReason::Fault, TExclusion::EReason::Calibration, TExclusion::EReason::Other})
        cmbReason->addItem(TExclusion::ReasonText(e), int(e));
    cmbReason->setCurrentIndex(std::max(0, cmbReason->findData(int(ex.eReason))));

    editComment = new QLineEdit(ex.sComment, this);
    editComment->setObjectName(QStringLiteral("editComment"));

    buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, this);
    connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);

    auto* form = new QFormLayout;
    form->addRow(QStringLiteral("&Monitor:"), cmbMonitor);
    form->addRow(QStringLiteral("&From:"), editFrom);
    form->addRow(QStringLiteral("&To:"), editTo);
    form->addRow(QString(), lblSpan);
    form->addRow(QStringLiteral("Covers:"), chkAllLevels);
    form->addRow(QStringLiteral("&Parameters:"), editParams);
    form->addRow(QStringLiteral("&Reason:"), cmbReason);
    form->addRow(QStringLiteral("&Comment:"), editComment);
    auto* layout = new QVBoxLayout(this);
    layout->addLayout(form);
    layout->addWidget(buttons);

    connect(chkAllLevels, &QCheckBox::toggled, this, [this](bool b) {
        editParams->setEnabled(!b);
        UpdateOk();
    });
    connect(editParams, &QLineEdit::textChanged, this, &TExclusionDlg::UpdateOk);
    connect(editFrom, &QDateTimeEdit::dateTimeChanged, this, &TExclusionDlg::UpdateOk);
    connect(editTo, &QDateTimeEdit::dateTimeChanged, this, &TExclusionDlg::UpdateOk);
    UpdateOk();
    editComment->setFocus();
}

QStringList TExclusionDlg::ParseParams(const QString& s)
{
    static const QRegularExpression reSep(QStringLiteral("[;,\\s]+"));
    return s.split(reSep, Qt::SkipEmptyParts);
}

TExclusion TExclusionDlg::Result() const
{
    TExclusion r = ex;
    r.sMonitor = cmbMonitor->currentData().toString();
    r.nFrom = WallOf(editFrom);
    r.nTo = WallOf(editTo);
    r.slParams = chkAllLevels->isChecked() ? QStringList() : ParseParams(editParams->text());
    r.eReason = TExclusion::EReason(cmbReason->currentData().toInt());
    r.sComment = editComment->text().trimmed();
    return r;
}

void TExclusionDlg::UpdateOk()
{
    const qint64 nLength = WallOf(editTo) - WallOf(editFrom);
    const bool bParams = chkAllLevels->isChecked() || !ParseParams(editParams->text()).isEmpty();
    lblSpan->setText(nLength > 0 ? Duration(nLength) : QStringLiteral("The end must lie after the start."));
    buttons->button(QDialogButtonBox::Ok)->setEnabled(nLength > 0 && bParams);
}
