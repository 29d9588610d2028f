#pragma once

#include "speech/speechengine.h"

#include <QString>
#include <QStringList>
#include <functional>
#include <memory>
#include <vector>

namespace speech
{

// One synthesiser behind the speech engine: a piece of Japanese text in, 16-bit mono PCM
// out. Used from one thread at a time (the engine's worker).
class Voice
{
public:
    virtual ~Voice() = default;
    // What the settings dialog shows, such as "Open JTalk (nitech-jp-atr503-m001)".
    virtual QString name() const = 0;
    virtual int sampleRate() const = 0;
    // Maps speed and pitch onto the synthesiser; the volume is the mixer's.
    virtual void apply(const SpeechSettings& settings) = 0;
    // The katakana the voice speaks for a text (tests and diagnostics).
    virtual QString reading(const QString& text) = 0;
    // Polled while synthesising; true ends the synthesis early (it then fails).
    using StopRequested = std::function<bool()>;
    // Replaces pcm with the speech of the text; false when the synthesiser failed.
    virtual bool synthesize(const QString& text, std::vector<qint16>& pcm,
                            const StopRequested& stopRequested) = 0;
};

// The voice in use: Open JTalk where its dictionary and voice are installed, otherwise
// MeCab with espeak-ng. nullptr when neither can be loaded.
std::unique_ptr<Voice> createDefaultVoice(QString* error = nullptr);

// Announcement words the dictionaries read wrongly (お降り as オフリ), written in kana.
QString withAnnouncementReadings(QString text);

// Splits a text after each 、 and 。 so that speech can start after the first clause; each
// clause keeps its mark.
QStringList splitClauses(const QString& text);

} // namespace speech
