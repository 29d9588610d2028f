// The options dialog's page of the panel pictures and the ticket-number labels.
#include "dialogs/pickers.h"
#include "options/optionsdialog.h"
#include "options/optiontexts.h"
#include "options/optionwidgets.h"
#include "options/pagecontrols.h"

#include <QComboBox>
#include <QGroupBox>
#include <QGuiApplication>
#include <QLabel>
#include <QLineEdit>
#include <QRadioButton>
#include <QScreen>
#include <QSignalBlocker>

using namespace pagecontrols;

void OptionsDialog::buildPanelPage(QGroupBox* page)
{
    buildPanelPictureGroup(page);
    buildTicketNumberGroup(page);
    buildDisplayWindowControls(page);

    exclusive(this, {panelAutoOption_, panelIndividualOption_});
    for (int state = 0; state < 3; ++state)
        exclusive(this, {builtinPanelOptions_[state], userPanelOptions_[state]});

    // The states the page is drawn with until the options are bound.
    panelAutoOption_->setChecked(true);
    for (QRadioButton* builtin : builtinPanelOptions_)
        builtin->setChecked(true);
    autoTicketNumbersCheck_->setValue(1);
    for (QGroupBox* frame : panelPictureGroups_) {
        frame->setEnabled(false);
        frame->setVisible(false);
    }
    ticketColorButtons_[0]->setBackColor(platform::RGB(255, 255, 255));
    ticketColorButtons_[1]->setBackColor(platform::RGB(192, 255, 192));
    ticketColorButtons_[2]->setBackColor(platform::RGB(192, 255, 192));

    enableWithBox(autoTicketNumbersCheck_, {ticketNumberFrame_});
    for (QRadioButton* option : {panelAutoOption_, panelIndividualOption_})
        connect(option, &QAbstractButton::toggled, this, [this] { onPanelChoiceToggled(); });
    for (int state = 0; state < 3; ++state)
        for (QRadioButton* option : {builtinPanelOptions_[state], userPanelOptions_[state]})
            connect(option, &QAbstractButton::toggled, this, [this] { onPanelChoiceToggled(); });
    for (ColorButton* ticketColor : ticketColorButtons_)
        connect(ticketColor, &QAbstractButton::clicked, this,
                [this, ticketColor] { pickButtonColor(ticketColor); });
}

// The panel choice: built-in pictures, or a picture of its own per backlight state.
void OptionsDialog::buildPanelPictureGroup(QGroupBox* page)
{
    QGroupBox* panelGroup = group(page, QStringLiteral("本体パネル"), 10, 22, 246, 250);
    panelAutoOption_ =
        radio(panelGroup, QStringLiteral("内蔵しているパネルを自動で割り当てる"), 10, 20, 230);
    panelIndividualOption_ = radio(panelGroup, QStringLiteral("個別に設定する"), 10, 42, 230);
    panelAutoOption_->setObjectName(QStringLiteral("panelAutoOption"));
    panelIndividualOption_->setObjectName(QStringLiteral("panelIndividualOption"));
    const std::array<QString, 3> stateTitles = {QStringLiteral("バックライトOFF時の画像："),
                                                QStringLiteral("ON1の画像："),
                                                QStringLiteral("ON2の画像：")};
    for (int state = 0; state < 3; ++state) {
        QGroupBox* frame = group(panelGroup, stateTitles[state], 8, 66 + state * 60, 230, 60);
        panelPictureGroups_[state] = frame;
        builtinPanelOptions_[state] = radio(frame, QStringLiteral("内蔵"), 8, 16, 60, 18);
        userPanelOptions_[state] = radio(frame, QStringLiteral("ユーザーパネル"), 72, 16, 150, 18);
        panelPictureEdits_[state] = textBox(frame, 8, 35, 180);
        QPushButton* pick = button(frame, QStringLiteral("..."), 192, 35, 30, 21);
        const QString index = QString::number(state);
        frame->setObjectName(QStringLiteral("panelPictureGroup") + index);
        builtinPanelOptions_[state]->setObjectName(QStringLiteral("builtinPanelOption") + index);
        userPanelOptions_[state]->setObjectName(QStringLiteral("userPanelOption") + index);
        panelPictureEdits_[state]->setObjectName(QStringLiteral("panelPictureEdit") + index);
        pick->setObjectName(QStringLiteral("panelPicturePickButton") + index);
        connect(pick, &QAbstractButton::clicked, this,
                [this, state] { onPanelPicturePickClicked(state); });
    }
    note(page,
         QStringLiteral("※ユーザーパネルには、現在の機種に対応の画像をご使用ください。"
                        "大きいパネルの場合、はみ出た部分（右・下）が切り取られます。"
                        "逆に小さいパネルの場合は左上から表示され、余白部分はグレーに"
                        "なりますのでご注意ください。"),
         12, 294, 486, 42);
}

// The ticket-number labels: shown or not, their numbering and their colours.
void OptionsDialog::buildTicketNumberGroup(QGroupBox* page)
{
    autoTicketNumbersCheck_ =
        check(page, QStringLiteral("整理券番号自動表示機能を使用"), 266, 24, 232);
    autoTicketNumbersCheck_->setObjectName(QStringLiteral("autoTicketNumbersCheck"));
    ticketNumberFrame_ = place(new QFrame(page), 266, 46, 232, 136);
    ticketNumberFrame_->setObjectName(QStringLiteral("ticketNumberFrame"));
    ticketNumberFrame_->setFrameShape(QFrame::StyledPanel);
    ticketNumberFrame_->setFrameShadow(QFrame::Sunken);
    label(ticketNumberFrame_, QStringLiteral("整理券番号表示設定"), 8, 6, 216, 18);
    ticketNumberModeList_ = comboBox(ticketNumberFrame_, ticketNumberModeItems(), 8, 26, 216);
    ticketNumberModeList_->setObjectName(QStringLiteral("ticketNumberModeList"));
    ticketZeroPadCheck_ =
        check(ticketNumberFrame_, QStringLiteral("数字が1桁の番号は頭に0を付け足す"), 8, 52, 220);
    ticketZeroPadCheck_->setObjectName(QStringLiteral("ticketZeroPadCheck"));
    note(ticketNumberFrame_, QStringLiteral("整理券番号のバックライトカラー(文字色)"), 8, 80, 216,
         18);
    const std::array<QString, 3> stateNames = {QStringLiteral("OFF："), QStringLiteral("ON1："),
                                               QStringLiteral("ON2：")};
    for (int state = 0; state < 3; ++state) {
        label(ticketNumberFrame_, stateNames[state], 6 + state * 76, 106, 36, 22);
        ticketColorButtons_[state] = colorButton(ticketNumberFrame_, 42 + state * 76, 106);
        ticketColorButtons_[state]->resize(34, 22);
        ticketColorButtons_[state]->setObjectName(QStringLiteral("ticketColorButton%1").arg(state));
    }
    note(page,
         QStringLiteral("※ユーザーパネルに直接番号をデザインしている場合には上記チェッ"
                        "クをOFFにしてください。"),
         268, 186, 230, 44);
}

void OptionsDialog::buildDisplayWindowControls(QGroupBox* page)
{
    label(page, QStringLiteral("表示倍率"), 268, 232, 86, 20);
    QStringList zooms = {QStringLiteral("1倍"), QStringLiteral("2倍"), QStringLiteral("3倍"),
                         QStringLiteral("4倍"), QStringLiteral("画面に合わせる")};
    QComboBox* zoomList = comboBox(page, zooms, 356, 232, 142);
    zoomList->setObjectName(QStringLiteral("displayZoomList"));
    // The item's data is the option's value: "画面に合わせる" is 0.
    for (int i = 0; i < 4; ++i)
        zoomList->setItemData(i, i + 1);
    zoomList->setItemData(4, 0);
    check(page, QStringLiteral("全画面表示"), 268, 253, 230)
        ->setObjectName(QStringLiteral("displayFullScreenCheck"));
    label(page, QStringLiteral("表示するモニタ"), 268, 274, 86, 20);
    QComboBox* monitorList = comboBox(page, {}, 356, 274, 142);
    monitorList->setObjectName(QStringLiteral("displayMonitorList"));
    bindMonitorList(*monitorList);
}

// The monitors connected when the dialog is made, by name. The list shows the monitor the
// display goes to: the one named, or the primary one when it names none that is connected,
// whose name stays in the options until the user chooses another.
void OptionsDialog::bindMonitorList(QComboBox& list)
{
    for (const QScreen* screen : QGuiApplication::screens())
        list.addItem(screen->name(), screen->name());
    const auto showChosen = [this, &list] {
        int at = list.findData(options().displayMonitor());
        if (at < 0 && QGuiApplication::primaryScreen() != nullptr)
            at = list.findData(QGuiApplication::primaryScreen()->name());
        const QSignalBlocker quiet(list);
        list.setCurrentIndex(at);
    };
    showChosen();
    connect(&options(), &core::Options::changed, &list, [showChosen](core::OptionId id) {
        if (id == core::OptionId::DisplayMonitor)
            showChosen();
    });
    connect(&list, &QComboBox::activated, this, [this, &list](int index) {
        options().setDisplayMonitor(list.itemData(index).toString());
    });
}

// The three picture groups are for individual pictures only; their choices stay while hidden.
void OptionsDialog::onPanelChoiceToggled()
{
    const bool individual = !panelAutoOption_->isChecked();
    for (QGroupBox* frame : panelPictureGroups_) {
        frame->setEnabled(individual);
        frame->setVisible(individual);
    }
}

void OptionsDialog::onPanelPicturePickClicked(int state)
{
    const QString file = pickers_->pickFile(this, 0, panelPictureFilter(), QString(),
                                            QStringLiteral("パネル画像の選択"));
    if (!file.isEmpty())
        panelPictureEdits_[state]->setText(file);
}
