#pragma once

// Window-free logic of the stop-name dot boards: cutting a name into two-byte CP932 cells,
// the layout tables, the typeface choice per cell, the 18 x 18 glyph raster and the dot strip.

#include <QByteArray>
#include <QColor>
#include <QFont>
#include <QHash>
#include <QImage>
#include <QList>
#include <QMutex>
#include <QString>
#include <array>
#include <cstdint>
#include <memory>
#include <optional>

namespace dotboard
{

inline constexpr int RasterSize = 18;          // dots per cell side
inline constexpr int DotPitch = 3;             // pixels from one dot to the next
inline constexpr int DotSize = 2;              // a lit dot is a 2 x 2 square
inline constexpr int CellWidth = 54;           // RasterSize * DotPitch
inline constexpr int BoardWidth = 432;         // visible board (and the frame)
inline constexpr int BoardHeight = 56;         // the element and the strip
inline constexpr int FrameHeight = 58;         // the frame is two pixels taller than the strip
inline constexpr int StripTop = -1;            // the strip sits one pixel up inside the frame
inline constexpr int RasterPixels = 19;        // glyph size: 14.25 pt at 96 dpi
inline constexpr int SmallParticlePixels = 16; // the small "は" of the prefix: 12 pt
inline constexpr int SmallParticleTop = 4;     // and how far it sits below a full-size glyph

// Where the cells of a name go: cell k (1-based) at x0 + (k - 1) * pitch.
struct CellLayout {
    int x0 = 0;
    int pitch = 0;
    int stripWidth = BoardWidth;
    bool operator==(const CellLayout&) const = default;
};

// Layout of a name of `cells` cells on the plain board (negative counts as 0).
CellLayout plainLayout(int cells);
// Layout of a name of `cells` cells (1 or more) behind the "次は" prefix. A name of fewer
// than one cell (a single byte) is placed like a one-cell name.
CellLayout prefixLayout(int cells);

// The name's bytes as the board lays them out: where a double-byte character would begin in
// the second half of a cell, a one-byte blank fills that half, so that the character starts
// the next cell whole. A name without that case comes back unchanged.
QByteArray cellAlignedBytes(const QByteArray& cp932Name);

// Cells = aligned bytes div 2; a name of 9 or more cells scrolls. With the prefix the two
// prefix cells count too.
int cellCount(const QByteArray& cp932Name);
bool needsScroll(int cells, bool withPrefix);

// The aligned bytes cut into 2-byte cells; the last holds one byte when the count is odd.
QList<QByteArray> cutIntoCells(const QByteArray& cp932Name);

// Vertical-writing forms become their horizontal forms: 丨→ー, ｜→－, ↓→→, ↑→←.
QString horizontalForms(const QString& cellText);

// The CP932 code of the text's first character as a signed 16-bit number: a double-byte
// character gives both bytes big-endian (0x8000 and up are negative), a single byte 0..255.
// Empty text gives 0.
std::int16_t signedCharCode(const QString& text);

// Typeface name ("ＭＳ ゴシック" / "ＭＳ 明朝") for a cell whose first character has
// `code`, by the board's fontMode (0..4; other values mean Gothic).
QString cellFace(int fontMode, std::int16_t code);

// Typefaces of the prefix characters, "次" (first) and "は" (second), by prefixFontMode
// (0..3; other values as 0).
QString firstPrefixFace(int prefixFontMode);
QString secondPrefixFace(int prefixFontMode);

// 18 x 18 lit/unlit dots, column-major: bit j of column i is raster pixel (i, j).
class DotMatrix
{
public:
    bool lit(int i, int j) const { return (columns_[i] >> j) & 1u; }
    void set(int i, int j) { columns_[i] |= 1u << j; }
    std::uint32_t column(int i) const { return columns_[i]; }
    int litCount() const;
    bool isEmpty() const { return litCount() == 0; }
    bool operator==(const DotMatrix&) const = default;

private:
    std::array<std::uint32_t, RasterSize> columns_{};
};

// One cell's text and how the raster draws it.
struct RasterGlyph {
    QString text;
    QString face; // system name ("ＭＳ ゴシック"...)
    bool bold = false;
    int pixelSize = RasterPixels;
    int top = 0;
};

// Dots already rendered, by text and font. The rasters of one board share it with the
// worker that renders ahead of need, so it may be used from any thread.
class GlyphCache
{
public:
    // Past this many entries the cache starts afresh; a route uses a few hundred.
    static constexpr int MaxEntries = 4096;

    std::optional<DotMatrix> find(const QString& key) const;
    void insert(const QString& key, const DotMatrix& dots);
    int size() const;
    // Lookups that found nothing: each one cost a rendering.
    int misses() const;

private:
    mutable QMutex mutex_;
    QHash<QString, DotMatrix> dots_;
    mutable int misses_ = 0;
};

// The hidden 18 x 18 raster: white ground, black text, no antialiasing. One character
// (one cell) at a time is drawn here and read back as dots. It only paints on a QImage, so
// it may work on any thread.
class GlyphRaster
{
public:
    GlyphRaster();

    // Looks glyphs up in `cache` before rendering them, and keeps what it renders there.
    void setCache(std::shared_ptr<GlyphCache> cache) { cache_ = std::move(cache); }

    // Face by its system name ("ＭＳ ゴシック"...), mapped to an installed font.
    void setFace(const QString& faceName);
    void setBold(bool bold);
    void setPixelSize(int pixels);
    // Top of the text cell inside the raster.
    void setTop(int y) { top_ = y; }
    bool bold() const { return font_.bold(); }
    const QFont& font() const { return font_; }

    // The exactly black pixels of the text drawn at (0, top) on the cleared raster.
    DotMatrix render(const QString& text);
    // Takes the glyph's face, weight, size and top, and renders its text.
    DotMatrix render(const RasterGlyph& glyph);

private:
    DotMatrix draw(const QString& text);
    QString cacheKey(const QString& text) const;

    QFont font_;
    int top_ = 0;
    QImage image_;
    std::shared_ptr<GlyphCache> cache_;
};

// Renders the glyphs into the cache (on whatever thread calls it).
void renderAhead(const QList<RasterGlyph>& glyphs, const std::shared_ptr<GlyphCache>& cache);

// The dot strip: an indexed picture of the whole name, 56 pixels high. Colour index 0 is the
// background; every ink colour in use gets its own index, so dots keep the colour they were
// drawn in when an ink changes later. Colours are drawn opaque; an invalid colour is black.
class DotStrip
{
public:
    enum Ink : std::uint8_t { Name = 0, Prefix = 1 };

    DotStrip();
    // Width in pixels (at least 1) and the colours; the strip is cleared.
    void reset(int width, const QColor& back, const QColor& name, const QColor& prefix);
    // Clears to a new background, keeping the width and the inks.
    void clear(const QColor& back);
    // Colour of the dots plotted from now on in this ink.
    void setInkColor(Ink ink, const QColor& color);

    // Lights a 2 x 2 dot at (x + 3i, y + 3j) for every lit (i, j); clipped at the edges.
    void plot(const DotMatrix& dots, int x, int y, Ink ink);

    int width() const { return image_.width(); }
    const QImage& image() const { return image_; }
    // Whether any dot has been lit since the strip was last cleared.
    bool hasInk() const { return hasInk_; }
    bool isLit(int x, int y) const;
    // The colour shown at (x, y): an ink or the background; invalid outside the strip.
    QColor colorAt(int x, int y) const;
    // First column in [fromX, toX) with a lit pixel, or -1.
    int firstLitColumn(int fromX, int toX) const;

private:
    std::uint8_t indexFor(QRgb color);

    QImage image_;
    std::array<QRgb, 2> inkColor_{};
    std::array<std::uint8_t, 2> inkIndex_{};
    bool hasInk_ = false;
};

} // namespace dotboard
