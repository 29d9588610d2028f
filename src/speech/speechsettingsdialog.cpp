#include "speech/speechsettingsdialog.h"

#include <QDialogButtonBox>
#include <QFormLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QSlider>
#include <QVBoxLayout>

namespace speech
{

SpeechSettingsDialog::SpeechSettingsDialog(QWidget* parent, const QString& title,
                                           const SpeechSettings& current, const QString& voiceName,
                                           Preview preview)
    : QDialog(parent), preview_(std::move(preview))
{
    setWindowTitle(title);
    // Which voice speaks tells the user why it sounds as it does.
    auto* voice = new QLabel(QStringLiteral("声: ") + voiceName);
    voice->setObjectName(QStringLiteral("voiceLabel"));
    auto* form = new QFormLayout;
    rateSlider_ = addSlider(form, QStringLiteral("rateSlider"), QStringLiteral("速さ"),
                            SpeechSettings::MinRate, SpeechSettings::MaxRate, current.rate);
    pitchSlider_ = addSlider(form, QStringLiteral("pitchSlider"), QStringLiteral("高さ"), 0,
                             SpeechSettings::MaxPitch, current.pitch);
    volumeSlider_ = addSlider(form, QStringLiteral("volumeSlider"), QStringLiteral("音量"), 0,
                              SpeechSettings::MaxVolume, current.volume);

    auto* sampleButton = new QPushButton(QStringLiteral("試聴"));
    sampleButton->setObjectName(QStringLiteral("sampleButton"));
    connect(sampleButton, &QPushButton::clicked, this, [this] {
        if (preview_)
            preview_(settings());
    });
    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel);
    buttons->button(QDialogButtonBox::Cancel)->setText(QStringLiteral("キャンセル"));
    connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);

    auto* bottom = new QHBoxLayout;
    bottom->addWidget(sampleButton);
    bottom->addStretch();
    bottom->addWidget(buttons);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(voice);
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
    return {rateSlider_->value(), pitchSlider_->value(), volumeSlider_->value()};
}

} // namespace speech
