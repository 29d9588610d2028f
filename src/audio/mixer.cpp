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

namespace
{
void wakeOutput();
}

// ---- buffers ----

void PcmBuffer::append(const qint16* frames, qsizetype count)
{
    {
        std::lock_guard lock(mutex_);
        samples_.insert(samples_.end(), frames, frames + count * kOutputChannels);
    }
    wakeOutput();
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
    wakeOutput();
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

struct Output {
    std::mutex mutex;
    std::condition_variable wake;         // the device's thread, waiting for a sound
    std::condition_variable stateChanged; // openOutput(), waiting for the opener
    OutputState state = OutputState::Closed;
    SDL_AudioDeviceID device = 0;
    QString driver;
    // The callback may wait for the next sound only where the driver's thread is SDL's own;
    // a driver that calls back from its sound server's thread must not be held up.
    bool mayIdle = false;
    bool closing = false;
    bool idle = false;
    bool abandoned = false; // nobody waits for the opener any more
    std::vector<Source> sources;
    // When the last plays that ended started sounding (measurements ask after the end).
    std::vector<std::pair<quint64, qint64>> endedFirstSamples;
    quint64 lastId = 0;
    std::vector<int> mix;
    std::vector<qint16> scratch;
};

Output& output()
{
    // Never destroyed: the device's thread may still be asleep on it when the process exits.
    static Output* o = new Output;
    return *o;
}

void mixSources(Output& o, qint16* out, int frames)
{
    const size_t samples = size_t(frames) * kOutputChannels;
    o.mix.assign(samples, 0);
    o.scratch.resize(samples);
    for (auto it = o.sources.begin(); it != o.sources.end();) {
        Source& s = *it;
        const bool finished = s.buffer->isFinished();
        const qsizetype n = s.buffer->read(s.position, o.scratch.data(), frames);
        if (n > 0 && s.firstSampleNs == 0)
            s.firstSampleNs = steadyNs();
        for (size_t i = 0; i < size_t(n) * kOutputChannels; ++i)
            o.mix[i] += o.scratch[i] * s.volume / 100;
        s.position += n;
        if (finished && s.position >= s.buffer->frameCount()) {
            if (o.endedFirstSamples.size() >= 16)
                o.endedFirstSamples.erase(o.endedFirstSamples.begin());
            o.endedFirstSamples.emplace_back(s.id, s.firstSampleNs);
            it = o.sources.erase(it);
        } else {
            ++it;
        }
    }
    for (size_t i = 0; i < samples; ++i)
        out[i] = qint16(std::clamp(o.mix[i], -32768, 32767));
}

// True when a source has sound to give, or has ended and is to be removed.
bool hasSound(const Output& o)
{
    return std::any_of(o.sources.begin(), o.sources.end(), [](const Source& s) {
        return s.buffer->isFinished() || s.buffer->frameCount() > s.position;
    });
}

void wakeOutput()
{
    Output& o = output();
    std::lock_guard lock(o.mutex);
    o.wake.notify_all();
}

void SDLCALL fillDeviceBuffer(void*, Uint8* stream, int len)
{
    Output& o = output();
    std::unique_lock lock(o.mutex);
    // Nothing to play, or only sounds still being made: sleep until there is sound, rather
    // than wake for every buffer of silence. New sound wakes this thread at once.
    while (!hasSound(o) && o.mayIdle && !o.closing) {
        o.idle = true;
        o.wake.wait(lock);
    }
    o.idle = false;
    mixSources(o, reinterpret_cast<qint16*>(stream), len / int(sizeof(qint16) * kOutputChannels));
}

bool openDeviceWithCurrentDriver(Output& o)
{
    if (SDL_InitSubSystem(SDL_INIT_AUDIO) != 0)
        return false;
    SDL_AudioSpec want{};
    want.freq = kOutputRate;
    want.format = AUDIO_S16SYS;
    want.channels = kOutputChannels;
    want.samples = kDeviceFrames;
    want.callback = &fillDeviceBuffer;
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

bool openDevice(Output& o)
{
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

void runOpener()
{
    Output& o = output();
    const bool opened = openDevice(o);
    SDL_AudioDeviceID device = 0;
    {
        std::lock_guard lock(o.mutex);
        o.state = opened ? OutputState::Open : OutputState::Failed;
        if (!opened)
            o.sources.clear();
        device = o.device;
        o.stateChanged.notify_all();
    }
    if (device != 0)
        SDL_PauseAudioDevice(device, 0);
    releaseThreadState();
}

// Until the opener has finished, unless the output was abandoned.
void waitForOpener(Output& o, std::unique_lock<std::mutex>& lock)
{
    o.stateChanged.wait(lock, [&o] { return o.state != OutputState::Opening || o.abandoned; });
}

} // namespace

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

void startOutput()
{
    Output& o = output();
    {
        std::lock_guard lock(o.mutex);
        if (o.state != OutputState::Closed)
            return;
        o.state = OutputState::Opening;
    }
    // Connecting to the sound server can take a while; the windows must not wait for it.
    std::thread(&runOpener).detach();
}

bool openOutput()
{
    startOutput();
    Output& o = output();
    std::unique_lock lock(o.mutex);
    waitForOpener(o, lock);
    return o.state == OutputState::Open;
}

void abandonOutput()
{
    Output& o = output();
    std::lock_guard lock(o.mutex);
    o.abandoned = true;
    o.stateChanged.notify_all();
}

OutputState outputState()
{
    Output& o = output();
    std::lock_guard lock(o.mutex);
    return o.state;
}

bool isOutputOpen()
{
    return outputState() == OutputState::Open;
}

bool isOutputIdle()
{
    Output& o = output();
    std::lock_guard lock(o.mutex);
    return o.state == OutputState::Open && o.idle;
}

QString outputDriver()
{
    Output& o = output();
    std::lock_guard lock(o.mutex);
    return o.driver;
}

void closeOutput()
{
    Output& o = output();
    SDL_AudioDeviceID device = 0;
    {
        std::unique_lock lock(o.mutex);
        waitForOpener(o, lock);
        if (o.state == OutputState::Closed || o.state == OutputState::Opening)
            return;
        // The device's thread may be asleep in the callback, holding SDL's device lock that
        // closing takes: wake it for good first.
        o.closing = true;
        o.sources.clear();
        o.wake.notify_all();
        device = o.device;
    }
    if (device != 0) {
        SDL_CloseAudioDevice(device);
        SDL_QuitSubSystem(SDL_INIT_AUDIO);
    }
    std::lock_guard lock(o.mutex);
    o.state = OutputState::Closed;
    o.device = 0;
    o.driver.clear();
    o.closing = false;
    o.idle = false;
}

quint64 play(PcmBufferPtr buffer, int volumePercent)
{
    if (!buffer)
        return 0;
    Output& o = output();
    bool start = false;
    quint64 id = 0;
    {
        std::lock_guard lock(o.mutex);
        if (o.state == OutputState::Failed)
            return 0;
        start = o.state == OutputState::Closed;
        id = ++o.lastId;
        o.sources.push_back({id, std::move(buffer), 0, std::clamp(volumePercent, 0, 100), 0});
        o.wake.notify_all();
    }
    if (start)
        startOutput();
    return id;
}

void stop(quint64 id)
{
    Output& o = output();
    std::lock_guard lock(o.mutex);
    std::erase_if(o.sources, [id](const Source& s) { return s.id == id; });
}

bool isPlaying(quint64 id)
{
    Output& o = output();
    std::lock_guard lock(o.mutex);
    return std::any_of(o.sources.begin(), o.sources.end(),
                       [id](const Source& s) { return s.id == id; });
}

qint64 firstSampleAtNs(quint64 id)
{
    Output& o = output();
    std::lock_guard lock(o.mutex);
    for (const Source& s : o.sources)
        if (s.id == id)
            return s.firstSampleNs;
    for (const auto& [ended, ns] : o.endedFirstSamples)
        if (ended == id)
            return ns;
    return 0;
}

void setVolume(quint64 id, int volumePercent)
{
    Output& o = output();
    std::lock_guard lock(o.mutex);
    for (Source& s : o.sources)
        if (s.id == id)
            s.volume = std::clamp(volumePercent, 0, 100);
}

} // namespace audio
