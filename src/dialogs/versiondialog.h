#pragma once

#include <QByteArray>
#include <QDialog>
#include <QString>
#include <functional>

class QWidget;

// The version box: a modal dialog over owner showing the CP932 text line by line, closed with
// its OK button. flag 1 is the only style there is; other values show the same box.
void showVersionDialog(QWidget* owner, int flag, const QByteArray& text);

// Tests answer the box through a handler (it receives the decoded text); nullptr restores the
// real dialog.
using VersionDialogHandler = std::function<void(QWidget* owner, int flag, const QString& text)>;
void setVersionDialogHandler(VersionDialogHandler handler);

class VersionDialog : public QDialog
{
    Q_OBJECT
public:
    explicit VersionDialog(const QString& text, QWidget* parent = nullptr);

    QString text() const { return text_; }

private:
    QString text_;
};
