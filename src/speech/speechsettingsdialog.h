#pragma once

#include "speech/speechengine.h"

#include <QDialog>
#include <functional>

class QFormLayout;
class QSlider;

namespace speech
{

// The voice settings dialog: speed, pitch and volume, with a button to hear a sample, and
// the name of the voice they apply to.
class SpeechSettingsDialog : public QDialog
{
    Q_OBJECT
public:
    using Preview = std::function<void(const SpeechSettings&)>;
    SpeechSettingsDialog(QWidget* parent, const QString& title, const SpeechSettings& current,
                         const QString& voiceName, Preview preview);

    SpeechSettings settings() const;

private:
    QSlider* addSlider(QFormLayout* form, const QString& name, const QString& label, int min,
                       int max, int value);

    QSlider* rateSlider_ = nullptr;
    QSlider* pitchSlider_ = nullptr;
    QSlider* volumeSlider_ = nullptr;
    Preview preview_;
};

} // namespace speech
