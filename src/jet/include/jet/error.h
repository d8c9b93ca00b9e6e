// Errors raised by the Jet engine.
#pragma once

#include <stdexcept>
#include <string>

namespace jet {

/// What went wrong, for callers that react differently to different failures.
/// The text of `what()` is always a complete sentence fit to show a user.
enum class ErrorKind {
    Io,            ///< the operating system refused a read, write, sync or lock
    DiskFull,      ///< a write failed for lack of space (ENOSPC, EDQUOT)
    NotFound,      ///< a file, table or field of that name does not exist
    AlreadyExists, ///< creating a file or table whose name is taken
    Corrupt,       ///< the file's bytes contradict the format
    Unsupported,   ///< a valid file, or a request, this engine does not handle
    Encrypted,     ///< the file is encoded with a database key
    Locked,        ///< another process holds the file
    ReadOnly,      ///< writing through a handle opened for reading
    InvalidArgument,
    InvalidState, ///< e.g. update() without addNew(), reading past the end of rows
};

class Error : public std::runtime_error {
public:
    Error(ErrorKind kind, const std::string& message) : std::runtime_error(message), kind_(kind) {}
    ErrorKind kind() const noexcept { return kind_; }

private:
    ErrorKind kind_;
};

} // namespace jet
