// Rotating backups of database files, kept in one folder per user, so that no change the
// program or the command-line tool makes can lose what a file held before it.
//
// Where: `$XDG_DATA_HOME/tarnwick/backups/` (`~/.local/share/tarnwick/backups/` when the
// variable is unset or not an absolute path), made with mode 0700 when missing; backups are
// written with mode 0600, since they hold the same client matters as the files.
//
// Names: "<file name>.<hash>.<local time>.mdb", for example
//   TODO.MDB.3f2a9c1e.2026-01-05_14-30-05.123+0100.mdb
// The hash is eight hex digits of the 64-bit FNV-1a hash of the file's full path (symbolic
// links and "." / ".." resolved), so that two files of one name in different folders are two
// databases with backups of their own. The time is the local time of the backup to the
// millisecond with its offset from UTC, which makes the name exact across daylight-saving
// changes. A file name over 200 bytes is cut (at a character boundary) so that the name stays
// within the 255 bytes a folder entry may have; the hash still tells the file. The ending
// ".mdb" lets other programs that read Access files open a backup as it is.
//
// Consistency: a backup is copied through a handle the engine opened for reading. Opening takes
// the engine's shared read lock, which a writer needs exclusively for as long as it commits:
// the open waits for a commit in progress to end (up to the engine's usual 3 seconds), and no
// commit starts while the bytes are copied. A journal left by a writer that died ("FILE-journal",
// docs/file-format.md) is rolled back by that open before anything is read, so a backup is
// always the last committed state and never a half-written one. A file the engine cannot open
// (not a database, damaged header, locked) is not backed up; the error says why.
//
// Durability: the copy is written to a temporary name in the backups folder (a leading "." and
// ".tmp-" followed by six characters), synced, given its backup name without replacing any
// file, and the folder synced. A process killed at any moment therefore leaves only complete
// backups under backup names. Temporaries are never listed; a later backup of the same file
// removes those whose writer is gone (the writer holds a lock on its temporary) and that have
// not changed for a minute.
//
// Rotation, after each backup, among the backups of that one file, newest first: the newest 3
// are kept; of the older ones, the newest of each local calendar day is kept and the rest
// removed; of what is left, the newest 10 are kept. A backup that cannot be removed is left.
//
// Standard C++ and POSIX only, on the engine and the window's hold (db/file_hold.h), so that
// the program and both command-line executables share it.
#pragma once

#include <chrono>
#include <cstdint>
#include <functional>
#include <map>
#include <mutex>
#include <optional>
#include <stdexcept>
#include <string>
#include <vector>

namespace db {

/// A backup, or the restore, could not be made. what() says why, fit to show a user.
class BackupError : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

/// One backup of a database file.
struct BackupInfo {
    std::string path;                           ///< full path of the backup
    std::chrono::system_clock::time_point time; ///< when it was made, to the millisecond
    std::uint64_t size = 0;                     ///< bytes
};

class Backups {
public:
    using TimePoint = std::chrono::system_clock::time_point;
    using Clock = std::function<TimePoint()>;

    static constexpr std::size_t kKeepNewest = 3;
    static constexpr std::size_t kKeepAtMost = 10;

    /// The backups folder from the environment: `$XDG_DATA_HOME/tarnwick/backups` when the
    /// variable holds an absolute path, otherwise `$HOME/.local/share/tarnwick/backups` (the
    /// home folder from the password database when HOME is unset). Throws BackupError when no
    /// home folder is known.
    static std::string defaultFolder();

    /// Backups kept in `folder` (made when the first backup is written), named with the times
    /// `clock` gives (the system clock when empty).
    explicit Backups(std::string folder, Clock clock = {});

    const std::string& folder() const { return folder_; }

    /// Copies the database file at `database` into the folder as described above, then rotates
    /// that file's backups. Returns the new backup's path. Throws BackupError, or jet::Error
    /// when the engine cannot open the file (NotFound for a missing file) or the backup cannot
    /// be given its name; the file itself is
    /// never changed, except that a journal left by a writer that died is rolled back.
    std::string backUp(const std::string& database);

    /// The backups of `database` (which need not exist any more), newest first. A missing
    /// folder has none. Throws BackupError when the folder cannot be read.
    std::vector<BackupInfo> list(const std::string& database) const;

    /// Puts the backup at `backup` (any database file) back at `database`. Refuses with
    /// db::FileInUse while a Tarnwick window or a writing command holds `database`, and holds
    /// it until done. `backup` must open with the engine and pass its structural check; its
    /// bytes are copied beside `database` and synced first. A `database` that exists is then
    /// backed up itself, so that a restore loses nothing: when that backup cannot be made
    /// (the file is damaged, say), nothing is restored and the error says to move the file
    /// away first. The file is then opened exclusively with the engine (which waits for other
    /// readers and writers, and rolls back a journal a dead writer left), and the copy renamed
    /// over it; with no file at `database`, a journal left beside the name is removed, as it
    /// belongs to a file that no longer exists. Either way no journal can later be rolled back
    /// onto the restored bytes. The restored file keeps the permission bits of the file it
    /// replaces. Returns the path of the backup of the file as it was, if there was one.
    /// Note that this backup may rotate `backup` itself away when it is one of the oldest
    /// backups of `database`; its bytes are then the database's own.
    std::optional<std::string> restore(const std::string& backup, const std::string& database);

    /// The name (without folder) of a backup of `database` made at `time`.
    static std::string nameFor(const std::string& database, TimePoint time);
    /// The full path of `path` as backups know it: symbolic links and "." / ".." resolved, as
    /// far as the path exists.
    static std::string fullPath(const std::string& path);

private:
    TimePoint now() const;
    void rotate(const std::string& database) const;
    void removeDeadTemporaries(const std::string& database) const;

    std::string folder_;
    Clock clock_;
};

/// Backs up each database file once per process, before its first change: the program and the
/// command-line tool call beforeWrite(path) before each write (or only before the first; more
/// calls cost a look-up). The first call for a file makes the backup. When it fails, the call
/// returns the message to show, and the next write tries again, silently: a failure is
/// reported once per file and process, and never stops the write. Calls for a file that does
/// not exist (yet) make no backup and report nothing. Paths are compared as Backups::fullPath
/// gives them. Safe to call from several threads.
class FirstWriteGuard {
public:
    /// The folder is looked up with Backups::defaultFolder() at each attempt unless given.
    explicit FirstWriteGuard(std::optional<std::string> folder = std::nullopt,
                             Backups::Clock clock = {});

    /// Nothing, or (once per file) the message: "No backup of " + path + " could be made
    /// before changing it: " + reason.
    std::optional<std::string> beforeWrite(const std::string& path);

private:
    enum class State { BackedUp, Failed };
    std::optional<std::string> folder_;
    Backups::Clock clock_;
    std::mutex mutex_;
    std::map<std::string, State> files_;
};

/// The process's guard (default folder, system clock): call before every write to the
/// database file at `path`. Returns the message to show when the backup failed, once per file.
std::optional<std::string> BackupBeforeFirstWrite(const std::string& path);

} // namespace db
