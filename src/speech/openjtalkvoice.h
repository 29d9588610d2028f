#pragma once

#include "speech/childprocess.h"
#include "speech/voice.h"

namespace speech
{

// The natural voice: Debian's open_jtalk program with the NAIST dictionary and an HTS voice.
// open_jtalk has no library package, so each clause is one run of the program. The next run
// is started ahead and loads its dictionary and voice while it waits for its text, so only
// the synthesis itself is left when a clause is asked for. Every run has a process group of
// its own, killed with the run, so a wrapper script's children go too.
class OpenJTalkVoice : public Voice
{
public:
    struct Files {
        QString program;    // open_jtalk
        QString dictionary; // the dictionary folder
        QString voice;      // the .htsvoice file
    };
    // The installed files, or nothing when one is missing.
    static std::optional<Files> findFiles();
    // nullptr when a file is missing.
    static std::unique_ptr<OpenJTalkVoice> create(QString* error = nullptr);
    static std::unique_ptr<OpenJTalkVoice> create(const Files& files);
    ~OpenJTalkVoice() override;

    // "Open JTalk (nitech-jp-atr503-m001)": the voice's folder name.
    QString name() const override;
    int sampleRate() const override { return 48000; }
    void apply(const SpeechSettings& settings) override;
    QString reading(const QString& text) override;
    bool synthesize(const QString& text, std::vector<qint16>& pcm,
                    const StopRequested& stopRequested) override;
    void killChildProcesses() override;

    // How long one run may take over a piece: far beyond what the longest piece needs, so
    // that only a program that hangs fails on it. reading() has no stop of its own and
    // allows less.
    static constexpr std::chrono::seconds kSynthesisTimeLimit{60};
    static constexpr std::chrono::seconds kReadingTimeLimit{30};

    // open_jtalk's speed and additional half-tones for the settings.
    static double speedFor(const SpeechSettings& settings);
    static double halfTonesFor(const SpeechSettings& settings);

private:
    explicit OpenJTalkVoice(Files files);
    QStringList arguments(const QStringList& outputs) const;
    bool start(ChildProcess& run, const QStringList& outputs);
    // One run of the program over a piece of at most kMaxClauseLength characters.
    bool synthesizePiece(const QString& piece, std::vector<qint16>& samples,
                         const StopRequested& stopRequested);
    QString readingOfPiece(const QString& piece);

    Files files_;
    SpeechSettings settings_;
    ProcessGroups groups_; // before ready_, which leaves it when it ends
    ChildProcess ready_;   // started ahead with the current settings, waiting for its text
};

// The samples of a 16-bit mono wave file, or nothing when it is none.
std::optional<std::vector<qint16>> waveSamples(const QByteArray& wave, int* sampleRate = nullptr);

} // namespace speech
