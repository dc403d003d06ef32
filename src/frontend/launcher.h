// The quillmoor command: the one command a player types. It starts a playing build, engine-a
// unless asked for another, in the player's own book folder, which it fills with the sample
// books the first time; with --xboard it starts the build for xboard in the folder xboard
// chose, after greeting xboard on the engine's behalf.
#pragma once

#include <filesystem>
#include <optional>
#include <ostream>
#include <span>
#include <string>
#include <string_view>

#include "engine/build_profile.h"

namespace quill {

// What the command line asks for.
struct LauncherRequest {
    enum class Action { Play, Help, Version, Refuse, RefuseBuild };
    Action action = Action::Play;
    const BuildProfile* build = nullptr;  // the build to start (Play)
    bool for_xboard = false;              // greet xboard and stay in the working directory
    std::string refused;                  // the argument refused, or the unknown build's name
    std::string folder;                   // --folder: play in this folder, not the book folder
    double reply_seconds = 60.0;          // --timeout: the wait for a line from a child
    bool show_times = true;               // --no-times hides the time of each reply
};

// Reads the arguments after the program name: the name of one of the six playing builds
// (alone or after --engine), --xboard, --folder DIR, --timeout SECONDS, --no-times, or
// --help or --version alone.
LauncherRequest parse_launcher_arguments(std::span<const std::string_view> arguments);

// The playing build of that name, or null.
const BuildProfile* find_playing_build(std::string_view name);

// The player's book folder: $XDG_DATA_HOME/quillmoor, or ~/.local/share/quillmoor when
// XDG_DATA_HOME is unset, empty or relative. Nothing when no home folder is known either.
std::optional<std::filesystem::path> user_book_folder(const char* xdg_data_home, const char* home);

// The folder of the installed sample books, found from the folder of the quillmoor program
// by the relative path that the install layout puts between them.
std::filesystem::path installed_books_folder(const std::filesystem::path& program_folder);

// What preparing the book folder did.
struct BookFolderResult {
    bool made = false;  // the folder was made now, on first use
    int books_copied = 0;
    std::string error;  // empty when all went well
};

// Makes the book folder on first use and copies every file of the installed books into it;
// a folder that already exists is the player's and is left alone.
BookFolderResult prepare_book_folder(const std::filesystem::path& folder,
                                     const std::filesystem::path& installed_books);

// The line that tells xboard, before the engine's banner, that no protocol-2 features will
// follow, so that it does not wait for them; and, for a build that prints a verdict after the
// last move of a game, that it must be started afresh for every game.
std::string xboard_greeting(const BuildProfile& build);

// The whole command: handles the arguments, prepares the folder and plays the console game
// there, or for xboard replaces itself with the build. Returns the exit status.
int launcher_main(int argc, char** argv);

}  // namespace quill
