#include "../audio/audio_test_support.h"

#include "audio/mixer.h"
#include "platform/wait.h"
#include "speech/espeakvoice.h"
#include "speech/japanesespeechengine.h"
#include "speech/kanareader.h"
#include "speech/openjtalkvoice.h"
#include "speech/speechsettingsdialog.h"
#include "speech/voicesynth.h"
#include "support/threadwait.h"

#include <QElapsedTimer>
#include <QLabel>
#include <QPushButton>
#include <QRegularExpression>
#include <QSlider>
#include <atomic>
#include <condition_variable>
#include <iostream>
#include <mutex>
#include <vector>

using namespace speech;
using testsupport::waitForThreads;

TEST(NumberReading, JapaneseNumbersWithTheirSoundChanges)
{
    EXPECT_EQ(numberReading(0), QStringLiteral("ゼロ"));
    EXPECT_EQ(numberReading(12), QStringLiteral("ジュウニ"));
    EXPECT_EQ(numberReading(120), QStringLiteral("ヒャクニジュウ"));
    EXPECT_EQ(numberReading(300), QStringLiteral("サンビャク"));
    EXPECT_EQ(numberReading(680), QStringLiteral("ロッピャクハチジュウ"));
    EXPECT_EQ(numberReading(3800), QStringLiteral("サンゼンハッピャク"));
    EXPECT_EQ(numberReading(10000), QStringLiteral("イチマン"));
    EXPECT_EQ(numberReading(20005), QStringLiteral("ニマンゴ"));
    EXPECT_EQ(numberReading(100000000), QStringLiteral("イチオク"));
    EXPECT_EQ(spellNumbers(QStringLiteral("12番のりば、０１２")),
              QStringLiteral("ジュウニ番のりば、ゼロイチニ"));
}

TEST(KanaReader, ReadsKanjiAsTheyAreSpoken)
{
    auto reader = KanaReader::create();
    ASSERT_TRUE(reader);
    const QString kana = reader->reading(QStringLiteral("次は、市役所前です。"));
    EXPECT_TRUE(kana.contains(QStringLiteral("ツギワ"))) << kana.toStdString();
    EXPECT_TRUE(kana.contains(QStringLiteral("シヤクショマエ"))) << kana.toStdString();
    EXPECT_FALSE(kana.contains(QStringLiteral("次")));
    EXPECT_TRUE(reader->reading(QStringLiteral("お降りの方はお知らせください。"))
                    .startsWith(QStringLiteral("オオリノホーワ")));
    EXPECT_TRUE(
        reader->reading(QStringLiteral("120系統")).startsWith(QStringLiteral("ヒャクニジュウ")));
    EXPECT_TRUE(reader->reading(QString()).isEmpty());
}

TEST(VoiceSynth, MakesAudibleSpeechOfPlausibleLength)
{
    auto synth = VoiceSynth::create();
    ASSERT_TRUE(synth);
    auto reader = KanaReader::create();
    ASSERT_TRUE(reader);
    std::vector<qint16> pcm;
    ASSERT_TRUE(synth->synthesize(reader->reading(QStringLiteral("次は、市役所前です。")),
                                  [&](const qint16* s, int n) {
                                      pcm.insert(pcm.end(), s, s + n);
                                      return true;
                                  }));
    const double seconds = double(pcm.size()) / synth->sampleRate();
    EXPECT_GT(seconds, 0.8);
    EXPECT_LT(seconds, 5.0);
    const QByteArray raw(reinterpret_cast<const char*>(pcm.data()), qsizetype(pcm.size() * 2));
    EXPECT_GT(audiotest::peak(raw), 3000);

    // A faster rate gives shorter speech; a sink that refuses aborts.
    std::vector<qint16> fast;
    synth->apply({400, 50, 100});
    synth->synthesize(QStringLiteral("ツギワ、シヤクショマエデス。"), [&](const qint16* s, int n) {
        fast.insert(fast.end(), s, s + n);
        return true;
    });
    EXPECT_LT(fast.size(), pcm.size() * 3 / 4);
    int pieces = 0;
    EXPECT_TRUE(synth->synthesize(QStringLiteral("ツギワ、シヤクショマエデス。"),
                                  [&](const qint16*, int) { return ++pieces < 2; }));
    EXPECT_EQ(pieces, 2);
    synth->apply({});
}

namespace
{

// A voice that makes a tone for each clause and records what it was asked for.
class ToneVoice : public Voice
{
public:
    struct Log {
        std::mutex mutex;
        QStringList clauses;
        std::vector<SpeechSettings> applied;
        std::function<void(const QString&)> beforeEach; // may block (worker thread)
        bool fail = false;
        int ms = 300;
    };
    explicit ToneVoice(std::shared_ptr<Log> log) : log_(std::move(log)) {}
    QString name() const override { return QStringLiteral("tone"); }
    int sampleRate() const override { return 16000; }
    void apply(const SpeechSettings& settings) override
    {
        std::lock_guard lock(log_->mutex);
        log_->applied.push_back(settings);
    }
    QString reading(const QString& text) override { return text; }
    bool synthesize(const QString& text, std::vector<qint16>& pcm,
                    const StopRequested& stopRequested) override
    {
        if (log_->beforeEach)
            log_->beforeEach(text);
        {
            std::lock_guard lock(log_->mutex);
            log_->clauses << text;
        }
        if (log_->fail || (stopRequested && stopRequested()))
            return false;
        pcm.assign(size_t(16 * log_->ms), 0);
        for (size_t i = 0; i < pcm.size(); ++i)
            pcm[i] = qint16(5000 * std::sin(double(i) * 0.2));
        return true;
    }

private:
    std::shared_ptr<Log> log_;
};

struct ToneEngine {
    std::shared_ptr<ToneVoice::Log> log = std::make_shared<ToneVoice::Log>();
    audio::AudioOutput output;
    std::unique_ptr<JapaneseSpeechEngine> engine =
        JapaneseSpeechEngine::create(std::make_unique<ToneVoice>(log), output.handle());
    int clausesAsked()
    {
        std::lock_guard lock(log->mutex);
        return int(log->clauses.size());
    }
};

const QString kAnnouncement =
    QStringLiteral("次は、市役所前です。お降りの方は、お知らせください。");

} // namespace

TEST(Clauses, SplitAfterEachCommaAndFullStop)
{
    EXPECT_EQ(
        splitClauses(kAnnouncement),
        (QStringList{QStringLiteral("次は、"), QStringLiteral("市役所前です。"),
                     QStringLiteral("お降りの方は、"), QStringLiteral("お知らせください。")}));
    EXPECT_EQ(splitClauses(QStringLiteral(" 3番のりば ")),
              QStringList{QStringLiteral("3番のりば")});
    EXPECT_TRUE(splitClauses(QStringLiteral("、 。")).isEmpty());
}

TEST(Clauses, LongClausesAreCutAtAMarkOrABlankElseHard)
{
    const auto run = [](QChar c, int n) { return QString(n, c); };
    // A mark late enough wins; then a blank late enough; then any mark; else 100 characters.
    EXPECT_EQ(cutLongClause(run(u'あ', 70) + u'！' + run(u'い', 40)),
              (QStringList{run(u'あ', 70) + u'！', run(u'い', 40)}));
    EXPECT_EQ(cutLongClause(run(u'あ', 10) + u'！' + run(u'い', 60) + u' ' + run(u'う', 40)),
              (QStringList{run(u'あ', 10) + u'！' + run(u'い', 60), run(u'う', 40)}));
    EXPECT_EQ(cutLongClause(run(u'あ', 10) + u'！' + run(u'い', 150)),
              (QStringList{run(u'あ', 10) + u'！', run(u'い', 100), run(u'い', 50)}));
    // Never after an opening bracket, never inside a surrogate pair.
    EXPECT_EQ(cutLongClause(run(u'あ', 70) + u'「' + run(u'い', 40)).first(),
              run(u'あ', 70) + u'「' + run(u'い', 29));
    const QString face = QString::fromUtf8("\xF0\x9F\x98\x80");
    EXPECT_EQ(cutLongClause(run(u'あ', 99) + face + run(u'い', 10)),
              (QStringList{run(u'あ', 99), face + run(u'い', 10)}));
    // Marks and blanks alone make no piece.
    EXPECT_EQ(cutLongClause(run(u'あ', 100) + QStringLiteral("！？ ")),
              QStringList{run(u'あ', 100)});

    // One clause of 120,000 characters comes as pieces of at most 100 that keep every word.
    QString text;
    for (int i = 0; text.size() < 120000; ++i)
        text += i % 7 == 6 ? QStringLiteral("停留所 ") : QStringLiteral("市役所前");
    const QStringList clauses = splitClauses(text + u'。');
    EXPECT_GT(clauses.size(), 1200);
    QString joined;
    for (const QString& clause : clauses) {
        EXPECT_LE(clause.size(), kMaxClauseLength);
        joined += clause + u' ';
    }
    EXPECT_EQ(joined.simplified(), (text + u'。').simplified());
}

TEST(SpeechCache, AnUnreadyTextStartsSoundingAfterItsFirstClause)
{
    ToneEngine t;
    ASSERT_TRUE(t.engine);
    std::mutex gate;
    gate.lock(); // holds the second clause back
    t.log->beforeEach = [&gate](const QString& clause) {
        if (clause == u"市役所前です。") {
            gate.lock();
            gate.unlock();
        }
    };
    t.engine->speak(kAnnouncement);
    EXPECT_TRUE(waitForThreads([&] { return t.engine->firstSampleAtNs() != 0; }, 3000, 2));
    EXPECT_EQ(t.engine->status(), SpeechStatus::Speaking);
    gate.unlock();
    EXPECT_TRUE(waitForThreads([&] { return t.engine->status() == SpeechStatus::Idle; }, 8000, 10));
    EXPECT_EQ(t.clausesAsked(), 4);
}

TEST(SpeechCache, APreparedTextIsSpokenFromWhatWasReady)
{
    ToneEngine t;
    ASSERT_TRUE(t.engine);
    t.engine->prepare(kAnnouncement);
    EXPECT_TRUE(waitForThreads([&] { return t.engine->isPrepared(kAnnouncement); }, 3000, 5));
    EXPECT_EQ(t.engine->synthesizedClauses(), 4);
    t.engine->speak(kAnnouncement);
    EXPECT_TRUE(waitForThreads([&] { return t.engine->firstSampleAtNs() != 0; }, 3000, 1));
    EXPECT_TRUE(waitForThreads([&] { return t.engine->status() == SpeechStatus::Idle; }, 8000, 10));
    EXPECT_EQ(t.engine->synthesizedClauses(), 4); // nothing made twice
    EXPECT_EQ(t.engine->readyClausesSpoken(), 4);
}

TEST(SpeechCache, NewSettingsDropWhatWasReadyAndMakeItAgain)
{
    ToneEngine t;
    ASSERT_TRUE(t.engine);
    t.engine->prepare(kAnnouncement);
    ASSERT_TRUE(waitForThreads([&] { return t.engine->isPrepared(kAnnouncement); }, 3000, 5));
    std::mutex gate;
    gate.lock(); // the voice waits while what was ready is looked at
    t.log->beforeEach = [&gate](const QString&) {
        gate.lock();
        gate.unlock();
    };
    t.engine->setSettings({250, 50, 100});
    EXPECT_FALSE(t.engine->isPrepared(kAnnouncement));
    gate.unlock();
    EXPECT_TRUE(waitForThreads([&] { return t.engine->isPrepared(kAnnouncement); }, 3000, 5));
    EXPECT_EQ(t.engine->synthesizedClauses(), 8);
    std::lock_guard lock(t.log->mutex);
    EXPECT_EQ(t.log->applied.back(), (SpeechSettings{250, 50, 100}));
}

TEST(SpeechCache, AVolumeChangeAloneAlsoDropsWhatWasReady)
{
    ToneEngine t;
    ASSERT_TRUE(t.engine);
    t.engine->prepare(QStringLiteral("はい。"));
    ASSERT_TRUE(
        waitForThreads([&] { return t.engine->isPrepared(QStringLiteral("はい。")); }, 3000, 5));
    t.engine->setSettings({175, 50, 40});
    EXPECT_TRUE(waitForThreads([&] { return t.engine->synthesizedClauses() == 2; }, 3000, 5));
}

TEST(SpeechFailure, AFailedTextReadsMinusOneUntilTheNextStop)
{
    ToneEngine t;
    ASSERT_TRUE(t.engine);
    t.log->fail = true;
    t.engine->speak(QStringLiteral("はい。"));
    EXPECT_TRUE(
        waitForThreads([&] { return t.engine->status() == SpeechStatus::Failed; }, 3000, 5));
    t.engine->stop();
    EXPECT_EQ(t.engine->status(), SpeechStatus::Idle);
}

TEST(SpeechWithoutOutput, TheEngineIsMadeWithoutAnOutputAndEverySpeakFails)
{
    const QByteArray driver = qgetenv("SDL_AUDIODRIVER");
    qputenv("SDL_AUDIODRIVER", "no-such-driver");
    ToneEngine t;
    ASSERT_TRUE(t.engine);
    // The output is opened by the first sound and fails after speak() returned.
    t.engine->speak(QStringLiteral("はい。"));
    EXPECT_TRUE(
        waitForThreads([&] { return t.engine->status() == SpeechStatus::Failed; }, 5000, 5));
    t.engine->stop();
    EXPECT_EQ(t.engine->status(), SpeechStatus::Idle);
    // Once it is known to be missing, at once.
    t.engine->speak(QStringLiteral("はい。"));
    EXPECT_EQ(t.engine->status(), SpeechStatus::Failed);
    t.engine.reset();
    qputenv("SDL_AUDIODRIVER", driver);
}

TEST(SpeechWithoutOutput, AnEngineThatOutlivesItsOutputStaysSilent)
{
    auto log = std::make_shared<ToneVoice::Log>();
    auto output = std::make_unique<audio::AudioOutput>();
    auto engine = JapaneseSpeechEngine::create(std::make_unique<ToneVoice>(log), output->handle());
    ASSERT_TRUE(engine);
    engine->speak(QStringLiteral("一。二。三。"));
    ASSERT_TRUE(waitForThreads([&] { return engine->firstSampleAtNs() != 0; }, 3000, 2));
    // The worker goes on with the text it was making, without the output.
    output.reset();
    EXPECT_TRUE(waitForThreads([&] { return engine->status() == SpeechStatus::Idle; }, 3000, 5));
    EXPECT_EQ(engine->firstSampleAtNs(), 0);
    engine->speak(QStringLiteral("はい。"));
    EXPECT_EQ(engine->status(), SpeechStatus::Failed);
}

namespace
{

// A voice that waits in synthesize until it is let go, and counts what the engine asks.
class HeldVoice : public Voice
{
public:
    struct Log {
        std::mutex mutex;
        std::condition_variable changed;
        bool inside = false;
        bool letGo = false;
        bool ignoresStop = false;
        std::atomic<bool> sawStop{false};
        std::atomic<int> kills{0};
        std::atomic<bool> destroyed{false};
    };
    explicit HeldVoice(std::shared_ptr<Log> log) : log_(std::move(log)) {}
    ~HeldVoice() override { log_->destroyed = true; }
    QString name() const override { return QStringLiteral("held"); }
    int sampleRate() const override { return 16000; }
    void apply(const SpeechSettings&) override {}
    QString reading(const QString& text) override { return text; }
    bool synthesize(const QString&, std::vector<qint16>&,
                    const StopRequested& stopRequested) override
    {
        std::unique_lock lock(log_->mutex);
        log_->inside = true;
        log_->changed.notify_all();
        while (!log_->letGo) {
            if (!log_->ignoresStop && stopRequested && stopRequested()) {
                log_->sawStop = true;
                return false;
            }
            log_->changed.wait_for(lock, std::chrono::milliseconds(5));
        }
        return false;
    }
    void killChildProcesses() override { ++log_->kills; }

private:
    std::shared_ptr<Log> log_;
};

} // namespace

TEST(SpeechEngineEnd, AQuitInterruptsSynthesisAndAStuckWorkerIsLeftBehind)
{
    for (const bool ignoresStop : {false, true}) {
        auto log = std::make_shared<HeldVoice::Log>();
        log->ignoresStop = ignoresStop;
        audio::AudioOutput output;
        auto engine =
            JapaneseSpeechEngine::create(std::make_unique<HeldVoice>(log), output.handle());
        ASSERT_TRUE(engine);
        engine->setQuitWait(std::chrono::milliseconds(ignoresStop ? 50 : 5000));
        engine->prepare(QStringLiteral("はい。")); // synthesis that nothing else would stop
        ASSERT_TRUE(waitForThreads(
            [&] {
                std::lock_guard lock(log->mutex);
                return log->inside;
            },
            3000, 2));
        QElapsedTimer timer;
        timer.start();
        engine.reset();
        EXPECT_LT(timer.elapsed(), 3000);
        if (!ignoresStop) {
            EXPECT_TRUE(log->sawStop);
            EXPECT_TRUE(log->destroyed);
            EXPECT_EQ(log->kills, 0);
            continue;
        }
        // Left running with what it uses; the voice's programs are killed.
        EXPECT_FALSE(log->destroyed);
        EXPECT_EQ(log->kills, 1);
        {
            std::lock_guard lock(log->mutex);
            log->letGo = true;
        }
        log->changed.notify_all();
        EXPECT_TRUE(waitForThreads([&] { return log->destroyed.load(); }, 3000, 2));
    }
}

TEST(SpeechEngineEnd, SynthesisWaitsForPlaybackInsteadOfRunningAhead)
{
    ToneEngine t;
    ASSERT_TRUE(t.engine);
    t.log->ms = 7000; // with its pause, 7.4 s a clause
    t.engine->speak(QStringLiteral("一。二。三。四。五。六。七。八。"));
    ASSERT_TRUE(waitForThreads([&] { return t.engine->isWaitingForPlayback(); }, 5000, 2));
    // Four clauses are within the thirty seconds allowed ahead of playback, five are not.
    EXPECT_EQ(t.engine->synthesizedClauses(), 5);
    t.engine->stop();
    EXPECT_TRUE(waitForThreads([&] { return !t.engine->isWaitingForPlayback(); }, 3000, 2));
    EXPECT_EQ(t.engine->synthesizedClauses(), 5);
}

TEST(SpeechSample, TrialSettingsAreHeardWithoutBecomingTheEngines)
{
    ToneEngine t;
    ASSERT_TRUE(t.engine);
    t.engine->speakWith(sampleText(), {250, 20, 40});
    EXPECT_EQ(t.engine->status(), SpeechStatus::Speaking);
    EXPECT_TRUE(waitForThreads([&] { return t.engine->status() == SpeechStatus::Idle; }, 8000, 10));
    EXPECT_EQ(t.engine->settings(), SpeechSettings{});
    {
        std::lock_guard lock(t.log->mutex);
        ASSERT_FALSE(t.log->applied.empty());
        EXPECT_EQ(t.log->applied.back(), (SpeechSettings{250, 20, 40}));
    }
    // The next announcement speaks with the engine's own settings again.
    t.engine->speak(QStringLiteral("はい。"));
    EXPECT_TRUE(waitForThreads([&] { return t.engine->status() == SpeechStatus::Idle; }, 8000, 10));
    std::lock_guard lock(t.log->mutex);
    EXPECT_EQ(t.log->applied.back(), SpeechSettings{});
}

// The installed voice, and the fallback beside it.
enum class VoiceKind { OpenJTalk, Espeak };

std::unique_ptr<Voice> makeVoice(VoiceKind kind)
{
    if (kind == VoiceKind::OpenJTalk)
        return OpenJTalkVoice::create();
    return EspeakVoice::create();
}

class EachVoice : public ::testing::TestWithParam<VoiceKind>
{
protected:
    void SetUp() override
    {
        voice = makeVoice(GetParam());
        if (!voice && GetParam() == VoiceKind::OpenJTalk)
            GTEST_SKIP() << "Open JTalk or its voice is not installed (scripts/install-deps); "
                            "DefaultVoice.* checks the fallback";
        ASSERT_TRUE(voice);
    }
    std::unique_ptr<Voice> voice;
};

TEST_P(EachVoice, ReadsTheWordsOfTheRoutesAsTheyAreSpoken)
{
    auto read = [this](const char* text) { return voice->reading(QString::fromUtf8(text)); };
    EXPECT_TRUE(read("次は、市役所前です。").startsWith(QStringLiteral("ツギワ")));
    EXPECT_TRUE(read("次は、市役所前です。").contains(QStringLiteral("マエ")));
    EXPECT_TRUE(read("本町三丁目").contains(QRegularExpression(QStringLiteral("チョ[ウー]メ"))))
        << read("本町三丁目").toStdString();
    EXPECT_TRUE(read("東駅").endsWith(QStringLiteral("エキ")));
    EXPECT_TRUE(read("中央通り").contains(QRegularExpression(QStringLiteral("[トド][オー]リ"))))
        << read("中央通り").toStdString();
    EXPECT_TRUE(read("3番のりば").startsWith(QStringLiteral("サンバンノリバ")))
        << read("3番のりば").toStdString();
    // The dictionaries read お降り as オフリ; it is spoken オオリ.
    EXPECT_TRUE(read("お降りの方は").startsWith(QStringLiteral("オオリ")))
        << read("お降りの方は").toStdString();
}

TEST_P(EachVoice, SpeaksInTheBackgroundStopsAtOnceAndFailsTheSameWay)
{
    const QString name = voice->name();
    audio::AudioOutput output;
    auto engine = JapaneseSpeechEngine::create(std::move(voice), output.handle());
    ASSERT_TRUE(engine);
    EXPECT_EQ(engine->voiceName(), name);
    EXPECT_EQ(engine->status(), SpeechStatus::Idle);
    QElapsedTimer timer;
    timer.start();
    engine->speak(kAnnouncement);
    EXPECT_LT(timer.elapsed(), 100); // returns at once
    EXPECT_EQ(engine->status(), SpeechStatus::Speaking);
    EXPECT_TRUE(waitForThreads([&] { return engine->firstSampleAtNs() != 0; }, 5000, 5));
    engine->stop();
    EXPECT_EQ(engine->status(), SpeechStatus::Idle);

    engine->speak(QStringLiteral("はい。"));
    EXPECT_TRUE(waitForThreads([&] { return engine->status() == SpeechStatus::Idle; }, 8000, 10));

    // Without an audio output the text fails; a stop clears the failure.
    output.close();
    const QByteArray driver = qgetenv("SDL_AUDIODRIVER");
    qputenv("SDL_AUDIODRIVER", "no-such-driver");
    ASSERT_FALSE(output.open());
    engine->speak(QStringLiteral("はい。"));
    EXPECT_EQ(engine->status(), SpeechStatus::Failed);
    engine->stop();
    EXPECT_EQ(engine->status(), SpeechStatus::Idle);
    qputenv("SDL_AUDIODRIVER", driver);
    output.close();
}

TEST_P(EachVoice, AClauseOf120000CharactersStopsOnRequest)
{
    const QString text = QString(120000, u'あ');
    std::vector<qint16> pcm;
    QElapsedTimer timer;
    timer.start();
    EXPECT_FALSE(voice->synthesize(text, pcm, [&timer] { return timer.elapsed() > 300; }));
    EXPECT_TRUE(pcm.empty());
    EXPECT_LT(timer.elapsed(), 10000);
}

TEST(EspeakVoiceBounds, ALongTextWithoutAStopEndsAtTheSpeechCap)
{
    // Far more speech than one clause may keep.
    auto voice = EspeakVoice::create();
    ASSERT_TRUE(voice);
    std::vector<qint16> pcm;
    EXPECT_FALSE(voice->synthesize(QString(20000, u'ア'), pcm, {}));
    EXPECT_TRUE(pcm.empty());
}

INSTANTIATE_TEST_SUITE_P(Voices, EachVoice,
                         ::testing::Values(VoiceKind::OpenJTalk, VoiceKind::Espeak),
                         [](const auto& info) {
                             return info.param == VoiceKind::OpenJTalk ? "OpenJTalk" : "Espeak";
                         });

TEST(DefaultVoice, TheNaturalVoiceWhereInstalledOtherwiseTheFallback)
{
    const auto voice = createDefaultVoice();
    ASSERT_TRUE(voice);
    if (OpenJTalkVoice::findFiles()) {
        EXPECT_EQ(voice->name(), QStringLiteral("Open JTalk (nitech-jp-atr503-m001)"));
    } else {
        std::cout << "[ NOTE     ] Open JTalk or its voice is not installed: "
                     "checking the espeak-ng fallback instead\n";
        EXPECT_EQ(voice->name(), QStringLiteral("espeak-ng (ja)"));
    }
}

TEST(DefaultVoice, SpeaksASampleAnnouncementIntoTheAudioOutput)
{
    const QString out = audiotest::useDiskAudio();
    audio::AudioOutput output;
    auto engine = JapaneseSpeechEngine::create(output.handle());
    ASSERT_TRUE(engine);
    std::cout << "[ NOTE     ] speaking with " << engine->voiceName().toStdString() << "\n";
    engine->speak(QStringLiteral("次は、市役所前です。"));
    EXPECT_TRUE(waitForThreads([&] { return engine->status() == SpeechStatus::Idle; }, 10000, 10));
    engine.reset();
    output.close(); // flushes the disk file
    QFile f(out);
    ASSERT_TRUE(f.open(QIODevice::ReadOnly));
    const QByteArray raw = f.readAll();
    // Stereo 16-bit frames that are not silent: the speech itself.
    const auto* s = reinterpret_cast<const int16_t*>(raw.constData());
    qsizetype loudFrames = 0;
    for (qsizetype i = 0; i + 1 < raw.size() / 2; i += 2)
        loudFrames += std::abs(int(s[i])) > 300 ? 1 : 0;
    const double seconds = double(loudFrames) / audio::kOutputRate;
    EXPECT_GT(seconds, 0.5);
    EXPECT_LT(seconds, 5.0);
    EXPECT_GT(audiotest::peak(raw), 2000);
}

TEST(SpeechSettingsDialog, EditsTheSettingsShowsTheVoiceAndPlaysASample)
{
    std::vector<SpeechSettings> previews;
    SpeechSettingsDialog dialog(nullptr, QStringLiteral("音声の調節"), {200, 40, 80},
                                QStringLiteral("espeak-ng (ja)"),
                                [&](const SpeechSettings& s) { previews.push_back(s); });
    EXPECT_EQ(dialog.windowTitle(), QStringLiteral("音声の調節"));
    EXPECT_EQ(dialog.findChild<QLabel*>(QStringLiteral("voiceLabel"))->text(),
              QStringLiteral("声: espeak-ng (ja)"));
    EXPECT_EQ(dialog.settings(), (SpeechSettings{200, 40, 80}));
    dialog.findChild<QSlider*>(QStringLiteral("rateSlider"))->setValue(300);
    dialog.findChild<QSlider*>(QStringLiteral("volumeSlider"))->setValue(50);
    dialog.findChild<QPushButton*>(QStringLiteral("sampleButton"))->click();
    ASSERT_EQ(previews.size(), 1u);
    EXPECT_EQ(previews[0], (SpeechSettings{300, 40, 50}));
    if (!qEnvironmentVariableIsEmpty("FARE_SHOT_DIR"))
        dialog.grab().save(qEnvironmentVariable("FARE_SHOT_DIR") +
                           QStringLiteral("/speechdialog.png"));
}

TEST(OpenJTalkSettings, SpeedAndPitchMapOntoTheProgram)
{
    EXPECT_DOUBLE_EQ(OpenJTalkVoice::speedFor({175, 50, 100}), 1.0);
    EXPECT_DOUBLE_EQ(OpenJTalkVoice::speedFor({350, 50, 100}), 2.0);
    EXPECT_DOUBLE_EQ(OpenJTalkVoice::halfTonesFor({175, 50, 100}), 0.0);
    EXPECT_DOUBLE_EQ(OpenJTalkVoice::halfTonesFor({175, 0, 100}), -6.0);
    EXPECT_GT(OpenJTalkVoice::halfTonesFor({175, 99, 100}), 5.8);
}

TEST(OpenJTalkOutput, OnlyASixteenBitMonoWaveIsTaken)
{
    auto u32 = [](uint32_t v) { return QByteArray(reinterpret_cast<const char*>(&v), 4); };
    auto u16 = [](uint16_t v) { return QByteArray(reinterpret_cast<const char*>(&v), 2); };
    const QByteArray samples = u16(1) + u16(uint16_t(-2)) + u16(3);
    QByteArray wave = "RIFF" + u32(0) + "WAVE" + "fmt " + u32(16) + u16(1) + u16(1) + u32(48000) +
                      u32(96000) + u16(2) + u16(16) + "data" + u32(6) + samples;
    int rate = 0;
    const auto pcm = waveSamples(wave, &rate);
    ASSERT_TRUE(pcm);
    EXPECT_EQ(*pcm, (std::vector<qint16>{1, -2, 3}));
    EXPECT_EQ(rate, 48000);
    EXPECT_FALSE(waveSamples("not a wave"));
    wave[22] = 2; // stereo
    EXPECT_FALSE(waveSamples(wave));
    EXPECT_FALSE(waveSamples(wave.left(30)));
}

AUDIO_TEST_MAIN()
