// bookmaker: makes opening books for the engine from PGN, checks them and shows them.
#include <iostream>
#include <string>
#include <vector>

#include "bookmaker/bookmaker.h"

int main(int argc, char** argv) {
    std::ios::sync_with_stdio(false);
    return quill::run_bookmaker(std::vector<std::string>(argv + 1, argv + argc), std::cout, std::cerr);
}
