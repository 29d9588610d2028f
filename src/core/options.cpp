#include "options.h"

#include <QDate>
#include <QSettings>
#include <limits>

namespace core
{

namespace
{

// The fixed ticket date starts as the day the options are made, "yyyy/mm/dd".
QString today()
{
    return QDate::currentDate().toString(QStringLiteral("yyyy/MM/dd"));
}

std::array<QVariant, OptionCount> defaults()
{
#define FARE_FILE_DEFAULT(Name, accessor, kind, defaultValue, ...)                                 \
    QVariant::fromValue(OptionType<OptionKind::kind>::type(defaultValue)),
#define FARE_PREFERENCE_DEFAULT(Name, accessor, kind, defaultValue, ...)                           \
    QVariant::fromValue(OptionType<OptionKind::kind>::type(defaultValue)),
    std::array<QVariant, OptionCount> values = {
        {FARE_FILE_OPTIONS(FARE_FILE_DEFAULT) FARE_PREFERENCE_OPTIONS(FARE_PREFERENCE_DEFAULT)}};
    values[static_cast<int>(OptionId::FixedDate)] = today();
    return values;
#undef FARE_PREFERENCE_DEFAULT
#undef FARE_FILE_DEFAULT
}

int indexOf(OptionId id)
{
    return static_cast<int>(id);
}

bool isInteger(const QVariant& value)
{
    switch (value.typeId()) {
    case QMetaType::Short:
    case QMetaType::UShort:
    case QMetaType::Int:
    case QMetaType::UInt:
    case QMetaType::Long:
    case QMetaType::LongLong:
    case QMetaType::ULongLong:
        return true;
    default:
        return false;
    }
}

// The value converted to the option's type, or an invalid QVariant when it has another type.
QVariant typed(const OptionDeclaration& row, const QVariant& value)
{
    if (row.kind == OptionKind::Text || row.kind == OptionKind::Path)
        return value.typeId() == QMetaType::QString ? value : QVariant();
    if (row.kind == OptionKind::Choice)
        return value.typeId() == QMetaType::Bool ? value : QVariant();
    if (!isInteger(value))
        return QVariant();
    const qlonglong number = value.toLongLong();
    if (row.kind == OptionKind::Color)
        return number >= std::numeric_limits<qint32>::min() &&
                       number <= std::numeric_limits<qint32>::max()
                   ? QVariant::fromValue(static_cast<platform::BgrColor>(number))
                   : QVariant();
    return number >= row.low && number <= row.high ? QVariant(static_cast<int>(number))
                                                   : QVariant();
}

bool inFile(const OptionDeclaration& row)
{
    return row.store == OptionStore::SettingsFile;
}

QVariant toVariant(const OptionFileValue& value)
{
    return std::visit([](const auto& v) { return QVariant::fromValue(v); }, value);
}

} // namespace

Options::Options(QObject* parent) : QObject(parent), values_(defaults()) {}

void Options::resetToDefaults()
{
    for (const OptionDeclaration& row : optionTable())
        setValue(row.id, defaultValue(row.id));
}

void Options::resetToDefaults(OptionStore store)
{
    for (const OptionDeclaration& row : optionTable()) {
        if (row.store == store)
            setValue(row.id, defaultValue(row.id));
    }
}

void Options::applyStartupDefaults()
{
    setAutoTicketNumbers(1);
    setTicketColorOff(platform::RGB(255, 255, 255));
    setTicketColorOn1(platform::RGB(192, 255, 192));
    setTicketColorOn2(platform::RGB(192, 255, 192));
}

QVariant Options::value(OptionId id) const
{
    return values_[indexOf(id)];
}

QVariant Options::defaultValue(OptionId id)
{
    return defaults()[indexOf(id)];
}

bool Options::accepts(OptionId id, const QVariant& value)
{
    return typed(optionRow(id), value).isValid();
}

bool Options::setValue(OptionId id, const QVariant& value)
{
    const QVariant checked = typed(optionRow(id), value);
    if (!checked.isValid())
        return false;
    QVariant& held = values_[indexOf(id)];
    if (held == checked)
        return true;
    held = checked;
    emit changed(id);
    return true;
}

QVariant Options::fileValue(OptionId id) const
{
    if (optionRow(id).kind == OptionKind::Choice)
        return QVariant(value(id).toBool() ? -1 : 0);
    return value(id);
}

bool Options::setFileValue(OptionId id, const QVariant& value)
{
    if (optionRow(id).kind == OptionKind::Choice && value.typeId() != QMetaType::Bool) {
        bool ok = false;
        const int number = value.toInt(&ok);
        return ok && setValue(id, number != 0);
    }
    return setValue(id, value);
}

OptionFileValues Options::fileValues() const
{
    OptionFileValues values;
    for (const OptionDeclaration& row : optionTable()) {
        if (!inFile(row))
            break;
        const QVariant value = fileValue(row.id);
        if (row.kind == OptionKind::Text || row.kind == OptionKind::Path)
            values.set(row.id, value.toString());
        else
            values.set(row.id, value.toLongLong());
    }
    return values;
}

namespace
{

// A choice takes any number; the rest what setValue() takes.
bool acceptsFileValue(const OptionDeclaration& row, const QVariant& value)
{
    return row.kind == OptionKind::Choice || Options::accepts(row.id, value);
}

} // namespace

std::vector<RefusedValue> Options::replaceRefused(OptionFileValues& values) const
{
    std::vector<RefusedValue> refused;
    const OptionFileValues present = fileValues();
    for (const OptionDeclaration& row : optionTable()) {
        if (!inFile(row))
            break;
        if (acceptsFileValue(row, toVariant(values[row.id])))
            continue;
        refused.push_back({QString::fromLatin1(row.name), values.number(row.id)});
        values.field(row.id) = present[row.id];
    }
    return refused;
}

void Options::setFileValues(const OptionFileValues& values)
{
    for (const OptionDeclaration& row : optionTable()) {
        if (!inFile(row))
            break;
        setFileValue(row.id, toVariant(values[row.id]));
    }
}

void Options::readPreferences(const QSettings& ini)
{
    for (const OptionDeclaration& row : optionTable()) {
        if (row.store != OptionStore::Preferences)
            continue;
        const QVariant stored = ini.value(QLatin1String(row.preferencesKey));
        if (row.kind == OptionKind::Text) {
            if (stored.isValid())
                setValue(row.id, stored.toString());
            continue;
        }
        bool ok = false;
        const int number = stored.toString().trimmed().toInt(&ok);
        if (ok)
            setValue(row.id, number);
    }
}

void Options::writePreferences(QSettings& ini) const
{
    for (const OptionDeclaration& row : optionTable()) {
        if (row.store == OptionStore::Preferences)
            ini.setValue(QLatin1String(row.preferencesKey), value(row.id));
    }
}

platform::BgrColor Options::ticketColor(Backlight state) const
{
    switch (state) {
    case Backlight::On1:
        return ticketColorOn1();
    case Backlight::On2:
        return ticketColorOn2();
    case Backlight::Off:
        break;
    }
    return ticketColorOff();
}

bool Options::panelUser(Backlight state) const
{
    switch (state) {
    case Backlight::On1:
        return panelOn1User();
    case Backlight::On2:
        return panelOn2User();
    case Backlight::Off:
        break;
    }
    return panelOffUser();
}

QString Options::panelPicture(Backlight state) const
{
    switch (state) {
    case Backlight::On1:
        return panelOn1Picture();
    case Backlight::On2:
        return panelOn2Picture();
    case Backlight::Off:
        break;
    }
    return panelOffPicture();
}

TicketDateMode Options::ticketDateMode() const
{
    if (dateFixed())
        return TicketDateMode::Fixed;
    if (dateAtRouteSet())
        return TicketDateMode::AtRouteSet;
    return TicketDateMode::EachPrint;
}

QString Options::stepSound(int value) const
{
    switch (value) {
    case 1:
        return stepSound1();
    case 2:
        return stepSound2();
    case 3:
        return stepSound3();
    default:
        return QString();
    }
}

QString Options::preBroadcastSound(int value) const
{
    switch (value) {
    case 1:
        return preBroadcastSound1();
    case 2:
        return preBroadcastSound2();
    case 3:
        return preBroadcastSound3();
    default:
        return QString();
    }
}

} // namespace core
