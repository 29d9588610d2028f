#pragma once

#include "core/modes.h"
#include "options/optionsdialog.h"
#include "support/standindisplay.h"

#include <QComboBox>
#include <QDir>
#include <QString>
#include <QTemporaryDir>
#include <map>
#include <vector>

// A control panel connected to the dialog and its plug-in choice as the program connects the
// real one, recording what their signals ask of it: each backlight re-apply (the state selected then),
// each preview size, and the company names in a list of its own.
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
                         &companies,
                         [this](const QStringList& names) {
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

// Writes a ticket plug-in with the given [Info] values (by index) and a layout that agrees
// with them; returns its path.
QString writePlugin(const QDir& dir, const QString& name, const std::map<int, int>& info);
// A file that is no plug-in.
QString writeGarbage(const QDir& dir, const QString& name);
