#pragma once

#include "elements/displaylook.h"
#include "elements/elementvalue.h"

#include <QPixmap>
#include <QString>
#include <array>
#include <cstdint>
#include <optional>

class DigitElement;
class NextStopNameBoard;
class QLabel;
class QTimer;
class QWidget;

// How a fare element turns a value into digits; the same for all twelve.
struct FareDigitRules {
    int shift = 0;
    int zeroMode = 0;
    int fillZero = 0;
    friend bool operator==(const FareDigitRules&, const FareDigitRules&) = default;
};

// The fare display as the control panel, the options and the settings file use it: what it
// shows and how it looks. The window (and the tests' stand-ins) give it their elements
// through the protected accessors; nobody else reaches them.
class FareDisplay
{
public:
    static constexpr int FareCount = 12;

    virtual ~FareDisplay() = default;

    // ---- Fares, elements 1..12; other numbers are ignored ----
    void showFare(int i, const ElementValue& value);
    // Every fare element blank, or with every segment lit (the lamp test).
    void blankFares();
    void lightAllFareSegments();
    FareDigitRules fareRules(int i);
    // What element i shows now, as its digits read (blank positions left out): "" when it
    // is blank or out of range, all 8s during the lamp test.
    QString shownFare(int i);
    // Gives element i its rules; the value shown is left to the caller.
    void setFareRules(int i, const FareDigitRules& rules);

    // ---- Stop-name board ----
    // Shows the name led by the current prefix; an empty name blanks the board.
    void setStopName(const QString& name);
    // Shows the name without a prefix and keeps the prefix for the next name.
    void setStopNameWithoutPrefix(const QString& name);
    // The name on the board now, without "次は"; "" while it is blank.
    QString shownStopName();
    NextStopPrefix nextStopPrefix();
    // Takes effect at the next name.
    void setNextStopPrefix(NextStopPrefix prefix);
    void setScrolling(std::int16_t speed, std::int32_t startWaitMs);

    // ---- Clock ----
    // Stops the clock and blanks it.
    void stopClock();
    // Runs the clock again when it is shown at all.
    void resumeClock();

    // ---- Look and backlight ----
    // Colours, typefaces and the ticket labels' visibility and colour, all at once.
    void applyLook(const DisplayLook& look);
    void setTicketLabelColor(const QColor& color);
    // The captions of the ticket labels (an empty optional leaves that label) and the
    // typeface family of label 1. Returns the first label the display lacks, if any; the
    // labels before it are written.
    std::optional<int>
    setTicketLabels(const std::array<std::optional<QString>, FareCount>& captions,
                    const QString& firstLabelFamily);
    // The panel picture drawn for a backlight state (0 OFF, 1 ON1, 2 ON2) when the user gives
    // none, and the picture under the elements now.
    QPixmap builtInPanel(int state) const { return backlightPicture(state); }
    void showPanelPicture(const QPixmap& picture) { setCurrentPicture(picture); }
    // Makes the OFF panel the picture of every state and shows it.
    void useOffPanelForEveryState();
    QPixmap shownPanelPicture() const { return currentPicture(); }

    // The window itself (caption, enabled state, position).
    virtual QWidget* window() = 0;

protected:
    virtual DigitElement* fareElement(int i) = 0;   // fare elements, 1..12
    virtual QLabel* ticketLabel(int i) = 0;         // ticket-number labels, 1..12
    virtual DigitElement* clockElement(int i) = 0;  // clock elements, 0 (hours) and 1 (minutes)
    virtual NextStopNameBoard* stopNameBoard() = 0; // the stop-name board
    virtual QTimer* clockTimer() = 0;               // the clock timer

    // Backlight picture holders 0..2 and the picture the window paints under its elements.
    virtual QPixmap backlightPicture(int i) const = 0;
    virtual void setBacklightPicture(int i, const QPixmap& picture) = 0;
    virtual QPixmap currentPicture() const = 0;
    virtual void setCurrentPicture(const QPixmap& picture) = 0;

private:
    void colorDigits(DigitElement* digit, const DigitLook& colors);
};
