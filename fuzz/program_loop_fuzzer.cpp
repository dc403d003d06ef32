// Fuzz target: one whole engine program (banner, command loop, game loop, replies) fed the
// fuzz bytes as its standard input. Built once per program with QUILL_FUZZ_PROFILE naming the
// profile (ENGINE_A ... ENGINE_F, MOVECHECK).
//
// The input is taken as it comes: any byte, NUL, CR without LF, lines longer than the 799
// characters the engine keeps, thousands of lines. The program runs in a scratch directory
// that holds the shipped sample books when QUILL_FUZZ_BOOKS_DIR names their folder. Every
// searched reply costs thousands of nodes or more, so to keep the target productive the input
// ends early, at a line boundary, once the search has visited QUILL_FUZZ_NODE_BUDGET nodes
// (fuzz/CMakeLists.txt and FUZZING.md give each program's budget and the reasons).
//
// Checked besides the sanitizers: the program returns status 0, and every move line it
// prints names two squares.
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <istream>
#include <memory>
#include <ostream>

#include "builds/profiles.h"
#include "driver/program.h"
#include "fuzz_support.h"

#ifndef QUILL_FUZZ_PROFILE
#error "define QUILL_FUZZ_PROFILE as the build profile to fuzz, e.g. ENGINE_A"
#endif
#ifndef QUILL_FUZZ_NODE_BUDGET
#define QUILL_FUZZ_NODE_BUDGET 0  // 0: no budget
#endif

namespace {

constexpr const quill::BuildProfile& PROFILE = quill::QUILL_FUZZ_PROFILE;
constexpr std::uint64_t NODE_BUDGET = QUILL_FUZZ_NODE_BUDGET;

}  // namespace

extern "C" int LLVMFuzzerInitialize(int*, char***) {
    using namespace quill::fuzzing;
#ifdef QUILL_FUZZ_BOOKS_DIR
    // With the books the opening replies are fast; without them every reply is searched.
    copy_file(std::string(QUILL_FUZZ_BOOKS_DIR) + "/bbook.vbk", scratch().file("bbook.vbk"));
    copy_file(std::string(QUILL_FUZZ_BOOKS_DIR) + "/wbook.vbk", scratch().file("wbook.vbk"));
#else
    scratch();
#endif
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    using namespace quill::fuzzing;
    InDirectory in_scratch(scratch().path());

    // One search context for the whole process, as a program keeps one for its whole run.
    static const auto context = std::make_unique<quill::SearchContext<PROFILE>>();
    const std::uint64_t nodes_at_start = context->nodes;
    LineSource source(data, size, [nodes_at_start] {
        return NODE_BUDGET == 0 || context->nodes - nodes_at_start < NODE_BUDGET;
    });
    MoveLineSink sink;
    std::istream in(&source);
    std::ostream out(&sink);

    const int status = quill::run_program<PROFILE>(in, out, *context);
    sink.finish();
    if (status != 0) fail("the program returned a non-zero status");
    if (std::getenv("QUILL_FUZZ_VERBOSE"))
        std::fprintf(stderr, "search nodes %llu, input bytes read %zu of %zu, move lines %zu\n",
                     static_cast<unsigned long long>(context->nodes - nodes_at_start),
                     source.consumed(), size, sink.move_lines());
    return 0;
}
