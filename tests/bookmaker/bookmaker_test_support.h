// Test support for bookmaker: a scratch folder for the files of a test, book records made
// from SAN lines, and bookmaker run in-process.
#pragma once

#include <gtest/gtest.h>
#include <unistd.h>

#include <filesystem>
#include <fstream>
#include <iterator>
#include <sstream>
#include <string>
#include <vector>

#include "bookmaker/bookmaker.h"
#include "notation/san.h"

namespace quill::test {

// A temporary folder that lives as long as the test.
class Scratch {
public:
    Scratch() {
        char pattern[] = "/tmp/quill-bookmaker-XXXXXX";
        if (::mkdtemp(pattern) != nullptr) dir_ = pattern;
    }
    ~Scratch() { std::filesystem::remove_all(dir_); }
    Scratch(const Scratch&) = delete;
    Scratch& operator=(const Scratch&) = delete;

    std::string path(const std::string& name) const { return (dir_ / name).string(); }
    std::string write(const std::string& name, const std::string& bytes) const {
        std::ofstream(path(name), std::ios::binary) << bytes;
        return path(name);
    }
    std::string read(const std::string& name) const {
        std::ifstream in(path(name), std::ios::binary);
        return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
    }

private:
    std::filesystem::path dir_;
};

struct Outcome {
    int status;
    std::string out, err;
};

inline Outcome bookmaker(const std::vector<std::string>& args) {
    std::ostringstream out, err;
    const int status = run_bookmaker(args, out, err);
    return {status, out.str(), err.str()};
}

// The board texts of the start position and after each move of a SAN line, as strings.
inline std::vector<std::string> texts_of_line(const std::string& line) {
    GamePosition p = start_position();
    std::vector<std::string> texts;
    const auto add = [&] {
        const BoardText t = text_of(p);
        texts.emplace_back(t.begin(), t.end());
    };
    add();
    std::istringstream words(line);
    for (std::string w; words >> w;) {
        const std::vector<LegalMove> moves = legal_moves(p);
        const SanMatch m = resolve_san(w, p, moves);
        EXPECT_EQ(m.status, SanStatus::Found) << w << ": " << m.message;
        if (m.status != SanStatus::Found) break;
        p = play_move(p, moves[m.index]);
        add();
    }
    return texts;
}

// One record as the book format writes it.
inline std::string record(const std::string& text) { return text + "\r\n"; }

// The entry that answers the position after the first `key_plies` moves of `line` with the
// next move of the line.
inline std::string entry(const std::string& line, int key_plies) {
    const std::vector<std::string> t = texts_of_line(line);
    return record(t.at(key_plies)) + record(t.at(key_plies + 1));
}

}  // namespace quill::test
