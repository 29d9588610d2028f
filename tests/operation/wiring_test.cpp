#include "audio/midirenderer.h"
#include "audio/mixer.h"
#include "controlpaneltestsupport.h"

#include "app/controlpanelwiring.h"
#include "operation/controlpanel.h"
#include "options/optionsdialog.h"
#include "platform/msgbox.h"
#include "platform/wait.h"
#include "sound/soundplayer.h"
#include "sound/tape.h"
#include "support/scriptedpickers.h"
#include "support/widgetlookup.h"

#include <QComboBox>
#include <QFile>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QTemporaryDir>
#include <gtest/gtest.h>

using namespace paneltest;

namespace
{

// The console and the options dialog wired as the program wires them, on a stand-in display,
// with a clock and pickers of the test's own and every message box recorded. The dialog is
// created after the wiring and connected to it, as the program does.
class Wired : public ::testing::Test
{
protected:
    Wired() { wiring.connectOptionsDialog(options); }

    testsupport::WithApplication withApplication;
    QTemporaryDir dir;
    platform::ManualClock clock;
    platform::MessageBoxRecorder messages;
    testsupport::StandInDisplay display;
    testsupport::ScriptedPickers pickers;
    core::Options values;
    audio::AudioOutput output;
    audio::MidiRenderer midi;
    audio::MediaPlayer media{output, midi, clock};
    sound::SoundPlayer sounds{media};
    ControlPanelWiring wiring{display, values, sounds, messages};
    CustomColorTable customColors{};
    OptionsDialog options{values, wiring.pluginChoice(), customColors, messages, &pickers};
    ControlPanel& panel = wiring.panel();
};

// The dialog applies its look to the display itself.
class WiredPanelTest : public Wired
{
protected:
    WiredPanelTest() { options.setFareDisplay(&display); }
};

} // namespace

TEST_F(WiredPanelTest, PanelReadsTheLiveOptionsDialog)
{

    writeRoute(dir.path(), "12", numberedStops(3));
    options.setFareDataFolder(dir.path());
    EXPECT_EQ(wiring.dataFolders().current().fare, dir.path());
    EXPECT_EQ(&wiring.tape().options(), &options.options());

    panel.onKeypadKey(ControlPanel::KeypadKey::Route);
    panel.onKeypadKey(ControlPanel::digitKey(1));
    panel.onKeypadKey(ControlPanel::digitKey(2));
    panel.onKeypadKey(ControlPanel::KeypadKey::Section);
    panel.onKeypadKey(ControlPanel::digitKey(1));
    panel.setRoute(ControlPanel::EntryPanel::Keypad);
    EXPECT_TRUE(messages.calls().empty());
    EXPECT_EQ(display.value(1), QStringLiteral("101"));

    // The dialog's plug-in page and backlight re-apply reach the panel through its link.
    findWidget<QRadioButton>(panel, "backlightButton2")->setChecked(true);
    EXPECT_EQ(panel.selectedBacklight(), core::Backlight::On2);
    options.selectFixedDate();
    EXPECT_EQ(options.options().ticketDateMode(), core::TicketDateMode::Fixed);
    values.setTicketColorOn2(platform::RGB(10, 20, 30));
    options.applyDisplayOptions();
    EXPECT_EQ(display.ticketLabel(1)->palette().color(QPalette::WindowText), QColor(10, 20, 30));
}

TEST_F(WiredPanelTest, PluginCompaniesArriveWithNoneChosen)
{
    ASSERT_TRUE(options.loadPlugin(QStringLiteral(FARE_SAMPLE_PLUGIN)));
    QComboBox* companies = wiring.panel().companyList();
    EXPECT_EQ(companies->count(), 3);
    EXPECT_EQ(companies->currentIndex(), -1) << "no company printed until one is chosen";
}

// Selecting a plug-in fills the property list, the comment and the company names, and every
// stop shown draws the ticket: all from one reading of the file, until the file changes.
TEST_F(WiredPanelTest, ASelectedPluginIsReadOnceForEverything)
{
    writeRoute(dir.path(), "12", numberedStops(5));
    options.setFareDataFolder(dir.path());

    QString path = dir.filePath(QStringLiteral("ticket.4SP"));
    ASSERT_TRUE(QFile::copy(QStringLiteral(FARE_SAMPLE_PLUGIN), path));
    options.setUseTicketPreview(1);
    options.setTicketPluginPath(path);
    ASSERT_TRUE(options.loadPlugin(path));
    ASSERT_EQ(wiring.panel().companyList()->count(), 3);

    panel.onKeypadKey(ControlPanel::KeypadKey::Route);
    panel.onKeypadKey(ControlPanel::digitKey(1));
    panel.onKeypadKey(ControlPanel::digitKey(2));
    panel.onKeypadKey(ControlPanel::KeypadKey::Section);
    panel.onKeypadKey(ControlPanel::digitKey(1));
    panel.setRoute(ControlPanel::EntryPanel::Keypad);
    for (int step = 0; step < 3; ++step)
        panel.stepStop(core::StepDirection::Forward);
    EXPECT_TRUE(messages.calls().empty());
    EXPECT_EQ(options.ticketPlugins()->parseCount(), 1);

    // Saved again with another look: read again at the next stop, and only then.
    QFile file(path);
    ASSERT_TRUE(file.open(QIODevice::ReadOnly));
    QByteArray bytes = file.readAll();
    file.close();
    bytes.replace("Color=#F2F8EC", "Color=#FFFFFF");
    ASSERT_TRUE(file.open(QIODevice::WriteOnly | QIODevice::Truncate));
    file.write(bytes);
    file.close();
    panel.stepStop(core::StepDirection::Back);
    panel.stepStop(core::StepDirection::Back);
    EXPECT_EQ(options.ticketPlugins()->parseCount(), 2);
}

namespace
{

// The dialog is given no display, so that what reaches the display comes through the panel.
class WiredDialogTest : public Wired
{
protected:
    WiredDialogTest() { options.setUseTicketPreview(1); }
};

} // namespace

TEST_F(WiredDialogTest, PluginChosenInTheDialogSetsThePanelsCompanies)
{
    QComboBox* companies = panel.companyList();
    companies->addItem(QStringLiteral("前の会社"));
    pickers.fileAnswers = {QStringLiteral(FARE_SAMPLE_PLUGIN), QStringLiteral(FARE_PLAIN_PLUGIN)};

    findWidget<QPushButton>(options, "pluginPickButton")->click();
    EXPECT_EQ(companies->count(), 3) << "the earlier names are replaced, not added to";
    EXPECT_EQ(companies->currentIndex(), -1);

    findWidget<QPushButton>(options, "pluginPickButton")->click();
    EXPECT_EQ(companies->count(), 0) << "a plug-in without companies empties the list";
    EXPECT_TRUE(messages.calls().empty());
}

TEST_F(WiredDialogTest, OkReappliesTheBacklightSelectedOnThePanel)
{
    EXPECT_EQ(options.backlight(), core::Backlight::Off) << "told at wiring";
    findWidget<QRadioButton>(panel, "backlightButton2")->setChecked(true);
    EXPECT_EQ(options.backlight(), core::Backlight::On2);

    options.options().setTicketColorOn2(platform::RGB(10, 20, 30));
    options.show();
    findWidget<QPushButton>(options, "okButton")->click();
    EXPECT_TRUE(options.isHidden());
    EXPECT_EQ(display.ticketLabel(1)->palette().color(QPalette::WindowText), QColor(10, 20, 30));

    findWidget<QRadioButton>(panel, "backlightButton0")->setChecked(true);
    EXPECT_EQ(options.backlight(), core::Backlight::Off);
}

// Loading the same settings again (or settings with another plug-in) must not pile one
// plug-in's companies onto the list the last one left.
TEST_F(WiredDialogTest, ReloadingSettingsKeepsOneCopyOfTheCompanies)
{
    // Each load reads the plug-in the options name.
    values.setTicketPluginPath(QStringLiteral(FARE_SAMPLE_PLUGIN));
    wiring.pluginChoice().load(values.ticketPluginPath());
    wiring.pluginChoice().load(values.ticketPluginPath());
    EXPECT_EQ(panel.companyList()->count(), 3);
    EXPECT_EQ(panel.companyList()->currentIndex(), -1);
}
