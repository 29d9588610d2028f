// Drawing the numbered ticket. BM_DrawLargestPlugin draws the largest plug-in the format
// allows: the largest paper, the most items, every text as long and as large as allowed, all
// bold, over the whole paper (goal: 50 ms). BM_DrawPerStop is what a stop costs through the
// plug-in calls (parsed once, then kept), BM_ParseLargestPlugin what each stop cost before.

#include "formats/ticketpluginformat.h"
#include "tickets/ticketdrawing.h"
#include "tickets/ticketplugin.h"
#include "tickets/ticketplugincache.h"

#include <QApplication>
#include <QFile>
#include <QImage>
#include <QPainter>
#include <QTemporaryDir>
#include <benchmark/benchmark.h>

namespace
{

// Kanji, so that every character is a full-width glyph of its own.
QString longText(int length, int offset)
{
    const QString pool = QStringLiteral("整理券市役所前中央通三丁目東口停留場県庁病院駅南北西");
    QString text;
    for (int i = 0; i < length; ++i)
        text += pool[(i + offset) % pool.size()];
    return text;
}

// The most drawing work a plug-in can ask for: the largest paper; stop-name and company
// fields with the longest prefix and suffix (and the longest values) until the characters run
// out; then filled and framed boxes over the whole paper up to the most items, one of them a
// barcode.
QByteArray largestPlugin()
{
    const QString whole = QStringLiteral("Rect=0,0,%1,%1\n").arg(tickets::MaxPaperTwips);
    const QString lettering =
        whole + QStringLiteral("Size=%1\nWeight=Bold\nAlign=Center\n").arg(tickets::MaxPointSize);
    QString items;
    int characters = tickets::MaxTextLength; // for the ticket number every plug-in places
    int count = 0;
    const int perField = 3 * tickets::MaxTextLength;
    for (; characters + perField <= tickets::MaxDrawnCharacters; characters += perField, ++count)
        items +=
            QStringLiteral("[Field]\n%1Field=%2\nPrefix=%3\nSuffix=%4\n")
                .arg(lettering, count % 2 ? QStringLiteral("Company") : QStringLiteral("StopName"),
                     longText(tickets::MaxTextLength, count),
                     longText(tickets::MaxTextLength, count + 5));
    if (characters < tickets::MaxDrawnCharacters) {
        items += QStringLiteral("[Text]\n%1Text=%2\n")
                     .arg(lettering, longText(tickets::MaxDrawnCharacters - characters, 7));
        ++count;
    }
    items += QStringLiteral("[Field]\n%1Field=TicketNo\nDigits=10\n").arg(lettering); // required
    items += QStringLiteral("[Barcode]\n%1").arg(whole);
    for (count += 2; count < tickets::MaxItems; ++count)
        items += QStringLiteral("[Box]\n%1Fill=#E0E0E0\nFrame=%2\n")
                     .arg(whole)
                     .arg(tickets::MaxPaperTwips / 2);
    return QStringLiteral("4SP-TICKET-PLUGIN 1\n[Info]\nPreviewWidth=%1\nPreviewHeight=%1\n"
                          "CanPrintStopName=1\nCanPrintBarcode=1\nBarcodeCount=1\n"
                          "RouteMax=999999\nStopRangeFrom=0\nStopRangeTo=32767\nCompanySwitch=1\n"
                          "[Companies]\n%2\n%3")
        .arg(tickets::MaxPaperTwips)
        .arg(longText(tickets::MaxTextLength, 3), items)
        .toUtf8();
}

tickets::TicketFields longestFields()
{
    tickets::TicketFields fields;
    fields.stopName = longText(1000, 3); // fare data may hold longer names than a plug-in
    fields.date = QStringLiteral("01-24-2009");
    fields.time = QStringLiteral("14:05:09");
    fields.route = 999999;
    fields.ticketNo = 32767;
    fields.stopRow = 301;
    fields.companyPos = 0;
    return fields;
}

void BM_DrawLargestPlugin(benchmark::State& state)
{
    const QByteArray bytes = largestPlugin();
    const tickets::ParseResult result = tickets::parseTicketPlugin(bytes);
    if (!result) {
        state.SkipWithError(result.diagnosis().toStdString().c_str());
        return;
    }
    const tickets::TicketPlugin& plugin = *result.plugin;
    QImage image(plugin.paperWidth() / 15, plugin.paperHeight() / 15, QImage::Format_RGB32);
    const tickets::TicketFields fields = longestFields();
    for (auto _ : state) {
        QPainter painter(&image);
        tickets::drawTicket(painter, plugin, fields);
    }
    state.counters["bytes"] = double(bytes.size());
    state.counters["items"] = double(plugin.items.size());
}
BENCHMARK(BM_DrawLargestPlugin)->Unit(benchmark::kMillisecond);

void BM_ParseLargestPlugin(benchmark::State& state)
{
    const QByteArray bytes = largestPlugin();
    for (auto _ : state)
        benchmark::DoNotOptimize(tickets::parseTicketPlugin(bytes));
}
BENCHMARK(BM_ParseLargestPlugin)->Unit(benchmark::kMillisecond);

// One stop's drawing call, the file read through the cache as the control panel does it.
void BM_DrawPerStop(benchmark::State& state)
{
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("largest.4SP"));
    QFile file(path);
    if (!file.open(QIODevice::WriteOnly) || file.write(largestPlugin()) < 0) {
        state.SkipWithError("cannot write the plug-in");
        return;
    }
    file.close();
    tickets::TicketPluginCache plugins;
    QImage image(tickets::MaxPaperTwips / 15, tickets::MaxPaperTwips / 15, QImage::Format_RGB32);
    QByteArray stop("\x8E\x73\x96\xF0\x8F\x8A\x91\x4F"); // 市役所前
    QByteArray date("01-24-2009");
    QByteArray time("14:05:09");
    for (auto _ : state)
        drawPluginTicket(plugins, path, &image, stop, date, time, 12, 7, 7, 0);
    state.counters["parses"] = plugins.parseCount();
}
BENCHMARK(BM_DrawPerStop)->Unit(benchmark::kMillisecond);

} // namespace

int main(int argc, char** argv)
{
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
