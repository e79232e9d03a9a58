#include "output/htmlpage.h"

#include "analysis/exclusionsfill.h"

#include "platform/wholefile.h"

#include "datafiles/almfile.h"
#include "datafiles/calfile.h"
#include "datafiles/perfile.h"
#include "monitors/monitor.h"
#include "platform/datefmt.h"
#include "platform/product.h"
#include "settings/cfg.h"
#include "reports/gridfill.h"
#include "reports/markup.h"
#include "analysis/limitsfill.h"
#include "analysis/qualityfill.h"
#include "analysis/ratingfill.h"
#include "reports/stringgrid.h"

#include <QDir>
#include <QSet>
#include <QTime>
#include <QUrl>

#include <algorithm>
#include <utility>
#include <vector>

namespace {
QString Esc(const QString& s)
{
    return s.toHtmlEscaped();
}

// Calls fn for every day from dtFrom to dtTo, both included, until the run is
// cancelled; pending events get their turn before each day.
template <class TFn> void ForEachDay(const QDate& dtFrom, const QDate& dtTo, const TRunHooks& hooks, TFn fn)
{
    if (!dtFrom.isValid() || !dtTo.isValid())
        return;
    for (QDate d = dtFrom; d <= dtTo; d = d.addDays(1)) {
        if (hooks.Cancelled())
            break;
        hooks.Pump();
        fn(d);
    }
}

const QString& HeadDateTimeCell()
{
    static const QString s = QStringLiteral("<td class=\"datetime\">");
    return s;
}

enum class ESumRow
{
    Skip,
    Head,
    Body
};

// How a row of the summary grid lands in the page. A heading row holds only "~h~"
// cells; the unit row under it starts with an empty cell and holds only "^" cells.
// The range row also starts with a "~h~" cell but carries emphasised values, so it
// stays a body row.
ESumRow SumRowKind(const TStringGrid& grid, int nRow)
{
    const QLatin1String sHeadTag("~h~");
    bool bAllHead = true;
    bool bAllCaret = true;
    bool bAny = false;
    for (int c = 0; c < grid.ColCount(); ++c) {
        const QString& s = grid.Cells(c, nRow);
        if (s.isEmpty())
            continue;
        if (s.startsWith(QLatin1String("~name~")))
            return ESumRow::Skip;
        bAny = true;
        bAllHead = bAllHead && s.startsWith(sHeadTag);
        bAllCaret = bAllCaret && s.startsWith(QLatin1Char('^'));
    }
    if (!bAny)
        return ESumRow::Skip;
    if (bAllHead || (bAllCaret && grid.Cells(0, nRow).isEmpty()))
        return ESumRow::Head;
    return ESumRow::Body;
}

// A page name of the index, cut into the monitor ID and the fields after it.
struct TIndexName
{
    QString sFile;
    QString sID; // empty when the name belongs to no catalogue monitor
    QStringList slTail;
};

// Page names are read from the end, since an ID may hold "_" itself: the kinds with a
// period end with FROM_TO_PERIOD, the others with FROM_TO, and what lies between the
// kind key and those fields is the ID. A hand-named file of the other kind's shape
// still finds its monitor; one with more fields goes to the longest catalogue ID that
// leaves two fields for the dates.
TIndexName SplitIndexName(const QString& sFile, const QString& sKey, bool bHasPeriod,
                          const QSet<QString>& setIDs)
{
    TIndexName name;
    name.sFile = sFile;
    const QStringList slTok = sFile.chopped(5).split(QLatin1Char('_'));
    if (slTok.size() < 4 || slTok[0] != sKey)
        return name;
    const qsizetype nOwnTail = bHasPeriod ? 3 : 2;
    int nBestRank = 3;
    for (qsizetype j = slTok.size() - 3; j >= 1; --j) {
        const qsizetype nTail = slTok.size() - 1 - j;
        const int nRank = nTail == nOwnTail ? 0 : nTail <= 3 ? 1 : 2;
        if (nRank >= nBestRank)
            continue;
        QString sID = slTok.mid(1, j).join(QLatin1Char('_'));
        if (!setIDs.contains(sID))
            continue;
        nBestRank = nRank;
        name.sID = std::move(sID);
        name.slTail = slTok.mid(j + 1);
    }
    return name;
}

struct TIndexEntry
{
    QString sFile;
    QString sName;
    QDate dtFrom;
    QDate dtTo;
    int nPeriod = 0;
};
} // namespace

QString THtmlPage::LongDate(const QDate& dt)
{
    return TDateFmt::Format(dt, QStringLiteral("MMM DD, YYYY"));
}

QString THtmlPage::IsoDate(const QDate& dt)
{
    return TDateFmt::Format(dt, QStringLiteral("YYYY-MM-DD"));
}

QString THtmlPage::LinkName(const QString& sFile)
{
    return QString::fromLatin1(QUrl::toPercentEncoding(sFile));
}

void THtmlPage::AddPageHead(const QString& sTitle, bool bHideLogo)
{
    slLines << QStringLiteral("<!DOCTYPE HTML><html>") << QStringLiteral("<head>")
            << QStringLiteral("<meta http-equiv=\"Content-Type\" content=\"text/html; charset=utf-8\">")
            << QStringLiteral("<title>Tarvik Report</title>") << QStringLiteral("<style>")
            << QStringLiteral("body { font-family:Arial, Helvetica, sans-serif; font-size:14px }")
            << QStringLiteral("#main { width:800px; overflow:hidden }")
            << QStringLiteral("a, a:visited { color:#008; font-weight:bold; text-decoration:none }")
            << QStringLiteral("a:hover { text-decoration:underline }")
            << QStringLiteral("#head { width:800px; overflow:hidden }")
            << QStringLiteral("#title { float:left; font-size:22px; font-weight:bold }")
            << QStringLiteral("#kx { float:right; color:#006; cursor:pointer }")
            << QStringLiteral("#kxkx { font-size:18px; font-weight:bold }")
            << QStringLiteral("#kxtq { font-size:12px; margin-top:-4px }")
            << QStringLiteral("#foot { margin-top:48px; border-top:1px solid #000 }")
            << QStringLiteral("h1 { font-size:22px }") << QStringLiteral("h3 { font-size:16px }")
            << QStringLiteral(".idxtbl { border-spacing:0px }")
            << QStringLiteral(".idxtbl tr { height:24px }")
            << QStringLiteral(".idxtbl .head { font-weight:bold }")
            << QStringLiteral(".idxtbl .link { cursor:pointer }")
            << QStringLiteral(".idxtbl .link:hover { background:#EEE }")
            << QStringLiteral("#tblPer { margin-top:24px }") << QStringLiteral("#tblPer td { width:60px }")
            << QStringLiteral("#tblPer .datetime { width:90px }")
            << QStringLiteral("#tblPer .gap { height:22px }")
            << QStringLiteral("#tblPer .head { font-weight:bold }")
            << QStringLiteral("#tblPer .hi { font-weight:bold }") << QStringLiteral("</style>")
            << QStringLiteral("</head>") << QStringLiteral("<body>") << QStringLiteral("<div id=\"main\">")
            << QStringLiteral("<div id=\"head\">")
            << QStringLiteral("<div id=\"title\">") + Esc(sTitle) + QStringLiteral("</div>");
    if (!bHideLogo)
        slLines << QStringLiteral("<div id=\"kx\" onclick=\"location.href='") + TProduct::WebUrl() +
                       QStringLiteral(
                           "'\"><div id=\"kxkx\">Kestrom</div><div id=\"kxtq\">Tarvik Reporter</div></div>");
    slLines << QStringLiteral("</div>");
}

void THtmlPage::AddPageFoot(const QDate& dtToday)
{
    slLines << QStringLiteral("<div id=\"foot\">Generated by <a href=\"") + TProduct::WebUrl() +
                   QStringLiteral("\">Tarvik-RP</a> v") + TProduct::Version() + QStringLiteral(" on ") +
                   TDateFmt::Format(dtToday, QStringLiteral("ddd mmm d, yyyy")) + QStringLiteral(".</div>")
            << QStringLiteral("</div>") << QStringLiteral("</body></html>");
}

void THtmlPage::AddPreamble(const TTQMonitor& mon, const QDate& dtFrom, const QDate& dtTo)
{
    slLines << QStringLiteral("<h1>") + Esc(mon.sName) + QStringLiteral("</h1>")
            << QStringLiteral("<h3>") + LongDate(dtFrom);
    if (dtTo != dtFrom)
        slLines << QStringLiteral(" to ") + LongDate(dtTo);
    slLines << QStringLiteral("</h3>")
            << QStringLiteral("<p>Monitor ID: ") + Esc(mon.sID) + QStringLiteral("<br>")
            << QStringLiteral("Monitor Type: ") + Esc(mon.sType) + QStringLiteral("</p>");
}

void THtmlPage::AddChartBlock(const QString& sImage, const QString& sZoomImage)
{
    const QString sImg = QStringLiteral("<img src=\"charts/") + LinkName(sImage) + QStringLiteral("\">");
    if (sZoomImage.isEmpty())
        slLines << QStringLiteral("<div>") + sImg + QStringLiteral("</div>");
    else
        slLines << QStringLiteral("<div><a href=\"charts/") + LinkName(sZoomImage) + QStringLiteral("\">") +
                       sImg + QStringLiteral("</a></div>");
}

void THtmlPage::AddPerTable(const TCfg& cfg, const QString& sDataPath, const QString& sID,
                            const QDate& dtFrom, const QDate& dtTo, int nPeriod, const TRunHooks& hooks,
                            const TExcludedOn& fnExcluded)
{
    TPerFile per(sDataPath);
    std::vector<int> aiShown;
    std::vector<std::vector<TDayExclusion>> aaExcluded; // per shown field
    slLines << QStringLiteral("<table id=\"tblPer\">");
    ForEachDay(dtFrom, dtTo, hooks, [&](const QDate& d) {
        if (!per.Load(sID, d, nPeriod))
            return;
        aiShown.clear();
        for (int iFld = 0; iFld < per.FldCount(); ++iFld)
            if (cfg.IncludeParam(per.FldName(iFld)))
                aiShown.push_back(iFld);

        slLines << QStringLiteral("<tr class=\"head\">") << HeadDateTimeCell() + QStringLiteral("Date</td>")
                << HeadDateTimeCell() + QStringLiteral("Time</td>");
        // Field 0 is the time of day, which the fixed "Time" cell stands for.
        for (int iFld : aiShown)
            if (iFld > 0)
                slLines << QStringLiteral("<td>") + Esc(per.FldName(iFld).remove(QLatin1Char('.'))) +
                               QStringLiteral("</td>");
        slLines << QStringLiteral("</tr>");

        slLines << QStringLiteral("<tr class=\"head\">") << QStringLiteral("<td></td>");
        for (int iFld : aiShown) {
            slLines << QStringLiteral("<td>");
            if (per.FldName(iFld).startsWith(QLatin1String("LA")))
                slLines << QStringLiteral("dB(A)");
            slLines << QStringLiteral("</td>");
        }
        slLines << QStringLiteral("</tr>");

        // The measured fields' excluded stretches of the day, as on screen.
        aaExcluded.assign(aiShown.size(), {});
        bool bAnyExcluded = false;
        if (fnExcluded) {
            for (size_t k = 0; k < aiShown.size(); ++k) {
                const QString sFld = per.FldName(aiShown[k]);
                if (!sFld.startsWith(u'.'))
                    aaExcluded[k] = fnExcluded(sID, sFld, d);
                bAnyExcluded = bAnyExcluded || !aaExcluded[k].empty();
            }
        }

        // A year holds millions of cells: each goes straight into the page text.
        const QString sDay = QStringLiteral("<td>") + IsoDate(d) + QStringLiteral("</td>");
        QString sBuf;
        for (int iRec = 0; iRec < per.RecCount(); ++iRec) {
            slLines << "<tr>" << sDay;
            const int nStart = bAnyExcluded ? per.FldTimeSecs(iRec, 0) : -1;
            for (size_t k = 0; k < aiShown.size(); ++k) {
                // Lines "<td>", the value (none for "-") and "</td>"; an excluded
                // value in an <i> that names the reasons.
                slLines.Put("<td>\r\n");
                const QStringView s = per.FldText(iRec, aiShown[k], sBuf);
                if (s != QLatin1StringView("-")) {
                    const QString sReasons =
                        nStart >= 0 ? TGridFill::PeriodReasons(aaExcluded[k], nStart, nPeriod * 60) : QString();
                    if (!sReasons.isEmpty()) {
                        slLines.Put("<i title=\"");
                        slLines.PutEscaped(sReasons);
                        slLines.Put("\">");
                        slLines.PutEscaped(s);
                        slLines.Put("</i>");
                    } else {
                        slLines.PutEscaped(s);
                    }
                    slLines << "\r\n</td>";
                } else {
                    slLines << "</td>";
                }
            }
            slLines << "</tr>";
        }
        slLines << QStringLiteral("<tr class=\"gap\"></tr>");
    });
    slLines << QStringLiteral("</table>");
}

void THtmlPage::AddAlmTable(const QString& sDataPath, const QString& sID, const QDate& dtFrom,
                            const QDate& dtTo, int nPeriod, const TRunHooks& hooks)
{
    TAlmFile alm(sDataPath);
    // The same counts and period times as the on-screen alarm table.
    const std::vector<QString> asTimes = TGridFill::PeriodTimes(nPeriod);
    const int nPeriods = int(asTimes.size());
    std::vector<int> anCount;

    slLines << QStringLiteral("<h3>Alarms Per ") + QString::number(nPeriod) +
                   QStringLiteral(" Minute Period</h3>")
            << QStringLiteral("<table id=\"tblPer\">");
    ForEachDay(dtFrom, dtTo, hooks, [&](const QDate& d) {
        TGridFill::CountAlarms(alm, sID, d, nPeriod, anCount);
        slLines << QStringLiteral("<tr class=\"head\">") << HeadDateTimeCell() + QStringLiteral("Date</td>")
                << HeadDateTimeCell() + QStringLiteral("Time</td>") << QStringLiteral("<td>Alarms</td>")
                << QStringLiteral("</tr>");
        const QString sDay = IsoDate(d);
        for (int k = 0; k < nPeriods; ++k) {
            const int nCount = anCount[size_t(k)];
            const QLatin1StringView sTd = nCount > 0 ? QLatin1StringView("<td class=\"hi\">") : QLatin1StringView("<td >");
            slLines << "<tr>";
            for (const QString& sCell : {sDay, asTimes[size_t(k)], QString::number(nCount)}) {
                slLines.Put(sTd);
                slLines.Put(sCell);
                slLines << "</td>";
            }
            slLines << "</tr>";
        }
        slLines << QStringLiteral("<tr class=\"gap\"></tr>");
    });
    slLines << QStringLiteral("</table>");
}

template <class TReader>
void THtmlPage::AddEventList(const QString& sHeading, const QString& sDataPath, const QString& sID,
                             const QDate& dtFrom, const QDate& dtTo, const TRunHooks& hooks)
{
    TReader rdr(sDataPath);
    slLines << sHeading << QStringLiteral("<table id=\"tblPer\">") << QStringLiteral("<tr class=\"head\">")
            << HeadDateTimeCell() + QStringLiteral("Date</td>")
            << HeadDateTimeCell() + QStringLiteral("Time</td>") << QStringLiteral("</tr>");
    QDate dtListed = dtFrom;
    ForEachDay(dtFrom, dtTo, hooks, [&](const QDate& d) {
        if (!rdr.Load(sID, d))
            return;
        const QString sDay = QStringLiteral("<td>") + IsoDate(d) + QStringLiteral("</td>");
        QString sBuf;
        for (int iRec = 0; iRec < rdr.RecCount(); ++iRec) {
            if (d != dtListed) {
                slLines << QStringLiteral("<tr class=\"gap\"></tr>");
                dtListed = d;
            }
            slLines << "<tr>" << sDay;
            slLines.Put("<td>");
            slLines.PutEscaped(rdr.FldText(iRec, 0, sBuf));
            slLines << "</td>" << "</tr>";
        }
    });
    slLines << QStringLiteral("</table>");
}

void THtmlPage::AddAlmList(const QString& sDataPath, const QString& sID, const QDate& dtFrom,
                           const QDate& dtTo, const TRunHooks& hooks)
{
    AddEventList<TAlmFile>(QStringLiteral("<h3>List of All Alarms</h3>"), sDataPath, sID, dtFrom, dtTo,
                           hooks);
}

void THtmlPage::AddCalList(const QString& sDataPath, const QString& sID, const QDate& dtFrom,
                           const QDate& dtTo, const TRunHooks& hooks)
{
    AddEventList<TCalFile>(QStringLiteral("<h3>List of Calibrations</h3>"), sDataPath, sID, dtFrom, dtTo,
                           hooks);
}

void THtmlPage::AddSumTable(const TStringGrid& grid, const TRatingSettings& set)
{
    AddMarkedTable(grid, TRatingFill::ColDate);
    slLines << QStringLiteral("<p>") + Esc(TRatingFill::Note(set)) + QStringLiteral("</p>");
}

void THtmlPage::AddExcTable(const TStringGrid& grid)
{
    AddMarkedTable(grid, TRatingFill::ColDate);
    slLines << QStringLiteral("<p>") + Esc(TLimitsFill::Note()) + QStringLiteral("</p>");
}

void THtmlPage::AddExlTables(const TStringGrid& list, const TStringGrid& effect, bool bList)
{
    if (!bList) {
        slLines << QStringLiteral("<p>There is no exclusion list.</p>");
        return;
    }
    slLines << QStringLiteral("<h3>Exclusions</h3>");
    AddMarkedTable(list, -1);
    slLines << QStringLiteral("<h3>Effect per Day</h3>");
    AddMarkedTable(effect, -1, true);
    slLines << QStringLiteral("<p>") + Esc(TExclusionsFill::Note()) + QStringLiteral("</p>");
}

void THtmlPage::AddExcludedLine(int nPeriods, const QString& sLink)
{
    const QString sReport = QStringLiteral("Exclusions Report");
    slLines << QStringLiteral("<p>") + QString::number(nPeriods) +
                   (nPeriods == 1 ? QStringLiteral(" period") : QStringLiteral(" periods")) +
                   QStringLiteral(" excluded; see the ") +
                   (sLink.isEmpty() ? sReport
                                    : QStringLiteral("<a href=\"") + sLink + QStringLiteral("\">") + sReport +
                                          QStringLiteral("</a>")) +
                   QStringLiteral("</p>");
}

void THtmlPage::AddQualTable(const TStringGrid& grid, const TQualitySettings& set)
{
    AddMarkedTable(grid, TQualityFill::ColDate);
    slLines << QStringLiteral("<p>") + Esc(TQualityFill::Note(set)) + QStringLiteral("</p>");
}

void THtmlPage::AddStatTable(const TStringGrid& grid)
{
    AddMarkedTable(grid, -1);
}

void THtmlPage::AddEvtTable(const TStringGrid& grid)
{
    // "00:00:02 next day" or "cut at threshold change" broken over two lines reads as
    // two values.
    AddMarkedTable(grid, -1, true);
}

void THtmlPage::AddMarkedTable(const TStringGrid& grid, int nDateCol, bool bNoWrap)
{
    slLines << (bNoWrap ? QStringLiteral("<table id=\"tblPer\" style=\"white-space:nowrap\">")
                        : QStringLiteral("<table id=\"tblPer\">"));
    for (int nRow = 0; nRow < grid.RowCount(); ++nRow) {
        const ESumRow kind = SumRowKind(grid, nRow);
        if (kind == ESumRow::Skip)
            continue;
        if (kind == ESumRow::Head) {
            slLines << QStringLiteral("<tr class=\"head\">");
            for (int c = 0; c < grid.ColCount(); ++c) {
                // The row class makes the whole row bold; the markup only gives the text.
                const QString sTd = c == nDateCol ? HeadDateTimeCell() : QStringLiteral("<td>");
                slLines << sTd + Esc(TMarkup::Shown(grid.Cells(c, nRow)).sText) + QStringLiteral("</td>");
            }
            slLines << QStringLiteral("</tr>");
            continue;
        }
        slLines << QStringLiteral("<tr>");
        for (int c = 0; c < grid.ColCount(); ++c) {
            // A grey value is shown, not dropped: it still has a level, just too few
            // periods behind it.
            const TMarkedText mt = TMarkup::Shown(grid.Cells(c, nRow));
            if (mt.bDim)
                slLines.Put("<td style=\"color:#888\">");
            else if (mt.bBold)
                slLines.Put("<td class=\"hi\">");
            else
                slLines.Put("<td>");
            if (mt.bExcluded) {
                slLines.Put("<i title=\"");
                slLines.PutEscaped(mt.sReasons);
                slLines.Put("\">");
                slLines.PutEscaped(mt.sText);
                slLines.Put("</i>");
            } else {
                slLines.PutEscaped(mt.sText);
            }
            slLines << "</td>";
        }
        slLines << QStringLiteral("</tr>");
    }
    slLines << QStringLiteral("</table>");
}

void THtmlPage::AddIndexSection(const TKindInfo& kind, const QString& sHtmlDir, const TTQMonitors& mons)
{
    const QString sKey = kind.sKey;
    // The folder is listed once; each name then goes to the one monitor whose ID it
    // holds, so a monitor whose ID begins another's (12 and 123) does not collect the
    // other's pages.
    QStringList slNames = QDir(sHtmlDir + kind.sFolder)
                              .entryList(QStringList{sKey + QStringLiteral("_*.html")},
                                         QDir::Files | QDir::Hidden | QDir::System, QDir::NoSort);
    std::sort(slNames.begin(), slNames.end());

    QSet<QString> setIDs;
    for (int iMon = 0; iMon < mons.Count(); ++iMon)
        setIDs.insert(mons.GetHead(iMon)->sID);
    std::vector<TIndexName> aNames;
    for (const QString& sFile : std::as_const(slNames)) {
        TIndexName name = SplitIndexName(sFile, sKey, kind.bPeriod, setIDs);
        if (!name.sID.isEmpty())
            aNames.push_back(std::move(name));
    }

    std::vector<TIndexEntry> aEntries;
    bool bPeriod = false;
    for (int iMon = 0; iMon < mons.Count(); ++iMon) {
        const TTQMonitor* mon = mons.GetHead(iMon);
        for (const TIndexName& name : aNames) {
            if (name.sID != mon->sID)
                continue;
            TIndexEntry e;
            e.sFile = name.sFile;
            e.sName = mon->sName;
            e.dtFrom = ReportDateToDate(name.slTail[0]);
            e.dtTo = ReportDateToDate(name.slTail[1]);
            // A period field that is not a decimal number (a hand-named file) gives no
            // period cell.
            if (name.slTail.size() == 3) {
                e.nPeriod = std::max(DecimalNumber(name.slTail[2]), 0);
                bPeriod = true;
            }
            aEntries.push_back(e);
        }
    }
    if (aEntries.empty())
        return;

    slLines << QStringLiteral("<h1>") + kind.sIndexHeading + QStringLiteral("</h1>")
            << QStringLiteral("<table class=\"idxtbl\">");
    if (bPeriod)
        slLines << QStringLiteral("<tr class=\"head\"><td style=\"width:180px\">Monitor</td><td "
                                  "style=\"width:220px\">Date</td><td>Period</td></tr>");
    else
        slLines << QStringLiteral("<tr class=\"head\"><td style=\"width:180px\">Monitor</td><td "
                                  "style=\"width:220px\">Date</td></tr>");
    const QString sPrefix = TReportNames::LinkPrefix(kind);
    for (const TIndexEntry& e : aEntries) {
        QString sDate = LongDate(e.dtFrom);
        if (e.dtTo != e.dtFrom)
            sDate += QStringLiteral(" - ") + LongDate(e.dtTo);
        QString s = QStringLiteral("<tr class=\"link\" onclick=\"location.href='") + sPrefix +
                    LinkName(e.sFile) + QStringLiteral("'\"><td>") + Esc(e.sName) +
                    QStringLiteral("</td><td>") + sDate + QStringLiteral("</td>");
        if (e.nPeriod > 0)
            s += QStringLiteral("<td>") + QString::number(e.nPeriod) + QStringLiteral(" min</td>");
        slLines << s + QStringLiteral("</tr>");
    }
    slLines << QStringLiteral("</table>");
}

void THtmlPage::AddIndexPage(const QString& sHtmlDir, const TTQMonitors& mons, const QString& sHeader,
                             bool bHideLogo, const std::vector<const TKindInfo*>& aKinds,
                             const QDate& dtToday)
{
    AddPageHead(sHeader, bHideLogo);
    for (const TKindInfo* kind : aKinds)
        AddIndexSection(*kind, sHtmlDir, mons);
    AddPageFoot(dtToday);
}

bool THtmlPage::Save(const QString& sPath) const
{
    QString sError;
    return Save(sPath, sError);
}

bool THtmlPage::Save(const QString& sPath, QString& sError) const
{
    return TWholeFile::Save(sPath, slLines.Utf8(), sError);
}
