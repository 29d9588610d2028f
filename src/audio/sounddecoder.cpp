#include "audio/sounddecoder.h"

#include <SDL.h>
#include <algorithm>
#include <mpg123.h>
#include <sndfile.h>
#include <system_error>
#include <thread>
#include <vector>

namespace audio
{

namespace
{

// Rates and channel counts the converter is given; anything else is no sound we play (a
// header claiming 1 Hz would turn each sample into a second of output).
constexpr int kMinRate = 1000;
constexpr int kMaxRate = 384000;
constexpr int kMaxChannels = 8;
// About a tenth of a second of CD sound: small pieces, so a closed sound stops its worker at
// once and the first piece is there almost at once.
constexpr qsizetype kPieceFrames = 4096;
constexpr qint64 kFeedBytes = 16 * 1024;
constexpr int kOutputFrameBytes = int(sizeof(qint16)) * kOutputChannels;

// Converts pieces of one input format to the output format. SDL's stream keeps the
// resampler's state from piece to piece, so the joins between pieces are seamless.
class OutputConverter
{
public:
    OutputConverter() = default;
    OutputConverter(const OutputConverter&) = delete;
    OutputConverter& operator=(const OutputConverter&) = delete;
    ~OutputConverter() { reset(); }

    bool start(SDL_AudioFormat format, int channels, int rate)
    {
        reset();
        if (channels < 1 || channels > kMaxChannels || rate < kMinRate || rate > kMaxRate)
            return false;
        stream_ = SDL_NewAudioStream(format, Uint8(channels), rate, AUDIO_S16SYS, kOutputChannels,
                                     kOutputRate);
        sliceBytes_ = kSliceFrames * (SDL_AUDIO_BITSIZE(format) / 8) * channels;
        return stream_ != nullptr;
    }

    // Converts the bytes and appends at most maxFrames frames of them.
    void put(PcmBuffer& out, const void* data, qsizetype bytes, qsizetype maxFrames)
    {
        if (!stream_)
            return;
        // SDL 2.26 loses part of what it resamples when given more than about 512 frames at
        // a time; slices of 256 lose nothing.
        const auto* from = static_cast<const Uint8*>(data);
        for (qsizetype done = 0; done < bytes; done += sliceBytes_)
            if (SDL_AudioStreamPut(stream_, from + done,
                                   int(std::min(sliceBytes_, bytes - done))) != 0)
                return;
        drain(out, maxFrames);
    }

    // Appends what the resampler still holds (at the end, or before a change of format).
    void finish(PcmBuffer& out, qsizetype maxFrames)
    {
        if (stream_ && SDL_AudioStreamFlush(stream_) == 0)
            drain(out, maxFrames);
        reset();
    }

private:
    void reset()
    {
        if (stream_)
            SDL_FreeAudioStream(stream_);
        stream_ = nullptr;
    }

    void drain(PcmBuffer& out, qsizetype maxFrames)
    {
        for (qsizetype appended = 0; appended < maxFrames;) {
            const qsizetype frames =
                std::min({qsizetype(SDL_AudioStreamAvailable(stream_) / kOutputFrameBytes),
                          maxFrames - appended, kPieceFrames});
            if (frames <= 0)
                return;
            chunk_.resize(size_t(frames) * kOutputChannels);
            const int got =
                SDL_AudioStreamGet(stream_, chunk_.data(), int(frames) * kOutputFrameBytes);
            if (got <= 0)
                return;
            out.append(chunk_.data(), got / kOutputFrameBytes);
            appended += got / kOutputFrameBytes;
        }
    }

    static constexpr qsizetype kSliceFrames = 256;
    SDL_AudioStream* stream_ = nullptr;
    qsizetype sliceBytes_ = 0;
    std::vector<qint16> chunk_;
};

// ---- wave files, through libsndfile (every wave encoding, broken headers handled) ----

// libsndfile's reads and seeks on a QIODevice; reads can be limited while the header is
// looked for.
class DeviceIo
{
public:
    explicit DeviceIo(std::unique_ptr<QIODevice> device) : device_(std::move(device)) {}
    // -1: no limit.
    void setReadLimit(qint64 bytes) { readLimit_ = bytes; }

    SF_VIRTUAL_IO callbacks()
    {
        return {&DeviceIo::length, &DeviceIo::seek, &DeviceIo::read, &DeviceIo::write,
                &DeviceIo::tell};
    }

private:
    static QIODevice& device(void* self) { return *static_cast<DeviceIo*>(self)->device_; }
    static sf_count_t length(void* self) { return device(self).size(); }
    static sf_count_t tell(void* self) { return device(self).pos(); }
    static sf_count_t write(const void*, sf_count_t, void*) { return 0; }

    static sf_count_t seek(sf_count_t offset, int whence, void* self)
    {
        QIODevice& d = device(self);
        const qint64 base = whence == SEEK_CUR ? d.pos() : whence == SEEK_END ? d.size() : 0;
        // Nothing lies beyond the end of a file being read: a header that points there is
        // broken.
        if (base + offset < 0 || base + offset > d.size() || !d.seek(base + offset))
            return -1;
        return d.pos();
    }

    static sf_count_t read(void* data, sf_count_t count, void* self)
    {
        auto& io = *static_cast<DeviceIo*>(self);
        if (io.readLimit_ >= 0)
            count = std::min<sf_count_t>(count, io.readLimit_);
        const qint64 got = count > 0 ? io.device_->read(static_cast<char*>(data), count) : 0;
        if (io.readLimit_ >= 0 && got > 0)
            io.readLimit_ -= got;
        return std::max<qint64>(got, 0);
    }

    std::unique_ptr<QIODevice> device_;
    qint64 readLimit_ = -1;
};

class WaveDecoder : public SoundDecoder
{
public:
    static std::unique_ptr<SoundDecoder> open(std::unique_ptr<QIODevice> file)
    {
        std::unique_ptr<WaveDecoder> decoder(new WaveDecoder(std::move(file)));
        return decoder->openHeader() ? std::move(decoder) : nullptr;
    }

    ~WaveDecoder() override
    {
        if (file_)
            sf_close(file_);
    }

    bool decodePiece(PcmBuffer& out, qsizetype maxFrames) override
    {
        // Enough input for maxFrames of output, and never more than a piece.
        const sf_count_t wanted = std::min<sf_count_t>(
            kPieceFrames, sf_count_t(maxFrames) * info_.samplerate / kOutputRate + 1);
        samples_.resize(size_t(wanted) * size_t(info_.channels));
        const sf_count_t got = sf_readf_float(file_, samples_.data(), wanted);
        if (got <= 0) {
            converter_.finish(out, maxFrames);
            return false;
        }
        converter_.put(out, samples_.data(),
                       qsizetype(got) * info_.channels * qsizetype(sizeof(float)), maxFrames);
        return true;
    }

private:
    explicit WaveDecoder(std::unique_ptr<QIODevice> file) : io_(std::move(file)) {}

    bool openHeader()
    {
        SF_VIRTUAL_IO callbacks = io_.callbacks();
        io_.setReadLimit(kMaxHeaderBytes);
        file_ = sf_open_virtual(&callbacks, SFM_READ, &info_, &io_);
        io_.setReadLimit(-1);
        // Samples come as floats from -1 to 1 whatever the encoding; SDL clamps what lies
        // beyond.
        return file_ && info_.frames > 0 &&
               converter_.start(AUDIO_F32SYS, info_.channels, info_.samplerate);
    }

    DeviceIo io_;
    SF_INFO info_{};
    SNDFILE* file_ = nullptr;
    OutputConverter converter_;
    std::vector<float> samples_;
};

// ---- MP3, through mpg123 fed piece by piece ----

class Mp3Decoder : public SoundDecoder
{
public:
    static std::unique_ptr<SoundDecoder> open(std::unique_ptr<QIODevice> file)
    {
        static const bool initialised = mpg123_init() == MPG123_OK;
        if (!initialised)
            return nullptr;
        std::unique_ptr<Mp3Decoder> decoder(new Mp3Decoder(std::move(file)));
        return decoder->openStream() ? std::move(decoder) : nullptr;
    }

    ~Mp3Decoder() override
    {
        if (handle_)
            mpg123_delete(handle_);
    }

    bool decodePiece(PcmBuffer& out, qsizetype maxFrames) override
    {
        size_t done = 0;
        const int result = mpg123_read(handle_, pcm_.data(), pcm_.size(), &done);
        converter_.put(out, pcm_.data(), qsizetype(done), maxFrames);
        switch (result) {
        case MPG123_OK:
            return true;
        case MPG123_NEW_FORMAT:
            converter_.finish(out, maxFrames);
            return startConverter();
        case MPG123_NEED_MORE:
            if (feed())
                return true;
            break;
        default: // the end of the stream, or a stream that cannot be decoded further
            break;
        }
        converter_.finish(out, maxFrames);
        return false;
    }

private:
    explicit Mp3Decoder(std::unique_ptr<QIODevice> file)
        : file_(std::move(file)), pcm_(size_t(kPieceFrames) * kOutputFrameBytes),
          chunk_(size_t(kFeedBytes))
    {
    }

    bool openStream()
    {
        handle_ = mpg123_new(nullptr, nullptr);
        if (!handle_)
            return false;
        // An ID3v2 tag is skipped here, by its length: mpg123 would read a whole tag into
        // memory, and a broken one can claim 256 MB.
        mpg123_param(handle_, MPG123_ADD_FLAGS, MPG123_QUIET | MPG123_SKIP_ID3V2, 0);
        // 16-bit samples at whatever rate and channel count the stream has.
        mpg123_format_none(handle_);
        const long* rates = nullptr;
        size_t rateCount = 0;
        mpg123_rates(&rates, &rateCount);
        for (size_t i = 0; i < rateCount; ++i)
            mpg123_format(handle_, rates[i], MPG123_MONO | MPG123_STEREO, MPG123_ENC_SIGNED_16);
        if (mpg123_open_feed(handle_) != MPG123_OK || !skipId3v2Tag())
            return false;
        long rate = 0;
        int channels = 0;
        int encoding = 0;
        for (qint64 fed = 0;; fed += kFeedBytes) {
            const int result = mpg123_getformat(handle_, &rate, &channels, &encoding);
            if (result == MPG123_OK)
                return startConverter();
            if (result != MPG123_NEED_MORE || fed >= kMaxHeaderBytes || !feed())
                return false;
        }
    }

    // Moves past an ID3v2 tag at the start: a ten-byte header and the length it gives.
    bool skipId3v2Tag()
    {
        const QByteArray header = file_->peek(10);
        if (header.size() < 10 || !header.startsWith("ID3"))
            return true;
        qint64 length = 10;
        for (int i = 6; i < 10; ++i) {
            if (quint8(header[i]) & 0x80)
                return true; // no tag after all; let mpg123 look at it
            length += qint64(quint8(header[i])) << (7 * (9 - i));
        }
        if (quint8(header[5]) & 0x10) // a footer follows the tag
            length += 10;
        return length <= file_->size() && file_->seek(length);
    }

    bool feed()
    {
        const qint64 got = file_->read(reinterpret_cast<char*>(chunk_.data()), kFeedBytes);
        return got > 0 && mpg123_feed(handle_, chunk_.data(), size_t(got)) == MPG123_OK;
    }

    bool startConverter()
    {
        long rate = 0;
        int channels = 0;
        int encoding = 0;
        return mpg123_getformat(handle_, &rate, &channels, &encoding) == MPG123_OK &&
               rate <= kMaxRate && converter_.start(AUDIO_S16SYS, channels, int(rate));
    }

    std::unique_ptr<QIODevice> file_;
    mpg123_handle* handle_ = nullptr;
    OutputConverter converter_;
    std::vector<unsigned char> pcm_;
    std::vector<unsigned char> chunk_;
};

bool isWave(const QByteArray& start)
{
    return (start.startsWith("RIFF") || start.startsWith("RF64")) && start.mid(8, 4) == "WAVE";
}

} // namespace

std::unique_ptr<SoundDecoder> openSoundDecoder(std::unique_ptr<QIODevice> file)
{
    if (!file || !file->isReadable())
        return nullptr;
    if (isWave(file->peek(12)))
        return WaveDecoder::open(std::move(file));
    return Mp3Decoder::open(std::move(file));
}

void decodeToEnd(SoundDecoder& decoder, const std::weak_ptr<PcmBuffer>& target)
{
    // Room for the longest sound up front: address space only until it is written, and the
    // buffer never moves while the device plays it.
    if (const PcmBufferPtr buffer = target.lock())
        buffer->reserve(kMaxSoundFrames);
    for (;;) {
        const PcmBufferPtr buffer = target.lock();
        if (!buffer)
            return; // closed: nobody listens any more
        const qsizetype room = kMaxSoundFrames - buffer->frameCount();
        if (room <= 0 || !decoder.decodePiece(*buffer, room)) {
            buffer->finish();
            return;
        }
    }
}

PcmBufferPtr startDecoding(std::unique_ptr<SoundDecoder> decoder)
{
    if (!decoder)
        return nullptr;
    auto buffer = std::make_shared<PcmBuffer>();
    try {
        std::thread([decoder = std::move(decoder), target = std::weak_ptr(buffer)]() mutable {
            decodeToEnd(*decoder, target);
            decoder.reset();
            releaseThreadState();
        }).detach();
    } catch (const std::system_error&) {
        return nullptr; // no thread to be had: the sound stays silent
    }
    return buffer;
}

} // namespace audio
