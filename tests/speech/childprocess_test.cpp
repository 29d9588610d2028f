#include "platform/wait.h"
#include "speech/childprocess.h"
#include "speech/openjtalkvoice.h"
#include "support/threadwait.h"

#include <QElapsedTimer>
#include <QFile>
#include <QTemporaryDir>
#include <atomic>
#include <csignal>
#include <gtest/gtest.h>
#include <thread>
#include <unistd.h>

using namespace speech;
using testsupport::waitForThreads;

namespace
{

// The header of a 16-bit mono 48 kHz wave file of unknown length, as printf writes it.
const char* const kWaveHeader =
    R"(printf 'RIFF\377\377\377\377WAVEfmt \020\000\000\000\001\000\001\000\200\273\000\000)"
    R"(\000\167\001\000\002\000\020\000data\377\377\377\377')";

// Scripts standing in for open_jtalk. Each background child they start writes its process id
// into the file "children"; whatever a test leaves running is killed at its end.
class Scripts
{
public:
    ~Scripts()
    {
        for (pid_t pid : children())
            ::kill(pid, SIGKILL);
    }
    QString write(const QString& name, const QByteArray& body)
    {
        QFile file(dir_.filePath(name));
        EXPECT_TRUE(file.open(QIODevice::WriteOnly));
        file.write("#!/bin/sh\n" + body + '\n');
        file.setPermissions(QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
        return file.fileName();
    }
    // A line that starts a child that would run for five minutes.
    QByteArray startsAChild() const
    {
        return "sleep 300 &\necho $! >> '" + QFile::encodeName(dir_.filePath("children")) + "'\n";
    }
    std::vector<pid_t> children() const
    {
        QFile file(dir_.filePath(QStringLiteral("children")));
        std::vector<pid_t> pids;
        if (file.open(QIODevice::ReadOnly))
            for (const QByteArray& line : file.readAll().split('\n'))
                if (!line.isEmpty())
                    pids.push_back(pid_t(line.toInt()));
        return pids;
    }
    bool childrenStarted(size_t count) const
    {
        return waitForThreads([&] { return children().size() >= count; }, 5000, 2);
    }
    // open_jtalk that writes its input back as the samples of a wave file.
    OpenJTalkVoice::Files echoVoice(const QByteArray& before = {})
    {
        return {write(QStringLiteral("echo_jtalk"), before + kWaveHeader + "\nexec cat"),
                dir_.path(), dir_.filePath(QStringLiteral("voice.htsvoice"))};
    }

private:
    QTemporaryDir dir_;
};

// Running or able to run: neither gone nor a zombie.
bool isRunning(pid_t pid)
{
    QFile stat(QStringLiteral("/proc/%1/stat").arg(pid));
    if (!stat.open(QIODevice::ReadOnly))
        return false;
    const QByteArray line = stat.readAll();
    const qsizetype nameEnd = line.lastIndexOf(')');
    return nameEnd > 0 && nameEnd + 2 < line.size() && line[nameEnd + 2] != 'Z' &&
           line[nameEnd + 2] != 'X';
}

bool ended(pid_t pid)
{
    return waitForThreads([pid] { return !isRunning(pid); }, 3000, 2);
}

// Samples of the echo voice for a text spoken in the given pieces: each piece is one line.
size_t echoedSamples(const QStringList& pieces)
{
    size_t samples = 0;
    for (const QString& piece : pieces)
        samples += size_t(piece.toUtf8().size() + 1) / 2;
    return samples;
}

// Stops after the given number of looks.
Voice::StopRequested stopAfter(int looks)
{
    auto count = std::make_shared<int>(0);
    return [count, looks] { return ++*count > looks; };
}

const auto kSoon = [] { return ChildProcess::Clock::now() + std::chrono::seconds(20); };

} // namespace

TEST(ChildProcess, FeedsItsInputWhileReadingItsOutput)
{
    // Far more than a pipe and a socket hold: cat blocks writing long before it has read
    // everything, so the input must go out while the output comes in.
    QByteArray input(4 << 20, '\0');
    for (qsizetype i = 0; i < input.size(); ++i)
        input[i] = char(i * 7 + i / 4096);
    ChildProcess cat;
    ASSERT_TRUE(cat.start(QStringLiteral("/bin/cat"), {}));
    QByteArray output;
    EXPECT_EQ(cat.exchange(input, output, 8 << 20, {}, kSoon()), ChildProcess::Result::Done);
    EXPECT_TRUE(output == input);

    // A program that stops reading early is no error: what it wrote is kept.
    ChildProcess head;
    ASSERT_TRUE(head.start(QStringLiteral("/usr/bin/head"), {QStringLiteral("-c"), "3"}));
    EXPECT_EQ(head.exchange(input, output, 1024, {}, kSoon()), ChildProcess::Result::Done);
    EXPECT_EQ(output, input.left(3));
}

TEST(ChildProcess, EndsAtAStopAndAtItsDeadlineAndIsReapedAtItsEnd)
{
    Scripts scripts;
    QByteArray output;
    ChildProcess silent;
    ASSERT_TRUE(silent.start(scripts.write(QStringLiteral("silent"), "exec sleep 300"), {}));
    EXPECT_EQ(silent.exchange("text\n", output, 1024, stopAfter(3), kSoon()),
              ChildProcess::Result::Stopped);
    const auto deadline = ChildProcess::Clock::now() + std::chrono::milliseconds(60);
    EXPECT_EQ(silent.exchange("text\n", output, 1024, {}, deadline),
              ChildProcess::Result::TimedOut);
    EXPECT_GE(ChildProcess::Clock::now(), deadline);
    const pid_t pid = silent.pid();
    silent.end();
    EXPECT_EQ(::kill(pid, 0), -1) << "killed and reaped";
}

TEST(OpenJTalkProcesses, ALongTextGoesInPiecesWithoutADeadlock)
{
    Scripts scripts;
    auto voice = OpenJTalkVoice::create(scripts.echoVoice());
    std::vector<qint16> pcm;
    const QString blanks =
        QString(60, u'あ') + u' ' + QString(60, u'い') + u' ' + QString(60, u'う');
    ASSERT_TRUE(voice->synthesize(blanks, pcm, {}));
    EXPECT_EQ(pcm.size(),
              echoedSamples({QString(60, u'あ'), QString(60, u'い'), QString(60, u'う')}));

    // 120,000 characters in one clause: the program gets a piece at a time, and a stop is
    // seen between and within pieces.
    QElapsedTimer timer;
    timer.start();
    EXPECT_FALSE(voice->synthesize(QString(120000, u'あ'), pcm, stopAfter(40)));
    EXPECT_TRUE(pcm.empty());
    EXPECT_LT(timer.elapsed(), 10000);
}

TEST(OpenJTalkProcesses, TheSpeechKeptFromARunIsCapped)
{
    Scripts scripts;
    const QString endless = scripts.write(QStringLiteral("endless_jtalk"),
                                          kWaveHeader + QByteArray("\nexec cat /dev/zero"));
    auto voice = OpenJTalkVoice::create({endless, QString(), QString()});
    std::vector<qint16> pcm;
    EXPECT_FALSE(voice->synthesize(QStringLiteral("はい。"), pcm, {}));
    EXPECT_TRUE(pcm.empty());
}

TEST(OpenJTalkProcesses, EachRunsChildrenEndWithItAndTheRestWithTheVoice)
{
    Scripts scripts;
    auto voice = OpenJTalkVoice::create(scripts.echoVoice(scripts.startsAChild()));
    std::vector<qint16> pcm;
    ASSERT_TRUE(voice->synthesize(QStringLiteral("はい。"), pcm, {}));
    EXPECT_EQ(pcm.size(), echoedSamples({QStringLiteral("はい。")}));
    // The run that spoke, then the one started ahead for the next clause.
    ASSERT_TRUE(scripts.childrenStarted(2));
    const std::vector<pid_t> children = scripts.children();
    EXPECT_TRUE(ended(children[0]));
    EXPECT_TRUE(isRunning(children[1]));
    EXPECT_NE(::getpgid(children[1]), ::getpgrp()) << "a process group of its own";
    voice.reset();
    EXPECT_TRUE(ended(children[1]));
}

TEST(OpenJTalkProcesses, KillingTheChildProcessesEndsASynthesisThatWaitsOnThem)
{
    Scripts scripts;
    const QString mute =
        scripts.write(QStringLiteral("mute_jtalk"), scripts.startsAChild() + "exec sleep 300");
    auto voice = OpenJTalkVoice::create({mute, QString(), QString()});
    std::atomic<bool> done{false};
    bool result = true;
    std::thread worker([&] {
        std::vector<qint16> pcm;
        result = voice->synthesize(QStringLiteral("はい。"), pcm, {});
        done = true;
    });
    ASSERT_TRUE(scripts.childrenStarted(1));
    voice->killChildProcesses();
    EXPECT_TRUE(waitForThreads([&] { return done.load(); }, 5000, 2));
    if (!done)
        voice->killChildProcesses(); // once more, so that the thread can be joined
    worker.join();
    EXPECT_FALSE(result);
    EXPECT_TRUE(ended(scripts.children()[0]));

    // A voice given up on kills what it starts afterwards too, at once.
    QElapsedTimer timer;
    timer.start();
    std::vector<qint16> pcm;
    EXPECT_FALSE(voice->synthesize(QStringLiteral("はい。"), pcm, stopAfter(250)));
    EXPECT_LT(timer.elapsed(), 2000);
}
