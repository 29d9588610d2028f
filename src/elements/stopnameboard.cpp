#include "elements/stopnameboard.h"

#include "platform/colorconversion.h"
#include "platform/cp932.h"
#include "platform/wait.h"

#include <QPaintEvent>
#include <QPainter>
#include <QThread>
#include <QTimer>
#include <QtWidgets/qdrawutil.h>
#include <algorithm>
#include <cmath>
#include <limits>

using namespace dotboard;

namespace
{

// One pass per millisecond. After a long stall (a modal dialog, a suspended process) the
// scroll does not race to catch up beyond this many passes at once.
constexpr qint64 MaxPassesPerRun = 60'000;

} // namespace

StopNameBoard::StopNameBoard(QWidget* parent) : StopNameBoard(platform::systemClock(), parent) {}

StopNameBoard::StopNameBoard(platform::WaitClock& clock, QWidget* parent)
    : QWidget(parent), clock_(clock), glyphCache_(std::make_shared<GlyphCache>()),
      scrollTimer_(new QTimer(this))
{
    setAttribute(Qt::WA_OpaquePaintEvent);
    resize(BoardWidth, BoardHeight);
    strip_.reset(BoardWidth, backColor_, foreColor_, foreColor_);
    raster_.setCache(glyphCache_);
    // A coarse timer may fire early, which would cost a wake-up that moves nothing.
    scrollTimer_->setTimerType(Qt::PreciseTimer);
    scrollTimer_->setSingleShot(true);
    connect(scrollTimer_, &QTimer::timeout, this, &StopNameBoard::advanceScroll);
}

StopNameBoard::~StopNameBoard()
{
    // A worker still rendering ahead is a child; it must end before it is deleted.
    for (QThread* worker : findChildren<QThread*>(Qt::FindDirectChildrenOnly))
        worker->wait();
}

void StopNameBoard::setZoom(double zoom)
{
    zoom_ = zoom > 0 ? zoom : 1.0;
    resize(sizeHint());
    update();
}

QSize StopNameBoard::sizeHint() const
{
    return (QSizeF(BoardWidth, BoardHeight) * zoom_).toSize();
}

QSize StopNameBoard::minimumSizeHint() const
{
    return sizeHint();
}

void StopNameBoard::markModified(const QString& name)
{
    propertiesModified_ = true;
    emit propertyChanged(name);
}

void StopNameBoard::setBackColor(const QColor& color)
{
    backColor_ = platform::opaqueColor(color);
    strip_.clear(backColor_); // a new background erases the dots
    update();
    markModified(QStringLiteral("backColor"));
}

void StopNameBoard::setForeColor(const QColor& color)
{
    foreColor_ = platform::opaqueColor(color);
    markModified(QStringLiteral("foreColor"));
}

void StopNameBoard::setSpeed(std::int16_t speed)
{
    // The timer sleeps between moves: the passes since the last one belong to the old speed.
    if (!advancing_)
        advanceScroll();
    speed_ = speed;
    markModified(QStringLiteral("speed"));
    if (!advancing_)
        scheduleTimer();
}

void StopNameBoard::setScrollStartWait(std::int32_t ms)
{
    scrollStartWait_ = ms;
    markModified(QStringLiteral("scrollStartWait"));
}

void StopNameBoard::setMode(std::int16_t mode)
{
    mode_ = mode;
    markModified(QStringLiteral("mode"));
}

void StopNameBoard::setAppearance(std::int16_t appearance)
{
    if (appearance == 0 || appearance == 1)
        appearance_ = appearance;
    strip_.clear(backColor_); // the strip's background is set again
    update();
    markModified(QStringLiteral("appearance"));
}

void StopNameBoard::setFontMode(std::int16_t fontMode)
{
    fontMode_ = fontMode;
    markModified(QStringLiteral("fontMode"));
}

void StopNameBoard::setFontBold(bool bold)
{
    fontBold_ = bold;
    raster_.setBold(bold);
    markModified(QStringLiteral("fontBold"));
}

void StopNameBoard::setStopName(const QString& name)
{
    stopName_ = name;
    strip_.clear(backColor_);
    update();
    // An empty name only blanks the board; a running scroll goes on with the blank strip.
    if (name.isEmpty()) {
        scheduleTimer();
        return;
    }

    stopScroll();
    const bool scrolls = drawName(platform::toCp932(name));
    if (scrolls)
        startScroll();
}

bool StopNameBoard::drawName(const QByteArray& cp932Name)
{
    const CellLayout layout = plainLayout(cellCount(cp932Name));
    resetStrip(layout.stripWidth);
    drawCells(cp932Name, layout);
    return needsScroll(cellCount(cp932Name), false);
}

void StopNameBoard::drawCells(const QByteArray& cp932Name, const CellLayout& layout)
{
    const QList<QByteArray> cells = cutIntoCells(cp932Name);
    for (qsizetype k = 0; k < cells.size(); ++k)
        drawCell(layout.x0 + static_cast<int>(k) * layout.pitch, 0, platform::fromCp932(cells[k]));
}

void StopNameBoard::resetStrip(int width)
{
    strip_.reset(width, backColor_, foreColor_, foreColor_);
    placeStrip(0);
    update();
}

std::optional<RasterGlyph> StopNameBoard::cellGlyph(const QString& cell) const
{
    // An incomplete character (a lead byte at the end) decodes to U+FFFD; it has no glyph.
    QString text = horizontalForms(cell);
    text.remove(QChar::ReplacementCharacter);
    if (text.isEmpty())
        return std::nullopt;
    const QString face = cellFace(fontMode_, signedCharCode(text));
    return RasterGlyph{text, face, fontBold_};
}

void StopNameBoard::drawCell(int x, int y, const QString& cell)
{
    const std::optional<RasterGlyph> glyph = cellGlyph(cell);
    if (!glyph)
        return;
    strip_.setInkColor(DotStrip::Name, foreColor_);
    strip_.plot(raster_.render(*glyph), x, y, DotStrip::Name);
    update();
    inkAdded();
}

void StopNameBoard::inkAdded()
{
    // A blank strip scrolls without waking the board; dots on it must be seen moving.
    if (isScrolling())
        advanceScroll();
}

QList<RasterGlyph> StopNameBoard::nameGlyphs(const QByteArray& cp932Name) const
{
    QList<RasterGlyph> glyphs;
    for (const QByteArray& cell : cutIntoCells(cp932Name)) {
        if (const std::optional<RasterGlyph> glyph = cellGlyph(platform::fromCp932(cell)))
            glyphs.append(*glyph);
    }
    return glyphs;
}

void StopNameBoard::prepareGlyphs(const QString& name)
{
    glyphsToPrepare_ += nameGlyphs(platform::toCp932(name));
    if (painted_)
        startPreparingGlyphs();
}

void StopNameBoard::startPreparingGlyphs()
{
    if (glyphsToPrepare_.isEmpty())
        return;
    // QFont and QPainter on a QImage work on any thread. A thread of its own that ends with
    // the work takes its font caches with it; a pooled one would keep them for half a minute.
    QThread* worker = QThread::create([glyphs = std::move(glyphsToPrepare_), cache = glyphCache_] {
        renderAhead(glyphs, cache);
    });
    glyphsToPrepare_.clear();
    worker->setParent(this);
    connect(worker, &QThread::finished, worker, &QObject::deleteLater);
    worker->start(QThread::LowPriority);
}

void StopNameBoard::repaintBoard()
{
    repaint();
}

// --- scrolling -----------------------------------------------------------------------------

void StopNameBoard::startScroll()
{
    scrollStopped_ = false;
    speedChecked_ = false;
    position_ = 0.0;
    placeStrip(0);
    lastMoveAt_ = clock_.nowMs(); // the name was just drawn
    beginPause(lastMoveAt_);
    scheduleTimer();
}

void StopNameBoard::stopScroll()
{
    scrollStopped_ = true;
    pausing_ = false;
    scrollTimer_->stop();
    scrollTimerDue_ = -1;
    position_ = 0.0;
    placeStrip(0);
}

void StopNameBoard::beginPause(qint64 from)
{
    pausing_ = true;
    pauseUntil_ = from + std::max<std::int32_t>(scrollStartWait_, 0);
}

void StopNameBoard::advanceScroll()
{
    if (scrollStopped_ || advancing_)
        return;
    advancing_ = true;
    const qint64 now = clock_.nowMs();
    const int leftBefore = stripLeft_;
    while (!scrollStopped_) {
        if (pausing_) {
            if (now < pauseUntil_)
                break;
            pausing_ = false;
            passedUntil_ = pauseUntil_;
            if (!speedChecked_) {
                speedChecked_ = true;
                if (speed_ == 0)
                    setSpeed(1);
                position_ = 0.0;
            }
        }
        runMovingPasses(now);
        if (!pausing_)
            break;
    }
    advancing_ = false;
    if (stripLeft_ != leftBefore)
        lastMoveAt_ = now;
    scheduleTimer();
}

void StopNameBoard::runMovingPasses(qint64 now)
{
    if (now - passedUntil_ > MaxPassesPerRun)
        passedUntil_ = now - MaxPassesPerRun;
    while (passedUntil_ < now) {
        ++passedUntil_;
        const int step = speed_ < 0 ? 1 : speed_;
        position_ -= step / 200.0;
        const int left = static_cast<int>(std::lround(position_));
        if (left + strip_.width() <= -BoardWidth) {
            // Scrolled out and a further board width of blank has passed: start over.
            position_ = 0.0;
            placeStrip(0);
            beginPause(passedUntil_);
            return;
        }
        placeStrip(left);
    }
}

void StopNameBoard::placeStrip(int left)
{
    if (left == stripLeft_)
        return;
    stripLeft_ = left;
    update(zoomed(frameClientRect())); // the frame around the dots stays as it is
}

qint64 StopNameBoard::nextMoveAt() const
{
    const int step = speed_ < 0 ? 1 : speed_;
    if (step == 0)
        return -1;
    // The same arithmetic as the passes, so the moment is exact to the millisecond. A pass
    // moves at least 1/200 pixel, so a whole pixel changes within 201 passes.
    double position = position_;
    qint64 pass = passedUntil_;
    for (int passes = 0; passes < 256; ++passes) {
        ++pass;
        position -= step / 200.0;
        if (std::lround(position) != stripLeft_)
            break;
    }
    return pass;
}

void StopNameBoard::scheduleTimer()
{
    qint64 due = -1;
    if (!scrollStopped_) {
        if (pausing_)
            due = pauseUntil_;
        else if (!strip_.hasInk())
            due = passedUntil_ + MaxPassesPerRun; // nothing to see: only keep the count exact
        else if (const qint64 move = nextMoveAt(); move >= 0)
            due = std::max(move, lastMoveAt_ + FrameIntervalMs);
    }
    scrollTimerDue_ = due;
    if (due < 0) {
        scrollTimer_->stop();
        return;
    }
    const qint64 wait =
        std::clamp<qint64>(due - clock_.nowMs(), 0, std::numeric_limits<int>::max());
    scrollTimer_->start(static_cast<int>(wait));
}

// --- drawing -------------------------------------------------------------------------------

QRect StopNameBoard::frameClientRect() const
{
    const int border = appearance_ == 1 ? 2 : 1;
    return QRect(0, 0, BoardWidth, FrameHeight).adjusted(border, border, -border, -border);
}

QRect StopNameBoard::zoomed(const QRect& designed) const
{
    const QRectF scaled(designed.x() * zoom_, designed.y() * zoom_, designed.width() * zoom_,
                        designed.height() * zoom_);
    return scaled.toAlignedRect();
}

void StopNameBoard::paintEvent(QPaintEvent* event)
{
    QPainter painter(this);
    painter.fillRect(event->rect(), backColor_);

    // A scroll repaints the dots alone.
    if (!zoomed(frameClientRect()).contains(event->rect()))
        paintFrame(painter);

    const QRect client = frameClientRect();
    const QPoint origin = client.topLeft() + QPoint(stripLeft_, StripTop);
    if (zoom_ * painter.deviceTransform().m11() == 1.0)
        blitStrip(painter, client & event->rect(), origin);
    else
        paintDots(painter, client, origin);

    if (!painted_) {
        painted_ = true;
        QTimer::singleShot(0, this, &StopNameBoard::prepareFirstGlyphs); // after this paint
    }
}

void StopNameBoard::drawFrame(QPainter& painter) const
{
    const QRect frame(0, 0, BoardWidth, FrameHeight);
    if (appearance_ == 1) {
        qDrawWinPanel(&painter, frame, palette(), true);
    } else {
        painter.setPen(palette().color(QPalette::WindowText));
        painter.drawRect(frame.adjusted(0, 0, -1, -1));
    }
}

// Zoomed, the designed frame's pixels become blocks: its lines drawn at the zoom would reach
// a pixel into the dots at some zooms.
void StopNameBoard::paintFrame(QPainter& painter) const
{
    if (zoom_ == 1.0) {
        drawFrame(painter);
        return;
    }
    QImage designed(BoardWidth, FrameHeight, QImage::Format_RGB32);
    designed.fill(backColor_);
    {
        QPainter designedPainter(&designed);
        drawFrame(designedPainter);
    }
    painter.drawImage(QRectF(0, 0, BoardWidth * zoom_, FrameHeight * zoom_), designed);
}

void StopNameBoard::blitStrip(QPainter& painter, const QRect& client, const QPoint& origin) const
{
    painter.setClipRect(client);
    const QImage& image = strip_.image();
    // Only the part of the strip inside the frame is drawn. The painter gets a picture of
    // just that part (sharing the strip's bytes): given the whole strip it costs a third more.
    const QRect source = QRect(client.topLeft() - origin, client.size()) & image.rect();
    if (source.isEmpty())
        return;
    QImage visible(image.constScanLine(source.top()) + source.left(), source.width(),
                   source.height(), image.bytesPerLine(), QImage::Format_Indexed8);
    visible.setColorTable(image.colorTable());
    painter.drawImage(origin + source.topLeft(), visible);
}

namespace
{

// A designed rectangle in device pixels: each edge rounded on its own, so that neighbouring
// rectangles meet without a gap.
QRect toDevice(const QRect& designed, double scale)
{
    const auto at = [scale](int designedPixel) {
        return static_cast<int>(std::lround(designedPixel * scale));
    };
    return QRect(QPoint(at(designed.left()), at(designed.top())),
                 QPoint(at(designed.right() + 1) - 1, at(designed.bottom() + 1) - 1));
}

// Whether the strip's pixel (x, y) is the top-left pixel of a dot: the dots of a glyph are
// squares with a pixel of background between them.
bool startsDot(const QImage& image, int x, int y)
{
    const uchar* line = image.constScanLine(y);
    if (line[x] == 0 || (x > 0 && line[x - 1] != 0))
        return false;
    return y == 0 || image.constScanLine(y - 1)[x] == 0;
}

} // namespace

// Drawn in device pixels: a dot's corner is its designed place times the scale, rounded, and
// its side is the designed side times the scale, rounded once for all. Scaling the strip's
// picture instead would give dots of two sizes at a scale such as 1.5 or 4.5.
void StopNameBoard::paintDots(QPainter& painter, const QRect& client, const QPoint& origin) const
{
    const QImage& image = strip_.image();
    // One more pixel to the left and above: a dot cut by the frame starts outside it.
    const QRect scanned =
        QRect(client.topLeft() - origin, client.size()).adjusted(-1, -1, 0, 0) & image.rect();
    if (scanned.isEmpty())
        return;
    // The device's own ratio: a picture rendered at another ratio than the screen's has its own.
    const double ratio = painter.deviceTransform().m11();
    const double scale = zoom_ * ratio;
    const int side = std::max(1, static_cast<int>(std::lround(DotSize * scale)));
    const QList<QRgb> colors = image.colorTable();

    painter.save();
    painter.setWorldTransform(QTransform::fromScale(1.0 / ratio, 1.0 / ratio));
    painter.setClipRect(toDevice(client, scale) & toDevice(QRect(origin, image.size()), scale));
    for (int y = scanned.top(); y <= scanned.bottom(); ++y) {
        const uchar* line = image.constScanLine(y);
        for (int x = scanned.left(); x <= scanned.right(); ++x) {
            if (!startsDot(image, x, y))
                continue;
            const QPoint corner =
                toDevice(QRect(origin + QPoint(x, y), QSize(1, 1)), scale).topLeft();
            painter.fillRect(QRect(corner, QSize(side, side)), QColor(colors.value(line[x])));
        }
    }
    painter.restore();
}

void StopNameBoard::prepareFirstGlyphs()
{
    // Every route setting shows this first; rendering it loads the typefaces the names use,
    // in the settings loaded by now.
    glyphsToPrepare_ = nameGlyphs(platform::toCp932(QStringLiteral("系統設定"))) + glyphsToPrepare_;
    startPreparingGlyphs();
}

// --- saved properties ----------------------------------------------------------------------

QVariant StopNameBoard::savedValue(const PropertyList& bag, const QString& key,
                                   const QVariant& fallback)
{
    for (const auto& [name, value] : bag) {
        if (name == key)
            return value;
    }
    return fallback;
}

QColor StopNameBoard::savedColor(const PropertyList& bag, const QString& key,
                                 const QColor& fallback)
{
    const QVariant saved = savedValue(bag, key, {});
    return saved.isValid() ? platform::toQColor(saved.toInt()) : fallback;
}

void StopNameBoard::saveColor(PropertyList& bag, const QString& key, const QColor& color,
                              const QColor& fallback)
{
    // The bag keeps the int the settings always held, so a saved bag reads the same as before.
    const platform::BgrColor saved = platform::fromQColor(color);
    if (saved != platform::fromQColor(fallback))
        bag.append({key, saved});
}

void StopNameBoard::saveProperties(PropertyList& bag) const
{
    auto put = [&bag](const char* key, const QVariant& value, const QVariant& fallback) {
        if (value != fallback)
            bag.append({QString::fromLatin1(key), value});
    };
    saveColor(bag, QStringLiteral("backColor"), backColor_, DefaultBackColor);
    saveColor(bag, QStringLiteral("foreColor"), foreColor_, DefaultForeColor);
    put("speed", speed_, DefaultSpeed);
    put("scrollStartWait", scrollStartWait_, DefaultScrollStartWait);
    put("mode", mode_, std::int16_t{0});
    put("appearance", appearance_, DefaultAppearance);
    put("fontMode", fontMode_, std::int16_t{0});
    put("fontBold", fontBold_, false);
}

void StopNameBoard::loadProperties(const PropertyList& bag)
{
    auto get = [&bag](const char* key, const QVariant& fallback) {
        return savedValue(bag, QString::fromLatin1(key), fallback);
    };
    backColor_ = savedColor(bag, QStringLiteral("backColor"), DefaultBackColor);
    foreColor_ = savedColor(bag, QStringLiteral("foreColor"), DefaultForeColor);
    speed_ = static_cast<std::int16_t>(get("speed", DefaultSpeed).toInt());
    scrollStartWait_ = get("scrollStartWait", DefaultScrollStartWait).toInt();
    mode_ = static_cast<std::int16_t>(get("mode", 0).toInt());
    const int appearance = get("appearance", DefaultAppearance).toInt();
    appearance_ = static_cast<std::int16_t>(appearance == 0 ? 0 : 1);
    fontMode_ = static_cast<std::int16_t>(get("fontMode", 0).toInt());
    fontBold_ = get("fontBold", false).toBool();
    strip_.clear(backColor_);
    update();
}
