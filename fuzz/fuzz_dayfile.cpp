// Arbitrary bytes as a day file of every kind: each reader loads or refuses them
// and answers every query within the loaded lines.
#include "datafiles/almfile.h"
#include "datafiles/calfile.h"
#include "datafiles/perfile.h"
#include "datafiles/thfile.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>

#include <cstdint>
#include <cstdlib>

namespace {

const QString sMon = QStringLiteral("M01");
const QDate dtDay(2024, 3, 7);

void Require(bool b)
{
    if (!b)
        std::abort();
}

// One data folder for the whole run. The four file names are links to one file,
// so every input is written once.
class TFuzzDir final
{
public:
    TFuzzDir()
    {
        Require(tmp.isValid());
        const QString sMonth = DataPath() + sMon + QStringLiteral("/2024-03/");
        Require(QDir().mkpath(sMonth));
        sFile = sMonth + QStringLiteral("prf-07.csv");
        for (const char* p : {"per-07-0010.csv", "alm-07.csv", "cal-07.csv"})
            Require(QFile::link(sFile, sMonth + QString::fromLatin1(p)));
    }

    QString DataPath() const { return tmp.path() + QStringLiteral("/"); }

    void Write(const QByteArray& ba) const
    {
        QFile f(sFile);
        Require(f.open(QIODevice::WriteOnly | QIODevice::Truncate));
        Require(f.write(ba) == ba.size());
    }

private:
    QTemporaryDir tmp;
    QString sFile;
};

void Query(const TDayFile& file)
{
    const int nRecs = file.RecCount();
    const int nFlds = file.FldCount();
    Require(nRecs >= -1);
    file.FindFld(QStringLiteral(".Time"));
    for (int iRec : {0, 1, nRecs / 2, nRecs - 1, nRecs, nRecs + 1}) {
        for (int iFld : {0, 1, 2, nFlds - 1, nFlds}) {
            const QString s = file.FldStr(iRec, iFld);
            const double d = file.FldVal(iRec, iFld);
            const int nSecs = file.FldTimeSecs(iRec, iFld);
            const bool bOutside = iRec < 0 || iRec >= nRecs || iFld < 0 || iFld >= nFlds;
            Require(!bOutside || s.isEmpty());
            Require(!s.isEmpty() || (d == -1 && nSecs == -1));
            Require(d == d);
        }
        file.Line(iRec + 1);
    }
    file.FldName(nFlds);
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* pData, std::size_t nSize)
{
    static const TFuzzDir dir;
    dir.Write(QByteArray(reinterpret_cast<const char*>(pData), qsizetype(nSize)));

    // The readers live for the whole run, as a view reuses its reader day after day.
    static TPerFile per(dir.DataPath());
    static TAlmFile alm(dir.DataPath());
    static TCalFile cal(dir.DataPath());
    static TTHFile th(dir.DataPath());
    const bool bPer = per.Load(sMon, dtDay, 10);
    Query(per);
    const QDateTime dt = per.RecDateTime(0);
    Require(!bPer || dt.date() == dtDay);

    Require(alm.Load(sMon, dtDay) == bPer);
    Require(alm.RecCount() == per.RecCount());
    Query(alm);

    Require(TCalFile::CalFileExists(dir.DataPath(), sMon, dtDay));
    Require(cal.Load(sMon, dtDay) == bPer);
    Query(cal);

    const bool bTh = th.Load(sMon, dtDay);
    Require(bTh == bPer);
    // A loaded profile day has a record for every second, unless its file was longer.
    Require(!bTh || th.RecCount() == 86400 || (per.RecCount() >= 86399 && th.RecCount() == per.RecCount()));
    Query(th);
    const int nBefore = th.RecCount();
    th.StuffFile();
    Require(th.RecCount() == nBefore);
    return 0;
}
