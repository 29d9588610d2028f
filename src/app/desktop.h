#pragma once

#include "platform/msgbox.h"

#include <QIcon>
#include <QString>
#include <QStringList>
#include <functional>
#include <memory>

class QApplication;
class QTranslator;

// What makes the program a desktop program on Linux besides its windows: the desktop entry it
// belongs to, its icon, Qt's own texts in Japanese and a word when the Japanese fonts are
// missing.
namespace desktop
{

// The id of the desktop entry, the installed icon and the metadata.
QString applicationId();

// The program's own icon files where the installation puts them, seen from the executable's
// folder (the build tree has them at the same place); else the theme's icon of that name;
// else the same picture drawn now (a copy unpacked somewhere has no icon files). The files
// come first: looking the name up in the icon themes parses every theme's index, which costs
// the start-up more than both windows' painting.
QIcon applicationIcon(const QString& executableFolder);
QIcon applicationIcon();
// The hicolor theme folder the installation puts the icon files in, seen from the
// executable's folder.
QString iconThemeFolder(const QString& executableFolder);

// Qt's Japanese translation from `folder` (file dialogs, standard buttons); nullptr when it
// is not installed there.
std::unique_ptr<QTranslator> loadQtJapanese(const QString& folder);

// Whether the font database knows a family; QFontDatabase::hasFamily in the program.
using FontLookup = std::function<bool(const QString& family)>;

// The families the Japanese faces map to that hasFamily does not find.
QStringList missingJapaneseFonts(const FontLookup& hasFamily);

// Without the IPA fonts every Japanese text turns into boxes: one message names the missing
// families and the packages that bring them, in boxes. Returns whether it was shown.
bool warnIfJapaneseFontsMissing(const FontLookup& hasFamily, platform::MessageBoxes& boxes);

// Call once, after the application object and before any window: the desktop entry's name,
// the windows' icon and Qt's Japanese texts; the fonts are checked once the event loop runs,
// over the windows (boxes outlives the event loop).
void setUpDesktop(QApplication& app, platform::MessageBoxes& boxes);

} // namespace desktop
