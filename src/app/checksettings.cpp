#include "app/checksettings.h"

#include "app/settingsstorage.h"
#include "formats/settingscodec.h"
#include "platform/runtimeerror.h"

SettingsCheck checkSettingsFile(const QString& path)
{
    const SettingsFileRead read = readSettingsBytes(path);
    switch (read.status) {
    case SettingsFileRead::Status::Missing:
        return {false, path + QStringLiteral(": ファイルがありません。")};
    case SettingsFileRead::Status::Failed: {
        const platform::RuntimeError error(read.errorNumber);
        return {false, path + QStringLiteral(": 読めません（エラー %1: %2）")
                                  .arg(error.number())
                                  .arg(error.description())};
    }
    case SettingsFileRead::Status::Read:
        break;
    }
    SettingsRecords records;
    if (!decodeSettings(read.bytes, records))
        return {false,
                path + QStringLiteral(": %1 バイトで途切れています。").arg(read.bytes.size())};
    return {true, path + QStringLiteral(": 読み込めます（%1 バイト）。").arg(read.bytes.size())};
}
