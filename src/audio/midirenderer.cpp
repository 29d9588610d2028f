#include "audio/midirenderer.h"

#include <QDir>
#include <QFileInfo>
#include <QLibrary>
#include <algorithm>
#include <atomic>
#include <condition_variable>
#include <deque>
#include <fluidsynth.h>
#include <mutex>
#include <optional>
#include <thread>

namespace audio
{

namespace
{

// About 23 ms a block: the first sound is there almost at once.
constexpr int kBlockFrames = 1024;
// Notes still sounding when the file ends ring out for at most this long.
constexpr int kMaxTailFrames = kOutputRate * 3;

// FluidSynth is opened when the renderer first starts, not linked: it pulls in some forty
// libraries (GLib, its instrument and sound-server libraries) that would otherwise load, and
// stay resident, in every run, while most runs play no MIDI sound at all. The header still
// gives the types and constants.
#define FARE_FLUIDSYNTH_FUNCTIONS(X)                                                               \
    X(fluid_set_log_function)                                                                      \
    X(new_fluid_settings)                                                                          \
    X(delete_fluid_settings)                                                                       \
    X(fluid_settings_setnum)                                                                       \
    X(fluid_settings_setint)                                                                       \
    X(fluid_settings_setstr)                                                                       \
    X(new_fluid_synth)                                                                             \
    X(delete_fluid_synth)                                                                          \
    X(fluid_synth_sfload)                                                                          \
    X(fluid_synth_system_reset)                                                                    \
    X(fluid_synth_write_s16)                                                                       \
    X(fluid_synth_get_active_voice_count)                                                          \
    X(new_fluid_player)                                                                            \
    X(delete_fluid_player)                                                                         \
    X(fluid_player_add_mem)                                                                        \
    X(fluid_player_play)                                                                           \
    X(fluid_player_stop)                                                                           \
    X(fluid_player_get_status)                                                                     \
    X(fluid_player_get_total_ticks)                                                                \
    X(fluid_player_get_current_tick)

// The functions of the FluidSynth library the renderer uses, resolved at run time.
struct FluidSynth {
#define FARE_DECLARE_FLUID_FUNCTION(name) decltype(&::name) name = nullptr;
    FARE_FLUIDSYNTH_FUNCTIONS(FARE_DECLARE_FLUID_FUNCTION)
#undef FARE_DECLARE_FLUID_FUNCTION

    // Loads the library (libNAME.so.MAJOR) and resolves every function; false, with every
    // pointer null, when the library is missing or lacks one of them. The library stays
    // loaded once loaded (QLibrary's destructor leaves it): the functions are used for the
    // rest of the process.
    bool load(const QString& name, int majorVersion)
    {
        QLibrary library(name, majorVersion);
        if (!library.load())
            return false;
        bool complete = true;
#define FARE_RESOLVE_FLUID_FUNCTION(fn)                                                            \
    fn = reinterpret_cast<decltype(&::fn)>(library.resolve(#fn));                                  \
    complete = complete && fn != nullptr;
        FARE_FLUIDSYNTH_FUNCTIONS(FARE_RESOLVE_FLUID_FUNCTION)
#undef FARE_RESOLVE_FLUID_FUNCTION
        if (!complete)
            *this = FluidSynth();
        return complete;
    }
};

#undef FARE_FLUIDSYNTH_FUNCTIONS

struct Job {
    QByteArray file;                   // the file's bytes, or
    std::unique_ptr<QIODevice> device; // the opened file, read on the worker
    std::weak_ptr<PcmBuffer> buffer;
};

} // namespace

// Shared by the owner and the worker thread, which is never joined: the owner lets go at
// once, and the worker ends on its own once its font load or render is over, so no exit
// waits for either.
class MidiRenderer::Worker : public std::enable_shared_from_this<MidiRenderer::Worker>
{
public:
    Worker(QString libraryName, int majorVersion)
        : libraryName_(std::move(libraryName)), majorVersion_(majorVersion)
    {
    }

    void start()
    {
        std::lock_guard lock(mutex_);
        if (!started_ && !ownerGone_) {
            std::thread([self = shared_from_this()] { self->run(); }).detach();
            started_ = true;
        }
    }

    // The owner is gone: the worker drops what is queued and ends after what it is doing.
    void letGo()
    {
        {
            std::lock_guard lock(mutex_);
            ownerGone_ = true;
        }
        wake_.notify_all();
    }

    bool isReady() const { return ready_; }
    // True once the worker found no synthesiser or no sound font it could load.
    bool isUnavailable() const { return unavailable_; }

    void enqueue(Job job)
    {
        start();
        {
            std::lock_guard lock(mutex_);
            jobs_.push_back(std::move(job));
        }
        wake_.notify_all();
    }

private:
    void run()
    {
        loadFont();
        while (std::optional<Job> job = nextJob()) {
            if (job->device)
                job->file = readWhole(*job->device);
            job->device.reset();
            render(*job);
        }
        releaseSynthesiser();
    }

    // Waits for the next job; nothing once the owner is gone. What was still queued then is
    // finished empty, for whoever still holds its buffer.
    std::optional<Job> nextJob()
    {
        std::deque<Job> dropped;
        {
            std::unique_lock lock(mutex_);
            wake_.wait(lock, [this] { return !jobs_.empty() || ownerGone_; });
            if (!ownerGone_) {
                Job job = std::move(jobs_.front());
                jobs_.pop_front();
                return job;
            }
            dropped.swap(jobs_);
        }
        for (const Job& job : dropped)
            if (PcmBufferPtr buffer = job.buffer.lock())
                buffer->finish();
        return std::nullopt;
    }

    void releaseSynthesiser()
    {
        if (synth_)
            lib_.delete_fluid_synth(synth_);
        if (settings_)
            lib_.delete_fluid_settings(settings_);
        synth_ = nullptr;
        settings_ = nullptr;
    }

    // Empty when the file is larger than the cap.
    static QByteArray readWhole(QIODevice& device)
    {
        QByteArray data = device.read(kMaxMidiFileBytes + 1);
        return data.size() > kMaxMidiFileBytes ? QByteArray() : data;
    }

    void loadFont()
    {
        ready_ = loadSynthesiser();
        unavailable_ = !ready_;
    }

    bool loadSynthesiser()
    {
        // Without the library MIDI sounds render nothing, as without a sound font: a sound
        // missing is no reason to stop the program, which plays its other sounds and speaks.
        if (!lib_.load(libraryName_, majorVersion_))
            return false;
        // FluidSynth reports missing optional drivers and the like on stderr; only errors
        // matter here, and they surface as a failed render.
        for (int level : {FLUID_PANIC, FLUID_ERR, FLUID_WARN, FLUID_INFO, FLUID_DBG})
            lib_.fluid_set_log_function(level, nullptr, nullptr);
        const QString font = findSoundFont();
        if (font.isEmpty())
            return false;
        settings_ = lib_.new_fluid_settings();
        lib_.fluid_settings_setnum(settings_, "synth.sample-rate", kOutputRate);
        lib_.fluid_settings_setnum(settings_, "synth.gain", 0.8);
        lib_.fluid_settings_setint(settings_, "synth.threadsafe-api", 0);
        // The player advances with the rendered samples, not with the wall clock.
        lib_.fluid_settings_setstr(settings_, "player.timing-source", "sample");
        synth_ = lib_.new_fluid_synth(settings_);
        if (!synth_ || lib_.fluid_synth_sfload(synth_, QFile::encodeName(font).constData(), 1) ==
                           FLUID_FAILED) {
            if (synth_)
                lib_.delete_fluid_synth(synth_);
            synth_ = nullptr;
            return false;
        }
        return true;
    }

    void render(const Job& job)
    {
        if (PcmBufferPtr buffer = job.buffer.lock())
            buffer->reserve(kMaxSoundFrames); // address space only until it is written
        else
            return;
        rendered_ = 0;
        if (synth_ && !job.file.isEmpty()) {
            lib_.fluid_synth_system_reset(synth_);
            fluid_player_t* player = lib_.new_fluid_player(synth_);
            if (lib_.fluid_player_add_mem(player, job.file.constData(), size_t(job.file.size())) ==
                    FLUID_OK &&
                lib_.fluid_player_play(player) == FLUID_OK) {
                // The player keeps playing for a grace period after the last event; the tail
                // below ends as soon as the notes have rung out instead.
                while (lib_.fluid_player_get_status(player) == FLUID_PLAYER_PLAYING &&
                       writeBlock(job) && !reachedEnd(player))
                    ;
                for (int tail = 0; tail < kMaxTailFrames && writeBlock(job); tail += kBlockFrames)
                    if (lib_.fluid_synth_get_active_voice_count(synth_) == 0 || blockIsSilent())
                        break;
            }
            lib_.fluid_player_stop(player);
            lib_.delete_fluid_player(player);
        }
        if (PcmBufferPtr done = job.buffer.lock())
            done->finish();
    }

    // Renders and appends one block; false once the sound is long enough or nobody holds
    // the buffer (closed). The buffer is held only while the block is added.
    bool writeBlock(const Job& job)
    {
        const qsizetype frames = std::min<qsizetype>(kBlockFrames, kMaxSoundFrames - rendered_);
        if (frames <= 0 || job.buffer.expired())
            return false;
        block_.resize(size_t(frames) * kOutputChannels);
        lib_.fluid_synth_write_s16(synth_, int(frames), block_.data(), 0, 2, block_.data(), 1, 2);
        PcmBufferPtr buffer = job.buffer.lock();
        if (!buffer)
            return false;
        buffer->append(block_.data(), frames);
        rendered_ += frames;
        return true;
    }

    bool reachedEnd(fluid_player_t* player) const
    {
        const int total = lib_.fluid_player_get_total_ticks(player);
        return total > 0 && lib_.fluid_player_get_current_tick(player) >= total;
    }

    // Below about -60 dB: the notes have rung out even if a voice still holds on.
    bool blockIsSilent() const
    {
        return std::all_of(block_.begin(), block_.end(), [](qint16 s) { return std::abs(s) < 32; });
    }

    const QString libraryName_;
    const int majorVersion_;
    std::mutex mutex_;
    std::condition_variable wake_;
    std::deque<Job> jobs_;
    bool started_ = false;
    bool ownerGone_ = false;
    std::atomic<bool> ready_{false};
    std::atomic<bool> unavailable_{false};
    // The worker's own from here on.
    FluidSynth lib_;
    fluid_settings_t* settings_ = nullptr;
    fluid_synth_t* synth_ = nullptr;
    std::vector<qint16> block_;
    qsizetype rendered_ = 0;
};

QStringList soundFontCandidates()
{
    // The user's choice first, as SDL's own MIDI players take it: paths separated by colons.
    QStringList fonts = qEnvironmentVariable("SDL_SOUNDFONTS").split(u':', Qt::SkipEmptyParts);
    fonts += QStringList{
        QStringLiteral("/usr/share/sounds/sf2/TimGM6mb.sf2"),
        // The system's choice of General MIDI font (Debian's alternatives).
        QStringLiteral("/usr/share/sounds/sf2/default-GM.sf2"),
        QStringLiteral("/usr/share/sounds/sf3/default-GM.sf3"),
        QStringLiteral("/usr/share/sounds/sf2/FluidR3_GM.sf2"),
        QStringLiteral("/usr/share/soundfonts/default.sf2"),
        QStringLiteral("/usr/share/soundfonts/FluidR3_GM.sf2"),
    };
    for (const QString& folder :
         {QStringLiteral("/usr/share/sounds/sf2"), QStringLiteral("/usr/share/soundfonts")})
        for (const QFileInfo& file :
             QDir(folder).entryInfoList({QStringLiteral("*.sf2")}, QDir::Files, QDir::Name))
            if (!fonts.contains(file.filePath()))
                fonts << file.filePath();
    return fonts;
}

QString findSoundFont()
{
    for (const QString& font : soundFontCandidates())
        if (QFileInfo(font).isFile()) // follows the alternatives' links
            return font;
    return {};
}

bool isMidiFile(const QByteArray& file)
{
    return file.startsWith("MThd");
}

MidiRenderer::MidiRenderer() : MidiRenderer(QStringLiteral("fluidsynth"), 3) {}

MidiRenderer::MidiRenderer(const QString& libraryName, int majorVersion)
    : worker_(std::make_shared<Worker>(libraryName, majorVersion))
{
}

MidiRenderer::~MidiRenderer()
{
    worker_->letGo();
}

void MidiRenderer::start()
{
    worker_->start();
}

bool MidiRenderer::isReady() const
{
    return worker_->isReady();
}

// Sounds asked for before the worker has tried the library and the font get a buffer that
// stays empty when either is missing; later ones are refused at once.
bool MidiRenderer::canRender() const
{
    return !worker_->isUnavailable() && !findSoundFont().isEmpty();
}

PcmBufferPtr MidiRenderer::render(const QByteArray& file)
{
    if (!isMidiFile(file) || file.size() > kMaxMidiFileBytes || !canRender())
        return nullptr;
    auto buffer = std::make_shared<PcmBuffer>();
    worker_->enqueue({file, nullptr, buffer});
    return buffer;
}

PcmBufferPtr MidiRenderer::renderFile(std::unique_ptr<QIODevice> file)
{
    if (!file || !isMidiFile(file->peek(4)) || file->size() > kMaxMidiFileBytes || !canRender())
        return nullptr;
    auto buffer = std::make_shared<PcmBuffer>();
    worker_->enqueue({QByteArray(), std::move(file), buffer});
    return buffer;
}

} // namespace audio
