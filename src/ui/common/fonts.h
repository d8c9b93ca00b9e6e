// Fonts given by name and size as text, as the program font and the print font are kept
// (app::FontSetting).
#pragma once

#include <QFont>
#include <QString>

#include <initializer_list>

#include "app/font_commands.h"

class QWidget;

namespace ui {

/// `font` with the family `name` and the size `size` in points, read as
/// app::PointsFromSizeText reads it ("10.5", "10,5"); a size that is not a positive number
/// leaves font's size. The name is taken as it stands: where no installed font carries it
/// ("Ariel"), the desktop's font matching chooses the face shown.
QFont fontWith(QFont font, const QString& name, const QString& size);

/// Gives each of `controls` the program font `font`.
void applyProgramFont(const app::FontSetting& font, std::initializer_list<QWidget*> controls);

} // namespace ui
