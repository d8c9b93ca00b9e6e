// The database routines as the program's windows use them: each runs a routine of db/routines.h
// and tells the user what the program always tells of its outcome, in the program's words. The
// start-up and the File menu's commands share them.
#pragma once

#include <QString>

#include <optional>

#include "db/file_hold.h"

namespace app {

class Session;

/// db::IsValidDatabase; a file that is not valid is reported as path + " is not a valid
/// Tarnwick database.".
bool checkDatabase(const QString& path);

/// db::CreateNewDatabase, then `path` entered in the recently used list (UpdateRecentDatabases).
/// A failure is reported as "Error in creating a new Tarnwick: " + description, the recently
/// used list left alone, and false returned.
bool createDatabase(const QString& path);

/// db::LoadReferenceLists, as a check that the file's clients and projects can be read; a
/// failure is reported as "Error in populating initial lists: " + description.
void checkReferenceLists(const QString& path);

/// The session's items loaded from its file in use (ItemStore::load). When they cannot be, the
/// list stays empty and "never loaded", so nothing is stored over the file from it: a file that
/// is there is reported ("The to-do items of " + path + " could not be loaded.  The list stays
/// empty and is not stored in that file.  Error description: " + description); a missing one
/// adds nothing, its creation having failed with a message of its own.
void loadItems(Session& session);

/// The hold on the file at `path` (db/file_hold.h). When another Tarnwick has the file, its
/// message (path + " is open in another Tarnwick (user alice on host lawpc).  Close it there
/// first.") is shown and nothing is returned.
std::optional<db::FileHold> holdDatabase(const QString& path);

/// Makes the program back a database file up before it first changes it in a run (db/backups.h,
/// through db::setBeforeChange): a backup that cannot be made is reported once for the file
/// ("No backup of ... could be made before changing it: " + reason) and the change goes on.
void installBackups();

/// Removes the file at `path` so that a new database can take its place (New on an existing
/// file, the start-up replacing a file that is not a database), backed up first as before any
/// other change. Throws what the removal throws.
void removeForReplacing(const QString& path);

} // namespace app
