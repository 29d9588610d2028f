#include "controlpaneltestsupport.h"

#include "operation/controlpanel.h"
#include "operation/previewshift.h"
#include "platform/twips.h"
#include "support/widgetlookup.h"

#include <QGuiApplication>
#include <QPushButton>
#include <QScreen>
#include <gtest/gtest.h>

namespace
{

const QRect Screen(0, 0, 1280, 1024);
constexpr int Wide = 600;

} // namespace

TEST(PreviewShift, WideWindowMovesLeftOnlyAsFarAsTheScreenEdgeNeedsAndBack)
{
    PreviewShift shift;
    // The first-run place: narrow at the bottom-right corner.
    const QPoint corner(1280 - 359, 1024 - 308);
    const QPoint shifted = shift.widen(QRect(corner, QSize(Wide, 308)), Screen);
    EXPECT_EQ(shifted, QPoint(1280 - Wide, corner.y()));
    EXPECT_EQ(shift.operatorPlace(shifted), corner);
    EXPECT_EQ(shift.narrow(shifted), corner);
    EXPECT_EQ(shift.operatorPlace(corner), corner);

    // Room enough: nothing moves and nothing is remembered.
    EXPECT_EQ(shift.widen(QRect(QPoint(100, 50), QSize(Wide, 308)), Screen), QPoint(100, 50));
    EXPECT_EQ(shift.narrow(QPoint(100, 50)), QPoint(100, 50));
    // Exactly at the edge still fits.
    EXPECT_EQ(shift.widen(QRect(QPoint(1280 - Wide, 0), QSize(Wide, 308)), Screen),
              QPoint(1280 - Wide, 0));
}

TEST(PreviewShift, OperatorMovingTheWideWindowMakesThatTheOperatorsPlace)
{
    PreviewShift shift;
    const QPoint shifted = shift.widen(QRect(QPoint(1000, 10), QSize(Wide, 308)), Screen);
    EXPECT_EQ(shifted.x(), 1280 - Wide);
    const QPoint dragged(300, 200);
    EXPECT_EQ(shift.operatorPlace(dragged), dragged);
    EXPECT_EQ(shift.narrow(dragged), dragged);
}

TEST(PreviewShift, SecondScreenAndScreensNarrowerThanTheWindow)
{
    PreviewShift shift;
    // A screen to the right of the first, with a panel along its left side.
    const QRect second(1280, 0, 1024, 768);
    const QRect available = second.adjusted(40, 0, 0, 0);
    EXPECT_EQ(shift.widen(QRect(QPoint(2000, 100), QSize(Wide, 308)), available),
              QPoint(1280 + 1024 - Wide, 100));
    // Wider than the free area: the left part (caption, keypad) stays visible.
    EXPECT_EQ(shift.widen(QRect(QPoint(200, 0), QSize(Wide, 308)), QRect(0, 0, 480, 640)),
              QPoint(0, 0));
}

TEST(ControlPanelPreview, WideningAtTheRightEdgeKeepsThePanelOnScreenAndSavesTheOwnPlace)
{
    testsupport::application();
    testsupport::StandInDisplay display;
    core::Options options;
    core::RouteSession session;
    platform::ManualClock clock;
    platform::MessageBoxRecorder messages;
    ControlPanel panel(&display, options, DataFolderSource(options), nullptr, &session, nullptr,
                       clock, messages);
    panel.show();
    const QRect area = panel.screen()->availableGeometry();
    const QPoint own(area.right() + 1 - panel.frameGeometry().width(), area.top() + 20);
    panel.move(own);
    const QPoint ownClient = panel.geometry().topLeft(); // the place the settings keep

    findWidget<QPushButton>(panel, "previewToggle")->click();
    EXPECT_EQ(panel.width(), platform::twipsToPixels(ControlPanel::WideWidthTwips));
    EXPECT_LE(panel.frameGeometry().right(), area.right());
    EXPECT_EQ(panel.frameGeometry().right(), area.right());
    EXPECT_EQ(panel.pos().y(), own.y());
    EXPECT_EQ(panel.panelState().Left, platform::pixelsToTwips(ownClient.x()));
    EXPECT_EQ(panel.panelState().Top, platform::pixelsToTwips(ownClient.y()));

    findWidget<QPushButton>(panel, "previewToggle")->click();
    EXPECT_EQ(panel.pos(), own);

    // Restored settings with the preview shown: the same shift, the same saved place.
    ControlPanelState state = panel.panelState();
    state.PreviewShown = 1;
    panel.restorePanelState(state);
    EXPECT_LE(panel.frameGeometry().right(), area.right());
    EXPECT_EQ(panel.panelState(), state);
}
