#include "book/book_lookup.h"

#include "board/board_text.h"

namespace quill {

void book_lookup(PositionRecord& boards, int& found, BookReader& book) {
    if (!book.is_open()) {
        found = 0;
        return;
    }
    BoardText text;
    maps_to_board_text(boards, text);
    BoardText answer;
    if (!book.index().find(book, text, answer)) {
        found = 0;
        return;
    }
    // The answer is taken as it stands: characters other than piece letters are empty
    // squares, and nothing checks that it is one legal move from the key.
    clear_piece_boards(boards);
    board_text_to_maps(boards, answer);
}

}  // namespace quill
