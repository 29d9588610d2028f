#include "sound/tape.h"

#include "audio/startgate.h"
#include "platform/osinfo.h"
#include "platform/runtimeerror.h"
#include "sound/soundplayer.h"
#include "sound/tapeoptions.h"
#include "speech/speechengine.h"

#include <QDir>
#include <QFileInfo>
#include <QPointer>
#include <mutex>
#include <thread>

namespace sound
{

namespace
{

TapeOptions*& currentOptions()
{
    static TapeOptions* options = nullptr;
    return options;
}

} // namespace

void setTapeOptions(TapeOptions* options)
{
    currentOptions() = options;
}

TapeOptions* tapeOptions()
{
    return currentOptions();
}

struct BroadcastTape::EngineDelivery {
    std::mutex mutex;
    BroadcastTape* tape = nullptr; // cleared when the tape goes
};

BroadcastTape::BroadcastTape(QObject* parent)
    : QObject(parent), delivery_(std::make_shared<EngineDelivery>())
{
    delivery_->tape = this;
}

BroadcastTape::~BroadcastTape()
{
    std::lock_guard lock(delivery_->mutex);
    delivery_->tape = nullptr;
}

bool BroadcastTape::isWindowsVista()
{
    return platform::osName() == u"Windows Vista";
}

void BroadcastTape::initSpeech()
{
    engine_.reset();
    setSpeechAvailable(false);
    const quint64 generation = ++engineGeneration_;
    if (isWindowsVista()) {
        emit speechDecided(false);
        return;
    }
    QPointer<BroadcastTape> self(this);
    audio::afterStartUp([self, generation] {
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
    std::thread([delivery = delivery_, generation] {
        auto engine =
            std::make_shared<std::unique_ptr<speech::SpeechEngine>>(speech::createSpeechEngine());
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
        engine_->setSettings(speechSettings_);
    setSpeechAvailable(engine_ != nullptr);
    prepareNext();
    emit speechDecided(speechAvailable_);
}

void BroadcastTape::loadTape(const QString& folder, const QString& route)
{
    if (isWindowsVista())
        return;
    const QString path = findTapeFile(folder, route);
    const QString shownPath = QDir::toNativeSeparators(QFileInfo(path).absoluteFilePath());
    platform::TextEncoding encoding = platform::TextEncoding::Ascii;
    try {
        entries_ = readTapeFile(path, &encoding);
    } catch (const platform::RuntimeError& error) {
        // A missing or broken file only switches the tape off; the route still loads, and
        // the previous route's announcements must not stay behind. The file note says why,
        // for those who look.
        entries_.clear();
        position_ = 0;
        loadState_ = LoadState::Failed;
        setFileNote(error.number() == platform::ErrorNumber::FileNotFound
                        ? QStringLiteral("放送用データがありません: %1").arg(shownPath)
                        : QStringLiteral("放送用データを読めません: %1\n%2")
                              .arg(shownPath, error.description()));
        emit entriesChanged();
        return;
    }
    setFileNote(QStringLiteral("放送用データ: %1\n%2、%3 件")
                    .arg(shownPath, platform::encodingName(encoding))
                    .arg(entryCount()));
    loadState_ = entries_.empty() ? LoadState::Failed : LoadState::Loaded;
    position_ = 0;
    prepareNext();
    emit entriesChanged();
}

void BroadcastTape::stepForward()
{
    ++position_;
    if (position_ > entryCount()) {
        position_ = entryCount();
        return;
    }
    TapeOptions* options = tapeOptions();
    if (options) {
        const int flag = soundFlag(position_);
        if (options->preBroadcastAlways())
            playPreBroadcast(options->preBroadcastFile(), QStringLiteral("S3"));
        else if (flag >= 1 && flag <= 3)
            playPreBroadcast(options->preBroadcastSound(flag), QStringLiteral("S3"));
    }
    speakEntry(position_);
    prepareNext();
}

void BroadcastTape::stepBack()
{
    --position_;
    if (position_ < 1) {
        position_ = 1;
        prepareNext();
        return;
    }
    const int flag = soundFlag(position_);
    if (tapeOptions() && flag >= 1 && flag <= 3)
        playPreBroadcast(tapeOptions()->preBroadcastSound(flag), QStringLiteral("S2"));
    speakEntry(position_);
    prepareNext();
}

void BroadcastTape::prepareNext()
{
    if (engine_ && position_ + 1 <= entryCount())
        engine_->prepare(entryText(position_ + 1));
}

void BroadcastTape::playPreBroadcast(const QString& file, const QString& channel)
{
    playSound(file, channel, tapeOptions()->preBroadcastWait() ? 1 : 0, 0);
}

void BroadcastTape::speakEntry(int position)
{
    if (!engine_)
        return;
    sampleSounding_ = false;
    engine_->stop();
    engine_->speak(entryText(position));
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

void BroadcastTape::setSpeechSettings(const speech::SpeechSettings& settings)
{
    const speech::SpeechSettings held = settings.clamped();
    if (held == speechSettings_)
        return;
    speechSettings_ = held;
    if (engine_)
        engine_->setSettings(held);
    emit speechSettingsChanged(held);
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
    if (stepFlag(position_) == 1)
        emit dataStepRequested(1);
}

void BroadcastTape::pressBack()
{
    stepBack();
    if (stepFlag(position_) == 1)
        emit dataStepRequested(0);
}

const TapeEntry* BroadcastTape::entry(int position) const
{
    if (position < 1 || position > entryCount())
        return nullptr;
    return &entries_[size_t(position - 1)];
}

int BroadcastTape::stepFlag(int position) const
{
    const TapeEntry* e = entry(position);
    return e ? e->stepFlag : 0;
}

int BroadcastTape::soundFlag(int position) const
{
    const TapeEntry* e = entry(position);
    return e ? e->soundFlag : 0;
}

QString BroadcastTape::entryText(int position) const
{
    const TapeEntry* e = entry(position);
    return e ? e->text : QString();
}

void BroadcastTape::setSpeechAvailable(bool available)
{
    if (speechAvailable_ == available)
        return;
    speechAvailable_ = available;
    emit speechAvailableChanged(available);
}

void BroadcastTape::setFileNote(const QString& note)
{
    if (fileNote_ == note)
        return;
    fileNote_ = note;
    emit fileNoteChanged(note);
}

bool fileExists(const QString& path)
{
    return !path.isEmpty() && QFileInfo(path).isFile();
}

} // namespace sound
