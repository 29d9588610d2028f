#pragma once

#include <QString>
#include <algorithm>
#include <functional>
#include <memory>

namespace audio
{
class OutputHandle;
}

namespace speech
{

// Voice settings of a speech engine.
struct SpeechSettings {
    static constexpr int MinRate = 80, MaxRate = 450;
    static constexpr int MaxPitch = 99, MaxVolume = 100;
    int rate = 175;   // words per minute, MinRate..MaxRate
    int pitch = 50;   // 0..MaxPitch
    int volume = 100; // 0..MaxVolume
    bool operator==(const SpeechSettings&) const = default;
    // Each value brought into its range.
    SpeechSettings clamped() const
    {
        return {std::clamp(rate, MinRate, MaxRate), std::clamp(pitch, 0, MaxPitch),
                std::clamp(volume, 0, MaxVolume)};
    }
};

// Values of SpeechEngine::status().
namespace SpeechStatus
{
inline constexpr int Idle = 0;
inline constexpr int Speaking = 1;
// The engine could not speak the last text (no audio output, synthesis error). The
// next stop() clears it.
inline constexpr int Failed = -1;
} // namespace SpeechStatus

// A text-to-speech engine: speaking is asynchronous, stop silences at once.
class SpeechEngine
{
public:
    virtual ~SpeechEngine() = default;
    virtual void speak(const QString& text) = 0;
    // Makes a text ready in the background so that speaking it later starts at once.
    virtual void prepare(const QString& text) { Q_UNUSED(text); }
    virtual void stop() = 0;
    virtual int status() const = 0;

    // Speed, pitch and volume of what is spoken from now on.
    virtual SpeechSettings settings() const = 0;
    virtual void setSettings(const SpeechSettings& settings) = 0;
    // The voice that speaks, as the user is shown it.
    virtual QString voiceName() const = 0;
    // Speaks a text with other settings than the engine's own, which stay as they are: a
    // sample heard before new settings are taken.
    virtual void speakWith(const QString& text, const SpeechSettings& settings) = 0;
};

// What a sample of the voice says.
const QString& sampleText();

// Creates the Japanese voice, speaking into the output. Returns nullptr when it cannot be
// created (no dictionary, no voice data). Loading takes a while: call it from a worker thread.
std::unique_ptr<SpeechEngine> createSpeechEngine(const audio::OutputHandle& output);

// What creates an engine, for whoever lets a run speak with another one (tests).
using SpeechEngineFactory = std::function<std::unique_ptr<SpeechEngine>()>;

} // namespace speech
