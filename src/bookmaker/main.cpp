// bookmaker: makes opening books for the engine from PGN, checks them and shows them.
#include <cerrno>
#include <cstring>
#include <iostream>
#include <string>
#include <vector>

#include "bookmaker/bookmaker.h"
#include "console/standard_streams.h"

int main(int argc, char** argv) {
    quill::open_standard_descriptors();
    std::ios::sync_with_stdio(false);
    const int status = quill::run_bookmaker(std::vector<std::string>(argv + 1, argv + argc), std::cout, std::cerr);
    // A report or listing that never reached its reader is a failure, not a clean book.
    std::cout.flush();
    if (!std::cout) {
        std::cerr << "bookmaker: cannot write standard output: " << std::strerror(errno) << '\n';
        return 2;
    }
    return status;
}
