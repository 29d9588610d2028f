#include "options/optionbinding.h"

#include "options/displaylookoptions.h"
#include "options/optionsdialog.h"
#include "options/optionwidgets.h"
#include "support/widgetlookup.h"
#include "testsupport.h"

#include <QComboBox>
#include <QGuiApplication>
#include <QLabel>
#include <QLineEdit>
#include <QRadioButton>
#include <QScreen>
#include <gtest/gtest.h>
#include <set>

using core::OptionId;

namespace
{

class OptionBindingTest : public ::testing::Test
{
protected:
    template <class T> T* widget(const QString& name) { return findWidget<T>(dialog, name); }

    testsupport::WithApplication app;
    core::Options options;
    OptionsDialog dialog{options};
};

TEST_F(OptionBindingTest, EveryOptionOfTheFileHasOneControlAndListsMatchTheirRanges)
{
    // Every option of the file, and the display's zoom and full screen.
    ASSERT_EQ(optionControls().size(), std::size_t(core::SettingsFileOptionCount + 2));
    std::set<OptionId> bound;
    for (const OptionControl& control : optionControls()) {
        EXPECT_TRUE(bound.insert(control.option).second) << control.objectName;
        auto* found = widget<QWidget>(QLatin1String(control.objectName));
        if (core::optionRow(control.option).store == core::OptionStore::Preferences)
            continue;
        if (auto* list = qobject_cast<QComboBox*>(found)) {
            EXPECT_EQ(list->count(), core::optionRow(control.option).high + 1)
                << control.objectName;
        }
    }
}

TEST_F(OptionBindingTest, TheDisplayWindowsChoicesAreOnThePanelPage)
{
    auto* zooms = widget<QComboBox>(QStringLiteral("displayZoomList"));
    EXPECT_EQ(zooms->currentText(), QStringLiteral("1倍"));
    zooms->setCurrentIndex(zooms->findText(QStringLiteral("画面に合わせる")));
    EXPECT_EQ(options.displayZoom(), 0);
    options.setDisplayZoom(3);
    EXPECT_EQ(zooms->currentText(), QStringLiteral("3倍"));
    widget<GreyableCheckBox>(QStringLiteral("displayFullScreenCheck"))->click();
    EXPECT_EQ(options.displayFullScreen(), 1);

    auto* monitors = widget<QComboBox>(QStringLiteral("displayMonitorList"));
    EXPECT_EQ(monitors->currentText(), QGuiApplication::primaryScreen()->name());
    options.setDisplayMonitor(QStringLiteral("gone"));
    EXPECT_EQ(monitors->currentText(), QGuiApplication::primaryScreen()->name())
        << "the monitor the display goes to";
    monitors->activated(0);
    EXPECT_EQ(options.displayMonitor(), monitors->itemText(0));
}

TEST_F(OptionBindingTest, TheDialogStartsAtTheDefaultsWithoutMovingThem)
{
    for (const auto& row : core::optionTable())
        EXPECT_EQ(options.value(row.id), core::Options::defaultValue(row.id)) << row.name;
    EXPECT_EQ(widget<QLabel>(QStringLiteral("fixedDateLabel"))->text(), options.fixedDate());
    EXPECT_TRUE(widget<QRadioButton>(QStringLiteral("preBroadcastWaitOption"))->isChecked());
}

TEST_F(OptionBindingTest, ControlChangesReachTheOptionsAtOnce)
{
    widget<GreyableCheckBox>(QStringLiteral("infoRouteCheck"))->click();
    EXPECT_EQ(options.infoRouteOn(), 1);
    widget<QComboBox>(QStringLiteral("infoColumnList"))->setCurrentIndex(149);
    EXPECT_EQ(options.infoColumn(), 149);
    widget<QRadioButton>(QStringLiteral("preBroadcastNoWaitOption"))->click();
    EXPECT_TRUE(options.preBroadcastNoWait());
    EXPECT_FALSE(options.preBroadcastWait());
    widget<QLineEdit>(QStringLiteral("stepSound2Edit"))->setText(QStringLiteral("二.wav"));
    EXPECT_EQ(options.stepSound2(), QStringLiteral("二.wav"));
    widget<ColorButton>(QStringLiteral("nextStopColorButton"))->setBackColor(0x123456);
    EXPECT_EQ(options.nextStopColor(), 0x123456);
    dialog.setFareDataFolder(QStringLiteral("/data/運賃"));
    EXPECT_EQ(options.fareDataFolder(), QStringLiteral("/data/運賃"));
}

TEST_F(OptionBindingTest, OptionChangesShowInTheControlsWithTheirReactions)
{
    auto* cells = widget<QComboBox>(QStringLiteral("infoStopOrderCellList"));
    ASSERT_FALSE(cells->isEnabled());
    options.setInfoStopOrderOn(1);
    EXPECT_EQ(widget<GreyableCheckBox>(QStringLiteral("infoStopOrderCheck"))->value(), 1);
    EXPECT_TRUE(cells->isEnabled());
    options.setInfoStopOrderOn(2); // greyed still counts as on
    EXPECT_TRUE(cells->isEnabled());
    options.setInfoStopOrderOn(0);
    EXPECT_FALSE(cells->isEnabled());

    options.setStopNameFontMode(4);
    EXPECT_EQ(widget<QComboBox>(QStringLiteral("stopNameFontList"))->currentIndex(), 4);
    options.setTicketColorOn2(0x00FF00);
    EXPECT_EQ(widget<ColorButton>(QStringLiteral("ticketColorButton2"))->backColor(), 0x00FF00);
    options.setFixedDate(QStringLiteral("2009/01/24"));
    EXPECT_EQ(widget<QLabel>(QStringLiteral("fixedDateLabel"))->text(),
              QStringLiteral("2009/01/24"));
    options.setTicketPluginPath(QStringLiteral("/p/x.4SP"));
    EXPECT_EQ(widget<QLineEdit>(QStringLiteral("pluginPathEdit"))->text(),
              QStringLiteral("/p/x.4SP"));
}

TEST_F(OptionBindingTest, OptionButtonsKeepOneOfTheirGroupSelected)
{
    options.setStepSoundWait(true);
    EXPECT_TRUE(widget<QRadioButton>(QStringLiteral("stepSoundWaitOption"))->isChecked());
    EXPECT_FALSE(options.stepSoundNoWait()); // its partner went off with it

    // Nothing else of the group is selected, so the button stays, and so does the option.
    options.setStepSoundWait(false);
    EXPECT_TRUE(widget<QRadioButton>(QStringLiteral("stepSoundWaitOption"))->isChecked());
    EXPECT_TRUE(options.stepSoundWait());

    options.setDateFixed(true);
    EXPECT_FALSE(options.dateEachPrint());
    EXPECT_FALSE(options.dateAtRouteSet());
}

TEST_F(OptionBindingTest, SettingsLoadedIntoTheOptionsShowInTheControls)
{
    core::OptionFileValues values = options.fileValues();
    values.set(OptionId::InfoColumn, 42);
    values.set(OptionId::PreBroadcastWait, 0);
    values.set(OptionId::PreBroadcastNoWait, -1);
    values.set(OptionId::FixedDate, QStringLiteral("2030/12/31"));
    values.set(OptionId::PanelOn1Picture, QStringLiteral("/p/on1.gif"));
    options.setFileValues(values);
    EXPECT_EQ(options.infoColumn(), 42);
    EXPECT_TRUE(options.preBroadcastNoWait());
    EXPECT_FALSE(options.preBroadcastWait());
    EXPECT_EQ(options.fixedDate(), QStringLiteral("2030/12/31"));
    EXPECT_EQ(options.panelOn1Picture(), QStringLiteral("/p/on1.gif"));
    EXPECT_EQ(controlValues(dialog), values);
}

TEST_F(OptionBindingTest, StartupDefaultsGoIntoTheOptionsAndShow)
{
    options.setAutoTicketNumbers(0);
    options.setTicketColorOff(0);
    dialog.applyStartupDefaults();
    EXPECT_EQ(options.autoTicketNumbers(), 1);
    EXPECT_EQ(widget<GreyableCheckBox>(QStringLiteral("autoTicketNumbersCheck"))->value(), 1);
    EXPECT_EQ(widget<ColorButton>(QStringLiteral("ticketColorButton0"))->backColor(),
              platform::RGB(255, 255, 255));
}

} // namespace

namespace
{

// The look follows the options; a greyed bold box is not bold.
TEST_F(OptionBindingTest, TheLookComesFromTheOptions)
{
    options.setDigitUnlitColor(0x010203);
    options.setStopNameBold(2);
    options.setNextStopBold(1);
    options.setNextStopMode(2);
    options.setStopNameFontMode(3);
    options.setAutoTicketNumbers(0);
    options.setTicketColorOn1(0x00FF00);
    EXPECT_EQ(displayLookFrom(options, 0).digits.unlit, QColor(3, 2, 1));
    EXPECT_FALSE(displayLookFrom(options, 0).ticketLabelsShown);
    EXPECT_EQ(displayLookFrom(options, -1).ticketLabelColor, QColor(0, 0, 0));
    EXPECT_EQ(displayLookFrom(options, 2).stopName.prefix, NextStopPrefix(2));
    EXPECT_EQ(displayLookFrom(options, 1).ticketLabelColor, QColor(0, 255, 0));
    EXPECT_FALSE(displayLookFrom(options, 1).stopName.bold);
    EXPECT_TRUE(displayLookFrom(options, 1).stopName.prefixBold);
}

} // namespace
