// Records reach the file the moment they are written: a killed tool loses none, and a failed
// write keeps every record before it and nothing of its own. Both run the tool in a forked
// child process.
#include <poll.h>
#include <signal.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdio>
#include <iostream>
#include <sstream>

#include "bookbuilder/book_builder.h"
#include "bookbuilder/book_writer.h"
#include "scratch_dir.h"

namespace quill {
namespace {

const std::string START(START_TEXT);

// Reads from `fd` into `text` until `wanted` appears, the writer closes, or a minute passes
// without output (a guard against a hang, not a measure of speed).
bool read_until(int fd, std::string& text, std::string_view wanted) {
    char buffer[4096];
    while (text.find(wanted) == std::string::npos) {
        pollfd p{fd, POLLIN, 0};
        if (::poll(&p, 1, 60000) <= 0) return false;
        const ssize_t n = ::read(fd, buffer, sizeof buffer);
        if (n <= 0) return false;
        text.append(buffer, static_cast<std::size_t>(n));
    }
    return true;
}

class RecordDurability : public ScratchDirTest {
protected:
    void SetUp() override {
        ScratchDirTest::SetUp();
        // Nothing buffered in this process may be written a second time by the child.
        std::cout.flush();
        std::fflush(nullptr);
    }
};

TEST_F(RecordDurability, RecordSurvivesKillRightAfterWrite) {
    int to_child[2], from_child[2];
    ASSERT_EQ(::pipe(to_child), 0);
    ASSERT_EQ(::pipe(from_child), 0);
    const pid_t child = ::fork();
    ASSERT_GE(child, 0);
    if (child == 0) {
        ::dup2(to_child[0], 0);
        ::dup2(from_child[1], 1);
        for (int fd : {to_child[0], to_child[1], from_child[0], from_child[1]}) ::close(fd);
        ::_exit(run_book_builder(std::cin, std::cout));
    }
    ::close(to_child[0]);
    ::close(from_child[1]);

    // The input stays open, so the tool waits for a further line when it is killed. The
    // board after w, with its new label, is printed only once the record was written.
    const std::string input = "d2d4\nw\n";
    ASSERT_EQ(::write(to_child[1], input.data(), input.size()), ssize_t(input.size()));
    std::string output;
    const bool saw_board = read_until(from_child[0], output, "Position Responce!");
    ::kill(child, SIGKILL);
    int status = 0;
    ASSERT_EQ(::waitpid(child, &status, 0), child);
    ::close(to_child[1]);
    ::close(from_child[0]);

    ASSERT_TRUE(saw_board) << output;
    EXPECT_TRUE(WIFSIGNALED(status) && WTERMSIG(status) == SIGKILL);
    EXPECT_EQ(read_file("book.vbk"), book_record(moved(START, "d2", "d4")));
}

TEST_F(RecordDurability, FailedWriteKeepsEarlierRecords) {
    int from_child[2];
    ASSERT_EQ(::pipe(from_child), 0);
    const pid_t child = ::fork();
    ASSERT_GE(child, 0);
    if (child == 0) {
        ::close(from_child[0]);
        // The file may grow to two records and part of a third: the third write stores that
        // part, and the next one fails instead of raising the file-size signal. The part must
        // not stay in the book.
        constexpr rlim_t ROOM = 2 * BOOK_RECORD_BYTES + 30;
        const rlimit limit{ROOM, ROOM};
        ::signal(SIGXFSZ, SIG_IGN);
        if (::setrlimit(RLIMIT_FSIZE, &limit) != 0) ::_exit(99);
        std::istringstream in("w\nd2d4\nw\nw\nw\n");
        std::ostringstream out;
        const int result = run_book_builder(in, out);
        const std::string text = out.str();
        const ssize_t sent = ::write(from_child[1], text.data(), text.size());
        ::_exit(sent == ssize_t(text.size()) ? result : 98);
    }
    ::close(from_child[1]);
    std::string output;
    read_until(from_child[0], output, "\x01");  // everything, up to the child's end
    ::close(from_child[0]);
    int status = 0;
    ASSERT_EQ(::waitpid(child, &status, 0), child);

    ASSERT_TRUE(WIFEXITED(status));
    EXPECT_EQ(WEXITSTATUS(status), 1);
    const std::string message = "\n\nError writing to the file.\n";
    ASSERT_GE(output.size(), message.size());
    EXPECT_EQ(output.substr(output.size() - message.size()), message);
    EXPECT_EQ(output.find("Error"), output.rfind("Error")) << "the tool stops at the first failure";
    EXPECT_EQ(read_file("book.vbk"),
              book_record(START) + book_record(moved(START, "d2", "d4")));
}

}  // namespace
}  // namespace quill
