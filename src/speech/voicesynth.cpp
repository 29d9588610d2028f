#include "speech/voicesynth.h"

#include <algorithm>
#include <espeak-ng/espeak_ng.h>
#include <espeak-ng/speak_lib.h>

namespace speech
{

namespace
{

// Length of each PCM piece handed to the sink: short, so the voice starts promptly.
constexpr int kPieceMs = 40;

struct SynthJob {
    const VoiceSynth::Sink* sink = nullptr;
    bool aborted = false;
};

int onSynth(short* wav, int count, espeak_EVENT* events)
{
    auto* job = events ? static_cast<SynthJob*>(events->user_data) : nullptr;
    if (!job)
        return 1;
    if (job->aborted)
        return 1;
    if (wav && count > 0 && !(*job->sink)(wav, count)) {
        job->aborted = true;
        return 1;
    }
    return 0;
}

// espeak-ng is one per process; it is initialised once, by the first voice made. Empty on
// success, else why it failed (its voice data does not come later in the same run).
QString initialiseEspeak()
{
    espeak_ng_InitializePath(nullptr);
    espeak_ng_ERROR_CONTEXT context = nullptr;
    if (espeak_ng_Initialize(&context) != ENS_OK) {
        espeak_ng_ClearErrorContext(&context);
        return QStringLiteral("no voice data");
    }
    if (espeak_ng_InitializeOutput(ENOUTPUT_MODE_SYNCHRONOUS, kPieceMs, nullptr) != ENS_OK)
        return QStringLiteral("voice output cannot be prepared");
    espeak_SetSynthCallback(&onSynth);
    return {};
}

} // namespace

std::unique_ptr<VoiceSynth> VoiceSynth::create(QString* error)
{
    auto failWith = [error](const QString& why) {
        if (error)
            *error = why;
        return std::unique_ptr<VoiceSynth>();
    };
    static const QString initialisationFailure = initialiseEspeak();
    if (!initialisationFailure.isEmpty())
        return failWith(initialisationFailure);
    if (espeak_ng_SetVoiceByName("ja") != ENS_OK)
        return failWith(QStringLiteral("no Japanese voice"));
    auto synth = std::unique_ptr<VoiceSynth>(new VoiceSynth(espeak_ng_GetSampleRate()));
    synth->apply(SpeechSettings{});
    return synth;
}

VoiceSynth::~VoiceSynth() = default;

void VoiceSynth::apply(const SpeechSettings& s)
{
    espeak_SetParameter(espeakRATE, std::clamp(s.rate, espeakRATE_MINIMUM, espeakRATE_MAXIMUM), 0);
    espeak_SetParameter(espeakPITCH, std::clamp(s.pitch, 0, 99), 0);
    // The volume is the mixer's; the voice itself always renders at full scale.
    espeak_SetParameter(espeakVOLUME, 100, 0);
}

bool VoiceSynth::synthesize(const QString& kana, const Sink& sink)
{
    SynthJob job;
    job.sink = &sink;
    const QByteArray utf8 = kana.toUtf8();
    const espeak_ERROR result = espeak_Synth(utf8.constData(), size_t(utf8.size()) + 1, 0,
                                             POS_CHARACTER, 0, espeakCHARS_UTF8, nullptr, &job);
    return result == EE_OK || job.aborted;
}

} // namespace speech
