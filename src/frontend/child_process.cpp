#include "frontend/child_process.h"

#include <cerrno>
#include <chrono>
#include <climits>
#include <csignal>
#include <cstdlib>
#include <thread>

#include <fcntl.h>
#include <poll.h>
#include <sys/wait.h>
#include <unistd.h>

namespace quill {

namespace {

// Makes a pipe whose ends are closed in every program we start, so that one child never
// holds another child's pipe open.
bool close_on_exec_pipe(int fds[2]) {
    if (pipe(fds) != 0) return false;
    fcntl(fds[0], F_SETFD, FD_CLOEXEC);
    fcntl(fds[1], F_SETFD, FD_CLOEXEC);
    return true;
}

void close_fd(int& fd) {
    if (fd >= 0) close(fd);
    fd = -1;
}

}  // namespace

ChildProcess::~ChildProcess() { stop(); }

bool ChildProcess::start(const std::string& path, const std::string& dir) {
    char resolved[PATH_MAX];
    if (!realpath(path.c_str(), resolved)) return false;
    int in_pipe[2], out_pipe[2];
    if (!close_on_exec_pipe(in_pipe)) return false;
    if (!close_on_exec_pipe(out_pipe)) {
        close(in_pipe[0]);
        close(in_pipe[1]);
        return false;
    }
    pid_ = fork();
    if (pid_ == 0) {
        // The child: our pipes become its standard input and output. SIGPIPE is ignored in
        // the parent, and an ignored signal would stay ignored across exec.
        std::signal(SIGPIPE, SIG_DFL);
        // Ctrl-C at the terminal reaches the whole foreground group: the player's front end
        // decides what it means, so the child must not die of it.
        std::signal(SIGINT, SIG_IGN);
        dup2(in_pipe[0], STDIN_FILENO);
        dup2(out_pipe[1], STDOUT_FILENO);
        if (chdir(dir.c_str()) != 0) _exit(127);
        char* const argv[] = {resolved, nullptr};
        execv(resolved, argv);
        _exit(127);
    }
    close(in_pipe[0]);
    close(out_pipe[1]);
    to_child_ = in_pipe[1];
    from_child_ = out_pipe[0];
    if (pid_ < 0) {
        close_fd(to_child_);
        close_fd(from_child_);
        return false;
    }
    return true;
}

bool ChildProcess::send(const std::string& line) {
    if (to_child_ < 0) return false;
    const std::string text = line + '\n';
    std::size_t done = 0;
    while (done < text.size()) {
        const ssize_t n = write(to_child_, text.data() + done, text.size() - done);
        if (n < 0 && errno == EINTR) continue;
        if (n <= 0) return false;
        done += static_cast<std::size_t>(n);
    }
    return true;
}

ReadStatus ChildProcess::read_line(std::string& line, double timeout_seconds) {
    using clock = std::chrono::steady_clock;
    const auto deadline = clock::now() + std::chrono::duration_cast<clock::duration>(
                                             std::chrono::duration<double>(timeout_seconds));
    for (;;) {
        const std::size_t newline = pending_.find('\n');
        if (newline != std::string::npos) {
            line = pending_.substr(0, newline);
            pending_.erase(0, newline + 1);
            return ReadStatus::Line;
        }
        if (from_child_ < 0) return ReadStatus::Closed;
        const auto left = std::chrono::duration_cast<std::chrono::milliseconds>(deadline - clock::now()).count();
        if (left <= 0) return ReadStatus::Timeout;
        pollfd p{from_child_, POLLIN, 0};
        const int ready = poll(&p, 1, static_cast<int>(left));
        if (ready < 0 && errno == EINTR) continue;
        if (ready == 0) return ReadStatus::Timeout;
        char buffer[4096];
        const ssize_t n = read(from_child_, buffer, sizeof buffer);
        if (n < 0 && errno == EINTR) continue;
        if (n <= 0) {
            // The program ended; a last line without its newline still counts.
            close_fd(from_child_);
            if (pending_.empty()) return ReadStatus::Closed;
            pending_ += '\n';
            continue;
        }
        pending_.append(buffer, static_cast<std::size_t>(n));
    }
}

void ChildProcess::stop(double grace_seconds) {
    if (pid_ <= 0) return;
    send("quit");
    close_fd(to_child_);
    // Nobody reads its output any more: a program still writing gets EPIPE or SIGPIPE.
    close_fd(from_child_);
    pending_.clear();
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::duration_cast<std::chrono::steady_clock::duration>(
                                                                 std::chrono::duration<double>(grace_seconds));
    int status = 0;
    while (waitpid(pid_, &status, WNOHANG) == 0) {
        if (std::chrono::steady_clock::now() >= deadline) {
            // Still busy (a search that will not end soon): only this child is killed.
            kill(pid_, SIGKILL);
            waitpid(pid_, &status, 0);
            break;
        }
        std::this_thread::sleep_for(std::chrono::milliseconds(5));
    }
    pid_ = -1;
}

}  // namespace quill
