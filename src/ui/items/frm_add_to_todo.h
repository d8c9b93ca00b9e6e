// The Add item dialog "Add to the To Do list": composes one new to-do item from a client or a
// project, a priority, a text and a deadline; Done stores it as a new record of the file in
// use and appends its row to the main window's list. Modeless, at most one; every opening
// starts afresh (priority "3", today's deadline, an empty text, the activity list hidden).
//
// Choices of this dialog:
// - The focus starts in the client list List1: a client is what every item needs first, and
//   typing a letter there finds it. Tab goes through the layout: the clients, the projects,
//   the deadline, the text, the priority.
// - Clients and projects are listed sorted alphabetically, ignoring letter case; equal names
//   keep their stored order. A row without a value is left out of each list.
// - With a client and a project both selected, the item belongs to the client: the record
//   stores the client, and the new row shows it.
// - Done reads the file in use (CurrentDatabasePath) and the main window's list as they are
//   when it runs, after any switch of file made while the dialog was open.
// - The record is stored before the row is appended: when the file cannot be written (gone,
//   locked, read-only, full disk), a message says so, no row is added, and the dialog stays
//   open with everything entered, so nothing is lost and Done can be tried again. A file whose
//   lists cannot be read when the dialog opens is reported the same way, and the dialog opens
//   with what it could read.
// - The text box takes at most 150 characters, what the file's field holds.
#pragma once

#include "ui/items/item_dialog.h"

class QListWidget;
class QLineEdit;

class frmAddToToDo final : public ui::ItemDialog {
    Q_OBJECT
public:
    /// Shows the dialog modeless: creates it (running Opening), or brings the open one forward
    /// with its contents.
    static frmAddToToDo* showWindow();

    ~frmAddToToDo() override;

    void Return() override;
    void Done() override;

    QLabel* Label1 = nullptr;
    QListWidget* List1 = nullptr;
    QLabel* Label4 = nullptr;
    QListWidget* List2 = nullptr;
    QLineEdit* Text1 = nullptr;
    /// The activity list, hidden until F3 in Text1.
    QListWidget* List3 = nullptr;

private:
    frmAddToToDo();
    void Form_Load();
};
