// A console program started as a child process, spoken to one line at a time through pipes.
#pragma once

#include <string>
#include <sys/types.h>

namespace quill {

// What waiting for a line of output can end in.
enum class ReadStatus { Line, Timeout, Closed };

class ChildProcess {
public:
    ChildProcess() = default;
    ChildProcess(const ChildProcess&) = delete;
    ChildProcess& operator=(const ChildProcess&) = delete;
    ~ChildProcess();

    // Starts the program at `path` (made absolute first) in the working directory `dir`, with
    // its standard input and output connected to us. Returns false when it cannot be started.
    bool start(const std::string& path, const std::string& dir);

    // Writes `line` and a newline to the program's input. False when the program has gone.
    bool send(const std::string& line);

    // Waits at most `timeout_seconds` for the next complete line of output (newline dropped).
    ReadStatus read_line(std::string& line, double timeout_seconds);

    // Sends "quit", closes the program's input and waits up to `grace_seconds` for it to
    // end; a program still running then is killed. Safe to call more than once.
    void stop(double grace_seconds = 5.0);

    // True between a successful start and stop.
    bool running() const { return pid_ > 0; }

private:
    pid_t pid_ = -1;
    int to_child_ = -1;
    int from_child_ = -1;
    std::string pending_;  // output read but not yet returned as a line
};

}  // namespace quill
