#include "formats/ticketpluginformat.h"

#include "platform/fontfaces.h"
#include "platform/textencoding.h"

#include <QMap>
#include <QRegularExpression>
#include <QStringDecoder>
#include <cmath>
#include <limits>

namespace tickets
{
namespace
{

struct ParseError {
    int line;
    QString message;
};

[[noreturn]] void fail(int line, const QString& message)
{
    throw ParseError{line, message};
}

enum class Section { Info, Comment, Companies, Paper, Text, Field, Box, Barcode };

struct SectionName {
    const char* name;
    Section section;
};
constexpr SectionName SectionNames[] = {
    {"Info", Section::Info},   {"Comment", Section::Comment}, {"Companies", Section::Companies},
    {"Paper", Section::Paper}, {"Text", Section::Text},       {"Field", Section::Field},
    {"Box", Section::Box},     {"Barcode", Section::Barcode},
};

struct RawLine {
    int number;
    QString text;
};

struct RawSection {
    Section section;
    int line;
    std::vector<RawLine> lines;
};

// The line, from 1, that holds the character at `index`; CR LF, LF and CR end lines.
int lineOf(const QString& text, qsizetype index)
{
    int line = 1;
    for (qsizetype i = 0; i < index; ++i) {
        if (text[i] == u'\n' ||
            (text[i] == u'\r' && (i + 1 >= text.size() || text[i + 1] != u'\n')))
            ++line;
    }
    return line;
}

bool isForbiddenControl(QChar c)
{
    return (c.unicode() < 0x20 && c != u'\t' && c != u'\r' && c != u'\n') || c.unicode() == 0x7F;
}

// The file's text by the rule for users' text files: UTF-8 with a byte-order mark, valid
// UTF-8, or CP932. Unreadable bytes and control characters fail at their line.
QString decodeText(const QByteArray& bytes)
{
    const platform::DecodedText decoded = platform::decodeUserText(bytes);
    if (!platform::isReadable(decoded.encoding))
        fail(0, QStringLiteral("%1 text is not read: save the file as UTF-8 or as CP932 "
                               "(Shift-JIS)")
                    .arg(platform::encodingName(decoded.encoding)));
    const QString& text = decoded.text;
    if (!decoded.clean) {
        const bool utf8 = decoded.encoding == platform::TextEncoding::Utf8WithBom;
        fail(lineOf(text, text.indexOf(QChar(QChar::ReplacementCharacter))),
             utf8 ? QStringLiteral("bytes that are not UTF-8 after the byte-order mark")
                  : QStringLiteral("bytes that are neither UTF-8 nor CP932 (Shift-JIS) text"));
    }
    for (qsizetype i = 0; i < text.size(); ++i) {
        if (isForbiddenControl(text[i]))
            fail(
                lineOf(text, i),
                QStringLiteral("control character U+%1")
                    .arg(QString::number(text[i].unicode(), 16).toUpper().rightJustified(4, u'0')));
    }
    return text;
}

bool isBlankOrRemark(const QString& trimmed)
{
    return trimmed.isEmpty() || trimmed.startsWith(u';');
}

std::optional<Section> sectionHeader(const QString& trimmed)
{
    if (!trimmed.startsWith(u'[') || !trimmed.endsWith(u']'))
        return std::nullopt;
    const QString name = trimmed.mid(1, trimmed.size() - 2).trimmed();
    for (const SectionName& entry : SectionNames) {
        if (name.compare(QLatin1String(entry.name), Qt::CaseInsensitive) == 0)
            return entry.section;
    }
    return std::nullopt;
}

void checkSignature(const QString& firstLine)
{
    static const QRegularExpression pattern(
        QStringLiteral("^%1[ \\t]+(\\d{1,4})$").arg(QLatin1String(Signature)));
    const QRegularExpressionMatch match = pattern.match(firstLine.trimmed());
    if (!match.hasMatch())
        fail(1, QStringLiteral("the first line is not \"%1 %2\"")
                    .arg(QLatin1String(Signature))
                    .arg(FormatVersion));
    if (match.captured(1).toInt() != FormatVersion)
        fail(1, QStringLiteral("format version %1 is not supported").arg(match.captured(1)));
}

std::vector<RawSection> splitSections(const QStringList& lines)
{
    std::vector<RawSection> sections;
    for (int i = 1; i < lines.size(); ++i) {
        const int number = i + 1;
        const QString trimmed = lines[i].trimmed();
        const bool inComment = !sections.empty() && sections.back().section == Section::Comment;
        if (const auto header = sectionHeader(trimmed)) {
            sections.push_back({*header, number, {}});
            continue;
        }
        if (inComment) {
            sections.back().lines.push_back({number, lines[i]});
            continue;
        }
        if (isBlankOrRemark(trimmed))
            continue;
        if (trimmed.startsWith(u'['))
            fail(number, QStringLiteral("unknown section %1").arg(trimmed));
        if (sections.empty())
            fail(number, QStringLiteral("text before the first section"));
        sections.back().lines.push_back({number, trimmed});
    }
    return sections;
}

QString unquoted(const QString& value)
{
    if (value.size() >= 2 && value.startsWith(u'"') && value.endsWith(u'"'))
        return value.mid(1, value.size() - 2);
    return value;
}

// A text no longer than MaxTextLength characters.
QString limitedText(const RawLine& entry, const char* what)
{
    if (entry.text.toUcs4().size() > MaxTextLength)
        fail(entry.number, QStringLiteral("%1 is longer than %2 characters")
                               .arg(QLatin1String(what))
                               .arg(MaxTextLength));
    return entry.text;
}

// The key=value lines of one section. Every key is taken at most once; what nobody took is an
// unknown key.
class SectionKeys
{
public:
    explicit SectionKeys(const RawSection& raw) : sectionLine_(raw.line)
    {
        for (const RawLine& line : raw.lines) {
            const qsizetype eq = line.text.indexOf(u'=');
            if (eq <= 0)
                fail(line.number, QStringLiteral("expected Key=Value"));
            const QString key = line.text.left(eq).trimmed().toLower();
            if (entries_.contains(key))
                fail(line.number, QStringLiteral("%1 is given twice").arg(key));
            entries_.insert(key, {line.number, unquoted(line.text.mid(eq + 1).trimmed())});
        }
    }

    int sectionLine() const { return sectionLine_; }

    std::optional<RawLine> take(const char* key)
    {
        auto it = entries_.find(QLatin1String(key).toString().toLower());
        if (it == entries_.end())
            return std::nullopt;
        RawLine entry = *it;
        entries_.erase(it);
        return entry;
    }

    RawLine require(const char* key)
    {
        if (auto entry = take(key))
            return *entry;
        fail(sectionLine_, QStringLiteral("%1 is missing").arg(QLatin1String(key)));
    }

    void expectNoMore() const
    {
        if (!entries_.isEmpty())
            fail(entries_.first().number,
                 QStringLiteral("unknown key %1").arg(entries_.firstKey()));
    }

private:
    int sectionLine_;
    QMap<QString, RawLine> entries_;
};

int toInteger(const RawLine& entry, qint64 min, qint64 max)
{
    bool ok = false;
    const qint64 value = entry.text.toLongLong(&ok, 10);
    if (!ok)
        fail(entry.number, QStringLiteral("\"%1\" is not a whole number").arg(entry.text));
    if (value < min || value > max)
        fail(entry.number, QStringLiteral("%1 is outside %2..%3").arg(value).arg(min).arg(max));
    return static_cast<int>(value);
}

int integerOr(SectionKeys& keys, const char* key, int fallback, qint64 min, qint64 max)
{
    const auto entry = keys.take(key);
    return entry ? toInteger(*entry, min, max) : fallback;
}

platform::BgrColor toColor(const RawLine& entry)
{
    const QString& text = entry.text;
    bool ok = false;
    if (text.size() == 7 && text.startsWith(u'#')) {
        const uint rgb = text.mid(1).toUInt(&ok, 16);
        if (ok)
            return platform::RGB((rgb >> 16) & 0xFF, (rgb >> 8) & 0xFF, rgb & 0xFF);
    } else if (text.startsWith(QLatin1String("&H"), Qt::CaseInsensitive)) {
        QString digits = text.mid(2);
        if (digits.endsWith(u'&'))
            digits.chop(1);
        const uint bgr = digits.size() <= 8 ? digits.toUInt(&ok, 16) : 0;
        if (ok && bgr <= 0xFFFFFF)
            return static_cast<platform::BgrColor>(bgr);
    }
    fail(entry.number, QStringLiteral("\"%1\" is not a colour (#RRGGBB or &HBBGGRR)").arg(text));
}

std::optional<platform::BgrColor> colorOr(SectionKeys& keys, const char* key)
{
    const auto entry = keys.take(key);
    return entry ? std::optional(toColor(*entry)) : std::nullopt;
}

template <typename Enum, std::size_t N>
Enum toChoice(const RawLine& entry, const char* key, const std::pair<const char*, Enum> (&names)[N])
{
    for (const auto& [name, value] : names) {
        if (entry.text.compare(QLatin1String(name), Qt::CaseInsensitive) == 0)
            return value;
    }
    fail(entry.number, QStringLiteral("\"%1\" is not a valid %2").arg(entry.text, key));
}

template <typename Enum, std::size_t N>
Enum choiceOr(SectionKeys& keys, const char* key, Enum fallback,
              const std::pair<const char*, Enum> (&names)[N])
{
    const auto entry = keys.take(key);
    return entry ? toChoice(*entry, key, names) : fallback;
}

QRect toRect(const RawLine& entry, int paperWidth, int paperHeight)
{
    const QStringList parts = entry.text.split(u',');
    if (parts.size() != 4)
        fail(entry.number, QStringLiteral("Rect needs left,top,width,height"));
    int numbers[4];
    for (int i = 0; i < 4; ++i)
        numbers[i] = toInteger({entry.number, parts[i].trimmed()}, 0, MaxPaperTwips);
    const auto [left, top, width, height] = numbers;
    if (width <= 0 || height <= 0)
        fail(entry.number, QStringLiteral("Rect needs a positive width and height"));
    if (left + width > paperWidth || top + height > paperHeight)
        fail(entry.number, QStringLiteral("Rect reaches beyond the paper"));
    return QRect(left, top, width, height);
}

constexpr const char* InfoNames[PluginInfo::Count] = {
    "Reserved",         "PreviewWidth",     "PreviewHeight",   "CanPrintDate",  "CanPrintTime",
    "CanPrintRoute",    "CanPrintStopName", "CanPrintBarcode", "BarcodeCount",  "RouteMax",
    "BarcodeRouteMode", "StopRangeFrom",    "StopRangeTo",     "CompanySwitch",
};

PluginInfo readInfo(SectionKeys keys)
{
    constexpr qint64 Min = std::numeric_limits<std::int32_t>::min();
    constexpr qint64 Max = std::numeric_limits<std::int32_t>::max();
    PluginInfo info;
    for (int i = 0; i < PluginInfo::Count; ++i) {
        if (i == PluginInfo::PreviewWidth || i == PluginInfo::PreviewHeight) {
            const RawLine entry = keys.require(InfoNames[i]);
            const int value = toInteger(entry, Min, Max);
            if (value <= 0 || value > MaxPaperTwips)
                fail(entry.number,
                     QStringLiteral("the paper size must be 1..%1 twips").arg(MaxPaperTwips));
            info[i] = value;
        } else {
            info[i] = integerOr(keys, InfoNames[i], 0, Min, Max);
        }
    }
    keys.expectNoMore();
    return info;
}

QString readComment(const RawSection& raw)
{
    QStringList lines;
    qsizetype length = 0;
    for (const RawLine& line : raw.lines) {
        length += line.text.toUcs4().size() + 1;
        if (length > MaxCommentLength + 1)
            fail(line.number,
                 QStringLiteral("the comment is longer than %1 characters").arg(MaxCommentLength));
        lines.append(line.text);
    }
    while (!lines.isEmpty() && lines.first().trimmed().isEmpty())
        lines.removeFirst();
    while (!lines.isEmpty() && lines.last().trimmed().isEmpty())
        lines.removeLast();
    return lines.join(u'\n');
}

QStringList readCompanies(const RawSection& raw)
{
    QStringList names;
    for (const RawLine& line : raw.lines) {
        if (names.size() == MaxCompanies)
            fail(line.number, QStringLiteral("more than %1 company names (positions are 16-bit)")
                                  .arg(MaxCompanies));
        names.append(limitedText(line, "a company name"));
    }
    return names;
}

TicketPaper readPaper(SectionKeys keys, const PluginInfo& info)
{
    TicketPaper paper;
    paper.color = colorOr(keys, "Color").value_or(paper.color);
    paper.ink = colorOr(keys, "Ink").value_or(paper.ink);
    const int shorter = std::min(info[PluginInfo::PreviewWidth], info[PluginInfo::PreviewHeight]);
    paper.border = integerOr(keys, "Border", 0, 0, shorter / 2);
    paper.borderColor = colorOr(keys, "BorderColor");
    keys.expectNoMore();
    return paper;
}

constexpr std::pair<const char*, HAlign> HAlignNames[] = {
    {"Left", HAlign::Left}, {"Center", HAlign::Center}, {"Right", HAlign::Right}};
constexpr std::pair<const char*, VAlign> VAlignNames[] = {
    {"Top", VAlign::Top}, {"Middle", VAlign::Middle}, {"Bottom", VAlign::Bottom}};
constexpr std::pair<const char*, Field> FieldNames[] = {
    {"StopName", Field::StopName}, {"Date", Field::Date},         {"Time", Field::Time},
    {"Route", Field::Route},       {"TicketNo", Field::TicketNo}, {"StopRow", Field::StopRow},
    {"Company", Field::Company}};
constexpr std::pair<const char*, BarcodeData> BarcodeDataNames[] = {
    {"RouteAndTicket", BarcodeData::RouteAndTicket},
    {"Route", BarcodeData::Route},
    {"Ticket", BarcodeData::Ticket}};

void readLettering(SectionKeys& keys, TicketItem& item)
{
    item.fontFace = platform::GothicFace;
    if (const auto font = keys.take("Font")) {
        if (font->text != platform::GothicFace && font->text != platform::MinchoFace &&
            font->text != platform::PGothicFace)
            fail(font->number, QStringLiteral("unknown font %1").arg(font->text));
        item.fontFace = font->text;
    }
    if (const auto size = keys.take("Size")) {
        bool ok = false;
        item.pointSize = size->text.toDouble(&ok);
        if (!ok || !std::isfinite(item.pointSize) || item.pointSize < 1 ||
            item.pointSize > MaxPointSize)
            fail(size->number, QStringLiteral("Size must be 1..%1 points").arg(MaxPointSize));
    }
    if (const auto weight = keys.take("Weight")) {
        if (weight->text.compare(QLatin1String("Normal"), Qt::CaseInsensitive) == 0)
            item.weight = 400;
        else if (weight->text.compare(QLatin1String("Bold"), Qt::CaseInsensitive) == 0)
            item.weight = 700;
        else
            item.weight = toInteger(*weight, 1, 1000);
    }
    item.align = choiceOr(keys, "Align", HAlign::Left, HAlignNames);
    item.valign = choiceOr(keys, "VAlign", VAlign::Middle, VAlignNames);
    item.color = colorOr(keys, "Color");
}

bool isNumericField(Field field)
{
    return field == Field::Route || field == Field::TicketNo || field == Field::StopRow;
}

TicketItem readItem(const RawSection& raw, const PluginInfo& info)
{
    SectionKeys keys(raw);
    TicketItem item;
    item.rect = toRect(keys.require("Rect"), info[PluginInfo::PreviewWidth],
                       info[PluginInfo::PreviewHeight]);
    switch (raw.section) {
    case Section::Text:
        item.kind = ItemKind::Text;
        item.text = limitedText(keys.require("Text"), "Text");
        if (item.text.isEmpty())
            fail(raw.line, QStringLiteral("Text is empty"));
        readLettering(keys, item);
        break;
    case Section::Field: {
        item.kind = ItemKind::Field;
        item.field = toChoice(keys.require("Field"), "Field", FieldNames);
        readLettering(keys, item);
        if (const auto prefix = keys.take("Prefix"))
            item.prefix = limitedText(*prefix, "Prefix");
        if (const auto suffix = keys.take("Suffix"))
            item.suffix = limitedText(*suffix, "Suffix");
        if (const auto digits = keys.take("Digits")) {
            if (!isNumericField(item.field))
                fail(digits->number, QStringLiteral("Digits is for numeric fields only"));
            item.digits = toInteger(*digits, 0, 10);
        }
        if (const auto format = keys.take("Format")) {
            if (item.field != Field::Date && item.field != Field::Time)
                fail(format->number, QStringLiteral("Format is for Date and Time only"));
            item.format = limitedText(*format, "Format");
        }
        break;
    }
    case Section::Box:
        item.kind = ItemKind::Box;
        if (const auto fill = keys.take("Fill")) {
            if (fill->text.compare(QLatin1String("None"), Qt::CaseInsensitive) != 0)
                item.fill = toColor(*fill);
        }
        item.frame =
            integerOr(keys, "Frame", 0, 0, std::min(item.rect.width(), item.rect.height()) / 2);
        item.frameColor = colorOr(keys, "FrameColor");
        break;
    case Section::Barcode: {
        item.kind = ItemKind::Barcode;
        item.data = choiceOr(keys, "Data", BarcodeData::RouteAndTicket, BarcodeDataNames);
        if (const auto guard = keys.take("Guard")) {
            const QString letter = guard->text.toUpper();
            if (letter.size() != 1 || letter[0] < u'A' || letter[0] > u'D')
                fail(guard->number, QStringLiteral("Guard must be A, B, C or D"));
            item.guard = static_cast<char>(letter[0].unicode());
        }
        item.wideModules = integerOr(keys, "Wide", 3, 2, 3);
        item.color = colorOr(keys, "Color");
        break;
    }
    default:
        break;
    }
    keys.expectNoMore();
    return item;
}

// The characters an item may draw at most: its texts, and the longest value of a field.
int drawnCharacters(const TicketItem& item)
{
    switch (item.kind) {
    case ItemKind::Text:
        return int(item.text.toUcs4().size());
    case ItemKind::Field:
        return int(item.prefix.toUcs4().size() + item.suffix.toUcs4().size()) + MaxTextLength;
    case ItemKind::Box:
    case ItemKind::Barcode:
        break;
    }
    return 0;
}

// The flags of PluginInfo and the layout must tell the same story.
void checkAgreement(const TicketPlugin& plugin, int lastLine)
{
    const PluginInfo& info = plugin.info;
    struct FlagCheck {
        Field field;
        const char* flag;
    };
    constexpr FlagCheck flagged[] = {{Field::Date, "CanPrintDate"},
                                     {Field::Time, "CanPrintTime"},
                                     {Field::Route, "CanPrintRoute"},
                                     {Field::StopName, "CanPrintStopName"},
                                     {Field::Company, "CompanySwitch"}};
    for (const FlagCheck& check : flagged) {
        bool placed = false;
        for (const TicketItem& item : plugin.items)
            placed |= item.kind == ItemKind::Field && item.field == check.field;
        if (placed != declaresField(info, check.field))
            fail(lastLine, placed ? QStringLiteral("a field is placed but %1 does not allow it")
                                        .arg(QLatin1String(check.flag))
                                  : QStringLiteral("%1 is set but no such field is placed")
                                        .arg(QLatin1String(check.flag)));
    }
    if ((info[PluginInfo::CompanySwitch] >= 1) != !plugin.companies.isEmpty())
        fail(lastLine, QStringLiteral("CompanySwitch and the [Companies] list disagree"));

    // A numbered ticket without its number is no ticket.
    bool numbered = false;
    for (const TicketItem& item : plugin.items)
        numbered |= item.kind == ItemKind::Field && item.field == Field::TicketNo;
    if (!numbered)
        fail(lastLine, QStringLiteral("no TicketNo field is placed"));

    int barcodes = 0;
    for (const TicketItem& item : plugin.items)
        barcodes += item.kind == ItemKind::Barcode;
    if (info[PluginInfo::CanPrintBarcode] != 1) {
        if (barcodes > 0)
            fail(lastLine, QStringLiteral("a barcode is placed but CanPrintBarcode is not 1"));
        return;
    }
    if (barcodes == 0)
        fail(lastLine, QStringLiteral("CanPrintBarcode is 1 but no barcode is placed"));
    if (info[PluginInfo::BarcodeCount] != barcodes)
        fail(lastLine, QStringLiteral("BarcodeCount is %1 but %2 barcodes are placed")
                           .arg(info[PluginInfo::BarcodeCount])
                           .arg(barcodes));
    if (info[PluginInfo::RouteMax] < 1 || info[PluginInfo::RouteMax] > 999999)
        fail(lastLine, QStringLiteral("RouteMax must be 1..999999 for barcodes"));
    if (info[PluginInfo::StopRangeFrom] < 0 ||
        info[PluginInfo::StopRangeFrom] > info[PluginInfo::StopRangeTo] ||
        info[PluginInfo::StopRangeTo] > 32767)
        fail(lastLine, QStringLiteral("the stop range must satisfy 0 <= from <= to <= 32767"));
}

TicketPlugin buildPlugin(const std::vector<RawSection>& sections, int lastLine)
{
    const RawSection* infoSection = nullptr;
    const RawSection* paperSection = nullptr;
    const RawSection* commentSection = nullptr;
    const RawSection* companySection = nullptr;
    auto keepSingle = [](const RawSection*& slot, const RawSection& raw) {
        if (slot)
            fail(raw.line, QStringLiteral("this section is given twice"));
        slot = &raw;
    };
    for (const RawSection& raw : sections) {
        if (raw.section == Section::Info)
            keepSingle(infoSection, raw);
        else if (raw.section == Section::Paper)
            keepSingle(paperSection, raw);
        else if (raw.section == Section::Comment)
            keepSingle(commentSection, raw);
        else if (raw.section == Section::Companies)
            keepSingle(companySection, raw);
    }
    if (!infoSection)
        fail(0, QStringLiteral("the [Info] section is missing"));

    TicketPlugin plugin;
    plugin.info = readInfo(SectionKeys(*infoSection));
    if (paperSection)
        plugin.paper = readPaper(SectionKeys(*paperSection), plugin.info);
    if (commentSection)
        plugin.comment = readComment(*commentSection);
    if (companySection)
        plugin.companies = readCompanies(*companySection);
    int characters = 0;
    for (const RawSection& raw : sections) {
        const bool drawn = raw.section == Section::Text || raw.section == Section::Field ||
                           raw.section == Section::Box || raw.section == Section::Barcode;
        if (!drawn)
            continue;
        if (static_cast<int>(plugin.items.size()) >= MaxItems)
            fail(raw.line, QStringLiteral("more than %1 drawn items").arg(MaxItems));
        plugin.items.push_back(readItem(raw, plugin.info));
        characters += drawnCharacters(plugin.items.back());
        if (characters > MaxDrawnCharacters)
            fail(raw.line, QStringLiteral("the items together draw more than %1 characters (each "
                                          "field counts %2 for its value)")
                               .arg(MaxDrawnCharacters)
                               .arg(MaxTextLength));
    }
    checkAgreement(plugin, lastLine);
    return plugin;
}

} // namespace

bool declaresField(const PluginInfo& info, Field field)
{
    switch (field) {
    case Field::Date:
        return info[PluginInfo::CanPrintDate] == 1;
    case Field::Time:
        return info[PluginInfo::CanPrintTime] == 1;
    case Field::Route:
        return info[PluginInfo::CanPrintRoute] == 1;
    case Field::StopName:
        return info[PluginInfo::CanPrintStopName] == 1;
    case Field::Company:
        return info[PluginInfo::CompanySwitch] >= 1;
    case Field::TicketNo:
    case Field::StopRow:
        return true;
    }
    return false;
}

ParseResult parseTicketPlugin(const QByteArray& bytes)
{
    ParseResult result;
    if (bytes.size() > MaxFileSize) {
        result.error = QStringLiteral("the file is larger than %1 bytes").arg(MaxFileSize);
        return result;
    }
    static const QRegularExpression lineBreak(QStringLiteral("\r\n|\r|\n"));
    try {
        const QStringList lines = decodeText(bytes).split(lineBreak);
        checkSignature(lines.first());
        result.plugin = buildPlugin(splitSections(lines), static_cast<int>(lines.size()));
    } catch (const ParseError& error) {
        result.line = error.line;
        result.error = error.message;
    }
    return result;
}

QString ParseResult::diagnosis() const
{
    if (plugin)
        return QString();
    return line > 0 ? QStringLiteral("%1行目: %2").arg(line).arg(error) : error;
}

} // namespace tickets
