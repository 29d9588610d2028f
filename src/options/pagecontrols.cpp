#include "options/pagecontrols.h"

#include "options/optionwidgets.h"
#include "platform/runtimeerror.h"

#include <QButtonGroup>
#include <QComboBox>
#include <QFontMetrics>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QStyle>
#include <QStyleOptionButton>
#include <algorithm>
#include <vector>

namespace pagecontrols
{

QLabel* label(QWidget* parent, const QString& text, int x, int y, int w, int h)
{
    auto* l = place(new QLabel(text, parent), x, y, w, h);
    l->setAlignment(Qt::AlignLeft | Qt::AlignVCenter);
    return l;
}

QLabel* note(QWidget* parent, const QString& text, int x, int y, int w, int h)
{
    auto* l = place(new QLabel(text, parent), x, y, w, h);
    l->setWordWrap(true);
    l->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    return l;
}

QGroupBox* group(QWidget* parent, const QString& title, int x, int y, int w, int h)
{
    return place(new QGroupBox(title, parent), x, y, w, h);
}

QPushButton* button(QWidget* parent, const QString& text, int x, int y, int w, int h)
{
    auto* b = place(new QPushButton(text, parent), x, y, w, h);
    b->setAutoDefault(false);
    return b;
}

ColorButton* colorButton(QWidget* parent, int x, int y)
{
    auto* b = place(new ColorButton(parent), x, y, 44, 22);
    b->setAutoDefault(false);
    return b;
}

QRadioButton* radio(QWidget* parent, const QString& text, int x, int y, int w, int h)
{
    return place(new QRadioButton(text, parent), x, y, w, h);
}

QRadioButton* wrapRadio(QWidget* parent, const QString& text, int x, int y, int w, int h)
{
    return place(new WrapRadioButton(text, parent), x, y, w, h);
}

GreyableCheckBox* check(QWidget* parent, const QString& text, int x, int y, int w, int h)
{
    return place(new GreyableCheckBox(text, parent), x, y, w, h);
}

QLineEdit* textBox(QWidget* parent, int x, int y, int w)
{
    return place(new QLineEdit(parent), x, y, w, 21);
}

QComboBox* comboBox(QWidget* parent, const QStringList& items, int x, int y, int w)
{
    auto* c = place(new QComboBox(parent), x, y, w, 22);
    c->addItems(items);
    c->setMaxVisibleItems(12);
    return c;
}

void exclusive(QWidget* owner, std::initializer_list<QAbstractButton*> buttons)
{
    auto* group = new QButtonGroup(owner);
    group->setExclusive(true);
    for (QAbstractButton* button : buttons)
        group->addButton(button);
}

namespace
{

// Where a check box's or option button's caption starts.
int captionIndent(QAbstractButton* box)
{
    QStyleOptionButton option;
    option.initFrom(box);
    return box->style()->pixelMetric(QStyle::PM_IndicatorWidth, &option, box) +
           box->style()->pixelMetric(QStyle::PM_CheckBoxLabelSpacing, &option, box);
}

} // namespace

void placeInBlank(QWidget* host, const QString& text, int indent, QComboBox* list, int run)
{
    const auto isBlank = [](QChar c) { return c == QLatin1Char(' ') || c == QChar(0x3000); };
    qsizetype start = 0;
    qsizetype end = 0;
    for (int found = -1; found < run; ++found) {
        start = end;
        while (start < text.size() && !isBlank(text[start]))
            ++start;
        end = start;
        while (end < text.size() && isBlank(text[end]))
            ++end;
        if (start >= text.size())
            return;
    }
    const QFontMetrics metrics(host->font());
    const int left = indent + metrics.horizontalAdvance(text.left(start));
    const int width = metrics.horizontalAdvance(text.mid(start, end - start));
    const int listWidth = std::clamp(width - 6, 46, 80);
    list->setGeometry(host->x() + left + (width - listWidth) / 2,
                      host->y() + (host->height() - 22) / 2, listWidth, 22);
    list->raise();
}

void placeInBlank(QAbstractButton* box, QComboBox* list, int run)
{
    placeInBlank(box, box->text(), captionIndent(box), list, run);
}

void enableWithBox(GreyableCheckBox* box, std::initializer_list<QWidget*> dependents)
{
    auto follow = [box, dependents = std::vector<QWidget*>(dependents)] {
        for (QWidget* dependent : dependents)
            dependent->setEnabled(box->value() != 0);
    };
    follow();
    QObject::connect(box, &QCheckBox::stateChanged, box, follow);
}

} // namespace pagecontrols
