#pragma once

#include <QtGlobal>

// The fare display window's position as the settings file keeps it, in twips.
struct WindowPosition {
    qint32 left = 0;
    qint32 top = 0;

    friend bool operator==(const WindowPosition&, const WindowPosition&) = default;
};
