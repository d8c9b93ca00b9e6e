// Errors: the exception the platform services raise, the one description every handler shows,
// and the error traps the handlers are written with.
//
// The traps, by the way a handler deals with a failure:
// - reportErrors(prefix, step): a message box shows prefix + description (+ suffix) and the
//   handler ends the step there, undoing nothing;
// - ignoreErrors(step): nothing is shown and the handler goes on with its next step.
// Both catch everything the step throws, so that no error ever leaves a Qt event handler.
#pragma once

#include <QString>
#include <exception>
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

/// The description `error` carries: what() of a std::exception (UTF-8), or "An unexpected error
/// occurred." for anything else. Inside a catch block, pass std::current_exception().
QString describe(std::exception_ptr error);

/// Shows prefix + describe(error) + suffix in a message box (OK only, the program's title). A
/// message box that cannot be shown is ignored.
void showError(const QString& prefix, std::exception_ptr error,
               const QString& suffix = QString()) noexcept;

/// Runs `step`; when it throws, shows the error (showError) and returns false.
template <typename Step>
bool reportErrors(const QString& prefix, Step&& step, const QString& suffix = QString()) {
    try {
        step();
        return true;
    } catch (...) {
        showError(prefix, std::current_exception(), suffix);
        return false;
    }
}

/// Runs `step`, ignoring anything it throws. Returns whether it succeeded.
template <typename Step> bool ignoreErrors(Step&& step) noexcept {
    try {
        step();
        return true;
    } catch (...) {
        return false;
    }
}

} // namespace platform
