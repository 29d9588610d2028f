#pragma once

#include "options/controlpanellink.h"
#include "support/standindisplay.h"

#include <QComboBox>
#include <QDir>
#include <QString>
#include <QTemporaryDir>
#include <map>
#include <vector>

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
