#include "session_judge.h"

#include <algorithm>
#include <cstdio>
#include <cstdlib>

namespace quill::fuzzing {

namespace {

using oracle::Position;
using oracle::Side;

constexpr std::string_view DIAGRAM_HEAD =
    "   --   View For White   --          --   View For Black   ---\n"
    "   ========================          =========================\n";
constexpr std::string_view DIAGRAM_SEPARATOR = "   ------------------------          -------------------------\n";
constexpr std::string_view DIAGRAM_FOOT =
    "  =========================          =========================\n"
    "    A  B  C  D  E  F  G  H             H  G  F  E  D  C  B  A  \n";
// "8 |r |n |b |q |k |b |n |r |        1 |R |N |B |K |Q |B |N |R |\n"
constexpr std::size_t ROW_LENGTH = 63;
constexpr std::size_t RIGHT_VIEW = 37;  // where the view for Black begins in a row
constexpr std::string_view PIECE_CHARACTERS = "KQRBNPkqrbnp ";

// The engine's limits: pieces of a kind it keeps slots for, and the candidate moves its
// iterators walk.
constexpr int SLOTS_PER_KIND = 3;
constexpr int PAWN_SLOTS = 8;
constexpr std::size_t MOVE_ORDINAL_LIMIT = 100;
// Castling is offered from the engine's own flags, which may differ from the rules' rights
// in a game the judge has found faulty: leave room for both castlings.
constexpr std::size_t CASTLINGS = 2;

// Reads the diagram at the start of `text` into its 64-character board text; the views for
// White and for Black must show the same board. Returns the diagram's length, or 0.
std::size_t read_diagram(std::string_view text, std::string& board) {
    if (!text.starts_with(DIAGRAM_HEAD)) return 0;
    std::size_t at = DIAGRAM_HEAD.size();
    std::string left(64, '?'), right(64, '?');
    for (int row = 0; row < 8; ++row) {
        if (text.size() < at + ROW_LENGTH) return 0;
        const std::string_view r = text.substr(at, ROW_LENGTH);
        if (r[0] != '8' - row || r[1] != ' ' || r.substr(26, 9) != "|        " || r[35] != '1' + row ||
            r[36] != ' ' || r.substr(61) != "|\n")
            return 0;
        for (int f = 0; f < 8; ++f) {
            const std::string_view l = r.substr(2 + 3 * f, 3), b = r.substr(RIGHT_VIEW + 3 * f, 3);
            if (l[0] != '|' || l[2] != ' ' || b[0] != '|' || b[2] != ' ') return 0;
            if (PIECE_CHARACTERS.find(l[1]) == std::string_view::npos) return 0;
            left[row * 8 + f] = l[1];
            right[(7 - row) * 8 + (7 - f)] = b[1];  // rank row + 1, from file h to file a
        }
        at += ROW_LENGTH;
        if (row < 7) {
            if (!text.substr(at).starts_with(DIAGRAM_SEPARATOR)) return 0;
            at += DIAGRAM_SEPARATOR.size();
        }
    }
    if (!text.substr(at).starts_with(DIAGRAM_FOOT) || left != right) return 0;
    board = left;
    return at + DIAGRAM_FOOT.size();
}

bool is_square_pair(std::string_view s) {
    return s.size() == 4 && s[0] >= 'a' && s[0] <= 'h' && s[1] >= '1' && s[1] <= '8' && s[2] >= 'a' && s[2] <= 'h' &&
           s[3] >= '1' && s[3] <= '8';
}

std::string describe(const std::vector<OutputPiece>& pieces) {
    std::string out;
    for (const OutputPiece& p : pieces) {
        static const char* const NAMES[] = {"banner", "diagram", "move", "ok", "bad", "verdict"};
        out += out.empty() ? "" : ", ";
        out += NAMES[p.kind];
        if (p.kind == OutputPiece::MoveLine || p.kind == OutputPiece::Verdict) out += " " + p.text;
        if (p.kind == OutputPiece::Diagram) out += " [" + p.text + "]";
    }
    return out.empty() ? "nothing" : out;
}

// The verdict movecheck owes when the side to move has no legal move: the side in check has
// lost, else the game is drawn.
std::string verdict_of(const Position& p) {
    if (p.has_legal_move()) return "";
    if (!p.in_check()) return "DRAW";
    return p.to_move() == Side::White ? "O-1" : "1-O";
}

// Whether the engine can hold the position and walk all the moves of the side to move.
bool within_capacity(const Position& p) {
    int count[128] = {};
    for (oracle::Square s = 0; s < 64; ++s) ++count[static_cast<unsigned char>(p.at(s))];
    for (const char kind : std::string_view("NBRQnbrq"))
        if (count[static_cast<unsigned char>(kind)] > SLOTS_PER_KIND) return false;
    if (count[static_cast<unsigned char>('P')] > PAWN_SLOTS || count[static_cast<unsigned char>('p')] > PAWN_SLOTS)
        return false;
    return p.pseudo_legal_moves().size() + CASTLINGS <= MOVE_ORDINAL_LIMIT;
}

}  // namespace

bool read_output(std::string_view output, GameLoopKind loop, std::string_view banner,
                 std::vector<OutputPiece>& pieces, std::string& stray) {
    const bool checker = loop == GameLoopKind::MoveChecking;
    const bool announcing = loop == GameLoopKind::Announcing;
    std::size_t at = 0;
    while (at < output.size()) {
        const std::string_view rest = output.substr(at);
        const auto take = [&](OutputPiece::Kind kind, std::string text, std::size_t length) {
            pieces.push_back({kind, std::move(text)});
            at += length;
        };
        std::string board;
        if (at == 0 && !banner.empty() && rest.starts_with(banner)) {
            take(OutputPiece::Banner, "", banner.size());
        } else if (const std::size_t length = read_diagram(rest, board)) {
            take(OutputPiece::Diagram, board, length);
        } else if (!checker && rest.starts_with("move ") && rest.size() >= 10 && is_square_pair(rest.substr(5, 4)) &&
                   rest[9] == '\n') {
            take(OutputPiece::MoveLine, std::string(rest.substr(5, 4)), 10);
        } else if (checker && rest.starts_with("ok\n")) {
            take(OutputPiece::Ok, "", 3);
        } else if (checker && rest.starts_with("bad\n")) {
            take(OutputPiece::Bad, "", 4);
        } else if (checker && (rest.starts_with("1-O\n") || rest.starts_with("O-1\n"))) {
            take(OutputPiece::Verdict, std::string(rest.substr(0, 3)), 4);
        } else if (checker && rest.starts_with("DRAW\n")) {
            take(OutputPiece::Verdict, "DRAW", 5);
        } else if (announcing && (rest.starts_with("1-O.") || rest.starts_with("O-1."))) {
            take(OutputPiece::Verdict, std::string(rest.substr(0, 3)), 4);
        } else if (announcing && rest.starts_with("DRAW")) {
            take(OutputPiece::Verdict, "DRAW", 4);
        } else {
            stray = std::string(rest.substr(0, 80));
            return false;
        }
    }
    return true;
}

SessionJudge::SessionJudge(GameLoopKind loop, std::string_view banner) : loop_(loop), banner_(banner) { new_game(); }

void SessionJudge::new_game() {
    engine_side_ = 0;
    engine_replied_ = false;
    position_ = Position::start();
    seen_board_ = position_.board_text();
    judging_ = true;
    verdict_.clear();
}

void SessionJudge::finding(const std::string& what) const {
    std::string line;
    for (const char c : line_.substr(0, 60)) {
        char hex[8];
        std::snprintf(hex, sizeof hex, "\\x%02x", static_cast<unsigned char>(c));
        line += c >= ' ' && c <= '~' ? std::string(1, c) : hex;
    }
    std::fprintf(stderr, "referee finding: %s\n  line: \"%s\"\n  position before the line: %s\n  line output: %s\n",
                 what.c_str(), line.c_str(), position_.fen().c_str(), describe(line_output_).c_str());
    std::fprintf(stderr, "fuzz check failed: %s\n", what.c_str());
    std::abort();
}

std::vector<OutputPiece> SessionJudge::pieces_of(std::string_view output) const {
    std::vector<OutputPiece> pieces;
    std::string stray;
    if (!read_output(output, loop_, "", pieces, stray)) finding("output outside the protocol: \"" + stray + "\"");
    return pieces;
}

void SessionJudge::start(std::string_view output) {
    std::vector<OutputPiece> pieces;
    std::string stray;
    if (!read_output(output, loop_, banner_, pieces, stray) || pieces.size() != 1 || pieces[0].kind != OutputPiece::Banner)
        finding("the program did not start with its banner alone");
}

bool SessionJudge::begin_line(std::string_view line) {
    line_ = std::string(line);
    line_output_.clear();
    const std::string word = console::first_word(line);
    const bool checker = loop_ == GameLoopKind::MoveChecking;
    shows_board_ = word.size() >= 2 && word[0] == 'i' && word[1] == 'i';
    typed_.clear();
    if (word.empty()) {
        kind_ = LineKind::Empty;
    } else if (word == "menu" || word == "new") {
        kind_ = LineKind::NewGame;
    } else if (word == "quit") {
        kind_ = LineKind::Quit;
    } else if (word == "white2" || word == "black2" ||
               (word == (checker ? "vgo" : "go") && (checker || (!engine_replied_ && engine_side_ == 0)))) {
        kind_ = LineKind::Trigger;
    } else if (const auto typed = console::typed_move(word)) {
        kind_ = LineKind::Typed;
        typed_ = *typed;
    } else {
        kind_ = LineKind::Other;
    }
    return kind_ == LineKind::Trigger || kind_ == LineKind::Typed;
}

// Checks that a line that changes nothing printed only what it must: the diagram it asked
// for, movecheck's "bad", and a verdict owed.
void SessionJudge::expect_only(const std::vector<OutputPiece>& pieces, bool diagram, bool answer_bad,
                               const char* what) {
    std::vector<OutputPiece::Kind> expected;
    if (diagram) expected.push_back(OutputPiece::Diagram);
    if (answer_bad) expected.push_back(OutputPiece::Bad);
    std::size_t i = 0;
    for (const OutputPiece::Kind k : expected) {
        if (i >= pieces.size() || pieces[i].kind != k) finding(std::string(what) + ": missing or misplaced output");
        ++i;
    }
    for (; i < pieces.size(); ++i) {
        if (pieces[i].kind != OutputPiece::Verdict) finding(std::string(what) + ": unexpected output");
        if (loop_ == GameLoopKind::MoveChecking && judging_ && pieces[i].text != verdict_)
            finding(std::string(what) + ": verdict " + pieces[i].text + " where the rules owe \"" + verdict_ + "\"");
    }
    if (loop_ == GameLoopKind::MoveChecking && judging_ && !verdict_.empty() &&
        (pieces.empty() || pieces.back().kind != OutputPiece::Verdict))
        finding(std::string(what) + ": the verdict " + verdict_ + " was not repeated");
}

void SessionJudge::end_line(std::string_view output, bool searched) {
    searched_ = searched;
    line_output_ = pieces_of(output);
    const bool checker = loop_ == GameLoopKind::MoveChecking;
    switch (kind_) {
        case LineKind::Empty:
        case LineKind::Quit:
            if (!line_output_.empty()) finding("output after an empty line or quit");
            if (kind_ == LineKind::Quit) quit_ = true;
            break;
        case LineKind::NewGame:
            if (!line_output_.empty()) finding("output after new or menu");
            new_game();
            break;
        case LineKind::Other:
            expect_only(line_output_, shows_board_, checker, "a line that is no move");
            if (shows_board_) {
                if (judging_ && line_output_[0].text != position_.board_text())
                    finding("the diagram shows [" + line_output_[0].text + "], the referee [" + position_.board_text() + "]");
                seen_board_ = line_output_[0].text;
            }
            break;
        case LineKind::Trigger:
        case LineKind::Typed:
            break;  // judged with the probe's diagram
    }
}

void SessionJudge::end_probe(std::string_view output) {
    const std::vector<OutputPiece> probe = pieces_of(output);
    if (probe.empty() || probe[0].kind != OutputPiece::Diagram) finding("the board probe showed no diagram");
    if (loop_ == GameLoopKind::MoveChecking)
        judge_checker(probe);
    else
        judge_standard(probe);
    seen_board_ = probe[0].text;
    if (judging_) check_capacity();
}

void SessionJudge::check_capacity() {
    if (!position_.is_reachable_shape() || !within_capacity(position_)) stop_judging();
}

void SessionJudge::judge_standard(const std::vector<OutputPiece>& probe) {
    expect_only(probe, true, false, "the board probe");
    const std::string& board = probe[0].text;
    std::optional<std::string> move_line;
    for (const OutputPiece& p : line_output_) {
        if (p.kind == OutputPiece::MoveLine) {
            if (move_line) finding("two move lines for one line");
            move_line = p.text;
        } else if (p.kind != OutputPiece::Verdict) {
            finding("unexpected output for a move");
        }
    }
    // The engine replied when it printed a move or when the board changed.
    const bool replied = move_line || board != seen_board_;

    if (kind_ == LineKind::Trigger) {
        engine_side_ = 1;
        engine_replied_ = true;
        // The engine now moves for White: a game only if White is to move.
        if (judging_ && position_.to_move() != Side::White) stop_judging();
        if (judging_) judge_reply(position_, move_line, board);
        return;
    }

    if (replied) engine_replied_ = true;
    if (!judging_) return;
    const Side user = engine_side_ == 0 ? Side::White : Side::Black;
    if (position_.to_move() != user) finding("the referee's side to move is not the user's");
    const std::optional<oracle::Move> typed = position_.find(typed_);
    if (!typed) {
        if (replied) finding("an illegal typed move " + typed_ + " was accepted");
        return;
    }
    Position after_user = position_;
    after_user.make(*typed);
    // An unchanged board with no move line is a refusal, unless the engine's book answers the
    // user's move with the board as it was before it. Such an answer is still the engine's
    // move: after it, "go" no longer hands White to the engine.
    if (!replied) {
        if (!book_answers(after_user, board)) finding("the legal typed move " + typed_ + " was refused");
        engine_replied_ = true;
    }
    if (!within_capacity(after_user)) {
        stop_judging();
        return;
    }
    judge_reply(after_user, move_line, board);
}

void SessionJudge::set_books(std::optional<std::string> white_book, std::optional<std::string> black_book) {
    white_book_ = BookModel(white_book.value_or(""));
    black_book_ = BookModel(black_book.value_or(""));
}

bool SessionJudge::book_answers(const Position& position, const std::string& board) const {
    const BookModel& book = engine_side_ == 1 ? white_book_ : black_book_;
    const std::optional<std::string> answer = book.lookup(position.board_text());
    return answer && *answer == board;
}

void SessionJudge::judge_reply(const Position& before, const std::optional<std::string>& move_line,
                               const std::string& board) {
    const std::optional<oracle::Move> move = before.move_to(board);
    if (searched_) {
        if (!before.has_legal_move()) {
            if (move_line || board != before.board_text())
                finding("the engine moved without a legal move: " + before.fen() + " to [" + board + "]");
            // The engine has no move; the loop goes on in ways no game does.
            position_ = before;
            stop_judging();
            return;
        }
        if (!move && !move_line && board == before.board_text())
            finding("the engine made no move although it had a legal move in " + before.fen());
        if (!move) finding("the searched reply is no legal move: " + before.fen() + " to [" + board + "]");
        if (!move_line) finding("the engine replied " + move->text() + " without a move line");
    }
    if (move) {
        if (move_line != move->text())
            finding("the reply " + move->text() + " was announced as " + move_line.value_or("nothing") + " in " +
                    before.fen());
        position_ = before;
        position_.make(*move);
        return;
    }
    // A book answer that is no single legal move: the game goes on from the position it made.
    position_ = before;
    position_.adopt(board);
}

void SessionJudge::judge_checker(const std::vector<OutputPiece>& probe) {
    if (line_output_.empty() || (line_output_[0].kind != OutputPiece::Ok && line_output_[0].kind != OutputPiece::Bad))
        finding("no ok or bad for a move");
    const bool ok = line_output_[0].kind == OutputPiece::Ok;

    if (kind_ == LineKind::Trigger) {
        if (!ok) finding("vgo, white2 or black2 was not answered ok");
        // White is judged next: still a game only if White is to move.
        if (judging_ && position_.to_move() != Side::White) stop_judging();
    } else if (judging_) {
        const std::optional<oracle::Move> typed = position_.find(typed_);
        if (ok && !typed) finding("an illegal move " + typed_ + " was judged ok");
        if (!ok && typed) finding("the legal move " + typed_ + " was judged bad");
        if (ok) position_.make(*typed);
    }
    // An accepted move settles the verdict: owed when the next side has no legal move, and
    // repeated after every later line of the game.
    if (ok) verdict_ = judging_ ? verdict_of(position_) : "";
    const std::vector<OutputPiece> after_answer(line_output_.begin() + 1, line_output_.end());
    expect_only(after_answer, false, false, "the answer to a move");
    expect_only(probe, true, true, "the board probe");
    if (judging_ && probe[0].text != position_.board_text())
        finding("after the move the board is [" + probe[0].text + "], the referee's [" + position_.board_text() + "]");
}

}  // namespace quill::fuzzing
