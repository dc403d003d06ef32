// bench [--profile NAME] [--depth N] [--positions FILE] [--every-node] [--no-times]: runs the
// search of one build over a fixed suite of positions and prints, per position, the move it
// chose, its score and the nodes it visited; then the totals. With --no-times every time is
// left out, so the output is a signature of the search's behaviour that can be compared byte
// for byte. --every-node runs engine-a's capture search as the node-by-node walk, which gives
// the reference node counts, instead of with the value table the program uses.
#include <algorithm>
#include <chrono>
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <functional>
#include <iostream>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "board/attack_maps.h"
#include "board/board_text.h"
#include "support/position_setup.h"
#include "builds/profiles.h"
#include "driver/move_text.h"
#include "engine/constants.h"
#include "engine/moves.h"
#include "engine/search_impl.h"
#include "support/search_context.h"

#ifndef QUILL_BENCH_POSITIONS
#define QUILL_BENCH_POSITIONS "bench/positions.txt"
#endif

using namespace quill;

namespace {

// The generator is reseeded with this before every position, so that the noisy builds
// score each position the same way on every run, whatever the positions before it.
constexpr unsigned BENCH_SEED = 12345;

struct BenchPosition {
    std::string fen;
    Color engine = BLACK;  // the side the engine plays
};

struct BenchResult {
    std::int32_t score = 0;
    std::int32_t ordinal = NO_MOVE;  // the ordinal the game loop would play
    MoveText text{'-', '-', '-', '-'};
    std::uint64_t nodes = 0;
    double seconds = 0;
};

// Reads the suite: one position a line, a FEN followed by the word "white" or "black" (the
// side the engine plays); blank lines and lines starting with '#' are skipped. Returns
// nothing, after a message, when the file cannot be read or a line is malformed.
std::optional<std::vector<BenchPosition>> load_positions(const std::string& path) {
    std::ifstream in(path);
    if (!in) {
        std::cerr << "bench: cannot read " << path << '\n';
        return std::nullopt;
    }
    std::vector<BenchPosition> suite;
    std::string line;
    for (int number = 1; std::getline(in, line); ++number) {
        const auto first = line.find_first_not_of(" \t\r");
        if (first == std::string::npos || line[first] == '#') continue;
        const auto last = line.find_last_not_of(" \t\r");
        const auto blank = line.find_last_of(" \t", last);
        const std::string side =
            blank == std::string::npos ? "" : line.substr(blank + 1, last - blank);
        BenchPosition p;
        p.fen = blank == std::string::npos ? "" : line.substr(first, blank - first);
        if ((side != "white" && side != "black") || !position_from_fen(p.fen)) {
            std::cerr << "bench: " << path << ':' << number
                      << ": expected a FEN and \"white\" or \"black\"\n";
            return std::nullopt;
        }
        p.engine = side == "white" ? WHITE : BLACK;
        suite.push_back(p);
    }
    if (suite.empty()) {
        std::cerr << "bench: no positions in " << path << '\n';
        return std::nullopt;
    }
    return suite;
}

// Searches one position as the game loop does (outputs cleared, root window) and reads the
// move it would play: best_ordinal when choice_flag is 1, second_ordinal otherwise. Below
// the root depth nothing is recorded, so the move reads as none.
template <const BuildProfile& P>
BenchResult run_position(SearchContext<P>& context, const BenchPosition& position, int depth) {
    PositionRecord record = position_from_fen(position.fen)->record;
    const Color engine = position.engine;
    SearchOutputs outputs;
    outputs.excluded_ordinal = EXCLUDE_NOTHING;
    std::srand(BENCH_SEED);
    // Each position starts from an empty value table, so that its nodes do not depend on
    // the positions searched before it.
    forget_capture_values(context);
    context.nodes = 0;

    BenchResult result;
    const auto start = std::chrono::steady_clock::now();
    result.score =
        search_root<P>(context, depth, -ROOT_WINDOW, ROOT_WINDOW, record, engine, outputs, 0);
    result.seconds =
        std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
    result.nodes = context.nodes;

    if (depth != ROOT_DEPTH || outputs.root_flag == 0 || outputs.best_ordinal == NO_MOVE)
        return result;
    result.ordinal = outputs.choice_flag == 1 ? outputs.best_ordinal : outputs.second_ordinal;

    PositionRecord after = record;
    generate_moves(after);
    make_side_move(after, engine, result.ordinal);
    generate_moves(after);
    BoardText before_text, after_text;
    maps_to_board_text(record, before_text);
    maps_to_board_text(after, after_text);
    if (!derive_move_text(before_text, after_text, pieces(record, engine), pieces(after, engine),
                          result.text))
        result.text = {'?', '?', '?', '?'};
    return result;
}

// Searches one position after another with one search context, which the runner owns.
using Runner = std::function<BenchResult(const BenchPosition&, int)>;

template <const BuildProfile& P>
Runner make_runner() {
    const auto context = std::make_shared<SearchContext<P>>();
    return [context](const BenchPosition& position, int depth) { return run_position<P>(*context, position, depth); };
}

struct NamedRunner {
    const BuildProfile& profile;
    Runner (*make)();
};

const NamedRunner RUNNERS[] = {
    {ENGINE_A, make_runner<ENGINE_A>}, {ENGINE_B, make_runner<ENGINE_B>},
    {ENGINE_C, make_runner<ENGINE_C>}, {ENGINE_D, make_runner<ENGINE_D>},
    {ENGINE_E, make_runner<ENGINE_E>}, {ENGINE_F, make_runner<ENGINE_F>},
};

// The same builds with the capture search visiting every node; engine-b walks every node
// anyway, and the others have no capture search.
const NamedRunner EVERY_NODE_RUNNERS[] = {
    {ENGINE_A, make_runner<ENGINE_A_EVERY_NODE>}, {ENGINE_B, make_runner<ENGINE_B>},
    {ENGINE_C, make_runner<ENGINE_C>}, {ENGINE_D, make_runner<ENGINE_D>},
    {ENGINE_E, make_runner<ENGINE_E>}, {ENGINE_F, make_runner<ENGINE_F>},
};

// The time at or below which `share` of the positions were searched (nearest rank), from
// times sorted in ascending order.
double time_at_share(const std::vector<double>& sorted, double share) {
    const auto rank = static_cast<std::size_t>(std::ceil(share * double(sorted.size())));
    return sorted[std::clamp<std::size_t>(rank, 1, sorted.size()) - 1];
}

int usage() {
    std::cerr << "usage: bench [--profile engine-a..engine-f] [--depth 1..5] [--positions FILE] "
                 "[--every-node] [--no-times]\n";
    return 2;
}

}  // namespace

int main(int argc, char** argv) {
    std::string_view profile_name = "engine-a";
    std::string path = QUILL_BENCH_POSITIONS;
    int depth = ROOT_DEPTH;
    bool times = true;
    bool every_node = false;
    for (int i = 1; i < argc; ++i) {
        const std::string_view arg = argv[i];
        const bool has_value = i + 1 < argc;
        if (arg == "--profile" && has_value) {
            profile_name = argv[++i];
        } else if (arg == "--depth" && has_value) {
            depth = std::atoi(argv[++i]);
        } else if (arg == "--positions" && has_value) {
            path = argv[++i];
        } else if (arg == "--every-node") {
            every_node = true;
        } else if (arg == "--no-times") {
            times = false;
        } else {
            return usage();
        }
    }
    // Depths past the root's would turn the side-to-move rule of the search around.
    if (depth < 1 || depth > ROOT_DEPTH) return usage();
    Runner run;
    for (const NamedRunner& r : every_node ? EVERY_NODE_RUNNERS : RUNNERS)
        if (r.profile.name == profile_name) run = r.make();
    if (!run) return usage();
    const auto suite = load_positions(path);
    if (!suite) return 1;

    std::printf("bench %.*s depth %d, %zu positions\n", int(profile_name.size()),
                profile_name.data(), depth, suite->size());
    std::uint64_t total_nodes = 0;
    double total_seconds = 0;
    std::vector<double> times_per_position;
    int number = 0;
    for (const BenchPosition& position : *suite) {
        const BenchResult r = run(position, depth);
        total_nodes += r.nodes;
        total_seconds += r.seconds;
        times_per_position.push_back(r.seconds);
        std::printf("%3d %s %.4s  ordinal %3d  score %6d  nodes %10llu", ++number,
                    position.engine == WHITE ? "white" : "black", r.text.data(), int(r.ordinal),
                    int(r.score), static_cast<unsigned long long>(r.nodes));
        if (times) std::printf("  time %10.6f s", r.seconds);
        std::printf("\n");
        std::fflush(stdout);  // one line at a time, so a slow position shows where it is
    }
    std::printf("\nNodes searched: %llu\n", static_cast<unsigned long long>(total_nodes));
    if (times) {
        std::printf("Total time: %.3f s\n", total_seconds);
        std::printf("Nodes per second: %.0f\n",
                    total_seconds > 0 ? double(total_nodes) / total_seconds : 0.0);
        // The tail matters as much as the total: one slow reply loses a game on time.
        std::sort(times_per_position.begin(), times_per_position.end());
        constexpr double MEDIAN = 0.5, P90 = 0.9, ALL = 1.0;
        std::printf("Time per position: median %.4f s, 90th percentile %.4f s, maximum %.4f s\n",
                    time_at_share(times_per_position, MEDIAN), time_at_share(times_per_position, P90),
                    time_at_share(times_per_position, ALL));
    }
    return 0;
}
