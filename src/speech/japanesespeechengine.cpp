#include "speech/japanesespeechengine.h"

#include "audio/mixer.h"
#include "speech/voice.h"

#include <atomic>
#include <condition_variable>
#include <future>
#include <list>
#include <map>
#include <mutex>
#include <optional>
#include <thread>

namespace speech
{

namespace
{

// Ready clauses kept, in bytes of output PCM: a few minutes of speech.
constexpr size_t kReadyBudgetBytes = 48u << 20;
// Voice samples quieter than this count as the silence around a clause.
constexpr int kSilenceLevel = 200;
// How far synthesis may run ahead of what has been played: a long text is not made all at
// once, so its speech waits for the listener rather than piling up.
constexpr qint64 kAheadOfPlaybackMs = 30000;
// The clauses of a text made ready ahead: the start, so that speaking it starts at once;
// the rest is made while that plays.
constexpr int kPreparedClauses = 16;

using Clip = std::shared_ptr<const std::vector<qint16>>;

QStringList preparedClauses(const QString& text)
{
    return splitClauses(text).mid(0, kPreparedClauses);
}

QString clipKey(const QString& clause, const SpeechSettings& settings)
{
    return QStringLiteral("%1/%2|").arg(settings.rate).arg(settings.pitch) + clause;
}

// The pause after a clause, by the mark it ends with.
int pauseMsAfter(const QString& clause)
{
    if (clause.endsWith(u'。'))
        return 400;
    if (clause.endsWith(u'、'))
        return 200;
    return 0;
}

// The clause's speech without the silence the synthesiser puts around it, then its pause, in
// the output format.
std::vector<qint16> shapeClip(const std::vector<qint16>& pcm, int rate, int pauseMs)
{
    auto loud = [](qint16 s) { return std::abs(int(s)) >= kSilenceLevel; };
    const auto first = std::find_if(pcm.begin(), pcm.end(), loud);
    const auto last = std::find_if(pcm.rbegin(), pcm.rend(), loud).base();
    std::vector<qint16> shaped;
    if (first < last) {
        const qsizetype lead = rate / 100; // 10 ms
        const qsizetype tail = rate * 3 / 100;
        const auto from = first - std::min<qsizetype>(lead, first - pcm.begin());
        const auto to = last + std::min<qsizetype>(tail, pcm.end() - last);
        shaped.assign(from, to);
    }
    shaped.resize(shaped.size() + size_t(rate) * size_t(pauseMs) / 1000, 0);
    audio::PcmBuffer converted;
    audio::appendConverted(converted, shaped.data(), qsizetype(shaped.size() * sizeof(qint16)),
                           rate, 1);
    std::vector<qint16> frames(size_t(converted.frameCount()) * audio::kOutputChannels);
    converted.read(0, frames.data(), converted.frameCount());
    return frames;
}

} // namespace

struct JapaneseSpeechEngine::Worker {
    struct SpeakJob {
        quint64 utterance = 0;
        QString text;
        SpeechSettings settings;
        audio::PcmBufferPtr buffer;
        quint64 play = 0; // the mixer's play of the buffer
    };
    struct PrepareJob {
        QString text;
        SpeechSettings settings;
    };

    std::unique_ptr<Voice> voice;
    QString voiceName;
    // A handle, not the output itself: a worker left running at the end may outlive it.
    audio::OutputHandle output;
    std::optional<SpeechSettings> applied; // worker thread

    std::mutex mutex;
    std::condition_variable wake;
    std::optional<SpeakJob> speakJob;
    std::optional<PrepareJob> prepareJob;
    std::optional<SpeechSettings> settingsJob; // new settings, for the voice to get ready
    std::atomic<bool> quit{false};
    std::atomic<bool> waitingForPlayback{false};
    std::atomic<quint64> lastUtterance{0};
    std::atomic<quint64> current{0}; // the text that may still sound, 0 after a stop
    std::atomic<quint64> failed{0};  // the last text the voice failed on
    std::atomic<int> synthesized{0};
    std::atomic<int> spokenReady{0};

    mutable std::mutex readyMutex;
    std::map<QString, Clip> ready;
    std::list<QString> readyOrder; // oldest first
    size_t readyBytes = 0;

    bool speakPending()
    {
        std::lock_guard lock(mutex);
        return quit || speakJob.has_value();
    }

    void run()
    {
        for (;;) {
            std::optional<SpeakJob> speak;
            std::optional<PrepareJob> prepare;
            std::optional<SpeechSettings> settings;
            {
                std::unique_lock lock(mutex);
                wake.wait(lock, [this] { return quit || speakJob || prepareJob || settingsJob; });
                if (quit)
                    return;
                settings.swap(settingsJob);
                if (speakJob)
                    speak.swap(speakJob);
                else
                    prepare.swap(prepareJob);
            }
            if (settings)
                applySettings(*settings);
            if (speak)
                runSpeak(*speak);
            else if (prepare)
                runPrepare(*prepare);
        }
    }

    void runSpeak(const SpeakJob& job)
    {
        const auto stopped = [this, &job] { return quit || current != job.utterance; };
        bool first = true;
        for (const QString& clause : splitClauses(job.text)) {
            if (!first)
                waitForPlayback(job, stopped);
            first = false;
            if (stopped())
                break;
            bool wasReady = false;
            const Clip clip = clipFor(clause, job.settings, stopped, &wasReady);
            if (!clip) {
                if (!stopped())
                    failed = job.utterance;
                break;
            }
            if (wasReady)
                ++spokenReady;
            job.buffer->append(clip->data(), qsizetype(clip->size()) / audio::kOutputChannels);
        }
        job.buffer->finish();
    }

    // Milliseconds of the text's speech made but not played yet.
    qint64 aheadOfPlaybackMs(const SpeakJob& job) const
    {
        const qint64 firstSampleNs = output.firstSampleAtNs(job.play);
        const qint64 playedMs =
            firstSampleNs == 0 ? 0 : (audio::steadyNs() - firstSampleNs) / 1000000;
        return job.buffer->lengthMs() - playedMs;
    }

    void waitForPlayback(const SpeakJob& job, const std::function<bool()>& stopped)
    {
        if (aheadOfPlaybackMs(job) <= kAheadOfPlaybackMs)
            return;
        waitingForPlayback = true;
        std::unique_lock lock(mutex);
        while (!stopped() && aheadOfPlaybackMs(job) > kAheadOfPlaybackMs)
            wake.wait_for(lock, std::chrono::milliseconds(50));
        waitingForPlayback = false;
    }

    void runPrepare(const PrepareJob& job)
    {
        const auto interrupted = [this] { return speakPending(); };
        for (const QString& clause : preparedClauses(job.text)) {
            if (interrupted()) {
                // Speaking comes first; this text is taken up again afterwards unless
                // another one was asked for meanwhile.
                std::lock_guard lock(mutex);
                if (!prepareJob)
                    prepareJob = job;
                return;
            }
            if (!clipFor(clause, job.settings, interrupted, nullptr) && !interrupted())
                return; // the voice fails on it; speaking it will say so
        }
    }

    void applySettings(const SpeechSettings& settings)
    {
        if (applied != settings) {
            voice->apply(settings);
            applied = settings;
        }
    }

    Clip readyClip(const QString& key) const
    {
        std::lock_guard lock(readyMutex);
        const auto it = ready.find(key);
        return it != ready.end() ? it->second : nullptr;
    }

    Clip clipFor(const QString& clause, const SpeechSettings& settings,
                 const Voice::StopRequested& stopRequested, bool* wasReady)
    {
        const QString key = clipKey(clause, settings);
        if (Clip clip = readyClip(key)) {
            if (wasReady)
                *wasReady = true;
            return clip;
        }
        applySettings(settings);
        std::vector<qint16> pcm;
        if (!voice->synthesize(clause, pcm, stopRequested))
            return nullptr;
        ++synthesized;
        auto clip = std::make_shared<const std::vector<qint16>>(
            shapeClip(pcm, voice->sampleRate(), pauseMsAfter(clause)));
        keep(key, clip);
        return clip;
    }

    void keep(const QString& key, const Clip& clip)
    {
        std::lock_guard lock(readyMutex);
        if (ready.count(key))
            return;
        ready.emplace(key, clip);
        readyOrder.push_back(key);
        readyBytes += clip->size() * sizeof(qint16);
        while (readyBytes > kReadyBudgetBytes && readyOrder.size() > 1) {
            const auto oldest = ready.find(readyOrder.front());
            readyBytes -= oldest->second->size() * sizeof(qint16);
            ready.erase(oldest);
            readyOrder.pop_front();
        }
    }

    void dropReady()
    {
        std::lock_guard lock(readyMutex);
        ready.clear();
        readyOrder.clear();
        readyBytes = 0;
    }
};

std::unique_ptr<JapaneseSpeechEngine>
JapaneseSpeechEngine::create(const audio::OutputHandle& output, QString* error)
{
    return create(createDefaultVoice(error), output, error);
}

std::unique_ptr<JapaneseSpeechEngine>
JapaneseSpeechEngine::create(std::unique_ptr<Voice> voice, const audio::OutputHandle& output,
                             QString* error)
{
    if (!voice) {
        if (error && error->isEmpty())
            *error = QStringLiteral("no voice");
        return nullptr;
    }
    // No wait for the audio output: without one, speaking fails (status -1).
    auto worker = std::make_shared<Worker>();
    worker->voiceName = voice->name();
    worker->voice = std::move(voice);
    worker->output = output;
    return std::unique_ptr<JapaneseSpeechEngine>(new JapaneseSpeechEngine(std::move(worker)));
}

JapaneseSpeechEngine::JapaneseSpeechEngine(std::shared_ptr<Worker> worker)
    : worker_(std::move(worker))
{
    // The thread shares the worker, so a thread left running at the end still has it.
    auto finished = std::make_shared<std::promise<void>>();
    workerFinished_ = finished->get_future();
    thread_ = std::thread([worker = worker_, finished] {
        worker->run();
        audio::releaseThreadState();
        finished->set_value();
    });
}

JapaneseSpeechEngine::~JapaneseSpeechEngine()
{
    stop();
    worker_->quit = true;
    {
        // Taken so that the worker is either waiting and gets the notification, or has not
        // looked at quit yet.
        std::lock_guard lock(worker_->mutex);
    }
    worker_->wake.notify_all();
    if (workerFinished_.wait_for(quitWait_) == std::future_status::ready) {
        thread_.join();
        return;
    }
    // A worker stuck in its voice is left to the end of the process; the programs it runs
    // are not.
    worker_->voice->killChildProcesses();
    thread_.detach();
}

void JapaneseSpeechEngine::setQuitWait(std::chrono::milliseconds wait)
{
    quitWait_ = wait;
}

bool JapaneseSpeechEngine::isWaitingForPlayback() const
{
    return worker_->waitingForPlayback;
}

void JapaneseSpeechEngine::speak(const QString& text)
{
    speakWith(text, settings_);
}

void JapaneseSpeechEngine::speakWith(const QString& text, const SpeechSettings& settings)
{
    stop();
    auto buffer = std::make_shared<audio::PcmBuffer>();
    play_ = worker_->output.play(buffer, settings.volume);
    failedWithoutOutput_ = play_ == 0;
    if (play_ == 0)
        return;
    Worker& w = *worker_;
    const quint64 utterance = ++w.lastUtterance;
    w.current = utterance;
    {
        std::lock_guard lock(w.mutex);
        w.speakJob = Worker::SpeakJob{utterance, text, settings, std::move(buffer), play_};
    }
    w.wake.notify_all();
}

void JapaneseSpeechEngine::prepare(const QString& text)
{
    lastPrepared_ = text;
    if (text.isEmpty() || isPrepared(text))
        return;
    {
        std::lock_guard lock(worker_->mutex);
        worker_->prepareJob = Worker::PrepareJob{text, settings_};
    }
    worker_->wake.notify_all();
}

void JapaneseSpeechEngine::stop()
{
    Worker& w = *worker_;
    // The worker sees the text is no longer current and abandons it, synthesis included.
    w.current = 0;
    w.failed = 0;
    {
        std::lock_guard lock(w.mutex);
        w.speakJob.reset();
    }
    w.wake.notify_all(); // a worker waiting for playback lets go at once
    w.output.stop(play_);
    play_ = 0;
    failedWithoutOutput_ = false;
}

int JapaneseSpeechEngine::status() const
{
    const Worker& w = *worker_;
    if (failedWithoutOutput_)
        return SpeechStatus::Failed;
    const quint64 current = w.current;
    if (current == 0)
        return SpeechStatus::Idle;
    if (w.failed == current)
        return SpeechStatus::Failed;
    if (w.output.isPlaying(play_))
        return SpeechStatus::Speaking;
    // An output that failed to open after the text was asked for dropped its play.
    return w.output.state() == audio::OutputState::Failed ? SpeechStatus::Failed
                                                          : SpeechStatus::Idle;
}

SpeechSettings JapaneseSpeechEngine::settings() const
{
    return settings_;
}

void JapaneseSpeechEngine::setSettings(const SpeechSettings& settings)
{
    if (settings == settings_)
        return;
    settings_ = settings;
    worker_->output.setVolume(play_, settings.volume);
    worker_->dropReady();
    {
        std::lock_guard lock(worker_->mutex);
        worker_->settingsJob = settings;
    }
    worker_->wake.notify_all();
    prepare(lastPrepared_);
}

QString JapaneseSpeechEngine::voiceName() const
{
    return worker_->voiceName;
}

bool JapaneseSpeechEngine::isPrepared(const QString& text) const
{
    for (const QString& clause : preparedClauses(text))
        if (!worker_->readyClip(clipKey(clause, settings_)))
            return false;
    return true;
}

int JapaneseSpeechEngine::synthesizedClauses() const
{
    return worker_->synthesized;
}

int JapaneseSpeechEngine::readyClausesSpoken() const
{
    return worker_->spokenReady;
}

qint64 JapaneseSpeechEngine::firstSampleAtNs() const
{
    return worker_->output.firstSampleAtNs(play_);
}

std::unique_ptr<SpeechEngine> createSpeechEngine(const audio::OutputHandle& output)
{
    return JapaneseSpeechEngine::create(output);
}

const QString& sampleText()
{
    static const QString text =
        QStringLiteral("次は、市役所前です。お降りの方はお知らせください。");
    return text;
}

} // namespace speech
