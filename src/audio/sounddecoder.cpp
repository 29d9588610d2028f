#include "audio/sounddecoder.h"

#include <SDL.h>
#include <mpg123.h>

namespace audio
{

namespace
{

bool isWave(const QByteArray& file)
{
    return file.size() >= 12 && file.startsWith("RIFF") && file.mid(8, 4) == "WAVE";
}

PcmBufferPtr decodeWave(const QByteArray& file)
{
    SDL_AudioSpec spec{};
    Uint8* data = nullptr;
    Uint32 length = 0;
    SDL_RWops* rw = SDL_RWFromConstMem(file.constData(), int(file.size()));
    if (!SDL_LoadWAV_RW(rw, 1, &spec, &data, &length))
        return nullptr;
    auto buffer = std::make_shared<PcmBuffer>();
    appendConverted(*buffer, data, length, spec.freq, spec.channels, spec.format);
    SDL_FreeWAV(data);
    buffer->finish();
    return buffer->frameCount() > 0 ? buffer : nullptr;
}

struct Mpg123Handle {
    mpg123_handle* handle = nullptr;
    ~Mpg123Handle()
    {
        if (handle)
            mpg123_delete(handle);
    }
};

PcmBufferPtr decodeMp3(const QByteArray& file)
{
    static const bool initialised = mpg123_init() == MPG123_OK;
    if (!initialised)
        return nullptr;
    Mpg123Handle mh;
    mh.handle = mpg123_new(nullptr, nullptr);
    if (!mh.handle)
        return nullptr;
    mpg123_param(mh.handle, MPG123_ADD_FLAGS, MPG123_QUIET, 0);
    // 16-bit samples at whatever rate and channel count the stream has.
    mpg123_format_none(mh.handle);
    const long* rates = nullptr;
    size_t rateCount = 0;
    mpg123_rates(&rates, &rateCount);
    for (size_t i = 0; i < rateCount; ++i)
        mpg123_format(mh.handle, rates[i], MPG123_MONO | MPG123_STEREO, MPG123_ENC_SIGNED_16);
    if (mpg123_open_feed(mh.handle) != MPG123_OK ||
        mpg123_feed(mh.handle, reinterpret_cast<const unsigned char*>(file.constData()),
                    size_t(file.size())) != MPG123_OK)
        return nullptr;

    // Decoded pieces of one format are gathered and converted together.
    auto buffer = std::make_shared<PcmBuffer>();
    long rate = 0;
    int channels = 0;
    std::vector<unsigned char> decoded;
    auto convertDecoded = [&] {
        appendConverted(*buffer, decoded.data(), qsizetype(decoded.size()), int(rate), channels);
        decoded.clear();
    };
    std::vector<unsigned char> pcm(16384);
    for (;;) {
        size_t done = 0;
        const int result = mpg123_read(mh.handle, pcm.data(), pcm.size(), &done);
        if (result == MPG123_NEW_FORMAT) {
            convertDecoded();
            int encoding = 0;
            mpg123_getformat(mh.handle, &rate, &channels, &encoding);
        }
        decoded.insert(decoded.end(), pcm.begin(), pcm.begin() + qsizetype(done));
        if (result != MPG123_OK && result != MPG123_NEW_FORMAT)
            break; // the end of the data (MPG123_NEED_MORE) or an error
    }
    convertDecoded();
    buffer->finish();
    return buffer->frameCount() > 0 ? buffer : nullptr;
}

} // namespace

PcmBufferPtr decodeSound(const QByteArray& file)
{
    if (isWave(file))
        return decodeWave(file);
    return decodeMp3(file);
}

} // namespace audio
