// The settings routines with logic of their own: the recently-used list and window positions.
// None installs an error trap; errors reach the caller. Sections and keys: app/settings_keys.h.
#pragma once

#include <QString>

class QWidget;

namespace app {

/// Enters `path` at the front of the recently-used list unless one of the slots "First" to
/// "Fifth" already holds it (exact, case-sensitive), shifting older entries down only as far as
/// the first empty slot; slots behind it are not touched. With all five filled, the old "Fifth"
/// moves to "Sixth", which is never read here.
void UpdateRecentDatabases(QString& path);

/// Stores the window's outer left, top, width and height in twips under section
/// "FormPosition", key `tag` (the window's name in the settings: "frmToDo" for the main
/// window, as settings files have always named it), as shortest decimal texts joined by ", "
/// ("1200, 900, 9600, 7200"), whatever its state.
void SaveFormPosition(QWidget& window, const QString& tag);

/// Applies the position stored under `tag` to a window in the normal state; minimised, maximised
/// and full-screen windows are left alone. A left or top edge below 0 or beyond the primary
/// screen's width or height is put at half that width or height; width and height are applied
/// as stored. With no stored value, or one that is not four comma-separated numbers (edited by
/// hand or damaged), the window gets half the screen's width and height, centred, whatever its
/// state.
void RestoreFormPosition(QWidget& window, const QString& tag);

} // namespace app
