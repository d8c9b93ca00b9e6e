// The description an error handler shows after its fixed prefix.
#pragma once

#include <QString>
#include <exception>

namespace db {

/// The description carried by `error`: what() of a std::exception (UTF-8), or a plain sentence
/// for anything else. Use inside a catch (...) block with std::current_exception().
QString errorDescription(std::exception_ptr error);

} // namespace db
