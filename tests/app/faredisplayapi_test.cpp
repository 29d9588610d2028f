// The fare display's behaviour as the other windows use it: the look applied whole, the
// stop name with and without its prefix, the clock, the fares' rules, and the look computed
// from the options.
#include "app/faredisplaywindow.h"

#include "elements/digitelement.h"
#include "elements/nextstopnameboard.h"
#include "options/displaylookoptions.h"
#include "platform/colorconversion.h"
#include "support/standindisplay.h"

#include <QLabel>
#include <QTimer>
#include <gtest/gtest.h>

namespace
{

// Every case makes the one application before its windows.
class FareDisplayLook : public ::testing::Test, testsupport::WithApplication
{
};
using FareDisplayStopName = FareDisplayLook;
using FareDisplayClock = FareDisplayLook;
using FareDisplayFares = FareDisplayLook;
using FareDisplayPanel = FareDisplayLook;

DisplayLook distinctLook()
{
    DisplayLook look;
    look.digits = {QColor(10, 20, 30), QColor(40, 50, 60), QColor(70, 80, 90)};
    look.stopName.back = QColor(1, 2, 3);
    look.stopName.fore = QColor(4, 5, 6);
    look.stopName.typeface = BoardTypeface::KanjiMinchoRestGothic;
    look.stopName.bold = true;
    look.stopName.prefix = NextStopPrefix::FullHa;
    look.stopName.prefixColor = QColor(7, 8, 9);
    look.stopName.prefixTypeface = PrefixTypeface::HaGothic;
    look.stopName.prefixBold = true;
    look.ticketLabelsShown = false;
    look.ticketLabelColor = QColor(200, 100, 50);
    return look;
}

void expectDigitColors(DigitElement* digit, const DigitLook& colors)
{
    EXPECT_EQ(digit->backColor(), colors.back);
    EXPECT_EQ(digit->unlitColor(), colors.unlit);
    EXPECT_EQ(digit->litColor(), colors.lit);
}

TEST_F(FareDisplayLook, ReachesEveryFareElementTheClockTheBoardAndTheLabels)
{
    FareDisplayWindow window;
    const DisplayLook look = distinctLook();
    window.applyLook(look);

    for (int i = 1; i <= 12; ++i) {
        SCOPED_TRACE(i);
        expectDigitColors(window.fareElement(i), look.digits);
        EXPECT_TRUE(window.ticketLabel(i)->isHidden());
        EXPECT_EQ(window.ticketLabel(i)->palette().color(QPalette::WindowText),
                  look.ticketLabelColor);
    }
    expectDigitColors(window.clockElement(0), look.digits);
    expectDigitColors(window.clockElement(1), look.digits);

    NextStopNameBoard* board = window.stopNameBoard();
    EXPECT_EQ(board->backColor(), QColor(1, 2, 3));
    EXPECT_EQ(board->foreColor(), QColor(4, 5, 6));
    EXPECT_EQ(board->fontMode(), 3);
    EXPECT_TRUE(board->fontBold());
    EXPECT_EQ(board->prefixMode(), 2);
    EXPECT_EQ(board->prefixColor(), QColor(7, 8, 9));
    EXPECT_EQ(board->prefixFontMode(), 3);
    EXPECT_TRUE(board->prefixBold());
}

TEST_F(FareDisplayLook, TheSameLookDrawsTheSamePixels)
{
    FareDisplayWindow first;
    FareDisplayWindow second;
    DisplayLook look = distinctLook();
    look.ticketLabelsShown = true;
    first.applyLook(look);
    // A different look in between leaves nothing behind.
    second.applyLook(DisplayLook{});
    second.applyLook(look);
    for (FareDisplayWindow* window : {&first, &second}) {
        window->useOffPanelForEveryState();
        window->showFare(3, ElementValue(250));
    }
    EXPECT_EQ(first.grab().toImage(), second.grab().toImage());
}

TEST_F(FareDisplayLook, ComesFromTheOptionsAndTheBacklight)
{
    core::Options options;
    options.setDigitBackColor(platform::RGB(1, 1, 1));
    options.setDigitUnlitColor(platform::RGB(2, 2, 2));
    options.setDigitLitColor(platform::RGB(3, 3, 3));
    options.setStopNameBackColor(platform::RGB(4, 4, 4));
    options.setStopNameForeColor(platform::RGB(5, 5, 5));
    options.setStopNameFontMode(4);
    options.setStopNameBold(2); // grey: not bold
    options.setNextStopMode(1);
    options.setNextStopColor(platform::RGB(6, 6, 6));
    options.setNextStopFontMode(2);
    options.setNextStopBold(1);
    options.setAutoTicketNumbers(1);
    options.setTicketColorOff(platform::RGB(10, 0, 0));
    options.setTicketColorOn1(platform::RGB(0, 10, 0));
    options.setTicketColorOn2(platform::RGB(0, 0, 10));

    const DisplayLook look = displayLookFrom(options, 1);
    EXPECT_EQ(look.digits.back, QColor(1, 1, 1));
    EXPECT_EQ(look.digits.unlit, QColor(2, 2, 2));
    EXPECT_EQ(look.digits.lit, QColor(3, 3, 3));
    EXPECT_EQ(look.stopName.back, QColor(4, 4, 4));
    EXPECT_EQ(look.stopName.fore, QColor(5, 5, 5));
    EXPECT_EQ(look.stopName.typeface, BoardTypeface::FullWidthGothicRestMincho);
    EXPECT_FALSE(look.stopName.bold);
    EXPECT_EQ(look.stopName.prefix, NextStopPrefix::SmallHa);
    EXPECT_EQ(look.stopName.prefixColor, QColor(6, 6, 6));
    EXPECT_EQ(look.stopName.prefixTypeface, PrefixTypeface::Mincho);
    EXPECT_TRUE(look.stopName.prefixBold);
    EXPECT_TRUE(look.ticketLabelsShown);
    EXPECT_EQ(look.ticketLabelColor, QColor(0, 10, 0));

    EXPECT_EQ(displayLookFrom(options, 0).ticketLabelColor, QColor(10, 0, 0));
    EXPECT_EQ(displayLookFrom(options, 2).ticketLabelColor, QColor(0, 0, 10));
    // No backlight state at all draws the numbers black.
    EXPECT_EQ(displayLookFrom(options, 3).ticketLabelColor, QColor(0, 0, 0));
    // Only the backlight's colour differs between the states.
    DisplayLook off = displayLookFrom(options, 0);
    off.ticketLabelColor = look.ticketLabelColor;
    EXPECT_EQ(off, look);

    options.setAutoTicketNumbers(0);
    EXPECT_FALSE(displayLookFrom(options, 1).ticketLabelsShown);
}

TEST_F(FareDisplayStopName, WithoutPrefixKeepsThePrefixForTheNextName)
{
    testsupport::StandInDisplay display;
    FareDisplay& shown = display;
    shown.setNextStopPrefix(NextStopPrefix::FullHa);
    shown.setStopNameWithoutPrefix(QStringLiteral("系統設定"));
    shown.setStopName(QStringLiteral("市役所前"));

    ASSERT_EQ(display.board()->shown.size(), 2u);
    EXPECT_EQ(display.board()->shown[0].name, QStringLiteral("系統設定"));
    EXPECT_EQ(display.board()->shown[0].prefixMode, 0);
    EXPECT_EQ(display.board()->shown[1].name, QStringLiteral("市役所前"));
    EXPECT_EQ(display.board()->shown[1].prefixMode, 2);
    EXPECT_EQ(shown.nextStopPrefix(), NextStopPrefix::FullHa);
}

TEST_F(FareDisplayStopName, ScrollingTakesBothValues)
{
    testsupport::StandInDisplay display;
    static_cast<FareDisplay&>(display).setScrolling(7, 1500);
    EXPECT_EQ(display.board()->speed(), 7);
    EXPECT_EQ(display.board()->scrollStartWait(), 1500);
}

TEST_F(FareDisplayClock, StopsBlankAndResumesOnlyWhenShown)
{
    FareDisplayWindow window;
    window.showTimeOfDay(QTime(12, 34));
    window.clockTimer()->start();
    window.stopClock();
    EXPECT_FALSE(window.clockTimer()->isActive());
    EXPECT_EQ(window.clockElement(0)->value().toString(), QString());
    EXPECT_EQ(window.clockElement(1)->value().toString(), QString());

    // The clock is hidden on the panel as designed: nothing runs it.
    window.resumeClock();
    EXPECT_FALSE(window.clockTimer()->isActive());

    window.clockElement(0)->setVisible(true);
    window.resumeClock();
    EXPECT_TRUE(window.clockTimer()->isActive());
    window.clockTimer()->stop();
}

TEST_F(FareDisplayFares, RulesRoundTripAndNumbersOutsideTheRowAreIgnored)
{
    FareDisplayWindow window;
    const FareDigitRules rules{1, 3, 2};
    window.setFareRules(5, rules);
    EXPECT_EQ(window.fareRules(5), rules);
    EXPECT_EQ(window.fareElement(5)->zeroMode(), 3);
    EXPECT_EQ(window.fareRules(6), FareDigitRules{});

    window.showFare(12, ElementValue(480));
    EXPECT_EQ(window.fareElement(12)->value().toString(), QStringLiteral("480"));
    window.showFare(0, ElementValue(1));
    window.showFare(13, ElementValue(1));
    EXPECT_EQ(window.fareRules(13), FareDigitRules{});

    window.lightAllFareSegments();
    EXPECT_EQ(window.fareElement(1)->value().toString(), QStringLiteral("888"));
    window.blankFares();
    EXPECT_EQ(window.fareElement(1)->value().toString(), QString());
}

TEST_F(FareDisplayPanel, TheOffPanelServesEveryStateAndIsShown)
{
    FareDisplayWindow window;
    const QImage off = window.builtInPanel(0).toImage();
    window.showPanelPicture(QPixmap());
    window.useOffPanelForEveryState();
    EXPECT_EQ(window.shownPanelPicture().toImage(), off);
    EXPECT_EQ(window.builtInPanel(1).toImage(), off);
    EXPECT_EQ(window.builtInPanel(2).toImage(), off);
    EXPECT_TRUE(window.builtInPanel(3).isNull());
}

} // namespace
