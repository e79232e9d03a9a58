#include "pages/reportkinds.h"
#include "pages/reportpage.h"

#include "monitors/monitor.h"
#include "settings/cfg.h"
#include "views/grid.h"
#include "views/scrollbox.h"

#include <QFileInfo>
#include <QListWidget>
#include <QSet>
#include <QTabWidget>

#include <gtest/gtest.h>

#include <memory>

namespace {
QStringList Names(std::initializer_list<const char*> a)
{
    QStringList sl;
    for (const char* psz : a)
        sl << QString::fromLatin1(psz);
    return sl;
}
} // namespace

// --- the table ----------------------------------------------------------------------

TEST(TReportKinds, NamesTheCommandLineTakes_KeepTheirOrder)
{
    // Scripts and the usage text name these; a new kind adds to them, never reorders.
    EXPECT_EQ(TReportKinds::PartNames(), Names({"per-chart", "per-table", "alm-chart", "alm-table",
                                                "alm-list", "prf", "cal", "sum", "evt", "exc", "qual"}));
    EXPECT_EQ(TReportKinds::ReportNames(),
              Names({"periodic-chart", "periodic-table", "alarm-chart", "alarm-table", "alarm-list",
                     "profile", "calibrations", "summary", "event-list", "event-chart", "exceedances",
                     "quality-calendar", "quality"}));
    EXPECT_EQ(TReportKinds::TableNames(), Names({"periodic", "alarms", "alarm-list", "calibrations", "quality"}));
}

TEST(TReportKinds, IndexOrder_IsTheOrderOfTheLibrarysSections)
{
    QStringList slKeys, slFolders;
    for (const TKindInfo* info : TReportKinds::Infos()) {
        slKeys << info->sKey;
        slFolders << info->sFolder;
    }
    EXPECT_EQ(slKeys, Names({"per", "alm", "prf", "cal", "sum", "evt", "exc", "qual"}));
    EXPECT_EQ(slFolders, Names({"periodic", "alarms", "profiles", "calibrations", "summaries", "events",
                                "exceedances", "quality"}));
}

TEST(TReportKinds, EveryRow_HasNamesOfItsOwnAndAHelpPageThatExists)
{
    QSet<QString> setKeys, setFolders, setParts, setTabNames;
    QSet<int> setTabs;
    const auto& aKinds = TReportKinds::All();
    for (const TReportKind& kind : aKinds) {
        const TKindInfo& info = kind.info;
        SCOPED_TRACE(info.sKey.toStdString());
        // A key that begins another's would make the index collect the other's pages.
        for (const QString& s : std::as_const(setKeys))
            EXPECT_FALSE(s.startsWith(info.sKey) || info.sKey.startsWith(s));
        setKeys << info.sKey;
        setFolders << info.sFolder;
        setTabNames << info.sTabName;
        setTabs << info.nTab;
        EXPECT_TRUE(info.nTab >= 0 && info.nTab < int(aKinds.size()));
        EXPECT_FALSE(info.aParts.empty());
        for (const QString& s : info.aParts) {
            EXPECT_FALSE(setParts.contains(s)) << s.toStdString();
            setParts << s;
        }
        EXPECT_FALSE(info.aPages.empty());
        EXPECT_FALSE(info.sHtmlTitle.isEmpty());
        EXPECT_FALSE(info.sIndexHeading.isEmpty());
        EXPECT_TRUE(QFileInfo::exists(QStringLiteral(TARVIK_HELP_SOURCE_DIR) + info.sHelp))
            << info.sHelp.toStdString();
        for (const TKindPage& page : info.aPages) {
            // The command line fills a table it names the way the page fills its grid.
            if (!page.sTable.isEmpty()) {
                EXPECT_TRUE(page.fnFill && !page.bChart) << page.sTable.toStdString();
            }
            EXPECT_FALSE(page.sTitle.isEmpty());
        }
    }
    EXPECT_EQ(setKeys.size(), int(aKinds.size()));
    EXPECT_EQ(setFolders.size(), int(aKinds.size()));
    EXPECT_EQ(setTabNames.size(), int(aKinds.size()));
    EXPECT_EQ(setTabs.size(), int(aKinds.size()));
}

TEST(TReportKinds, PrintedTitles_CarryThePeriodWhereTheReportHasOne)
{
    const TReportKind* kind = nullptr;
    int iPage = -1;
    ASSERT_TRUE(TReportKinds::FindReport(QStringLiteral("alarm-table"), kind, iPage));
    EXPECT_EQ(kind->info.aPages[size_t(iPage)].Title(15),
              QStringLiteral("Alarm Table - Period = 15 minutes"));
    ASSERT_TRUE(TReportKinds::FindReport(QStringLiteral("alarm-chart"), kind, iPage));
    EXPECT_EQ(kind->info.aPages[size_t(iPage)].Title(15), QStringLiteral("Noise Alarm Count"));
    EXPECT_FALSE(TReportKinds::FindReport(QString(), kind, iPage));
    EXPECT_FALSE(TReportKinds::FindTable(QStringLiteral("summary"), kind, iPage));
}

// --- the pages the table makes ------------------------------------------------------

TEST(TReportKinds, EveryPage_HasAGridOrTheScrollBoxForEachOfItsPages)
{
    TCfg cfg;
    TTQMonitors mons;
    QListWidget chklst;
    for (const TReportKind& kind : TReportKinds::All()) {
        SCOPED_TRACE(kind.info.sKey.toStdString());
        std::unique_ptr<TReportPage> page(kind.fnMakePage(TPageEnv{cfg, mons, &chklst, {}}, nullptr));
        EXPECT_EQ(page->objectName(), kind.info.sTabName);
        const int nPages = int(kind.info.aPages.size());
        // Sub-tabs exactly when the kind has more than one page, captioned as described.
        ASSERT_EQ(page->SubPages() != nullptr, nPages > 1);
        if (page->SubPages()) {
            ASSERT_EQ(page->SubPages()->count(), nPages);
            for (int i = 0; i < nPages; ++i)
                EXPECT_EQ(page->SubPages()->tabText(i), kind.info.aPages[size_t(i)].sCaption);
        }
        bool bCharts = false;
        for (int i = 0; i < nPages; ++i) {
            const bool bChart = kind.info.aPages[size_t(i)].bChart;
            bCharts = bCharts || bChart;
            EXPECT_EQ(page->Grid(i) == nullptr, bChart) << i;
            page->SetCurrentPage(i);
            EXPECT_EQ(page->ActiveGrid(), page->Grid(i));
        }
        EXPECT_EQ(page->ScrollBox() != nullptr, bCharts);
    }
}
