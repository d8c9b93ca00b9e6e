// Accessible names and descriptions for a window's controls, given once for every window by the
// single-window helpers (ui/common/single_window.h) as the window is made.
//
// A control is interactive when it can take the keyboard focus or is a button; the parts of a
// control (a list's scroll bars, a date box's text field) are the control's own business. Each
// interactive control without an accessible name of its own is named, in this order, after:
// - a toolbar button's tooltip (an icon-only button shows no text of its own);
// - a button's own caption;
// - the label whose buddy it is ("Client:" names the client list "Client");
// - the title of the frame it sits in ("Add first name");
// - its tooltip.
// Access-key ampersands and a closing colon are left out of the name. A control with a tooltip
// and no accessible description of its own is described by the tooltip, unless that is its name.
#pragma once

#include <QString>

class QWidget;

namespace ui {

/// Names and describes the interactive controls of `window` (see above); controls that are
/// windows of their own (dialogs, menus) are left to themselves.
void nameControls(QWidget& window);

/// Whether `control` counts as interactive (see above).
bool isInteractive(const QWidget& control);

} // namespace ui
