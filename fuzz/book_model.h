// A plain model of the opening-book format, read independently of BookReader, for the fuzz
// targets that must know what a book answers: the bytes after text-mode translation (CR
// dropped, Ctrl-Z ends the file) split into 65-character units, paired key and answer.
#pragma once

#include <cstddef>
#include <optional>
#include <string>
#include <string_view>

#include "board/types.h"
#include "book/book_format.h"

namespace quill::fuzzing {

struct BookModel {
    std::string text;

    BookModel() = default;
    explicit BookModel(std::string_view bytes) {
        for (const char c : bytes) {
            if (c == BOOK_END_BYTE) break;
            if (c != BOOK_DROPPED_BYTE) text.push_back(c);
        }
    }

    // The answer to the 64-character `key` as the engine's board would show it (every
    // character that is no piece letter an empty square), or nothing on a miss: the first pair
    // whose key and answer both hold 64 characters and whose key equals `key`.
    std::optional<std::string> lookup(std::string_view key) const {
        for (std::size_t at = 0; at + BOOK_RECORD_LENGTH < text.size(); at += 2 * BOOK_RECORD_LENGTH) {
            if (text.size() - at - BOOK_RECORD_LENGTH < BOOK_POSITION_LENGTH) break;
            if (std::string_view(text).substr(at, BOARD_TEXT_LENGTH) != key) continue;
            std::string answer(BOARD_TEXT_LENGTH, EMPTY_SQUARE);
            for (int k = 0; k < BOARD_TEXT_LENGTH; ++k) {
                const char c = text[at + BOOK_RECORD_LENGTH + k];
                if (c != EMPTY_SQUARE && PieceLetters.find(c) != std::string_view::npos) answer[k] = c;
            }
            return answer;
        }
        return std::nullopt;
    }
};

}  // namespace quill::fuzzing
