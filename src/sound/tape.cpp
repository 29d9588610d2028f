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

namespace sound
{

namespace
{

TapeOptions*& currentOptions()
{
    static TapeOptions* options = nullptr;
    return options;
}

constexpr const char* kSettingsTitle = "音声の調節";

} // namespace

void setTapeOptions(TapeOptions* options)
{
    currentOptions() = options;
}

TapeOptions* tapeOptions()
{
    return currentOptions();
}

BroadcastTape::BroadcastTape(QObject* parent) : QObject(parent) {}

BroadcastTape::~BroadcastTape()
{
    if (engineCreator_.joinable())
        engineCreator_.join();
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
    if (engineCreator_.joinable())
        engineCreator_.join();
    // Dictionaries, voices and the audio device take a while to load: the windows go on.
    // The destructor joins this thread, so the tape outlives the result's delivery.
    engineCreator_ = std::thread([this, generation] {
        auto engine =
            std::make_shared<std::unique_ptr<speech::SpeechEngine>>(speech::createSpeechEngine());
        QMetaObject::invokeMethod(
            this, [this, generation, engine] { onEngineCreated(generation, std::move(*engine)); },
            Qt::QueuedConnection);
    });
}

void BroadcastTape::onEngineCreated(quint64 generation,
                                    std::unique_ptr<speech::SpeechEngine> engine)
{
    if (generation != engineGeneration_)
        return;
    engine_ = std::move(engine);
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
    engine_->stop();
    engine_->speak(entryText(position));
    if (engine_->status() == speech::SpeechStatus::Failed)
        engine_->stop();
}

void BroadcastTape::stopSpeech()
{
    if (engine_)
        engine_->stop();
}

void BroadcastTape::showSpeechSettings(QWidget* owner)
{
    if (engine_)
        engine_->showSettingsDialog(owner, QString::fromUtf8(kSettingsTitle));
}

void BroadcastTape::releaseSpeech()
{
    ++engineGeneration_; // a creation still under way is dropped when it arrives
    engine_.reset();
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

BroadcastTape& theTape()
{
    static BroadcastTape tape;
    return tape;
}

bool fileExists(const QString& path)
{
    return !path.isEmpty() && QFileInfo(path).isFile();
}

} // namespace sound
