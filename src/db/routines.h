// The program's database routines over the engine. Each opens the file when it starts and
// closes it before it returns, on every path. They show nothing: each returns its result or
// throws an exception whose what() describes the failure, and the caller (a window, the
// start-up, the command line) decides what the user is told.
#pragma once

#include <QString>
#include <QStringList>

#include <vector>

#include "db/todo_item.h"

namespace db {

/// The reference tables' names, each list in stored order.
struct ReferenceLists {
    QStringList clients;
    QStringList activities;
    QStringList projects;
    friend bool operator==(const ReferenceLists&, const ReferenceLists&) = default;
};

/// Whether the file at `path` is a database of the program: it opens (for reading) and holds
/// the four tables: "Clients", "Activities", "Projects" and "[Things To Do]" are opened and
/// closed in that order. Their fields are not examined. Not valid either: a file carrying a
/// database password (the program opens files with an empty one, which such a file refuses) and a
/// file another program holds locked (after the engine's usual wait of up to three seconds).
bool IsValidDatabase(const QString& path);

/// Creates the database at `path` with its four tables and default lists. Throws on failure.
/// Never deletes or overwrites a file: an existing file at `path` is a failure. The blank file
/// is written under a temporary name and renamed; the tables and lists are then one transaction,
/// so a later failure leaves a blank database (no tables), which IsValidDatabase rejects.
void CreateNewDatabase(const QString& path);

/// The clients and projects of "Clients" and "Projects" in stored order (no activities). Throws
/// on failure; a client or project without a value (null) is a failure.
ReferenceLists LoadReferenceLists(const QString& path);

/// The reference tables as they are stored, for the item dialogs: "Activities" always, and
/// "Clients" and "Projects" when `withClientsAndProjects`; each in stored order, a row without
/// a value left out. Throws on failure; the file is opened for reading only.
ReferenceLists ReadReferenceTables(const QString& path, bool withClientsAndProjects);

/// Every record of "Things To Do" as an item, in stored order. Throws on failure.
///
/// The party is "TTD Client", replaced by "TTD Project" when the record has both; no value is
/// the empty name. A priority without a value is the empty text (the next rewrite stores it as
/// such) rather than a failure of the whole load. Dates keep their stored values, shown in the
/// user's short date form; a date field holding something else (a file made elsewhere) gives the
/// date its text reads as, or none. The file is opened for reading only. The fields are
/// required only when there is a record: an empty table loads whatever its fields are; with
/// records, a missing field fails the load.
std::vector<ToDoItem> LoadToDoItems(const QString& path);

/// Replaces every record of "Things To Do" by `items`, in order, as one transaction: on failure
/// the table is left as it was. Throws on failure.
///
/// Each item's party goes to "TTD Client" or "TTD Project" by its kind (ToDoItem::partyKind),
/// the empty name as a project; the other field stays null. A date without a value stays null.
/// Texts longer than their field (4 characters for the priority, 150 for the others in a file
/// of ours) fail the rewrite. An empty list reads no field, so a table of other fields is
/// emptied without complaint, as an empty table of other fields loads.
void RewriteToDoItems(const QString& path, const std::vector<ToDoItem>& items);

/// Adds `item` as a new record at the end of "Things To Do", as one transaction, its party in
/// the field `kind` names (the item dialog's choice of list). Throws on failure, the table left
/// as it was.
void AddToDoItem(const QString& path, const ToDoItem& item, PartyKind kind);

/// Replaces the stored record of `old` by `replacement`, as one transaction: deletes the first
/// record, in stored order, whose "TTD Client" has a value equal to `old`'s party when that is
/// a client's (empty otherwise), or whose "TTD Project" has a value equal to it when it is a
/// project's (empty otherwise), and whose "TTD Priority" and "ThingToDo" equal `old`'s priority
/// and text; then adds `replacement` at the end. Comparisons are exact. A priority or text
/// without a value counts as the empty text, as the list shows it. When no record matches, the
/// replacement is added all the same. Returns whether a record was deleted. Throws on failure,
/// the table left as it was.
bool ReplaceToDoItem(const QString& path, const ToDoItem& old, const ToDoItem& replacement);

/// Adds `items` after the records of "Things To Do", in order, as one transaction: on failure
/// the table is left as it was. Throws on failure; fields as RewriteToDoItems sets them.
void AppendToDoItems(const QString& path, const std::vector<ToDoItem>& items);

} // namespace db
