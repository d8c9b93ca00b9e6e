#include "db/backups.h"

#include <algorithm>
#include <cerrno>
#include <climits>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <ctime>
#include <dirent.h>
#include <fcntl.h>
#include <memory>
#include <pwd.h>
#include <random>
#include <set>
#include <string_view>
#include <sys/stat.h>
#include <unistd.h>
#include <utility>

#include "db/file_hold.h"
#include "jet/database.h"
#include "jet/error.h"
#include "jet/file_system.h"

namespace db {
namespace {

using std::chrono::milliseconds;
using TimePoint = Backups::TimePoint;

// The longest file name a backup name carries: a backup's name adds 42 bytes to it (hash, time,
// ending) and a temporary's 21 (hash, the marks, six random characters), within the 255 bytes
// of a folder entry.
constexpr std::size_t kNameLimit = 200;
// ".2026-01-05_14-30-05.123+0100.mdb": what follows "<file name>.<hash>" in a backup's name.
constexpr std::size_t kTimeSuffix = 33;
constexpr std::string_view kTemporaryMark = ".tmp-";
constexpr std::size_t kTemporaryRandom = 6;
// A temporary unchanged this long, whose writer no longer holds its lock, is left over.
constexpr auto kTemporaryAge = std::chrono::seconds(60);
constexpr std::size_t kCopyBuffer = std::size_t{1} << 20;

std::string reason(int error) {
    return error == ENOSPC || error == EDQUOT ? "the disk is full" : std::strerror(error);
}

[[noreturn]] void fail(const std::string& action, const std::string& path, int error) {
    throw BackupError("Could not " + action + " '" + path + "': " + reason(error) + ".");
}

std::string parentOf(const std::string& path) {
    const std::size_t slash = path.find_last_of('/');
    if (slash == std::string::npos)
        return ".";
    return slash == 0 ? "/" : path.substr(0, slash);
}

std::string baseName(const std::string& path) {
    const std::size_t slash = path.find_last_of('/');
    return slash == std::string::npos ? path : path.substr(slash + 1);
}

std::string joined(const std::string& folder, const std::string& name) {
    return folder == "/" ? "/" + name : folder + "/" + name;
}

// "/a/./b/../c" as "/a/c", without asking the file system; `path` is absolute.
std::string lexicallyNormal(const std::string& path) {
    std::vector<std::string> parts;
    std::size_t at = 0;
    while (at <= path.size()) {
        const std::size_t end = std::min(path.find('/', at), path.size());
        const std::string part = path.substr(at, end - at);
        if (part == "..") {
            if (!parts.empty())
                parts.pop_back();
        } else if (!part.empty() && part != ".") {
            parts.push_back(part);
        }
        at = end + 1;
    }
    std::string out;
    for (const std::string& part : parts)
        out += "/" + part;
    return out.empty() ? "/" : out;
}

std::string realPath(const std::string& path) {
    char resolved[PATH_MAX];
    return ::realpath(path.c_str(), resolved) ? std::string(resolved) : std::string();
}

std::string hashText(const std::string& fullPath) {
    std::uint64_t h = 0xCBF29CE484222325ULL;
    for (unsigned char c : fullPath) {
        h ^= c;
        h *= 0x100000001B3ULL;
    }
    char text[9];
    std::snprintf(text, sizeof text, "%08x", static_cast<unsigned>(h & 0xFFFFFFFFU));
    return text;
}

// "<file name>.<hash>": how every backup name of the file at `fullPath` begins.
std::string stemOf(const std::string& fullPath) {
    std::string name = baseName(fullPath);
    if (name.size() > kNameLimit) {
        std::size_t cut = kNameLimit;
        while (cut > 0 && (static_cast<unsigned char>(name[cut]) & 0xC0) == 0x80)
            --cut; // not inside a UTF-8 character
        name.resize(cut);
    }
    return name + "." + hashText(fullPath);
}

std::string timeSuffix(TimePoint time) {
    const auto ms = std::chrono::floor<milliseconds>(time).time_since_epoch().count();
    const std::time_t seconds = static_cast<std::time_t>(ms >= 0 ? ms / 1000 : (ms - 999) / 1000);
    const int millis = static_cast<int>(ms - static_cast<long long>(seconds) * 1000);
    std::tm local{};
    ::localtime_r(&seconds, &local);
    const long offset = local.tm_gmtoff / 60;
    const long absOffset = offset < 0 ? -offset : offset;
    char text[64];
    std::snprintf(text, sizeof text, ".%04d-%02d-%02d_%02d-%02d-%02d.%03d%c%02ld%02ld.mdb",
                  local.tm_year + 1900, local.tm_mon + 1, local.tm_mday, local.tm_hour,
                  local.tm_min, local.tm_sec, millis, offset < 0 ? '-' : '+', absOffset / 60,
                  absOffset % 60);
    return text;
}

// The time a backup name's ending gives, or nothing when it is not one.
std::optional<TimePoint> parseTimeSuffix(std::string_view s) {
    if (s.size() != kTimeSuffix)
        return std::nullopt;
    static constexpr std::string_view pattern = ".####-##-##_##-##-##.###?####.mdb";
    for (std::size_t i = 0; i < s.size(); ++i) {
        const char p = pattern[i];
        const bool ok = p == '#'   ? s[i] >= '0' && s[i] <= '9'
                        : p == '?' ? s[i] == '+' || s[i] == '-'
                                   : s[i] == p;
        if (!ok)
            return std::nullopt;
    }
    auto number = [&](std::size_t at, std::size_t length) {
        int n = 0;
        for (std::size_t i = at; i < at + length; ++i)
            n = n * 10 + (s[i] - '0');
        return n;
    };
    using namespace std::chrono;
    const year_month_day day{year(number(1, 4)), month(static_cast<unsigned>(number(6, 2))),
                             std::chrono::day(static_cast<unsigned>(number(9, 2)))};
    const int h = number(12, 2), m = number(15, 2), sec = number(18, 2);
    const int oh = number(25, 2), om = number(27, 2);
    if (!day.ok() || h > 23 || m > 59 || sec > 60 || oh > 23 || om > 59)
        return std::nullopt;
    const minutes offset = (s[24] == '-' ? -1 : 1) * minutes(oh * 60 + om);
    return TimePoint(sys_days(day)) + hours(h) + minutes(m) + seconds(sec) +
           milliseconds(number(21, 3)) - offset;
}

// The local calendar day of `time`, as a number that orders and compares days.
long localDay(TimePoint time) {
    const std::time_t seconds =
        std::chrono::system_clock::to_time_t(std::chrono::floor<std::chrono::seconds>(time));
    std::tm local{};
    ::localtime_r(&seconds, &local);
    return (local.tm_year + 1900L) * 1000 + local.tm_yday;
}

void makeFolders(const std::string& folder) {
    struct stat st;
    if (::stat(folder.c_str(), &st) == 0) {
        if (!S_ISDIR(st.st_mode))
            fail("make the backups folder", folder, ENOTDIR);
        return;
    }
    const std::string parent = parentOf(folder);
    if (parent != folder)
        makeFolders(parent);
    if (::mkdir(folder.c_str(), 0700) != 0 && errno != EEXIST)
        fail("make the backups folder", folder, errno);
}

bool lockWhole(int fd) {
    struct flock fl;
    std::memset(&fl, 0, sizeof fl);
    fl.l_type = F_WRLCK;
    fl.l_whence = SEEK_SET;
    return ::fcntl(fd, F_OFD_SETLK, &fl) == 0;
}

// A new file `prefix` + six random characters, open for writing; removed again unless kept.
class TemporaryFile {
public:
    TemporaryFile(const std::string& prefix, mode_t mode) {
        static constexpr char kLetters[] = "abcdefghijklmnopqrstuvwxyz0123456789";
        std::random_device random;
        for (int attempt = 0; fd_ < 0; ++attempt) {
            path_ = prefix;
            for (std::size_t i = 0; i < kTemporaryRandom; ++i)
                path_ += kLetters[random() % (sizeof kLetters - 1)];
            fd_ = ::open(path_.c_str(), O_RDWR | O_CREAT | O_EXCL | O_CLOEXEC | O_NOFOLLOW, mode);
            if (fd_ < 0 && (errno != EEXIST || attempt > 100))
                fail("create", path_, errno);
        }
    }
    TemporaryFile(const TemporaryFile&) = delete;
    TemporaryFile& operator=(const TemporaryFile&) = delete;
    ~TemporaryFile() {
        if (!kept_)
            ::unlink(path_.c_str());
        ::close(fd_);
    }

    int fd() const { return fd_; }
    const std::string& path() const { return path_; }

    void write(const char* data, std::size_t size) {
        while (size > 0) {
            const ssize_t n = ::write(fd_, data, size);
            if (n < 0 && errno == EINTR)
                continue;
            if (n < 0)
                fail("write", path_, errno);
            data += n;
            size -= static_cast<std::size_t>(n);
        }
    }
    void sync() {
        if (::fsync(fd_) != 0)
            fail("flush", path_, errno);
    }
    /// The file now has another name (or none); it is no longer removed.
    void keep() { kept_ = true; }

private:
    std::string path_;
    int fd_ = -1;
    bool kept_ = false;
};

// The operating system's files, remembering the first file the engine opens: the database file
// itself, on which the engine takes its locks. Copying through that very file copies the file
// those locks guard, even if the path is given to another file meanwhile.
class CapturingFileSystem final : public jet::FileSystem {
public:
    std::unique_ptr<jet::File> open(const std::string& path, OpenFlags flags) override {
        auto file = native_->open(path, flags);
        if (!first_)
            first_ = file.get();
        return file;
    }
    bool exists(const std::string& path) override { return native_->exists(path); }
    void remove(const std::string& path) override { native_->remove(path); }
    void renameNoReplace(const std::string& source, const std::string& target) override {
        native_->renameNoReplace(source, target);
    }
    void syncDirectory(const std::string& path) override { native_->syncDirectory(path); }

    jet::File* first() const { return first_; }

private:
    std::shared_ptr<jet::FileSystem> native_ = jet::FileSystem::native();
    jet::File* first_ = nullptr;
};

// A database file open with the engine, whose bytes may be copied while it stays open.
struct OpenDatabase {
    OpenDatabase(const std::string& path, jet::OpenMode mode)
        : fs(std::make_shared<CapturingFileSystem>()), database(open(path, mode, fs)) {}

    static jet::Database open(const std::string& path, jet::OpenMode mode,
                              const std::shared_ptr<CapturingFileSystem>& fs) {
        jet::OpenOptions options;
        options.mode = mode;
        options.fileSystem = fs;
        return jet::Database::open(path, options);
    }

    void copyTo(TemporaryFile& out) const {
        jet::File& file = *fs->first();
        const std::uint64_t size = file.size();
        std::vector<char> buffer(
            static_cast<std::size_t>(std::min<std::uint64_t>(size, kCopyBuffer)));
        for (std::uint64_t at = 0; at < size;) {
            const std::size_t want =
                static_cast<std::size_t>(std::min<std::uint64_t>(size - at, buffer.size()));
            const std::size_t got = file.readAt(at, buffer.data(), want);
            if (got == 0)
                throw BackupError("The database file '" + database.path() +
                                  "' became shorter while it was copied.");
            out.write(buffer.data(), got);
            at += got;
        }
    }

    std::shared_ptr<CapturingFileSystem> fs;
    jet::Database database;
};

struct Entry {
    std::string name;
    TimePoint time;
};

// Which of `newestFirst` (the backups of one file) rotation keeps.
std::vector<bool> kept(const std::vector<Entry>& newestFirst) {
    std::vector<bool> keep(newestFirst.size(), false);
    std::set<long> days;
    std::size_t count = 0;
    for (std::size_t i = 0; i < newestFirst.size() && count < Backups::kKeepAtMost; ++i) {
        if (i < Backups::kKeepNewest || days.insert(localDay(newestFirst[i].time)).second) {
            keep[i] = true;
            ++count;
        }
    }
    return keep;
}

std::vector<Entry> entriesOf(const std::string& folder, const std::string& stem) {
    std::vector<Entry> entries;
    DIR* dir = ::opendir(folder.c_str());
    if (!dir) {
        if (errno == ENOENT)
            return entries;
        fail("read the backups folder", folder, errno);
    }
    while (const dirent* e = ::readdir(dir)) {
        const std::string_view name = e->d_name;
        if (name.size() != stem.size() + kTimeSuffix || !name.starts_with(stem))
            continue;
        if (const auto time = parseTimeSuffix(name.substr(stem.size())))
            entries.push_back({std::string(name), *time});
    }
    ::closedir(dir);
    std::sort(entries.begin(), entries.end(), [](const Entry& a, const Entry& b) {
        return a.time != b.time ? a.time > b.time : a.name > b.name;
    });
    return entries;
}

} // namespace

std::string Backups::defaultFolder() {
    std::string data;
    if (const char* xdg = std::getenv("XDG_DATA_HOME"); xdg && xdg[0] == '/') {
        data = xdg;
    } else {
        std::string home;
        if (const char* h = std::getenv("HOME"); h && h[0])
            home = h;
        if (home.empty()) {
            std::vector<char> buffer(16384);
            struct passwd entry;
            struct passwd* found = nullptr;
            if (::getpwuid_r(::geteuid(), &entry, buffer.data(), buffer.size(), &found) == 0 &&
                found && found->pw_dir)
                home = found->pw_dir;
        }
        if (home.empty())
            throw BackupError("There is no folder for backups: neither XDG_DATA_HOME nor a home "
                              "folder is known.");
        data = joined(home, ".local/share");
    }
    while (data.size() > 1 && data.back() == '/')
        data.pop_back();
    return joined(data, "tarnwick/backups");
}

Backups::Backups(std::string folder, Clock clock) : folder_(std::move(folder)), clock_(clock) {}

Backups::TimePoint Backups::now() const {
    return clock_ ? clock_() : std::chrono::system_clock::now();
}

std::string Backups::fullPath(const std::string& path) {
    if (std::string real = realPath(path); !real.empty())
        return real;
    // A file that does not exist: its folder resolved, its name as given.
    const std::string folder = realPath(parentOf(path));
    if (!folder.empty())
        return joined(folder, baseName(path));
    std::string absolute = path;
    if (absolute.empty() || absolute[0] != '/') {
        char cwd[PATH_MAX];
        absolute = std::string(::getcwd(cwd, sizeof cwd) ? cwd : "/") + "/" + path;
    }
    return lexicallyNormal(absolute);
}

std::string Backups::nameFor(const std::string& database, TimePoint time) {
    return stemOf(fullPath(database)) + timeSuffix(time);
}

namespace {

// The open database's bytes in a new temporary file of `folder`, not yet synced.
std::unique_ptr<TemporaryFile> copyOf(const OpenDatabase& source, const std::string& folder,
                                      const std::string& stem) {
    makeFolders(folder);
    auto temporary = std::make_unique<TemporaryFile>(
        joined(folder, "." + stem + std::string(kTemporaryMark)), 0600);
    lockWhole(temporary->fd()); // tells a cleaner that this temporary is being written
    source.copyTo(*temporary);
    return temporary;
}

// Syncs a copy and gives it its backup name, then syncs the folder. Returns the backup's path.
std::string keepAsBackup(TemporaryFile& temporary, const std::string& folder,
                         const std::string& stem, TimePoint time) {
    temporary.sync();
    // Two backups of one file within a millisecond: the later one takes the next free one.
    const std::shared_ptr<jet::FileSystem> files = jet::FileSystem::native();
    for (int attempt = 0;; ++attempt, time += milliseconds(1)) {
        const std::string target = joined(folder, stem + timeSuffix(time));
        try {
            files->renameNoReplace(temporary.path(), target);
        } catch (const jet::Error& e) {
            if (e.kind() != jet::ErrorKind::AlreadyExists || attempt >= 1000)
                throw;
            continue;
        }
        temporary.keep();
        files->syncDirectory(target);
        return target;
    }
}

} // namespace

std::string Backups::backUp(const std::string& database) {
    const std::string full = fullPath(database);
    const std::string stem = stemOf(full);
    std::unique_ptr<TemporaryFile> copy;
    {
        // The engine's read lock is held while the bytes are read, not while they are synced:
        // a writer waiting to commit waits for the copy in memory only.
        const OpenDatabase source(database, jet::OpenMode::ReadOnly);
        copy = copyOf(source, folder_, stem);
    }
    const std::string path = keepAsBackup(*copy, folder_, stem, now());
    rotate(full);
    removeDeadTemporaries(full);
    return path;
}

std::vector<BackupInfo> Backups::list(const std::string& database) const {
    std::vector<BackupInfo> backups;
    for (const Entry& e : entriesOf(folder_, stemOf(fullPath(database)))) {
        const std::string path = joined(folder_, e.name);
        struct stat st;
        if (::lstat(path.c_str(), &st) == 0 && S_ISREG(st.st_mode))
            backups.push_back({path, e.time, static_cast<std::uint64_t>(st.st_size)});
    }
    return backups;
}

void Backups::rotate(const std::string& database) const {
    const std::vector<Entry> entries = entriesOf(folder_, stemOf(fullPath(database)));
    const std::vector<bool> keep = kept(entries);
    for (std::size_t i = 0; i < entries.size(); ++i)
        if (!keep[i])
            ::unlink(joined(folder_, entries[i].name).c_str());
}

void Backups::removeDeadTemporaries(const std::string& database) const {
    const std::string prefix = "." + stemOf(fullPath(database)) + std::string(kTemporaryMark);
    DIR* dir = ::opendir(folder_.c_str());
    if (!dir)
        return;
    std::vector<std::string> names;
    while (const dirent* e = ::readdir(dir)) {
        const std::string_view name = e->d_name;
        if (name.size() == prefix.size() + kTemporaryRandom && name.starts_with(prefix))
            names.emplace_back(name);
    }
    ::closedir(dir);
    const auto now = std::chrono::system_clock::now();
    for (const std::string& name : names) {
        const std::string path = joined(folder_, name);
        const int fd = ::open(path.c_str(), O_RDWR | O_CLOEXEC | O_NOFOLLOW | O_NONBLOCK);
        if (fd < 0)
            continue;
        struct stat st;
        const bool old = ::fstat(fd, &st) == 0 && S_ISREG(st.st_mode) &&
                         std::chrono::system_clock::from_time_t(st.st_mtime) + kTemporaryAge < now;
        if (old && lockWhole(fd))
            ::unlink(path.c_str());
        ::close(fd);
    }
}

std::optional<std::string> Backups::restore(const std::string& backup,
                                            const std::string& database) {
    const FileHold hold = FileHold::take(database);
    struct stat st;
    const bool exists = ::stat(database.c_str(), &st) == 0;
    if (exists && !S_ISREG(st.st_mode))
        throw BackupError("'" + database + "' is not a file, so nothing was restored there.");

    // The backup's bytes beside the file, checked and synced before the file is touched.
    TemporaryFile copy(database + ".restoring-", exists ? (st.st_mode & 07777) : 0666);
    try {
        const OpenDatabase source(backup, jet::OpenMode::ReadOnly);
        const jet::CheckReport report = source.database.check();
        if (!report.ok())
            throw BackupError("it is damaged: " + report.problems.front() + ".");
        source.copyTo(copy);
    } catch (const std::exception& e) {
        throw BackupError("'" + backup + "' cannot be restored: " + e.what());
    }
    // The mode asked for at creation passed through the umask; the file's own is kept.
    if (exists && ::fchmod(copy.fd(), st.st_mode & 07777) != 0)
        fail("set the permissions of", copy.path(), errno);
    copy.sync();

    const std::string full = fullPath(database);
    std::optional<std::string> previous;
    std::optional<OpenDatabase> current;
    if (exists) {
        // Held exclusively from its backup until it is replaced: no change in between is lost,
        // and no journal can appear beside it.
        const std::string notRestored = "'" + database + "' was not restored";
        const std::string notKept = notRestored + ", since it could not be backed up first: ";
        try {
            current.emplace(database, jet::OpenMode::Exclusive);
        } catch (const jet::Error& e) {
            if (e.kind() == jet::ErrorKind::Locked)
                throw BackupError(notRestored + ": " + e.what());
            throw BackupError(notKept + e.what() + "  Move it elsewhere to restore over it.");
        }
        try {
            const std::string stem = stemOf(full);
            previous = keepAsBackup(*copyOf(*current, folder_, stem), folder_, stem, now());
        } catch (const std::exception& e) {
            throw BackupError(notKept + e.what());
        }
        if (::rename(copy.path().c_str(), database.c_str()) != 0)
            fail("replace", database, errno);
    } else {
        // A journal beside a file that is gone belongs to that file; rolled back into the
        // restored one at its next open, it would overwrite pages with the old file's.
        const std::string journal = database + "-journal";
        if (::unlink(journal.c_str()) != 0 && errno != ENOENT)
            fail("remove the old journal", journal, errno);
        jet::FileSystem::native()->renameNoReplace(copy.path(), database);
    }
    copy.keep();
    jet::FileSystem::native()->syncDirectory(database);
    current.reset();
    if (previous) {
        rotate(full);
        removeDeadTemporaries(full);
    }
    return previous;
}

FirstWriteGuard::FirstWriteGuard(std::optional<std::string> folder, Backups::Clock clock)
    : folder_(std::move(folder)), clock_(std::move(clock)) {}

std::optional<std::string> FirstWriteGuard::beforeWrite(const std::string& path) {
    const std::string full = Backups::fullPath(path);
    const std::lock_guard lock(mutex_);
    const auto found = files_.find(full);
    if (found != files_.end() && found->second == State::BackedUp)
        return std::nullopt;
    struct stat st;
    if (::stat(full.c_str(), &st) != 0 && errno == ENOENT)
        return std::nullopt; // nothing there to lose
    try {
        Backups(folder_ ? *folder_ : Backups::defaultFolder(), clock_).backUp(path);
        files_[full] = State::BackedUp;
        return std::nullopt;
    } catch (const std::exception& e) {
        files_[full] = State::Failed;
        if (found != files_.end())
            return std::nullopt;
        return "No backup of " + path + " could be made before changing it: " + e.what();
    }
}

std::optional<std::string> BackupBeforeFirstWrite(const std::string& path) {
    static auto* guard = new FirstWriteGuard;
    return guard->beforeWrite(path);
}

} // namespace db
