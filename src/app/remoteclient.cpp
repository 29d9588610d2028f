#include "app/remoteclient.h"

#include "app/remoteservice.h"

#include <QCommandLineParser>
#include <QDBusConnectionInterface>
#include <QDBusMessage>
#include <QDBusServiceWatcher>
#include <QEventLoop>
#include <QFileInfo>
#include <QIODevice>
#include <QJsonDocument>
#include <QJsonObject>

namespace
{

const char* const Help =
    "使い方: fare remote [--settings FILE] コマンド\n"
    "動いているファレットを集中操作盤のように操作する\n"
    "\n"
    "  route 系統 [区間]     系統と区間 (数字、区間を省くと 1) を設定する\n"
    "  next                 データ送り\n"
    "  back                 データ戻し\n"
    "  night on|off         深夜料金\n"
    "  clear on|off         表示消去\n"
    "  backlight 0|1|2      バックライト (OFF、ON1、ON2)\n"
    "  tape next|back|stop  放送の送り、戻し、■\n"
    "  status               いまの状態を JSON で表示する\n"
    "  watch                停留所が表示されるたびに「番号<TAB>停留所名」を 1 行表示する\n"
    "\n"
    "  --settings FILE      FILE を設定ファイルとして動いているファレットを操作する\n"
    "                       (省くといつもの設定ファイル)\n"
    "  -h, --help           この説明を表示して終わる\n"
    "\n"
    "終了ステータス: 0 成功、1 操作が失敗した・ファレットが動いていない、2 使い方の誤り。\n";

RemoteCommand usageError(const QString& what)
{
    RemoteCommand result;
    result.action = RemoteCommand::Action::Fail;
    result.message = QStringLiteral("fare remote: ") + what +
                     QStringLiteral("\n詳しくは fare remote --help を見てください。\n");
    return result;
}

RemoteCommand call(const QString& method, const QVariantList& arguments = {})
{
    RemoteCommand result;
    result.action = RemoteCommand::Action::Call;
    result.method = method;
    result.arguments = arguments;
    return result;
}

bool isDigits(const QString& text)
{
    if (text.isEmpty())
        return false;
    for (const QChar c : text)
        if (c < u'0' || c > u'9')
            return false;
    return true;
}

std::optional<bool> onOff(const QString& word)
{
    if (word == QLatin1String("on"))
        return true;
    if (word == QLatin1String("off"))
        return false;
    return std::nullopt;
}

// The command and its words, the options already taken out.
RemoteCommand commandFrom(const QStringList& words)
{
    if (words.isEmpty())
        return usageError(QStringLiteral("コマンドがありません。"));
    const QString& name = words.first();
    const QStringList rest = words.mid(1);
    auto expect = [&](qsizetype count) { return rest.size() == count; };
    const QString wrongCount = QStringLiteral("%1 の引数の数が違います。").arg(name);

    if (name == QLatin1String("route")) {
        if (rest.isEmpty() || rest.size() > 2)
            return usageError(wrongCount);
        const QString section = rest.size() == 2 ? rest[1] : QStringLiteral("1");
        if (!isDigits(rest[0]) || !isDigits(section))
            return usageError(QStringLiteral("系統と区間は数字で指定してください。"));
        return call(QStringLiteral("SetRoute"), {rest[0], section});
    }
    if (name == QLatin1String("next") || name == QLatin1String("back")) {
        if (!expect(0))
            return usageError(wrongCount);
        return call(name == QLatin1String("next") ? QStringLiteral("Next")
                                                  : QStringLiteral("Back"));
    }
    if (name == QLatin1String("night") || name == QLatin1String("clear")) {
        const std::optional<bool> on = expect(1) ? onOff(rest[0]) : std::nullopt;
        if (!on)
            return usageError(QStringLiteral("%1 には on か off を指定してください。").arg(name));
        return call(name == QLatin1String("night") ? QStringLiteral("SetNightFare")
                                                   : QStringLiteral("SetDisplayClear"),
                    {*on});
    }
    if (name == QLatin1String("backlight")) {
        if (!expect(1) || rest[0].size() != 1 || rest[0][0] < u'0' || rest[0][0] > u'2')
            return usageError(
                QStringLiteral("backlight には 0、1、2 のどれかを指定してください。"));
        return call(QStringLiteral("SetBacklight"), {rest[0].toInt()});
    }
    if (name == QLatin1String("tape")) {
        const QString what = expect(1) ? rest[0] : QString();
        if (what == QLatin1String("next"))
            return call(QStringLiteral("TapeNext"));
        if (what == QLatin1String("back"))
            return call(QStringLiteral("TapeBack"));
        if (what == QLatin1String("stop"))
            return call(QStringLiteral("TapeStop"));
        return usageError(
            QStringLiteral("tape には next、back、stop のどれかを指定してください。"));
    }
    if (name == QLatin1String("status") || name == QLatin1String("watch")) {
        if (!expect(0))
            return usageError(wrongCount);
        RemoteCommand result;
        result.action = name == QLatin1String("status") ? RemoteCommand::Action::Status
                                                        : RemoteCommand::Action::Watch;
        return result;
    }
    return usageError(QStringLiteral("知らないコマンドです: ") + name);
}

void write(QIODevice& device, const QString& text)
{
    device.write(text.toUtf8());
}

QDBusMessage methodCall(const QString& busName, const QString& interface, const QString& method)
{
    QDBusMessage message = QDBusMessage::createMethodCall(
        busName, QLatin1String(RemoteService::ObjectPath), interface, method);
    // A remote drives a program that runs; it never starts one.
    message.setAutoStartService(false);
    return message;
}

int reportReply(const QDBusMessage& reply, QIODevice& err)
{
    if (reply.type() == QDBusMessage::ReplyMessage)
        return RemoteDone;
    write(err, QStringLiteral("fare remote: %1\n").arg(reply.errorMessage()));
    return RemoteFailed;
}

int printStatus(QDBusConnection& bus, const QString& busName, QIODevice& out, QIODevice& err)
{
    QDBusMessage getAll = methodCall(busName, QStringLiteral("org.freedesktop.DBus.Properties"),
                                     QStringLiteral("GetAll"));
    getAll << QLatin1String(RemoteService::InterfaceName);
    const QDBusMessage reply = bus.call(getAll, QDBus::Block, RemoteCallTimeoutMs);
    if (reportReply(reply, err) != RemoteDone)
        return RemoteFailed;
    const QVariantMap properties = qdbus_cast<QVariantMap>(reply.arguments().value(0));
    const QJsonObject json = QJsonObject::fromVariantMap(properties);
    out.write(QJsonDocument(json).toJson(QJsonDocument::Indented));
    return RemoteDone;
}

// Prints one line for each StopShown.
class StopPrinter : public QObject
{
    Q_OBJECT
public:
    explicit StopPrinter(QIODevice& out) : out_(out) {}

public slots:
    void print(int index, const QString& name)
    {
        write(out_, QStringLiteral("%1\t%2\n").arg(index).arg(name));
        if (auto* file = qobject_cast<QFileDevice*>(&out_))
            file->flush();
    }

private:
    QIODevice& out_;
};

int watchStops(QDBusConnection& bus, const QString& busName, QIODevice& out)
{
    QEventLoop loop;
    QDBusServiceWatcher gone(busName, bus, QDBusServiceWatcher::WatchForUnregistration);
    QObject::connect(&gone, &QDBusServiceWatcher::serviceUnregistered, &loop, &QEventLoop::quit);
    StopPrinter printer(out);
    bus.connect(busName, QLatin1String(RemoteService::ObjectPath),
                QLatin1String(RemoteService::InterfaceName), QStringLiteral("StopShown"), &printer,
                SLOT(print(int, QString)));
    // The program may have ended between the first look and the watcher.
    if (!bus.interface()->isServiceRegistered(busName).value())
        return RemoteDone;
    loop.exec();
    return RemoteDone;
}

} // namespace

RemoteCommand parseRemoteCommand(const QStringList& arguments)
{
    QCommandLineParser parser;
    const QCommandLineOption help(QStringList{QStringLiteral("h"), QStringLiteral("help")});
    const QCommandLineOption settings(QStringLiteral("settings"), QString(),
                                      QStringLiteral("FILE"));
    parser.addOptions({help, settings});
    // Negative numbers and the like after the command are its words, not options.
    parser.setOptionsAfterPositionalArgumentsMode(QCommandLineParser::ParseAsPositionalArguments);
    QStringList withoutRemote = arguments;
    if (withoutRemote.size() >= 2)
        withoutRemote.removeAt(1);
    if (!parser.parse(withoutRemote)) {
        if (!parser.unknownOptionNames().isEmpty())
            return usageError(QStringLiteral("知らないオプションです: ") +
                              parser.unknownOptionNames().join(QStringLiteral(", ")));
        return usageError(withoutRemote.constLast() + QStringLiteral(" の後に値がありません。"));
    }
    if (parser.isSet(help)) {
        RemoteCommand result;
        result.action = RemoteCommand::Action::ShowHelp;
        result.message = QString::fromUtf8(Help);
        return result;
    }
    RemoteCommand result = commandFrom(parser.positionalArguments());
    if (parser.isSet(settings)) {
        if (parser.value(settings).isEmpty())
            return usageError(QStringLiteral("--settings にファイルを指定してください。"));
        result.settingsPath = QFileInfo(parser.value(settings)).absoluteFilePath();
    }
    return result;
}

int runRemoteCommand(const RemoteCommand& command, QDBusConnection bus, const QString& busName,
                     QIODevice& out, QIODevice& err)
{
    if (!bus.isConnected()) {
        write(err, QStringLiteral("fare remote: セッションバスにつながりません。\n"));
        return RemoteFailed;
    }
    if (!bus.interface()->isServiceRegistered(busName).value()) {
        write(err, QStringLiteral("fare remote: この設定ファイルのファレットは動いていません。\n"));
        return RemoteFailed;
    }
    switch (command.action) {
    case RemoteCommand::Action::Call: {
        QDBusMessage message =
            methodCall(busName, QLatin1String(RemoteService::InterfaceName), command.method);
        message.setArguments(command.arguments);
        return reportReply(bus.call(message, QDBus::Block, RemoteCallTimeoutMs), err);
    }
    case RemoteCommand::Action::Status:
        return printStatus(bus, busName, out, err);
    case RemoteCommand::Action::Watch:
        return watchStops(bus, busName, out);
    case RemoteCommand::Action::ShowHelp:
    case RemoteCommand::Action::Fail:
        break;
    }
    write(err, command.message);
    return RemoteUsage;
}

#include "remoteclient.moc"
