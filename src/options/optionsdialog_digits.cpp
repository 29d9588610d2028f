// The options dialog's page of the information numbers and the colours of the digits.
#include "elements/digitelement.h"
#include "options/optionsdialog.h"
#include "options/optiontexts.h"
#include "options/optionwidgets.h"
#include "options/pagecontrols.h"
#include "platform/colorconversion.h"

#include <QComboBox>
#include <QGroupBox>
#include <QLabel>

using namespace pagecontrols;

void OptionsDialog::buildDigitsPage(QGroupBox* page)
{
    buildInfoNumberGroup(page);
    buildDigitColorGroup(page);

    // The colours the page is drawn with until the options are bound.
    digitBackColorButton_->setBackColor(platform::RGB(128, 128, 128));
    digitUnlitColorButton_->setBackColor(platform::RGB(150, 150, 150));
    digitLitColorButton_->setBackColor(platform::RGB(248, 210, 114));

    enableWithBox(infoStopOrderCheck_, {infoStopOrderCellList_, infoStopOrderFromZeroCheck_});
    enableWithBox(infoTicketCheck_, {infoTicketCellList_});
    enableWithBox(infoRouteCheck_, {infoRouteCellList_});
    enableWithBox(infoColumnCheck_, {infoColumnCellList_, infoColumnList_});
    for (ColorButton* digitColor :
         {digitBackColorButton_, digitUnlitColorButton_, digitLitColorButton_})
        connect(digitColor, &QAbstractButton::clicked, this,
                [this, digitColor] { pickButtonColor(digitColor); });
    // The preview shows every colour the buttons take, picked or loaded.
    for (ColorButton* digitColor :
         {digitBackColorButton_, digitUnlitColorButton_, digitLitColorButton_})
        connect(digitColor, &ColorButton::backColorChanged, this,
                [this] { showDigitColorsInPreview(); });

    // A four-digit preview of the smallest size showing 120.
    digitPreview_->setSizeClass(0);
    digitPreview_->setDigitCount(4);
    showDigitColorsInPreview();
    digitPreview_->setValue(ElementValue(120));
}

// The information numbers shown over fare elements, each with the element it takes.
void OptionsDialog::buildInfoNumberGroup(QGroupBox* page)
{
    QGroupBox* info = group(page, QStringLiteral("情報用数字の設定"), 10, 22, 488, 180);
    infoStopOrderCheck_ = check(
        info, QStringLiteral("停留所の順番（区間・個数）を、　　　　　　  コマ目に表示する。"), 10,
        22, 370, 24);
    infoTicketCheck_ = check(info, QStringLiteral("整理券番号を、  　　　　　　コマ目に表示する。"),
                             10, 50, 466, 24);
    infoRouteCheck_ = check(info, QStringLiteral("系統番号を、  　　　　　　コマ目に表示する。"),
                            10, 78, 466, 24);
    infoColumnCheck_ = check(
        info,
        QStringLiteral("データの　　　  　　　　　列目の値を、  　　　　　　コマ目に表示する。"),
        10, 106, 466, 24);
    infoStopOrderFromZeroCheck_ = check(info, QStringLiteral("0から数える"), 384, 22, 96, 24);
    infoStopOrderCellList_ = comboBox(info, numberItems(12), 0, 0, 50);
    infoTicketCellList_ = comboBox(info, numberItems(12), 0, 0, 50);
    infoRouteCellList_ = comboBox(info, numberItems(12), 0, 0, 50);
    infoColumnCellList_ = comboBox(info, numberItems(12), 0, 0, 50);
    infoColumnList_ = comboBox(info, numberItems(150), 0, 0, 56);
    placeInBlank(infoStopOrderCheck_, infoStopOrderCellList_, 0);
    placeInBlank(infoTicketCheck_, infoTicketCellList_, 0);
    placeInBlank(infoRouteCheck_, infoRouteCellList_, 0);
    placeInBlank(infoColumnCheck_, infoColumnList_, 0);
    placeInBlank(infoColumnCheck_, infoColumnCellList_, 1);
    note(info,
         QStringLiteral("デジタル数字の桁ずらし、ゼロ埋めの設定は各部品をダブルクリック"
                        "して設定してください。また、これら情報用数字は運賃の表示よりも"
                        "優先されます。"),
         12, 136, 466, 38);
    infoStopOrderCheck_->setObjectName(QStringLiteral("infoStopOrderCheck"));
    infoStopOrderCellList_->setObjectName(QStringLiteral("infoStopOrderCellList"));
    infoStopOrderFromZeroCheck_->setObjectName(QStringLiteral("infoStopOrderFromZeroCheck"));
    infoTicketCheck_->setObjectName(QStringLiteral("infoTicketCheck"));
    infoTicketCellList_->setObjectName(QStringLiteral("infoTicketCellList"));
    infoRouteCheck_->setObjectName(QStringLiteral("infoRouteCheck"));
    infoRouteCellList_->setObjectName(QStringLiteral("infoRouteCellList"));
    infoColumnCheck_->setObjectName(QStringLiteral("infoColumnCheck"));
    infoColumnList_->setObjectName(QStringLiteral("infoColumnList"));
    infoColumnCellList_->setObjectName(QStringLiteral("infoColumnCellList"));
}

// The three colours of the digits and a preview element showing them.
void OptionsDialog::buildDigitColorGroup(QGroupBox* page)
{
    QGroupBox* colors = group(page,
                              QStringLiteral("デジタル部品の背景色と文字色（時計つきの場合はこの"
                                             "部分も同色となります）"),
                              10, 208, 488, 120);
    const auto colorRow = [colors](const QString& caption, int row, const QString& name) {
        label(colors, caption, 14, 24 + row * 30, 120, 22);
        ColorButton* button = colorButton(colors, 136, 24 + row * 30);
        button->setObjectName(name);
        return button;
    };
    digitBackColorButton_ =
        colorRow(QStringLiteral("背景色："), 0, QStringLiteral("digitBackColorButton"));
    digitUnlitColorButton_ =
        colorRow(QStringLiteral("未発光時の文字色："), 1, QStringLiteral("digitUnlitColorButton"));
    digitLitColorButton_ =
        colorRow(QStringLiteral("発光時の文字色："), 2, QStringLiteral("digitLitColorButton"));
    label(colors, QStringLiteral("プレビュー"), 260, 24, 120, 20);
    digitPreview_ = new DigitElement(colors);
    digitPreview_->setObjectName(QStringLiteral("digitPreview"));
    digitPreview_->move(262, 50);
}

// A digit colour shows in the preview at once, on the display only after "OK".
void OptionsDialog::showDigitColorsInPreview()
{
    digitPreview_->setBackColor(platform::toQColor(digitBackColorButton_->backColor()));
    digitPreview_->setUnlitColor(platform::toQColor(digitUnlitColorButton_->backColor()));
    digitPreview_->setLitColor(platform::toQColor(digitLitColorButton_->backColor()));
}
