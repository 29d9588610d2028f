#include "msgbox.h"

#include <QCoreApplication>
#include <QMessageBox>
#include <QPushButton>

namespace platform
{
namespace
{

MsgBoxHandler currentHandler;

QMessageBox::Icon iconFor(int buttons)
{
    switch (buttons & 0x70) {
    case Mb::Critical:
        return QMessageBox::Critical;
    case Mb::Question:
        return QMessageBox::Question;
    case Mb::Exclamation:
        return QMessageBox::Warning;
    case Mb::Information:
        return QMessageBox::Information;
    default:
        return QMessageBox::NoIcon;
    }
}

int showDialog(const MsgBoxCall& call, QWidget* parent)
{
    QMessageBox box(iconFor(call.buttons), call.title, call.prompt, QMessageBox::NoButton, parent);
    switch (call.buttons & 0x0F) {
    case Mb::YesNo: {
        QPushButton* yes = box.addButton(QStringLiteral("はい(&Y)"), QMessageBox::YesRole);
        QPushButton* no = box.addButton(QStringLiteral("いいえ(&N)"), QMessageBox::NoRole);
        box.setDefaultButton(yes);
        box.setEscapeButton(no);
        box.exec();
        return box.clickedButton() == yes ? Mb::Yes : Mb::No;
    }
    case Mb::OKCancel: {
        QPushButton* ok = box.addButton(QStringLiteral("OK"), QMessageBox::AcceptRole);
        QPushButton* cancel = box.addButton(QStringLiteral("キャンセル"), QMessageBox::RejectRole);
        box.setDefaultButton(ok);
        box.setEscapeButton(cancel);
        box.exec();
        return box.clickedButton() == ok ? Mb::OK : Mb::Cancel;
    }
    default:
        box.addButton(QStringLiteral("OK"), QMessageBox::AcceptRole);
        box.exec();
        return Mb::OK;
    }
}

} // namespace

int MsgBox(const QString& prompt, int buttons, const QString& title, QWidget* parent)
{
    MsgBoxCall call{prompt, buttons, title};
    if (call.title.isEmpty())
        call.title = QCoreApplication::applicationName();
    if (currentHandler)
        return currentHandler(call);
    return showDialog(call, parent);
}

void setMsgBoxHandler(MsgBoxHandler handler)
{
    currentHandler = std::move(handler);
}

MsgBoxRecorder::MsgBoxRecorder(int answer) : answer_(answer)
{
    setMsgBoxHandler([this](const MsgBoxCall& call) {
        calls_.push_back(call);
        return answer_;
    });
}

MsgBoxRecorder::~MsgBoxRecorder()
{
    setMsgBoxHandler(nullptr);
}

} // namespace platform
