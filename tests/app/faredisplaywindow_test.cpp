#include "app/faredisplaywindow.h"

#include "app/startup.h"
#include "dialogs/digitsettingsdialog.h"
#include "elements/digitelement.h"
#include "elements/nextstopnameboard.h"
#include "platform/fontmap.h"
#include "tickets/ticketlabels.h"

#include <QLabel>
#include <QTest>
#include <QTimer>
#include <gtest/gtest.h>

namespace
{

// Counts the moves the window hands to the window system instead of starting them.
class RecordingForm1 : public FareDisplayWindow
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
class ScriptedDlg100
{
public:
    ScriptedDlg100(int result, qint16 zeroMode, qint16 shift, qint16 fillZero, QWidget* panel)
    {
        setDigitSettingsHandler([=, this](int, qint16& z, qint16& s, qint16& f) {
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
    ~ScriptedDlg100() { setDigitSettingsHandler(nullptr); }

    int calls = 0;
    bool panelEnabledDuringDialog = true;
};

class Form1Test : public ::testing::Test
{
protected:
    // Fares on every element, with varied styles so the copy has something to change.
    void fillFares()
    {
        for (int i = 1; i <= 12; ++i) {
            form.fareElement(i)->setValue(ElementValue(100 + 10 * i));
            form.fareElement(i)->setShift(i % 2);
            form.fareElement(i)->setZeroMode(i % 4);
        }
    }

    void doubleClick(int i) { QTest::mouseDClick(form.fareElement(i), Qt::LeftButton); }

    RecordingForm1 form;
    QWidget panel;
};

} // namespace

TEST_F(Form1Test, WindowIsAFramelessPanelOfTheDesignedSize)
{
    EXPECT_EQ(form.size(), QSize(498, 248));
    EXPECT_TRUE(form.windowFlags() & Qt::FramelessWindowHint);
    EXPECT_TRUE(form.isWindow());
    EXPECT_EQ(form.windowTitle(), QStringLiteral("ファレット"));
    EXPECT_EQ(form.backlightPicture(0).size(), QSize(498, 248));
    EXPECT_TRUE(form.backlightPicture(1).isNull());
    EXPECT_TRUE(form.backlightPicture(3).isNull());
}

TEST_F(Form1Test, ElementsSitAtTheirPixelPositions)
{
    const int lefts[6] = {83, 142, 201, 260, 319, 378};
    for (int i = 1; i <= 12; ++i) {
        SCOPED_TRACE(i);
        const int column = (i - 1) % 6;
        const bool firstRow = i <= 6;
        EXPECT_EQ(form.fareElement(i)->geometry(),
                  QRect(lefts[column], firstRow ? 140 : 192, 57, 29));
        EXPECT_EQ(form.fareElement(i)->digitCount(), 3);
        EXPECT_EQ(form.fareElement(i)->sizeClass(), 2);
        EXPECT_EQ(form.ticketLabel(i)->geometry(),
                  QRect(85 + 59 * column, firstRow ? 122 : 174, 52, 16));
        // Each label sits 270 twips (18 pixels) above its element.
        EXPECT_EQ(form.fareElement(i)->y() - form.ticketLabel(i)->y(), 18);
    }
    EXPECT_EQ(form.stopNameBoard()->geometry(), QRect(44, 36, 432, 56));
    EXPECT_EQ(form.stopNameBoard()->foreColor(), platform::RGB(255, 192, 128));
    EXPECT_EQ(form.clockElement(0)->geometry(), QRect(363, 2, 26, 20));
    EXPECT_EQ(form.clockElement(1)->geometry(), QRect(390, 2, 26, 20));
    EXPECT_EQ(form.fareElement(0), nullptr);
    EXPECT_EQ(form.fareElement(13), nullptr);
    EXPECT_EQ(form.ticketLabel(13), nullptr);
    EXPECT_EQ(form.clockElement(2), nullptr);
}

TEST_F(Form1Test, LabelsAreWhiteBoldCentredAndTransparent)
{
    for (int i = 1; i <= 12; ++i) {
        const QLabel* label = form.ticketLabel(i);
        EXPECT_EQ(label->palette().color(QPalette::WindowText), QColor(Qt::white));
        EXPECT_EQ(label->alignment(), Qt::AlignCenter);
        EXPECT_FALSE(label->autoFillBackground());
        EXPECT_TRUE(label->font().bold());
        EXPECT_EQ(label->font().pointSize(), 12);
        EXPECT_EQ(label->font().family(), platform::mappedFamily(platform::NumC1Face));
    }
}

TEST_F(Form1Test, ClockStartsHiddenAndStoppedAndTakesNumbers)
{
    EXPECT_FALSE(form.clockTimer()->isActive());
    EXPECT_EQ(form.clockTimer()->interval(), 1000);
    EXPECT_TRUE(form.clockElement(0)->isHidden());
    EXPECT_TRUE(form.clockElement(1)->isHidden());
    EXPECT_EQ(form.clockElement(0)->digitCount(), 2);

    form.tick(QTime(9, 5, 0));
    EXPECT_EQ(form.clockElement(0)->value(), ElementValue(9));
    EXPECT_EQ(form.clockElement(1)->value(), ElementValue(5));
    EXPECT_TRUE(form.clockElement(0)->value().isNumber());

    form.tick(QTime(23, 59, 59));
    EXPECT_EQ(form.clockElement(0)->value(), ElementValue(23));
    EXPECT_EQ(form.clockElement(1)->value(), ElementValue(59));
    form.tick(QTime(0, 0, 0));
    EXPECT_EQ(form.clockElement(0)->value(), ElementValue(0));
}

TEST_F(Form1Test, OnlyTheLeftButtonOnTheSurfaceMovesTheWindow)
{
    form.show();
    const QPoint surface(20, 230);
    ASSERT_EQ(form.childAt(surface), nullptr);
    QTest::mousePress(&form, Qt::RightButton, {}, surface);
    QTest::mouseRelease(&form, Qt::RightButton, {}, surface);
    QTest::mousePress(&form, Qt::MiddleButton, {}, surface);
    QTest::mouseRelease(&form, Qt::MiddleButton, {}, surface);
    EXPECT_EQ(form.moves, 0);

    // A press on an element belongs to the element.
    QTest::mousePress(form.fareElement(4), Qt::LeftButton, {}, QPoint(5, 5));
    QTest::mouseRelease(form.fareElement(4), Qt::LeftButton, {}, QPoint(5, 5));
    EXPECT_EQ(form.moves, 0);

    QTest::mousePress(&form, Qt::LeftButton, {}, surface);
    QTest::mouseRelease(&form, Qt::LeftButton, {}, surface);
    EXPECT_EQ(form.moves, 1);
}

TEST_F(Form1Test, WithoutSystemMoveTheWindowFollowsTheLeftButton)
{
    form.systemMoves = false;
    form.move(100, 100);
    form.show();
    sendMouse(&form, QEvent::MouseButtonPress, Qt::LeftButton, Qt::LeftButton, {20, 230});
    sendMouse(&form, QEvent::MouseMove, Qt::NoButton, Qt::LeftButton, {50, 210});
    EXPECT_EQ(form.pos(), QPoint(130, 80));
    sendMouse(&form, QEvent::MouseButtonRelease, Qt::LeftButton, Qt::NoButton, {50, 210});
    sendMouse(&form, QEvent::MouseMove, Qt::NoButton, Qt::NoButton, {80, 210});
    EXPECT_EQ(form.pos(), QPoint(130, 80));

    // Dragging with the right button moves nothing.
    sendMouse(&form, QEvent::MouseButtonPress, Qt::RightButton, Qt::RightButton, {20, 230});
    sendMouse(&form, QEvent::MouseMove, Qt::NoButton, Qt::RightButton, {60, 200});
    EXPECT_EQ(form.pos(), QPoint(130, 80));
}

TEST_F(Form1Test, AcceptedDialogCopiesTheStyleToAllTwelveKeepingValues)
{
    fillFares();
    form.setControlPanel(&panel);
    ScriptedDlg100 dialog(1, /*zeroMode*/ 3, /*shift*/ 1, /*fillZero*/ 2, &panel);

    doubleClick(5);

    EXPECT_EQ(dialog.calls, 1);
    EXPECT_FALSE(dialog.panelEnabledDuringDialog);
    EXPECT_TRUE(panel.isEnabled());
    for (int i = 1; i <= 12; ++i) {
        SCOPED_TRACE(i);
        EXPECT_EQ(form.fareElement(i)->zeroMode(), 3);
        EXPECT_EQ(form.fareElement(i)->shift(), 1);
        EXPECT_EQ(form.fareElement(i)->fillZero(), 2);
        EXPECT_EQ(form.fareElement(i)->value(), ElementValue(100 + 10 * i));
    }
    // The new rules are drawn: 110 shifted one place left shows its last two digits.
    EXPECT_EQ(form.fareElement(1)->displayedText(), QStringLiteral("10 "));
}

TEST_F(Form1Test, CancelledDialogChangesNothingAndReenablesThePanel)
{
    fillFares();
    form.setControlPanel(&panel);
    ScriptedDlg100 dialog(0, 3, 2, 2, &panel);

    doubleClick(2);

    EXPECT_EQ(dialog.calls, 1);
    EXPECT_FALSE(dialog.panelEnabledDuringDialog);
    EXPECT_TRUE(panel.isEnabled());
    for (int i = 1; i <= 12; ++i) {
        EXPECT_EQ(form.fareElement(i)->shift(), i % 2);
        EXPECT_EQ(form.fareElement(i)->zeroMode(), i % 4);
        EXPECT_EQ(form.fareElement(i)->value(), ElementValue(100 + 10 * i));
    }
}

TEST_F(Form1Test, ElementWithoutUserSetOpensNoDialog)
{
    form.setControlPanel(&panel);
    form.fareElement(7)->setUserSettable(false);
    ScriptedDlg100 dialog(1, 1, 1, 1, &panel);

    doubleClick(7);

    EXPECT_EQ(dialog.calls, 0);
    EXPECT_TRUE(panel.isEnabled());
    EXPECT_EQ(form.fareElement(1)->zeroMode(), 0);
}

TEST_F(Form1Test, DialogWithoutAControlPanelStillCopies)
{
    ScriptedDlg100 dialog(1, 2, 0, 3, &panel);
    doubleClick(12);
    EXPECT_EQ(form.fareElement(1)->fillZero(), 3);
}

TEST_F(Form1Test, FormInfoRoundTripsInTwips)
{
    form.restoreWindowPosition(WindowPosition{1500, 3000});
    EXPECT_EQ(form.pos(), QPoint(100, 200));
    const WindowPosition info = form.windowPosition();
    EXPECT_EQ(info.Left, 1500);
    EXPECT_EQ(info.Top, 3000);

    form.move(7, 0);
    EXPECT_EQ(form.windowPosition().Left, 105);
    EXPECT_EQ(form.windowPosition().Top, 0);
}

TEST_F(Form1Test, ShapeCoversTheWholeClientArea)
{
    form.shapeWindow();
    EXPECT_EQ(form.mask(), QRegion(0, 0, 498, 248));
}

TEST_F(Form1Test, StartUpShowsTheBuiltInPanelNumberedAndBlank)
{
    for (int i = 1; i <= 12; ++i)
        form.fareElement(i)->setValue(ElementValue(i));
    blankFareElements(form);
    numberTicketLabels(form, 0, 0);
    showBuiltInPanel(form);

    EXPECT_EQ(form.currentPicture().toImage(), form.backlightPicture(0).toImage());
    EXPECT_EQ(form.backlightPicture(1).toImage(), form.backlightPicture(0).toImage());
    EXPECT_EQ(form.backlightPicture(2).toImage(), form.backlightPicture(0).toImage());
    for (int i = 1; i <= 12; ++i) {
        EXPECT_EQ(form.ticketLabel(i)->text(), QString::number(i));
        EXPECT_EQ(form.fareElement(i)->value(), ElementValue(QString()));
        EXPECT_TRUE(form.fareElement(i)->displayedText().trimmed().isEmpty());
    }
    // What is painted is the picture under the elements.
    const QImage shown = form.grab().toImage();
    EXPECT_EQ(shown.pixel(20, 20), form.backlightPicture(0).toImage().pixel(20, 20));
    EXPECT_EQ(shown.pixel(2, 124), form.backlightPicture(0).toImage().pixel(2, 124));
}
