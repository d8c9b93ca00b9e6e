#include "ui/common/fonts.h"

#include <QWidget>

namespace ui {

QFont fontWith(QFont font, const QString& name, const QString& size) {
    font.setFamily(name);
    if (const std::optional<double> points = app::PointsFromSizeText(size))
        font.setPointSizeF(*points);
    return font;
}

void applyProgramFont(const app::FontSetting& font, std::initializer_list<QWidget*> controls) {
    for (QWidget* control : controls)
        control->setFont(fontWith(control->font(), font.name, font.size));
}

} // namespace ui
