// The programs' --help and --version when standard output cannot be written (a full disk, a
// closed pipe): the exit status says so. What they print, and the refusal of other arguments,
// is checked end to end by the console transcripts.
#include <gtest/gtest.h>

#include <sstream>

#include "console/arguments.h"

namespace quill {
namespace {

constexpr ProgramDescription PROGRAM{"engine-x", "a test program", "it takes none", "Body.\n"};

TEST(ProgramArguments, HelpOrVersionOnAFailedOutputEndsWithStatusOne) {
    const char* help[] = {"engine-x", "--help"};
    const char* version[] = {"engine-x", "--version"};
    for (const auto* argv : {help, version}) {
        std::ostringstream out, err;
        out.setstate(std::ios::badbit);
        EXPECT_EQ(handle_arguments(2, argv, PROGRAM, out, err), OUTPUT_ERROR_STATUS) << argv[1];
        std::ostringstream good;
        EXPECT_EQ(handle_arguments(2, argv, PROGRAM, good, err), 0) << argv[1];
    }
}

TEST(ProgramArguments, NoArgumentLetsTheProgramRun) {
    const char* argv[] = {"engine-x"};
    std::ostringstream out, err;
    EXPECT_FALSE(handle_arguments(1, argv, PROGRAM, out, err).has_value());
    EXPECT_EQ(out.str() + err.str(), "");
}

}  // namespace
}  // namespace quill
