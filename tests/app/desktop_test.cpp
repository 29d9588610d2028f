#include "app/appicon.h"
#include "app/desktop.h"
#include "app/program.h"
#include "operation/controlpanel.h"
#include "platform/msgbox.h"
#include "platform/wait.h"

#include <QApplication>
#include <QDialogButtonBox>
#include <QDir>
#include <QFile>
#include <QFileDialog>
#include <QLibraryInfo>
#include <QMessageBox>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTimer>
#include <QTranslator>
#include <gtest/gtest.h>

namespace
{

QString qtTranslations()
{
    return QLibraryInfo::path(QLibraryInfo::TranslationsPath);
}

bool japaneseInstalled()
{
    return QFile::exists(qtTranslations() + QStringLiteral("/qtbase_ja.qm"));
}

// Reads the title and button texts of the next message box while it is open, then closes it.
void readNextBox(QString& title, QStringList& texts)
{
    QTimer::singleShot(0, [&title, &texts] {
        auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
        if (box == nullptr)
            return;
        title = box->windowTitle();
        for (QAbstractButton* button : box->buttons())
            texts << button->text();
        box->buttons().constLast()->click();
    });
}

} // namespace

TEST(AppIcon, TheIconFilesBesideTheProgramComeFirstAndTheDrawnIconWithoutThem)
{
    QTemporaryDir root;
    const QString bin = root.filePath(QStringLiteral("bin"));
    const QString apps = desktop::iconThemeFolder(bin) + QStringLiteral("/48x48/apps");
    ASSERT_TRUE(QDir().mkpath(apps));
    QImage red(48, 48, QImage::Format_ARGB32);
    red.fill(Qt::red);
    ASSERT_TRUE(red.save(apps + QLatin1Char('/') + desktop::applicationId() + ".png"));

    const QIcon fromFiles = desktop::applicationIcon(bin);
    EXPECT_EQ(fromFiles.availableSizes(), QList<QSize>{QSize(48, 48)});
    EXPECT_EQ(fromFiles.pixmap(48).toImage().pixelColor(24, 24), QColor(Qt::red));

    // A copy unpacked somewhere: no files beside it, so the theme's or the drawn picture.
    const QIcon elsewhere = desktop::applicationIcon(root.filePath(QStringLiteral("none/bin")));
    ASSERT_FALSE(elsewhere.isNull());
    EXPECT_NE(elsewhere.pixmap(48).toImage().pixelColor(24, 24), QColor(Qt::red));
}

TEST(AppIcon, DrawnIconHasEveryThemeSizeOfTheInstalledPicture)
{
    const QIcon icon = drawAppIconSet();
    ASSERT_FALSE(icon.isNull());
    for (int size : AppIconSizes)
        EXPECT_TRUE(icon.availableSizes().contains(QSize(size, size))) << size;
    EXPECT_EQ(icon.pixmap(48).toImage().convertToFormat(QImage::Format_ARGB32),
              drawAppIcon(48).convertToFormat(QImage::Format_ARGB32));
}

TEST(Desktop, FontCheckWarnsOnceNamingTheMissingFamiliesAndPackages)
{
    platform::MessageBoxRecorder boxes;
    EXPECT_FALSE(desktop::warnIfJapaneseFontsMissing([](const QString&) { return true; }, boxes));
    EXPECT_TRUE(boxes.calls().empty());

    const auto withoutMincho = [](const QString& family) {
        return family != QStringLiteral("IPAMincho");
    };
    EXPECT_EQ(desktop::missingJapaneseFonts(withoutMincho), QStringList{"IPAMincho"});
    EXPECT_TRUE(desktop::warnIfJapaneseFontsMissing([](const QString&) { return false; }, boxes));
    ASSERT_EQ(boxes.calls().size(), 1u);
    const QString prompt = boxes.calls()[0].prompt;
    for (const char* word :
         {"IPAGothic", "IPAMincho", "IPAPGothic", "fonts-ipafont-gothic", "fonts-ipafont-mincho"})
        EXPECT_TRUE(prompt.contains(QLatin1String(word))) << word;
}

TEST(Desktop, QtJapaneseIsLoadedWhenInstalled)
{
    QTemporaryDir empty;
    EXPECT_EQ(desktop::loadQtJapanese(empty.path()), nullptr);
    if (!japaneseInstalled())
        GTEST_SKIP() << "qt6-translations-l10n is not installed";
    std::unique_ptr<QTranslator> japanese = desktop::loadQtJapanese(qtTranslations());
    ASSERT_NE(japanese, nullptr);
    EXPECT_EQ(japanese->translate("QPlatformTheme", "Cancel"), QStringLiteral("キャンセル"));
}

// The last test: it changes the application for good.
TEST(Desktop, SetUpGivesBothWindowsTheIconAndQtsDialogsJapanese)
{
    platform::MessageBoxRecorder boxes;
    desktop::setUpDesktop(*qApp, boxes);
    QCoreApplication::processEvents(); // the font check after start-up
    EXPECT_LE(boxes.calls().size(), 1u);
    EXPECT_EQ(QGuiApplication::desktopFileName(), QStringLiteral("jp.faretto.Fare"));

    QTemporaryDir dir;
    platform::ManualClock clock;
    {
        Program program(dir.filePath(QStringLiteral("fare.in4")), clock, boxes);
        program.start();
        for (QWidget* window : {static_cast<QWidget*>(&program.display()),
                                static_cast<QWidget*>(&program.controlPanel())}) {
            EXPECT_FALSE(window->windowIcon().isNull());
            EXPECT_EQ(window->windowIcon().cacheKey(), QApplication::windowIcon().cacheKey());
        }
    }

    if (!japaneseInstalled())
        GTEST_SKIP() << "qt6-translations-l10n is not installed";
    QFileDialog picker;
    picker.setOption(QFileDialog::DontUseNativeDialog);
    picker.setAcceptMode(QFileDialog::AcceptOpen);
    auto* buttons = picker.findChild<QDialogButtonBox*>();
    ASSERT_NE(buttons, nullptr);
    EXPECT_EQ(buttons->button(QDialogButtonBox::Cancel)->text(), QStringLiteral("キャンセル"));

    // The program's own boxes keep their texts under Qt's translation.
    QString title;
    QStringList texts;
    readNextBox(title, texts);
    platform::DialogMessageBoxes dialogs;
    dialogs.show(QStringLiteral("ファレットを終了しますか？"),
                 platform::MessageBox::YesNo | platform::MessageBox::Question,
                 QStringLiteral("ファレットの終了確認"));
    EXPECT_EQ(title, QStringLiteral("ファレットの終了確認"));
    EXPECT_EQ(texts, (QStringList{QStringLiteral("はい(&Y)"), QStringLiteral("いいえ(&N)")}));
}
