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
    platform::DialogMessageBoxes dialogs;
    const int answer = dialogs.show(QStringLiteral("指定した系統のデータがありません..."),
                                    platform::MessageBox::OKOnly, QString(), nullptr,
                                    QStringLiteral("/data/12.hy3"));
    EXPECT_EQ(answer, platform::MessageBox::OK);
    EXPECT_EQ(shownPrompt, QStringLiteral("指定した系統のデータがありません..."));
    EXPECT_EQ(shownDetails, QStringLiteral("/data/12.hy3"));

    platform::MessageBoxRecorder recorder;
    recorder.show(QStringLiteral("a"), platform::MessageBox::OKOnly, QString(), nullptr,
                  QStringLiteral("b"));
    ASSERT_EQ(recorder.calls().size(), 1u);
    EXPECT_EQ(recorder.calls()[0].details, QStringLiteral("b"));
    // An empty title is the application's, as the real dialogs show it.
    EXPECT_EQ(recorder.calls()[0].title, QCoreApplication::applicationName());
    recorder.setResponder([](const platform::MessageBoxCall& call) {
        return call.prompt == u"yes?" ? platform::MessageBox::Yes : platform::MessageBox::No;
    });
    EXPECT_EQ(recorder.show(QStringLiteral("yes?"), platform::MessageBox::YesNo),
              platform::MessageBox::Yes);
    EXPECT_EQ(recorder.show(QStringLiteral("no?"), platform::MessageBox::YesNo),
              platform::MessageBox::No);
    EXPECT_EQ(recorder.calls().size(), 3u);
}
