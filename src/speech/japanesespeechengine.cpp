#include "speech/japanesespeechengine.h"

#include "audio/mixer.h"
#include "speech/kanareader.h"
#include "speech/speechsettingsdialog.h"
#include "speech/voicesynth.h"

#include <atomic>
#include <condition_variable>
#include <deque>
#include <mutex>
#include <thread>

namespace speech
{

namespace
{

SpeechEngineFactory& factory()
{
    static SpeechEngineFactory f;
    return f;
}

} // namespace

struct JapaneseSpeechEngine::Worker {
    struct Job {
        QString text;
        quint64 ticket = 0;
        SpeechSettings settings;
    };

    std::unique_ptr<KanaReader> reader;
    std::unique_ptr<VoiceSynth> synth;
    audio::PcmChannel channel;
    SpeechSettings settings;

    std::mutex mutex;
    std::condition_variable wake;
    std::deque<Job> jobs;
    bool quit = false;
    // The ticket being worked on, and the last ticket the synthesiser failed on.
    std::atomic<quint64> busyTicket{0};
    std::atomic<quint64> failedTicket{0};
    quint64 currentTicket = 0;   // GUI thread
    bool failedNoOutput = false; // GUI thread: the last speak found no audio output
    std::thread thread;

    void run()
    {
        for (;;) {
            Job job;
            {
                std::unique_lock lock(mutex);
                wake.wait(lock, [this] { return quit || !jobs.empty(); });
                if (quit)
                    return;
                job = std::move(jobs.front());
                jobs.pop_front();
                busyTicket = job.ticket;
            }
            const QString kana = reader->reading(job.text);
            synth->apply(job.settings);
            const bool ok = synth->synthesize(kana, [this, &job](const qint16* pcm, int count) {
                return channel.write(job.ticket, pcm, count);
            });
            if (!ok)
                failedTicket = job.ticket;
            channel.finish(job.ticket);
            busyTicket = 0;
        }
    }
};

std::unique_ptr<JapaneseSpeechEngine> JapaneseSpeechEngine::create(QString* error)
{
    auto worker = std::make_unique<Worker>();
    worker->reader = KanaReader::create(error);
    if (!worker->reader)
        return nullptr;
    worker->synth = VoiceSynth::create(error);
    if (!worker->synth)
        return nullptr;
    if (!audio::openOutput()) {
        if (error)
            *error = QStringLiteral("no audio output");
        return nullptr;
    }
    Worker* w = worker.get();
    w->thread = std::thread([w] { w->run(); });
    return std::unique_ptr<JapaneseSpeechEngine>(new JapaneseSpeechEngine(std::move(worker)));
}

JapaneseSpeechEngine::JapaneseSpeechEngine(std::unique_ptr<Worker> worker)
    : worker_(std::move(worker))
{
}

JapaneseSpeechEngine::~JapaneseSpeechEngine()
{
    worker_->channel.stop();
    {
        std::lock_guard lock(worker_->mutex);
        worker_->quit = true;
        worker_->jobs.clear();
    }
    worker_->wake.notify_all();
    worker_->thread.join();
}

void JapaneseSpeechEngine::speak(const QString& text)
{
    speakWith(text, worker_->settings);
}

void JapaneseSpeechEngine::speakWith(const QString& text, const SpeechSettings& settings)
{
    Worker& w = *worker_;
    w.channel.setVolume(settings.volume);
    const quint64 ticket = w.channel.begin(w.synth->sampleRate());
    w.currentTicket = ticket;
    w.failedNoOutput = ticket == 0;
    if (ticket == 0)
        return;
    {
        std::lock_guard lock(w.mutex);
        w.jobs.clear();
        w.jobs.push_back({text, ticket, settings});
    }
    w.wake.notify_one();
}

void JapaneseSpeechEngine::stop()
{
    Worker& w = *worker_;
    {
        std::lock_guard lock(w.mutex);
        w.jobs.clear();
    }
    // Dropping the ticket makes the worker's next write fail, which aborts its synthesis.
    w.channel.stop();
    w.currentTicket = 0;
    w.failedNoOutput = false;
    w.failedTicket = 0;
}

int JapaneseSpeechEngine::status() const
{
    const Worker& w = *worker_;
    if (w.failedNoOutput || (w.currentTicket != 0 && w.failedTicket == w.currentTicket))
        return SpeechStatus::Failed;
    if (w.currentTicket == 0)
        return SpeechStatus::Idle;
    if (w.busyTicket == w.currentTicket || w.channel.isPlaying())
        return SpeechStatus::Speaking;
    std::lock_guard lock(const_cast<Worker&>(w).mutex);
    return w.jobs.empty() ? SpeechStatus::Idle : SpeechStatus::Speaking;
}

void JapaneseSpeechEngine::showSettingsDialog(QWidget* owner, const QString& title)
{
    SpeechSettingsDialog dialog(owner, title, worker_->settings,
                                [this](const SpeechSettings& trial) {
                                    speakWith(SpeechSettingsDialog::sampleText(), trial);
                                });
    if (dialog.exec() == QDialog::Accepted)
        setSettings(dialog.settings());
    stop();
    worker_->channel.setVolume(worker_->settings.volume);
}

SpeechSettings JapaneseSpeechEngine::settings() const
{
    return worker_->settings;
}

void JapaneseSpeechEngine::setSettings(const SpeechSettings& settings)
{
    worker_->settings = settings;
}

qint64 JapaneseSpeechEngine::firstSampleAtNs() const
{
    return worker_->channel.firstSampleAtNs();
}

std::unique_ptr<SpeechEngine> createSpeechEngine()
{
    if (factory())
        return factory()();
    return JapaneseSpeechEngine::create();
}

void setSpeechEngineFactory(SpeechEngineFactory f)
{
    factory() = std::move(f);
}

} // namespace speech
