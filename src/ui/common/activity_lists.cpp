#include "ui/common/activity_lists.h"

#include <QPointer>
#include <QWidget>

#include "ui/common/window_registry.h"

namespace ui {

void replaceActivityLists(const QStringList& entries) {
    WindowRegistry& registry = WindowRegistry::instance();
    QList<QPointer<QWidget>> windows;
    for (int i = 0; i < registry.count(); ++i)
        windows.append(registry.at(i));
    for (const QPointer<QWidget>& window : windows) {
        if (auto* owner = dynamic_cast<ActivityListOwner*>(window.data()))
            owner->replaceActivityList(entries);
    }
}

} // namespace ui
