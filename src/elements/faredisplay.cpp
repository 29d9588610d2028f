#include "elements/faredisplay.h"

#include "elements/digitelement.h"
#include "elements/nextstopnameboard.h"

#include <QLabel>
#include <QTimer>

void FareDisplay::showFare(int i, const ElementValue& value)
{
    if (DigitElement* element = fareElement(i))
        element->setValue(value);
}

void FareDisplay::blankFares()
{
    for (int i = 1; i <= FareCount; ++i) {
        if (DigitElement* element = fareElement(i))
            element->resetDigits(false);
    }
}

void FareDisplay::lightAllFareSegments()
{
    for (int i = 1; i <= FareCount; ++i) {
        if (DigitElement* element = fareElement(i))
            element->resetDigits(true);
    }
}

QString FareDisplay::shownFare(int i)
{
    const DigitElement* element = fareElement(i);
    return element ? element->displayedText().trimmed() : QString();
}

QString FareDisplay::shownStopName()
{
    const NextStopNameBoard* board = stopNameBoard();
    return board ? board->stopName() : QString();
}

FareDigitRules FareDisplay::fareRules(int i)
{
    const DigitElement* element = fareElement(i);
    if (!element)
        return {};
    return {element->shift(), element->zeroMode(), element->fillZero()};
}

void FareDisplay::setFareRules(int i, const FareDigitRules& rules)
{
    DigitElement* element = fareElement(i);
    if (!element)
        return;
    element->setZeroMode(rules.zeroMode);
    element->setShift(rules.shift);
    element->setFillZero(rules.fillZero);
}

void FareDisplay::setStopName(const QString& name)
{
    if (NextStopNameBoard* board = stopNameBoard())
        board->setStopName(name);
}

void FareDisplay::setStopNameWithoutPrefix(const QString& name)
{
    NextStopNameBoard* board = stopNameBoard();
    if (!board)
        return;
    const std::int16_t kept = board->prefixMode();
    board->setPrefixMode(0);
    board->setStopName(name);
    board->setPrefixMode(kept);
}

NextStopPrefix FareDisplay::nextStopPrefix()
{
    const NextStopNameBoard* board = stopNameBoard();
    return board ? static_cast<NextStopPrefix>(board->prefixMode()) : NextStopPrefix::None;
}

void FareDisplay::setNextStopPrefix(NextStopPrefix prefix)
{
    if (NextStopNameBoard* board = stopNameBoard())
        board->setPrefixMode(static_cast<std::int16_t>(prefix));
}

void FareDisplay::setScrolling(std::int16_t speed, std::int32_t startWaitMs)
{
    NextStopNameBoard* board = stopNameBoard();
    if (!board)
        return;
    board->setSpeed(speed);
    board->setScrollStartWait(startWaitMs);
}

void FareDisplay::stopClock()
{
    if (QTimer* timer = clockTimer())
        timer->stop();
    for (int i = 0; i <= 1; ++i) {
        if (DigitElement* clock = clockElement(i))
            clock->setValue(ElementValue(QString()));
    }
}

void FareDisplay::resumeClock()
{
    DigitElement* hours = clockElement(0);
    QTimer* timer = clockTimer();
    if (hours && timer && hours->isVisibleTo(window()))
        timer->start();
}

void FareDisplay::colorDigits(DigitElement* digit, const DigitLook& colors)
{
    if (!digit)
        return;
    digit->setBackColor(colors.back);
    digit->setUnlitColor(colors.unlit);
    digit->setLitColor(colors.lit);
}

void FareDisplay::applyLook(const DisplayLook& look)
{
    for (int i = 1; i <= FareCount; ++i) {
        if (QLabel* label = ticketLabel(i))
            label->setVisible(look.ticketLabelsShown);
    }
    setTicketLabelColor(look.ticketLabelColor);
    for (int i = 1; i <= FareCount; ++i)
        colorDigits(fareElement(i), look.digits);
    colorDigits(clockElement(0), look.digits);
    colorDigits(clockElement(1), look.digits);

    NextStopNameBoard* board = stopNameBoard();
    if (!board)
        return;
    const StopNameLook& s = look.stopName;
    board->setBackColor(s.back);
    board->setForeColor(s.fore);
    board->setFontMode(static_cast<std::int16_t>(s.typeface));
    board->setFontBold(s.bold);
    board->setPrefixMode(static_cast<std::int16_t>(s.prefix));
    board->setPrefixColor(s.prefixColor);
    board->setPrefixFontMode(static_cast<std::int16_t>(s.prefixTypeface));
    board->setPrefixBold(s.prefixBold);
}

void FareDisplay::setTicketLabelColor(const QColor& color)
{
    for (int i = 1; i <= FareCount; ++i) {
        QLabel* label = ticketLabel(i);
        if (!label)
            continue;
        QPalette colors = label->palette();
        colors.setColor(QPalette::WindowText, color);
        label->setPalette(colors);
    }
}

std::optional<int>
FareDisplay::setTicketLabels(const std::array<std::optional<QString>, FareCount>& captions,
                             const QString& firstLabelFamily)
{
    QLabel* first = ticketLabel(1);
    if (!first)
        return 1;
    // Only the typeface changes; size and weight stay as the window designed them.
    QFont font = first->font();
    font.setFamily(firstLabelFamily);
    first->setFont(font);
    for (int i = 1; i <= FareCount; ++i) {
        if (!captions[i - 1])
            continue;
        QLabel* label = ticketLabel(i);
        if (!label)
            return i;
        label->setText(*captions[i - 1]);
    }
    return std::nullopt;
}

void FareDisplay::useOffPanelForEveryState()
{
    const QPixmap off = backlightPicture(0);
    setCurrentPicture(off);
    setBacklightPicture(1, off);
    setBacklightPicture(2, off);
}
