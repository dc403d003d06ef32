// Helpers shared by the test suites: square names, positions set up from FEN, and scratch
// folders under $TMPDIR (or /tmp) that are removed after the test.
#pragma once

#include <gtest/gtest.h>
#include <unistd.h>

#include <cstdlib>
#include <filesystem>
#include <string>
#include <string_view>

#include "board/types.h"
#include "support/position_setup.h"

namespace quill::test {

// A square as text, "a1" to "h8", from its rank index and file index.
inline std::string square_text(int rank, int file) { return {char('a' + file), char('1' + rank)}; }

// The squares of a board, a1 to h1, then a2 to h2 and so on, blank-separated, for readable
// failures.
inline std::string square_names(ByteBoard b) {
    std::string out;
    for (int rank = 0; rank < 8; ++rank)
        for (int file = 0; file < 8; ++file)
            if (b.byte(rank) & file_mask(file)) {
                if (!out.empty()) out += ' ';
                out += square_text(rank, file);
            }
    return out;
}

// The regenerated record of a FEN; a malformed FEN fails the test.
inline PositionRecord record_from(std::string_view fen) {
    const auto setup = position_from_fen(fen);
    EXPECT_TRUE(setup.has_value()) << fen;
    return setup ? setup->record : PositionRecord{};
}

// A fresh folder of its own under $TMPDIR, or /tmp when that is unset, removed with
// everything in it when the object goes.
class ScratchDir {
public:
    explicit ScratchDir(std::string_view prefix) {
        const char* base = std::getenv("TMPDIR");
        std::string pattern = base && *base ? base : "/tmp";
        pattern.append("/").append(prefix).append("-XXXXXX");
        if (::mkdtemp(pattern.data()) == nullptr) {
            ADD_FAILURE() << "cannot make a scratch folder " << pattern;
            return;
        }
        path_ = pattern;
    }
    ~ScratchDir() {
        std::error_code ignored;
        if (!path_.empty()) std::filesystem::remove_all(path_, ignored);
    }
    ScratchDir(const ScratchDir&) = delete;
    ScratchDir& operator=(const ScratchDir&) = delete;

    const std::filesystem::path& path() const { return path_; }

private:
    std::filesystem::path path_;
};

// A fixture whose test runs with a scratch folder as the working directory, for programs
// that open their files by fixed names.
class ScratchDirTest : public ::testing::Test {
protected:
    void SetUp() override {
        previous_ = std::filesystem::current_path();
        ASSERT_FALSE(scratch_.path().empty());
        std::filesystem::current_path(scratch_.path());
    }
    void TearDown() override { std::filesystem::current_path(previous_); }

private:
    ScratchDir scratch_{"quill-scratch"};
    std::filesystem::path previous_;
};

}  // namespace quill::test
