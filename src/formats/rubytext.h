#pragma once

#include <QString>

namespace formats
{

// A text with readings written the way Japanese e-texts write them, split into what is shown
// and what is spoken: "富岸《とんけし》" or "｜富岸前《とんけしまえ》".
struct RubyText {
    QString shown;            // each base alone, its marks and reading left out
    QString spoken;           // each reading in place of its base
    bool hasReadings = false; // at least one reading was taken from the text
};

// The marks: a reading is written in 《》 (U+300A, U+300B) right after its base; ｜ (U+FF5C,
// or an ASCII '|') marks where a base starts when it is not simply the run of kanji before
// 《. Without ｜ the base is the run of kanji (々〆〇ヶヵ included) directly before 《, or,
// where no kanji precede, the run of katakana, hiragana or Latin letters and digits there.
//
// Marks that make no reading stay in both texts as written: a 《 no 》 closes (and
// everything after it), an empty reading, a 《 with no base before it, a 《 inside a reading
// (the outer one), a ｜ no reading follows. A text without 《 comes back unchanged in both.
RubyText splitReadings(const QString& text);

} // namespace formats
