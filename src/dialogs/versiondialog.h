#pragma once

#include <QDialog>
#include <QString>

class QWidget;

// The version box: a modal dialog over owner showing the text line by line (CR LF line
// ends), closed with its OK button.
void showVersionDialog(QWidget* owner, const QString& text);

class VersionDialog : public QDialog
{
    Q_OBJECT
public:
    explicit VersionDialog(const QString& text, QWidget* parent = nullptr);

    QString text() const { return text_; }

private:
    QString text_;
};
