#pragma once

#include <QString>
#include <QStringList>

// What the command line asks of fare.
struct CommandLine {
    enum class Action { Run, ShowHelp, ShowVersion, CheckSettings, Fail };
    Action action = Action::Run;
    // --settings FILE, absolute; empty: the usual place. With --check-settings FILE (not in
    // the help: for scripts that check what an exit left), the file to check.
    QString settingsPath;
    QString dataFolder; // --data DIR, absolute; empty: the options' folders
    QString message;    // the help or version text, or what is wrong (ends in a newline)
};

// Parses the arguments, the program's name first. Qt's own options (-platform, -style, ...)
// are let through for QApplication. Needs no application object, so that --help and
// --version answer without a display.
CommandLine parseCommandLine(const QStringList& arguments);
