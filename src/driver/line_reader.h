// Reading command lines: one line at a time, of which only the first 799 characters count.
#pragma once

#include <istream>
#include <string>

#include "console/input_line.h"

namespace quill {

// Reads the next line (up to a newline, which is dropped) keeping its first MAX_LINE_LENGTH characters
// and discarding the rest, so an over-long line is still one line. Returns false at end of
// input when nothing was read; a last line without its newline still counts.
inline bool read_line(std::istream& in, std::string& line) {
    line.clear();
    std::streambuf* buf = in.rdbuf();
    bool any = false;
    for (int c = buf->sbumpc(); c != std::char_traits<char>::eof(); c = buf->sbumpc()) {
        any = true;
        if (c == '\n') return true;
        if (line.size() < MAX_LINE_LENGTH) line.push_back(static_cast<char>(c));
    }
    return any;
}

// The first blank-delimited word of a line. A NUL byte ends the line's text, as it ends a
// C string; spaces, tabs, CR, VT and FF separate words.
inline std::string first_word(const std::string& line) {
    const auto blank = [](char c) { return c == ' ' || c == '\t' || c == '\r' || c == '\v' || c == '\f'; };
    std::size_t i = 0;
    while (i < line.size() && blank(line[i])) ++i;
    std::size_t j = i;
    while (j < line.size() && line[j] != '\0' && !blank(line[j])) ++j;
    return line.substr(i, j - i);
}

}  // namespace quill
