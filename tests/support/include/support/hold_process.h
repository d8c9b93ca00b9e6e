// Another Tarnwick that has a file in use: the helper process hold_file (support/hold_file.cpp),
// whose path the build gives as TARNWICK_HOLD_FILE.
#pragma once

#include <csignal>
#include <fcntl.h>
#include <spawn.h>
#include <stdexcept>
#include <string>
#include <sys/types.h>
#include <sys/wait.h>
#include <unistd.h>

extern char** environ;

namespace support {

class HoldProcess {
public:
    /// Starts the helper on `path` and waits for its first line; the destructor ends it.
    explicit HoldProcess(const std::string& path) {
        int input[2], output[2];
        if (::pipe2(input, O_CLOEXEC) != 0 || ::pipe2(output, O_CLOEXEC) != 0)
            throw std::runtime_error("no pipe for hold_file");
        posix_spawn_file_actions_t actions;
        posix_spawn_file_actions_init(&actions);
        posix_spawn_file_actions_adddup2(&actions, input[0], 0);
        posix_spawn_file_actions_adddup2(&actions, output[1], 1);
        std::string program = TARNWICK_HOLD_FILE, argument = path;
        char* argv[] = {program.data(), argument.data(), nullptr};
        const int failed = ::posix_spawn(&m_pid, argv[0], &actions, nullptr, argv, environ);
        posix_spawn_file_actions_destroy(&actions);
        ::close(input[0]);
        ::close(output[1]);
        m_input = input[1];
        char c;
        while (!failed && ::read(output[0], &c, 1) == 1 && c != '\n')
            m_line += c;
        ::close(output[0]);
        if (failed)
            throw std::runtime_error("hold_file could not be started");
    }
    ~HoldProcess() {
        ::close(m_input);
        if (m_pid > 0)
            ::waitpid(m_pid, nullptr, 0);
    }
    HoldProcess(const HoldProcess&) = delete;

    /// "held", "nothing to hold", or the message the hold was refused with.
    const std::string& firstLine() const { return m_line; }
    /// Ends the helper with SIGKILL, as a crash would.
    void kill() {
        ::kill(m_pid, SIGKILL);
        ::waitpid(m_pid, nullptr, 0);
        m_pid = -1;
    }
    /// The first line of a helper on `path` that ends at once.
    static std::string probe(const std::string& path) { return HoldProcess(path).firstLine(); }

private:
    pid_t m_pid = -1;
    int m_input = -1;
    std::string m_line;
};

} // namespace support
