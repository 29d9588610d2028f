#pragma once

#include <cstdint>

namespace platform
{

// Colours travel as signed 32-bit values laid out 0x00BBGGRR (red in the low byte). Only the
// file formats carry them; windows take QColor (colorconversion.h).
using BgrColor = std::int32_t;

constexpr BgrColor RGB(int r, int g, int b)
{
    return static_cast<BgrColor>((r & 0xFF) | ((g & 0xFF) << 8) | ((b & 0xFF) << 16));
}

} // namespace platform
