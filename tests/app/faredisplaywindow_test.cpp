#include "app/faredisplaywindow.h"

#include "app/startup.h"
#include "dialogs/digitsettingsdialog.h"
#include "elements/digitelement.h"
#include "elements/nextstopnameboard.h"
#include "platform/fontmap.h"
#include "platform/msgbox.h"
#include "tickets/ticketlabels.h"

#include <QCloseEvent>
#include <QKeyEvent>
#include <QLabel>
#include <QTest>
#include <QTimer>
#include <QtTest/qtestspontaneevent.h>
#include <gtest/gtest.h>
#include <vector>

namespace
{

// Counts the moves the window hands to the window system instead of starting them.
class RecordingFareDisplayWindow : public FareDisplayWindow
{
public:
    int moves = 0;
    bool systemMoves = true;

protected:
    bool beginSystemMove() override
    {
        ++moves;
        return systemMoves;
    }
};

void sendMouse(QWidget* w, QEvent::Type type, Qt::MouseButton button, Qt::MouseButtons buttons,
               const QPoint& local)
{
    QMouseEvent event(type, QPointF(local), QPointF(w->mapToGlobal(local)), button, buttons, {});
    QApplication::sendEvent(w, &event);
}

// Answers the digit settings dialog and notes whether the control panel was enabled meanwhile.
class ScriptedDigitSettingsDialog
{
public:
    ScriptedDigitSettingsDialog(FareDisplayWindow& window, int result, qint16 zeroMode,
                                qint16 shift, qint16 fillZero, QWidget* panel)
        : window_(window)
    {
        window_.setDigitSettingsDialog([=, this](int, qint16& z, qint16& s, qint16& f) {
            ++calls;
            panelEnabledDuringDialog = panel->isEnabled();
            if (result == 1) {
                z = zeroMode;
                s = shift;
                f = fillZero;
            }
            return result;
        });
    }
    ~ScriptedDigitSettingsDialog() { window_.setDigitSettingsDialog(nullptr); }

    int calls = 0;
    bool panelEnabledDuringDialog = true;

private:
    FareDisplayWindow& window_;
};

// The control panel as the display window sees it: it notes the keys and close requests it
// gets, and refuses to close (the operator answered No).
class PanelStandIn : public QWidget
{
public:
    std::vector<int> keys;
    int closeRequests = 0;

protected:
    void keyPressEvent(QKeyEvent* event) override { keys.push_back(event->key()); }
    void closeEvent(QCloseEvent* event) override
    {
        ++closeRequests;
        event->ignore();
    }
};

// A close request as the desktop sends it (Alt+F4, the task bar's close).
class DesktopCloseRequest : public QCloseEvent
{
public:
    DesktopCloseRequest() { QSpontaneKeyEvent::setSpontaneous(this); }
};

class FareDisplayWindowTest : public ::testing::Test
{
protected:
    // Fares on every element, with varied styles so the copy has something to change.
    void fillFares()
    {
        for (int i = 1; i <= 12; ++i) {
            display.fareElement(i)->setValue(ElementValue(100 + 10 * i));
            display.fareElement(i)->setShift(i % 2);
            display.fareElement(i)->setZeroMode(i % 4);
        }
    }

    void doubleClick(int i) { QTest::mouseDClick(display.fareElement(i), Qt::LeftButton); }

    RecordingFareDisplayWindow display;
    QWidget panel;
};

} // namespace

TEST_F(FareDisplayWindowTest, WindowIsAFramelessPanelOfTheDesignedSize)
{
    EXPECT_EQ(display.size(), QSize(498, 248));
    EXPECT_TRUE(display.windowFlags() & Qt::FramelessWindowHint);
    EXPECT_TRUE(display.isWindow());
    EXPECT_EQ(display.windowTitle(), QStringLiteral("ファレット"));
    EXPECT_EQ(display.backlightPicture(0).size(), QSize(498, 248));
    EXPECT_TRUE(display.backlightPicture(1).isNull());
    EXPECT_TRUE(display.backlightPicture(3).isNull());
}

TEST_F(FareDisplayWindowTest, ElementsSitAtTheirPixelPositions)
{
    const int lefts[6] = {83, 142, 201, 260, 319, 378};
    for (int i = 1; i <= 12; ++i) {
        SCOPED_TRACE(i);
        const int column = (i - 1) % 6;
        const bool firstRow = i <= 6;
        EXPECT_EQ(display.fareElement(i)->geometry(),
                  QRect(lefts[column], firstRow ? 140 : 192, 57, 29));
        EXPECT_EQ(display.fareElement(i)->digitCount(), 3);
        EXPECT_EQ(display.fareElement(i)->sizeClass(), 2);
        EXPECT_EQ(display.ticketLabel(i)->geometry(),
                  QRect(85 + 59 * column, firstRow ? 122 : 174, 52, 16));
        // Each label sits 270 twips (18 pixels) above its element.
        EXPECT_EQ(display.fareElement(i)->y() - display.ticketLabel(i)->y(), 18);
    }
    EXPECT_EQ(display.stopNameBoard()->geometry(), QRect(44, 36, 432, 56));
    EXPECT_EQ(display.stopNameBoard()->foreColor(), QColor(255, 192, 128));
    EXPECT_EQ(display.clockElement(0)->geometry(), QRect(363, 2, 26, 20));
    EXPECT_EQ(display.clockElement(1)->geometry(), QRect(390, 2, 26, 20));
    EXPECT_EQ(display.fareElement(0), nullptr);
    EXPECT_EQ(display.fareElement(13), nullptr);
    EXPECT_EQ(display.ticketLabel(13), nullptr);
    EXPECT_EQ(display.clockElement(2), nullptr);
}

TEST_F(FareDisplayWindowTest, LabelsAreWhiteBoldCentredAndTransparent)
{
    for (int i = 1; i <= 12; ++i) {
        const QLabel* label = display.ticketLabel(i);
        EXPECT_EQ(label->palette().color(QPalette::WindowText), QColor(Qt::white));
        EXPECT_EQ(label->alignment(), Qt::AlignCenter);
        EXPECT_FALSE(label->autoFillBackground());
        EXPECT_TRUE(label->font().bold());
        EXPECT_EQ(label->font().pointSize(), 12);
        EXPECT_EQ(label->font().family(), platform::mappedFamily(platform::NumC1Face));
    }
}

TEST_F(FareDisplayWindowTest, ClockStartsHiddenAndStoppedAndTakesNumbers)
{
    EXPECT_FALSE(display.clockTimer()->isActive());
    EXPECT_EQ(display.clockTimer()->interval(), 1000);
    EXPECT_TRUE(display.clockElement(0)->isHidden());
    EXPECT_TRUE(display.clockElement(1)->isHidden());
    EXPECT_EQ(display.clockElement(0)->digitCount(), 2);

    display.showTimeOfDay(QTime(9, 5, 0));
    EXPECT_EQ(display.clockElement(0)->value(), ElementValue(9));
    EXPECT_EQ(display.clockElement(1)->value(), ElementValue(5));
    EXPECT_TRUE(display.clockElement(0)->value().isNumber());

    display.showTimeOfDay(QTime(23, 59, 59));
    EXPECT_EQ(display.clockElement(0)->value(), ElementValue(23));
    EXPECT_EQ(display.clockElement(1)->value(), ElementValue(59));
    display.showTimeOfDay(QTime(0, 0, 0));
    EXPECT_EQ(display.clockElement(0)->value(), ElementValue(0));
}

TEST_F(FareDisplayWindowTest, OnlyTheLeftButtonOnTheSurfaceMovesTheWindow)
{
    display.show();
    const QPoint surface(20, 230);
    ASSERT_EQ(display.childAt(surface), nullptr);
    QTest::mousePress(&display, Qt::RightButton, {}, surface);
    QTest::mouseRelease(&display, Qt::RightButton, {}, surface);
    QTest::mousePress(&display, Qt::MiddleButton, {}, surface);
    QTest::mouseRelease(&display, Qt::MiddleButton, {}, surface);
    EXPECT_EQ(display.moves, 0);

    // A press on an element belongs to the element.
    QTest::mousePress(display.fareElement(4), Qt::LeftButton, {}, QPoint(5, 5));
    QTest::mouseRelease(display.fareElement(4), Qt::LeftButton, {}, QPoint(5, 5));
    EXPECT_EQ(display.moves, 0);

    QTest::mousePress(&display, Qt::LeftButton, {}, surface);
    QTest::mouseRelease(&display, Qt::LeftButton, {}, surface);
    EXPECT_EQ(display.moves, 1);
}

TEST_F(FareDisplayWindowTest, WithoutSystemMoveTheWindowFollowsTheLeftButton)
{
    display.systemMoves = false;
    display.move(100, 100);
    display.show();
    sendMouse(&display, QEvent::MouseButtonPress, Qt::LeftButton, Qt::LeftButton, {20, 230});
    sendMouse(&display, QEvent::MouseMove, Qt::NoButton, Qt::LeftButton, {50, 210});
    EXPECT_EQ(display.pos(), QPoint(130, 80));
    sendMouse(&display, QEvent::MouseButtonRelease, Qt::LeftButton, Qt::NoButton, {50, 210});
    sendMouse(&display, QEvent::MouseMove, Qt::NoButton, Qt::NoButton, {80, 210});
    EXPECT_EQ(display.pos(), QPoint(130, 80));

    // Dragging with the right button moves nothing.
    sendMouse(&display, QEvent::MouseButtonPress, Qt::RightButton, Qt::RightButton, {20, 230});
    sendMouse(&display, QEvent::MouseMove, Qt::NoButton, Qt::RightButton, {60, 200});
    EXPECT_EQ(display.pos(), QPoint(130, 80));
}

TEST_F(FareDisplayWindowTest, AcceptedDialogCopiesTheStyleToAllTwelveKeepingValues)
{
    fillFares();
    display.setControlPanel(&panel);
    ScriptedDigitSettingsDialog dialog(display, 1, /*zeroMode*/ 3, /*shift*/ 1, /*fillZero*/ 2,
                                       &panel);

    doubleClick(5);

    EXPECT_EQ(dialog.calls, 1);
    EXPECT_FALSE(dialog.panelEnabledDuringDialog);
    EXPECT_TRUE(panel.isEnabled());
    for (int i = 1; i <= 12; ++i) {
        SCOPED_TRACE(i);
        EXPECT_EQ(display.fareElement(i)->zeroMode(), 3);
        EXPECT_EQ(display.fareElement(i)->shift(), 1);
        EXPECT_EQ(display.fareElement(i)->fillZero(), 2);
        EXPECT_EQ(display.fareElement(i)->value(), ElementValue(100 + 10 * i));
    }
    // The new rules are drawn: 110 shifted one place left shows its last two digits.
    EXPECT_EQ(display.fareElement(1)->displayedText(), QStringLiteral("10 "));
}

TEST_F(FareDisplayWindowTest, CancelledDialogChangesNothingAndReenablesThePanel)
{
    fillFares();
    display.setControlPanel(&panel);
    ScriptedDigitSettingsDialog dialog(display, 0, 3, 2, 2, &panel);

    doubleClick(2);

    EXPECT_EQ(dialog.calls, 1);
    EXPECT_FALSE(dialog.panelEnabledDuringDialog);
    EXPECT_TRUE(panel.isEnabled());
    for (int i = 1; i <= 12; ++i) {
        EXPECT_EQ(display.fareElement(i)->shift(), i % 2);
        EXPECT_EQ(display.fareElement(i)->zeroMode(), i % 4);
        EXPECT_EQ(display.fareElement(i)->value(), ElementValue(100 + 10 * i));
    }
}

TEST_F(FareDisplayWindowTest, ElementWithoutUserSetOpensNoDialog)
{
    display.setControlPanel(&panel);
    display.fareElement(7)->setUserSettable(false);
    ScriptedDigitSettingsDialog dialog(display, 1, 1, 1, 1, &panel);

    doubleClick(7);

    EXPECT_EQ(dialog.calls, 0);
    EXPECT_TRUE(panel.isEnabled());
    EXPECT_EQ(display.fareElement(1)->zeroMode(), 0);
}

TEST_F(FareDisplayWindowTest, DialogWithoutAControlPanelStillCopies)
{
    ScriptedDigitSettingsDialog dialog(display, 1, 2, 0, 3, &panel);
    doubleClick(12);
    EXPECT_EQ(display.fareElement(1)->fillZero(), 3);
}

TEST_F(FareDisplayWindowTest, WindowPositionRoundTripsInTwips)
{
    display.restoreWindowPosition(WindowPosition{1500, 3000});
    EXPECT_EQ(display.pos(), QPoint(100, 200));
    const WindowPosition position = display.windowPosition();
    EXPECT_EQ(position.left, 1500);
    EXPECT_EQ(position.top, 3000);

    display.move(7, 0);
    EXPECT_EQ(display.windowPosition().left, 105);
    EXPECT_EQ(display.windowPosition().top, 0);
}

TEST_F(FareDisplayWindowTest, ShapeCoversTheWholeClientArea)
{
    display.shapeWindow();
    EXPECT_EQ(display.mask(), QRegion(0, 0, 498, 248));
}

TEST_F(FareDisplayWindowTest, StartUpShowsTheBuiltInPanelNumberedAndBlank)
{
    for (int i = 1; i <= 12; ++i)
        display.fareElement(i)->setValue(ElementValue(i));
    blankFareElements(display);
    platform::MessageBoxRecorder boxes;
    numberTicketLabels(display, 0, 0, boxes);
    EXPECT_TRUE(boxes.calls().empty());
    showBuiltInPanel(display);

    EXPECT_EQ(display.currentPicture().toImage(), display.backlightPicture(0).toImage());
    EXPECT_EQ(display.backlightPicture(1).toImage(), display.backlightPicture(0).toImage());
    EXPECT_EQ(display.backlightPicture(2).toImage(), display.backlightPicture(0).toImage());
    for (int i = 1; i <= 12; ++i) {
        EXPECT_EQ(display.ticketLabel(i)->text(), QString::number(i));
        EXPECT_EQ(display.fareElement(i)->value(), ElementValue(QString()));
        EXPECT_TRUE(display.fareElement(i)->displayedText().trimmed().isEmpty());
    }
    // What is painted is the picture under the elements.
    const QImage shown = display.grab().toImage();
    EXPECT_EQ(shown.pixel(20, 20), display.backlightPicture(0).toImage().pixel(20, 20));
    EXPECT_EQ(shown.pixel(2, 124), display.backlightPicture(0).toImage().pixel(2, 124));
}

TEST_F(FareDisplayWindowTest, KeysTypedOnTheDisplayWorkTheControlPanel)
{
    PanelStandIn console;
    display.setControlPanel(&console);
    display.show();
    QTest::keyClick(&display, Qt::Key_Space);
    QTest::keyClick(&display, Qt::Key_7);
    EXPECT_EQ(console.keys, (std::vector<int>{Qt::Key_Space, Qt::Key_7}));

    console.setEnabled(false); // a dialog of the panel is open
    QTest::keyClick(&display, Qt::Key_Space);
    EXPECT_EQ(console.keys.size(), 2u);
}

TEST_F(FareDisplayWindowTest, TheDesktopsCloseRequestAsksTheControlPanelAndNeverHides)
{
    PanelStandIn console;
    display.setControlPanel(&console);
    display.show();

    DesktopCloseRequest request;
    qApp->notify(&display, &request); // sendEvent would make it the program's own
    EXPECT_FALSE(request.isAccepted());
    QApplication::processEvents();
    EXPECT_EQ(console.closeRequests, 1);
    EXPECT_TRUE(display.isVisible());

    console.setEnabled(false); // the options are open: no question on top of them
    DesktopCloseRequest whileHeld;
    qApp->notify(&display, &whileHeld);
    QApplication::processEvents();
    EXPECT_FALSE(whileHeld.isAccepted());
    EXPECT_EQ(console.closeRequests, 1);
    EXPECT_TRUE(display.isVisible());

    // The program's own close at its end goes ahead.
    EXPECT_TRUE(display.close());
    EXPECT_FALSE(display.isVisible());
}
