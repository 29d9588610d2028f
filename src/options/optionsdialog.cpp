#include "options/optionsdialog.h"

#include "dialogs/pickers.h"
#include "elements/digitelement.h"
#include "elements/faredisplay.h"
#include "elements/nextstopnameboard.h"
#include "options/controlpanellink.h"
#include "options/optiontexts.h"
#include "options/optionwidgets.h"
#include "platform/cp932.h"
#include "platform/msgbox.h"
#include "platform/runtimeerror.h"
#include "platform/shell.h"
#include "tickets/ticketlabels.h"
#include "tickets/ticketplugin.h"

#include <QComboBox>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPlainTextEdit>
#include <QRadioButton>

namespace
{

qint16 optionValue(const QRadioButton* button)
{
    return button->isChecked() ? -1 : 0;
}

qint16 checkValue(const GreyableCheckBox* box)
{
    return static_cast<qint16>(box->value());
}

qint16 listPosition(const QComboBox* list)
{
    return static_cast<qint16>(list->currentIndex());
}

// A check box takes 0, 1 or 2; anything else is an invalid property value.
void setCheck(GreyableCheckBox* box, int value)
{
    if (value < 0 || value > 2)
        throw platform::RuntimeError(platform::ErrorNumber::InvalidPropertyValue);
    box->setValue(value);
}

// Any non-zero value selects the button. A zero leaves it: a group always keeps one
// selected button, and the selection of another clears it.
void setOption(QRadioButton* button, int value)
{
    if (value != 0)
        button->setChecked(true);
}

void setListPosition(QComboBox* list, int position)
{
    if (position < -1 || position >= list->count())
        throw platform::RuntimeError(platform::ErrorNumber::InvalidPropertyValue);
    list->setCurrentIndex(position);
}

void toggleEnabled(QWidget* widget)
{
    widget->setEnabled(!widget->isEnabled());
}

void setLabelColor(QLabel* label, platform::BgrColor color)
{
    QPalette palette = label->palette();
    palette.setColor(QPalette::WindowText, platform::toQColor(color));
    label->setPalette(palette);
}

} // namespace

OptionsDialog::~OptionsDialog() = default;

void OptionsDialog::connectReactions()
{
    for (int i = 0; i < 6; ++i)
        connect(Option1[i], &QAbstractButton::toggled, this, [this, i](bool on) {
            if (on)
                Option1_Click(i);
        });
    for (int i = 0; i < 2; ++i)
        connect(Option5[i], &QAbstractButton::toggled, this, [this, i](bool on) {
            if (on)
                Option5_Click(i);
        });
    connect(Check1, &QCheckBox::stateChanged, this, [this](int) { Check1_Click(Check1->value()); });
    for (int i = 0; i < 4; ++i)
        connect(Check3[i], &QCheckBox::stateChanged, this,
                [this, i](int) { Check3_Click(i, Check3[i]->value()); });
    for (QRadioButton* option : Option3)
        connect(option, &QAbstractButton::toggled, this, [this] { Option3_Click(); });
    connect(chkUseSeiriPrev, &QCheckBox::stateChanged, this, [this] { chkUseSeiriPrev_Click(); });
    for (int i = 0; i < 2; ++i) {
        connect(Command3[i], &QAbstractButton::clicked, this, [this, i] { Command3_Click(i); });
        connect(Command10[i], &QAbstractButton::clicked, this, [this, i] { Command10_Click(i); });
    }
    for (int i = 0; i < 3; ++i) {
        connect(Command6[i], &QAbstractButton::clicked, this, [this, i] { Command6_Click(i); });
        connect(Command5[i], &QAbstractButton::clicked, this,
                [this, i] { GetBtnColor(Command5[i]); });
        connect(Command9[i], &QAbstractButton::clicked, this,
                [this, i] { GetBtnColor(Command9[i]); });
        connect(Command8[i], &QAbstractButton::clicked, this, [this, i] { Command8_Click(i); });
    }
    for (int k = 0; k < static_cast<int>(cmdSelectSound.size()); ++k) {
        if (cmdSelectSound[k])
            connect(cmdSelectSound[k], &QAbstractButton::clicked, this,
                    [this, k] { cmdSelectSound_Click(k); });
    }
    connect(Command1, &QAbstractButton::clicked, this, [this] { Command1_Click(); });
    connect(Command11, &QAbstractButton::clicked, this, [this] { Command11_Click(); });
    connect(Command7, &QAbstractButton::clicked, this, [this] { Command7_Click(); });
    connect(Command4, &QAbstractButton::clicked, this, [this] { Command4_Click(); });
}

// ---- Reactions ----

void OptionsDialog::Option1_Click(int index)
{
    for (int i = 0; i < 6; ++i)
        Frame1[i]->setVisible(i == index);
}

void OptionsDialog::Option5_Click(int index)
{
    for (int i = 0; i < 2; ++i)
        Frame2[i]->setVisible(i == index);
}

// Check1 and Check3(0..3) flip their dependents whenever the box turns on or off; a greyed
// box counts as on, so going between on and greyed flips nothing.
void OptionsDialog::Check1_Click(int value)
{
    if ((value == 0) != (check1Last_ == 0))
        toggleEnabled(Frame3);
    check1Last_ = value;
}

void OptionsDialog::Check3_Click(int index, int value)
{
    const bool flips = (value == 0) != (check3Last_[index] == 0);
    check3Last_[index] = value;
    if (!flips)
        return;
    switch (index) {
    case 0:
        toggleEnabled(Combo4[0]);
        toggleEnabled(Check3[4]);
        break;
    case 1:
        toggleEnabled(Combo4[1]);
        break;
    case 2:
        toggleEnabled(Combo4[2]);
        break;
    case 3:
        toggleEnabled(Combo4[3]);
        toggleEnabled(Combo4[4]);
        break;
    default:
        break;
    }
}

void OptionsDialog::Option3_Click()
{
    const bool individual = !Option3[0]->isChecked();
    for (QGroupBox* frame : Frame6) {
        frame->setEnabled(individual);
        frame->setVisible(individual);
    }
}

void OptionsDialog::chkUseSeiriPrev_Click()
{
    const bool used = chkUseSeiriPrev->value() != 0;
    for (QGroupBox* frame : {Frame10, Frame7}) {
        frame->setEnabled(used);
        frame->setVisible(used);
    }
}

QString OptionsDialog::GetPathString(const QString&)
{
    return pickFolder(this, QStringLiteral("フォルダーを選択してください"));
}

void OptionsDialog::Command3_Click(int index)
{
    const QString folder = GetPathString(QString());
    if (!folder.isEmpty())
        Text2[index]->setText(folder);
}

void OptionsDialog::Command10_Click(int index)
{
    platform::openFolderInFileManager(Text2[index]->text());
}

void OptionsDialog::Command6_Click(int index)
{
    const QString file =
        pickFile(this, 0, panelPictureFilter(), QString(), QStringLiteral("パネル画像の選択"));
    if (!file.isEmpty())
        txtSelectPanel[index]->setText(file);
}

void OptionsDialog::cmdSelectSound_Click(int slot)
{
    const QString file =
        pickFile(this, 0, soundFilter(), QString(), QStringLiteral("サウンドの選択"));
    if (!file.isEmpty())
        txtSelectSound[slot]->setText(file);
}

void OptionsDialog::GetBtnColor(ColorButton* button)
{
    platform::BgrColor color = button->backColor();
    if (pickColor(this, color, customColors()) != 0)
        button->setBackColor(color);
}

void OptionsDialog::Command8_Click(int index)
{
    GetBtnColor(Command8[index]);
    showDigitColorsInPreview();
}

void OptionsDialog::showDigitColorsInPreview()
{
    M_Degit1->setBackColor(Command8[0]->backColor());
    M_Degit1->setUnlitColor(Command8[1]->backColor());
    M_Degit1->setLitColor(Command8[2]->backColor());
}

void OptionsDialog::Command1_Click()
{
    QString path = pickFile(this, 0, pluginFilter(), QString(), QStringLiteral("プラグインの選択"));
    if (path.isEmpty())
        return;
    if (controlPanel_ && controlPanel_->companyList())
        controlPanel_->companyList()->clear();
    int result = 0;
    loadPlugin(path, result);
    if (result != 0) {
        txtSeiriPlgDir->setText(path);
        return;
    }
    platform::showMessageBox(QStringLiteral("指定したファイルはプラグインでないか、内容が不正です"),
                             platform::MessageBox::OKOnly | platform::MessageBox::Critical,
                             QStringLiteral("プラグインロードエラー"), this);
}

void OptionsDialog::Command11_Click()
{
    txtSeiriPlgDir->clear();
    List1->clear();
    txtPlginComment->clear();
}

void OptionsDialog::Command7_Click()
{
    SystemTime date{};
    if (pickDate(this, date) != 0)
        Label10->setText(fixedDateText(date.wYear, date.wMonth, date.wDay));
}

void OptionsDialog::Command4_Click()
{
    applyDisplayOptions();
    accept();
}

void OptionsDialog::applyStartupDefaults()
{
    Check1->setValue(1);
    Command5[0]->setBackColor(platform::RGB(255, 255, 255));
    Command5[1]->setBackColor(platform::RGB(192, 255, 192));
    Command5[2]->setBackColor(platform::RGB(192, 255, 192));
}

// ---- Applying to the display ----

int OptionsDialog::selectedBacklight() const
{
    return controlPanel_ ? controlPanel_->selectedBacklight() : 0;
}

void OptionsDialog::switchBacklight()
{
    if (!controlPanel_)
        return;
    const int selected = selectedBacklight();
    controlPanel_->switchBacklight(selected == 0 ? 0 : (selected == 1 ? 1 : 2));
}

void OptionsDialog::applyDisplayOptions()
{
    if (display_) {
        FareDisplay& display = *display_;
        for (int i = 1; i <= 12; ++i)
            display.ticketLabel(i)->setVisible(Check1->value() != 0);

        numberTicketLabels(display, Combo2->currentIndex(), Check2->value());

        platform::BgrColor labelColor = 0;
        const int state = selectedBacklight();
        if (state >= 0 && state <= 2)
            labelColor = Command5[state]->backColor();
        for (int i = 1; i <= 12; ++i)
            setLabelColor(display.ticketLabel(i), labelColor);

        const auto colorDigit = [this](DigitElement* digit) {
            digit->setBackColor(Command8[0]->backColor());
            digit->setUnlitColor(Command8[1]->backColor());
            digit->setLitColor(Command8[2]->backColor());
        };
        for (int i = 1; i <= 12; ++i)
            colorDigit(display.fareElement(i));
        colorDigit(display.clockElement(0));
        colorDigit(display.clockElement(1));

        NextStopNameBoard* board = display.stopNameBoard();
        board->setBackColor(Command9[0]->backColor());
        board->setForeColor(Command9[1]->backColor());
        board->setFontMode(static_cast<std::int16_t>(Combo3->currentIndex()));
        board->setFontBold(Check4->value() == 1);
        board->setPrefixMode(static_cast<std::int16_t>(Combo6->currentIndex()));
        board->setPrefixColor(Command9[2]->backColor());
        board->setPrefixFontMode(static_cast<std::int16_t>(Combo5->currentIndex()));
        board->setPrefixBold(Check5->value() == 1);
    }
    switchBacklight();
}

// ---- Plug-in ----

void OptionsDialog::loadPlugin(QString& path, int& result)
{
    result = 0;
    if (path.isEmpty())
        return;
    // The library works on CP932 bytes and may rewrite the path in place; only a change it
    // made is taken back, so characters without a CP932 form are not lost on the way.
    const auto callWithPath = [&path](const auto& call) {
        const QByteArray sent = platform::toCp932(path);
        QByteArray bytes = sent;
        call(bytes);
        if (bytes != sent)
            path = platform::fromCp932(bytes);
    };

    PluginInfo info;
    info.clear();
    int found = 0;
    callWithPath([&](QByteArray& bytes) { found = readPluginInfo(bytes, info); });
    if (found == 0)
        return;
    callWithPath([&](QByteArray& bytes) { showPluginComment(bytes, txtPlginComment); });
    List1->clear();
    List1->addItems(pluginPropertyLines(info));
    if (controlPanel_) {
        controlPanel_->setTicketPreviewSize(info[PluginInfo::PreviewWidth],
                                            info[PluginInfo::PreviewHeight]);
        if (info[PluginInfo::CompanySwitch] >= 1 && controlPanel_->companyList())
            callWithPath([&](QByteArray& bytes) {
                addPluginCompanies(bytes, controlPanel_->companyList());
            });
    }
    result = 2;
}

// ---- Transfer ----

OptionInfo OptionsDialog::optionInfo() const
{
    OptionInfo o;
    o.Folders = {Text2[0]->text(), Text2[1]->text()};

    OptionPanel& p = o.Panel;
    p.AutoTicketNumbers = checkValue(Check1);
    p.TicketColorOff = Command5[0]->backColor();
    p.TicketColorOn1 = Command5[1]->backColor();
    p.TicketColorOn2 = Command5[2]->backColor();
    p.TicketNumberMode = listPosition(Combo2);
    p.TicketZeroPad = checkValue(Check2);
    p.PanelAuto = optionValue(Option3[0]);
    p.PanelIndividual = optionValue(Option3[1]);
    p.PanelOffBuiltin = optionValue(Option3[7]);
    p.PanelOffUser = optionValue(Option3[6]);
    p.PanelOn1Builtin = optionValue(Option3[3]);
    p.PanelOn1User = optionValue(Option3[2]);
    p.PanelOn2Builtin = optionValue(Option3[4]);
    p.PanelOn2User = optionValue(Option3[5]);
    p.PanelOffPicture = txtSelectPanel[0]->text();
    p.PanelOn1Picture = txtSelectPanel[1]->text();
    p.PanelOn2Picture = txtSelectPanel[2]->text();

    OptionDigits& d = o.Digits;
    d.DigitBackColor = Command8[0]->backColor();
    d.DigitUnlitColor = Command8[1]->backColor();
    d.DigitLitColor = Command8[2]->backColor();
    d.InfoStopOrderOn = checkValue(Check3[0]);
    d.InfoStopOrderCell = listPosition(Combo4[0]);
    d.InfoStopOrderFromZero = checkValue(Check3[4]);
    d.InfoTicketOn = checkValue(Check3[1]);
    d.InfoTicketCell = listPosition(Combo4[1]);
    d.InfoRouteOn = checkValue(Check3[2]);
    d.InfoRouteCell = listPosition(Combo4[2]);
    d.InfoColumnOn = checkValue(Check3[3]);
    d.InfoColumn = listPosition(Combo4[4]);
    d.InfoColumnCell = listPosition(Combo4[3]);

    OptionStopName& s = o.StopName;
    s.StopNameBackColor = Command9[0]->backColor();
    s.StopNameForeColor = Command9[1]->backColor();
    s.StopNameFontMode = listPosition(Combo3);
    s.StopNameBold = checkValue(Check4);
    s.NextStopMode = listPosition(Combo6);
    s.NextStopColor = Command9[2]->backColor();
    s.NextStopFontMode = listPosition(Combo5);
    s.NextStopBold = checkValue(Check5);

    OptionSounds& n = o.Sounds;
    n.RouteSetSound = txtSelectSound[0]->text();
    n.ResetSound = txtSelectSound[1]->text();
    n.StepSoundAlways = optionValue(Option2[0]);
    n.StepSoundByColumn = optionValue(Option2[1]);
    n.StepSoundWait = optionValue(Option6[0]);
    n.StepSoundNoWait = optionValue(Option6[1]);
    n.StepSoundFile = txtSelectSound[7]->text();
    n.StepSoundColumn = listPosition(Combo1);
    n.StepSound1 = txtSelectSound[8]->text();
    n.StepSound2 = txtSelectSound[9]->text();
    n.StepSound3 = txtSelectSound[10]->text();
    n.PreBroadcastAlways = optionValue(Option2[2]);
    n.PreBroadcastByFlag = optionValue(Option2[3]);
    n.PreBroadcastWait = optionValue(Option7[0]);
    n.PreBroadcastNoWait = optionValue(Option7[1]);
    n.PreBroadcastFile = txtSelectSound[3]->text();
    n.PreBroadcastSound1 = txtSelectSound[4]->text();
    n.PreBroadcastSound2 = txtSelectSound[5]->text();
    n.PreBroadcastSound3 = txtSelectSound[6]->text();

    OptionTicket& t = o.Ticket;
    t.UseTicketPreview = checkValue(chkUseSeiriPrev);
    t.TicketPluginPath = txtSeiriPlgDir->text();
    t.DateEachPrint = optionValue(Option4[0]);
    t.DateAtRouteSet = optionValue(Option4[1]);
    t.DateFixed = optionValue(Option4[2]);
    t.FixedDate = Label10->text();
    return o;
}

void OptionsDialog::applyOptionInfo(const OptionInfo& o)
{
    Text2[0]->setText(o.Folders.FareDataFolder);
    Text2[1]->setText(o.Folders.BroadcastDataFolder);

    const OptionPanel& p = o.Panel;
    setCheck(Check1, p.AutoTicketNumbers);
    Command5[0]->setBackColor(p.TicketColorOff);
    Command5[1]->setBackColor(p.TicketColorOn1);
    Command5[2]->setBackColor(p.TicketColorOn2);
    setListPosition(Combo2, p.TicketNumberMode);
    setCheck(Check2, p.TicketZeroPad);

    setOption(Option3[0], p.PanelAuto);
    setOption(Option3[1], p.PanelIndividual);
    setOption(Option3[7], p.PanelOffBuiltin);
    setOption(Option3[6], p.PanelOffUser);
    setOption(Option3[3], p.PanelOn1Builtin);
    setOption(Option3[2], p.PanelOn1User);
    setOption(Option3[4], p.PanelOn2Builtin);
    setOption(Option3[5], p.PanelOn2User);
    txtSelectPanel[0]->setText(p.PanelOffPicture);
    txtSelectPanel[1]->setText(p.PanelOn1Picture);
    txtSelectPanel[2]->setText(p.PanelOn2Picture);

    switchBacklight();

    const OptionDigits& d = o.Digits;
    Command8[0]->setBackColor(d.DigitBackColor);
    Command8[1]->setBackColor(d.DigitUnlitColor);
    Command8[2]->setBackColor(d.DigitLitColor);
    setCheck(Check3[0], d.InfoStopOrderOn);
    setListPosition(Combo4[0], d.InfoStopOrderCell);
    setCheck(Check3[4], d.InfoStopOrderFromZero);
    setCheck(Check3[1], d.InfoTicketOn);
    setListPosition(Combo4[1], d.InfoTicketCell);
    setCheck(Check3[2], d.InfoRouteOn);
    setListPosition(Combo4[2], d.InfoRouteCell);
    setCheck(Check3[3], d.InfoColumnOn);
    setListPosition(Combo4[4], d.InfoColumn);
    setListPosition(Combo4[3], d.InfoColumnCell);

    showDigitColorsInPreview();

    const OptionStopName& s = o.StopName;
    Command9[0]->setBackColor(s.StopNameBackColor);
    Command9[1]->setBackColor(s.StopNameForeColor);
    setListPosition(Combo3, s.StopNameFontMode);
    setCheck(Check4, s.StopNameBold);
    setListPosition(Combo6, s.NextStopMode);
    Command9[2]->setBackColor(s.NextStopColor);
    setListPosition(Combo5, s.NextStopFontMode);
    setCheck(Check5, s.NextStopBold);

    const OptionSounds& n = o.Sounds;
    txtSelectSound[0]->setText(n.RouteSetSound);
    txtSelectSound[1]->setText(n.ResetSound);
    setOption(Option6[0], n.StepSoundWait);
    setOption(Option6[1], n.StepSoundNoWait);
    setOption(Option2[0], n.StepSoundAlways);
    setOption(Option2[1], n.StepSoundByColumn);
    txtSelectSound[7]->setText(n.StepSoundFile);
    setListPosition(Combo1, n.StepSoundColumn);
    txtSelectSound[8]->setText(n.StepSound1);
    txtSelectSound[9]->setText(n.StepSound2);
    txtSelectSound[10]->setText(n.StepSound3);
    setOption(Option7[0], n.PreBroadcastWait);
    setOption(Option7[1], n.PreBroadcastNoWait);
    setOption(Option2[2], n.PreBroadcastAlways);
    setOption(Option2[3], n.PreBroadcastByFlag);
    txtSelectSound[3]->setText(n.PreBroadcastFile);
    txtSelectSound[4]->setText(n.PreBroadcastSound1);
    txtSelectSound[5]->setText(n.PreBroadcastSound2);
    txtSelectSound[6]->setText(n.PreBroadcastSound3);

    const OptionTicket& t = o.Ticket;
    setCheck(chkUseSeiriPrev, t.UseTicketPreview);
    txtSeiriPlgDir->setText(t.TicketPluginPath);
    setOption(Option4[0], t.DateEachPrint);
    setOption(Option4[1], t.DateAtRouteSet);
    setOption(Option4[2], t.DateFixed);
    Label10->setText(t.FixedDate);

    QString path = txtSeiriPlgDir->text();
    int loaded = 0;
    loadPlugin(path, loaded);
}

// ---- Option readers ----

QString OptionsDialog::fareDataFolder() const
{
    return Text2[0]->text();
}
QString OptionsDialog::broadcastDataFolder() const
{
    return Text2[1]->text();
}

int OptionsDialog::autoTicketNumbers() const
{
    return Check1->value();
}
platform::BgrColor OptionsDialog::ticketColorOff() const
{
    return Command5[0]->backColor();
}
platform::BgrColor OptionsDialog::ticketColorOn1() const
{
    return Command5[1]->backColor();
}
platform::BgrColor OptionsDialog::ticketColorOn2() const
{
    return Command5[2]->backColor();
}
int OptionsDialog::ticketNumberMode() const
{
    return Combo2->currentIndex();
}
int OptionsDialog::ticketZeroPad() const
{
    return Check2->value();
}
bool OptionsDialog::panelAuto() const
{
    return Option3[0]->isChecked();
}
bool OptionsDialog::panelIndividual() const
{
    return Option3[1]->isChecked();
}
bool OptionsDialog::panelOffBuiltin() const
{
    return Option3[7]->isChecked();
}
bool OptionsDialog::panelOffUser() const
{
    return Option3[6]->isChecked();
}
bool OptionsDialog::panelOn1Builtin() const
{
    return Option3[3]->isChecked();
}
bool OptionsDialog::panelOn1User() const
{
    return Option3[2]->isChecked();
}
bool OptionsDialog::panelOn2Builtin() const
{
    return Option3[4]->isChecked();
}
bool OptionsDialog::panelOn2User() const
{
    return Option3[5]->isChecked();
}
QString OptionsDialog::panelOffPicture() const
{
    return txtSelectPanel[0]->text();
}
QString OptionsDialog::panelOn1Picture() const
{
    return txtSelectPanel[1]->text();
}
QString OptionsDialog::panelOn2Picture() const
{
    return txtSelectPanel[2]->text();
}

platform::BgrColor OptionsDialog::digitBackColor() const
{
    return Command8[0]->backColor();
}
platform::BgrColor OptionsDialog::digitUnlitColor() const
{
    return Command8[1]->backColor();
}
platform::BgrColor OptionsDialog::digitLitColor() const
{
    return Command8[2]->backColor();
}
int OptionsDialog::infoStopOrderOn() const
{
    return Check3[0]->value();
}
int OptionsDialog::infoStopOrderCell() const
{
    return Combo4[0]->currentIndex();
}
int OptionsDialog::infoStopOrderFromZero() const
{
    return Check3[4]->value();
}
int OptionsDialog::infoTicketOn() const
{
    return Check3[1]->value();
}
int OptionsDialog::infoTicketCell() const
{
    return Combo4[1]->currentIndex();
}
int OptionsDialog::infoRouteOn() const
{
    return Check3[2]->value();
}
int OptionsDialog::infoRouteCell() const
{
    return Combo4[2]->currentIndex();
}
int OptionsDialog::infoColumnOn() const
{
    return Check3[3]->value();
}
int OptionsDialog::infoColumn() const
{
    return Combo4[4]->currentIndex();
}
int OptionsDialog::infoColumnCell() const
{
    return Combo4[3]->currentIndex();
}

platform::BgrColor OptionsDialog::stopNameBackColor() const
{
    return Command9[0]->backColor();
}
platform::BgrColor OptionsDialog::stopNameForeColor() const
{
    return Command9[1]->backColor();
}
int OptionsDialog::stopNameFontMode() const
{
    return Combo3->currentIndex();
}
int OptionsDialog::stopNameBold() const
{
    return Check4->value();
}
int OptionsDialog::nextStopMode() const
{
    return Combo6->currentIndex();
}
platform::BgrColor OptionsDialog::nextStopColor() const
{
    return Command9[2]->backColor();
}
int OptionsDialog::nextStopFontMode() const
{
    return Combo5->currentIndex();
}
int OptionsDialog::nextStopBold() const
{
    return Check5->value();
}

QString OptionsDialog::routeSetSound() const
{
    return txtSelectSound[0]->text();
}
QString OptionsDialog::resetSound() const
{
    return txtSelectSound[1]->text();
}
bool OptionsDialog::stepSoundAlways() const
{
    return Option2[0]->isChecked();
}
bool OptionsDialog::stepSoundByColumn() const
{
    return Option2[1]->isChecked();
}
bool OptionsDialog::stepSoundWait() const
{
    return Option6[0]->isChecked();
}
bool OptionsDialog::stepSoundNoWait() const
{
    return Option6[1]->isChecked();
}
QString OptionsDialog::stepSoundFile() const
{
    return txtSelectSound[7]->text();
}
int OptionsDialog::stepSoundColumn() const
{
    return Combo1->currentIndex();
}
QString OptionsDialog::stepSound1() const
{
    return txtSelectSound[8]->text();
}
QString OptionsDialog::stepSound2() const
{
    return txtSelectSound[9]->text();
}
QString OptionsDialog::stepSound3() const
{
    return txtSelectSound[10]->text();
}
bool OptionsDialog::preBroadcastAlways() const
{
    return Option2[2]->isChecked();
}
bool OptionsDialog::preBroadcastByFlag() const
{
    return Option2[3]->isChecked();
}
bool OptionsDialog::preBroadcastWait() const
{
    return Option7[0]->isChecked();
}
bool OptionsDialog::preBroadcastNoWait() const
{
    return Option7[1]->isChecked();
}
QString OptionsDialog::preBroadcastFile() const
{
    return txtSelectSound[3]->text();
}
QString OptionsDialog::preBroadcastSound1() const
{
    return txtSelectSound[4]->text();
}
QString OptionsDialog::preBroadcastSound2() const
{
    return txtSelectSound[5]->text();
}
QString OptionsDialog::preBroadcastSound3() const
{
    return txtSelectSound[6]->text();
}

int OptionsDialog::useTicketPreview() const
{
    return chkUseSeiriPrev->value();
}
QString OptionsDialog::ticketPluginPath() const
{
    return txtSeiriPlgDir->text();
}
bool OptionsDialog::dateEachPrint() const
{
    return Option4[0]->isChecked();
}
bool OptionsDialog::dateAtRouteSet() const
{
    return Option4[1]->isChecked();
}
bool OptionsDialog::dateFixed() const
{
    return Option4[2]->isChecked();
}
QString OptionsDialog::fixedDate() const
{
    return Label10->text();
}
