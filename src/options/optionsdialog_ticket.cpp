// The options dialog's page of the numbered-ticket preview: the ticket plug-in and the date
// it prints.
#include "dialogs/pickers.h"
#include "formats/ticketpluginformat.h"
#include "options/optionsdialog.h"
#include "options/optiontexts.h"
#include "options/optionwidgets.h"
#include "options/pagecontrols.h"
#include "platform/msgbox.h"
#include "tickets/ticketplugin.h"

#include <QComboBox>
#include <QDate>
#include <QDir>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QRadioButton>

using namespace pagecontrols;

void OptionsDialog::buildTicketPage(QGroupBox* page)
{
    useTicketPreviewCheck_ =
        check(page, QStringLiteral("整理券プレビュー機能を使用する"), 14, 22, 300);
    useTicketPreviewCheck_->setObjectName(QStringLiteral("useTicketPreviewCheck"));

    buildPluginGroup(page);
    buildTicketDateGroup(page);

    exclusive(this, {dateEachPrintOption_, dateAtRouteSetOption_, dateFixedOption_});

    // The states the page is drawn with; the preview switch relies on them.
    dateEachPrintOption_->setChecked(true);
    for (QGroupBox* frame : {pluginGroup_, ticketDateGroup_}) {
        frame->setEnabled(false);
        frame->setVisible(false);
    }

    connect(useTicketPreviewCheck_, &QCheckBox::stateChanged, this,
            [this] { onUseTicketPreviewToggled(); });

    fixedDateLabel_->setText(fixedDateText(QDate::currentDate()));
}

// The ticket plug-in: its path, picker and removal, its properties and its comment.
void OptionsDialog::buildPluginGroup(QGroupBox* page)
{
    pluginGroup_ = group(page, QStringLiteral("整理券プラグイン設定"), 10, 44, 488, 170);
    pluginGroup_->setObjectName(QStringLiteral("pluginGroup"));
    note(pluginGroup_,
         QStringLiteral("整理券プラグイン（整理券プレビューを使用しない場合は、何も入れな"
                        "いでください）："),
         10, 18, 470, 18);
    pluginPathEdit_ = textBox(pluginGroup_, 10, 38, 396);
    pluginPathEdit_->setObjectName(QStringLiteral("pluginPathEdit"));
    QPushButton* pluginPick = button(pluginGroup_, QStringLiteral("..."), 410, 38, 32, 21);
    pluginPick->setObjectName(QStringLiteral("pluginPickButton"));
    QPushButton* pluginRemove = button(pluginGroup_, QStringLiteral("×"), 446, 38, 30, 21);
    pluginRemove->setObjectName(QStringLiteral("pluginRemoveButton"));
    pluginRemove->setToolTip(QStringLiteral("プラグインの指定を解除"));
    label(pluginGroup_, QStringLiteral("上記プラグインのプロパティ："), 10, 62, 230, 18);
    pluginPropertyList_ = place(new QListWidget(pluginGroup_), 10, 80, 230, 84);
    pluginPropertyList_->setObjectName(QStringLiteral("pluginPropertyList"));
    label(pluginGroup_, QStringLiteral("上記プラグインの特記事項："), 248, 62, 230, 18);
    pluginCommentView_ = place(new QPlainTextEdit(pluginGroup_), 248, 80, 230, 84);
    pluginCommentView_->setObjectName(QStringLiteral("pluginCommentView"));
    pluginCommentView_->setReadOnly(true);
    QPalette grey = pluginCommentView_->palette();
    grey.setColor(QPalette::Base, QColor(212, 208, 200));
    pluginCommentView_->setPalette(grey);
    connect(pluginPick, &QAbstractButton::clicked, this, [this] { onPluginPickClicked(); });
    connect(pluginRemove, &QAbstractButton::clicked, this, [this] { onPluginRemoveClicked(); });
}

// The date the ticket prints: the system date at each print or at route setting, or fixed.
void OptionsDialog::buildTicketDateGroup(QGroupBox* page)
{
    ticketDateGroup_ = group(page,
                             QStringLiteral("日付の設定（整理券プラグインが日付の印字をサポートし"
                                            "ているときに有効）"),
                             10, 218, 488, 112);
    ticketDateGroup_->setObjectName(QStringLiteral("ticketDateGroup"));
    dateEachPrintOption_ = radio(ticketDateGroup_,
                                 QStringLiteral("システムの日付を使用（整理券印字と同時に日付を"
                                                "更新、デフォルト）"),
                                 10, 18, 468, 18);
    dateAtRouteSetOption_ = radio(
        ticketDateGroup_, QStringLiteral("システムの日付を使用（系統設定した時点の日付を保持）"),
        10, 37, 468, 18);
    dateFixedOption_ = radio(ticketDateGroup_, QStringLiteral("右記の日付に固定"), 10, 56, 130, 20);
    fixedDateLabel_ = label(ticketDateGroup_, QString(), 144, 56, 90, 20);
    fixedDateLabel_->setFrameShape(QFrame::Panel);
    fixedDateLabel_->setFrameShadow(QFrame::Sunken);
    fixedDateLabel_->setAlignment(Qt::AlignCenter);
    QPushButton* datePick =
        button(ticketDateGroup_, QStringLiteral("日付選択..."), 240, 55, 90, 22);
    note(ticketDateGroup_,
         QStringLiteral("系統設定した際の日付が保持され、日付が途中で変わっても次回系統"
                        "設定するまで整理券の日付変更を行いません。"),
         12, 78, 466, 30);
    dateEachPrintOption_->setObjectName(QStringLiteral("dateEachPrintOption"));
    dateAtRouteSetOption_->setObjectName(QStringLiteral("dateAtRouteSetOption"));
    dateFixedOption_->setObjectName(QStringLiteral("dateFixedOption"));
    fixedDateLabel_->setObjectName(QStringLiteral("fixedDateLabel"));
    datePick->setObjectName(QStringLiteral("datePickButton"));
    connect(datePick, &QAbstractButton::clicked, this, [this] { onDatePickClicked(); });
}

void OptionsDialog::onUseTicketPreviewToggled()
{
    const bool used = useTicketPreviewCheck_->value() != 0;
    for (QGroupBox* frame : {pluginGroup_, ticketDateGroup_}) {
        frame->setEnabled(used);
        frame->setVisible(used);
    }
}

void OptionsDialog::onPluginPickClicked()
{
    QString path =
        pickers_->pickFile(this, 0, pluginFilter(), QString(), QStringLiteral("プラグインの選択"));
    if (path.isEmpty())
        return;
    if (plugin_->choose(path)) {
        pluginPathEdit_->setText(path);
        return;
    }
    // The details tell the plug-in's author what to mend (docs/ticket-plugin.md).
    const QString details =
        QStringLiteral("%1\n%2").arg(QDir::toNativeSeparators(path), plugin_->diagnosis(path));
    boxes_.show(QStringLiteral("指定したファイルはプラグインでないか、内容が不正です"),
                platform::MessageBox::OKOnly | platform::MessageBox::Critical,
                QStringLiteral("プラグインロードエラー"), this, details);
}

void OptionsDialog::onPluginRemoveClicked()
{
    pluginPathEdit_->clear();
    plugin_->clear();
}

void OptionsDialog::showChosenPlugin()
{
    pluginPropertyList_->clear();
    pluginCommentView_->clear();
    if (!plugin_->hasPlugin())
        return;
    pluginCommentView_->setPlainText(plugin_->comment());
    pluginPropertyList_->addItems(pluginPropertyLines(plugin_->info()));
}

void OptionsDialog::onDatePickClicked()
{
    if (const std::optional<QDate> date = pickers_->pickDate(this, QDate()))
        options_->setFixedDate(fixedDateText(*date));
}

bool OptionsDialog::loadPlugin(const QString& path)
{
    return plugin_->load(path);
}

void OptionsDialog::setUseTicketPreview(int value)
{
    useTicketPreviewCheck_->setValue(value);
}

void OptionsDialog::setTicketPluginPath(const QString& path)
{
    pluginPathEdit_->setText(path);
}

void OptionsDialog::selectFixedDate()
{
    dateFixedOption_->setChecked(true);
}
