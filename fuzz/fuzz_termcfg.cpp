// Arbitrary bytes as the term.cfg of a monitor: the catalogue lists the monitor once,
// under its folder name, with the [head] name and type a plain reading of the ini
// rules gives, and the defaults where they are missing.
#include "monitors/monitor.h"
#include "platform/textdecode.h"

#include "fuzzutil.h"

#include <QDir>

#include <cstdint>
#include <optional>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* pData, std::size_t nSize)
{
    // Two monitors: the fuzzed one and a fixed one named "M", so that sorting has work.
    static const QString sData = [] {
        const QString s = FuzzScratch().path() + QStringLiteral("/data/");
        Require(QDir().mkpath(s + QStringLiteral("T1")) && QDir().mkpath(s + QStringLiteral("T2")));
        WriteBytes(s + QStringLiteral("T2/term.cfg"), "[head]\r\nname=M\r\ntype=Fixed\r\n");
        return s;
    }();
    const QByteArray ba(reinterpret_cast<const char*>(pData), qsizetype(nSize));
    WriteBytes(sData + QStringLiteral("T1/term.cfg"), ba);

    TTQMonitors mons;
    mons.LoadMonitors(sData);
    Require(mons.Count() == 2);
    const TTQMonitor* pMon = mons.GetHeadFromID(QStringLiteral("T1"));
    const TTQMonitor* pFixed = mons.GetHeadFromID(QStringLiteral("T2"));
    Require(pMon && pFixed && pMon != pFixed);
    Require(pFixed->sName == u"M" && pFixed->sType == u"Fixed");
    const QString sText = TTextDecode::Decode(ba);
    Require(pMon->sName == PlainValue(sText, QStringLiteral("head"), QStringLiteral("name")).value_or(QStringLiteral("T1")));
    Require(pMon->sType == PlainValue(sText, QStringLiteral("head"), QStringLiteral("type")).value_or(QStringLiteral("Unknown")));
    // Sorted by name, the scan order deciding between equal names.
    Require(mons.GetHead(0) && mons.GetHead(1) && !mons.GetHead(2) && !mons.GetHead(-1));
    const int nCmp = QString::compare(pMon->sName, pFixed->sName, Qt::CaseSensitive);
    Require(mons.GetHead(nCmp <= 0 ? 0 : 1) == pMon);
    return 0;
}
