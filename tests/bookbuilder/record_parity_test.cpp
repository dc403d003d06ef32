// Counting the records already in the book at start-up, which decides whether the next record
// written is a key or an answer.
#include <fcntl.h>
#include <unistd.h>

#include "bookbuilder/book_writer.h"
#include "scratch_dir.h"

namespace quill {
namespace {

const std::string START(START_TEXT);
const std::string CRLF_RECORD = START + "\r\n";
const std::string LF_RECORD = START + "\n";

std::string repeat(const std::string& s, int n) {
    std::string out;
    for (int i = 0; i < n; ++i) out += s;
    return out;
}

struct ParityCase {
    const char* name;
    std::string book;
    int parity;
};

void PrintTo(const ParityCase& c, std::ostream* os) { *os << c.name; }

class RecordParity : public ScratchDirTest, public ::testing::WithParamInterface<ParityCase> {};

TEST_P(RecordParity, CountsTextUnitsOfSixtyFiveCharacters) {
    write_file("book.vbk", GetParam().book);
    const int fd = ::open("book.vbk", O_RDONLY);
    ASSERT_GE(fd, 0);
    EXPECT_EQ(read_record_parity(fd), GetParam().parity);
    ::close(fd);
}

const std::string CTRL_Z(1, BOOK_END_BYTE);

INSTANTIATE_TEST_SUITE_P(
    Books, RecordParity,
    ::testing::Values(
        ParityCase{"Empty", "", 0},
        ParityCase{"OneCrLfRecord", CRLF_RECORD, 1},
        ParityCase{"TwoCrLfRecords", repeat(CRLF_RECORD, 2), 0},
        ParityCase{"ThreeLfRecords", repeat(LF_RECORD, 3), 1},
        ParityCase{"MixedLineEnds", CRLF_RECORD + LF_RECORD + CRLF_RECORD + LF_RECORD, 0},
        // Only the last record may lack its line end; its 64 characters make a unit.
        ParityCase{"LastRecordWithoutLineEnd", CRLF_RECORD + START, 0},
        // A short last unit counts, as a reader in 65-character units sees one more unit.
        ParityCase{"ShortLastUnit", CRLF_RECORD + "rnbq", 0},
        ParityCase{"StrayBlankLineAfterRecord", CRLF_RECORD + "\r\n", 0},
        ParityCase{"OnlyCarriageReturns", "\r\r\r\r", 0},
        // Byte 26 ends the book: nothing after it counts, not even whole records.
        ParityCase{"CtrlZAfterOneRecord", CRLF_RECORD + CTRL_Z + repeat(CRLF_RECORD, 2), 1},
        ParityCase{"CtrlZFirst", CTRL_Z + repeat(CRLF_RECORD, 3), 0},
        ParityCase{"CtrlZInsideRecord", CRLF_RECORD + "rnb" + CTRL_Z + CRLF_RECORD, 0},
        // Large books are read in pieces; CR LF pairs and byte 26 fall across their seams.
        ParityCase{"ThousandAndOneRecords", repeat(CRLF_RECORD, 1001), 1},
        ParityCase{"CtrlZDeepInBook", repeat(CRLF_RECORD, 700) + CTRL_Z + CRLF_RECORD, 0},
        // Lines of the wrong length shift the units: 3 lines of 129 characters are 6 units.
        ParityCase{"DoubleLengthLines", repeat(START + START + "\r\n", 3), 0}),
    [](const ::testing::TestParamInfo<ParityCase>& info) { return std::string(info.param.name); });

// A device is never read through: /dev/full would give zero bytes for ever.
TEST(RecordParityOfDevice, EndlessDeviceCountsAsEmpty) {
    const int fd = ::open("/dev/full", O_RDWR);
    ASSERT_GE(fd, 0);
    EXPECT_EQ(read_record_parity(fd), 0);
    ::close(fd);
}

}  // namespace
}  // namespace quill
