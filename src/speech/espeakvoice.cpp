#include "speech/espeakvoice.h"

#include "speech/kanareader.h"
#include "speech/voicesynth.h"

namespace speech
{

std::unique_ptr<EspeakVoice> EspeakVoice::create(QString* error)
{
    auto reader = KanaReader::create(error);
    if (!reader)
        return nullptr;
    auto synth = VoiceSynth::create(error);
    if (!synth)
        return nullptr;
    return std::unique_ptr<EspeakVoice>(new EspeakVoice(std::move(reader), std::move(synth)));
}

EspeakVoice::EspeakVoice(std::unique_ptr<KanaReader> reader, std::unique_ptr<VoiceSynth> synth)
    : reader_(std::move(reader)), synth_(std::move(synth))
{
}

EspeakVoice::~EspeakVoice() = default;

QString EspeakVoice::name() const
{
    return QStringLiteral("espeak-ng (ja)");
}

int EspeakVoice::sampleRate() const
{
    return synth_->sampleRate();
}

void EspeakVoice::apply(const SpeechSettings& settings)
{
    synth_->apply(settings);
}

QString EspeakVoice::reading(const QString& text)
{
    return reader_->reading(text);
}

bool EspeakVoice::synthesize(const QString& text, std::vector<qint16>& pcm,
                             const StopRequested& stopRequested)
{
    pcm.clear();
    bool stopped = false;
    bool tooLong = false;
    const auto keep = [&](const qint16* s, int n) {
        if (stopRequested && stopRequested()) {
            stopped = true;
            return false;
        }
        if (qsizetype(pcm.size()) + n > kMaxClauseSamples) {
            tooLong = true;
            return false;
        }
        pcm.insert(pcm.end(), s, s + n);
        return true;
    };
    // MeCab and espeak-ng get one piece at a time, like open_jtalk.
    for (const QString& piece : cutLongClause(text)) {
        if (!synth_->synthesize(reader_->reading(piece), keep) || stopped || tooLong ||
            (stopRequested && stopRequested())) {
            pcm.clear();
            return false;
        }
    }
    return true;
}

} // namespace speech
