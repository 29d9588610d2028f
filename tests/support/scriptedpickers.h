#pragma once

#include "dialogs/pickers.h"

#include <deque>
#include <optional>
#include <vector>

namespace testsupport
{

// Scripted pickers: answers are taken from the queues in order; an empty queue answers
// "cancelled". Every call is recorded. Given to the window under test by constructor.
class ScriptedPickers : public Pickers
{
public:
    struct FileCall {
        int flags = 0;
        QByteArray filter;
        QString initialFolder;
        QString title;
    };

    std::deque<QString> fileAnswers;
    std::deque<QString> folderAnswers;
    std::deque<std::optional<platform::BgrColor>> colorAnswers;
    std::deque<std::optional<QDate>> dateAnswers;

    std::vector<FileCall> fileCalls;
    std::vector<QString> folderTitles;
    std::vector<platform::BgrColor> colorsOffered;
    std::vector<QDate> datesOffered;
    // The custom colours each colour picker was given, and what the user leaves in them.
    std::vector<CustomColorTable> customColorsOffered;
    std::optional<CustomColorTable> customColorsLeft;

    QString pickFile(QWidget* owner, int flags, const QByteArray& filter,
                     const QString& initialFolder, const QString& title) override;
    QString pickFolder(QWidget* owner, const QString& title) override;
    int pickColor(QWidget* owner, platform::BgrColor& color,
                  CustomColorTable& customColors) override;
    std::optional<QDate> pickDate(QWidget* owner, const QDate& shown) override;
};

} // namespace testsupport
