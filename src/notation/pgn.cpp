#include "notation/pgn.h"

#include <cstring>

#include "notation/san.h"

namespace quill {

namespace {

bool is_digit(char c) { return c >= '0' && c <= '9'; }
bool is_symbol_char(char c) {
    return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || is_digit(c) || std::strchr("_+#=:-/!?.*", c) != nullptr;
}
bool is_blank(char c) { return c == ' ' || c == '\t' || c == '\r' || c == '\f' || c == '\v'; }

// Drops a leading move number, "12." or "12...", from a word; a bare number is all number.
std::string_view strip_move_number(std::string_view w) {
    std::size_t i = 0;
    while (i < w.size() && is_digit(w[i])) ++i;
    if (i == 0) return w;
    if (i == w.size()) return {};
    if (w[i] != '.') return w;
    while (i < w.size() && w[i] == '.') ++i;
    return w.substr(i);
}

// Annotation glyphs written as words: "!", "?!", "+-", "=", "+/-" and the like.
bool is_annotation(std::string_view w) {
    return !w.empty() && w.find_first_not_of("!?+-=/") == std::string_view::npos;
}

constexpr std::size_t MOVETEXT_WIDTH = 79;

}  // namespace

std::string PgnGame::tag(std::string_view name) const {
    for (const auto& [n, v] : tags)
        if (n == name) return v;
    return {};
}

bool is_pgn_result(std::string_view word) {
    return word == "1-0" || word == "0-1" || word == "1/2-1/2" || word == "*";
}

void PgnReader::skip_space() {
    while (pos_ < text_.size()) {
        const char c = text_[pos_];
        if (c == '\n') ++line_;
        else if (!is_blank(c)) return;
        ++pos_;
    }
}

void PgnReader::skip_line() {
    while (pos_ < text_.size() && text_[pos_] != '\n') ++pos_;
}

PgnReader::Token PgnReader::next_token() {
    for (;;) {
        skip_space();
        if (pos_ >= text_.size()) return {TokenKind::End, {}, line_};
        const char c = text_[pos_];
        const int line = line_;
        if ((c == '%' && (pos_ == 0 || text_[pos_ - 1] == '\n')) || c == ';') {
            skip_line();
            continue;
        }
        if (c == '{') {
            const std::size_t close = text_.find('}', pos_ + 1);
            const std::size_t end = close == std::string_view::npos ? text_.size() : close + 1;
            for (std::size_t i = pos_; i < end; ++i)
                if (text_[i] == '\n') ++line_;
            pos_ = end;
            if (close == std::string_view::npos) warn_(line, "a comment opened here is never closed");
            continue;
        }
        if (c == '[') return {TokenKind::TagOpen, text_.substr(pos_, 1), line};
        if (c == '(' || c == ')') {
            ++pos_;
            return {c == '(' ? TokenKind::Open : TokenKind::Close, text_.substr(pos_ - 1, 1), line};
        }
        const std::size_t start = pos_;
        if (c == '$') {
            ++pos_;
            while (pos_ < text_.size() && is_digit(text_[pos_])) ++pos_;
            return {TokenKind::Nag, text_.substr(start, pos_ - start), line};
        }
        if (is_symbol_char(c)) {
            while (pos_ < text_.size() && is_symbol_char(text_[pos_])) ++pos_;
            return {TokenKind::Word, text_.substr(start, pos_ - start), line};
        }
        // Anything else up to the next blank or bracket is no part of the notation.
        while (pos_ < text_.size() && !is_blank(text_[pos_]) && text_[pos_] != '\n' &&
               std::strchr("[](){};", text_[pos_]) == nullptr)
            ++pos_;
        if (pos_ == start) ++pos_;
        return {TokenKind::Garbage, text_.substr(start, pos_ - start), line};
    }
}

bool PgnReader::read_tag(PgnGame& game, int line) {
    // [Name "value"], on one line; a value may hold \" and \\.
    ++pos_;
    const auto blanks = [&] {
        while (pos_ < text_.size() && is_blank(text_[pos_])) ++pos_;
    };
    blanks();
    const std::size_t name_start = pos_;
    while (pos_ < text_.size() && (is_symbol_char(text_[pos_]) && text_[pos_] != '"')) ++pos_;
    std::string name(text_.substr(name_start, pos_ - name_start));
    blanks();
    bool ok = !name.empty() && pos_ < text_.size() && text_[pos_] == '"';
    std::string value;
    if (ok) {
        ++pos_;
        ok = false;
        while (pos_ < text_.size() && text_[pos_] != '\n') {
            char ch = text_[pos_++];
            if (ch == '"') {
                ok = true;
                break;
            }
            if (ch == '\\' && pos_ < text_.size() && (text_[pos_] == '"' || text_[pos_] == '\\')) ch = text_[pos_++];
            value += ch;
        }
    }
    if (ok) {
        blanks();
        ok = pos_ < text_.size() && text_[pos_] == ']';
    }
    if (!ok) {
        warn_(line, "a tag pair that is not [Name \"value\"] is skipped");
        skip_line();
        return false;
    }
    ++pos_;
    game.tags.emplace_back(std::move(name), std::move(value));
    return true;
}

bool PgnReader::next(PgnGame& game) {
    game = PgnGame{};
    bool started = false, in_moves = false, garbage_told = false;
    // The lines being read: the main line and the variations open around the current word,
    // each with whether a word that is no move has cut it.
    std::vector<PgnLine*> lines{&game.moves};
    std::vector<bool> cut{false};
    int skipped_depth = 0;  // parentheses open inside a variation nested too deeply

    const auto start_game = [&](int line) {
        if (!started) game.first_line = line;
        started = true;
    };
    const auto finish = [&](int line) {
        if (lines.size() > 1) warn_(line, "a variation opened in this game is never closed");
        return true;
    };

    for (;;) {
        const Token t = next_token();
        switch (t.kind) {
            case TokenKind::End:
                return started ? finish(t.line) : false;
            case TokenKind::TagOpen:
                // Tags after moves belong to the next game.
                if (in_moves) return finish(t.line);
                start_game(t.line);
                read_tag(game, t.line);
                break;
            case TokenKind::Open:
                if (!started) break;
                if (skipped_depth > 0 || int(lines.size()) > PGN_MAX_NESTING) {
                    if (skipped_depth++ == 0) warn_(t.line, "variations nested this deeply are skipped");
                } else if (lines.back()->empty() || cut.back()) {
                    warn_(t.line, "a variation with no move before it is skipped");
                    ++skipped_depth;
                } else {
                    PgnMove& varied = lines.back()->back();
                    varied.variations.emplace_back();
                    lines.push_back(&varied.variations.back());
                    cut.push_back(false);
                }
                break;
            case TokenKind::Close:
                if (skipped_depth > 0) {
                    --skipped_depth;
                } else if (lines.size() > 1) {
                    lines.pop_back();
                    cut.pop_back();
                } else if (started) {
                    warn_(t.line, "a ')' that closes no variation is skipped");
                }
                break;
            case TokenKind::Nag:
                break;
            case TokenKind::Garbage:
            case TokenKind::Word: {
                const std::string_view word = t.kind == TokenKind::Word ? strip_move_number(t.text) : t.text;
                const bool number_only = t.kind == TokenKind::Word && word.size() < t.text.size();
                if (t.kind == TokenKind::Word && is_pgn_result(t.text)) {
                    if (!started) start_game(t.line);
                    if (lines.size() > 1 || skipped_depth > 0) {
                        warn_(t.line, "a result inside a variation ends the game");
                    }
                    game.result = std::string(t.text);
                    return true;
                }
                if (t.kind == TokenKind::Word && (word.empty() || is_annotation(word))) {
                    if (number_only) {
                        start_game(t.line);
                        in_moves = true;
                    }
                    break;
                }
                const bool move = t.kind == TokenKind::Word && word != "--" && parse_san(word).has_value();
                if (skipped_depth > 0) break;
                if (!started && !move) {
                    if (!garbage_told) warn_(t.line, std::string("text that is no game is skipped, from ") + quote(t.text));
                    garbage_told = true;
                    break;
                }
                start_game(t.line);
                in_moves = true;
                if (cut.back()) break;
                if (!move) {
                    warn_(t.line, quote(t.text) + " is not a move; the " +
                                      (lines.size() > 1 ? "variation" : "game") + " is read up to it");
                    cut.back() = true;
                    if (lines.size() == 1) game.cut_line = t.line;
                    break;
                }
                lines.back()->push_back(PgnMove{std::string(word), t.line, {}});
                break;
            }
        }
    }
}

std::string write_pgn_game(const std::vector<std::pair<std::string, std::string>>& tags,
                           const std::vector<std::string>& moves, std::string_view result) {
    std::string out;
    for (const auto& [name, value] : tags) {
        out += '[' + name + " \"";
        for (const char c : value) {
            if (c == '"' || c == '\\') out += '\\';
            out += c;
        }
        out += "\"]\n";
    }
    if (!tags.empty()) out += '\n';
    std::string line;
    const auto put = [&](const std::string& word) {
        if (!line.empty() && line.size() + 1 + word.size() > MOVETEXT_WIDTH) {
            out += line + '\n';
            line.clear();
        }
        if (!line.empty()) line += ' ';
        line += word;
    };
    for (std::size_t i = 0; i < moves.size(); ++i) {
        if (i % 2 == 0) put(std::to_string(i / 2 + 1) + ".");
        put(moves[i]);
    }
    put(result.empty() ? std::string("*") : std::string(result));
    out += line + "\n\n";
    return out;
}

}  // namespace quill
