// The Edit item dialog "Edit To Do Item": changes the priority, the text and the deadline of one
// item of the session's list, the one it was made for. Modal; Done replaces the item's stored
// record and the item, which goes to the end of the list.
//
// The client-or-project box shows the item's client or project and cannot be changed: every
// change is undone at once. Enter there runs Done, Escape does nothing. The text box: Enter
// runs Done, Escape Return, F3 opens the activity list.
//
// Choices of this dialog:
// - The focus starts in the text box; Tab goes through the layout: the priority, the client or
//   project, the deadline, the text.
// - An item whose priority is not one of "1" to "5" opens with no priority button selected
//   (an empty priority opens with "3"); unless the user picks one, Done keeps the priority as
//   it was.
// - An item without a deadline opens with the picker showing "(no date)"; unless the user picks
//   a date, Done keeps it without one.
// - The start date is kept exactly as it was, value and form.
// - An item whose client or project is empty is stored as such items are always stored: with
//   the empty text as its project.
// - The replacement is one transaction: the old record is deleted and the new one added
//   together, or neither. When the file cannot be written (gone, locked, read-only, full disk),
//   a message says so, the list is not changed and the dialog stays open with everything
//   entered, so that Done can be tried again or Return chosen. A file whose activities cannot
//   be read when the dialog opens is reported the same way, and the dialog opens all the same.
// - The text box takes at most 150 characters, what the file's field holds, or the item's own
//   text when that is longer (a file made elsewhere, with a wider field): the whole text is
//   shown and Done stores exactly what the box holds.
#pragma once

#include "db/todo_item.h"
#include "ui/items/item_dialog.h"

class QListWidget;
class QLineEdit;

namespace ui {

class EditItemDialog final : public ItemDialog {
    Q_OBJECT
public:
    /// Shows the dialog for the item at `row` (from 0) of the session's items, modal over the
    /// main window, and returns when it has closed.
    static void showWindow(app::Session& session, int row);

    ~EditItemDialog() override;

private:
    EditItemDialog(app::Session& session, int row);
    void load();
    void discard() override;
    void storeItem() override;
    /// Puts the item's client or project back whenever the box's text changes.
    void keepParty();

    const int m_row;
    /// The item as it was when the dialog opened.
    const db::ToDoItem m_item;
    QLineEdit* m_partyBox = nullptr;
    QLineEdit* m_textBox = nullptr;
    QListWidget* m_activityList = nullptr;
};

} // namespace ui
