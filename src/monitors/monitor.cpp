#include "monitors/monitor.h"

#include "platform/inifile.h"
#include "platform/platform.h"
#include "platform/textdecode.h"

#include <QDir>
#include <QFileInfo>
#include <QStringList>

#include <optional>

namespace {

// A term.cfg holds a few kilobytes, the fallback list a line per monitor; anything
// far larger (a file linked to a device, a runaway log) is not read at all.
constexpr qint64 nMaxTermCfgBytes = 1024 * 1024;
constexpr qint64 nMaxClientListBytes = 1024 * 1024;

// The fallback list is written by hand as often as by a program: any encoding
// that the text files of the program may have, any line ending, and none of it may
// stay in an ID.
QStringList ClientListLines(const QString& sFile)
{
    const std::optional<QByteArray> ba = TPlatform::ReadPlainFile(sFile, nMaxClientListBytes);
    if (!ba)
        return {};
    QString s = TTextDecode::Decode(*ba);
    s.replace(QStringLiteral("\r\n"), QStringLiteral("\n")).replace(QLatin1Char('\r'), QLatin1Char('\n'));
    QStringList sl = s.split(QLatin1Char('\n'));
    if (!sl.isEmpty() && sl.last().isEmpty())
        sl.removeLast();
    return sl;
}

// A list line becomes a folder name under the data folder, so it must name exactly
// one folder there and never one outside it.
bool IsFolderName(const QString& sID)
{
    return !sID.isEmpty() && sID != QLatin1String(".") && sID != QLatin1String("..") &&
           !sID.contains(QLatin1Char('/')) && !sID.contains(QLatin1Char('\\')) && !sID.contains(QChar(0));
}

// A link in the data folder may lead anywhere, so a list line naming one is passed
// over like a linked folder of the scan.
bool IsLink(const QString& sPath)
{
    const QFileInfo fi(sPath);
    return fi.isSymLink() || fi.isJunction();
}

} // namespace

void TTQMonitor::Assign(const TTQMonitor& mon)
{
    sID = mon.sID;
    sName = mon.sName;
    sType = mon.sType;
}

void TTQMonitors::LoadMonitors(const QString& sDataPath)
{
    mons.clear();
    // Without a data folder a relative scan would look at the working folder.
    if (sDataPath.isEmpty())
        return;
    const QString sSep = TPlatform::Sep();
    const QString sData = sDataPath.endsWith(sSep) ? sDataPath : sDataPath + sSep;
    const QString sCfgName = QStringLiteral("term.cfg");

    QStringList slCandidates;
    const QStringList slEntries =
        QDir(sData).entryList(QDir::Dirs | QDir::NoDotAndDotDot | QDir::Hidden | QDir::System, QDir::Name);
    for (const QString& sName : slEntries) {
        if (!TPlatform::IsPlainDirectory(sData + sName))
            continue;
        if (sName.startsWith(QLatin1Char('.')) || sName.startsWith(QLatin1String("__")))
            continue;
        if (!QFileInfo::exists(sData + sName + sSep + sCfgName))
            continue;
        slCandidates.append(sName);
    }
    if (slCandidates.isEmpty()) {
        const QString sList = sData + QStringLiteral("clientlist.csv");
        if (QFileInfo::exists(sList))
            for (const QString& sLine : ClientListLines(sList))
                if (IsFolderName(sLine) && !IsLink(sData + sLine))
                    slCandidates.append(sLine);
    }

    for (const QString& sID : std::as_const(slCandidates)) {
        const QString sFolder = sData + sID;
        if (!QFileInfo(sFolder).isDir() && !TPlatform::ForceDirectories(sFolder))
            continue;
        const TIniValues cfg(sFolder + sSep + sCfgName, nMaxTermCfgBytes);
        auto mon = std::make_unique<TTQMonitor>();
        mon->sID = sID;
        mon->sName = cfg.ReadString(QStringLiteral("head"), QStringLiteral("name"), sID);
        mon->sType =
            cfg.ReadString(QStringLiteral("head"), QStringLiteral("type"), QStringLiteral("Unknown"));
        mons.push_back(std::move(mon));
    }
    SortByName();
}

// Exchanging contents rather than entries keeps every position's entry object in
// place; equal names never swap, so the order of the scan decides between them.
void TTQMonitors::SortByName()
{
    bool bSwapped = true;
    while (bSwapped) {
        bSwapped = false;
        for (size_t i = 1; i < mons.size(); ++i) {
            if (QString::compare(mons[i - 1]->sName, mons[i]->sName, Qt::CaseSensitive) > 0) {
                TTQMonitor tmp;
                tmp.Assign(*mons[i - 1]);
                mons[i - 1]->Assign(*mons[i]);
                mons[i]->Assign(tmp);
                bSwapped = true;
            }
        }
    }
}

const TTQMonitor* TTQMonitors::GetHead(int iHead) const
{
    if (iHead < 0 || iHead >= Count())
        return nullptr;
    return mons[size_t(iHead)].get();
}

const TTQMonitor* TTQMonitors::GetHeadFromID(const QString& sHeadID) const
{
    for (auto it = mons.rbegin(); it != mons.rend(); ++it)
        if ((*it)->sID == sHeadID)
            return it->get();
    return nullptr;
}
