// A book file read as the engine reads it, record by record, with what is wrong with each
// record's form.
#pragma once

#include <optional>
#include <ostream>
#include <string>
#include <vector>

#include "board/types.h"
#include "book/book_reader.h"

namespace quill {

struct BookRecord {
    BookUnit unit{};
    int length = 0;  // characters read: 65, or fewer for the last unit of the file
    // A record whose 64 characters are all piece letters and blanks (a well-formed record
    // that may stand for a position).
    bool whole = false;
    BoardText text() const;
};

struct BookRecords {
    std::vector<BookRecord> records;
    // The number of records read in step with the lines of the file: every record before the
    // first one whose line end is not where the format puts it (all records when none).
    int aligned = 0;
    // For a book read out of step: the first line whose length is not 64 and that length.
    int odd_line = 0, odd_line_length = 0;
};

// Reads every unit of the book at `path` with the engine's own reader (CR dropped, byte 26
// ends the file, 65-character units). Returns nothing, after a message on `err`, when the
// file cannot be read as a book at all.
std::optional<BookRecords> read_book_records(const std::string& path, std::ostream& err);

// The number of the entry a record belongs to and whether it is its key (records and
// entries both count from 1).
inline int entry_of(int record) { return (record + 1) / 2; }
inline bool is_key_record(int record) { return record % 2 == 1; }

}  // namespace quill
