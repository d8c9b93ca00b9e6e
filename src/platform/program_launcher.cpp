#include "platform/program_launcher.h"

#include "platform/error.h"

#include <QProcess>

namespace platform {

void QtProgramLauncher::start(const QString& program) {
    if (program.isEmpty())
        throw Error(QStringLiteral("No program was named to start."));
    QProcess process;
    process.setProgram(program);
    if (!process.startDetached())
        throw Error(
            QStringLiteral("Cannot start the program %1: %2.").arg(program, process.errorString()));
}

} // namespace platform
