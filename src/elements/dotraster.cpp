#include "elements/dotraster.h"

#include "platform/bytestring.h"
#include "platform/colorconversion.h"
#include "platform/cp932.h"
#include "platform/fontmap.h"

#include <QFontMetrics>
#include <QPainter>
#include <algorithm>
#include <bit>

namespace dotboard
{
namespace
{

// Codes (signed 16-bit) from which a character counts as a kanji, and the full-width digits
// and Latin letters.
constexpr int FirstKanjiCode = static_cast<std::int16_t>(0x889F);
constexpr int FirstFullWidthAlnum = static_cast<std::int16_t>(0x824F);
constexpr int LastFullWidthAlnum = static_cast<std::int16_t>(0x829A);

} // namespace

CellLayout plainLayout(int cells)
{
    switch (std::max(cells, 0)) {
    case 0:
        return {0, 0, BoardWidth};
    case 1:
        return {188, 0, BoardWidth};
    case 2:
        return {81, 216, BoardWidth};
    case 3:
        return {54, 135, BoardWidth};
    case 4:
        return {27, 108, BoardWidth};
    case 5:
        return {27, 81, BoardWidth};
    case 6:
        return {0, 75, BoardWidth};
    case 7:
        return {0, 62, BoardWidth};
    default:
        return {0, CellWidth, cells * CellWidth};
    }
}

CellLayout prefixLayout(int cells)
{
    switch (std::max(cells, 1)) {
    case 1:
        return {242, 0, BoardWidth};
    case 2:
        return {162, 162, BoardWidth};
    case 3:
        return {135, 108, BoardWidth};
    case 4:
        return {135, 71, BoardWidth};
    case 5:
        return {108, 67, BoardWidth};
    case 6:
        return {108, CellWidth, BoardWidth};
    default:
        return {108, CellWidth, (cells + 2) * CellWidth};
    }
}

QByteArray cellAlignedBytes(const QByteArray& cp932Name)
{
    QByteArray aligned;
    aligned.reserve(cp932Name.size() + cp932Name.size() / 2);
    for (qsizetype i = 0; i < cp932Name.size(); ++i) {
        const auto byte = static_cast<unsigned char>(cp932Name[i]);
        // A lead byte with nothing after it is no character; it stays where it is.
        const bool doubleByte = platform::isCp932LeadByte(byte) && i + 1 < cp932Name.size();
        if (doubleByte && aligned.size() % 2 == 1)
            aligned += ' ';
        aligned += cp932Name[i];
        if (doubleByte)
            aligned += cp932Name[++i];
    }
    return aligned;
}

int cellCount(const QByteArray& cp932Name)
{
    return byteLength(cellAlignedBytes(cp932Name)) / 2;
}

bool needsScroll(int cells, bool withPrefix)
{
    if (withPrefix && cells >= 1)
        cells += 2;
    return cells >= 9;
}

QList<QByteArray> cutIntoCells(const QByteArray& cp932Name)
{
    const QByteArray aligned = cellAlignedBytes(cp932Name);
    QList<QByteArray> cells;
    const int n = byteLength(aligned);
    cells.reserve((n + 1) / 2);
    for (int k = 1; 2 * k - 1 <= n; ++k)
        cells.append(byteSlice(aligned, 2 * k - 1, 2));
    return cells;
}

QString horizontalForms(const QString& cellText)
{
    QString text = cellText;
    text.replace(QStringLiteral("丨"), QStringLiteral("ー"));
    text.replace(QStringLiteral("｜"), QStringLiteral("－"));
    text.replace(QStringLiteral("↓"), QStringLiteral("→"));
    text.replace(QStringLiteral("↑"), QStringLiteral("←"));
    return text;
}

std::int16_t signedCharCode(const QString& text)
{
    if (text.isEmpty())
        return 0;
    // Only the first character matters; a surrogate pair stays whole.
    const int firstLength = text.at(0).isHighSurrogate() && text.size() > 1 ? 2 : 1;
    const QByteArray bytes = platform::toCp932(text.left(firstLength));
    if (bytes.isEmpty())
        return 0;
    const auto lead = static_cast<unsigned char>(bytes.at(0));
    if (platform::isCp932LeadByte(lead) && bytes.size() >= 2) {
        const auto trail = static_cast<unsigned char>(bytes.at(1));
        return static_cast<std::int16_t>(static_cast<std::uint16_t>((lead << 8) | trail));
    }
    return lead;
}

QString cellFace(int fontMode, std::int16_t code)
{
    const QString& gothic = platform::GothicFace;
    const QString& mincho = platform::MinchoFace;
    switch (fontMode) {
    case 1:
        return mincho;
    case 2:
        return code < FirstKanjiCode ? mincho : gothic;
    case 3:
        return code < FirstKanjiCode ? gothic : mincho;
    case 4:
        return code >= FirstFullWidthAlnum && code <= LastFullWidthAlnum ? gothic : mincho;
    default:
        return gothic;
    }
}

QString firstPrefixFace(int prefixFontMode)
{
    return prefixFontMode == 2 || prefixFontMode == 3 ? platform::MinchoFace : platform::GothicFace;
}

QString secondPrefixFace(int prefixFontMode)
{
    return prefixFontMode == 1 || prefixFontMode == 2 ? platform::MinchoFace : platform::GothicFace;
}

int DotMatrix::litCount() const
{
    int count = 0;
    for (std::uint32_t column : columns_)
        count += std::popcount(column);
    return count;
}

GlyphRaster::GlyphRaster() : image_(RasterSize, RasterSize, QImage::Format_RGB32)
{
    font_ = platform::mappedFont(platform::GothicFace, 14.25);
    font_.setPixelSize(RasterPixels);
    font_.setStyleStrategy(QFont::NoAntialias);
    image_.fill(Qt::white);
}

void GlyphRaster::setFace(const QString& faceName)
{
    font_.setFamily(platform::mappedFamily(faceName));
}

void GlyphRaster::setBold(bool bold)
{
    font_.setBold(bold);
}

void GlyphRaster::setPixelSize(int pixels)
{
    font_.setPixelSize(std::max(pixels, 1));
}

std::optional<DotMatrix> GlyphCache::find(const QString& key) const
{
    const QMutexLocker lock(&mutex_);
    const auto found = dots_.constFind(key);
    if (found == dots_.constEnd()) {
        ++misses_;
        return std::nullopt;
    }
    return *found;
}

void GlyphCache::insert(const QString& key, const DotMatrix& dots)
{
    const QMutexLocker lock(&mutex_);
    if (dots_.size() >= MaxEntries)
        dots_.clear();
    dots_.insert(key, dots);
}

int GlyphCache::size() const
{
    const QMutexLocker lock(&mutex_);
    return static_cast<int>(dots_.size());
}

int GlyphCache::misses() const
{
    const QMutexLocker lock(&mutex_);
    return misses_;
}

QString GlyphRaster::cacheKey(const QString& text) const
{
    const QChar separator = u'|';
    return font_.family() + separator + QString::number(font_.pixelSize()) + separator +
           (font_.bold() ? u'b' : u'r') + separator + QString::number(top_) + separator + text;
}

DotMatrix GlyphRaster::render(const QString& text)
{
    if (!cache_)
        return draw(text);
    const QString key = cacheKey(text);
    if (const std::optional<DotMatrix> cached = cache_->find(key))
        return *cached;
    const DotMatrix dots = draw(text);
    cache_->insert(key, dots);
    return dots;
}

DotMatrix GlyphRaster::render(const RasterGlyph& glyph)
{
    setFace(glyph.face);
    setBold(glyph.bold);
    setPixelSize(glyph.pixelSize);
    setTop(glyph.top);
    return render(glyph.text);
}

void renderAhead(const QList<RasterGlyph>& glyphs, const std::shared_ptr<GlyphCache>& cache)
{
    GlyphRaster raster;
    raster.setCache(cache);
    for (const RasterGlyph& glyph : glyphs)
        raster.render(glyph);
}

DotMatrix GlyphRaster::draw(const QString& text)
{
    image_.fill(Qt::white);
    {
        QPainter painter(&image_);
        painter.setFont(font_);
        painter.setPen(Qt::black);
        const int baseline = top_ + QFontMetrics(font_).ascent();
        painter.drawText(0, baseline, text);
    }
    DotMatrix dots;
    for (int j = 0; j < RasterSize; ++j) {
        const auto* line = reinterpret_cast<const QRgb*>(image_.constScanLine(j));
        for (int i = 0; i < RasterSize; ++i) {
            if ((line[i] & 0x00FFFFFFu) == 0)
                dots.set(i, j);
        }
    }
    return dots;
}

DotStrip::DotStrip()
{
    reset(BoardWidth, Qt::black, Qt::black, Qt::black);
}

void DotStrip::reset(int width, const QColor& back, const QColor& name, const QColor& prefix)
{
    image_ = QImage(std::max(width, 1), BoardHeight, QImage::Format_Indexed8);
    inkColor_ = {platform::opaqueColor(name).rgb(), platform::opaqueColor(prefix).rgb()};
    clear(back);
}

void DotStrip::clear(const QColor& back)
{
    image_.setColorTable({platform::opaqueColor(back).rgb()});
    inkIndex_[Name] = indexFor(inkColor_[Name]);
    inkIndex_[Prefix] = indexFor(inkColor_[Prefix]);
    if (!image_.isNull())
        image_.fill(0);
    hasInk_ = false;
}

void DotStrip::setInkColor(Ink ink, const QColor& color)
{
    const QRgb rgb = platform::opaqueColor(color).rgb();
    if (inkColor_[ink] == rgb)
        return;
    inkColor_[ink] = rgb;
    inkIndex_[ink] = indexFor(rgb);
}

std::uint8_t DotStrip::indexFor(QRgb rgb)
{
    QList<QRgb> table = image_.colorTable();
    for (qsizetype i = 1; i < table.size(); ++i) {
        if (table[i] == rgb)
            return static_cast<std::uint8_t>(i);
    }
    // 255 inks in one strip only happen when a caller recolours dot by dot; reuse the last.
    if (table.size() >= 256) {
        image_.setColor(255, rgb);
        return 255;
    }
    table.append(rgb);
    image_.setColorTable(table);
    return static_cast<std::uint8_t>(table.size() - 1);
}

void DotStrip::plot(const DotMatrix& dots, int x, int y, Ink ink)
{
    if (image_.isNull())
        return;
    const std::uint8_t index = inkIndex_[ink];
    const int width = image_.width();
    const int height = image_.height();
    for (int i = 0; i < RasterSize; ++i) {
        const std::uint32_t column = dots.column(i);
        if (column == 0)
            continue;
        const int left = x + DotPitch * i;
        if (left + DotSize <= 0 || left >= width)
            continue;
        for (int j = 0; j < RasterSize; ++j) {
            if (((column >> j) & 1u) == 0)
                continue;
            const int top = y + DotPitch * j;
            for (int py = std::max(top, 0); py < std::min(top + DotSize, height); ++py) {
                uchar* line = image_.scanLine(py);
                for (int px = std::max(left, 0); px < std::min(left + DotSize, width); ++px) {
                    line[px] = index;
                    hasInk_ = true;
                }
            }
        }
    }
}

bool DotStrip::isLit(int x, int y) const
{
    if (!image_.valid(x, y))
        return false;
    return image_.constScanLine(y)[x] != 0;
}

QColor DotStrip::colorAt(int x, int y) const
{
    if (!image_.valid(x, y))
        return {};
    return QColor::fromRgb(image_.color(image_.constScanLine(y)[x]));
}

int DotStrip::firstLitColumn(int fromX, int toX) const
{
    const int end = std::min(toX, image_.width());
    for (int x = std::max(fromX, 0); x < end; ++x) {
        for (int y = 0; y < image_.height(); ++y) {
            if (image_.constScanLine(y)[x] != 0)
                return x;
        }
    }
    return -1;
}

} // namespace dotboard
