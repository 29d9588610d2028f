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

// Standard MIDI files rendered into PCM with FluidSynth and a General MIDI sound font. The
// font loads once, on the renderer's worker thread; files render there one after another,
// each into a buffer that already plays while it fills, much faster than it plays. A render
// ends at the song's end, at kMaxSoundFrames, or soon after nobody holds its buffer. The
// worker is never waited for: the process may end while it renders.

// The largest MIDI file played. General MIDI songs are tens or hundreds of kilobytes, and the
// player holds the whole file while it plays.
inline constexpr qint64 kMaxMidiFileBytes = 4 << 20;

// Where the sound font is looked for, best first: the fonts SDL_SOUNDFONTS names (separated
// by colons), TimGM6mb, then whatever the system's General MIDI alternative points at, then
// other common fonts.
QStringList soundFontCandidates();
// The first candidate that exists, empty when there is none.
QString findSoundFont();

// Loads the sound font on the worker and returns at once (start-up).
void startMidiRenderer();
// True once the sound font is loaded.
bool isMidiRendererReady();

// True when the data starts like a standard MIDI file.
bool isMidiFile(const QByteArray& file);
// Starts rendering and returns the buffer it fills; nullptr when the data is no MIDI file or
// there is no sound font.
PcmBufferPtr renderMidi(const QByteArray& file);
// The same for an opened file, which the worker takes over and reads; here only its first
// bytes are looked at. nullptr also when the file is larger than kMaxMidiFileBytes.
PcmBufferPtr renderMidiFile(std::unique_ptr<QIODevice> file);

} // namespace audio
