#pragma once

#include "audio/mixer.h"
#include "audio/sounddecoder.h"

#include <QByteArray>
#include <QIODevice>
#include <QString>
#include <QStringList>
#include <memory>

namespace audio
{

// The largest MIDI file played. General MIDI songs are tens or hundreds of kilobytes, and the
// player holds the whole file while it plays.
inline constexpr qint64 kMaxMidiFileBytes = 4 << 20;

// Where the sound font is looked for, best first: the fonts SDL_SOUNDFONTS names (separated
// by colons), TimGM6mb, then whatever the system's General MIDI alternative points at, then
// other common fonts.
QStringList soundFontCandidates();
// The first candidate that exists, empty when there is none.
QString findSoundFont();

// True when the data starts like a standard MIDI file.
bool isMidiFile(const QByteArray& file);

// Standard MIDI files rendered into PCM with FluidSynth and a General MIDI sound font. The
// library is opened and the font loaded once, on the renderer's worker thread; files render
// there one after another, each into a buffer that already plays while it fills, much faster
// than it plays. A render ends at the song's end, at kMaxSoundFrames, or soon after nobody
// holds its buffer. Without the library or a font MIDI sounds render nothing. Interface
// thread.
class MidiRenderer
{
public:
    // Over FluidSynth's library, libfluidsynth.so.3.
    MidiRenderer();
    // Over the library libNAME.so.MAJOR (tests: one that is missing).
    MidiRenderer(const QString& libraryName, int majorVersion);
    // Never waits for the worker: it drops what is queued and ends on its own once the font
    // load or the render under way is over (the process may end before).
    ~MidiRenderer();
    MidiRenderer(const MidiRenderer&) = delete;
    MidiRenderer& operator=(const MidiRenderer&) = delete;

    // Loads the library and the sound font on the worker and returns at once (start-up).
    void start();
    // True once the sound font is loaded.
    bool isReady() const;

    // Starts rendering and returns the buffer it fills; nullptr when the data is no MIDI file,
    // there is no sound font, or the worker found it cannot render.
    PcmBufferPtr render(const QByteArray& file);
    // The same for an opened file, which the worker takes over and reads; here only its
    // first bytes are looked at. nullptr also when the file is larger than kMaxMidiFileBytes.
    PcmBufferPtr renderFile(std::unique_ptr<QIODevice> file);

private:
    class Worker;
    bool canRender() const;
    std::shared_ptr<Worker> worker_; // shared with the worker thread
};

} // namespace audio
