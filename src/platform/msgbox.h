#pragma once

#include <QString>
#include <functional>
#include <vector>

class QWidget;

namespace platform
{

// Message boxes with the Windows program's button and icon flags and results.
namespace Mb
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
} // namespace Mb

struct MsgBoxCall {
    QString prompt;
    int buttons = Mb::OKOnly;
    QString title; // the title shown (the application's title when none was given)
};

// Shows a modal message box and returns the button pressed (Mb::OK, Mb::Yes, ...).
// An empty title means the application's title (the executable's base name).
int MsgBox(const QString& prompt, int buttons = Mb::OKOnly, const QString& title = QString(),
           QWidget* parent = nullptr);

// Tests answer message boxes through a handler; nullptr restores the real dialogs.
using MsgBoxHandler = std::function<int(const MsgBoxCall&)>;
void setMsgBoxHandler(MsgBoxHandler handler);

// Records every message box and answers each with a fixed button (tests).
class MsgBoxRecorder
{
public:
    explicit MsgBoxRecorder(int answer = Mb::OK);
    ~MsgBoxRecorder();
    MsgBoxRecorder(const MsgBoxRecorder&) = delete;
    MsgBoxRecorder& operator=(const MsgBoxRecorder&) = delete;

    void setAnswer(int answer) { answer_ = answer; }
    const std::vector<MsgBoxCall>& calls() const { return calls_; }
    void clear() { calls_.clear(); }

private:
    int answer_;
    std::vector<MsgBoxCall> calls_;
};

} // namespace platform
