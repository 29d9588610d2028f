#pragma once

#include "speech/speechengine.h"

#include <QString>
#include <functional>
#include <memory>

namespace speech
{

// The Japanese voice: kana text to 16-bit mono PCM. The synthesiser is one per process;
// use it from one thread at a time.
class VoiceSynth
{
public:
    // nullptr when the voice data cannot be loaded.
    static std::unique_ptr<VoiceSynth> create(QString* error = nullptr);
    ~VoiceSynth();
    VoiceSynth(const VoiceSynth&) = delete;
    VoiceSynth& operator=(const VoiceSynth&) = delete;

    int sampleRate() const { return sampleRate_; }
    void apply(const SpeechSettings& settings);

    // Receives the PCM piece by piece as it is made; returning false aborts.
    using Sink = std::function<bool(const qint16* samples, int count)>;
    // False when the synthesiser reported an error (an abort by the sink is no error).
    bool synthesize(const QString& kana, const Sink& sink);

private:
    explicit VoiceSynth(int sampleRate) : sampleRate_(sampleRate) {}
    int sampleRate_;
};

} // namespace speech
