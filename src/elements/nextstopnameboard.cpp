#include "elements/nextstopnameboard.h"

using namespace dotboard;

NextStopNameBoard::NextStopNameBoard(QWidget* parent) : StopNameBoard(parent) {}

void NextStopNameBoard::setPrefixMode(std::int16_t mode)
{
    prefixMode_ = mode >= 0 && mode <= 2 ? mode : std::int16_t{0};
    markModified(QStringLiteral("prefixMode"));
}

void NextStopNameBoard::setPrefixColor(platform::BgrColor color)
{
    prefixColor_ = color;
    markModified(QStringLiteral("prefixColor"));
}

void NextStopNameBoard::setPrefixFontMode(std::int16_t fontMode)
{
    prefixFontMode_ = fontMode;
    markModified(QStringLiteral("prefixFontMode"));
}

void NextStopNameBoard::setPrefixBold(bool bold)
{
    prefixBold_ = bold;
    markModified(QStringLiteral("prefixBold"));
}

bool NextStopNameBoard::drawName(const QByteArray& cp932Name)
{
    if (prefixMode_ == 0)
        return StopNameBoard::drawName(cp932Name);
    // A name of a single byte (no whole cell) is placed like a one-cell name, clear of the
    // prefix, and does not count the prefix cells.
    const int cells = cellCount(cp932Name);
    const CellLayout layout = prefixLayout(cells);
    resetStrip(layout.stripWidth);
    drawPrefix();
    drawCells(cp932Name, layout);
    return needsScroll(cells, true);
}

void NextStopNameBoard::drawPrefix()
{
    GlyphRaster& glyphs = raster();
    DotStrip& dots = stripForDrawing();
    dots.setInkColor(DotStrip::Prefix, prefixColor_);

    glyphs.setPixelSize(RasterPixels);
    glyphs.setTop(0);
    glyphs.setBold(prefixBold_);
    glyphs.setFace(firstPrefixFace(prefixFontMode_));
    dots.plot(glyphs.render(QStringLiteral("次")), 0, 0, DotStrip::Prefix);

    const bool smallParticle = prefixMode_ == 1;
    glyphs.setPixelSize(smallParticle ? SmallParticlePixels : RasterPixels);
    glyphs.setTop(smallParticle ? SmallParticleTop : 0);
    glyphs.setFace(secondPrefixFace(prefixFontMode_));
    dots.plot(glyphs.render(QStringLiteral("は")), CellWidth, 0, DotStrip::Prefix);

    glyphs.setPixelSize(RasterPixels);
    glyphs.setTop(0);
    glyphs.setBold(false);
    update();
}

void NextStopNameBoard::saveProperties(PropertyList& bag) const
{
    StopNameBoard::saveProperties(bag);
    if (prefixMode_ != 0)
        bag.append({QStringLiteral("prefixMode"), prefixMode_});
    if (prefixColor_ != DefaultPrefixColor)
        bag.append({QStringLiteral("prefixColor"), prefixColor_});
    if (prefixFontMode_ != 0)
        bag.append({QStringLiteral("prefixFontMode"), prefixFontMode_});
    if (prefixBold_)
        bag.append({QStringLiteral("prefixBold"), true});
}

void NextStopNameBoard::loadProperties(const PropertyList& bag)
{
    StopNameBoard::loadProperties(bag);
    const int mode = savedValue(bag, QStringLiteral("prefixMode"), 0).toInt();
    prefixMode_ = static_cast<std::int16_t>(mode >= 0 && mode <= 2 ? mode : 0);
    prefixColor_ = savedValue(bag, QStringLiteral("prefixColor"), DefaultPrefixColor).toInt();
    prefixFontMode_ =
        static_cast<std::int16_t>(savedValue(bag, QStringLiteral("prefixFontMode"), 0).toInt());
    prefixBold_ = savedValue(bag, QStringLiteral("prefixBold"), false).toBool();
}
