// An in-memory settings store that records reads and writes in order.
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
    void preset(const QString& section, const QString& key, const QString& value);
    /// Makes every later write throw platform::Error with `description` (empty: writes work).
    void failWrites(const QString& description) { m_writeFailure = description; }

    QString read(const QString& section, const QString& key, const QString& defaultValue) override;
    void write(const QString& section, const QString& key, const QString& value) override;

    /// The stored value, or nothing when the key is absent.
    std::optional<QString> value(const QString& section, const QString& key) const;
    /// Every write, in order, including those of equal values.
    const QList<SettingsWrite>& writes() const { return m_writes; }
    /// Every read as (section, key), in order.
    const QList<QPair<QString, QString>>& reads() const { return m_reads; }

private:
    QMap<QPair<QString, QString>, QString> m_values;
    QList<SettingsWrite> m_writes;
    QList<QPair<QString, QString>> m_reads;
    QString m_writeFailure;
};

} // namespace platform::fakes
