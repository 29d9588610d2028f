#pragma once

#include "speech/speechengine.h"

#include <chrono>
#include <future>
#include <memory>
#include <thread>

namespace speech
{

class Voice;

// The Japanese speech engine: a voice synthesises on a worker thread, clause by clause (long
// clauses in pieces of at most kMaxClauseLength characters), so that sound starts after the
// first clause, into a mixer channel of its own. Synthesis runs at most 30 s of speech ahead
// of what has been played. The start of texts made ready ahead (prepare) is kept and starts
// at once when spoken.
class JapaneseSpeechEngine : public SpeechEngine
{
public:
    // With the default voice, speaking into the output; nullptr when no voice can be loaded.
    // The output is not waited for: without one, speaking fails (status SpeechStatus::Failed),
    // and an engine that outlives its output stays silent.
    static std::unique_ptr<JapaneseSpeechEngine> create(const audio::OutputHandle& output,
                                                        QString* error = nullptr);
    // With a given voice; nullptr without one.
    static std::unique_ptr<JapaneseSpeechEngine> create(std::unique_ptr<Voice> voice,
                                                        const audio::OutputHandle& output,
                                                        QString* error = nullptr);
    // Stops speaking and asks the worker to quit, which interrupts a synthesis under way.
    // Waits for it at most the quit wait (1 s); a worker still busy then is left to the end
    // of the process, and the voice's child processes are killed.
    ~JapaneseSpeechEngine() override;
    // How long the destructor waits for the worker (tests shorten it).
    void setQuitWait(std::chrono::milliseconds wait);

    void speak(const QString& text) override;
    void prepare(const QString& text) override;
    void stop() override;
    int status() const override;

    SpeechSettings settings() const override;
    // New settings make every text ready so far useless: they are dropped, and the last text
    // asked for is made ready again.
    void setSettings(const SpeechSettings& settings) override;
    QString voiceName() const override;
    void speakWith(const QString& text, const SpeechSettings& settings) override;

    // True once the start of the text (its first 16 clauses) is ready.
    bool isPrepared(const QString& text) const;
    // Clauses synthesised so far, and clauses spoken from what was ready (tests, measurements).
    int synthesizedClauses() const;
    int readyClausesSpoken() const;
    // Steady-clock nanoseconds at which the current text's first sample reached the audio
    // device, 0 while none has (measurements).
    qint64 firstSampleAtNs() const;
    // True while the worker holds back the next clause until more has been played (tests).
    bool isWaitingForPlayback() const;

    struct Worker;

private:
    explicit JapaneseSpeechEngine(std::shared_ptr<Worker> worker);
    std::shared_ptr<Worker> worker_; // shared with the worker thread
    std::thread thread_;
    std::future<void> workerFinished_;
    std::chrono::milliseconds quitWait_{1000};
    SpeechSettings settings_;
    QString lastPrepared_;
    quint64 play_ = 0;                 // the mixer's play of the current text
    bool failedWithoutOutput_ = false; // the last speak found no audio output
};

} // namespace speech
