#include "datafiles/weatherfile.h"

#include "nonplainfile.h"

#include <QDate>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <cmath>

namespace {

qint64 At(int nDay, int nHour, int nMin, int nSec = 0)
{
    return QDate(2026, 3, nDay).toJulianDay() * 86400 + nHour * 3600 + nMin * 60 + nSec;
}

TWeatherFile Loaded(const QString& sText)
{
    TWeatherFile f;
    EXPECT_TRUE(f.LoadText(sText, QStringLiteral("w.csv"))) << qPrintable(f.Error());
    return f;
}

// Each row as "from-to wind rain" in minutes of 1 March, "-" for no reading.
QStringList Spans(const TWeatherFile& f)
{
    QStringList sl;
    auto value = [](double d) { return std::isnan(d) ? QStringLiteral("-") : QString::number(d); };
    for (const TWeatherRow& row : f.Rows())
        sl.append(QString::number((row.nFrom - At(1, 0, 0)) / 60) + u'-' + QString::number((row.nTo - At(1, 0, 0)) / 60) +
                  u' ' + value(row.dWind) + u' ' + value(row.dRain));
    return sl;
}

} // namespace

// --- columns found by their names ---

TEST(TWeatherFile, Header_NamesInAnyCaseWithUnitsAndOtherColumnsBetween)
{
    const TWeatherFile f = Loaded(QStringLiteral("Station;Date Time [UTC+1];Wind Direction;Wind_Speed [m/s];Rain (mm/h)\r\n"
                                                 "A;2026-03-01 10:00;200;4.5;0\r\n"
                                                 "A;2026-03-01 10:10;210;6;1.25\r\n"));
    EXPECT_TRUE(f.HasWind());
    EXPECT_TRUE(f.HasRain());
    EXPECT_EQ(Spans(f), (QStringList{QStringLiteral("600-610 4.5 0"), QStringLiteral("610-620 6 1.25")}));
}

TEST(TWeatherFile, Header_DateAndTimeApartAreReadTogether)
{
    const TWeatherFile f = Loaded(QStringLiteral("\"Date\",\"Time\",\"WS\"\n2026-03-01,00:30:00,3\n2026-03-01,01:30:00,4\n"));
    EXPECT_TRUE(f.HasWind());
    EXPECT_FALSE(f.HasRain());
    EXPECT_EQ(Spans(f), (QStringList{QStringLiteral("30-90 3 -"), QStringLiteral("90-150 4 -")}));
}

TEST(TWeatherFile, Header_TimestampWithTAndOnlyARainColumn)
{
    const TWeatherFile f = Loaded(QStringLiteral("timestamp,precipitation\n2026-03-01T00:10:30,0.4\n"));
    EXPECT_FALSE(f.HasWind());
    ASSERT_EQ(f.Rows().size(), 1U);
    EXPECT_EQ(f.Rows()[0].nFrom, At(1, 0, 10, 30));
    EXPECT_TRUE(std::isnan(f.Rows()[0].dWind));
}

TEST(TWeatherFile, Header_LinesAboutTheStationBeforeItArePassedOver)
{
    const TWeatherFile f = Loaded(QStringLiteral("Station: Quarry north\nLat 52.1, Lon 4.3\n\n"
                                                 "Date time,Wind\n2026-03-01 10:00,6\n"));
    ASSERT_EQ(f.Rows().size(), 1U);
    EXPECT_EQ(f.Rows()[0].nLine, 5);
    EXPECT_EQ(f.BadRowCount(), 0);
}

TEST(TWeatherFile, Header_WithoutTimeOrWithoutWindAndRainFailsTheFile)
{
    TWeatherFile f;
    EXPECT_FALSE(f.LoadText(QStringLiteral("when,wind\n2026-03-01 10:00,3\n"), QStringLiteral("w.csv")));
    EXPECT_EQ(f.Error(), QStringLiteral("the weather file w.csv has no header line naming a date and time column"));
    EXPECT_TRUE(f.Rows().empty());
    // "wind direction" is not the wind speed.
    EXPECT_FALSE(f.LoadText(QStringLiteral("date time,wind direction,temperature\n"), QStringLiteral("w.csv")));
    EXPECT_EQ(f.Error(), QStringLiteral("the weather file w.csv has no wind speed or rain column"));
    EXPECT_FALSE(f.LoadText(QString(), QStringLiteral("w.csv")));
    // Ten lines without the header: the first one's fault is the file's.
    EXPECT_FALSE(f.LoadText(QStringLiteral("date time,temperature\n") +
                                QStringLiteral("2026-03-01 10:00,6\n").repeated(9) +
                                QStringLiteral("date time,wind\n2026-03-01 10:00,6\n"),
                            QStringLiteral("w.csv")));
    EXPECT_EQ(f.Error(), QStringLiteral("the weather file w.csv has no wind speed or rain column"));
    EXPECT_FALSE(f.LoadText(QStringLiteral("date time,wind\n") + QChar(0), QStringLiteral("w.csv")));
}

// --- how long a reading holds ---

TEST(TWeatherFile, Spans_UntilTheNextReadingTheLastOneForTheMedianStep)
{
    // Steps of 10, 10, 20 and 10 minutes: the median is 10, so the last reading holds
    // 10 minutes. Rows out of order are put in order.
    const TWeatherFile f = Loaded(QStringLiteral("datetime,wind\n2026-03-01 10:10,2\n2026-03-01 10:00,1\n"
                                                 "2026-03-01 10:20,3\n2026-03-01 10:40,4\n2026-03-01 10:50,5\n"));
    EXPECT_EQ(Spans(f), (QStringList{QStringLiteral("600-610 1 -"), QStringLiteral("610-620 2 -"),
                                     QStringLiteral("620-640 3 -"), QStringLiteral("640-650 4 -"),
                                     QStringLiteral("650-660 5 -")}));
}

TEST(TWeatherFile, Spans_AGapOfMoreThanThreeStepsEndsTheReadingBeforeIt)
{
    // Ten-minute steps, then the station was off from 10:30 to 13:00: the reading of
    // 10:20 does not stand for those hours. Exactly three steps (13:00 to 13:30) is no gap.
    const TWeatherFile f = Loaded(QStringLiteral("datetime,wind\n2026-03-01 10:00,1\n2026-03-01 10:10,1\n"
                                                 "2026-03-01 10:20,1\n2026-03-01 13:00,1\n2026-03-01 13:30,1\n"
                                                 "2026-03-01 13:40,1\n"));
    EXPECT_EQ(Spans(f), (QStringList{QStringLiteral("600-610 1 -"), QStringLiteral("610-620 1 -"),
                                     QStringLiteral("620-630 1 -"), QStringLiteral("780-810 1 -"),
                                     QStringLiteral("810-820 1 -"), QStringLiteral("820-830 1 -")}));
}

TEST(TWeatherFile, Spans_TheLastReadingHoldsAtMostAnHour)
{
    // Two-hourly readings; a single reading has no step at all.
    EXPECT_EQ(Spans(Loaded(QStringLiteral("datetime,rain\n2026-03-01 00:00,1\n2026-03-01 02:00,2\n"
                                          "2026-03-01 04:00,3\n"))),
              (QStringList{QStringLiteral("0-120 - 1"), QStringLiteral("120-240 - 2"), QStringLiteral("240-300 - 3")}));
    EXPECT_EQ(Spans(Loaded(QStringLiteral("datetime,rain\n2026-03-01 23:30,1\n"))),
              QStringList{QStringLiteral("1410-1470 - 1")});
}

// --- rows that cannot be read ---

TEST(TWeatherFile, BadRows_AreSkippedCountedAndSummedUpInOneLine)
{
    // Line 3: no time; line 4: "n/a" for the wind; line 6: a time seen on line 2;
    // line 7: a quote that is not closed; line 8: rain below zero. An empty field is
    // no reading and the blank line 9 is no row. Steps of 20 and 30 minutes: the
    // last reading holds the median, 30.
    TWeatherFile f;
    ASSERT_TRUE(f.LoadText(QStringLiteral("datetime,wind,rain\n"
                                          "2026-03-01 10:00,3,0\n"
                                          "01.03.2026 10:10,3,0\n"
                                          "2026-03-01 10:10,n/a,0\n"
                                          "2026-03-01 10:20,,0.5\n"
                                          "2026-03-01 10:00,9,9\n"
                                          "\"2026-03-01 10:30,3,0\n"
                                          "2026-03-01 10:40,3,-0.1\n"
                                          "\n"
                                          "2026-03-01 10:50,4,0\n"),
                           QStringLiteral("w.csv")));
    EXPECT_EQ(Spans(f), (QStringList{QStringLiteral("600-620 3 0"), QStringLiteral("620-650 - 0.5"),
                                     QStringLiteral("650-680 4 0")}));
    EXPECT_EQ(f.BadRowCount(), 5);
    EXPECT_EQ(f.BadRows(),
              (QStringList{QStringLiteral("line 3: the time \"01.03.2026 10:10\" is not yyyy-MM-dd HH:mm[:ss]"),
                           QStringLiteral("line 4: the wind speed \"n/a\" is not a number of 0 or more"),
                           QStringLiteral("line 7: a quote is not closed"),
                           QStringLiteral("line 8: the rain rate \"-0.1\" is not a number of 0 or more"),
                           QStringLiteral("line 6: the time repeats line 2")}));
    EXPECT_EQ(f.BadRowSummary(), QStringLiteral("5 rows of the weather file w.csv cannot be read; the first, line 3: "
                                                "the time \"01.03.2026 10:10\" is not yyyy-MM-dd HH:mm[:ss]"));
}

TEST(TWeatherFile, ParseTime_RefusesImpossibleDatesAndTimes)
{
    EXPECT_EQ(TWeatherFile::ParseTime(u"2026-03-01 23:59:59"), At(1, 23, 59, 59));
    EXPECT_EQ(TWeatherFile::ParseTime(u" 2026-03-02T00:00 "), At(2, 0, 0));
    for (const char16_t* sz : {u"2026-02-29 10:00", u"2026-03-01 24:00", u"2026-03-01 10:60", u"2026-03-01 10:00:60",
                               u"2026-03-01 10:00Z", u"2026-3-01 10:00", u"2026-03-01  10:00", u"+026-03-01 10:00"})
        EXPECT_FALSE(TWeatherFile::ParseTime(sz).has_value()) << QString::fromUtf16(sz).toStdString();
}

// --- the file itself ---

TEST(TWeatherFile, Load_MissingFileOrPipeIsAnErrorAndNeverHangs)
{
    QTemporaryDir dir;
    const QString sMissing = dir.path() + QStringLiteral("/none.csv");
    TWeatherFile f;
    EXPECT_FALSE(f.Load(sMissing));
    EXPECT_EQ(f.Error(), QStringLiteral("the weather file ") + sMissing + QStringLiteral(" is missing"));

    const QString sFifo = dir.path() + QStringLiteral("/fifo.csv");
    ASSERT_TRUE(MakeFifo(sFifo));
    EXPECT_FALSE(WithinTimeLimit(sFifo, [&] { return f.Load(sFifo); }));
    EXPECT_EQ(f.Error(), QStringLiteral("the weather file ") + sFifo + QStringLiteral(" is not a plain file"));

    const QString sHuge = dir.path() + QStringLiteral("/huge.csv");
    ASSERT_TRUE(MakeSparseFile(sHuge, TWeatherFile::nMaxFileBytes + 1));
    EXPECT_FALSE(f.Load(sHuge));
    EXPECT_TRUE(f.Error().endsWith(QStringLiteral(" is larger than 64 MB")));
}
