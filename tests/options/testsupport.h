#pragma once

#include "elements/faredisplay.h"
#include "options/controlpanellink.h"

#include <QComboBox>
#include <QDir>
#include <QString>
#include <QTemporaryDir>
#include <QTimer>
#include <array>
#include <map>
#include <memory>
#include <vector>

class QApplication;

// The one QApplication of the test process.
QApplication& testApp();

// Declared first in a fixture, it makes the application before any widget member.
struct WithApp {
    WithApp() { testApp(); }
};

// A fare display made of real elements, not shown.
class TestDisplay : public FareDisplay
{
public:
    TestDisplay();
    ~TestDisplay() override;

    DigitElement* fareElement(int i) override { return fareElements_.at(i - 1); }
    QLabel* ticketLabel(int i) override { return ticketLabels_.at(i - 1); }
    DigitElement* clockElement(int i) override { return clockElements_.at(i); }
    NextStopNameBoard* stopNameBoard() override { return stopNameBoard_; }
    QTimer* clockTimer() override { return &clockTimer_; }
    QPixmap backlightPicture(int i) const override { return backlightPictures_.at(i); }
    void setBacklightPicture(int i, const QPixmap& picture) override
    {
        backlightPictures_.at(i) = picture;
    }
    QPixmap currentPicture() const override { return currentPicture_; }
    void setCurrentPicture(const QPixmap& picture) override { currentPicture_ = picture; }
    QWidget* window() override { return window_.get(); }

private:
    std::unique_ptr<QWidget> window_;
    std::array<DigitElement*, 12> fareElements_{};
    std::array<QLabel*, 12> ticketLabels_{};
    std::array<DigitElement*, 2> clockElements_{};
    NextStopNameBoard* stopNameBoard_ = nullptr;
    QTimer clockTimer_;
    std::array<QPixmap, 3> backlightPictures_;
    QPixmap currentPicture_;
};

// The control panel as the dialog sees it, recording what it is asked to do.
class TestControlPanel : public ControlPanelLink
{
public:
    int selected = 0;
    std::vector<int> switches;
    std::vector<std::pair<int, int>> previewSizes;
    QComboBox companies;

    int selectedBacklight() const override { return selected; }
    void switchBacklight(int state) override { switches.push_back(state); }
    void setTicketPreviewSize(int w, int h) override { previewSizes.emplace_back(w, h); }
    QComboBox* companyList() override { return &companies; }
};

// Writes a ticket plug-in with the given [Info] values (by index) and a layout that agrees
// with them; returns its path.
QString writePlugin(const QDir& dir, const QString& name, const std::map<int, int>& info);
// A file that is no plug-in.
QString writeGarbage(const QDir& dir, const QString& name);
