#pragma once

#include "platform/bgrcolor.h"

#include <QString>
#include <array>
#include <cstdint>
#include <variant>

// The options as the files keep them: which there are, in which order the settings file holds
// them, of which kind and range, and the settings file's values before any range check. The
// options model (core::Options) builds its typed accessors on this same table, so that the
// codec below the model and the model itself cannot disagree on a field.
namespace formats
{

// How an option is held, and so what it may take:
// - Text: any text.
// - Path: a folder or a file; any text, kept exactly beside the settings file when its
//   characters do not survive the file's encoding.
// - Check: a check box, 0 off, 1 on, 2 greyed.
// - List: a list position, -1 (none) .. length - 1.
// - Choice: one button of a group of option buttons; the settings file writes -1 for the
//   selected button and 0 for the others, and reads any non-zero value as selected.
// - Color: a colour 0x00BBGGRR, any 32-bit value.
// - Number: a number low .. high.
enum class OptionKind : std::uint8_t { Text, Path, Check, List, Choice, Color, Number };

// Every option, declared once. The settings file's options are listed in the file's order,
// by the names its field list gives them:
//   X(Name, accessor, kind, default, list length (List) or 0)
// The desktop's own preferences, kept in the INI file beside it under "Group/Key", each a
// Number (low .. high), a Check (a switch, low 0 .. high 1) or a Text (low and high unused):
//   P(Name, accessor, kind, default, low, high, "Group/Key")
// Adding an option: a line here, the control that edits it (optionbinding.cpp) and the code
// that uses it.
#define FARE_FILE_OPTIONS(X)                                                                       \
    X(FareDataFolder, fareDataFolder, Path, QString(), 0)                                          \
    X(BroadcastDataFolder, broadcastDataFolder, Path, QString(), 0)                                \
    X(AutoTicketNumbers, autoTicketNumbers, Check, 1, 0)                                           \
    X(TicketColorOff, ticketColorOff, Color, platform::RGB(255, 255, 255), 0)                      \
    X(TicketColorOn1, ticketColorOn1, Color, platform::RGB(192, 255, 192), 0)                      \
    X(TicketColorOn2, ticketColorOn2, Color, platform::RGB(192, 255, 192), 0)                      \
    X(TicketNumberMode, ticketNumberMode, List, 0, 12)                                             \
    X(TicketZeroPad, ticketZeroPad, Check, 0, 0)                                                   \
    X(PanelAuto, panelAuto, Choice, true, 0)                                                       \
    X(PanelIndividual, panelIndividual, Choice, false, 0)                                          \
    X(PanelOffBuiltin, panelOffBuiltin, Choice, true, 0)                                           \
    X(PanelOffUser, panelOffUser, Choice, false, 0)                                                \
    X(PanelOn1Builtin, panelOn1Builtin, Choice, true, 0)                                           \
    X(PanelOn1User, panelOn1User, Choice, false, 0)                                                \
    X(PanelOn2Builtin, panelOn2Builtin, Choice, true, 0)                                           \
    X(PanelOn2User, panelOn2User, Choice, false, 0)                                                \
    X(PanelOffPicture, panelOffPicture, Path, QString(), 0)                                        \
    X(PanelOn1Picture, panelOn1Picture, Path, QString(), 0)                                        \
    X(PanelOn2Picture, panelOn2Picture, Path, QString(), 0)                                        \
    X(DigitBackColor, digitBackColor, Color, platform::RGB(128, 128, 128), 0)                      \
    X(DigitUnlitColor, digitUnlitColor, Color, platform::RGB(150, 150, 150), 0)                    \
    X(DigitLitColor, digitLitColor, Color, platform::RGB(248, 210, 114), 0)                        \
    X(InfoStopOrderOn, infoStopOrderOn, Check, 0, 0)                                               \
    X(InfoStopOrderCell, infoStopOrderCell, List, 0, 12)                                           \
    X(InfoStopOrderFromZero, infoStopOrderFromZero, Check, 0, 0)                                   \
    X(InfoTicketOn, infoTicketOn, Check, 0, 0)                                                     \
    X(InfoTicketCell, infoTicketCell, List, 0, 12)                                                 \
    X(InfoRouteOn, infoRouteOn, Check, 0, 0)                                                       \
    X(InfoRouteCell, infoRouteCell, List, 0, 12)                                                   \
    X(InfoColumnOn, infoColumnOn, Check, 0, 0)                                                     \
    X(InfoColumn, infoColumn, List, 0, 150)                                                        \
    X(InfoColumnCell, infoColumnCell, List, 0, 12)                                                 \
    X(StopNameBackColor, stopNameBackColor, Color, platform::RGB(128, 128, 128), 0)                \
    X(StopNameForeColor, stopNameForeColor, Color, platform::RGB(255, 255, 0), 0)                  \
    X(StopNameFontMode, stopNameFontMode, List, -1, 5)                                             \
    X(StopNameBold, stopNameBold, Check, 0, 0)                                                     \
    X(NextStopMode, nextStopMode, List, -1, 3)                                                     \
    X(NextStopColor, nextStopColor, Color, platform::RGB(255, 255, 0), 0)                          \
    X(NextStopFontMode, nextStopFontMode, List, -1, 4)                                             \
    X(NextStopBold, nextStopBold, Check, 0, 0)                                                     \
    X(RouteSetSound, routeSetSound, Path, QString(), 0)                                            \
    X(ResetSound, resetSound, Path, QString(), 0)                                                  \
    X(StepSoundAlways, stepSoundAlways, Choice, true, 0)                                           \
    X(StepSoundByColumn, stepSoundByColumn, Choice, false, 0)                                      \
    X(StepSoundWait, stepSoundWait, Choice, false, 0)                                              \
    X(StepSoundNoWait, stepSoundNoWait, Choice, true, 0)                                           \
    X(StepSoundFile, stepSoundFile, Path, QString(), 0)                                            \
    X(StepSoundColumn, stepSoundColumn, List, 0, 150)                                              \
    X(StepSound1, stepSound1, Path, QString(), 0)                                                  \
    X(StepSound2, stepSound2, Path, QString(), 0)                                                  \
    X(StepSound3, stepSound3, Path, QString(), 0)                                                  \
    X(PreBroadcastAlways, preBroadcastAlways, Choice, true, 0)                                     \
    X(PreBroadcastByFlag, preBroadcastByFlag, Choice, false, 0)                                    \
    X(PreBroadcastWait, preBroadcastWait, Choice, true, 0)                                         \
    X(PreBroadcastNoWait, preBroadcastNoWait, Choice, false, 0)                                    \
    X(PreBroadcastFile, preBroadcastFile, Path, QString(), 0)                                      \
    X(PreBroadcastSound1, preBroadcastSound1, Path, QString(), 0)                                  \
    X(PreBroadcastSound2, preBroadcastSound2, Path, QString(), 0)                                  \
    X(PreBroadcastSound3, preBroadcastSound3, Path, QString(), 0)                                  \
    X(UseTicketPreview, useTicketPreview, Check, 0, 0)                                             \
    X(TicketPluginPath, ticketPluginPath, Path, QString(), 0)                                      \
    X(DateEachPrint, dateEachPrint, Choice, true, 0)                                               \
    X(DateAtRouteSet, dateAtRouteSet, Choice, false, 0)                                            \
    X(DateFixed, dateFixed, Choice, false, 0)                                                      \
    X(FixedDate, fixedDate, Text, QString(), 0) /* today when the options are made */

#define FARE_PREFERENCE_OPTIONS(P)                                                                 \
    P(SpeechRate, speechRate, Number, 175, 80, 450, "Speech/Rate")                                 \
    P(SpeechPitch, speechPitch, Number, 50, 0, 99, "Speech/Pitch")                                 \
    P(SpeechVolume, speechVolume, Number, 100, 0, 100, "Speech/Volume")                            \
    /* 1..4 times the window's size, or 0: the largest size the monitor holds */                   \
    P(DisplayZoom, displayZoom, Number, 1, 0, 4, "Display/Zoom")                                   \
    P(DisplayFullScreen, displayFullScreen, Check, 0, 0, 1, "Display/FullScreen")                  \
    /* QScreen::name() of the monitor; empty, or one not connected, is the primary monitor */      \
    P(DisplayMonitor, displayMonitor, Text, QString(), 0, 0, "Display/Monitor")

#define FARE_OPTION_ID(Name, ...) Name,
enum class OptionId : int {
    FARE_FILE_OPTIONS(FARE_OPTION_ID) FARE_PREFERENCE_OPTIONS(FARE_OPTION_ID)
};
#undef FARE_OPTION_ID

// Where an option is kept: in the settings file (at its place in the file's order) or in the
// preferences file beside it.
enum class OptionStore : std::uint8_t { SettingsFile, Preferences };

// One line of the table.
struct OptionDeclaration {
    OptionId id;
    const char* name; // as the settings file's field list names it
    OptionKind kind;
    OptionStore store;
    int low;                    // the lowest value a Check, List or Number takes
    int high;                   // the highest
    const char* preferencesKey; // "Group/Key" for the preferences, else nullptr
};

inline constexpr int SettingsFileOptionCount = 65;
inline constexpr int OptionCount = 71;

// The table in declaration order: the settings file's options in the file's order first.
const std::array<OptionDeclaration, OptionCount>& optionTable();
const OptionDeclaration& optionRow(OptionId id);
// The option of that name, or false.
bool optionByName(const QString& name, OptionId* id);

// The settings file's options as the file carries them, in the file's order, whatever their
// range: a 16-bit number (check box, list position, option button), a 32-bit colour or a text.
using OptionFileValue = std::variant<qint16, qint32, QString>;

class OptionFileValues
{
public:
    // Zeros and empty texts, each in its option's file type.
    OptionFileValues();

    const OptionFileValue& operator[](OptionId id) const;
    // For the codec: the value to read into, in its option's file type.
    OptionFileValue& field(OptionId id);
    // The value converted to its option's file type (a number to 16 or 32 bits, cut as the
    // file would cut it).
    void set(OptionId id, qint64 number);
    void set(OptionId id, const QString& text);
    QString text(OptionId id) const;
    qint32 number(OptionId id) const;

    friend bool operator==(const OptionFileValues&, const OptionFileValues&) = default;

private:
    std::array<OptionFileValue, SettingsFileOptionCount> values_;
};

} // namespace formats
