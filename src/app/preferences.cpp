#include "preferences.h"

#include "platform/cp932.h"
#include "platform/runtimeerror.h"

#include <QFileInfo>
#include <QSettings>
#include <utility>
#include <vector>

namespace
{

// Ours stay far below this; a larger file is not read, nor merged into when writing.
constexpr qint64 MaxPreferencesBytes = 64 * 1024;

const QString PathsGroup = QStringLiteral("Paths");

// Every option that names a folder or a file, by the field name the file keys it with.
std::vector<std::pair<QString, QString*>> pathFields(OptionInfo& o)
{
    OptionPanel& p = o.Panel;
    OptionSounds& s = o.Sounds;
    return {
        {QStringLiteral("FareDataFolder"), &o.Folders.FareDataFolder},
        {QStringLiteral("BroadcastDataFolder"), &o.Folders.BroadcastDataFolder},
        {QStringLiteral("PanelOffPicture"), &p.PanelOffPicture},
        {QStringLiteral("PanelOn1Picture"), &p.PanelOn1Picture},
        {QStringLiteral("PanelOn2Picture"), &p.PanelOn2Picture},
        {QStringLiteral("RouteSetSound"), &s.RouteSetSound},
        {QStringLiteral("ResetSound"), &s.ResetSound},
        {QStringLiteral("StepSoundFile"), &s.StepSoundFile},
        {QStringLiteral("StepSound1"), &s.StepSound1},
        {QStringLiteral("StepSound2"), &s.StepSound2},
        {QStringLiteral("StepSound3"), &s.StepSound3},
        {QStringLiteral("PreBroadcastFile"), &s.PreBroadcastFile},
        {QStringLiteral("PreBroadcastSound1"), &s.PreBroadcastSound1},
        {QStringLiteral("PreBroadcastSound2"), &s.PreBroadcastSound2},
        {QStringLiteral("PreBroadcastSound3"), &s.PreBroadcastSound3},
        {QStringLiteral("TicketPluginPath"), &o.Ticket.TicketPluginPath},
    };
}

// A regular file small enough to be ours, or nothing at all.
enum class FileKind { Absent, Ours, Other };

FileKind kindOf(const QString& path)
{
    const QFileInfo info(path);
    if (!info.exists())
        return info.isSymLink() ? FileKind::Other : FileKind::Absent;
    return info.isFile() && info.size() <= MaxPreferencesBytes ? FileKind::Ours : FileKind::Other;
}

} // namespace

QString Preferences::pathFor(const QString& settingsPath)
{
    const QString in4 = QStringLiteral(".in4");
    if (settingsPath.endsWith(in4, Qt::CaseInsensitive))
        return settingsPath.chopped(in4.size()) + QStringLiteral(".ini");
    return settingsPath + QStringLiteral(".ini");
}

Preferences::Preferences(const QString& path) : path_(path) {}

speech::SpeechSettings Preferences::speechSettings() const
{
    return {values_.speechRate(), values_.speechPitch(), values_.speechVolume()};
}

void Preferences::setSpeechSettings(const speech::SpeechSettings& settings)
{
    const speech::SpeechSettings clamped = settings.clamped();
    values_.setSpeechRate(clamped.rate);
    values_.setSpeechPitch(clamped.pitch);
    values_.setSpeechVolume(clamped.volume);
}

bool Preferences::setDisplayZoom(int zoom)
{
    return values_.setDisplayZoom(zoom);
}

bool Preferences::holdsPreferenceApartFromItsDefault() const
{
    for (const core::OptionDeclaration& row : core::optionTable()) {
        if (row.store == core::OptionStore::Preferences &&
            values_.value(row.id) != core::Options::defaultValue(row.id))
            return true;
    }
    return false;
}

void Preferences::load()
{
    values_.resetToDefaults();
    exactPaths_.clear();
    // A pipe would block the read; a device or a huge file is no preferences file.
    if (kindOf(path_) != FileKind::Ours)
        return;
    const QSettings ini(path_, QSettings::IniFormat);
    if (ini.status() != QSettings::NoError)
        return;
    values_.readPreferences(ini);
    OptionInfo names;
    for (const auto& [field, unused] : pathFields(names)) {
        const QVariant value = ini.value(PathsGroup + u'/' + field);
        if (value.typeId() == QMetaType::QString)
            exactPaths_.insert(field, value.toString());
    }
}

bool Preferences::save(int* errorNumber) const
{
    const auto fail = [errorNumber](int number) {
        if (errorNumber != nullptr)
            *errorNumber = number;
        return false;
    };
    // Whatever else is there is not ours to replace.
    if (kindOf(path_) == FileKind::Other)
        return fail(platform::ErrorNumber::PathFileAccess);
    QSettings ini(path_, QSettings::IniFormat);
    if (ini.status() != QSettings::NoError)
        return fail(platform::ErrorNumber::DeviceIo);
    ini.remove(PathsGroup);
    for (auto it = exactPaths_.cbegin(); it != exactPaths_.cend(); ++it)
        ini.setValue(PathsGroup + u'/' + it.key(), it.value());
    values_.writePreferences(ini);
    ini.sync();
    switch (ini.status()) {
    case QSettings::NoError:
        return true;
    case QSettings::AccessError:
        return fail(platform::ErrorNumber::PermissionDenied);
    default:
        return fail(platform::ErrorNumber::DeviceIo);
    }
}

bool Preferences::holdsMoreThanTheSettingsFile() const
{
    return !exactPaths_.isEmpty() || holdsPreferenceApartFromItsDefault();
}

void Preferences::keepExactPaths(const OptionInfo& options)
{
    exactPaths_.clear();
    OptionInfo copy = options;
    for (const auto& [field, path] : pathFields(copy)) {
        if (!platform::survivesCp932(*path))
            exactPaths_.insert(field, *path);
    }
}

void Preferences::restoreExactPaths(OptionInfo& options) const
{
    for (const auto& [field, path] : pathFields(options)) {
        const auto exact = exactPaths_.constFind(field);
        // The settings file holds what CP932 can say of a path; where that is all it has of
        // the exact one, the exact one is the user's.
        if (exact != exactPaths_.cend() && platform::toCp932(*exact) == platform::toCp932(*path))
            *path = *exact;
    }
}
