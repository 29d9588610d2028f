#include "msgbox.h"

#include <QCoreApplication>
#include <QMessageBox>
#include <QPushButton>

namespace platform
{
namespace
{

MessageBoxHandler currentHandler;

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

int showMessageBox(const QString& prompt, int buttons, const QString& title, QWidget* parent,
                   const QString& details)
{
    MessageBoxCall call{prompt, buttons, title, details};
    if (call.title.isEmpty())
        call.title = QCoreApplication::applicationName();
    if (currentHandler)
        return currentHandler(call);
    return showDialog(call, parent);
}

void setMessageBoxHandler(MessageBoxHandler handler)
{
    currentHandler = std::move(handler);
}

MessageBoxRecorder::MessageBoxRecorder(int answer) : answer_(answer)
{
    setMessageBoxHandler([this](const MessageBoxCall& call) {
        calls_.push_back(call);
        return answer_;
    });
}

MessageBoxRecorder::~MessageBoxRecorder()
{
    setMessageBoxHandler(nullptr);
}

} // namespace platform
