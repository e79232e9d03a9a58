#pragma once

#include <QString>
#include <QStringList>
#include <QStringView>

#include <optional>
#include <vector>

// One reading of a weather station: wind speed in m/s and rain rate in mm/h, each
// NaN when the file has no such column or the field is empty. The reading holds from
// nFrom up to nTo, both wall-clock times as a date's Julian day times 86400 plus the
// seconds after its midnight (the scale of the exclusions, TExclusion::Wall).
struct TWeatherRow
{
    qint64 nFrom = 0;
    qint64 nTo = 0;
    double dWind = 0;
    double dRain = 0;
    int nLine = 0; // in the file, its first line being 1
};

// A weather file as a station or a weather service exports it: CSV with a header line
// naming its columns, one reading per line. The columns are found by their names
// (letter case, units in brackets and "_" or "-" between words aside): the date and
// time ("datetime", "date time", "timestamp", or "date" and "time" apart, or one of
// them alone holding both), the wind speed ("wind", "wind speed", "ws", ...) and the
// rain rate ("rain", "rain rate", "precipitation", ...); other columns are ignored.
// Up to nMaxPreamble - 1 lines before the header (about the station, say) are passed
// over. Fields are separated by ";" when the header holds one, else by ","; numbers always
// have a "."; times are "yyyy-MM-dd HH:mm[:ss]", or with a "T" between date and time.
//
// A reading holds until the next one. Over a gap of more than three usual steps (the
// station was off) and after the last reading it holds for one usual step, the median
// step of the file but at most an hour, so that an old reading does not stand for the
// days nobody measured. Rows that cannot be read are skipped and counted; the file
// as a whole fails only when it cannot be read or its header names no date and time
// or neither wind nor rain.
class TWeatherFile final
{
public:
    // Ten years of ten-minute readings take some 30 MB.
    static constexpr qint64 nMaxFileBytes = 64 * 1024 * 1024;
    // The longest a reading is taken to hold after the last one, or across a gap.
    static constexpr qint64 nMaxStep = 3600;
    // How many lines about the station may come before the header.
    static constexpr int nMaxPreamble = 10;

    // Reads sFile; false with Error() when it is missing, not a plain file, larger
    // than nMaxFileBytes, not text, or its header lacks the columns above.
    bool Load(const QString& sFile);
    // The same from text; sFile only names the file in the messages.
    bool LoadText(const QString& sText, const QString& sFile);

    // The readings in time order.
    const std::vector<TWeatherRow>& Rows() const { return aRows; }
    bool HasWind() const { return bWind; }
    bool HasRain() const { return bRain; }
    const QString& Error() const { return sError; }
    // How many rows could not be read, and the first nMaxBadRows of them as
    // "line N: why" (a file of nothing but bad lines is not kept line by line).
    int BadRowCount() const { return nBadRows; }
    const QStringList& BadRows() const { return slBadRows; }
    static constexpr int nMaxBadRows = 100;
    // One line on the rows that could not be read; empty when all could.
    QString BadRowSummary() const;

    // "yyyy-MM-dd HH:mm", "yyyy-MM-dd HH:mm:ss", either with "T" for the blank: the
    // wall-clock time on the scale of TWeatherRow, or nothing.
    static std::optional<qint64> ParseTime(QStringView s);
    // The fields of one line split at chSep, blanks around them dropped; a field that
    // begins with a double quote runs to the closing one, doubled quotes inside it
    // standing for one. False when a quote is not closed.
    static bool SplitLine(QStringView sLine, QChar chSep, QStringList& slFields);

private:
    void Clear(const QString& sFile);
    bool Fail(const QString& sWhy);
    void BadRow(int nLine, const QString& sWhy);
    void SetSpans();

    QString sFileName;
    std::vector<TWeatherRow> aRows;
    bool bWind = false;
    bool bRain = false;
    QString sError;
    QStringList slBadRows;
    int nBadRows = 0;
};
