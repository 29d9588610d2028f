// Built once per library it checks, linking that library alone: the headers it can include
// are those of the library and of what the library's own headers need, nothing above.
#include <gtest/gtest.h>
#include <set>
#include <sstream>
#include <string>

namespace
{

struct Folder {
    const char* name;
    bool seen;
};

// One header stands for each folder of src/. The compiler answers __has_include only in the
// preprocessor, so each answer becomes a macro first.
#if __has_include("platform/wait.h")
#define FARE_SEES_PLATFORM true
#else
#define FARE_SEES_PLATFORM false
#endif
#if __has_include("formats/hy3file.h")
#define FARE_SEES_FORMATS true
#else
#define FARE_SEES_FORMATS false
#endif
#if __has_include("core/options.h")
#define FARE_SEES_CORE true
#else
#define FARE_SEES_CORE false
#endif
#if __has_include("dialogs/pickers.h")
#define FARE_SEES_DIALOGS true
#else
#define FARE_SEES_DIALOGS false
#endif
#if __has_include("audio/mediaplayer.h")
#define FARE_SEES_AUDIO true
#else
#define FARE_SEES_AUDIO false
#endif
#if __has_include("speech/speechengine.h")
#define FARE_SEES_SPEECH true
#else
#define FARE_SEES_SPEECH false
#endif
#if __has_include("elements/faredisplay.h")
#define FARE_SEES_ELEMENTS true
#else
#define FARE_SEES_ELEMENTS false
#endif
#if __has_include("sound/tape.h")
#define FARE_SEES_SOUND true
#else
#define FARE_SEES_SOUND false
#endif
#if __has_include("tickets/ticketplugin.h")
#define FARE_SEES_TICKETS true
#else
#define FARE_SEES_TICKETS false
#endif
#if __has_include("options/optionsdialog.h")
#define FARE_SEES_OPTIONS true
#else
#define FARE_SEES_OPTIONS false
#endif
#if __has_include("operation/controlpanel.h")
#define FARE_SEES_OPERATION true
#else
#define FARE_SEES_OPERATION false
#endif
#if __has_include("app/program.h")
#define FARE_SEES_APP true
#else
#define FARE_SEES_APP false
#endif

constexpr Folder Folders[] = {
    {"platform", FARE_SEES_PLATFORM},   {"formats", FARE_SEES_FORMATS},
    {"core", FARE_SEES_CORE},           {"dialogs", FARE_SEES_DIALOGS},
    {"audio", FARE_SEES_AUDIO},         {"speech", FARE_SEES_SPEECH},
    {"elements", FARE_SEES_ELEMENTS},   {"sound", FARE_SEES_SOUND},
    {"tickets", FARE_SEES_TICKETS},     {"options", FARE_SEES_OPTIONS},
    {"operation", FARE_SEES_OPERATION}, {"app", FARE_SEES_APP},
};

std::set<std::string> words(const std::string& text)
{
    std::istringstream in(text);
    std::set<std::string> result;
    for (std::string word; in >> word;)
        result.insert(word);
    return result;
}

} // namespace

TEST(IncludeRoots, ALibraryShowsItsFoldersAndNoOthers)
{
    const std::set<std::string> expected = words(FARE_VISIBLE_FOLDERS);
    for (const Folder& folder : Folders)
        EXPECT_EQ(folder.seen, expected.count(folder.name) == 1) << folder.name;
}
