#pragma once

#include <QString>
#include <QStringList>
#include <QtGlobal>
#include <initializer_list>

class ColorButton;
class GreyableCheckBox;
class QAbstractButton;
class QComboBox;
class QGroupBox;
class QLabel;
class QLineEdit;
class QPushButton;
class QRadioButton;
class QWidget;

// What the pages of the options dialog share: controls made at a fixed place, and option
// values moved into and out of them.
namespace pagecontrols
{

template <class W> W* place(W* widget, int x, int y, int w, int h)
{
    widget->setGeometry(x, y, w, h);
    return widget;
}

// A one-line caption, vertically centred.
QLabel* label(QWidget* parent, const QString& text, int x, int y, int w, int h);
// A note that wraps, from the top.
QLabel* note(QWidget* parent, const QString& text, int x, int y, int w, int h);
QGroupBox* group(QWidget* parent, const QString& title, int x, int y, int w, int h);
// A push button that never becomes the default button.
QPushButton* button(QWidget* parent, const QString& text, int x, int y, int w, int h);
ColorButton* colorButton(QWidget* parent, int x, int y);
QRadioButton* radio(QWidget* parent, const QString& text, int x, int y, int w, int h = 20);
QRadioButton* wrapRadio(QWidget* parent, const QString& text, int x, int y, int w, int h);
GreyableCheckBox* check(QWidget* parent, const QString& text, int x, int y, int w, int h = 20);
QLineEdit* textBox(QWidget* parent, int x, int y, int w);
QComboBox* comboBox(QWidget* parent, const QStringList& items, int x, int y, int w);

// Option buttons that exclude each other. Qt's automatic exclusion would also reach buttons
// in nested groups, so every group is made explicit.
void exclusive(QWidget* owner, std::initializer_list<QAbstractButton*> buttons);

// Puts a list over the n-th run of blanks (half- or full-width) of a caption, where the
// caption leaves room for it. indent is where the caption starts inside its host.
void placeInBlank(QWidget* host, const QString& text, int indent, QComboBox* list, int run);
void placeInBlank(QAbstractButton* box, QComboBox* list, int run);

// The dependents are enabled while the box is on (a greyed box counts as on), now and at
// every change of the box, whatever state they were built in.
void enableWithBox(GreyableCheckBox* box, std::initializer_list<QWidget*> dependents);

} // namespace pagecontrols
