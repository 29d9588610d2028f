#include "app/commandline.h"
#include "platform/version.h"

#include <QDir>
#include <QTemporaryDir>
#include <gtest/gtest.h>

namespace
{

using Action = CommandLine::Action;

CommandLine parse(QStringList arguments)
{
    arguments.prepend(QStringLiteral("fare"));
    return parseCommandLine(arguments);
}

TEST(CommandLine, NothingMeansRunWithTheUsualPlaces)
{
    const CommandLine command = parse({});
    EXPECT_EQ(command.action, Action::Run);
    EXPECT_TRUE(command.settingsPath.isEmpty());
    EXPECT_TRUE(command.dataFolder.isEmpty());
}

TEST(CommandLine, HelpAndVersionAnswerInsteadOfRunning)
{
    for (const QString& option : {QStringLiteral("--help"), QStringLiteral("-h")}) {
        const CommandLine command = parse({option, QStringLiteral("--settings")});
        EXPECT_EQ(command.action, Action::Fail) << "a missing value is still an error";
        EXPECT_EQ(parse({option}).action, Action::ShowHelp);
        EXPECT_TRUE(parse({option}).message.contains(QStringLiteral("--settings FILE")));
    }
    const CommandLine version = parse({QStringLiteral("--version")});
    EXPECT_EQ(version.action, Action::ShowVersion);
    EXPECT_EQ(version.message,
              QStringLiteral("fare %1\n").arg(QString::fromLatin1(platform::Version)));
    EXPECT_EQ(parse({QStringLiteral("-v")}).action, Action::ShowVersion);
}

TEST(CommandLine, SettingsAndDataBecomeAbsolutePaths)
{
    QTemporaryDir dir;
    const QString previous = QDir::currentPath();
    QDir::setCurrent(dir.path());
    QDir(dir.path()).mkdir(QStringLiteral("data"));
    const CommandLine command = parse(
        {QStringLiteral("--settings"), QStringLiteral("my.in4"), QStringLiteral("--data=data")});
    QDir::setCurrent(previous);
    EXPECT_EQ(command.action, Action::Run);
    EXPECT_EQ(command.settingsPath, dir.filePath(QStringLiteral("my.in4")));
    EXPECT_EQ(command.dataFolder, dir.filePath(QStringLiteral("data")));
}

TEST(CommandLine, MistakesFailWithAReasonAndAPointerToHelp)
{
    QTemporaryDir dir;
    const QList<QStringList> mistakes = {
        {QStringLiteral("--bogus")},
        {QStringLiteral("stray")},
        {QStringLiteral("--data")},
        {QStringLiteral("--data"), dir.filePath(QStringLiteral("missing"))},
        {QStringLiteral("--settings"), QString()},
    };
    for (const QStringList& arguments : mistakes) {
        const CommandLine command = parse(arguments);
        EXPECT_EQ(command.action, Action::Fail) << arguments.join(' ').toStdString();
        EXPECT_TRUE(command.message.startsWith(QStringLiteral("fare: ")));
        EXPECT_TRUE(command.message.endsWith(QStringLiteral("fare --help を見てください。\n")));
    }
    EXPECT_TRUE(parse({QStringLiteral("--bogus")}).message.contains(QStringLiteral("--bogus")));
}

TEST(CommandLine, QtsOwnOptionsAreLeftToQApplication)
{
    const CommandLine command =
        parse({QStringLiteral("-platform"), QStringLiteral("offscreen"), QStringLiteral("-style"),
               QStringLiteral("Fusion"), QStringLiteral("-reverse")});
    EXPECT_EQ(command.action, Action::Run);
}

TEST(CommandLine, CheckSettingsNamesTheFileAndStaysOutOfTheHelp)
{
    const CommandLine command =
        parse({QStringLiteral("--check-settings"), QStringLiteral("/tmp/x.in4")});
    EXPECT_EQ(command.action, Action::CheckSettings);
    EXPECT_EQ(command.settingsPath, QStringLiteral("/tmp/x.in4"));
    EXPECT_FALSE(parse({QStringLiteral("--help")}).message.contains(QStringLiteral("check")));
    EXPECT_EQ(parse({QStringLiteral("--check-settings")}).action, Action::Fail);
}

} // namespace
