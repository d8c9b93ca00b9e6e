// Errors raised by the platform services.
#pragma once

#include <QString>
#include <stdexcept>

namespace platform {

/// A platform service failed. `what()` is a complete description fit to show a user, in UTF-8.
class Error : public std::runtime_error {
public:
    explicit Error(const QString& description);
    QString description() const { return QString::fromUtf8(what()); }
};

/// The user cancelled a file or font dialog. The description is "Cancel was selected.".
class CancelledError : public Error {
public:
    CancelledError();
};

} // namespace platform
