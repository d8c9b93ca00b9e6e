// An in-memory settings store that records writes in order.
#pragma once

#include "platform/settings_store.h"

#include <QList>
#include <QMap>
#include <QPair>
#include <optional>

namespace platform::fakes {

struct SettingsWrite {
    QString section;
    QString key;
    QString value;

    friend bool operator==(const SettingsWrite&, const SettingsWrite&) = default;
};

class FakeSettingsStore final : public SettingsStore {
public:
    /// Presets a value without recording a write, as if stored by an earlier run.
    void preset(const QString& section, const QString& key, const QString& value) {
        m_values.insert({section, key}, value);
    }

    QString read(const QString& section, const QString& key, const QString& fallback) override {
        return m_values.value({section, key}, fallback);
    }
    void write(const QString& section, const QString& key, const QString& value) override {
        m_writes.append({section, key, value});
        m_values.insert({section, key}, value);
    }

    /// The stored value, or nothing when the key is absent.
    std::optional<QString> value(const QString& section, const QString& key) const {
        const auto it = m_values.constFind({section, key});
        return it == m_values.constEnd() ? std::nullopt : std::optional(*it);
    }
    /// Every write, in order, including those of equal values.
    const QList<SettingsWrite>& writes() const { return m_writes; }

private:
    QMap<QPair<QString, QString>, QString> m_values;
    QList<SettingsWrite> m_writes;
};

} // namespace platform::fakes
