#include "audio/mixer.h"

#include <QString>
#include <SDL.h>
#include <algorithm>
#include <chrono>
#include <condition_variable>
#include <cstring>
#include <thread>

namespace audio
{

// ---- buffers ----

void PcmBuffer::append(const qint16* frames, qsizetype count)
{
    {
        std::lock_guard lock(mutex_);
        samples_.insert(samples_.end(), frames, frames + count * kOutputChannels);
    }
    tellListeners();
}

void PcmBuffer::reserve(qsizetype count)
{
    std::lock_guard lock(mutex_);
    samples_.reserve(size_t(count) * kOutputChannels);
}

void PcmBuffer::finish()
{
    {
        std::lock_guard lock(mutex_);
        finished_ = true;
    }
    tellListeners();
}

bool PcmBuffer::isFinished() const
{
    std::lock_guard lock(mutex_);
    return finished_;
}

qsizetype PcmBuffer::frameCount() const
{
    std::lock_guard lock(mutex_);
    return qsizetype(samples_.size()) / kOutputChannels;
}

qsizetype PcmBuffer::read(qsizetype from, qint16* out, qsizetype count) const
{
    std::lock_guard lock(mutex_);
    const qsizetype available = qsizetype(samples_.size()) / kOutputChannels - from;
    const qsizetype n = std::clamp<qsizetype>(available, 0, count);
    if (n > 0)
        std::memcpy(out, samples_.data() + from * kOutputChannels,
                    size_t(n) * kOutputChannels * sizeof(qint16));
    return n;
}

qint64 PcmBuffer::lengthMs() const
{
    return frameCount() * 1000 / kOutputRate;
}

void PcmBuffer::addListener(const std::weak_ptr<Listener>& listener)
{
    std::lock_guard lock(mutex_);
    std::erase_if(listeners_, [](const std::weak_ptr<Listener>& l) { return l.expired(); });
    const bool known = std::any_of(listeners_.begin(), listeners_.end(), [&](const auto& l) {
        return !l.owner_before(listener) && !listener.owner_before(l);
    });
    if (!known)
        listeners_.push_back(listener);
}

void PcmBuffer::tellListeners()
{
    // Told outside the buffer's lock: a listener's own lock is taken before the buffer's
    // where the device reads it.
    std::vector<std::weak_ptr<Listener>> listeners;
    {
        std::lock_guard lock(mutex_);
        listeners = listeners_;
    }
    for (const std::weak_ptr<Listener>& weak : listeners)
        if (const std::shared_ptr<Listener> listener = weak.lock())
            listener->bufferChanged();
}

bool appendConverted(PcmBuffer& buffer, const void* data, qsizetype bytes, int rate, int channels,
                     quint16 sdlFormat)
{
    const SDL_AudioFormat format = sdlFormat != 0 ? sdlFormat : AUDIO_S16SYS;
    const qsizetype frameBytes = qsizetype(SDL_AUDIO_BITSIZE(format) / 8) * channels;
    if (frameBytes <= 0 || rate <= 0)
        return false;
    bytes -= bytes % frameBytes;
    if (bytes == 0)
        return true;
    // One conversion of the whole piece: SDL's streaming converter drops the end of a piece.
    SDL_AudioCVT cvt;
    if (SDL_BuildAudioCVT(&cvt, format, Uint8(channels), rate, AUDIO_S16SYS, kOutputChannels,
                          kOutputRate) < 0)
        return false;
    cvt.len = int(bytes);
    std::vector<Uint8> work(size_t(bytes) * size_t(std::max(cvt.len_mult, 1)));
    std::memcpy(work.data(), data, size_t(bytes));
    cvt.buf = work.data();
    if (cvt.needed && SDL_ConvertAudio(&cvt) != 0)
        return false;
    const int converted = cvt.needed ? cvt.len_cvt : int(bytes);
    buffer.append(reinterpret_cast<const qint16*>(work.data()),
                  converted / qsizetype(sizeof(qint16) * kOutputChannels));
    return true;
}

// ---- the output ----

namespace
{

// About 12 ms: a sound that starts while others play waits at most this long for its turn.
constexpr int kDeviceFrames = 512;

struct Source {
    quint64 id = 0;
    PcmBufferPtr buffer;
    qsizetype position = 0;
    int volume = 100;
    qint64 firstSampleNs = 0;
};

} // namespace

// What the device's thread, the opener and the handles share. The device's callback gets a
// plain pointer to it, so it lives until the device is closed: the owner closes an open
// device before letting go, and an opener that finishes after the owner has gone closes what
// it opened.
struct AudioOutput::Core : PcmBuffer::Listener, std::enable_shared_from_this<AudioOutput::Core> {
    std::mutex mutex;
    std::condition_variable wake;         // the device's thread, waiting for a sound
    std::condition_variable stateChanged; // open(), waiting for the opener
    OutputState state = OutputState::Closed;
    SDL_AudioDeviceID device = 0;
    QString driver;
    // The callback may wait for the next sound only where the driver's thread is SDL's own;
    // a driver that calls back from its sound server's thread must not be held up.
    bool mayIdle = false;
    bool closing = false;
    bool idle = false;
    bool abandoned = false; // nobody waits for the opener any more
    bool ownerGone = false; // no sound plays and no device opens any more
    std::vector<Source> sources;
    // When the last plays that ended started sounding (measurements ask after the end).
    std::vector<std::pair<quint64, qint64>> endedFirstSamples;
    quint64 lastId = 0;
    std::vector<int> mix;
    std::vector<qint16> scratch;

    void bufferChanged() override
    {
        std::lock_guard lock(mutex);
        wake.notify_all();
    }

    void start();
    void runOpener();
    // Until the opener has finished, unless the output was abandoned.
    void waitForOpener(std::unique_lock<std::mutex>& lock)
    {
        stateChanged.wait(lock, [this] { return state != OutputState::Opening || abandoned; });
    }
    void close();

    quint64 play(PcmBufferPtr buffer, int volumePercent);
    void stop(quint64 id)
    {
        std::lock_guard lock(mutex);
        std::erase_if(sources, [id](const Source& s) { return s.id == id; });
    }
    bool isPlaying(quint64 id)
    {
        std::lock_guard lock(mutex);
        return std::any_of(sources.begin(), sources.end(),
                           [id](const Source& s) { return s.id == id; });
    }
    qint64 firstSampleAtNs(quint64 id);
    void setVolume(quint64 id, int volumePercent)
    {
        std::lock_guard lock(mutex);
        for (Source& s : sources)
            if (s.id == id)
                s.volume = std::clamp(volumePercent, 0, 100);
    }
    OutputState currentState()
    {
        std::lock_guard lock(mutex);
        // An opener still at work after the owner went opens nothing anyone can play on.
        return ownerGone ? OutputState::Closed : state;
    }

    void mixSources(qint16* out, int frames);
    // True when a source has sound to give, or has ended and is to be removed.
    bool hasSound() const
    {
        return std::any_of(sources.begin(), sources.end(), [](const Source& s) {
            return s.buffer->isFinished() || s.buffer->frameCount() > s.position;
        });
    }
};

namespace
{

using Core = AudioOutput::Core;

void SDLCALL fillDeviceBuffer(void* userdata, Uint8* stream, int len)
{
    Core& o = *static_cast<Core*>(userdata);
    std::unique_lock lock(o.mutex);
    // Nothing to play, or only sounds still being made: sleep until there is sound, rather
    // than wake for every buffer of silence. New sound wakes this thread at once.
    while (!o.hasSound() && o.mayIdle && !o.closing) {
        o.idle = true;
        o.wake.wait(lock);
    }
    o.idle = false;
    o.mixSources(reinterpret_cast<qint16*>(stream), len / int(sizeof(qint16) * kOutputChannels));
}

bool openDeviceWithCurrentDriver(Core& o)
{
    if (SDL_InitSubSystem(SDL_INIT_AUDIO) != 0)
        return false;
    SDL_AudioSpec want{};
    want.freq = kOutputRate;
    want.format = AUDIO_S16SYS;
    want.channels = kOutputChannels;
    want.samples = kDeviceFrames;
    want.callback = &fillDeviceBuffer;
    want.userdata = &o;
    SDL_AudioSpec have{};
    const SDL_AudioDeviceID device = SDL_OpenAudioDevice(nullptr, 0, &want, &have, 0);
    if (device == 0) {
        SDL_QuitSubSystem(SDL_INIT_AUDIO);
        return false;
    }
    const QString driver = QString::fromUtf8(SDL_GetCurrentAudioDriver());
    std::lock_guard lock(o.mutex);
    o.device = device;
    o.driver = driver;
    o.mayIdle = driver != u"pipewire" && driver != u"jack";
    return true;
}

// SDL's audio subsystem is one per process, and its set-up calls (init, the driver hint,
// open, start, close, quit) are not safe from two threads at once: two outputs in one process
// (two programs in one test) take turns here. Process-wide because the library it guards is.
// The device's callback never takes it, and no exit waits for it: an output whose opener is
// stuck holding it is abandoned, and its owner leaves the device to the opener.
std::mutex& sdlAudioLock()
{
    static std::mutex lock;
    return lock;
}

bool openDevice(Core& o)
{
    const std::lock_guard sdl(sdlAudioLock());
    // Quitting is the program's business (SIGINT, SIGTERM), not the sound library's.
    SDL_SetHint(SDL_HINT_NO_SIGNAL_HANDLERS, "1");
    if (qEnvironmentVariableIsEmpty("SDL_AUDIODRIVER")) {
        // PulseAudio first (PipeWire serves it too): its thread is SDL's own, so an idle
        // device can sleep.
        SDL_SetHint(SDL_HINT_AUDIODRIVER, "pulseaudio");
        const bool opened = openDeviceWithCurrentDriver(o);
        SDL_ResetHint(SDL_HINT_AUDIODRIVER);
        if (opened)
            return true;
    }
    return openDeviceWithCurrentDriver(o);
}

// The caller has set closing and woken the device's thread, which may sleep in the callback
// holding SDL's device lock that closing takes.
void closeDevice(SDL_AudioDeviceID device)
{
    if (device == 0)
        return;
    const std::lock_guard sdl(sdlAudioLock());
    SDL_CloseAudioDevice(device);
    SDL_QuitSubSystem(SDL_INIT_AUDIO);
}

} // namespace

void AudioOutput::Core::mixSources(qint16* out, int frames)
{
    const size_t samples = size_t(frames) * kOutputChannels;
    mix.assign(samples, 0);
    scratch.resize(samples);
    for (auto it = sources.begin(); it != sources.end();) {
        Source& s = *it;
        const bool finished = s.buffer->isFinished();
        const qsizetype n = s.buffer->read(s.position, scratch.data(), frames);
        if (n > 0 && s.firstSampleNs == 0)
            s.firstSampleNs = steadyNs();
        for (size_t i = 0; i < size_t(n) * kOutputChannels; ++i)
            mix[i] += scratch[i] * s.volume / 100;
        s.position += n;
        if (finished && s.position >= s.buffer->frameCount()) {
            if (endedFirstSamples.size() >= 16)
                endedFirstSamples.erase(endedFirstSamples.begin());
            endedFirstSamples.emplace_back(s.id, s.firstSampleNs);
            it = sources.erase(it);
        } else {
            ++it;
        }
    }
    for (size_t i = 0; i < samples; ++i)
        out[i] = qint16(std::clamp(mix[i], -32768, 32767));
}

void AudioOutput::Core::start()
{
    {
        std::lock_guard lock(mutex);
        if (state != OutputState::Closed || ownerGone)
            return;
        state = OutputState::Opening;
    }
    // Connecting to the sound server can take a while; the windows must not wait for it. The
    // opener shares the state: it may still be at work when the owner goes.
    std::thread([self = shared_from_this()] { self->runOpener(); }).detach();
}

void AudioOutput::Core::runOpener()
{
    const bool opened = openDevice(*this);
    SDL_AudioDeviceID opening = 0;
    {
        std::lock_guard lock(mutex);
        opening = device;
    }
    // Started before it counts as open: the owner closes only an open device and leaves one
    // still opening to this thread, so the two never close the same device.
    if (opening != 0) {
        const std::lock_guard sdl(sdlAudioLock());
        SDL_PauseAudioDevice(opening, 0);
    }
    bool orphaned = false;
    {
        std::lock_guard lock(mutex);
        orphaned = opened && ownerGone;
        if (orphaned) {
            closing = true;
            wake.notify_all();
            device = 0;
            driver.clear();
        }
        state = orphaned ? OutputState::Closed : opened ? OutputState::Open : OutputState::Failed;
        if (state != OutputState::Open)
            sources.clear();
        stateChanged.notify_all();
    }
    if (orphaned)
        closeDevice(opening);
    releaseThreadState();
}

void AudioOutput::Core::close()
{
    SDL_AudioDeviceID closed = 0;
    {
        std::unique_lock lock(mutex);
        waitForOpener(lock);
        if (state == OutputState::Closed || state == OutputState::Opening)
            return;
        closing = true;
        sources.clear();
        wake.notify_all();
        closed = device;
    }
    closeDevice(closed);
    std::lock_guard lock(mutex);
    state = OutputState::Closed;
    device = 0;
    driver.clear();
    closing = false;
    idle = false;
}

quint64 AudioOutput::Core::play(PcmBufferPtr buffer, int volumePercent)
{
    if (!buffer)
        return 0;
    buffer->addListener(weak_from_this());
    bool startDevice = false;
    quint64 id = 0;
    {
        std::lock_guard lock(mutex);
        if (state == OutputState::Failed || ownerGone)
            return 0;
        startDevice = state == OutputState::Closed;
        id = ++lastId;
        sources.push_back({id, std::move(buffer), 0, std::clamp(volumePercent, 0, 100), 0});
        wake.notify_all();
    }
    if (startDevice)
        start();
    return id;
}

qint64 AudioOutput::Core::firstSampleAtNs(quint64 id)
{
    std::lock_guard lock(mutex);
    for (const Source& s : sources)
        if (s.id == id)
            return s.firstSampleNs;
    for (const auto& [ended, ns] : endedFirstSamples)
        if (ended == id)
            return ns;
    return 0;
}

void releaseThreadState()
{
    // Only SDL's own threads free this at their end.
    SDL_TLSCleanup();
}

qint64 steadyNs()
{
    return std::chrono::duration_cast<std::chrono::nanoseconds>(
               std::chrono::steady_clock::now().time_since_epoch())
        .count();
}

// ---- the owner ----

AudioOutput::AudioOutput() : core_(std::make_shared<Core>()) {}

AudioOutput::~AudioOutput()
{
    SDL_AudioDeviceID closed = 0;
    {
        std::lock_guard lock(core_->mutex);
        core_->ownerGone = true;
        core_->sources.clear();
        // A device still opening is the opener's to close; the exit never waits for it.
        if (core_->state != OutputState::Open)
            return;
        core_->closing = true;
        core_->wake.notify_all();
        closed = core_->device;
        core_->device = 0;
        core_->state = OutputState::Closed;
    }
    closeDevice(closed);
}

bool AudioOutput::open()
{
    start();
    std::unique_lock lock(core_->mutex);
    core_->waitForOpener(lock);
    return core_->state == OutputState::Open;
}

void AudioOutput::start()
{
    core_->start();
}

OutputState AudioOutput::waitWhileOpening(int ms)
{
    {
        std::unique_lock lock(core_->mutex);
        core_->stateChanged.wait_for(lock, std::chrono::milliseconds(ms), [this] {
            return core_->state != OutputState::Opening || core_->abandoned;
        });
    }
    return state();
}

OutputState AudioOutput::state() const
{
    return core_->currentState();
}

bool AudioOutput::isOpen() const
{
    return state() == OutputState::Open;
}

void AudioOutput::close()
{
    core_->close();
}

void AudioOutput::abandon()
{
    std::lock_guard lock(core_->mutex);
    core_->abandoned = true;
    core_->stateChanged.notify_all();
}

bool AudioOutput::isIdle() const
{
    std::lock_guard lock(core_->mutex);
    return core_->state == OutputState::Open && core_->idle;
}

QString AudioOutput::driver() const
{
    std::lock_guard lock(core_->mutex);
    return core_->driver;
}

quint64 AudioOutput::play(PcmBufferPtr buffer, int volumePercent)
{
    return core_->play(std::move(buffer), volumePercent);
}

void AudioOutput::stop(quint64 id)
{
    core_->stop(id);
}

bool AudioOutput::isPlaying(quint64 id) const
{
    return core_->isPlaying(id);
}

qint64 AudioOutput::firstSampleAtNs(quint64 id) const
{
    return core_->firstSampleAtNs(id);
}

void AudioOutput::setVolume(quint64 id, int volumePercent)
{
    core_->setVolume(id, volumePercent);
}

OutputHandle AudioOutput::handle() const
{
    return OutputHandle(core_);
}

// ---- handles ----

quint64 OutputHandle::play(PcmBufferPtr buffer, int volumePercent) const
{
    const std::shared_ptr<AudioOutput::Core> core = core_.lock();
    return core ? core->play(std::move(buffer), volumePercent) : 0;
}

void OutputHandle::stop(quint64 id) const
{
    if (const std::shared_ptr<AudioOutput::Core> core = core_.lock())
        core->stop(id);
}

bool OutputHandle::isPlaying(quint64 id) const
{
    const std::shared_ptr<AudioOutput::Core> core = core_.lock();
    return core && core->isPlaying(id);
}

qint64 OutputHandle::firstSampleAtNs(quint64 id) const
{
    const std::shared_ptr<AudioOutput::Core> core = core_.lock();
    return core ? core->firstSampleAtNs(id) : 0;
}

void OutputHandle::setVolume(quint64 id, int volumePercent) const
{
    if (const std::shared_ptr<AudioOutput::Core> core = core_.lock())
        core->setVolume(id, volumePercent);
}

OutputState OutputHandle::state() const
{
    const std::shared_ptr<AudioOutput::Core> core = core_.lock();
    return core ? core->currentState() : OutputState::Closed;
}

} // namespace audio
