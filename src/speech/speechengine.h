#pragma once

#include <QString>
#include <functional>
#include <memory>

class QWidget;

namespace speech
{

// Voice settings of a speech engine; they hold for the run.
struct SpeechSettings {
    int rate = 175;   // words per minute, 80..450
    int pitch = 50;   // 0..99
    int volume = 100; // 0..100
    bool operator==(const SpeechSettings&) const = default;
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
    // Modal settings dialog owned by the given window.
    virtual void showSettingsDialog(QWidget* owner, const QString& title) = 0;
};

// Creates the engine in use: the Japanese voice unless a test installed another factory.
// Returns nullptr when the engine cannot be created (no dictionary, no voice data, no
// audio output). Loading takes a while: call it from a worker thread.
std::unique_ptr<SpeechEngine> createSpeechEngine();

using SpeechEngineFactory = std::function<std::unique_ptr<SpeechEngine>()>;
// Replaces the engine factory (tests); an empty function restores the Japanese voice.
void setSpeechEngineFactory(SpeechEngineFactory factory);

} // namespace speech
