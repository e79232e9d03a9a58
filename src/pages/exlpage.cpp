#include "pages/exlpage.h"

#include "analysis/exclusions.h"
#include "analysis/exclusionsfill.h"
#include "datafiles/perfile.h"
#include "dialogs/exclusiondlg.h"
#include "monitors/monitor.h"
#include "output/htmlpage.h"
#include "pages/kindexport.h"
#include "platform/product.h"
#include "reports/stringgrid.h"
#include "views/fillgrid.h"

#include <QHBoxLayout>
#include <QLabel>
#include <QMessageBox>
#include <QPushButton>
#include <QTextStream>
#include <QVBoxLayout>

const TKindInfo& TExlPage::Info()
{
    static const TKindInfo info{
        QStringLiteral("exl"),
        QStringLiteral("exclusions"),
        QStringLiteral("Exclusions"),
        QStringLiteral("tabExclusions"),
        6,
        QStringLiteral("reptypes/exclusions.html"),
        QStringLiteral("E&xclusions"),
        QStringLiteral("menuHelpExclusions"),
        true,
        QStringLiteral("Exclusions Report"),
        QStringLiteral("Exclusions Reports"),
        QStringLiteral("Exclusions reports: "),
        {QStringLiteral("exl")},
        {TKindPage{QStringLiteral("List"), false, QStringLiteral("exclusions"), QStringLiteral("Exclusions"), false,
                   QStringLiteral("exclusions"),
                   [](TStringGrid& grid, const TFillArgs& a) {
                       TExclusionsFill::FillList(grid, a.aMons,
                                                 TExclusionsFill::Compute(a.pExcl, a.sDataPath, a.aMons, a.dtFrom,
                                                                          a.dtTo, a.nPeriod));
                   }},
         TKindPage{QStringLiteral("Effect per day"), false, QStringLiteral("exclusion-effect"),
                   QStringLiteral("Exclusions - Effect per Day"), true, QStringLiteral("exclusion-effect"),
                   [](TStringGrid& grid, const TFillArgs& a) {
                       TExclusionsFill::FillEffect(grid, a.aMons,
                                                   TExclusionsFill::Compute(a.pExcl, a.sDataPath, a.aMons,
                                                                            a.dtFrom, a.dtTo, a.nPeriod));
                   }}}};
    return info;
}

TExlPage::TExlPage(const TPageEnv& env, QWidget* parent) : TReportPage(Info(), env, parent)
{
    MakeLayout(QStringLiteral("lblExlNote"), QStringLiteral("pagesExl"),
               {QStringLiteral("panelExlList"), QStringLiteral("panelExlEffect")}, QString(), false);

    // The buttons over the list; the grid puts itself under them.
    QWidget* panel = PageWidget(0);
    auto* lay = new QVBoxLayout(panel);
    lay->setSpacing(0);
    auto* bar = new QHBoxLayout;
    bar->setContentsMargins(0, 0, 0, 6);
    btnEdit = new QPushButton(QStringLiteral("&Edit…"), panel);
    btnEdit->setObjectName(QStringLiteral("btnExlEdit"));
    btnWithdraw = new QPushButton(QStringLiteral("&Withdraw"), panel);
    btnWithdraw->setObjectName(QStringLiteral("btnExlWithdraw"));
    btnUndo = new QPushButton(QStringLiteral("&Undo"), panel);
    btnUndo->setObjectName(QStringLiteral("btnExlUndo"));
    lblChosen = new QLabel(panel);
    lblChosen->setObjectName(QStringLiteral("lblExlChosen"));
    lblChosen->setTextFormat(Qt::PlainText);
    bar->addWidget(btnEdit);
    bar->addWidget(btnWithdraw);
    bar->addWidget(btnUndo);
    bar->addSpacing(12);
    bar->addWidget(lblChosen, 1);
    lay->addLayout(bar);

    exlList = new TFillGrid(env.cfg, env.mons, panel);
    exlList->setObjectName(QStringLiteral("exlList"));
    SetGrid(0, exlList);
    exlEffect = new TFillGrid(env.cfg, env.mons, PageWidget(1));
    exlEffect->setObjectName(QStringLiteral("exlEffect"));
    SetGrid(1, exlEffect);

    connect(exlList, &QAbstractItemView::clicked, this, [this](const QModelIndex& i) { ChooseRow(i.row()); });
    connect(exlList, &QAbstractItemView::doubleClicked, this, [this](const QModelIndex& i) {
        ChooseRow(i.row());
        if (btnEdit->isEnabled())
            EditChosen();
    });
    connect(btnEdit, &QPushButton::clicked, this, &TExlPage::EditChosen);
    connect(btnWithdraw, &QPushButton::clicked, this, &TExlPage::WithdrawChosen);
    connect(btnUndo, &QPushButton::clicked, this, &TExlPage::UndoLast);
    UpdateButtons();
}

void TExlPage::Build(const TPageChoice& c)
{
    choiceBuilt = c;
    bBuilt = true;
    SetNote(env.excl ? Note() : QStringLiteral("There is no exclusion list."));
    // The list as it is, whether or not the figures leave it out: this tab is where
    // it is looked after.
    const TExclusions* pExcl = env.excl;
    const QDate dtFrom = c.dtStart.date();
    const QDate dtTo = c.dtEnd.date();
    std::vector<TExclusionMonitor> aRes;
    exlList->LoadTicked(env.chklstMon, [&](TStringGrid& grid, const QString& sDataPath, const TMonitorSel& aMons) {
        aRes = TExclusionsFill::Compute(pExcl, sDataPath, aMons, dtFrom, dtTo, c.nPeriod);
        TExclusionsFill::FillList(grid, aMons, aRes, &aiRowIds);
    });
    exlEffect->LoadTicked(env.chklstMon, [&](TStringGrid& grid, const QString&, const TMonitorSel& aMons) {
        TExclusionsFill::FillEffect(grid, aMons, aRes);
    });
    // The chosen exclusion stays chosen while it is still listed.
    const int nWas = nChosen;
    nChosen = 0;
    for (int n : aiRowIds)
        if (n != 0 && n == nWas)
            nChosen = n;
    UpdateButtons();
}

QString TExlPage::DataFile(const QString& sDataPath, const QString& sID, const QDate& d, int nPeriod) const
{
    return TPerFile::FileName(sDataPath, sID, d, nPeriod);
}

QString TExlPage::Note() const
{
    return TExclusionsFill::Note();
}

void TExlPage::ChooseRow(int nRow)
{
    nChosen = nRow >= 0 && nRow < int(aiRowIds.size()) ? aiRowIds[size_t(nRow)] : 0;
    UpdateButtons();
}

void TExlPage::UpdateButtons()
{
    const TExclusion* ex = env.excl && nChosen > 0 ? env.excl->Find(nChosen) : nullptr;
    const bool bEditable = ex != nullptr && !ex->IsWithdrawn();
    btnEdit->setEnabled(bEditable);
    btnWithdraw->setEnabled(bEditable);
    btnUndo->setEnabled(env.excl != nullptr && env.excl->CanUndo());
    if (nChosen < 0)
        lblChosen->setText(QStringLiteral("Exclusion ") + TExclusionsFill::IdText(nChosen) +
                           QStringLiteral(" is automatic: the weather rules change it"));
    else if (ex && ex->IsWithdrawn())
        lblChosen->setText(QStringLiteral("Exclusion ") + QString::number(nChosen) +
                           QStringLiteral(" is withdrawn"));
    else if (ex)
        lblChosen->setText(QStringLiteral("Exclusion ") + QString::number(nChosen) + QStringLiteral(" chosen: ") +
                           TExclusion::WallText(ex->nFrom) + QStringLiteral(" to ") + TExclusion::WallText(ex->nTo) +
                           QStringLiteral(", ") + TExclusion::ReasonText(ex->eReason));
    else
        lblChosen->setText(env.excl ? QStringLiteral("Click an exclusion to choose it") : QString());
}

void TExlPage::EditChosen()
{
    const TExclusion* ex = env.excl && nChosen > 0 ? env.excl->Find(nChosen) : nullptr;
    if (ex == nullptr || ex->IsWithdrawn())
        return;
    QStringList slIDs;
    for (int i = 0; i < env.mons.Count(); ++i)
        if (const TTQMonitor* mon = env.mons.GetHead(i))
            slIDs.append(mon->sID);
    TExclusionDlg dlg(*ex, slIDs, this);
    if (dlg.exec() != QDialog::Accepted)
        return;
    QString sError;
    if (!env.excl->Edit(dlg.Result(), sError)) {
        Message(sError);
        return;
    }
    SaveChange(false);
}

void TExlPage::WithdrawChosen()
{
    const TExclusion* ex = env.excl && nChosen > 0 ? env.excl->Find(nChosen) : nullptr;
    if (ex == nullptr || ex->IsWithdrawn())
        return;
    QString sError;
    if (!env.excl->Withdraw(nChosen, sError)) {
        Message(sError);
        return;
    }
    SaveChange(false);
}

void TExlPage::UndoLast()
{
    if (env.excl == nullptr || !env.excl->Undo())
        return;
    SaveChange(true);
}

void TExlPage::SaveChange(bool bUndoing)
{
    QString sError;
    if (env.excl->Save(sError)) {
        if (bBuilt)
            Build(choiceBuilt);
        UpdateButtons();
        Q_EMIT ExclusionsChanged();
        return;
    }
    // The file kept what it held: the list goes back to it, so that the tab does not
    // show a change that is not stored.
    if (bUndoing) {
        QString sLoadError;
        env.excl->Load(env.excl->FileName(), sLoadError);
    } else {
        env.excl->Undo();
    }
    if (bBuilt)
        Build(choiceBuilt);
    UpdateButtons();
    Message(sError);
}

void TExlPage::Message(const QString& s)
{
    if (fnMessage) {
        fnMessage(s);
        return;
    }
    QMessageBox box(QMessageBox::Critical, TProduct::AppTitle(), s, QMessageBox::Ok, this);
    box.exec();
}

bool TExlPage::Export(TKindExport& ex, THtmlPage& page, const TTQMonitor& mon)
{
    const TMonitorSel aOne{&mon};
    const std::vector<TExclusionMonitor> aRes =
        TExclusionsFill::Compute(ex.Exclusions(), ex.DataPath(), aOne, ex.From(), ex.To(), ex.Period());
    TStringGrid list;
    TExclusionsFill::FillList(list, aOne, aRes);
    TStringGrid effect;
    TExclusionsFill::FillEffect(effect, aOne, aRes);
    page.AddExlTables(list, effect, ex.Exclusions() != nullptr);
    return true;
}

void TExlPage::WriteCsv(const TExclusions* pExcl, const TMonitorSel& aSel, const QDate& dtFrom, const QDate& dtTo,
                        QTextStream& out)
{
    const TExclusions none;
    out << TExclusionsFill::Csv(pExcl ? *pExcl : none, aSel, dtFrom, dtTo);
    out.flush();
}
