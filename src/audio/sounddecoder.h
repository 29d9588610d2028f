#pragma once

#include "audio/mixer.h"

#include <QByteArray>

namespace audio
{

// Decodes a whole wave or MP3 file into the output format, telling the two apart by their
// content rather than their name. nullptr when the data is neither or holds no sound.
PcmBufferPtr decodeSound(const QByteArray& file);

} // namespace audio
