#pragma once

#include "core/modes.h"
#include "options/optionsdialog.h"
#include "support/standindisplay.h"

#include <QComboBox>
#include <QDir>
#include <QString>
#include <QTemporaryDir>
#include <initializer_list>
#include <map>
#include <variant>
#include <vector>

// A control panel connected to the dialog and its plug-in choice as the program connects the
// real one, recording what their signals ask of it: each backlight re-apply (the state selected
// then), each preview size, and the company names in a list of its own.
class TestControlPanel
{
public:
    std::vector<int> switches;
    std::vector<std::pair<int, int>> previewSizes;
    QComboBox companies;

    void attach(OptionsDialog& dialog)
    {
        dialog_ = &dialog;
        dialog.setBacklight(selected_);
        QObject::connect(&dialog, &OptionsDialog::backlightLookChanged, &companies,
                         [this] { switches.push_back(static_cast<int>(selected_)); });
        QObject::connect(&dialog.pluginChoice(), &tickets::PluginChoice::previewSizeChanged,
                         &companies, [this](int w, int h) { previewSizes.emplace_back(w, h); });
        QObject::connect(&dialog.pluginChoice(), &tickets::PluginChoice::companyNamesChanged,
                         &companies, [this](const QStringList& names) {
                             companies.clear();
                             companies.addItems(names);
                         });
    }
    // Another backlight state chosen on the panel, told to the dialog.
    void select(core::Backlight state)
    {
        selected_ = state;
        if (dialog_)
            dialog_->setBacklight(state);
    }

private:
    OptionsDialog* dialog_ = nullptr;
    core::Backlight selected_ = core::Backlight::Off;
};

// What the dialog's controls show, as the settings file would hold it: an option button -1
// when selected, else 0; a check box 0, 1 or 2; a list position; a text; a colour.
core::OptionFileValues controlValues(const QWidget& dialog);

// The settings file's options from a list of all of them in the file's order.
core::OptionFileValues fileValues(std::initializer_list<std::variant<qint64, QString>> values);

// Writes a ticket plug-in with the given [Info] values (by index) and a layout that agrees
// with them; returns its path.
QString writePlugin(const QDir& dir, const QString& name, const std::map<int, int>& info);
// A file that is no plug-in.
QString writeGarbage(const QDir& dir, const QString& name);
