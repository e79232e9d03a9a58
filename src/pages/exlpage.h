#pragma once

#include "pages/reportpage.h"

#include <functional>
#include <vector>

class QLabel;
class QPushButton;
class QTextStream;
class TExclusions;
class TFillGrid;
class TKindExport;
class THtmlPage;
struct TTQMonitor;

// The "Exclusions" tab: the exclusions of the ticked monitors over the range, in force,
// withdrawn and automatic, and what they leave out of each day. A row clicked in the
// list is the one Edit… and Withdraw act on; every change is saved at once, and a save
// that fails is taken back so that the tab and the file agree.
class TExlPage final : public TReportPage
{
    Q_OBJECT

public:
    TExlPage(const TPageEnv& env, QWidget* parent);
    Q_DISABLE_COPY_MOVE(TExlPage)

    // The kind's description, its tab page and its blocks of a library page.
    static const TKindInfo& Info();
    static TReportPage* Make(const TPageEnv& env, QWidget* parent) { return new TExlPage(env, parent); }
    static bool Export(TKindExport& ex, THtmlPage& page, const TTQMonitor& mon);
    // --exclusions-list: every exclusion of pExcl that concerns one of aSel and overlaps
    // the days dtFrom to dtTo, as CSV; the header line alone without a list.
    static void WriteCsv(const TExclusions* pExcl, const std::vector<const TTQMonitor*>& aSel,
                         const QDate& dtFrom, const QDate& dtTo, QTextStream& out);

    void Build(const TPageChoice& choice) override;
    QString DataFile(const QString& sDataPath, const QString& sID, const QDate& d,
                     int nPeriod) const override;
    QString Note() const override;

    // The exclusion on row nRow of the list becomes the chosen one (none for a row
    // without one); what a click does.
    void ChooseRow(int nRow);
    int Chosen() const { return nChosen; }
    // The actions of the buttons; Edit asks through the exclusion dialog.
    void EditChosen();
    void WithdrawChosen();
    void UndoLast();

    // Shows a failed save's message; a message box unless a test replaces it.
    void SetMessageFn(std::function<void(const QString&)> fn) { fnMessage = std::move(fn); }

private:
    // Saves the list after a change; on failure shows why and takes the change back.
    // bUndoing: the change was an undo, which only a new read of the file takes back.
    void SaveChange(bool bUndoing);
    void UpdateButtons();
    void Message(const QString& s);

    TFillGrid* exlList = nullptr;
    TFillGrid* exlEffect = nullptr;
    QLabel* lblChosen = nullptr;
    QPushButton* btnEdit = nullptr;
    QPushButton* btnWithdraw = nullptr;
    QPushButton* btnUndo = nullptr;
    TPageChoice choiceBuilt; // what the grids show, built again after a change
    bool bBuilt = false;
    std::vector<int> aiRowIds; // per row of the list, the id of its exclusion; 0: none
    int nChosen = 0;
    std::function<void(const QString&)> fnMessage;
};
