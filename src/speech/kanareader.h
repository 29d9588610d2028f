#pragma once

#include <QString>
#include <memory>

namespace speech
{

// Turns Japanese text with kanji into the katakana of its pronunciation, so that a voice
// that reads only kana can speak it: the particle は comes out as ワ, numbers as words.
class KanaReader
{
public:
    // nullptr when the morphological dictionary cannot be loaded.
    static std::unique_ptr<KanaReader> create(QString* error = nullptr);
    ~KanaReader();
    KanaReader(const KanaReader&) = delete;
    KanaReader& operator=(const KanaReader&) = delete;

    // Not thread-safe: one reader per thread. A text longer than kMaxClauseLength is read
    // piece by piece (cutLongClause), the readings joined by blanks.
    QString reading(const QString& text);

private:
    struct Tagger;
    QString readingOfPiece(const QString& text);
    explicit KanaReader(std::unique_ptr<Tagger> tagger);
    std::unique_ptr<Tagger> tagger_;
};

// The reading of a whole number in katakana: 120 → ヒャクニジュウ, 0 → ゼロ.
QString numberReading(qulonglong value);

// Replaces every run of digits (ASCII or full width) by its reading.
QString spellNumbers(const QString& text);

} // namespace speech
