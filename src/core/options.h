#pragma once

#include "core/modes.h"
#include "formats/optiontable.h"
#include "platform/bgrcolor.h"

#include <QObject>
#include <QString>
#include <QVariant>
#include <array>
#include <vector>

class QSettings;

namespace core
{

// The table of every option and the settings file's values live with the file formats, so
// that the settings codec needs no model; the model's code names them here as before.
using formats::optionByName;
using formats::OptionCount;
using formats::OptionDeclaration;
using formats::OptionFileValue;
using formats::OptionFileValues;
using formats::OptionId;
using formats::OptionKind;
using formats::optionRow;
using formats::OptionStore;
using formats::optionTable;
using formats::SettingsFileOptionCount;

// The value type of each kind, for the typed accessors.
template <OptionKind> struct OptionType;
template <> struct OptionType<OptionKind::Text> {
    using type = QString;
};
template <> struct OptionType<OptionKind::Path> {
    using type = QString;
};
template <> struct OptionType<OptionKind::Check> {
    using type = int;
};
template <> struct OptionType<OptionKind::List> {
    using type = int;
};
template <> struct OptionType<OptionKind::Choice> {
    using type = bool;
};
template <> struct OptionType<OptionKind::Color> {
    using type = platform::BgrColor;
};
template <> struct OptionType<OptionKind::Number> {
    using type = int;
};

// A check box's value as a switch: 1, or the greyed 2 a settings file may hold, is on.
constexpr bool isOn(int checkValue)
{
    return checkValue != 0;
}

// A value of the settings file that its option cannot take.
struct RefusedValue {
    QString field; // the option's name
    int value = 0;
};

// The options of the running program: the one store every window reads and the options
// dialog edits live. Values outside an option's range are refused, so the store never holds
// what its control cannot show.
class Options : public QObject
{
    Q_OBJECT
public:
    explicit Options(QObject* parent = nullptr);

    // Every option back to its default; changed() for each that moved.
    void resetToDefaults();
    // The same for the options kept in one place only.
    void resetToDefaults(OptionStore store);
    // What the program starts with before any settings file: ticket-number labels shown,
    // their OFF colour white and ON1/ON2 light green.
    void applyStartupDefaults();

    // Generic access: a QString (Text), an int (Check, List, Number), a bool (Choice) or an
    // int (Color). setValue() refuses a value of the wrong type or outside the option's range
    // and returns false, changing nothing; an equal value changes nothing and returns true.
    QVariant value(OptionId id) const;
    bool setValue(OptionId id, const QVariant& value);
    static QVariant defaultValue(OptionId id);
    // True when setValue() would take the value.
    static bool accepts(OptionId id, const QVariant& value);

    // The value as the settings file holds it: a Choice as -1 / 0, the rest as they are.
    // setFileValue() reads any non-zero Choice as selected and refuses what setValue() does.
    QVariant fileValue(OptionId id) const;
    bool setFileValue(OptionId id, const QVariant& value);

    // The settings file's options as the file carries them.
    OptionFileValues fileValues() const;
    // Puts the present value into every field of `values` that its option refuses and returns
    // those fields with the values they had, in the file's order: one bad value then costs
    // that field alone.
    std::vector<RefusedValue> replaceRefused(OptionFileValues& values) const;
    // Takes every value of the settings file that its option accepts (setFileValue()).
    void setFileValues(const OptionFileValues& values);

    // The preferences kept beside the settings file. A missing or out-of-range key keeps its
    // present value; keys of other options and groups are left alone.
    void readPreferences(const QSettings& ini);
    void writePreferences(QSettings& ini) const;

#define FARE_OPTION_ACCESSORS(Name, accessor, kind, ...)                                           \
    OptionType<OptionKind::kind>::type accessor() const                                            \
    {                                                                                              \
        return value(OptionId::Name).value<OptionType<OptionKind::kind>::type>();                  \
    }                                                                                              \
    bool set##Name(const OptionType<OptionKind::kind>::type& v)                                    \
    {                                                                                              \
        return setValue(OptionId::Name, QVariant::fromValue(v));                                   \
    }
#define FARE_PREFERENCE_ACCESSORS(Name, accessor, kind, ...)                                       \
    FARE_OPTION_ACCESSORS(Name, accessor, kind)
    FARE_FILE_OPTIONS(FARE_OPTION_ACCESSORS)
    FARE_PREFERENCE_OPTIONS(FARE_PREFERENCE_ACCESSORS)
#undef FARE_PREFERENCE_ACCESSORS
#undef FARE_OPTION_ACCESSORS

    // The options that follow the backlight: the ticket numbers' colour, whether the panel
    // shows the user's picture rather than the built-in one, and that picture's file.
    platform::BgrColor ticketColor(Backlight state) const;
    bool panelUser(Backlight state) const;
    QString panelPicture(Backlight state) const;

    // How the numbered ticket gets its date; a fixed date wins over the route setting's.
    TicketDateMode ticketDateMode() const;

    // The sound a data value 1..3 chooses: a step sound, or a pre-broadcast sound. Any other
    // value chooses none (empty).
    QString stepSound(int value) const;
    QString preBroadcastSound(int value) const;

signals:
    void changed(core::OptionId id);

private:
    std::array<QVariant, OptionCount> values_;
};

} // namespace core
