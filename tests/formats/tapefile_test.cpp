#include "formats/tapefile.h"
#include "platform/cp932.h"
#include "platform/runtimeerror.h"

#include <QFile>
#include <QStringEncoder>
#include <QTemporaryDir>

#include <gtest/gtest.h>

using namespace sound;

namespace
{

struct Fault {
    int line = -1;
    QString reason;
    int number = 0;
    formats::FileErrorKind kind = formats::FileErrorKind::Malformed;
    QString file;
};

Fault faultFrom(const TapeResult& result)
{
    if (result.ok())
        return {};
    const formats::FileError& error = result.error();
    return {error.line, error.reason, error.number, error.kind, error.file};
}

Fault faultOf(const QString& text)
{
    return faultFrom(parseTape(text));
}

QString writeFile(const QTemporaryDir& dir, const QByteArray& bytes)
{
    const QString path = dir.filePath(QStringLiteral("12tp.csv"));
    QFile file(path);
    EXPECT_TRUE(file.open(QIODevice::WriteOnly));
    file.write(bytes);
    return path;
}

Fault readFault(const QString& path)
{
    return faultFrom(readTapeFile(path));
}

} // namespace

TEST(TapeFileFaults, TheLineThatPutTheReaderWrongIsNamedWithWhatIsWrong)
{
    const QString items = QStringLiteral("各行は「放送の文,送りフラグ,音フラグ」の 3 項目です");
    const QString quote =
        QStringLiteral("放送の文に「,」があるときは、文全体を \" で囲んでください");
    const struct {
        const char* text;
        int line;
        QString reason;
        int number = 0; // the runtime error number, where the case is about it
    } cases[] = {
        // Too few items: the next line lends its text as the missing flag.
        {"一,0,0\n二,0\n三,0,0\n", 2, QStringLiteral("音フラグがありません（%1）").arg(items)},
        {"一,0,0\n二\n三,0,0\n", 2, QStringLiteral("送りフラグがありません（%1）").arg(items)},
        // ... and the last line has no next line to lend it anything.
        {"一,0,0\n二,0", 2, QStringLiteral("音フラグがありません（%1）").arg(items)},
        // Too many: the fourth item becomes the next line's text, its text a flag.
        {"一,0,0,\n二,0,0\n", 1,
         QStringLiteral("項目が 4 つ以上あります（%1。%2）").arg(items, quote)},
        {"一,0,0\n\n二,0,0\n", 2, QStringLiteral("空の行です（放送のない行は消してください）")},
        // An unquoted comma in the text, the usual cause of "type mismatch".
        {"次は, 市役所前です,1,2\n", 1,
         QStringLiteral("送りフラグ「市役所前です」が数ではありません（%1）").arg(quote),
         platform::ErrorNumber::TypeMismatch},
        {"\"次は, 市役所前\",1,x\n", 1, QStringLiteral("音フラグ「x」が数ではありません"),
         platform::ErrorNumber::TypeMismatch},
        {"一,0,0\n二,0,99999\n", 2,
         QStringLiteral("音フラグ「99999」が大きすぎます（-32768〜32767 の整数です）"),
         platform::ErrorNumber::Overflow},
        {"一,0,0\n\"二,0,0\n三,0,0\n", 2,
         QStringLiteral("放送の文の \" が閉じられないまま、ファイルが終わっています")},
        // A line end inside quotes makes one entry of two lines: the last line finds no text.
        {"一,0,0\n\"二\n続き\",0,0\n三,0,0\n", 2,
         QStringLiteral("放送の文が \" の中で改行されています（1 行に 1 件です）")},
        {"", 0, QStringLiteral("放送がありません（空のファイルです）"),
         platform::ErrorNumber::InputPastEnd},
    };
    for (const auto& c : cases) {
        const Fault fault = faultOf(QString::fromUtf8(c.text));
        EXPECT_EQ(fault.line, c.line) << c.text;
        EXPECT_EQ(fault.reason, c.reason) << c.text;
        if (c.number != 0) {
            EXPECT_EQ(fault.number, c.number) << c.text;
        }
        EXPECT_GT(fault.number, 0) << c.text;
        EXPECT_EQ(fault.kind, formats::FileErrorKind::Malformed) << c.text;
    }
    // Read from a file, the refusal names it too, and the description leads with the line.
    QTemporaryDir dir;
    const QString path = writeFile(dir, "一,0,0\n二,0\n三,0,0\n");
    const TapeResult read = readTapeFile(path);
    ASSERT_FALSE(read.ok());
    EXPECT_EQ(read.error().file, path);
    EXPECT_EQ(read.error().description(),
              QStringLiteral("2行目: 音フラグがありません（%1）").arg(items));
}

TEST(TapeFileFaults, Utf16IsNamed)
{
    QTemporaryDir dir;
    QStringEncoder utf16(QStringEncoder::Utf16LE);
    const QByteArray withoutMark = utf16.encode(QStringLiteral("\"次は、市役所前です。\",1,2\r\n"));
    const Fault fault = readFault(writeFile(dir, withoutMark));
    EXPECT_EQ(fault.line, 0);
    EXPECT_EQ(fault.number, platform::ErrorNumber::TypeMismatch);
    EXPECT_TRUE(fault.reason.startsWith(QStringLiteral("UTF-16 LE のテキストは読めません")))
        << fault.reason.toStdString();
}

TEST(TapeFileFaults, AFileOverTheCapIsRefusedAndOneAtItRead)
{
    QTemporaryDir dir;
    const QByteArray line = platform::toCp932(QStringLiteral("\"次は、市役所前です。\",1,2\r\n"));
    QByteArray bytes;
    while (bytes.size() + line.size() <= MaxTapeFileSize)
        bytes += line;
    bytes += QByteArray(MaxTapeFileSize - bytes.size(), ' ');
    ASSERT_EQ(bytes.size(), MaxTapeFileSize);
    EXPECT_EQ(readTapeFile(writeFile(dir, bytes))->size(), size_t(bytes.count('\n')));

    bytes += ' ';
    const Fault fault = readFault(writeFile(dir, bytes));
    EXPECT_EQ(fault.line, 0);
    EXPECT_EQ(fault.kind, formats::FileErrorKind::TooLarge);
    EXPECT_EQ(fault.number, platform::ErrorNumber::OutOfMemory);
    EXPECT_EQ(fault.reason, QStringLiteral("ファイルが大きすぎます（1048577 バイト。放送用データは "
                                           "1048576 バイト (1 MiB) までです）"));
}
