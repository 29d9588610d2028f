#pragma once

namespace platform
{

// Window and control geometry is kept in twips; the screen has 15 twips to a pixel.
inline constexpr int TwipsPerPixel = 15;

constexpr int twipsToPixels(int twips)
{
    return twips / TwipsPerPixel;
}

constexpr int pixelsToTwips(int pixels)
{
    return pixels * TwipsPerPixel;
}

} // namespace platform
