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

// Every option that names a folder or a file, in the table's order.
std::vector<core::OptionId> pathOptions()
{
    std::vector<core::OptionId> paths;
    for (const core::OptionDeclaration& row : core::optionTable()) {
        if (row.kind == core::OptionKind::Path)
            paths.push_back(row.id);
    }
    return paths;
}

QString nameOf(core::OptionId id)
{
    return QString::fromLatin1(core::optionRow(id).name);
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

Preferences::Preferences(const QString& path, core::Options& options)
    : path_(path), options_(options)
{
}

bool Preferences::holdsPreferenceApartFromItsDefault() const
{
    for (const core::OptionDeclaration& row : core::optionTable()) {
        if (row.store == core::OptionStore::Preferences &&
            options_.value(row.id) != core::Options::defaultValue(row.id))
            return true;
    }
    return false;
}

void Preferences::load()
{
    options_.resetToDefaults(core::OptionStore::Preferences);
    exactPaths_.clear();
    // A pipe would block the read; a device or a huge file is no preferences file.
    if (kindOf(path_) != FileKind::Ours)
        return;
    const QSettings ini(path_, QSettings::IniFormat);
    if (ini.status() != QSettings::NoError)
        return;
    options_.readPreferences(ini);
    for (const core::OptionId id : pathOptions()) {
        const QString field = nameOf(id);
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
    options_.writePreferences(ini);
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

void Preferences::keepExactPaths(const core::OptionFileValues& options)
{
    exactPaths_.clear();
    for (const core::OptionId id : pathOptions()) {
        const QString path = options.text(id);
        if (!platform::survivesCp932(path))
            exactPaths_.insert(nameOf(id), path);
    }
}

void Preferences::restoreExactPaths(core::OptionFileValues& options) const
{
    for (const core::OptionId id : pathOptions()) {
        const auto exact = exactPaths_.constFind(nameOf(id));
        // The settings file holds what CP932 can say of a path; where that is all it has of
        // the exact one, the exact one is the user's.
        if (exact != exactPaths_.cend() &&
            platform::toCp932(*exact) == platform::toCp932(options.text(id)))
            options.set(id, *exact);
    }
}
