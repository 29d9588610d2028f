#include "../audio/audio_test_support.h"

#include "audio/mixer.h"
#include "platform/wait.h"
#include "speech/japanesespeechengine.h"
#include "speech/kanareader.h"
#include "speech/speechsettingsdialog.h"
#include "speech/voicesynth.h"

#include <QElapsedTimer>
#include <QPushButton>
#include <QSlider>
#include <vector>

using namespace speech;
using platform::waitUntil;

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

TEST(JapaneseSpeechEngine, SpeaksInTheBackgroundAndStopsAtOnce)
{
    auto engine = JapaneseSpeechEngine::create();
    ASSERT_TRUE(engine);
    EXPECT_EQ(engine->status(), SpeechStatus::Idle);
    QElapsedTimer timer;
    timer.start();
    engine->speak(QStringLiteral("次は、市役所前です。お降りの方はお知らせください。"));
    EXPECT_LT(timer.elapsed(), 100); // returns at once
    EXPECT_EQ(engine->status(), SpeechStatus::Speaking);
    EXPECT_TRUE(waitUntil([&] { return engine->firstSampleAtNs() != 0; }, 2000, 5));
    engine->stop();
    EXPECT_EQ(engine->status(), SpeechStatus::Idle);

    engine->speak(QStringLiteral("はい。"));
    EXPECT_TRUE(waitUntil([&] { return engine->status() == SpeechStatus::Idle; }, 5000, 10));

    // Without an audio output the text fails; a stop clears the failure.
    audio::closeOutput();
    const QByteArray driver = qgetenv("SDL_AUDIODRIVER");
    qputenv("SDL_AUDIODRIVER", "no-such-driver");
    engine->speak(QStringLiteral("はい。"));
    EXPECT_EQ(engine->status(), SpeechStatus::Failed);
    engine->stop();
    EXPECT_EQ(engine->status(), SpeechStatus::Idle);
    qputenv("SDL_AUDIODRIVER", driver);
    audio::closeOutput();
}

TEST(JapaneseSpeechEngine, TheSpeechReachesTheAudioOutput)
{
    const QString out = audiotest::useDiskAudio();
    audio::closeOutput();
    auto engine = JapaneseSpeechEngine::create();
    ASSERT_TRUE(engine);
    engine->speak(QStringLiteral("次は、市役所前です。"));
    EXPECT_TRUE(waitUntil([&] { return engine->status() == SpeechStatus::Idle; }, 8000, 10));
    engine.reset();
    audio::closeOutput(); // flushes the disk file
    QFile f(out);
    ASSERT_TRUE(f.open(QIODevice::ReadOnly));
    const QByteArray raw = f.readAll();
    EXPECT_GT(raw.size(), 44100 * 4 / 2); // over half a second of stereo output
    EXPECT_GT(audiotest::peak(raw), 2000);
}

TEST(SpeechSettingsDialog, EditsTheSettingsAndPlaysASample)
{
    std::vector<SpeechSettings> previews;
    SpeechSettingsDialog dialog(nullptr, QStringLiteral("音声の調節"), {200, 40, 80},
                                [&](const SpeechSettings& s) { previews.push_back(s); });
    EXPECT_EQ(dialog.windowTitle(), QStringLiteral("音声の調節"));
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

AUDIO_TEST_MAIN()
