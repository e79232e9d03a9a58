#pragma once

#include <QString>

// What a grid cell shows for its stored text. Screen, printer and clipboard all go
// through Shown, so a cell reads the same everywhere.
struct TMarkedText
{
    QString sText;      // the visible text; empty draws nothing
    bool bBold = false; // a title, heading, unit or emphasised count
    bool bName = false; // a "~name~" monitor title, which printing draws larger
    bool bDim = false;  // a "~low~" value with too little data behind it, drawn grey
    // A "~x=reasons~" value of a period a consultant excluded: still shown, in italic,
    // with the reasons ("rain, works") as its tooltip or title.
    bool bExcluded = false;
    QString sReasons;
};

// The cell markup: "~tag~text" shows the text after the last "~" in bold ("~name~"
// a monitor title, "~h~" a heading; "~low~" alone shows it grey instead of bold); "^"
// emphasises in bold and is dropped; a leading "." is dropped (a column that is not a measured parameter,
// ".Time"); a leading "-" shows nothing (no value, or a negative value the grids never show).
// "~x=reasons~" marks an excluded value: italic, not bold, the reasons in its tag.
class TMarkup final
{
public:
    TMarkup() = delete;

    // Longest text shown after a "~" tag or a dropped "." or "^".
    static constexpr int MaxMarkedLen = 64;

    // bCaret false is for the lists, whose drawing does not treat "^" as markup.
    static TMarkedText Shown(const QString& sStored, bool bCaret = true);
    // The stored text of value sValue of an excluded period for the reasons sReasons
    // ("rain, works"); sValue as it stands when sReasons is empty.
    static QString Excluded(const QString& sValue, const QString& sReasons);
};
