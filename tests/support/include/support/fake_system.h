// Fakes of the system registry and the program launcher.
#pragma once

#include "platform/error.h"
#include "platform/program_launcher.h"
#include "platform/system_registry.h"

#include <QHash>
#include <QSet>
#include <QStringList>

namespace platform::fakes {

/// Values of the local machine's registry, set by the test.
class FakeSystemRegistry final : public SystemRegistry {
public:
    /// Sets value `valueName` of key `keyName` (key path with '\' separators).
    void set(const QString& keyName, const QString& valueName, const RegistryValue& value) {
        m_values.insert(keyName + QLatin1Char('|') + valueName, value);
    }
    /// A string value as the registry returns it: the text followed by one NUL.
    void setString(const QString& keyName, const QString& valueName, const QString& text) {
        set(keyName, valueName, {RegistryType::String, text.toLocal8Bit().append('\0')});
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

/// Records the programs started; programs named in failOn() fail to start.
class FakeProgramLauncher final : public ProgramLauncher {
public:
    void failOn(const QString& program) { m_failing.insert(program); }
    void start(const QString& program) override {
        if (program.isEmpty() || m_failing.contains(program))
            throw Error(QStringLiteral("Cannot start the program %1.").arg(program));
        m_started.append(program);
    }
    /// Every program started successfully, in order.
    const QStringList& started() const { return m_started; }

private:
    QSet<QString> m_failing;
    QStringList m_started;
};

} // namespace platform::fakes
