// Castling rights and en passant after a book answer. An answer that is one move must leave
// exactly the rights the move makers leave for that move; an answer that no move makes keeps
// rights by square and gives en passant only for a lone double step. Every case runs for
// White and, on the reflected board, for Black.
#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <tuple>

#include "../engine/moves_test_support.h"
#include "book/answer_rights.h"

namespace quill::test {
namespace {

constexpr std::uint8_t RIGHTS = CASTLE_KING_RIGHT | CASTLE_SHORT_ROOK | CASTLE_LONG_ROOK;

// `before` with the piece boards of `after`: what the book lookup leaves.
PositionRecord answered(const PositionRecord& before, const PositionRecord& after) {
    PositionRecord answer = before;
    for (const Color c : {WHITE, BLACK})
        for (int k = 0; k < PIECE_KIND_NB; ++k) piece_board(answer, c, PieceKind(k)) = piece_board(after, c, PieceKind(k));
    return answer;
}

class AnswerRights : public ::testing::TestWithParam<Color> {
protected:
    Color c = GetParam();
    SetupPosition at(std::string_view fen) const { return setup(as_color(c, fen)); }
};

// Positions rich in rights: both castlings, double steps, rooks that take the enemy's
// corners, a promotion that takes on a corner, en passant.
constexpr const char* ONE_MOVE_POSITIONS[] = {
    "r3k2r/8/8/8/8/8/8/R3K2R w KQkq -",
    "r3k2r/1ppppp2/8/8/8/8/PPPPPPPP/R3K2R w KQkq -",
    "r3k2r/p1ppqpb1/bn2pnp1/3PN3/1p2P3/2N2Q1p/PPPBBPPP/R3K2R w KQkq -",
    "r3k2r/1P6/8/3pP3/8/8/6P1/R3K2R w KQkq d6",
    "rn2k2r/8/8/8/6b1/8/8/R3K2R w KQkq -",
};

// Every legal move of these positions, adopted as a book answer, leaves the castle flags of
// both sides and the opponent's en-passant mask that the makers leave; the engine's own
// en-passant chance is gone.
TEST_P(AnswerRights, AnswerThatIsOneMoveLeavesWhatTheMakersLeave) {
    int moves = 0;
    for (const char* fen : ONE_MOVE_POSITIONS) {
        const SetupPosition p = at(fen);
        ASSERT_EQ(p.side_to_move, c);
        PositionRecord node = p.record;
        while (make_next_legal_move(node, c) == 0) {
            ++moves;
            PositionRecord answer = answered(p.record, node);
            adopt_answer_rights(p.record, answer, c);
            const std::string what = std::string(fen) + ", " + move_name(p.record, node, c);
            for (const Color side : {WHITE, BLACK})
                EXPECT_EQ(castling(answer, side)[CASTLE_FLAGS_BYTE] & RIGHTS,
                          castling(node, side)[CASTLE_FLAGS_BYTE] & RIGHTS)
                    << what << ": flags of " << color_name(side);
            EXPECT_EQ(castling(answer, ~c)[EN_PASSANT_BYTE], castling(node, ~c)[EN_PASSANT_BYTE]) << what;
            EXPECT_EQ(castling(answer, c)[EN_PASSANT_BYTE], 0) << what;
            copy_position_core(p.record, node);
            generate_moves(node);
        }
    }
    EXPECT_GT(moves, 150);
}

// Answers no single move makes, each from White's side: the position before (with every
// right and no en passant), the placement after, the rights expected for the engine and
// its opponent, and the opponent's en-passant mask.
struct OddAnswer {
    const char* name;
    const char* before;
    const char* after;
    std::uint8_t own_flags, opponent_flags, opponent_en_passant;
};

void PrintTo(const OddAnswer& odd, std::ostream* out) { *out << odd.name; }

constexpr std::uint8_t ALL = RIGHTS;
constexpr std::uint8_t NO_SHORT = CASTLE_KING_RIGHT | CASTLE_LONG_ROOK;
constexpr std::uint8_t NO_LONG = CASTLE_KING_RIGHT | CASTLE_SHORT_ROOK;
constexpr const char* HOME = "r3k2r/pppppppp/8/8/8/8/PPPPPPPP/R3K2R";

const OddAnswer ODD_ANSWERS[] = {
    {"LoneDoubleStep", HOME, "r3k2r/pppppppp/8/8/3P4/8/PPP1PPPP/R3K2R", ALL, ALL, FILE_D},
    {"TwoDoubleSteps", HOME, "r3k2r/pppppppp/8/8/3PP3/8/PPP2PPP/R3K2R", ALL, ALL, 0},
    {"DoubleStepAndAnotherMove", HOME, "r3k2r/pppppppp/8/8/3P4/8/PPP1PPPP/R3KR2", NO_SHORT, ALL, 0},
    {"PawnJumpsAPiece", "r3k2r/pppppppp/8/8/8/3N4/PPPPPPPP/R3K2R", "r3k2r/pppppppp/8/8/3P4/3N4/PPP1PPPP/R3K2R",
     ALL, ALL, 0},
    {"PawnFromItsThirdRank", "r3k2r/pppppppp/8/8/8/3P4/PPP1PPPP/R3K2R", "r3k2r/pppppppp/8/3P4/8/8/PPP1PPPP/R3K2R",
     ALL, ALL, 0},
    {"RookTwoSquaresUp", "r3k2r/pppppppp/8/8/8/8/RPPPPPPP/4K2R", "r3k2r/pppppppp/8/8/R7/8/1PPPPPPP/4K2R",
     ALL, ALL, 0},
    {"OpponentPawnDoubleSteps", HOME, "r3k2r/ppp1pppp/8/3p4/8/8/PPPPPPPP/R3K2R", ALL, ALL, 0},
    {"PawnTurnsIntoAQueen", HOME, "r3k2r/pppppppp/8/8/3Q4/8/PPP1PPPP/R3K2R", ALL, ALL, 0},
    {"OpponentCornerRookVanishes", HOME, "4k2r/pppppppp/8/8/8/8/PPPPPPPP/R3K2R", ALL, NO_LONG, 0},
    {"OpponentKingMoved", HOME, "r4k1r/pppppppp/8/8/8/8/PPPPPPPP/R3K2R", ALL, 0, 0},
    {"OtherPieceOnOwnCorner", HOME, "r3k2r/pppppppp/8/8/8/8/PPPPPPPP/N3K2R", NO_LONG, ALL, 0},
    {"BackRanksUntouched", HOME, "r3k2r/pppppp1p/6p1/8/8/5N2/PPPPPPPP/R3K2R", ALL, ALL, 0},
};

class OddAnswerRights : public ::testing::TestWithParam<std::tuple<OddAnswer, Color>> {};

TEST_P(OddAnswerRights, RightsKeptBySquareAndEnPassantOnlyForALoneDoubleStep) {
    const auto& [odd, c] = GetParam();
    const std::string rights = " w KQkq -";
    SetupPosition before = setup(as_color(c, odd.before + rights));
    const SetupPosition after = setup(as_color(c, odd.after + rights));
    castling(before.record, c)[EN_PASSANT_BYTE] = FILE_A;  // the engine's own chance, now gone
    castling(before.record, ~c)[EN_PASSANT_BYTE] = 0;
    PositionRecord answer = answered(before.record, after.record);
    adopt_answer_rights(before.record, answer, c);
    EXPECT_EQ(castling(answer, c)[CASTLE_FLAGS_BYTE] & RIGHTS, odd.own_flags);
    EXPECT_EQ(castling(answer, ~c)[CASTLE_FLAGS_BYTE] & RIGHTS, odd.opponent_flags);
    EXPECT_EQ(castling(answer, ~c)[EN_PASSANT_BYTE], odd.opponent_en_passant);
    EXPECT_EQ(castling(answer, c)[EN_PASSANT_BYTE], 0);
}

// Rights lost to one answer stay lost when a later answer puts the king back on e1.
TEST_P(AnswerRights, KingThatWalksBackDoesNotRegainCastling) {
    const std::string rights = " w KQkq -";
    PositionRecord position = at(std::string(HOME) + rights).record;
    for (const char* walk : {"r3k2r/pppppppp/8/8/8/8/PPPPPPPP/R4K1R", "r3k2r/pppppppp/8/8/8/8/PPPPPPPP/R3K2R"}) {
        PositionRecord answer = answered(position, at(std::string(walk) + rights).record);
        adopt_answer_rights(position, answer, c);
        position = answer;
        EXPECT_EQ(castling(position, c)[CASTLE_FLAGS_BYTE] & RIGHTS, 0) << walk;
    }
    generate_moves(position);
    const auto moves = ordinal_list(position, c);
    EXPECT_EQ(std::count(moves.begin(), moves.end(), move_as_color(c, "e1g1")), 0);
    EXPECT_EQ(std::count(moves.begin(), moves.end(), move_as_color(c, "e1c1")), 0);
}

INSTANTIATE_TEST_SUITE_P(BothColours, AnswerRights, ::testing::Values(WHITE, BLACK),
                         [](const auto& info) { return std::string(color_name(info.param)); });
INSTANTIATE_TEST_SUITE_P(BothColours, OddAnswerRights,
                         ::testing::Combine(::testing::ValuesIn(ODD_ANSWERS), ::testing::Values(WHITE, BLACK)),
                         [](const auto& info) {
                             return std::string(std::get<0>(info.param).name) + color_name(std::get<1>(info.param));
                         });

}  // namespace
}  // namespace quill::test
