#include "dialogs/limitspage.h"

#include "settings/cfg.h"

#include <QCheckBox>
#include <QComboBox>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QStyle>
#include <QTableWidget>
#include <QTimeEdit>
#include <QVBoxLayout>

#include <algorithm>

namespace {
enum EColumn : int
{
    colMonitor,
    colParam,
    colDays,
    colBand,
    colLimit,
    colLabel,
    colCount
};

QTime TimeOf(int nMin)
{
    return QTime(nMin / 60, nMin % 60);
}
} // namespace

TLimitsPage::TLimitsPage(QWidget* parent) : QWidget(parent)
{
    auto* lay = new QVBoxLayout(this);
    lay->setContentsMargins(6, 6, 6, 4);
    lay->setSpacing(3);

    layTop = new QHBoxLayout;
    gridRules = new QTableWidget(0, colCount, this);
    gridRules->setObjectName(QStringLiteral("gridRules"));
    gridRules->setHorizontalHeaderLabels({QStringLiteral("Monitor"), QStringLiteral("Parameter"),
                                          QStringLiteral("Days"), QStringLiteral("Hours"),
                                          QStringLiteral("Limit"), QStringLiteral("Label")});
    gridRules->verticalHeader()->hide();
    gridRules->verticalHeader()->setDefaultSectionSize(17);
    gridRules->horizontalHeader()->setStretchLastSection(true);
    gridRules->setSelectionBehavior(QAbstractItemView::SelectRows);
    gridRules->setSelectionMode(QAbstractItemView::SingleSelection);
    gridRules->setEditTriggers(QAbstractItemView::NoEditTriggers);
    gridRules->horizontalHeader()->setMinimumSectionSize(24);
    gridRules->horizontalHeader()->setDefaultAlignment(Qt::AlignLeft | Qt::AlignVCenter);
    FitColumns();
    layTop->addWidget(gridRules, 1);
    auto* layButtons = new QVBoxLayout;
    btnAdd = new QPushButton(QStringLiteral("&Add"), this);
    btnAdd->setObjectName(QStringLiteral("btnAddRule"));
    btnAdd->setAutoDefault(false);
    btnRemove = new QPushButton(QStringLiteral("&Remove"), this);
    btnRemove->setObjectName(QStringLiteral("btnRemoveRule"));
    btnRemove->setAutoDefault(false);
    layButtons->addWidget(btnAdd);
    layButtons->addWidget(btnRemove);
    layButtons->addStretch(1);
    layTop->addLayout(layButtons);
    lay->addLayout(layTop, 1);

    auto* layRow1 = new QHBoxLayout;
    comboMonitor = new QComboBox(this);
    comboMonitor->setObjectName(QStringLiteral("comboLimitMonitor"));
    comboParam = new QComboBox(this);
    comboParam->setObjectName(QStringLiteral("comboLimitParam"));
    // Any parameter of the periodic files may be named, not only the listed ones.
    comboParam->setEditable(true);
    comboParam->addItems(MeasurementParams());
    editLimit = new QLineEdit(this);
    editLimit->setObjectName(QStringLiteral("editLimit"));
    editLimit->setMaximumWidth(48);
    layRow1->addWidget(comboMonitor, 2);
    layRow1->addWidget(comboParam, 1);
    layRow1->addWidget(new QLabel(QStringLiteral("not above"), this));
    layRow1->addWidget(editLimit);
    layRow1->addWidget(new QLabel(QStringLiteral("dB(A)"), this));
    lay->addLayout(layRow1);

    auto* layRow2 = new QHBoxLayout;
    layRow2->setSpacing(2);
    for (int d = 1; d <= 7; ++d) {
        auto* chk = new QCheckBox(TLimitRule::DayName(d), this);
        chk->setObjectName(QStringLiteral("chkDay") + QString::number(d));
        achkDays[size_t(d - 1)] = chk;
        layRow2->addWidget(chk);
    }
    timeFrom = new QTimeEdit(this);
    timeFrom->setObjectName(QStringLiteral("timeLimitFrom"));
    timeTo = new QTimeEdit(this);
    timeTo->setObjectName(QStringLiteral("timeLimitTo"));
    for (QTimeEdit* t : {timeFrom, timeTo})
        t->setDisplayFormat(QStringLiteral("HH:mm"));
    layRow2->addStretch(1);
    lay->addLayout(layRow2);

    auto* layRow3 = new QHBoxLayout;
    layRow3->addWidget(new QLabel(QStringLiteral("From"), this));
    layRow3->addWidget(timeFrom);
    layRow3->addWidget(new QLabel(QStringLiteral("to"), this));
    layRow3->addWidget(timeTo);
    layRow3->addSpacing(8);
    layRow3->addWidget(new QLabel(QStringLiteral("Label"), this));
    editLabel = new QLineEdit(this);
    editLabel->setObjectName(QStringLiteral("editLimitLabel"));
    layRow3->addWidget(editLabel, 1);
    lay->addLayout(layRow3);

    FillMonitorCombo();
    EnableEditor(false);

    connect(btnAdd, &QPushButton::clicked, this, &TLimitsPage::btnAddClick);
    connect(btnRemove, &QPushButton::clicked, this, &TLimitsPage::btnRemoveClick);
    connect(gridRules, &QTableWidget::currentCellChanged, this, [this](int nRow) { LoadEditor(nRow); });
    connect(comboMonitor, &QComboBox::currentIndexChanged, this, [this] { EditorChanged(); });
    connect(comboParam, &QComboBox::currentTextChanged, this, [this] { EditorChanged(); });
    for (QCheckBox* chk : achkDays)
        connect(chk, &QCheckBox::toggled, this, [this] { EditorChanged(); });
    for (QTimeEdit* t : {timeFrom, timeTo})
        connect(t, &QTimeEdit::timeChanged, this, [this] { EditorChanged(); });
    connect(editLimit, &QLineEdit::textChanged, this, [this] { EditorChanged(); });
    connect(editLabel, &QLineEdit::textChanged, this, [this] { EditorChanged(); });
}

void TLimitsPage::SetRules(const std::vector<TLimitRule>& aRules)
{
    aRows.clear();
    for (const TLimitRule& rule : aRules)
        aRows.push_back({rule, rule.LimitText()});
    gridRules->setRowCount(int(aRows.size()));
    for (int i = 0; i < int(aRows.size()); ++i)
        ShowRow(i);
    FitColumns();
    FillMonitorCombo();
    if (!aRows.empty())
        gridRules->setCurrentCell(0, 0);
}

void TLimitsPage::SetMonitors(const std::vector<std::pair<QString, QString>>& aMons)
{
    aMonitors = aMons;
    FillMonitorCombo();
    LoadEditor(gridRules->currentRow());
}

// "All monitors" first, then the catalogue, then the IDs of rules whose monitor is
// not in the catalogue (now), so that no rule loses its monitor by being shown.
void TLimitsPage::FillMonitorCombo()
{
    const bool bWasLoading = bLoading;
    bLoading = true;
    comboMonitor->clear();
    comboMonitor->addItem(QStringLiteral("All monitors"), QString());
    for (const auto& [sID, sName] : aMonitors)
        comboMonitor->addItem(sName + QStringLiteral(" (") + sID + QLatin1Char(')'), sID);
    for (const TRow& row : aRows)
        if (!row.rule.sMonitor.isEmpty() && comboMonitor->findData(row.rule.sMonitor) < 0)
            comboMonitor->addItem(row.rule.sMonitor, row.rule.sMonitor);
    bLoading = bWasLoading;
}

void TLimitsPage::ShowRow(int iRow)
{
    const TRow& row = aRows[size_t(iRow)];
    const QStringList sl{row.rule.sMonitor.isEmpty() ? QStringLiteral("All") : row.rule.sMonitor,
                         row.rule.sParam,
                         row.rule.DaysText(),
                         row.rule.BandText(),
                         row.sLimit,
                         row.rule.sLabel};
    for (int c = 0; c < colCount; ++c) {
        QTableWidgetItem* item = gridRules->item(iRow, c);
        if (!item) {
            item = new QTableWidgetItem;
            gridRules->setItem(iRow, c, item);
        }
        item->setText(sl[c]);
    }
}

// Every column but the label as wide as its widest text or heading, never narrower
// than designed, so that days such as "Mon-Fri,Sun" are read whole.
void TLimitsPage::FitColumns()
{
    const std::array<int, colLabel> anDesigned = {56, 60, 62, 76, 38};
    for (int c = 0; c < colLabel; ++c) {
        // The cell's text with the margins a cell draws it within.
        int cxText = gridRules->horizontalHeader()->sectionSizeHint(c);
        for (int r = 0; r < gridRules->rowCount(); ++r)
            if (const QTableWidgetItem* item = gridRules->item(r, c))
                cxText = std::max(cxText, gridRules->fontMetrics().horizontalAdvance(item->text()) + 10);
        gridRules->setColumnWidth(c, std::max(anDesigned[size_t(c)], cxText));
    }
}

void TLimitsPage::EnableEditor(bool b)
{
    for (QWidget* w : std::initializer_list<QWidget*>{comboMonitor, comboParam, timeFrom, timeTo, editLimit,
                                                      editLabel, btnRemove})
        w->setEnabled(b);
    for (QCheckBox* chk : achkDays)
        chk->setEnabled(b);
}

void TLimitsPage::LoadEditor(int iRow)
{
    const bool bRow = iRow >= 0 && iRow < int(aRows.size());
    EnableEditor(bRow);
    if (!bRow)
        return;
    bLoading = true;
    const TRow& row = aRows[size_t(iRow)];
    comboMonitor->setCurrentIndex(std::max(0, comboMonitor->findData(row.rule.sMonitor)));
    comboParam->setCurrentText(row.rule.sParam);
    for (int d = 1; d <= 7; ++d)
        achkDays[size_t(d - 1)]->setChecked(row.rule.HasDay(d));
    timeFrom->setTime(TimeOf(row.rule.nStartMin));
    timeTo->setTime(TimeOf(row.rule.nEndMin));
    editLimit->setText(row.sLimit);
    editLabel->setText(row.rule.sLabel);
    bLoading = false;
}

void TLimitsPage::EditorChanged()
{
    const int iRow = gridRules->currentRow();
    if (bLoading || iRow < 0 || iRow >= int(aRows.size()))
        return;
    TRow& row = aRows[size_t(iRow)];
    row.rule.sMonitor = comboMonitor->currentData().toString();
    row.rule.sParam = comboParam->currentText().trimmed();
    row.rule.nDays = 0;
    for (int d = 1; d <= 7; ++d)
        if (achkDays[size_t(d - 1)]->isChecked())
            row.rule.nDays |= 1 << (d - 1);
    row.rule.nStartMin = timeFrom->time().hour() * 60 + timeFrom->time().minute();
    row.rule.nEndMin = timeTo->time().hour() * 60 + timeTo->time().minute();
    row.sLimit = editLimit->text().trimmed();
    row.rule.sLabel = editLabel->text().trimmed();
    ShowRow(iRow);
    FitColumns();
}

void TLimitsPage::btnAddClick()
{
    // A new rule starts as a copy of the selected one, or as a weekday daytime LAeq limit.
    TRow row;
    const int iCur = gridRules->currentRow();
    if (iCur >= 0 && iCur < int(aRows.size())) {
        row = aRows[size_t(iCur)];
    } else {
        row.rule.sParam = QStringLiteral("LAeq");
        row.rule.nDays = 0x1f;
        row.rule.nStartMin = 7 * 60;
        row.rule.nEndMin = 19 * 60;
        row.rule.dLimit = 65;
        row.sLimit = row.rule.LimitText();
    }
    aRows.push_back(row);
    gridRules->setRowCount(int(aRows.size()));
    ShowRow(int(aRows.size()) - 1);
    gridRules->setCurrentCell(int(aRows.size()) - 1, 0);
}

void TLimitsPage::btnRemoveClick()
{
    const int iRow = gridRules->currentRow();
    if (iRow < 0 || iRow >= int(aRows.size()))
        return;
    aRows.erase(aRows.begin() + iRow);
    gridRules->removeRow(iRow);
    LoadEditor(gridRules->currentRow());
}

QSize TLimitsPage::minimumSizeHint() const
{
    // The table: every column but the label at its width, the label at least as wide
    // as its heading, the header, RowsShown rows and room for a scroll bar.
    const int cxScroll = style()->pixelMetric(QStyle::PM_ScrollBarExtent, nullptr, gridRules);
    const int cxFrame = 2 * gridRules->frameWidth();
    // The label as wide as its longest text, within reason: it is free text.
    int cxLabel = std::max(120, gridRules->horizontalHeader()->sectionSizeHint(colLabel));
    for (int r = 0; r < gridRules->rowCount(); ++r)
        if (const QTableWidgetItem* item = gridRules->item(r, colLabel))
            cxLabel = std::max(cxLabel,
                               std::min(240, gridRules->fontMetrics().horizontalAdvance(item->text()) + 10));
    int cxGrid = cxFrame + cxScroll + cxLabel;
    for (int c = 0; c < colLabel; ++c)
        cxGrid += gridRules->columnWidth(c);
    const int cyGrid = cxFrame + gridRules->horizontalHeader()->sizeHint().height() +
                       RowsShown * gridRules->verticalHeader()->defaultSectionSize();
    const QMargins m = layout()->contentsMargins();
    const int nSpacing = static_cast<const QBoxLayout*>(layout())->spacing();
    int cx = cxGrid + layTop->spacing() + btnAdd->sizeHint().width();
    int cy = cyGrid;
    for (int i = 1; i < layout()->count(); ++i) {
        const QSize sz = layout()->itemAt(i)->sizeHint();
        cx = std::max(cx, sz.width());
        cy += nSpacing + sz.height();
    }
    return {cx + m.left() + m.right(), cy + m.top() + m.bottom()};
}

std::optional<std::vector<TLimitRule>> TLimitsPage::Rules(QString& sError)
{
    std::vector<TLimitRule> aRules;
    for (int i = 0; i < int(aRows.size()); ++i) {
        TLimitRule rule = aRows[size_t(i)].rule;
        const QString sRule = QStringLiteral("Limit rule ") + QString::number(i + 1) + QStringLiteral(": ");
        const std::optional<double> dLimit = TLimitRule::ParseLimit(aRows[size_t(i)].sLimit);
        if (!dLimit)
            sError = sRule + QStringLiteral("the limit must be a number from 0 to 200 dB(A) with at most one "
                                            "decimal, for example 65 or 62.5.");
        else if (rule.sParam.isEmpty() || rule.sParam.contains(QLatin1Char(' ')) ||
                 rule.sParam.contains(QLatin1Char(';')))
            sError = sRule + QStringLiteral("name one parameter, for example LAeq.");
        else if (rule.nDays == 0)
            sError = sRule + QStringLiteral("tick at least one day.");
        else if (rule.sMonitor.contains(QLatin1Char(';')))
            sError = sRule + QStringLiteral("a monitor ID cannot hold \";\".");
        if (!sError.isEmpty()) {
            gridRules->setCurrentCell(i, 0);
            return std::nullopt;
        }
        rule.dLimit = *dLimit;
        aRules.push_back(rule);
    }
    if (int(aRules.size()) > TLimits::MaxRules) {
        sError = QStringLiteral("No more than ") + QString::number(TLimits::MaxRules) +
                 QStringLiteral(" limit rules can be kept.");
        return std::nullopt;
    }
    return aRules;
}
