#pragma once

#include "platform/msgbox.h"

#include <functional>

// The program's message boxes with someone looking on: every box is told to the observer
// before it is shown (a remote call learns the text of the box its action opened, and can
// answer its caller while the box waits for the operator), then shown by the boxes it wraps.
class ObservedMessageBoxes : public platform::MessageBoxes
{
public:
    using Observer = std::function<void(const platform::MessageBoxCall&)>;

    // inner outlives this object.
    explicit ObservedMessageBoxes(platform::MessageBoxes& inner) : inner_(inner) {}

    // The observer told of each box from now on; an empty function stops it.
    void setObserver(Observer observer) { observer_ = std::move(observer); }

protected:
    int answer(const platform::MessageBoxCall& call, QWidget* parent) override;

private:
    platform::MessageBoxes& inner_;
    Observer observer_;
};
