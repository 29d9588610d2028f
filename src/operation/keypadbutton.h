#pragma once

#include <QPushButton>
#include <QRect>
#include <QRegion>

// A keypad key of the control panel, drawn as a small rounded key inside the window region it
// is clipped to.
class KeypadButton : public QPushButton
{
    Q_OBJECT
public:
    // The key face: 26 x 23 pixels from (2, 2), with 2-pixel rounded corners.
    static constexpr QRect FaceRect{2, 2, 26, 23};
    static constexpr int CornerSize = 2;
    static constexpr QSize ButtonSize{30, 27};

    explicit KeypadButton(const QString& caption, QWidget* parent = nullptr);

    // The rounded region of a key face.
    static QRegion faceRegion();

protected:
    void paintEvent(QPaintEvent* event) override;
};
