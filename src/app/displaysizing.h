#pragma once

#include <QList>
#include <QRect>
#include <QSize>
#include <QString>

class QScreen;

// How large the fare display is drawn and where, from the zoom option (1..4, or
// FitZoom for the largest size the monitor holds), and which monitor it goes to.
namespace displaysizing
{

inline constexpr int FitZoom = 0;
inline constexpr int LargestZoom = 4;

// The largest scale at which `content` fits into `area`, its aspect kept (at least a
// hundredth, so that a degenerate area still leaves something to draw).
double fitScale(const QSize& content, const QSize& area);

// The scale of the window's content in a window of its own: the zoom itself, or the fit
// into the monitor's available area for FitZoom.
double windowScale(int zoom, const QSize& content, const QSize& available);

// The scale in full screen: the fit for FitZoom, else the largest whole number of times that
// fits the monitor (1 at least, even on a monitor smaller than the window).
double fullScreenScale(int zoom, const QSize& content, const QSize& screen);

// The content of that scale centred in `area` (black around it).
QRect centredContent(const QSize& content, double scale, const QRect& area);

// The top-left corner nearest `topLeft` for a window of `size` wholly inside `area` (at the
// area's top-left when it is larger).
QPoint keptWithin(const QPoint& topLeft, const QSize& size, const QRect& area);

// The monitor named `name` (QScreen::name()), or the primary one when no monitor of that
// name is connected; nullptr only without any screen.
QScreen* chosenScreen(const QString& name);

// A screen's name for a menu: its name, with the model and maker where the system tells them.
QString screenCaption(const QScreen& screen);

} // namespace displaysizing
