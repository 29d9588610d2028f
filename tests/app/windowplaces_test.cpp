// The real fare executable under an X server with a window manager (openbox), started ten
// times with one settings file: both windows must come back exactly where they were. A
// window manager frames a window some time after it is shown, so a place saved with the frame
// and restored without it (or the other way round) makes the window creep at every start.
#include "formats/settingscodec.h"
#include "xsession.h"

#include <QFile>
#include <QPoint>
#include <QProcess>
#include <QRegularExpression>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <csignal>
#include <functional>
#include <gtest/gtest.h>
#include <optional>

namespace
{

constexpr int TwipsPerPixel = 15;

QByteArray contents(const QString& path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

// Ends a process for good: politely, then by force, never leaving it behind.
void stop(QProcess& process)
{
    if (process.state() == QProcess::NotRunning)
        return;
    process.terminate();
    if (!process.waitForFinished(5000)) {
        process.kill();
        process.waitForFinished(5000);
    }
}

class WindowPlacesTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        for (const char* tool : {"Xvfb", "openbox", "xprop", "xdotool", "xwininfo"}) {
            if (QStandardPaths::findExecutable(QString::fromLatin1(tool)).isEmpty())
                GTEST_SKIP() << tool << " is not installed (scripts/install-deps)";
        }
        ASSERT_TRUE(dir_.isValid());
        settings_ = dir_.filePath(QStringLiteral("fare.in4"));
        startServer();
        startWindowManager();
    }

    void TearDown() override
    {
        stop(fare_);
        stop(windowManager_);
    }

    void startServer()
    {
        ASSERT_TRUE(server_.isRunning()) << "Xvfb did not start";
        env_ = QProcessEnvironment::systemEnvironment();
        env_.insert(QStringLiteral("DISPLAY"), server_.display());
        env_.insert(QStringLiteral("HOME"), dir_.path()); // keeps the user's own files out
        env_.insert(QStringLiteral("XDG_CONFIG_HOME"), dir_.filePath(QStringLiteral("config")));
    }

    void startWindowManager()
    {
        windowManager_.setProcessEnvironment(env_);
        // Into a file, where it cannot fill a pipe nobody reads, and is there to be shown.
        windowManager_.setStandardOutputFile(windowManagerLog());
        windowManager_.setStandardErrorFile(windowManagerLog(), QIODevice::Append);
        windowManager_.start(QStandardPaths::findExecutable(QStringLiteral("openbox")),
                             {QStringLiteral("--sm-disable")});
        ASSERT_TRUE(windowManager_.waitForStarted(10000));
        // It manages the screen once it names itself on the root window.
        ASSERT_TRUE(xtest::waitFor(
            [&] {
                return tool(QStringLiteral("xprop"),
                            {QStringLiteral("-root"), QStringLiteral("_NET_SUPPORTING_WM_CHECK")})
                    .contains("window id");
            },
            20000))
            << "openbox did not start: " << contents(windowManagerLog()).toStdString();
    }

    QString windowManagerLog() const { return dir_.filePath(QStringLiteral("openbox.log")); }

    // Runs a command-line tool on the test's display and returns what it printed.
    QByteArray tool(const QString& name, const QStringList& arguments)
    {
        QProcess process;
        process.setProcessEnvironment(env_);
        process.start(QStandardPaths::findExecutable(name), arguments);
        if (!process.waitForFinished(10000)) {
            stop(process);
            return {};
        }
        return process.readAllStandardOutput();
    }

    // The visible window of the running program whose title matches, or nothing.
    std::optional<QString> windowNamed(const QString& title)
    {
        const QByteArray found =
            tool(QStringLiteral("xdotool"),
                 {QStringLiteral("search"), QStringLiteral("--all"),
                  QStringLiteral("--onlyvisible"), QStringLiteral("--pid"),
                  QString::number(fare_.processId()), QStringLiteral("--name"), title});
        const QList<QByteArray> ids = found.trimmed().split('\n');
        if (ids.isEmpty() || ids.first().isEmpty())
            return std::nullopt;
        return QString::fromLatin1(ids.first());
    }

    // Where the window's client area is on the screen.
    std::optional<QPoint> clientPlace(const QString& window)
    {
        const QString info =
            QString::fromUtf8(tool(QStringLiteral("xwininfo"), {QStringLiteral("-id"), window}));
        const QRegularExpressionMatch x =
            QRegularExpression(QStringLiteral("Absolute upper-left X:\\s+(-?\\d+)")).match(info);
        const QRegularExpressionMatch y =
            QRegularExpression(QStringLiteral("Absolute upper-left Y:\\s+(-?\\d+)")).match(info);
        if (!x.hasMatch() || !y.hasMatch())
            return std::nullopt;
        return QPoint(x.captured(1).toInt(), y.captured(1).toInt());
    }

    struct Places {
        QPoint panel;
        QPoint display;
        bool operator==(const Places&) const = default;
    };

    // Starts the program, waits until both windows are shown and have stood still for a
    // moment, notes where they are and ends the program the way a session does (TERM saves).
    Places runOnce()
    {
        QProcessEnvironment env = env_;
        env.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("xcb"));
        if (env.contains(QStringLiteral("ASAN_OPTIONS")))
            env.insert(QStringLiteral("ASAN_OPTIONS"),
                       env.value(QStringLiteral("ASAN_OPTIONS")) +
                           QStringLiteral(":strict_string_checks=0:detect_leaks=0"));
        fare_.setProcessEnvironment(env);
        fare_.setProcessChannelMode(QProcess::ForwardedErrorChannel);
        fare_.start(QStringLiteral(FARE_EXECUTABLE), {QStringLiteral("--settings"), settings_});
        Places places;
        if (!fare_.waitForStarted(10000)) {
            ADD_FAILURE() << "fare did not start";
            return places;
        }
        std::optional<QString> panel, display;
        const bool shown = xtest::waitFor(
            [&] {
                panel = windowNamed(QStringLiteral("^集中操作盤$"));
                display = windowNamed(QStringLiteral("^ファレット"));
                return panel && display;
            },
            30000);
        EXPECT_TRUE(shown) << "the windows never showed";
        if (shown) {
            std::optional<Places> last;
            int steady = 0;
            const bool settled = xtest::waitFor(
                [&] {
                    const std::optional<QPoint> p = clientPlace(*panel);
                    const std::optional<QPoint> d = clientPlace(*display);
                    if (!p || !d)
                        return false;
                    const Places now{*p, *d};
                    steady = last && *last == now ? steady + 1 : 0;
                    last = now;
                    return steady >= 4;
                },
                20000);
            EXPECT_TRUE(settled) << "the windows kept moving";
            if (last)
                places = *last;
        }
        ::kill(static_cast<pid_t>(fare_.processId()), SIGTERM);
        EXPECT_TRUE(fare_.waitForFinished(20000)) << "fare did not end on TERM";
        stop(fare_);
        return places;
    }

    SettingsRecords saved()
    {
        SettingsRecords records;
        EXPECT_TRUE(decodeSettings(contents(settings_), records));
        return records;
    }

    QTemporaryDir dir_;
    QString settings_;
    QProcessEnvironment env_;
    xtest::XServer server_;
    QProcess windowManager_;
    QProcess fare_;
};

TEST_F(WindowPlacesTest, TenRestartsLeaveBothWindowsWhereTheyWere)
{
    // A first start writes the settings; then the operator's own places, the control panel
    // near the right edge with the preview open (the wide window is shifted to stay on the
    // screen, the file keeps the operator's place).
    runOnce();
    SettingsRecords records = saved();
    records.controlPanel.Left = 900 * TwipsPerPixel;
    records.controlPanel.Top = 300 * TwipsPerPixel;
    records.controlPanel.PreviewShown = 1;
    records.displayPosition = {40 * TwipsPerPixel, 500 * TwipsPerPixel};
    QFile file(settings_);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    file.write(encodeSettings(records));
    file.close();

    std::optional<Places> first;
    for (int start = 1; start <= 10; ++start) {
        SCOPED_TRACE(start);
        const Places places = runOnce();
        const SettingsRecords after = saved();
        EXPECT_EQ(after.controlPanel.Left, 900 * TwipsPerPixel);
        EXPECT_EQ(after.controlPanel.Top, 300 * TwipsPerPixel);
        EXPECT_EQ(after.displayPosition.left, 40 * TwipsPerPixel);
        EXPECT_EQ(after.displayPosition.top, 500 * TwipsPerPixel);
        EXPECT_EQ(places.display, QPoint(40, 500));
        EXPECT_EQ(places.panel.y(), 300);
        EXPECT_LT(places.panel.x(), 900) << "the wide panel moved left to stay on the screen";
        if (!first)
            first = places;
        EXPECT_EQ(places, *first) << "panel " << places.panel.x() << "," << places.panel.y();
        if (HasFailure())
            break;
    }
}

} // namespace
