#include "audio/mixer.h"

#include <QFileInfo>
#include <SDL.h>
#include <SDL_mixer.h>
#include <algorithm>
#include <atomic>
#include <chrono>
#include <cstring>
#include <mutex>
#include <vector>

namespace audio
{

namespace
{

constexpr int kFrequency = 44100;
constexpr int kChannels = 2;
constexpr int kChunkFrames = 1024; // about 23 ms: short enough for a prompt voice start
constexpr int kMixerChannels = 16;
constexpr int kVoiceChannel = 0; // reserved, never handed to media devices
constexpr const char* kSoundFont = "/usr/share/sounds/sf2/TimGM6mb.sf2";
constexpr const char* kTimidityCfg = "/etc/timidity/timgm6mb.cfg";

struct Output {
    bool open = false;
    bool failed = false;
    bool channelTaken[kMixerChannels] = {};
};

Output& output()
{
    static Output o;
    return o;
}

void prepareMidi()
{
    if (QFileInfo::exists(kSoundFont) && qEnvironmentVariableIsEmpty("SDL_SOUNDFONTS"))
        Mix_SetSoundFonts(kSoundFont);
    if (QFileInfo::exists(kTimidityCfg) && qEnvironmentVariableIsEmpty("TIMIDITY_CFG"))
        Mix_SetTimidityCfg(kTimidityCfg);
}

qint64 steadyNs()
{
    return std::chrono::duration_cast<std::chrono::nanoseconds>(
               std::chrono::steady_clock::now().time_since_epoch())
        .count();
}

} // namespace

bool openOutput()
{
    Output& d = output();
    if (d.open)
        return true;
    if (d.failed)
        return false;
    // SIGINT and SIGTERM are the program's: they save the settings before it ends.
    SDL_SetHint(SDL_HINT_NO_SIGNAL_HANDLERS, "1");
    if (SDL_InitSubSystem(SDL_INIT_AUDIO) != 0) {
        d.failed = true;
        return false;
    }
    Mix_Init(MIX_INIT_MP3 | MIX_INIT_MID);
    prepareMidi();
    if (Mix_OpenAudio(kFrequency, AUDIO_S16SYS, kChannels, kChunkFrames) != 0) {
        SDL_QuitSubSystem(SDL_INIT_AUDIO);
        d.failed = true;
        return false;
    }
    Mix_AllocateChannels(kMixerChannels);
    Mix_ReserveChannels(kVoiceChannel + 1);
    std::fill(std::begin(d.channelTaken), std::end(d.channelTaken), false);
    d.channelTaken[kVoiceChannel] = true;
    d.open = true;
    return true;
}

bool isOutputOpen()
{
    return output().open;
}

void closeOutput()
{
    Output& d = output();
    if (d.open) {
        Mix_HaltChannel(-1);
        Mix_HaltMusic();
        Mix_CloseAudio();
        Mix_Quit();
        SDL_QuitSubSystem(SDL_INIT_AUDIO);
    }
    d = Output{};
}

int allocateChannel()
{
    Output& d = output();
    if (!d.open)
        return -1;
    for (int c = 0; c < kMixerChannels; ++c) {
        if (!d.channelTaken[c]) {
            d.channelTaken[c] = true;
            return c;
        }
    }
    return -1;
}

void releaseChannel(int channel)
{
    Output& d = output();
    if (channel <= kVoiceChannel || channel >= kMixerChannels)
        return;
    if (d.open)
        Mix_HaltChannel(channel);
    d.channelTaken[channel] = false;
}

// The voice plays a looping silent chunk on its channel; a channel effect replaces the
// silence with the queued speech, converted to the device's format by an SDL_AudioStream.
struct PcmChannel::State {
    std::mutex mutex;
    SDL_AudioStream* stream = nullptr;
    quint64 ticket = 0;
    bool active = false;
    bool finished = false;
    std::atomic<qint64> firstSampleNs{0};
    std::vector<Uint8> silence;
    Mix_Chunk* silentChunk = nullptr;
    int volume = 100;

    static void effect(int, void* buffer, int len, void* self)
    {
        auto* s = static_cast<State*>(self);
        auto* out = static_cast<Uint8*>(buffer);
        int got = 0;
        {
            std::lock_guard lock(s->mutex);
            if (s->active && s->stream) {
                got = std::max(0, SDL_AudioStreamGet(s->stream, out, len));
                if (got > 0 && s->firstSampleNs.load() == 0)
                    s->firstSampleNs.store(steadyNs());
                if (s->finished && SDL_AudioStreamAvailable(s->stream) == 0)
                    s->active = false;
            }
        }
        std::memset(out + got, 0, size_t(len - got));
    }
};

PcmChannel::PcmChannel() : state_(std::make_unique<State>()) {}

PcmChannel::~PcmChannel()
{
    stop();
    if (state_->silentChunk)
        Mix_FreeChunk(state_->silentChunk);
    if (state_->stream)
        SDL_FreeAudioStream(state_->stream);
}

quint64 PcmChannel::begin(int sampleRate)
{
    if (!openOutput())
        return 0;
    int freq = 0;
    int channels = 0;
    Uint16 format = 0;
    Mix_QuerySpec(&freq, &format, &channels);
    SDL_AudioStream* fresh =
        SDL_NewAudioStream(AUDIO_S16SYS, 1, sampleRate, format, Uint8(channels), freq);
    if (!fresh)
        return 0;
    if (!state_->silentChunk) {
        state_->silence.assign(
            size_t(kChunkFrames) * size_t(channels) * SDL_AUDIO_BITSIZE(format) / 8, 0);
        state_->silentChunk =
            Mix_QuickLoad_RAW(state_->silence.data(), Uint32(state_->silence.size()));
    }
    quint64 ticket = 0;
    SDL_AudioStream* old = nullptr;
    {
        std::lock_guard lock(state_->mutex);
        old = state_->stream;
        state_->stream = fresh;
        ticket = ++state_->ticket;
        state_->active = true;
        state_->finished = false;
        state_->firstSampleNs.store(0);
    }
    if (old)
        SDL_FreeAudioStream(old);
    // Effects go away when a channel stops, so the effect is registered with each start.
    if (!Mix_Playing(kVoiceChannel) && state_->silentChunk) {
        Mix_PlayChannel(kVoiceChannel, state_->silentChunk, -1);
        Mix_RegisterEffect(kVoiceChannel, &State::effect, nullptr, state_.get());
    }
    Mix_Volume(kVoiceChannel, state_->volume * MIX_MAX_VOLUME / 100);
    return ticket;
}

bool PcmChannel::write(quint64 ticket, const qint16* samples, int count)
{
    std::lock_guard lock(state_->mutex);
    if (ticket != state_->ticket || !state_->active || !state_->stream)
        return false;
    return SDL_AudioStreamPut(state_->stream, samples, count * int(sizeof(qint16))) == 0;
}

void PcmChannel::finish(quint64 ticket)
{
    std::lock_guard lock(state_->mutex);
    if (ticket != state_->ticket || !state_->stream)
        return;
    SDL_AudioStreamFlush(state_->stream);
    state_->finished = true;
    if (SDL_AudioStreamAvailable(state_->stream) == 0)
        state_->active = false;
}

void PcmChannel::stop()
{
    // The mixer lock is taken before ours in the effect, so never call the mixer while
    // holding ours.
    if (isOutputOpen())
        Mix_HaltChannel(kVoiceChannel);
    std::lock_guard lock(state_->mutex);
    ++state_->ticket;
    state_->active = false;
    if (state_->stream)
        SDL_AudioStreamClear(state_->stream);
}

bool PcmChannel::isPlaying() const
{
    std::lock_guard lock(state_->mutex);
    return state_->active;
}

qint64 PcmChannel::firstSampleAtNs() const
{
    return state_->firstSampleNs.load();
}

void PcmChannel::setVolume(int percent)
{
    state_->volume = std::clamp(percent, 0, 100);
    if (isOutputOpen())
        Mix_Volume(kVoiceChannel, state_->volume * MIX_MAX_VOLUME / 100);
}

} // namespace audio
