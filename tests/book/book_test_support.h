// Shared by the book tests: a scratch directory for book files, and position helpers.
#pragma once

#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>
#include <string_view>

#include "board/board_text.h"
#include "book/book_lookup.h"
#include "support/test_support.h"

namespace quill::test {

inline constexpr std::string_view START = START_TEXT;

// The start position after g1f3.
inline constexpr std::string_view KNIGHT_F3 =
    "rnbqkbnr"
    "pppppppp"
    "        "
    "        "
    "        "
    "     N  "
    "PPPPPPPP"
    "RNBQKB R";

// The start position after e2e4, and after that e7e5.
inline constexpr std::string_view PAWN_E4 =
    "rnbqkbnr"
    "pppppppp"
    "        "
    "        "
    "    P   "
    "        "
    "PPPP PPP"
    "RNBQKBNR";
inline constexpr std::string_view PAWN_E5 =
    "rnbqkbnr"
    "pppp ppp"
    "        "
    "    p   "
    "    P   "
    "        "
    "PPPP PPP"
    "RNBQKBNR";

// A record holding only the twelve piece boards of `text`.
inline PositionRecord position(std::string_view text) {
    PositionRecord r;
    board_text_to_maps(r, make_board_text(text));
    return r;
}

// The piece placement of `r` as text, for readable failure messages.
inline std::string text_of(const PositionRecord& r) {
    BoardText t;
    maps_to_board_text(r, t);
    return std::string(t.begin(), t.end());
}

// One book record: the text followed by a line end (CR LF as the book builder writes it).
inline std::string record(std::string_view text, std::string_view line_end = "\r\n") {
    return std::string(text) + std::string(line_end);
}

// A key record followed by its answer record.
inline std::string entry(std::string_view key, std::string_view answer, std::string_view line_end = "\r\n") {
    return record(key, line_end) + record(answer, line_end);
}

// Runs one lookup the way the game loop does (flag set to 1 first) and returns the flag.
inline int lookup(PositionRecord& r, BookReader& book) {
    int found = 1;
    book_lookup(r, found, book);
    return found;
}

// A fresh scratch directory per test, removed with everything in it afterwards.
class BookDir : public ::testing::Test {
protected:
    void SetUp() override { ASSERT_FALSE(scratch_.path().empty()); }

    std::string path(std::string_view name) const { return (scratch_.path() / name).string(); }

    // Writes `bytes` to the file `name` exactly (binary), replacing it in place.
    std::string write(std::string_view name, std::string_view bytes) const {
        const std::string p = path(name);
        std::ofstream out(p, std::ios::binary | std::ios::trunc);
        out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
        EXPECT_TRUE(out.good()) << p;
        return p;
    }

    // Writes a book and opens it.
    BookReader book(std::string_view bytes, std::string_view name = "bbook.vbk") const {
        BookReader b(write(name, bytes).c_str());
        EXPECT_TRUE(b.is_open());
        return b;
    }

    ScratchDir scratch_{"quill-book"};
};

}  // namespace quill::test
