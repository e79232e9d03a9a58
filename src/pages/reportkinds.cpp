#include "pages/reportkinds.h"

#include "pages/almpage.h"
#include "pages/calpage.h"
#include "pages/evtpage.h"
#include "pages/excpage.h"
#include "pages/perpage.h"
#include "pages/prfpage.h"
#include "pages/qualpage.h"
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
                                                 Row<TExcPage>(), Row<TQualPage>()};
    return aKinds;
}

std::vector<const TKindInfo*> TReportKinds::Infos()
{
    std::vector<const TKindInfo*> a;
    for (const TReportKind& kind : All())
        a.push_back(&kind.info);
    return a;
}

namespace {

// The kind and page whose name (of the field pField) is sName; false for none.
bool FindPage(QString TKindPage::*pField, const QString& sName, const TReportKind*& kindFound, int& iPage)
{
    for (const TReportKind& kind : TReportKinds::All())
        for (size_t i = 0; i < kind.info.aPages.size(); ++i)
            if (!sName.isEmpty() && kind.info.aPages[i].*pField == sName) {
                kindFound = &kind;
                iPage = int(i);
                return true;
            }
    return false;
}

// Every page name of the field pField, in table order.
QStringList PageNames(QString TKindPage::*pField)
{
    QStringList sl;
    for (const TReportKind& kind : TReportKinds::All())
        for (const TKindPage& page : kind.info.aPages)
            if (!(page.*pField).isEmpty())
                sl.append(page.*pField);
    return sl;
}

} // namespace

bool TReportKinds::FindReport(const QString& sReport, const TReportKind*& kind, int& iPage)
{
    return FindPage(&TKindPage::sReport, sReport, kind, iPage);
}

QStringList TReportKinds::ReportNames()
{
    return PageNames(&TKindPage::sReport);
}

bool TReportKinds::FindTable(const QString& sTable, const TReportKind*& kind, int& iPage)
{
    return FindPage(&TKindPage::sTable, sTable, kind, iPage);
}

QStringList TReportKinds::TableNames()
{
    return PageNames(&TKindPage::sTable);
}

QStringList TReportKinds::PartNames()
{
    QStringList sl;
    for (const TReportKind& kind : All())
        for (const QString& s : kind.info.aParts)
            sl.append(s);
    return sl;
}
