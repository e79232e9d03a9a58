#pragma once

#include <QString>

#include <memory>
#include <vector>

// One monitor of the catalogue.
struct TTQMonitor
{
    QString sID;   // the monitor's folder name under the data folder
    QString sName; // [head] name of its term.cfg, the ID when missing
    QString sType; // [head] type of its term.cfg, "Unknown" when missing

    void Assign(const TTQMonitor& mon);
};

// The ticked monitors of the monitor check-list, in list order: the monitors a report
// is made for.
using TMonitorSel = std::vector<const TTQMonitor*>;

// The monitors found in the data folder, sorted by display name. Row i of the main
// window's monitor list always stands for entry i.
class TTQMonitors final
{
public:
    // Rebuilds the catalogue from the data folder (which ends with a separator):
    // plain monitor folders holding a term.cfg, or, when there are none, the IDs of
    // "clientlist.csv" (their folders are created when missing).
    void LoadMonitors(const QString& sDataPath);

    int Count() const { return int(mons.size()); }
    // The entry at iHead, or nullptr outside 0 .. Count()-1.
    const TTQMonitor* GetHead(int iHead) const;
    // The last entry whose ID equals sHeadID exactly (letter case significant), or nullptr.
    const TTQMonitor* GetHeadFromID(const QString& sHeadID) const;

private:
    void SortByName();

    std::vector<std::unique_ptr<TTQMonitor>> mons;
};
