#pragma once

#include "speech/speechengine.h"

#include <QString>
#include <QStringList>
#include <functional>
#include <memory>
#include <vector>

namespace speech
{

// The longest piece of text a synthesiser is given at a time, in characters (UTF-16 code
// units). Longer clauses are spoken in pieces cut at a mark or a blank where there is one
// (cutLongClause), so the synthesiser's time and memory for one piece stay small.
inline constexpr int kMaxClauseLength = 100;
// The most speech kept from one clause, in 16-bit samples: 16 MiB, about 87 s at 48 kHz
// (the slowest speed needs some 40 s for the longest clause). Synthesis that makes more
// fails, and the engine reports the failure.
inline constexpr qsizetype kMaxClauseSamples = qsizetype(8) << 20;

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
    // Replaces pcm with the speech of the text; false when the synthesiser failed, was
    // stopped or made more than kMaxClauseSamples. A text longer than kMaxClauseLength is
    // synthesised piece by piece.
    virtual bool synthesize(const QString& text, std::vector<qint16>& pcm,
                            const StopRequested& stopRequested) = 0;
    // Kills the child processes the voice has running, at once, and any it starts later; a
    // synthesis under way then fails, and so does every later one. The one call that may
    // come from another thread while the voice is in use (an engine that gives up waiting
    // for its worker).
    virtual void killChildProcesses() {}
};

// The voice in use: Open JTalk where its dictionary and voice are installed, otherwise
// MeCab with espeak-ng. nullptr when neither can be loaded.
std::unique_ptr<Voice> createDefaultVoice(QString* error = nullptr);

// Announcement words the dictionaries read wrongly (お降り as オフリ), written in kana.
QString withAnnouncementReadings(QString text);

// Splits a text after each 、 and 。 so that speech can start after the first clause; each
// clause keeps its mark. A clause longer than kMaxClauseLength comes in pieces
// (cutLongClause).
QStringList splitClauses(const QString& text);

// Cuts a text into pieces of at most maxLength characters: after the last punctuation mark
// that leaves the piece at least half full, else before the last such blank, else after any
// mark or before any blank, else at maxLength (never inside a surrogate pair). Pieces are
// trimmed; blanks alone make none.
QStringList cutLongClause(const QString& text, int maxLength = kMaxClauseLength);

} // namespace speech
