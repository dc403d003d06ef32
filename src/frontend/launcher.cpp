#include "frontend/launcher.h"

#include <pwd.h>
#include <unistd.h>

#include <array>
#include <cerrno>
#include <cstdlib>
#include <iostream>
#include <system_error>
#include <vector>

#include "builds/profiles.h"
#include "console/arguments.h"
#include "frontend/console_game.h"

namespace quill {

namespace {

namespace fs = std::filesystem;

// The builds the command starts: the six that play.
constexpr std::array<const BuildProfile*, 6> PLAYING_BUILDS{&ENGINE_A, &ENGINE_B, &ENGINE_C,
                                                            &ENGINE_D, &ENGINE_E, &ENGINE_F};
constexpr const BuildProfile& DEFAULT_BUILD = ENGINE_A;

// Exit status when the folder cannot be prepared or the build cannot be started.
constexpr int LAUNCH_FAILURE_STATUS = 1;

// Where the book folder goes under the player's data folder, and that folder under the home
// folder when XDG_DATA_HOME does not name it.
constexpr std::string_view BOOK_FOLDER_NAME = "quillmoor";
constexpr std::string_view DEFAULT_DATA_HOME = ".local/share";

// The running program itself, which the kernel names whatever path it was started by.
constexpr std::string_view OWN_EXECUTABLE = "/proc/self/exe";

constexpr ProgramDescription LAUNCHER{
    "quillmoor", "plays the Quillmoor chess engine on the console, with your own opening books",
    "it takes a build's name, --xboard, --folder, --timeout and --no-times",
    "Options:\n"
    "  BUILD, --engine BUILD  the build to play: engine-a (the default) to engine-f\n"
    "  --xboard               start the build for xboard, in the folder xboard gives it\n"
    "  --folder DIR           play in DIR instead of your book folder\n"
    "  --timeout SECONDS      the longest wait for the engine's reply (60)\n"
    "  --no-times             do not show how long each reply took\n"
    "\n"
    "quillmoor plays the build against you, with movecheck as referee, in your book folder,\n"
    "$XDG_DATA_HOME/quillmoor (~/.local/share/quillmoor), which it makes on first use and\n"
    "fills with the sample books wbook.vbk and bbook.vbk. Add your own entries there,\n"
    "written with bookbuilder. Type moves such as e4, Nf3 or e2e4; help lists the commands.\n",
    "[BUILD] [--folder DIR] [--timeout SECONDS] [--no-times] | BUILD --xboard | --help | --version"};

// A request refused for the argument or build name `what`.
LauncherRequest refused(LauncherRequest::Action action, std::string_view what) {
    LauncherRequest request;
    request.action = action;
    request.refused = what;
    return request;
}

// The names of the playing builds, for the message that refuses another.
std::string playing_build_names() {
    std::string names;
    for (const BuildProfile* build : PLAYING_BUILDS) {
        if (!names.empty()) names += ", ";
        names += build->name;
    }
    return names;
}

// The home folder: $HOME, or the password database's entry when HOME is unset or empty.
const char* home_folder(const char* home) {
    if (home != nullptr && *home != '\0') return home;
    const passwd* entry = getpwuid(getuid());
    return entry != nullptr ? entry->pw_dir : nullptr;
}

}  // namespace

const BuildProfile* find_playing_build(std::string_view name) {
    for (const BuildProfile* build : PLAYING_BUILDS)
        if (build->name == name) return build;
    return nullptr;
}

LauncherRequest parse_launcher_arguments(std::span<const std::string_view> arguments) {
    using Action = LauncherRequest::Action;
    LauncherRequest request;
    request.build = &DEFAULT_BUILD;
    // --help and --version stand alone, as in the other programs.
    if (arguments.size() == 1 && (arguments[0] == "--help" || arguments[0] == "--version")) {
        request.action = arguments[0] == "--help" ? Action::Help : Action::Version;
        return request;
    }
    for (std::size_t i = 0; i < arguments.size(); ++i) {
        const std::string_view argument = arguments[i];
        if (argument == "--xboard") {
            request.for_xboard = true;
        } else if (argument == "--no-times") {
            request.show_times = false;
        } else if (argument == "--folder" || argument == "--timeout") {
            if (i + 1 >= arguments.size()) return refused(Action::Refuse, argument);
            const std::string value(arguments[++i]);
            if (argument == "--folder") {
                request.folder = value;
                continue;
            }
            char* end = nullptr;
            request.reply_seconds = std::strtod(value.c_str(), &end);
            if (end == value.c_str() || *end != '\0' || !(request.reply_seconds > 0))
                return refused(Action::Refuse, value);
        } else if (argument == "--engine" || !argument.starts_with('-')) {
            // The build is named after --engine or alone: "quillmoor engine-e".
            const std::string_view name = argument != "--engine"     ? argument
                                          : i + 1 < arguments.size() ? arguments[++i]
                                                                     : "";
            request.build = find_playing_build(name);
            if (request.build == nullptr) return refused(Action::RefuseBuild, name);
        } else {
            return refused(Action::Refuse, argument);
        }
    }
    return request;
}

std::optional<fs::path> user_book_folder(const char* xdg_data_home, const char* home) {
    // A relative XDG_DATA_HOME is invalid and ignored, as the base-directory rules say.
    if (xdg_data_home != nullptr && *xdg_data_home != '\0' && fs::path(xdg_data_home).is_absolute())
        return fs::path(xdg_data_home) / BOOK_FOLDER_NAME;
    const char* folder = home_folder(home);
    if (folder == nullptr) return std::nullopt;
    return fs::path(folder) / DEFAULT_DATA_HOME / BOOK_FOLDER_NAME;
}

fs::path installed_books_folder(const fs::path& program_folder) {
    return (program_folder / QUILL_BOOKS_FROM_PROGRAMS).lexically_normal();
}

BookFolderResult prepare_book_folder(const fs::path& folder, const fs::path& installed_books) {
    BookFolderResult result;
    std::error_code failure;
    if (fs::exists(folder, failure)) return result;
    if (failure || !fs::create_directories(folder, failure)) {
        result.error = "cannot make " + folder.string() + ": " + failure.message();
        return result;
    }
    result.made = true;
    // No installed books is not fatal: the engine plays without books, as it always can.
    for (const fs::directory_entry& book : fs::directory_iterator(installed_books, failure)) {
        if (!book.is_regular_file(failure)) continue;
        // skip_existing: a file that appeared meanwhile is the player's and is never overwritten.
        if (fs::copy_file(book.path(), folder / book.path().filename(),
                          fs::copy_options::skip_existing, failure))
            ++result.books_copied;
        if (failure) {
            result.error = "cannot copy " + book.path().string() + " into " + folder.string() +
                           ": " + failure.message();
            break;
        }
    }
    return result;
}

std::string xboard_greeting(const BuildProfile& build) {
    // A verdict is printed without a newline after a game's last move and would be glued to
    // the first move line of the next game, so such a build gets a fresh process per game.
    const bool verdict = build.game_loop == GameLoopKind::Announcing;
    return "feature myname=\"Quillmoor " + std::string(build.name) + "\"" +
           (verdict ? " reuse=0" : "") + " done=1\n";
}

namespace {

// Makes the book folder on first use, says so, and makes it the working directory. Returns
// false, after saying why, when that cannot be done.
std::optional<fs::path> enter_book_folder(const fs::path& program_folder) {
    const auto folder = user_book_folder(std::getenv("XDG_DATA_HOME"), std::getenv("HOME"));
    if (!folder) {
        std::cerr << "quillmoor: no home folder for the book folder\n";
        return std::nullopt;
    }
    const fs::path books = installed_books_folder(program_folder);
    const BookFolderResult prepared = prepare_book_folder(*folder, books);
    if (!prepared.error.empty()) {
        std::cerr << "quillmoor: " << prepared.error << '\n';
        return std::nullopt;
    }
    if (prepared.made) {
        std::cerr << "quillmoor: made your book folder " << folder->string();
        if (prepared.books_copied > 0)
            std::cerr << " with the sample books of " << books.string() << '\n';
        else
            std::cerr << "; no sample books in " << books.string()
                      << ", so the engine plays without books\n";
    }
    std::error_code failure;
    fs::current_path(*folder, failure);
    if (failure) {
        std::cerr << "quillmoor: cannot enter " << folder->string() << ": " << failure.message()
                  << '\n';
        return std::nullopt;
    }
    return folder;
}

}  // namespace

int launcher_main(int argc, char** argv) {
    const std::vector<std::string_view> arguments(argv + (argc > 0 ? 1 : 0), argv + argc);
    const LauncherRequest request = parse_launcher_arguments(arguments);
    switch (request.action) {
        case LauncherRequest::Action::Help:
            return print_help(LAUNCHER, std::cout);
        case LauncherRequest::Action::Version:
            return print_version(LAUNCHER.name, std::cout);
        case LauncherRequest::Action::Refuse:
            return refuse_argument(LAUNCHER, request.refused, std::cerr);
        case LauncherRequest::Action::RefuseBuild:
            std::cerr << "quillmoor: the builds are " << playing_build_names();
            if (!request.refused.empty()) std::cerr << ", not '" << request.refused << "'";
            std::cerr << '\n';
            return USAGE_ERROR_STATUS;
        case LauncherRequest::Action::Play:
            break;
    }

    // The builds stand beside this program, installed or in the build tree.
    std::error_code failure;
    const fs::path program_folder = fs::read_symlink(OWN_EXECUTABLE, failure).parent_path();
    if (failure) {
        std::cerr << "quillmoor: cannot find its own folder: " << failure.message() << '\n';
        return LAUNCH_FAILURE_STATUS;
    }
    if (!request.for_xboard) {
        // Both children must be there before a folder is made or a game begins.
        for (const std::string_view child : {request.build->name, std::string_view("movecheck")}) {
            const std::string path = (program_folder / child).string();
            if (access(path.c_str(), X_OK) != 0) {
                const int reason = errno;
                std::cerr << "quillmoor: cannot start " << path << ": "
                          << std::generic_category().message(reason) << '\n';
                return LAUNCH_FAILURE_STATUS;
            }
        }
        ConsoleGameOptions options;
        options.program_folder = program_folder.string();
        options.build = std::string(request.build->name);
        options.reply_seconds = request.reply_seconds;
        options.show_times = request.show_times;
        options.prompt = isatty(STDIN_FILENO) != 0;
        if (!request.folder.empty()) {
            options.folder = request.folder;
        } else {
            const std::optional<fs::path> folder = enter_book_folder(program_folder);
            if (!folder) return LAUNCH_FAILURE_STATUS;
            options.folder = folder->string();
        }
        return run_console_game(options, std::cin, std::cout);
    }
    std::cout << xboard_greeting(*request.build) << std::flush;

    const std::string build = (program_folder / request.build->name).string();
    char* const build_argv[] = {const_cast<char*>(build.c_str()), nullptr};
    execv(build.c_str(), build_argv);
    const int reason = errno;
    std::cerr << "quillmoor: cannot start " << build << ": "
              << std::generic_category().message(reason) << '\n';
    return LAUNCH_FAILURE_STATUS;
}

}  // namespace quill
