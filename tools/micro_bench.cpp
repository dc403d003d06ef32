// Google Benchmark micro-benchmarks of the operations every search node runs.
#include <benchmark/benchmark.h>

#include <string_view>
#include <vector>

#include "board/attack_maps.h"
#include "support/position_setup.h"
#include "engine/constants.h"
#include "engine/evaluate.h"
#include "engine/iterators.h"
#include "engine/moves.h"
#include "support/moves_by_color.h"

using namespace quill;

namespace {

constexpr std::string_view POSITIONS[] = {
    "rnbqkbnr/pppppppp/8/8/8/8/PPPPPPPP/RNBQKBNR w KQkq - 0 1",
    "r3k2r/p1ppqpb1/bn2pnp1/3PN3/1p2P3/2N2Q1p/PPPBBPPP/R3K2R w KQkq -",
    "8/2p5/3p4/KP5r/1R3p1k/8/4P1P1/8 w - -",
};

std::vector<PositionRecord> records() {
    std::vector<PositionRecord> out;
    for (std::string_view fen : POSITIONS) out.push_back(position_from_fen(fen)->record);
    return out;
}

void BM_GenerateMoves(benchmark::State& state) {
    const auto positions = records();
    PositionRecord r = positions[state.range(0)];
    for (auto _ : state) {
        generate_moves(r);
        benchmark::DoNotOptimize(r);
    }
}
BENCHMARK(BM_GenerateMoves)->DenseRange(0, 2);

// Makes every candidate of White's full list in turn, each on a fresh copy.
void BM_MakeEveryWhiteMove(benchmark::State& state) {
    const auto positions = records();
    const PositionRecord base = positions[state.range(0)];
    for (auto _ : state) {
        for (std::int32_t n = 1;; ++n) {
            PositionRecord r = base;
            make_white_move(r, n);
            benchmark::DoNotOptimize(r);
            if (r.white_move_ordinal == 200) break;
        }
    }
}
BENCHMARK(BM_MakeEveryWhiteMove)->DenseRange(0, 2);

// Walks all legal moves of White with the legal iterator, restoring the core each time.
void BM_LegalIteratorWalk(benchmark::State& state) {
    const auto positions = records();
    const PositionRecord base = positions[state.range(0)];
    for (auto _ : state) {
        PositionRecord r = base;
        int moves = 0;
        while (make_next_legal_white_move(r) == 0) {
            ++moves;
            copy_position_core(base, r);
            generate_moves(r);
        }
        benchmark::DoNotOptimize(moves);
    }
}
BENCHMARK(BM_LegalIteratorWalk)->DenseRange(0, 2);

void BM_EvaluatePosition(benchmark::State& state) {
    const auto positions = records();
    const PositionRecord r = positions[state.range(0)];
    for (auto _ : state) benchmark::DoNotOptimize(evaluate_position<Evaluation::Standard>(r, WHITE));
}
BENCHMARK(BM_EvaluatePosition)->DenseRange(0, 2);

}  // namespace

BENCHMARK_MAIN();
