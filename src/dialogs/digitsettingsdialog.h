#pragma once

#include <QDialog>
#include <QtGlobal>
#include <functional>

class QButtonGroup;
class QSpinBox;
class QWidget;

// The digit settings dialog: how an element shows zero and -1 (ZeroMode 0..3), how many
// positions the number moves left (Shift 0..keta-1) and to how many digits it is padded with
// zeros (FillZero 0..keta). Modal over owner; returns 1 when confirmed and 0 when cancelled,
// and writes the three values back only when confirmed.
int showDigitSettingsDialog(QWidget* owner, int keta, qint16& zeroMode, qint16& shift,
                            qint16& fillZero);

// Tests answer the dialog through a handler; nullptr restores the real dialog.
using DigitSettingsHandler =
    std::function<int(int keta, qint16& zeroMode, qint16& shift, qint16& fillZero)>;
void setDigitSettingsHandler(DigitSettingsHandler handler);

// The dialog itself.
class DigitSettingsDialog : public QDialog
{
    Q_OBJECT
public:
    explicit DigitSettingsDialog(int keta, QWidget* parent = nullptr);

    // A zero mode outside 0..3 leaves every choice unticked and is kept unless one is picked.
    void setZeroMode(int zeroMode);
    qint16 zeroMode() const;
    // Values outside the ranges above are brought into them.
    void setShift(int shift);
    qint16 shift() const;
    void setFillZero(int fillZero);
    qint16 fillZero() const;

    QButtonGroup* zeroModeButtons() const { return zeroModeGroup_; }
    QSpinBox* shiftBox() const { return shiftBox_; }
    QSpinBox* fillZeroBox() const { return fillZeroBox_; }

private:
    QButtonGroup* zeroModeGroup_;
    QSpinBox* shiftBox_;
    QSpinBox* fillZeroBox_;
    qint16 keptZeroMode_ = 0;
};
