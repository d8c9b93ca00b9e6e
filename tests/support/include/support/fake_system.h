// Fakes of the system registry and the program launcher.
#pragma once

#include "platform/error.h"
#include "platform/program_launcher.h"
#include "platform/system_registry.h"

#include <QHash>
#include <QStringList>

namespace platform::fakes {

/// Values of the local machine's registry, set by the test.
class FakeSystemRegistry final : public SystemRegistry {
public:
    /// A string value (key path with '\' separators) as the registry returns it: the text
    /// followed by one NUL.
    void setString(const QString& keyName, const QString& valueName, const QString& text) {
        m_values.insert(keyName + QLatin1Char('|') + valueName,
                        {RegistryType::String, text.toLocal8Bit().append('\0')});
    }

    std::optional<RegistryValue> queryValue(RegistryRoot root, const QString& keyName,
                                            const QString& valueName) override {
        const auto found = m_values.constFind(keyName + QLatin1Char('|') + valueName);
        if (root != RegistryRoot::LocalMachine || found == m_values.cend())
            return std::nullopt;
        return *found;
    }

private:
    QHash<QString, RegistryValue> m_values;
};

/// Records the programs started; an empty name fails to start.
class FakeProgramLauncher final : public ProgramLauncher {
public:
    void start(const QString& program) override {
        if (program.isEmpty())
            throw Error(QStringLiteral("Cannot start the program %1.").arg(program));
        m_started.append(program);
    }
    /// Every program started successfully, in order.
    const QStringList& started() const { return m_started; }

private:
    QStringList m_started;
};

} // namespace platform::fakes
