// Fuzz target: one whole program (banner, command loop, game loop, book answers, replies) fed
// the fuzz bytes as its opening books and its standard input, every move judged by the
// independent referee. Built once per program with QUILL_FUZZ_PROFILE naming the profile
// (ENGINE_A ... ENGINE_F, MOVECHECK).
//
// The input: its first byte chooses the books, the rest is the books and the lines.
//   0: the shipped sample books; the rest of the input is standard input.
//   1: the rest is the white book, a byte 0x1E, the black book, a byte 0x1E, then standard
//      input (a missing separator leaves the parts after it empty).
//   2: no books; the rest is standard input.
// (The first byte is taken modulo 3.) The lines are taken as they come: any byte, NUL, CR
// without LF, lines longer than the 799 characters the engine keeps, thousands of lines.
//
// The engines search on every reply the book does not give. So that the target plays
// thousands of replies a second, each search stops deepening after QUILL_FUZZ_REPLY_NODES
// nodes (a test build of the profile, see BuildProfile::node_limit), and the input ends early,
// at a line boundary, once the searches have visited QUILL_FUZZ_NODE_BUDGET nodes.
//
// Checked besides the sanitizers: the program returns status 0, prints only its protocol, and
// every move and typed move stands the referee's judgement (fuzz/session_judge.h).
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <istream>
#include <memory>
#include <optional>
#include <ostream>
#include <string>
#include <string_view>
#include <vector>

#include "driver/program.h"
#include "engine/search.h"
#include "fuzz_support.h"
#include "loop_profile.h"
#include "session_judge.h"

#ifndef QUILL_FUZZ_NODE_BUDGET
#define QUILL_FUZZ_NODE_BUDGET 0  // 0: no budget
#endif

namespace {

constexpr const quill::BuildProfile& PROFILE = quill::fuzzing::LOOP_PROFILE;
constexpr std::uint64_t NODE_BUDGET = QUILL_FUZZ_NODE_BUDGET;

constexpr char BOOK_SEPARATOR = 0x1E;
enum BookChoice { SHIPPED_BOOKS = 0, INPUT_BOOKS = 1, NO_BOOKS = 2, BOOK_CHOICES = 3 };

std::string shipped_white_book, shipped_black_book;

// Replaces a book in the scratch directory (an absent book is removed), unless it already
// holds that content: most inputs keep the books of the one before.
void place_book(const char* name, const std::optional<std::string>& content) {
    static std::optional<std::string> placed[2];
    std::optional<std::string>& last = placed[name[0] == 'w' ? 0 : 1];
    if (last == content) return;
    const std::string path = quill::fuzzing::scratch().file(name);
    if (content)
        quill::fuzzing::write_file(path, reinterpret_cast<const std::uint8_t*>(content->data()), content->size());
    else
        std::remove(path.c_str());
    last = content;
}

// The lines of standard input, each with its line end (a last line without one gets it; the
// program reads such a line the same way).
std::vector<std::string> lines_of(std::string_view input) {
    std::vector<std::string> lines;
    while (!input.empty()) {
        const std::size_t end = input.find('\n');
        const std::size_t length = end == std::string_view::npos ? input.size() : end;
        lines.emplace_back(input.substr(0, length));
        lines.back() += '\n';
        input.remove_prefix(end == std::string_view::npos ? input.size() : end + 1);
    }
    return lines;
}

std::string read_whole_file(const std::string& path) {
    std::string text;
    if (std::FILE* f = std::fopen(path.c_str(), "rb")) {
        char buffer[4096];
        for (std::size_t n; (n = std::fread(buffer, 1, sizeof buffer, f)) > 0;) text.append(buffer, n);
        std::fclose(f);
    }
    return text;
}

}  // namespace

extern "C" int LLVMFuzzerInitialize(int*, char***) {
    using namespace quill::fuzzing;
    scratch();
#ifdef QUILL_FUZZ_BOOKS_DIR
    shipped_white_book = read_whole_file(std::string(QUILL_FUZZ_BOOKS_DIR) + "/wbook.vbk");
    shipped_black_book = read_whole_file(std::string(QUILL_FUZZ_BOOKS_DIR) + "/bbook.vbk");
#endif
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    using namespace quill::fuzzing;
    if (size == 0) return 0;
    InDirectory in_scratch(scratch().path());

    std::string_view rest(reinterpret_cast<const char*>(data) + 1, size - 1);
    std::optional<std::string> white_book, black_book;
    switch (data[0] % BOOK_CHOICES) {
        case SHIPPED_BOOKS:
            white_book = shipped_white_book;
            black_book = shipped_black_book;
            break;
        case INPUT_BOOKS: {
            std::string books[2];
            for (std::string& book : books) {
                const std::size_t end = rest.find(BOOK_SEPARATOR);
                book = std::string(rest.substr(0, end));
                rest.remove_prefix(end == std::string_view::npos ? rest.size() : end + 1);
            }
            white_book = books[0];
            black_book = books[1];
            break;
        }
        default:
            break;
    }
    place_book("wbook.vbk", white_book);
    place_book("bbook.vbk", black_book);
    const std::vector<std::string> lines = lines_of(rest);

    SessionJudge judge(PROFILE.game_loop, PROFILE.banner);
    judge.set_books(white_book, black_book);
    OutputText output;
    // One search context for the whole process, as a program keeps one for its whole run.
    static const auto context = std::make_unique<quill::SearchContext<PROFILE>>();
    const std::uint64_t nodes_at_start = context->nodes;
    std::uint64_t nodes_at_serve = nodes_at_start;
    enum class Served { Banner, Line, Probe, Nothing } served = Served::Banner;
    bool probe_wanted = false;
    std::size_t next = 0;

    // Judges what the program printed for the line served last, then picks the next line:
    // the board probe the last line asked for, else the next input line while the node
    // budget lasts.
    // QUILL_FUZZ_VERBOSE=2 shows the session: each line served and what it printed.
    static const bool transcript = std::getenv("QUILL_FUZZ_VERBOSE") && std::string_view(std::getenv("QUILL_FUZZ_VERBOSE")) == "2";
    const auto judge_served = [&] {
        const bool searched = context->nodes != nodes_at_serve;
        const std::string printed = output.take();
        if (transcript && served != Served::Probe) std::fprintf(stderr, "%s", printed.c_str());
        switch (served) {
            case Served::Banner: judge.start(printed); break;
            case Served::Line: judge.end_line(printed, searched); break;
            case Served::Probe: judge.end_probe(printed); break;
            case Served::Nothing: break;
        }
    };
    ScriptedLines input([&]() -> std::optional<std::string> {
        judge_served();
        const bool after_line = served == Served::Line;
        nodes_at_serve = context->nodes;
        if (after_line && probe_wanted) {
            served = Served::Probe;
            return std::string(SessionJudge::PROBE);
        }
        const bool budget_left = NODE_BUDGET == 0 || context->nodes - nodes_at_start < NODE_BUDGET;
        if (next >= lines.size() || judge.finished() || !budget_left) {
            served = Served::Nothing;
            return std::nullopt;
        }
        probe_wanted = judge.begin_line(std::string_view(lines[next]).substr(0, lines[next].size() - 1));
        served = Served::Line;
        if (transcript) std::fprintf(stderr, "> %s", lines[next].c_str());
        return lines[next++];
    });
    std::istream in(&input);
    std::ostream out(&output);

    const int status = quill::run_program<PROFILE>(in, out, *context);
    if (status != 0) fail("the program returned a non-zero status");
    judge_served();  // after "quit" the program reads no further line
    if (std::getenv("QUILL_FUZZ_VERBOSE"))
        std::fprintf(stderr, "search nodes %llu, lines served %zu of %zu\n",
                     static_cast<unsigned long long>(context->nodes - nodes_at_start), next, lines.size());
    return 0;
}
