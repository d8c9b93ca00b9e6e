#include "ui/common/fonts.h"

#include <QWidget>

#include "app/font_commands.h"
#include "app/globals.h"

namespace ui {

QFont fontWith(QFont font, const QString& name, const QString& size) {
    font.setFamily(name);
    if (const std::optional<double> points = app::PointsFromSizeText(size))
        font.setPointSizeF(*points);
    return font;
}

void applyProgramFont(std::initializer_list<QWidget*> controls) {
    for (QWidget* control : controls)
        control->setFont(fontWith(control->font(), app::ProgramFontName, app::ProgramFontSize));
}

} // namespace ui
