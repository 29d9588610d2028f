#pragma once

#include "operation/controlpanelstate.h"
#include "options/controlpanellink.h"

#include <QRegion>
#include <QString>
#include <QWidget>
#include <array>

class FareDisplay;
class KeypadButton;
class OperationOptions;
class QAction;
class QCheckBox;
class QComboBox;
class QDialog;
class QFrame;
class QGroupBox;
class QLabel;
class QListWidget;
class QMenu;
class QPushButton;
class QRadioButton;
class QScrollBar;
class TicketPreview;

namespace sound
{
class BroadcastTape;
}

// The central control panel ("集中操作盤"): route entry by keypad or lists, stepping through the
// stops, display clear, night fare, backlight, scrolling of the stop-name board, the broadcast
// tape, the options and version boxes and the numbered-ticket preview. It owns the stop
// sequencing that drives the fare display window. Closing it ends the program.
class ControlPanel : public QWidget, public ControlPanelLink
{
    Q_OBJECT
public:
    // Window widths with the preview area hidden and shown, in twips.
    static constexpr int NarrowWidthTwips = 5385;
    static constexpr int WideWidthTwips = 9000;
    static constexpr int HeightTwips = 4620;

    // display, options and tape are not owned and must outlive the panel.
    ControlPanel(FareDisplay* display, OperationOptions* options, sound::BroadcastTape* tape,
                 QWidget* parent = nullptr);
    ~ControlPanel() override;

    // The options dialog that "設定..." shows modally (not owned).
    void setOptionsDialog(QDialog* dialog) { optionsDialog_ = dialog; }

    // Window load: the display window's caption, the keypad regions and the speech engine.
    // Runs once, when the panel is first shown.
    void onLoad();

    // Backlight 0 "OFF", 1 "ON1", 2 "ON2": panel picture and ticket-number colour.
    void onBacklightSelected(int index);
    // Puts stop row n (1-based) on the display.
    void showStop(int n);
    ControlPanelState panelState() const;
    void restorePanelState(const ControlPanelState& info);

    // Route setting from panel 0 (lists) or 1 (keypad).
    void setRoute(int panel);
    // 0 back ("データ戻し"), 1 forward ("データ送り").
    void stepStop(int direction);
    // Display clear ("表示消去") switched on or off.
    void setDisplayCleared(bool on);

    // ControlPanelLink
    int selectedBacklight() const override;
    void switchBacklight(int state) override { onBacklightSelected(state); }
    void setTicketPreviewSize(int widthTwips, int heightTwips) override;
    QComboBox* companyList() override;

    // Window state.
    QString TicketDate;
    qint16 SavedTsugiwaMode = 0;
    qint16 PanelMode = 0;
    qint16 KeyTarget = 0; // -1: keypad digits go to the route display, 0: to the section
    std::array<QRegion, 12> ButtonRgn;

    // Controls, by their designer names.
    QGroupBox* grpM_Tape = nullptr;
    QPushButton* cmdTapeSet = nullptr;
    QPushButton* cmdTapeBack = nullptr;
    QPushButton* cmdTapeNext = nullptr;
    QPushButton* cmdTapeStop = nullptr;
    QPushButton* Check4 = nullptr; // graphical check box
    QComboBox* Combo1 = nullptr;
    TicketPreview* picSeirikenPrev = nullptr;
    QLabel* Label4 = nullptr;
    QPushButton* Command4 = nullptr;
    QFrame* Frame6 = nullptr;
    QCheckBox* Check2 = nullptr;
    std::array<QScrollBar*, 2> HScroll1{};
    std::array<QLabel*, 2> Label3{};
    std::array<QLabel*, 2> Label1{};
    QGroupBox* Frame2 = nullptr;
    std::array<QRadioButton*, 3> Option4{};
    QPushButton* Command8 = nullptr;
    QPushButton* Check1 = nullptr; // graphical check box
    std::array<QPushButton*, 2> Command2{};
    std::array<QFrame*, 2> Frame1{};
    std::array<QListWidget*, 5> List2{};
    std::array<QListWidget*, 3> List3{};
    std::array<QPushButton*, 2> Command1{};
    QLabel* Label5 = nullptr;
    QLabel* Label6 = nullptr;
    QLabel* Label7 = nullptr;
    QLabel* Picture1 = nullptr;
    std::array<KeypadButton*, 12> CommandButton1{};
    std::array<QLabel*, 3> Label2{};
    QMenu* MnuHide = nullptr;
    QAction* MnuHideCopy = nullptr;

    // Control handlers, as the controls run them.
    void onKeypadKey(int index);
    void Frame1_DblClick(int index);
    void HScroll1_Change(int index);
    void Check4_Click();
    void MnuHideCopy_Click();
    void Command4_Click();
    void Command8_Click();

    // The version box text.
    static QString versionText();

    // The exit after a confirmed close, also run without the question when the session
    // ends: clears the board, releases the keypad shapes, closes the sounds and the speech
    // engine, lets the settings be saved (shutdownRequested) and ends the program.
    void shutDown();

signals:
    // After the operator confirmed the exit and the panel has cleaned up, before the program
    // ends: the settings are saved here.
    void shutdownRequested();

protected:
    void closeEvent(QCloseEvent* event) override;
    void showEvent(QShowEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    QLabel* companyCaption_ = nullptr;
    void createRoutePanels();
    QFrame* createListPanel();
    QFrame* createKeypadPanel();
    void createStepControls();
    void createScrollFrame();
    void createTapeGroup();
    void createPreviewArea();
    // Keeps the company list just below the ticket preview, whatever size the plug-in gives it.
    void placeCompanyList();
    void connectTape();
    void setPanelWidth(int widthTwips);
    void applyBacklightPicture(int index);
    void showStopName(int n);
    void drawTicketPreview(int n);
    void releaseKeypadRegions();

    FareDisplay* display_;
    OperationOptions* options_;
    sound::BroadcastTape* tape_;
    QDialog* optionsDialog_ = nullptr;
    bool loaded_ = false;
};
