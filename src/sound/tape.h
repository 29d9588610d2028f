#pragma once

#include "core/announcements.h"
#include "sound/soundplayer.h"
#include "speech/speechengine.h"

#include <QObject>
#include <QString>
#include <memory>
#include <vector>

namespace audio
{
class StartGate;
}

namespace formats
{
enum class OptionId : int;
}

namespace core
{
class Options;
using formats::OptionId;
} // namespace core

namespace sound
{

// The broadcast tape: speaks the announcements of the current route (core::Announcements)
// one by one, with their pre-broadcast sounds, in the voice the options hold. It offers the
// facts the control panel's tape group is drawn from (speech available, what the last load
// found), each with a change signal; the group's captions and enabled states are the panel's.
// Every call is safe with or without a speech engine, so a window may hold on to the tape
// while the exit releases the engine under it.
class BroadcastTape : public QObject
{
    Q_OBJECT
public:
    using LoadState = core::Announcements::LoadState;

    // announcements, sounds and options outlive the tape. The pre-broadcast options are read
    // at each step; the voice's settings are the options' and follow them. The speech engine
    // is created once startGate lets start-up work run (nullptr: at once).
    BroadcastTape(core::Announcements& announcements, SoundPlayer& sounds, core::Options& options,
                  audio::StartGate* startGate = nullptr, QObject* parent = nullptr);
    ~BroadcastTape() override;

    core::Announcements& announcements() { return announcements_; }
    const core::Options& options() const { return options_; }
    const core::Announcements& announcements() const { return announcements_; }

    // What initSpeech creates the speech engine with; empty (the start) for the Japanese voice.
    // A run without that voice (a test) gives its own before the creation starts.
    void setSpeechEngineFactory(speech::SpeechEngineFactory factory)
    {
        engineFactory_ = std::move(factory);
    }

    // Starts creating the speech engine (control panel load) on a thread of its own, once the
    // start-up work may run. Until it is ready speech is unavailable, as after a failed
    // creation; a tape loaded meanwhile is kept. Nobody ever waits for that thread: a creation
    // still running when the tape goes delivers nowhere.
    void initSpeech();
    // Loads "<folder><route>tp.csv" (or the name differing from it only in letter case);
    // folder already ends in a separator when not empty.
    void loadTape(const QString& folder, const QString& route);
    // Moves one announcement on or back, plays its pre-broadcast sound and speaks it; at
    // either end the position stays and nothing sounds. After every move the entry that
    // "送り" speaks next is made ready in the background.
    void stepForward();
    void stepBack();
    void speakEntry(int position);
    void stopSpeech();
    // Drops the engine; a creation still under way is dropped when it arrives.
    void releaseSpeech();

    // Speed, pitch and volume of the voice, kept in the options, so that they hold before the
    // engine exists and are given to it when it arrives. Setting them changes the options,
    // each value brought into its range. Any change of them, here or in the options (a
    // preferences load), reaches the engine and emits speechSettingsChanged once.
    speech::SpeechSettings speechSettings() const;
    void setSpeechSettings(const speech::SpeechSettings& settings);
    // The name of the voice that speaks; empty without an engine.
    QString voiceName() const;
    // Speaks the voice's sample with trial settings, leaving the kept ones as they are; an
    // announcement that was sounding stops. Nothing without an engine.
    void speakSample(const speech::SpeechSettings& settings);
    // Stops the sample if it is still what sounds; an announcement spoken since goes on.
    void stopSample();

    // The tape buttons "送り" and "戻し": a step, then a data step when the new position's
    // step flag is 1.
    void pressNext();
    void pressBack();

    // The announcements' position and fields (core::Announcements).
    int position() const { return announcements_.position(); }
    int entryCount() const { return announcements_.entryCount(); }
    int stepFlag(int position) const { return announcements_.stepFlag(position); }
    int soundFlag(int position) const { return announcements_.soundFlag(position); }
    QString shownText(int position) const { return announcements_.shownText(position); }
    QString spokenText(int position) const { return announcements_.spokenText(position); }
    // A speech engine is there to speak with (none before initSpeech has found one, or where
    // none can be created).
    bool isSpeechAvailable() const { return speechAvailable_; }

    // What the last loadTape found, and its file note (core::Announcements).
    LoadState loadState() const { return announcements_.loadState(); }
    QString fileNote() const { return announcements_.fileNote(); }

signals:
    void speechAvailableChanged(bool available);
    // After every load, whether it read a file or not (forwarded from the announcements).
    void entriesChanged();
    void fileNoteChanged(const QString& note);
    // 1 = forward ("データ送り"), 0 = back ("データ戻し").
    void dataStepRequested(int direction);
    // The speech engine is created, or could not be.
    void speechDecided(bool available);
    // The voice's settings changed (the user took new ones in "音声の調節", or the options
    // were loaded).
    void speechSettingsChanged(const speech::SpeechSettings& settings);

private:
    struct EngineDelivery;

    void createEngineInBackground(quint64 generation);
    void onEngineCreated(quint64 generation, std::unique_ptr<speech::SpeechEngine> engine);
    void prepareNext();
    void setSpeechAvailable(bool available);
    void playPreBroadcast(const QString& file, Channel channel);
    void onOptionChanged(core::OptionId id);
    void applySpeechSettings();

    core::Announcements& announcements_;
    SoundPlayer& sounds_;
    core::Options& options_;
    audio::StartGate* startGate_;
    bool speechAvailable_ = false;
    std::unique_ptr<speech::SpeechEngine> engine_;
    speech::SpeechEngineFactory engineFactory_;
    quint64 engineGeneration_ = 0; // a newer initSpeech or a release drops older creations
    // Shared with the creations under way, which deliver through it while the tape is there.
    std::shared_ptr<EngineDelivery> delivery_;
    bool settingSpeech_ = false;  // setSpeechSettings() is writing the options
    bool sampleSounding_ = false; // the last thing spoken was the sample
};

} // namespace sound
