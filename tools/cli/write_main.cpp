// tarnwick-cli-write: the writing commands of tarnwick-cli, which starts this program for them.
//
//   tarnwick-cli-write create FILE
//
// With the Qt layers built, a command runs the program's own database routine, its messages
// going to standard error; without them (the sanitizer build) `create` makes the same database
// through the schema alone. Errors give exit status 1; wrong usage gives 2.
#include <cstdio>
#include <exception>
#include <string>

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

// A new database with the four tables and the default lists. The recently-used list in the
// settings is left alone.
int create(const char* path) {
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
