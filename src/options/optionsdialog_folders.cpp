// The options dialog's page of the fare data and broadcast data folders.
#include "dialogs/pickers.h"
#include "options/optionsdialog.h"
#include "options/pagecontrols.h"
#include "platform/msgbox.h"
#include "platform/shell.h"

#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>

using namespace pagecontrols;

void OptionsDialog::buildFoldersPage(QGroupBox* page)
{
    fareDataFolderEdit_ =
        addFolderRow(page, 30, QStringLiteral("運賃データ(*.hy3)のあるフォルダー："),
                     QStringLiteral("上記運賃データの場所をエクスプローラで開く"),
                     QStringLiteral("fareDataFolder"));
    broadcastDataFolderEdit_ =
        addFolderRow(page, 130, QStringLiteral("放送用データ(*****Tp.csv)のあるフォルダー："),
                     QStringLiteral("上記放送用データの場所をエクスプローラで開く"),
                     QStringLiteral("broadcastDataFolder"));
    QPushButton* import = button(page, QStringLiteral("路線データの取り込み..."), 14, 230, 200, 24);
    import->setObjectName(QStringLiteral("routeImportButton"));
    connect(import, &QAbstractButton::clicked, this, &OptionsDialog::routeImportRequested);
}

// A folder's caption, its text box, the "..." picker and the button that opens the folder.
QLineEdit* OptionsDialog::addFolderRow(QGroupBox* page, int y, const QString& caption,
                                       const QString& openCaption, const QString& name)
{
    label(page, caption, 14, y, 470, 18);
    QLineEdit* edit = textBox(page, 14, y + 20, 440);
    edit->setObjectName(name + QStringLiteral("Edit"));
    QPushButton* pick = button(page, QStringLiteral("..."), 458, y + 20, 36, 21);
    pick->setObjectName(name + QStringLiteral("PickButton"));
    QPushButton* open = button(page, openCaption, 14, y + 48, 300, 24);
    open->setObjectName(name + QStringLiteral("OpenButton"));
    connect(pick, &QAbstractButton::clicked, this, [this, edit] { onFolderPickClicked(edit); });
    connect(open, &QAbstractButton::clicked, this, [this, edit] {
        const QString folder = edit->text();
        const platform::FolderOpening result = platform::openFolderInFileManager(folder);
        if (result != platform::FolderOpening::Opened)
            boxes_.show(platform::folderOpeningMessage(result, folder),
                        platform::MessageBox::OKOnly | platform::MessageBox::Exclamation, QString(),
                        this);
    });
    return edit;
}

QString OptionsDialog::askForFolder()
{
    return pickers_->pickFolder(this, QStringLiteral("フォルダーを選択してください"));
}

void OptionsDialog::onFolderPickClicked(QLineEdit* edit)
{
    const QString folder = askForFolder();
    if (!folder.isEmpty())
        edit->setText(folder);
}

void OptionsDialog::setFareDataFolder(const QString& folder)
{
    fareDataFolderEdit_->setText(folder);
}

void OptionsDialog::setBroadcastDataFolder(const QString& folder)
{
    broadcastDataFolderEdit_->setText(folder);
}
