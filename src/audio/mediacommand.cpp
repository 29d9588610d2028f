#include "audio/mediacommand.h"

#include <QStringList>

namespace audio
{

namespace
{

// ---- parsing ----

// Splits at blanks; a double-quoted run is one token without its quotes.
bool tokenize(const QString& command, QStringList& tokens)
{
    QString current;
    bool inQuotes = false;
    bool hasToken = false;
    for (QChar c : command) {
        if (inQuotes) {
            if (c == u'"')
                inQuotes = false;
            else
                current += c;
        } else if (c == u'"') {
            inQuotes = true;
            hasToken = true;
        } else if (c.isSpace()) {
            if (hasToken)
                tokens << current;
            current.clear();
            hasToken = false;
        } else {
            current += c;
            hasToken = true;
        }
    }
    if (inQuotes)
        return false;
    if (hasToken)
        tokens << current;
    return true;
}

bool isKnownType(const QString& type)
{
    return type == u"waveaudio" || type == u"mpegvideo" || type == u"sequencer";
}

std::optional<MediaCommand> fail(int code, int* error)
{
    if (error)
        *error = code;
    return std::nullopt;
}

std::optional<MediaCommand> parseOpen(const QStringList& tokens, int* error)
{
    if (tokens.size() < 2)
        return fail(MediaError::MissingParameter, error);
    MediaCommand request;
    request.verb = MediaCommand::Verb::Open;
    request.file = tokens[1];
    for (int i = 2; i < tokens.size(); ++i) {
        const QString key = tokens[i].toLower();
        if (key == u"wait") {
            request.wait = true;
        } else if ((key == u"type" || key == u"alias") && i + 1 < tokens.size()) {
            (key == u"type" ? request.deviceType : request.alias) = tokens[++i].toLower();
        } else {
            return fail(key == u"type" || key == u"alias" ? MediaError::MissingParameter
                                                          : MediaError::UnrecognizedKeyword,
                        error);
        }
    }
    if (request.alias.isEmpty() || request.file.isEmpty())
        return fail(MediaError::MissingParameter, error);
    if (!isKnownType(request.deviceType))
        return fail(MediaError::InvalidDeviceName, error);
    return request;
}

std::optional<MediaCommand> parsePlay(const QStringList& tokens, int* error)
{
    MediaCommand request;
    request.verb = MediaCommand::Verb::Play;
    request.alias = tokens[1].toLower();
    for (int i = 2; i < tokens.size(); ++i) {
        const QString key = tokens[i].toLower();
        if (key == u"wait") {
            request.wait = true;
        } else if (key == u"from" && i + 1 < tokens.size()) {
            bool ok = false;
            request.fromMs = tokens[++i].toLongLong(&ok);
            if (!ok || request.fromMs < 0)
                return fail(MediaError::BadInteger, error);
        } else {
            return fail(key == u"from" ? MediaError::MissingParameter
                                       : MediaError::UnrecognizedKeyword,
                        error);
        }
    }
    return request;
}

} // namespace

std::optional<MediaCommand> parseMediaCommand(const QString& command, int* error)
{
    QStringList tokens;
    if (!tokenize(command, tokens))
        return fail(MediaError::NoClosingQuote, error);
    if (tokens.isEmpty())
        return fail(MediaError::MissingCommandString, error);
    const QString verb = tokens[0].toLower();
    if (verb != u"open" && verb != u"play" && verb != u"stop" && verb != u"close")
        return fail(MediaError::UnrecognizedCommand, error);
    if (tokens.size() < 2)
        return fail(MediaError::MissingParameter, error);
    if (verb == u"open")
        return parseOpen(tokens, error);
    if (verb == u"play")
        return parsePlay(tokens, error);
    if (tokens.size() > 2)
        return fail(MediaError::UnrecognizedKeyword, error);
    MediaCommand request;
    request.verb = verb == u"stop" ? MediaCommand::Verb::Stop : MediaCommand::Verb::Close;
    request.alias = tokens[1].toLower();
    return request;
}

} // namespace audio
