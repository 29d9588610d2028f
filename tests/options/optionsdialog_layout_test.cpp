#include "options/optionsdialog.h"
#include "options/optionwidgets.h"
#include "support/widgetlookup.h"
#include "testsupport.h"

#include <QAbstractButton>
#include <QCheckBox>
#include <QComboBox>
#include <QDir>
#include <QGroupBox>
#include <QLabel>
#include <QRadioButton>
#include <QStyle>
#include <QStyleOptionButton>
#include <gtest/gtest.h>

namespace
{

// The width a one-line caption needs inside its control.
int neededWidth(QWidget* w)
{
    const QFontMetrics metrics(w->font());
    if (auto* label = qobject_cast<QLabel*>(w))
        return label->wordWrap() ? 0 : metrics.horizontalAdvance(label->text());
    if (auto* box = qobject_cast<QGroupBox*>(w))
        return metrics.horizontalAdvance(box->title()) + 16;
    if (qobject_cast<WrapRadioButton*>(w))
        return 0;
    if (qobject_cast<QCheckBox*>(w) || qobject_cast<QRadioButton*>(w)) {
        auto* button = static_cast<QAbstractButton*>(w);
        QStyleOptionButton option;
        option.initFrom(button);
        return metrics.horizontalAdvance(button->text()) +
               w->style()->pixelMetric(QStyle::PM_IndicatorWidth, &option, w) +
               w->style()->pixelMetric(QStyle::PM_CheckBoxLabelSpacing, &option, w);
    }
    if (auto* button = qobject_cast<QPushButton*>(w); button && !button->text().isEmpty())
        return metrics.horizontalAdvance(button->text()) + 8;
    return 0;
}

// A list deliberately laid over the blank run of a caption.
bool sitsInCaption(QWidget* a, QWidget* b)
{
    const bool aList = qobject_cast<QComboBox*>(a) != nullptr;
    const bool bList = qobject_cast<QComboBox*>(b) != nullptr;
    const auto isCaption = [](QWidget* w) {
        return qobject_cast<QCheckBox*>(w) || qobject_cast<QLabel*>(w);
    };
    return (aList && isCaption(b)) || (bList && isCaption(a));
}

void checkChildren(QWidget* parent, const QString& where)
{
    QList<QWidget*> shown;
    for (QObject* o : parent->children()) {
        auto* w = qobject_cast<QWidget*>(o);
        if (!w || w->isHidden() || w->isWindow())
            continue;
        shown << w;
        EXPECT_TRUE(parent->rect().contains(w->geometry()))
            << where.toStdString() << ": " << w->metaObject()->className() << " at " << w->x()
            << "," << w->y() << " outside its parent";
        EXPECT_LE(neededWidth(w), w->width())
            << where.toStdString() << ": caption cut in " << w->metaObject()->className();
        checkChildren(w, where);
    }
    for (int i = 0; i < shown.size(); ++i)
        for (int j = i + 1; j < shown.size(); ++j) {
            if (sitsInCaption(shown[i], shown[j]))
                continue;
            EXPECT_FALSE(shown[i]->geometry().intersects(shown[j]->geometry()))
                << where.toStdString() << ": " << shown[i]->metaObject()->className() << " "
                << shown[i]->x() << "," << shown[i]->y() << " overlaps "
                << shown[j]->metaObject()->className() << " " << shown[j]->x() << ","
                << shown[j]->y();
        }
}

} // namespace

// Every page with all its groups shown: nothing overlaps, nothing leaves its group, every
// one-line caption fits. With FARE_SNAPSHOT_DIR set the pages are also saved as pictures.
TEST(OptionsLayout, EveryPageIsTidy)
{
    testsupport::application();
    OptionsDialog dialog;
    findWidget<QRadioButton>(dialog, "panelIndividualOption")->setChecked(true);
    dialog.setUseTicketPreview(1);
    dialog.show();
    const char* soundPanelButtons[] = {"preBroadcastPanelButton", "stepSoundPanelButton"};
    const QString snapshots = qEnvironmentVariable("FARE_SNAPSHOT_DIR");
    for (int page = 0; page < 6; ++page) {
        findWidget<PageButton>(dialog, QStringLiteral("pageButton%1").arg(page))->click();
        const int subPanels = page == 4 ? 2 : 1;
        for (int sub = 0; sub < subPanels; ++sub) {
            if (page == 4)
                findWidget<QPushButton>(dialog, soundPanelButtons[sub])->click();
            const QString where = QStringLiteral("page %1.%2").arg(page).arg(sub);
            checkChildren(&dialog, where);
            if (!snapshots.isEmpty())
                dialog.grab().save(QDir(snapshots).filePath(
                    QStringLiteral("options-page%1-%2.png").arg(page).arg(sub)));
        }
    }
}
