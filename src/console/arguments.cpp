#include "console/arguments.h"

namespace quill {

namespace {

constexpr std::string_view HELP_OPTION = "--help";
constexpr std::string_view VERSION_OPTION = "--version";

// Flushes `out` and turns its state into the exit status of a program that only printed.
int status_after_printing(std::ostream& out) {
    out.flush();
    return out ? 0 : OUTPUT_ERROR_STATUS;
}

}  // namespace

// QUILL_VERSION comes from the project's version in CMake, the one place it is set.
std::string_view package_version() { return QUILL_VERSION; }

int print_version(std::string_view name, std::ostream& out) {
    out << name << " (Quillmoor) " << package_version() << '\n';
    return status_after_printing(out);
}

int print_help(const ProgramDescription& program, std::ostream& out) {
    out << "Usage: " << program.name << ' ' << program.usage << '\n'
        << program.name << ": " << program.summary << "\n\n"
        << program.body << '\n'
        << "Manual: man 6 " << program.name << '\n';
    return status_after_printing(out);
}

int refuse_argument(const ProgramDescription& program, std::string_view argument,
                    std::ostream& err) {
    err << program.name << ": unknown argument '" << argument << "'; " << program.hint << " (see "
        << program.name << " --help)\n";
    err.flush();
    return USAGE_ERROR_STATUS;
}

std::optional<int> handle_arguments(int argc, const char* const* argv,
                                    const ProgramDescription& program, std::ostream& out,
                                    std::ostream& err) {
    if (argc <= 1) return std::nullopt;
    const std::string_view first = argv[1];
    // --help and --version stand alone; anything after them is refused like any other word.
    if (argc > 2 && (first == HELP_OPTION || first == VERSION_OPTION))
        return refuse_argument(program, argv[2], err);
    if (first == HELP_OPTION) return print_help(program, out);
    if (first == VERSION_OPTION) return print_version(program.name, out);
    return refuse_argument(program, first, err);
}

}  // namespace quill
