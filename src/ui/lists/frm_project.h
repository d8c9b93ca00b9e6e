// The Projects dialog: project names, which may not contain ", ", the mark of a client name
// (ui/lists/reference_list_dialog.h).
#pragma once

#include "ui/lists/reference_list_dialog.h"

class frmProject final : public ui::ReferenceListDialog {
    Q_OBJECT
public:
    /// Shows the dialog modal over the main window until it closes; an open one is brought
    /// forward. Throws when Opening fails (the database cannot be read).
    static void showWindow();

    /// Builds the dialog and runs Opening; the program opens it through showWindow().
    explicit frmProject(QWidget* parent = nullptr);
};
