// The standard streams of a console program: descriptors 0, 1 and 2 held open before any file
// is opened, and a standard output whose failure ends the program with status 1.
#pragma once

#include <streambuf>
#include <string>
#include <string_view>

namespace quill {

// The exit status of a program whose standard output could not be written.
inline constexpr int OUTPUT_FAILED_STATUS = 1;

// Opens /dev/null on each of descriptors 0, 1 and 2 that is closed, so that no file the
// program opens later becomes one of its standard streams. It is opened read-only: reading a
// closed standard input then ends at once, and writing to a closed standard output or error
// still fails, as it would have. Call it first, before anything opens a file.
void open_standard_descriptors();

// Standard output with its failures reported: every byte and every flush is passed on to
// `target` (the stream buffer of std::cout, with its own buffering), and the first write or
// flush that fails prints "<program>: cannot write standard output: <reason>" on standard
// error and ends the process with OUTPUT_FAILED_STATUS at once. The reason is that of errno
// after the failure. A reader that goes away still ends the program by SIGPIPE.
class CheckedOutputBuffer : public std::streambuf {
public:
    CheckedOutputBuffer(std::streambuf* target, std::string_view program) : target_(target), program_(program) {}

protected:
    int_type overflow(int_type c) override;
    std::streamsize xsputn(const char* s, std::streamsize n) override;
    int sync() override;

private:
    [[noreturn]] void fail() const;

    std::streambuf* target_;
    std::string program_;
};

}  // namespace quill
