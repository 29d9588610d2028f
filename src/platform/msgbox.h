#pragma once

#include <QString>
#include <functional>
#include <vector>

class QWidget;

namespace platform
{

// Message boxes with the Windows program's button and icon flags and results.
namespace MessageBox
{
inline constexpr int OKOnly = 0;
inline constexpr int OKCancel = 1;
inline constexpr int YesNo = 4;
inline constexpr int Critical = 16;
inline constexpr int Question = 32;
inline constexpr int Exclamation = 48;
inline constexpr int Information = 64;

inline constexpr int OK = 1;
inline constexpr int Cancel = 2;
inline constexpr int Yes = 6;
inline constexpr int No = 7;
} // namespace MessageBox

struct MessageBoxCall {
    QString prompt;
    int buttons = MessageBox::OKOnly;
    QString title;   // the title shown (the application's title when none was given)
    QString details; // behind the box's details button; none when empty
};

// Shows a modal message box and returns the button pressed (MessageBox::OK, MessageBox::Yes, ...).
// An empty title means the application's title (the executable's base name). Details, when
// given, are shown on request under the prompt (the path tried, why a file was refused).
int showMessageBox(const QString& prompt, int buttons = MessageBox::OKOnly,
                   const QString& title = QString(), QWidget* parent = nullptr,
                   const QString& details = QString());

// Tests answer message boxes through a handler; nullptr restores the real dialogs.
using MessageBoxHandler = std::function<int(const MessageBoxCall&)>;
void setMessageBoxHandler(MessageBoxHandler handler);

// Records every message box and answers each with a fixed button (tests).
class MessageBoxRecorder
{
public:
    explicit MessageBoxRecorder(int answer = MessageBox::OK);
    ~MessageBoxRecorder();
    MessageBoxRecorder(const MessageBoxRecorder&) = delete;
    MessageBoxRecorder& operator=(const MessageBoxRecorder&) = delete;

    void setAnswer(int answer) { answer_ = answer; }
    const std::vector<MessageBoxCall>& calls() const { return calls_; }
    void clear() { calls_.clear(); }

private:
    int answer_;
    std::vector<MessageBoxCall> calls_;
};

} // namespace platform
