// How the database routines reach the engine: the connection text, the module-wide engine
// handles and the file system every routine opens files through.
#pragma once

#include <QString>
#include <memory>
#include <optional>
#include <string>

#include "jet/database.h"
#include "jet/file_system.h"
#include "jet/recordset.h"

namespace db {

/// The connection text for the file at `path`: "Provider=Microsoft.Jet.OLEDB.4.0;Persist
/// Security Info=False;Data Source=" followed by the path, with nothing after it.
QString connectionText(const QString& path);

/// The path a connection text names: everything after "Data Source=", to the end (a path may
/// hold ';'). Throws jet::Error(InvalidArgument) when the text names none.
QString dataSourceOf(const QString& connectionText);

/// An open connection: its text and the file its data source names, opened for reading.
struct Connection {
    QString text;
    jet::Database database;
};

/// The connection and the record set of the validity test and the reference-list loading.
/// Each call of those routines releases the earlier ones and makes its own. Unlike the record
/// set of a Windows data provider, an open handle here holds a lock on the file, so both are
/// released when the call ends on every path, failures included.
extern std::optional<Connection> SharedConnection;
extern std::optional<jet::Recordset> SharedRecordset;

/// The engine's file system that new databases are created through (the default workspace);
/// set by CreateNewDatabase and kept afterwards.
extern std::shared_ptr<jet::FileSystem> CreationWorkspace;
/// The database being created; released when CreateNewDatabase ends, whatever the outcome.
extern std::optional<jet::Database> CreationDatabase;

/// The file system the routines open and create files through: the operating system's unless
/// a test installed another (a fault-injecting one, say). Never null.
std::shared_ptr<jet::FileSystem> fileSystem();
/// Test seam: makes the routines use `files`; null puts the operating system's back.
void setFileSystemForTesting(std::shared_ptr<jet::FileSystem> files);

/// `path` as the engine takes it: the file name bytes the operating system uses.
std::string enginePath(const QString& path);

/// Opens the file at `path` through fileSystem().
jet::Database openDatabase(const QString& path, jet::OpenMode mode);

} // namespace db
