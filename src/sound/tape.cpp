#include "sound/tape.h"

#include "platform/osinfo.h"
#include "platform/runtimeerror.h"
#include "sound/soundplayer.h"
#include "sound/tapeoptions.h"
#include "speech/speechengine.h"

#include <QFileInfo>

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

BroadcastTape::BroadcastTape(QObject* parent) : QObject(parent), groupCaption_(captionUnusable()) {}

BroadcastTape::~BroadcastTape() = default;

QString BroadcastTape::captionUsable()
{
    return QStringLiteral("音合使用可");
}

QString BroadcastTape::captionUnusable()
{
    return QStringLiteral("音合使用不可");
}

bool BroadcastTape::onVista()
{
    return platform::osName() == u"Windows Vista";
}

void BroadcastTape::InitSpeech()
{
    engine_.reset();
    if (!onVista())
        engine_ = speech::createSpeechEngine();
    speechAvailable_ = engine_ != nullptr;
    setGroupEnabled(speechAvailable_);
    setGroupCaption(speechAvailable_ ? captionUsable() : captionUnusable());
}

void BroadcastTape::LoadTape(const QString& folder, const QString& route)
{
    if (onVista())
        return;
    try {
        entries_ = readTapeFile(folder + route + QStringLiteral("tp.csv"));
    } catch (const platform::RuntimeError&) {
        // A missing or broken file only switches the tape off; the route still loads, and
        // the previous route's announcements must not stay behind.
        entries_.clear();
        tapePos_ = 0;
        setGroupEnabled(false);
        return;
    }
    if (speechAvailable_) {
        setGroupEnabled(true);
        setButtonsEnabled(true);
    }
    tapePos_ = 0;
}

void BroadcastTape::StepTapeForward()
{
    ++tapePos_;
    if (tapePos_ > TapeCount()) {
        tapePos_ = TapeCount();
        return;
    }
    TapeOptions* options = tapeOptions();
    if (options) {
        const int flag = SoundFlag(tapePos_);
        if (options->preBroadcastAlways())
            playPreBroadcast(options->preBroadcastFile(), QStringLiteral("S3"));
        else if (flag >= 1 && flag <= 3)
            playPreBroadcast(options->preBroadcastSound(flag), QStringLiteral("S3"));
    }
    SpeakEntry(tapePos_);
}

void BroadcastTape::StepTapeBack()
{
    --tapePos_;
    if (tapePos_ < 1) {
        tapePos_ = 1;
        return;
    }
    const int flag = SoundFlag(tapePos_);
    if (tapeOptions() && flag >= 1 && flag <= 3)
        playPreBroadcast(tapeOptions()->preBroadcastSound(flag), QStringLiteral("S2"));
    SpeakEntry(tapePos_);
}

void BroadcastTape::playPreBroadcast(const QString& file, const QString& channel)
{
    playSound(file, channel, tapeOptions()->preBroadcastWait() ? 1 : 0, 0);
}

void BroadcastTape::SpeakEntry(int p)
{
    if (!engine_)
        return;
    engine_->stop();
    engine_->speak(TapeText(p));
    if (engine_->status() == speech::SpeechStatus::Failed)
        engine_->stop();
}

void BroadcastTape::StopSpeech()
{
    if (engine_)
        engine_->stop();
}

void BroadcastTape::ShowSpeechSettings(QWidget* owner)
{
    if (engine_)
        engine_->showSettingsDialog(owner, QString::fromUtf8(kSettingsTitle));
}

void BroadcastTape::ReleaseSpeech()
{
    engine_.reset();
}

void BroadcastTape::PressTapeNext()
{
    StepTapeForward();
    if (StepFlag(tapePos_) == 1)
        emit dataStepRequested(1);
}

void BroadcastTape::PressTapeBack()
{
    StepTapeBack();
    if (StepFlag(tapePos_) == 1)
        emit dataStepRequested(0);
}

const TapeEntry* BroadcastTape::entry(int p) const
{
    if (p < 1 || p > TapeCount())
        return nullptr;
    return &entries_[size_t(p - 1)];
}

int BroadcastTape::StepFlag(int p) const
{
    const TapeEntry* e = entry(p);
    return e ? e->StepFlag : 0;
}

int BroadcastTape::SoundFlag(int p) const
{
    const TapeEntry* e = entry(p);
    return e ? e->SoundFlag : 0;
}

QString BroadcastTape::TapeText(int p) const
{
    const TapeEntry* e = entry(p);
    return e ? e->TapeText : QString();
}

void BroadcastTape::setGroupEnabled(bool enabled)
{
    if (groupEnabled_ == enabled)
        return;
    groupEnabled_ = enabled;
    emit groupEnabledChanged(enabled);
}

void BroadcastTape::setGroupCaption(const QString& caption)
{
    if (groupCaption_ == caption)
        return;
    groupCaption_ = caption;
    emit groupCaptionChanged(caption);
}

void BroadcastTape::setButtonsEnabled(bool enabled)
{
    if (buttonsEnabled_ == enabled)
        return;
    buttonsEnabled_ = enabled;
    emit buttonsEnabledChanged(enabled);
}

BroadcastTape& theTape()
{
    static BroadcastTape tape;
    return tape;
}

bool FileExists(const QString& path)
{
    return !path.isEmpty() && QFileInfo(path).isFile();
}

} // namespace sound
