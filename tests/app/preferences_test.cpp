#include "app/preferences.h"
#include "filesystemfaults.h"
#include "formats/settingscodec.h"
#include "platform/cp932.h"
#include "platform/runtimeerror.h"
#include "speech/speechengine.h"

#include <QDir>
#include <QFile>
#include <QSettings>
#include <QTemporaryDir>
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

namespace
{

void put(const QString& path, const QByteArray& bytes)
{
    QFile file(path);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    ASSERT_EQ(file.write(bytes), bytes.size());
}

// The options as the settings file brings them back: every text through CP932.
core::OptionFileValues throughTheSettingsFile(const core::OptionFileValues& options)
{
    SettingsRecords records;
    records.options = options;
    SettingsRecords read;
    decodeSettings(encodeSettings(records), read);
    return read.options;
}

speech::SpeechSettings voiceOf(const core::Options& options)
{
    return {options.speechRate(), options.speechPitch(), options.speechVolume()};
}

void setVoice(core::Options& options, const speech::SpeechSettings& voice)
{
    options.setSpeechRate(voice.rate);
    options.setSpeechPitch(voice.pitch);
    options.setSpeechVolume(voice.volume);
}

class PreferencesTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        ASSERT_TRUE(dir_.isValid());
        path_ = dir_.filePath(QStringLiteral("fare.ini"));
    }

    QTemporaryDir dir_;
    QString path_;
};

TEST(PreferencesPath, IsNamedAfterTheSettingsFile)
{
    EXPECT_EQ(Preferences::pathFor(QStringLiteral("/a/fare.in4")), QStringLiteral("/a/fare.ini"));
    EXPECT_EQ(Preferences::pathFor(QStringLiteral("/a/FARE.IN4")), QStringLiteral("/a/FARE.ini"));
    EXPECT_EQ(Preferences::pathFor(QStringLiteral("/a/my.settings")),
              QStringLiteral("/a/my.settings.ini"));
    EXPECT_EQ(Preferences::pathFor(QStringLiteral("/a.in4/fare")),
              QStringLiteral("/a.in4/fare.ini"));
}

TEST_F(PreferencesTest, PathsCp932CannotHoldComeBackExactlyWhereTheSettingsFileAgrees)
{
    core::OptionFileValues options;
    options.set(core::OptionId::FareDataFolder, QStringLiteral("/home/u/données"));
    options.set(core::OptionId::BroadcastDataFolder,
                QStringLiteral("/home/u/放送"));                                 // CP932 holds it
    options.set(core::OptionId::PanelOn1Picture, QStringLiteral("/p/〜波.bmp")); // comes back as ～
    options.set(core::OptionId::PreBroadcastSound2, QStringLiteral("/s/👋, \"hi\"; x=1.wav"));
    options.set(core::OptionId::TicketPluginPath, QStringLiteral(" /p/Ålesund.4SP "));
    core::Options model;
    Preferences saved(path_, model);
    saved.keepExactPaths(options);
    ASSERT_TRUE(saved.save());

    core::Options next;
    Preferences loaded(path_, next);
    loaded.load();
    EXPECT_EQ(
        loaded.exactPaths().keys(),
        (QStringList{QStringLiteral("FareDataFolder"), QStringLiteral("PanelOn1Picture"),
                     QStringLiteral("PreBroadcastSound2"), QStringLiteral("TicketPluginPath")}));
    core::OptionFileValues read = throughTheSettingsFile(options);
    ASSERT_EQ(read.text(core::OptionId::FareDataFolder), QStringLiteral("/home/u/donn?es"));
    loaded.restoreExactPaths(read);
    EXPECT_EQ(read, options);

    // A path the settings file holds otherwise was changed elsewhere: it stays.
    core::OptionFileValues edited = throughTheSettingsFile(options);
    edited.set(core::OptionId::FareDataFolder, QStringLiteral("/home/u/donnees"));
    edited.set(core::OptionId::PanelOn1Picture, QString());
    loaded.restoreExactPaths(edited);
    EXPECT_EQ(edited.text(core::OptionId::FareDataFolder), QStringLiteral("/home/u/donnees"));
    EXPECT_TRUE(edited.text(core::OptionId::PanelOn1Picture).isEmpty());
    EXPECT_EQ(edited.text(core::OptionId::TicketPluginPath),
              options.text(core::OptionId::TicketPluginPath));

    // Once CP932 can hold the path again, the file forgets the exact one.
    options = throughTheSettingsFile(options);
    saved.keepExactPaths(options);
    ASSERT_TRUE(saved.save());
    loaded.load();
    EXPECT_TRUE(loaded.exactPaths().isEmpty());
    EXPECT_FALSE(loaded.holdsMoreThanTheSettingsFile());
}

TEST_F(PreferencesTest, DisplayZoomIsKeptUnderItsKeyWithinItsRange)
{
    core::Options options;
    Preferences preferences(path_, options);
    preferences.load();
    EXPECT_EQ(options.displayZoom(), 1);
    EXPECT_FALSE(options.setDisplayZoom(5));
    EXPECT_FALSE(options.setDisplayZoom(-1));
    EXPECT_FALSE(preferences.holdsMoreThanTheSettingsFile());
    EXPECT_TRUE(options.setDisplayZoom(3));
    EXPECT_TRUE(preferences.holdsMoreThanTheSettingsFile()) << "a zoom is worth a file";
    ASSERT_TRUE(preferences.save());
    EXPECT_EQ(QSettings(path_, QSettings::IniFormat).value(QStringLiteral("Display/Zoom")).toInt(),
              3);

    core::Options loaded;
    Preferences next(path_, loaded);
    next.load();
    EXPECT_EQ(loaded.displayZoom(), 3);
    EXPECT_EQ(voiceOf(loaded), speech::SpeechSettings{}) << "the voice kept its defaults";
    put(path_, "[Display]\nZoom=9\n");
    next.load();
    EXPECT_EQ(loaded.displayZoom(), 1) << "out of range: the default";
}

TEST_F(PreferencesTest, SpeechSettingsKeepTheirRangesAndDefaults)
{
    core::Options options;
    Preferences preferences(path_, options);
    preferences.load();
    EXPECT_EQ(voiceOf(options), speech::SpeechSettings{});
    EXPECT_FALSE(preferences.holdsMoreThanTheSettingsFile());

    // The model keeps no value out of range; the voice dialog's values are brought into it
    // by the tape before they reach the model.
    setVoice(options, {500, -3, 101});
    EXPECT_EQ(voiceOf(options), speech::SpeechSettings{});
    setVoice(options, {80, 99, 0});
    EXPECT_TRUE(preferences.holdsMoreThanTheSettingsFile());
    ASSERT_TRUE(preferences.save());
    core::Options loaded;
    Preferences next(path_, loaded);
    next.load();
    EXPECT_EQ(voiceOf(loaded), (speech::SpeechSettings{80, 99, 0}));

    // Each value that is out of range or no number has its default; the others stay.
    put(path_, "[Speech]\nRate=79\nPitch=12\nVolume=loud\n");
    next.load();
    EXPECT_EQ(voiceOf(loaded), (speech::SpeechSettings{175, 12, 100}));
    // QSettings rereads a file only when its size or time differs; a file written within
    // the same clock tick must differ in size to be read again.
    put(path_, "[Speech]\nRate=451\nPitch=100\nVolume=-10\n");
    next.load();
    EXPECT_EQ(voiceOf(loaded), speech::SpeechSettings{});
}

TEST_F(PreferencesTest, ALoadSetsOnlyThePreferencesOfTheModel)
{
    put(path_, "[Speech]\nPitch=12\n");
    core::Options options;
    options.setFareDataFolder(QStringLiteral("/srv/fares"));
    options.setStepSoundWait(true);
    options.setSpeechRate(300); // from an earlier load: the file has none, so the default
    options.setDisplayZoom(4);
    Preferences preferences(path_, options);
    preferences.load();
    EXPECT_EQ(voiceOf(options), (speech::SpeechSettings{175, 12, 100}));
    EXPECT_EQ(options.displayZoom(), 1);
    EXPECT_EQ(options.fareDataFolder(), QStringLiteral("/srv/fares"));
    EXPECT_TRUE(options.stepSoundWait());

    // Saving writes the model as it is now, and nothing of the settings file's options.
    options.setSpeechVolume(40);
    ASSERT_TRUE(preferences.save());
    const QSettings ini(path_, QSettings::IniFormat);
    EXPECT_EQ(ini.value(QStringLiteral("Speech/Volume")).toInt(), 40);
    EXPECT_FALSE(ini.contains(QStringLiteral("FareDataFolder")));
    EXPECT_FALSE(ini.contains(QStringLiteral("Paths/FareDataFolder")));
}

TEST_F(PreferencesTest, ABrokenOrStrangeFileChangesNothing)
{
    core::OptionFileValues options;
    options.set(core::OptionId::FareDataFolder, QStringLiteral("/d/données"));
    const core::OptionFileValues lossy = throughTheSettingsFile(options);

    QByteArray noise;
    for (int i = 0; i < 3000; ++i)
        noise.append(char((i * 7919) % 256));
    const QByteArray huge = "[Speech]\nRate=90\n" + QByteArray(1024 * 1024, 'x');
    for (const QByteArray& bytes : {noise, huge, QByteArray("[Paths]\nFareDataFolder=a, b, c\n")}) {
        put(path_, bytes);
        core::Options model;
        Preferences preferences(path_, model);
        preferences.load();
        EXPECT_EQ(voiceOf(model), speech::SpeechSettings{});
        core::OptionFileValues read = lossy;
        preferences.restoreExactPaths(read);
        EXPECT_EQ(read, lossy);
    }

    // A pipe is neither read (it would block) nor written.
    QFile::remove(path_);
    ASSERT_EQ(::mkfifo(QFile::encodeName(path_).constData(), 0600), 0);
    alarm(60); // a hang ends the test instead of CI's run
    core::Options model;
    Preferences pipe(path_, model);
    pipe.load();
    setVoice(model, {100, 10, 10});
    int error = 0;
    EXPECT_FALSE(pipe.save(&error));
    alarm(0);
    EXPECT_EQ(error, platform::ErrorNumber::PathFileAccess);
}

TEST_F(PreferencesTest, KeysOfANewerVersionAreKeptAndAFailedWriteIsSaid)
{
    put(path_, "[Speech]\nRate=120\nVoice=female\n[Window]\nZoom=2\n");
    core::Options options;
    Preferences preferences(path_, options);
    preferences.load();
    setVoice(options, {130, 50, 100});
    ASSERT_TRUE(preferences.save());
    const QSettings ini(path_, QSettings::IniFormat);
    EXPECT_EQ(ini.value(QStringLiteral("Speech/Voice")).toString(), QStringLiteral("female"));
    EXPECT_EQ(ini.value(QStringLiteral("Window/Zoom")).toInt(), 2);
    EXPECT_EQ(ini.value(QStringLiteral("Speech/Rate")).toInt(), 130);

    // A folder that takes no file.
    const QString folder = dir_.filePath(QStringLiteral("ro"));
    ASSERT_TRUE(QDir().mkdir(folder));
    ASSERT_TRUE(QFile::setPermissions(folder, QFile::ReadOwner | QFile::ExeOwner));
    Preferences readOnly(folder + QStringLiteral("/fare.ini"), options);
    int error = 0;
    {
        ScopedPermissionChecks asUser;
        EXPECT_FALSE(readOnly.save(&error));
    }
    EXPECT_EQ(error, platform::ErrorNumber::PermissionDenied);
}

} // namespace
