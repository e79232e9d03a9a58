#pragma once

#include "platform/inifile.h"

#include <QString>
#include <QStringList>

#include <memory>
#include <utility>
#include <vector>

// The measurement parameters the user can select, in their fixed order.
inline const QStringList& MeasurementParams()
{
    static const QStringList sl{QStringLiteral("LAeq"),  QStringLiteral("LAFmin"), QStringLiteral("LAFmax"),
                                QStringLiteral("LAF5"),  QStringLiteral("LAF10"),  QStringLiteral("LAF50"),
                                QStringLiteral("LAF90"), QStringLiteral("LAF95"),  QStringLiteral("LAF99")};
    return sl;
}

// All user settings, backed by "rp_settings.ini" in the folder the program shares
// with the supervisor. Every key is read once at construction; the fields are
// authoritative for the run and the file is never read again. Each setter stores
// the field and writes its one key at once (write-through); a write the file system
// refuses throws EWriteError after the field already holds the new value.
class TCfg final
{
public:
    // Uses the platform's common application-data folder.
    TCfg();
    // Uses the given folder in place of the common application-data folder (tests).
    explicit TCfg(const QString& sCommonAppData);
    ~TCfg();
    Q_DISABLE_COPY_MOVE(TCfg)

    // Full name of the settings file; empty when no application-data folder was named.
    QString FileName() const;

    // The data folder, always ending with the path separator. An empty setting is
    // resolved to the default folder and a missing trailing separator appended; both
    // are written to the file.
    QString DataPath();
    void SetDataPath(const QString& s);

    QString SupervisorProg() const { return sSupervisorProg; }

    int x() const { return xWin; }
    void Setx(int n);
    int y() const { return yWin; }
    void Sety(int n);
    int cx() const { return cxWin; }
    void Setcx(int n);
    int cy() const { return cyWin; }
    void Setcy(int n);
    int WinState() const { return nState; }
    void SetWinState(int n);

    int RepPerPeriod() const { return nRepPerPeriod; }
    void SetRepPerPeriod(int n);
    int RepPreset() const { return nRepPreset; }
    void SetRepPreset(int n);

    void SetMonitorSel(const QString& sID, bool bSet);
    bool GetMonitorSel(const QString& sID) const;
    const QStringList& MonitorSel() const { return slMonitorSel; }

    void SetPerParam(const QString& sParam, bool bSet);
    bool GetPerParam(const QString& sParam) const;
    int PerParamCount() const { return int(slRepPerParams.size()); }
    const QStringList& PerParams() const { return slRepPerParams; }
    // True for ".Time" exactly (the time column is always shown), else GetPerParam.
    bool IncludeParam(const QString& sFld) const;

    bool RepYAuto() const { return bRepYAuto; }
    void SetRepYAuto(bool b);
    int RepYMin() const { return nRepYMin; }
    void SetRepYMin(int n);
    int RepYMax() const { return nRepYMax; }
    void SetRepYMax(int n);
    bool AutoRefresh() const { return bAutoRefresh; }
    void SetAutoRefresh(bool b);

    QString ExportDir() const { return sExportDir; }
    void SetExportDir(const QString& s);
    QString HtmlHeader() const { return sHtmlHeader; }
    void SetHtmlHeader(const QString& s);
    bool HtmlHideLogo() const { return bHtmlHideLogo; }
    void SetHtmlHideLogo(bool b);
    bool HtmlZoom() const { return bHtmlZoom; }
    void SetHtmlZoom(bool b);
    // The file format of the HTML export's chart images: "bmp" (the default) or "png".
    // Any other text reads, and is stored, as "bmp".
    QString HtmlImageFormat() const { return sHtmlImageFormat; }
    void SetHtmlImageFormat(const QString& s);

    // Daily rating levels: start hours (0-23) of the day, evening and night parts,
    // penalties in dB, the coverage threshold in percent and the two limits in dB.
    int RatingDayHour() const { return nRatingDayHour; }
    void SetRatingDayHour(int n);
    int RatingEveningHour() const { return nRatingEveningHour; }
    void SetRatingEveningHour(int n);
    int RatingNightHour() const { return nRatingNightHour; }
    void SetRatingNightHour(int n);
    int RatingEveningPenalty() const { return nRatingEveningPenalty; }
    void SetRatingEveningPenalty(int n);
    int RatingNightPenalty() const { return nRatingNightPenalty; }
    void SetRatingNightPenalty(int n);
    int RatingCoverage() const { return nRatingCoverage; }
    void SetRatingCoverage(int n);
    int RatingLdenLimit() const { return nRatingLdenLimit; }
    void SetRatingLdenLimit(int n);
    bool RatingLdenLimitOn() const { return bRatingLdenLimitOn; }
    void SetRatingLdenLimitOn(bool b);
    int RatingNightLimit() const { return nRatingNightLimit; }
    void SetRatingNightLimit(int n);
    bool RatingNightLimitOn() const { return bRatingNightLimitOn; }
    void SetRatingNightLimitOn(bool b);

    // Noise events in the one-second profile: the thresholds (dB) of day and night,
    // the hours at which each begins (-1: the rating day and night hours), the
    // minimum and maximum duration and the hang time in seconds (a maximum of 0 is
    // off), the levels of the N-above counts as comma text, and what the profile
    // chart shows of them.
    double EvtDayThreshold() const { return dEvtDayThreshold; }
    void SetEvtDayThreshold(double d);
    double EvtNightThreshold() const { return dEvtNightThreshold; }
    void SetEvtNightThreshold(double d);
    int EvtDayHour() const { return nEvtDayHour; }
    void SetEvtDayHour(int n);
    int EvtNightHour() const { return nEvtNightHour; }
    void SetEvtNightHour(int n);
    int EvtMinDuration() const { return nEvtMinDuration; }
    void SetEvtMinDuration(int n);
    int EvtMaxDuration() const { return nEvtMaxDuration; }
    void SetEvtMaxDuration(int n);
    int EvtHangTime() const { return nEvtHangTime; }
    void SetEvtHangTime(int n);
    QString EvtNLevels() const { return sEvtNLevels; }
    void SetEvtNLevels(const QString& s);
    bool EvtShowSpans() const { return bEvtShowSpans; }
    void SetEvtShowSpans(bool b);
    bool EvtShowThreshold() const { return bEvtShowThreshold; }
    void SetEvtShowThreshold(bool b);
    // Thresholds relative to the background: on or off, the minutes of the window,
    // the margin in dB and how many dB below the fixed threshold the floor lies.
    bool EvtBackground() const { return bEvtBackground; }
    void SetEvtBackground(bool b);
    int EvtBgMinutes() const { return nEvtBgMinutes; }
    void SetEvtBgMinutes(int n);
    double EvtBgMargin() const { return dEvtBgMargin; }
    void SetEvtBgMargin(double d);
    double EvtBgFloorBelow() const { return dEvtBgFloorBelow; }
    void SetEvtBgFloorBelow(double d);
    // Whether the window's figures leave the exclusions out (View > Apply Exclusions).
    bool ApplyExclusions() const { return bApplyExclusions; }
    void SetApplyExclusions(bool b);

    // Weather rules: whether periods of wind and rain from weather files are left out
    // of the figures, the installation's weather file, the files of monitors that have
    // one of their own as (monitor ID, file) pairs, and the two rules, each with its
    // switch and its threshold (wind in m/s, rain in mm/h). A threshold that is no
    // number of 0 or more reads, and is stored, as its default.
    bool WeatherOn() const { return bWeatherOn; }
    void SetWeatherOn(bool b);
    QString WeatherFile() const { return sWeatherFile; }
    void SetWeatherFile(const QString& s);
    using TMonitorFiles = std::vector<std::pair<QString, QString>>;
    const TMonitorFiles& WeatherMonitorFiles() const { return aWeatherMonitorFiles; }
    // Pairs with an empty ID or file are dropped, and so is a second pair of an ID.
    void SetWeatherMonitorFiles(const TMonitorFiles& a);
    bool WeatherWindOn() const { return bWeatherWindOn; }
    void SetWeatherWindOn(bool b);
    double WeatherWindAbove() const { return dWeatherWindAbove; }
    void SetWeatherWindAbove(double d);
    bool WeatherRainOn() const { return bWeatherRainOn; }
    void SetWeatherRainOn(bool b);
    double WeatherRainAbove() const { return dWeatherRainAbove; }
    void SetWeatherRainAbove(double d);

    // The default text of a key of the table (section and name as in the file);
    // empty for a key it does not hold.
    static QString KeyDefault(const char* szSection, const char* szName);
    // Noise limit rules, one per key of a section of their own, in file order: the key
    // names and their texts, parsed by the analysis that uses them. Keys with an empty
    // text are no rules. SetLimitRules writes the rules as keys "rule1", "rule2", ...
    // and empties every other key of the section, so that a removed rule stays removed.
    const QStringList& LimitRuleKeys() const { return slLimitKeys; }
    const QStringList& LimitRules() const { return slLimitRules; }
    void SetLimitRules(const QStringList& slRules);
    static QString LimitSection() { return QStringLiteral("rp_limits"); }

    // With write-through off, setters change only the fields and nothing is written:
    // a command-line run overrides settings for itself without storing them.
    void SetWriteThrough(bool bOn) { bWriteThrough = bOn; }
    bool WriteThrough() const { return bWriteThrough; }

private:
    void ReadAll();
    static QString KnownImageFormat(const QString& s);
    static TMonitorFiles KnownMonitorFiles(const TMonitorFiles& a);
    // d when it is a number of 0 or more, else the default of key nKey.
    static double Threshold(int nKey, double d);
    // nKey is a row of the key table in cfg.cpp.
    void WriteString(int nKey, const QString& s) const;
    void WriteInteger(int nKey, int n) const;
    void WriteBool(int nKey, bool b) const;

    QString sCommonAppData;
    std::unique_ptr<TIniFile> ini; // none when no application-data folder was named
    bool bWriteThrough = true;
    // Filled by ReadAll from the key table in cfg.cpp, which holds every default.
    QString sDataPath;
    QString sSupervisorProg;
    int xWin{};
    int yWin{};
    int cxWin{};
    int cyWin{};
    int nState{};
    int nRepPerPeriod{};
    int nRepPreset{};
    QStringList slMonitorSel;
    QStringList slRepPerParams;
    bool bRepYAuto{};
    int nRepYMin{};
    int nRepYMax{};
    bool bAutoRefresh{};
    QString sExportDir;
    QString sHtmlHeader;
    bool bHtmlHideLogo{};
    bool bHtmlZoom{};
    int nRatingDayHour{};
    int nRatingEveningHour{};
    int nRatingNightHour{};
    int nRatingEveningPenalty{};
    int nRatingNightPenalty{};
    int nRatingCoverage{};
    int nRatingLdenLimit{};
    bool bRatingLdenLimitOn{};
    int nRatingNightLimit{};
    bool bRatingNightLimitOn{};
    double dEvtDayThreshold{};
    double dEvtNightThreshold{};
    int nEvtDayHour{};
    int nEvtNightHour{};
    int nEvtMinDuration{};
    int nEvtMaxDuration{};
    int nEvtHangTime{};
    QString sEvtNLevels;
    bool bEvtShowSpans{};
    bool bEvtShowThreshold{};
    bool bEvtBackground{};
    int nEvtBgMinutes{};
    double dEvtBgMargin{};
    double dEvtBgFloorBelow{};
    bool bApplyExclusions{};
    QString sHtmlImageFormat;
    bool bWeatherOn{};
    QString sWeatherFile;
    TMonitorFiles aWeatherMonitorFiles;
    bool bWeatherWindOn{};
    double dWeatherWindAbove{};
    bool bWeatherRainOn{};
    double dWeatherRainAbove{};
    QStringList slLimitKeys;
    QStringList slLimitRules;
    QStringList slLimitKeysInFile; // every key of the limits section, the emptied ones too
};
