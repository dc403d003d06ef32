// Shared pieces of the fuzz targets: a private scratch directory for the files the programs
// open by fixed names, input streams that serve the fuzz bytes line by line (stopping early,
// or asking the target for each line), and an output sink that keeps what a program prints.
#pragma once

#include <dirent.h>
#include <unistd.h>

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <functional>
#include <optional>
#include <streambuf>
#include <string>
#include <utility>

namespace quill::fuzzing {

// Stops the run with a message; libFuzzer reports the abort as a crash and saves the input.
[[noreturn]] inline void fail(const char* what, const std::string& detail = {}) {
    std::fprintf(stderr, "fuzz check failed: %s%s%s\n", what, detail.empty() ? "" : ": ", detail.c_str());
    std::abort();
}

// A directory of its own under $TMPDIR (or /tmp), made once per process. The programs open
// "book.vbk", "bbook.vbk" and "wbook.vbk" in the working directory, so each fuzz input runs
// in here; the directory and its files are removed when the process exits normally.
class ScratchDirectory {
public:
    ScratchDirectory() {
        const char* base = std::getenv("TMPDIR");
        path_ = std::string(base && *base ? base : "/tmp") + "/quill-fuzz-XXXXXX";
        if (::mkdtemp(path_.data()) == nullptr) fail("cannot make a scratch directory", path_);
    }
    ~ScratchDirectory() {
        if (DIR* dir = ::opendir(path_.c_str())) {
            while (const dirent* entry = ::readdir(dir)) {
                if (std::strcmp(entry->d_name, ".") != 0 && std::strcmp(entry->d_name, ".."))
                    ::unlink((path_ + "/" + entry->d_name).c_str());
            }
            ::closedir(dir);
        }
        ::rmdir(path_.c_str());
    }
    ScratchDirectory(const ScratchDirectory&) = delete;
    ScratchDirectory& operator=(const ScratchDirectory&) = delete;

    const std::string& path() const { return path_; }
    std::string file(const char* name) const { return path_ + "/" + name; }

private:
    std::string path_;
};

// The process's scratch directory, made on first use.
inline ScratchDirectory& scratch() {
    static ScratchDirectory directory;
    return directory;
}

// Enters a directory for the lifetime of the object and goes back afterwards. Staying in the
// starting directory outside each input keeps libFuzzer's relative corpus paths valid; only
// a crash report written from inside a run lands in the scratch directory unless
// -artifact_prefix is an absolute path (fuzz/run.sh always gives one).
class InDirectory {
public:
    explicit InDirectory(const std::string& path) {
        if (::getcwd(home_, sizeof home_) == nullptr) fail("getcwd");
        if (::chdir(path.c_str()) != 0) fail("cannot enter", path);
    }
    ~InDirectory() {
        if (::chdir(home_) != 0) fail("cannot go back to", home_);
    }
    InDirectory(const InDirectory&) = delete;
    InDirectory& operator=(const InDirectory&) = delete;

private:
    char home_[4096];
};

// Writes `size` bytes to `path`, replacing the file.
inline void write_file(const std::string& path, const std::uint8_t* data, std::size_t size) {
    std::ofstream file(path, std::ios::binary | std::ios::trunc);
    file.write(reinterpret_cast<const char*>(data), static_cast<std::streamsize>(size));
    if (!file) fail("cannot write", path);
}

// Copies a file when it exists; returns whether it did.
inline bool copy_file(const std::string& from, const std::string& to) {
    std::ifstream in(from, std::ios::binary);
    if (!in) return false;
    std::ofstream out(to, std::ios::binary | std::ios::trunc);
    out << in.rdbuf();
    return static_cast<bool>(out);
}

// An input stream buffer over the fuzz bytes that hands them out one line (up to and with
// its LF) at a time. Before each line it asks `more`; once that answers false the input
// ends there, as if the user had closed it. The engines search on every reply, so a target
// uses this to bound the search work of one input without cutting any line in two.
class LineSource : public std::streambuf {
public:
    LineSource(const std::uint8_t* data, std::size_t size, std::function<bool()> more)
        : bytes_(reinterpret_cast<const char*>(data), size), more_(std::move(more)) {}

    // Bytes handed out so far.
    std::size_t consumed() const { return next_; }

protected:
    int_type underflow() override {
        if (next_ >= bytes_.size() || (more_ && !more_())) return traits_type::eof();
        char* begin = bytes_.data() + next_;
        const void* lf = std::memchr(begin, '\n', bytes_.size() - next_);
        const std::size_t length =
            lf ? static_cast<std::size_t>(static_cast<const char*>(lf) - begin) + 1 : bytes_.size() - next_;
        setg(begin, begin, begin + length);
        next_ += length;
        return traits_type::to_int_type(*begin);
    }

private:
    std::string bytes_;
    std::size_t next_ = 0;
    std::function<bool()> more_;
};

// An input stream buffer that serves one line at a time, each asked of `next` when the
// program wants more input: a program reads a line to its end before it acts on it and asks
// for the next one only when it has finished with it, so `next` learns that everything
// printed since the line before belongs to that line. `next` returns the next line (with its
// line end) or nothing to end the input.
class ScriptedLines : public std::streambuf {
public:
    explicit ScriptedLines(std::function<std::optional<std::string>()> next) : next_(std::move(next)) {}

protected:
    int_type underflow() override {
        std::optional<std::string> line = next_();
        if (!line || line->empty()) return traits_type::eof();
        line_ = std::move(*line);
        setg(line_.data(), line_.data(), line_.data() + line_.size());
        return traits_type::to_int_type(line_[0]);
    }

private:
    std::function<std::optional<std::string>()> next_;
    std::string line_;
};

// An output stream buffer that keeps what the program prints until it is taken.
class OutputText : public std::streambuf {
public:
    std::string take() { return std::exchange(text_, {}); }

protected:
    int_type overflow(int_type c) override {
        if (!traits_type::eq_int_type(c, traits_type::eof())) text_.push_back(traits_type::to_char_type(c));
        return traits_type::not_eof(c);
    }
    std::streamsize xsputn(const char* s, std::streamsize n) override {
        text_.append(s, static_cast<std::size_t>(n));
        return n;
    }

private:
    std::string text_;
};

}  // namespace quill::fuzzing
