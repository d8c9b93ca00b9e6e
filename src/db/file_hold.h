// The hold a Tarnwick window keeps on its current database file, so that a second Tarnwick (a
// second window on this machine, or a user on another machine through a shared folder) never
// takes up the same file: each would rewrite "Things To Do" from its own list at Exit, and the
// items added in the other window would be lost without a word.
//
// The hold is an advisory open-file-description lock (fcntl F_OFD_SETLK) on the one byte at
// kOffset of the database file: exclusive when the file opens for writing, shared when it opens
// for reading only (several windows may then show it; none of them can write it). The byte lies
// past the engine's own lock bytes (0x7FFFFF0000 and 0x7FFFFF0001, jet/pager.h) and far beyond
// the 2 GB a Jet file can reach and the ranges Jet locks (0x10000000 onwards), so it covers no
// data and meets no other lock. The kernel drops the lock when the process ends however it ends
// (a crash, SIGKILL), so a hold left by a process that died never blocks the next one; the
// descriptor is close-on-exec, so a program started from the window does not inherit it. Locks
// on NFS (with lockd or NFSv4) and SMB mounts are seen by every machine using the share.
//
// Who holds the file is written, for the message only, in a small text file beside it,
// "<file>-lock", one "key=value" a line: host, user, pid, and file (the database's inode number,
// telling a note of an earlier file of the same name from the current one's). The lock alone
// decides; the note is read only when the lock is refused. A note that cannot be written (a
// folder the user may not write) leaves the message without names; a note left by a holder that
// died on this machine (its pid is gone) or by an earlier file is ignored. The holder removes its
// note when it lets go.
//
// A file system without byte-range locks gives no hold at all: the file is used unguarded, as
// the engine uses it there. Plain standard C++ and POSIX, so that the command-line tool's writing
// commands take the same hold.
#pragma once

#include <cstdint>
#include <memory>
#include <optional>
#include <stdexcept>
#include <string>

namespace db {

/// The user and machine a hold's note names.
struct FileHolder {
    std::string user;
    std::string host;
    friend bool operator==(const FileHolder&, const FileHolder&) = default;
};

/// Another process holds the file. what() is the message to show: path + " is open in another
/// Tarnwick (user alice on host lawpc).  Close it there first.", without the parenthesis when
/// the holder is not known.
class FileInUse : public std::runtime_error {
public:
    FileInUse(const std::string& path, const std::optional<FileHolder>& holder);
};

class FileHold {
public:
    static constexpr std::uint64_t kOffset = 0x7FFFFF0002ULL;

    /// Holds nothing.
    FileHold() = default;

    /// The hold on the file at `path`. Throws FileInUse when another process has it. Holds of
    /// one file within one process share the lock (a file taken up again is not refused by
    /// itself); the lock goes with the last of them. Holds nothing when there is nothing to
    /// guard: no file at `path` (or not a regular file), a file that cannot be opened (the
    /// routines that open it report why), a file system without byte-range locks.
    static FileHold take(const std::string& path);

    bool holds() const { return static_cast<bool>(lock_); }
    void release() { lock_.reset(); }

    /// The note naming the holder of the file at `path`.
    static std::string notePath(const std::string& path) { return path + "-lock"; }
    /// The user and machine this process's notes name.
    static const FileHolder& self();

private:
    struct Lock;
    std::shared_ptr<Lock> lock_;
};

} // namespace db
