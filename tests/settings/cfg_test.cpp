#include "settings/cfg.h"

#include "platform/platform.h"
#include "platform/writeerror.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QProcess>
#include <QTemporaryDir>

#include <cmath>
#include <memory>

#include <gtest/gtest.h>

#include "nonplainfile.h"

namespace {

QString MonitorFiles(const TCfg::TMonitorFiles& a)
{
    QStringList sl;
    for (const auto& [sID, sFile] : a)
        sl.append(sID + QLatin1Char('>') + sFile);
    return sl.join(QLatin1Char('|'));
}

// Every setting as "key=value", so whole configurations compare in one go.
QStringList Dump(TCfg& cfg)
{
    auto b = [](bool v) { return v ? QStringLiteral("1") : QStringLiteral("0"); };
    auto n = [](int v) { return QString::number(v); };
    return {QStringLiteral("datapath=") + cfg.DataPath(),
            QStringLiteral("x=") + n(cfg.x()),
            QStringLiteral("y=") + n(cfg.y()),
            QStringLiteral("cx=") + n(cfg.cx()),
            QStringLiteral("cy=") + n(cfg.cy()),
            QStringLiteral("state=") + n(cfg.WinState()),
            QStringLiteral("monitorsel=") + cfg.MonitorSel().join(QLatin1Char('|')),
            QStringLiteral("perperiod=") + n(cfg.RepPerPeriod()),
            QStringLiteral("perpreset=") + n(cfg.RepPreset()),
            QStringLiteral("perparams=") + cfg.PerParams().join(QLatin1Char('|')),
            QStringLiteral("yaxisauto=") + b(cfg.RepYAuto()),
            QStringLiteral("yaxismin=") + n(cfg.RepYMin()),
            QStringLiteral("yaxismax=") + n(cfg.RepYMax()),
            QStringLiteral("autorefresh=") + b(cfg.AutoRefresh()),
            QStringLiteral("dir=") + cfg.ExportDir(),
            QStringLiteral("header=") + cfg.HtmlHeader(),
            QStringLiteral("hidelogo=") + b(cfg.HtmlHideLogo()),
            QStringLiteral("zoom=") + b(cfg.HtmlZoom()),
            QStringLiteral("dayhour=") + n(cfg.RatingDayHour()),
            QStringLiteral("eveninghour=") + n(cfg.RatingEveningHour()),
            QStringLiteral("nighthour=") + n(cfg.RatingNightHour()),
            QStringLiteral("eveningpenalty=") + n(cfg.RatingEveningPenalty()),
            QStringLiteral("nightpenalty=") + n(cfg.RatingNightPenalty()),
            QStringLiteral("coverage=") + n(cfg.RatingCoverage()),
            QStringLiteral("ldenlimit=") + n(cfg.RatingLdenLimit()),
            QStringLiteral("ldenlimiton=") + b(cfg.RatingLdenLimitOn()),
            QStringLiteral("nightlimit=") + n(cfg.RatingNightLimit()),
            QStringLiteral("nightlimiton=") + b(cfg.RatingNightLimitOn()),
            QStringLiteral("daythreshold=") + QString::number(cfg.EvtDayThreshold()),
            QStringLiteral("nightthreshold=") + QString::number(cfg.EvtNightThreshold()),
            QStringLiteral("evtdayhour=") + n(cfg.EvtDayHour()),
            QStringLiteral("evtnighthour=") + n(cfg.EvtNightHour()),
            QStringLiteral("minduration=") + n(cfg.EvtMinDuration()),
            QStringLiteral("maxduration=") + n(cfg.EvtMaxDuration()),
            QStringLiteral("hangtime=") + n(cfg.EvtHangTime()),
            QStringLiteral("nlevels=") + cfg.EvtNLevels(),
            QStringLiteral("showspans=") + b(cfg.EvtShowSpans()),
            QStringLiteral("showthreshold=") + b(cfg.EvtShowThreshold()),
            QStringLiteral("imageformat=") + cfg.HtmlImageFormat(),
            QStringLiteral("background=") + b(cfg.EvtBackground()),
            QStringLiteral("bgminutes=") + n(cfg.EvtBgMinutes()),
            QStringLiteral("bgmargin=") + QString::number(cfg.EvtBgMargin()),
            QStringLiteral("bgfloorbelow=") + QString::number(cfg.EvtBgFloorBelow()),
            QStringLiteral("weather=") + b(cfg.WeatherOn()),
            QStringLiteral("weatherfile=") + cfg.WeatherFile(),
            QStringLiteral("monitorfiles=") + MonitorFiles(cfg.WeatherMonitorFiles()),
            QStringLiteral("windon=") + b(cfg.WeatherWindOn()),
            QStringLiteral("windabove=") + QString::number(cfg.WeatherWindAbove()),
            QStringLiteral("rainon=") + b(cfg.WeatherRainOn()),
            QStringLiteral("rainabove=") + QString::number(cfg.WeatherRainAbove())};
}

class TCfgTest : public ::testing::Test
{
protected:
    QTemporaryDir dir;
    QString sFolder = dir.path() + QStringLiteral("/Kestrom/Tarvik-SV/");
    QString sFile = sFolder + QStringLiteral("rp_settings.ini");

    void PutFile(const QByteArray& ba) const
    {
        QDir().mkpath(sFolder);
        QFile f(sFile);
        ASSERT_TRUE(f.open(QIODevice::WriteOnly));
        f.write(ba);
    }
    QString Key(const char* szSection, const char* szKey) const
    {
        return TIniFile(sFile).ReadString(QLatin1String(szSection), QLatin1String(szKey),
                                          QStringLiteral("<none>"));
    }
};

// --- defaults and write-through ---

TEST_F(TCfgTest, Create_WithoutFileGivesDefaultsAndCreatesOnlyTheFolder)
{
    TCfg cfg(dir.path());
    EXPECT_EQ(cfg.FileName(), sFile);
    EXPECT_TRUE(QFileInfo(sFolder).isDir());
    EXPECT_FALSE(QFile::exists(sFile));
    EXPECT_EQ(cfg.SupervisorProg(),
              QFileInfo(TPlatform::ProgramFilePath()).absolutePath() + QStringLiteral("/tarviksv"));
    const QStringList slDefaults = Dump(cfg);
    EXPECT_EQ(slDefaults.join(QLatin1Char(' ')),
              QStringLiteral("datapath=%1data/ x=-1 y=-1 cx=800 cy=600 state=0 monitorsel= perperiod=60 "
                             "perpreset=0 perparams=LAeq|LAFmax|LAF10|LAF90 yaxisauto=1 yaxismin=20 "
                             "yaxismax=80 autorefresh=1 dir= header=Tarvik Report hidelogo=0 zoom=0 "
                             "dayhour=7 eveninghour=19 nighthour=23 eveningpenalty=5 nightpenalty=10 "
                             "coverage=75 ldenlimit=55 ldenlimiton=0 nightlimit=50 nightlimiton=0 "
                             "daythreshold=65 nightthreshold=55 evtdayhour=-1 evtnighthour=-1 minduration=5 "
                             "maxduration=0 hangtime=3 nlevels=65,70,75 showspans=1 showthreshold=1 "
                             "imageformat=bmp background=0 bgminutes=10 bgmargin=10 bgfloorbelow=10 weather=1 "
                             "weatherfile= monitorfiles= windon=1 windabove=5 rainon=1 rainabove=0")
                  .arg(sFolder));
}

TEST_F(TCfgTest, Setters_EveryValueIsReadBackByANewCfg)
{
    TCfg cfg(dir.path());
    const QStringList slDefaults = Dump(cfg);
    cfg.SetDataPath(QStringLiteral("/srv/noise/"));
    cfg.Setx(10);
    cfg.Sety(-20);
    cfg.Setcx(1024);
    cfg.Setcy(700);
    cfg.SetWinState(2);
    cfg.SetMonitorSel(QStringLiteral("North gate"), true);
    cfg.SetMonitorSel(QStringLiteral("say \"hi\""), true);
    cfg.SetRepPerPeriod(15);
    cfg.SetRepPreset(7);
    cfg.SetPerParam(QStringLiteral("LAeq"), false);
    cfg.SetPerParam(QStringLiteral("LAF99"), true);
    cfg.SetRepYAuto(false);
    cfg.SetRepYMin(-5);
    cfg.SetRepYMax(120);
    cfg.SetAutoRefresh(false);
    cfg.SetExportDir(QStringLiteral("/home/u/Reports"));
    cfg.SetHtmlHeader(QStringLiteral("Site \"A\", north"));
    cfg.SetHtmlHideLogo(true);
    cfg.SetHtmlZoom(true);
    cfg.SetRatingDayHour(6);
    cfg.SetRatingEveningHour(18);
    cfg.SetRatingNightHour(22);
    cfg.SetRatingEveningPenalty(3);
    cfg.SetRatingNightPenalty(0);
    cfg.SetRatingCoverage(50);
    cfg.SetRatingLdenLimit(60);
    cfg.SetRatingLdenLimitOn(true);
    cfg.SetRatingNightLimit(45);
    cfg.SetRatingNightLimitOn(true);
    cfg.SetEvtDayThreshold(62.5);
    cfg.SetEvtNightThreshold(48);
    cfg.SetEvtDayHour(6);
    cfg.SetEvtNightHour(22);
    cfg.SetEvtMinDuration(8);
    cfg.SetEvtMaxDuration(600);
    cfg.SetEvtHangTime(10);
    cfg.SetEvtNLevels(QStringLiteral("70,80"));
    cfg.SetEvtShowSpans(false);
    cfg.SetEvtShowThreshold(false);
    cfg.SetHtmlImageFormat(QStringLiteral("png"));
    cfg.SetEvtBackground(true);
    cfg.SetEvtBgMinutes(5);
    cfg.SetEvtBgMargin(7.5);
    cfg.SetEvtBgFloorBelow(12);
    cfg.SetWeatherOn(false);
    cfg.SetWeatherFile(QStringLiteral("/srv/weather/site.csv"));
    cfg.SetWeatherMonitorFiles({{QStringLiteral("M1"), QStringLiteral("/srv/weather/mast 1.csv")},
                                {QStringLiteral("North gate"), QStringLiteral("C:\\w\\a,b.csv")}});
    cfg.SetWeatherWindOn(false);
    cfg.SetWeatherWindAbove(7.5);
    cfg.SetWeatherRainOn(false);
    cfg.SetWeatherRainAbove(0.2);
    const QStringList slSet = Dump(cfg);
    for (qsizetype i = 0; i < slSet.size(); ++i)
        EXPECT_NE(slSet[i], slDefaults[i]);

    TCfg cfgAgain(dir.path());
    EXPECT_EQ(Dump(cfgAgain), slSet);
    EXPECT_EQ(Key("report", "monitorsel"), QStringLiteral("\"North gate\",\"say \"\"hi\"\"\""));
    EXPECT_EQ(Key("rating", "nightpenalty"), QStringLiteral("0"));
    EXPECT_EQ(Key("rating", "ldenlimiton"), QStringLiteral("1"));
    EXPECT_EQ(Key("events", "daythreshold"), QStringLiteral("62.5"));
}

TEST_F(TCfgTest, EventThresholds_TextThatIsNoNumberReadsAsNaN)
{
    QDir().mkpath(sFolder);
    QFile f(sFile);
    ASSERT_TRUE(f.open(QIODevice::WriteOnly));
    f.write("[events]\r\ndaythreshold=loud\r\nnightthreshold= 52.5 \r\n");
    f.close();
    // Not a silent default: the events settings report it, then use the default.
    const TCfg cfg(dir.path());
    EXPECT_TRUE(std::isnan(cfg.EvtDayThreshold()));
    EXPECT_EQ(cfg.EvtNightThreshold(), 52.5);
    EXPECT_EQ(TCfg::KeyDefault("events", "daythreshold"), QStringLiteral("65"));
    EXPECT_EQ(TCfg::KeyDefault("events", "bgfloorbelow"), QStringLiteral("10"));
    EXPECT_EQ(TCfg::KeyDefault("events", "nosuchkey"), QString());
}

// Regression: "nan" and "inf" read as thresholds, above which no level ever is, so
// event detection found nothing and said nothing.
// Regression: "nan" and "inf" are numbers to toDouble, and a threshold of nan found no
// events at all. The store hands them on as no number, so that the events analysis
// reports them and uses the default.
TEST_F(TCfgTest, EventThresholds_NanOrInfinityReadAsNoNumber)
{
    PutFile("[events]\r\ndaythreshold=nan\r\nnightthreshold=-inf\r\n");
    const TCfg cfg(dir.path());
    EXPECT_FALSE(std::isfinite(cfg.EvtDayThreshold()));
    EXPECT_FALSE(std::isfinite(cfg.EvtNightThreshold()));
}

TEST_F(TCfgTest, Setters_KeepKeysAndSectionsOfOtherPrograms)
{
    PutFile("; supervisor\r\n[sv]\r\nport=7\r\n[report]\r\nperperiod=5\r\nlegacy=x\r\n");
    TCfg cfg(dir.path());
    cfg.SetRepPerPeriod(10);
    cfg.SetHtmlHeader(QStringLiteral("H"));
    QFile f(sFile);
    ASSERT_TRUE(f.open(QIODevice::ReadOnly));
    EXPECT_EQ(f.readAll(), QByteArray("; "
                                      "supervisor\r\n[sv]\r\nport=7\r\n[report]\r\nperperiod=10\r\nlegacy="
                                      "x\r\n[html]\r\nheader=H\r\n"));
}

// Regression: a key the supervisor wrote while one of ours was being written was
// lost when our file, formed from the older contents, replaced the file. A second
// process appends its section at the last moment before each replacement: on exit
// (the window's place), from Preferences (the limit rules) and for the data folder.
TEST_F(TCfgTest, Setters_KeepWhatTheSupervisorWritesJustBeforeOursReplacesTheFile)
{
    PutFile("; supervisor\r\n[sv]\r\nport=7\r\n[rp_limits]\r\nold=*;LAeq;Mon;07:00-08:00;50\r\n");
    TCfg cfg(dir.path());
    int nAppends = 0;
    bool bArmed = false;
    TIniFile::SetBeforeReplaceHook([&] {
        if (!bArmed)
            return;
        bArmed = false;
        ++nAppends;
        const int nExit = QProcess::execute(QStringLiteral("sh"),
                                            {QStringLiteral("-c"),
                                             QStringLiteral("printf '[sv%s]\\r\\nrun=1\\r\\n' \"$1\" >> \"$2\""),
                                             QStringLiteral("sh"), QString::number(nAppends), sFile});
        ASSERT_EQ(nExit, 0);
    });
    auto armed = [&](auto write) {
        bArmed = true;
        write();
        EXPECT_FALSE(bArmed);
    };
    armed([&] { cfg.Setx(12); });
    armed([&] { cfg.SetLimitRules({QStringLiteral("*;LAeq;Mon-Fri;07:00-19:00;65")}); });
    armed([&] { cfg.SetDataPath(QStringLiteral("/data/")); });
    TIniFile::SetBeforeReplaceHook({});

    // The limit rules are two writes (the new rule and the emptied old key).
    EXPECT_EQ(nAppends, 3);
    for (int i = 1; i <= nAppends; ++i)
        EXPECT_EQ(Key(QStringLiteral("sv%1").arg(i).toLatin1().constData(), "run"), QStringLiteral("1")) << i;
    EXPECT_EQ(Key("sv", "port"), QStringLiteral("7"));
    EXPECT_EQ(Key("window", "x"), QStringLiteral("12"));
    EXPECT_EQ(Key("rp_limits", "rule1"), QStringLiteral("*;LAeq;Mon-Fri;07:00-19:00;65"));
    EXPECT_EQ(Key("rp_limits", "old"), QString());
    EXPECT_EQ(Key("app", "datapath"), QStringLiteral("/data/"));
    EXPECT_EQ(QDir(sFolder).entryList(QDir::Files | QDir::Hidden), QStringList{QStringLiteral("rp_settings.ini")});
}

TEST_F(TCfgTest, Setters_RefusedWriteThrowsAfterTheFieldChanged)
{
    TCfg cfg(dir.path());
    // A folder where the file should be refuses every write, also the superuser's.
    QDir().mkpath(sFile);
    try {
        cfg.SetRepYMin(33);
        FAIL() << "no EWriteError";
    } catch (const EWriteError& e) {
        EXPECT_EQ(e.Message(), QStringLiteral("Unable to write to ") + sFile);
    }
    EXPECT_EQ(cfg.RepYMin(), 33);
}

// A command-line run overrides settings for itself only.
TEST_F(TCfgTest, SetWriteThroughOff_SettersChangeFieldsButWriteNothing)
{
    PutFile("[report]\r\nperperiod=15\r\n");
    TCfg cfg(dir.path());
    cfg.SetWriteThrough(false);
    cfg.SetRepPerPeriod(5);
    cfg.SetDataPath(QStringLiteral("/elsewhere"));
    cfg.SetMonitorSel(QStringLiteral("M1"), true);
    EXPECT_EQ(cfg.RepPerPeriod(), 5);
    EXPECT_EQ(cfg.DataPath(), QStringLiteral("/elsewhere/"));
    QFile f(sFile);
    ASSERT_TRUE(f.open(QIODevice::ReadOnly));
    EXPECT_EQ(f.readAll(), QByteArray("[report]\r\nperperiod=15\r\n"));
}

// The program must still run where the platform names no shared folder.
TEST_F(TCfgTest, Create_WithoutAppDataFolderKeepsSettingsInMemory)
{
    TCfg cfg{QString()};
    EXPECT_EQ(cfg.FileName(), QString());
    EXPECT_EQ(cfg.DataPath(), QString());
    cfg.SetRepPerPeriod(15);
    EXPECT_EQ(cfg.RepPerPeriod(), 15);
}

// --- the file's encoding and kind ---

// Regression: values were read as Latin-1, so a header written in the Windows code
// page showed control characters for the euro sign and the curly quotes.
TEST_F(TCfgTest, Create_Windows1252FileReadsRightAndStaysWindows1252)
{
    PutFile("[html]\r\nheader=\x84L\xE4rm\x93 \x80 \x96 S\xFC"
            "d\r\n[app]\r\ndatapath=D:\\M\xE4rz\r\n");
    TCfg cfg(dir.path());
    EXPECT_EQ(cfg.HtmlHeader(), QStringLiteral("\u201EL\u00E4rm\u201C \u20AC \u2013 S\u00FCd"));
    cfg.SetRepPerPeriod(15);
    cfg.SetExportDir(QStringLiteral("C:\\Berichte \u00DC"));
    QFile f(sFile);
    ASSERT_TRUE(f.open(QIODevice::ReadOnly));
    EXPECT_EQ(f.readAll(), QByteArray("[html]\r\nheader=\x84L\xE4rm\x93 \x80 \x96 S\xFC"
                                      "d\r\n[app]\r\ndatapath=D:\\M\xE4rz\r\n[report]\r\nperperiod=15\r\n"
                                      "[export]\r\ndir=C:\\Berichte \xDC\r\n"));
}

// Regression: a pipe in place of the settings file held up the start for good; a
// huge file was read whole. Either gives the defaults, and no write replaces it.
TEST_F(TCfgTest, Create_PipeOrHugeSettingsFileGivesDefaults)
{
    TCfg cfgDefaults(dir.path());
    const QStringList slDefaults = Dump(cfgDefaults);
    ASSERT_TRUE(QFile::remove(sFile)); // which the data path's default was written to

    ASSERT_TRUE(MakeFifo(sFile));
    auto cfg = WithinTimeLimit(sFile, [&] { return std::make_unique<TCfg>(dir.path()); });
    // The first write of the default data path is refused, the field kept.
    EXPECT_THROW(WithinTimeLimit(sFile, [&] { cfg->DataPath(); }), EWriteError);
    EXPECT_EQ(Dump(*cfg), slDefaults);
    EXPECT_FALSE(QFileInfo(sFile).isFile());

    ASSERT_TRUE(QFile::remove(sFile));
    ASSERT_TRUE(MakeSparseFile(sFile, qint64(1) << 30));
    cfg = std::make_unique<TCfg>(dir.path());
    EXPECT_THROW(cfg->DataPath(), EWriteError);
    EXPECT_EQ(Dump(*cfg), slDefaults);
    EXPECT_EQ(QFileInfo(sFile).size(), qint64(1) << 30);
}

// --- data folder ---

TEST_F(TCfgTest, DataPath_AppendsTheMissingSeparatorAndStoresIt)
{
    PutFile("[app]\ndatapath=/srv/noise\n");
    TCfg cfg(dir.path());
    EXPECT_EQ(cfg.DataPath(), QStringLiteral("/srv/noise/"));
    EXPECT_EQ(Key("app", "datapath"), QStringLiteral("/srv/noise/"));
}

TEST_F(TCfgTest, DataPath_EmptyResolvesToTheDefaultAndStoresIt)
{
    TCfg cfg(dir.path());
    cfg.SetDataPath(QString());
    EXPECT_EQ(Key("app", "datapath"), QString());
    EXPECT_EQ(cfg.DataPath(), sFolder + QStringLiteral("data/"));
    EXPECT_EQ(Key("app", "datapath"), sFolder + QStringLiteral("data/"));
}

// --- selections ---

TEST_F(TCfgTest, MonitorSel_MembershipIgnoresCaseAndEveryCallRewritesTheKey)
{
    PutFile("[report]\nmonitorsel=A,B\n");
    TCfg cfg(dir.path());
    EXPECT_TRUE(cfg.GetMonitorSel(QStringLiteral("a")));
    EXPECT_FALSE(cfg.GetMonitorSel(QStringLiteral("C")));

    PutFile("[report]\nmonitorsel=changed\n");
    cfg.SetMonitorSel(QStringLiteral("a"), true);
    EXPECT_EQ(Key("report", "monitorsel"), QStringLiteral("A,B"));

    cfg.SetMonitorSel(QStringLiteral("b"), false);
    cfg.SetMonitorSel(QStringLiteral("C"), true);
    cfg.SetMonitorSel(QStringLiteral("X"), false);
    EXPECT_EQ(Key("report", "monitorsel"), QStringLiteral("A,C"));
}

TEST_F(TCfgTest, IncludeParam_TimeColumnOnlyInExactSpelling)
{
    PutFile("[report]\nperparams=\n");
    TCfg cfg(dir.path());
    EXPECT_EQ(cfg.PerParamCount(), 0);
    EXPECT_TRUE(cfg.IncludeParam(QStringLiteral(".Time")));
    EXPECT_FALSE(cfg.IncludeParam(QStringLiteral(".time")));

    cfg.SetPerParam(QStringLiteral(".TIME"), true);
    cfg.SetPerParam(QStringLiteral("laeq"), true);
    EXPECT_TRUE(cfg.IncludeParam(QStringLiteral(".time")));
    EXPECT_TRUE(cfg.IncludeParam(QStringLiteral("LAeq")));
    EXPECT_FALSE(cfg.IncludeParam(QStringLiteral("LAF99")));
}

} // namespace

// --- weather rules ---

TEST_F(TCfgTest, WeatherThresholds_NoNumberOrBelowZeroReadsAndIsStoredAsTheDefault)
{
    PutFile("[weather]\r\nwindabove=gusty\r\nrainabove=-1\r\n");
    TCfg cfg(dir.path());
    EXPECT_EQ(cfg.WeatherWindAbove(), 5);
    EXPECT_EQ(cfg.WeatherRainAbove(), 0);
    cfg.SetWeatherWindAbove(std::nan(""));
    cfg.SetWeatherRainAbove(-0.5);
    EXPECT_EQ(Key("weather", "windabove"), QStringLiteral("5"));
    EXPECT_EQ(Key("weather", "rainabove"), QStringLiteral("0"));
    PutFile("[weather]\r\nwindabove=inf\r\nrainabove= 0.5 \r\n");
    const TCfg cfgAgain(dir.path());
    EXPECT_EQ(cfgAgain.WeatherWindAbove(), 5);
    EXPECT_EQ(cfgAgain.WeatherRainAbove(), 0.5);
}

TEST_F(TCfgTest, WeatherMonitorFiles_IncompletePairsAndRepeatedMonitorsDropOut)
{
    // An item with no file after it, an empty file and a monitor named twice (the
    // first pair wins, letter case aside).
    PutFile("[weather]\r\nmonitorfiles=M1,\"/w/a b.csv\",M2,\"\",m1,/w/c.csv,M3,/w/d.csv,M4\r\n");
    TCfg cfg(dir.path());
    EXPECT_EQ(MonitorFiles(cfg.WeatherMonitorFiles()), QStringLiteral("M1>/w/a b.csv|M3>/w/d.csv"));
    cfg.SetWeatherMonitorFiles({{QStringLiteral("M3"), QStringLiteral("/w/d.csv")},
                                {QString(), QStringLiteral("/w/e.csv")}});
    EXPECT_EQ(Key("weather", "monitorfiles"), QStringLiteral("M3,/w/d.csv"));
}

TEST_F(TCfgTest, HtmlImageFormat_UnknownTextReadsAndIsStoredAsBmp)
{
    PutFile("[html]\r\nimageformat=PNG\r\n");
    EXPECT_EQ(TCfg(dir.path()).HtmlImageFormat(), QStringLiteral("png"));
    PutFile("[html]\r\nimageformat=gif\r\n");
    TCfg cfg(dir.path());
    EXPECT_EQ(cfg.HtmlImageFormat(), QStringLiteral("bmp"));
    cfg.SetHtmlImageFormat(QStringLiteral("tiff"));
    EXPECT_EQ(Key("html", "imageformat"), QStringLiteral("bmp"));
}

// --- limit rules ---

TEST_F(TCfgTest, LimitRules_RoundTripChangesOnlyTheirOwnSection)
{
    PutFile(
        "; supervisor\r\n[sv]\r\nport=7\r\n[rp_limits]\r\nnight = *; LAFmax; Mon-Sun; 23:00-07:00; 80.0\r\n"
        "old=\r\nrule1=*; LAeq; Mon-Fri; 07:00-19:00; 65.0; Day\r\n; kept\r\n[report]\r\nperperiod=5\r\n");
    TCfg cfg(dir.path());
    EXPECT_EQ(cfg.LimitRuleKeys(), (QStringList{QStringLiteral("night"), QStringLiteral("rule1")}));
    ASSERT_EQ(cfg.LimitRules().size(), 2);
    EXPECT_EQ(cfg.LimitRules()[0], QStringLiteral("*; LAFmax; Mon-Sun; 23:00-07:00; 80.0"));

    cfg.SetLimitRules({QStringLiteral("*; LAeq; Mon-Fri; 07:00-19:00; 60.0; Day")});
    QFile f(sFile);
    ASSERT_TRUE(f.open(QIODevice::ReadOnly));
    EXPECT_EQ(f.readAll(),
              QByteArray("; supervisor\r\n[sv]\r\nport=7\r\n[rp_limits]\r\nnight=\r\nold=\r\n"
                         "rule1=*; LAeq; Mon-Fri; 07:00-19:00; 60.0; Day\r\n; kept\r\n[report]\r\n"
                         "perperiod=5\r\n"));
    const TCfg again(dir.path());
    EXPECT_EQ(again.LimitRuleKeys(), QStringList{QStringLiteral("rule1")});
    EXPECT_EQ(again.LimitRules(), cfg.LimitRules());

    // Writing the same rules again leaves the file as it is.
    cfg.SetLimitRules(cfg.LimitRules());
    f.close();
    ASSERT_TRUE(f.open(QIODevice::ReadOnly));
    EXPECT_TRUE(f.readAll().contains("night=\r\nold=\r\nrule1=*; LAeq"));
}
