// The quillmoor command's parts: its command line, the player's book folder and how it is
// filled on first use, and its greeting to xboard.
#include <gtest/gtest.h>
#include <stdlib.h>

#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <string_view>
#include <vector>

#include "builds/profiles.h"
#include "frontend/launcher.h"

namespace quill {
namespace {

namespace fs = std::filesystem;
using Action = LauncherRequest::Action;

struct CommandLineCase {
    const char* name;
    std::vector<std::string_view> arguments;
    std::string_view outcome;  // as told by outcome_of
};

void PrintTo(const CommandLineCase& c, std::ostream* os) { *os << c.name; }

// A request in a few words: "play engine-e", "play engine-a in DIR waiting 2.500000 without
// times", "xboard engine-c", "help", "version",
// "refuse ARGUMENT" or "refuse build NAME".
std::string outcome_of(const LauncherRequest& request) {
    switch (request.action) {
        case Action::Play: {
            std::string outcome = (request.for_xboard ? "xboard " : "play ") + std::string(request.build->name);
            if (!request.folder.empty()) outcome += " in " + request.folder;
            if (request.reply_seconds != 60.0) outcome += " waiting " + std::to_string(request.reply_seconds);
            if (!request.show_times) outcome += " without times";
            return outcome;
        }
        case Action::Help:
            return "help";
        case Action::Version:
            return "version";
        case Action::Refuse:
            return "refuse " + request.refused;
        case Action::RefuseBuild:
            return "refuse build " + request.refused;
    }
    return "?";
}

class LauncherCommandLine : public ::testing::TestWithParam<CommandLineCase> {};

TEST_P(LauncherCommandLine, IsReadAsMeant) {
    EXPECT_EQ(outcome_of(parse_launcher_arguments(GetParam().arguments)), GetParam().outcome);
}

// clang-format off
const CommandLineCase COMMAND_LINES[] = {
    {"NothingPlaysEngineA",   {},                                   "play engine-a"},
    {"EngineNamed",           {"--engine", "engine-e"},             "play engine-e"},
    {"XboardBeforeEngine",    {"--xboard", "--engine", "engine-c"}, "xboard engine-c"},
    {"XboardAlone",           {"--xboard"},                         "xboard engine-a"},
    {"Help",                  {"--help"},                           "help"},
    {"Version",               {"--version"},                        "version"},
    {"HelpAmongOthers",       {"--xboard", "--help"},               "refuse --help"},
    {"BuildAlone",            {"engine-e", "--xboard"},             "xboard engine-e"},
    {"WordThatIsNoBuild",     {"game.txt"},                         "refuse build game.txt"},
    {"UnknownOption",         {"-e"},                               "refuse -e"},
    {"MovecheckPlaysNothing", {"--engine", "movecheck"},            "refuse build movecheck"},
    {"UnknownBuild",          {"--engine", "engine-g"},             "refuse build engine-g"},
    {"EngineWithoutBuild",    {"--engine"},                         "refuse build "},
    {"OptionAsBuildName",     {"--engine", "--xboard"},             "refuse build --xboard"},
    {"GameOptions",           {"--timeout", "2.5", "engine-c", "--no-times", "--folder", "d"},
                                                                    "play engine-c in d waiting 2.500000 without times"},
    {"FolderWithoutName",     {"--folder"},                         "refuse --folder"},
    {"TimeoutWithoutSeconds", {"--timeout"},                        "refuse --timeout"},
    {"TimeoutNotANumber",     {"--timeout", "soon"},                "refuse soon"},
    {"TimeoutWithTrailing",   {"--timeout", "5s"},                  "refuse 5s"},
    {"TimeoutZero",           {"--timeout", "0"},                   "refuse 0"},
    {"TimeoutNegative",       {"--timeout", "-1"},                  "refuse -1"},
};
// clang-format on
INSTANTIATE_TEST_SUITE_P(Cases, LauncherCommandLine, ::testing::ValuesIn(COMMAND_LINES),
                         [](const auto& info) { return std::string(info.param.name); });

struct FolderCase {
    const char* name;
    const char* xdg_data_home;
    const char* home;
    const char* folder;  // expected, or null for none
};

void PrintTo(const FolderCase& c, std::ostream* os) { *os << c.name; }

class UserBookFolder : public ::testing::TestWithParam<FolderCase> {};

TEST_P(UserBookFolder, FollowsTheBaseDirectoryRules) {
    const FolderCase& c = GetParam();
    const auto folder = user_book_folder(c.xdg_data_home, c.home);
    ASSERT_TRUE(folder.has_value());
    EXPECT_EQ(folder->string(), c.folder);
}

INSTANTIATE_TEST_SUITE_P(
    Cases, UserBookFolder,
    ::testing::Values(FolderCase{"DataHomeSet", "/data", "/home/u", "/data/quillmoor"},
                      FolderCase{"DataHomeUnset", nullptr, "/home/u",
                                 "/home/u/.local/share/quillmoor"},
                      FolderCase{"DataHomeEmpty", "", "/home/u", "/home/u/.local/share/quillmoor"},
                      FolderCase{"DataHomeRelativeIsIgnored", "data", "/home/u",
                                 "/home/u/.local/share/quillmoor"},
                      FolderCase{"DataHomeWithoutHome", "/data", nullptr, "/data/quillmoor"}),
    [](const auto& info) { return std::string(info.param.name); });

// Without HOME the password database names the home folder, so there is always one here.
TEST(UserBookFolderFallback, HomeUnsetUsesThePasswordDatabase) {
    const auto folder = user_book_folder(nullptr, nullptr);
    ASSERT_TRUE(folder.has_value());
    EXPECT_TRUE(folder->is_absolute());
    EXPECT_EQ(folder->filename(), "quillmoor");
}

// A scratch folder with an "installed" books folder holding two sample books.
class BookFolder : public ::testing::Test {
  protected:
    void SetUp() override {
        char pattern[] = "/tmp/quill-launcher-XXXXXX";
        ASSERT_NE(::mkdtemp(pattern), nullptr);
        scratch_ = pattern;
        installed_ = scratch_ / "installed";
        fs::create_directories(installed_);
        write(installed_ / "wbook.vbk", "white sample\r\n");
        write(installed_ / "bbook.vbk", "black sample\r\n");
        folder_ = scratch_ / "data" / "quillmoor";
    }
    void TearDown() override { fs::remove_all(scratch_); }

    static void write(const fs::path& file, const std::string& bytes) {
        std::ofstream(file, std::ios::binary) << bytes;
    }
    static std::string read(const fs::path& file) {
        std::ifstream in(file, std::ios::binary);
        return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
    }

    fs::path scratch_, installed_, folder_;
};

TEST_F(BookFolder, FirstUseMakesTheFolderWithCopiesOfTheSampleBooks) {
    const BookFolderResult result = prepare_book_folder(folder_, installed_);
    EXPECT_TRUE(result.made);
    EXPECT_EQ(result.books_copied, 2);
    EXPECT_EQ(result.error, "");
    EXPECT_EQ(read(folder_ / "wbook.vbk"), "white sample\r\n");
    EXPECT_EQ(read(folder_ / "bbook.vbk"), "black sample\r\n");
}

// Once the folder exists it is the player's: a changed book, a deleted book and a book of
// the player's own all stay as they are, whatever the installed books hold.
TEST_F(BookFolder, AnExistingFolderIsNeverTouched) {
    fs::create_directories(folder_);
    write(folder_ / "bbook.vbk", "my own entries\r\n");
    write(folder_ / "book.vbk", "bookbuilder output\r\n");
    const BookFolderResult result = prepare_book_folder(folder_, installed_);
    EXPECT_FALSE(result.made);
    EXPECT_EQ(result.books_copied, 0);
    EXPECT_EQ(result.error, "");
    EXPECT_EQ(read(folder_ / "bbook.vbk"), "my own entries\r\n");
    EXPECT_FALSE(fs::exists(folder_ / "wbook.vbk"));
    EXPECT_EQ(read(folder_ / "book.vbk"), "bookbuilder output\r\n");
}

TEST_F(BookFolder, NoInstalledBooksStillMakesTheFolder) {
    const BookFolderResult result = prepare_book_folder(folder_, scratch_ / "nowhere");
    EXPECT_TRUE(result.made);
    EXPECT_EQ(result.books_copied, 0);
    EXPECT_EQ(result.error, "");
    EXPECT_TRUE(fs::is_directory(folder_));
}

TEST_F(BookFolder, AFolderThatCannotBeMadeIsReported) {
    write(scratch_ / "data", "a file where the data folder should be");
    const BookFolderResult result = prepare_book_folder(folder_, installed_);
    EXPECT_FALSE(result.made);
    EXPECT_NE(result.error.find("cannot make"), std::string::npos) << result.error;
}

// Only the builds that print a verdict after a game's last move ask xboard for a fresh
// process per game; every greeting ends xboard's wait for features.
TEST(XboardGreeting, AsksForAFreshProcessOnlyForBuildsWithAVerdict) {
    for (const BuildProfile* build :
         {&ENGINE_A, &ENGINE_B, &ENGINE_C, &ENGINE_D, &ENGINE_E, &ENGINE_F}) {
        const std::string greeting = xboard_greeting(*build);
        SCOPED_TRACE(std::string(build->name));
        EXPECT_EQ(
            greeting.rfind("feature myname=\"Quillmoor " + std::string(build->name) + "\"", 0), 0u)
            << greeting;
        EXPECT_TRUE(greeting.ends_with(" done=1\n")) << greeting;
        EXPECT_EQ(greeting.find("reuse=0") != std::string::npos,
                  build->game_loop == GameLoopKind::Announcing);
    }
}

}  // namespace
}  // namespace quill
