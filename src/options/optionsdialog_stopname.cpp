// The options dialog's page of the stop-name board and its "次は" prefix.
#include "options/optionsdialog.h"
#include "options/optiontexts.h"
#include "options/optionwidgets.h"
#include "options/pagecontrols.h"

#include <QComboBox>
#include <QGroupBox>
#include <QLabel>

using namespace pagecontrols;

void OptionsDialog::buildStopNamePage(QGroupBox* page)
{
    const QString boldCaption = QStringLiteral("太字（表示の不具合はサポート対象外）");
    QGroupBox* stopName = group(page, QStringLiteral("停名部分の設定"), 10, 22, 488, 130);
    label(stopName, QStringLiteral("背景色："), 14, 24, 60, 22);
    stopNameBackColorButton_ = colorButton(stopName, 76, 24);
    label(stopName, QStringLiteral("文字色："), 150, 24, 60, 22);
    stopNameForeColorButton_ = colorButton(stopName, 212, 24);
    label(stopName, QStringLiteral("フォントオプション："), 14, 60, 118, 22);
    stopNameFontList_ = comboBox(stopName, stopNameFontItems(), 134, 60, 250);
    stopNameBoldCheck_ = check(stopName, boldCaption, 14, 96, 300);

    QGroupBox* nextStop =
        group(page, QStringLiteral("「次は」の表示設定(データの最初は「次は」は表示されません)"),
              10, 162, 488, 166);
    label(nextStop, QStringLiteral("「次は」表示オプション："), 14, 26, 140, 22);
    nextStopModeList_ = comboBox(nextStop, nextStopModeItems(), 156, 26, 250);
    label(nextStop, QStringLiteral("フォントオプション："), 14, 60, 140, 22);
    nextStopFontList_ = comboBox(nextStop, nextStopFontItems(), 156, 60, 250);
    nextStopBoldCheck_ = check(nextStop, boldCaption, 14, 94, 300);
    label(nextStop, QStringLiteral("「次は」の文字色："), 14, 126, 110, 22);
    nextStopColorButton_ = colorButton(nextStop, 126, 126);

    stopNameBackColorButton_->setObjectName(QStringLiteral("stopNameBackColorButton"));
    stopNameForeColorButton_->setObjectName(QStringLiteral("stopNameForeColorButton"));
    stopNameFontList_->setObjectName(QStringLiteral("stopNameFontList"));
    stopNameBoldCheck_->setObjectName(QStringLiteral("stopNameBoldCheck"));
    nextStopModeList_->setObjectName(QStringLiteral("nextStopModeList"));
    nextStopFontList_->setObjectName(QStringLiteral("nextStopFontList"));
    nextStopBoldCheck_->setObjectName(QStringLiteral("nextStopBoldCheck"));
    nextStopColorButton_->setObjectName(QStringLiteral("nextStopColorButton"));

    // These lists start without a selection.
    for (QComboBox* list : {stopNameFontList_, nextStopFontList_, nextStopModeList_})
        list->setCurrentIndex(-1);
    stopNameBackColorButton_->setBackColor(platform::RGB(128, 128, 128));
    stopNameForeColorButton_->setBackColor(platform::RGB(255, 255, 0));
    nextStopColorButton_->setBackColor(platform::RGB(255, 255, 0));

    for (ColorButton* color :
         {stopNameBackColorButton_, stopNameForeColorButton_, nextStopColorButton_})
        connect(color, &QAbstractButton::clicked, this, [this, color] { pickButtonColor(color); });
}
