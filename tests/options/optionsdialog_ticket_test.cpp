#include "options/optionsdialog.h"

#include "platform/msgbox.h"
#include "support/scriptedpickers.h"
#include "support/widgetlookup.h"
#include "testsupport.h"
#include "tickets/ticketplugin.h"

#include <QComboBox>
#include <QDir>
#include <QFile>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTemporaryDir>
#include <gtest/gtest.h>

namespace
{

QListWidget* propertyList(const OptionsDialog& dialog)
{
    return findWidget<QListWidget>(dialog, "pluginPropertyList");
}

QStringList listLines(QListWidget* list)
{
    QStringList lines;
    for (int i = 0; i < list->count(); ++i)
        lines << list->item(i)->text();
    return lines;
}

class TicketPagePluginTest : public ::testing::Test
{
protected:
    TicketPagePluginTest()
    {
        panel.attach(dialog);
        dialog.setUseTicketPreview(1);
        full = writePlugin(dir.path(), QStringLiteral("full.4SP"),
                           {{PluginInfo::PreviewWidth, 3000},
                            {PluginInfo::PreviewHeight, 1200},
                            {PluginInfo::CanPrintDate, 1},
                            {PluginInfo::CanPrintBarcode, 1},
                            {PluginInfo::BarcodeCount, 2},
                            {PluginInfo::RouteMax, 999},
                            {PluginInfo::StopRangeFrom, 1},
                            {PluginInfo::StopRangeTo, 99},
                            {PluginInfo::CompanySwitch, 3}});
        plain = writePlugin(dir.path(), QStringLiteral("plain.4SP"),
                            {{PluginInfo::PreviewWidth, 2400},
                             {PluginInfo::PreviewHeight, 900},
                             {PluginInfo::CanPrintDate, 2}});
        garbage = writeGarbage(dir.path(), QStringLiteral("garbage.4SP"));
    }

    QPushButton* pluginPickButton() { return findWidget<QPushButton>(dialog, "pluginPickButton"); }

    testsupport::WithApplication app;
    QTemporaryDir dir;
    TestControlPanel panel;
    testsupport::ScriptedPickers pickers;
    platform::MessageBoxRecorder messages;
    OptionsDialog dialog{pickers, messages};
    QString full, plain, garbage;
};

} // namespace

TEST_F(TicketPagePluginTest, ChoosingAPluginListsItsProperties)
{
    pickers.fileAnswers = {full};
    pluginPickButton()->click();
    ASSERT_EQ(pickers.fileCalls.size(), 1u);
    EXPECT_EQ(pickers.fileCalls[0].title, QStringLiteral("プラグインの選択"));
    EXPECT_EQ(pickers.fileCalls[0].filter,
              pickerFilter({QStringLiteral("整理券プラグイン(*.4SP)"), QStringLiteral("*.4SP")}));
    EXPECT_EQ(dialog.options().ticketPluginPath(), full);
    const QStringList lines = listLines(propertyList(dialog));
    ASSERT_EQ(lines.size(), 10);
    EXPECT_EQ(lines[0], QStringLiteral("日付の印字 ---> 可能"));
    EXPECT_EQ(lines[5], QStringLiteral("バーコード本数 ---> 2"));
    EXPECT_EQ(lines[9], QStringLiteral("社名切り替え:---> 可能"));
    EXPECT_TRUE(findWidget<QPlainTextEdit>(dialog, "pluginCommentView")
                    ->toPlainText()
                    .contains(QStringLiteral("試験用プラグイン")));
    EXPECT_EQ(panel.previewSizes, (std::vector<std::pair<int, int>>{{3000, 1200}}));
    EXPECT_EQ(panel.companies.count(), 3);
    EXPECT_TRUE(messages.calls().empty());
}

TEST_F(TicketPagePluginTest, PluginWithoutCompaniesLeavesTheListEmpty)
{
    panel.companies.addItem(QStringLiteral("前の会社"));
    pickers.fileAnswers = {plain};
    pluginPickButton()->click();
    EXPECT_EQ(panel.companies.count(), 0);
    const QStringList lines = listLines(propertyList(dialog));
    ASSERT_EQ(lines.size(), 6);
    EXPECT_EQ(lines[0], QStringLiteral("日付の印字 ---> 不可"));
}

TEST_F(TicketPagePluginTest, InvalidFileAfterAValidOneKeepsTheOldPlugin)
{
    pickers.fileAnswers = {full, garbage};
    pluginPickButton()->click();
    const QStringList before = listLines(propertyList(dialog));
    pluginPickButton()->click();

    ASSERT_EQ(messages.calls().size(), 1u);
    EXPECT_EQ(messages.calls()[0].title, QStringLiteral("プラグインロードエラー"));
    EXPECT_EQ(messages.calls()[0].prompt,
              QStringLiteral("指定したファイルはプラグインでないか、内容が不正です"));
    EXPECT_EQ(messages.calls()[0].buttons,
              platform::MessageBox::OKOnly | platform::MessageBox::Critical);
    EXPECT_EQ(messages.calls()[0].details,
              garbage + QStringLiteral("\n1行目: bytes that are neither UTF-8 nor CP932 "
                                       "(Shift-JIS) text"));
    EXPECT_EQ(dialog.options().ticketPluginPath(), full);
    EXPECT_EQ(listLines(propertyList(dialog)), before);
    EXPECT_EQ(panel.companies.count(), 0);
    EXPECT_EQ(panel.previewSizes.size(), 1u);
}

TEST_F(TicketPagePluginTest, ChoosingAPluginReadsItOnce)
{
    // The property list, the comment, the company names, and for a refused file the details.
    pickers.fileAnswers = {full, garbage};
    pluginPickButton()->click();
    EXPECT_EQ(dialog.ticketPlugins()->parseCount(), 1);
    pluginPickButton()->click();
    ASSERT_EQ(messages.calls().size(), 1u);
    EXPECT_EQ(dialog.ticketPlugins()->parseCount(), 2);
}

TEST_F(TicketPagePluginTest, RefusalDetailsGiveTheParsersLineAndReason)
{
    QFile broken(dir.filePath(QStringLiteral("broken.4SP")));
    ASSERT_TRUE(broken.open(QIODevice::WriteOnly));
    broken.write("4SP-TICKET-PLUGIN 1\n[Info]\nPreviewWidth=3300\nPreviewHight=1395\n");
    broken.close();
    pickers.fileAnswers = {broken.fileName()};
    pluginPickButton()->click();
    ASSERT_EQ(messages.calls().size(), 1u);
    EXPECT_EQ(messages.calls()[0].prompt,
              QStringLiteral("指定したファイルはプラグインでないか、内容が不正です"));
    EXPECT_EQ(messages.calls()[0].details,
              broken.fileName() + QStringLiteral("\n2行目: PreviewHeight is missing"));
}

TEST_F(TicketPagePluginTest, APluginInAFolderWithoutACp932NameLoads)
{
    // Converting the path to CP932 on the way would turn "ü" into "?" and miss the file.
    ASSERT_TRUE(QDir(dir.path()).mkdir(QStringLiteral("Müller")));
    const QString path = dir.filePath(QStringLiteral("Müller/full.4SP"));
    ASSERT_TRUE(QFile::copy(full, path));
    pickers.fileAnswers = {path};
    pluginPickButton()->click();
    EXPECT_TRUE(messages.calls().empty());
    EXPECT_EQ(dialog.options().ticketPluginPath(), path);
    EXPECT_EQ(propertyList(dialog)->count(), 10);
    EXPECT_EQ(panel.companies.count(), 3);
}

TEST_F(TicketPagePluginTest, CancelledPickerChangesNothing)
{
    pickers.fileAnswers = {full};
    pluginPickButton()->click();
    pluginPickButton()->click(); // no answer left: cancelled
    EXPECT_EQ(dialog.options().ticketPluginPath(), full);
    EXPECT_EQ(panel.companies.count(), 3);
    EXPECT_TRUE(messages.calls().empty());
}

TEST_F(TicketPagePluginTest, RemovalEmptiesPathListAndCommentOnly)
{
    pickers.fileAnswers = {full};
    pluginPickButton()->click();
    findWidget<QPushButton>(dialog, "pluginRemoveButton")->click();
    EXPECT_TRUE(dialog.options().ticketPluginPath().isEmpty());
    EXPECT_EQ(propertyList(dialog)->count(), 0);
    EXPECT_TRUE(findWidget<QPlainTextEdit>(dialog, "pluginCommentView")->toPlainText().isEmpty());
    EXPECT_EQ(panel.previewSizes.size(), 1u);
    EXPECT_EQ(panel.companies.count(), 3);
}

TEST_F(TicketPagePluginTest, LoadPluginResults)
{
    EXPECT_FALSE(dialog.loadPlugin(QString()));
    EXPECT_FALSE(dialog.loadPlugin(garbage));
    EXPECT_TRUE(panel.previewSizes.empty());
    EXPECT_TRUE(dialog.loadPlugin(plain));
}

TEST_F(TicketPagePluginTest, LoadReloadsThePluginSilently)
{
    // As the settings load does it: the path into the options, then the plug-in read.
    dialog.options().setTicketPluginPath(full);
    dialog.loadPlugin(full);
    EXPECT_EQ(propertyList(dialog)->count(), 10);
    EXPECT_EQ(panel.companies.count(), 3);

    OptionsDialog other;
    panel.attach(other);
    other.options().setTicketPluginPath(garbage);
    other.loadPlugin(garbage);
    EXPECT_EQ(other.options().ticketPluginPath(), garbage);
    EXPECT_EQ(propertyList(other)->count(), 0);
    EXPECT_TRUE(messages.calls().empty());
}

// With no panel connected the dialog still loads plug-ins and applies its look; it only
// reports, and in the order a panel needs: the old names go before the new plug-in's arrive.
TEST(OptionsDialogWithoutPanelTest, ReportsWhatAPanelWouldRedo)
{
    testsupport::WithApplication app;
    QTemporaryDir dir;
    testsupport::ScriptedPickers pickers;
    platform::MessageBoxRecorder messages;
    testsupport::StandInDisplay display;
    OptionsDialog dialog{pickers, messages};
    dialog.setFareDisplay(&display);
    dialog.setUseTicketPreview(1);
    const QString full = writePlugin(dir.path(), QStringLiteral("full.4SP"),
                                     {{PluginInfo::PreviewWidth, 3000},
                                      {PluginInfo::PreviewHeight, 1200},
                                      {PluginInfo::CompanySwitch, 3}});
    QStringList events;
    QObject::connect(&dialog, &OptionsDialog::backlightLookChanged,
                     [&] { events << QStringLiteral("backlight"); });
    QObject::connect(&dialog.pluginChoice(), &tickets::PluginChoice::previewSizeChanged,
                     [&](int w, int h) { events << QStringLiteral("size %1x%2").arg(w).arg(h); });
    QObject::connect(&dialog.pluginChoice(), &tickets::PluginChoice::companyNamesChanged,
                     [&](const QStringList& names) {
                         events << QStringLiteral("companies %1").arg(names.size());
                     });

    pickers.fileAnswers = {full};
    findWidget<QPushButton>(dialog, "pluginPickButton")->click();
    EXPECT_EQ(events, (QStringList{QStringLiteral("companies 0"), QStringLiteral("size 3000x1200"),
                                   QStringLiteral("companies 3")}));
    EXPECT_EQ(dialog.options().ticketPluginPath(), full);

    // OK applies the look with the backlight the dialog was told last.
    events.clear();
    dialog.options().setTicketColorOn1(platform::RGB(1, 2, 3));
    dialog.options().setTicketColorOn2(platform::RGB(10, 20, 30));
    dialog.setBacklight(core::Backlight::On2);
    dialog.show();
    findWidget<QPushButton>(dialog, "okButton")->click();
    EXPECT_EQ(events, QStringList{QStringLiteral("backlight")});
    EXPECT_EQ(display.ticketLabel(1)->palette().color(QPalette::WindowText), QColor(10, 20, 30));
    EXPECT_TRUE(dialog.isHidden());
    EXPECT_TRUE(messages.calls().empty());
}
