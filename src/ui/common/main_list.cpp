#include "ui/common/main_list.h"

#include <QWidget>

#include "ui/common/window_registry.h"

namespace ui {

QWidget* mainWindow() {
    const WindowRegistry& registry = WindowRegistry::instance();
    for (int i = 0; i < registry.count(); ++i) {
        if (dynamic_cast<MainList*>(registry.at(i)) != nullptr)
            return registry.at(i);
    }
    return nullptr;
}

MainList* mainList() {
    return dynamic_cast<MainList*>(mainWindow());
}

} // namespace ui
