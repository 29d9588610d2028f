#include "sound/tape.h"

#include "audio/mediaplayer.h"
#include "audio/mixer.h"
#include "audio/startgate.h"
#include "core/options.h"
#include "sound/soundplayer.h"
#include "speech/speechengine.h"

#include <QFileInfo>
#include <QPointer>
#include <QScopedValueRollback>
#include <mutex>
#include <thread>

namespace sound
{

struct BroadcastTape::EngineDelivery {
    std::mutex mutex;
    BroadcastTape* tape = nullptr; // cleared when the tape goes
};

BroadcastTape::BroadcastTape(core::Announcements& announcements, SoundPlayer& sounds,
                             core::Options& options, audio::StartGate* startGate, QObject* parent)
    : QObject(parent), announcements_(announcements), sounds_(sounds), options_(options),
      startGate_(startGate), delivery_(std::make_shared<EngineDelivery>())
{
    delivery_->tape = this;
    // The entry the first "送り" speaks is made ready before the load is announced on.
    connect(&announcements_, &core::Announcements::entriesChanged, this,
            &BroadcastTape::prepareNext);
    connect(&announcements_, &core::Announcements::entriesChanged, this,
            &BroadcastTape::entriesChanged);
    connect(&announcements_, &core::Announcements::fileNoteChanged, this,
            &BroadcastTape::fileNoteChanged);
    connect(&options_, &core::Options::changed, this, &BroadcastTape::onOptionChanged);
}

BroadcastTape::~BroadcastTape()
{
    std::lock_guard lock(delivery_->mutex);
    delivery_->tape = nullptr;
}

void BroadcastTape::initSpeech()
{
    engine_.reset();
    setSpeechAvailable(false);
    const quint64 generation = ++engineGeneration_;
    QPointer<BroadcastTape> self(this);
    audio::afterStartUp(startGate_, [self, generation] {
        if (self)
            self->createEngineInBackground(generation);
    });
}

void BroadcastTape::createEngineInBackground(quint64 generation)
{
    if (generation != engineGeneration_)
        return;
    // Dictionaries and voices take a while to load: the windows go on meanwhile. The thread
    // is never joined, so that no exit waits on a creation stuck in a library; it hands the
    // engine over through the event loop while the tape is there, and otherwise drops it.
    std::thread([delivery = delivery_, generation, factory = engineFactory_,
                 output = sounds_.media().output().handle()] {
        auto engine = std::make_shared<std::unique_ptr<speech::SpeechEngine>>(
            factory ? factory() : speech::createSpeechEngine(output));
        std::lock_guard lock(delivery->mutex);
        if (BroadcastTape* tape = delivery->tape)
            // Posted to the tape: if it goes before the event runs, the event goes with it.
            QMetaObject::invokeMethod(
                tape,
                [tape, generation, engine] {
                    tape->onEngineCreated(generation, std::move(*engine));
                },
                Qt::QueuedConnection);
    }).detach();
}

void BroadcastTape::onEngineCreated(quint64 generation,
                                    std::unique_ptr<speech::SpeechEngine> engine)
{
    if (generation != engineGeneration_)
        return;
    engine_ = std::move(engine);
    if (engine_)
        engine_->setSettings(speechSettings());
    setSpeechAvailable(engine_ != nullptr);
    prepareNext();
    emit speechDecided(speechAvailable_);
}

void BroadcastTape::loadTape(const QString& folder, const QString& route)
{
    announcements_.load(folder, route);
}

void BroadcastTape::stepForward()
{
    if (!announcements_.moveForward())
        return;
    const int position = announcements_.position();
    const int flag = soundFlag(position);
    if (options_.preBroadcastAlways())
        playPreBroadcast(options_.preBroadcastFile(), Channel::S3);
    else if (flag >= 1 && flag <= 3)
        playPreBroadcast(options_.preBroadcastSound(flag), Channel::S3);
    speakEntry(position);
    prepareNext();
}

void BroadcastTape::stepBack()
{
    if (!announcements_.moveBack()) {
        prepareNext();
        return;
    }
    const int position = announcements_.position();
    const int flag = soundFlag(position);
    if (flag >= 1 && flag <= 3)
        playPreBroadcast(options_.preBroadcastSound(flag), Channel::S2);
    speakEntry(position);
    prepareNext();
}

void BroadcastTape::prepareNext()
{
    if (engine_ && position() + 1 <= entryCount())
        engine_->prepare(announcements_.nextSpokenText());
}

void BroadcastTape::playPreBroadcast(const QString& file, Channel channel)
{
    sounds_.play(file, channel,
                 options_.preBroadcastWait() ? SoundPlayer::Wait::UntilEnd : SoundPlayer::Wait::No);
}

void BroadcastTape::speakEntry(int position)
{
    if (!engine_)
        return;
    sampleSounding_ = false;
    engine_->stop();
    engine_->speak(spokenText(position));
    if (engine_->status() == speech::SpeechStatus::Failed)
        engine_->stop();
}

void BroadcastTape::stopSpeech()
{
    sampleSounding_ = false;
    if (engine_)
        engine_->stop();
}

void BroadcastTape::releaseSpeech()
{
    ++engineGeneration_; // a creation still under way is dropped when it arrives
    sampleSounding_ = false;
    engine_.reset();
}

speech::SpeechSettings BroadcastTape::speechSettings() const
{
    return {options_.speechRate(), options_.speechPitch(), options_.speechVolume()};
}

void BroadcastTape::setSpeechSettings(const speech::SpeechSettings& settings)
{
    const speech::SpeechSettings held = settings.clamped();
    if (held == speechSettings())
        return;
    {
        // The three values are one change for the engine and for whoever listens.
        const QScopedValueRollback writing(settingSpeech_, true);
        options_.setSpeechRate(held.rate);
        options_.setSpeechPitch(held.pitch);
        options_.setSpeechVolume(held.volume);
    }
    applySpeechSettings();
}

void BroadcastTape::onOptionChanged(core::OptionId id)
{
    using core::OptionId;
    switch (id) {
    case OptionId::SpeechRate:
    case OptionId::SpeechPitch:
    case OptionId::SpeechVolume:
        if (!settingSpeech_)
            applySpeechSettings();
        break;
    default:
        break;
    }
}

void BroadcastTape::applySpeechSettings()
{
    const speech::SpeechSettings settings = speechSettings();
    if (engine_)
        engine_->setSettings(settings);
    emit speechSettingsChanged(settings);
}

QString BroadcastTape::voiceName() const
{
    return engine_ ? engine_->voiceName() : QString();
}

void BroadcastTape::speakSample(const speech::SpeechSettings& settings)
{
    if (!engine_)
        return;
    engine_->speakWith(speech::sampleText(), settings.clamped());
    sampleSounding_ = true;
}

void BroadcastTape::stopSample()
{
    if (sampleSounding_ && engine_)
        engine_->stop();
    sampleSounding_ = false;
}

void BroadcastTape::pressNext()
{
    stepForward();
    if (stepFlag(position()) == 1)
        emit dataStepRequested(1);
}

void BroadcastTape::pressBack()
{
    stepBack();
    if (stepFlag(position()) == 1)
        emit dataStepRequested(0);
}

void BroadcastTape::setSpeechAvailable(bool available)
{
    if (speechAvailable_ == available)
        return;
    speechAvailable_ = available;
    emit speechAvailableChanged(available);
}

} // namespace sound
