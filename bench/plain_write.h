// The baseline the rewrite benchmarks compare with: the same number of bytes written to a plain
// file in one go and synced once, as cheaply as the operating system allows.
#pragma once

#include <fcntl.h>
#include <string>
#include <unistd.h>
#include <vector>

namespace bench {

inline void writeAndSync(const std::string& path, const std::vector<char>& bytes) {
    const int fd = ::open(path.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
    if (fd < 0)
        return;
    std::size_t done = 0;
    while (done < bytes.size()) {
        const ssize_t n = ::write(fd, bytes.data() + done, bytes.size() - done);
        if (n <= 0)
            break;
        done += static_cast<std::size_t>(n);
    }
    ::fdatasync(fd);
    ::close(fd);
}

} // namespace bench
