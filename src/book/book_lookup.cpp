#include "book/book_lookup.h"

#include <algorithm>

#include "board/board_text.h"

namespace quill {

void book_lookup(PositionRecord& boards, int& found, BookReader& book) {
    if (!book.is_open()) {
        found = 0;
        return;
    }
    BoardText text;
    maps_to_board_text(boards, text);

    // Records pair up by their place in the file: key, answer, key, answer... A short unit
    // only happens where the book ends, and a key or answer cut short is never used.
    book.rewind();
    BookUnit key;
    BookUnit answer;
    for (;;) {
        const int key_length = book.read_unit(key);
        const int answer_length = book.read_unit(answer);
        if (key_length >= BOOK_POSITION_LENGTH && answer_length >= BOOK_POSITION_LENGTH &&
            std::equal(text.begin(), text.end(), key.begin())) {
            // The answer is taken as it stands: characters other than piece letters are
            // empty squares, and nothing checks that it is one legal move from the key.
            BoardText answer_text;
            std::copy_n(answer.begin(), BOARD_TEXT_LENGTH, answer_text.begin());
            clear_piece_boards(boards);
            board_text_to_maps(boards, answer_text);
            return;
        }
        if (answer_length < BOOK_RECORD_LENGTH) break;
    }
    found = 0;
}

}  // namespace quill
