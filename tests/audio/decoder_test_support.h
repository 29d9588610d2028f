#pragma once

// Decoders and files for the decoding tests: a decoder held at a gate, and files that take
// no disk (a header followed by bytes made as they are read).

#include "audio/sounddecoder.h"

#include <QByteArray>
#include <QIODevice>
#include <atomic>
#include <chrono>
#include <cmath>
#include <condition_variable>
#include <future>
#include <mutex>
#include <vector>

namespace audiotest
{

// Shared by a GatedDecoder and its test: the decoder waits at the gate before each piece
// until the test opens it, and says when it is destroyed.
struct Gate {
    std::mutex mutex;
    std::condition_variable changed;
    bool open = false;
    std::atomic<int> pieces{0};
    std::promise<void> destroyed;
    std::shared_future<void> destroyedFuture = destroyed.get_future().share();

    void release()
    {
        {
            std::lock_guard lock(mutex);
            open = true;
        }
        changed.notify_all();
    }
    bool isDestroyed(std::chrono::seconds bound = std::chrono::seconds(10)) const
    {
        return destroyedFuture.wait_for(bound) == std::future_status::ready;
    }
};

// A tone of pieceFrames frames a piece, for pieceCount pieces (-1: without end).
class GatedDecoder : public audio::SoundDecoder
{
public:
    GatedDecoder(std::shared_ptr<Gate> gate, int pieceCount, qsizetype pieceFrames = 4410)
        : gate_(std::move(gate)), pieceCount_(pieceCount), pieceFrames_(pieceFrames)
    {
    }
    ~GatedDecoder() override { gate_->destroyed.set_value(); }

    bool decodePiece(audio::PcmBuffer& out, qsizetype maxFrames) override
    {
        {
            std::unique_lock lock(gate_->mutex);
            gate_->changed.wait(lock, [this] { return gate_->open; });
        }
        if (pieceCount_ >= 0 && gate_->pieces >= pieceCount_)
            return false;
        const qsizetype frames = std::min(pieceFrames_, maxFrames);
        std::vector<qint16> samples(size_t(frames) * audio::kOutputChannels, 4000);
        out.append(samples.data(), frames);
        ++gate_->pieces;
        return true;
    }

private:
    std::shared_ptr<Gate> gate_;
    int pieceCount_;
    qsizetype pieceFrames_;
};

// A random-access file of the claimed size that is not stored anywhere: the given head, then
// a repeating ramp of bytes. Adds what is read of it to a count the test keeps (the file
// goes with the decoder).
class SyntheticFile : public QIODevice
{
public:
    SyntheticFile(QByteArray head, qint64 size, qint64& bytesRead)
        : head_(std::move(head)), size_(size), bytesRead_(bytesRead)
    {
        open(QIODevice::ReadOnly);
    }
    qint64 size() const override { return size_; }

protected:
    qint64 readData(char* data, qint64 maxSize) override
    {
        const qint64 from = pos();
        const qint64 n = std::max<qint64>(0, std::min(maxSize, size_ - from));
        for (qint64 i = 0; i < n; ++i) {
            const qint64 at = from + i;
            data[i] = at < head_.size() ? head_[at] : char((at * 37) & 0xFF);
        }
        bytesRead_ += n;
        return n;
    }
    qint64 writeData(const char*, qint64) override { return -1; }

private:
    QByteArray head_;
    qint64 size_;
    qint64& bytesRead_;
};

// Like /dev/zero: zeros without end, read in order only. Counts like SyntheticFile.
class EndlessZeros : public QIODevice
{
public:
    explicit EndlessZeros(qint64& bytesRead) : bytesRead_(bytesRead) { open(QIODevice::ReadOnly); }
    bool isSequential() const override { return true; }

protected:
    qint64 readData(char* data, qint64 maxSize) override
    {
        std::fill(data, data + maxSize, 0);
        bytesRead_ += maxSize;
        return maxSize;
    }
    qint64 writeData(const char*, qint64) override { return -1; }

private:
    qint64& bytesRead_;
};

// A wave header: 16-bit PCM unless told, with the chunk sizes it claims.
inline QByteArray waveHeader(quint32 dataBytes, int channels = 2, int rate = 44100,
                             quint32 fmtBytes = 16, int bits = 16)
{
    auto u32 = [](quint32 v) {
        QByteArray b(4, 0);
        for (int i = 0; i < 4; ++i)
            b[i] = char(v >> (8 * i));
        return b;
    };
    auto u16 = [](quint16 v) { return QByteArray(1, char(v & 0xFF)) + char(v >> 8); };
    const int align = channels * bits / 8;
    return "RIFF" + u32(dataBytes + 36 > dataBytes ? dataBytes + 36 : 0xFFFFFFFF) + "WAVEfmt " +
           u32(fmtBytes) + u16(1) + u16(quint16(channels)) + u32(quint32(rate)) +
           u32(quint32(rate * align)) + u16(quint16(align)) + u16(quint16(bits)) + "data" +
           u32(dataBytes);
}

} // namespace audiotest
