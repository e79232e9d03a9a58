#include "sim/simulator.h"

#include <QDir>
#include <QFile>
#include <QStringList>

#include <algorithm>
#include <array>
#include <cmath>
#include <filesystem>
#include <initializer_list>
#include <random>
#include <utility>

namespace {

constexpr int kDaySecs = 86400;
constexpr short kNoLevel = -1;
constexpr int kMaxTenths = 1400;
constexpr int kAlarmQuietSecs = 60;
constexpr double kOutageDayChance = 1.0 / 25.0;
constexpr double kFaultDayChance = 0.3;

// Which independent random stream a draw comes from: keeping them apart means that
// switching one kind of data off does not reshuffle the others.
enum class EStream : quint32
{
    Monitor = 1,
    Levels = 2,
    OutageDay = 3,
    Calibration = 4,
};

// The standard distributions are not specified bit for bit and differ between
// library implementations; drawing straight from the engine keeps a seed's data
// from depending on which one the program was built with.
class TRand final
{
public:
    explicit TRand(std::initializer_list<quint32> anKey)
    {
        std::seed_seq seq(anKey);
        gen.seed(seq);
    }

    double Uniform() { return gen() / 4294967296.0; } // [0, 1)
    double Range(double dLo, double dHi) { return dLo + (dHi - dLo) * Uniform(); }
    int Int(int nLo, int nHi) { return nLo + int(Uniform() * (nHi - nLo + 1)); } // inclusive
    bool Chance(double dP) { return Uniform() < dP; }
    double Exponential(double dMean) { return -dMean * std::log(1.0 - Uniform()); }
    // A normal draw from one engine output: the quantile table read at a uniform
    // probability. Far cheaper than the logarithm, root and sine of Box-Muller, which
    // every second of every simulated day used to pay for.
    double Normal()
    {
        const auto& aQ = NormalQuantiles();
        const quint32 n = quint32(gen());
        const quint32 i = n >> kFracBits;
        const double dF = (n & ((1u << kFracBits) - 1)) / double(1u << kFracBits);
        return aQ[i] + (aQ[i + 1] - aQ[i]) * dF;
    }

private:
    static constexpr int kQuantBits = 12;
    static constexpr int kFracBits = 32 - kQuantBits;
    static constexpr int kQuantiles = 1 << kQuantBits;

    // The standard normal's quantiles at probabilities i / 4096; the two ends, which
    // would be infinite, stand at the quantile of 1 / 65536 (about 3.8).
    static const std::array<double, kQuantiles + 1>& NormalQuantiles()
    {
        static const std::array<double, kQuantiles + 1> aTable = [] {
            const auto quantile = [](double dP) {
                double dLo = -10.0, dHi = 10.0;
                for (int k = 0; k < 80; ++k) {
                    const double dMid = (dLo + dHi) / 2;
                    (0.5 * std::erfc(-dMid / std::sqrt(2.0)) < dP ? dLo : dHi) = dMid;
                }
                return (dLo + dHi) / 2;
            };
            std::array<double, kQuantiles + 1> a{};
            for (int i = 1; i < kQuantiles; ++i)
                a[std::size_t(i)] = quantile(double(i) / kQuantiles);
            a[kQuantiles] = quantile(1.0 - 1.0 / 65536.0);
            a[0] = -a[kQuantiles];
            return a;
        }();
        return aTable;
    }

    std::mt19937 gen;
};

TRand DayRand(quint32 nSeed, int iMon, const QDate& d, EStream eStream)
{
    const qint64 nJulian = d.toJulianDay();
    return TRand({nSeed, quint32(iMon), quint32(nJulian), quint32(quint64(nJulian) >> 32), quint32(eStream)});
}

double Smooth(double dX)
{
    dX = std::clamp(dX, 0.0, 1.0);
    return dX * dX * (3.0 - 2.0 * dX);
}

// How busy the surroundings are, 0 at night to 1 by day; weekends wake up later.
double Activity(double dHour, bool bWeekend)
{
    const double dRise = bWeekend ? 7.5 : 5.5;
    return Smooth((dHour - dRise) / 2.0) * (1.0 - Smooth((dHour - 20.0) / 3.0));
}

double Square(double d)
{
    return d * d;
}

// One table of 10^(L/10) per tenth of a dB turns energy averaging into look-ups.
const std::array<double, kMaxTenths + 1>& EnergyTable()
{
    static const std::array<double, kMaxTenths + 1> aTable = [] {
        std::array<double, kMaxTenths + 1> a{};
        for (int i = 0; i <= kMaxTenths; ++i)
            a[std::size_t(i)] = std::pow(10.0, i / 100.0);
        return a;
    }();
    return aTable;
}

// "hh:mm:ss" at p; returns the end.
char* PutTime(char* p, int nSecs)
{
    const int anParts[3] = {nSecs / 3600, nSecs / 60 % 60, nSecs % 60};
    for (int i = 0; i < 3; ++i) {
        if (i > 0)
            *p++ = ':';
        *p++ = char('0' + anParts[i] / 10);
        *p++ = char('0' + anParts[i] % 10);
    }
    return p;
}

// A value in tenths with one decimal and "." whatever the locale, at p; returns the end.
char* PutTenths(char* p, int nTenths)
{
    unsigned n = unsigned(nTenths);
    if (nTenths < 0) {
        *p++ = '-';
        n = 0u - n;
    }
    char aDigits[12];
    int nDigits = 0;
    unsigned nWhole = n / 10;
    do {
        aDigits[nDigits++] = char('0' + nWhole % 10);
        nWhole /= 10;
    } while (nWhole > 0);
    while (nDigits > 0)
        *p++ = aDigits[--nDigits];
    *p++ = '.';
    *p++ = char('0' + n % 10);
    return p;
}

void AppendTime(QByteArray& ba, int nSecs)
{
    char a[8];
    ba.append(a, PutTime(a, nSecs) - a);
}

void AppendTenths(QByteArray& ba, int nTenths)
{
    char a[16];
    ba.append(a, PutTenths(a, nTenths) - a);
}

void AppendEol(QByteArray& ba)
{
    ba.append("\r\n", 2);
}

// End of the written part of a day in milliseconds since midnight: the whole day
// unless a time is given.
int UpToMsecs(const QTime& tmUpTo)
{
    return tmUpTo.isValid() ? tmUpTo.msecsSinceStartOfDay() : kDaySecs * 1000;
}

QByteArray PeriodicFile(const std::vector<short>& anLevels, int nPeriod, int nUpToMsecs)
{
    // Exceedance levels from the quietest up, so one walk over the histogram finds them all.
    static constexpr int anExceeded[] = {99, 95, 90, 50, 10, 5};
    const auto& aEnergy = EnergyTable();
    const int nLen = nPeriod * 60;
    QByteArray ba;
    ba.reserve((kDaySecs / nLen + 1) * 64);
    ba.append(".Time,LAeq,LAFmin,LAFmax,LAF5,LAF10,LAF50,LAF90,LAF95,LAF99");
    AppendEol(ba);
    // Levels are whole tenths, so counting them beats sorting every period.
    std::vector<int> anCount(kMaxTenths + 1, 0);
    // A record is written once its period has ended: the supervisor cannot know the rest.
    for (int nStart = 0; nStart + nLen <= kDaySecs && qint64(nStart + nLen) * 1000 <= nUpToMsecs;
         nStart += nLen) {
        int nCount = 0, nMin = kMaxTenths, nMax = 0;
        double dEnergy = 0;
        for (int s = nStart; s < nStart + nLen; ++s) {
            const short n = anLevels[std::size_t(s)];
            if (n != kNoLevel) {
                ++anCount[std::size_t(n)];
                ++nCount;
                nMin = std::min(nMin, int(n));
                nMax = std::max(nMax, int(n));
                dEnergy += aEnergy[std::size_t(n)];
            }
        }
        AppendTime(ba, nStart);
        // A sensor fault over most of the period leaves no value worth giving.
        if (nCount * 2 < nLen) {
            for (int i = 0; i < 9; ++i)
                ba.append(",-");
            AppendEol(ba);
            std::fill(anCount.begin() + nMin, anCount.begin() + std::max(nMin, nMax + 1), 0);
            continue;
        }
        // The level exceeded for n % of the period is the one at sorted position
        // count * (100 - n) / 100, counted from the quietest second.
        int anLevel[6] = {};
        int iNext = 0, nBelow = 0;
        for (int n = nMin; n <= nMax; ++n) {
            nBelow += anCount[std::size_t(n)];
            anCount[std::size_t(n)] = 0;
            while (iNext < 6 && std::min(nCount - 1, nCount * (100 - anExceeded[iNext]) / 100) < nBelow)
                anLevel[iNext++] = n;
        }
        const int nLeq = int(std::lround(100.0 * std::log10(dEnergy / nCount)));
        ba.append(',');
        AppendTenths(ba, std::clamp(nLeq, nMin, nMax));
        ba.append(',');
        AppendTenths(ba, nMin);
        ba.append(',');
        AppendTenths(ba, nMax);
        for (int i = 5; i >= 0; --i) {
            ba.append(',');
            AppendTenths(ba, anLevel[i]);
        }
        AppendEol(ba);
    }
    return ba;
}

QByteArray AlarmFile(const std::vector<short>& anLevels, int nThresholdTenths, int nUpToMsecs)
{
    QByteArray ba(".Time,LAeq,Threshold");
    AppendEol(ba);
    // Midnight counts as quiet, so a day file never depends on the day before.
    int nQuiet = kAlarmQuietSecs;
    for (int s = 0; s < kDaySecs && qint64(s) * 1000 < nUpToMsecs; ++s) {
        const short n = anLevels[std::size_t(s)];
        if (n == kNoLevel) {
            nQuiet = 0; // nothing is known about a second without a value
        } else if (n > nThresholdTenths) {
            if (nQuiet >= kAlarmQuietSecs) {
                AppendTime(ba, s);
                ba.append(',');
                AppendTenths(ba, n);
                ba.append(',');
                AppendTenths(ba, nThresholdTenths);
                AppendEol(ba);
            }
            nQuiet = 0;
        } else {
            ++nQuiet;
        }
    }
    return ba;
}

QByteArray ProfileFile(const std::vector<short>& anLevels, int nUpToMsecs)
{
    // Every line is written straight into the buffer: "hh:mm:ss,ddd.d" CR LF at most.
    constexpr qsizetype nMaxLine = 16;
    const QByteArray baHead = ".Time,LAeq\r\n";
    QByteArray ba(baHead.size() + qsizetype(kDaySecs) * nMaxLine, Qt::Uninitialized);
    char* const pStart = ba.data();
    char* p = std::copy(baHead.begin(), baHead.end(), pStart);
    for (int s = 0; s < kDaySecs && qint64(s) * 1000 < nUpToMsecs; ++s) {
        const short n = anLevels[std::size_t(s)];
        if (n == kNoLevel)
            continue;
        p = PutTime(p, s);
        *p++ = ',';
        p = PutTenths(p, n);
        *p++ = '\r';
        *p++ = '\n';
    }
    ba.truncate(p - pStart);
    return ba;
}

const char* const kNames[] = {
    "North Gate",     "East Fence",   "School Road",   "Quarry Edge",  "River Path",   "Church Lane",
    "Mill Bridge",    "West Yard",    "Orchard Farm",  "Station Road", "Hill Cottage", "Canal Wharf",
    "Depot Entrance", "South Meadow", "Market Square", "Forge Lane",
};
const char* const kTypes[] = {"Class 1 outdoor", "Class 1 outdoor", "Class 2 outdoor", "Class 1 portable"};
constexpr int kNameCount = int(sizeof(kNames) / sizeof(kNames[0]));
constexpr int kTypeCount = int(sizeof(kTypes) / sizeof(kTypes[0]));

} // namespace

TSimulator::TSimulator(TSimOptions opt) : optSim(std::move(opt))
{
    for (int i = 0; i < std::max(0, optSim.nMonitors); ++i) {
        TRand rnd({optSim.nSeed, quint32(i), quint32(EStream::Monitor)});
        TMonitor mon;
        mon.sID = QStringLiteral("M%1").arg(i + 1, 2, 10, QLatin1Char('0'));
        mon.sName = QLatin1String(kNames[i % kNameCount]);
        if (i >= kNameCount)
            mon.sName += QLatin1Char(' ') + QString::number(i / kNameCount + 1);
        mon.sType = QLatin1String(kTypes[i % kTypeCount]);
        mon.dNight = rnd.Range(40.0, 46.0);
        mon.dDay = rnd.Range(53.0, 60.0);
        mon.dTraffic = rnd.Range(10.0, 60.0);
        mon.dLoudRate = rnd.Range(0.2, 0.6);
        mon.nCalWeekday = rnd.Int(1, 7);
        aMonitors.push_back(mon);
    }
}

int TSimulator::MonitorCount() const
{
    return int(aMonitors.size());
}

QString TSimulator::MonitorID(int iMon) const
{
    return aMonitors.at(std::size_t(iMon)).sID;
}

QString TSimulator::MonitorName(int iMon) const
{
    return aMonitors.at(std::size_t(iMon)).sName;
}

QString TSimulator::MonitorType(int iMon) const
{
    return aMonitors.at(std::size_t(iMon)).sType;
}

bool TSimulator::IsOutageDay(int iMon, const QDate& d) const
{
    if (!optSim.bOutages || d == optSim.dtTo)
        return false;
    return DayRand(optSim.nSeed, iMon, d, EStream::OutageDay).Chance(kOutageDayChance);
}

bool TSimulator::HasProfile(const QDate& d) const
{
    return optSim.nProfileDays > 0 && d <= optSim.dtTo && d > optSim.dtTo.addDays(-optSim.nProfileDays);
}

std::vector<short> TSimulator::DayLevels(int iMon, const QDate& d) const
{
    const TMonitor& mon = aMonitors.at(std::size_t(iMon));
    TRand rnd = DayRand(optSim.nSeed, iMon, d, EStream::Levels);
    const int nWeekday = d.dayOfWeek();
    const bool bWeekend = nWeekday >= 6;
    const double dDay = mon.dDay - (nWeekday == 7 ? 5.0 : nWeekday == 6 ? 3.0 : 0.0);

    // Base level and activity per minute; seconds interpolate between them.
    std::vector<double> adBase(1441), adActivity(1441);
    for (int m = 0; m <= 1440; ++m) {
        const double dHour = m / 60.0;
        const double dAct = Activity(dHour, bWeekend);
        double dLevel = mon.dNight + (dDay - mon.dNight) * dAct;
        if (!bWeekend)
            dLevel += 1.5 * std::exp(-Square(dHour - 8.0)) + 1.2 * std::exp(-Square((dHour - 17.5) / 1.2));
        adBase[std::size_t(m)] = dLevel;
        adActivity[std::size_t(m)] = dAct;
    }
    auto base = [&adBase](int s) {
        const int m = s / 60;
        const double dF = (s % 60) / 60.0;
        return adBase[std::size_t(m)] * (1.0 - dF) + adBase[std::size_t(m) + 1] * dF;
    };
    auto activity = [&adActivity](int s) { return adActivity[std::size_t(s / 60)]; };
    auto energy = [](double dLevel) { return std::exp(dLevel * (std::log(10.0) / 10.0)); };

    // Background: the diurnal base with a slowly wandering part and a quick flicker,
    // kept as levels. Events add energy apart, so only the seconds an event touches
    // need the sum of energies; the others are the background level as it is.
    std::vector<double> adLevel(kDaySecs);
    std::vector<double> adEvent(kDaySecs, 0.0);
    const double dKeep = std::exp(-1.0 / 240.0);
    const double dStep = std::sqrt(1.0 - dKeep * dKeep) * 1.8;
    double dWander = rnd.Normal() * 1.8;
    for (int s = 0; s < kDaySecs; ++s) {
        dWander = dKeep * dWander + dStep * rnd.Normal();
        adLevel[std::size_t(s)] = base(s) + dWander + 0.7 * rnd.Normal();
    }

    // Events arrive at a rate that follows the day; thinning a steady stream at the
    // peak rate keeps the draws independent of how busy each hour is.
    auto arrivals = [&rnd, &activity](double dPeakPerHour, double dNightShare, auto&& add) {
        double dT = rnd.Exponential(3600.0 / dPeakPerHour);
        while (dT < kDaySecs) {
            const int s = int(dT);
            const double dShare = dNightShare + (1.0 - dNightShare) * activity(s);
            if (rnd.Chance(dShare))
                add(s);
            dT += rnd.Exponential(3600.0 / dPeakPerHour);
        }
    };
    // Passing vehicles: a rise and fall of a few dB over some seconds.
    arrivals(mon.dTraffic, 0.05, [&](int s) {
        const double dPeak = base(s) + rnd.Range(2.0, 6.0);
        const int nDur = rnd.Int(6, 25);
        for (int k = 0; k <= nDur && s + k < kDaySecs; ++k) {
            const double dFrac = 1.0 - std::abs(2.0 * k / nDur - 1.0);
            adEvent[std::size_t(s + k)] += energy(dPeak - 15.0 * (1.0 - dFrac));
        }
    });
    // Loud events (machinery, sirens, aircraft): 75-90 dB for seconds to minutes.
    arrivals(mon.dLoudRate, 0.15, [&](int s) {
        const double dPeak = rnd.Range(75.0, 90.0);
        const int nDur = int(std::lround(std::exp(rnd.Range(std::log(3.0), std::log(300.0)))));
        const int nAttack = std::max(1, nDur / 6);
        const int nDecay = std::max(1, nDur / 4);
        for (int k = 0; k < nDur && s + k < kDaySecs; ++k) {
            double dLevel = dPeak + 1.2 * rnd.Normal();
            if (k < nAttack)
                dLevel -= 20.0 * (1.0 - double(k + 1) / nAttack);
            else if (k >= nDur - nDecay)
                dLevel -= 20.0 * double(k - (nDur - nDecay) + 1) / (nDecay + 1);
            adEvent[std::size_t(s + k)] += energy(dLevel);
        }
    });

    // Levels are clamped before rounding, so a plain conversion of the value plus one
    // half rounds to the nearest tenth.
    std::vector<short> anLevels(kDaySecs);
    for (int s = 0; s < kDaySecs; ++s) {
        const double dLevel = adLevel[std::size_t(s)];
        const double dEvent = adEvent[std::size_t(s)];
        const double dTenths = dEvent > 0 ? 100.0 * std::log10(energy(dLevel) + dEvent) : 10.0 * dLevel;
        anLevels[std::size_t(s)] = short(std::clamp(dTenths, 0.0, double(kMaxTenths)) + 0.5);
    }

    // Sensor faults: now and then a stretch of minutes without values. Drawn every
    // day so that switching them off changes nothing else.
    const bool bFaultDay = rnd.Chance(kFaultDayChance);
    const int nFaults = rnd.Int(1, 2);
    for (int i = 0; i < nFaults; ++i) {
        const int nStart = rnd.Int(0, kDaySecs - 1);
        const int nLen = rnd.Int(120, 1500);
        if (!optSim.bOutages || !bFaultDay)
            continue;
        std::fill(anLevels.begin() + nStart, anLevels.begin() + std::min(kDaySecs, nStart + nLen), kNoLevel);
    }
    return anLevels;
}

int TSimulator::CalibrationSecs(int iMon, const QDate& d, int& nDevTenths) const
{
    nDevTenths = 0;
    if (!optSim.bCalibrations || d.dayOfWeek() != aMonitors.at(std::size_t(iMon)).nCalWeekday)
        return -1;
    TRand rnd = DayRand(optSim.nSeed, iMon, d, EStream::Calibration);
    const int nSecs = 6 * 3600 + rnd.Int(0, 1800);
    nDevTenths = std::clamp(int(std::lround(rnd.Normal() * 1.2)), -3, 3);
    return nSecs;
}

QString TSimulator::MonitorPath(int iMon) const
{
    return QDir(optSim.sDataPath).filePath(MonitorID(iMon));
}

QString TSimulator::MonthPath(int iMon, const QDate& d) const
{
    return MonitorPath(iMon) + QLatin1Char('/') + d.toString(QStringLiteral("yyyy-MM"));
}

void TSimulator::WriteFile(const QString& sPath, const QByteArray& baData)
{
    // Write beside and rename over, so a reader sees the old file or the new one,
    // never half of one. No flush to disk: losing a simulated file to a power cut
    // does not matter, and syncing every file made a large folder slow to write.
    const QString sTemp = sPath + QStringLiteral(".tmp");
    QFile file(sTemp);
    bool bOk = file.open(QIODevice::WriteOnly) && file.write(baData) == baData.size();
    file.close();
    bOk = bOk && file.error() == QFileDevice::NoError;
    std::error_code ec;
    if (bOk)
        std::filesystem::rename(std::filesystem::path(sTemp.toStdU16String()),
                                std::filesystem::path(sPath.toStdU16String()), ec);
    if (bOk && !ec) {
        ++nFilesWritten;
        return;
    }
    QFile::remove(sTemp);
    NoteError(QStringLiteral("Unable to write %1: %2")
                  .arg(sPath, ec ? QString::fromStdString(ec.message()) : file.errorString()));
}

void TSimulator::NoteError(const QString& sFault)
{
    if (sError.isEmpty())
        sError = sFault;
}

bool TSimulator::MakeFolder(const QString& sPath)
{
    if (QDir().mkpath(sPath))
        return true;
    NoteError(QStringLiteral("Unable to create %1").arg(sPath));
    return false;
}

void TSimulator::WriteTermCfg(int iMon)
{
    const TMonitor& mon = aMonitors.at(std::size_t(iMon));
    if (!MakeFolder(MonitorPath(iMon)))
        return;
    QByteArray ba;
    const auto line = [&ba](const QString& s) {
        ba.append(s.toLatin1());
        AppendEol(ba);
    };
    line(QStringLiteral("[head]"));
    line(QStringLiteral("name=") + mon.sName);
    line(QStringLiteral("type=") + mon.sType);
    line(QString());
    // The supervisor keeps its own settings here too; readers skip them.
    line(QStringLiteral("[meas]"));
    QStringList slPeriods;
    for (int nPeriod : optSim.anPeriods)
        slPeriods << QString::number(nPeriod);
    line(QStringLiteral("periods=") + slPeriods.join(QLatin1Char(',')));
    line(QStringLiteral("alarm=") + QString::number(optSim.dAlarmLevel, 'f', 1));
    WriteFile(MonitorPath(iMon) + QStringLiteral("/term.cfg"), ba);
}

void TSimulator::WriteClientList()
{
    QByteArray ba;
    for (const TMonitor& mon : aMonitors) {
        ba.append(mon.sID.toLatin1());
        AppendEol(ba);
    }
    WriteFile(QDir(optSim.sDataPath).filePath(QStringLiteral("clientlist.csv")), ba);
}

void TSimulator::WriteDay(int iMon, const QDate& d, const QTime& tmUpTo)
{
    if (iMon < 0 || iMon >= MonitorCount() || !d.isValid() || IsOutageDay(iMon, d))
        return;
    const QString sMonth = MonthPath(iMon, d);
    if (!MakeFolder(sMonth))
        return;
    const QString sDay = d.toString(QStringLiteral("dd"));
    const int nUpTo = UpToMsecs(tmUpTo);
    const std::vector<short> anLevels = DayLevels(iMon, d);

    for (int nPeriod : optSim.anPeriods) {
        if (nPeriod <= 0)
            continue;
        const QString sName =
            QStringLiteral("/per-%1-%2.csv").arg(sDay).arg(nPeriod, 4, 10, QLatin1Char('0'));
        WriteFile(sMonth + sName, PeriodicFile(anLevels, nPeriod, nUpTo));
    }
    if (optSim.bAlarms) {
        const int nThreshold = int(std::lround(optSim.dAlarmLevel * 10.0));
        WriteFile(sMonth + QStringLiteral("/alm-") + sDay + QStringLiteral(".csv"),
                  AlarmFile(anLevels, nThreshold, nUpTo));
    }
    if (HasProfile(d))
        WriteFile(sMonth + QStringLiteral("/prf-") + sDay + QStringLiteral(".csv"),
                  ProfileFile(anLevels, nUpTo));

    int nDev = 0;
    const int nCal = CalibrationSecs(iMon, d, nDev);
    if (nCal >= 0 && qint64(nCal) * 1000 < nUpTo) {
        QByteArray ba(".Time,Level,Deviation");
        AppendEol(ba);
        AppendTime(ba, nCal);
        ba.append(",94.0,");
        AppendTenths(ba, nDev);
        AppendEol(ba);
        WriteFile(sMonth + QStringLiteral("/cal-") + sDay + QStringLiteral(".csv"), ba);
    }
}

void TSimulator::WriteAll()
{
    if (!MakeFolder(optSim.sDataPath))
        return;
    for (int iMon = 0; iMon < MonitorCount(); ++iMon) {
        WriteTermCfg(iMon);
        for (QDate d = optSim.dtFrom; d.isValid() && d <= optSim.dtTo; d = d.addDays(1))
            WriteDay(iMon, d, d == optSim.dtTo ? optSim.tmUpTo : QTime());
    }
    if (optSim.bClientList)
        WriteClientList();
}
