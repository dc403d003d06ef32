#include "referee.h"

#include <cctype>
#include <sstream>

namespace quill::oracle {

namespace {

constexpr char EMPTY = ' ';

struct Step {
    int file, rank;
};
constexpr Step KNIGHT_STEPS[] = {{1, 2}, {2, 1}, {2, -1}, {1, -2}, {-1, -2}, {-2, -1}, {-2, 1}, {-1, 2}};
constexpr Step KING_STEPS[] = {{1, 0}, {1, 1}, {0, 1}, {-1, 1}, {-1, 0}, {-1, -1}, {0, -1}, {1, -1}};
constexpr Step ROOK_RAYS[] = {{1, 0}, {0, 1}, {-1, 0}, {0, -1}};
constexpr Step BISHOP_RAYS[] = {{1, 1}, {-1, 1}, {-1, -1}, {1, -1}};

// The square one step away, or NO_SQUARE off the board.
Square step_from(Square s, Step d) {
    const int f = file_of(s) + d.file, r = rank_of(s) + d.rank;
    return f < 0 || f > 7 || r < 0 || r > 7 ? NO_SQUARE : square_at(f, r);
}

Side side_of(char piece) { return std::isupper(static_cast<unsigned char>(piece)) ? Side::White : Side::Black; }
char kind_of(char piece) { return static_cast<char>(std::tolower(static_cast<unsigned char>(piece))); }
char piece_of(Side side, char kind) {
    return side == Side::White ? static_cast<char>(std::toupper(static_cast<unsigned char>(kind))) : kind;
}
bool is_piece(char c) { return c != 0 && std::string_view("KQRBNPkqrbnp").find(c) != std::string_view::npos; }

// Ranks seen from a side: the first rank is White's rank 1 and Black's rank 8.
int home_rank(Side side) { return side == Side::White ? 0 : 7; }
int forward(Side side) { return side == Side::White ? 1 : -1; }

// The home squares whose change takes castling rights away: the king's and the two rooks'.
struct RightSquare {
    Square square;
    Side side;
    bool short_side, long_side;
};
constexpr RightSquare RIGHT_SQUARES[] = {
    {square_at(4, 0), Side::White, true, true},  {square_at(7, 0), Side::White, true, false},
    {square_at(0, 0), Side::White, false, true}, {square_at(4, 7), Side::Black, true, true},
    {square_at(7, 7), Side::Black, true, false}, {square_at(0, 7), Side::Black, false, true},
};

// Board text index k is the square on rank 8 - k / 8, file a + k % 8.
Square text_square(int k) { return square_at(k % 8, 7 - k / 8); }

}  // namespace

std::string square_name(Square s) { return {static_cast<char>('a' + file_of(s)), static_cast<char>('1' + rank_of(s))}; }

Square parse_square(std::string_view name) {
    if (name.size() != 2 || name[0] < 'a' || name[0] > 'h' || name[1] < '1' || name[1] > '8') return NO_SQUARE;
    return square_at(name[0] - 'a', name[1] - '1');
}

std::string Move::text() const {
    std::string t = square_name(from) + square_name(to);
    if (promotion && promotion != 'q') t += promotion;
    return t;
}

Position::Position() { board_.fill(EMPTY); }

Position Position::start() { return *from_fen("rnbqkbnr/pppppppp/8/8/8/8/PPPPPPPP/RNBQKBNR w KQkq - 0 1"); }

std::optional<Position> Position::from_fen(std::string_view fen) {
    std::istringstream in{std::string(fen)};
    std::string placement, side, castling = "-", en_passant = "-";
    if (!(in >> placement >> side)) return std::nullopt;
    in >> castling >> en_passant;

    Position p;
    int file = 0, rank = 7;
    for (const char c : placement) {
        if (c == '/') {
            if (file != 8 || rank == 0) return std::nullopt;
            file = 0;
            --rank;
        } else if (c >= '1' && c <= '8') {
            file += c - '0';
            if (file > 8) return std::nullopt;
        } else if (is_piece(c) && file < 8) {
            p.board_[square_at(file++, rank)] = c;
        } else {
            return std::nullopt;
        }
    }
    if (file != 8 || rank != 0) return std::nullopt;

    if (side != "w" && side != "b") return std::nullopt;
    p.to_move_ = side == "w" ? Side::White : Side::Black;
    if (castling != "-") {
        for (const char c : castling) {
            switch (c) {
                case 'K': p.rights_[0][0] = true; break;
                case 'Q': p.rights_[0][1] = true; break;
                case 'k': p.rights_[1][0] = true; break;
                case 'q': p.rights_[1][1] = true; break;
                default: return std::nullopt;
            }
        }
    }
    if (en_passant != "-") {
        p.en_passant_ = parse_square(en_passant);
        if (p.en_passant_ == NO_SQUARE) return std::nullopt;
    }
    return p;
}

std::optional<Position> Position::from_board_text(std::string_view text, Side to_move) {
    if (text.size() != 64) return std::nullopt;
    Position p;
    for (int k = 0; k < 64; ++k) p.board_[text_square(k)] = is_piece(text[k]) ? text[k] : EMPTY;
    p.to_move_ = to_move;
    return p;
}

std::string Position::fen() const {
    std::string out;
    for (int rank = 7; rank >= 0; --rank) {
        int empty = 0;
        for (int file = 0; file < 8; ++file) {
            const char c = board_[square_at(file, rank)];
            if (c == EMPTY) {
                ++empty;
                continue;
            }
            if (empty) out += static_cast<char>('0' + empty);
            empty = 0;
            out += c;
        }
        if (empty) out += static_cast<char>('0' + empty);
        if (rank) out += '/';
    }
    out += to_move_ == Side::White ? " w " : " b ";
    std::string rights;
    if (rights_[0][0]) rights += 'K';
    if (rights_[0][1]) rights += 'Q';
    if (rights_[1][0]) rights += 'k';
    if (rights_[1][1]) rights += 'q';
    out += rights.empty() ? "-" : rights;
    out += ' ';
    out += en_passant_ == NO_SQUARE ? "-" : square_name(en_passant_);
    return out;
}

std::string Position::board_text() const {
    std::string text(64, EMPTY);
    for (int k = 0; k < 64; ++k) text[k] = board_[text_square(k)];
    return text;
}

bool Position::owns(Square s, Side side) const { return board_[s] != EMPTY && side_of(board_[s]) == side; }

bool Position::attacked(Square s, Side by) const {
    // Look outward from the square for each kind of attacker.
    const Square pawn_left = step_from(s, {-1, -forward(by)}), pawn_right = step_from(s, {1, -forward(by)});
    for (const Square p : {pawn_left, pawn_right})
        if (p != NO_SQUARE && board_[p] == piece_of(by, 'p')) return true;
    for (const Step d : KNIGHT_STEPS) {
        const Square n = step_from(s, d);
        if (n != NO_SQUARE && board_[n] == piece_of(by, 'n')) return true;
    }
    for (const Step d : KING_STEPS) {
        const Square k = step_from(s, d);
        if (k != NO_SQUARE && board_[k] == piece_of(by, 'k')) return true;
    }
    const auto ray_attacker = [&](Step d, char slider) {
        for (Square t = step_from(s, d); t != NO_SQUARE; t = step_from(t, d)) {
            if (board_[t] == EMPTY) continue;
            return board_[t] == piece_of(by, slider) || board_[t] == piece_of(by, 'q');
        }
        return false;
    };
    for (const Step d : ROOK_RAYS)
        if (ray_attacker(d, 'r')) return true;
    for (const Step d : BISHOP_RAYS)
        if (ray_attacker(d, 'b')) return true;
    return false;
}

bool Position::king_attacked(Side side) const {
    for (Square s = 0; s < 64; ++s)
        if (board_[s] == piece_of(side, 'k') && attacked(s, other(side))) return true;
    return false;
}

bool Position::is_reachable_shape() const {
    int kings[2] = {0, 0};
    for (Square s = 0; s < 64; ++s) {
        if (board_[s] == EMPTY) continue;
        if (kind_of(board_[s]) == 'k') ++kings[index(side_of(board_[s]))];
        if (kind_of(board_[s]) == 'p' && (rank_of(s) == 0 || rank_of(s) == 7)) return false;
    }
    return kings[0] == 1 && kings[1] == 1 && !king_attacked(other(to_move_));
}

void Position::add_pawn_moves(Square from, Promotions promotions, std::vector<Move>& moves) const {
    const Side side = to_move_;
    const auto add = [&](Move m) {
        if (rank_of(m.to) != home_rank(other(side))) {
            moves.push_back(m);
            return;
        }
        for (const char kind : {'q', 'r', 'b', 'n'}) {
            m.promotion = kind;
            moves.push_back(m);
            if (promotions == Promotions::QueenOnly) break;
        }
    };
    const Square ahead = step_from(from, {0, forward(side)});
    if (ahead != NO_SQUARE && board_[ahead] == EMPTY) {
        add({from, ahead});
        const Square two = step_from(ahead, {0, forward(side)});
        if (rank_of(from) == home_rank(side) + forward(side) && board_[two] == EMPTY)
            add({.from = from, .to = two, .double_step = true});
    }
    for (const int df : {-1, 1}) {
        const Square to = step_from(from, {df, forward(side)});
        if (to == NO_SQUARE) continue;
        if (owns(to, other(side))) add({from, to});
        // En passant: onto the square just passed, taking the pawn that stands beside.
        const Square passed_pawn = step_from(to, {0, -forward(side)});
        if (to == en_passant_ && board_[to] == EMPTY && board_[passed_pawn] == piece_of(other(side), 'p'))
            add({.from = from, .to = to, .en_passant = true});
    }
}

void Position::add_piece_moves(Square from, std::vector<Move>& moves) const {
    const Side side = to_move_;
    const auto jumps = [&](const auto& steps) {
        for (const Step d : steps) {
            const Square to = step_from(from, d);
            if (to != NO_SQUARE && !owns(to, side)) moves.push_back({from, to});
        }
    };
    const auto rays = [&](const auto& directions) {
        for (const Step d : directions)
            for (Square to = step_from(from, d); to != NO_SQUARE; to = step_from(to, d)) {
                if (owns(to, side)) break;
                moves.push_back({from, to});
                if (board_[to] != EMPTY) break;
            }
    };
    switch (kind_of(board_[from])) {
        case 'n': jumps(KNIGHT_STEPS); break;
        case 'k': jumps(KING_STEPS); break;
        case 'r': rays(ROOK_RAYS); break;
        case 'b': rays(BISHOP_RAYS); break;
        case 'q': rays(ROOK_RAYS); rays(BISHOP_RAYS); break;
        default: break;
    }
}

void Position::add_castling(std::vector<Move>& moves) const {
    const Side side = to_move_;
    const int rank = home_rank(side);
    const Square king = square_at(4, rank);
    if (board_[king] != piece_of(side, 'k') || attacked(king, other(side))) return;
    const auto empty = [&](std::initializer_list<int> files) {
        for (const int f : files)
            if (board_[square_at(f, rank)] != EMPTY) return false;
        return true;
    };
    const auto safe = [&](std::initializer_list<int> files) {
        for (const int f : files)
            if (attacked(square_at(f, rank), other(side))) return false;
        return true;
    };
    const char rook = piece_of(side, 'r');
    if (may_castle(side, true) && board_[square_at(7, rank)] == rook && empty({5, 6}) && safe({5, 6}))
        moves.push_back({.from = king, .to = square_at(6, rank), .castling = true});
    if (may_castle(side, false) && board_[square_at(0, rank)] == rook && empty({1, 2, 3}) && safe({2, 3}))
        moves.push_back({.from = king, .to = square_at(2, rank), .castling = true});
}

std::vector<Move> Position::pseudo_legal_moves(Promotions promotions) const {
    std::vector<Move> moves;
    for (Square from = 0; from < 64; ++from) {
        if (!owns(from, to_move_)) continue;
        if (kind_of(board_[from]) == 'p')
            add_pawn_moves(from, promotions, moves);
        else
            add_piece_moves(from, moves);
    }
    add_castling(moves);
    return moves;
}

std::vector<Move> Position::legal_moves(Promotions promotions) const {
    std::vector<Move> legal;
    for (const Move& m : pseudo_legal_moves(promotions)) {
        Position after = *this;
        after.make(m);
        if (!after.king_attacked(to_move_)) legal.push_back(m);
    }
    return legal;
}

bool Position::has_legal_move() const { return !legal_moves(Promotions::QueenOnly).empty(); }

std::optional<Move> Position::find(std::string_view text) const {
    if (text.size() != 4) return std::nullopt;
    const Square from = parse_square(text.substr(0, 2)), to = parse_square(text.substr(2, 2));
    for (const Move& m : legal_moves(Promotions::QueenOnly))
        if (m.from == from && m.to == to) return m;
    return std::nullopt;
}

void Position::take_rights_of(Square s) {
    for (const RightSquare& r : RIGHT_SQUARES) {
        if (r.square != s) continue;
        if (r.short_side) rights_[index(r.side)][0] = false;
        if (r.long_side) rights_[index(r.side)][1] = false;
    }
}

void Position::make(const Move& m) {
    const Side side = to_move_;
    const char piece = board_[m.from];
    if (m.en_passant) board_[step_from(m.to, {0, -forward(side)})] = EMPTY;
    if (m.castling) {
        const bool short_side = file_of(m.to) == 6;
        const int rank = rank_of(m.from);
        board_[square_at(short_side ? 5 : 3, rank)] = board_[square_at(short_side ? 7 : 0, rank)];
        board_[square_at(short_side ? 7 : 0, rank)] = EMPTY;
    }
    board_[m.to] = m.promotion ? piece_of(side, m.promotion) : piece;
    board_[m.from] = EMPTY;
    take_rights_of(m.from);
    take_rights_of(m.to);
    en_passant_ = m.double_step ? step_from(m.from, {0, forward(side)}) : NO_SQUARE;
    to_move_ = other(side);
}

bool Position::play(std::string_view text) {
    const std::optional<Move> m = find(text);
    if (m) make(*m);
    return m.has_value();
}

std::optional<Move> Position::move_to(std::string_view text) const {
    if (text.size() != 64) return std::nullopt;
    for (const Move& m : legal_moves(Promotions::QueenOnly)) {
        Position after = *this;
        after.make(m);
        if (after.board_text() == text) return m;
    }
    return std::nullopt;
}

bool Position::adopt(std::string_view text) {
    const std::optional<Position> after = from_board_text(text, to_move_);
    if (!after) return false;
    // Exactly a double step: a pawn of the side to move left its second rank and the same
    // pawn stands two ranks ahead, over an empty square, and nothing else changed.
    Square double_step_passed = NO_SQUARE;
    std::vector<Square> changed;
    for (Square s = 0; s < 64; ++s)
        if (board_[s] != after->board_[s]) changed.push_back(s);
    if (changed.size() == 2) {
        const Square from = forward(to_move_) > 0 ? changed[0] : changed[1];
        const Square to = forward(to_move_) > 0 ? changed[1] : changed[0];
        const Square middle = step_from(from, {0, forward(to_move_)});
        const char pawn = piece_of(to_move_, 'p');
        if (board_[from] == pawn && after->board_[from] == EMPTY && board_[to] == EMPTY && after->board_[to] == pawn &&
            rank_of(from) == home_rank(to_move_) + forward(to_move_) && file_of(from) == file_of(to) &&
            step_from(middle, {0, forward(to_move_)}) == to && board_[middle] == EMPTY)
            double_step_passed = middle;
    }
    for (const Square s : changed) take_rights_of(s);
    board_ = after->board_;
    en_passant_ = double_step_passed;
    to_move_ = other(to_move_);
    return true;
}

void Position::pass() {
    en_passant_ = NO_SQUARE;
    to_move_ = other(to_move_);
}

std::uint64_t Position::perft(int depth, Promotions promotions) const {
    if (depth <= 0) return 1;
    const std::vector<Move> moves = legal_moves(promotions);
    if (depth == 1) return moves.size();
    std::uint64_t leaves = 0;
    for (const Move& m : moves) {
        Position after = *this;
        after.make(m);
        leaves += after.perft(depth - 1, promotions);
    }
    return leaves;
}

}  // namespace quill::oracle
