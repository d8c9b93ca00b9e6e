// tarnwick-cli-write: the writing commands of tarnwick-cli, which starts this program for them.
//
//   tarnwick-cli-write create FILE
//
// With the Qt layers built, a command runs the program's own database routine, its messages
// going to standard error; without them (the sanitizer build) `create` makes the same database
// through the schema alone. Errors give exit status 1; wrong usage gives 2.
//
// A file that is in use in a Tarnwick window is refused by every command that writes, with the
// window's own message (path + " is open in another Tarnwick (user ... on host ...).  Close it
// there first.").
#include <cstdio>
#include <exception>
#include <string>

#include "db/file_hold.h"

#ifdef TARNWICK_CLI_DB_ROUTINES
#include <QFile>
#include <memory>

#include "console_messages.h"
#include "db/routines.h"
#include "platform/services.h"
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

// A new database with the four tables and the default lists. The recently-used list in the
// settings is left alone.
int create(const char* path) {
    const db::FileHold hold = holdForWriting(path);
#ifdef TARNWICK_CLI_DB_ROUTINES
    platform::Services::setMessageBoxes(std::make_shared<cli::ConsoleMessageBoxes>());
    return db::CreateNewDatabase(QFile::decodeName(path), nullptr) ? 0 : 1;
#else
    db::schema::createDatabase(path);
    return 0;
#endif
}

} // namespace

int main(int argc, char** argv) {
    try {
        if (argc == 3 && std::string(argv[1]) == "create")
            return create(argv[2]);
    } catch (const std::exception& e) {
        std::fprintf(stderr, "tarnwick-cli: %s\n", e.what());
        return 1;
    }
    std::fputs("usage: tarnwick-cli create FILE\n", stderr);
    return 2;
}
