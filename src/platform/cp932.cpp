#include "cp932.h"

#include <QList>

#include <cerrno>
#include <iconv.h>

namespace platform
{
namespace
{

class Iconv
{
public:
    Iconv(const char* to, const char* from) : descriptor_(iconv_open(to, from)) {}
    ~Iconv()
    {
        if (valid())
            iconv_close(descriptor_);
    }
    Iconv(const Iconv&) = delete;
    Iconv& operator=(const Iconv&) = delete;

    bool valid() const { return descriptor_ != reinterpret_cast<iconv_t>(-1); }

    // Converts as much as possible; returns false at an unconvertible or incomplete sequence,
    // leaving `in`/`inLeft` at the offending input.
    bool convert(char*& in, size_t& inLeft, QByteArray& out)
    {
        char buffer[4096];
        while (inLeft > 0) {
            char* dst = buffer;
            size_t dstLeft = sizeof buffer;
            size_t rc = iconv(descriptor_, &in, &inLeft, &dst, &dstLeft);
            out.append(buffer, static_cast<qsizetype>(dst - buffer));
            if (rc == static_cast<size_t>(-1) && errno != E2BIG) {
                iconv(descriptor_, nullptr, nullptr, nullptr, nullptr); // reset shift state
                return false;
            }
        }
        return true;
    }

private:
    iconv_t descriptor_;
};

// Length of the UTF-8 sequence that starts with byte b (1 for stray bytes).
int utf8SequenceLength(unsigned char b)
{
    if (b >= 0xF0)
        return 4;
    if (b >= 0xE0)
        return 3;
    if (b >= 0xC0)
        return 2;
    return 1;
}

} // namespace

QByteArray toCp932(const QString& text)
{
    QByteArray utf8 = text.toUtf8();
    QByteArray out;
    out.reserve(utf8.size());
    Iconv conv("CP932", "UTF-8");
    if (!conv.valid())
        return QByteArray(text.size(), '?');
    char* in = utf8.data();
    size_t inLeft = static_cast<size_t>(utf8.size());
    while (!conv.convert(in, inLeft, out)) {
        out.append('?');
        size_t skip = std::min<size_t>(utf8SequenceLength(static_cast<unsigned char>(*in)), inLeft);
        in += skip;
        inLeft -= skip;
    }
    return out;
}

QString fromCp932(const QByteArray& bytes)
{
    QByteArray copy = bytes;
    QByteArray out;
    out.reserve(bytes.size() * 2);
    Iconv conv("UTF-8", "CP932");
    if (!conv.valid())
        return QString::fromLatin1(bytes);
    char* in = copy.data();
    size_t inLeft = static_cast<size_t>(copy.size());
    while (!conv.convert(in, inLeft, out)) {
        out.append("\xEF\xBF\xBD"); // U+FFFD
        ++in;
        --inLeft;
    }
    return QString::fromUtf8(out);
}

int cp932Length(const QString& text)
{
    return static_cast<int>(toCp932(text).size());
}

bool isCp932Representable(const QString& text)
{
    QByteArray utf8 = text.toUtf8();
    Iconv conv("CP932", "UTF-8");
    if (!conv.valid())
        return false;
    QByteArray out;
    char* in = utf8.data();
    size_t inLeft = static_cast<size_t>(utf8.size());
    return conv.convert(in, inLeft, out);
}

QString nonCp932Reason(const QString& text)
{
    if (isCp932Representable(text))
        return QString();
    for (qsizetype i = 0; i < text.size();) {
        const qsizetype width = text[i].isHighSurrogate() && i + 1 < text.size() ? 2 : 1;
        const QString character = text.mid(i, width);
        if (!isCp932Representable(character)) {
            const QString codePoint =
                QString::number(character.toUcs4().value(0), 16).toUpper().rightJustified(4, u'0');
            return QStringLiteral("「%1」(U+%2) は Shift-JIS (CP932) で表せない文字です")
                .arg(character, codePoint);
        }
        i += width;
    }
    return QString();
}

bool survivesCp932(const QString& text)
{
    return fromCp932(toCp932(text)) == text;
}

} // namespace platform
