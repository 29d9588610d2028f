#include "support/scriptedpickers.h"

namespace testsupport
{

QString ScriptedPickers::pickFile(QWidget*, int flags, const QByteArray& filter,
                                  const QString& initialFolder, const QString& title)
{
    fileCalls.push_back({flags, filter, initialFolder, title});
    if (fileAnswers.empty())
        return QString();
    QString answer = fileAnswers.front();
    fileAnswers.pop_front();
    return answer;
}

QString ScriptedPickers::pickFolder(QWidget*, const QString& title)
{
    folderTitles.push_back(title);
    if (folderAnswers.empty())
        return QString();
    QString answer = folderAnswers.front();
    folderAnswers.pop_front();
    return answer;
}

int ScriptedPickers::pickColor(QWidget*, platform::BgrColor& color, CustomColorTable& customColors)
{
    colorsOffered.push_back(color);
    customColorsOffered.push_back(customColors);
    if (customColorsLeft)
        customColors = *customColorsLeft;
    if (colorAnswers.empty())
        return 0;
    const std::optional<platform::BgrColor> answer = colorAnswers.front();
    colorAnswers.pop_front();
    if (!answer)
        return 0;
    color = *answer;
    return 1;
}

std::optional<QDate> ScriptedPickers::pickDate(QWidget*, const QDate& shown)
{
    datesOffered.push_back(shown);
    if (dateAnswers.empty())
        return std::nullopt;
    const std::optional<QDate> answer = dateAnswers.front();
    dateAnswers.pop_front();
    if (!answer || !answer->isValid())
        return std::nullopt;
    return answer;
}

} // namespace testsupport
