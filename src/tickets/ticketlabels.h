#pragma once

#include "platform/msgbox.h"

#include <QString>
#include <array>
#include <optional>

class FareDisplay;

// What one numbering run writes onto the twelve ticket-number labels.
struct TicketLabelNumbering {
    // Caption for label i at index i - 1; an empty optional leaves that label as it is.
    std::array<std::optional<QString>, 12> captions;
    // Typeface name given to label 1 ("M_NumC1" or "ＭＳ Ｐゴシック").
    QString firstLabelFace;
};

// The captions and label-1 typeface for numbering mode 0..11 (others write fewer labels);
// a non-zero zeroFill writes numbers with at least two digits.
TicketLabelNumbering ticketLabelNumbering(int mode, int zeroFill);

// The prefix shown on label 1 by modes 2..11 ("な し", "無 券", ...); empty otherwise.
QString ticketLabelPrefix(int mode);

// Writes the numbering onto the display's ticket labels and sets label 1's font name.
// A label the display lacks is reported in a message box of boxes (the labels before it are
// written); visibility of the labels is left alone.
void numberTicketLabels(FareDisplay& display, int mode, int zeroFill,
                        platform::MessageBoxes& boxes);

// The text of the numbering routine's error message.
QString numberingErrorText(int number, const QString& description);
