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

OptionStopName OptionsDialog::stopNameOptions() const
{
    OptionStopName s;
    s.StopNameBackColor = stopNameBackColorButton_->backColor();
    s.StopNameForeColor = stopNameForeColorButton_->backColor();
    s.StopNameFontMode = listPosition(stopNameFontList_);
    s.StopNameBold = checkValue(stopNameBoldCheck_);
    s.NextStopMode = listPosition(nextStopModeList_);
    s.NextStopColor = nextStopColorButton_->backColor();
    s.NextStopFontMode = listPosition(nextStopFontList_);
    s.NextStopBold = checkValue(nextStopBoldCheck_);
    return s;
}

void OptionsDialog::applyStopNameOptions(const OptionStopName& s)
{
    stopNameBackColorButton_->setBackColor(s.StopNameBackColor);
    stopNameForeColorButton_->setBackColor(s.StopNameForeColor);
    setListPosition(stopNameFontList_, s.StopNameFontMode);
    setCheck(stopNameBoldCheck_, s.StopNameBold);
    setListPosition(nextStopModeList_, s.NextStopMode);
    nextStopColorButton_->setBackColor(s.NextStopColor);
    setListPosition(nextStopFontList_, s.NextStopFontMode);
    setCheck(nextStopBoldCheck_, s.NextStopBold);
}

platform::BgrColor OptionsDialog::stopNameBackColor() const
{
    return stopNameBackColorButton_->backColor();
}
platform::BgrColor OptionsDialog::stopNameForeColor() const
{
    return stopNameForeColorButton_->backColor();
}
int OptionsDialog::stopNameFontMode() const
{
    return stopNameFontList_->currentIndex();
}
int OptionsDialog::stopNameBold() const
{
    return stopNameBoldCheck_->value();
}
int OptionsDialog::nextStopMode() const
{
    return nextStopModeList_->currentIndex();
}
platform::BgrColor OptionsDialog::nextStopColor() const
{
    return nextStopColorButton_->backColor();
}
int OptionsDialog::nextStopFontMode() const
{
    return nextStopFontList_->currentIndex();
}
int OptionsDialog::nextStopBold() const
{
    return nextStopBoldCheck_->value();
}
