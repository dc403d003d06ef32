#include "bookmaker/book_check.h"

#include <unordered_map>

#include "bookmaker/book_moves.h"
#include "bookmaker/book_records.h"
#include "notation/legal_moves.h"

namespace quill {

namespace {

constexpr int DIAGRAM_WIDTH = 22;  // "8 r n b q k b n r" and room between the two boards
constexpr const char* INDENT = "    ";

std::string plural(int n, const char* word) { return std::to_string(n) + " " + word + (n == 1 ? "" : "s"); }

struct Checker {
    const std::string& path;
    std::ostream& out;
    int problems = 0;

    std::ostream& report(int record) {
        ++problems;
        return out << path << ": record " << record << ": ";
    }
};

// The squares of a record that hold neither a piece letter nor a blank, e.g. "'x' on a5".
std::string odd_characters(const BookRecord& r) {
    std::string list;
    for (int i = 0; i < BOARD_TEXT_LENGTH; ++i) {
        if (PieceLetters.find(r.unit[i]) != std::string_view::npos) continue;
        if (!list.empty()) list += ", ";
        const unsigned char c = static_cast<unsigned char>(r.unit[i]);
        if (c >= 0x20 && c < 0x7F) list += std::string("'") + char(c) + "'";
        else list += "byte " + std::to_string(c);
        list += " on " + square_name((7 - i / 8) * 8 + i % 8);
    }
    return list;
}

void check_form(const BookRecords& book, Checker& c) {
    const int count = static_cast<int>(book.records.size());
    for (int r = 1; r <= std::min(count, book.aligned); ++r) {
        const BookRecord& rec = book.records[r - 1];
        if (rec.length < BOARD_TEXT_LENGTH) {
            c.report(r) << "cut short: the file ends after " << rec.length
                        << " of its 64 characters, so the engine never uses it\n";
        } else if (!rec.whole) {
            c.report(r) << odd_characters(rec) << (is_key_record(r) ? ": no piece letter or blank, so this key never matches\n"
                                                                    : ": no piece letter or blank, read as an empty square\n");
        }
    }
    if (book.aligned < count) {
        std::ostream& o = c.report(book.aligned + 1) << "not a line of 64 characters";
        if (book.odd_line > 0) o << " (line " << book.odd_line << " holds " << book.odd_line_length << ")";
        o << ": the engine reads it and all " << count - book.aligned - 1
          << " records after it out of step, as parts of other lines\n";
    } else if (count % 2 == 1 && book.records.back().length >= BOARD_TEXT_LENGTH) {
        c.report(count) << "a key without an answer, which the engine never uses\n";
    }
}

}  // namespace

std::string side_by_side(const BoardText& left, const std::string& left_title, const BoardText& right,
                         const std::string& right_title) {
    std::string s = std::string(INDENT) + "  " + left_title;
    s += std::string(std::max<int>(1, DIAGRAM_WIDTH - 2 - int(left_title.size())), ' ') + "  " + right_title + "\n";
    for (int row = 0; row < 8; ++row) {
        std::string line = INDENT;
        for (const BoardText* board : {&left, &right}) {
            std::string half(1, char('8' - row));
            for (int file = 0; file < 8; ++file) {
                const char ch = (*board)[row * 8 + file];
                half += ' ';
                half += ch == EMPTY_SQUARE ? '.' : ch;
            }
            line += half;
            if (board == &left) line += std::string(DIAGRAM_WIDTH - half.size(), ' ');
        }
        s += line + "\n";
    }
    s += std::string(INDENT) + "  a b c d e f g h" + std::string(DIAGRAM_WIDTH - 17, ' ') + "  a b c d e f g h\n";
    return s;
}

int check_book(const std::string& path, std::optional<Color> given, std::ostream& out, std::ostream& err) {
    const std::optional<BookRecords> book = read_book_records(path, err);
    if (!book) return CHECK_UNREADABLE;
    const Color color = given ? *given : colour_of_answers(*book);
    Checker c{path, out};
    check_form(*book, c);

    // The entries read in step, both records complete.
    std::unordered_map<std::string, int> first_key;  // key text -> its record
    int entries = 0;
    for (int r = 1; r + 1 <= book->aligned; r += 2) {
        const BookRecord& key_rec = book->records[r - 1];
        const BookRecord& answer_rec = book->records[r];
        if (key_rec.length < BOARD_TEXT_LENGTH || answer_rec.length < BOARD_TEXT_LENGTH) continue;
        ++entries;
        if (!key_rec.whole || !answer_rec.whole) continue;
        const BoardText key = key_rec.text(), answer = answer_rec.text();
        const std::string key_string(key.begin(), key.end());
        const auto [seen, first] = first_key.try_emplace(key_string, r);
        if (!first) {
            const int earlier = seen->second;
            const BoardText used = book->records[earlier].text();
            if (used == answer) {
                c.report(r) << "the entry of record " << earlier << " again; the engine never reaches it\n";
            } else {
                const std::string played = announced_move(key, used, color), unused = announced_move(key, answer, color);
                c.report(r) << "the key of record " << earlier << " again, with another answer: the engine plays "
                            << (played.empty() ? "no move" : played) << " (record " << earlier + 1 << "), never "
                            << (unused.empty() ? "no move" : unused) << " (record " << r + 1 << ")\n";
            }
            continue;
        }
        if (find_answer_move(key, answer, color)) continue;
        const std::string title_key = "key, record " + std::to_string(r);
        const std::string title_answer = "answer, record " + std::to_string(r + 1);
        std::ostream& o = c.report(r + 1);
        if (answer == key) {
            o << "the answer is its key unchanged: the engine moves nothing\n";
        } else if (places_pieces_of(key, answer, ~color)) {
            o << "the answer moves " << color_name(~color) << "'s pieces in a book of " << color_name(color) << '\n';
        } else {
            const std::string shown = announced_move(key, answer, color);
            o << "the answer is not one legal move of " << color_name(color) << " from its key";
            if (!shown.empty()) o << " (the engine would announce " << shown << ")";
            o << '\n';
        }
        o << side_by_side(key, title_key, answer, title_answer);
    }

    out << path << ": " << entries << (entries == 1 ? " entry" : " entries") << ", " << plural(int(first_key.size()), "distinct key") << ", book of " << color_name(color)
        << (given ? "" : " (by its answers)") << ": ";
    if (c.problems == 0) out << "no problems\n";
    else out << plural(c.problems, "problem") << '\n';
    return c.problems == 0 ? CHECK_CLEAN : CHECK_PROBLEMS;
}

}  // namespace quill
