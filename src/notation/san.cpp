#include "notation/san.h"

#include <cstring>

namespace quill {

namespace {

constexpr std::string_view PIECE_LETTERS_SAN = "NBRQK";  // indexed by PieceKind, knight to king
static_assert(PIECE_LETTERS_SAN[KNIGHT] == 'N' && PIECE_LETTERS_SAN[KING] == 'K');
constexpr std::string_view PROMOTION_LETTERS = "QRBN";

bool is_file(char c) { return c >= 'a' && c <= 'h'; }
bool is_rank(char c) { return c >= '1' && c <= '8'; }

std::string_view strip_marks(std::string_view w) {
    // Check, mate and annotation marks, and an "e.p." that some writers add.
    for (bool changed = true; changed;) {
        changed = false;
        while (!w.empty() && std::strchr("+#!?", w.back()) != nullptr) {
            w.remove_suffix(1);
            changed = true;
        }
        if (w.ends_with("e.p.")) {
            w.remove_suffix(4);
            changed = true;
        }
    }
    return w;
}

const char* color_name(Color c) { return c == WHITE ? "White" : "Black"; }

// The moves of `moves` that the parsed word can name. `capture_misfit` is set when a move
// would fit but for an 'x' written on a move that takes nothing.
std::vector<int> fitting_moves(const SanWord& s, const std::vector<LegalMove>& moves, bool& capture_misfit) {
    std::vector<int> fits;
    for (int i = 0; i < int(moves.size()); ++i) {
        const LegalMove& m = moves[i];
        if (s.castling != Castling::None) {
            if (m.castling == s.castling) fits.push_back(i);
            continue;
        }
        // Coordinates alone ("g8f6") name the piece by its square.
        const bool square_named = !s.kind_written && s.from_file >= 0 && s.from_rank >= 0;
        if ((m.kind != s.kind && !square_named) || m.to != s.to) continue;
        if (s.from_file >= 0 && square_file(m.from) != s.from_file) continue;
        if (s.from_rank >= 0 && square_rank(m.from) != s.from_rank) continue;
        // A pawn written without its file is a push along that file.
        if (s.kind == PAWN && !s.kind_written && s.from_file < 0 && square_file(m.from) != square_file(m.to)) continue;
        if (s.promotion && !m.promotion) continue;
        if (s.capture && !m.capture) {
            capture_misfit = true;
            continue;
        }
        fits.push_back(i);
    }
    return fits;
}

}  // namespace

std::string quote(std::string_view word) {
    std::string q(1, '\'');
    q += word;
    q += '\'';
    return q;
}

std::optional<SanWord> parse_san(std::string_view word) {
    std::string_view w = strip_marks(word);
    SanWord s;
    for (const auto& [text, side] : {std::pair{"O-O-O", Castling::Long}, {"0-0-0", Castling::Long}, {"o-o-o", Castling::Long},
                                     {"O-O", Castling::Short}, {"0-0", Castling::Short}, {"o-o", Castling::Short}}) {
        if (w == text) {
            s.castling = side;
            s.kind = KING;
            return s;
        }
    }
    // A promotion letter after the destination, with or without '='.
    if (w.size() >= 3 && PROMOTION_LETTERS.find(char(w.back() & ~0x20)) != std::string_view::npos &&
        (is_rank(w[w.size() - 2]) || w[w.size() - 2] == '=')) {
        s.promotion = static_cast<char>(w.back() & ~0x20);
        w.remove_suffix(1);
        if (w.back() == '=') w.remove_suffix(1);
    }
    if (w.size() < 2 || !is_file(w[w.size() - 2]) || !is_rank(w.back())) return std::nullopt;
    s.to = (w.back() - '1') * 8 + (w[w.size() - 2] - 'a');
    w.remove_suffix(2);

    if (!w.empty() && (PIECE_LETTERS_SAN.find(w.front()) != std::string_view::npos || w.front() == 'P')) {
        const std::size_t k = PIECE_LETTERS_SAN.find(w.front());
        s.kind = k == std::string_view::npos ? PAWN : PieceKind(k);
        s.kind_written = true;
        w.remove_prefix(1);
    }
    if (!w.empty() && is_file(w.front())) {
        s.from_file = w.front() - 'a';
        w.remove_prefix(1);
    }
    if (!w.empty() && is_rank(w.front())) {
        s.from_rank = w.front() - '1';
        w.remove_prefix(1);
    }
    if (!w.empty() && (w.front() == 'x' || w.front() == ':' || w.front() == '-')) {
        s.capture = w.front() != '-';
        w.remove_prefix(1);
    }
    if (!w.empty()) return std::nullopt;
    if (s.promotion && s.kind != PAWN) return std::nullopt;
    return s;
}

SanMatch resolve_san(std::string_view word, const GamePosition& position, const std::vector<LegalMove>& moves) {
    SanMatch match;
    const std::string quoted = quote(word);
    const std::optional<SanWord> s = parse_san(word);
    if (!s) {
        match.message = quoted + " is not a move";
        return match;
    }
    bool capture_misfit = false;
    std::vector<int> fits = fitting_moves(*s, moves, capture_misfit);
    if (s->promotion && s->promotion != 'Q' && !fits.empty()) {
        match.status = SanStatus::UnderPromotion;
        match.message = quoted + " promotes to another piece than a queen, and the engine promotes to a queen only";
        return match;
    }
    if (fits.size() == 1) {
        match.status = SanStatus::Found;
        match.index = fits[0];
        return match;
    }
    if (fits.empty()) {
        match.status = SanStatus::Illegal;
        match.message = quoted + " is not a legal move of " + color_name(position.side) + " here";
        if (capture_misfit) match.message += " (it captures nothing)";
        else if (in_check(position)) match.message += std::string(" (") + color_name(position.side) + " is in check)";
        return match;
    }
    match.status = SanStatus::Ambiguous;
    match.candidates = fits;
    match.message = quoted + " is ambiguous: it may be";
    for (std::size_t i = 0; i < fits.size(); ++i)
        match.message += (i == 0 ? " " : i + 1 == fits.size() ? " or " : ", ") + coordinate_text(moves[fits[i]]);
    return match;
}

std::string write_san(const GamePosition& position, const std::vector<LegalMove>& moves, const LegalMove& move) {
    std::string san;
    if (move.castling != Castling::None) {
        san = move.castling == Castling::Short ? "O-O" : "O-O-O";
    } else if (move.kind == PAWN) {
        if (move.capture) {
            san += static_cast<char>('a' + square_file(move.from));
            san += 'x';
        }
        san += square_name(move.to);
        if (move.promotion) san += "=Q";
    } else {
        san += PIECE_LETTERS_SAN[move.kind];
        // Another piece of the kind reaching the same square: name the file if that tells
        // them apart, else the rank, else both.
        bool rival = false, same_file = false, same_rank = false;
        for (const LegalMove& m : moves) {
            if (m.kind != move.kind || m.to != move.to || m.from == move.from || m.castling != Castling::None) continue;
            rival = true;
            same_file |= square_file(m.from) == square_file(move.from);
            same_rank |= square_rank(m.from) == square_rank(move.from);
        }
        if (rival && (!same_file || same_rank)) san += static_cast<char>('a' + square_file(move.from));
        if (rival && same_file) san += static_cast<char>('1' + square_rank(move.from));
        if (move.capture) san += 'x';
        san += square_name(move.to);
    }
    const GamePosition after = play_move(position, move);
    if (in_check(after)) san += has_legal_move(after) ? '+' : '#';
    return san;
}

}  // namespace quill
