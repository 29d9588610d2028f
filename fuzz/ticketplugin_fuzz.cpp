// The ticket plug-in file (*.4SP): parsed, and when accepted, drawn as the preview draws it.
#include "fuzzcheck.h"

#include "formats/ticketpluginformat.h"
#include "tickets/ticketdrawing.h"

#include <QGuiApplication>
#include <QImage>
#include <QPainter>

#include <cstddef>
#include <cstdint>

namespace
{

QGuiApplication* application = nullptr;

// A small ticket; drawing cost grows with the paper, which the reader already bounds.
QImage paperFor(const tickets::TicketPlugin& plugin)
{
    const int width = qMax(1, plugin.paperWidth() / 15);
    const int height = qMax(1, plugin.paperHeight() / 15);
    QImage image(width, height, QImage::Format_RGB32);
    image.fill(Qt::white);
    return image;
}

} // namespace

extern "C" int LLVMFuzzerInitialize(int* argc, char*** argv)
{
    qputenv("QT_QPA_PLATFORM", "offscreen");
    application = new QGuiApplication(*argc, *argv);
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    const QByteArray bytes(reinterpret_cast<const char*>(data), static_cast<qsizetype>(size));
    const tickets::ParseResult result = tickets::parseTicketPlugin(bytes);
    if (!result) {
        FUZZ_CHECK(!result.error.isEmpty());
        FUZZ_CHECK(result.line >= 0);
        return 0;
    }
    const tickets::TicketPlugin& plugin = *result.plugin;
    FUZZ_CHECK(plugin.paperWidth() > 0 && plugin.paperWidth() <= tickets::MaxPaperTwips);
    FUZZ_CHECK(plugin.paperHeight() > 0 && plugin.paperHeight() <= tickets::MaxPaperTwips);
    // The limits that keep the drawing short hold for whatever was accepted.
    FUZZ_CHECK(plugin.items.size() <= static_cast<std::size_t>(tickets::MaxItems));
    FUZZ_CHECK(plugin.companies.size() <= tickets::MaxCompanies);
    FUZZ_CHECK(plugin.comment.size() <= 2 * tickets::MaxCommentLength);
    for (const QString& company : plugin.companies)
        FUZZ_CHECK(company.size() <= 2 * tickets::MaxTextLength);
    qsizetype drawn = 0;
    for (const tickets::TicketItem& item : plugin.items) {
        FUZZ_CHECK(item.pointSize <= tickets::MaxPointSize);
        FUZZ_CHECK(item.text.size() <= 2 * tickets::MaxTextLength);
        drawn += item.text.size() + item.prefix.size() + item.suffix.size();
    }
    FUZZ_CHECK(drawn <= 2 * tickets::MaxDrawnCharacters);

    tickets::TicketFields fields;
    fields.stopName = QStringLiteral("市役所前");
    fields.date = QStringLiteral("2024/03/09");
    fields.time = QStringLiteral("08:15:00");
    fields.route = 12;
    fields.ticketNo = 7;
    fields.stopRow = 3;
    fields.companyPos = plugin.companies.isEmpty() ? -1 : 0;
    for (const tickets::TicketItem& item : plugin.items) {
        if (item.kind == tickets::ItemKind::Barcode)
            tickets::barcodeText(plugin.info, item, fields);
        else if (item.kind == tickets::ItemKind::Field)
            tickets::fieldText(plugin, item, fields);
    }
    QImage image = paperFor(plugin);
    QPainter painter(&image);
    tickets::drawTicket(painter, plugin, fields);
    return 0;
}
