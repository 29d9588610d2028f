#pragma once

#include "app/faredisplaywindow.h"
#include "app/settingsfile.h"
#include "audio/mediaplayer.h"
#include "audio/midirenderer.h"
#include "audio/mixer.h"
#include "audio/startgate.h"
#include "core/options.h"
#include "dialogs/pickers.h"
#include "dialogs/routeimportdialog.h"
#include "platform/msgbox.h"
#include "platform/wait.h"
#include "sound/soundplayer.h"

#include <QObject>
#include <QPointer>
#include <QString>
#include <chrono>
#include <memory>

class ControlPanelWiring;
class ControlPanel;
class DisplayLossWatch;
class OptionsDialog;
class TerminationSignals;

namespace core
{
class RouteSession;
}

namespace sound
{
class BroadcastTape;
}

// The running system: the options, the fare display window and the control panel, brought up
// in their fixed order and taken down through the control panel; the options dialog, created
// when it is first opened. Every exit saves the settings before anything is released.
class Program : public QObject
{
    Q_OBJECT
public:
    // settingsPath: the settings file in use (settingsPathForThisRun() or --settings). Every
    // pause of the program waits on clock, and every question and notice goes to boxes; both
    // outlive the program.
    Program(const QString& settingsPath, platform::WaitClock& clock, platform::MessageBoxes& boxes);
    ~Program() override;

    // The start-up order: blank fares, built-in defaults, options loaded, control panel
    // shown, windows placed, display shaped and repainted, settings applied last. An end
    // asked for meanwhile (a signal while a start-up message is open) happens once the
    // settings are applied, so that what is saved is the user's whole state.
    void start();

    // True once the program has ended; after start() the event loop is then not to run.
    bool hasEnded() const { return state_ == State::Ended; }

    FareDisplayWindow& display() { return display_; }
    // The one store of the options; the dialog is its view.
    core::Options& options() { return optionValues_; }
    // The options dialog, created the first time it is asked for ("設定..." or a caller).
    OptionsDialog& optionsDialog();
    bool hasOptionsDialog() const { return optionsDialog_ != nullptr; }
    // "路線データの取り込み", opened from the options' folder page over the options dialog
    // (which owns it) and created then; nullptr before.
    RouteImportDialog* routeImportDialog() const { return routeImport_; }
    void openRouteImport();
    ControlPanel& controlPanel();
    SettingsFile& settings() { return settings_; }
    sound::BroadcastTape& tape();
    core::RouteSession& routeSession();
    // What plays the sounds, what they play into, and the gate the slow start-up work waits
    // at.
    audio::MediaPlayer& media() { return media_; }
    audio::AudioOutput& audioOutput() { return audioOutput_; }
    audio::StartGate& startGate() { return startGate_; }

    // The fare and broadcast data folders for this run only (--data); before start().
    void useDataFolderForThisRun(const QString& folder);

    // Ends as a confirmed exit does, without asking and without waiting on anyone: the
    // settings are saved (a failure goes to standard error) and finished() is emitted. Asked
    // again while the exit runs (a message of the save is open), it ends that message's loop.
    void endWithoutQuestion();

    // SIGTERM, SIGHUP and SIGINT end the program without a question; the session's request
    // to commit its data and a broken X connection save the settings.
    void handleSessionEnd();

    // From the exit's save on, nobody waits for the audio device any more, and the process
    // ends within the given time whatever is still stuck (the status: 0, or 1 after a lost
    // display, as Qt ends it then). The program sets it; tests, which go on in the same
    // process, leave it off.
    void boundTheExit(std::chrono::milliseconds deadline) { exitDeadline_ = deadline; }

signals:
    // The event loop is to end now (main connects it to QCoreApplication::exit).
    void finished();

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    enum class State { Created, Starting, Running, Ending, Ended };

    void applyInitialDefaults();
    void placeWindowsAtDefaults();
    void holdSlowWorkUntilPainted();
    void releaseSlowWork();
    void onShutdownRequested();
    // After the exit's save: whatever is still stuck is left to the end of the process.
    void leaveTheRestToTheProcessEnd(int status);
    // The session is ending or the display went away: no question can be asked.
    void saveForTheSession();
    // Saves on the way: after the options dialog closes and after a route setting.
    void saveAlongTheWay();

    State state_ = State::Created;
    bool endAsked_ = false;
    bool quietEnd_ = false;
    bool lastSaveFailed_ = false;
    std::chrono::milliseconds exitDeadline_{0}; // 0: the exit is not bounded
    bool exitBounded_ = false;
    platform::MessageBoxes& boxes_;
    audio::StartGate startGate_;
    // The audio device and the MIDI renderer outlive everything that plays sounds.
    audio::AudioOutput audioOutput_;
    audio::MidiRenderer midiRenderer_;
    audio::MediaPlayer media_;
    sound::SoundPlayer sounds_{media_};
    FareDisplayWindow display_;
    core::Options optionValues_;
    CustomColorTable customColors_{}; // the colour picker's, kept in the settings file
    std::unique_ptr<ControlPanelWiring> wiring_;
    std::unique_ptr<OptionsDialog> optionsDialog_; // goes before the panel it is connected to
    QPointer<RouteImportDialog> routeImport_;      // a child of the options dialog
    QtPickers pickers_;
    SettingsFile settings_;
    TerminationSignals* terminationSignals_ = nullptr;
    std::unique_ptr<DisplayLossWatch> displayLossWatch_;
    bool displayPainted_ = false; // while the slow start-up work waits for both windows
    bool panelPainted_ = false;
};
