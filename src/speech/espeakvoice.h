#pragma once

#include "speech/voice.h"

namespace speech
{

class KanaReader;
class VoiceSynth;

// The fallback voice: MeCab reads the text into kana, espeak-ng's Japanese voice speaks it.
class EspeakVoice : public Voice
{
public:
    static std::unique_ptr<EspeakVoice> create(QString* error = nullptr);
    ~EspeakVoice() override;

    QString name() const override;
    int sampleRate() const override;
    void apply(const SpeechSettings& settings) override;
    QString reading(const QString& text) override;
    bool synthesize(const QString& text, std::vector<qint16>& pcm,
                    const StopRequested& stopRequested) override;

private:
    EspeakVoice(std::unique_ptr<KanaReader> reader, std::unique_ptr<VoiceSynth> synth);
    std::unique_ptr<KanaReader> reader_;
    std::unique_ptr<VoiceSynth> synth_;
};

} // namespace speech
