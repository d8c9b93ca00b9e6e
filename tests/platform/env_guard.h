// Sets environment variables for one test and puts the old values back afterwards.
#pragma once

#include <QByteArray>
#include <QList>
#include <QPair>
#include <QtGlobal>
#include <optional>

class EnvGuard {
public:
    EnvGuard() = default;
    EnvGuard(const EnvGuard&) = delete;
    EnvGuard& operator=(const EnvGuard&) = delete;
    ~EnvGuard() {
        for (auto it = m_saved.crbegin(); it != m_saved.crend(); ++it) {
            if (it->second)
                qputenv(it->first.constData(), *it->second);
            else
                qunsetenv(it->first.constData());
        }
    }

    /// Sets `name` to `value`; an empty `value` unsets it.
    void set(const char* name, const QByteArray& value) {
        std::optional<QByteArray> old;
        if (qEnvironmentVariableIsSet(name))
            old = qgetenv(name);
        m_saved.append({QByteArray(name), old});
        if (value.isEmpty())
            qunsetenv(name);
        else
            qputenv(name, value);
    }

private:
    QList<QPair<QByteArray, std::optional<QByteArray>>> m_saved;
};
