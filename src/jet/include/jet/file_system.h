// The engine's only access to the operating system's files. Tests substitute an
// implementation that fails or stops at chosen calls.
#pragma once

#include <cstddef>
#include <cstdint>
#include <memory>
#include <string>

namespace jet {

/// An open file. All offsets are bytes from the start of the file. Every method throws
/// jet::Error (Io, DiskFull, Locked) on failure.
class File {
public:
    virtual ~File() = default;
    /// Reads up to `size` bytes; returns the number read (less only at the end of the file).
    virtual std::size_t readAt(std::uint64_t offset, void* buffer, std::size_t size) = 0;
    /// Writes all `size` bytes or throws.
    virtual void writeAt(std::uint64_t offset, const void* buffer, std::size_t size) = 0;

    /// A piece of memory for the scattered forms below.
    struct Piece {
        void* data;
        std::size_t size;
    };
    /// Reads consecutive bytes into the pieces in turn; returns the number read (less only at
    /// the end of the file). By default one readAt per piece.
    virtual std::size_t readPieces(std::uint64_t offset, const Piece* pieces, std::size_t count);
    /// Writes the pieces' bytes one after another, as one write of their concatenation would
    /// (by default exactly that: they are gathered and written with one writeAt).
    virtual void writePieces(std::uint64_t offset, const Piece* pieces, std::size_t count);
    virtual std::uint64_t size() = 0;
    virtual void truncate(std::uint64_t size) = 0;
    virtual void sync() = 0;

    enum class LockType { Shared, Exclusive };
    /// Takes or changes an advisory lock on one byte at `offset` without waiting.
    /// Returns false when another open file holds a conflicting lock.
    virtual bool tryLock(std::uint64_t offset, LockType type) = 0;
    virtual void unlock(std::uint64_t offset) = 0;
};

class FileSystem {
public:
    virtual ~FileSystem() = default;
    enum class OpenFlags { ReadOnly, ReadWrite, CreateNew /* read-write, fails if it exists */ };
    virtual std::unique_ptr<File> open(const std::string& path, OpenFlags flags) = 0;
    virtual bool exists(const std::string& path) = 0;
    virtual void remove(const std::string& path) = 0;
    /// Makes `target` name the file `source` names, failing if `target` exists; removes `source`.
    virtual void renameNoReplace(const std::string& source, const std::string& target) = 0;
    /// Flushes the directory holding `path`, so that creations and removals in it are durable.
    virtual void syncDirectory(const std::string& path) = 0;

    /// The operating system's files (POSIX calls, OFD locks).
    static std::shared_ptr<FileSystem> native();
};

} // namespace jet
