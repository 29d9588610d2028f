#include "app/desktop.h"

#include "app/appicon.h"
#include "platform/fontmap.h"
#include "platform/msgbox.h"

#include <QApplication>
#include <QFontDatabase>
#include <QLibraryInfo>
#include <QTimer>
#include <QTranslator>

namespace desktop
{

QString applicationId()
{
    return QStringLiteral(FARE_APP_ID);
}

QIcon applicationIcon()
{
    const QIcon installed = QIcon::fromTheme(applicationId());
    return installed.isNull() ? drawAppIconSet() : installed;
}

std::unique_ptr<QTranslator> loadQtJapanese(const QString& folder)
{
    auto translator = std::make_unique<QTranslator>();
    if (!translator->load(QStringLiteral("qtbase_ja"), folder))
        return nullptr;
    return translator;
}

QStringList missingJapaneseFonts(const FontLookup& hasFamily)
{
    QStringList missing;
    for (const QString& face :
         {platform::GothicFace, platform::MinchoFace, platform::PGothicFace}) {
        const QString family = platform::mappedFamily(face);
        if (!hasFamily(family))
            missing << family;
    }
    return missing;
}

bool warnIfJapaneseFontsMissing(const FontLookup& hasFamily, platform::MessageBoxes& boxes)
{
    const QStringList missing = missingJapaneseFonts(hasFamily);
    if (missing.isEmpty())
        return false;
    // The names and the command are ASCII, readable even when the Japanese lines are not.
    const QString crlf = QStringLiteral("\r\n");
    boxes.show(QStringLiteral("日本語のフォントが見つかりません。") + crlf +
                   missing.join(QStringLiteral(", ")) + crlf + crlf +
                   QStringLiteral("このままでは文字が正しく表示されません。"
                                  "次のパッケージを入れてください。") +
                   crlf +
                   QStringLiteral("sudo apt install fonts-ipafont-gothic fonts-ipafont-mincho"),
               platform::MessageBox::OKOnly | platform::MessageBox::Exclamation,
               QStringLiteral("ファレット"));
    return true;
}

void setUpDesktop(QApplication& app, platform::MessageBoxes& boxes)
{
    // Lets the desktop match the windows to the menu entry and its icon (Wayland above all).
    QGuiApplication::setDesktopFileName(applicationId());
    QApplication::setWindowIcon(applicationIcon());
    // The program is Japanese whatever the locale, so Qt's dialogs are too.
    if (std::unique_ptr<QTranslator> translator =
            loadQtJapanese(QLibraryInfo::path(QLibraryInfo::TranslationsPath))) {
        translator->setParent(&app);
        QCoreApplication::installTranslator(translator.release());
    }
    QTimer::singleShot(0, &app, [&boxes] {
        warnIfJapaneseFontsMissing(
            [](const QString& family) { return QFontDatabase::hasFamily(family); }, boxes);
    });
}

} // namespace desktop
