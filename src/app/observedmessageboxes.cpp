#include "app/observedmessageboxes.h"

int ObservedMessageBoxes::answer(const platform::MessageBoxCall& call, QWidget* parent)
{
    if (observer_)
        observer_(call);
    return inner_.show(call.prompt, call.buttons, call.title, parent, call.details);
}
