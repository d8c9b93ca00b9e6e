// The helper process hold_file (tests/support/hold_file.cpp): another Tarnwick that has a file
// in use, for the tests of what the program does while one has it.
#pragma once

#include <string>
#include <sys/types.h>

namespace support {

class HoldProcess {
public:
    /// Starts the helper on `path` and waits for its first line.
    explicit HoldProcess(const std::string& path);
    /// Ends the helper (its input closed) and waits for it.
    ~HoldProcess();
    HoldProcess(const HoldProcess&) = delete;
    HoldProcess& operator=(const HoldProcess&) = delete;

    /// "held", "nothing to hold", or the message the hold was refused with.
    const std::string& firstLine() const { return m_line; }
    /// Kills the helper with SIGKILL, as a crash would end it, and waits for it.
    void kill();

    /// The first line of a helper started on `path` and ended at once: whether the file can
    /// be held now.
    static std::string probe(const std::string& path) { return HoldProcess(path).firstLine(); }

private:
    pid_t m_pid = -1;
    int m_input = -1;
    std::string m_line;
};

} // namespace support
