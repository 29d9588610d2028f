#include "formats/rubytext.h"

#include <gtest/gtest.h>
#include <span>

using formats::splitReadings;

namespace
{

struct Case {
    const char* text;
    const char* shown;
    const char* spoken;
};

void expectSplits(std::span<const Case> cases, bool readings)
{
    for (const Case& c : cases) {
        const formats::RubyText split = splitReadings(QString::fromUtf8(c.text));
        EXPECT_EQ(split.shown.toStdString(), c.shown) << c.text;
        EXPECT_EQ(split.spoken.toStdString(), c.spoken) << c.text;
        EXPECT_EQ(split.hasReadings, readings) << c.text;
    }
}

} // namespace

TEST(RubyText, TheBaseIsTheRunOfKanjiBeforeTheReadingOrWhatTheBarMarks)
{
    const Case cases[] = {
        {"次は、富岸《とんけし》です。", "次は、富岸です。", "次は、とんけしです。"},
        {"次は、｜富岸前《とんけしまえ》です。", "次は、富岸前です。", "次は、とんけしまえです。"},
        {"次は|富岸前《とんけしまえ》", "次は富岸前", "次はとんけしまえ"},
        // The kana before the name ends the run.
        {"次は小橋内《おはしない》", "次は小橋内", "次はおはしない"},
        // 々 and the small ヶ count as kanji; a full-size ケ does not, so such a name needs ｜.
        {"佐々木町《ささきちょう》", "佐々木町", "ささきちょう"},
        {"桜ヶ丘《さくらがおか》", "桜ヶ丘", "さくらがおか"},
        {"桜ケ丘《おか》", "桜ケ丘", "桜ケおか"},
        {"｜桜ケ丘《さくらがおか》", "桜ケ丘", "さくらがおか"},
        // A kanji beyond the basic plane is one character, not two halves.
        {"𠮷野《よしの》", "𠮷野", "よしの"},
        // Without kanji before it, the reading takes the run of one script there.
        {"北アリオ《ありお》前", "北アリオ前", "北ありお前"},
        {"次はAEON《イオン》前", "次はAEON前", "次はイオン前"},
        {"ＪＲ《ジェイアール》駅", "ＪＲ駅", "ジェイアール駅"},
        {"「ひらがな《ヒラガナ》」", "「ひらがな」", "「ヒラガナ」"},
        // ... all of it: a kana name after kana particles needs ｜.
        {"駅とかな《カナ》", "駅とかな", "駅カナ"},
        // The bar takes everything up to the reading, also across kana and punctuation.
        {"｜富岸、母恋《とんけし、ぼこい》", "富岸、母恋", "とんけし、ぼこい"},
    };
    expectSplits(cases, true);
}

TEST(RubyText, SeveralReadingsAndReadingsAtEitherEnd)
{
    const Case cases[] = {
        {"母恋《ぼこい》から富岸《とんけし》まで", "母恋から富岸まで", "ぼこいからとんけしまで"},
        {"富岸《とんけし》", "富岸", "とんけし"},
        {"｜富岸前《とんけしまえ》｜母恋《ぼこい》", "富岸前母恋", "とんけしまえぼこい"},
        // Marks left as written earlier in the line do not stop a later reading.
        {"《よみ》母恋《ぼこい》", "《よみ》母恋", "《よみ》ぼこい"},
        {"母恋《ぼこい》と富岸《とんけし", "母恋と富岸《とんけし", "ぼこいと富岸《とんけし"},
        // Repeated marks: the bar nearest the reading starts the base, the other is text; a
        // second reading has no base and is text.
        {"｜｜富岸《とんけし》", "｜富岸", "｜とんけし"},
        {"富岸《とんけし》《とんけし》", "富岸《とんけし》", "とんけし《とんけし》"},
        // A 《 inside a reading is read as the reading's start; the outer one stays as text.
        {"富岸《とん《けし》》", "富岸《とん》", "富岸《けし》"},
        // A mark before the bar's reading ends the bar's search: its base is the kanji run.
        {"｜富》岸《がん》", "｜富》岸", "｜富》がん"},
        {"》富岸《とんけし》", "》富岸", "》とんけし"},
    };
    expectSplits(cases, true);
}

TEST(RubyText, MarksThatMakeNoReadingStayAsWritten)
{
    const char* const asWritten[] = {
        "次は、市役所前です。",
        "",
        // Unclosed, empty or blank, or with nothing before it to read.
        "富岸《とんけし",
        "｜富岸《とんけし",
        "富岸《》です",
        "富岸《　》です",
        "｜富岸《》",
        "《よみ》です",
        "、《よみ》",
        "｜《よみ》",
        // A bar without a reading after it, or with a broken one.
        "運賃｜200円",
        "a|b",
        "｜富岸、《》",
        "》《",
    };
    for (const char* text : asWritten) {
        const QString written = QString::fromUtf8(text);
        const formats::RubyText split = splitReadings(written);
        EXPECT_EQ(split.shown, written) << text;
        EXPECT_EQ(split.spoken, written) << text;
        EXPECT_FALSE(split.hasReadings) << text;
    }
}

TEST(RubyText, LoneSurrogatesAndLongRunsOfMarksAreReadSafely)
{
    // Broken UTF-16 and marks without end must neither crash nor take long.
    const QString lone = QString(QChar(0xDC00)) + QStringLiteral("《よみ》");
    EXPECT_EQ(splitReadings(lone).shown, lone);
    const QString lowAfterKanji = QStringLiteral("字") + QChar(0xDC00) + QStringLiteral("《よみ》");
    EXPECT_EQ(splitReadings(lowAfterKanji).shown, lowAfterKanji);

    const QString opens = QString(200000, QChar(0x300A)) + QChar(0x300B);
    EXPECT_EQ(splitReadings(opens).shown, opens);
    const QString pairs = QStringLiteral("字《》").repeated(100000);
    EXPECT_EQ(splitReadings(pairs).spoken, pairs);
}
