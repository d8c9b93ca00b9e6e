// The Clients, Activities and Projects dialogs: the one reference-list dialog
// (ui/lists/reference_list_dialog.h) in the configuration of each list.
#pragma once

#include "ui/lists/reference_list_dialog.h"

namespace ui {

/// "Clients": clients stored as last name, ", ", first name, typed in two boxes.
class ClientListDialog final : public ReferenceListDialog {
    Q_OBJECT
public:
    /// Shows the dialog modal over the main window until it closes; an open one is brought
    /// forward. Throws when its opening fails (the file cannot be read).
    static void showWindow(app::Session& session);
    /// Builds the dialog and runs its opening; the program opens it through showWindow().
    explicit ClientListDialog(app::Session& session, QWidget* parent = nullptr);
};

/// "Activities": the activity phrases; Done hands them to the open item dialogs.
class ActivityListDialog final : public ReferenceListDialog {
    Q_OBJECT
public:
    static void showWindow(app::Session& session);
    explicit ActivityListDialog(app::Session& session, QWidget* parent = nullptr);
};

/// "Projects": names without ", ", which would make them clients' names.
class ProjectListDialog final : public ReferenceListDialog {
    Q_OBJECT
public:
    static void showWindow(app::Session& session);
    explicit ProjectListDialog(app::Session& session, QWidget* parent = nullptr);
};

} // namespace ui
