// The Add item dialog "Add to the To Do list": composes one new to-do item from a client or a
// project, a priority, a text and a deadline; Done stores it as a new record of the file in
// use and adds it after the session's items. Modeless, at most one; every opening starts
// afresh (priority "3", today's deadline, an empty text, the activity list hidden).
//
// Choices of this dialog:
// - The focus starts in the client list: a client is what every item needs first, and typing a
//   letter there finds it. Tab goes through the layout: the clients, the projects, the
//   deadline, the text, the priority.
// - Clients and projects are listed sorted alphabetically, ignoring letter case; equal names
//   keep their stored order. A row without a value is left out of each list.
// - With a client and a project both selected, the item belongs to the client: the record
//   stores the client, and the list shows it.
// - Done writes to the file in use and adds to the session's items as they are when it runs,
//   after any switch of file made while the dialog was open.
// - The record is stored before the item is added to the list: when the file cannot be written
//   (gone, locked, read-only, full disk), a message says so, nothing is added, and the dialog
//   stays open with everything entered, so nothing is lost and Done can be tried again. A file
//   whose lists cannot be read when the dialog opens is reported the same way, and the dialog
//   opens with what it could read.
// - The text box takes at most 150 characters, what the file's field holds.
#pragma once

#include "ui/items/item_dialog.h"

class QListWidget;
class QLineEdit;

namespace ui {

class AddItemDialog final : public ItemDialog {
    Q_OBJECT
public:
    /// Shows the dialog modeless: creates it (reading the file's lists), or brings the open one
    /// forward with its contents.
    static AddItemDialog* showWindow(app::Session& session);

    ~AddItemDialog() override;

private:
    explicit AddItemDialog(app::Session& session);
    void load();
    void discard() override;
    void storeItem() override;

    QListWidget* m_clientList = nullptr;
    QListWidget* m_projectList = nullptr;
    QLineEdit* m_textBox = nullptr;
    QListWidget* m_activityList = nullptr;
};

} // namespace ui
