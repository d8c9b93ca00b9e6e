#include "ui/common/fonts.h"

#include <QLocale>
#include <QWidget>

#include "app/globals.h"

namespace ui {

QFont fontWith(QFont font, const QString& name, const QString& size) {
    font.setFamily(name);
    bool ok = false;
    double points = QLocale().toDouble(size.trimmed(), &ok);
    if (!ok)
        points = QLocale::c().toDouble(size.trimmed(), &ok);
    if (ok && points > 0)
        font.setPointSizeF(points);
    return font;
}

void applyProgramFont(std::initializer_list<QWidget*> controls) {
    for (QWidget* control : controls)
        control->setFont(fontWith(control->font(), app::ProgramFontName, app::ProgramFontSize));
}

} // namespace ui
