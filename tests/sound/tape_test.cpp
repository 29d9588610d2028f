#include "../audio/audio_test_support.h"

#include "audio/mediaplayer.h"
#include "audio/midirenderer.h"
#include "audio/mixer.h"
#include "audio/startgate.h"
#include "core/options.h"
#include "platform/cp932.h"
#include "platform/runtimeerror.h"
#include "platform/wait.h"
#include "sound/soundplayer.h"
#include "sound/tape.h"
#include "speech/speechengine.h"

#include <QSignalSpy>
#include <QTemporaryDir>
#include <condition_variable>
#include <mutex>
#include <sys/stat.h>
#include <thread>

using namespace sound;

namespace
{

QString shown(const speech::SpeechSettings& s)
{
    return QStringLiteral("%1/%2/%3").arg(s.rate).arg(s.pitch).arg(s.volume);
}

// Records what the tape asks of the speech engine.
struct SpeechLog {
    QStringList calls;
    QStringList prepared;
    QStringList settings; // every setSettings, as rate/pitch/volume
    int statusAfterSpeak = speech::SpeechStatus::Speaking;
};

class RecordingEngine : public speech::SpeechEngine
{
public:
    explicit RecordingEngine(SpeechLog& log) : log_(log) {}
    void speak(const QString& text) override
    {
        log_.calls << QStringLiteral("speak ") + text;
        status_ = log_.statusAfterSpeak;
    }
    void prepare(const QString& text) override { log_.prepared << text; }
    void stop() override
    {
        log_.calls << QStringLiteral("stop");
        status_ = speech::SpeechStatus::Idle;
    }
    int status() const override { return status_; }
    speech::SpeechSettings settings() const override { return settings_; }
    void setSettings(const speech::SpeechSettings& settings) override
    {
        log_.settings << shown(settings);
        settings_ = settings;
    }
    QString voiceName() const override { return QStringLiteral("記録係"); }
    void speakWith(const QString& text, const speech::SpeechSettings& settings) override
    {
        log_.calls << QStringLiteral("speak %1 with %2").arg(text, shown(settings));
        status_ = speech::SpeechStatus::Speaking;
    }

private:
    SpeechLog& log_;
    int status_ = speech::SpeechStatus::Idle;
    speech::SpeechSettings settings_;
};

// A tape with announcements and options of its own, beside the fixture's.
struct OwnModels {
    core::Announcements held;
    core::Options heldOptions;
};
class StandAloneTape : private OwnModels, public BroadcastTape
{
public:
    StandAloneTape(SoundPlayer& sounds, audio::StartGate* gate, speech::SpeechEngineFactory engines)
        : BroadcastTape(held, sounds, heldOptions, gate)
    {
        setSpeechEngineFactory(std::move(engines));
    }
};

// The engine is created on a worker thread and handed over through the event loop.
bool waitForSpeechDecision(BroadcastTape& tape)
{
    QSignalSpy decided(&tape, &BroadcastTape::speechDecided);
    return decided.wait(10000);
}

class TapeTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        // Pre-broadcast sounds by the entries' flags, without waiting for their end.
        options.setPreBroadcastAlways(false);
        options.setPreBroadcastByFlag(true);
        options.setPreBroadcastWait(false);
        options.setPreBroadcastNoWait(true);
        tape.setSpeechEngineFactory(recordingEngines());
        media.setRecorder([this](const QString& c, int) {
            if (c.startsWith(u"open"))
                opened << c;
        });
        tape.initSpeech();
        ASSERT_TRUE(waitForSpeechDecision(tape));
        folder = dir.path() + u'/';
    }
    void TearDown() override
    {
        media.setRecorder({});
        media.closeAll();
    }
    speech::SpeechEngineFactory recordingEngines()
    {
        return [this] { return std::make_unique<RecordingEngine>(log); };
    }
    void writeTape(const QString& route, const QString& text)
    {
        QFile f(folder + route + QStringLiteral("tp.csv"));
        ASSERT_TRUE(f.open(QIODevice::WriteOnly));
        f.write(platform::toCp932(text));
    }
    QStringList spoken()
    {
        QStringList out;
        for (const QString& c : log.calls)
            if (c.startsWith(u"speak "))
                out << c.mid(6);
        log.calls.clear();
        return out;
    }
    QString sound(const QString& name)
    {
        const QString path = folder + name;
        audiotest::writeWav(path, 50);
        return path;
    }

    QTemporaryDir dir;
    QString folder;
    SpeechLog log;
    core::Options options;
    QStringList opened;
    platform::ManualClock clock;
    audio::AudioOutput output;
    audio::MidiRenderer midi;
    audio::MediaPlayer media{output, midi, clock};
    SoundPlayer sounds{media};
    audio::StartGate startGate;
    core::Announcements announcements;
    BroadcastTape tape{announcements, sounds, options, &startGate};
};

const QString kThree = QStringLiteral("\"一つ目\",0,0\r\n\"二つ目\",1,0\r\n\"三つ目\",0,0\r\n");

} // namespace

TEST(TapeFieldReader, QuotedTextsKeepTheirCommasAndShortLinesBorrow)
{
    TapeFieldReader r(QStringLiteral(
        " \"次は、市役所前です。\" ,1,2\n無引用 の文 , 0 ,\"3\"\n短い行,1\n2,\"x\",0"));
    EXPECT_EQ(r.readText(), QStringLiteral("次は、市役所前です。"));
    EXPECT_EQ(r.readInteger(), 1);
    EXPECT_EQ(r.readInteger(), 2);
    EXPECT_EQ(r.readText(), QStringLiteral("無引用 の文"));
    EXPECT_EQ(r.readInteger(), 0);
    EXPECT_EQ(r.readInteger(), 3);
    EXPECT_EQ(r.readText(), QStringLiteral("短い行"));
    EXPECT_EQ(r.readInteger(), 1);
    EXPECT_EQ(r.readInteger(), 2); // taken from the next line
    EXPECT_EQ(r.readText(), QStringLiteral("x"));
    EXPECT_EQ(r.readInteger(), 0);
    EXPECT_EQ(r.fault(), 0);
    EXPECT_FALSE(r.readText().has_value());
    EXPECT_EQ(r.fault(), platform::ErrorNumber::InputPastEnd);
}

TEST(TapeFieldReader, EmptyNumbersAreZeroAndWordsAreNoNumbers)
{
    TapeFieldReader r(QStringLiteral("a,,\nb,x,1"));
    EXPECT_EQ(r.readText(), QStringLiteral("a"));
    EXPECT_EQ(r.readInteger(), 0);
    EXPECT_EQ(r.readInteger(), 0);
    EXPECT_EQ(r.readText(), QStringLiteral("b"));
    EXPECT_FALSE(r.readInteger().has_value());
    EXPECT_EQ(r.fault(), platform::ErrorNumber::TypeMismatch);
    EXPECT_EQ(r.lastField(), QStringLiteral("x"));
}

TEST(TapeFile, OneEntryPerLine)
{
    EXPECT_EQ(countTapeLines(QStringLiteral("a,1,2\r\nb,0,0\r\n\r\n")), 2);
    const auto entries = *parseTape(QStringLiteral("\"a, b\",1,2\nc,0,4\n"));
    ASSERT_EQ(entries.size(), 2u);
    EXPECT_EQ(entries[0].text, QStringLiteral("a, b"));
    EXPECT_EQ(entries[0].stepFlag, 1);
    EXPECT_EQ(entries[0].soundFlag, 2);
    EXPECT_EQ(entries[1].soundFlag, 4);
    // The last line lacks its flags and has no next line to borrow from.
    EXPECT_FALSE(parseTape(QStringLiteral("a,1,2\nb,1\n")).ok());
    EXPECT_FALSE(parseTape(QString()).ok());
}

TEST(TapeFile, AnErrorTellsTheLineToMend)
{
    const auto errorLine = [](const QString& text) {
        const TapeResult result = parseTape(text);
        return result.ok() ? 0 : result.error().line;
    };
    EXPECT_EQ(errorLine(QStringLiteral("a,1,2\r\n\"b\r\nc\",0,0\r\nd,x,0\r\ne,0,0\r\n")), 4);
    // A line short of a field borrows from the next one, where the fault then shows; the
    // short line is the one to mend.
    EXPECT_EQ(errorLine(QStringLiteral("a,1\rb,0,0\r")), 1);
}

TEST(TapeFile, OnlyRegularFilesAreRead)
{
    QTemporaryDir dir;
    const QString fifo = dir.path() + QStringLiteral("/1tp.csv");
    ASSERT_EQ(::mkfifo(QFile::encodeName(fifo).constData(), 0600), 0);
    // None of these may block or read without end.
    for (const QString& path : {dir.path(), fifo, QStringLiteral("/dev/zero")}) {
        const TapeResult result = readTapeFile(path);
        ASSERT_FALSE(result.ok()) << path.toStdString();
        EXPECT_EQ(result.error().kind, formats::FileErrorKind::NotAFile) << path.toStdString();
        EXPECT_EQ(result.error().number, platform::ErrorNumber::PathFileAccess);
        EXPECT_EQ(result.error().file, path);
    }
    const TapeResult missing =
        readTapeFile(dir.path() + QStringLiteral("/\"\n") + QString(1000, u'x'));
    ASSERT_FALSE(missing.ok());
    EXPECT_EQ(missing.error().kind, formats::FileErrorKind::Missing);
    EXPECT_EQ(missing.error().number, platform::ErrorNumber::FileNotFound);
}

TEST(TapeFile, ShiftJisAndUtf8ReadTheSameAndSayWhichTheyWere)
{
    QTemporaryDir dir;
    const QString line = QStringLiteral("\"次は、市役所前です。\",1,2\r\n");
    const auto write = [&dir](const QString& name, const QByteArray& bytes) {
        QFile file(dir.filePath(name));
        EXPECT_TRUE(file.open(QIODevice::WriteOnly));
        file.write(bytes);
        return file.fileName();
    };
    const std::pair<QByteArray, platform::TextEncoding> forms[] = {
        {platform::toCp932(line), platform::TextEncoding::Cp932},
        {line.toUtf8(), platform::TextEncoding::Utf8},
        {"\xEF\xBB\xBF" + line.toUtf8(), platform::TextEncoding::Utf8WithBom}};
    for (const auto& [bytes, expected] : forms) {
        platform::TextEncoding encoding = platform::TextEncoding::Ascii;
        const auto entries = *readTapeFile(write(QStringLiteral("1tp.csv"), bytes), &encoding);
        ASSERT_EQ(entries.size(), 1u);
        EXPECT_EQ(encoding, expected);
        EXPECT_EQ(entries[0].text, QStringLiteral("次は、市役所前です。"));
        EXPECT_EQ(entries[0].soundFlag, 2);
    }
    // Shift-JIS bytes that happen to be valid UTF-8 are read as UTF-8.
    platform::TextEncoding encoding = platform::TextEncoding::Ascii;
    const auto both =
        *readTapeFile(write(QStringLiteral("2tp.csv"), "\xE3\x81\x82\xE3\x81\x84,0,0"), &encoding);
    EXPECT_EQ(encoding, platform::TextEncoding::Utf8);
    EXPECT_EQ(both[0].text, QStringLiteral("あい"));
}

TEST(TapeFile, WindowsNamesDifferingInCaseAreFound)
{
    QTemporaryDir dir;
    const QString folder = dir.path() + u'/';
    EXPECT_EQ(findTapeFile(folder, QStringLiteral("7")), folder + QStringLiteral("7tp.csv"));
    QFile(folder + QStringLiteral("7Tp.csv")).open(QIODevice::WriteOnly);
    EXPECT_EQ(findTapeFile(folder, QStringLiteral("7")), folder + QStringLiteral("7Tp.csv"));
    QFile(folder + QStringLiteral("7tp.csv")).open(QIODevice::WriteOnly);
    EXPECT_EQ(findTapeFile(folder, QStringLiteral("7")), folder + QStringLiteral("7tp.csv"));
}

TEST_F(TapeTest, SpeechIsAvailableOnlyWithAnEngine)
{
    EXPECT_TRUE(tape.isSpeechAvailable());

    StandAloneTape failing{sounds, &startGate, [] { return nullptr; }};
    QSignalSpy changes(&failing, &BroadcastTape::speechAvailableChanged);
    failing.initSpeech();
    ASSERT_TRUE(waitForSpeechDecision(failing));
    EXPECT_FALSE(failing.isSpeechAvailable());
    EXPECT_EQ(changes.size(), 0); // it never was
    // Without speech the tape still loads and steps; it only speaks nothing.
    writeTape(QStringLiteral("1"), kThree);
    failing.loadTape(folder, QStringLiteral("1"));
    EXPECT_EQ(failing.loadState(), BroadcastTape::LoadState::Loaded);
    failing.stepForward();
    EXPECT_EQ(failing.position(), 1);
}

TEST_F(TapeTest, ThreeLinesForwardAndBack)
{
    writeTape(QStringLiteral("12"), kThree);
    tape.loadTape(folder, QStringLiteral("12"));
    ASSERT_EQ(tape.entryCount(), 3);
    EXPECT_EQ(tape.position(), 0);
    tape.stepForward();
    tape.stepForward();
    tape.stepForward();
    EXPECT_EQ(spoken(), (QStringList{QStringLiteral("一つ目"), QStringLiteral("二つ目"),
                                     QStringLiteral("三つ目")}));
    tape.stepForward();
    EXPECT_EQ(tape.position(), 3);
    EXPECT_TRUE(spoken().isEmpty());
    tape.stepBack();
    EXPECT_EQ(spoken(), QStringList{QStringLiteral("二つ目")});
    EXPECT_EQ(tape.position(), 2);
    EXPECT_EQ(tape.stepFlag(2), 1);
    EXPECT_EQ(tape.stepFlag(0), 0);
    EXPECT_EQ(tape.soundFlag(4), 0);
}

TEST_F(TapeTest, BackAtTheStartSpeaksNothingThenForwardSpeaksLineTwo)
{
    writeTape(QStringLiteral("1"), kThree);
    tape.loadTape(folder, QStringLiteral("1"));
    tape.stepBack();
    EXPECT_EQ(tape.position(), 1);
    EXPECT_TRUE(spoken().isEmpty());
    tape.stepForward();
    EXPECT_EQ(spoken(), QStringList{QStringLiteral("二つ目")});
}

TEST_F(TapeTest, AnotherRouteReplacesTheEntries)
{
    writeTape(QStringLiteral("8"),
              QStringLiteral("a,0,0\nb,0,0\nc,0,0\nd,0,0\ne,0,0\nf,0,0\ng,0,0\nh,0,0\n"));
    writeTape(QStringLiteral("5"), QStringLiteral("v,0,0\nw,0,0\nx,0,0\ny,0,0\nz,0,0\n"));
    tape.loadTape(folder, QStringLiteral("8"));
    EXPECT_EQ(tape.entryCount(), 8);
    tape.stepForward();
    tape.loadTape(folder, QStringLiteral("5"));
    EXPECT_EQ(tape.entryCount(), 5);
    EXPECT_EQ(tape.position(), 0);
    EXPECT_EQ(tape.shownText(5), QStringLiteral("z"));
}

TEST_F(TapeTest, EachLoadSaysWhatItFound)
{
    EXPECT_EQ(tape.loadState(), BroadcastTape::LoadState::None);
    QSignalSpy loads(&tape, &BroadcastTape::entriesChanged);
    writeTape(QStringLiteral("1"), kThree);
    tape.loadTape(folder, QStringLiteral("1"));
    EXPECT_EQ(tape.loadState(), BroadcastTape::LoadState::Loaded);
    tape.loadTape(folder, QStringLiteral("2"));
    EXPECT_EQ(tape.loadState(), BroadcastTape::LoadState::Failed);
    EXPECT_EQ(tape.entryCount(), 0); // the previous route's texts are gone
    writeTape(QStringLiteral("3"), QStringLiteral("a,1,2\nb,x,1\n"));
    tape.loadTape(folder, QStringLiteral("3"));
    EXPECT_EQ(tape.loadState(), BroadcastTape::LoadState::Failed);
    tape.loadTape(folder, QStringLiteral("1"));
    EXPECT_EQ(tape.loadState(), BroadcastTape::LoadState::Loaded);
    EXPECT_EQ(loads.size(), 4);
}

TEST_F(TapeTest, TheFileNoteSaysWhatWasReadOrMissed)
{
    QSignalSpy notes(&tape, &BroadcastTape::fileNoteChanged);
    tape.loadTape(folder, QStringLiteral("4"));
    EXPECT_EQ(
        tape.fileNote(),
        QStringLiteral("放送用データがありません: %1").arg(folder + QStringLiteral("4tp.csv")));
    writeTape(QStringLiteral("4"), QStringLiteral("a,1,2\nb,x,1\n"));
    tape.loadTape(folder, QStringLiteral("4"));
    EXPECT_TRUE(tape.fileNote().startsWith(QStringLiteral("放送用データを読めません: ")));
    // The note names the line and what is wrong with it.
    EXPECT_TRUE(tape.fileNote().endsWith(QStringLiteral("\n2行目: 送りフラグ「x」が数ではありません"
                                                        "（放送の文に「,」があるときは、文全体を "
                                                        "\" で囲んでください）")))
        << tape.fileNote().toStdString();
    writeTape(QStringLiteral("4"), kThree);
    tape.loadTape(folder, QStringLiteral("4"));
    EXPECT_EQ(tape.fileNote(), QStringLiteral("放送用データ: %1\nShift-JIS (CP932)、3 件")
                                   .arg(folder + QStringLiteral("4tp.csv")));
    EXPECT_EQ(notes.size(), 3);
}

TEST_F(TapeTest, PreBroadcastSoundsFollowFlagsAndOptions)
{
    options.setPreBroadcastSound1(sound(QStringLiteral("one.wav")));
    options.setPreBroadcastSound2(sound(QStringLiteral("two.wav")));
    options.setPreBroadcastFile(sound(QStringLiteral("always.wav")));
    writeTape(QStringLiteral("1"), QStringLiteral("a,0,2\nb,0,4\nc,0,1\n"));
    tape.loadTape(folder, QStringLiteral("1"));
    const QString s2 = channelAlias(Channel::S2);
    const QString s3 = channelAlias(Channel::S3);

    tape.stepForward(); // flag 2
    tape.stepForward(); // flag 4: no sound
    ASSERT_EQ(opened.size(), 1);
    EXPECT_TRUE(opened[0].contains(options.preBroadcastSound2()) &&
                opened[0].endsWith(s3 + QStringLiteral(" wait")));
    EXPECT_EQ(spoken(), (QStringList{QStringLiteral("a"), QStringLiteral("b")}));

    options.setPreBroadcastByFlag(false);
    options.setPreBroadcastAlways(true); // forwards only
    tape.stepForward();
    ASSERT_EQ(opened.size(), 2);
    EXPECT_TRUE(opened[1].contains(options.preBroadcastFile()));
    tape.stepBack(); // flag 4 again: silent even with "always"
    EXPECT_EQ(opened.size(), 2);
    tape.stepBack(); // flag 2 on the back channel
    ASSERT_EQ(opened.size(), 3);
    EXPECT_TRUE(opened[2].contains(options.preBroadcastSound2()) && opened[2].contains(s2));
}

TEST_F(TapeTest, SpeakingStopsFirstAndAFailureIsStoppedAgain)
{
    writeTape(QStringLiteral("1"), kThree);
    tape.loadTape(folder, QStringLiteral("1"));
    tape.stepForward();
    EXPECT_EQ(log.calls, (QStringList{QStringLiteral("stop"), QStringLiteral("speak 一つ目")}));
    log.calls.clear();
    log.statusAfterSpeak = speech::SpeechStatus::Failed;
    tape.stepForward();
    EXPECT_EQ(log.calls, (QStringList{QStringLiteral("stop"), QStringLiteral("speak 二つ目"),
                                      QStringLiteral("stop")}));
    log.calls.clear();
    tape.stopSpeech();
    EXPECT_EQ(log.calls, (QStringList{QStringLiteral("stop")}));
    tape.releaseSpeech();
    tape.stepForward(); // nothing left to speak with
    EXPECT_EQ(log.calls.size(), 1);
}

TEST_F(TapeTest, TheVoiceSettingsHoldBeforeTheEngineAndReachItWhenItArrives)
{
    StandAloneTape late{sounds, &startGate, recordingEngines()};
    QSignalSpy changed(&late, &BroadcastTape::speechSettingsChanged);
    late.setSpeechSettings({250, 40, 80});
    late.setSpeechSettings({250, 40, 80}); // no change, no signal
    ASSERT_EQ(changed.size(), 1);
    EXPECT_EQ(changed[0][0].value<speech::SpeechSettings>(), (speech::SpeechSettings{250, 40, 80}));
    EXPECT_EQ(late.voiceName(), QString()) << "no engine yet";

    log.settings.clear();
    late.initSpeech();
    ASSERT_TRUE(waitForSpeechDecision(late));
    EXPECT_EQ(log.settings, QStringList{QStringLiteral("250/40/80")});
    EXPECT_EQ(late.voiceName(), QStringLiteral("記録係"));

    // Out of range comes into range; the engine gets the change at once.
    late.setSpeechSettings({9999, -5, 101});
    EXPECT_EQ(late.speechSettings(), (speech::SpeechSettings{450, 0, 100}));
    EXPECT_EQ(log.settings.last(), QStringLiteral("450/0/100"));
    EXPECT_EQ(changed.size(), 2);
    EXPECT_EQ(late.options().speechRate(), 450) << "kept in the options";
}

TEST_F(TapeTest, TheVoiceFollowsItsOptionsChangedElsewhere)
{
    QSignalSpy changed(&tape, &BroadcastTape::speechSettingsChanged);
    log.settings.clear();
    // As a preferences load sets them, one by one.
    options.setSpeechRate(300);
    options.setSpeechVolume(60);
    EXPECT_EQ(tape.speechSettings(), (speech::SpeechSettings{300, 50, 60}));
    EXPECT_EQ(log.settings,
              (QStringList{QStringLiteral("300/50/100"), QStringLiteral("300/50/60")}));
    EXPECT_EQ(changed.size(), 2);
    // Options of another kind are none of the voice's business.
    options.setPreBroadcastFile(QStringLiteral("x.wav"));
    EXPECT_EQ(changed.size(), 2);

    // The voice dialog's settings land in the options.
    tape.setSpeechSettings({120, 20, 30});
    EXPECT_EQ(options.speechRate(), 120);
    EXPECT_EQ(options.speechPitch(), 20);
    EXPECT_EQ(options.speechVolume(), 30);
    EXPECT_EQ(log.settings.last(), QStringLiteral("120/20/30"));
    EXPECT_EQ(changed.size(), 3);
}

TEST_F(TapeTest, TheSampleUsesTrialSettingsAndStopsOnlyItself)
{
    writeTape(QStringLiteral("1"), kThree);
    tape.loadTape(folder, QStringLiteral("1"));
    const QString sample = QStringLiteral("speak ") + speech::sampleText();
    tape.speakSample({300, 10, 60});
    EXPECT_EQ(log.calls, QStringList{sample + QStringLiteral(" with 300/10/60")});
    EXPECT_EQ(tape.speechSettings(), speech::SpeechSettings{}) << "a trial changes nothing kept";
    tape.stopSample();
    EXPECT_EQ(log.calls.last(), QStringLiteral("stop"));

    // An announcement spoken after the sample goes on when the sample is stopped.
    tape.speakSample({300, 10, 60});
    tape.stepForward();
    log.calls.clear();
    tape.stopSample();
    EXPECT_TRUE(log.calls.isEmpty());

    // Once the exit has released the engine, everything the dialog calls is harmless.
    tape.speakSample({300, 10, 60});
    tape.releaseSpeech();
    log.calls.clear();
    tape.speakSample({200, 20, 30});
    tape.stopSample();
    tape.setSpeechSettings({200, 20, 30});
    EXPECT_TRUE(log.calls.isEmpty());
    EXPECT_EQ(tape.voiceName(), QString());
    EXPECT_EQ(tape.speechSettings(), (speech::SpeechSettings{200, 20, 30}));
}

// Flags raised on one thread and awaited on another, each wait bounded by ten seconds.
class Milestones
{
public:
    enum Name { Entered, Released, Finished, EngineGone, Count };
    void reach(Name name)
    {
        std::lock_guard lock(mutex_);
        reached_[name] = true;
        changed_.notify_all();
    }
    bool reached(Name name)
    {
        std::lock_guard lock(mutex_);
        return reached_[name];
    }
    bool waitFor(Name name)
    {
        std::unique_lock lock(mutex_);
        return changed_.wait_for(lock, std::chrono::seconds(10), [&] { return reached_[name]; });
    }

private:
    std::mutex mutex_;
    std::condition_variable changed_;
    bool reached_[Count] = {};
};

class EngineTellingItsEnd : public RecordingEngine
{
public:
    EngineTellingItsEnd(SpeechLog& log, std::function<void()> onEnd)
        : RecordingEngine(log), onEnd_(std::move(onEnd))
    {
    }
    ~EngineTellingItsEnd() override { onEnd_(); }

private:
    std::function<void()> onEnd_;
};

TEST_F(TapeTest, NobodyWaitsForACreationThatIsStillRunning)
{
    // The creation hangs, as in a library that never answers, until the test lets it go. If
    // the tape waited for it, a guard lets it go after ten seconds so that the test can fail.
    auto creation = std::make_shared<Milestones>();
    auto droppedLog = std::make_shared<SpeechLog>();
    const speech::SpeechEngineFactory engines([creation, droppedLog] {
        creation->reach(Milestones::Entered);
        creation->waitFor(Milestones::Released);
        creation->reach(Milestones::Finished);
        return std::make_unique<EngineTellingItsEnd>(
            *droppedLog, [creation] { creation->reach(Milestones::EngineGone); });
    });
    std::thread guard([creation] {
        if (!creation->waitFor(Milestones::Released))
            creation->reach(Milestones::Released);
    });

    auto late = std::make_unique<StandAloneTape>(sounds, &startGate, engines);
    late->initSpeech();
    ASSERT_TRUE(creation->waitFor(Milestones::Entered));
    late.reset();
    const bool finishedBeforeTheTapeWent = creation->reached(Milestones::Finished);
    creation->reach(Milestones::Released);
    guard.join();
    EXPECT_FALSE(finishedBeforeTheTapeWent) << "the tape waited for its engine's creation";
    // The creation ends later and hands its engine to nobody.
    EXPECT_TRUE(creation->waitFor(Milestones::EngineGone));
}

TEST_F(TapeTest, TheTapeButtonsAskForADataStepByTheFlag)
{
    writeTape(QStringLiteral("1"), kThree); // only line 2 steps the data
    tape.loadTape(folder, QStringLiteral("1"));
    QSignalSpy steps(&tape, &BroadcastTape::dataStepRequested);
    tape.pressNext();
    EXPECT_EQ(steps.size(), 0);
    tape.pressNext();
    ASSERT_EQ(steps.size(), 1);
    EXPECT_EQ(steps[0][0].toInt(), 1);
    tape.pressNext();
    tape.pressBack();
    ASSERT_EQ(steps.size(), 2);
    EXPECT_EQ(steps[1][0].toInt(), 0);
    tape.pressBack();
    tape.pressBack(); // held at 1: the flag of line 1 is read, no step
    EXPECT_EQ(steps.size(), 2);
}

TEST_F(TapeTest, UntilTheEngineIsReadySpeechIsUnavailableAndARouteStillLoads)
{
    std::mutex creating;
    creating.lock(); // the engine takes its time
    const speech::SpeechEngineFactory engines([this, &creating] {
        std::lock_guard wait(creating);
        return std::make_unique<RecordingEngine>(log);
    });
    StandAloneTape late{sounds, &startGate, engines};
    late.initSpeech();
    EXPECT_FALSE(late.isSpeechAvailable());
    writeTape(QStringLiteral("1"), kThree);
    late.loadTape(folder, QStringLiteral("1"));
    EXPECT_EQ(late.entryCount(), 3);
    EXPECT_EQ(late.loadState(), BroadcastTape::LoadState::Loaded);

    QSignalSpy available(&late, &BroadcastTape::speechAvailableChanged);
    creating.unlock();
    ASSERT_TRUE(waitForSpeechDecision(late));
    EXPECT_TRUE(late.isSpeechAvailable());
    ASSERT_EQ(available.size(), 1);
    EXPECT_TRUE(available[0][0].toBool());
    EXPECT_EQ(log.prepared.last(), QStringLiteral("一つ目")); // ready for the first "送り"
}

TEST_F(TapeTest, AFailedLoadBeforeTheEngineIsReadyStaysFailed)
{
    StandAloneTape late{sounds, &startGate, recordingEngines()};
    startGate.hold(); // as while the windows come up
    late.initSpeech();
    late.loadTape(folder, QStringLiteral("404"));
    startGate.release();
    ASSERT_TRUE(waitForSpeechDecision(late));
    EXPECT_TRUE(late.isSpeechAvailable());
    EXPECT_EQ(late.loadState(), BroadcastTape::LoadState::Failed);
    EXPECT_TRUE(log.prepared.isEmpty()); // nothing to make ready
}

TEST_F(TapeTest, TheEngineWaitsForTheStartUpWork)
{
    int created = 0;
    const speech::SpeechEngineFactory engines([this, &created] {
        ++created;
        return std::make_unique<RecordingEngine>(log);
    });
    StandAloneTape late{sounds, &startGate, engines};
    startGate.hold();
    late.initSpeech();
    QCoreApplication::processEvents();
    EXPECT_EQ(created, 0);
    startGate.release();
    ASSERT_TRUE(waitForSpeechDecision(late));
    EXPECT_EQ(created, 1);
}

TEST_F(TapeTest, TheEntryNextToBeSpokenIsMadeReadyAfterEveryMove)
{
    writeTape(QStringLiteral("1"), kThree);
    tape.loadTape(folder, QStringLiteral("1"));
    tape.stepForward();
    tape.stepForward();
    tape.stepBack();
    tape.stepForward();
    tape.stepForward(); // the last entry: nothing follows
    EXPECT_EQ(log.prepared, (QStringList{QStringLiteral("一つ目"), QStringLiteral("二つ目"),
                                         QStringLiteral("三つ目"), QStringLiteral("二つ目"),
                                         QStringLiteral("三つ目")}));
}

TEST_F(TapeTest, ReadingsAreWhatIsSpokenAndMadeReady)
{
    writeTape(QStringLiteral("1"),
              QStringLiteral("\"次は、富岸《とんけし》です。\",1,0\r\n"
                             "\"次は、｜母恋駅《ぼこいえき》前です。\",1,0\r\n"));
    tape.loadTape(folder, QStringLiteral("1"));
    tape.stepForward();
    tape.stepForward();
    tape.stepBack();
    const QString first = QStringLiteral("次は、とんけしです。");
    const QString second = QStringLiteral("次は、ぼこいえき前です。");
    EXPECT_EQ(spoken(), (QStringList{first, second, first}));
    EXPECT_EQ(log.prepared, (QStringList{first, second, second}));
    EXPECT_EQ(tape.shownText(2), QStringLiteral("次は、母恋駅前です。"));
}

TEST(SampleTapes, TheBundledRoutesLoad)
{
    for (const char* route : {"1", "12", "120"}) {
        const auto entries = *readTapeFile(
            QStringLiteral(FARE_TEST_SAMPLES_DIR "/%1tp.csv").arg(QLatin1String(route)));
        EXPECT_GE(entries.size(), 10u) << route;
        EXPECT_TRUE(entries[1].text.startsWith(QStringLiteral("次は、")) ||
                    entries[2].text.startsWith(QStringLiteral("次は、")));
    }
    // The sample's reading survives the conversion to Shift-JIS.
    const auto route120 = *readTapeFile(QStringLiteral(FARE_TEST_SAMPLES_DIR "/120tp.csv"));
    EXPECT_EQ(route120[1].shownText(), QStringLiteral("次は、市場前です。"));
    EXPECT_EQ(route120[1].spokenText(), QStringLiteral("次は、いちばまえです。"));
}

AUDIO_TEST_MAIN()
