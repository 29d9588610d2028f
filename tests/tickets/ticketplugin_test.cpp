#include "formats/ticketpluginformat.h"
#include "platform/colorconversion.h"
#include "platform/cp932.h"
#include "tickets/codabar.h"
#include "tickets/ticketdrawing.h"
#include "tickets/ticketplugin.h"
#include "tickets/ticketplugincache.h"

#include <QApplication>
#include <QComboBox>
#include <QDateTime>
#include <QDir>
#include <QFile>
#include <QImage>
#include <QLineEdit>
#include <QPainter>
#include <QPlainTextEdit>
#include <QRandomGenerator>
#include <QStringEncoder>
#include <QTemporaryDir>
#include <gtest/gtest.h>
#include <limits>
#include <sys/stat.h>

using namespace tickets;

namespace
{

QApplication& application()
{
    static int argc = 1;
    static char name[] = "tickets_plugin_tests";
    static char* argv[] = {name, nullptr};
    static QApplication app(argc, argv);
    return app;
}

QString samplePath(const char* file)
{
    return QStringLiteral(PLUGIN_SAMPLES_DIR "/") + QLatin1String(file);
}

QByteArray readAll(const QString& path)
{
    QFile file(path);
    EXPECT_TRUE(file.open(QIODevice::ReadOnly)) << path.toStdString();
    return file.readAll();
}

// A small valid plug-in; tests replace one line to make variants.
const char* const MinimalText = R"(4SP-TICKET-PLUGIN 1
[Info]
PreviewWidth=1500
PreviewHeight=750
CanPrintDate=1
[Field]
Field=Date
Rect=0,0,1500,300
[Field]
Field=TicketNo
Rect=0,300,1500,450
)";

QByteArray minimal(const QString& from = {}, const QString& to = {})
{
    QString text = QString::fromUtf8(MinimalText);
    if (!from.isEmpty())
        text.replace(from, to);
    return platform::toCp932(text);
}

std::string errorOf(const ParseResult& result)
{
    return QStringLiteral("line %1: %2").arg(result.line).arg(result.error).toStdString();
}

bool isPaper(QRgb pixel, platform::BgrColor paper)
{
    return (pixel & 0xFFFFFF) == (platform::toQColor(paper).rgb() & 0xFFFFFF);
}

// Pixels in the twips rectangle that are not paper-coloured.
int inkIn(const QImage& image, const QRect& twips, platform::BgrColor paper)
{
    const QRect pixels(twips.left() / 15, twips.top() / 15, twips.width() / 15,
                       twips.height() / 15);
    int ink = 0;
    for (int y = pixels.top(); y <= pixels.bottom(); ++y)
        for (int x = pixels.left(); x <= pixels.right(); ++x)
            ink += !isPaper(image.pixel(x, y), paper);
    return ink;
}

const TicketItem* fieldItem(const TicketPlugin& plugin, Field field)
{
    for (const TicketItem& item : plugin.items)
        if (item.kind == ItemKind::Field && item.field == field)
            return &item;
    return nullptr;
}

TicketFields sampleFields()
{
    TicketFields fields;
    fields.stopName = QStringLiteral("市役所前");
    fields.date = QStringLiteral("01-24-2009");
    fields.time = QStringLiteral("14:05:09");
    fields.route = 12;
    fields.ticketNo = 7;
    fields.stopRow = 7;
    fields.companyPos = 0;
    return fields;
}

QImage drawn(const TicketPlugin& plugin, const TicketFields& fields)
{
    QImage image(plugin.paperWidth() / 15, plugin.paperHeight() / 15, QImage::Format_RGB32);
    image.fill(Qt::magenta);
    QPainter painter(&image);
    drawTicket(painter, plugin, fields);
    return image;
}

class TicketPluginTest : public ::testing::Test
{
protected:
    void SetUp() override { application(); }

    TicketPluginCache plugins;
};

} // namespace

// ---- the file format -------------------------------------------------------------------

TEST(TicketPluginFormat, FullSampleGivesEveryValueCommentAndCompanies)
{
    const ParseResult result = parseTicketPlugin(readAll(samplePath("full_ticket.4SP")));
    ASSERT_TRUE(result) << errorOf(result);
    const PluginInfo& info = result.plugin->info;
    const std::array<std::int32_t, 14> expected = {0, 3450, 1800, 1, 1, 1,   1,
                                                   1, 1,    999,  0, 1, 300, 3};
    EXPECT_EQ(info.values, expected);
    EXPECT_EQ(result.plugin->companies,
              QStringList({"ファレット交通", "みなと観光バス", "さくら市営バス"}));
    EXPECT_TRUE(result.plugin->comment.startsWith(QStringLiteral("全項目対応整理券プラグイン")));
    EXPECT_EQ(result.plugin->comment.count(u'\n'), 3);
    EXPECT_EQ(result.plugin->paper.color, platform::RGB(0xF2, 0xF8, 0xEC));
    const TicketItem* route = fieldItem(*result.plugin, Field::Route);
    ASSERT_NE(route, nullptr);
    EXPECT_EQ(route->prefix, QStringLiteral("系統 ")); // quotes keep the blank
    EXPECT_EQ(route->align, HAlign::Right);
    EXPECT_EQ(route->weight, 700);
}

TEST(TicketPluginFormat, PlainSampleDeclaresOnlyItsFields)
{
    const ParseResult result = parseTicketPlugin(readAll(samplePath("plain_ticket.4SP")));
    ASSERT_TRUE(result) << errorOf(result);
    const std::array<std::int32_t, 14> expected = {0, 3300, 1395, 1, 0, 0, 1, 0, 0, 0, 0, 0, 0, 0};
    EXPECT_EQ(result.plugin->info.values, expected);
    EXPECT_TRUE(result.plugin->companies.isEmpty());
}

TEST(TicketPluginFormat, EveryNamedValueIsRead)
{
    QString text = QStringLiteral("4SP-TICKET-PLUGIN 1\n[Info]\nReserved=-7\n"
                                  "PreviewWidth=1500\nPreviewHeight=750\nCanPrintDate=2\n"
                                  "CanPrintTime=3\nCanPrintRoute=-1\nCanPrintStopName=0\n"
                                  "CanPrintBarcode=5\nBarcodeCount=2\nRouteMax=999\n"
                                  "BarcodeRouteMode=1\nStopRangeFrom=1\nStopRangeTo=99\n"
                                  "CompanySwitch=0\n[Field]\nField=TicketNo\nRect=0,0,9,9\n");
    const ParseResult result = parseTicketPlugin(platform::toCp932(text));
    ASSERT_TRUE(result) << errorOf(result);
    const std::array<std::int32_t, 14> expected = {-7, 1500, 750, 2, 3, -1, 0,
                                                   5,  2,    999, 1, 1, 99, 0};
    EXPECT_EQ(result.plugin->info.values, expected);
}

TEST(TicketPluginFormat, CrLfKeysInAnyCaseAndUtf8WithByteOrderMark)
{
    QByteArray crlf = minimal("PreviewWidth", "previewwidth");
    crlf.replace("\n", "\r\n");
    EXPECT_TRUE(parseTicketPlugin(crlf)) << errorOf(parseTicketPlugin(crlf));

    const QByteArray utf8 =
        "\xEF\xBB\xBF" +
        QString::fromUtf8(MinimalText).replace("[Info]", "[Comment]\n①〜②\n[Info]").toUtf8();
    const ParseResult result = parseTicketPlugin(utf8);
    ASSERT_TRUE(result) << errorOf(result);
    EXPECT_EQ(result.plugin->comment, QStringLiteral("①〜②"));
}

TEST(TicketPluginFormat, Utf8WithoutTheMarkIsReadToo)
{
    const QString text = QString::fromUtf8(MinimalText).replace("[Info]", "[Comment]\n①②\n[Info]");
    for (const QByteArray& bytes : {text.toUtf8(), platform::toCp932(text)}) {
        const ParseResult result = parseTicketPlugin(bytes);
        ASSERT_TRUE(result) << errorOf(result);
        EXPECT_EQ(result.plugin->comment, QStringLiteral("①②"));
    }
    // Shift-JIS whose bytes happen to be valid UTF-8 is read as UTF-8: "縺ゅ＞" comes out "あい".
    const QByteArray both = QString::fromUtf8(MinimalText)
                                .replace("[Info]", "[Comment]\n縺ゅ＞\n[Info]")
                                .toUtf8()
                                .replace(QStringLiteral("縺ゅ＞").toUtf8(),
                                         platform::toCp932(QStringLiteral("縺ゅ＞")));
    ASSERT_TRUE(parseTicketPlugin(both));
    EXPECT_EQ(parseTicketPlugin(both).plugin->comment, QStringLiteral("あい"));
}

TEST(TicketPluginFormat, RefusalsNameTheirLineAndReason)
{
    const ParseResult unknownKey = parseTicketPlugin(minimal("CanPrintDate=1", "CanPrintData=1"));
    EXPECT_EQ(unknownKey.line, 5);
    EXPECT_EQ(unknownKey.diagnosis(), QStringLiteral("5行目: unknown key canprintdata"));

    // Bytes that are neither UTF-8 nor CP932, and a control character, at their lines.
    QByteArray cut = minimal("Field=Date", "Field=Date\n; X");
    cut.replace("; X", "; \x82");
    const ParseResult unreadable = parseTicketPlugin(cut);
    EXPECT_EQ(unreadable.line, 8) << errorOf(unreadable);
    EXPECT_TRUE(unreadable.error.contains(QStringLiteral("neither UTF-8 nor CP932")));
    const ParseResult control =
        parseTicketPlugin(minimal("PreviewHeight=750", "\x1BPreviewHeight=750"));
    EXPECT_EQ(control.line, 4);
    EXPECT_EQ(control.error, QStringLiteral("control character U+001B"));

    const ParseResult noInfo = parseTicketPlugin("4SP-TICKET-PLUGIN 1\n");
    EXPECT_EQ(noInfo.line, 0);
    EXPECT_EQ(noInfo.diagnosis(), QStringLiteral("the [Info] section is missing"));
    EXPECT_TRUE(parseTicketPlugin(minimal()).diagnosis().isEmpty());
}

TEST(TicketPluginFormat, SizeMustBePositiveAndBounded)
{
    for (const char* bad : {"PreviewWidth=0", "PreviewWidth=-1500", "PreviewWidth=7501",
                            "PreviewWidth=abc", "PreviewWidth=", "PreviewWidth=99999999999"}) {
        const ParseResult result = parseTicketPlugin(minimal("PreviewWidth=1500", bad));
        EXPECT_FALSE(result) << bad;
        EXPECT_EQ(result.line, 3) << bad;
    }
    EXPECT_FALSE(parseTicketPlugin(minimal("PreviewHeight=750\n", "")));
    // A ticket without its number.
    EXPECT_FALSE(parseTicketPlugin(minimal("Field=TicketNo", "Field=StopRow")));
}

TEST(TicketPluginFormat, TextsListsAndLettersAreCappedWithLineAndReason)
{
    const auto fault = [](const QString& from, const QString& to) {
        const ParseResult result = parseTicketPlugin(minimal(from, to));
        return result ? QStringLiteral("accepted") : result.diagnosis();
    };
    const QString forty(MaxTextLength, QChar(0x99C5)); // 駅
    const QString date = QStringLiteral("Field=Date");
    EXPECT_EQ(fault(date, date + "\nPrefix=" + forty), QStringLiteral("accepted"));
    EXPECT_EQ(fault(date, date + "\nPrefix=" + forty + u'x'),
              QStringLiteral("8行目: Prefix is longer than 40 characters"));
    EXPECT_EQ(fault(date, date + "\nSuffix=\"" + forty + "x\""),
              QStringLiteral("8行目: Suffix is longer than 40 characters"));
    EXPECT_EQ(fault(date, date + "\nFormat=" + QString(41, u'd')),
              QStringLiteral("8行目: Format is longer than 40 characters"));
    EXPECT_EQ(fault("[Field]\nField=Date",
                    "[Text]\nText=" + forty + "x\nRect=0,0,9,9\n[Field]\nField=Date"),
              QStringLiteral("7行目: Text is longer than 40 characters"));
    EXPECT_EQ(fault(date, date + "\nSize=48"), QStringLiteral("accepted"));
    EXPECT_EQ(fault(date, date + "\nSize=48.5"),
              QStringLiteral("8行目: Size must be 1..48 points"));

    // The comment: 2000 characters, line ends included.
    const QString comment = "[Comment]\n" + QString(999, u'a') + "\n" + QString(1000, u'b') + "\n";
    EXPECT_EQ(fault("[Info]", comment + "[Info]"), QStringLiteral("accepted"));
    EXPECT_EQ(fault("[Info]", comment + "c\n[Info]"),
              QStringLiteral("5行目: the comment is longer than 2000 characters"));

    // Every field counts its prefix, suffix and 40 characters for the value.
    QString fields;
    for (int i = 0; i < 11; ++i)
        fields += QStringLiteral("[Field]\nField=StopRow\nRect=0,0,9,9\nPrefix=%1\nSuffix=%1\n")
                      .arg(forty);
    EXPECT_EQ(fault("[Field]\nField=Date", fields + "[Field]\nField=Date"),
              QStringLiteral("46行目: the items together draw more than 1000 characters (each "
                             "field counts 40 for its value)"));
    QString boxes;
    for (int i = 0; i < MaxItems - 2; ++i)
        boxes += QStringLiteral("[Box]\nRect=0,0,9,9\n");
    EXPECT_EQ(fault("[Field]\nField=Date", boxes + "[Field]\nField=Date"),
              QStringLiteral("accepted"));
    EXPECT_EQ(fault("[Field]\nField=Date", boxes + "[Box]\nRect=0,0,9,9\n[Field]\nField=Date"),
              QStringLiteral("207行目: more than 100 drawn items"));
}

TEST(TicketPluginFormat, Utf16IsRefusedByName)
{
    QStringEncoder utf16(QStringEncoder::Utf16BE);
    const ParseResult result =
        parseTicketPlugin("\xFE\xFF" + QByteArray(utf16.encode(QString::fromUtf8(MinimalText))));
    EXPECT_EQ(result.diagnosis(),
              QStringLiteral("UTF-16 BE text is not read: save the file as UTF-8 or as CP932 "
                             "(Shift-JIS)"));
}

TEST(TicketPluginFormat, CompanyPositionsStayWithinSixteenBits)
{
    QString names;
    for (int i = 0; i < MaxCompanies; ++i)
        names += QStringLiteral("社%1\n").arg(i);
    const QString placed =
        QStringLiteral("CanPrintDate=1\nCompanySwitch=1\n[Companies]\n%1[Field]\n"
                       "Field=Company\nRect=0,0,10,10");
    const ParseResult most = parseTicketPlugin(minimal("CanPrintDate=1", placed.arg(names)));
    ASSERT_TRUE(most) << errorOf(most);
    EXPECT_EQ(most.plugin->companies.size(), MaxCompanies);
    TicketFields fields = sampleFields();
    fields.companyPos = std::numeric_limits<std::int16_t>::max() - 1; // the last name
    EXPECT_EQ(fieldText(*most.plugin, *fieldItem(*most.plugin, Field::Company), fields),
              QStringLiteral("社32766"));

    const ParseResult tooMany =
        parseTicketPlugin(minimal("CanPrintDate=1", placed.arg(names + QStringLiteral("最後\n"))));
    EXPECT_EQ(tooMany.diagnosis(),
              QStringLiteral("32775行目: more than 32767 company names (positions are 16-bit)"));
    EXPECT_EQ(parseTicketPlugin(minimal("CanPrintDate=1", placed.arg(QString(41, u'a') + u'\n')))
                  .diagnosis(),
              QStringLiteral("8行目: a company name is longer than 40 characters"));
}

TEST(TicketPluginFormat, LongValuesAreCutWhenDrawn)
{
    const ParseResult result = parseTicketPlugin(readAll(samplePath("full_ticket.4SP")));
    ASSERT_TRUE(result);
    TicketFields fields = sampleFields();
    fields.stopName = QString(5000, QChar(0x99C5));
    EXPECT_EQ(fieldText(*result.plugin, *fieldItem(*result.plugin, Field::StopName), fields),
              QString(MaxTextLength, QChar(0x99C5)));
}

TEST(TicketPluginFormat, FlagsMustAgreeWithTheLayout)
{
    // A date placed by a plug-in that does not print dates (only 1 counts).
    EXPECT_FALSE(parseTicketPlugin(minimal("CanPrintDate=1", "CanPrintDate=2")));
    // Declared but not placed.
    EXPECT_FALSE(parseTicketPlugin(minimal("CanPrintDate=1", "CanPrintDate=1\nCanPrintTime=1")));
    // Company names need the switch, and the switch needs names and a company field.
    EXPECT_FALSE(
        parseTicketPlugin(minimal("[Field]\nField=Date", "[Companies]\nA社\n[Field]\nField=Date")));
    EXPECT_FALSE(parseTicketPlugin(minimal("CanPrintDate=1", "CanPrintDate=1\nCompanySwitch=1")));
    EXPECT_TRUE(parseTicketPlugin(
        minimal("CanPrintDate=1", "CanPrintDate=1\nCompanySwitch=1\n[Companies]\nA社\n[Field]"
                                  "\nField=Company\nRect=0,0,10,10")));
    // Barcodes: the count must match, and no barcode without the flag.
    const QString barcode = "[Barcode]\nRect=0,600,1500,150\n";
    const QString info = "CanPrintDate=1\nCanPrintBarcode=1\nRouteMax=99\nStopRangeTo=50\n";
    EXPECT_TRUE(
        parseTicketPlugin(minimal("CanPrintDate=1\n", info + "BarcodeCount=1\n" + barcode)));
    EXPECT_FALSE(
        parseTicketPlugin(minimal("CanPrintDate=1\n", info + "BarcodeCount=2\n" + barcode)));
    EXPECT_FALSE(parseTicketPlugin(minimal("CanPrintDate=1\n", "CanPrintDate=1\n" + barcode)));
    EXPECT_FALSE(parseTicketPlugin(minimal("CanPrintDate=1\n", info + "BarcodeCount=0\n")));
}

TEST(TicketPluginFormat, AuthoringMistakesAreRefused)
{
    const std::pair<QString, QString> mistakes[] = {
        {"4SP-TICKET-PLUGIN 1", "4SP-TICKET-PLUGIN 2"},  // unknown version
        {"4SP-TICKET-PLUGIN 1", "TICKET 1"},             // no signature
        {"Rect=0,0,1500,300", "Rect=0,0,1501,300"},      // beyond the paper
        {"Rect=0,0,1500,300", "Rect=0,0,0,300"},         // empty
        {"Rect=0,0,1500,300", "Rect=0,0,1500"},          // three numbers
        {"Field=Date", "Field=Weather"},                 // unknown field
        {"Field=Date", "Field=Date\nColour=#000000"},    // unknown key
        {"Field=Date", "Field=Date\nField=Date"},        // twice
        {"Field=Date", "Field=Date\nColor=#00000G"},     // bad colour
        {"Field=Date", "Field=Date\nColor=&H1000000"},   // system colour
        {"Field=Date", "Field=Date\nFont=Arial"},        // not one of the three faces
        {"Field=Date", "Field=Date\nDigits=3"},          // digits on a date
        {"Field=TicketNo", "Field=TicketNo\nFormat=hh"}, // format on a number
        {"Field=Date", "Field=Date\nSize=0"},            // no size
        {"[Info]", "[Info]\n[Info]"},                    // section twice
        {"[Info]", "[Inof]"},                            // unknown section
        {"[Info]", "stray\n[Info]"},                     // text outside sections
        {"PreviewHeight=750", "PreviewHeight 750"},      // no '='
    };
    for (const auto& [from, to] : mistakes)
        EXPECT_FALSE(parseTicketPlugin(minimal(from, to))) << to.toStdString();
}

TEST(TicketPluginFormat, ACommentMayHoldBracketsAndRemarks)
{
    const ParseResult result =
        parseTicketPlugin(minimal("[Info]", "[Comment]\n\n[注意] 試作品\n; そのまま\n\n[Info]"));
    ASSERT_TRUE(result) << errorOf(result);
    EXPECT_EQ(result.plugin->comment, QStringLiteral("[注意] 試作品\n; そのまま"));
}

TEST(TicketPluginFormat, EveryTruncationIsSafeAndNoneBeforeTheBarcodeIsAccepted)
{
    const QByteArray full = readAll(samplePath("full_ticket.4SP"));
    const qsizetype barcodeAt = full.indexOf("[Barcode]");
    ASSERT_GT(barcodeAt, 0);
    ASSERT_TRUE(parseTicketPlugin(full));
    for (qsizetype length = 0; length < full.size(); ++length) {
        const ParseResult result = parseTicketPlugin(full.left(length));
        if (length <= barcodeAt) {
            EXPECT_FALSE(result) << "cut at " << length;
        }
        if (!result) {
            EXPECT_FALSE(result.error.isEmpty());
        }
    }
}

TEST(TicketPluginFormat, RandomBytesAndMutationsNeverCrash)
{
    QRandomGenerator random(4711);
    for (int round = 0; round < 500; ++round) {
        QByteArray garbage(random.bounded(0, 600), '\0');
        for (char& c : garbage)
            c = static_cast<char>(random.bounded(256));
        EXPECT_FALSE(parseTicketPlugin(garbage));
    }
    const QByteArray full = readAll(samplePath("full_ticket.4SP"));
    for (int round = 0; round < 500; ++round) {
        QByteArray mutated = full;
        for (int flips = 0; flips < 3; ++flips)
            mutated[random.bounded(mutated.size())] = static_cast<char>(random.bounded(256));
        const ParseResult result = parseTicketPlugin(mutated);
        if (result) { // whatever survives must still draw
            QImage image(result.plugin->paperWidth() / 15, result.plugin->paperHeight() / 15,
                         QImage::Format_RGB32);
            application();
            QPainter painter(&image);
            drawTicket(painter, *result.plugin, sampleFields());
        }
    }
}

// ---- the library calls ---------------------------------------------------------------

TEST_F(TicketPluginTest, ReadPluginInfoFillsOnlyForAPlugin)
{
    PluginInfo info;
    info.values.fill(42);
    EXPECT_EQ(readPluginInfo(plugins, QStringLiteral("/nonexistent/なし.4SP"), info), 0);
    EXPECT_EQ(info, PluginInfo{});
    EXPECT_EQ(readPluginInfo(plugins, QString(), info), 0);

    // Folder names in Japanese, and with a character that has no CP932 form: the file is
    // opened by its real path.
    QTemporaryDir dir;
    ASSERT_TRUE(dir.isValid());
    for (const QString& name : {QStringLiteral("/整理券"), QStringLiteral("/Müller")}) {
        const QString folder = dir.path() + name;
        ASSERT_TRUE(QDir().mkpath(folder));
        ASSERT_TRUE(QFile::copy(samplePath("full_ticket.4SP"), folder + "/全項目.4SP"));
        info.values.fill(42);
        EXPECT_NE(readPluginInfo(plugins, folder + "/全項目.4SP", info), 0) << name.toStdString();
        EXPECT_EQ(info[PluginInfo::CompanySwitch], 3);
        EXPECT_EQ(info[PluginInfo::Reserved], 0);
    }
}

TEST_F(TicketPluginTest, PathsThatAreNoPluginFileAnswerZeroAtOnce)
{
    QTemporaryDir dir;
    ASSERT_TRUE(dir.isValid());
    const QString fifo = dir.path() + "/pipe.4SP";
    ASSERT_EQ(::mkfifo(QFile::encodeName(fifo).constData(), 0600), 0);
    // A folder, a pipe with no writer, an endless device, odd and overlong names: none blocks.
    const QStringList paths = {dir.path(),
                               fifo,
                               QStringLiteral("/dev/zero"),
                               dir.path() + QStringLiteral("/\"quoted\"\nname.4SP"),
                               dir.path() + u'/' + QString(1000, u'x') + QStringLiteral(".4SP"),
                               dir.path() + QStringLiteral("/☃.4SP")};
    for (const QString& path : paths) {
        PluginInfo info;
        info.values.fill(42);
        EXPECT_EQ(readPluginInfo(plugins, path, info), 0) << path.toStdString();
        EXPECT_EQ(info, PluginInfo{});
    }
}

TEST_F(TicketPluginTest, OversizedFileIsNoPlugin)
{
    QTemporaryDir dir;
    const QString file = dir.path() + "/big.4SP";
    QByteArray bytes = minimal("[Info]", "[Comment]\n" + QString(600000, u'x') + "\n" +
                                             QString(600000, u'y') + "\n[Info]");
    {
        QFile out(file);
        ASSERT_TRUE(out.open(QIODevice::WriteOnly));
        out.write(bytes);
    }
    ASSERT_GT(bytes.size(), MaxFileSize);
    PluginInfo info;
    EXPECT_EQ(readPluginInfo(plugins, file, info), 0);
}

TEST_F(TicketPluginTest, CommentGoesIntoTheTextBox)
{
    const QString path = samplePath("plain_ticket.4SP");
    QPlainTextEdit box;
    showPluginComment(plugins, path, &box);
    EXPECT_EQ(box.toPlainText(), QStringLiteral("標準整理券プラグイン Ver.1.0\n"
                                                "日付・乗車停留所・整理番号を印字する\n"
                                                "白地に黒の、もっとも一般的な整理券です。"));
    QLineEdit line;
    showPluginComment(plugins, path, &line);
    EXPECT_TRUE(line.text().startsWith(QStringLiteral("標準整理券プラグイン Ver.1.0 日付")));

    showPluginComment(plugins, QStringLiteral("/nonexistent.4SP"), &box);
    EXPECT_TRUE(box.toPlainText().startsWith(QStringLiteral("標準"))); // untouched
}

TEST_F(TicketPluginTest, CompanyNamesAreAppended)
{
    const QString path = samplePath("full_ticket.4SP");
    QComboBox combo;
    combo.addItem(QStringLiteral("既存"));
    addPluginCompanies(plugins, path, &combo);
    ASSERT_EQ(combo.count(), 4);
    EXPECT_EQ(combo.itemText(1), QStringLiteral("ファレット交通"));
    EXPECT_EQ(combo.itemText(3), QStringLiteral("さくら市営バス"));

    addPluginCompanies(plugins, samplePath("plain_ticket.4SP"), &combo);
    EXPECT_EQ(combo.count(), 4);
}

TEST_F(TicketPluginTest, APluginIsParsedOnceAndAgainOnlyWhenItsFileChanges)
{
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("ticket.4SP"));
    const auto write = [&path](const QByteArray& bytes) {
        QFile file(path);
        ASSERT_TRUE(file.open(QIODevice::WriteOnly | QIODevice::Truncate));
        file.write(bytes);
    };
    const auto paperWidth = [this, &path] {
        PluginInfo info;
        readPluginInfo(plugins, path, info);
        return info[PluginInfo::PreviewWidth];
    };
    write(minimal());
    QComboBox combo;
    QPlainTextEdit comment;
    QImage image(100, 50, QImage::Format_RGB32);
    QByteArray stop("x"), date("01-24-2009"), time("14:05:09");
    for (int stopShown = 0; stopShown < 5; ++stopShown) {
        EXPECT_EQ(paperWidth(), 1500);
        showPluginComment(plugins, path, &comment);
        addPluginCompanies(plugins, path, &combo);
        drawPluginTicket(plugins, path, &image, stop, date, time, 12, 7, 7, -1);
    }
    EXPECT_EQ(plugins.parseCount(), 1);

    // Saved again at once with as many bytes: the time stamp may not tell, the content does.
    write(minimal("PreviewWidth=1500", "PreviewWidth=1600"));
    EXPECT_EQ(paperWidth(), 1600);
    EXPECT_EQ(plugins.parseCount(), 2);
    // Touched without a change: not parsed again.
    const QDateTime later = QDateTime::currentDateTime().addSecs(-60);
    QFile file(path);
    ASSERT_TRUE(file.open(QIODevice::ReadWrite));
    ASSERT_TRUE(file.setFileTime(later, QFileDevice::FileModificationTime));
    file.close();
    EXPECT_EQ(paperWidth(), 1600);
    EXPECT_EQ(plugins.parseCount(), 2);
    // Replaced by another file: a new plug-in.
    const QString other = dir.filePath(QStringLiteral("other.4SP"));
    ASSERT_TRUE(QFile::copy(samplePath("plain_ticket.4SP"), other));
    ASSERT_TRUE(QFile::remove(path));
    ASSERT_TRUE(QFile::rename(other, path));
    EXPECT_NE(paperWidth(), 1600);
    EXPECT_EQ(plugins.parseCount(), 3);
    // A refused file is kept as refused; a missing one is nothing to keep.
    write("4SP-TICKET-PLUGIN 2\n");
    EXPECT_EQ(plugins.load(path)->diagnosis(),
              QStringLiteral("1行目: format version 2 is not supported"));
    EXPECT_EQ(plugins.load(path)->diagnosis(),
              QStringLiteral("1行目: format version 2 is not supported"));
    EXPECT_EQ(plugins.parseCount(), 4);
    ASSERT_TRUE(QFile::remove(path));
    EXPECT_EQ(paperWidth(), 0);
}

TEST_F(TicketPluginTest, AFileOverTheLimitIsRefusedUnread)
{
    QTemporaryDir dir;
    QFile file(dir.filePath(QStringLiteral("huge.4SP")));
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    ASSERT_TRUE(file.resize(1LL << 32)); // sparse: reading it would take gigabytes
    file.close();
    EXPECT_EQ(plugins.load(file.fileName())->diagnosis(),
              QStringLiteral("the file is larger than 1048576 bytes"));
    EXPECT_EQ(plugins.parseCount(), 0);
}

// ---- drawing ---------------------------------------------------------------------------

TEST_F(TicketPluginTest, SampleTicketHasInkOnlyWhereItsLayoutPlacesIt)
{
    for (const char* file : {"plain_ticket.4SP", "full_ticket.4SP"}) {
        const ParseResult result = parseTicketPlugin(readAll(samplePath(file)));
        ASSERT_TRUE(result) << errorOf(result);
        const TicketPlugin& plugin = *result.plugin;
        const QImage image = drawn(plugin, sampleFields());
        if (const char* dir = qgetenv("FARE_TICKET_PNG_DIR").constData(); *dir)
            image.save(QString::fromLocal8Bit(dir) + "/" + file + ".png");

        const TicketItem* number = fieldItem(plugin, Field::TicketNo);
        ASSERT_NE(number, nullptr);
        EXPECT_GT(inkIn(image, number->rect, plugin.paper.color), 50) << file;

        // Everything outside the border and the items' rectangles is bare paper.
        const int border = (plugin.paper.border + 14) / 15;
        int stray = 0;
        for (int y = border; y < image.height() - border; ++y) {
            for (int x = border; x < image.width() - border; ++x) {
                bool covered = false;
                for (const TicketItem& item : plugin.items) {
                    const QRect px(item.rect.left() / 15 - 1, item.rect.top() / 15 - 1,
                                   item.rect.width() / 15 + 3, item.rect.height() / 15 + 3);
                    covered |= px.contains(x, y);
                }
                stray += !covered && !isPaper(image.pixel(x, y), plugin.paper.color);
            }
        }
        EXPECT_EQ(stray, 0) << file;
    }
}

TEST_F(TicketPluginTest, CompanyMinusOneDrawsNoCompany)
{
    const ParseResult result = parseTicketPlugin(readAll(samplePath("full_ticket.4SP")));
    ASSERT_TRUE(result);
    const TicketItem* company = fieldItem(*result.plugin, Field::Company);
    ASSERT_NE(company, nullptr);
    TicketFields fields = sampleFields();
    for (std::int16_t position : {0, 2}) {
        fields.companyPos = position;
        EXPECT_GT(inkIn(drawn(*result.plugin, fields), company->rect, result.plugin->paper.color),
                  20);
    }
    for (std::int16_t position : {-1, 3}) {
        fields.companyPos = position;
        EXPECT_EQ(inkIn(drawn(*result.plugin, fields), company->rect, result.plugin->paper.color),
                  0);
    }
}

TEST_F(TicketPluginTest, DrawCallSaysWhetherItDrewTheTicket)
{
    QImage image(220, 93, QImage::Format_RGB32);
    image.fill(Qt::magenta);
    const QByteArray stop = platform::toCp932(QStringLiteral("市役所前"));
    EXPECT_TRUE(drawPluginTicket(plugins, samplePath("plain_ticket.4SP"), &image, stop,
                                 QByteArray("01-24-2009"), QByteArray("14:05:09"), 12, 7, 7, -1));
    EXPECT_NE(image.pixel(5, 5), QColor(Qt::magenta).rgb());
    EXPECT_FALSE(drawPluginTicket(plugins, QStringLiteral("/nonexistent.4SP"), &image, stop, {}, {},
                                  12, 7, 7, -1));
    EXPECT_FALSE(drawPluginTicket(plugins, samplePath("plain_ticket.4SP"), nullptr, stop, {}, {},
                                  12, 7, 7, -1));
    // A device that is being painted already is left to its painter.
    QPainter busy(&image);
    EXPECT_FALSE(drawPluginTicket(plugins, samplePath("plain_ticket.4SP"), &image, stop, {}, {}, 12,
                                  7, 7, -1));
}

TEST_F(TicketPluginTest, DrawCallDrawsTheTicketAndLeavesBuffersAlone)
{
    QTemporaryDir dir;
    const QString path = dir.path() + QStringLiteral("/Müller.4SP");
    ASSERT_TRUE(QFile::copy(samplePath("plain_ticket.4SP"), path));
    QByteArray stop = platform::toCp932(QStringLiteral("市役所前"));
    QByteArray date("01-24-2009"), time("14:05:09");
    QImage image(220, 93, QImage::Format_RGB32);
    image.fill(Qt::magenta);
    drawPluginTicket(plugins, path, &image, stop, date, time, 12, 7, 7, -1);
    EXPECT_EQ(image.pixel(50, 60) & 0xFFFFFF, 0xFFFFFFu & image.pixel(5, 5)); // paper, no magenta
    EXPECT_NE(image.pixel(5, 5), QColor(Qt::magenta).rgb());
    EXPECT_EQ(stop, platform::toCp932(QStringLiteral("市役所前")));
    EXPECT_EQ(date, QByteArray("01-24-2009"));

    for (const QString& bad : {QString(), QStringLiteral("/nonexistent.4SP"), samplePath(".")}) {
        QImage untouched(220, 93, QImage::Format_RGB32);
        untouched.fill(Qt::magenta);
        const QImage before = untouched.copy();
        drawPluginTicket(plugins, bad, &untouched, stop, date, time, 12, 7, 7, 0);
        EXPECT_EQ(untouched, before) << bad.toStdString();
    }
}

TEST_F(TicketPluginTest, FieldTexts)
{
    const ParseResult result = parseTicketPlugin(readAll(samplePath("full_ticket.4SP")));
    ASSERT_TRUE(result);
    const TicketPlugin& plugin = *result.plugin;
    TicketFields fields = sampleFields();
    const TicketItem& date = *fieldItem(plugin, Field::Date);
    EXPECT_EQ(fieldText(plugin, date, fields), QStringLiteral("2009年 1月 24日"));
    fields.date = QStringLiteral("2009/01/24"); // the fixed-date form
    EXPECT_EQ(fieldText(plugin, date, fields), QStringLiteral("2009年 1月 24日"));
    fields.date = QStringLiteral("平成21年"); // unknown forms print as given
    EXPECT_EQ(fieldText(plugin, date, fields), QStringLiteral("平成21年"));
    fields.date.clear(); // before the first route setting
    EXPECT_EQ(fieldText(plugin, date, fields), QString());

    EXPECT_EQ(fieldText(plugin, *fieldItem(plugin, Field::Time), fields),
              QStringLiteral("14時05分"));
    EXPECT_EQ(fieldText(plugin, *fieldItem(plugin, Field::Route), fields),
              QStringLiteral("系統 12"));
    fields.companyPos = 1;
    EXPECT_EQ(fieldText(plugin, *fieldItem(plugin, Field::Company), fields),
              QStringLiteral("みなと観光バス"));

    TicketItem padded = *fieldItem(plugin, Field::TicketNo);
    padded.digits = 3;
    fields.ticketNo = -4;
    EXPECT_EQ(fieldText(plugin, padded, fields), QStringLiteral("-004"));

    TicketPlugin undeclared = plugin; // flags rule over items
    undeclared.info[PluginInfo::CanPrintTime] = 2;
    EXPECT_EQ(fieldText(undeclared, *fieldItem(plugin, Field::Time), fields), QString());
}

// ---- barcodes --------------------------------------------------------------------------

TEST(Codabar, KnownPatterns)
{
    // A, 1, 2, A from the NW-7 table with 2-module wide elements, one space between.
    EXPECT_EQ(codabarModules("A12A", 2), QStringLiteral("1011001001"
                                                        "0"
                                                        "101011001"
                                                        "0"
                                                        "101001011"
                                                        "0"
                                                        "1011001001"));
    // Wide ratio 3: a digit is 5 narrow + 2 wide elements, a guard 4 + 3.
    EXPECT_EQ(codabarModules("A0120005A", 3).size(), 13 + 7 * (1 + 11) + 1 + 13);
    EXPECT_EQ(codabarModules("B-$:/.+D", 2).size(),
              10 + 1 + 9 + 1 + 9 + 1 + 10 + 1 + 10 + 1 + 10 + 1 + 10 + 1 + 10);
    for (const char* bad : {"", "A", "12", "A1B2A", "A1X A", "a12a"})
        EXPECT_TRUE(codabarModules(bad).isEmpty()) << bad;
}

TEST_F(TicketPluginTest, BarcodeCarriesRouteFlagAndTicket)
{
    const ParseResult result = parseTicketPlugin(readAll(samplePath("full_ticket.4SP")));
    ASSERT_TRUE(result);
    PluginInfo info = result.plugin->info; // RouteMax 999, stops 1..300, route-number mode
    TicketItem barcode;
    barcode.kind = ItemKind::Barcode;
    TicketFields fields = sampleFields();
    fields.route = 12;
    fields.ticketNo = 5;
    EXPECT_EQ(barcodeText(info, barcode, fields), QByteArray("A0120005A"));
    barcode.data = BarcodeData::Ticket;
    barcode.guard = 'C';
    EXPECT_EQ(barcodeText(info, barcode, fields), QByteArray("C005C"));
    barcode.data = BarcodeData::RouteAndTicket;
    info[PluginInfo::BarcodeRouteMode] = 1; // serial: no return-trip flag
    EXPECT_EQ(barcodeText(info, barcode, fields), QByteArray("C012005C"));

    for (auto [route, ticket] : {std::pair{0, 5}, {1000, 5}, {12, 0}, {12, 301}}) {
        fields.route = route;
        fields.ticketNo = static_cast<std::int16_t>(ticket);
        EXPECT_TRUE(barcodeText(info, barcode, fields).isEmpty()) << route << "/" << ticket;
    }
}

TEST(TicketPluginFormat, DocumentedExampleIsTheFullSample)
{
    QFile doc(QStringLiteral(PLUGIN_DOCS_DIR "/ticket-plugin.md"));
    ASSERT_TRUE(doc.open(QIODevice::ReadOnly));
    const QString text = QString::fromUtf8(doc.readAll());
    const qsizetype start = text.lastIndexOf(QStringLiteral("```\n4SP-TICKET-PLUGIN")) + 4;
    const qsizetype end = text.indexOf(QStringLiteral("```"), start);
    ASSERT_GT(start, 4);
    ASSERT_GT(end, start);
    EXPECT_EQ(platform::toCp932(text.mid(start, end - start)),
              readAll(samplePath("full_ticket.4SP")));
}
