// SAN read against the engine's legal moves, and written back: every piece, both
// disambiguations, captures with and without 'x', marks, castling, en passant, promotion, and
// the words that must be rejected.
#include <gtest/gtest.h>

#include <random>
#include <set>
#include <string>

#include "support/position_setup.h"
#include "notation/san.h"

namespace quill {
namespace {

GamePosition from_fen(const std::string& fen) {
    const auto setup = position_from_fen(fen);
    EXPECT_TRUE(setup.has_value()) << fen;
    return {setup->record, setup->side_to_move};
}

struct SanCase {
    const char* name;
    const char* fen;
    const char* word;
    const char* move;  // the coordinates of the one move found
};
void PrintTo(const SanCase& c, std::ostream* out) { *out << c.word << " in " << c.fen; }

// Knights on b1 and f1 (both reach d2), rooks on a1 and a5 (both reach a3), queens on h4,
// e1 and h1 (all three reach e4; h1 and h4 share the file, e1 and h1 the rank).
constexpr const char* TWINS = "1k6/8/7K/R7/7Q/8/8/RN2QN1Q w - - 0 1";
constexpr const char* OPEN_GAME = "r1bqkbnr/pppp1ppp/2n5/4p3/3PP3/5N2/PPP2PPP/RNBQKB1R b KQkq - 0 3";
constexpr const char* CASTLES = "r3k2r/pppq1ppp/8/8/8/8/PPPQ1PPP/R3K2R w KQkq - 0 1";
constexpr const char* CASTLES_BLACK = "r3k2r/pppq1ppp/8/8/8/8/PPPQ1PPP/R3K2R b KQkq - 0 1";
constexpr const char* EN_PASSANT = "4k3/8/8/3pP3/8/8/8/4K3 w - d6 0 1";
constexpr const char* EN_PASSANT_BLACK = "4k3/8/8/8/3pP3/8/8/4K3 b - e3 0 1";
constexpr const char* PROMOTION = "1n2k3/P7/8/8/8/8/8/4K3 w - - 0 1";

class SanResolves : public ::testing::TestWithParam<SanCase> {};

TEST_P(SanResolves, ToTheOneLegalMoveItNames) {
    const GamePosition position = from_fen(GetParam().fen);
    const std::vector<LegalMove> moves = legal_moves(position);
    const SanMatch match = resolve_san(GetParam().word, position, moves);
    ASSERT_EQ(match.status, SanStatus::Found) << match.message;
    EXPECT_EQ(coordinate_text(moves[match.index]), GetParam().move);
}

INSTANTIATE_TEST_SUITE_P(
    EveryKindOfWord, SanResolves,
    ::testing::Values(
        SanCase{"PawnPush", OPEN_GAME, "d6", "d7d6"}, SanCase{"PawnDoubleStep", OPEN_GAME, "d5", "d7d5"},
        SanCase{"PawnCaptureWithX", OPEN_GAME, "exd4", "e5d4"}, SanCase{"PawnCaptureWithoutX", OPEN_GAME, "ed4", "e5d4"},
        SanCase{"PawnCaptureWithColon", OPEN_GAME, "e:d4", "e5d4"}, SanCase{"Knight", OPEN_GAME, "Nf6", "g8f6"},
        SanCase{"KnightCaptureWithX", OPEN_GAME, "Nxd4", "c6d4"}, SanCase{"KnightCaptureWithoutX", OPEN_GAME, "Nd4", "c6d4"},
        SanCase{"Bishop", OPEN_GAME, "Bb4+", "f8b4"}, SanCase{"Queen", OPEN_GAME, "Qh4", "d8h4"},
        SanCase{"King", OPEN_GAME, "Ke7", "e8e7"}, SanCase{"Rook", "4k3/8/8/8/8/8/8/R3K3 w - - 0 1", "Ra8+", "a1a8"},
        SanCase{"WithAnnotation", OPEN_GAME, "Nf6!?", "g8f6"}, SanCase{"WithMateAndAnnotation", OPEN_GAME, "Qh4#!!", "d8h4"},
        SanCase{"LongForm", OPEN_GAME, "g8f6", "g8f6"}, SanCase{"LongFormWithDash", OPEN_GAME, "Ng8-f6", "g8f6"},
        SanCase{"DisambiguatedByFile", TWINS, "Nbd2", "b1d2"}, SanCase{"DisambiguatedByOtherFile", TWINS, "Nfd2", "f1d2"},
        SanCase{"DisambiguatedByRank", TWINS, "R1a3", "a1a3"}, SanCase{"DisambiguatedByOtherRank", TWINS, "R5a3", "a5a3"},
        SanCase{"DisambiguatedByBoth", TWINS, "Qh1e4", "h1e4"}, SanCase{"DisambiguatedByRankAmongThree", TWINS, "Q4e4", "h4e4"},
        SanCase{"DisambiguatedByFileAmongThree", TWINS, "Qee4", "e1e4"}, SanCase{"PawnWithLetter", OPEN_GAME, "Pd6", "d7d6"},
        SanCase{"ShortCastling", CASTLES, "O-O", "e1g1"}, SanCase{"LongCastling", CASTLES, "O-O-O", "e1c1"},
        SanCase{"ShortCastlingWithZeros", CASTLES, "0-0", "e1g1"}, SanCase{"LongCastlingWithZeros", CASTLES, "0-0-0+", "e1c1"},
        SanCase{"BlackShortCastling", CASTLES_BLACK, "O-O", "e8g8"}, SanCase{"BlackLongCastling", CASTLES_BLACK, "0-0-0", "e8c8"},
        SanCase{"CastlingAsKingMove", CASTLES, "Kg1", "e1g1"}, SanCase{"EnPassant", EN_PASSANT, "exd6", "e5d6"},
        SanCase{"EnPassantMarked", EN_PASSANT, "exd6e.p.", "e5d6"}, SanCase{"BlackEnPassant", EN_PASSANT_BLACK, "dxe3", "d4e3"},
        SanCase{"PromotionWithEquals", PROMOTION, "a8=Q", "a7a8"}, SanCase{"PromotionWithoutEquals", PROMOTION, "a8Q", "a7a8"},
        SanCase{"PromotionUnwritten", PROMOTION, "a8", "a7a8"}, SanCase{"PromotionCapture", PROMOTION, "axb8=Q+", "a7b8"}),
    [](const auto& info) { return std::string(info.param.name); });

struct RejectCase {
    const char* name;
    const char* fen;
    const char* word;
    SanStatus status;
    const char* message;
};
void PrintTo(const RejectCase& c, std::ostream* out) { *out << c.word << " in " << c.fen; }

class SanRejects : public ::testing::TestWithParam<RejectCase> {};

TEST_P(SanRejects, WithAMessageThatSaysWhy) {
    const GamePosition position = from_fen(GetParam().fen);
    const SanMatch match = resolve_san(GetParam().word, position, legal_moves(position));
    EXPECT_EQ(match.status, GetParam().status);
    EXPECT_EQ(match.index, -1);
    EXPECT_EQ(match.message, GetParam().message);
}

INSTANTIATE_TEST_SUITE_P(
    BadWords, SanRejects,
    ::testing::Values(
        RejectCase{"NoSuchMove", OPEN_GAME, "Nf4", SanStatus::Illegal, "'Nf4' is not a legal move of Black here"},
        RejectCase{"WhitePieceForBlack", OPEN_GAME, "Nc3", SanStatus::Illegal, "'Nc3' is not a legal move of Black here"},
        RejectCase{"CaptureOfNothing", OPEN_GAME, "Nxf6", SanStatus::Illegal,
                   "'Nxf6' is not a legal move of Black here (it captures nothing)"},
        RejectCase{"PawnPushOntoAPiece", OPEN_GAME, "d4", SanStatus::Illegal, "'d4' is not a legal move of Black here"},
        RejectCase{"LeavesKingInCheck", "4k3/8/8/8/8/8/4r3/4K2R w K - 0 1", "O-O", SanStatus::Illegal,
                   "'O-O' is not a legal move of White here (White is in check)"},
        RejectCase{"PinnedPiece", "4k3/4r3/8/8/8/8/4B3/4K3 w - - 0 1", "Bd3", SanStatus::Illegal,
                   "'Bd3' is not a legal move of White here"},
        RejectCase{"AmbiguousKnights", TWINS, "Nd2", SanStatus::Ambiguous, "'Nd2' is ambiguous: it may be f1d2 or b1d2"},
        RejectCase{"AmbiguousRooks", TWINS, "Ra3", SanStatus::Ambiguous, "'Ra3' is ambiguous: it may be a1a3 or a5a3"},
        RejectCase{"AmbiguousQueensByFile", TWINS, "Qhe4", SanStatus::Ambiguous, "'Qhe4' is ambiguous: it may be h1e4 or h4e4"},
        RejectCase{"UnderPromotion", PROMOTION, "a8=N", SanStatus::UnderPromotion,
                   "'a8=N' promotes to another piece than a queen, and the engine promotes to a queen only"},
        RejectCase{"UnderPromotionCapture", PROMOTION, "axb8R", SanStatus::UnderPromotion,
                   "'axb8R' promotes to another piece than a queen, and the engine promotes to a queen only"},
        RejectCase{"NotAWord", OPEN_GAME, "hello", SanStatus::NotAMove, "'hello' is not a move"},
        RejectCase{"OffTheBoard", OPEN_GAME, "Ni9", SanStatus::NotAMove, "'Ni9' is not a move"},
        RejectCase{"PromotionOfAPiece", PROMOTION, "Nc6=Q", SanStatus::NotAMove, "'Nc6=Q' is not a move"},
        RejectCase{"NullMove", OPEN_GAME, "--", SanStatus::NotAMove, "'--' is not a move"}),
    [](const auto& info) { return std::string(info.param.name); });

struct WriteCase {
    const char* name;
    const char* fen;
    const char* move;  // coordinates
    const char* san;
};
void PrintTo(const WriteCase& c, std::ostream* out) { *out << c.move << " in " << c.fen; }

class SanWrites : public ::testing::TestWithParam<WriteCase> {};

TEST_P(SanWrites, TheShortestWordThatNamesTheMove) {
    const GamePosition position = from_fen(GetParam().fen);
    const std::vector<LegalMove> moves = legal_moves(position);
    const LegalMove* found = nullptr;
    for (const LegalMove& m : moves)
        if (coordinate_text(m) == GetParam().move) found = &m;
    ASSERT_NE(found, nullptr);
    EXPECT_EQ(write_san(position, moves, *found), GetParam().san);
}

INSTANTIATE_TEST_SUITE_P(
    Samples, SanWrites,
    ::testing::Values(WriteCase{"Pawn", OPEN_GAME, "d7d6", "d6"}, WriteCase{"PawnCapture", OPEN_GAME, "e5d4", "exd4"},
                      WriteCase{"Check", OPEN_GAME, "f8b4", "Bb4+"},
                      WriteCase{"FileTellsApart", TWINS, "b1d2", "Nbd2"}, WriteCase{"RankTellsApart", TWINS, "a5a3", "R5a3"},
                      WriteCase{"BothNeeded", TWINS, "h1e4", "Qh1e4"}, WriteCase{"RankAmongThree", TWINS, "h4e4", "Q4e4"},
                      WriteCase{"FileAmongThree", TWINS, "e1e4", "Qee4"}, WriteCase{"NoRivalAndMate", TWINS, "h4d8", "Qd8#"}, WriteCase{"ShortCastling", CASTLES, "e1g1", "O-O"},
                      WriteCase{"LongCastlingBlack", CASTLES_BLACK, "e8c8", "O-O-O"},
                      WriteCase{"EnPassant", EN_PASSANT, "e5d6", "exd6"},
                      WriteCase{"Promotion", PROMOTION, "a7a8", "a8=Q"},
                      WriteCase{"PromotionCaptureWithCheck", PROMOTION, "a7b8", "axb8=Q+"},
                      WriteCase{"Mate", "6k1/5ppp/8/8/8/8/8/R5K1 w - - 0 1", "a1a8", "Ra8#"},
                      WriteCase{"CheckNotMate", "8/8/8/8/8/8/7R/4K1k1 w - - 0 1", "h2g2", "Rg2+"}),
    [](const auto& info) { return std::string(info.param.name); });

// Random games: in every position each legal move is written as a word no other move shares,
// and that word reads back as the same move.
TEST(SanRoundTrip, EveryLegalMoveOfRandomGamesReadsBackFromItsWord) {
    std::mt19937 rng(2024);
    int checked = 0;
    for (int game = 0; game < 40; ++game) {
        GamePosition position = start_position();
        std::vector<GamePosition> after;
        for (int ply = 0; ply < 120; ++ply) {
            const std::vector<LegalMove> moves = legal_moves(position, &after);
            if (moves.empty()) break;
            std::set<std::string> words;
            for (std::size_t i = 0; i < moves.size(); ++i) {
                const std::string san = write_san(position, moves, moves[i]);
                EXPECT_TRUE(words.insert(san).second) << san << " names two moves";
                const SanMatch match = resolve_san(san, position, moves);
                ASSERT_EQ(match.status, SanStatus::Found) << san << ": " << match.message;
                EXPECT_EQ(match.index, int(i)) << san;
                ++checked;
            }
            position = after[rng() % after.size()];
        }
    }
    EXPECT_GT(checked, 50000);
}

}  // namespace
}  // namespace quill
