// Clicks that run while a stop is being shown: the lamp test's pause and a waited step sound
// hold the operator's clicks, which then run inside the display of a stop. Whatever runs
// last decides the row, and fares, ticket preview and stop name all show that row.
#include "controlpanelfixture.h"

#include "../audio/audio_test_support.h"

#include <QMetaObject>
#include <QPushButton>
#include <utility>

using namespace paneltest;

namespace
{

class OvertakenDisplayTest : public ControlPanelTest
{
protected:
    OvertakenDisplayTest()
    {
        writeRoute(dir.path(), "12", numberedStops(5));
        options.setUseTicketPreview(1);
        panel->setTicketDrawer([this](const QString&, QPaintDevice*, const QByteArray&,
                                      const QByteArray&, const QByteArray&, std::int32_t,
                                      std::int16_t, std::int16_t row,
                                      std::int16_t) { previewRows.push_back(row); });
    }

    // A click the way the held input delivers it: at the next event processing.
    static void clickLater(QPushButton* button)
    {
        QMetaObject::invokeMethod(
            button, [button] { button->click(); }, Qt::QueuedConnection);
    }

    // Fares (element 12 of row k shows 100 k + 12), preview and name all show row k.
    void expectRowShown(int k)
    {
        EXPECT_EQ(session.stopIndex(), k - 1);
        EXPECT_EQ(display.value(12), QString::number(100 * k + 12));
        ASSERT_FALSE(previewRows.empty());
        EXPECT_EQ(previewRows.back(), k);
        EXPECT_EQ(lastShown(), QStringLiteral("停留所%1").arg(k));
    }

    std::vector<int> previewRows;
};

} // namespace

TEST_F(OvertakenDisplayTest, AStepClickedDuringTheLampTestShowsItsStop)
{
    setRoute("12", "1"); // stepping is enabled from here on
    for (const bool held : {true, false}) {
        clock.setOnSleep([&](int ms) {
            if (ms != 3000)
                return;
            QPushButton* forward = button("stepForwardButton");
            held ? clickLater(forward) : forward->click();
        });
        setRoute("12", "1");
        SCOPED_TRACE(held ? "click held until the pause ended" : "click run in the pause");
        expectRowShown(2);
    }
}

TEST_F(OvertakenDisplayTest, DisplayClearClickedDuringTheLampTestKeepsTheDisplayBlank)
{
    setRoute("12", "2");
    for (const bool held : {true, false}) {
        SCOPED_TRACE(held ? "click held until the pause ended" : "click run in the pause");
        clock.setOnSleep([&](int ms) {
            if (ms != 3000)
                return;
            QPushButton* clear = button("displayClearButton");
            held ? clickLater(clear) : clear->click();
        });
        setRoute("12", "3");
        EXPECT_TRUE(button("displayClearButton")->isChecked());
        EXPECT_FALSE(display.board()->strip().hasInk());
        for (int i = 1; i <= 12; ++i)
            EXPECT_EQ(display.value(i), QString()) << i;
        EXPECT_FALSE(button("stepForwardButton")->isEnabled());

        clock.setOnSleep({});
        button("displayClearButton")->click();
        expectRowShown(3);
        EXPECT_TRUE(button("stepForwardButton")->isEnabled());
    }
}

TEST_F(OvertakenDisplayTest, AStepClickedDuringAWaitedStepSoundShowsItsStop)
{
    audiotest::useDiskAudio();
    const QString sound = dir.filePath(QStringLiteral("step.wav"));
    audiotest::writeWav(sound, 200);
    options.setStepSoundFile(sound);
    selectStepSoundWait(options, true);
    for (const bool held : {true, false}) {
        SCOPED_TRACE(held ? "click held until the sound ended" : "click run in the wait");
        setRoute("12", "1");
        bool clicked = false;
        clock.setOnSleep([&](int) {
            // Once, during the first wait of the step below.
            if (std::exchange(clicked, true))
                return;
            QPushButton* forward = button("stepForwardButton");
            held ? clickLater(forward) : forward->click();
        });
        button("stepForwardButton")->click();
        clock.setOnSleep({});
        ASSERT_TRUE(clicked) << "the step sound was waited for";
        expectRowShown(3);
    }
}
