// bookbuilder: writes opening-book records for the engine to "book.vbk".
#include <csignal>
#include <iostream>

#include "bookbuilder/book_builder.h"
#include "console/standard_streams.h"

#include "console/arguments.h"

namespace {

// What bookbuilder tells about itself on its command line.
constexpr quill::ProgramDescription BOOKBUILDER{
    "bookbuilder", "writes opening-book entries for the Quillmoor chess engines",
    "it takes none: start it in the folder where book.vbk is to be written",
    "It shows a board and reads one command per line on standard input: a move as its two\n"
    "squares (e2e4, no rules applied), sQd3 to put a piece on a square, z to reset the board,\n"
    "w to write the board, ! to show it again and ? for help. Each w appends the board as one\n"
    "line to book.vbk in the working directory, a position and then its answer in turn; copy\n"
    "the entries into wbook.vbk or bbook.vbk where the engine is started. End it with Ctrl-D.\n"};

}  // namespace

int main(int argc, char** argv) {
    quill::open_standard_descriptors();
    if (auto status = quill::handle_arguments(argc, argv, BOOKBUILDER, std::cout, std::cerr))
        return *status;
    // Past a file-size limit a write then fails (EFBIG) and the record is cut back, instead of
    // the signal ending the tool with part of a record in the book.
    std::signal(SIGXFSZ, SIG_IGN);
    quill::CheckedOutputBuffer checked(std::cout.rdbuf(), "bookbuilder");
    std::ostream out(&checked);
    return quill::run_book_builder(std::cin, out);
}
