#pragma once

#include "audio/mixer.h"

#include <QIODevice>
#include <memory>

namespace audio
{

// Sound files are decoded on a worker into a buffer that plays while it fills, so opening and
// playing a sound never waits for the decoding, and the first sample plays as soon as it is
// decoded.
//
// What is kept of one sound is capped: its first five minutes, about 53 MB of output samples.
// A longer sound plays its first five minutes and ends there. Sounds here are chimes and
// short lead-ins; the cap keeps a file chosen by mistake (a whole album, a header that claims
// gigabytes, /dev/zero copied to a file) from filling the machine's memory. The sound is kept
// whole up to the cap, so playing it again needs no new decoding.
inline constexpr qint64 kMaxSoundMs = 5 * 60 * 1000;
inline constexpr qsizetype kMaxSoundFrames = qsizetype(kOutputRate) * (kMaxSoundMs / 1000);

// Opening a file reads no more than this while looking for the start of the sound, so a
// file of junk is refused after a bounded read.
inline constexpr qint64 kMaxHeaderBytes = 1 << 20;

// One sound, decoded piece by piece into the output format.
class SoundDecoder
{
public:
    virtual ~SoundDecoder() = default;
    // Appends the next piece to the buffer, at most maxFrames frames. False once nothing more
    // follows: the end of the data, or data that cannot be decoded.
    virtual bool decodePiece(PcmBuffer& out, qsizetype maxFrames) = 0;
};

// Reads the start of a wave or MP3 file, telling the two apart by their content, and returns
// the decoder of the rest, which takes the file over; nullptr when the file is neither, holds
// a format that cannot be played, or shows no sound within kMaxHeaderBytes. Reads only the
// header, so it is quick enough for the interface thread.
std::unique_ptr<SoundDecoder> openSoundDecoder(std::unique_ptr<QIODevice> file);

// Decodes into the buffer on the calling thread until the decoder ends, the buffer holds
// kMaxSoundFrames, or nobody but this call holds the buffer any more; a buffer still held is
// then finished. The buffer is held only while a piece is added.
void decodeToEnd(SoundDecoder& decoder, const std::weak_ptr<PcmBuffer>& buffer);

// Runs decodeToEnd() on a worker thread of its own and returns at once the buffer it fills.
// Dropping every hold of the buffer ends the worker after its current piece; nothing ever
// waits for it (the process may end while it decodes).
PcmBufferPtr startDecoding(std::unique_ptr<SoundDecoder> decoder);

} // namespace audio
