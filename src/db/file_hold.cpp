#include "db/file_hold.h"

#include <cerrno>
#include <csignal>
#include <cstdlib>
#include <cstring>
#include <fcntl.h>
#include <map>
#include <mutex>
#include <optional>
#include <pwd.h>
#include <string_view>
#include <sys/stat.h>
#include <unistd.h>
#include <utility>
#include <vector>

namespace db {
namespace {

// The longest name a note may give; the rest is dropped, as are control characters.
constexpr std::size_t kNameLimit = 64;
constexpr std::size_t kNoteLimit = 1024;

std::string openedText(int fd) {
    std::string text;
    char buffer[256];
    while (text.size() < kNoteLimit) {
        const ssize_t n = ::read(fd, buffer, sizeof buffer);
        if (n < 0 && errno == EINTR)
            continue;
        if (n <= 0)
            break;
        text.append(buffer, static_cast<std::size_t>(n));
    }
    return text;
}

std::string fileText(const std::string& path) {
    const int fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC | O_NOFOLLOW);
    if (fd < 0)
        return {};
    std::string text = openedText(fd);
    ::close(fd);
    return text;
}

std::string cleanName(std::string_view value) {
    std::string name;
    for (char c : value.substr(0, kNameLimit))
        if (static_cast<unsigned char>(c) >= 0x20 && c != 0x7F)
            name += c;
    return name;
}

std::string noteFor(ino_t file) {
    const FileHolder& self = FileHold::self();
    return "host=" + self.host + "\nuser=" + self.user + "\npid=" + std::to_string(::getpid()) +
           "\nfile=" + std::to_string(file) + "\n";
}

// The holder a note names, unless it is the note of another file or of a process that has died
// on this machine.
std::optional<FileHolder> holderFromNote(const std::string& text, ino_t file) {
    std::map<std::string, std::string, std::less<>> values;
    std::string_view rest = text;
    while (!rest.empty()) {
        const std::size_t end = rest.find('\n');
        const std::string_view line = rest.substr(0, end);
        rest = end == std::string_view::npos ? std::string_view() : rest.substr(end + 1);
        const std::size_t equals = line.find('=');
        if (equals != std::string_view::npos)
            values[std::string(line.substr(0, equals))] = cleanName(line.substr(equals + 1));
    }
    FileHolder holder{values["user"], values["host"]};
    if (holder.user.empty() || holder.host.empty() || values["file"] != std::to_string(file))
        return std::nullopt;
    const long pid = std::strtol(values["pid"].c_str(), nullptr, 10);
    if (holder.host == FileHold::self().host && pid > 0 &&
        ::kill(static_cast<pid_t>(pid), 0) != 0 && errno == ESRCH)
        return std::nullopt;
    return holder;
}

// Writes the note, replacing one the user may not write but may delete. Failures leave no note.
void writeNote(const std::string& path, const std::string& text) {
    constexpr int kFlags = O_WRONLY | O_CLOEXEC | O_NOFOLLOW;
    int fd = ::open(path.c_str(), kFlags | O_CREAT | O_TRUNC, 0666);
    if (fd < 0) {
        ::unlink(path.c_str());
        fd = ::open(path.c_str(), kFlags | O_CREAT | O_EXCL, 0666);
    }
    if (fd < 0)
        return;
    bool written = true;
    for (std::size_t done = 0; written && done < text.size();) {
        const ssize_t n = ::write(fd, text.data() + done, text.size() - done);
        if (n > 0)
            done += static_cast<std::size_t>(n);
        else
            written = n < 0 && errno == EINTR;
    }
    ::close(fd);
    if (!written)
        ::unlink(path.c_str());
}

bool setLock(int fd, short type) {
    struct flock fl;
    std::memset(&fl, 0, sizeof fl);
    fl.l_type = type;
    fl.l_whence = SEEK_SET;
    fl.l_start = static_cast<off_t>(FileHold::kOffset);
    fl.l_len = 1;
    return ::fcntl(fd, F_OFD_SETLK, &fl) == 0;
}

} // namespace

FileInUse::FileInUse(const std::string& path, const std::optional<FileHolder>& holder)
    : std::runtime_error(
          path + " is open in another Tarnwick" +
          (holder ? " (user " + holder->user + " on host " + holder->host + ")" : std::string()) +
          ".  Close it there first.") {}

// One locked file: its descriptor (closing it releases the lock) and the note written for it.
struct FileHold::Lock {
    using Key = std::pair<dev_t, ino_t>;

    Lock(int fd, Key key, std::string note, std::string noteText)
        : fd(fd), key(key), note(std::move(note)), noteText(std::move(noteText)) {}
    Lock(const Lock&) = delete;
    Lock& operator=(const Lock&) = delete;

    ~Lock() {
        // The note goes first, while the lock still keeps others from writing theirs.
        if (fileText(note) == noteText)
            ::unlink(note.c_str());
        ::close(fd);
        const std::lock_guard guard(mutex());
        const auto found = locks().find(key);
        if (found != locks().end() && found->second.expired())
            locks().erase(found);
    }

    // The locks this process holds, by device and inode.
    static std::map<Key, std::weak_ptr<Lock>>& locks() {
        static auto* map = new std::map<Key, std::weak_ptr<Lock>>;
        return *map;
    }
    static std::mutex& mutex() {
        static auto* m = new std::mutex;
        return *m;
    }

    const int fd;
    const Key key;
    const std::string note;
    const std::string noteText;
};

FileHold FileHold::take(const std::string& path) {
    // Not blocking: a FIFO or a device at `path` must not hang the program; it is no database.
    bool writable = true;
    int fd = ::open(path.c_str(), O_RDWR | O_CLOEXEC | O_NOCTTY | O_NONBLOCK);
    if (fd < 0 && (errno == EACCES || errno == EROFS || errno == EPERM)) {
        writable = false;
        fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC | O_NOCTTY | O_NONBLOCK);
    }
    if (fd < 0)
        return {};
    struct stat st;
    if (::fstat(fd, &st) != 0 || !S_ISREG(st.st_mode)) {
        ::close(fd);
        return {};
    }
    const Lock::Key key{st.st_dev, st.st_ino};
    const std::lock_guard guard(Lock::mutex());
    FileHold hold;
    if (const auto found = Lock::locks().find(key); found != Lock::locks().end())
        hold.lock_ = found->second.lock();
    if (hold.lock_) {
        ::close(fd); // another descriptor: closing it leaves the held lock alone
        return hold;
    }
    if (!setLock(fd, writable ? F_WRLCK : F_RDLCK)) {
        const int error = errno;
        ::close(fd);
        if (error == EAGAIN || error == EACCES)
            throw FileInUse(path, holderFromNote(fileText(notePath(path)), st.st_ino));
        return {}; // no byte-range locks on this file system
    }
    const std::string text = noteFor(st.st_ino);
    writeNote(notePath(path), text);
    hold.lock_ = std::make_shared<Lock>(fd, key, notePath(path), text);
    Lock::locks()[key] = hold.lock_;
    return hold;
}

const FileHolder& FileHold::self() {
    static const FileHolder holder = [] {
        FileHolder who;
        std::vector<char> buffer(16384);
        struct passwd entry;
        struct passwd* found = nullptr;
        if (::getpwuid_r(::geteuid(), &entry, buffer.data(), buffer.size(), &found) == 0 && found)
            who.user = cleanName(found->pw_name);
        if (who.user.empty() && std::getenv("USER"))
            who.user = cleanName(std::getenv("USER"));
        if (who.user.empty())
            who.user = std::to_string(::geteuid());
        char host[256] = {};
        if (::gethostname(host, sizeof host - 1) == 0)
            who.host = cleanName(host);
        if (who.host.empty())
            who.host = "localhost";
        return who;
    }();
    return holder;
}

} // namespace db
