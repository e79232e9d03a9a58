#include "pages/reportkinds.h"

#include "pages/almpage.h"
#include "pages/calpage.h"
#include "pages/evtpage.h"
#include "pages/excpage.h"
#include "pages/perpage.h"
#include "pages/prfpage.h"
#include "pages/sumpage.h"

#include <QStringList>

namespace {

template <class TPage> TReportKind Row()
{
    return TReportKind{TPage::Info(), &TPage::Make, &TPage::Export};
}

} // namespace

const std::vector<TReportKind>& TReportKinds::All()
{
    // Adding a kind: its row here, in the place its section takes on the index page.
    static const std::vector<TReportKind> aKinds{Row<TPerPage>(), Row<TAlmPage>(), Row<TPrfPage>(),
                                                 Row<TCalPage>(), Row<TSumPage>(), Row<TEvtPage>(),
                                                 Row<TExcPage>()};
    return aKinds;
}

std::vector<const TKindInfo*> TReportKinds::Infos()
{
    std::vector<const TKindInfo*> a;
    for (const TReportKind& kind : All())
        a.push_back(&kind.info);
    return a;
}

bool TReportKinds::FindReport(const QString& sReport, const TReportKind*& kindFound, int& iPage)
{
    for (const TReportKind& kind : All())
        for (size_t i = 0; i < kind.info.aPages.size(); ++i)
            if (!sReport.isEmpty() && kind.info.aPages[i].sReport == sReport) {
                kindFound = &kind;
                iPage = int(i);
                return true;
            }
    return false;
}

QStringList TReportKinds::ReportNames()
{
    QStringList sl;
    for (const TReportKind& kind : All())
        for (const TKindPage& page : kind.info.aPages)
            if (!page.sReport.isEmpty())
                sl.append(page.sReport);
    return sl;
}

bool TReportKinds::FindTable(const QString& sTable, const TReportKind*& kindFound, int& iPage)
{
    for (const TReportKind& kind : All())
        for (size_t i = 0; i < kind.info.aPages.size(); ++i)
            if (!sTable.isEmpty() && kind.info.aPages[i].sTable == sTable) {
                kindFound = &kind;
                iPage = int(i);
                return true;
            }
    return false;
}

QStringList TReportKinds::TableNames()
{
    QStringList sl;
    for (const TReportKind& kind : All())
        for (const TKindPage& page : kind.info.aPages)
            if (!page.sTable.isEmpty())
                sl.append(page.sTable);
    return sl;
}

QStringList TReportKinds::PartNames()
{
    QStringList sl;
    for (const TReportKind& kind : All())
        for (const QString& s : kind.info.aParts)
            sl.append(s);
    return sl;
}
