// Arbitrary bytes as the fallback monitor list of a data folder without monitor
// folders: every monitor it gives is one plain folder directly inside the data
// folder (never a link that leads out of it), nothing is made anywhere else, and
// the list lines that are no folder name are left out.
#include "monitors/monitor.h"
#include "platform/textdecode.h"

#include "fuzzutil.h"

#include <QDir>
#include <QDirIterator>
#include <QFileInfo>
#include <QSet>
#include <QStringDecoder>

#include <cstdint>

namespace {

// Every path below sRoot, folders and files, as paths relative to it.
QStringList Tree(const QString& sRoot)
{
    QStringList sl;
    QDirIterator it(sRoot, QDir::AllEntries | QDir::NoDotAndDotDot | QDir::Hidden | QDir::System,
                    QDirIterator::Subdirectories);
    while (it.hasNext())
        sl.append(QDir(sRoot).relativeFilePath(it.next()));
    sl.sort();
    return sl;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* pData, std::size_t nSize)
{
    // The data folder lies two levels down, so that a way out of it has room to land.
    static const QString sRoot = FuzzScratch().path() + QStringLiteral("/root");
    static const QString sData = sRoot + QStringLiteral("/inner/data/");
    QDir(sRoot).removeRecursively();
    Require(QDir().mkpath(sData) && QDir().mkpath(sRoot + QStringLiteral("/outside")));
    // A link in the data folder that leads out of it is no monitor folder either.
    Require(QFile::link(sRoot + QStringLiteral("/outside"), sData + QStringLiteral("L")));
    const QByteArray ba(reinterpret_cast<const char*>(pData), qsizetype(nSize));
    WriteBytes(sData + QStringLiteral("clientlist.csv"), ba);

    TTQMonitors mons;
    mons.LoadMonitors(sData);

    QSet<QString> setIDs;
    for (int i = 0; i < mons.Count(); ++i) {
        const TTQMonitor* pMon = mons.GetHead(i);
        Require(pMon != nullptr);
        // Without a term.cfg the name is the ID and the type unknown.
        Require(pMon->sName == pMon->sID && pMon->sType == u"Unknown");
        if (i > 0)
            Require(QString::compare(mons.GetHead(i - 1)->sName, pMon->sName, Qt::CaseSensitive) <= 0);
        const QFileInfo fi(sData + pMon->sID);
        Require(fi.isDir() && !fi.isSymLink());
        Require(QDir(sData).canonicalPath() == fi.absoluteDir().canonicalPath());
        Require(fi.fileName() == pMon->sID);
        Require(mons.GetHeadFromID(pMon->sID) != nullptr);
        setIDs.insert(pMon->sID);
    }
    // Exactly the monitors' folders and the list were made, all inside the data folder.
    QSet<QString> setExpected{QStringLiteral("inner"), QStringLiteral("inner/data"),
                              QStringLiteral("inner/data/clientlist.csv"), QStringLiteral("inner/data/L"),
                              QStringLiteral("outside")};
    // A name the file system cannot spell (a lone surrogate of a UTF-16 list) is
    // stored as its encoding spells it, and listed the same way; a leading U+FEFF
    // (a list with its mark twice) stays in the name.
    for (const QString& sID : std::as_const(setIDs)) {
        QStringDecoder dec(QStringDecoder::Utf8, QStringDecoder::Flag::ConvertInitialBom);
        setExpected.insert(QStringLiteral("inner/data/") + QString(dec(QFile::encodeName(sID))));
    }
    QStringList slExpected(setExpected.begin(), setExpected.end());
    slExpected.sort();
    Require(Tree(sRoot) == slExpected);

    // Every list line that names a folder is a monitor.
    QString sText = TTextDecode::Decode(ba);
    sText.replace(QStringLiteral("\r\n"), QStringLiteral("\n")).replace(u'\r', u'\n');
    for (const QString& sLine : sText.split(u'\n'))
        if (!sLine.isEmpty() && sLine != u"." && sLine != u".." && sLine != u"L" && !sLine.contains(u'/') &&
            !sLine.contains(u'\\') && !sLine.contains(QChar(0)) && QFile::encodeName(sLine).size() <= 255)
            Require(setIDs.contains(sLine));
    return 0;
}
