// The toolbar pictures and the window icon. A toolbar button's picture is found by its key, as
// in an image list that stores each picture under the key of its button: the desktop's icon
// theme where it has a fitting picture, otherwise our own bundled one (resources/icons) or the
// widget style's, so that a machine without an icon theme still shows every button.
#pragma once

#include <QIcon>
#include <QString>

namespace ui {

/// The picture of the toolbar key `key`, one of the main window's ("New", "Open", "Small Caps",
/// "Spell Check", "View Details", "Properties", "Delete", "Print", "Help"), the browser's
/// ("Back", "Forward", "Stop", "Refresh", "Home", "Search") or the reference-list dialogs' Add
/// button ("Redo"); no picture for another key.
QIcon toolbarIcon(const QString& key);

QIcon windowIcon();

} // namespace ui
