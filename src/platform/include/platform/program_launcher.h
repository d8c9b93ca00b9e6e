// Starting another program, which then runs on its own.
#pragma once

#include <QString>

namespace platform {

class ProgramLauncher {
public:
    virtual ~ProgramLauncher() = default;

    /// Starts the program file `program` with no arguments, detached: it keeps running after
    /// this program ends. Returns once it has started. Throws Error, naming the program and
    /// the reason, when it cannot be started (no such file, not executable).
    virtual void start(const QString& program) = 0;
};

/// QProcess::startDetached, in this program's working folder and environment.
class QtProgramLauncher final : public ProgramLauncher {
public:
    void start(const QString& program) override;
};

} // namespace platform
