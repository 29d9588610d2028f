#include "app/displaymenu.h"
#include "app/displaysizing.h"
#include "app/faredisplaywindow.h"
#include "app/preferences.h"
#include "elements/nextstopnameboard.h"

#include <QApplication>
#include <QFile>
#include <QGuiApplication>
#include <QKeyEvent>
#include <QMenu>
#include <QScreen>
#include <QTemporaryDir>
#include <gtest/gtest.h>
#include <set>
#include <tuple>

// Runs on Qt's offscreen platform with two monitors side by side (see main below).
namespace
{

constexpr QSize Designed(498, 248);
const QString SecondMonitor = QStringLiteral("Second");

QAction* findAction(QMenu& menu, const QString& text)
{
    for (QAction* action : menu.findChildren<QAction*>()) {
        if (action->text() == text)
            return action;
    }
    return nullptr;
}

// The lengths of the runs of pixels unlike `background` along every row and every column.
std::set<int> litRunLengths(const QImage& image, const QRect& area, QRgb background)
{
    std::set<int> lengths;
    const auto scan = [&](int count, int length, auto pixel) {
        for (int line = 0; line < count; ++line) {
            int run = 0;
            for (int at = 0; at <= length; ++at) {
                if (at < length && pixel(line, at) != background) {
                    ++run;
                } else if (run > 0) {
                    lengths.insert(run);
                    run = 0;
                }
            }
        }
    };
    scan(area.height(), area.width(),
         [&](int y, int x) { return image.pixel(area.left() + x, area.top() + y); });
    scan(area.width(), area.height(),
         [&](int x, int y) { return image.pixel(area.left() + x, area.top() + y); });
    return lengths;
}

class DisplayZoomTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        window.setOptions(options);
        window.move(40, 30);
        // A name that stands still, spread over the board, no dot cut by the frame.
        window.stopNameBoard()->setStopName(QStringLiteral("市役所前"));
    }

    // The board's dots inside its frame, in the board's own pixels.
    QRect boardDots(double scale) const
    {
        const QRect designed(2, 2, 428, 54);
        return QRect((QPointF(designed.topLeft()) * scale).toPoint(),
                     (QSizeF(designed.size()) * scale).toSize());
    }

    core::Options options;
    FareDisplayWindow window;
};

TEST_F(DisplayZoomTest, EachDotIsAnNByNBlockAndNothingLeavesTheWindow)
{
    const QImage once = window.stopNameBoard()->grab().toImage();
    for (int zoom : {2, 3}) {
        options.setDisplayZoom(zoom);
        EXPECT_EQ(window.size(), Designed * zoom);
        for (QWidget* child : window.findChildren<QWidget*>())
            EXPECT_TRUE(window.rect().contains(child->geometry()))
                << child->objectName().toStdString();
        const QImage board = window.stopNameBoard()->grab().toImage();
        ASSERT_EQ(board.size(), once.size() * zoom);
        // Every pixel of the designed board as a zoom x zoom block: each 2 x 2 dot 2n x 2n.
        const QImage expected =
            once.scaled(once.size() * zoom, Qt::IgnoreAspectRatio, Qt::FastTransformation);
        const QRect dots = boardDots(zoom);
        int differing = 0;
        for (int y = dots.top(); y <= dots.bottom(); ++y)
            for (int x = dots.left(); x <= dots.right(); ++x)
                differing += board.pixel(x, y) != expected.pixel(x, y);
        EXPECT_EQ(differing, 0) << "at zoom " << zoom;
        EXPECT_EQ(litRunLengths(board, dots, qRgb(128, 128, 128)), std::set<int>{2 * zoom});
    }
}

TEST_F(DisplayZoomTest, AtADevicePixelRatioEveryDotHasTheSameWholePixelSide)
{
    NextStopNameBoard* board = window.stopNameBoard();
    for (const auto& [zoom, ratio, side] : {std::tuple{1, 1.5, 3}, std::tuple{3, 1.5, 9},
                                            std::tuple{1, 2.0, 4}, std::tuple{2, 2.0, 8}}) {
        options.setDisplayZoom(zoom);
        QImage picture((QSizeF(board->size()) * ratio).toSize(), QImage::Format_RGB32);
        picture.setDevicePixelRatio(ratio);
        board->render(&picture);
        picture.setDevicePixelRatio(1);
        EXPECT_EQ(litRunLengths(picture, boardDots(zoom * ratio).adjusted(2, 2, -2, -2),
                                qRgb(128, 128, 128)),
                  std::set<int>{side})
            << "zoom " << zoom << " ratio " << ratio;
    }
}

TEST_F(DisplayZoomTest, TheMenusChoicesComeBackFromThePreferencesFile)
{
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("fare.ini"));
    {
        QMenu menu;
        fillDisplayMenu(menu, options);
        findAction(menu, QStringLiteral("4倍"))->trigger();
        findAction(menu, SecondMonitor)->trigger();
        findAction(menu, QStringLiteral("全画面表示"))->trigger();
        ASSERT_TRUE(Preferences(path, options).save());
    }
    core::Options loaded;
    Preferences(path, loaded).load();
    EXPECT_EQ(loaded.displayZoom(), 4);
    EXPECT_EQ(loaded.displayFullScreen(), 1);
    EXPECT_EQ(loaded.displayMonitor(), SecondMonitor);

    QMenu menu;
    fillDisplayMenu(menu, loaded);
    for (const QString& checked :
         {QStringLiteral("4倍"), QStringLiteral("全画面表示"), SecondMonitor})
        EXPECT_TRUE(findAction(menu, checked)->isChecked()) << checked.toStdString();
    EXPECT_FALSE(findAction(menu, QStringLiteral("1倍"))->isChecked());
    findAction(menu, QStringLiteral("画面に合わせる"))->trigger();
    EXPECT_EQ(loaded.displayZoom(), displaysizing::FitZoom);
}

TEST_F(DisplayZoomTest, FullScreenFillsTheSecondMonitorAndTheConsoleStays)
{
    QWidget console;
    console.move(10, 10);
    options.setDisplayMonitor(SecondMonitor);
    options.setDisplayZoom(1);
    options.setDisplayFullScreen(1);
    const QScreen* second = displaysizing::chosenScreen(SecondMonitor);
    ASSERT_NE(second, QGuiApplication::primaryScreen());
    EXPECT_EQ(window.geometry(), second->geometry());
    // 1920 x 1080 holds three times 498 x 248, not four: the largest whole zoom, centred.
    EXPECT_EQ(window.contentScale(), 3.0);
    EXPECT_EQ(window.contentRect(), QRect(213, 168, 1494, 744));
    const QImage picture = window.grab().toImage();
    EXPECT_EQ(picture.pixel(5, 5), qRgb(0, 0, 0));
    EXPECT_EQ(picture.pixel(1915, 1075), qRgb(0, 0, 0));
    EXPECT_EQ(console.pos(), QPoint(10, 10));
    // The window went over to the monitor chosen, then filled it; the settings file keeps
    // where it was on its own.
    EXPECT_EQ(window.windowPosition(), (WindowPosition{(1280 + 40) * 15, 30 * 15}));

    options.setDisplayZoom(displaysizing::FitZoom);
    EXPECT_NEAR(window.contentScale(), 1920.0 / 498, 1e-9);
    options.setDisplayFullScreen(0);
    EXPECT_EQ(window.geometry().topLeft(), QPoint(1280, 30))
        << "as large as the monitor, all on it";
    EXPECT_EQ(window.width(), 1920);
}

TEST_F(DisplayZoomTest, F11TogglesFullScreenAndEscLeavesIt)
{
    QKeyEvent f11(QEvent::KeyPress, Qt::Key_F11, Qt::NoModifier);
    QApplication::sendEvent(&window, &f11);
    EXPECT_TRUE(window.isShowingFullScreen());
    QKeyEvent escape(QEvent::KeyPress, Qt::Key_Escape, Qt::NoModifier);
    QApplication::sendEvent(&window, &escape);
    EXPECT_FALSE(window.isShowingFullScreen());
    EXPECT_EQ(options.displayFullScreen(), 0);
    EXPECT_EQ(window.pos(), QPoint(40, 30));
}

TEST_F(DisplayZoomTest, AMonitorThatIsGoneMeansThePrimaryAndItsNameIsKept)
{
    options.setDisplayMonitor(QStringLiteral("HDMI-gone"));
    options.setDisplayFullScreen(1);
    EXPECT_EQ(window.geometry(), QGuiApplication::primaryScreen()->geometry());
    EXPECT_EQ(options.displayMonitor(), QStringLiteral("HDMI-gone"));
    QMenu menu;
    fillDisplayMenu(menu, options);
    EXPECT_TRUE(findAction(menu, QStringLiteral("First"))->isChecked());
}

TEST(DisplaySizing, FitAndWholeZoomsKeepTheAspect)
{
    using namespace displaysizing;
    EXPECT_DOUBLE_EQ(fitScale(Designed, QSize(996, 1000)), 2.0);
    EXPECT_DOUBLE_EQ(windowScale(FitZoom, Designed, QSize(3840, 2160)), 3840.0 / 498);
    EXPECT_DOUBLE_EQ(windowScale(3, Designed, QSize(100, 100)), 3.0) << "a zoom is a zoom";
    EXPECT_DOUBLE_EQ(fullScreenScale(4, Designed, QSize(3840, 2160)), 7.0);
    EXPECT_DOUBLE_EQ(fullScreenScale(2, Designed, QSize(400, 300)), 1.0) << "never below 1";
    EXPECT_EQ(keptWithin(QPoint(900, -5), QSize(200, 100), QRect(0, 0, 1000, 800)), QPoint(800, 0));
    EXPECT_EQ(keptWithin(QPoint(50, 50), QSize(2000, 100), QRect(10, 0, 1000, 800)),
              QPoint(10, 50));
    EXPECT_EQ(centredContent(Designed, 2, QRect(100, 0, 1000, 500)), QRect(102, 2, 996, 496));
}

} // namespace

// Two monitors: "First" (the primary) at the origin, "Second" to its right.
int main(int argc, char** argv)
{
    QTemporaryDir dir;
    const QString config = dir.filePath(QStringLiteral("screens.json"));
    QFile file(config);
    if (!file.open(QIODevice::WriteOnly))
        return 2;
    file.write(R"({"screens": [
        {"name": "First", "x": 0, "y": 0, "width": 1280, "height": 1024, "logicalDpi": 96,
         "logicalBaseDpi": 96, "dpr": 1},
        {"name": "Second", "x": 1280, "y": 0, "width": 1920, "height": 1080, "logicalDpi": 96,
         "logicalBaseDpi": 96, "dpr": 1}]})");
    file.close();
    qputenv("QT_QPA_PLATFORM", QByteArray("offscreen:configfile=") + config.toUtf8());
    QApplication app(argc, argv);
    ::testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
