#include "commandline.h"
#include "platform/version.h"

#include <QCommandLineParser>
#include <QFileInfo>

namespace
{

const char* const Help =
    "使い方: fare [オプション]\n"
    "ファレット: 路線バスの運賃表示器と集中操作盤のシミュレーター\n"
    "\n"
    "  -h, --help         この説明を表示して終わる\n"
    "  -v, --version      バージョンを表示して終わる\n"
    "  --settings FILE    設定ファイルとして FILE を使う\n"
    "  --data DIR         この実行だけ、運賃データと放送データを DIR から読む\n"
    "                     (設定ファイルには保存しない)\n"
    "\n"
    "設定ファイル fare.in4 は、実行ファイルのフォルダーに書き込めるときはその中に、\n"
    "インストールしたものでは ~/.config/fare/ に置きます。\n";

// Options that QApplication takes itself, with a value and without.
constexpr const char* QtValueOptions[] = {
    "platform",     "platformpluginpath", "platformtheme", "plugin",     "qwindowgeometry",
    "qwindowicon",  "qwindowtitle",       "style",         "stylesheet", "session",
    "display",      "geometry",           "name",          "title",      "visual",
    "qmljsdebugger"};
constexpr const char* QtFlagOptions[] = {"reverse", "widgetcount", "sync", "nograb", "dograb"};

CommandLine failure(const QString& what)
{
    CommandLine result;
    result.action = CommandLine::Action::Fail;
    result.message = QStringLiteral("fare: ") + what +
                     QStringLiteral("\n詳しくは fare --help を見てください。\n");
    return result;
}

void addQtOptions(QCommandLineParser& parser)
{
    for (const char* name : QtValueOptions) {
        QCommandLineOption option(QString::fromLatin1(name), QString(), QStringLiteral("value"));
        option.setFlags(QCommandLineOption::HiddenFromHelp);
        parser.addOption(option);
    }
    for (const char* name : QtFlagOptions) {
        QCommandLineOption option(QString::fromLatin1(name));
        option.setFlags(QCommandLineOption::HiddenFromHelp);
        parser.addOption(option);
    }
}

} // namespace

CommandLine parseCommandLine(const QStringList& arguments)
{
    QCommandLineParser parser;
    // Qt's own options are written with one dash (-platform offscreen).
    parser.setSingleDashWordOptionMode(QCommandLineParser::ParseAsLongOptions);
    const QCommandLineOption help(QStringList{QStringLiteral("h"), QStringLiteral("help")});
    const QCommandLineOption version(QStringList{QStringLiteral("v"), QStringLiteral("version")});
    const QCommandLineOption settings(QStringLiteral("settings"), QString(),
                                      QStringLiteral("FILE"));
    const QCommandLineOption data(QStringLiteral("data"), QString(), QStringLiteral("DIR"));
    QCommandLineOption check(QStringLiteral("check-settings"), QString(), QStringLiteral("FILE"));
    check.setFlags(QCommandLineOption::HiddenFromHelp);
    parser.addOptions({help, version, settings, data, check});
    addQtOptions(parser);

    if (!parser.parse(arguments)) {
        QStringList unknown;
        for (const QString& name : parser.unknownOptionNames())
            unknown.append((name.size() == 1 ? QStringLiteral("-") : QStringLiteral("--")) + name);
        if (!unknown.isEmpty())
            return failure(QStringLiteral("知らないオプションです: ") +
                           unknown.join(QStringLiteral(", ")));
        // The only other fault: an option that takes a value came last.
        return failure(arguments.constLast() + QStringLiteral(" の後に値がありません。"));
    }
    CommandLine result;
    if (parser.isSet(help)) {
        result.action = CommandLine::Action::ShowHelp;
        result.message = QString::fromUtf8(Help);
        return result;
    }
    if (parser.isSet(version)) {
        result.action = CommandLine::Action::ShowVersion;
        result.message = QStringLiteral("fare %1\n").arg(QString::fromLatin1(platform::Version));
        return result;
    }
    if (!parser.positionalArguments().isEmpty())
        return failure(QStringLiteral("余分な引数です: ") +
                       parser.positionalArguments().join(QLatin1Char(' ')));
    if (parser.isSet(check)) {
        result.action = CommandLine::Action::CheckSettings;
        result.settingsPath = QFileInfo(parser.value(check)).absoluteFilePath();
        return result;
    }
    if (parser.isSet(settings)) {
        const QString file = parser.value(settings);
        if (file.isEmpty())
            return failure(QStringLiteral("--settings にファイルを指定してください。"));
        result.settingsPath = QFileInfo(file).absoluteFilePath();
    }
    if (parser.isSet(data)) {
        const QFileInfo folder(parser.value(data));
        if (parser.value(data).isEmpty() || !folder.isDir())
            return failure(QStringLiteral("フォルダーがありません: ") + parser.value(data));
        result.dataFolder = folder.absoluteFilePath();
    }
    return result;
}
