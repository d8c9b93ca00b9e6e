// The toolbar pictures and the window icon. A toolbar button's picture is found by its key, as
// in an image list that stores each picture under the key of its button: the desktop's icon
// theme where it has a fitting picture, otherwise our own bundled one (resources/icons) or the
// widget style's, so that a machine without an icon theme still shows every button.
#pragma once

#include <QIcon>
#include <QString>

namespace ui {

/// The picture of the toolbar key `key`: one of the main window's ("newDatabase",
/// "openDatabase", "programFont", "printFont", "addItem", "editItem", "deleteItem", "print",
/// "help"), the dialogs' ("return", "done", "add", "delete", "print") or the browser's ("back",
/// "forward", "stop", "refresh", "home", "search"); no picture for another key.
QIcon toolbarIcon(const QString& key);

QIcon windowIcon();

} // namespace ui
