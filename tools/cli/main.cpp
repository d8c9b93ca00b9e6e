// tarnwick-cli: the command-line companion on the same engine as the program.
//
//   tarnwick-cli tables FILE
//   tarnwick-cli export FILE TABLE [--format csv|json|ics]
//   tarnwick-cli schema FILE [TABLE]
//   tarnwick-cli check FILE
//   tarnwick-cli create FILE
//   tarnwick-cli import FILE --from csv CSVFILE
//   tarnwick-cli backups FILE
//   tarnwick-cli restore BACKUP FILE
//
// The reading commands run here, on the engine alone: this executable loads neither Qt nor ICU,
// so a command starts in the time the system takes to start any small program. The writing
// commands run the program's own database routines, which need Qt; they live in the companion
// executable tarnwick-cli-write beside this one, which this one replaces itself with (exec), so
// arguments, output, messages and exit status are the companion's own.
//
// Errors go to standard error and give exit status 1; wrong usage gives 2.
#include <cerrno>
#include <climits>
#include <cstdio>
#include <cstring>
#include <ctime>
#include <iomanip>
#include <iostream>
#include <stdexcept>
#include <string>
#include <unistd.h>
#include <vector>

#include "db/backups.h"
#include "db/schema.h"
#include "export.h"
#include "ics.h"
#include "jet/database.h"
#include "jet/error.h"

namespace {

int usage() {
    std::fputs("usage:\n"
               "  tarnwick-cli tables FILE\n"
               "  tarnwick-cli export FILE TABLE [--format csv|json|ics]\n"
               "  tarnwick-cli schema FILE [TABLE]\n"
               "  tarnwick-cli check FILE\n"
               "  tarnwick-cli create FILE\n"
               "  tarnwick-cli import FILE --from csv CSVFILE\n"
               "  tarnwick-cli backups FILE\n"
               "  tarnwick-cli restore BACKUP FILE\n",
               stderr);
    return 2;
}

int tables(const std::string& path) {
    auto db = jet::Database::open(path);
    for (const auto& name : db.tableNames())
        std::cout << name << '\n';
    return 0;
}

int schema(const std::string& path, const char* only) {
    auto db = jet::Database::open(path);
    std::vector<std::string> names = only ? std::vector<std::string>{only} : db.tableNames();
    for (const auto& name : names) {
        const jet::TableDef def = db.tableDef(name);
        std::cout << "table " << name << " (" << def.rowCount << " rows)\n";
        for (const auto& c : def.columns) {
            std::cout << "  " << c.name << ": " << jet::columnTypeName(c.type);
            if (c.type == jet::ColumnType::Text)
                std::cout << " (" << c.length / 2 << ")";
            std::cout << '\n';
        }
        for (const auto& x : def.indexes) {
            std::cout << "  index " << x.name << " (";
            const auto& real = def.realIndexes.at(x.realIndex);
            for (std::size_t i = 0; i < real.columns.size(); ++i) {
                for (const auto& c : def.columns)
                    if (c.number == real.columns[i].columnNumber)
                        std::cout << (i ? ", " : "") << c.name;
            }
            std::cout << ")" << (x.kind == 1 ? " primary key" : "") << '\n';
        }
    }
    return 0;
}

int check(const std::string& path) {
    auto db = jet::Database::open(path);
    // The program's own validity test: the four tables open as record sets.
    int status = 0;
    for (const char* t : db::schema::kValidityTables) {
        try {
            db.openTable(t);
        } catch (const jet::Error& e) {
            std::cout << "not a Tarnwick database: " << e.what() << '\n';
            status = 1;
            break;
        }
    }
    const jet::CheckReport report = db.check();
    for (const auto& n : report.notes)
        std::cout << "note: " << n << '\n';
    for (const auto& p : report.problems)
        std::cout << "problem: " << p << '\n';
    if (!report.ok())
        status = 1;
    std::cout << (status == 0 ? "ok" : "not ok") << '\n';
    return status;
}

// The backups of a database file (db/backups.h), newest first, one a line: the local time, the
// size in bytes and the backup's path, so that a script finds the path after the second run of
// blanks. A file without backups prints nothing and says so on standard error.
int backups(const std::string& path) {
    const db::Backups store(db::Backups::defaultFolder());
    const std::vector<db::BackupInfo> found = store.list(path);
    if (found.empty())
        std::cerr << "tarnwick-cli: " << path << " has no backups in " << store.folder() << '\n';
    for (const db::BackupInfo& backup : found) {
        const std::time_t seconds = std::chrono::system_clock::to_time_t(
            std::chrono::floor<std::chrono::seconds>(backup.time));
        std::tm local{};
        ::localtime_r(&seconds, &local);
        std::cout << std::put_time(&local, "%Y-%m-%d %H:%M:%S") << "  " << std::setw(10)
                  << backup.size << "  " << backup.path << '\n';
    }
    return 0;
}

// Writes to standard output directly, in the large pieces the export hands over.
void writeOut(std::string_view bytes) {
    while (!bytes.empty()) {
        const ssize_t n = ::write(STDOUT_FILENO, bytes.data(), bytes.size());
        if (n < 0 && errno == EINTR)
            continue;
        if (n < 0)
            throw std::runtime_error(std::string("cannot write the output: ") +
                                     std::strerror(errno));
        bytes.remove_prefix(static_cast<std::size_t>(n));
    }
}

// Runs a writing command in tarnwick-cli-write, found in the folder of this executable.
// Returns only when that program cannot be started.
int runWritingCommand(char** argv) {
    char self[PATH_MAX];
    const ssize_t n = ::readlink("/proc/self/exe", self, sizeof self - 1);
    std::string helper = "tarnwick-cli-write";
    if (n > 0) {
        const std::string path(self, static_cast<std::size_t>(n));
        helper = path.substr(0, path.rfind('/') + 1) + helper;
    }
    argv[0] = helper.data();
    ::execv(helper.c_str(), argv);
    std::fprintf(stderr, "tarnwick-cli: cannot run %s: %s\n", helper.c_str(), std::strerror(errno));
    return 1;
}

} // namespace

int main(int argc, char** argv) {
    std::ios::sync_with_stdio(false);
    if (argc < 3)
        return usage();
    const std::string command = argv[1];
    const std::string path = argv[2];
    try {
        if (command == "tables" && argc == 3)
            return tables(path);
        if (command == "schema" && (argc == 3 || argc == 4))
            return schema(path, argc == 4 ? argv[3] : nullptr);
        if (command == "check" && argc == 3)
            return check(path);
        if (command == "backups" && argc == 3)
            return backups(path);
        if ((command == "create" && argc == 3) || (command == "import" && argc == 6) ||
            (command == "restore" && argc == 4))
            return runWritingCommand(argv);
        if (command == "export" && (argc == 4 || argc == 6)) {
            cli::Format format = cli::Format::Csv;
            bool ics = false;
            if (argc == 6) {
                if (std::strcmp(argv[4], "--format") != 0)
                    return usage();
                if (std::strcmp(argv[5], "json") == 0)
                    format = cli::Format::Json;
                else if (std::strcmp(argv[5], "ics") == 0)
                    ics = true;
                else if (std::strcmp(argv[5], "csv") != 0)
                    return usage();
            }
            auto db = jet::Database::open(path);
            if (ics)
                cli::exportIcs(db, argv[3], cli::icsStamp(std::time(nullptr)), writeOut);
            else
                cli::exportTable(db, argv[3], format, writeOut);
            return 0;
        }
    } catch (const std::exception& e) {
        std::cerr << "tarnwick-cli: " << e.what() << '\n';
        return 1;
    }
    return usage();
}
