#include "speech/openjtalkvoice.h"

#include <QDir>
#include <QFileInfo>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <algorithm>
#include <cstring>

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

// A wave file's header and chunks around the samples of one clause.
constexpr qsizetype kWaveOverhead = 4096;
// The trace of one piece is a few kilobytes; its program writes nothing else to us.
constexpr qsizetype kReadingOutputCap = 1 << 20;
constexpr qint64 kTraceCap = 1 << 20;

QStringList toStandardOutput()
{
    return {QStringLiteral("-ow"), QStringLiteral("/dev/stdout")};
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
    ready_.end();
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
    start(ready_, toStandardOutput());
}

QStringList OpenJTalkVoice::arguments(const QStringList& outputs) const
{
    return QStringList{QStringLiteral("-x"),  files_.dictionary,
                       QStringLiteral("-m"),  files_.voice,
                       QStringLiteral("-r"),  QString::number(speedFor(settings_), 'f', 2),
                       QStringLiteral("-fm"), QString::number(halfTonesFor(settings_), 'f', 2)} +
           outputs;
}

bool OpenJTalkVoice::start(ChildProcess& run, const QStringList& outputs)
{
    return run.start(files_.program, arguments(outputs), &groups_);
}

void OpenJTalkVoice::killChildProcesses()
{
    groups_.killAll();
}

bool OpenJTalkVoice::synthesize(const QString& text, std::vector<qint16>& pcm,
                                const StopRequested& stopRequested)
{
    pcm.clear();
    for (const QString& piece : cutLongClause(withAnnouncementReadings(text).simplified())) {
        std::vector<qint16> samples;
        if (!synthesizePiece(piece, samples, stopRequested) ||
            qsizetype(pcm.size() + samples.size()) > kMaxClauseSamples) {
            pcm.clear();
            return false;
        }
        pcm.insert(pcm.end(), samples.begin(), samples.end());
    }
    return true;
}

bool OpenJTalkVoice::synthesizePiece(const QString& piece, std::vector<qint16>& samples,
                                     const StopRequested& stopRequested)
{
    if (!ready_.isStarted() && !start(ready_, toStandardOutput()))
        return false;
    ChildProcess run = std::move(ready_);
    // One line of text; the program reads no further.
    QByteArray wave;
    const ChildProcess::Result result =
        run.exchange(piece.toUtf8() + '\n', wave, kMaxClauseSamples * 2 + kWaveOverhead,
                     stopRequested, ChildProcess::Clock::now() + kSynthesisTimeLimit);
    run.end();
    // The next run loads while this clause plays.
    start(ready_, toStandardOutput());
    if (result != ChildProcess::Result::Done)
        return false;
    std::optional<std::vector<qint16>> decoded = waveSamples(wave);
    if (!decoded)
        return false;
    samples = std::move(*decoded);
    return true;
}

QString OpenJTalkVoice::reading(const QString& text)
{
    QString out;
    for (const QString& piece : cutLongClause(withAnnouncementReadings(text).simplified()))
        out += readingOfPiece(piece);
    return out;
}

QString OpenJTalkVoice::readingOfPiece(const QString& piece)
{
    QTemporaryDir dir;
    const QString trace = dir.filePath(QStringLiteral("trace.txt"));
    ChildProcess run;
    if (!start(run,
               {QStringLiteral("-ow"), QStringLiteral("/dev/null"), QStringLiteral("-ot"), trace}))
        return {};
    QByteArray ignored;
    const ChildProcess::Result result =
        run.exchange(piece.toUtf8() + '\n', ignored, kReadingOutputCap, {},
                     ChildProcess::Clock::now() + kReadingTimeLimit);
    run.end();
    QFile file(trace);
    if (result != ChildProcess::Result::Done || !file.open(QIODevice::ReadOnly))
        return {};
    // The text analysis lists one word a line; its tenth field is the pronunciation, with
    // accent marks.
    QString out;
    bool inAnalysis = false;
    for (const QString& entry : QString::fromUtf8(file.read(kTraceCap)).split(u'\n')) {
        if (entry.startsWith(u'['))
            inAnalysis = entry == u"[Text analysis result]";
        else if (inAnalysis && !entry.isEmpty())
            out += entry.section(u',', 9, 9).remove(u'’');
    }
    return out;
}

} // namespace speech
