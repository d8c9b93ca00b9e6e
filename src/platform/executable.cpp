#include "executable.h"

#include <QCoreApplication>
#include <QFileInfo>

namespace platform {

QString executableFilePath() {
    if (QCoreApplication::instance() != nullptr)
        return QCoreApplication::applicationFilePath();
    return QFileInfo(QStringLiteral("/proc/self/exe")).canonicalFilePath();
}

QString executableBaseName() {
    return QFileInfo(executableFilePath()).completeBaseName();
}

} // namespace platform
