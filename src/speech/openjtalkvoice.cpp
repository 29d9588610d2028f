#include "speech/openjtalkvoice.h"

#include <QDir>
#include <QFileInfo>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <algorithm>
#include <cerrno>
#include <csignal>
#include <cstring>
#include <fcntl.h>
#include <poll.h>
#include <spawn.h>
#include <sys/socket.h>
#include <sys/wait.h>
#include <unistd.h>

extern char** environ;

namespace speech
{

namespace
{

constexpr const char* kDictionaries[] = {"/var/lib/mecab/dic/open-jtalk/naist-jdic",
                                         "/usr/share/open-jtalk/dic"};
constexpr const char* kVoiceFolder = "/usr/share/hts-voice";
constexpr const char* kPreferredVoice =
    "/usr/share/hts-voice/nitech-jp-atr503-m001/nitech_jp_atr503_m001.htsvoice";

QString findVoiceFile()
{
    if (QFileInfo(QString::fromUtf8(kPreferredVoice)).isFile())
        return QString::fromUtf8(kPreferredVoice);
    const QDir folder(QString::fromUtf8(kVoiceFolder));
    for (const QString& sub : folder.entryList(QDir::Dirs | QDir::NoDotAndDotDot, QDir::Name)) {
        const QStringList voices =
            QDir(folder.filePath(sub)).entryList({QStringLiteral("*.htsvoice")}, QDir::Files);
        if (!voices.isEmpty())
            return folder.filePath(sub) + u'/' + voices.first();
    }
    return {};
}

quint32 littleEndian(const QByteArray& bytes, qsizetype at, int size)
{
    quint32 value = 0;
    for (int i = size - 1; i >= 0; --i)
        value = (value << 8) | quint8(bytes[at + i]);
    return value;
}

// The whole of a file descriptor until its end; false when stopped first.
bool readAll(int fd, QByteArray& out, const Voice::StopRequested& stopRequested)
{
    char chunk[65536];
    for (;;) {
        pollfd p{fd, POLLIN, 0};
        const int ready = ::poll(&p, 1, 20);
        if (stopRequested && stopRequested())
            return false;
        if (ready < 0 && errno != EINTR)
            return false;
        if (ready <= 0)
            continue;
        const ssize_t got = ::read(fd, chunk, sizeof chunk);
        if (got < 0 && errno == EINTR)
            continue;
        if (got <= 0)
            return got == 0;
        out.append(chunk, got);
    }
}

} // namespace

std::optional<std::vector<qint16>> waveSamples(const QByteArray& wave, int* sampleRate)
{
    if (wave.size() < 12 || !wave.startsWith("RIFF") || wave.mid(8, 4) != "WAVE")
        return std::nullopt;
    qsizetype at = 12;
    bool pcm16Mono = false;
    while (at + 8 <= wave.size()) {
        const QByteArray id = wave.mid(at, 4);
        const qsizetype size = littleEndian(wave, at + 4, 4);
        const qsizetype body = at + 8;
        if (id == "fmt " && body + 16 <= wave.size()) {
            pcm16Mono = littleEndian(wave, body, 2) == 1 && littleEndian(wave, body + 2, 2) == 1 &&
                        littleEndian(wave, body + 14, 2) == 16;
            if (sampleRate)
                *sampleRate = int(littleEndian(wave, body + 4, 4));
        } else if (id == "data" && pcm16Mono) {
            const qsizetype bytes = std::min(size, wave.size() - body) / 2 * 2;
            std::vector<qint16> samples(size_t(bytes / 2));
            std::memcpy(samples.data(), wave.constData() + body, size_t(bytes));
            return samples;
        }
        at = body + size + (size & 1);
    }
    return std::nullopt;
}

std::optional<OpenJTalkVoice::Files> OpenJTalkVoice::findFiles()
{
    Files files;
    files.program = QStandardPaths::findExecutable(QStringLiteral("open_jtalk"));
    for (const char* dir : kDictionaries)
        if (QFileInfo(QString::fromUtf8(dir) + QStringLiteral("/sys.dic")).isFile()) {
            files.dictionary = QString::fromUtf8(dir);
            break;
        }
    files.voice = findVoiceFile();
    if (files.program.isEmpty() || files.dictionary.isEmpty() || files.voice.isEmpty())
        return std::nullopt;
    return files;
}

std::unique_ptr<OpenJTalkVoice> OpenJTalkVoice::create(QString* error)
{
    const std::optional<Files> files = findFiles();
    if (!files) {
        if (error)
            *error = QStringLiteral("open_jtalk, its dictionary or a voice is not installed");
        return nullptr;
    }
    return create(*files);
}

std::unique_ptr<OpenJTalkVoice> OpenJTalkVoice::create(const Files& files)
{
    return std::unique_ptr<OpenJTalkVoice>(new OpenJTalkVoice(files));
}

OpenJTalkVoice::OpenJTalkVoice(Files files) : files_(std::move(files)) {}

OpenJTalkVoice::~OpenJTalkVoice()
{
    end(ready_, true);
}

QString OpenJTalkVoice::name() const
{
    return QStringLiteral("Open JTalk (%1)").arg(QFileInfo(files_.voice).dir().dirName());
}

double OpenJTalkVoice::speedFor(const SpeechSettings& settings)
{
    // 175 words a minute is espeak-ng's normal pace and open_jtalk's speed 1.
    return std::clamp(settings.rate / 175.0, 0.4, 3.0);
}

double OpenJTalkVoice::halfTonesFor(const SpeechSettings& settings)
{
    // 50 is the voice's own pitch; the ends lie half an octave away.
    return (std::clamp(settings.pitch, 0, 99) - 50) * 6.0 / 50.0;
}

void OpenJTalkVoice::apply(const SpeechSettings& settings)
{
    if (settings.rate == settings_.rate && settings.pitch == settings_.pitch)
        return;
    settings_ = settings;
    // The run waiting ahead has the old speed and pitch: start another at once.
    end(ready_, true);
    start(ready_, {QStringLiteral("-ow"), QStringLiteral("/dev/stdout")});
}

QStringList OpenJTalkVoice::arguments(const QStringList& outputs) const
{
    return QStringList{QStringLiteral("-x"),  files_.dictionary,
                       QStringLiteral("-m"),  files_.voice,
                       QStringLiteral("-r"),  QString::number(speedFor(settings_), 'f', 2),
                       QStringLiteral("-fm"), QString::number(halfTonesFor(settings_), 'f', 2)} +
           outputs;
}

bool OpenJTalkVoice::start(Run& run, const QStringList& outputs)
{
    // A socket for the input, so that writing to a program that died gives an error rather
    // than SIGPIPE.
    int input[2] = {-1, -1};
    int output[2] = {-1, -1};
    if (::socketpair(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC, 0, input) != 0)
        return false;
    if (::pipe2(output, O_CLOEXEC) != 0) {
        ::close(input[0]);
        ::close(input[1]);
        return false;
    }
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_adddup2(&actions, input[1], STDIN_FILENO);
    posix_spawn_file_actions_adddup2(&actions, output[1], STDOUT_FILENO);
    posix_spawn_file_actions_addopen(&actions, STDERR_FILENO, "/dev/null", O_WRONLY, 0);
    std::vector<QByteArray> args{QFile::encodeName(files_.program)};
    for (const QString& a : arguments(outputs))
        args.push_back(QFile::encodeName(a));
    std::vector<char*> argv;
    for (QByteArray& a : args)
        argv.push_back(a.data());
    argv.push_back(nullptr);
    pid_t pid = -1;
    const int result =
        posix_spawn(&pid, args[0].constData(), &actions, nullptr, argv.data(), environ);
    posix_spawn_file_actions_destroy(&actions);
    ::close(input[1]);
    ::close(output[1]);
    if (result != 0) {
        ::close(input[0]);
        ::close(output[0]);
        return false;
    }
    run = {pid, input[0], output[0]};
    return true;
}

void OpenJTalkVoice::end(Run& run, bool kill)
{
    if (run.pid <= 0)
        return;
    if (kill)
        ::kill(run.pid, SIGKILL);
    ::close(run.input);
    ::close(run.output);
    int status = 0;
    while (::waitpid(run.pid, &status, 0) < 0 && errno == EINTR)
        ;
    run = Run{};
}

bool OpenJTalkVoice::synthesize(const QString& text, std::vector<qint16>& pcm,
                                const StopRequested& stopRequested)
{
    pcm.clear();
    const QStringList toStandardOutput{QStringLiteral("-ow"), QStringLiteral("/dev/stdout")};
    if (ready_.pid <= 0 && !start(ready_, toStandardOutput))
        return false;
    Run run = ready_;
    ready_ = Run{};
    // One line of text; the program reads no further.
    QByteArray line = withAnnouncementReadings(text).simplified().toUtf8() + '\n';
    bool ok = ::send(run.input, line.constData(), size_t(line.size()), MSG_NOSIGNAL) ==
              ssize_t(line.size());
    ::shutdown(run.input, SHUT_WR);
    QByteArray wave;
    ok = ok && readAll(run.output, wave, stopRequested);
    end(run, !ok);
    // The next run loads while this clause plays.
    start(ready_, toStandardOutput);
    if (!ok)
        return false;
    std::optional<std::vector<qint16>> samples = waveSamples(wave);
    if (!samples)
        return false;
    pcm = std::move(*samples);
    return true;
}

QString OpenJTalkVoice::reading(const QString& text)
{
    QTemporaryDir dir;
    const QString trace = dir.filePath(QStringLiteral("trace.txt"));
    Run run;
    if (!start(run,
               {QStringLiteral("-ow"), QStringLiteral("/dev/null"), QStringLiteral("-ot"), trace}))
        return {};
    const QByteArray line = withAnnouncementReadings(text).simplified().toUtf8() + '\n';
    ::send(run.input, line.constData(), size_t(line.size()), MSG_NOSIGNAL);
    ::shutdown(run.input, SHUT_WR);
    QByteArray ignored;
    readAll(run.output, ignored, {});
    end(run, false);
    QFile file(trace);
    if (!file.open(QIODevice::ReadOnly))
        return {};
    // The text analysis lists one word a line; its tenth field is the pronunciation, with
    // accent marks.
    QString out;
    bool inAnalysis = false;
    for (const QString& entry : QString::fromUtf8(file.readAll()).split(u'\n')) {
        if (entry.startsWith(u'['))
            inAnalysis = entry == u"[Text analysis result]";
        else if (inAnalysis && !entry.isEmpty())
            out += entry.section(u',', 9, 9).remove(u'’');
    }
    return out;
}

} // namespace speech
