#include "bookmaker/book_from_pgn.h"

#include <string_view>

#include "notation/san.h"

namespace quill {

namespace {

// A FEN tag naming this position is the normal start; any other set-up is not replayed.
constexpr std::string_view START_PLACEMENT = "rnbqkbnr/pppppppp/8/8/8/8/PPPPPPPP/RNBQKBNR w";

std::string move_label(int ply) {
    return std::to_string(ply / 2 + 1) + (ply % 2 == 0 ? "." : "...");
}

}  // namespace

void BookCollector::add_game(const PgnGame& game, const ReplayWarning& warn) {
    ++games_;
    const std::string fen = game.tag("FEN");
    if (!fen.empty() && !std::string_view(fen).starts_with(START_PLACEMENT)) {
        ++games_skipped_;
        warn(game.first_line, "the game starts from a set-up position (FEN tag) and is left out");
        return;
    }
    replay(game.moves, start_position(), 0, false, warn);
}

void BookCollector::replay(const PgnLine& line, GamePosition position, int ply, bool variation,
                           const ReplayWarning& warn) {
    for (const PgnMove& move : line) {
        if (ply >= options_.plies) return;
        const std::vector<LegalMove> moves = legal_moves(position);
        const SanMatch match = resolve_san(move.san, position, moves);
        // Only the move played is made again, on its own.
        const GamePosition after = match.status == SanStatus::Found ? play_move(position, moves[match.index]) : position;
        if (match.status == SanStatus::Found && position.side == options_.color) note(text_of(position), text_of(after));
        if (options_.variations)
            for (const PgnLine& alternative : move.variations) replay(alternative, position, ply, true, warn);
        if (match.status != SanStatus::Found) {
            warn(move.line, match.message + " (move " + move_label(ply) + "); the " + (variation ? "variation" : "game") +
                                " is read up to it");
            return;
        }
        position = after;
        ++ply;
    }
}

void BookCollector::note(const BoardText& key, const BoardText& answer) {
    const auto [it, inserted] = key_index_.try_emplace(std::string(key.begin(), key.end()), int(keys_.size()));
    if (inserted) keys_.push_back({key, {}});
    std::vector<Answer>& answers = keys_[it->second].answers;
    for (Answer& a : answers) {
        if (a.text != answer) continue;
        // A game that meets the same key again (a repetition, or a variation) counts once.
        if (a.last_game != games_) ++a.games;
        a.last_game = games_;
        return;
    }
    answers.push_back({answer, 1, answers_met_++, games_});
}

const BookCollector::Answer* BookCollector::chosen(const Key& key) const {
    const Answer* best = nullptr;
    for (const Answer& a : key.answers) {
        if (a.games < options_.min_games) continue;
        if (!best || a.games > best->games || (a.games == best->games && a.order < best->order)) best = &a;
    }
    return best;
}

int BookCollector::entries() const {
    int n = 0;
    for (const Key& k : keys_) n += chosen(k) != nullptr;
    return n;
}

std::string BookCollector::book() const {
    std::string out;
    const auto record = [&out](const BoardText& text) {
        out.append(text.begin(), text.end());
        out += "\r\n";
    };
    for (const Key& k : keys_) {
        if (const Answer* a = chosen(k)) {
            record(k.text);
            record(a->text);
        }
    }
    return out;
}

}  // namespace quill
