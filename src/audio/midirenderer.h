#pragma once

#include "audio/mixer.h"

#include <QByteArray>
#include <QString>
#include <QStringList>

namespace audio
{

// Standard MIDI files rendered into PCM with FluidSynth and a General MIDI sound font. The
// font loads once, on the renderer's worker thread; files render there one after another,
// each into a buffer that already plays while it fills, much faster than it plays.

// Where the sound font is looked for, best first: TimGM6mb, then whatever the system's
// General MIDI alternative points at, then other common fonts.
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
// there is no sound font. Rendering stops early when nobody holds the buffer any more.
PcmBufferPtr renderMidi(const QByteArray& file);

} // namespace audio
