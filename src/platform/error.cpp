#include "platform/error.h"

namespace platform {

Error::Error(const QString& description) : std::runtime_error(description.toStdString()) {}

CancelledError::CancelledError() : Error(QStringLiteral("Cancel was selected.")) {}

} // namespace platform
