#include "support/fake_settings_store.h"

#include "platform/error.h"

namespace platform::fakes {

void FakeSettingsStore::preset(const QString& section, const QString& key, const QString& value) {
    m_values.insert({section, key}, value);
}

QString FakeSettingsStore::read(const QString& section, const QString& key,
                                const QString& defaultValue) {
    m_reads.append({section, key});
    return m_values.value({section, key}, defaultValue);
}

void FakeSettingsStore::write(const QString& section, const QString& key, const QString& value) {
    if (!m_writeFailure.isEmpty())
        throw Error(m_writeFailure);
    m_writes.append({section, key, value});
    m_values.insert({section, key}, value);
}

std::optional<QString> FakeSettingsStore::value(const QString& section, const QString& key) const {
    const auto it = m_values.constFind({section, key});
    if (it == m_values.constEnd())
        return std::nullopt;
    return *it;
}

} // namespace platform::fakes
