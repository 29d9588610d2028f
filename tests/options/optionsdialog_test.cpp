#include "options/optionsdialog.h"

#include "elements/digitelement.h"
#include "elements/nextstopnameboard.h"
#include "options/optiontexts.h"
#include "options/optionwidgets.h"
#include "platform/colorconversion.h"
#include "platform/msgbox.h"
#include "platform/runtimeerror.h"
#include "support/scriptedpickers.h"
#include "support/widgetlookup.h"
#include "testsupport.h"
#include "tickets/ticketlabels.h"

#include <QComboBox>
#include <QDesktopServices>
#include <QFrame>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QTemporaryDir>
#include <QUrl>
#include <gtest/gtest.h>

namespace
{

class OptionsDialogTest : public ::testing::Test
{
protected:
    template <class T> T* widget(const QString& name) { return findWidget<T>(dialog, name); }

    // The picture groups of the backlight states OFF, ON1 and ON2.
    std::vector<QGroupBox*> panelPictureGroups()
    {
        std::vector<QGroupBox*> groups;
        for (int state = 0; state < 3; ++state)
            groups.push_back(widget<QGroupBox>(QStringLiteral("panelPictureGroup%1").arg(state)));
        return groups;
    }

    testsupport::WithApplication app;
    testsupport::ScriptedPickers pickers;
    platform::MessageBoxRecorder messages;
    OptionsDialog dialog{pickers, messages};
};

QColor labelColor(QLabel* label)
{
    return label->palette().color(QPalette::WindowText);
}

// Every field away from its initial value, in the settings file's order.
core::OptionFileValues changedOptions()
{
    return fileValues(
        {// Folders
         QStringLiteral("/data/運賃"), QStringLiteral("/data/放送"),
         // Panel and ticket numbers
         0, 0x102030, 0x405060, 0x708090, 7, 1, 0, -1, 0, -1, -1, 0, 0, -1,
         QStringLiteral("/p/off.bmp"), QStringLiteral("/p/on1.gif"), QStringLiteral("/p/on2.jpg"),
         // Digits and information numbers
         0x010203, 0x040506, 0x070809, 1, 11, 1, 1, 5, 1, 2, 1, 149, 3,
         // Stop name
         0x111111, 0x222222, 4, 1, 2, 0x333333, 3, 1,
         // Sounds
         QStringLiteral("a.wav"), QStringLiteral("b.wav"), 0, -1, -1, 0, QStringLiteral("c.mp3"),
         42, QStringLiteral("d1.mid"), QStringLiteral("d2.mid"), QStringLiteral("d3.mid"), 0, -1, 0,
         -1, QStringLiteral("e.wav"), QStringLiteral("f1.wav"), QStringLiteral("f2.wav"),
         QStringLiteral("f3.wav"),
         // Ticket preview
         1, QString(), 0, 0, -1, QStringLiteral("2001/02/03")});
}

} // namespace

TEST_F(OptionsDialogTest, CreatedWithCaptionSizeAndFirstPage)
{
    EXPECT_EQ(dialog.windowTitle(), QStringLiteral("オプション"));
    EXPECT_EQ(dialog.size(), QSize(638, 374));
    EXPECT_TRUE(widget<PageButton>("pageButton0")->isChecked());
    EXPECT_FALSE(widget<QGroupBox>("page0")->isHidden());
    for (int i = 1; i < 6; ++i)
        EXPECT_TRUE(widget<QGroupBox>(QStringLiteral("page%1").arg(i))->isHidden());
    EXPECT_TRUE(widget<QPushButton>("stepSoundPanelButton")->isChecked());
    EXPECT_FALSE(widget<QGroupBox>("stepSoundPanel")->isHidden());
    EXPECT_TRUE(widget<QGroupBox>("preBroadcastPanel")->isHidden());
    EXPECT_EQ(widget<PageButton>("pageButton5")->text(),
              QStringLiteral("　　整理券　　　プレビュー"));
    EXPECT_EQ(widget<QComboBox>("ticketNumberModeList")->count(), 12);
    EXPECT_EQ(widget<QComboBox>("ticketNumberModeList")->itemText(0),
              QStringLiteral("1,2,3... 12 （既定の表示）"));
    EXPECT_EQ(widget<QComboBox>("infoColumnList")->count(), 150);
    EXPECT_EQ(widget<QComboBox>("stepSoundColumnList")->itemText(149), QStringLiteral("150"));
}

TEST_F(OptionsDialogTest, InitialOptionsAreTheDesignValues)
{
    dialog.applyStartupDefaults();
    const core::OptionFileValues expected =
        fileValues({QString(),
                    QString(), // folders
                    1,
                    0xFFFFFF,
                    0xC0FFC0,
                    0xC0FFC0,
                    0,
                    0,
                    -1,
                    0,
                    -1,
                    0,
                    -1,
                    0,
                    -1,
                    0, // panel
                    QString(),
                    QString(),
                    QString(), //
                    0x808080,
                    0x969696,
                    0x72D2F8,
                    0,
                    0,
                    0,
                    0,
                    0,
                    0,
                    0,
                    0,
                    0,
                    0, // digits
                    0x808080,
                    0x00FFFF,
                    -1,
                    0,
                    -1,
                    0x00FFFF,
                    -1,
                    0, // stop name
                    QString(),
                    QString(),
                    -1,
                    0,
                    0,
                    -1,
                    QString(),
                    0, // sounds
                    QString(),
                    QString(),
                    QString(),
                    -1,
                    0,
                    -1,
                    0, //
                    QString(),
                    QString(),
                    QString(),
                    QString(), //
                    0,
                    QString(),
                    -1,
                    0,
                    0, // ticket
                    QDate::currentDate().toString(QStringLiteral("yyyy/MM/dd"))});
    EXPECT_EQ(controlValues(dialog), expected);
    EXPECT_EQ(dialog.options().fileValues(), expected);
}

TEST_F(OptionsDialogTest, ToggledDependentsFollowTheirBoxes)
{
    auto* autoNumbers = widget<GreyableCheckBox>("autoTicketNumbersCheck");
    auto* ticketNumbers = widget<QFrame>("ticketNumberFrame");
    EXPECT_TRUE(ticketNumbers->isEnabled());
    autoNumbers->click();
    EXPECT_FALSE(ticketNumbers->isEnabled());
    autoNumbers->click();
    EXPECT_TRUE(ticketNumbers->isEnabled());

    auto* columnCheck = widget<GreyableCheckBox>("infoColumnCheck");
    auto* columnCell = widget<QComboBox>("infoColumnCellList");
    auto* column = widget<QComboBox>("infoColumnList");
    EXPECT_FALSE(columnCell->isEnabled());
    columnCheck->click();
    EXPECT_TRUE(columnCell->isEnabled());
    EXPECT_TRUE(column->isEnabled());
    columnCheck->click();
    EXPECT_FALSE(columnCell->isEnabled());
    EXPECT_FALSE(column->isEnabled());

    widget<GreyableCheckBox>("infoStopOrderCheck")->click();
    EXPECT_TRUE(widget<QComboBox>("infoStopOrderCellList")->isEnabled());
    EXPECT_TRUE(widget<GreyableCheckBox>("infoStopOrderFromZeroCheck")->isEnabled());
    EXPECT_FALSE(widget<QComboBox>("infoTicketCellList")->isEnabled());

    // A user click never produces the greyed state; a stored greyed value counts as on.
    auto* ticketCheck = widget<GreyableCheckBox>("infoTicketCheck");
    auto* ticketCell = widget<QComboBox>("infoTicketCellList");
    ticketCheck->setValue(2);
    EXPECT_TRUE(ticketCell->isEnabled());
    ticketCheck->setValue(1);
    EXPECT_TRUE(ticketCell->isEnabled());
    ticketCheck->click();
    EXPECT_EQ(ticketCheck->value(), 0);
    EXPECT_FALSE(ticketCell->isEnabled());
}

TEST_F(OptionsDialogTest, PanelGroupsShowForIndividualPicturesAndKeepTheirSelections)
{
    for (QGroupBox* frame : panelPictureGroups()) {
        EXPECT_TRUE(frame->isHidden());
        EXPECT_FALSE(frame->isEnabled());
    }
    widget<QRadioButton>("panelIndividualOption")->click();
    for (QGroupBox* frame : panelPictureGroups()) {
        EXPECT_FALSE(frame->isHidden());
        EXPECT_TRUE(frame->isEnabled());
    }
    widget<QRadioButton>("userPanelOption0")->click();
    widget<QRadioButton>("userPanelOption2")->click();
    widget<QRadioButton>("panelAutoOption")->click();
    for (QGroupBox* frame : panelPictureGroups())
        EXPECT_TRUE(frame->isHidden());
    EXPECT_TRUE(dialog.options().panelOffUser());
    EXPECT_TRUE(dialog.options().panelOn2User());
    EXPECT_TRUE(dialog.options().panelOn1Builtin());
    EXPECT_TRUE(dialog.options().panelAuto());
}

TEST_F(OptionsDialogTest, PreviewSwitchShowsThePluginAndDateGroups)
{
    EXPECT_TRUE(widget<QGroupBox>("pluginGroup")->isHidden());
    widget<GreyableCheckBox>("useTicketPreviewCheck")->click();
    EXPECT_FALSE(widget<QGroupBox>("pluginGroup")->isHidden());
    EXPECT_TRUE(widget<QGroupBox>("ticketDateGroup")->isEnabled());
    widget<GreyableCheckBox>("useTicketPreviewCheck")->click();
    EXPECT_TRUE(widget<QGroupBox>("ticketDateGroup")->isHidden());
    EXPECT_FALSE(widget<QGroupBox>("pluginGroup")->isEnabled());
}

TEST_F(OptionsDialogTest, PageButtonsBringTheirPageToTheFront)
{
    widget<PageButton>("pageButton3")->click();
    EXPECT_FALSE(widget<QGroupBox>("page3")->isHidden());
    EXPECT_TRUE(widget<QGroupBox>("page0")->isHidden());
    widget<QPushButton>("preBroadcastPanelButton")->click();
    EXPECT_FALSE(widget<QGroupBox>("preBroadcastPanel")->isHidden());
    EXPECT_TRUE(widget<QGroupBox>("stepSoundPanel")->isHidden());
}

TEST_F(OptionsDialogTest, EveryFieldSurvivesTheRoundTrip)
{
    const core::OptionFileValues stored = changedOptions();
    dialog.options().setFileValues(stored);
    EXPECT_EQ(controlValues(dialog), stored);
    EXPECT_EQ(dialog.options().fileValues(), stored);

    // The readers see the same values.
    EXPECT_EQ(dialog.options().fareDataFolder(), QStringLiteral("/data/運賃"));
    EXPECT_EQ(dialog.options().infoColumn(), 149);
    EXPECT_EQ(dialog.options().infoColumnCell(), 3);
    EXPECT_EQ(dialog.options().stepSoundColumn(), 42);
    EXPECT_TRUE(dialog.options().stepSoundWait());
    EXPECT_TRUE(dialog.options().preBroadcastNoWait());
    EXPECT_TRUE(dialog.options().dateFixed());
    EXPECT_EQ(dialog.options().fixedDate(), QStringLiteral("2001/02/03"));
    EXPECT_EQ(dialog.options().panelOn2Picture(), QStringLiteral("/p/on2.jpg"));
}

TEST_F(OptionsDialogTest, LoadedValuesDriveTheDependentControls)
{
    core::OptionFileValues o = changedOptions();
    dialog.options().setFileValues(o);
    EXPECT_FALSE(widget<QFrame>("ticketNumberFrame")->isEnabled()); // AutoTicketNumbers 0
    EXPECT_TRUE(widget<QComboBox>("infoColumnCellList")->isEnabled());
    EXPECT_TRUE(widget<QComboBox>("infoColumnList")->isEnabled());
    EXPECT_TRUE(widget<GreyableCheckBox>("infoStopOrderFromZeroCheck")->isEnabled());
    for (QGroupBox* frame : panelPictureGroups())
        EXPECT_FALSE(frame->isHidden());
    EXPECT_FALSE(widget<QGroupBox>("pluginGroup")->isHidden());
    // The digit colours reach the preview element at once.
    EXPECT_EQ(widget<DigitElement>("digitPreview")->backColor(), platform::toQColor(0x010203));
    EXPECT_EQ(widget<DigitElement>("digitPreview")->litColor(), platform::toQColor(0x070809));

    OptionsDialog other;
    o.set(core::OptionId::InfoColumnOn, 0);
    o.set(core::OptionId::AutoTicketNumbers, 2);
    other.options().setFileValues(o);
    EXPECT_FALSE(findWidget<QComboBox>(other, "infoColumnCellList")->isEnabled());
    EXPECT_TRUE(findWidget<QFrame>(other, "ticketNumberFrame")->isEnabled());
    EXPECT_EQ(other.options().autoTicketNumbers(), 2);

    // A dialog created over options that are already loaded starts with its dependents in
    // step with them, as the program creates it only when first opened.
    core::Options loaded;
    loaded.setFileValues(o);
    OptionsDialog late(loaded);
    EXPECT_FALSE(findWidget<QComboBox>(late, "infoColumnCellList")->isEnabled());
    EXPECT_TRUE(findWidget<QComboBox>(late, "infoStopOrderCellList")->isEnabled());
    EXPECT_TRUE(findWidget<QFrame>(late, "ticketNumberFrame")->isEnabled());
    for (int state = 0; state < 3; ++state)
        EXPECT_FALSE(findWidget<QGroupBox>(late, QStringLiteral("panelPictureGroup%1").arg(state))
                         ->isHidden());
    EXPECT_EQ(findWidget<DigitElement>(late, "digitPreview")->backColor(),
              platform::toQColor(0x010203));
    EXPECT_EQ(controlValues(late), o);
}

// A value its control cannot show is left out of a load alone: the other fields are in, and
// the control keeps what it showed.
TEST_F(OptionsDialogTest, BadValuesAreLeftOutAndTheirControlsKeepTheirValues)
{
    core::OptionFileValues o = changedOptions();
    o.set(core::OptionId::InfoColumn, 150); // one past the last column
    o.set(core::OptionId::NextStopMode, -2);
    o.set(core::OptionId::TicketZeroPad, 3);
    const std::vector<core::RefusedValue> refused = dialog.options().replaceRefused(o);
    ASSERT_EQ(refused.size(), 3u);
    EXPECT_EQ(refused[0].field, QStringLiteral("TicketZeroPad"));
    EXPECT_EQ(refused[1].value, 150);
    EXPECT_EQ(refused[2].value, -2);
    dialog.options().setFileValues(o);

    EXPECT_EQ(dialog.options().digitLitColor(), 0x070809);
    EXPECT_EQ(dialog.options().infoRouteCell(), 2);
    EXPECT_EQ(dialog.options().infoColumnCell(), 3);
    EXPECT_EQ(dialog.options().stopNameBackColor(), 0x111111);
    EXPECT_EQ(widget<QComboBox>("infoColumnList")->currentIndex(), 0);
    EXPECT_EQ(widget<QComboBox>("nextStopModeList")->currentIndex(), -1);
    EXPECT_EQ(widget<GreyableCheckBox>("ticketZeroPadCheck")->value(), 0);
    EXPECT_EQ(controlValues(dialog), dialog.options().fileValues());
}

TEST_F(OptionsDialogTest, AnyColourOrPathIsAccepted)
{
    core::OptionFileValues o = changedOptions();
    o.set(core::OptionId::TicketColorOff, static_cast<qint64>(0x80000005));
    o.set(core::OptionId::DigitBackColor, -1);
    o.set(core::OptionId::FareDataFolder, QStringLiteral("\\\\server\\共有\\*?<>|"));
    EXPECT_TRUE(dialog.options().replaceRefused(o).empty());
    dialog.options().setFileValues(o);
    EXPECT_EQ(controlValues(dialog), o);
    EXPECT_EQ(widget<ColorButton>("ticketColorButton0")->backColor(),
              static_cast<platform::BgrColor>(0x80000005));
    EXPECT_EQ(widget<ColorButton>("digitBackColorButton")->backColor(), -1);
    dialog.grab(); // paints the odd colours
}

TEST_F(OptionsDialogTest, ApplyReappliesTheBacklightSelectedOnThePanel)
{
    TestControlPanel panel;
    panel.attach(dialog);
    panel.select(core::Backlight::On1);
    dialog.options().setFileValues(changedOptions());
    EXPECT_TRUE(panel.switches.empty()) << "the settings load re-applies it, not the dialog";
    dialog.applyDisplayOptions();
    EXPECT_EQ(panel.switches, std::vector<int>{1});
    panel.select(core::Backlight::On2);
    dialog.applyDisplayOptions();
    EXPECT_EQ(panel.switches, (std::vector<int>{1, 2}));
}

TEST_F(OptionsDialogTest, ApplyColoursEveryElementAndNumbersTheLabels)
{
    testsupport::StandInDisplay display;
    TestControlPanel panel;
    dialog.setFareDisplay(&display);
    panel.attach(dialog);
    core::OptionFileValues o = changedOptions();
    o.set(core::OptionId::AutoTicketNumbers, 1);
    o.set(core::OptionId::TicketNumberMode, 1);
    o.set(core::OptionId::TicketZeroPad, 1);
    dialog.options().setFileValues(o);
    panel.switches.clear();
    panel.select(core::Backlight::On1);

    dialog.applyDisplayOptions();

    for (int i = 1; i <= 12; ++i) {
        EXPECT_FALSE(display.ticketLabel(i)->isHidden());
        EXPECT_EQ(labelColor(display.ticketLabel(i)), platform::toQColor(0x405060));
        EXPECT_EQ(display.fareElement(i)->backColor(), platform::toQColor(0x010203));
        EXPECT_EQ(display.fareElement(i)->unlitColor(), platform::toQColor(0x040506));
        EXPECT_EQ(display.fareElement(i)->litColor(), platform::toQColor(0x070809));
    }
    for (int i = 0; i < 2; ++i) {
        EXPECT_EQ(display.clockElement(i)->backColor(), platform::toQColor(0x010203));
        EXPECT_EQ(display.clockElement(i)->unlitColor(), platform::toQColor(0x040506));
        EXPECT_EQ(display.clockElement(i)->litColor(), platform::toQColor(0x070809));
    }
    const TicketLabelNumbering numbering = ticketLabelNumbering(1, 1);
    for (int i = 1; i <= 12; ++i) {
        if (numbering.captions[i - 1]) {
            EXPECT_EQ(display.ticketLabel(i)->text(), *numbering.captions[i - 1]) << i;
        }
    }

    NextStopNameBoard* board = display.stopNameBoard();
    EXPECT_EQ(board->backColor(), platform::toQColor(0x111111));
    EXPECT_EQ(board->foreColor(), platform::toQColor(0x222222));
    EXPECT_EQ(board->fontMode(), 4);
    EXPECT_TRUE(board->fontBold());
    EXPECT_EQ(board->prefixMode(), 2);
    EXPECT_EQ(board->prefixColor(), platform::toQColor(0x333333));
    EXPECT_EQ(board->prefixFontMode(), 3);
    EXPECT_TRUE(board->prefixBold());
    EXPECT_EQ(panel.switches, std::vector<int>{1});
}

TEST_F(OptionsDialogTest, GreyedBoldBoxesAndHiddenLabels)
{
    testsupport::StandInDisplay display;
    dialog.setFareDisplay(&display);
    widget<GreyableCheckBox>("stopNameBoldCheck")->setValue(2);
    widget<GreyableCheckBox>("nextStopBoldCheck")->setValue(2);
    widget<GreyableCheckBox>("autoTicketNumbersCheck")->setValue(0);
    dialog.applyDisplayOptions();
    EXPECT_FALSE(display.stopNameBoard()->fontBold());
    EXPECT_FALSE(display.stopNameBoard()->prefixBold());
    for (int i = 1; i <= 12; ++i)
        EXPECT_TRUE(display.ticketLabel(i)->isHidden());
    // Without a control panel the labels take the OFF colour.
    EXPECT_EQ(labelColor(display.ticketLabel(5)),
              platform::toQColor(dialog.options().ticketColorOff()));
}

TEST_F(OptionsDialogTest, PickedDigitColourShowsInThePreviewAtOnceAndOnTheDisplayAfterOk)
{
    testsupport::StandInDisplay display;
    dialog.setFareDisplay(&display);
    pickers.colorAnswers = {platform::RGB(10, 20, 30)};
    const QColor before = display.fareElement(1)->litColor();
    dialog.show();
    widget<ColorButton>("digitLitColorButton")->click();
    EXPECT_EQ(pickers.colorsOffered, std::vector<platform::BgrColor>{0x72D2F8});
    EXPECT_EQ(widget<DigitElement>("digitPreview")->litColor(), QColor(10, 20, 30));
    EXPECT_EQ(display.fareElement(1)->litColor(), before);
    widget<QPushButton>("okButton")->click();
    EXPECT_EQ(display.fareElement(1)->litColor(), QColor(10, 20, 30));
    EXPECT_TRUE(dialog.isHidden());

    // A cancelled colour picker changes nothing.
    widget<ColorButton>("stopNameForeColorButton")->click();
    EXPECT_EQ(dialog.options().stopNameForeColor(), 0x00FFFF);
}

TEST_F(OptionsDialogTest, CloseButtonOnlyHides)
{
    testsupport::StandInDisplay display;
    TestControlPanel panel;
    dialog.setFareDisplay(&display);
    panel.attach(dialog);
    widget<ColorButton>("digitBackColorButton")->setBackColor(0x123456);
    dialog.show();
    dialog.close();
    EXPECT_TRUE(dialog.isHidden());
    EXPECT_TRUE(panel.switches.empty());
    EXPECT_NE(display.fareElement(1)->backColor(), platform::toQColor(0x123456));
    dialog.show(); // shown again as it was
    EXPECT_EQ(dialog.options().digitBackColor(), 0x123456);
}

TEST_F(OptionsDialogTest, DatePickerWritesTheFixedDate)
{
    widget<GreyableCheckBox>("useTicketPreviewCheck")->setValue(1);
    const QString before = dialog.options().fixedDate();
    widget<QPushButton>("datePickButton")->click(); // cancelled
    EXPECT_EQ(dialog.options().fixedDate(), before);
    pickers.dateAnswers = {QDate(2009, 3, 5)};
    widget<QPushButton>("datePickButton")->click();
    EXPECT_EQ(widget<QLabel>("fixedDateLabel")->text(), QStringLiteral("2009/03/05"));
    ASSERT_EQ(pickers.datesOffered.size(), 2u);
    EXPECT_TRUE(pickers.datesOffered[1].isNull()); // no date handed over
}

TEST_F(OptionsDialogTest, FileAndFolderPickersFillTheirBoxes)
{
    pickers.folderAnswers = {QStringLiteral("/srv/fares")};
    widget<QPushButton>("fareDataFolderPickButton")->click();
    widget<QPushButton>("broadcastDataFolderPickButton")->click(); // cancelled
    EXPECT_EQ(dialog.options().fareDataFolder(), QStringLiteral("/srv/fares"));
    EXPECT_TRUE(dialog.options().broadcastDataFolder().isEmpty());
    EXPECT_EQ(pickers.folderTitles.front(), QStringLiteral("フォルダーを選択してください"));

    pickers.fileAnswers = {QStringLiteral("/snd/chime.wav"), QStringLiteral("/pic/on1.bmp")};
    widget<QPushButton>("stepSound3PickButton")->click();
    // The picture buttons work only for individual pictures.
    widget<QRadioButton>("panelIndividualOption")->click();
    widget<QPushButton>("panelPicturePickButton1")->click();
    EXPECT_EQ(dialog.options().stepSound3(), QStringLiteral("/snd/chime.wav"));
    EXPECT_EQ(dialog.options().panelOn1Picture(), QStringLiteral("/pic/on1.bmp"));
    ASSERT_EQ(pickers.fileCalls.size(), 2u);
    EXPECT_EQ(pickers.fileCalls[0].title, QStringLiteral("サウンドの選択"));
    EXPECT_EQ(pickers.fileCalls[0].filter, soundFilter());
    EXPECT_EQ(pickers.fileCalls[1].title, QStringLiteral("パネル画像の選択"));
    EXPECT_EQ(pickers.fileCalls[1].filter, panelPictureFilter());
    EXPECT_TRUE(pickers.fileCalls[1].initialFolder.isEmpty());
}

class UrlCatcher : public QObject
{
    Q_OBJECT
public:
    QList<QUrl> urls;
public slots:
    void open(const QUrl& url) { urls << url; }
};

TEST_F(OptionsDialogTest, ExplorerButtonsOpenExistingFoldersOnlyAndSayWhyNot)
{
    UrlCatcher catcher;
    QDesktopServices::setUrlHandler(QStringLiteral("file"), &catcher, "open");
    QTemporaryDir folder;
    widget<QLineEdit>("broadcastDataFolderEdit")->setText(folder.path());
    widget<QPushButton>("broadcastDataFolderOpenButton")->click();
    EXPECT_TRUE(messages.calls().empty());
    const QString missing = folder.filePath(QStringLiteral("missing"));
    widget<QLineEdit>("fareDataFolderEdit")->setText(missing);
    widget<QPushButton>("fareDataFolderOpenButton")->click();
    widget<QLineEdit>("fareDataFolderEdit")->clear();
    widget<QPushButton>("fareDataFolderOpenButton")->click();
    QDesktopServices::unsetUrlHandler(QStringLiteral("file"));
    ASSERT_EQ(catcher.urls.size(), 1);
    EXPECT_EQ(catcher.urls[0], QUrl::fromLocalFile(folder.path()));
    ASSERT_EQ(messages.calls().size(), 2u);
    EXPECT_EQ(messages.calls()[0].prompt,
              QStringLiteral("フォルダーが見つかりません。\n\n") + missing);
    EXPECT_EQ(messages.calls()[1].prompt, QStringLiteral("フォルダーが指定されていません。"));

    // Nothing on this desktop opens folders (no handler, no xdg-open offscreen): the
    // operator is told which folder to open by other means.
    messages.clear();
    widget<QPushButton>("broadcastDataFolderOpenButton")->click();
    ASSERT_EQ(messages.calls().size(), 1u);
    EXPECT_TRUE(messages.calls()[0].prompt.startsWith(
        QStringLiteral("フォルダーを開くファイルマネージャーが見つかりません。")));
    EXPECT_TRUE(messages.calls()[0].prompt.endsWith(folder.path()));
    EXPECT_EQ(messages.calls()[0].buttons,
              platform::MessageBox::OKOnly | platform::MessageBox::Exclamation);
}

#include "optionsdialog_test.moc"

TEST_F(OptionsDialogTest, CustomColoursAreOfferedToEveryPickerAndKept)
{
    CustomColorTable loaded{};
    for (size_t i = 0; i < loaded.size(); ++i)
        loaded[i] = platform::RGB(int(i), 0, 0);
    dialog.setCustomColors(loaded);
    dialog.show();

    // The user edits the custom colours in the picker, then cancels it.
    CustomColorTable edited = loaded;
    edited[0] = platform::RGB(9, 9, 9);
    pickers.customColorsLeft = edited;
    widget<ColorButton>("digitLitColorButton")->click();
    pickers.customColorsLeft.reset();
    widget<ColorButton>("stopNameForeColorButton")->click();

    ASSERT_EQ(pickers.customColorsOffered.size(), 2u);
    EXPECT_EQ(pickers.customColorsOffered[0], loaded);
    // The next picker is offered the colours the last one left, all 17 of them.
    EXPECT_EQ(pickers.customColorsOffered[1], edited);
    EXPECT_EQ(dialog.customColors(), edited);
}
