// The media command strings: built from paths and aliases that come from the options.
#include "fuzzcheck.h"

#include "audio/mci.h"

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
QString rewrite(const platform::MciCommand& cmd)
{
    using Verb = platform::MciCommand::Verb;
    QStringList parts;
    switch (cmd.verb) {
    case Verb::Open:
        parts << QStringLiteral("open") << quoted(cmd.file) << QStringLiteral("type")
              << quoted(cmd.deviceType) << QStringLiteral("alias") << quoted(cmd.alias);
        break;
    case Verb::Play:
        parts << QStringLiteral("play") << quoted(cmd.alias);
        if (cmd.fromMs >= 0)
            parts << QStringLiteral("from") << QString::number(cmd.fromMs);
        break;
    case Verb::Stop:
        parts << QStringLiteral("stop") << quoted(cmd.alias);
        break;
    case Verb::Close:
        parts << QStringLiteral("close") << quoted(cmd.alias);
        break;
    }
    if (cmd.wait)
        parts << QStringLiteral("wait");
    return parts.join(QLatin1Char(' '));
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    const QString command =
        QString::fromUtf8(reinterpret_cast<const char*>(data), static_cast<qsizetype>(size));
    int error = 0;
    const std::optional<platform::MciCommand> cmd = platform::parseMciCommand(command, &error);
    if (!cmd) {
        FUZZ_CHECK(error != 0);
        return 0;
    }
    FUZZ_CHECK(!cmd->file.contains(QLatin1Char('"')));
    FUZZ_CHECK(!cmd->alias.contains(QLatin1Char('"')));

    // The parsed command means the same when written out again.
    int againError = 0;
    const std::optional<platform::MciCommand> again =
        platform::parseMciCommand(rewrite(*cmd), &againError);
    FUZZ_CHECK(again.has_value());
    FUZZ_CHECK(again->verb == cmd->verb);
    FUZZ_CHECK(again->file == cmd->file);
    FUZZ_CHECK(again->deviceType == cmd->deviceType);
    FUZZ_CHECK(again->alias == cmd->alias);
    FUZZ_CHECK(again->fromMs == cmd->fromMs);
    FUZZ_CHECK(again->wait == cmd->wait);
    return 0;
}
