#pragma once

#include "platform/bgrcolor.h"

#include <QByteArray>
#include <QDate>
#include <QString>
#include <QStringList>
#include <array>
#include <optional>

class QWidget;

// The custom colours of the colour picker, kept in the settings file.
using CustomColorTable = std::array<platform::BgrColor, 17>;

// Builds the NUL-separated CP932 filter list from description/pattern pairs.
QByteArray pickerFilter(const QStringList& descriptionsAndPatterns);
// Turns a NUL-separated filter list into Qt name filters ("description (*.a *.A)").
// Patterns are offered in both letter cases, since file names here are case-sensitive.
QStringList qtNameFilters(const QByteArray& filter);

// The pickers are the one interaction tests cannot click through: a window that picks gets
// them by constructor, real Qt dialogs (QtPickers) in the program and stand-ins in tests.
class Pickers
{
public:
    virtual ~Pickers() = default;
    // File picker. The filter is a list of CP932 description/pattern pairs, every item
    // NUL-ended and the list closed by one more NUL. flags 0 picks an existing file. Empty
    // when cancelled.
    virtual QString pickFile(QWidget* owner, int flags, const QByteArray& filter,
                             const QString& initialFolder, const QString& title) = 0;
    // Folder picker; empty when cancelled.
    virtual QString pickFolder(QWidget* owner, const QString& title) = 0;
    // Colour picker starting from color; the first 16 custom colours are offered and written
    // back (the 17th is kept). Non-zero when a colour was chosen, which is then in color.
    virtual int pickColor(QWidget* owner, platform::BgrColor& color,
                          CustomColorTable& customColors) = 0;
    // Calendar opened on shown (today when shown is not a valid date); the date chosen, or
    // none when cancelled.
    virtual std::optional<QDate> pickDate(QWidget* owner, const QDate& shown) = 0;
};

// The real dialogs.
class QtPickers : public Pickers
{
public:
    QString pickFile(QWidget* owner, int flags, const QByteArray& filter,
                     const QString& initialFolder, const QString& title) override;
    QString pickFolder(QWidget* owner, const QString& title) override;
    int pickColor(QWidget* owner, platform::BgrColor& color,
                  CustomColorTable& customColors) override;
    std::optional<QDate> pickDate(QWidget* owner, const QDate& shown) override;
};
