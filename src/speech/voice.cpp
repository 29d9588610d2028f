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

QStringList splitClauses(const QString& text)
{
    QStringList clauses;
    QString clause;
    // Marks and blanks alone say nothing.
    auto keep = [&clauses, &clause] {
        const QString trimmed = clause.trimmed();
        if (std::any_of(trimmed.begin(), trimmed.end(),
                        [](QChar c) { return c != u'、' && c != u'。' && !c.isSpace(); }))
            clauses << trimmed;
        clause.clear();
    };
    for (QChar c : text) {
        clause += c;
        if (c == u'、' || c == u'。')
            keep();
    }
    keep();
    return clauses;
}

} // namespace speech
