#pragma once

#include <QString>
#include <QStringList>
#include <QStringView>

#include <atomic>

// The two ways a day-file line is split into fields.
//
// Common rule (headers, and the records of periodic, alarm and calibration files):
// blanks and control characters (codes 1..32) at the start are skipped; a field that
// begins with a double quote runs to the next lone quote (a doubled quote stands for
// one); any other field runs to the next comma or blank/control character. After a
// field, blanks are skipped; a comma is consumed with the blanks after it and a
// comma at the very end adds a last, empty field. So "a b,c" gives a, b and c.
//
// Strict rule (profile records): fields are separated by commas only; blanks are
// part of a field; a field that begins with a quote is quoted as above; a final
// comma adds an empty field. Anything between a closing quote and the next comma
// is dropped.
//
// An empty line has no fields under either rule.
class TCsvSplit final
{
public:
    TCsvSplit() = delete;

    static QStringList Split(QStringView sLine, QChar chSep = u',');
    static QStringList SplitStrict(QStringView sLine);

    // Field iFld alone (empty when the line has fewer fields), without building the
    // whole list; the same result as Split(sLine, chSep).value(iFld).
    static QString Field(QStringView sLine, int iFld, QChar chSep = u',');
    static QString FieldStrict(QStringView sLine, int iFld);

    // Where one field lies in its line. The raw text of a quoted field is what lies
    // between its quotes and may still hold doubled quotes; Value() gives the text.
    struct TFieldSpan
    {
        QStringView sRaw;
        bool bQuoted = false;
        bool bFound = false;

        // True when sRaw is the field's text as it stands (nothing to unescape).
        bool IsPlain() const { return !bQuoted || !sRaw.contains(u'"'); }
        QString Value() const;
    };

    // Walks the fields of one line in order, without allocating.
    class TScanner
    {
    public:
        TScanner(QStringView sLine, bool bStrict, QChar chSep = u',');
        // The next field; false when the line has no more.
        bool Next(TFieldSpan& fld);

    private:
        QStringView sLine;
        qsizetype nPos = 0;
        char16_t chSep;
        bool bStrict;
        bool bPendingEmpty = false; // the line ended right after a separator
    };

    static TFieldSpan Locate(QStringView sLine, int iFld, QChar chSep = u',');
    static TFieldSpan LocateStrict(QStringView sLine, int iFld);

    // Fields 0 to nMax - 1 of a comma-separated line in one walk, into aFld (the same
    // spans Locate or LocateStrict gives one by one); returns how many the line has,
    // at most nMax. The slots after those are left as they were.
    static int LocateAll(QStringView sLine, bool bStrict, TFieldSpan* aFld, int nMax);

    // Whether LocateAll, and the day files' search for line ends, look at eight
    // characters in one step where the processor can (the default). For the tests and
    // the fuzz target, which switch it off to hold both ways to the same result.
    static void SetSimd(bool bOn) { bSimdOn.store(bOn, std::memory_order_relaxed); }
    static bool Simd() { return bSimdOn.load(std::memory_order_relaxed); }

private:
    static inline std::atomic<bool> bSimdOn{true};
};
