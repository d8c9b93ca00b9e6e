#include "support/fake_system.h"

#include "platform/error.h"

namespace platform::fakes {

std::optional<RegistryValue> FakeSystemRegistry::queryValue(RegistryRoot root,
                                                            const QString& keyName,
                                                            const QString& valueName) {
    const auto found = m_values.constFind(keyName + QLatin1Char('|') + valueName);
    if (root != RegistryRoot::LocalMachine || found == m_values.cend())
        return std::nullopt;
    return *found;
}

void FakeProgramLauncher::start(const QString& program) {
    if (program.isEmpty() || m_failing.contains(program))
        throw Error(QStringLiteral("Cannot start the program %1.").arg(program));
    m_started.append(program);
}

} // namespace platform::fakes
