// The floor of scripts/measure-idle: the least a Qt Widgets program with the fare display's
// two windows costs. A frameless 498 x 248 window and a 359 x 308 one; with --scroll SPEED the
// first holds a 432 x 56 dot strip that moves SPEED / 200 pixel a millisecond and is repainted
// only when its whole-pixel position changes, at most once a frame. Each window shows a line
// of Japanese text, as the program's windows do, so that the floor loads the same fonts.
//
//   fare_floor [--scroll SPEED] [--startup]
//
// With --startup it prints one line once both windows are shown and painted, and exits.

#include <QApplication>
#include <QCommandLineParser>
#include <QElapsedTimer>
#include <QImage>
#include <QLabel>
#include <QPainter>
#include <QTimer>
#include <QWidget>
#include <algorithm>
#include <cstdio>

namespace
{

constexpr int BoardWidth = 432;
constexpr int BoardHeight = 56;
constexpr int StripWidth = 1026; // a 19-cell name
constexpr int FrameMs = 16;

// Amber 2 x 2 dots at a pitch of 3 pixels on black, in a pattern that is not uniform.
QImage dotStrip()
{
    QImage strip(StripWidth, BoardHeight, QImage::Format_Indexed8);
    strip.setColorTable({qRgb(0, 0, 0), qRgb(255, 190, 0)});
    strip.fill(0);
    for (int x = 0; x + 1 < StripWidth; x += 3) {
        for (int y = 0; y + 1 < BoardHeight; y += 3) {
            if ((x / 3 * 7 + y / 3 * 3) % 5 < 2)
                continue;
            for (int dy = 0; dy < 2; ++dy) {
                uchar* line = strip.scanLine(y + dy);
                line[x] = line[x + 1] = 1;
            }
        }
    }
    return strip;
}

class ScrollingStrip : public QWidget
{
public:
    ScrollingStrip(int speed, QWidget* parent) : QWidget(parent), speed_(speed), strip_(dotStrip())
    {
        setAttribute(Qt::WA_OpaquePaintEvent);
        setFixedSize(BoardWidth, BoardHeight);
        timer_.setSingleShot(true);
        timer_.setTimerType(Qt::PreciseTimer);
        connect(&timer_, &QTimer::timeout, this, &ScrollingStrip::advance);
        clock_.start();
        if (speed_ > 0)
            arm();
    }

protected:
    void paintEvent(QPaintEvent*) override
    {
        QPainter painter(this);
        painter.fillRect(rect(), Qt::black);
        painter.drawImage(left_, 0, strip_);
        painter.drawImage(left_ + StripWidth + BoardWidth, 0, strip_);
    }

private:
    qint64 pixelsAt(qint64 ms) const { return ms * speed_ / 200; }

    void advance()
    {
        const int left = -static_cast<int>(pixelsAt(clock_.elapsed()) % (StripWidth + BoardWidth));
        if (left != left_) {
            left_ = left;
            update();
        }
        arm();
    }

    // Sleeps until the next whole pixel, but not less than a frame.
    void arm()
    {
        const qint64 now = clock_.elapsed();
        const qint64 nextPixelAt = ((pixelsAt(now) + 1) * 200 + speed_ - 1) / speed_;
        timer_.start(static_cast<int>(std::max<qint64>(nextPixelAt - now, FrameMs)));
    }

    int speed_;
    QImage strip_;
    int left_ = 0;
    QElapsedTimer clock_;
    QTimer timer_;
};

} // namespace

int main(int argc, char** argv)
{
    QApplication app(argc, argv);
    QCommandLineParser parser;
    parser.addHelpOption();
    parser.addOption({"scroll", "Scroll a dot strip at this speed (1..2000).", "SPEED", "0"});
    parser.addOption({"startup", "Print a line once both windows are painted, and exit."});
    parser.process(app);

    QWidget display(nullptr, Qt::Window | Qt::FramelessWindowHint);
    display.setWindowTitle(QStringLiteral("floor display"));
    display.setFixedSize(498, 248);
    QPalette black = display.palette();
    black.setColor(QPalette::Window, Qt::black);
    display.setPalette(black);
    display.setAutoFillBackground(true);
    const int speed = std::clamp(parser.value("scroll").toInt(), 0, 2000);
    if (speed > 0)
        (new ScrollingStrip(speed, &display))->move(33, 33);

    // The display's stop name in the board's typeface; the panel's caption in the panel's
    // proportional one, as the program draws them.
    QLabel stopName(QStringLiteral("次は　停留所"), &display);
    stopName.setFont(QFont(QStringLiteral("IPAGothic"), 20, QFont::Bold));
    stopName.setStyleSheet(QStringLiteral("color: #ffbe00"));
    stopName.move(33, 100);

    QWidget panel;
    panel.setWindowTitle(QStringLiteral("floor panel"));
    panel.setFixedSize(359, 308);
    QLabel caption(QStringLiteral("系統　区間　データ送り"), &panel);
    caption.setFont(QFont(QStringLiteral("IPAPGothic"), 9));
    caption.move(8, 8);

    display.move(0, 0);
    display.show();
    panel.move(921, 716);
    panel.show();
    if (parser.isSet("startup")) {
        QApplication::processEvents(); // the first paint of both windows
        std::printf("both windows shown\n");
        return 0;
    }
    return app.exec();
}
