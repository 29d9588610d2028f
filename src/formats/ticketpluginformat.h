#pragma once

#include "formats/plugininfo.h"
#include "platform/bgrcolor.h"

#include <QByteArray>
#include <QRect>
#include <QString>
#include <QStringList>
#include <optional>
#include <vector>

// The numbered-ticket plug-in file (*.4SP): a declarative text file, never code. The layout is
// described in docs/ticket-plugin.md; this is its in-memory form and its reader.
namespace tickets
{

inline constexpr char Signature[] = "4SP-TICKET-PLUGIN";
inline constexpr int FormatVersion = 1;

// The limits below keep the drawing of any plug-in short (under 50 ms for the largest one
// the format allows, bench/tickets), whatever the file holds.
// Larger files are not read at all.
inline constexpr qint64 MaxFileSize = 1 << 20;
// Paper sides above this (in twips) are refused: 7500 twips are 500 pixels, more than the
// control panel's preview area shows.
inline constexpr int MaxPaperTwips = 7500;
// More items than this is no ticket any more.
inline constexpr int MaxItems = 100;
// The largest letters, in points (48 points are 64 pixels). Larger glyphs are drawn from their
// outlines every time instead of from rendered glyphs, which costs a hundred times more.
inline constexpr double MaxPointSize = 48;
// The longest text of an item (Text, Prefix, Suffix, Format) and of a company name, in
// characters: a ticket has room for a few words in each place. Values the program passes (a
// stop name) are cut to this length when drawn.
inline constexpr int MaxTextLength = 40;
// The most characters all items together may draw: every Text, Prefix and Suffix, and
// MaxTextLength for the value of each field.
inline constexpr int MaxDrawnCharacters = 1000;
// The longest comment, in characters, line ends included.
inline constexpr int MaxCommentLength = 2000;
// Company positions reach the drawing call as signed 16-bit numbers.
inline constexpr int MaxCompanies = 32767;

enum class ItemKind { Text, Field, Box, Barcode };
enum class Field { StopName, Date, Time, Route, TicketNo, StopRow, Company };
enum class HAlign { Left, Center, Right };
enum class VAlign { Top, Middle, Bottom };
// What a barcode carries: route part and ticket part, or one of them.
enum class BarcodeData { RouteAndTicket, Route, Ticket };

struct TicketItem {
    ItemKind kind = ItemKind::Text;
    QRect rect; // twips, inside the paper

    // Text and Field
    QString text; // Text only
    Field field = Field::StopName;
    QString prefix, suffix;
    QString format; // Date and Time: a Qt date/time pattern; empty prints the text as given
    int digits = 0; // numeric fields: zero-padded to at least this many digits
    QString fontFace;
    double pointSize = 10.0;
    int weight = 400; // 1..1000, 700 = bold
    HAlign align = HAlign::Left;
    VAlign valign = VAlign::Middle;
    std::optional<platform::BgrColor> color; // unset: the paper's ink

    // Box
    std::optional<platform::BgrColor> fill; // unset: not filled
    int frame = 0;                          // frame width in twips, 0 = none
    std::optional<platform::BgrColor> frameColor;

    // Barcode
    BarcodeData data = BarcodeData::RouteAndTicket;
    char guard = 'A'; // Codabar start and stop character, A to D
    int wideModules = 3;
};

struct TicketPaper {
    platform::BgrColor color = platform::RGB(255, 255, 255);
    platform::BgrColor ink = platform::RGB(0, 0, 0);
    int border = 0; // twips, drawn inside the paper's edge
    std::optional<platform::BgrColor> borderColor;
};

struct TicketPlugin {
    PluginInfo info;
    QString comment;
    QStringList companies;
    TicketPaper paper;
    std::vector<TicketItem> items;

    int paperWidth() const { return info[PluginInfo::PreviewWidth]; }
    int paperHeight() const { return info[PluginInfo::PreviewHeight]; }
};

struct ParseResult {
    std::optional<TicketPlugin> plugin;
    int line = 0;  // 1-based line of the fault, 0 when it concerns the whole file
    QString error; // why the file is not a plug-in, in the format's own (English) words

    explicit operator bool() const { return plugin.has_value(); }
    // "<line>行目: <error>", or the error alone when it concerns the whole file; empty for a
    // plug-in. The options dialog and hy3tool show it to the plug-in's author.
    QString diagnosis() const;
};

// Reads a plug-in from the file's bytes by the rule for users' text files (UTF-8 with a
// byte-order mark, valid UTF-8, or CP932). Any bytes are safe to pass; whatever is not a
// complete, consistent plug-in fails.
ParseResult parseTicketPlugin(const QByteArray& bytes);

// True when the plug-in declares that it can print the field (the flags of PluginInfo).
bool declaresField(const PluginInfo& info, Field field);

} // namespace tickets
