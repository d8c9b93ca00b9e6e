// Facts about the running executable.
#pragma once

#include <QString>

namespace platform {

/// Absolute path of the running executable, with symbolic links resolved. Works with or
/// without a QCoreApplication.
QString executableFilePath();

/// The executable's file name without its extension ("tarnwick").
QString executableBaseName();

} // namespace platform
