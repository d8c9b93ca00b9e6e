#include "ui/common/commands.h"

namespace ui {

QToolBar* makeToolbar(QWidget& parent, const QString& name, bool withTexts) {
    auto* toolbar = new QToolBar(&parent);
    toolbar->setObjectName(name);
    toolbar->setMovable(false);
    toolbar->setFloatable(false);
    toolbar->setIconSize(QSize(20, 20));
    toolbar->setToolButtonStyle(withTexts ? Qt::ToolButtonTextBesideIcon : Qt::ToolButtonIconOnly);
    return toolbar;
}

} // namespace ui
