#include "platform/error.h"

#include "platform/services.h"

namespace platform {

Error::Error(const QString& description) : std::runtime_error(description.toStdString()) {}

CancelledError::CancelledError() : Error(QStringLiteral("Cancel was selected.")) {}

QString describe(std::exception_ptr error) {
    if (!error)
        return QStringLiteral("An unexpected error occurred.");
    try {
        std::rethrow_exception(error);
    } catch (const std::exception& e) {
        return QString::fromUtf8(e.what());
    } catch (...) {
        return QStringLiteral("An unexpected error occurred.");
    }
}

void showError(const QString& prefix, std::exception_ptr error, const QString& suffix) noexcept {
    ignoreErrors([&] { Services::messageBoxes().message(prefix + describe(error) + suffix); });
}

} // namespace platform
