// The main window's toolbar pictures and window icon: the desktop's icon theme where it has a
// fitting picture, otherwise our own bundled ones (resources/icons), so that a machine without
// an icon theme still shows every button.
#pragma once

#include <QHash>
#include <QIcon>
#include <QString>

namespace ui {

/// One picture per toolbar button key ("New", "Open", "Small Caps", "Spell Check",
/// "View Details", "Properties", "Delete", "Print", "Help").
QHash<QString, QIcon> toolbarIcons();

/// The bundled picture for `key` alone, without the theme.
QIcon bundledToolbarIcon(const QString& key);

QIcon windowIcon();

} // namespace ui
