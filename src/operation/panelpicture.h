#pragma once

#include <QColor>
#include <QPixmap>
#include <QSize>
#include <QString>

// Loading a user panel picture for the backlight, and the message its failures show.
namespace backlight
{

// Reads a bitmap, GIF or JPEG file. Any failure raises platform::RuntimeError with the
// number the message is chosen by: 53 no such file, 75 a folder or an unreadable file,
// 57 a device error, 481 a file that is no picture of those kinds.
QImage loadPanelPicture(const QString& path);

// The picture as the panel shows it: from the top-left, cut at the right and bottom when it
// is larger than the panel, with `surround` around it when it is smaller.
QPixmap fitToPanel(const QImage& picture, const QSize& panel, const QColor& surround);

// "エラーです。" with the error number and the detail text for that number.
QString errorMessage(int number);

} // namespace backlight
