// The program's database routines over the engine. Each opens the file when it starts and
// closes it before it returns. Callers pass the module-wide CurrentDatabasePath.
#pragma once

#include <array>
#include <functional>

#include <QString>
#include <QStringList>

#include "db/todo_list.h"

namespace db {

/// The in-memory copy of the reference tables: 0 clients, 1 activities, 2 projects.
using ReferenceLists = std::array<QStringList, 3>;

/// True when the file opens and holds the four tables; otherwise shows
/// path + " is not a valid Tarnwick database." and returns false.
bool IsValidDatabase(QString& path);

/// Creates the database at `path` with its tables and default lists; on success calls
/// `updateRecentDatabases` with a copy of the path. Reports failures by message.
void CreateNewDatabase(const QString& path,
                       const std::function<void(QString&)>& updateRecentDatabases);

/// Refills members 0 and 2 from "Clients" and "Projects" and empties member 1. Reports
/// failures by message ("Error in populating initial lists: " + description).
void LoadReferenceLists(const QString& path, ReferenceLists& lists);

/// Appends one row per record of "Things To Do", in stored order. Throws on failure.
void LoadToDoItems(const QString& path, ToDoList& list);

/// Replaces every record of "Things To Do" by the list's rows, in list order, as one
/// transaction: on failure the table is left as it was. Throws on failure.
void RewriteToDoItems(const QString& path, const ToDoList& list);

} // namespace db
