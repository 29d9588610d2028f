#pragma once

#include <QColor>

// How the fare display looks, as one value: the options and the backlight decide it, the
// display applies it whole (FareDisplay::applyLook). Two looks that compare equal draw the
// same pixels.

// Typeface of the stop name, per cell kind.
enum class BoardTypeface : int {
    Gothic = 0,
    Mincho = 1,
    KanjiGothicRestMincho = 2,
    KanjiMinchoRestGothic = 3,
    FullWidthGothicRestMincho = 4,
};

// The "次は" before the next stop's name.
enum class NextStopPrefix : int {
    None = 0,
    SmallHa = 1, // "は" smaller than "次"
    FullHa = 2,
};

// Typefaces of "次" and "は".
enum class PrefixTypeface : int {
    Gothic = 0,
    HaMincho = 1,
    Mincho = 2,
    HaGothic = 3,
};

// The fare digits and the clock share one set of colours.
struct DigitLook {
    QColor back;
    QColor unlit;
    QColor lit;
    friend bool operator==(const DigitLook&, const DigitLook&) = default;
};

struct StopNameLook {
    QColor back;
    QColor fore;
    BoardTypeface typeface = BoardTypeface::Gothic;
    bool bold = false;
    NextStopPrefix prefix = NextStopPrefix::None;
    QColor prefixColor;
    PrefixTypeface prefixTypeface = PrefixTypeface::Gothic;
    bool prefixBold = false;
    friend bool operator==(const StopNameLook&, const StopNameLook&) = default;
};

struct DisplayLook {
    DigitLook digits;
    StopNameLook stopName;
    bool ticketLabelsShown = true;
    // The ticket numbers' colour for the backlight in use.
    QColor ticketLabelColor;
    friend bool operator==(const DisplayLook&, const DisplayLook&) = default;
};
