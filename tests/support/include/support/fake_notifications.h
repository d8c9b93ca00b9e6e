// A fake of the desktop's notification service.
#pragma once

#include "platform/notifications.h"

#include <QList>

namespace platform::fakes {

/// Records every notification asked for. It shows them unless told the desktop has no
/// notification service (setAvailable(false)), in which case notify() returns false.
class FakeNotifications final : public Notifications {
public:
    struct Notice {
        QString summary;
        QString body;
        friend bool operator==(const Notice&, const Notice&) = default;
    };

    void setAvailable(bool available) { m_available = available; }

    bool notify(const QString& summary, const QString& body) override {
        m_asked.append({summary, body});
        return m_available;
    }
    /// Every notification asked for, shown or not, in order.
    const QList<Notice>& asked() const { return m_asked; }

private:
    bool m_available = true;
    QList<Notice> m_asked;
};

} // namespace platform::fakes
