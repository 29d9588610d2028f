#include "platform/msgbox.h"

#include <QApplication>
#include <QMessageBox>
#include <QTimer>
#include <gtest/gtest.h>

TEST(MessageBox, DetailsGoBehindTheDetailsButton)
{
    // Another test of this program makes an application of its own: this one ends here.
    int argc = 1;
    char name[] = "msgbox_test";
    char* argv[] = {name, nullptr};
    QApplication app(argc, argv);
    QString shownPrompt;
    QString shownDetails;
    QTimer::singleShot(0, [&] {
        auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
        ASSERT_NE(box, nullptr);
        shownPrompt = box->text();
        shownDetails = box->detailedText();
        box->accept();
    });
    const int answer = platform::showMessageBox(
        QStringLiteral("指定した系統のデータがありません..."), platform::MessageBox::OKOnly,
        QString(), nullptr, QStringLiteral("/data/12.hy3"));
    EXPECT_EQ(answer, platform::MessageBox::OK);
    EXPECT_EQ(shownPrompt, QStringLiteral("指定した系統のデータがありません..."));
    EXPECT_EQ(shownDetails, QStringLiteral("/data/12.hy3"));

    platform::MessageBoxRecorder recorder;
    platform::showMessageBox(QStringLiteral("a"), platform::MessageBox::OKOnly, QString(), nullptr,
                             QStringLiteral("b"));
    ASSERT_EQ(recorder.calls().size(), 1u);
    EXPECT_EQ(recorder.calls()[0].details, QStringLiteral("b"));
}
