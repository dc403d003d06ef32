// Fuzz target: bookbuilder's command loop, run in a scratch directory on a fresh "book.vbk".
//
// Input layout: the first byte is a length n; the next n bytes (or as many as there are) are
// the book file's contents before the tool starts, and everything after them is its standard
// input. With n = 0 the tool starts with no book file at all. The commands are taken as they
// come: any byte, NUL, CR without LF, over-long lines, thousands of lines.
//
// Checked besides the sanitizers: the tool ends with status 0 when its input ends; the label
// of its first board display agrees with the number of records already in the file; and the
// file grows only by whole records, each 64 board characters (none of them a line end, a NUL
// or the Ctrl-Z that would end the book for a reader) followed by CR LF.
#include <unistd.h>

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <fstream>
#include <istream>
#include <iterator>
#include <ostream>
#include <string>

#include "bookbuilder/book_builder.h"
#include "fuzz_support.h"

namespace {

using quill::fuzzing::fail;

constexpr char BOOK_NAME[] = "book.vbk";
constexpr std::size_t RECORD_BYTES = 66;  // 64 board characters, CR, LF
constexpr std::size_t UNIT_CHARACTERS = 65;

// An output buffer that keeps only the beginning of what is printed (the first board display)
// and counts the rest.
class HeadSink : public std::streambuf {
public:
    static constexpr std::size_t KEPT = 4096;
    std::string head;

protected:
    int_type overflow(int_type c) override {
        if (!traits_type::eq_int_type(c, traits_type::eof()) && head.size() < KEPT)
            head.push_back(traits_type::to_char_type(c));
        return traits_type::not_eof(c);
    }
    std::streamsize xsputn(const char* s, std::streamsize n) override {
        const std::size_t room = KEPT - head.size();
        head.append(s, std::min(room, static_cast<std::size_t>(n)));
        return n;
    }
};

// The label the first display must show: 65-character units of the book after text-mode
// translation (CR dropped, Ctrl-Z ends it), a short last unit counted as one.
const char* expected_label(const std::string& book) {
    std::size_t characters = 0;
    for (const char c : book) {
        if (c == 26) break;
        if (c != '\r') ++characters;
    }
    const std::size_t units = (characters + UNIT_CHARACTERS - 1) / UNIT_CHARACTERS;
    return units % 2 == 0 ? "Position Setup+" : "Position Responce!";
}

std::string read_book() {
    std::ifstream file(BOOK_NAME, std::ios::binary);
    return {std::istreambuf_iterator<char>(file), std::istreambuf_iterator<char>()};
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    using namespace quill::fuzzing;
    if (size == 0) return 0;
    InDirectory in_scratch(scratch().path());

    // A fresh book for every input, so the file never grows from one input to the next.
    ::unlink(BOOK_NAME);
    const std::size_t book_size = std::min<std::size_t>(data[0], size - 1);
    const std::string initial(reinterpret_cast<const char*>(data + 1), book_size);
    if (book_size > 0) write_file(BOOK_NAME, data + 1, book_size);

    LineSource source(data + 1 + book_size, size - 1 - book_size, nullptr);
    HeadSink sink;
    std::istream in(&source);
    std::ostream out(&sink);
    const int status = quill::run_book_builder(in, out);
    if (status != 0) fail("bookbuilder returned a non-zero status", sink.head.substr(0, 200));

    const std::size_t label_at = sink.head.find("Position ");
    if (label_at == std::string::npos) fail("no label in the first board display");
    const std::string label = expected_label(initial);
    if (sink.head.compare(label_at, label.size(), label) != 0)
        fail("the first display's label does not count the book's records", label);

    const std::string book = read_book();
    if (book.size() < initial.size() || book.compare(0, initial.size(), initial) != 0)
        fail("the book's earlier contents changed");
    const std::size_t appended = book.size() - initial.size();
    if (appended % RECORD_BYTES != 0) fail("the book grew by a part of a record", std::to_string(appended));
    for (std::size_t at = initial.size(); at < book.size(); at += RECORD_BYTES) {
        for (std::size_t k = 0; k < 64; ++k) {
            const char c = book[at + k];
            if (c == '\n' || c == '\r' || c == '\0' || c == 26)
                fail("a record holds a line end, NUL or Ctrl-Z", book.substr(at, 64));
        }
        if (book[at + 64] != '\r' || book[at + 65] != '\n') fail("a record does not end in CR LF");
    }
    return 0;
}
