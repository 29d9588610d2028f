#pragma once

#include <QObject>
#include <QString>
#include <stdexcept>

// Tests reach a window's private widgets by their object names, as a user reaches them by
// their captions. A missing or mistyped name fails the test instead of crashing it.
template <class T> T* findWidget(const QObject& parent, const QString& objectName)
{
    T* widget = parent.findChild<T*>(objectName);
    if (!widget)
        throw std::logic_error("no child widget named " + objectName.toStdString());
    return widget;
}
