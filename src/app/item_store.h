// The to-do items of the file in use, in list order: the one copy of them while the program
// runs. The main list presents them; the item dialogs, Delete, the drag-to-swap gesture,
// sorting, printing and Exit work on them here.
//
// List order is the order the items are shown in and written back to the file in: sorting
// reorders the items themselves, so a sorted list is stored sorted. Items have no key; they
// are addressed by position (row 0 is the first).
//
// The store and its file: the items are "loaded" when they are those of the file in use. A
// load that fails leaves the store empty and not loaded, and a store that is not loaded is
// never written to the file (store() refuses), so items that were never read are never
// replaced by an empty list. Making the store stand for a new, empty file marks it loaded.
//
// Every change is announced before and after it is made, so that a view can follow it.
#pragma once

#include <QObject>
#include <QString>

#include <vector>

#include "db/todo_item.h"

namespace app {

class ItemStore final : public QObject {
    Q_OBJECT
public:
    explicit ItemStore(QObject* parent = nullptr);

    int size() const { return static_cast<int>(m_items.size()); }
    const db::ToDoItem& at(int row) const { return m_items.at(static_cast<std::size_t>(row)); }
    const std::vector<db::ToDoItem>& items() const { return m_items; }

    bool loaded() const { return m_loaded; }

    /// Replaces the items by those of the file at `path` (db::LoadToDoItems) and marks them
    /// loaded. On failure the store is left empty and not loaded, and the error is thrown:
    /// part of a file's items would pass for all of them.
    void load(const QString& path);
    /// Empties the store; `standsForFile` tells whether the empty list is the file's (a new,
    /// empty file) or not (its items could not be read).
    void clear(bool standsForFile);
    /// Writes the items to the file at `path` (db::RewriteToDoItems). A store that is not
    /// loaded throws instead, naming `path`.
    void store(const QString& path) const;

    /// Adds `item` after the last row.
    void append(db::ToDoItem item);
    /// Removes row `row`; a row that is not there removes nothing.
    void remove(int row);
    /// The drag-to-swap gesture: rows `a` and `b` exchange their party, text and dates and
    /// keep their priorities, so the two items trade priorities. Rows that are not there, or
    /// one row with itself, exchange nothing.
    void exchangeAllButPriority(int a, int b);
    /// Reorders the items by the text `column` shows (db::itemText), compared character by
    /// character ignoring letter case, so "10/2/2026" comes before "9/30/2026". Stable: items
    /// with equal texts keep their order.
    void sort(db::Column column, bool descending);

signals:
    void aboutToReset();
    void reset();
    void aboutToInsert(int row);
    void inserted(int row);
    void aboutToRemove(int row);
    void removed(int row);
    void changed(int row);
    void aboutToReorder();
    /// `newRowOf[old]` is the row the item at row `old` is at now.
    void reordered(const std::vector<int>& newRowOf);

private:
    void replaceAll(std::vector<db::ToDoItem> items, bool loaded);

    std::vector<db::ToDoItem> m_items;
    bool m_loaded = false;
};

} // namespace app
