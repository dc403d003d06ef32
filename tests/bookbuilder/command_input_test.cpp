// How input lines become commands: the length limit, the bytes that separate words, and
// arbitrary bytes that must never corrupt a record.
#include <random>
#include <sstream>

#include "bookbuilder/book_builder.h"
#include "bookbuilder/book_writer.h"
#include "scratch_dir.h"

namespace quill {
namespace {

const std::string START(START_TEXT);

class CommandInput : public ScratchDirTest {
protected:
    // Runs the tool on `input` and returns the book it leaves; the exit status must be 0.
    std::string book_after(const std::string& input) {
        std::istringstream in(input);
        std::ostringstream out;
        EXPECT_EQ(run_book_builder(in, out), 0);
        output_ = out.str();
        return read_file("book.vbk");
    }
    std::string output_;
};

TEST_F(CommandInput, CharacterAtPosition799StillCounts) {
    // 798 blanks and "h": the 799th character is the word, which moves h8 to a8.
    EXPECT_EQ(book_after(std::string(798, ' ') + "h\nw\n"),
              book_record(moved(START, "h8", "a8")));
}

TEST_F(CommandInput, CharacterAtPosition800IsDropped) {
    // 799 blanks and "h": the line is blank as far as it counts, and "h" is not a new line.
    EXPECT_EQ(book_after(std::string(799, ' ') + "h\nw\n"), book_record(START));
    int boards = 0;
    for (std::size_t at = output_.find("View For White"); at != std::string::npos;
         at = output_.find("View For White", at + 1))
        ++boards;
    EXPECT_EQ(boards, 2) << "only the start-up board and the one after w are expected";
}

TEST_F(CommandInput, TailOfLongLineIsNeverACommand) {
    // Read in 799-character pieces this line would write thirteen records.
    EXPECT_EQ(book_after(std::string(10000, 'w') + "\n"), book_record(START));
    // A tail full of moves and writes changes nothing either.
    std::string line = "d2d4" + std::string(795, ' ');
    for (int i = 0; i < 50; ++i) line += "w e2e4 ";
    EXPECT_EQ(book_after(line + "\nw\n"), book_record(START) + book_record(moved(START, "d2", "d4")));
}

struct SeparatorCase {
    const char* name;
    std::string line;
};

void PrintTo(const SeparatorCase& c, std::ostream* os) { *os << c.name; }

class PieceBytes : public CommandInput, public ::testing::WithParamInterface<SeparatorCase> {};

// An "s" whose second byte would be a line end, a string terminator or the book's end mark
// places nothing, so the record after it is the untouched start position.
TEST_P(PieceBytes, NeverEnterTheBoard) {
    EXPECT_EQ(book_after(GetParam().line + "w\n"), book_record(START));
}

INSTANTIATE_TEST_SUITE_P(
    Bytes, PieceBytes,
    ::testing::Values(SeparatorCase{"Nul", std::string("s\0a8\n", 5)},
                      SeparatorCase{"CrLf", "s\r\n"}, SeparatorCase{"LoneCr", "s\ra8\n"},
                      SeparatorCase{"Tab", "s\ta8\n"}, SeparatorCase{"CtrlZ", "s\x1a" "a8\n"},
                      SeparatorCase{"Missing", "S\n"}),
    [](const ::testing::TestParamInfo<SeparatorCase>& info) { return std::string(info.param.name); });

TEST_F(CommandInput, ControlAndHighBytesArePiecesLikeAnyOther) {
    std::string expected = START;
    expected[0] = '\x7f';
    expected[1] = '\xe9';
    EXPECT_EQ(book_after("s\x7f" "a8\ns\xe9" "b8\nw\n"), book_record(expected));
}

TEST_F(CommandInput, NulSeparatesWordsLikeABlank) {
    // The word after a leading NUL is still the line's command.
    EXPECT_EQ(book_after(std::string("\0\0w\n", 4)), book_record(START));
}

// Whatever bytes arrive, every record written is whole: 64 board characters free of line
// ends, NUL and byte 26, then CR LF. Binary input is drawn with a fixed seed.
TEST_F(CommandInput, RandomBytesOnlyEverWriteWholeRecords) {
    std::mt19937 random(20260101);
    static const char FAVOURED[] = "wWsSzZ!?menu abcdefghABCDEFGH12345678\r\n\t\0\x1a";
    const std::string_view favoured(FAVOURED, sizeof FAVOURED - 1);
    std::string input;
    for (int line = 0; line < 600; ++line) {
        const int length = line % 97 == 0 ? 900 + int(random() % 900) : int(random() % 12);
        for (int i = 0; i < length; ++i)
            input += random() % 3 == 0 ? char(random() % 256) : favoured[random() % favoured.size()];
        input += '\n';
    }
    const std::string book = book_after(input);
    ASSERT_EQ(book.size() % BOOK_RECORD_BYTES, 0u);
    ASSERT_GT(book.size(), 10u * BOOK_RECORD_BYTES) << "the input should hold many writes";
    for (std::size_t r = 0; r < book.size(); r += BOOK_RECORD_BYTES) {
        const std::string_view record(book.data() + r, BOOK_RECORD_BYTES);
        EXPECT_EQ(record.substr(BOARD_TEXT_LENGTH), "\r\n") << "record " << r / BOOK_RECORD_BYTES;
        const std::string_view board = record.substr(0, BOARD_TEXT_LENGTH);
        EXPECT_EQ(board.find_first_of(std::string("\r\n\0\x1a", 4)), std::string_view::npos)
            << "record " << r / BOOK_RECORD_BYTES;
    }
    // Start-up counted the same units the tool later wrote: a second run agrees on parity.
    const int records = int(book.size() / BOOK_RECORD_BYTES);
    book_after("");
    EXPECT_NE(output_.find(records % 2 ? "Position Responce!" : "Position Setup+"), std::string::npos);
}

}  // namespace
}  // namespace quill
