// bookbuilder: writes opening-book records for the engine to "book.vbk".
#include <iostream>

#include "bookbuilder/book_builder.h"

int main() { return quill::run_book_builder(std::cin, std::cout); }
