// The options dialog's page of the sounds: route setting and reset, forward/back steps and
// the sounds before a broadcast.
#include "dialogs/pickers.h"
#include "options/optionsdialog.h"
#include "options/optiontexts.h"
#include "options/optionwidgets.h"
#include "options/pagecontrols.h"

#include <QComboBox>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>

using namespace pagecontrols;

void OptionsDialog::buildSoundsPage(QGroupBox* page)
{
    label(page, QStringLiteral("系統設定時のサウンド："), 14, 24, 130, 21);
    routeSetSoundEdit_ = addSoundSlot(page, 146, 24, QStringLiteral("routeSetSound"), 492);
    label(page, QStringLiteral("リセット時のサウンド："), 14, 48, 130, 21);
    resetSoundEdit_ = addSoundSlot(page, 146, 48, QStringLiteral("resetSound"), 492);

    preBroadcastPanelButton_ = button(page, QStringLiteral("放送前のサウンド..."), 14, 76, 150, 24);
    stepSoundPanelButton_ =
        button(page, QStringLiteral("送り・戻し時のサウンド..."), 168, 76, 170, 24);
    preBroadcastPanelButton_->setObjectName(QStringLiteral("preBroadcastPanelButton"));
    stepSoundPanelButton_->setObjectName(QStringLiteral("stepSoundPanelButton"));
    for (QPushButton* b : {preBroadcastPanelButton_, stepSoundPanelButton_}) {
        b->setCheckable(true);
        b->setAutoExclusive(true);
    }

    buildStepSoundPanel(page);
    buildPreBroadcastPanel(page);

    exclusive(this, {preBroadcastPanelButton_, stepSoundPanelButton_});
    exclusive(this, {stepSoundAlwaysOption_, stepSoundByColumnOption_});
    exclusive(this, {preBroadcastAlwaysOption_, preBroadcastByFlagOption_});
    exclusive(this, {stepSoundWaitOption_, stepSoundNoWaitOption_});
    exclusive(this, {preBroadcastWaitOption_, preBroadcastNoWaitOption_});

    for (QRadioButton* r : {stepSoundAlwaysOption_, preBroadcastAlwaysOption_,
                            stepSoundNoWaitOption_, preBroadcastWaitOption_})
        r->setChecked(true);

    connect(preBroadcastPanelButton_, &QAbstractButton::toggled, this, [this](bool on) {
        if (on)
            showSoundPanel(preBroadcastPanel_);
    });
    connect(stepSoundPanelButton_, &QAbstractButton::toggled, this, [this](bool on) {
        if (on)
            showSoundPanel(stepSoundPanel_);
    });
    stepSoundPanelButton_->setChecked(true);
}

// The sounds of a step forward or back: one always, or one by a column of the fare data.
void OptionsDialog::buildStepSoundPanel(QGroupBox* page)
{
    QGroupBox* step = stepSoundPanel_ =
        group(page, QStringLiteral("送り・戻し時のサウンド"), 8, 102, 492, 230);
    step->setObjectName(QStringLiteral("stepSoundPanel"));
    stepSoundAlwaysOption_ = radio(step, QStringLiteral("常に右記のサウンドを鳴らす"), 10, 20, 180);
    stepSoundFileEdit_ = addSoundSlot(step, 192, 20, QStringLiteral("stepSoundFile"));
    stepSoundByColumnOption_ =
        wrapRadio(step,
                  QStringLiteral("運賃データ(*.hy3)の特定の列のデータから判断して、以下の指"
                                 "定したサウンドを鳴らす（指定した列のデータの内容が1～3以"
                                 "外の場合はサウンドは鳴りません）"),
                  10, 44, 470, 32);
    QLabel* columnCaption = label(step,
                                  QStringLiteral("運賃データの                        　　　　　　"
                                                 "　　　列目                     のデータが、"),
                                  30, 78, 440, 22);
    stepSoundColumnList_ = comboBox(step, numberItems(150), 0, 0, 60);
    placeInBlank(columnCaption, columnCaption->text(), 0, stepSoundColumnList_, 0);
    const std::array<QLineEdit**, 3> stepSounds = {&stepSound1Edit_, &stepSound2Edit_,
                                                   &stepSound3Edit_};
    for (int n = 1; n <= 3; ++n) {
        const int y = 102 + (n - 1) * 23;
        label(step, QStringLiteral("「%1」の場合").arg(n), 46, y, 80, 21);
        *stepSounds[n - 1] = addSoundSlot(step, 128, y, QStringLiteral("stepSound%1").arg(n));
    }
    QGroupBox* stepPlayback = group(step, QStringLiteral("再生方法"), 10, 170, 472, 56);
    stepSoundWaitOption_ =
        radio(stepPlayback, QStringLiteral("同期再生(サウンドが完全に再生された後で運賃切り替え)"),
              10, 16, 450, 18);
    stepSoundNoWaitOption_ =
        radio(stepPlayback, QStringLiteral("非同期再生(サウンドを再生しながら運賃切り替え)"), 10,
              35, 450, 18);
    stepSoundAlwaysOption_->setObjectName(QStringLiteral("stepSoundAlwaysOption"));
    stepSoundByColumnOption_->setObjectName(QStringLiteral("stepSoundByColumnOption"));
    stepSoundColumnList_->setObjectName(QStringLiteral("stepSoundColumnList"));
    stepSoundWaitOption_->setObjectName(QStringLiteral("stepSoundWaitOption"));
    stepSoundNoWaitOption_->setObjectName(QStringLiteral("stepSoundNoWaitOption"));
}

// The sounds before a broadcast: one always, or one by a flag of the broadcast data.
void OptionsDialog::buildPreBroadcastPanel(QGroupBox* page)
{
    QGroupBox* pre = preBroadcastPanel_ =
        group(page,
              QStringLiteral("放送前のサウンド：※音声合成放送機能が有効でない場合は以下の設定"
                             "は意味を持ちません。"),
              8, 102, 492, 230);
    pre->setObjectName(QStringLiteral("preBroadcastPanel"));
    preBroadcastAlwaysOption_ =
        radio(pre, QStringLiteral("常に右記のサウンドを鳴らす"), 10, 20, 180);
    preBroadcastFileEdit_ = addSoundSlot(pre, 192, 20, QStringLiteral("preBroadcastFile"));
    preBroadcastByFlagOption_ =
        wrapRadio(pre,
                  QStringLiteral("放送データ(*.Tp.csv)内のフラグから判断して、以下の指定し"
                                 "たサウンドを鳴らす（フラグの内容が1～3以外の場合はサウ"
                                 "ンドは鳴りません）"),
                  10, 44, 470, 32);
    const std::array<QLineEdit**, 3> preBroadcastSounds = {
        &preBroadcastSound1Edit_, &preBroadcastSound2Edit_, &preBroadcastSound3Edit_};
    for (int n = 1; n <= 3; ++n) {
        const int y = 78 + (n - 1) * 23;
        label(pre, QStringLiteral("「%1」の場合").arg(n), 46, y, 80, 21);
        *preBroadcastSounds[n - 1] =
            addSoundSlot(pre, 128, y, QStringLiteral("preBroadcastSound%1").arg(n));
    }
    QGroupBox* prePlayback = group(pre, QStringLiteral("再生方法"), 10, 146, 472, 54);
    preBroadcastWaitOption_ =
        radio(prePlayback, QStringLiteral("同期再生(サウンドが完全に再生された後で放送開始)"), 10,
              16, 450, 18);
    preBroadcastNoWaitOption_ = radio(
        prePlayback, QStringLiteral("非同期再生(サウンドを再生しながら放送開始)"), 10, 34, 450, 18);
    note(pre,
         QStringLiteral("「放送前のサウンド」再生時は、停名のスクロールが停止することが"
                        "ありますので、あらかじめご了承ください。"),
         12, 202, 470, 28);
    preBroadcastAlwaysOption_->setObjectName(QStringLiteral("preBroadcastAlwaysOption"));
    preBroadcastByFlagOption_->setObjectName(QStringLiteral("preBroadcastByFlagOption"));
    preBroadcastWaitOption_->setObjectName(QStringLiteral("preBroadcastWaitOption"));
    preBroadcastNoWaitOption_->setObjectName(QStringLiteral("preBroadcastNoWaitOption"));
}

// A sound file's text box and its "..." picker, which ends at right.
QLineEdit* OptionsDialog::addSoundSlot(QWidget* parent, int x, int y, const QString& name,
                                       int right)
{
    QLineEdit* edit = textBox(parent, x, y, right - 34 - x);
    edit->setObjectName(name + QStringLiteral("Edit"));
    QPushButton* pick = button(parent, QStringLiteral("..."), right - 30, y, 30, 21);
    pick->setObjectName(name + QStringLiteral("PickButton"));
    connect(pick, &QAbstractButton::clicked, this, [this, edit] { onSoundPickClicked(edit); });
    return edit;
}

// The two sound panels lie on top of each other; their buttons bring one to the front.
void OptionsDialog::showSoundPanel(QGroupBox* panel)
{
    preBroadcastPanel_->setVisible(panel == preBroadcastPanel_);
    stepSoundPanel_->setVisible(panel == stepSoundPanel_);
}

void OptionsDialog::onSoundPickClicked(QLineEdit* edit)
{
    const QString file =
        pickers_->pickFile(this, 0, soundFilter(), QString(), QStringLiteral("サウンドの選択"));
    if (!file.isEmpty())
        edit->setText(file);
}
