// Test support: each test runs the book builder in a fresh scratch directory of its own, since
// the tool always works on "book.vbk" in the working directory.
#pragma once

#include <gtest/gtest.h>
#include <unistd.h>

#include <climits>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>

#include "board/types.h"
#include "support/test_support.h"

namespace quill {

// A fixture whose test runs in a scratch folder of its own, with the files there at hand.
class ScratchDirTest : public test::ScratchDirTest {
protected:
    // The whole content of a file in the scratch directory ("" when it is absent).
    static std::string read_file(const char* name) {
        std::ifstream file(name, std::ios::binary);
        return {std::istreambuf_iterator<char>(file), std::istreambuf_iterator<char>()};
    }
    static void write_file(const char* name, const std::string& bytes) {
        std::ofstream file(name, std::ios::binary);
        file << bytes;
    }
};

// One record as the tool writes it: the board text and CR LF.
inline std::string book_record(std::string_view board) { return std::string(board) + "\r\n"; }

// The start position with the piece on `from` moved to `to` (squares as "e2").
inline std::string moved(std::string board, std::string_view from, std::string_view to) {
    const auto index = [](std::string_view sq) { return ('8' - sq[1]) * 8 + (sq[0] - 'a'); };
    board[index(to)] = board[index(from)];
    board[index(from)] = ' ';
    return board;
}

}  // namespace quill
