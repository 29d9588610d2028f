#pragma once

#include <QtGlobal>

// The fare display window's position as the settings file keeps it, in twips.
struct WindowPosition {
    qint32 Left = 0;
    qint32 Top = 0;

    friend bool operator==(const WindowPosition&, const WindowPosition&) = default;
};
