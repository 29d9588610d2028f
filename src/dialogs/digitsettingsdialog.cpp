#include "digitsettingsdialog.h"

#include <QButtonGroup>
#include <QDialogButtonBox>
#include <QFormLayout>
#include <QGroupBox>
#include <QLabel>
#include <QPushButton>
#include <QRadioButton>
#include <QSpinBox>
#include <QVBoxLayout>
#include <algorithm>

namespace
{

const char16_t* const zeroModeCaptions[] = {
    u"0 と空欄は表示しない（全桁消灯）",
    u"0 と空欄は「0」を表示する",
    u"-1 は「0」を表示し、0 は表示しない",
    u"-1、0 と空欄は「0」を表示する",
};

} // namespace

DigitSettingsDialog::DigitSettingsDialog(int digitCount, QWidget* parent)
    : QDialog(parent), zeroModeGroup_(new QButtonGroup(this)), shiftBox_(new QSpinBox(this)),
      fillZeroBox_(new QSpinBox(this))
{
    setWindowTitle(QStringLiteral("桁表示の設定"));
    zeroModeGroup_->setObjectName(QStringLiteral("zeroModeGroup"));
    shiftBox_->setObjectName(QStringLiteral("shiftBox"));
    fillZeroBox_->setObjectName(QStringLiteral("fillZeroBox"));
    const int positions = std::max(digitCount, 1);

    auto* zeroBox = new QGroupBox(QStringLiteral("ゼロの表示"), this);
    auto* zeroLayout = new QVBoxLayout(zeroBox);
    for (int mode = 0; mode < 4; ++mode) {
        auto* button = new QRadioButton(QString::fromUtf16(zeroModeCaptions[mode]), zeroBox);
        zeroModeGroup_->addButton(button, mode);
        zeroLayout->addWidget(button);
    }

    shiftBox_->setRange(0, positions - 1);
    shiftBox_->setSuffix(QStringLiteral(" 桁"));
    fillZeroBox_->setRange(0, positions);
    fillZeroBox_->setSuffix(QStringLiteral(" 桁"));
    fillZeroBox_->setSpecialValueText(QStringLiteral("しない"));

    auto* numberBox = new QGroupBox(QStringLiteral("数字の位置と桁数"), this);
    auto* form = new QFormLayout(numberBox);
    form->addRow(QStringLiteral("左へずらす:"), shiftBox_);
    form->addRow(QStringLiteral("前ゼロで埋める:"), fillZeroBox_);
    auto* note =
        new QLabel(QStringLiteral("表示できる桁数は %1 桁です。ずらした分の右側の桁は消灯します。"
                                  "前ゼロを 3 桁にすると 5 は「005」と表示します。")
                       .arg(positions),
                   numberBox);
    note->setWordWrap(true);
    form->addRow(note);

    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, this);
    buttons->button(QDialogButtonBox::Ok)->setText(QStringLiteral("OK"));
    buttons->button(QDialogButtonBox::Cancel)->setText(QStringLiteral("キャンセル"));
    connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);

    auto* layout = new QVBoxLayout(this);
    layout->addWidget(zeroBox);
    layout->addWidget(numberBox);
    layout->addWidget(buttons);
    setZeroMode(0);
}

void DigitSettingsDialog::setZeroMode(int zeroMode)
{
    keptZeroMode_ = static_cast<qint16>(std::clamp(zeroMode, -32768, 32767));
    if (QAbstractButton* button = zeroModeGroup_->button(zeroMode)) {
        button->setChecked(true);
        return;
    }
    // An unknown mode ticks nothing; exclusive groups would keep the previous tick.
    zeroModeGroup_->setExclusive(false);
    for (QAbstractButton* button : zeroModeGroup_->buttons())
        button->setChecked(false);
    zeroModeGroup_->setExclusive(true);
}

qint16 DigitSettingsDialog::zeroMode() const
{
    const int checked = zeroModeGroup_->checkedId();
    return checked >= 0 ? static_cast<qint16>(checked) : keptZeroMode_;
}

void DigitSettingsDialog::setShift(int shift)
{
    shiftBox_->setValue(shift);
}

qint16 DigitSettingsDialog::shift() const
{
    return static_cast<qint16>(shiftBox_->value());
}

void DigitSettingsDialog::setFillZero(int fillZero)
{
    fillZeroBox_->setValue(fillZero);
}

qint16 DigitSettingsDialog::fillZero() const
{
    return static_cast<qint16>(fillZeroBox_->value());
}

int showDigitSettingsDialog(QWidget* owner, int digitCount, qint16& zeroMode, qint16& shift,
                            qint16& fillZero)
{
    DigitSettingsDialog dialog(digitCount, owner);
    dialog.setZeroMode(zeroMode);
    dialog.setShift(shift);
    dialog.setFillZero(fillZero);
    if (dialog.exec() != QDialog::Accepted)
        return 0;
    zeroMode = dialog.zeroMode();
    shift = dialog.shift();
    fillZero = dialog.fillZero();
    return 1;
}
