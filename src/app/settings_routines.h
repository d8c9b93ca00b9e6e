// The settings routines with logic of their own: the recently-used list and window positions.
// None installs an error trap; errors reach the caller.
#pragma once

#include <QString>

class QWidget;

namespace app {

/// Enters `path` at the front of the recently-used list unless one of the slots "First" to
/// "Fifth" already holds it, shifting older entries down only as far as the first empty slot.
void UpdateRecentDatabases(QString& path);

/// Stores the window's outer left, top, width and height in twips under section
/// "FormPosition", key = the window's tag (its objectName(), "frmToDo" for the main window).
void SaveFormPosition(QWidget& window);

/// Applies the stored position (or half the screen, centred, when there is none) to a window
/// in the normal state; minimised and maximised windows are left alone.
void RestoreFormPosition(QWidget& window);

} // namespace app
