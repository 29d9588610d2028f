#include "speech/speechdialog.h"

#include <QDialogButtonBox>
#include <QFormLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QSlider>
#include <QVBoxLayout>

namespace platform
{

SpeechSettingsDialog::SpeechSettingsDialog(QWidget* parent, const QString& title,
                                           const SpeechSettings& current, Preview preview)
    : QDialog(parent), preview_(std::move(preview))
{
    setWindowTitle(title);
    auto* form = new QFormLayout;
    rate_ =
        addSlider(form, QStringLiteral("sldRate"), QStringLiteral("速さ"), 80, 450, current.rate);
    pitch_ =
        addSlider(form, QStringLiteral("sldPitch"), QStringLiteral("高さ"), 0, 99, current.pitch);
    volume_ = addSlider(form, QStringLiteral("sldVolume"), QStringLiteral("音量"), 0, 100,
                        current.volume);

    auto* sample = new QPushButton(QStringLiteral("試聴"));
    sample->setObjectName(QStringLiteral("cmdSample"));
    connect(sample, &QPushButton::clicked, this, [this] {
        if (preview_)
            preview_(settings());
    });
    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel);
    buttons->button(QDialogButtonBox::Cancel)->setText(QStringLiteral("キャンセル"));
    connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);

    auto* bottom = new QHBoxLayout;
    bottom->addWidget(sample);
    bottom->addStretch();
    bottom->addWidget(buttons);
    auto* layout = new QVBoxLayout(this);
    layout->addLayout(form);
    layout->addLayout(bottom);
    setMinimumWidth(360);
}

QSlider* SpeechSettingsDialog::addSlider(QFormLayout* form, const QString& name,
                                         const QString& label, int min, int max, int value)
{
    auto* slider = new QSlider(Qt::Horizontal);
    slider->setObjectName(name);
    slider->setRange(min, max);
    slider->setValue(value);
    auto* shown = new QLabel(QString::number(slider->value()));
    shown->setMinimumWidth(32);
    shown->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
    connect(slider, &QSlider::valueChanged, shown,
            [shown](int v) { shown->setText(QString::number(v)); });
    auto* row = new QHBoxLayout;
    row->addWidget(slider);
    row->addWidget(shown);
    form->addRow(label, row);
    return slider;
}

SpeechSettings SpeechSettingsDialog::settings() const
{
    return {rate_->value(), pitch_->value(), volume_->value()};
}

const QString& SpeechSettingsDialog::sampleText()
{
    static const QString text =
        QStringLiteral("次は、市役所前です。お降りの方はお知らせください。");
    return text;
}

} // namespace platform
