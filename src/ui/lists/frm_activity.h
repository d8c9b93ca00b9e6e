// The Activities dialog: the activity phrases offered when a to-do text is written. Its Done also
// refreshes the activity list of each open item dialog (ui/lists/reference_list_dialog.h).
#pragma once

#include "ui/lists/reference_list_dialog.h"

class frmActivity final : public ui::ReferenceListDialog {
    Q_OBJECT
public:
    /// Shows the dialog modal over the main window until it closes; an open one is brought
    /// forward. Throws when Opening fails (the database cannot be read).
    static void showWindow();

    /// Builds the dialog and runs Opening; the program opens it through showWindow().
    explicit frmActivity(QWidget* parent = nullptr);
};
