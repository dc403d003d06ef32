// Whole attack maps of both passes, slot numbering and sharing, promotion, and properties
// that must hold for any position.
#include <gtest/gtest.h>

#include <bit>
#include <cstring>
#include <random>
#include <string>
#include <tuple>

#include "board_test_support.h"

namespace quill {
namespace {

using test::PassKind;
using test::record_of;
using test::squares;

struct MapCase {
    const char* name;
    const char* placements;  // White's view; reflected with colours swapped for Black
    const char *attack_own, *attack_enemy;      // after build_attack_maps
    const char *generate_own, *generate_enemy;  // after generate_moves
};

using MapParam = std::tuple<MapCase, Color, PassKind>;

class AttackMaps : public ::testing::TestWithParam<MapParam> {};

TEST_P(AttackMaps, BothSidesMaps) {
    const auto& [c, color, pass] = GetParam();
    PositionRecord r = record_of(test::as_color(color, c.placements));
    test::run_pass(r, pass);
    const bool attack = pass == PassKind::Attack;
    EXPECT_SQUARES(attacks(r, color),
                   test::squares_as_color(color, attack ? c.attack_own : c.generate_own));
    EXPECT_SQUARES(attacks(r, ~color),
                   test::squares_as_color(color, attack ? c.attack_enemy : c.generate_enemy));
}

// The attack pass never marks a square of the own side; the generation pass adds the own
// pieces that end a ray, stand beside the king or on a pawn's diagonal, but not those that
// only a knight reaches.
// clang-format off
const MapCase MAP_CASES[] = {
    {"RookAndKnight", "Ra1 Na3 ne1",
     "a2 b1 c1 d1 e1 b5 c4 c2", "c2 d3 f3 g2",
     "a2 a3 b1 c1 d1 e1 b5 c4 c2", "c2 d3 f3 g2"},
    {"KingQueenAndPawns", "Ke1 Qd1 Pd2 Pe2 Pf2",
     "f1 a1 b1 c1 c2 b3 a4 c3 d3 e3 f3 g3", "",
     "a1 b1 c1 d1 e1 f1 d2 e2 f2 c2 b3 a4 c3 d3 e3 f3 g3", ""},
    {"RookKingAndEnemyRook", "Ra1 Ke1 rf8",
     "a2 a3 a4 a5 a6 a7 a8 b1 c1 d1 d2 e2 f2 f1", "f1 f2 f3 f4 f5 f6 f7 a8 b8 c8 d8 e8 g8 h8",
     "a2 a3 a4 a5 a6 a7 a8 b1 c1 d1 e1 d2 e2 f2 f1", "f1 f2 f3 f4 f5 f6 f7 a8 b8 c8 d8 e8 g8 h8"},
    {"PawnAttacksEmptyDiagonal", "Pd4 ne5",
     "c5 e5", "c4 c6 d3 d7 f3 f7 g4 g6",
     "c5 e5", "c4 c6 d3 d7 f3 f7 g4 g6"},
    {"PawnDiagonalOnOwnKnight", "Pe2 Nd3",
     "f3 e5 f4 f2 e1 c1 b2 b4 c5", "",
     "d3 f3 e5 f4 f2 e1 c1 b2 b4 c5", ""},
    {"KnightJumpsOntoOwnPieces", "Nb1 Pd2 Pc3",
     "a3 e3 b4 d4", "",
     "a3 c3 e3 b4 d4", ""},
};
// clang-format on

std::string map_param_name(const ::testing::TestParamInfo<MapParam>& info) {
    const auto& [c, color, pass] = info.param;
    return std::string(c.name) + "_" + test::color_name(color) + "_" + test::pass_name(pass);
}

INSTANTIATE_TEST_SUITE_P(
    Positions, AttackMaps,
    ::testing::Combine(::testing::ValuesIn(MAP_CASES), ::testing::Values(WHITE, BLACK),
                       ::testing::Values(PassKind::Attack, PassKind::Generate)),
    map_param_name);

class EitherPass : public ::testing::TestWithParam<PassKind> {};

std::string pass_param_name(const ::testing::TestParamInfo<PassKind>& info) {
    return test::pass_name(info.param);
}

// Four knights of one colour: the fourth shares slot 2 with the third. On different ranks
// both squares stay in the square board; on one rank the later one replaces the earlier.
TEST_P(EitherPass, FourthKnightSharesSlotTwo) {
    PositionRecord r = record_of("Ng1 Nb1 Nd4 Ne6 ng8 nb8 nd5 ne3");
    test::run_pass(r, GetParam());

    EXPECT_SQUARES(r.white_knight_slots[0], "g1");
    EXPECT_SQUARES(r.white_knight_slots[1], "h3 e2 f3");
    EXPECT_SQUARES(r.white_knight_slots[2], "b1");
    EXPECT_SQUARES(r.white_knight_slots[3], "c3 d2 a3");
    EXPECT_SQUARES(r.white_knight_slots[4], "d4 e6");
    EXPECT_SQUARES(r.white_knight_slots[5], "f5 f3 e2 c2 b3 b5 c6 f8 g7 g5 f4 c5 c7 d8");

    // Black is numbered from rank 1 up as well: e3, d5, then g8, whose square b8 overwrites.
    EXPECT_SQUARES(r.black_knight_slots[0], "e3");
    EXPECT_SQUARES(r.black_knight_slots[1], "f1 g2 g4 f5 c4 c2 d1");
    EXPECT_SQUARES(r.black_knight_slots[2], "d5");
    EXPECT_SQUARES(r.black_knight_slots[3], "f4 f6 e7 c7 b6 b4 c3");
    EXPECT_SQUARES(r.black_knight_slots[4], "b8");
    EXPECT_SQUARES(r.black_knight_slots[5], "h6 e7 f6 c6 d7 a6");

    // Sharing a slot loses nothing from the attack maps.
    EXPECT_SQUARES(r.white_attacks, "h3 e2 f3 c3 d2 a3 f5 c2 b3 b5 c6 f8 g7 g5 f4 c5 c7 d8");
}

// Nine pawns: White's ninth (on rank 4) joins a2 in slot 7; Black's pawn on e5 comes first,
// so a7 is the ninth and replaces b7 in slot 7, taking b7's pushes with it.
TEST_P(EitherPass, NinthPawnSharesSlotSeven) {
    PositionRecord r =
        test::record_of_text(make_board_text("        "
                                             "pppppppp"
                                             "        "
                                             "    p   "
                                             "    P   "
                                             "        "
                                             "PPPPPPPP"
                                             "        "));
    test::run_pass(r, GetParam());

    for (int slot = 0; slot < 7; ++slot) {
        const std::string file(1, char('h' - slot));
        EXPECT_SQUARES(r.white_pawn_slots[2 * slot], file + "2");
        EXPECT_SQUARES(r.white_pawn_slots[2 * slot + 1],
                       slot == 3 ? "e3" : file + "3 " + file + "4");
    }
    EXPECT_SQUARES(r.white_pawn_slots[14], "a2 e4");
    EXPECT_SQUARES(r.white_pawn_slots[15], "a3 a4");  // e4 is blocked by the pawn on e5

    EXPECT_SQUARES(r.black_pawn_slots[0], "e5");
    EXPECT_SQUARES(r.black_pawn_slots[1], "");
    for (int slot = 1; slot < 7; ++slot) {
        const std::string file(1, char('h' - (slot - 1)));
        EXPECT_SQUARES(r.black_pawn_slots[2 * slot], file + "7");
        EXPECT_SQUARES(r.black_pawn_slots[2 * slot + 1],
                       slot == 4 ? "e6" : file + "6 " + file + "5");
    }
    EXPECT_SQUARES(r.black_pawn_slots[14], "a7");
    EXPECT_SQUARES(r.black_pawn_slots[15], "a6 a5");
}

// In a shared pawn slot the double push of the rank-2 pawn sets the slot's rank-4 byte
// outright, so the pushes and captures the rank-3 pawn had put there are gone.
TEST_P(EitherPass, SharedPawnSlotDoublePushOverwritesRankFour) {
    PositionRecord r = record_of("Pa2 Pb2 Pc2 Pd2 Pe2 Pf2 Pg2 Ph2 Pb3 nc4");
    test::run_pass(r, GetParam());
    EXPECT_SQUARES(r.white_pawn_slots[14], "a2 b3");
    EXPECT_SQUARES(r.white_pawn_slots[15], "a3 a4");
    EXPECT_SQUARES(r.white_pawn_slots[12], "b2");
    EXPECT_SQUARES(r.white_pawn_slots[13], "");
}

// A pawn on its last rank becomes a queen of its colour before anything else is derived, and
// the new queen gets its slot and targets in the same pass.
TEST_P(EitherPass, PawnsOnLastRankBecomeQueens) {
    for (Color color : {WHITE, BLACK}) {
        SCOPED_TRACE(test::color_name(color));
        const auto mirror = [&](std::string_view list) {
            return test::squares_as_color(color, list);
        };
        PositionRecord r = record_of(test::as_color(color, "Pe8 Pb8 Qa1 Pc7 ka8"));
        test::run_pass(r, GetParam());

        EXPECT_SQUARES(piece_board(r, color, QUEEN), mirror("a1 b8 e8"));
        EXPECT_SQUARES(piece_board(r, color, PAWN), mirror("c7"));
        EXPECT_SQUARES(pieces(r, color), mirror("a1 b8 e8 c7"));
        const auto e8 = test::targets_of(r, color, QUEEN, mirror("e8"));
        ASSERT_TRUE(e8.has_value());
        EXPECT_SQUARES(*e8, mirror("f8 g8 h8 f7 g6 h5 e7 e6 e5 e4 e3 e2 e1 d7 c6 b5 a4 d8 c8"));
        const auto b8 = test::targets_of(r, color, QUEEN, mirror("b8"));
        ASSERT_TRUE(b8.has_value());
        EXPECT_SQUARES(*b8, mirror("a8 c8 d8 a7 b7 b6 b5 b4 b3 b2 b1"));
        // The pawn on c7 ends the b8 queen's diagonal.
        EXPECT_FALSE(attacks(r, color).intersects(squares(mirror("d6"))));
    }
}

// A pawn on its own back rank is not promoted: only the far rank counts.
TEST_P(EitherPass, PawnOnOwnBackRankStaysAPawn) {
    PositionRecord r = record_of("Pe1 pd8");
    test::run_pass(r, GetParam());
    EXPECT_SQUARES(r.white_pawns, "e1");
    EXPECT_SQUARES(r.black_pawns, "d8");
    EXPECT_TRUE(r.white_queens.empty());
    EXPECT_TRUE(r.black_queens.empty());
}

// A pawn pushed to the last rank is a target only; the next pass makes it a queen.
TEST_P(EitherPass, PushToLastRankThenQueen) {
    PositionRecord r = record_of("Pe7 ka1");
    test::run_pass(r, GetParam());
    EXPECT_SQUARES(r.white_pawn_slots[1], "e8");
    EXPECT_SQUARES(r.white_pawns, "e7");

    std::uint8_t mask = FILE_E;
    clear_square(r, 6, mask);
    r.white_pawns |= square_board("e8");
    test::run_pass(r, GetParam());
    EXPECT_TRUE(r.white_pawns.empty());
    EXPECT_SQUARES(r.white_queens, "e8");
    EXPECT_SQUARES(r.white_queen_slots[0], "e8");
    EXPECT_TRUE(r.white_queen_slots[1].intersects(squares("e1 a8 h5")));
    EXPECT_TRUE(r.white_pawn_slots[0].empty());
}

// Everything a pass derives is rebuilt from the piece boards alone: stale slots, occupancy,
// attack maps and counters from an earlier position make no difference.
TEST_P(EitherPass, StaleDerivedBoardsAreRebuilt) {
    const char* positions[] = {"Ke1 Qd1 Pd2 Pe2 Pf2 ke8 nc6 pd7", "Ng1 Nb1 Nd4 Ne6 Pa2 Ph7 rh8",
                               "Pe8 pe1 Kh1 kh8"};
    for (const char* placements : positions) {
        SCOPED_TRACE(placements);
        PositionRecord clean = record_of(placements);
        PositionRecord dirty = clean;
        // Every byte from the occupancy boards to the end of the slots, and the counters.
        auto* first = reinterpret_cast<unsigned char*>(&dirty.white_pieces);
        auto* last = reinterpret_cast<unsigned char*>(&dirty.black_pawn_slots) +
                     sizeof dirty.black_pawn_slots;
        std::memset(first, 0xA5, static_cast<std::size_t>(last - first));
        dirty.pass_counters = {7, -3};

        test::run_pass(clean, GetParam());
        test::run_pass(dirty, GetParam());
        EXPECT_EQ(dirty, clean);
        EXPECT_EQ(dirty.pass_counters, (PassCounters{0, 0}));

        // A second pass over its own result changes nothing.
        PositionRecord again = clean;
        test::run_pass(again, GetParam());
        EXPECT_EQ(again, clean);
    }
}

// The fields that are not derived (castling state, flag, ordinals) are left alone.
TEST_P(EitherPass, LeavesCastlingFlagAndOrdinalsAlone) {
    PositionRecord r = record_of("Ke1 Ra1 ke8");
    r.white_castling = WHITE_CASTLING_START;
    r.black_castling = BLACK_CASTLING_START;
    r.move_made_flag = 1;
    r.white_move_ordinal = 12;
    r.black_move_ordinal = 34;
    test::run_pass(r, GetParam());
    EXPECT_EQ(r.white_castling, WHITE_CASTLING_START);
    EXPECT_EQ(r.black_castling, BLACK_CASTLING_START);
    EXPECT_EQ(r.move_made_flag, 1);
    EXPECT_EQ(r.white_move_ordinal, 12);
    EXPECT_EQ(r.black_move_ordinal, 34);
}

INSTANTIATE_TEST_SUITE_P(BothPasses, EitherPass,
                         ::testing::Values(PassKind::Attack, PassKind::Generate), pass_param_name);

// Random positions with no more pieces of a kind than it has slots and no pawn on rank 1
// or 8, so that no slot is shared and no pawn is promoted.
PositionRecord random_position(std::mt19937& gen) {
    PositionRecord r;
    ByteBoard occupied;
    const auto place = [&](ByteBoard& board, int first_rank, int last_rank) {
        for (int tries = 0; tries < 100; ++tries) {
            const int rank = first_rank + int(gen() % unsigned(last_rank - first_rank + 1));
            const ByteBoard sq = square_board(rank, static_cast<std::uint8_t>(0x80 >> (gen() % 8)));
            if (occupied.intersects(sq)) continue;
            board |= sq;
            occupied |= sq;
            return;
        }
    };
    for (Color c : {WHITE, BLACK}) {
        for (int k = 0; k < PIECE_KIND_NB; ++k) {
            const auto kind = PieceKind(k);
            const int count = int(gen() % unsigned(slot_count(kind) + 1));
            for (int i = 0; i < count; ++i)
                place(piece_board(r, c, kind), kind == PAWN ? 1 : 0, kind == PAWN ? 6 : 7);
        }
    }
    return r;
}

// The same position with the board reflected and the colours swapped.
PositionRecord mirrored(const PositionRecord& r) {
    PositionRecord m;
    for (Color c : {WHITE, BLACK})
        for (int k = 0; k < PIECE_KIND_NB; ++k)
            piece_board(m, ~c, PieceKind(k)) = test::flip(piece_board(r, c, PieceKind(k)));
    return m;
}

ByteBoard union_of_targets(const PositionRecord& r, Color c, PieceKind k) {
    ByteBoard u;
    const ConstSlotView s = slots(r, c, k);
    for (int i = 1; i < s.size; i += 2) u |= s[i];
    return u;
}

constexpr int RANDOM_POSITIONS = 300;

// Both passes give every piece the same targets; their attack maps differ only by own pieces.
TEST(PassesAgree, SameTargetsAndAttackMapsDifferOnlyByOwnPieces) {
    std::mt19937 gen(20240601);
    for (int n = 0; n < RANDOM_POSITIONS; ++n) {
        PositionRecord attack = random_position(gen);
        PositionRecord generated = attack;
        build_attack_maps(attack);
        generate_moves(generated);
        SCOPED_TRACE(n);
        for (Color c : {WHITE, BLACK}) {
            for (int k = 0; k < PIECE_KIND_NB; ++k) {
                const auto a = slots(attack, c, PieceKind(k));
                const auto g = slots(generated, c, PieceKind(k));
                for (int i = 0; i < a.size; ++i)
                    EXPECT_EQ(a[i], g[i]) << "kind " << k << " board " << i;
            }
            const ByteBoard own = pieces(attack, c);
            EXPECT_EQ(own, pieces(generated, c));
            EXPECT_FALSE(attacks(attack, c).intersects(own));
            EXPECT_EQ(attacks(generated, c) & ~own, attacks(attack, c));
        }
    }
}

// For any position: occupancy is the union of the piece boards, the slots hold the pieces one
// square each in scanning order (rank 1 up, file h to a), and no targets board holds an own
// square.
TEST(PassesAgree, SlotsHoldEveryPieceInScanningOrder) {
    std::mt19937 gen(777);
    for (int n = 0; n < RANDOM_POSITIONS; ++n) {
        PositionRecord r = random_position(gen);
        generate_moves(r);
        SCOPED_TRACE(n);
        for (Color c : {WHITE, BLACK}) {
            ByteBoard all;
            for (int k = 0; k < PIECE_KIND_NB; ++k) {
                const auto kind = PieceKind(k);
                all |= piece_board(r, c, kind);
                const auto s = slots(r, c, kind);
                ByteBoard seen;
                int previous = -1;
                for (int i = 0; i < s.size; i += 2) {
                    EXPECT_FALSE(s[i + 1].intersects(pieces(r, c)))
                        << "kind " << k << " slot " << i / 2;
                    if (s[i].empty()) {
                        EXPECT_TRUE(s[i + 1].empty());
                        continue;
                    }
                    ASSERT_EQ(std::popcount(s[i].bits), 1);
                    const int order = std::countr_zero(s[i].bits);  // rank-major, file h first
                    EXPECT_GT(order, previous);
                    EXPECT_EQ(i / 2, int(std::popcount(seen.bits)));  // no empty slot before it
                    previous = order;
                    seen |= s[i];
                }
                EXPECT_EQ(seen, piece_board(r, c, kind));
            }
            EXPECT_EQ(pieces(r, c), all);
        }
    }
}

// The same family of rules serves both colours: a reflected position with colours swapped
// gives the reflected maps and targets, for either pass.
TEST_P(EitherPass, ReflectedPositionGivesReflectedMaps) {
    std::mt19937 gen(4242);
    for (int n = 0; n < RANDOM_POSITIONS; ++n) {
        PositionRecord r = random_position(gen);
        PositionRecord m = mirrored(r);
        test::run_pass(r, GetParam());
        test::run_pass(m, GetParam());
        SCOPED_TRACE(n);
        for (Color c : {WHITE, BLACK}) {
            EXPECT_EQ(test::flip(pieces(r, c)), pieces(m, ~c));
            EXPECT_EQ(test::flip(attacks(r, c)), attacks(m, ~c));
            for (int k = 0; k < PIECE_KIND_NB; ++k)
                EXPECT_EQ(test::flip(union_of_targets(r, c, PieceKind(k))),
                          union_of_targets(m, ~c, PieceKind(k)))
                    << test::color_name(c) << " kind " << k;
        }
    }
}

}  // namespace
}  // namespace quill
