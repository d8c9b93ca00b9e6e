// How the database routines reach the engine: the connection text and the file system every
// routine opens files through.
#pragma once

#include <QString>
#include <functional>
#include <memory>
#include <optional>
#include <string>

#include "jet/database.h"
#include "jet/file_system.h"
#include "jet/recordset.h"

namespace db {

/// The file system the routines open and create files through: the operating system's unless
/// a test installed another (a fault-injecting one, say). Never null.
std::shared_ptr<jet::FileSystem> fileSystem();
/// Test seam: makes the routines use `files`; null puts the operating system's back.
void setFileSystemForTesting(std::shared_ptr<jet::FileSystem> files);

/// What runs before every change the routines make to a database file (a rewrite, an item
/// stored, a reference list's addition or deletion): the program backs the file up before the
/// first change of a run (db/backups.h). `path` is the file about to change. Nothing runs until
/// one is installed; null uninstalls it. The hook reports its own failures and never throws:
/// a backup that cannot be made never stops the change.
void setBeforeChange(std::function<void(const QString& path)> hook);
/// Runs the installed hook for `path`, if any.
void beforeChange(const QString& path);

/// `path` as the engine takes it: the file name bytes the operating system uses.
std::string enginePath(const QString& path);

/// Opens the file at `path` through fileSystem().
jet::Database openDatabase(const QString& path, jet::OpenMode mode);

} // namespace db
