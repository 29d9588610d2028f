#pragma once

class QComboBox;

// What the options dialog needs from the control panel window. The control panel implements
// it and hands itself to OptionsDialog::setControlPanelLink; until then the dialog acts as if
// the backlight were OFF and skips the rest.
class ControlPanelLink
{
public:
    virtual ~ControlPanelLink() = default;

    // The backlight state selected on the panel: 0 OFF, 1 ON1, 2 ON2 (-1 when none).
    virtual int selectedBacklight() const = 0;
    // The panel's backlight switch: panel picture and ticket-number colour for the state.
    virtual void switchBacklight(int state) = 0;
    // Size of the numbered-ticket preview picture, in twips.
    virtual void setTicketPreviewSize(int widthTwips, int heightTwips) = 0;
    // The company-name list a ticket plug-in may fill.
    virtual QComboBox* companyList() = 0;
};
