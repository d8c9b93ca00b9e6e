// tarnwick-cli-write: the writing commands of tarnwick-cli, which starts this program for them.
//
//   tarnwick-cli-write create FILE
//   tarnwick-cli-write import FILE --from csv CSVFILE
//   tarnwick-cli-write restore BACKUP FILE
//
// With the Qt layers built, a command runs the program's own database routines, their errors
// going to standard error; without them (the sanitizer build) `create` makes the same database
// through the schema alone and `import` is not available. `restore` needs no Qt (db/backups.h).
// Errors give exit status 1; wrong usage gives 2.
//
// `import` backs FILE up before it changes it (db::BackupBeforeFirstWrite); a backup that
// cannot be made is reported once on standard error and the import goes on.
//
// A file that is in use in a Tarnwick window is refused by every command that writes, with the
// window's own message (path + " is open in another Tarnwick (user ... on host ...).  Close it
// there first.").
#include <cstdio>
#include <exception>
#include <optional>
#include <stdexcept>
#include <string>

#include "db/backups.h"
#include "db/file_hold.h"

#ifdef TARNWICK_CLI_DB_ROUTINES
#include <QFile>
#include <memory>

#include "db/routines.h"
#include "import.h"
#else
#include "db/schema.h"
#endif

namespace {

// The hold a Tarnwick window keeps on its file (db/file_hold.h), taken by each writing command
// before it opens its target and kept until the command ends, so that no window takes the file
// up meanwhile either. Throws db::FileInUse when a window (or another command) has the file.
db::FileHold holdForWriting(const char* path) {
    return db::FileHold::take(path);
}

#ifdef TARNWICK_CLI_DB_ROUTINES
// The database file a writing command changes, as the routines take it: every writing command
// reaches its file through here.
QString target(const char* path) {
    return QFile::decodeName(path);
}
#endif

// A new database with the four tables and the default lists. The recently-used list in the
// settings is left alone.
int create(const char* path) {
    const db::FileHold hold = holdForWriting(path);
#ifdef TARNWICK_CLI_DB_ROUTINES
    try {
        db::CreateNewDatabase(target(path));
    } catch (const std::exception& e) {
        throw std::runtime_error(std::string("Error in creating a new Tarnwick: ") + e.what());
    }
    return 0;
#else
    db::schema::createDatabase(path);
    return 0;
#endif
}

// Adds the items of a CSV file after the items of the database, all or none: every line is
// checked before the database is opened, and the items are written as one transaction.
int importCsv([[maybe_unused]] const char* path, [[maybe_unused]] const char* csvPath) {
    const db::FileHold hold = holdForWriting(path);
#ifdef TARNWICK_CLI_DB_ROUTINES
    QFile csv(QFile::decodeName(csvPath));
    if (!csv.open(QIODevice::ReadOnly))
        throw std::runtime_error("cannot read " + std::string(csvPath) + ": " +
                                 csv.errorString().toStdString());
    const QByteArray bytes = csv.readAll();
    if (csv.error() != QFileDevice::NoError)
        throw std::runtime_error("cannot read " + std::string(csvPath) + ": " +
                                 csv.errorString().toStdString());
    const std::vector<db::ToDoItem> items =
        cli::toDoItemsFromCsv(std::string_view(bytes.constData(), bytes.size()));
    if (const auto failed = db::BackupBeforeFirstWrite(path))
        std::fprintf(stderr, "tarnwick-cli: warning: %s\n", failed->c_str());
    db::AppendToDoItems(target(path), items);
    std::printf("%zu %s imported\n", items.size(), items.size() == 1 ? "item" : "items");
    return 0;
#else
    throw std::runtime_error("import is not available in this build (it has no Qt)");
#endif
}

// Puts a backup back at FILE, after backing up the file as it is; the restore holds FILE
// itself.
int restore(const char* backup, const char* path) {
    const std::optional<std::string> previous =
        db::Backups(db::Backups::defaultFolder()).restore(backup, path);
    std::printf("%s restored from %s\n", path, backup);
    if (previous)
        std::printf("the file as it was is backed up as %s\n", previous->c_str());
    return 0;
}

} // namespace

int main(int argc, char** argv) {
    try {
        if (argc == 3 && std::string(argv[1]) == "create")
            return create(argv[2]);
        if (argc == 6 && std::string(argv[1]) == "import" && std::string(argv[3]) == "--from" &&
            std::string(argv[4]) == "csv")
            return importCsv(argv[2], argv[5]);
        if (argc == 4 && std::string(argv[1]) == "restore")
            return restore(argv[2], argv[3]);
    } catch (const std::exception& e) {
        std::fprintf(stderr, "tarnwick-cli: %s\n", e.what());
        return 1;
    }
    std::fputs("usage:\n"
               "  tarnwick-cli create FILE\n"
               "  tarnwick-cli import FILE --from csv CSVFILE\n"
               "  tarnwick-cli restore BACKUP FILE\n",
               stderr);
    return 2;
}
