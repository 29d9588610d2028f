// The media command strings: built from paths and aliases that come from the options.
#include "fuzzcheck.h"

#include "audio/mediacommand.h"

#include <QStringList>

#include <cstddef>
#include <cstdint>

namespace
{

QString quoted(const QString& token)
{
    return QLatin1Char('"') + token + QLatin1Char('"');
}

// The command written back with every operand quoted; tokens never hold a double quote.
QString rewrite(const audio::MediaCommand& parsed)
{
    using Verb = audio::MediaCommand::Verb;
    QStringList parts;
    switch (parsed.verb) {
    case Verb::Open:
        parts << QStringLiteral("open") << quoted(parsed.file) << QStringLiteral("type")
              << quoted(parsed.deviceType) << QStringLiteral("alias") << quoted(parsed.alias);
        break;
    case Verb::Play:
        parts << QStringLiteral("play") << quoted(parsed.alias);
        if (parsed.fromMs >= 0)
            parts << QStringLiteral("from") << QString::number(parsed.fromMs);
        break;
    case Verb::Stop:
        parts << QStringLiteral("stop") << quoted(parsed.alias);
        break;
    case Verb::Close:
        parts << QStringLiteral("close") << quoted(parsed.alias);
        break;
    }
    if (parsed.wait)
        parts << QStringLiteral("wait");
    return parts.join(QLatin1Char(' '));
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    const QString command =
        QString::fromUtf8(reinterpret_cast<const char*>(data), static_cast<qsizetype>(size));
    int error = 0;
    const std::optional<audio::MediaCommand> parsed = audio::parseMediaCommand(command, &error);
    if (!parsed) {
        FUZZ_CHECK(error != 0);
        return 0;
    }
    FUZZ_CHECK(!parsed->file.contains(QLatin1Char('"')));
    FUZZ_CHECK(!parsed->alias.contains(QLatin1Char('"')));

    // The parsed command means the same when written out again.
    int againError = 0;
    const std::optional<audio::MediaCommand> again =
        audio::parseMediaCommand(rewrite(*parsed), &againError);
    FUZZ_CHECK(again.has_value());
    FUZZ_CHECK(again->verb == parsed->verb);
    FUZZ_CHECK(again->file == parsed->file);
    FUZZ_CHECK(again->deviceType == parsed->deviceType);
    FUZZ_CHECK(again->alias == parsed->alias);
    FUZZ_CHECK(again->fromMs == parsed->fromMs);
    FUZZ_CHECK(again->wait == parsed->wait);
    return 0;
}
