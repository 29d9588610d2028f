#pragma once

#include "speech/speechengine.h"

#include <memory>

namespace speech
{

class Voice;

// The Japanese speech engine: a voice synthesises on a worker thread, clause by clause, so
// that sound starts after the first clause, into a mixer channel of its own. Texts made
// ready ahead (prepare) are kept and start at once when spoken.
class JapaneseSpeechEngine : public SpeechEngine
{
public:
    // With the default voice; nullptr when no voice can be loaded or there is no audio output.
    static std::unique_ptr<JapaneseSpeechEngine> create(QString* error = nullptr);
    // With a given voice; nullptr without one or without audio output.
    static std::unique_ptr<JapaneseSpeechEngine> create(std::unique_ptr<Voice> voice,
                                                        QString* error = nullptr);
    ~JapaneseSpeechEngine() override;

    void speak(const QString& text) override;
    void prepare(const QString& text) override;
    void stop() override;
    int status() const override;
    // Speed, pitch and volume, with the voice's name; a sample heard here may end with the
    // dialog, an announcement that was playing goes on.
    void showSettingsDialog(QWidget* owner, const QString& title) override;

    SpeechSettings settings() const;
    // New settings make every text ready so far useless: they are dropped, and the last text
    // asked for is made ready again.
    void setSettings(const SpeechSettings& settings);
    QString voiceName() const;

    // True once every clause of the text is ready.
    bool isPrepared(const QString& text) const;
    // Clauses synthesised so far, and clauses spoken from what was ready (tests, measurements).
    int synthesizedClauses() const;
    int readyClausesSpoken() const;
    // Steady-clock nanoseconds at which the current text's first sample reached the audio
    // device, 0 while none has (measurements).
    qint64 firstSampleAtNs() const;

    struct Worker;

private:
    explicit JapaneseSpeechEngine(std::unique_ptr<Worker> worker);
    quint64 speakWith(const QString& text, const SpeechSettings& settings);
    std::unique_ptr<Worker> worker_;
    SpeechSettings settings_;
    QString lastPrepared_;
    quint64 play_ = 0;                 // the mixer's play of the current text
    bool failedWithoutOutput_ = false; // the last speak found no audio output
};

} // namespace speech
