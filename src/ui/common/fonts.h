// Fonts given by name and size as text, as the program font and the print font are kept
// (app/globals.h).
#pragma once

#include <QFont>
#include <QString>

#include <initializer_list>

class QWidget;

namespace ui {

/// `font` with the family `name` and the size `size` in points, written in the user's locale
/// or the C form ("10.5", "10,5"); a size that is not a positive number leaves font's size.
QFont fontWith(QFont font, const QString& name, const QString& size);

/// Gives each of `controls` the program font (ProgramFontName, ProgramFontSize).
void applyProgramFont(std::initializer_list<QWidget*> controls);

} // namespace ui
