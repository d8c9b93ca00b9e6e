// The program's database routines over the engine. Each opens the file when it starts and
// closes it before it returns. Callers pass the module-wide CurrentDatabasePath.
//
// Messages go through platform::Services::messageBoxes() (OK only, title "Tarnwick").
#pragma once

#include <functional>
#include <optional>
#include <vector>

#include <QString>
#include <QStringList>

#include "db/file_hold.h"
#include "db/todo_list.h"

namespace db {

/// The in-memory copy of the reference tables, each in the order its entries were appended.
struct ReferenceLists {
    QStringList clients;
    QStringList activities;
    QStringList projects;
    friend bool operator==(const ReferenceLists&, const ReferenceLists&) = default;
};

/// One to-do item as a record of "Things To Do".
struct ToDoItem {
    /// Whether `name` is a client, stored in "TTD Client", or a project, stored in
    /// "TTD Project"; the other field stays null.
    bool ofClient = false;
    QString name;
    QString priority;
    QString thingToDo;
    /// The dates as stored values; nullopt stores no value.
    std::optional<double> startDate;
    std::optional<double> deadline;
};

/// What identifies the stored record of an item being edited: its client or its project (the
/// other one empty), its priority and its text, as its row shows them.
struct StoredItemKey {
    QString client;
    QString project;
    QString priority;
    QString thingToDo;
};

/// True when the file opens and holds the four tables; otherwise shows
/// path + " is not a valid Tarnwick database." and returns false.
///
/// The connection text is built for `path` and the file its data source names is opened for
/// reading; then "Clients", "Activities", "Projects" and "[Things To Do]" are opened and closed
/// in that order. Their fields are not examined. Also not valid: a file carrying a database
/// password (the program opens files with an empty one, which such a file refuses) and a file
/// another program holds locked.
bool IsValidDatabase(QString& path);

/// Creates the database at `path` with its tables and default lists; on success calls
/// `updateRecentDatabases` (when set) with a copy of the path. Reports failures by message:
/// "Error in creating a new Tarnwick: " + description. Never deletes or overwrites a file: an
/// existing file at `path` is a failure. A failure after the blank file was made leaves that
/// file (no tables, or all four when the recently-used update failed) and does not touch the
/// recently-used list.
///
/// Returns whether the database was created. The program's own callers go on either way and
/// may ignore it; the command-line tool uses it for its exit status.
bool CreateNewDatabase(const QString& path,
                       const std::function<void(QString&)>& updateRecentDatabases);

/// Refills the clients and projects from "Clients" and "Projects" and empties the activities.
/// Reports failures by message ("Error in populating initial lists: " + description).
///
/// The lists are cleared only once "Clients" is open, so a file that cannot be opened or has
/// no "Clients" table leaves all three as they were; a failure later leaves what was appended
/// before it. A client or project without a value (null) is such a failure.
void LoadReferenceLists(const QString& path, ReferenceLists& lists);

/// The reference tables as they are stored, for the item dialogs: "Activities" always, and
/// "Clients" and "Projects" when `withClientsAndProjects`; each in stored order, a row without
/// a value left out. Throws on failure; the file is opened for reading only.
ReferenceLists ReadReferenceTables(const QString& path, bool withClientsAndProjects);

/// Adds `item` as a new record at the end of "Things To Do", as one transaction. Throws on
/// failure, the table left as it was.
void AddToDoItem(const QString& path, const ToDoItem& item);

/// Replaces the stored record of an edited item by `replacement`, as one transaction: deletes
/// the first record, in stored order, whose "TTD Client" has a value equal to `old.client` or
/// whose "TTD Project" has a value equal to `old.project`, and whose "TTD Priority" and
/// "ThingToDo" equal `old.priority` and `old.thingToDo`; then adds `replacement` at the end.
/// Comparisons are exact. A priority or text without a value counts as the empty text, which is
/// how its row shows it. When no record matches, the replacement is added all the same.
/// Returns whether a record was deleted. Throws on failure, the table left as it was.
bool ReplaceToDoItem(const QString& path, const StoredItemKey& old, const ToDoItem& replacement);

/// Appends one row per record of "Things To Do", in stored order. Throws on failure.
///
/// Row texts: column 1 "TTD Priority"; column 2 "TTD Client", replaced by "TTD Project" when
/// the record has both; column 3 "ThingToDo"; columns 4 and 5 the dates as db::textFromDate
/// shows them, each date's stored value kept beside its text (ToDoList::setCurrentRowDate).
/// A null field leaves its cell empty. A record whose priority is null loads with
/// an empty priority rather than failing the whole load (the next rewrite stores it as the
/// empty text). The file is opened for reading only. The fields are required only when there
/// is a record: an empty table loads whatever its fields are; with records, a missing field
/// fails the load before any row is appended.
void LoadToDoItems(const QString& path, ToDoList& list);

/// Replaces every record of "Things To Do" by the list's rows, in list order, as one
/// transaction: on failure the table is left as it was. Throws on failure.
///
/// Column 2 goes to "TTD Client" when it contains ", " and to "TTD Project" otherwise (the
/// empty text included); the other field stays null. Columns 4 and 5 store the values the list
/// gives for them (ToDoList::cellDate); an empty text, or one that is not a date, stores no
/// value (null), so a row is never refused for its dates. Texts longer than their field (4
/// characters for the priority, 150 for the others) fail the rewrite, leaving the table as it was.
/// An empty list reads no field, so a table of other fields is emptied without complaint, as an
/// empty table of other fields loads.
void RewriteToDoItems(const QString& path, const ToDoList& list);

/// Adds `items` to "Things To Do" after its records, in order, as one transaction: on failure
/// the table is left as it was. Throws on failure. Texts longer than their field fail it, as in
/// RewriteToDoItems; a date without a value stays null.
void AppendToDoItems(const QString& path, const std::vector<ToDoItem>& items);

/// Takes the hold on the file at `path` (db/file_hold.h) into `hold`, which the program keeps
/// while the file is in use. When another Tarnwick has the file, shows its message (path +
/// " is open in another Tarnwick (user alice on host lawpc).  Close it there first.") and
/// returns false, leaving `hold` as it was. A missing file, or one that cannot be opened, gives
/// an empty hold: the routines that open it say why.
bool HoldDatabase(const QString& path, FileHold& hold);

} // namespace db
