// The paths of the options that the settings file cannot keep: it stores them in CP932, so a
// character without a CP932 form comes back as "?" at the next start.
#include "options/optionsdialog.h"

#include "platform/msgbox.h"

#include <QLineEdit>

std::vector<NamedPath> OptionsDialog::storedPaths() const
{
    std::vector<NamedPath> paths = {
        {QStringLiteral("運賃データのフォルダー"), fareDataFolderEdit_->text()},
        {QStringLiteral("放送用データのフォルダー"), broadcastDataFolderEdit_->text()},
        {QStringLiteral("バックライトOFF時の画像"), panelPictureEdits_[0]->text()},
        {QStringLiteral("ON1の画像"), panelPictureEdits_[1]->text()},
        {QStringLiteral("ON2の画像"), panelPictureEdits_[2]->text()},
        {QStringLiteral("系統設定時のサウンド"), routeSetSoundEdit_->text()},
        {QStringLiteral("リセット時のサウンド"), resetSoundEdit_->text()},
    };
    const auto addGroup = [&paths](const QString& field, QLineEdit* always,
                                   const std::array<QLineEdit*, 3>& byNumber) {
        paths.push_back({field, always->text()});
        for (int n = 1; n <= 3; ++n)
            paths.push_back({field + QStringLiteral("「%1」").arg(n), byNumber[n - 1]->text()});
    };
    addGroup(QStringLiteral("送り・戻し時のサウンド"), stepSoundFileEdit_,
             {stepSound1Edit_, stepSound2Edit_, stepSound3Edit_});
    addGroup(QStringLiteral("放送前のサウンド"), preBroadcastFileEdit_,
             {preBroadcastSound1Edit_, preBroadcastSound2Edit_, preBroadcastSound3Edit_});
    paths.push_back({QStringLiteral("整理券プラグイン"), pluginPathEdit_->text()});
    return paths;
}

void OptionsDialog::warnAboutPathsThatCannotBeStored()
{
    const QStringList lines = pathsThatCannotBeStored(storedPaths());
    // Said once for the same paths: the user who keeps them knows.
    if (lines.isEmpty() || lines == lastPathWarning_) {
        lastPathWarning_ = lines;
        return;
    }
    lastPathWarning_ = lines;
    platform::showMessageBox(unstorablePathsMessage(lines),
                             platform::MessageBox::OKOnly | platform::MessageBox::Exclamation,
                             QString(), this);
}
