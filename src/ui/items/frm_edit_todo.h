// The Edit item dialog "Edit To Do Item": changes the priority, the text and the deadline of the
// item selected in the main window. The Edit command fills the edit inputs (app::editInputs())
// from the selected row and shows the dialog modal; Done replaces the item's stored record and
// its row; the dialog clears the inputs whenever it ends, whichever way.
//
// Text1 shows the item's client or project and cannot be changed: every change is undone at
// once. Enter there runs Done, Escape does nothing. Text2 holds the text: Enter runs Done,
// Escape Return, F3 opens the activity list.
//
// Choices of this dialog:
// - The focus starts in Text2, the item's text; Tab goes through the layout: the priority,
//   Text1, the deadline, Text2.
// - An item whose priority is not one of "1" to "5" opens with no priority button selected
//   (an empty priority opens with "3"); unless the user picks one, Done keeps the priority as
//   it was.
// - An item without a deadline opens with the picker showing "(no date)"; unless the user picks
//   a date, Done keeps it without one.
// - The start date is stored as the value the row kept beside its text, so it comes back
//   exactly, whatever the locale.
// - An item whose client and project are both empty (a row with an empty column 2) is stored
//   as such rows are always stored: with the empty text as its project.
// - The replacement is one transaction: the old record is deleted and the new one added
//   together, or neither. When the file cannot be written (gone, locked, read-only, full disk),
//   a message says so, the list is not changed and the dialog stays open with everything
//   entered, so that Done can be tried again or Return chosen. A file whose activities cannot
//   be read when the dialog opens is reported the same way, and the dialog opens all the same.
// - The text box takes at most 150 characters, what the file's field holds, or the item's own
//   text when that is longer (a file made elsewhere, with a wider field): the whole text is
//   shown and Done stores exactly what the box holds.
#pragma once

#include "ui/items/item_dialog.h"

class QListWidget;
class QLineEdit;

class frmEditToDo final : public ui::ItemDialog {
    Q_OBJECT
public:
    /// Shows the dialog modal over the main window and returns when it has closed.
    static void showWindow();

    ~frmEditToDo() override;

    void Return() override;
    void Done() override;

    QLabel* Label1 = nullptr;
    QLineEdit* Text1 = nullptr;
    QLineEdit* Text2 = nullptr;
    /// The activity list, hidden until F3 in Text2.
    QListWidget* List1 = nullptr;

private:
    frmEditToDo();
    void Form_Load();
    void Text1_Change();
    /// The client input when it is not empty, otherwise the project input.
    QString clientOrProject() const;
};
