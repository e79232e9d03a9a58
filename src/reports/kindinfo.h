#pragma once

#include <QDate>
#include <QString>

#include <functional>
#include <vector>

class TCfg;
class TExclusions;
class TStringGrid;
struct TTQMonitor;

// What a report kind's grid is filled from: the settings, the data folder, the chosen
// monitors, the days (both included) and the period length in minutes.
struct TFillArgs
{
    const TCfg& cfg;
    const QString& sDataPath;
    const std::vector<const TTQMonitor*>& aMons;
    QDate dtFrom;
    QDate dtTo;
    int nPeriod;
    // The exclusions the figures leave out; none: the raw figures.
    const TExclusions* pExcl = nullptr;
};

// One page of a report kind: a sub-tab of its tab (or the whole tab), what it prints
// and what the command line calls it.
struct TKindPage
{
    QString sCaption;          // the sub-tab's caption; empty: the tab itself
    bool bChart = false;       // a stack of charts, else a grid
    QString sReport;           // the name --pdf --report takes; empty: none
    QString sTitle;            // the printed title
    bool bPeriodTitle = false; // the title goes on with " - Period = N minutes"
    QString sTable;            // the name --table takes; empty: none
    // How the grid of a grid page is filled, where the command line also fills it.
    std::function<void(TStringGrid&, const TFillArgs&)> fnFill;

    // The printed title for a report period of nPeriod minutes.
    QString Title(int nPeriod) const
    {
        return bPeriodTitle ? sTitle + QStringLiteral(" - Period = ") + QString::number(nPeriod) +
                                  QStringLiteral(" minutes")
                            : sTitle;
    }
};

// The description of a report kind: its names in the report library, on screen and
// on the command line. One per kind, kept beside the kind's page; the table of kinds
// lists them in the order of the library's index.
struct TKindInfo
{
    QString sKey;          // the first field of every file name of the kind
    QString sFolder;       // its folder in the report library
    QString sTab;          // its tab's caption
    QString sTabName;      // its tab's object name, as the window's controls are named
    int nTab = 0;          // the tab's place among the tabs, from 0
    QString sHelp;         // its help page, under the help folder
    QString sHelpMenu;     // its entry of Help > Report Types
    QString sHelpAction;   // that entry's object name
    bool bPeriod = false;  // whether its page and chart names end with the period field
    QString sHtmlTitle;    // the heading of its library pages
    QString sIndexHeading; // its section's heading on the index page
    QString sProgress;     // the export's progress line before a monitor's name; empty:
                           // the kind says its progress per day itself
    // The parts --kinds and the export dialog choose, in the order the export writes them.
    std::vector<QString> aParts;
    std::vector<TKindPage> aPages; // in the order of the sub-tabs
};
