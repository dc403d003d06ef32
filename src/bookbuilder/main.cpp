// bookbuilder: writes opening-book records for the engine to "book.vbk".
#include <csignal>
#include <iostream>

#include "bookbuilder/book_builder.h"
#include "console/standard_streams.h"

int main() {
    quill::open_standard_descriptors();
    // Past a file-size limit a write then fails (EFBIG) and the record is cut back, instead of
    // the signal ending the tool with part of a record in the book.
    std::signal(SIGXFSZ, SIG_IGN);
    quill::CheckedOutputBuffer checked(std::cout.rdbuf(), "bookbuilder");
    std::ostream out(&checked);
    return quill::run_book_builder(std::cin, out);
}
