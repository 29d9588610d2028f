#pragma once

#include "speech/speechengine.h"

namespace testsupport
{

// Speaks nothing and is always idle, so that a tape with it is usable without a voice. Tests
// override what they watch.
class NullSpeechEngine : public speech::SpeechEngine
{
public:
    void speak(const QString&) override {}
    void stop() override {}
    int status() const override { return speech::SpeechStatus::Idle; }
    speech::SpeechSettings settings() const override { return settings_; }
    void setSettings(const speech::SpeechSettings& settings) override { settings_ = settings; }
    QString voiceName() const override { return {}; }
    void speakWith(const QString&, const speech::SpeechSettings&) override {}

private:
    speech::SpeechSettings settings_;
};

} // namespace testsupport
