#include "options/optionbinding.h"

#include "options/optionwidgets.h"

#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QRadioButton>

using core::OptionId;

namespace
{

constexpr std::array<OptionControl, core::SettingsFileOptionCount + 2> Controls = {{
    {OptionId::FareDataFolder, "fareDataFolderEdit"},
    {OptionId::BroadcastDataFolder, "broadcastDataFolderEdit"},
    {OptionId::AutoTicketNumbers, "autoTicketNumbersCheck"},
    {OptionId::TicketColorOff, "ticketColorButton0"},
    {OptionId::TicketColorOn1, "ticketColorButton1"},
    {OptionId::TicketColorOn2, "ticketColorButton2"},
    {OptionId::TicketNumberMode, "ticketNumberModeList"},
    {OptionId::TicketZeroPad, "ticketZeroPadCheck"},
    {OptionId::PanelAuto, "panelAutoOption"},
    {OptionId::PanelIndividual, "panelIndividualOption"},
    {OptionId::PanelOffBuiltin, "builtinPanelOption0"},
    {OptionId::PanelOffUser, "userPanelOption0"},
    {OptionId::PanelOn1Builtin, "builtinPanelOption1"},
    {OptionId::PanelOn1User, "userPanelOption1"},
    {OptionId::PanelOn2Builtin, "builtinPanelOption2"},
    {OptionId::PanelOn2User, "userPanelOption2"},
    {OptionId::PanelOffPicture, "panelPictureEdit0"},
    {OptionId::PanelOn1Picture, "panelPictureEdit1"},
    {OptionId::PanelOn2Picture, "panelPictureEdit2"},
    {OptionId::DigitBackColor, "digitBackColorButton"},
    {OptionId::DigitUnlitColor, "digitUnlitColorButton"},
    {OptionId::DigitLitColor, "digitLitColorButton"},
    {OptionId::InfoStopOrderOn, "infoStopOrderCheck"},
    {OptionId::InfoStopOrderCell, "infoStopOrderCellList"},
    {OptionId::InfoStopOrderFromZero, "infoStopOrderFromZeroCheck"},
    {OptionId::InfoTicketOn, "infoTicketCheck"},
    {OptionId::InfoTicketCell, "infoTicketCellList"},
    {OptionId::InfoRouteOn, "infoRouteCheck"},
    {OptionId::InfoRouteCell, "infoRouteCellList"},
    {OptionId::InfoColumnOn, "infoColumnCheck"},
    {OptionId::InfoColumn, "infoColumnList"},
    {OptionId::InfoColumnCell, "infoColumnCellList"},
    {OptionId::StopNameBackColor, "stopNameBackColorButton"},
    {OptionId::StopNameForeColor, "stopNameForeColorButton"},
    {OptionId::StopNameFontMode, "stopNameFontList"},
    {OptionId::StopNameBold, "stopNameBoldCheck"},
    {OptionId::NextStopMode, "nextStopModeList"},
    {OptionId::NextStopColor, "nextStopColorButton"},
    {OptionId::NextStopFontMode, "nextStopFontList"},
    {OptionId::NextStopBold, "nextStopBoldCheck"},
    {OptionId::RouteSetSound, "routeSetSoundEdit"},
    {OptionId::ResetSound, "resetSoundEdit"},
    {OptionId::StepSoundAlways, "stepSoundAlwaysOption"},
    {OptionId::StepSoundByColumn, "stepSoundByColumnOption"},
    {OptionId::StepSoundWait, "stepSoundWaitOption"},
    {OptionId::StepSoundNoWait, "stepSoundNoWaitOption"},
    {OptionId::StepSoundFile, "stepSoundFileEdit"},
    {OptionId::StepSoundColumn, "stepSoundColumnList"},
    {OptionId::StepSound1, "stepSound1Edit"},
    {OptionId::StepSound2, "stepSound2Edit"},
    {OptionId::StepSound3, "stepSound3Edit"},
    {OptionId::PreBroadcastAlways, "preBroadcastAlwaysOption"},
    {OptionId::PreBroadcastByFlag, "preBroadcastByFlagOption"},
    {OptionId::PreBroadcastWait, "preBroadcastWaitOption"},
    {OptionId::PreBroadcastNoWait, "preBroadcastNoWaitOption"},
    {OptionId::PreBroadcastFile, "preBroadcastFileEdit"},
    {OptionId::PreBroadcastSound1, "preBroadcastSound1Edit"},
    {OptionId::PreBroadcastSound2, "preBroadcastSound2Edit"},
    {OptionId::PreBroadcastSound3, "preBroadcastSound3Edit"},
    {OptionId::UseTicketPreview, "useTicketPreviewCheck"},
    {OptionId::TicketPluginPath, "pluginPathEdit"},
    {OptionId::DateEachPrint, "dateEachPrintOption"},
    {OptionId::DateAtRouteSet, "dateAtRouteSetOption"},
    {OptionId::DateFixed, "dateFixedOption"},
    {OptionId::FixedDate, "fixedDateLabel"},
    {OptionId::DisplayZoom, "displayZoomList"},
    {OptionId::DisplayFullScreen, "displayFullScreenCheck"},
}};

// A list whose items carry the option's values rather than standing at them.
bool listHoldsValues(const QComboBox& list)
{
    return list.count() > 0 && list.itemData(0).isValid();
}

// Shows the option's value in the control, with the control's own reactions.
void show(QWidget* control, const QVariant& value)
{
    if (auto* box = qobject_cast<GreyableCheckBox*>(control))
        box->setValue(value.toInt());
    else if (auto* list = qobject_cast<QComboBox*>(control))
        list->setCurrentIndex(listHoldsValues(*list) ? list->findData(value) : value.toInt());
    else if (auto* option = qobject_cast<QRadioButton*>(control)) {
        if (value.toBool())
            option->setChecked(true);
    } else if (auto* edit = qobject_cast<QLineEdit*>(control)) {
        if (edit->text() != value.toString())
            edit->setText(value.toString());
    } else if (auto* color = qobject_cast<ColorButton*>(control))
        color->setBackColor(value.value<platform::BgrColor>());
    else if (auto* label = qobject_cast<QLabel*>(control))
        label->setText(value.toString());
}

// The control's value as the options hold it.
QVariant valueOf(const QWidget* control)
{
    if (auto* box = qobject_cast<const GreyableCheckBox*>(control))
        return box->value();
    if (auto* list = qobject_cast<const QComboBox*>(control))
        return listHoldsValues(*list) ? list->currentData() : list->currentIndex();
    if (auto* option = qobject_cast<const QRadioButton*>(control))
        return option->isChecked();
    if (auto* edit = qobject_cast<const QLineEdit*>(control))
        return edit->text();
    if (auto* color = qobject_cast<const ColorButton*>(control))
        return QVariant::fromValue(color->backColor());
    return qobject_cast<const QLabel*>(control)->text();
}

void reportChanges(QWidget* control, core::Options& options, OptionId id)
{
    const auto store = [control, &options, id] { options.setValue(id, valueOf(control)); };
    if (auto* box = qobject_cast<GreyableCheckBox*>(control))
        QObject::connect(box, &QCheckBox::stateChanged, &options, store);
    else if (auto* list = qobject_cast<QComboBox*>(control))
        QObject::connect(list, &QComboBox::currentIndexChanged, &options, store);
    else if (auto* option = qobject_cast<QRadioButton*>(control))
        QObject::connect(option, &QAbstractButton::toggled, &options, store);
    else if (auto* edit = qobject_cast<QLineEdit*>(control))
        QObject::connect(edit, &QLineEdit::textChanged, &options, store);
    else if (auto* color = qobject_cast<ColorButton*>(control))
        QObject::connect(color, &ColorButton::backColorChanged, &options, store);
}

} // namespace

std::span<const OptionControl> optionControls()
{
    return Controls;
}

bool bindOptionControls(QWidget* dialog, core::Options& options)
{
    std::vector<std::pair<OptionId, QWidget*>> bound;
    for (const OptionControl& control : optionControls()) {
        auto* widget = dialog->findChild<QWidget*>(QLatin1String(control.objectName));
        if (!widget)
            return false;
        bound.emplace_back(control.option, widget);
    }
    for (const auto& [id, widget] : bound)
        show(widget, options.value(id));
    // A group keeps one option button selected whatever the options said.
    for (const auto& [id, widget] : bound)
        options.setValue(id, valueOf(widget));
    for (const auto& [id, widget] : bound)
        reportChanges(widget, options, id);
    QObject::connect(&options, &core::Options::changed, dialog, [bound, &options](OptionId id) {
        for (const auto& [boundId, widget] : bound) {
            if (boundId != id)
                continue;
            show(widget, options.value(id));
            options.setValue(id, valueOf(widget));
        }
    });
    return true;
}
