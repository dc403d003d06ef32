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

namespace quill {

// A fixture that makes a temporary directory the working directory for the test's duration.
class ScratchDirTest : public ::testing::Test {
protected:
    void SetUp() override {
        previous_ = std::filesystem::current_path();
        char pattern[] = "/tmp/quill-bookbuilder-XXXXXX";
        ASSERT_NE(::mkdtemp(pattern), nullptr);
        scratch_ = pattern;
        std::filesystem::current_path(scratch_);
    }
    void TearDown() override {
        std::filesystem::current_path(previous_);
        std::filesystem::remove_all(scratch_);
    }

    // The whole content of a file in the scratch directory ("" when it is absent).
    static std::string read_file(const char* name) {
        std::ifstream file(name, std::ios::binary);
        return {std::istreambuf_iterator<char>(file), std::istreambuf_iterator<char>()};
    }
    static void write_file(const char* name, const std::string& bytes) {
        std::ofstream file(name, std::ios::binary);
        file << bytes;
    }

private:
    std::filesystem::path previous_, scratch_;
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
