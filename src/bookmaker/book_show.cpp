#include "bookmaker/book_show.h"

#include <cstdio>
#include <deque>
#include <optional>
#include <set>
#include <unordered_map>

#include "bookmaker/book_check.h"
#include "bookmaker/book_moves.h"
#include "bookmaker/book_records.h"
#include "notation/san.h"

namespace quill {

namespace {

// Every move is followed this many plies from the start, so that keys reached only by the
// user's choice of line (a book of White that starts after 1.d4 d5) get their numbers too.
constexpr int FREE_PLIES = 3;

struct Entry {
    int record;  // of its key
    BoardText key, answer;
    Color color;
    int ply = -1;                       // the earliest ply at which a line reaches the key
    std::optional<GamePosition> reached;  // the position there, with its real rights
};

// Walks the lines from the start position: every move within FREE_PLIES, the book's answer
// at each key of `colour`, and every reply of the other colour to a book answer.
void number_entries(std::vector<Entry>& entries, Color color) {
    std::unordered_map<std::string, int> first_key;
    for (int i = 0; i < int(entries.size()); ++i)
        first_key.try_emplace(std::string(entries[i].key.begin(), entries[i].key.end()), i);
    struct Node {
        GamePosition position;
        int ply;
        bool after_book;
    };
    std::deque<Node> queue{{start_position(), 0, false}};
    std::set<std::pair<std::string, int>> visited;
    std::vector<GamePosition> after;
    while (!queue.empty()) {
        const Node node = queue.front();
        queue.pop_front();
        const BoardText text = text_of(node.position);
        if (!visited.insert({std::string(text.begin(), text.end()), node.position.side}).second) continue;
        bool expand = node.ply < FREE_PLIES;
        if (node.position.side == color) {
            const auto hit = first_key.find(std::string(text.begin(), text.end()));
            if (hit != first_key.end()) {
                Entry& e = entries[hit->second];
                if (e.ply < 0) {
                    e.ply = node.ply;
                    e.reached = node.position;
                }
                if (const auto move = find_answer_move(e.key, e.answer, color, &node.position))
                    queue.push_back({move->after, node.ply + 1, true});
            }
        } else {
            expand = expand || node.after_book;
        }
        if (!expand) continue;
        legal_moves(node.position, &after);
        for (const GamePosition& next : after) queue.push_back({next, node.ply + 1, false});
    }
    // A repeated key stands where its first entry stands.
    for (Entry& e : entries) {
        const Entry& first = entries[first_key[std::string(e.key.begin(), e.key.end())]];
        e.ply = first.ply;
    }
}

std::string move_number(const Entry& e) {
    const std::string number = e.ply < 0 ? "?" : std::to_string(e.ply / 2 + 1);
    return number + (e.color == WHITE ? "." : "...");
}

}  // namespace

int show_book(const std::string& path, std::ostream& out, std::ostream& err) {
    const std::optional<BookRecords> book = read_book_records(path, err);
    if (!book) return CHECK_UNREADABLE;
    const Color color = colour_of_answers(*book);
    std::vector<Entry> entries;
    for (int r = 1; r + 1 <= book->aligned; r += 2) {
        const BookRecord& key = book->records[r - 1];
        const BookRecord& answer = book->records[r];
        if (!key.whole || !answer.whole) continue;
        Entry e{r, key.text(), answer.text(), color, -1, std::nullopt};
        // An answer that moves only the other colour's pieces is shown as that colour's move.
        if (!places_pieces_of(e.key, e.answer, color) && places_pieces_of(e.key, e.answer, ~color)) e.color = ~color;
        entries.push_back(e);
    }
    number_entries(entries, color);

    std::unordered_map<std::string, int> first_key;
    char line[160];
    out << "record  number  colour  move  SAN\n";
    for (const Entry& e : entries) {
        const auto [first, is_first] = first_key.try_emplace(std::string(e.key.begin(), e.key.end()), e.record);
        const std::string coordinates = announced_move(e.key, e.answer, e.color);
        std::string san = "(not a legal move)";
        if (const auto move = find_answer_move(e.key, e.answer, e.color, e.reached ? &*e.reached : nullptr)) {
            san = write_san(move->from, legal_moves(move->from), move->move);
        }
        if (!is_first) san += " (never played: record " + std::to_string(first->second) + " has this key)";
        std::snprintf(line, sizeof line, "%6d  %-6s  %-6s  %-4s  ", e.record, move_number(e).c_str(), color_name(e.color),
                      coordinates.empty() ? "----" : coordinates.c_str());
        out << line << san << '\n';
    }
    return 0;
}

}  // namespace quill
