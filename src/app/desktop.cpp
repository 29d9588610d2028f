#include "app/desktop.h"

#include "app/appicon.h"
#include "platform/fontmap.h"
#include "platform/msgbox.h"

#include <QApplication>
#include <QDir>
#include <QFileInfo>
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

QString iconThemeFolder(const QString& executableFolder)
{
    return QDir::cleanPath(executableFolder + QLatin1Char('/') +
                           QStringLiteral(FARE_ICONS_DIR_FROM_BINDIR));
}

QIcon applicationIcon(const QString& executableFolder)
{
    const QString folder = iconThemeFolder(executableFolder);
    QIcon files;
    for (int size : WindowIconSizes) {
        const QString file =
            QStringLiteral("%1/%2x%2/apps/%3.png").arg(folder).arg(size).arg(applicationId());
        const QImage image(file, "PNG");
        if (!image.isNull())
            files.addPixmap(QPixmap::fromImage(image));
    }
    if (!files.isNull())
        return files;
    const QIcon themed = QIcon::fromTheme(applicationId());
    return themed.isNull() ? drawAppIconSet() : themed;
}

QIcon applicationIcon()
{
    return applicationIcon(QCoreApplication::applicationDirPath());
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
