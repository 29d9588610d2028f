#pragma once

#include <QByteArray>
#include <QString>

namespace tickets
{

// Codabar (NW-7), the barcode of Japanese bus tickets. The text must start and end with a guard
// (A, B, C or D) and hold only digits and - $ : / . + in between. The result is the module
// pattern, '1' for bar and '0' for space: a narrow element is one module, a wide one
// `wideModules` (2 or 3) modules, and one narrow space separates the characters. Empty when
// the text cannot be encoded.
QString codabarModules(const QByteArray& text, int wideModules = 3);

} // namespace tickets
