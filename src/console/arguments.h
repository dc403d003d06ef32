// The command line of the programs. They play and judge from standard input and need no
// argument; --help and --version describe them, and any other argument is refused, so that a
// file name given by mistake is not silently ignored while the program waits on the terminal.
#pragma once

#include <optional>
#include <ostream>
#include <string_view>

namespace quill {

// What a program tells about itself in its --help text and when it refuses an argument.
struct ProgramDescription {
    std::string_view name;                            // the program's file name, e.g. "engine-a"
    std::string_view summary;                         // one line: what the program is
    std::string_view hint;                            // what to do instead of a refused argument
    std::string_view body;                            // the rest of the help, whole lines
    std::string_view usage = "[--help | --version]";  // the arguments it takes
};

// Exit status of a command line that a program does not take.
inline constexpr int USAGE_ERROR_STATUS = 2;
// Exit status when the help or version could not be written.
inline constexpr int OUTPUT_ERROR_STATUS = 1;

// The version of the whole package, the same for every program.
std::string_view package_version();

// Prints "NAME (Quillmoor) VERSION". Returns the exit status: 0, or 1 when `out` failed.
int print_version(std::string_view name, std::ostream& out);

// Prints the usage line, the summary, the body and the manual page to see. Returns the exit
// status: 0, or 1 when `out` failed.
int print_help(const ProgramDescription& program, std::ostream& out);

// Prints the one line that names a refused argument and how the program is run, and returns
// the exit status for it.
int refuse_argument(const ProgramDescription& program, std::string_view argument,
                    std::ostream& err);

// Handles the command line of a program that takes no argument. Returns nothing when there is
// none, and the program runs as usual; otherwise the exit status after printing the help or
// the version on `out`, or refusing an argument on `err`.
std::optional<int> handle_arguments(int argc, const char* const* argv,
                                    const ProgramDescription& program, std::ostream& out,
                                    std::ostream& err);

}  // namespace quill
