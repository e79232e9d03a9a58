#include "sim/simulator.h"

#include <QByteArrayView>
#include <QDir>
#include <QDirIterator>
#include <QFile>
#include <QMap>
#include <QProcess>
#include <QRegularExpression>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <memory>
#include <utility>
#include <vector>

namespace {

const QDate kFrom(2024, 2, 28);
const QDate kToday(2024, 3, 7);
const QTime kUpTo(10, 7, 30);
constexpr int kUpToSecs = 10 * 3600 + 7 * 60 + 30;
const QList<int> kPeriods{5, 10, 15, 30, 60};

QByteArray ReadFile(const QString& sPath)
{
    QFile file(sPath);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

// The lines of a file whose every line ends with CR LF; any other line end fails the test.
QList<QByteArray> CrLfLines(const QString& sPath)
{
    const QByteArray ba = ReadFile(sPath);
    EXPECT_TRUE(ba.endsWith("\r\n")) << qPrintable(sPath);
    QList<QByteArray> alLines = ba.split('\n');
    alLines.removeLast();
    for (QByteArray& sLine : alLines) {
        EXPECT_TRUE(sLine.endsWith('\r') && sLine.count('\r') == 1) << qPrintable(sPath);
        sLine.chop(1);
    }
    return alLines;
}

// "hh:mm:ss" as seconds since midnight, -1 for anything else. Parsed by hand, as
// the tests read a few hundred thousand of them, also under the sanitizers.
int TimeSecs(QByteArrayView s)
{
    const auto num = [&s](int i) {
        return s[i] >= '0' && s[i] <= '9' && s[i + 1] >= '0' && s[i + 1] <= '9'
                   ? (s[i] - '0') * 10 + s[i + 1] - '0'
                   : 99;
    };
    if (s.size() != 8 || s[2] != ':' || s[5] != ':' || num(0) > 23 || num(3) > 59 || num(6) > 59)
        return -1;
    return num(0) * 3600 + num(3) * 60 + num(6);
}

// A level written as one to three digits, ".", one decimal, in tenths; -1 for anything else.
int Tenths(QByteArrayView s)
{
    const qsizetype nDot = s.size() - 2;
    if (nDot < 1 || nDot > 3 || s[nDot] != '.')
        return -1;
    int n = 0;
    for (qsizetype i = 0; i < s.size(); ++i) {
        if (i != nDot && (s[i] < '0' || s[i] > '9'))
            return -1;
        n = i == nDot ? n : n * 10 + (s[i] - '0');
    }
    return n;
}

// A profile file as the level in tenths per second of the day, -1 where no line is.
// A line that is not "hh:mm:ss,nn.n" CR LF, or not later than the one before, fails the test.
std::vector<int> ReadProfile(const QString& sPath)
{
    std::vector<int> an(86400, -1);
    const QByteArray ba = ReadFile(sPath);
    EXPECT_TRUE(ba.startsWith(".Time,LAeq\r\n")) << qPrintable(sPath);
    int nPrev = -1;
    for (qsizetype nPos = ba.indexOf('\n') + 1, nEnd = 0; nPos > 0 && nPos < ba.size(); nPos = nEnd + 2) {
        nEnd = ba.indexOf("\r\n", nPos);
        const QByteArrayView line(ba.constData() + nPos, (nEnd < 0 ? ba.size() : nEnd) - nPos);
        const int nSecs = TimeSecs(line.first(std::min<qsizetype>(8, line.size())));
        const int nLevel = line.size() > 9 && line[8] == ',' ? Tenths(line.sliced(9)) : -1;
        if (nEnd < 0 || nSecs <= nPrev || nLevel < 0) {
            ADD_FAILURE() << "bad profile line " << line.toByteArray().constData() << " in "
                          << qPrintable(sPath);
            break;
        }
        an[std::size_t(nSecs)] = nLevel;
        nPrev = nSecs;
    }
    return an;
}

// Every file under sRoot by its path relative to sRoot.
QMap<QString, QByteArray> FolderFiles(const QString& sRoot)
{
    QMap<QString, QByteArray> map;
    QDirIterator it(sRoot, QDir::Files, QDirIterator::Subdirectories);
    while (it.hasNext()) {
        const QString sPath = it.next();
        map.insert(QDir(sRoot).relativeFilePath(sPath), ReadFile(sPath));
    }
    return map;
}

TSimOptions SmallOptions(const QString& sPath)
{
    TSimOptions opt;
    opt.sDataPath = sPath;
    opt.nMonitors = 2;
    opt.dtFrom = kToday.addDays(-2);
    opt.dtTo = kToday;
    opt.nSeed = 11;
    opt.nProfileDays = 2;
    return opt;
}

// "per-07-0015.csv" for a period, "alm-07.csv" and the like for the other kinds.
QString DayName(const char* pszKind, const QDate& d, int nPeriod = 0)
{
    const QString sDay = QLatin1String(pszKind) + QLatin1Char('-') + d.toString(QStringLiteral("dd"));
    return sDay + (nPeriod > 0 ? QStringLiteral("-%1").arg(nPeriod, 4, 10, QLatin1Char('0')) : QString()) +
           QStringLiteral(".csv");
}

// The alarm records a complete profile day must give: the first second above the
// threshold after at least a quiet minute, with the level of that second.
QList<QByteArray> ExpectedAlarms(const std::vector<int>& anPrf, int nThreshold)
{
    QList<QByteArray> alAlarms;
    int nQuiet = 60;
    for (int s = 0; s < 86400; ++s) {
        const int n = anPrf[std::size_t(s)];
        if (n > nThreshold && nQuiet >= 60)
            alAlarms << QString::asprintf("%.2d:%.2d:%.2d,%d.%d,%d.%d", s / 3600, s / 60 % 60, s % 60, n / 10,
                                          n % 10, nThreshold / 10, nThreshold % 10)
                            .toLatin1();
        nQuiet = n > nThreshold ? 0 : nQuiet + 1;
    }
    return alAlarms;
}

// One folder written once, without outages, with a threshold the daytime level
// keeps crossing, whose last day is "today" up to 10:07:30.
class SimFolder : public ::testing::Test
{
protected:
    static void SetUpTestSuite()
    {
        pDir = std::make_unique<QTemporaryDir>();
        TSimOptions opt = SmallOptions(pDir->filePath(QStringLiteral("data")));
        opt.dtFrom = kFrom;
        opt.bOutages = false;
        opt.dAlarmLevel = 57.5;
        opt.tmUpTo = kUpTo;
        pSim = std::make_unique<TSimulator>(opt);
        pSim->WriteAll();
    }

    static QString DayFile(int iMon, const QDate& d, const QString& sName)
    {
        return pDir->filePath(QStringLiteral("data/%1/%2/%3")
                                  .arg(pSim->MonitorID(iMon), d.toString(QStringLiteral("yyyy-MM")), sName));
    }

    static inline std::unique_ptr<QTemporaryDir> pDir;
    static inline std::unique_ptr<TSimulator> pSim;
};

} // namespace

// ---- determinism -------------------------------------------------------------------------

TEST(TSimulator, WriteAll_SameOptionsGiveSameBytesAndADayStandsAlone)
{
    QTemporaryDir dirA, dirB, dirDay, dirSeed;
    TSimulator simA(SmallOptions(dirA.path()));
    TSimulator simB(SmallOptions(dirB.path()));
    simA.WriteAll();
    simB.WriteAll();
    const auto mapA = FolderFiles(dirA.path());
    EXPECT_GT(mapA.size(), 30);
    EXPECT_EQ(simA.FilesWritten(), mapA.size());
    EXPECT_TRUE(mapA == FolderFiles(dirB.path()));

    // One day rewritten on its own, as the live mode does, gives the same bytes.
    TSimulator(SmallOptions(dirDay.path())).WriteDay(1, kToday.addDays(-1));
    const auto mapDay = FolderFiles(dirDay.path());
    EXPECT_EQ(mapDay.size(), 7); // five periods, alarms, profile
    for (auto it = mapDay.cbegin(); it != mapDay.cend(); ++it)
        EXPECT_EQ(it.value(), mapA.value(it.key())) << qPrintable(it.key());

    TSimOptions opt = SmallOptions(dirSeed.path());
    opt.nSeed = 12;
    TSimulator(opt).WriteDay(1, kToday.addDays(-1));
    const QString sPer = QStringLiteral("M02/2024-03/per-06-0015.csv");
    EXPECT_FALSE(mapA.value(sPer).isEmpty());
    EXPECT_NE(ReadFile(dirSeed.filePath(sPer)), mapA.value(sPer));
}

// A live rewrite of today must not change what a viewer has already shown.
TEST(TSimulator, WriteDay_PartialDayIsAPrefixOfTheWholeDay)
{
    QTemporaryDir dirPart, dirWhole;
    TSimulator(SmallOptions(dirPart.path())).WriteDay(0, kToday.addDays(-1), kUpTo);
    TSimulator(SmallOptions(dirWhole.path())).WriteDay(0, kToday.addDays(-1));
    const auto mapPart = FolderFiles(dirPart.path());
    const auto mapWhole = FolderFiles(dirWhole.path());
    ASSERT_GE(mapPart.size(), 7);
    for (auto it = mapPart.cbegin(); it != mapPart.cend(); ++it) {
        EXPECT_TRUE(mapWhole.value(it.key()).startsWith(it.value())) << qPrintable(it.key());
        if (it.key().contains(QStringLiteral("/p"))) { // per-, prf-: the afternoon is missing
            EXPECT_LT(it.value().size(), mapWhole.value(it.key()).size()) << qPrintable(it.key());
        }
    }
}

// ---- layout and names ----------------------------------------------------------------------

TEST_F(SimFolder, WriteAll_LaysOutMonitorsMonthsTermCfgAndClientList)
{
    EXPECT_TRUE(pSim->LastError().isEmpty()) << qPrintable(pSim->LastError());
    ASSERT_EQ(pSim->MonitorCount(), 2);
    EXPECT_TRUE(QFile::exists(pDir->filePath(QStringLiteral("data/M01/2024-03/per-07-0015.csv"))));
    EXPECT_TRUE(QFile::exists(pDir->filePath(QStringLiteral("data/M02/2024-02/alm-29.csv"))));
    for (int iMon = 0; iMon < 2; ++iMon) {
        EXPECT_EQ(pSim->MonitorID(iMon), QStringLiteral("M0%1").arg(iMon + 1));
        for (QDate d = kFrom; d <= kToday; d = d.addDays(1)) {
            for (int nPeriod : kPeriods)
                EXPECT_TRUE(QFile::exists(DayFile(iMon, d, DayName("per", d, nPeriod))))
                    << qPrintable(d.toString());
            EXPECT_TRUE(QFile::exists(DayFile(iMon, d, DayName("alm", d))));
            // Profiles only for the last two days of the range.
            EXPECT_EQ(QFile::exists(DayFile(iMon, d, DayName("prf", d))), d >= kToday.addDays(-1));
        }
        const auto alCfg = CrLfLines(pDir->filePath(QStringLiteral("data/M0%1/term.cfg").arg(iMon + 1)));
        ASSERT_GE(alCfg.size(), 3);
        EXPECT_EQ(alCfg[0], QByteArray("[head]"));
        EXPECT_EQ(alCfg[1], "name=" + pSim->MonitorName(iMon).toLatin1());
        EXPECT_EQ(alCfg[2], "type=" + pSim->MonitorType(iMon).toLatin1());
        EXPECT_FALSE(pSim->MonitorType(iMon).isEmpty());
    }
    EXPECT_NE(pSim->MonitorName(0), pSim->MonitorName(1));
    EXPECT_EQ(CrLfLines(pDir->filePath(QStringLiteral("data/clientlist.csv"))),
              QList<QByteArray>({"M01", "M02"}));
}

// ---- periodic files ------------------------------------------------------------------------

TEST_F(SimFolder, Periodic_OneRecordPerEndedPeriod)
{
    for (int nPeriod : kPeriods) {
        for (const QDate& d : {kToday.addDays(-1), kToday}) {
            const auto alLines = CrLfLines(DayFile(1, d, DayName("per", d, nPeriod)));
            const int nRecords = (d == kToday ? kUpToSecs : 86400) / (nPeriod * 60);
            ASSERT_EQ(alLines.size(), 1 + nRecords) << nPeriod;
            EXPECT_EQ(alLines[0], QByteArray(".Time,LAeq,LAFmin,LAFmax,LAF5,LAF10,LAF50,LAF90,LAF95,LAF99"));
            for (int i = 0; i < nRecords; ++i)
                EXPECT_EQ(TimeSecs(alLines[i + 1].split(',').value(0)), i * nPeriod * 60)
                    << alLines[i + 1].data();
        }
    }
}

// Every value is a number, the exceedance levels fall from LAFmax to LAFmin, and the
// hourly figures are those of the seconds the profile shows for that hour.
TEST_F(SimFolder, Periodic_ValuesAreOrderedAndAgreeWithTheProfile)
{
    const QDate d = kToday.addDays(-1);
    for (int iMon = 0; iMon < 2; ++iMon) {
        const std::vector<int> anPrf = ReadProfile(DayFile(iMon, d, DayName("prf", d)));
        for (int nPeriod : {5, 60}) {
            const auto alLines = CrLfLines(DayFile(iMon, d, DayName("per", d, nPeriod)));
            ASSERT_EQ(alLines.size(), 1 + 1440 / nPeriod);
            for (int k = 0; k < 1440 / nPeriod; ++k) {
                const QList<QByteArray> alFlds = alLines[k + 1].split(',');
                ASSERT_EQ(alFlds.size(), 10) << alLines[k + 1].data();
                QList<int> an; // LAeq, LAFmin, LAFmax, LAF5, LAF10, LAF50, LAF90, LAF95, LAF99
                for (qsizetype f = 1; f < alFlds.size(); ++f)
                    an << Tenths(alFlds[f]);
                const QList<int> anRising{an[1], an[8], an[7], an[6], an[5], an[4], an[3], an[2]};
                EXPECT_TRUE(std::is_sorted(anRising.begin(), anRising.end())) << alLines[k + 1].data();
                EXPECT_TRUE(an[1] > 200 && an[1] <= an[0] && an[0] <= an[2]) << alLines[k + 1].data();

                const auto first = anPrf.begin() + k * nPeriod * 60, last = first + nPeriod * 60;
                double dEnergy = 0;
                std::for_each(first, last, [&dEnergy](int n) { dEnergy += std::pow(10.0, n / 100.0); });
                EXPECT_NEAR(an[0] / 10.0, 10.0 * std::log10(dEnergy / (nPeriod * 60)), 0.051) << k;
                EXPECT_EQ(an[1], *std::min_element(first, last)) << k;
                EXPECT_EQ(an[2], *std::max_element(first, last)) << k;
            }
        }
    }
}

// ---- profile, alarms, calibrations ---------------------------------------------------------

TEST_F(SimFolder, Profile_EverySecondOnceInTimeOrderUpToNow)
{
    for (const QDate& d : {kToday.addDays(-1), kToday}) {
        // No outages here: every second up to the end, and none after it.
        const std::vector<int> anPrf = ReadProfile(DayFile(1, d, DayName("prf", d)));
        const int nEnd = d == kToday ? kUpToSecs : 86400;
        EXPECT_TRUE(std::all_of(anPrf.begin(), anPrf.begin() + nEnd, [](int n) { return n > 200; }));
        EXPECT_TRUE(std::all_of(anPrf.begin() + nEnd, anPrf.end(), [](int n) { return n == -1; }));
    }
}

TEST_F(SimFolder, Alarms_MatchThresholdCrossingsAfterAQuietMinute)
{
    for (int iMon = 0; iMon < 2; ++iMon) {
        const QDate d = kToday.addDays(-1);
        const auto alLines = CrLfLines(DayFile(iMon, d, DayName("alm", d)));
        ASSERT_GT(alLines.size(), 10) << iMon; // enough crossings for the comparison to mean something
        EXPECT_EQ(alLines[0], QByteArray(".Time,LAeq,Threshold"));
        EXPECT_EQ(alLines.mid(1), ExpectedAlarms(ReadProfile(DayFile(iMon, d, DayName("prf", d))), 575));

        const auto alToday = CrLfLines(DayFile(iMon, kToday, DayName("alm", kToday)));
        ASSERT_GT(alToday.size(), 1);
        EXPECT_LT(TimeSecs(alToday.last().left(8)), kUpToSecs);
    }
}

TEST_F(SimFolder, Calibrations_OnceAWeekWithOneRecord)
{
    static const QRegularExpression reRecord(QStringLiteral("^(\\d\\d:\\d\\d:\\d\\d),94\\.0,-?\\d\\.\\d$"));
    for (int iMon = 0; iMon < 2; ++iMon) {
        QList<QDate> adCal;
        for (QDate d = kFrom; d <= kToday; d = d.addDays(1)) {
            if (!QFile::exists(DayFile(iMon, d, DayName("cal", d))))
                continue;
            adCal << d;
            const auto alLines = CrLfLines(DayFile(iMon, d, DayName("cal", d)));
            ASSERT_EQ(alLines.size(), 2);
            EXPECT_EQ(alLines[0], QByteArray(".Time,Level,Deviation"));
            const auto m = reRecord.match(QString::fromLatin1(alLines[1]));
            ASSERT_TRUE(m.hasMatch()) << alLines[1].data();
            EXPECT_LT(TimeSecs(m.captured(1).toLatin1()), d == kToday ? kUpToSecs : 86400);
        }
        // Nine days hold one or two of the monitor's calibration weekday.
        ASSERT_TRUE(adCal.size() == 1 || (adCal.size() == 2 && adCal[0].daysTo(adCal[1]) == 7))
            << adCal.size();
    }
}

// ---- outages -------------------------------------------------------------------------------

TEST(TSimulator, Outages_SomeWholeDaysHaveNoFilesButNeverTheNewest)
{
    QTemporaryDir dir;
    TSimOptions opt = SmallOptions(dir.path());
    opt.nMonitors = 1;
    opt.dtFrom = QDate(2023, 1, 1);
    opt.dtTo = QDate(2024, 12, 31);
    QList<QDate> adOutage;
    const TSimulator simTwoYears(opt);
    for (QDate d = opt.dtFrom; d < opt.dtTo; d = d.addDays(1)) {
        if (simTwoYears.IsOutageDay(0, d))
            adOutage << d;
    }
    ASSERT_TRUE(adOutage.size() > 10 && adOutage.size() < 60) << adOutage.size(); // about one day in 25

    const QDate dOut = adOutage[0];
    opt.dtFrom = dOut.addDays(-1);
    opt.dtTo = dOut.addDays(1);
    TSimulator(opt).WriteAll();
    const QDir dirMonth(dir.filePath(QStringLiteral("M01/") + dOut.toString(QStringLiteral("yyyy-MM"))));
    const auto dayFiles = [&dirMonth](const QDate& d) {
        const QString sDay = d.toString(QStringLiteral("dd"));
        return dirMonth.entryList(
            {QStringLiteral("*-%1.csv").arg(sDay), QStringLiteral("*-%1-*.csv").arg(sDay)});
    };
    EXPECT_EQ(dayFiles(dOut), QStringList());
    EXPECT_GE(dayFiles(opt.dtTo).size(), 7);

    // As the newest day of a range it is the day in progress, and it is written.
    opt.dtTo = dOut;
    EXPECT_FALSE(TSimulator(opt).IsOutageDay(0, dOut));
}

// A period mostly without values is a "-" record, and exactly those periods are.
TEST(TSimulator, Outages_DashRecordsExactlyWhereTheProfileIsMostlyMissing)
{
    QTemporaryDir dir;
    TSimOptions opt = SmallOptions(dir.path());
    opt.nMonitors = 1;
    opt.anPeriods = {5};
    opt.dtFrom = QDate(2024, 3, 3);
    opt.dtTo = QDate(2024, 3, 6);
    opt.nProfileDays = 4;
    TSimulator sim(opt);
    sim.WriteAll();
    int nDash = 0;
    for (QDate d = opt.dtFrom; d <= opt.dtTo; d = d.addDays(1)) {
        if (sim.IsOutageDay(0, d))
            continue;
        const std::vector<int> anPrf =
            ReadProfile(dir.filePath(QStringLiteral("M01/2024-03/") + DayName("prf", d)));
        const auto alLines = CrLfLines(dir.filePath(QStringLiteral("M01/2024-03/") + DayName("per", d, 5)));
        ASSERT_EQ(alLines.size(), 289);
        for (int k = 0; k < 288; ++k) {
            const auto nPresent = std::count_if(anPrf.begin() + k * 300, anPrf.begin() + (k + 1) * 300,
                                                [](int n) { return n >= 0; });
            const bool bDash = alLines[k + 1].endsWith(",-,-,-,-,-,-,-,-,-");
            EXPECT_EQ(bDash, nPresent < 150) << alLines[k + 1].data();
            nDash += bDash ? 1 : 0;
        }
    }
    EXPECT_GT(nDash, 0);
}

// ---- failures ------------------------------------------------------------------------------

TEST(TSimulator, WriteAll_ReportsAFolderItCannotCreate)
{
    QTemporaryDir dir;
    QFile blocker(dir.filePath(QStringLiteral("plain-file")));
    ASSERT_TRUE(blocker.open(QIODevice::WriteOnly));
    blocker.close();
    TSimulator sim(SmallOptions(dir.filePath(QStringLiteral("plain-file/data"))));
    sim.WriteAll();
    EXPECT_FALSE(sim.LastError().isEmpty());
    EXPECT_EQ(sim.FilesWritten(), 0);
}

#if defined(TARVIK_SIM_PROGRAM)
// --help-all used to be taken for a run without --out and exit 2; the man page named
// neither it nor Qt's options.
TEST(TSimProgram, HelpAll_EveryOptionItListsIsInTheManPage)
{
    QProcess proc;
    proc.start(QStringLiteral(TARVIK_SIM_PROGRAM), {QStringLiteral("--help-all")});
    ASSERT_TRUE(proc.waitForFinished(30000));
    EXPECT_EQ(proc.exitStatus(), QProcess::NormalExit);
    EXPECT_EQ(proc.exitCode(), 0);
    const QString sHelp = QString::fromLocal8Bit(proc.readAllStandardOutput());
    QFile fMan(QStringLiteral(TARVIK_SIM_MAN_PAGE));
    ASSERT_TRUE(fMan.open(QIODevice::ReadOnly));
    // In the page's source a hyphen is written \- (or -); the option must stand as a word.
    const QString sMan = QString::fromUtf8(fMan.readAll()).replace(QLatin1String("\\-"), QLatin1String("-"));
    const QRegularExpression reOption(QStringLiteral("(?<![\\w-])(--[a-z][a-z-]*|-[a-z])\\b"));
    QStringList slOptions;
    for (const QRegularExpressionMatch& m : reOption.globalMatch(sHelp))
        if (!slOptions.contains(m.captured()))
            slOptions << m.captured();
    // -h, --help, --help-all, -v, --version and the nine of the simulator at least.
    EXPECT_GE(slOptions.size(), 14) << sHelp.toStdString();
    for (const QString& sOption : std::as_const(slOptions)) {
        const QRegularExpression reInMan(QStringLiteral("(?<![\\w-])") + QRegularExpression::escape(sOption) +
                                         QStringLiteral("(?![\\w-])"));
        EXPECT_TRUE(reInMan.match(sMan).hasMatch())
            << "the man page packaging/man/tarvik-sim.1 lacks " << sOption.toStdString()
            << ", which --help-all names";
    }
}
#endif
