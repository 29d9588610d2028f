#include "speech/voice.h"

#include "speech/espeakvoice.h"
#include "speech/openjtalkvoice.h"

#include <algorithm>

namespace speech
{

std::unique_ptr<Voice> createDefaultVoice(QString* error)
{
    if (auto natural = OpenJTalkVoice::create())
        return natural;
    return EspeakVoice::create(error);
}

QString withAnnouncementReadings(QString text)
{
    static const std::pair<const char*, const char*> kFixes[] = {{"お降り", "おおり"}};
    for (const auto& [written, spoken] : kFixes)
        text.replace(QString::fromUtf8(written), QString::fromUtf8(spoken));
    return text;
}

namespace
{

// Marks and blanks alone say nothing.
bool saysSomething(QStringView text)
{
    return std::any_of(text.begin(), text.end(),
                       [](QChar c) { return !c.isSpace() && !c.isPunct(); });
}

// A piece may end after a punctuation mark, but not after an opening bracket or quote.
bool endsAPiece(QChar c)
{
    const QChar::Category category = c.category();
    return c.isPunct() && category != QChar::Punctuation_Open &&
           category != QChar::Punctuation_InitialQuote;
}

// The length of the first piece of a text longer than maxLength.
qsizetype cutPoint(QStringView text, qsizetype maxLength)
{
    const auto lastMark = [&](qsizetype shortest) -> qsizetype {
        for (qsizetype i = maxLength - 1; i + 1 >= shortest && i >= 0; --i)
            if (endsAPiece(text[i]))
                return i + 1;
        return 0;
    };
    const auto lastBlank = [&](qsizetype shortest) -> qsizetype {
        for (qsizetype i = maxLength; i >= shortest && i > 0; --i)
            if (text[i].isSpace())
                return i;
        return 0;
    };
    const qsizetype half = maxLength / 2;
    for (const qsizetype cut : {lastMark(half), lastBlank(half), lastMark(1), lastBlank(1)})
        if (cut > 0)
            return cut;
    return text[maxLength - 1].isHighSurrogate() ? maxLength - 1 : maxLength;
}

} // namespace

QStringList cutLongClause(const QString& text, int maxLength)
{
    const qsizetype longest = std::max(maxLength, 2);
    QStringList pieces;
    QStringView rest = QStringView(text).trimmed();
    while (rest.size() > longest) {
        const qsizetype cut = cutPoint(rest, longest);
        const QStringView piece = rest.left(cut).trimmed();
        if (saysSomething(piece))
            pieces << piece.toString();
        rest = rest.mid(cut).trimmed();
    }
    if (saysSomething(rest))
        pieces << rest.toString();
    return pieces;
}

QStringList splitClauses(const QString& text)
{
    QStringList clauses;
    qsizetype start = 0;
    for (qsizetype i = 0; i <= text.size(); ++i) {
        if (i < text.size() && text[i] != u'、' && text[i] != u'。')
            continue;
        const qsizetype end = std::min(i + 1, text.size());
        clauses << cutLongClause(text.mid(start, end - start));
        start = end;
    }
    return clauses;
}

} // namespace speech
