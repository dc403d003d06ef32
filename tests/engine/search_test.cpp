// The full-width search and the capture search: what the root records and plays, how ties
// and the excluded ordinal are treated, the root's answer when the engine cannot move, the
// leaf scores at a missing king, the capture search's stand-pat score and the lifetime of
// an en-passant chance.
//
// Where an expectation depends on the scores of the individual root moves, those scores are
// worked out independently of the root: each root move is made on a copy exactly as the
// root's iterator makes it, and the position after it is searched four plies with the full
// window. The tests first check that the position really has the property they need (a tie,
// a strictly best move) and then what the root does with it.
#include <gtest/gtest.h>

#include <algorithm>
#include <cctype>
#include <cstdint>
#include <cstdlib>
#include <memory>
#include <ostream>
#include <string>
#include <string_view>
#include <vector>

#include "board/attack_maps.h"
#include "board/board_text.h"
#include "support/position_setup.h"
#include "support/test_support.h"
#include "builds/profiles.h"
#include "engine/constants.h"
#include "engine/evaluate.h"
#include "engine/iterators.h"
#include "engine/moves.h"
#include "support/moves_by_color.h"
#include "engine/search_impl.h"

namespace quill {
namespace {

// A fresh search context: each search owns its node count and value table.
template <const BuildProfile& P>
std::unique_ptr<SearchContext<P>> context() {
    return std::make_unique<SearchContext<P>>();
}

using test::record_from;

// A square's character in a BoardText ("e4" -> its piece letter or a blank).
char square_char(const BoardText& text, std::string_view square) {
    return text[static_cast<std::size_t>(('8' - square[1]) * 8 + (square[0] - 'a'))];
}

// The move `side` made between two positions in coordinate text, read from the squares its
// pieces left and reached ("????" when that is not one square each, e.g. castling).
std::string move_text(const PositionRecord& before, const PositionRecord& after, Color side) {
    BoardText b, a;
    maps_to_board_text(before, b);
    maps_to_board_text(after, a);
    const auto own = [side](char ch) {
        return ch != EMPTY_SQUARE && ((side == WHITE) == (ch >= 'A' && ch <= 'Z'));
    };
    std::string from, to;
    for (int rank = 8; rank >= 1; --rank)
        for (char file = 'a'; file <= 'h'; ++file) {
            const std::string sq{file, static_cast<char>('0' + rank)};
            const bool was = own(square_char(b, sq)), is = own(square_char(a, sq));
            if (was && !is) from += sq;
            if (!was && is) to += sq;
        }
    return from.size() == 2 && to.size() == 2 ? from + to : "????";
}

struct RootResult {
    std::int32_t score = 0;
    SearchOutputs outputs;
    std::int32_t played = NO_MOVE;  // the ordinal the game loop would play
    std::string move;               // that move in coordinate text
    PositionRecord record;          // the record as the search left it
    std::uint64_t nodes = 0;        // the nodes the search visited
};

// Searches like the game loop: outputs cleared, five plies, the root window.
template <const BuildProfile& P>
RootResult search(const PositionRecord& position, Color engine,
                  std::int32_t excluded = EXCLUDE_NOTHING) {
    RootResult r;
    r.record = position;
    r.outputs.excluded_ordinal = excluded;
    // A context of its own, so that node counts depend on the position alone.
    const auto context = std::make_unique<SearchContext<P>>();
    r.score = search_root<P>(*context, ROOT_DEPTH, -ROOT_WINDOW, ROOT_WINDOW, r.record, engine, r.outputs, 0);
    r.nodes = context->nodes;
    if (r.outputs.best_ordinal == NO_MOVE || r.outputs.root_flag == 0) return r;
    r.played = r.outputs.choice_flag == 1 ? r.outputs.best_ordinal : r.outputs.second_ordinal;
    PositionRecord after = r.record;
    generate_moves(after);
    engine == WHITE ? make_white_move(after, r.played) : make_black_move(after, r.played);
    generate_moves(after);
    r.move = move_text(r.record, after, engine);
    return r;
}

// The position after root move `ordinal`, made as the root's iterator makes it (regenerated,
// the mover's en-passant mask cleared); false when the side has no such move.
bool root_child(const PositionRecord& position, Color engine, std::int32_t ordinal,
                PositionRecord& child) {
    child = position;
    generate_moves(child);
    child.white_move_ordinal = child.black_move_ordinal = 0;
    move_ordinal(child, engine) = ordinal - 1;
    const int none = engine == WHITE ? make_next_white_move(child) : make_next_black_move(child);
    expire_en_passant(child, engine);
    return none == 0;
}

// The score of every root move in ordinal order (index 0 is ordinal 1), each searched on its
// own with the full window.
template <const BuildProfile& P>
std::vector<std::int32_t> root_move_scores(const PositionRecord& position, Color engine) {
    std::vector<std::int32_t> scores;
    PositionRecord child;
    for (std::int32_t k = 1; root_child(position, engine, k, child); ++k) {
        SearchOutputs scratch;
        scores.push_back(-search_root<P>(*context<P>(), ROOT_DEPTH - 1, -ROOT_WINDOW, ROOT_WINDOW, child,
                                         engine, scratch, 0));
    }
    return scores;
}

// 1-based ordinals of the moves that reach the best score.
std::vector<std::int32_t> best_ordinals(const std::vector<std::int32_t>& scores) {
    std::vector<std::int32_t> best;
    const std::int32_t top = *std::max_element(scores.begin(), scores.end());
    for (std::size_t i = 0; i < scores.size(); ++i)
        if (scores[i] == top) best.push_back(static_cast<std::int32_t>(i + 1));
    return best;
}

// True when `side`'s king is attacked after it plays `ordinal` (the move is not legal).
bool leaves_king_attacked(const PositionRecord& position, Color side, std::int32_t ordinal) {
    PositionRecord after = position;
    generate_moves(after);
    side == WHITE ? make_white_move(after, ordinal) : make_black_move(after, ordinal);
    generate_moves(after);
    return piece_board(after, side, KING).intersects(attacks(after, ~side));
}

// One build's search entry points, so that one test body serves several builds.
struct Build {
    const BuildProfile* profile;
    RootResult (*search)(const PositionRecord&, Color, std::int32_t);
    std::vector<std::int32_t> (*move_scores)(const PositionRecord&, Color);
    std::int32_t (*leaf)(const PositionRecord&, Color);  // search_root at depth 1
};

// Test names and failure messages show the build's name.
void PrintTo(const Build& b, std::ostream* os) { *os << b.profile->name; }

template <const BuildProfile& P>
std::int32_t leaf_score(const PositionRecord& position, Color engine) {
    PositionRecord r = position;
    SearchOutputs outputs;
    return search_root<P>(*context<P>(), 1, -ROOT_WINDOW, ROOT_WINDOW, r, engine, outputs, 0);
}

template <const BuildProfile& P>
constexpr Build build() {
    return {&P, search<P>, root_move_scores<P>, leaf_score<P>};
}

std::string build_name(const ::testing::TestParamInfo<Build>& info) {
    // "engine-a" -> "EngineA"
    std::string name;
    bool upper = true;
    for (char ch : info.param.profile->name) {
        if (ch == '-') {
            upper = true;
            continue;
        }
        name += upper ? static_cast<char>(std::toupper(static_cast<unsigned char>(ch))) : ch;
        upper = false;
    }
    return name;
}

const Build NOISELESS[] = {build<ENGINE_A>(), build<ENGINE_B>(), build<ENGINE_E>(),
                           build<ENGINE_F>()};

const Build NOISY[] = {build<ENGINE_C>(), build<ENGINE_D>()};

// The first ordinal reaching the best score among the first `count` scores.
std::int32_t first_best(const std::vector<std::int32_t>& scores, std::size_t count) {
    const auto end = scores.begin() + static_cast<std::ptrdiff_t>(count);
    return static_cast<std::int32_t>(std::max_element(scores.begin(), end) - scores.begin() + 1);
}

// ---------------------------------------------------------------------------------------
// What the root plays.

struct Tactic {
    const char* name;
    const char* fen;
    Color engine;
    const char* move;
};

// A knight takes on f7 (f2) with mate. The mated king is boxed in by its own men, and the
// squares its pawns could free are covered (g7 and h7 by the bishop and the queen, g8 by the
// rook), so the defender cannot get out within its next two moves either. That matters for
// engine-a, whose leaf scores a position in which the side not to move has already lost its
// king as lost for the side to move: engine-a never gains by taking the king inside the
// tree, only by finding it en prise in the capture search at a leaf. Nothing scores above
// 19999, and the knight's capture is the first move of the list, so the mate is played.
const Tactic BOXED_MATES[] = {
    {"White", "R5nk/5ppp/3N4/8/8/8/1B6/1Q2K3 w - - 0 1", WHITE, "d6f7"},
    {"Black", "1q2k3/1b6/8/8/8/3n4/5PPP/r5NK b - - 0 1", BLACK, "d3f2"},
};

// Mates that the defender could parry within two moves if the attacker did not take the
// king at once: found by the builds whose search rewards taking it. engine-a is left out on
// purpose: after Qxf7+ it lets Black answer ...Nh6 and ...Nxf7, since taking the king in
// between scores as lost at its next leaf, and it plays another move.
const Tactic OPEN_MATES[] = {
    {"ScholarsMate", "r1bqkbnr/pppp1ppp/2n5/4p2Q/2B1P3/8/PPPP1PPP/RNB1K1NR w KQkq - 4 4", WHITE,
     "h5f7"},
    {"FoolsMate", "rnbqkbnr/pppp1ppp/8/4p3/6P1/5P2/PPPPP2P/RNBQKBNR b KQkq g3 0 2", BLACK, "d8h4"},
};

const Tactic HANGING_QUEENS[] = {
    {"White", "rnb1kbnr/pppp1ppp/8/4p3/4P2q/5N2/PPPP1PPP/RNBQKB1R w KQkq - 2 3", WHITE, "f3h4"},
    {"Black", "rnbqkb1r/pppppppp/5n2/7Q/8/4P3/PPPP1PPP/RNB1KBNR b KQkq - 0 1", BLACK, "f6h5"},
};

class RootPlays : public ::testing::TestWithParam<Build> {};

TEST_P(RootPlays, TheBoxedMateInOne) {
    for (const Tactic& t : BOXED_MATES) {
        SCOPED_TRACE(t.name);
        const RootResult r = GetParam().search(record_from(t.fen), t.engine, EXCLUDE_NOTHING);
        EXPECT_EQ(r.move, t.move);
        // The defender's king is taken for sure: the full lost-king score, except in
        // engine-b, whose leaf scores the king's loss as material from the taker's view.
        if (GetParam().profile->leaf != Leaf::NegatedCaptureSearch) {
            EXPECT_EQ(r.score, -KING_LOST_SCORE);
        }
    }
}

TEST_P(RootPlays, TheHangingQueen) {
    for (const Tactic& t : HANGING_QUEENS) {
        SCOPED_TRACE(t.name);
        const RootResult r = GetParam().search(record_from(t.fen), t.engine, EXCLUDE_NOTHING);
        EXPECT_EQ(r.move, t.move);
    }
}

// The search leaves the game's record as it found it, but for the move ordinals, which the
// root preparation sets to 0.
TEST_P(RootPlays, LeavesTheRecordUnchangedButForTheOrdinals) {
    for (const Tactic& t : HANGING_QUEENS) {
        SCOPED_TRACE(t.name);
        const PositionRecord expected = record_from(t.fen);
        PositionRecord given = expected;
        given.white_move_ordinal = 7;
        given.black_move_ordinal = 9;
        const RootResult r = GetParam().search(given, t.engine, EXCLUDE_NOTHING);
        EXPECT_TRUE(r.record == expected);
    }
}

INSTANTIATE_TEST_SUITE_P(Noiseless, RootPlays, ::testing::ValuesIn(NOISELESS), build_name);

class RootPlaysOpenMate : public ::testing::TestWithParam<Build> {};

TEST_P(RootPlaysOpenMate, TheMateInOne) {
    for (const Tactic& t : OPEN_MATES) {
        SCOPED_TRACE(t.name);
        const RootResult r = GetParam().search(record_from(t.fen), t.engine, EXCLUDE_NOTHING);
        EXPECT_EQ(r.move, t.move);
    }
}

INSTANTIATE_TEST_SUITE_P(TakingTheKingPays, RootPlaysOpenMate,
                         ::testing::Values(build<ENGINE_B>(), build<ENGINE_E>(), build<ENGINE_F>()),
                         build_name);

// ---------------------------------------------------------------------------------------
// Ties and the excluded ordinal.

struct RootCase {
    const char* name;
    const char* fen;
    Color engine;
};

// Two rooks can each mate on the back rank (Ra8 and Rb8, or Ra1 and Rb1) in a box like the
// one above (the knight covers g8 and f7, the bishops g7 and h7), so both reach the best
// score, the lost king of the defender. In engine-a quieter moves that leave the mate for
// the next move reach it as well; the rule is the same: the first of them in the list.
const RootCase TWO_MATES[] = {
    {"White", "7k/6pp/7N/8/8/2B5/2B5/RR2K3 w - - 0 1", WHITE},
    {"Black", "rr2k3/2b5/2b5/8/8/7n/6PP/7K b - - 0 1", BLACK},
};

class RootTie : public ::testing::TestWithParam<Build> {};

TEST_P(RootTie, GoesToTheLowerOrdinal) {
    for (const RootCase& c : TWO_MATES) {
        SCOPED_TRACE(c.name);
        const PositionRecord position = record_from(c.fen);
        const std::vector<std::int32_t> scores = GetParam().move_scores(position, c.engine);
        const std::vector<std::int32_t> best = best_ordinals(scores);
        ASSERT_GE(best.size(), 2u) << "the position must offer a tie for the best score";

        const RootResult r = GetParam().search(position, c.engine, EXCLUDE_NOTHING);
        EXPECT_EQ(r.played, best.front());
        EXPECT_EQ(r.score, scores[static_cast<std::size_t>(best.front() - 1)]);
    }
}

INSTANTIATE_TEST_SUITE_P(SaturatedMates, RootTie,
                         ::testing::Values(build<ENGINE_A>(), build<ENGINE_E>(), build<ENGINE_F>()),
                         build_name);

// Positions whose best root move is strictly better than every other: first in the list,
// and later in it.
const RootCase STRICTLY_BEST[] = {
    {"QueenTakenFirst", "4k3/pp6/8/8/7q/5N2/PP6/2K5 w - - 0 1", WHITE},
    {"QueenTakenAfterAPawn", "4k3/pp6/8/8/3p3q/8/PP2N3/2K4R w - - 0 1", WHITE},
    {"BlackTakesTheQueen", "2k5/pp6/5n2/7Q/8/8/PP6/4K3 b - - 0 1", BLACK},
};

class RootExclusion : public ::testing::TestWithParam<Build> {};

// Excluding the best move: it still raises alpha, so the root's score is its score, but the
// move recorded is the best of those before it, or none when it comes first.
TEST_P(RootExclusion, ExcludedBestMoveIsNeverRecorded) {
    for (const RootCase& c : STRICTLY_BEST) {
        SCOPED_TRACE(c.name);
        const PositionRecord position = record_from(c.fen);
        const std::vector<std::int32_t> scores = GetParam().move_scores(position, c.engine);
        const std::vector<std::int32_t> best = best_ordinals(scores);
        ASSERT_EQ(best.size(), 1u) << "the position must have one strictly best move";
        const std::int32_t p = best.front();

        const RootResult plain = GetParam().search(position, c.engine, EXCLUDE_NOTHING);
        EXPECT_EQ(plain.played, p);

        const RootResult r = GetParam().search(position, c.engine, p);
        EXPECT_EQ(r.score, scores[static_cast<std::size_t>(p - 1)]);
        EXPECT_EQ(r.outputs.root_flag, 1);
        if (p == 1) {
            EXPECT_EQ(r.outputs.best_ordinal, NO_MOVE);
        } else {
            EXPECT_EQ(r.outputs.best_ordinal, first_best(scores, static_cast<std::size_t>(p - 1)));
            EXPECT_EQ(r.outputs.second_ordinal, r.outputs.best_ordinal);
            if (static_cast<std::size_t>(p) < scores.size()) {
                EXPECT_EQ(r.outputs.choice_flag, 1);
            }
        }
    }
}

INSTANTIATE_TEST_SUITE_P(Noiseless, RootExclusion, ::testing::ValuesIn(NOISELESS), build_name);

// White is in check from the rook on e8 and its first two moves, the knight's captures on a3
// and c3, ignore it: black takes the king and both score exactly -19999 in engine-a; the
// king's steps aside score better. With ordinal 1 excluded, alpha is -19999 and nothing is
// recorded when ordinal 2 comes back equal to it, so the root returns at once and the better
// king moves are never reached.
TEST(RootEarlyReturn, EqualScoreBeforeAnythingIsRecordedEndsTheRoot) {
    const PositionRecord position = record_from("4r2k/8/8/8/8/p1p5/8/1N2K3 w - - 0 1");
    const std::vector<std::int32_t> scores = root_move_scores<ENGINE_A>(position, WHITE);
    ASSERT_GE(scores.size(), 3u);
    ASSERT_EQ(scores[0], KING_LOST_SCORE);
    ASSERT_EQ(scores[1], KING_LOST_SCORE);
    const std::int32_t best = *std::max_element(scores.begin(), scores.end());
    ASSERT_GT(best, KING_LOST_SCORE);

    const RootResult plain = search<ENGINE_A>(position, WHITE);
    EXPECT_EQ(plain.score, best);
    EXPECT_EQ(plain.played, first_best(scores, scores.size()));
    EXPECT_FALSE(leaves_king_attacked(position, WHITE, plain.played));

    const RootResult r = search<ENGINE_A>(position, WHITE, 1);
    EXPECT_EQ(r.score, KING_LOST_SCORE);
    EXPECT_EQ(r.outputs.best_ordinal, NO_MOVE);
    EXPECT_EQ(r.outputs.root_flag, 1);
}

// Two knights can take on f7 with mate, ordinals 1 and 2, both scoring the lost king. With
// ordinal 1 excluded, ordinal 2 only equals alpha while nothing is recorded: the root
// returns there, before a later move could mark choice_flag.
class RootExclusionAtMate : public ::testing::TestWithParam<Build> {};

TEST_P(RootExclusionAtMate, EqualSecondMoveReturnsBeforeChoiceFlagIsSet) {
    const PositionRecord position = record_from("6nk/5ppp/3N4/4N3/8/8/8/4K3 w - - 0 1");
    const std::vector<std::int32_t> scores = GetParam().move_scores(position, WHITE);
    ASSERT_GE(scores.size(), 3u);
    ASSERT_EQ(scores[0], scores[1]);
    ASSERT_EQ(first_best(scores, scores.size()), 1);

    const RootResult r = GetParam().search(position, WHITE, 1);
    EXPECT_EQ(r.score, scores[0]);
    EXPECT_EQ(r.outputs.best_ordinal, NO_MOVE);
    EXPECT_EQ(r.outputs.choice_flag, 0);
    EXPECT_EQ(r.outputs.root_flag, 1);
}

// In engine-e and engine-f taking the king inside the tree scores exactly the lost king, so
// both smothered mates tie.
INSTANTIATE_TEST_SUITE_P(SaturatedMates, RootExclusionAtMate,
                         ::testing::Values(build<ENGINE_E>(), build<ENGINE_F>()), build_name);

// ---------------------------------------------------------------------------------------
// No legal move at the root.

const RootCase NO_LEGAL_MOVE[] = {
    {"WhiteMated", "rnb1kbnr/pppp1ppp/8/4p3/6Pq/5P2/PPPPP2P/RNBQKBNR w KQkq - 1 3", WHITE},
    {"BlackMated", "rnbqkbnr/ppppp2p/5p2/6pQ/4P3/8/PPPP1PPP/RNB1KBNR b KQkq - 1 3", BLACK},
    {"BlackStalemated", "7k/5Q2/6K1/8/8/8/8/8 b - - 0 1", BLACK},
};

class RootWithoutLegalMove : public ::testing::TestWithParam<Build> {};

// The root answers at once: the lost-king score, root_flag still 0 and best_ordinal the
// side's ordinal after the failed scan; the record keeps its boards, ordinals at 0.
TEST_P(RootWithoutLegalMove, ReturnsLostKingScoreWithoutPreparing) {
    for (const RootCase& c : NO_LEGAL_MOVE) {
        SCOPED_TRACE(c.name);
        const PositionRecord position = record_from(c.fen);
        const RootResult r = GetParam().search(position, c.engine, EXCLUDE_NOTHING);
        EXPECT_EQ(r.score, KING_LOST_SCORE);
        EXPECT_EQ(r.outputs.root_flag, 0);
        EXPECT_EQ(r.outputs.best_ordinal, ORDINAL_EXHAUSTED);
        EXPECT_EQ(r.nodes, 1u);
        EXPECT_TRUE(r.record == position);
    }
}

INSTANTIATE_TEST_SUITE_P(AllBuilds, RootWithoutLegalMove,
                         ::testing::Values(build<ENGINE_A>(), build<ENGINE_B>(), build<ENGINE_C>(),
                                           build<ENGINE_D>(), build<ENGINE_E>(), build<ENGINE_F>()),
                         build_name);

// ---------------------------------------------------------------------------------------
// Leaves.

struct LeafCase {
    const char* name;
    const char* fen;
    Color engine;
};

// At depth 1 the engine is to move; here the other side has no king.
const LeafCase KINGLESS_OPPONENT[] = {
    {"BlackKingMissing", "rnbq1bnr/pppppppp/8/8/8/8/PPPPPPPP/RNBQKBNR w KQ - 0 1", WHITE},
    {"WhiteKingMissing", "rnbqkbnr/pppppppp/8/8/8/8/PPPPPPPP/RNBQ1BNR b kq - 0 1", BLACK},
};

struct LeafExpectation {
    Build build;
    std::int32_t score;
};

void PrintTo(const LeafExpectation& e, std::ostream* os) {
    *os << e.build.profile->name << " " << e.score;
}

class LeafAtMissingKing : public ::testing::TestWithParam<LeafExpectation> {};

TEST_P(LeafAtMissingKing, ScoresForTheSideToMove) {
    for (const LeafCase& c : KINGLESS_OPPONENT) {
        SCOPED_TRACE(c.name);
        std::srand(1);
        EXPECT_EQ(GetParam().build.leaf(record_from(c.fen), c.engine), GetParam().score);
    }
}

// engine-a and engine-b test the missing king and report it as lost for the side to move;
// the other builds score the leaf by the negated evaluation, which reports the viewing side's
// missing king as -19999, so +19999 for the side to move.
INSTANTIATE_TEST_SUITE_P(AllBuilds, LeafAtMissingKing,
                         ::testing::Values(LeafExpectation{build<ENGINE_A>(), KING_LOST_SCORE},
                                           LeafExpectation{build<ENGINE_B>(), KING_LOST_SCORE},
                                           LeafExpectation{build<ENGINE_C>(), -KING_LOST_SCORE},
                                           LeafExpectation{build<ENGINE_D>(), -KING_LOST_SCORE},
                                           LeafExpectation{build<ENGINE_E>(), -KING_LOST_SCORE},
                                           LeafExpectation{build<ENGINE_F>(), -KING_LOST_SCORE}),
                         [](const ::testing::TestParamInfo<LeafExpectation>& info) {
                             return build_name({info.param.build, info.index});
                         });

const LeafCase ORDINARY_LEAVES[] = {
    {"WhiteToMove", "r1bqkbnr/pppp1ppp/2n5/4p3/4P3/5N2/PPPP1PPP/RNBQKB1R w KQkq - 2 3", WHITE},
    {"BlackToMove", "rnbqkbnr/pppp1ppp/8/4p3/4P3/5N2/PPPP1PPP/RNBQKB1R b KQkq - 1 2", BLACK},
    {"WhiteInCheck", "4k3/8/8/8/8/8/3q4/4K3 w - - 0 1", WHITE},
};

// Which side scores a leaf, and with which operation: engine-a the capture search for the
// side to move, engine-b the negated capture search seen from the side that moved (from
// depth 2, where the engine's opponent is to move), the others the negated evaluation of
// the side not to move.
TEST(LeafScore, EngineAUsesTheCaptureSearchOfTheSideToMove) {
    for (const LeafCase& c : ORDINARY_LEAVES) {
        SCOPED_TRACE(c.name);
        const PositionRecord position = record_from(c.fen);
        const Color not_to_move = ~c.engine;
        EXPECT_EQ(leaf_score<ENGINE_A>(position, c.engine),
                  capture_search<ENGINE_A>(*context<ENGINE_A>(), not_to_move, -CAPTURE_WINDOW, CAPTURE_WINDOW, position));
    }
}

TEST(LeafScore, EngineBNegatesItsCaptureSearchFromDepthTwo) {
    for (const LeafCase& c : ORDINARY_LEAVES) {
        SCOPED_TRACE(c.name);
        PositionRecord position = record_from(c.fen);
        // At depth 2 the side to move is the engine's opponent, so the engine is the side
        // that has just moved: a record whose side to move is the FEN's needs engine_side
        // flipped.
        const Color moved = ~c.engine;
        SearchOutputs outputs;
        EXPECT_EQ(
            search_root<ENGINE_B>(*context<ENGINE_B>(), 2, -ROOT_WINDOW, ROOT_WINDOW, position, moved, outputs, 0),
            -capture_search<ENGINE_B>(*context<ENGINE_B>(), moved, -CAPTURE_WINDOW, CAPTURE_WINDOW, position));
    }
}

TEST(LeafScore, EngineEAndFNegateTheEvaluationOfTheSideNotToMove) {
    for (const LeafCase& c : ORDINARY_LEAVES) {
        SCOPED_TRACE(c.name);
        const PositionRecord position = record_from(c.fen);
        const Color view = ~c.engine;
        const std::int32_t expected = -evaluate_position<Evaluation::Standard>(position, view);
        EXPECT_EQ(leaf_score<ENGINE_E>(position, c.engine), expected);
        EXPECT_EQ(leaf_score<ENGINE_F>(position, c.engine), expected);
    }
}

// ---------------------------------------------------------------------------------------
// The capture search.

// Neither side can capture, castle or take en passant.
const char* const QUIET = "4k3/pp6/8/8/8/8/5PPP/4K3 w - - 0 1";

struct Window {
    std::int32_t alpha_offset, beta_offset;  // relative to the stand-pat score
};

// In a quiet position the capture search is its stand-pat score clipped to the window.
TEST(CaptureSearch, QuietPositionReturnsStandPatClippedToTheWindow) {
    const PositionRecord position = record_from(QUIET);
    for (const Color to_move : {WHITE, BLACK}) {
        SCOPED_TRACE(to_move == WHITE ? "white to move" : "black to move");
        const std::int32_t stand = evaluate_position<Evaluation::Standard>(
            position, to_move);
        ASSERT_NE(stand, 0);
        EXPECT_EQ(capture_search<ENGINE_A>(*context<ENGINE_A>(), ~to_move, -CAPTURE_WINDOW, CAPTURE_WINDOW, position),
                  stand);
        EXPECT_EQ(capture_search<ENGINE_A>(*context<ENGINE_A>(), ~to_move, stand + 5, CAPTURE_WINDOW, position),
                  stand + 5);
        EXPECT_EQ(capture_search<ENGINE_A>(*context<ENGINE_A>(), ~to_move, -CAPTURE_WINDOW, stand - 5, position),
                  stand - 5);
        EXPECT_EQ(capture_search<ENGINE_A>(*context<ENGINE_A>(), ~to_move, -CAPTURE_WINDOW, stand, position), stand);
        EXPECT_EQ(capture_search<ENGINE_A>(*context<ENGINE_A>(), ~to_move, stand - 5, stand + 5, position), stand);
    }
}

// engine-b's capture search stands pat from the view of the side that has just moved.
TEST(CaptureSearch, EngineBStandsPatForTheSideThatMoved) {
    const PositionRecord position = record_from(QUIET);
    for (const Color moved : {WHITE, BLACK}) {
        const std::int32_t stand = evaluate_position<Evaluation::Standard>(
            position, moved);
        EXPECT_EQ(capture_search<ENGINE_B>(*context<ENGINE_B>(), moved, -CAPTURE_WINDOW, CAPTURE_WINDOW, position),
                  stand);
    }
}

// White's rook can take the undefended queen on a1 and Black has nothing to take back: the
// result is the better of standing pat and the negated stand-pat of Black after the capture.
TEST(CaptureSearch, TakesAWinningCaptureAndNegatesTheReply) {
    const PositionRecord position = record_from("4k3/8/8/8/8/8/8/q2RK3 w - - 0 1");
    PositionRecord after = position;
    make_white_capture(after, 1);
    generate_moves(after);
    ASSERT_TRUE(after.black_queens.empty());
    const std::int32_t stand = evaluate_position<Evaluation::Standard>(position, WHITE);
    const std::int32_t taken = -evaluate_position<Evaluation::Standard>(after, BLACK);
    ASSERT_GT(taken, stand);
    EXPECT_EQ(capture_search<ENGINE_A>(*context<ENGINE_A>(), BLACK, -CAPTURE_WINDOW, CAPTURE_WINDOW, position), taken);
    // A window that the capture exceeds cuts off at beta.
    EXPECT_EQ(capture_search<ENGINE_A>(*context<ENGINE_A>(), BLACK, -CAPTURE_WINDOW, taken - 1, position), taken - 1);
}

TEST(CaptureSearch, SideToMoveWithoutKingScoresLostKing) {
    const PositionRecord position = record_from("4k3/8/8/8/8/8/8/q2R4 w - - 0 1");
    EXPECT_EQ(capture_search<ENGINE_A>(*context<ENGINE_A>(), BLACK, -CAPTURE_WINDOW, CAPTURE_WINDOW, position),
              KING_LOST_SCORE);
}

// ---------------------------------------------------------------------------------------
// En passant.

struct EnPassantCase {
    const char* name;
    const char* with_chance;     // the engine may take en passant, but no pawn of its can yet
    const char* without_chance;  // the same position with no en-passant file
    Color engine;
};

// The engine's pawn on f4 (f5) can take a knight and land beside the enemy pawn that has just
// made a double step. If the chance outlived the engine's root move, that pawn could take en
// passant two plies later and the tree would grow. The enemy pawn is blocked and the enemy
// has no other pawn, so no reply of the enemy resets the mask either: only the clearing after
// the engine's move keeps the two searches identical, node for node.
const EnPassantCase EN_PASSANT[] = {
    {"White", "4k3/8/8/3pn3/3N1P2/8/8/4K3 w - d6 0 1", "4k3/8/8/3pn3/3N1P2/8/8/4K3 w - - 0 1", WHITE},
    {"Black", "4k3/8/8/3n1p2/3PN3/8/8/4K3 b - d3 0 1", "4k3/8/8/3n1p2/3PN3/8/8/4K3 b - - 0 1", BLACK},
};

class EnPassantChance : public ::testing::TestWithParam<Build> {};

TEST_P(EnPassantChance, LastsOneReplyOnly) {
    for (const EnPassantCase& c : EN_PASSANT) {
        SCOPED_TRACE(c.name);
        const PositionRecord with = record_from(c.with_chance);
        ASSERT_NE(castling(with, c.engine)[EN_PASSANT_BYTE], 0);

        std::srand(7);
        const RootResult a = GetParam().search(with, c.engine, EXCLUDE_NOTHING);
        std::srand(7);
        const RootResult b = GetParam().search(record_from(c.without_chance), c.engine, EXCLUDE_NOTHING);
        EXPECT_EQ(a.nodes, b.nodes);
        EXPECT_EQ(a.score, b.score);
        EXPECT_EQ(a.played, b.played);
    }
}

INSTANTIATE_TEST_SUITE_P(AllBuilds, EnPassantChance,
                         ::testing::Values(build<ENGINE_A>(), build<ENGINE_B>(), build<ENGINE_C>(),
                                           build<ENGINE_D>(), build<ENGINE_E>(), build<ENGINE_F>()),
                         build_name);

// ---------------------------------------------------------------------------------------
// The noisy builds.

const RootCase NOISY_POSITIONS[] = {
    {"Opening", "r1bqkbnr/pppp1ppp/2n5/4p3/4P3/5N2/PPPP1PPP/RNBQKB1R w KQkq - 2 3", WHITE},
    {"BlackInCheck", "rnbqkbnr/ppp2ppp/8/1B1pp3/4P3/8/PPPP1PPP/RNBQK1NR b KQkq - 1 3", BLACK},
    {"Endgame", "8/2p5/3p4/KP5r/1R3p1k/8/4P1P1/8 w - - 0 1", WHITE},
};

class NoisyRoot : public ::testing::TestWithParam<Build> {};

// The random deduction changes which move scores best, but the move played is always one of
// the engine's legal moves, and the same seed gives the same choice.
TEST_P(NoisyRoot, PlaysALegalMoveRepeatablyUnderOneSeed) {
    for (const RootCase& c : NOISY_POSITIONS) {
        SCOPED_TRACE(c.name);
        const PositionRecord position = record_from(c.fen);
        std::srand(2024);
        const RootResult r = GetParam().search(position, c.engine, EXCLUDE_NOTHING);
        ASSERT_NE(r.outputs.best_ordinal, NO_MOVE);
        EXPECT_EQ(r.outputs.root_flag, 1);
        EXPECT_NE(r.move, "????");
        EXPECT_FALSE(leaves_king_attacked(position, c.engine, r.played));

        std::srand(2024);
        const RootResult again = GetParam().search(position, c.engine, EXCLUDE_NOTHING);
        EXPECT_EQ(again.played, r.played);
        EXPECT_EQ(again.score, r.score);
    }
}

INSTANTIATE_TEST_SUITE_P(Noisy, NoisyRoot, ::testing::ValuesIn(NOISY), build_name);

// ---------------------------------------------------------------------------------------
// A node limit, which only test builds set.

constexpr std::uint64_t NODE_LIMIT = 300;
// After the limit each node on the path being searched still scores its remaining moves as
// leaves (a node and a capture-search node each): at most two per move and level.
constexpr std::uint64_t LIMIT_OVERSHOOT = 2 * MAX_MOVE_ORDINAL * ROOT_DEPTH;

inline constexpr BuildProfile ENGINE_A_LIMITED = with_node_limit(ENGINE_A, NODE_LIMIT);
inline constexpr BuildProfile ENGINE_B_LIMITED = with_node_limit(ENGINE_B, NODE_LIMIT);
inline constexpr BuildProfile ENGINE_E_LIMITED = with_node_limit(ENGINE_E, NODE_LIMIT);
inline constexpr BuildProfile ENGINE_A_UNREACHED_LIMIT = with_node_limit(ENGINE_A, std::uint64_t{1} << 40);

struct LimitedBuild {
    Build limited, unlimited;
};

void PrintTo(const LimitedBuild& b, std::ostream* os) { *os << b.unlimited.profile->name; }

class NodeLimit : public ::testing::TestWithParam<LimitedBuild> {};

// An opening position costs each build thousands of nodes; with the limit the search stops
// near it and the root still records one of its moves.
TEST_P(NodeLimit, BoundsTheSearchAndTheRootStillChooses) {
    const PositionRecord position = record_from(NOISY_POSITIONS[0].fen);
    for (const Color engine : {WHITE, BLACK}) {
        const RootResult limited = GetParam().limited.search(position, engine, EXCLUDE_NOTHING);
        const std::uint64_t limited_nodes = limited.nodes;
        const std::uint64_t full_nodes = GetParam().unlimited.search(position, engine, EXCLUDE_NOTHING).nodes;

        EXPECT_GT(full_nodes, NODE_LIMIT + LIMIT_OVERSHOOT) << "the position is too small to show the limit";
        EXPECT_GE(limited_nodes, NODE_LIMIT);
        EXPECT_LE(limited_nodes, NODE_LIMIT + LIMIT_OVERSHOOT);
        EXPECT_NE(limited.played, NO_MOVE);
        EXPECT_NE(limited.move, "????");
    }
}

INSTANTIATE_TEST_SUITE_P(Builds, NodeLimit,
                         ::testing::Values(LimitedBuild{build<ENGINE_A_LIMITED>(), build<ENGINE_A>()},
                                           LimitedBuild{build<ENGINE_B_LIMITED>(), build<ENGINE_B>()},
                                           LimitedBuild{build<ENGINE_E_LIMITED>(), build<ENGINE_E>()}),
                         [](const auto& info) { return build_name({info.param.unlimited, info.index}); });

// A limit the search never reaches changes neither the move nor the score.
TEST(NodeLimit, UnreachedLimitChangesNothing) {
    for (const Tactic& t : HANGING_QUEENS) {
        const PositionRecord position = record_from(t.fen);
        const RootResult plain = search<ENGINE_A>(position, t.engine);
        const RootResult limited = search<ENGINE_A_UNREACHED_LIMIT>(position, t.engine);
        EXPECT_EQ(limited.played, plain.played);
        EXPECT_EQ(limited.score, plain.score);
        EXPECT_EQ(limited.move, t.move);
    }
}

}  // namespace
}  // namespace quill
