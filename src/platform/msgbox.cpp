#include "msgbox.h"

#include <QCoreApplication>
#include <QMessageBox>
#include <QPushButton>

namespace platform
{
namespace
{

QMessageBox::Icon iconFor(int buttons)
{
    switch (buttons & 0x70) {
    case MessageBox::Critical:
        return QMessageBox::Critical;
    case MessageBox::Question:
        return QMessageBox::Question;
    case MessageBox::Exclamation:
        return QMessageBox::Warning;
    case MessageBox::Information:
        return QMessageBox::Information;
    default:
        return QMessageBox::NoIcon;
    }
}

int showDialog(const MessageBoxCall& call, QWidget* parent)
{
    QMessageBox box(iconFor(call.buttons), call.title, call.prompt, QMessageBox::NoButton, parent);
    if (!call.details.isEmpty())
        box.setDetailedText(call.details);
    switch (call.buttons & 0x0F) {
    case MessageBox::YesNo: {
        QPushButton* yes = box.addButton(QStringLiteral("はい(&Y)"), QMessageBox::YesRole);
        QPushButton* no = box.addButton(QStringLiteral("いいえ(&N)"), QMessageBox::NoRole);
        box.setDefaultButton(yes);
        box.setEscapeButton(no);
        box.exec();
        return box.clickedButton() == yes ? MessageBox::Yes : MessageBox::No;
    }
    case MessageBox::OKCancel: {
        QPushButton* ok = box.addButton(QStringLiteral("OK"), QMessageBox::AcceptRole);
        QPushButton* cancel = box.addButton(QStringLiteral("キャンセル"), QMessageBox::RejectRole);
        box.setDefaultButton(ok);
        box.setEscapeButton(cancel);
        box.exec();
        return box.clickedButton() == ok ? MessageBox::OK : MessageBox::Cancel;
    }
    default:
        box.addButton(QStringLiteral("OK"), QMessageBox::AcceptRole);
        box.exec();
        return MessageBox::OK;
    }
}

} // namespace

int MessageBoxes::show(const QString& prompt, int buttons, const QString& title, QWidget* parent,
                       const QString& details)
{
    MessageBoxCall call{prompt, buttons, title, details};
    if (call.title.isEmpty())
        call.title = QCoreApplication::applicationName();
    return answer(call, parent);
}

int DialogMessageBoxes::answer(const MessageBoxCall& call, QWidget* parent)
{
    return showDialog(call, parent);
}

MessageBoxes& dialogMessageBoxes()
{
    static DialogMessageBoxes boxes; // stateless
    return boxes;
}

int MessageBoxRecorder::answer(const MessageBoxCall& call, QWidget*)
{
    calls_.push_back(call);
    return responder_ ? responder_(call) : answer_;
}

} // namespace platform
