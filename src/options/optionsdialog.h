#pragma once

#include "options/optioninfo.h"
#include "platform/bgrcolor.h"

#include <QDialog>
#include <array>

class ColorButton;
class ControlPanelLink;
class FareDisplay;
class DigitElement;
class PageButton;
class QComboBox;
class QFrame;
class QGroupBox;
class QLabel;
class QLineEdit;
class QListWidget;
class QPlainTextEdit;
class QPushButton;
class QRadioButton;
class GreyableCheckBox;

// The options dialog. It is the live store of every option: created once, shown modally,
// hidden by "OK" (which applies the display options) or by its close button (which does
// not), and never destroyed while the program runs. Other windows read options through the
// typed readers below at the moment they need them.
class OptionsDialog : public QDialog
{
    Q_OBJECT
public:
    explicit OptionsDialog(QWidget* parent = nullptr);
    ~OptionsDialog() override;

    // The windows the dialog applies its options to; either may be null (nothing applied).
    void setFareDisplay(FareDisplay* display) { display_ = display; }
    void setControlPanelLink(ControlPanelLink* link) { controlPanel_ = link; }

    // Applies the display options to the fare display window and the backlight.
    void applyDisplayOptions();
    // The options in transfer form, read from the controls.
    OptionInfo optionInfo() const;
    // Puts the options back into the controls with their reactions, re-applies the
    // backlight and reloads the plug-in. A list position outside its list, or a check value
    // outside 0..2, raises platform::RuntimeError(380) at that field; earlier fields stay.
    void applyOptionInfo(const OptionInfo& info);
    // Loads a ticket plug-in: property list, comment, preview size and company names.
    // result is 2 when the file is a plug-in, else 0 (nothing changes then).
    void loadPlugin(QString& path, int& result);

    // Option readers. Check values are 0, 1 or 2 (greyed); list positions count from 0
    // (-1 = none); the element and column numbers are position + 1.
    QString fareDataFolder() const;
    QString broadcastDataFolder() const;

    int autoTicketNumbers() const;
    platform::BgrColor ticketColorOff() const;
    platform::BgrColor ticketColorOn1() const;
    platform::BgrColor ticketColorOn2() const;
    int ticketNumberMode() const;
    int ticketZeroPad() const;
    bool panelAuto() const;
    bool panelIndividual() const;
    bool panelOffBuiltin() const;
    bool panelOffUser() const;
    bool panelOn1Builtin() const;
    bool panelOn1User() const;
    bool panelOn2Builtin() const;
    bool panelOn2User() const;
    QString panelOffPicture() const;
    QString panelOn1Picture() const;
    QString panelOn2Picture() const;

    platform::BgrColor digitBackColor() const;
    platform::BgrColor digitUnlitColor() const;
    platform::BgrColor digitLitColor() const;
    int infoStopOrderOn() const;
    int infoStopOrderCell() const;
    int infoStopOrderFromZero() const;
    int infoTicketOn() const;
    int infoTicketCell() const;
    int infoRouteOn() const;
    int infoRouteCell() const;
    int infoColumnOn() const;
    int infoColumn() const;
    int infoColumnCell() const;

    platform::BgrColor stopNameBackColor() const;
    platform::BgrColor stopNameForeColor() const;
    int stopNameFontMode() const;
    int stopNameBold() const;
    int nextStopMode() const;
    platform::BgrColor nextStopColor() const;
    int nextStopFontMode() const;
    int nextStopBold() const;

    QString routeSetSound() const;
    QString resetSound() const;
    bool stepSoundAlways() const;
    bool stepSoundByColumn() const;
    bool stepSoundWait() const;
    bool stepSoundNoWait() const;
    QString stepSoundFile() const;
    int stepSoundColumn() const;
    QString stepSound1() const;
    QString stepSound2() const;
    QString stepSound3() const;
    bool preBroadcastAlways() const;
    bool preBroadcastByFlag() const;
    bool preBroadcastWait() const;
    bool preBroadcastNoWait() const;
    QString preBroadcastFile() const;
    QString preBroadcastSound1() const;
    QString preBroadcastSound2() const;
    QString preBroadcastSound3() const;

    int useTicketPreview() const;
    QString ticketPluginPath() const;
    bool dateEachPrint() const;
    bool dateAtRouteSet() const;
    bool dateFixed() const;
    QString fixedDate() const;

    // The controls, by their designer names (indices as in the designer; unused ones null).
    std::array<PageButton*, 6> Option1{};
    std::array<QGroupBox*, 6> Frame1{};
    QPushButton* Command4 = nullptr;

    std::array<QLabel*, 2> Label3{};
    std::array<QLineEdit*, 2> Text2{};
    std::array<QPushButton*, 2> Command3{};
    std::array<QPushButton*, 2> Command10{};

    GreyableCheckBox* Check1 = nullptr;
    QGroupBox* Frame4 = nullptr;
    std::array<QRadioButton*, 8> Option3{};
    std::array<QGroupBox*, 3> Frame6{};
    std::array<QLineEdit*, 3> txtSelectPanel{};
    std::array<QPushButton*, 3> Command6{};
    QFrame* Frame3 = nullptr;
    std::array<QLabel*, 6> Label4{};
    QComboBox* Combo2 = nullptr;
    GreyableCheckBox* Check2 = nullptr;
    std::array<ColorButton*, 3> Command5{};
    QLabel* Label15 = nullptr;
    std::array<QLabel*, 2> Label5{};

    std::array<QGroupBox*, 2> Frame5{};
    std::array<GreyableCheckBox*, 5> Check3{};
    std::array<QComboBox*, 5> Combo4{};
    QLabel* Label7 = nullptr;
    std::array<QLabel*, 4> Label6{};
    std::array<ColorButton*, 3> Command8{};
    DigitElement* M_Degit1 = nullptr;

    QGroupBox* Frame11 = nullptr;
    std::array<QLabel*, 3> Label8{};
    std::array<ColorButton*, 3> Command9{};
    QLabel* Label9 = nullptr;
    QComboBox* Combo3 = nullptr;
    GreyableCheckBox* Check4 = nullptr;
    QGroupBox* Frame12 = nullptr;
    QLabel* Label17 = nullptr;
    QComboBox* Combo6 = nullptr;
    QLabel* Label16 = nullptr;
    QComboBox* Combo5 = nullptr;
    GreyableCheckBox* Check5 = nullptr;

    std::array<QPushButton*, 2> Option5{};
    std::array<QGroupBox*, 2> Frame2{};
    std::array<QLabel*, 12> Label1{};
    std::array<QLineEdit*, 11> txtSelectSound{};
    std::array<QPushButton*, 11> cmdSelectSound{};
    std::array<QRadioButton*, 4> Option2{};
    QComboBox* Combo1 = nullptr;
    QGroupBox* Frame8 = nullptr;
    std::array<QRadioButton*, 2> Option6{};
    QGroupBox* Frame9 = nullptr;
    std::array<QRadioButton*, 2> Option7{};

    GreyableCheckBox* chkUseSeiriPrev = nullptr;
    QGroupBox* Frame10 = nullptr;
    QLabel* Label2 = nullptr;
    QLineEdit* txtSeiriPlgDir = nullptr;
    QPushButton* Command1 = nullptr;
    QPushButton* Command11 = nullptr;
    QLabel* Label11 = nullptr;
    QListWidget* List1 = nullptr;
    QLabel* Label13 = nullptr;
    QPlainTextEdit* txtPlginComment = nullptr;
    QGroupBox* Frame7 = nullptr;
    std::array<QRadioButton*, 3> Option4{};
    QLabel* Label10 = nullptr;
    QPushButton* Command7 = nullptr;
    QLabel* Label14 = nullptr;

    // The start-up defaults of the ticket-number options: labels shown, OFF colour white,
    // ON1 and ON2 light green.
    void applyStartupDefaults();

private:
    // Building the pages (frmoption_pages.cpp).
    void buildPageButtons();
    void buildDataPage(QGroupBox* page);
    void buildPanelPage(QGroupBox* page);
    void buildDigitsPage(QGroupBox* page);
    void buildStopNamePage(QGroupBox* page);
    void buildSoundPage(QGroupBox* page);
    void buildSoundSlot(QWidget* parent, int slot, QLabel* label, int x, int y);
    void buildTicketPage(QGroupBox* page);
    void applyDesignState();
    void connectReactions();
    void onLoad();
    void AddComboItem();

    // Reactions.
    void Option1_Click(int index);
    void Option5_Click(int index);
    void Check1_Click(int value);
    void Check3_Click(int index, int value);
    void Option3_Click();
    void chkUseSeiriPrev_Click();
    void Command3_Click(int index);
    void Command10_Click(int index);
    void Command6_Click(int index);
    void cmdSelectSound_Click(int slot);
    void Command8_Click(int index);
    void Command1_Click();
    void Command11_Click();
    void Command7_Click();
    void Command4_Click();

    QString GetPathString(const QString& unused);
    void GetBtnColor(ColorButton* button);
    void showDigitColorsInPreview();
    int selectedBacklight() const;
    void switchBacklight();

    FareDisplay* display_ = nullptr;
    ControlPanelLink* controlPanel_ = nullptr;
    // The last values seen by the toggling reactions of Check1 and Check3(0..3).
    int check1Last_ = 1;
    std::array<int, 5> check3Last_{};
};
