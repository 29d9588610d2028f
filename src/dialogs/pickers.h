#pragma once

#include "platform/bgrcolor.h"

#include <QByteArray>
#include <QDate>
#include <QString>
#include <QStringList>
#include <array>
#include <deque>
#include <optional>
#include <vector>

class QWidget;

// The date record of the date dialog, laid out as the Windows SYSTEMTIME.
struct SystemTime {
    qint16 year = 0;
    qint16 month = 0;
    qint16 dayOfWeek = 0; // 0 = Sunday
    qint16 day = 0;
    qint16 hour = 0;
    qint16 minute = 0;
    qint16 second = 0;
    qint16 milliseconds = 0;
};

// The custom colours of the colour picker: one table for the whole run, kept in the
// settings file.
using CustomColorTable = std::array<platform::BgrColor, 17>;
CustomColorTable& customColors();

// File picker. The filter is a list of CP932 description/pattern pairs, every item NUL-ended
// and the list closed by one more NUL. flags 0 picks an existing file. Empty when cancelled.
QString pickFile(QWidget* owner, int flags, const QByteArray& filter, const QString& initialFolder,
                 const QString& title);
// Folder picker; empty when cancelled.
QString pickFolder(QWidget* owner, const QString& title);
// Colour picker starting from color; the first 16 custom colours are offered and written
// back (the 17th is kept). Non-zero when a colour was chosen, which is then in color.
int pickColor(QWidget* owner, platform::BgrColor& color, CustomColorTable& customColors);
// Calendar; fills year, month, day (and day of week). Non-zero when a date was chosen.
int pickDate(QWidget* owner, SystemTime& date);

// Builds the NUL-separated CP932 filter list from description/pattern pairs.
QByteArray pickerFilter(const QStringList& descriptionsAndPatterns);
// Turns a NUL-separated filter list into Qt name filters ("description (*.a *.A)").
// Patterns are offered in both letter cases, since file names here are case-sensitive.
QStringList qtNameFilters(const QByteArray& filter);

// The pickers are the one interaction tests cannot click through: they go through this
// interface, real Qt dialogs unless a stand-in is installed.
class PickerBackend
{
public:
    virtual ~PickerBackend() = default;
    virtual QString pickFile(QWidget* owner, int flags, const QByteArray& filter,
                             const QString& initialFolder, const QString& title) = 0;
    virtual QString pickFolder(QWidget* owner, const QString& title) = 0;
    virtual int pickColor(QWidget* owner, platform::BgrColor& color,
                          CustomColorTable& customColors) = 0;
    virtual int pickDate(QWidget* owner, SystemTime& date) = 0;
};

// Installs pickers (not owned); nullptr restores the real dialogs.
void setPickerBackend(PickerBackend* pickers);
PickerBackend& pickerBackend();

// Scripted pickers for tests: answers are taken from the queues in order; an empty queue
// answers "cancelled". Every call is recorded. Installs itself for its lifetime.
class ScriptedPickers : public PickerBackend
{
public:
    struct FileCall {
        int flags = 0;
        QByteArray filter;
        QString initialFolder;
        QString title;
    };

    ScriptedPickers();
    ~ScriptedPickers() override;
    ScriptedPickers(const ScriptedPickers&) = delete;
    ScriptedPickers& operator=(const ScriptedPickers&) = delete;

    std::deque<QString> fileAnswers;
    std::deque<QString> folderAnswers;
    std::deque<std::optional<platform::BgrColor>> colorAnswers;
    std::deque<std::optional<QDate>> dateAnswers;

    std::vector<FileCall> fileCalls;
    std::vector<QString> folderTitles;
    std::vector<platform::BgrColor> colorsOffered;
    std::vector<SystemTime> datesOffered;

    QString pickFile(QWidget* owner, int flags, const QByteArray& filter,
                     const QString& initialFolder, const QString& title) override;
    QString pickFolder(QWidget* owner, const QString& title) override;
    int pickColor(QWidget* owner, platform::BgrColor& color,
                  CustomColorTable& customColors) override;
    int pickDate(QWidget* owner, SystemTime& date) override;
};
