#pragma once

#include "speech/speechengine.h"

#include <memory>

namespace speech
{

// The Japanese voice: text is read into kana on a worker thread, synthesised there and
// streamed to a mixer channel of its own while it is being made.
class JapaneseSpeechEngine : public SpeechEngine
{
public:
    // nullptr when the dictionary, the voice data or the audio output is missing.
    static std::unique_ptr<JapaneseSpeechEngine> create(QString* error = nullptr);
    ~JapaneseSpeechEngine() override;

    void speak(const QString& text) override;
    void stop() override;
    int status() const override;
    void showSettingsDialog(QWidget* owner, const QString& title) override;

    SpeechSettings settings() const;
    void setSettings(const SpeechSettings& settings);

    // Steady-clock nanoseconds at which the current text's first sample reached the audio
    // device, 0 while none has (measurements).
    qint64 firstSampleAtNs() const;

    struct Worker;

private:
    explicit JapaneseSpeechEngine(std::unique_ptr<Worker> worker);
    void speakWith(const QString& text, const SpeechSettings& settings);
    std::unique_ptr<Worker> worker_;
};

} // namespace speech
