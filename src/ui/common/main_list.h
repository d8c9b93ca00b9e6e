// The main window's to-do list as the other windows reach it, without the main window's own
// header: the item dialogs append their row to it and make that the current row, the Edit item
// dialog removes the selected row, and the dialogs place themselves by the main window.
#pragma once

#include "db/todo_list.h"

class QWidget;

namespace ui {

/// Rows numbered from 1, columns 1 (priority) to 5 (deadline), as in db::ToDoList.
class MainList : public db::ToDoList {
public:
    /// The selected row's index, 0 when none is selected.
    virtual int selectedIndex() const = 0;
    /// Removes row `row`; an index that names no row removes nothing.
    virtual void removeRow(int row) = 0;
};

/// The loaded main window's list, or nullptr when the main window is not loaded.
MainList* mainList();

/// The loaded main window, or nullptr.
QWidget* mainWindow();

} // namespace ui
