#pragma once

#include "elements/dotraster.h"
#include "platform/wait.h"

#include <QColor>
#include <QList>
#include <QPair>
#include <QString>
#include <QVariant>
#include <QWidget>
#include <cstdint>
#include <memory>
#include <optional>

class QPainter;
class QTimer;

// LED dot-matrix stop-name board. A name is rendered cell by cell (two CP932 bytes a cell, a
// double-byte character never cut between two: dotboard::cellAlignedBytes) into 18 x 18 dots drawn
// as 2 x 2 squares at a pitch of 3 pixels; a name that fits is spread over the board, a longer one
// scrolls from right to left.
//
// The strip (all dots of the name) is prepared by setStopName; scrolling only moves it. One
// pass per millisecond of the board's clock moves the strip speed / 200 pixel, with a pause of
// scrollStartWait ms before the scroll and after each wrap. The passes run from a timer that
// sleeps until the strip's whole-pixel position next changes (but no sooner than a frame after
// the last move) or the pause ends, and while the strip is blank only wakes to keep count;
// setStopName returns at once. Rendered glyphs are kept for the next time they are drawn.
class StopNameBoard : public QWidget
{
    Q_OBJECT
    Q_PROPERTY(QColor backColor READ backColor WRITE setBackColor)
    Q_PROPERTY(QColor foreColor READ foreColor WRITE setForeColor)
    Q_PROPERTY(int speed READ speed WRITE setSpeed)
    Q_PROPERTY(int scrollStartWait READ scrollStartWait WRITE setScrollStartWait)
    Q_PROPERTY(int mode READ mode WRITE setMode)
    Q_PROPERTY(int appearance READ appearance WRITE setAppearance)
    Q_PROPERTY(int fontMode READ fontMode WRITE setFontMode)
    Q_PROPERTY(bool fontBold READ fontBold WRITE setFontBold)

public:
    static constexpr QColor DefaultBackColor{128, 128, 128};
    static constexpr QColor DefaultForeColor{255, 190, 0};
    static constexpr std::int16_t DefaultSpeed = 5;
    static constexpr std::int32_t DefaultScrollStartWait = 1500;
    static constexpr std::int16_t DefaultAppearance = 1;
    // Shortest time between two moves of the strip: one frame of the screen.
    static constexpr int FrameIntervalMs = 16;

    // The clock paces the scroll; without one the board runs on the system's.
    explicit StopNameBoard(QWidget* parent = nullptr);
    explicit StopNameBoard(platform::WaitClock& clock, QWidget* parent = nullptr);
    ~StopNameBoard() override;

    // Colours are kept as the saved properties can hold them: opaque, 8 bits a channel (an
    // invalid colour is black).
    // Board background; assigning it blanks the board until the next setStopName.
    QColor backColor() const { return backColor_; }
    void setBackColor(const QColor& color);
    // Colour of the lit dots; dots already shown keep their colour.
    QColor foreColor() const { return foreColor_; }
    void setForeColor(const QColor& color);
    // Scroll step: speed / 200 pixel per pass (read afresh on every pass: the passes until
    // the assignment run at the old speed). A scroll that starts with 0 sets it to 1; a
    // negative value moves like 1.
    std::int16_t speed() const { return speed_; }
    void setSpeed(std::int16_t speed);
    // Pause in ms before a scroll and after each wrap (negative pauses as 0).
    std::int32_t scrollStartWait() const { return scrollStartWait_; }
    void setScrollStartWait(std::int32_t ms);
    // Stored and saved only.
    std::int16_t mode() const { return mode_; }
    void setMode(std::int16_t mode);
    // 0 flat frame, 1 sunken three-dimensional border; other values are ignored.
    std::int16_t appearance() const { return appearance_; }
    void setAppearance(std::int16_t appearance);
    // Typeface per cell: 0 Gothic, 1 Mincho, 2 kanji Gothic / rest Mincho, 3 kanji Mincho /
    // rest Gothic, 4 full-width letters and digits Gothic / rest Mincho; others Gothic.
    std::int16_t fontMode() const { return fontMode_; }
    void setFontMode(std::int16_t fontMode);
    bool fontBold() const { return fontBold_; }
    void setFontBold(bool bold);

    // Shows a stop name. An empty name blanks the board and leaves a running scroll going;
    // any other name replaces the board (and the scroll) and starts scrolling when it has
    // 9 or more cells.
    void setStopName(const QString& name);
    // The name last given to setStopName, without any prefix; empty while the board is blank.
    QString stopName() const { return stopName_; }
    // Draws one cell (normally one double-byte character) as dots with its top-left dot at
    // (x, y) of the strip. An empty cell draws nothing.
    void drawCell(int x, int y, const QString& cell);
    // Renders the glyphs that setStopName(name) would draw with the current settings on a
    // worker thread, into the board's glyph cache, so that showing the name later costs no
    // rendering. Before the board's first paint the work waits for it.
    void prepareGlyphs(const QString& name);
    const dotboard::GlyphCache& glyphCache() const { return *glyphCache_; }
    // Repaints the board now.
    void repaintBoard();

    // Saved properties: (property name, value) pairs, each written only when it differs from
    // its default, in a fixed order. Colours are saved as int 0x00BBGGRR.
    using PropertyList = QList<QPair<QString, QVariant>>;
    virtual void saveProperties(PropertyList& bag) const;
    virtual void loadProperties(const PropertyList& bag);
    // Every property assignment marks the saved properties as modified.
    bool propertiesModified() const { return propertiesModified_; }
    void clearPropertiesModified() { propertiesModified_ = false; }

    // Scrolling state and the pass runner the scroll timer calls; tests call it directly
    // after moving a platform::ManualClock.
    bool isScrolling() const { return !scrollStopped_; }
    bool isScrollPausing() const { return isScrolling() && pausing_; }
    void advanceScroll();
    // The clock's time the scroll timer is armed for, or -1 when it is not armed.
    qint64 scrollTimerDue() const { return scrollTimerDue_; }
    double scrollPosition() const { return position_; }
    int stripLeft() const { return stripLeft_; }
    int stripWidth() const { return strip_.width(); }
    const dotboard::DotStrip& strip() const { return strip_; }

    // How many times its designed size the board is drawn (fractions allowed). The strip, the
    // scroll and its pace stay in designed pixels; every dot is drawn as a square of whole
    // device pixels, the same size for all dots of the board (see paintDots).
    double zoom() const { return zoom_; }
    void setZoom(double zoom);

    QSize sizeHint() const override;
    QSize minimumSizeHint() const override;

signals:
    // Emitted on every property assignment with the property's name.
    void propertyChanged(const QString& name);

protected:
    void paintEvent(QPaintEvent* event) override;

    // Lays out and draws a non-empty name (CP932) into the cleared strip; returns true when
    // the name must scroll. The prefixed board overrides it.
    virtual bool drawName(const QByteArray& cp932Name);
    // The glyphs drawName draws for the name, in the current settings. The prefixed board
    // adds its prefix.
    virtual QList<dotboard::RasterGlyph> nameGlyphs(const QByteArray& cp932Name) const;
    // How a cell's text is rendered; nothing for a cell without a glyph.
    std::optional<dotboard::RasterGlyph> cellGlyph(const QString& cell) const;
    // Draws the name's cells at x0 + (k - 1) * pitch, y = 0.
    void drawCells(const QByteArray& cp932Name, const dotboard::CellLayout& layout);
    // Resets the strip to a blank of the given width at left 0 with the current colours.
    void resetStrip(int width);
    dotboard::DotStrip& stripForDrawing() { return strip_; }
    // Call after plotting into the strip outside setStopName.
    void inkAdded();
    dotboard::GlyphRaster& raster() { return raster_; }
    void markModified(const QString& name);
    static QVariant savedValue(const PropertyList& bag, const QString& key,
                               const QVariant& fallback);
    // A saved colour (0x00BBGGRR) or the fallback when the bag has none.
    static QColor savedColor(const PropertyList& bag, const QString& key, const QColor& fallback);
    // Appends the colour as 0x00BBGGRR unless it is the default.
    static void saveColor(PropertyList& bag, const QString& key, const QColor& color,
                          const QColor& fallback);

private:
    void prepareFirstGlyphs();
    void startPreparingGlyphs();
    void startScroll();
    void stopScroll();
    void beginPause(qint64 from);
    void runMovingPasses(qint64 now);
    void placeStrip(int left);
    // The pass at which the strip's whole-pixel position next changes, or -1 (speed 0).
    qint64 nextMoveAt() const;
    void scheduleTimer();
    QRect frameClientRect() const;
    // A rectangle of the designed board in the widget's own (zoomed) coordinates.
    QRect zoomed(const QRect& designed) const;
    // The lit dots of the strip inside the frame, each a square of whole device pixels.
    void paintDots(QPainter& painter, const QRect& client, const QPoint& origin) const;
    void drawFrame(QPainter& painter) const;
    void paintFrame(QPainter& painter) const;
    void blitStrip(QPainter& painter, const QRect& client, const QPoint& origin) const;

    QColor backColor_ = DefaultBackColor;
    QColor foreColor_ = DefaultForeColor;
    std::int16_t speed_ = DefaultSpeed;
    std::int32_t scrollStartWait_ = DefaultScrollStartWait;
    std::int16_t mode_ = 0;
    std::int16_t appearance_ = DefaultAppearance;
    std::int16_t fontMode_ = 0;
    bool fontBold_ = false;
    bool propertiesModified_ = false;

    dotboard::DotStrip strip_;
    dotboard::GlyphRaster raster_;
    platform::WaitClock& clock_;
    std::shared_ptr<dotboard::GlyphCache> glyphCache_;
    int stripLeft_ = 0;
    // Glyphs to render ahead once the board has been painted for the first time.
    bool painted_ = false;
    QList<dotboard::RasterGlyph> glyphsToPrepare_;

    // Scroll state: whether no scroll may go on, the exact position, and the pass clock.
    bool scrollStopped_ = true;
    QString stopName_;
    bool pausing_ = false;
    bool speedChecked_ = false;
    bool advancing_ = false;
    double position_ = 0.0;
    qint64 pauseUntil_ = 0;
    qint64 passedUntil_ = 0;
    qint64 lastMoveAt_ = 0;
    qint64 scrollTimerDue_ = -1;
    QTimer* scrollTimer_ = nullptr;
    double zoom_ = 1.0;
};
