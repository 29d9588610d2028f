#include "optiontable.h"

#include <limits>

namespace formats
{

namespace
{

constexpr int Int16Low = std::numeric_limits<qint16>::min();
constexpr int Int16High = std::numeric_limits<qint16>::max();

// The range of a settings-file option of each kind, from its list length where it has one.
constexpr int lowOf(OptionKind kind)
{
    return kind == OptionKind::List ? -1 : (kind == OptionKind::Check ? 0 : Int16Low);
}

constexpr int highOf(OptionKind kind, int listLength)
{
    switch (kind) {
    case OptionKind::List:
        return listLength - 1;
    case OptionKind::Check:
        return 2;
    default:
        return Int16High;
    }
}

#define FARE_FILE_ROW(Name, accessor, kind, defaultValue, listLength)                              \
    OptionDeclaration{OptionId::Name,                                                              \
                      #Name,                                                                       \
                      OptionKind::kind,                                                            \
                      OptionStore::SettingsFile,                                                   \
                      lowOf(OptionKind::kind),                                                     \
                      highOf(OptionKind::kind, listLength),                                        \
                      nullptr},
#define FARE_PREFERENCE_ROW(Name, accessor, kind, defaultValue, low, high, key)                    \
    OptionDeclaration{OptionId::Name, #Name, OptionKind::kind, OptionStore::Preferences, low,      \
                      high,           key},

constexpr std::array<OptionDeclaration, OptionCount> Table = {
    {FARE_FILE_OPTIONS(FARE_FILE_ROW) FARE_PREFERENCE_OPTIONS(FARE_PREFERENCE_ROW)}};

#undef FARE_PREFERENCE_ROW
#undef FARE_FILE_ROW

// The table's order is the ids' order, and the settings file's options come first.
constexpr bool tableInOrder()
{
    for (int i = 0; i < static_cast<int>(Table.size()); ++i) {
        if (static_cast<int>(Table[i].id) != i)
            return false;
        if ((i < SettingsFileOptionCount) != (Table[i].store == OptionStore::SettingsFile))
            return false;
    }
    return true;
}
static_assert(tableInOrder());

int indexOf(OptionId id)
{
    return static_cast<int>(id);
}

// The file's type of an option's value.
OptionFileValue emptyFileValue(OptionKind kind)
{
    switch (kind) {
    case OptionKind::Text:
    case OptionKind::Path:
        return QString();
    case OptionKind::Color:
        return qint32(0);
    default:
        return qint16(0);
    }
}

} // namespace

const std::array<OptionDeclaration, OptionCount>& optionTable()
{
    return Table;
}

const OptionDeclaration& optionRow(OptionId id)
{
    return Table[indexOf(id)];
}

bool optionByName(const QString& name, OptionId* id)
{
    for (const OptionDeclaration& row : Table) {
        if (name == QLatin1String(row.name)) {
            *id = row.id;
            return true;
        }
    }
    return false;
}

OptionFileValues::OptionFileValues()
{
    for (const OptionDeclaration& row : Table) {
        if (row.store == OptionStore::SettingsFile)
            values_[indexOf(row.id)] = emptyFileValue(row.kind);
    }
}

const OptionFileValue& OptionFileValues::operator[](OptionId id) const
{
    return values_.at(indexOf(id));
}

OptionFileValue& OptionFileValues::field(OptionId id)
{
    return values_.at(indexOf(id));
}

void OptionFileValues::set(OptionId id, qint64 number)
{
    OptionFileValue& value = field(id);
    if (std::holds_alternative<qint16>(value))
        value = static_cast<qint16>(number);
    else if (std::holds_alternative<qint32>(value))
        value = static_cast<qint32>(number);
}

void OptionFileValues::set(OptionId id, const QString& text)
{
    OptionFileValue& value = field(id);
    if (std::holds_alternative<QString>(value))
        value = text;
}

QString OptionFileValues::text(OptionId id) const
{
    const OptionFileValue& value = (*this)[id];
    return std::holds_alternative<QString>(value) ? std::get<QString>(value) : QString();
}

qint32 OptionFileValues::number(OptionId id) const
{
    const OptionFileValue& value = (*this)[id];
    if (std::holds_alternative<qint16>(value))
        return std::get<qint16>(value);
    return std::holds_alternative<qint32>(value) ? std::get<qint32>(value) : 0;
}

} // namespace formats
