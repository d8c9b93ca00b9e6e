// The operating system's files: POSIX calls with open-file-description locks, so that two
// handles on one file conflict even inside one process.
#include "jet/file_system.h"

#include <cerrno>
#include <climits>
#include <cstring>
#include <fcntl.h>
#include <sys/stat.h>
#include <sys/uio.h>
#include <unistd.h>

#include <algorithm>
#include <cstdio>
#include <vector>

#include "jet/error.h"

namespace jet {
namespace {

[[noreturn]] void throwErrno(int err, const std::string& action, const std::string& path) {
    ErrorKind kind = ErrorKind::Io;
    if (err == ENOSPC || err == EDQUOT)
        kind = ErrorKind::DiskFull;
    else if (err == ENOENT)
        kind = ErrorKind::NotFound;
    else if (err == EEXIST)
        kind = ErrorKind::AlreadyExists;
    else if (err == EAGAIN || err == EACCES || err == EWOULDBLOCK)
        kind = err == EACCES ? ErrorKind::Io : ErrorKind::Locked;
    std::string reason = std::strerror(err);
    if (kind == ErrorKind::DiskFull)
        reason = "the disk is full";
    throw Error(kind, "Could not " + action + " '" + path + "': " + reason + ".");
}

std::string parentFolder(const std::string& path) {
    const auto slash = path.find_last_of('/');
    if (slash == std::string::npos)
        return ".";
    if (slash == 0)
        return "/";
    return path.substr(0, slash);
}

class PosixFile final : public File {
public:
    PosixFile(int fd, std::string path) : fd_(fd), path_(std::move(path)) {}
    ~PosixFile() override { ::close(fd_); }

    std::size_t readAt(std::uint64_t offset, void* buffer, std::size_t size) override {
        std::size_t done = 0;
        auto* out = static_cast<char*>(buffer);
        while (done < size) {
            const ssize_t n =
                ::pread(fd_, out + done, size - done, static_cast<off_t>(offset + done));
            if (n < 0) {
                if (errno == EINTR)
                    continue;
                throwErrno(errno, "read", path_);
            }
            if (n == 0)
                break;
            done += static_cast<std::size_t>(n);
        }
        return done;
    }

    void writeAt(std::uint64_t offset, const void* buffer, std::size_t size) override {
        std::size_t done = 0;
        const auto* in = static_cast<const char*>(buffer);
        while (done < size) {
            const ssize_t n =
                ::pwrite(fd_, in + done, size - done, static_cast<off_t>(offset + done));
            if (n < 0) {
                if (errno == EINTR)
                    continue;
                throwErrno(errno, "write", path_);
            }
            done += static_cast<std::size_t>(n);
        }
    }

    std::size_t readPieces(std::uint64_t offset, const Piece* pieces, std::size_t count) override {
        return transfer(offset, pieces, count, false);
    }

    void writePieces(std::uint64_t offset, const Piece* pieces, std::size_t count) override {
        transfer(offset, pieces, count, true);
    }

    std::uint64_t size() override {
        struct stat st;
        if (::fstat(fd_, &st) != 0)
            throwErrno(errno, "read the size of", path_);
        return static_cast<std::uint64_t>(st.st_size);
    }

    void truncate(std::uint64_t size) override {
        if (::ftruncate(fd_, static_cast<off_t>(size)) != 0)
            throwErrno(errno, "truncate", path_);
    }

    void sync() override {
        if (::fdatasync(fd_) != 0)
            throwErrno(errno, "flush", path_);
    }

    bool tryLock(std::uint64_t offset, LockType type) override {
        struct flock fl;
        std::memset(&fl, 0, sizeof fl);
        fl.l_type = type == LockType::Shared ? F_RDLCK : F_WRLCK;
        fl.l_whence = SEEK_SET;
        fl.l_start = static_cast<off_t>(offset);
        fl.l_len = 1;
        if (::fcntl(fd_, F_OFD_SETLK, &fl) == 0)
            return true;
        if (errno == EAGAIN || errno == EACCES)
            return false;
        // Some network file systems have no byte-range locks. The file is still usable by
        // one program at a time, which is how it is used, so it opens without them.
        if (errno == ENOLCK || errno == EINVAL || errno == EOPNOTSUPP || errno == ENOSYS)
            return true;
        throwErrno(errno, "lock", path_);
    }

    void unlock(std::uint64_t offset) override {
        struct flock fl;
        std::memset(&fl, 0, sizeof fl);
        fl.l_type = F_UNLCK;
        fl.l_whence = SEEK_SET;
        fl.l_start = static_cast<off_t>(offset);
        fl.l_len = 1;
        ::fcntl(fd_, F_OFD_SETLK, &fl);
    }

private:
    // preadv/pwritev over all pieces, resumed after short transfers; a read stops at the end
    // of the file. Returns the bytes moved.
    std::size_t transfer(std::uint64_t offset, const Piece* pieces, std::size_t count, bool write) {
        std::vector<iovec> io(count);
        for (std::size_t i = 0; i < count; ++i)
            io[i] = iovec{pieces[i].data, pieces[i].size};
        std::size_t first = 0, done = 0;
        while (first < io.size()) {
            if (io[first].iov_len == 0) {
                ++first;
                continue;
            }
            const int n = static_cast<int>(std::min<std::size_t>(io.size() - first, IOV_MAX));
            const off_t at = static_cast<off_t>(offset + done);
            const ssize_t got = write ? ::pwritev(fd_, io.data() + first, n, at)
                                      : ::preadv(fd_, io.data() + first, n, at);
            if (got < 0) {
                if (errno == EINTR)
                    continue;
                throwErrno(errno, write ? "write" : "read", path_);
            }
            if (got == 0 && !write)
                break;
            done += static_cast<std::size_t>(got);
            for (std::size_t left = static_cast<std::size_t>(got); left > 0;) {
                const std::size_t step = std::min(left, io[first].iov_len);
                io[first].iov_base = static_cast<char*>(io[first].iov_base) + step;
                io[first].iov_len -= step;
                left -= step;
                if (io[first].iov_len == 0)
                    ++first;
            }
        }
        return done;
    }

    int fd_;
    std::string path_;
};

class PosixFileSystem final : public FileSystem {
public:
    std::unique_ptr<File> open(const std::string& path, OpenFlags flags) override {
        int oflags = O_CLOEXEC;
        switch (flags) {
        case OpenFlags::ReadOnly:
            oflags |= O_RDONLY;
            break;
        case OpenFlags::ReadWrite:
            oflags |= O_RDWR;
            break;
        case OpenFlags::CreateNew:
            oflags |= O_RDWR | O_CREAT | O_EXCL;
            break;
        }
        int fd;
        do {
            fd = ::open(path.c_str(), oflags, 0666);
        } while (fd < 0 && errno == EINTR);
        if (fd < 0)
            throwErrno(errno, flags == OpenFlags::CreateNew ? "create" : "open", path);
        struct stat st;
        if (::fstat(fd, &st) == 0 && !S_ISREG(st.st_mode)) {
            ::close(fd);
            throw Error(ErrorKind::Io, "'" + path + "' is not a regular file.");
        }
        return std::make_unique<PosixFile>(fd, path);
    }

    bool exists(const std::string& path) override {
        struct stat st;
        return ::stat(path.c_str(), &st) == 0;
    }

    void remove(const std::string& path) override {
        if (::unlink(path.c_str()) != 0 && errno != ENOENT)
            throwErrno(errno, "delete", path);
    }

    void renameNoReplace(const std::string& source, const std::string& target) override {
        // Either call fails with EEXIST when the target exists, which makes the step atomic.
        if (::renameat2(AT_FDCWD, source.c_str(), AT_FDCWD, target.c_str(), RENAME_NOREPLACE) == 0)
            return;
        if (errno != EINVAL && errno != ENOSYS && errno != ENOTSUP)
            throwErrno(errno, "create", target);
        // A file system without the flag: a second link is made at once or not at all.
        if (::link(source.c_str(), target.c_str()) != 0)
            throwErrno(errno, "create", target);
        ::unlink(source.c_str());
    }

    void syncDirectory(const std::string& path) override {
        const std::string folder = parentFolder(path);
        const int fd = ::open(folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
        if (fd < 0)
            throwErrno(errno, "open the folder", folder);
        const int rc = ::fsync(fd);
        const int err = errno;
        ::close(fd);
        // Some file systems do not support syncing a directory; that is not a failure of ours.
        if (rc != 0 && err != EINVAL && err != ENOTSUP)
            throwErrno(err, "flush the folder", folder);
    }
};

} // namespace

std::size_t File::readPieces(std::uint64_t offset, const Piece* pieces, std::size_t count) {
    std::size_t done = 0;
    for (std::size_t i = 0; i < count; ++i) {
        const std::size_t got = readAt(offset + done, pieces[i].data, pieces[i].size);
        done += got;
        if (got < pieces[i].size)
            break;
    }
    return done;
}

void File::writePieces(std::uint64_t offset, const Piece* pieces, std::size_t count) {
    std::vector<char> all;
    for (std::size_t i = 0; i < count; ++i)
        all.insert(all.end(), static_cast<const char*>(pieces[i].data),
                   static_cast<const char*>(pieces[i].data) + pieces[i].size);
    writeAt(offset, all.data(), all.size());
}

std::shared_ptr<FileSystem> FileSystem::native() {
    static std::shared_ptr<FileSystem> fs = std::make_shared<PosixFileSystem>();
    return fs;
}

} // namespace jet
