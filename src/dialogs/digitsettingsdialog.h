#pragma once

#include <QDialog>
#include <QtGlobal>
#include <functional>

class QButtonGroup;
class QSpinBox;
class QWidget;

// The digit settings dialog: how an element shows zero and -1 (zero mode 0..3), how many
// positions the number moves left (shift 0..digitCount-1) and to how many digits it is padded
// with zeros (fill zero 0..digitCount). Modal over owner; returns 1 when confirmed and 0 when
// cancelled, and writes the three values back only when confirmed.
int showDigitSettingsDialog(QWidget* owner, int digitCount, qint16& zeroMode, qint16& shift,
                            qint16& fillZero);

// Something that asks for the three values as showDigitSettingsDialog does (without an
// owner): an element is given one by its window, tests give their own.
using DigitSettingsHandler =
    std::function<int(int digitCount, qint16& zeroMode, qint16& shift, qint16& fillZero)>;

// The dialog itself. Its controls are the button group "zeroModeGroup" (ids 0..3) and the
// spin boxes "shiftBox" and "fillZeroBox".
class DigitSettingsDialog : public QDialog
{
    Q_OBJECT
public:
    explicit DigitSettingsDialog(int digitCount, QWidget* parent = nullptr);

    // A zero mode outside 0..3 leaves every choice unticked and is kept unless one is picked.
    void setZeroMode(int zeroMode);
    qint16 zeroMode() const;
    // Values outside the ranges above are brought into them.
    void setShift(int shift);
    qint16 shift() const;
    void setFillZero(int fillZero);
    qint16 fillZero() const;

private:
    QButtonGroup* zeroModeGroup_;
    QSpinBox* shiftBox_;
    QSpinBox* fillZeroBox_;
    qint16 keptZeroMode_ = 0;
};
