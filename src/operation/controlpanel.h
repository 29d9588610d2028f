#pragma once

#include "core/modes.h"
#include "core/routesession.h"
#include "formats/controlpanelstate.h"
#include "operation/datafolders.h"
#include "operation/previewshift.h"
#include "platform/msgbox.h"
#include "platform/wait.h"
#include "sound/soundplayer.h"

#include <QByteArray>
#include <QRegion>
#include <QString>
#include <QStringList>
#include <QWidget>
#include <array>
#include <cstdint>
#include <functional>
#include <memory>

class FareDisplay;
class KeypadButton;
class QAbstractButton;
class QAction;
class QCheckBox;
class QComboBox;
class QDialog;
class QFrame;
class QGroupBox;
class QKeyEvent;
class QLabel;
class QListWidget;
class QMenu;
class QPaintDevice;
class QPushButton;
class QRadioButton;
class QScrollBar;
class TicketPreview;

namespace consolekeys
{
struct KeyCommand;
}

namespace sound
{
class BroadcastTape;
} // namespace sound

namespace tickets
{
class TicketPluginCache;
}

// The central control panel ("集中操作盤"): route entry by keypad or lists, stepping through the
// stops, display clear, night fare, backlight, scrolling of the stop-name board, the broadcast
// tape, the options and version boxes and the numbered-ticket preview. It owns the stop
// sequencing that drives the fare display window. Closing it ends the program.
class ControlPanel : public QWidget
{
    Q_OBJECT
public:
    // Window widths with the preview area hidden and shown, in twips.
    static constexpr int NarrowWidthTwips = 5385;
    static constexpr int WideWidthTwips = 9000;
    static constexpr int HeightTwips = 4830;

    // The two route-entry panels, in one place: the digit lists and the keypad.
    enum class EntryPanel { Lists, Keypad };
    Q_ENUM(EntryPanel)
    // The keypad's keys: the ten digits, "系統" and "区間".
    enum class KeypadKey {
        Digit0,
        Digit1,
        Digit2,
        Digit3,
        Digit4,
        Digit5,
        Digit6,
        Digit7,
        Digit8,
        Digit9,
        Route,
        Section,
    };
    Q_ENUM(KeypadKey)
    static constexpr int KeypadKeyCount = 12;
    // The key of a digit 0..9.
    static constexpr KeypadKey digitKey(int digit) { return static_cast<KeypadKey>(digit); }

    // display, options, tape, route, sounds, clock and boxes are not owned and must outlive
    // the panel; the panel reads the options at the moment it uses each, and the data folders
    // from dataFolders at each route setting. It shows the route session and sends it the
    // operator's route setting, steps and display clear. Without sounds the panel is silent.
    // Its pauses (the lamp test) wait on clock; its questions and errors go to boxes.
    ControlPanel(FareDisplay* display, const core::Options& options, DataFolderSource dataFolders,
                 sound::BroadcastTape* tape, core::RouteSession* route, sound::SoundPlayer* sounds,
                 platform::WaitClock& clock, platform::MessageBoxes& boxes,
                 QWidget* parent = nullptr);
    ~ControlPanel() override;

    // The options dialog that "設定..." shows modally (not owned).
    void setOptionsDialog(QDialog* dialog)
    {
        optionsDialog_ = [dialog] { return dialog; };
    }
    // The options dialog, asked for each time "設定..." is clicked: the program
    // creates it then, the first time.
    void setOptionsDialogSource(std::function<QDialog*()> source)
    {
        optionsDialog_ = std::move(source);
    }

    // Window load: the display window's caption, the keypad regions and the speech engine.
    // Runs once, when the panel is first shown.
    void onLoad();

    // Backlight "OFF", "ON1", "ON2": panel picture and ticket-number colour.
    void onBacklightSelected(core::Backlight state);
    // Puts stop row n (1-based) on the display.
    void showStop(int n);
    // The settings record; its place is the client area's (inside the window manager's frame),
    // the operator's own place while ">>" has shifted the window.
    ControlPanelState panelState() const;
    void restorePanelState(const ControlPanelState& info);

    // Route setting from the route and section the entry panel shows: the fare data is
    // loaded (a refusal is told in a message box), the lamp test runs and the first stop shows.
    void setRoute(EntryPanel panel);
    // Route setting of route and section given as text (digits), as if typed on the keypad:
    // both go into the keypad's displays, and the route is set from there.
    void setRouteFromText(const QString& route, const QString& section);
    // "データ戻し" or "データ送り": the stop sound, then the stop.
    void stepStop(core::StepDirection direction);
    // Display clear ("表示消去") switched on or off.
    void setDisplayCleared(bool on);
    // A keypad key: "系統" or "区間" empties its display and sends the digits that follow
    // there; a digit goes to the display they were sent to.
    void onKeypadKey(KeypadKey key);

    // The console's buttons another program may press, each as a click does.
    enum class Button {
        KeypadRouteSet, // "リセット" under the keypad: sets the route
        StepForward,    // "データ送り"
        StepBack,       // "データ戻し"
        DisplayClear,   // "表示消去" (checkable)
        NightFare,      // "深夜料金" (a check box)
        BacklightOff,
        BacklightOn1,
        BacklightOn2,
        TapeNext, // 送り
        TapeBack, // 戻し
        TapeStop, // ■
    };
    Q_ENUM(Button)
    // The button itself: clicking it does what the operator's click does, and it is usable
    // when isEnabled() holds (which takes its group's state into account).
    QAbstractButton* consoleButton(Button which) const;
    // The button's caption as the operator reads it ("データ送り", "深夜料金", ...).
    static QString buttonCaption(Button which);

    // The backlight state selected.
    core::Backlight selectedBacklight() const;
    // Shows the selected backlight again, after the options that decide its look changed.
    void reapplyBacklight() { onBacklightSelected(selectedBacklight()); }
    // Size of the numbered-ticket preview picture, in twips.
    void setTicketPreviewSize(int widthTwips, int heightTwips);
    // The company names a ticket can be printed with; none is chosen after a change.
    void setCompanyNames(const QStringList& names);
    QComboBox* companyList();

    // Where keypad digits go: "系統" turns them to the route display, "区間" back to the
    // section display, where they go at the start.
    enum class KeypadTarget { Section, Route };
    KeypadTarget keypadTarget() const { return keypadTarget_; }
    // The ticket date kept at the last route setting.
    QString ticketDate() const { return ticketDate_; }

    // What the broadcast tape group shows: its caption, whether it is usable, and whether
    // its 送り, 戻し and ■ are (調整 follows the group).
    struct TapeGroupState {
        QString caption;
        bool enabled = false;
        bool playButtonsEnabled = false;
        bool operator==(const TapeGroupState&) const = default;
    };
    enum class TapeLoad { None, Loaded, Failed };
    // The one rule for the tape group: captioned "音合使用可" when there is a speech engine and
    // "音合使用不可" when there is none; usable only with an engine, outside display clear and
    // unless the last broadcast file failed to load; 送り, 戻し and ■ only with announcements
    // loaded.
    static TapeGroupState tapeGroupState(bool speechAvailable, TapeLoad load, bool displayCleared);

    // The version box text; the settings file in use ends it when one is given.
    static QString versionText(const QString& settingsPath = QString());
    void setSettingsPath(const QString& path) { settingsPath_ = path; }

    // The plug-in call that draws the numbered ticket, with drawPluginTicket's arguments:
    // path, device, stop name, date, time, route number, ticket number, stop row, company
    // position. Tests put their own in to see what the panel passes.
    using TicketDrawer = std::function<void(const QString&, QPaintDevice*, const QByteArray&,
                                            const QByteArray&, const QByteArray&, std::int32_t,
                                            std::int16_t, std::int16_t, std::int16_t)>;
    void setTicketDrawer(TicketDrawer drawer);
    // The version box, given its owner, its style (always 1) and its text; tests put their
    // own in. nullptr restores the real box.
    using VersionBox = std::function<void(QWidget*, int, const QString&)>;
    void setVersionBox(VersionBox box);
    // The plug-ins read for drawing the ticket, kept until their files change; the program
    // shares the options dialog's, which has read the selected one already.
    void setTicketPlugins(std::shared_ptr<tickets::TicketPluginCache> plugins);

    // The exit after a confirmed close, also run without the question when the session
    // ends: lets the settings be saved (shutdownRequested) before anything is released, then
    // clears the board, releases the keypad shapes, closes the sounds and the speech engine
    // and ends the program. Runs once; a dialog open meanwhile returns to a panel that has
    // shut down and touches nothing it released.
    void shutDown();
    bool hasShutDown() const { return shutDown_; }

signals:
    // At the start of the exit, before anything is released: the settings are saved here.
    void shutdownRequested();
    // After a route setting that loaded its fare data and showed its first stop.
    void routeSet();
    // Another backlight state was selected (by a click, a key or a program).
    void backlightChanged(core::Backlight state);
    // A stop is on the display, with its name on the board: index is the route session's
    // stop index (row - 1). Not emitted for a stop a later click overtook.
    void stopShown(int index, const QString& name);

protected:
    void closeEvent(QCloseEvent* event) override;
    void showEvent(QShowEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void createRoutePanels();
    QFrame* createListPanel();
    QFrame* createKeypadPanel();
    void createStepControls();
    void createScrollFrame();
    // One row of the scroll frame: caption, bar and the label that shows the bar's value.
    QScrollBar* createScrollRow(int row, const QString& caption, int minimum, int maximum,
                                int pageStep, QLabel*& valueLabel);
    void createTapeGroup();
    void createPreviewArea();
    // Qt selects the first item added to an empty list; the company list keeps "none chosen"
    // until the operator picks a company.
    void keepCompanyUnchosen();
    void connectBacklightButton(core::Backlight state);
    // Keeps the company list just below the ticket preview, whatever size the plug-in gives it.
    void placeCompanyList();
    void connectTape();
    // Applies tapeGroupState to the group; runs whenever one of its inputs changes.
    void updateTapeGroup();
    // Plays on the sound player's channel, when the panel has one.
    void playSound(const QString& file, sound::Channel channel, sound::SoundPlayer::Wait wait);
    void setPanelWidth(int widthTwips);
    // From the frame's top-left corner to the client area's, as far as it is known yet.
    QPoint frameToClient() const;
    // Puts the client area's top-left corner at a screen point.
    void placeClientAt(const QPoint& topLeft);
    void applyBacklightPicture(core::Backlight state);
    void showStopName(int n);
    void drawTicketPreview(int n);
    void releaseKeypadRegions();
    // The current announcement's text, one line under the tape buttons; after a failed load,
    // why the broadcast file could not be used.
    void showTapeEntry();

    // Brings the other route-entry panel to the front by sending this one back.
    void sendEntryPanelBack(EntryPanel panel);
    // What display clear does to the windows, as the route session reports it.
    void showDisplayCleared(bool on);
    QFrame* entryPanel(EntryPanel panel) const { return routeEntryPanels_[int(panel)]; }
    KeypadButton* keypadKey(KeypadKey key) const { return keypadKeys_[int(key)]; }
    // True for a double-click on a route-entry panel's own surface, not on a control in it.
    bool isPanelSurfaceDoubleClick(QObject* watched, QEvent* event) const;

    // Keyboard operation: focus policies, the Tab order, the preview's copy key and the
    // filter that sees keys before the focused control.
    void setUpKeyboard();
    void updateCompanyListFocus();
    // A key for the focused control: Space and Enter press a focused button, a control keeps
    // the keys it moves with, and the console takes the rest. Returns whether it was taken.
    bool handleFocusedControlKey(QWidget* focus, QKeyEvent* event);
    // A console key clicks its button. Returns whether the key was one.
    bool handleConsoleKey(QKeyEvent* event);
    void runConsoleKey(const consolekeys::KeyCommand& command);
    // The keypad panel in front for typed digits; false while it is disabled.
    bool bringKeypadForward();
    void addKeyHints();
    void onScrollBarMoved(QScrollBar* bar, QLabel* valueLabel);
    void onPreviewToggled();
    void onCopyPreviewTriggered();
    void onOptionsClicked();
    void onVersionClicked();
    // "調整": the voice's settings dialog, talking to the tape alone.
    void onSpeechSettingsClicked();

    FareDisplay* display_;
    const core::Options* options_; // never null
    DataFolderSource dataFolders_;
    sound::BroadcastTape* tape_;
    core::RouteSession* route_;
    sound::SoundPlayer* sounds_;
    platform::WaitClock& clock_;
    platform::MessageBoxes& boxes_;
    std::function<QDialog*()> optionsDialog_;
    bool loaded_ = false;
    bool shutDown_ = false;
    QString settingsPath_;

    std::shared_ptr<tickets::TicketPluginCache> ticketPlugins_;
    TicketDrawer ticketDrawer_;
    VersionBox versionBox_;
    QString ticketDate_;
    // Counts what was asked of the display (a stop shown, the display cleared). Clicks run
    // while a stop is being shown (events pumped, a sound waited for) ask anew; the request
    // they overtook then leaves the display to them, so the last intent is what shows.
    quint64 displayRequests_ = 0;
    // The "次は" prefix mode, kept while a name is shown without the prefix.
    qint16 savedPrefixMode_ = 0;
    // The route-entry panel sent to the back last.
    EntryPanel entryPanelInBack_ = EntryPanel::Lists;
    KeypadTarget keypadTarget_ = KeypadTarget::Section;
    PreviewShift previewShift_;
    std::array<QRegion, KeypadKeyCount> keypadRegions_;

    // Route entry: two panels in one place, the digit lists (0) and the keypad (1).
    std::array<QFrame*, 2> routeEntryPanels_{};
    std::array<QListWidget*, 5> routeDigitLists_{};
    std::array<QListWidget*, 3> sectionDigitLists_{};
    QPushButton* listRouteSetButton_ = nullptr;
    std::array<KeypadButton*, KeypadKeyCount> keypadKeys_{}; // by KeypadKey
    QLabel* routeDisplay_ = nullptr;
    QLabel* sectionDisplay_ = nullptr;
    QPushButton* keypadRouteSetButton_ = nullptr;

    QPushButton* stepForwardButton_ = nullptr;
    QPushButton* stepBackButton_ = nullptr;
    QPushButton* displayClearButton_ = nullptr; // checkable
    QGroupBox* backlightGroup_ = nullptr;
    std::array<QRadioButton*, 3> backlightButtons_{};
    // Set when a backlight button turned on since it was last pressed, so that the click
    // that follows does not run the reaction a second time.
    bool backlightToggledSincePress_ = false;

    QFrame* scrollFrame_ = nullptr;
    QCheckBox* nightFareCheck_ = nullptr;
    QScrollBar* scrollSpeedBar_ = nullptr;
    QScrollBar* scrollIntervalBar_ = nullptr;
    QLabel* scrollSpeedLabel_ = nullptr;
    QLabel* scrollIntervalLabel_ = nullptr;

    QGroupBox* tapeGroup_ = nullptr;
    QPushButton* tapeBackButton_ = nullptr;
    QPushButton* tapeNextButton_ = nullptr;
    QPushButton* tapeStopButton_ = nullptr;
    QPushButton* tapeSettingsButton_ = nullptr;
    QLabel* tapeTextLabel_ = nullptr;

    QPushButton* optionsButton_ = nullptr;
    QPushButton* versionButton_ = nullptr;
    QPushButton* previewToggle_ = nullptr; // checkable
    TicketPreview* ticketPreview_ = nullptr;
    QLabel* companyCaption_ = nullptr;
    QComboBox* companyList_ = nullptr;
    QMenu* previewMenu_ = nullptr;
    QAction* copyPreviewAction_ = nullptr;
};
