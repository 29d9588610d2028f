#include "app/displaymenu.h"

#include "app/displaysizing.h"

#include <QActionGroup>
#include <QGuiApplication>
#include <QMenu>
#include <QScreen>

namespace
{

void addZoomMenu(QMenu& menu, core::Options& options)
{
    QMenu* zooms = menu.addMenu(QStringLiteral("表示倍率"));
    auto* group = new QActionGroup(zooms);
    const auto addZoom = [&](const QString& caption, int zoom) {
        QAction* action = zooms->addAction(caption);
        action->setCheckable(true);
        action->setChecked(options.displayZoom() == zoom);
        action->setData(zoom);
        group->addAction(action);
        QObject::connect(action, &QAction::triggered, &options,
                         [&options, zoom] { options.setDisplayZoom(zoom); });
    };
    for (int zoom = 1; zoom <= displaysizing::LargestZoom; ++zoom)
        addZoom(QStringLiteral("%1倍").arg(zoom), zoom);
    addZoom(QStringLiteral("画面に合わせる"), displaysizing::FitZoom);
}

void addFullScreenItem(QMenu& menu, core::Options& options)
{
    QAction* fullScreen = menu.addAction(QStringLiteral("全画面表示"));
    fullScreen->setCheckable(true);
    fullScreen->setChecked(core::isOn(options.displayFullScreen()));
    QObject::connect(fullScreen, &QAction::toggled, &options,
                     [&options](bool on) { options.setDisplayFullScreen(on ? 1 : 0); });
}

void addMonitorMenu(QMenu& menu, core::Options& options)
{
    QMenu* monitors = menu.addMenu(QStringLiteral("表示するモニタ"));
    auto* group = new QActionGroup(monitors);
    const QScreen* shown = displaysizing::chosenScreen(options.displayMonitor());
    for (const QScreen* screen : QGuiApplication::screens()) {
        QAction* action = monitors->addAction(displaysizing::screenCaption(*screen));
        action->setCheckable(true);
        action->setChecked(screen == shown);
        action->setData(screen->name());
        group->addAction(action);
        QObject::connect(action, &QAction::triggered, &options,
                         [&options, name = screen->name()] { options.setDisplayMonitor(name); });
    }
}

} // namespace

void fillDisplayMenu(QMenu& menu, core::Options& options)
{
    addZoomMenu(menu, options);
    addFullScreenItem(menu, options);
    addMonitorMenu(menu, options);
}
