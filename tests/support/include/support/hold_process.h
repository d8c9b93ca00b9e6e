// Another Tarnwick that has a file in use: the helper process hold_file (support/hold_file.cpp).
#pragma once

#include <string>
#include <sys/types.h>

namespace support {

class HoldProcess {
public:
    /// Starts the helper on `path` and waits for its first line; the destructor ends it.
    explicit HoldProcess(const std::string& path);
    ~HoldProcess();
    HoldProcess(const HoldProcess&) = delete;

    /// "held", "nothing to hold", or the message the hold was refused with.
    const std::string& firstLine() const { return m_line; }
    /// Ends the helper with SIGKILL, as a crash would.
    void kill();
    /// The first line of a helper on `path` that ends at once.
    static std::string probe(const std::string& path) { return HoldProcess(path).firstLine(); }

private:
    pid_t m_pid = -1;
    int m_input = -1;
    std::string m_line;
};

} // namespace support
