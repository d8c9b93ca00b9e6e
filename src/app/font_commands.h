// The program font and the print font: how their sizes are written and read as text, and the
// two commands that choose them in the font dialog (File > Fonts).
//
// A size is kept as text: the size as a single-precision number in its shortest form (up to
// seven significant digits), with the decimal separator of the user's locale and no group
// separator: 12 is "12", 10.5 is "10.5" (or "10,5" where the locale writes a decimal comma).
// Since the program may run under another locale later, a size text is read in the user's
// locale, then in the C form, then with a decimal comma in place of the point ("10,5" under an
// English locale), so a size written under any of them reads back the same.
#pragma once

#include <QString>

#include <optional>

namespace app {

class Session;

/// A font as the settings keep it: the family, and the size in points as text (see above).
struct FontSetting {
    QString name;
    QString size;
    friend bool operator==(const FontSetting&, const FontSetting&) = default;
};

/// The text a font size in points is kept as (see above).
QString FontSizeText(double points);

/// The points a size text stands for (blanks around it ignored), or nothing when it is not a
/// positive finite number.
std::optional<double> PointsFromSizeText(const QString& text);

/// The Print Font command up to its settings: shows the font dialog; on a choice, makes it the
/// session's print font, then writes it to the settings ("Default Print Font Name" first, then
/// "Default Print Font Size"). Throws platform::CancelledError on cancel, with nothing changed;
/// a failing settings write throws with the session's font already changed.
void ChoosePrintFont(Session& session);

/// The Program Font command, as ChoosePrintFont does for the program font ("Default Font Name",
/// then "Default Font Size"). Once the settings are written the session announces the new font
/// (the main list takes it at once; other windows take it when they are next made); when
/// writing them fails, nothing is announced.
void ChooseProgramFont(Session& session);

} // namespace app
