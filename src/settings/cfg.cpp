#include "settings/cfg.h"

#include "platform/platform.h"
#include "settings/commatext.h"

#include <QDir>
#include <QFileInfo>

#include <algorithm>
#include <array>
#include <limits>
#include <cmath>

namespace {

enum EKey : int
{
    kDataPath,
    kSupervisor,
    kX,
    kY,
    kCx,
    kCy,
    kState,
    kMonitorSel,
    kPerPeriod,
    kPerPreset,
    kPerParams,
    kYAxisAuto,
    kYAxisMin,
    kYAxisMax,
    kAutoRefresh,
    kExportDir,
    kHtmlHeader,
    kHtmlHideLogo,
    kHtmlZoom,
    kDayHour,
    kEveningHour,
    kNightHour,
    kEveningPenalty,
    kNightPenalty,
    kCoverage,
    kLdenLimit,
    kLdenLimitOn,
    kNightLimit,
    kNightLimitOn,
    kEvtDayThreshold,
    kEvtNightThreshold,
    kEvtDayHour,
    kEvtNightHour,
    kEvtMinDuration,
    kEvtMaxDuration,
    kEvtHangTime,
    kEvtNLevels,
    kEvtShowSpans,
    kEvtShowThreshold,
    kHtmlImageFormat,
    kEvtBackground,
    kEvtBgMinutes,
    kEvtBgMargin,
    kEvtBgFloorBelow,
    kWeatherOn,
    kWeatherFile,
    kWeatherMonitorFiles,
    kWeatherWindOn,
    kWeatherWindAbove,
    kWeatherRainOn,
    kWeatherRainAbove,
    kApplyExclusions,
    kKeyCount
};

struct TKeyDef
{
    EKey key;
    const char* szSection;
    const char* szName;
    const char* szDefault;
};

// Every key of the settings file with its default. Integers and flags are given as
// they are written; the supervisor's default depends on where this program lies, so
// it is formed when the settings are read.
constexpr std::array<TKeyDef, kKeyCount> aKeyDefs{{
    {kDataPath, "app", "datapath", ""},
    {kSupervisor, "app", "supervisor", nullptr},
    {kX, "window", "x", "-1"},
    {kY, "window", "y", "-1"},
    {kCx, "window", "cx", "800"},
    {kCy, "window", "cy", "600"},
    {kState, "window", "state", "0"},
    {kMonitorSel, "report", "monitorsel", ""},
    {kPerPeriod, "report", "perperiod", "60"},
    {kPerPreset, "report", "perpreset", "0"},
    {kPerParams, "report", "perparams", "LAeq,LAFmax,LAF10,LAF90"},
    {kYAxisAuto, "report", "yaxisauto", "1"},
    {kYAxisMin, "report", "yaxismin", "20"},
    {kYAxisMax, "report", "yaxismax", "80"},
    {kAutoRefresh, "report", "autorefresh", "1"},
    {kExportDir, "export", "dir", ""},
    {kHtmlHeader, "html", "header", "Tarvik Report"},
    {kHtmlHideLogo, "html", "hidelogo", "0"},
    {kHtmlZoom, "html", "zoom", "0"},
    {kDayHour, "rating", "dayhour", "7"},
    {kEveningHour, "rating", "eveninghour", "19"},
    {kNightHour, "rating", "nighthour", "23"},
    {kEveningPenalty, "rating", "eveningpenalty", "5"},
    {kNightPenalty, "rating", "nightpenalty", "10"},
    {kCoverage, "rating", "coverage", "75"},
    {kLdenLimit, "rating", "ldenlimit", "55"},
    {kLdenLimitOn, "rating", "ldenlimiton", "0"},
    {kNightLimit, "rating", "nightlimit", "50"},
    {kNightLimitOn, "rating", "nightlimiton", "0"},
    // Noise events; an hour of -1 follows the rating hours, a maximum of 0 is off.
    {kEvtDayThreshold, "events", "daythreshold", "65"},
    {kEvtNightThreshold, "events", "nightthreshold", "55"},
    {kEvtDayHour, "events", "dayhour", "-1"},
    {kEvtNightHour, "events", "nighthour", "-1"},
    {kEvtMinDuration, "events", "minduration", "5"},
    {kEvtMaxDuration, "events", "maxduration", "0"},
    {kEvtHangTime, "events", "hangtime", "3"},
    {kEvtNLevels, "events", "nlevels", "65,70,75"},
    {kEvtShowSpans, "events", "showspans", "1"},
    {kEvtShowThreshold, "events", "showthreshold", "1"},
    {kHtmlImageFormat, "html", "imageformat", "bmp"},
    // Events relative to the background: off, the minutes of the window, the margin
    // above its LAeq,1s exceeded 90 % of the time and how far below the fixed
    // threshold the floor lies, in dB.
    {kEvtBackground, "events", "background", "0"},
    {kEvtBgMinutes, "events", "bgminutes", "10"},
    {kEvtBgMargin, "events", "bgmargin", "10"},
    {kEvtBgFloorBelow, "events", "bgfloorbelow", "10"},
    // Weather rules: the monitors' own files as comma text of ID and file, pair after
    // pair; wind above 5 m/s and any rain at all are left out.
    {kWeatherOn, "weather", "on", "1"},
    {kWeatherFile, "weather", "file", ""},
    {kWeatherMonitorFiles, "weather", "monitorfiles", ""},
    {kWeatherWindOn, "weather", "windon", "1"},
    {kWeatherWindAbove, "weather", "windabove", "5"},
    {kWeatherRainOn, "weather", "rainon", "1"},
    {kWeatherRainAbove, "weather", "rainabove", "0"},
    // Whether the window's figures leave the exclusions out.
    {kApplyExclusions, "report", "applyexclusions", "1"},
}};

constexpr bool KeysInOrder()
{
    for (int i = 0; i < kKeyCount; ++i)
        if (aKeyDefs[size_t(i)].key != i)
            return false;
    return true;
}
static_assert(KeysInOrder(), "aKeyDefs must list the keys in EKey order");

const TKeyDef& Def(EKey k)
{
    return aKeyDefs[size_t(k)];
}

QString Section(EKey k)
{
    return QLatin1String(Def(k).szSection);
}

QString Name(EKey k)
{
    return QLatin1String(Def(k).szName);
}

QString DefaultText(EKey k)
{
    return QString::fromUtf8(Def(k).szDefault);
}

int DefaultInt(EKey k)
{
    return QByteArray(Def(k).szDefault).toInt();
}

// The settings file holds a few kilobytes; a larger one is not read, and not
// overwritten either.
constexpr qint64 nMaxSettingsBytes = 1024 * 1024;

QString SettingsFolder(const QString& sCommonAppData)
{
    const QString sSep = TPlatform::Sep();
    return sCommonAppData + sSep + QStringLiteral("Kestrom") + sSep + QStringLiteral("Tarvik-SV") + sSep;
}

qsizetype IndexOf(const QStringList& sl, const QString& s)
{
    for (qsizetype i = 0; i < sl.size(); ++i)
        if (QString::compare(sl[i], s, Qt::CaseInsensitive) == 0)
            return i;
    return -1;
}

void SetMember(QStringList& sl, const QString& s, bool bSet)
{
    const qsizetype i = IndexOf(sl, s);
    if (bSet && i < 0)
        sl.append(s);
    else if (!bSet && i >= 0)
        sl.removeAt(i);
}

} // namespace

QString TCfg::KeyDefault(const char* szSection, const char* szName)
{
    for (const TKeyDef& def : aKeyDefs)
        if (qstrcmp(def.szSection, szSection) == 0 && qstrcmp(def.szName, szName) == 0)
            return QString::fromUtf8(def.szDefault);
    return {};
}

TCfg::TCfg() : TCfg(TPlatform::CommonAppDataPath()) {}

// When the platform names no application-data folder there is nowhere to keep the
// settings: the run goes on with the defaults, and setters change only the fields.
TCfg::TCfg(const QString& sCommonAppDataFolder) : sCommonAppData(sCommonAppDataFolder)
{
    if (!sCommonAppData.isEmpty()) {
        const QString sFolder = SettingsFolder(sCommonAppData);
        // A folder that cannot be made is not reported: reads give their defaults and
        // the first write reports the failure.
        TPlatform::ForceDirectories(sFolder);
        ini = std::make_unique<TIniFile>(sFolder + QStringLiteral("rp_settings.ini"), nMaxSettingsBytes);
    }
    ReadAll();
}

TCfg::~TCfg() = default;

QString TCfg::FileName() const
{
    return ini ? ini->FileName() : QString();
}

void TCfg::ReadAll()
{
    // One read of the file for every key; without a settings file all are defaults.
    const TIniValues values(FileName(), nMaxSettingsBytes);
    auto readString = [&values](EKey k, const QString& sDefault) {
        return values.ReadString(Section(k), Name(k), sDefault);
    };
    auto readText = [&](EKey k) { return readString(k, DefaultText(k)); };
    auto readInt = [&values](EKey k) { return values.ReadInteger(Section(k), Name(k), DefaultInt(k)); };
    auto readBool = [&values](EKey k) { return values.ReadBool(Section(k), Name(k), DefaultInt(k) != 0); };

    sDataPath = readText(kDataPath);
    const QString sProgFolder =
        QDir::toNativeSeparators(QFileInfo(TPlatform::ProgramFilePath()).absolutePath());
    sSupervisorProg = readString(kSupervisor, sProgFolder + TPlatform::Sep() +
                                                  TPlatform::ExecutableName(QStringLiteral("tarviksv")));
    xWin = readInt(kX);
    yWin = readInt(kY);
    cxWin = readInt(kCx);
    cyWin = readInt(kCy);
    nState = readInt(kState);
    slMonitorSel = TCommaText::Split(readText(kMonitorSel));
    nRepPerPeriod = readInt(kPerPeriod);
    nRepPreset = readInt(kPerPreset);
    slRepPerParams = TCommaText::Split(readText(kPerParams));
    bRepYAuto = readBool(kYAxisAuto);
    nRepYMin = readInt(kYAxisMin);
    nRepYMax = readInt(kYAxisMax);
    bAutoRefresh = readBool(kAutoRefresh);
    sExportDir = readText(kExportDir);
    sHtmlHeader = readText(kHtmlHeader);
    bHtmlHideLogo = readBool(kHtmlHideLogo);
    bHtmlZoom = readBool(kHtmlZoom);
    nRatingDayHour = readInt(kDayHour);
    nRatingEveningHour = readInt(kEveningHour);
    nRatingNightHour = readInt(kNightHour);
    nRatingEveningPenalty = readInt(kEveningPenalty);
    nRatingNightPenalty = readInt(kNightPenalty);
    nRatingCoverage = readInt(kCoverage);
    nRatingLdenLimit = readInt(kLdenLimit);
    bRatingLdenLimitOn = readBool(kLdenLimitOn);
    nRatingNightLimit = readInt(kNightLimit);
    bRatingNightLimitOn = readBool(kNightLimitOn);
    // A threshold that is no number reads as NaN, which the events analysis reports
    // and replaces by the default.
    auto readDouble = [&](EKey k) {
        bool bOk = false;
        const double d = readText(k).trimmed().toDouble(&bOk);
        return bOk ? d : std::numeric_limits<double>::quiet_NaN();
    };
    dEvtDayThreshold = readDouble(kEvtDayThreshold);
    dEvtNightThreshold = readDouble(kEvtNightThreshold);
    nEvtDayHour = readInt(kEvtDayHour);
    nEvtNightHour = readInt(kEvtNightHour);
    nEvtMinDuration = readInt(kEvtMinDuration);
    nEvtMaxDuration = readInt(kEvtMaxDuration);
    nEvtHangTime = readInt(kEvtHangTime);
    sEvtNLevels = readText(kEvtNLevels);
    bEvtShowSpans = readBool(kEvtShowSpans);
    bEvtShowThreshold = readBool(kEvtShowThreshold);
    bEvtBackground = readBool(kEvtBackground);
    nEvtBgMinutes = readInt(kEvtBgMinutes);
    dEvtBgMargin = readDouble(kEvtBgMargin);
    dEvtBgFloorBelow = readDouble(kEvtBgFloorBelow);
    bApplyExclusions = readBool(kApplyExclusions);
    sHtmlImageFormat = KnownImageFormat(readText(kHtmlImageFormat));
    bWeatherOn = readBool(kWeatherOn);
    sWeatherFile = readText(kWeatherFile);
    const QStringList slMonitorFiles = TCommaText::Split(readText(kWeatherMonitorFiles));
    TMonitorFiles aPairs;
    for (qsizetype i = 0; i + 1 < slMonitorFiles.size(); i += 2)
        aPairs.emplace_back(slMonitorFiles[i], slMonitorFiles[i + 1]);
    aWeatherMonitorFiles = KnownMonitorFiles(aPairs);
    bWeatherWindOn = readBool(kWeatherWindOn);
    dWeatherWindAbove = Threshold(kWeatherWindAbove, readDouble(kWeatherWindAbove));
    bWeatherRainOn = readBool(kWeatherRainOn);
    dWeatherRainAbove = Threshold(kWeatherRainAbove, readDouble(kWeatherRainAbove));

    // The limit rules are as many keys as the user made; the supervisor never writes
    // this section, whose name carries this program's prefix.
    slLimitKeysInFile = values.Keys(LimitSection());
    for (const QString& sKey : std::as_const(slLimitKeysInFile)) {
        const QString sRule = values.ReadString(LimitSection(), sKey, QString());
        if (sRule.isEmpty())
            continue;
        slLimitKeys.append(sKey);
        slLimitRules.append(sRule);
    }
}

void TCfg::WriteString(int nKey, const QString& s) const
{
    const EKey k = EKey(nKey);
    if (ini && bWriteThrough)
        ini->WriteString(Section(k), Name(k), s);
}

void TCfg::WriteInteger(int nKey, int n) const
{
    WriteString(nKey, QString::number(n));
}

void TCfg::WriteBool(int nKey, bool b) const
{
    WriteInteger(nKey, b ? 1 : 0);
}

QString TCfg::DataPath()
{
    const QString sSep = TPlatform::Sep();
    if (!sDataPath.isEmpty() && !sDataPath.endsWith(sSep))
        SetDataPath(sDataPath + sSep);
    if (sDataPath.isEmpty() && !sCommonAppData.isEmpty())
        SetDataPath(SettingsFolder(sCommonAppData) + QStringLiteral("data") + sSep);
    return sDataPath;
}

void TCfg::SetLimitRules(const QStringList& slRules)
{
    QStringList slKeys;
    for (qsizetype i = 0; i < slRules.size(); ++i)
        slKeys.append(QStringLiteral("rule") + QString::number(i + 1));
    slLimitKeys = slKeys;
    slLimitRules = slRules;
    if (!ini || !bWriteThrough)
        return;
    for (qsizetype i = 0; i < slRules.size(); ++i)
        ini->WriteString(LimitSection(), slKeys[i], slRules[i]);
    for (const QString& sKey : std::as_const(slLimitKeysInFile))
        if (!slKeys.contains(sKey, Qt::CaseInsensitive))
            ini->WriteString(LimitSection(), sKey, QString());
    for (const QString& sKey : std::as_const(slKeys))
        if (!slLimitKeysInFile.contains(sKey, Qt::CaseInsensitive))
            slLimitKeysInFile.append(sKey);
}

void TCfg::SetDataPath(const QString& s)
{
    sDataPath = s;
    WriteString(kDataPath, s);
}

void TCfg::Setx(int n)
{
    xWin = n;
    WriteInteger(kX, n);
}

void TCfg::Sety(int n)
{
    yWin = n;
    WriteInteger(kY, n);
}

void TCfg::Setcx(int n)
{
    cxWin = n;
    WriteInteger(kCx, n);
}

void TCfg::Setcy(int n)
{
    cyWin = n;
    WriteInteger(kCy, n);
}

void TCfg::SetWinState(int n)
{
    nState = n;
    WriteInteger(kState, n);
}

void TCfg::SetRepPerPeriod(int n)
{
    nRepPerPeriod = n;
    WriteInteger(kPerPeriod, n);
}

void TCfg::SetRepPreset(int n)
{
    nRepPreset = n;
    WriteInteger(kPerPreset, n);
}

void TCfg::SetMonitorSel(const QString& sID, bool bSet)
{
    SetMember(slMonitorSel, sID, bSet);
    WriteString(kMonitorSel, TCommaText::Join(slMonitorSel));
}

bool TCfg::GetMonitorSel(const QString& sID) const
{
    return IndexOf(slMonitorSel, sID) >= 0;
}

void TCfg::SetPerParam(const QString& sParam, bool bSet)
{
    SetMember(slRepPerParams, sParam, bSet);
    WriteString(kPerParams, TCommaText::Join(slRepPerParams));
}

bool TCfg::GetPerParam(const QString& sParam) const
{
    return IndexOf(slRepPerParams, sParam) >= 0;
}

bool TCfg::IncludeParam(const QString& sFld) const
{
    return sFld == QLatin1String(".Time") || GetPerParam(sFld);
}

void TCfg::SetRepYAuto(bool b)
{
    bRepYAuto = b;
    WriteBool(kYAxisAuto, b);
}

void TCfg::SetRepYMin(int n)
{
    nRepYMin = n;
    WriteInteger(kYAxisMin, n);
}

void TCfg::SetRepYMax(int n)
{
    nRepYMax = n;
    WriteInteger(kYAxisMax, n);
}

void TCfg::SetAutoRefresh(bool b)
{
    bAutoRefresh = b;
    WriteBool(kAutoRefresh, b);
}

void TCfg::SetExportDir(const QString& s)
{
    sExportDir = s;
    WriteString(kExportDir, s);
}

void TCfg::SetHtmlHeader(const QString& s)
{
    sHtmlHeader = s;
    WriteString(kHtmlHeader, s);
}

void TCfg::SetHtmlHideLogo(bool b)
{
    bHtmlHideLogo = b;
    WriteBool(kHtmlHideLogo, b);
}

void TCfg::SetHtmlZoom(bool b)
{
    bHtmlZoom = b;
    WriteBool(kHtmlZoom, b);
}

QString TCfg::KnownImageFormat(const QString& s)
{
    const QString sLower = s.trimmed().toLower();
    return sLower == QLatin1String("png") ? sLower : DefaultText(kHtmlImageFormat);
}

void TCfg::SetHtmlImageFormat(const QString& s)
{
    sHtmlImageFormat = KnownImageFormat(s);
    WriteString(kHtmlImageFormat, sHtmlImageFormat);
}

void TCfg::SetRatingDayHour(int n)
{
    nRatingDayHour = n;
    WriteInteger(kDayHour, n);
}

void TCfg::SetRatingEveningHour(int n)
{
    nRatingEveningHour = n;
    WriteInteger(kEveningHour, n);
}

void TCfg::SetRatingNightHour(int n)
{
    nRatingNightHour = n;
    WriteInteger(kNightHour, n);
}

void TCfg::SetRatingEveningPenalty(int n)
{
    nRatingEveningPenalty = n;
    WriteInteger(kEveningPenalty, n);
}

void TCfg::SetRatingNightPenalty(int n)
{
    nRatingNightPenalty = n;
    WriteInteger(kNightPenalty, n);
}

void TCfg::SetRatingCoverage(int n)
{
    nRatingCoverage = n;
    WriteInteger(kCoverage, n);
}

void TCfg::SetRatingLdenLimit(int n)
{
    nRatingLdenLimit = n;
    WriteInteger(kLdenLimit, n);
}

void TCfg::SetRatingLdenLimitOn(bool b)
{
    bRatingLdenLimitOn = b;
    WriteBool(kLdenLimitOn, b);
}

void TCfg::SetRatingNightLimit(int n)
{
    nRatingNightLimit = n;
    WriteInteger(kNightLimit, n);
}

void TCfg::SetRatingNightLimitOn(bool b)
{
    bRatingNightLimitOn = b;
    WriteBool(kNightLimitOn, b);
}

void TCfg::SetEvtDayThreshold(double d)
{
    dEvtDayThreshold = d;
    WriteString(kEvtDayThreshold, QString::number(d));
}

void TCfg::SetEvtNightThreshold(double d)
{
    dEvtNightThreshold = d;
    WriteString(kEvtNightThreshold, QString::number(d));
}

void TCfg::SetEvtDayHour(int n)
{
    nEvtDayHour = n;
    WriteInteger(kEvtDayHour, n);
}

void TCfg::SetEvtNightHour(int n)
{
    nEvtNightHour = n;
    WriteInteger(kEvtNightHour, n);
}

void TCfg::SetEvtMinDuration(int n)
{
    nEvtMinDuration = n;
    WriteInteger(kEvtMinDuration, n);
}

void TCfg::SetEvtMaxDuration(int n)
{
    nEvtMaxDuration = n;
    WriteInteger(kEvtMaxDuration, n);
}

void TCfg::SetEvtHangTime(int n)
{
    nEvtHangTime = n;
    WriteInteger(kEvtHangTime, n);
}

void TCfg::SetEvtNLevels(const QString& s)
{
    sEvtNLevels = s;
    WriteString(kEvtNLevels, s);
}

void TCfg::SetEvtShowSpans(bool b)
{
    bEvtShowSpans = b;
    WriteBool(kEvtShowSpans, b);
}

void TCfg::SetEvtShowThreshold(bool b)
{
    bEvtShowThreshold = b;
    WriteBool(kEvtShowThreshold, b);
}

void TCfg::SetEvtBackground(bool b)
{
    bEvtBackground = b;
    WriteBool(kEvtBackground, b);
}

void TCfg::SetEvtBgMinutes(int n)
{
    nEvtBgMinutes = n;
    WriteInteger(kEvtBgMinutes, n);
}

void TCfg::SetEvtBgMargin(double d)
{
    dEvtBgMargin = d;
    WriteString(kEvtBgMargin, QString::number(d));
}

void TCfg::SetApplyExclusions(bool b)
{
    bApplyExclusions = b;
    WriteBool(kApplyExclusions, b);
}

void TCfg::SetEvtBgFloorBelow(double d)
{
    dEvtBgFloorBelow = d;
    WriteString(kEvtBgFloorBelow, QString::number(d));
}

double TCfg::Threshold(int nKey, double d)
{
    return std::isfinite(d) && d >= 0 ? d : DefaultText(EKey(nKey)).toDouble();
}

TCfg::TMonitorFiles TCfg::KnownMonitorFiles(const TMonitorFiles& a)
{
    TMonitorFiles aKept;
    for (const auto& pair : a) {
        const bool bSeen = std::any_of(aKept.begin(), aKept.end(), [&pair](const auto& kept) {
            return QString::compare(kept.first, pair.first, Qt::CaseInsensitive) == 0;
        });
        if (!pair.first.trimmed().isEmpty() && !pair.second.trimmed().isEmpty() && !bSeen)
            aKept.push_back(pair);
    }
    return aKept;
}

void TCfg::SetWeatherOn(bool b)
{
    bWeatherOn = b;
    WriteBool(kWeatherOn, b);
}

void TCfg::SetWeatherFile(const QString& s)
{
    sWeatherFile = s;
    WriteString(kWeatherFile, s);
}

void TCfg::SetWeatherMonitorFiles(const TMonitorFiles& a)
{
    aWeatherMonitorFiles = KnownMonitorFiles(a);
    QStringList sl;
    for (const auto& [sID, sFile] : aWeatherMonitorFiles)
        sl << sID << sFile;
    WriteString(kWeatherMonitorFiles, TCommaText::Join(sl));
}

void TCfg::SetWeatherWindOn(bool b)
{
    bWeatherWindOn = b;
    WriteBool(kWeatherWindOn, b);
}

void TCfg::SetWeatherWindAbove(double d)
{
    dWeatherWindAbove = Threshold(kWeatherWindAbove, d);
    WriteString(kWeatherWindAbove, QString::number(dWeatherWindAbove));
}

void TCfg::SetWeatherRainOn(bool b)
{
    bWeatherRainOn = b;
    WriteBool(kWeatherRainOn, b);
}

void TCfg::SetWeatherRainAbove(double d)
{
    dWeatherRainAbove = Threshold(kWeatherRainAbove, d);
    WriteString(kWeatherRainAbove, QString::number(dWeatherRainAbove));
}
