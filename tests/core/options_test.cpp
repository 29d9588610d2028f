#include "core/options.h"

#include <QDate>
#include <QSettings>
#include <QTemporaryDir>
#include <functional>
#include <gtest/gtest.h>
#include <vector>

using core::OptionId;
using core::OptionKind;
using core::Options;
using core::OptionStore;

namespace
{

std::vector<OptionId> changesOf(Options& options, const std::function<void()>& action)
{
    std::vector<OptionId> seen;
    const auto connection =
        QObject::connect(&options, &Options::changed, [&seen](OptionId id) { seen.push_back(id); });
    action();
    QObject::disconnect(connection);
    return seen;
}

} // namespace

TEST(Options, StartsAtTheDefaultsAndTypedAccessorsReadThem)
{
    const Options options;
    EXPECT_EQ(options.fareDataFolder(), QString());
    EXPECT_EQ(options.autoTicketNumbers(), 1);
    EXPECT_EQ(options.digitLitColor(), platform::RGB(248, 210, 114));
    EXPECT_EQ(options.stopNameFontMode(), -1);
    EXPECT_TRUE(options.preBroadcastWait());
    EXPECT_FALSE(options.preBroadcastNoWait());
    EXPECT_TRUE(options.stepSoundNoWait());
    EXPECT_EQ(options.speechRate(), 175);
    EXPECT_EQ(options.displayZoom(), 1);
    EXPECT_EQ(options.fixedDate(), QDate::currentDate().toString(QStringLiteral("yyyy/MM/dd")));
    for (const auto& row : core::optionTable())
        EXPECT_EQ(options.value(row.id), Options::defaultValue(row.id)) << row.name;
}

TEST(Options, RefusesValuesOutsideTheRangeOrOfAnotherType)
{
    Options options;
    const auto refused = changesOf(options, [&] {
        EXPECT_FALSE(options.setUseTicketPreview(3));
        EXPECT_FALSE(options.setUseTicketPreview(-1));
        EXPECT_FALSE(options.setTicketNumberMode(12));
        EXPECT_FALSE(options.setTicketNumberMode(-2));
        EXPECT_FALSE(options.setDisplayZoom(-1));
        EXPECT_FALSE(options.setDisplayZoom(5));
        EXPECT_FALSE(options.setDisplayFullScreen(2)); // a switch, never greyed
        EXPECT_FALSE(options.setValue(OptionId::DisplayMonitor, 1));
        EXPECT_FALSE(options.setValue(OptionId::FareDataFolder, 5));
        EXPECT_FALSE(options.setValue(OptionId::InfoColumn, QStringLiteral("3")));
        EXPECT_FALSE(options.setValue(OptionId::InfoColumn, 3.5));
        EXPECT_FALSE(options.setValue(OptionId::PanelAuto, 1));
        EXPECT_FALSE(options.setValue(OptionId::DigitBackColor, qlonglong(1) << 40));
    });
    EXPECT_TRUE(refused.empty());
    EXPECT_EQ(options.useTicketPreview(), 0);
    EXPECT_EQ(options.ticketNumberMode(), 0);

    EXPECT_TRUE(options.setUseTicketPreview(2)); // greyed, as a stored file may hold it
    EXPECT_TRUE(options.setTicketNumberMode(11));
    EXPECT_TRUE(options.setTicketNumberMode(-1));
    EXPECT_TRUE(options.setInfoColumn(149));
    EXPECT_TRUE(options.setDisplayZoom(4));
    EXPECT_TRUE(options.setDisplayZoom(0)); // the largest size the monitor holds
    EXPECT_TRUE(options.setDisplayMonitor(QStringLiteral("HDMI-1")));
    EXPECT_TRUE(options.setValue(OptionId::InfoColumn, qint16(3)));
    EXPECT_TRUE(options.setDigitBackColor(-1)); // any 32-bit colour is kept as it is
    EXPECT_EQ(options.digitBackColor(), -1);
}

TEST(Options, SignalsEachChangeOnceAndNothingForAnEqualValue)
{
    Options options;
    EXPECT_EQ(changesOf(options, [&] { options.setPreBroadcastWait(false); }),
              std::vector<OptionId>{OptionId::PreBroadcastWait});
    EXPECT_TRUE(changesOf(options, [&] { options.setPreBroadcastWait(false); }).empty());
    EXPECT_EQ(changesOf(options, [&] { options.setFixedDate(QStringLiteral("2024/01/02")); }),
              std::vector<OptionId>{OptionId::FixedDate});

    const auto reset = changesOf(options, [&] { options.resetToDefaults(); });
    EXPECT_EQ(reset, (std::vector<OptionId>{OptionId::PreBroadcastWait, OptionId::FixedDate}));
    EXPECT_TRUE(options.preBroadcastWait());
}

TEST(Options, StartupDefaultsShowTheTicketNumbersInTheirColours)
{
    Options options;
    options.setAutoTicketNumbers(0);
    options.setTicketColorOff(0);
    options.setTicketColorOn2(0);
    options.applyStartupDefaults();
    EXPECT_EQ(options.autoTicketNumbers(), 1);
    EXPECT_EQ(options.ticketColorOff(), platform::RGB(255, 255, 255));
    EXPECT_EQ(options.ticketColorOn1(), platform::RGB(192, 255, 192));
    EXPECT_EQ(options.ticketColorOn2(), platform::RGB(192, 255, 192));
}

TEST(Options, FileValuesCarryChoicesAsMinusOneAndZero)
{
    Options options;
    EXPECT_EQ(options.fileValue(OptionId::PanelAuto), QVariant(-1));
    EXPECT_EQ(options.fileValue(OptionId::PanelIndividual), QVariant(0));
    EXPECT_TRUE(options.setFileValue(OptionId::PanelIndividual, qint16(5)));
    EXPECT_TRUE(options.panelIndividual());
    EXPECT_TRUE(options.setFileValue(OptionId::PanelIndividual, qint16(0)));
    EXPECT_FALSE(options.panelIndividual());
    EXPECT_FALSE(options.setFileValue(OptionId::TicketZeroPad, qint16(7)));
    EXPECT_EQ(options.ticketZeroPad(), 0);
}

// Every option goes to its file value and back unchanged, whatever value it holds.
TEST(Options, EveryOptionRoundTripsThroughItsFileValue)
{
    Options written;
    for (const auto& row : core::optionTable()) {
        switch (row.kind) {
        case OptionKind::Text:
        case OptionKind::Path:
            written.setValue(row.id, QStringLiteral("/データ/") + QLatin1String(row.name));
            break;
        case OptionKind::Choice:
            written.setValue(row.id, !written.value(row.id).toBool());
            break;
        case OptionKind::Color:
            written.setValue(row.id, static_cast<int>(row.id) * 0x10101);
            break;
        default: // the end of its range that is not its default
            written.setValue(row.id,
                             Options::defaultValue(row.id) == row.high ? row.low : row.high);
        }
        ASSERT_NE(written.value(row.id), Options::defaultValue(row.id)) << row.name;
    }
    Options read;
    for (const auto& row : core::optionTable())
        ASSERT_TRUE(read.setFileValue(row.id, written.fileValue(row.id))) << row.name;
    for (const auto& row : core::optionTable())
        EXPECT_EQ(read.value(row.id), written.value(row.id)) << row.name;

    // The same through the settings file's values, which carry no preference.
    Options throughFile;
    core::OptionFileValues values = written.fileValues();
    EXPECT_TRUE(throughFile.replaceRefused(values).empty());
    throughFile.setFileValues(values);
    for (const auto& row : core::optionTable()) {
        if (row.store == OptionStore::SettingsFile)
            EXPECT_EQ(throughFile.value(row.id), written.value(row.id)) << row.name;
        else
            EXPECT_EQ(throughFile.value(row.id), Options::defaultValue(row.id)) << row.name;
    }
}

// The range checks of a load: every check box and list, in the file's order, each replaced
// by the present value; option buttons, colours and texts take anything.
TEST(Options, ALoadRefusesEachValueItsOptionCannotTakeOnItsOwn)
{
    Options present;
    present.setInfoColumn(7);
    core::OptionFileValues values = present.fileValues();
    values.set(OptionId::AutoTicketNumbers, 7);
    values.set(OptionId::InfoColumn, 150);
    values.set(OptionId::NextStopMode, -2);
    values.set(OptionId::PanelAuto, 999);
    values.set(OptionId::DigitBackColor, -5);
    values.set(OptionId::StepSoundColumn, 149);

    const auto refused = present.replaceRefused(values);
    ASSERT_EQ(refused.size(), 3u);
    EXPECT_EQ(refused[0].field, QStringLiteral("AutoTicketNumbers"));
    EXPECT_EQ(refused[0].value, 7);
    EXPECT_EQ(refused[1].field, QStringLiteral("InfoColumn"));
    EXPECT_EQ(refused[1].value, 150);
    EXPECT_EQ(refused[2].field, QStringLiteral("NextStopMode"));
    EXPECT_EQ(refused[2].value, -2);
    EXPECT_EQ(values.number(OptionId::AutoTicketNumbers), 1);
    EXPECT_EQ(values.number(OptionId::InfoColumn), 7);
    EXPECT_EQ(values.number(OptionId::NextStopMode), -1);

    Options loaded;
    loaded.setFileValues(values);
    EXPECT_TRUE(loaded.panelAuto());
    EXPECT_EQ(loaded.digitBackColor(), -5);
    EXPECT_EQ(loaded.stepSoundColumn(), 149);
    EXPECT_EQ(loaded.infoColumn(), 7);
}

TEST(Options, PreferencesAreReadAndWrittenUnderTheirKeys)
{
    QTemporaryDir dir;
    ASSERT_TRUE(dir.isValid());
    const QString path = dir.filePath(QStringLiteral("fare.ini"));
    {
        QSettings ini(path, QSettings::IniFormat);
        ini.setValue(QStringLiteral("Speech/Rate"), 300);
        ini.setValue(QStringLiteral("Speech/Pitch"), 120); // out of range: ignored
        ini.setValue(QStringLiteral("Display/Zoom"), QStringLiteral(" 3 "));
        ini.setValue(QStringLiteral("Display/FullScreen"), 1);
        // A monitor's name is text, spaces and all; a number there is no monitor of ours.
        ini.setValue(QStringLiteral("Display/Monitor"), QStringLiteral(" DP-2 "));
        ini.setValue(QStringLiteral("Newer/Key"), QStringLiteral("kept"));
    }
    Options options;
    options.setSpeechPitch(40);
    {
        const QSettings ini(path, QSettings::IniFormat);
        options.readPreferences(ini);
    }
    EXPECT_EQ(options.speechRate(), 300);
    EXPECT_EQ(options.speechPitch(), 40);
    EXPECT_EQ(options.speechVolume(), 100);
    EXPECT_EQ(options.displayZoom(), 3);
    EXPECT_EQ(options.displayFullScreen(), 1);
    EXPECT_EQ(options.displayMonitor(), QStringLiteral(" DP-2 "));

    options.setDisplayZoom(2);
    options.setDisplayMonitor(QStringLiteral("HDMI-A-1"));
    {
        QSettings ini(path, QSettings::IniFormat);
        options.writePreferences(ini);
    }
    const QSettings ini(path, QSettings::IniFormat);
    EXPECT_EQ(ini.value(QStringLiteral("Display/Zoom")).toInt(), 2);
    EXPECT_EQ(ini.value(QStringLiteral("Display/Monitor")).toString(), QStringLiteral("HDMI-A-1"));
    EXPECT_EQ(ini.value(QStringLiteral("Speech/Pitch")).toInt(), 40);
    EXPECT_EQ(ini.value(QStringLiteral("Newer/Key")).toString(), QStringLiteral("kept"));
    EXPECT_FALSE(ini.contains(QStringLiteral("FareDataFolder")));
}

TEST(Options, BacklightStatesChooseTheirOwnColourPanelAndPicture)
{
    using core::Backlight;
    Options options;
    options.setTicketColorOff(platform::RGB(1, 2, 3));
    options.setTicketColorOn1(platform::RGB(4, 5, 6));
    options.setTicketColorOn2(platform::RGB(7, 8, 9));
    options.setPanelOn1User(true);
    options.setPanelOffPicture(QStringLiteral("off.bmp"));
    options.setPanelOn1Picture(QStringLiteral("on1.bmp"));
    options.setPanelOn2Picture(QStringLiteral("on2.bmp"));

    EXPECT_EQ(options.ticketColor(Backlight::Off), platform::RGB(1, 2, 3));
    EXPECT_EQ(options.ticketColor(Backlight::On1), platform::RGB(4, 5, 6));
    EXPECT_EQ(options.ticketColor(Backlight::On2), platform::RGB(7, 8, 9));
    EXPECT_FALSE(options.panelUser(Backlight::Off));
    EXPECT_TRUE(options.panelUser(Backlight::On1));
    EXPECT_FALSE(options.panelUser(Backlight::On2));
    EXPECT_EQ(options.panelPicture(Backlight::Off), QStringLiteral("off.bmp"));
    EXPECT_EQ(options.panelPicture(Backlight::On1), QStringLiteral("on1.bmp"));
    EXPECT_EQ(options.panelPicture(Backlight::On2), QStringLiteral("on2.bmp"));
}

TEST(Options, TheTicketDateModeFollowsItsButtonsAndAFixedDateWins)
{
    using core::TicketDateMode;
    Options options;
    EXPECT_EQ(options.ticketDateMode(), TicketDateMode::EachPrint);
    options.setDateEachPrint(false);
    options.setDateAtRouteSet(true);
    EXPECT_EQ(options.ticketDateMode(), TicketDateMode::AtRouteSet);
    // A settings file may select more than one button of the group.
    options.setDateFixed(true);
    EXPECT_EQ(options.ticketDateMode(), TicketDateMode::Fixed);
}

TEST(Options, DataValuesOneToThreeChooseASoundAndOthersNone)
{
    Options options;
    options.setStepSound1(QStringLiteral("s1.wav"));
    options.setStepSound2(QStringLiteral("s2.wav"));
    options.setStepSound3(QStringLiteral("s3.wav"));
    options.setPreBroadcastSound1(QStringLiteral("p1.wav"));
    options.setPreBroadcastSound2(QStringLiteral("p2.wav"));
    options.setPreBroadcastSound3(QStringLiteral("p3.wav"));
    for (int k = 1; k <= 3; ++k) {
        EXPECT_EQ(options.stepSound(k), QStringLiteral("s%1.wav").arg(k));
        EXPECT_EQ(options.preBroadcastSound(k), QStringLiteral("p%1.wav").arg(k));
    }
    for (const int other : {-1, 0, 4}) {
        EXPECT_EQ(options.stepSound(other), QString()) << other;
        EXPECT_EQ(options.preBroadcastSound(other), QString()) << other;
    }
}

TEST(Options, ACheckValueOfOneOrTheGreyedTwoIsOn)
{
    EXPECT_FALSE(core::isOn(0));
    EXPECT_TRUE(core::isOn(1));
    EXPECT_TRUE(core::isOn(2));
}

TEST(Options, ResettingOnePlaceLeavesTheOtherAlone)
{
    Options options;
    options.setSpeechRate(300);
    options.setDisplayZoom(2);
    options.setFareDataFolder(QStringLiteral("/srv/fares"));
    options.resetToDefaults(OptionStore::Preferences);
    EXPECT_EQ(options.speechRate(), 175);
    EXPECT_EQ(options.displayZoom(), 1);
    EXPECT_EQ(options.fareDataFolder(), QStringLiteral("/srv/fares"));
}
