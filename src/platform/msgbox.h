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

// Where the system's questions and notices go. The composition root hands the real dialogs
// to each class that asks; tests hand a MessageBoxRecorder.
class MessageBoxes
{
public:
    virtual ~MessageBoxes() = default;

    // Shows a modal message box and returns the button pressed (MessageBox::OK,
    // MessageBox::Yes, ...). An empty title means the application's title (the executable's
    // base name). Details, when given, are shown on request under the prompt (the path tried,
    // why a file was refused).
    int show(const QString& prompt, int buttons = MessageBox::OKOnly,
             const QString& title = QString(), QWidget* parent = nullptr,
             const QString& details = QString());

protected:
    // The call's title is already filled in.
    virtual int answer(const MessageBoxCall& call, QWidget* parent) = 0;
};

// Real modal dialogs (QMessageBox) with the buttons' Japanese captions. Keeps no state, so
// one instance serves every user.
class DialogMessageBoxes : public MessageBoxes
{
protected:
    int answer(const MessageBoxCall& call, QWidget* parent) override;
};

// The shared real dialogs, for classes built without message boxes of their own.
MessageBoxes& dialogMessageBoxes();

// Records every message box and answers each with a fixed button, or through a responder
// when one is set (tests).
class MessageBoxRecorder : public MessageBoxes
{
public:
    using Responder = std::function<int(const MessageBoxCall&)>;

    explicit MessageBoxRecorder(int answer = MessageBox::OK) : answer_(answer) {}

    void setAnswer(int answer) { answer_ = answer; }
    // Answers through the responder from now on; an empty one restores the fixed answer.
    void setResponder(Responder responder) { responder_ = std::move(responder); }
    const std::vector<MessageBoxCall>& calls() const { return calls_; }
    void clear() { calls_.clear(); }

protected:
    int answer(const MessageBoxCall& call, QWidget* parent) override;

private:
    int answer_;
    Responder responder_;
    std::vector<MessageBoxCall> calls_;
};

} // namespace platform
