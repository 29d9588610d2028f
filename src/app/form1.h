#pragma once

#include "app/forminfo.h"
#include "elements/faredisplay.h"

#include <QPixmap>
#include <QPointer>
#include <QTime>
#include <QWidget>
#include <array>
#include <optional>

class QLabel;
class QTimer;

// The fare display window: the panel picture with the stop-name board, twelve fare elements
// under their ticket-number labels and the (hidden) clock. It has no caption bar and is moved
// by dragging its surface.
class Form1 : public QWidget, public FareDisplay
{
    Q_OBJECT
public:
    explicit Form1(QWidget* parent = nullptr);
    ~Form1() override;

    M_Degit* Degit(int i) override;
    QLabel* lblSeiriNum(int i) override;
    M_Degit* TimeDegit(int i) override;
    ChimeiCtl_C2* ChimeiCtl() override { return chimeiCtl_; }
    QTimer* Timer1() override { return timer1_; }

    QPixmap imgRes(int i) const override;
    void setImgRes(int i, const QPixmap& picture) override;
    QPixmap Picture() const override { return picture_; }
    void setPicture(const QPixmap& picture) override;

    QWidget* window() override { return this; }

    // The control panel, disabled while a digit element's settings dialog is open.
    void setControlPanel(QWidget* panel) { controlPanel_ = panel; }

    // Position for the settings file, in twips.
    FormInfo GetFormInfo() const;
    void SetFormInfo(const FormInfo& info);

    // Gives the window its shape (the whole client rectangle).
    void shapeWindow();

    // One clock tick at the given time of day; the timer calls it with the current time.
    void tick(const QTime& now);

protected:
    void paintEvent(QPaintEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    // Hands the window to the window system's move; false when the system refuses.
    virtual bool beginSystemMove();

private:
    void createElements();
    void copyStyleToAll(int i);

    std::array<M_Degit*, 12> degit_{};
    std::array<QLabel*, 12> lblSeiriNum_{};
    std::array<M_Degit*, 2> timeDegit_{};
    ChimeiCtl_C2* chimeiCtl_ = nullptr;
    QTimer* timer1_ = nullptr;
    std::array<QPixmap, 3> imgRes_;
    QPixmap picture_;
    QPointer<QWidget> controlPanel_;
    // Where the press grabbed the window, while it is dragged by our own moves.
    std::optional<QPoint> dragGrip_;
};
