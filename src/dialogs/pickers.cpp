#include "dialogs/pickers.h"

#include "platform/colorconversion.h"
#include "platform/cp932.h"

#include <QCalendarWidget>
#include <QColorDialog>
#include <QDialog>
#include <QDialogButtonBox>
#include <QFileDialog>
#include <QLocale>
#include <QPushButton>
#include <QVBoxLayout>

namespace
{

// Qt's colour dialog has 16 custom slots; the table's 17th entry stays as it is.
constexpr int QtCustomSlots = 16;

// "*.bmp;*.BMP" -> "*.bmp *.BMP"; each pattern also in the other letter case.
QString bothCasePatterns(const QString& patterns)
{
    QStringList out;
    for (const QString& p : patterns.split(QLatin1Char(';'), Qt::SkipEmptyParts)) {
        const QString trimmed = p.trimmed();
        for (const QString& variant : {trimmed, trimmed.toLower(), trimmed.toUpper()}) {
            if (!variant.isEmpty() && !out.contains(variant))
                out << variant;
        }
    }
    return out.join(QLatin1Char(' '));
}

} // namespace

QString QtPickers::pickFile(QWidget* owner, int /*flags*/, const QByteArray& filter,
                            const QString& initialFolder, const QString& title)
{
    QFileDialog dialog(owner, title, initialFolder);
    dialog.setFileMode(QFileDialog::ExistingFile);
    dialog.setAcceptMode(QFileDialog::AcceptOpen);
    const QStringList filters = qtNameFilters(filter);
    if (!filters.isEmpty())
        dialog.setNameFilters(filters);
    if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty())
        return QString();
    return dialog.selectedFiles().constFirst();
}

QString QtPickers::pickFolder(QWidget* owner, const QString& title)
{
    return QFileDialog::getExistingDirectory(owner, title);
}

int QtPickers::pickColor(QWidget* owner, platform::BgrColor& color, CustomColorTable& customColors)
{
    for (int i = 0; i < QtCustomSlots; ++i)
        QColorDialog::setCustomColor(i, platform::toQColor(customColors[i]));
    QColorDialog dialog(platform::toQColor(color), owner);
    dialog.setWindowTitle(QStringLiteral("色の設定"));
    const bool chosen = dialog.exec() == QDialog::Accepted;
    for (int i = 0; i < QtCustomSlots; ++i)
        customColors[i] = platform::fromQColor(QColorDialog::customColor(i));
    if (!chosen)
        return 0;
    color = platform::fromQColor(dialog.selectedColor());
    return 1;
}

std::optional<QDate> QtPickers::pickDate(QWidget* owner, const QDate& shown)
{
    QDialog dialog(owner);
    dialog.setWindowTitle(QStringLiteral("日付の選択"));
    auto* calendar = new QCalendarWidget(&dialog);
    calendar->setLocale(QLocale(QLocale::Japanese, QLocale::Japan));
    calendar->setGridVisible(true);
    calendar->setVerticalHeaderFormat(QCalendarWidget::NoVerticalHeader);
    calendar->setSelectedDate(shown.isValid() ? shown : QDate::currentDate());
    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, &dialog);
    buttons->button(QDialogButtonBox::Cancel)->setText(QStringLiteral("キャンセル"));
    QObject::connect(buttons, &QDialogButtonBox::accepted, &dialog, &QDialog::accept);
    QObject::connect(buttons, &QDialogButtonBox::rejected, &dialog, &QDialog::reject);
    QObject::connect(calendar, &QCalendarWidget::activated, &dialog, &QDialog::accept);
    auto* layout = new QVBoxLayout(&dialog);
    layout->addWidget(calendar);
    layout->addWidget(buttons);
    if (dialog.exec() != QDialog::Accepted)
        return std::nullopt;
    return calendar->selectedDate();
}

QByteArray pickerFilter(const QStringList& descriptionsAndPatterns)
{
    QByteArray out;
    for (const QString& item : descriptionsAndPatterns) {
        out += platform::toCp932(item);
        out += '\0';
    }
    out += '\0';
    return out;
}

QStringList qtNameFilters(const QByteArray& filter)
{
    // Items end at each NUL; an empty item (the double NUL) closes the list.
    QStringList items;
    qsizetype start = 0;
    while (start < filter.size()) {
        qsizetype end = filter.indexOf('\0', start);
        if (end < 0)
            end = filter.size();
        if (end == start)
            break;
        items << platform::fromCp932(filter.mid(start, end - start));
        start = end + 1;
    }
    QStringList filters;
    for (qsizetype i = 0; i + 1 < items.size(); i += 2) {
        QString description = items[i];
        const QString shown = QLatin1Char('(') + items[i + 1] + QLatin1Char(')');
        if (description.endsWith(shown))
            description.chop(shown.size());
        filters << description + QStringLiteral(" (") + bothCasePatterns(items[i + 1]) +
                       QLatin1Char(')');
    }
    return filters;
}
