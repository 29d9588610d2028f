#pragma once

#include "core/modes.h"
#include "core/options.h"
#include "dialogs/pickers.h"
#include "options/optiontexts.h"
#include "platform/bgrcolor.h"
#include "platform/msgbox.h"
#include "tickets/pluginchoice.h"
#include "tickets/ticketplugincache.h"

#include <QDialog>
#include <QStringList>
#include <array>
#include <memory>
#include <vector>

class ColorButton;
class DigitElement;
class FareDisplay;
class GreyableCheckBox;
class PageButton;
class QComboBox;
class QFrame;
class QGroupBox;
class QLabel;
class QLineEdit;
class QListWidget;
class QPlainTextEdit;
class QPushButton;
class QRadioButton;

// The options dialog: a view of core::Options, bound live (optionbinding.h): every change of
// a control is in the options at once, and every change of the options shows in the controls.
// There is no cancel: shown modally, hidden by "OK" (which applies the display options) or by
// its close button (which does not).
//
// The dialog knows no control panel: it is told the panel's backlight (setBacklight) and
// reports by signals what the panel should redo; the composition root connects the two. The
// ticket plug-in it shows is the program's tickets::PluginChoice, which tells the panel the
// plug-in's preview size and company names; so the program creates the dialog only when it is
// first opened.
//
// Six pages: data folders, panel and ticket numbers, digits and information numbers, stop
// name, sounds, ticket preview. Each page is built and reacts in a source file of its own
// (optionsdialog_<page>.cpp).
class OptionsDialog : public QDialog
{
    Q_OBJECT
public:
    // Binds to `options`, which must outlive the dialog, as must `plugin`, `customColors` and
    // `boxes`; the controls take the options' values, and the dialog's messages go to boxes.
    // Without pickers, the real ones.
    OptionsDialog(core::Options& options, tickets::PluginChoice& plugin,
                  CustomColorTable& customColors, platform::MessageBoxes& boxes,
                  Pickers* pickers = nullptr, QWidget* parent = nullptr);
    // Without options the dialog has its own, at their defaults, and its own plug-in choice
    // and custom colours; without boxes, real message boxes.
    explicit OptionsDialog(core::Options& options, QWidget* parent = nullptr);
    explicit OptionsDialog(QWidget* parent = nullptr);
    OptionsDialog(Pickers& pickers, platform::MessageBoxes& boxes, QWidget* parent = nullptr);
    ~OptionsDialog() override;

    core::Options& options() { return *options_; }
    const core::Options& options() const { return *options_; }

    // The window the dialog applies its options to; may be null (nothing applied).
    void setFareDisplay(FareDisplay* display) { display_ = display; }
    // The backlight state chosen on the panel, which the look "OK" applies depends on. Off
    // until told.
    void setBacklight(core::Backlight state) { backlight_ = state; }
    core::Backlight backlight() const { return backlight_; }

    // The colour picker's custom colours, kept in the settings file.
    const CustomColorTable& customColors() const { return *customColors_; }
    void setCustomColors(const CustomColorTable& colors) { *customColors_ = colors; }

    // Applies the display options to the fare display window, then asks for the backlight
    // (backlightLookChanged).
    void applyDisplayOptions();
    // Loads a ticket plug-in (tickets::PluginChoice::load): its property list and comment
    // show here. False when the file is none (nothing changes then).
    bool loadPlugin(const QString& path);
    // The plug-in shown, which tells its preview size and company names.
    tickets::PluginChoice& pluginChoice() { return *plugin_; }
    // The plug-ins read, kept until their files change; shared with whatever draws the ticket.
    const std::shared_ptr<tickets::TicketPluginCache>& ticketPlugins() const
    {
        return plugin_->plugins();
    }
    // The start-up defaults of the options (core::Options::applyStartupDefaults).
    void applyStartupDefaults();

    // Options set as the user would set them in the dialog, with the same reactions: for a
    // run on given data and for tests of the windows that read them.
    void setFareDataFolder(const QString& folder);
    void setBroadcastDataFolder(const QString& folder);
    void setUseTicketPreview(int value);
    void setTicketPluginPath(const QString& path);
    void selectFixedDate();

signals:
    // The options that decide the backlight's look (panel pictures, ticket-number colours)
    // were applied or loaded: whoever shows the backlight re-applies the current state.
    void backlightLookChanged();
    // "路線データの取り込み..." was clicked: whoever knows the data folders opens the import.
    void routeImportRequested();

private:
    // The dialog's frame (optionsdialog.cpp).
    void buildPageButtons();
    void showPage(int index);
    void onOkClicked();
    void pickButtonColor(ColorButton* button);

    // Data folders.
    void buildFoldersPage(QGroupBox* page);
    QLineEdit* addFolderRow(QGroupBox* page, int y, const QString& caption,
                            const QString& openCaption, const QString& name);
    QString askForFolder();
    void onFolderPickClicked(QLineEdit* edit);

    // Panel pictures and ticket-number labels.
    void buildPanelPage(QGroupBox* page);
    void buildPanelPictureGroup(QGroupBox* page);
    void buildTicketNumberGroup(QGroupBox* page);
    // The display window's zoom, full screen and monitor, as its right-click menu sets them.
    void buildDisplayWindowControls(QGroupBox* page);
    void bindMonitorList(QComboBox& list);
    void onPanelChoiceToggled();
    void onPanelPicturePickClicked(int state);

    // Digit colours and information numbers.
    void buildDigitsPage(QGroupBox* page);
    void buildInfoNumberGroup(QGroupBox* page);
    void buildDigitColorGroup(QGroupBox* page);
    void showDigitColorsInPreview();

    // Stop name and the "次は" prefix.
    void buildStopNamePage(QGroupBox* page);

    // Sounds.
    void buildSoundsPage(QGroupBox* page);
    void buildStepSoundPanel(QGroupBox* page);
    void buildPreBroadcastPanel(QGroupBox* page);
    QLineEdit* addSoundSlot(QWidget* parent, int x, int y, const QString& name, int right = 474);
    void showSoundPanel(QGroupBox* panel);
    void onSoundPickClicked(QLineEdit* edit);

    // Ticket preview: plug-in and ticket date.
    void buildTicketPage(QGroupBox* page);
    void buildPluginGroup(QGroupBox* page);
    void buildTicketDateGroup(QGroupBox* page);
    void onUseTicketPreviewToggled();
    void onPluginPickClicked();
    void onPluginRemoveClicked();
    void showChosenPlugin();
    void onDatePickClicked();

    OptionsDialog(core::Options* options, tickets::PluginChoice* plugin,
                  CustomColorTable* customColors, platform::MessageBoxes& boxes, Pickers* pickers,
                  QWidget* parent);

    std::unique_ptr<core::Options> ownOptions_;
    core::Options* options_ = nullptr;
    std::unique_ptr<tickets::PluginChoice> ownPlugin_;
    tickets::PluginChoice* plugin_ = nullptr;
    std::unique_ptr<CustomColorTable> ownCustomColors_;
    CustomColorTable* customColors_ = nullptr;
    std::unique_ptr<QtPickers> ownPickers_;
    Pickers* pickers_ = nullptr;
    platform::MessageBoxes& boxes_;
    FareDisplay* display_ = nullptr;
    core::Backlight backlight_ = core::Backlight::Off;

    std::array<PageButton*, 6> pageButtons_{};
    std::array<QGroupBox*, 6> pages_{};
    QPushButton* okButton_ = nullptr;

    QLineEdit* fareDataFolderEdit_ = nullptr;
    QLineEdit* broadcastDataFolderEdit_ = nullptr;

    // Per backlight state, 0 OFF, 1 ON1, 2 ON2: the picture group, its built-in and user
    // panel choices, the user picture, and the colour of the ticket-number labels.
    QRadioButton* panelAutoOption_ = nullptr;
    QRadioButton* panelIndividualOption_ = nullptr;
    std::array<QGroupBox*, 3> panelPictureGroups_{};
    std::array<QRadioButton*, 3> builtinPanelOptions_{};
    std::array<QRadioButton*, 3> userPanelOptions_{};
    std::array<QLineEdit*, 3> panelPictureEdits_{};
    GreyableCheckBox* autoTicketNumbersCheck_ = nullptr;
    QFrame* ticketNumberFrame_ = nullptr;
    QComboBox* ticketNumberModeList_ = nullptr;
    GreyableCheckBox* ticketZeroPadCheck_ = nullptr;
    std::array<ColorButton*, 3> ticketColorButtons_{};

    GreyableCheckBox* infoStopOrderCheck_ = nullptr;
    QComboBox* infoStopOrderCellList_ = nullptr;
    GreyableCheckBox* infoStopOrderFromZeroCheck_ = nullptr;
    GreyableCheckBox* infoTicketCheck_ = nullptr;
    QComboBox* infoTicketCellList_ = nullptr;
    GreyableCheckBox* infoRouteCheck_ = nullptr;
    QComboBox* infoRouteCellList_ = nullptr;
    GreyableCheckBox* infoColumnCheck_ = nullptr;
    QComboBox* infoColumnList_ = nullptr;
    QComboBox* infoColumnCellList_ = nullptr;
    ColorButton* digitBackColorButton_ = nullptr;
    ColorButton* digitUnlitColorButton_ = nullptr;
    ColorButton* digitLitColorButton_ = nullptr;
    DigitElement* digitPreview_ = nullptr;

    ColorButton* stopNameBackColorButton_ = nullptr;
    ColorButton* stopNameForeColorButton_ = nullptr;
    QComboBox* stopNameFontList_ = nullptr;
    GreyableCheckBox* stopNameBoldCheck_ = nullptr;
    QComboBox* nextStopModeList_ = nullptr;
    QComboBox* nextStopFontList_ = nullptr;
    GreyableCheckBox* nextStopBoldCheck_ = nullptr;
    ColorButton* nextStopColorButton_ = nullptr;

    QLineEdit* routeSetSoundEdit_ = nullptr;
    QLineEdit* resetSoundEdit_ = nullptr;
    QPushButton* preBroadcastPanelButton_ = nullptr;
    QPushButton* stepSoundPanelButton_ = nullptr;
    QGroupBox* preBroadcastPanel_ = nullptr;
    QGroupBox* stepSoundPanel_ = nullptr;
    QRadioButton* stepSoundAlwaysOption_ = nullptr;
    QLineEdit* stepSoundFileEdit_ = nullptr;
    QRadioButton* stepSoundByColumnOption_ = nullptr;
    QComboBox* stepSoundColumnList_ = nullptr;
    QLineEdit* stepSound1Edit_ = nullptr;
    QLineEdit* stepSound2Edit_ = nullptr;
    QLineEdit* stepSound3Edit_ = nullptr;
    QRadioButton* stepSoundWaitOption_ = nullptr;
    QRadioButton* stepSoundNoWaitOption_ = nullptr;
    QRadioButton* preBroadcastAlwaysOption_ = nullptr;
    QLineEdit* preBroadcastFileEdit_ = nullptr;
    QRadioButton* preBroadcastByFlagOption_ = nullptr;
    QLineEdit* preBroadcastSound1Edit_ = nullptr;
    QLineEdit* preBroadcastSound2Edit_ = nullptr;
    QLineEdit* preBroadcastSound3Edit_ = nullptr;
    QRadioButton* preBroadcastWaitOption_ = nullptr;
    QRadioButton* preBroadcastNoWaitOption_ = nullptr;

    GreyableCheckBox* useTicketPreviewCheck_ = nullptr;
    QGroupBox* pluginGroup_ = nullptr;
    QLineEdit* pluginPathEdit_ = nullptr;
    QListWidget* pluginPropertyList_ = nullptr;
    QPlainTextEdit* pluginCommentView_ = nullptr;
    QGroupBox* ticketDateGroup_ = nullptr;
    QRadioButton* dateEachPrintOption_ = nullptr;
    QRadioButton* dateAtRouteSetOption_ = nullptr;
    QRadioButton* dateFixedOption_ = nullptr;
    QLabel* fixedDateLabel_ = nullptr;
};
