// Opening, creating and changing a Jet 4.0 database file.
//
// Thread safety: a Database and the record sets opened from it are used from one thread at a
// time. Separate Database objects (in one process or several) coordinate through advisory
// locks on the file: any number of readers, one writer, and a writer commits only while no
// reader is between two reads.
#pragma once

#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "jet/file_system.h"
#include "jet/recordset.h"
#include "jet/schema.h"

namespace jet {

class DatabaseImpl;

enum class OpenMode {
    ReadOnly,  ///< shared with other readers and one writer
    ReadWrite, ///< shared with readers; fails with ErrorKind::Locked while another writer has it
    Exclusive, ///< read-write, and nobody else may open the file until it is closed
};

struct OpenOptions {
    OpenMode mode = OpenMode::ReadOnly;
    /// How long to wait for a writer to finish committing before reporting the file as locked.
    int lockTimeoutMs = 3000;
    std::shared_ptr<FileSystem> fileSystem; ///< null: the operating system's files
};

struct CreateOptions {
    /// Collating order and code page as a Jet locale text: LANGID gives the sort order,
    /// CP the code page. Only the General order (0x0409) and code page 1252 are accepted.
    std::string locale = ";LANGID=0x0409;CP=1252;COUNTRY=0";
    /// Creation date stored in the header and on the system objects; default: now (local).
    std::optional<double> creationDate;
    std::shared_ptr<FileSystem> fileSystem;
};

/// Result of Database::check(): every inconsistency found, in the order found.
struct CheckReport {
    std::vector<std::string> problems;
    std::vector<std::string> notes; ///< facts worth showing that are not faults
    bool ok() const { return problems.empty(); }
};

class Database {
public:
    /// Opens an existing file. Rolls back a transaction that a crashed writer left behind.
    /// Throws jet::Error: NotFound, Locked, Corrupt, Unsupported (not Jet 4), Encrypted, Io.
    static Database open(const std::string& path, const OpenOptions& options = {});

    /// Creates a new, empty database (the system tables only) and opens it read-write.
    /// Throws AlreadyExists, leaving that file untouched, when `path` names an existing file.
    static Database create(const std::string& path, const CreateOptions& options = {});

    Database(Database&&) noexcept;
    Database& operator=(Database&&) noexcept;
    ~Database(); ///< rolls back an open transaction; releases the file

    const std::string& path() const;
    /// True when the file carries a database password (this engine reads such files anyway;
    /// the Jet engine would ask for the password).
    bool hasPassword() const;
    bool isOpen() const;
    bool isWritable() const;

    /// User tables in catalog order.
    std::vector<std::string> tableNames() const;
    /// Every catalog entry that is a local table, system tables included, in catalog order.
    std::vector<std::string> allTableNames() const;
    bool hasTable(std::string_view name) const;
    /// Definition of a table; names compare exactly (case-sensitive). Throws NotFound.
    TableDef tableDef(std::string_view name) const;

    /// Opens a table as a record set positioned on its first row. A name in brackets
    /// ("[Things To Do]") is accepted as the bare name. Throws NotFound.
    Recordset openTable(std::string_view name);

    /// Adds a table with Text, Date/Time, Long, Double or Boolean fields and no indexes.
    void createTable(const TableSpec& spec);

    /// Groups changes; without an explicit transaction each change commits on its own.
    /// Nesting is not supported.
    void beginTransaction();
    void commit();
    void rollback();
    bool inTransaction() const;

    /// Structural check of the whole file; never throws for damage it can describe.
    CheckReport check() const;

    /// Ends use of the file; a transaction still open is rolled back.
    void close();

private:
    explicit Database(std::shared_ptr<DatabaseImpl> impl);
    std::shared_ptr<DatabaseImpl> impl_;
};

/// Rolls back on scope exit unless commit() was called.
class Transaction {
public:
    explicit Transaction(Database& db) : db_(db) { db_.beginTransaction(); }
    Transaction(const Transaction&) = delete;
    Transaction& operator=(const Transaction&) = delete;
    ~Transaction() {
        if (!done_) {
            try {
                db_.rollback();
            } catch (...) {
            }
        }
    }
    void commit() {
        db_.commit();
        done_ = true;
    }

private:
    Database& db_;
    bool done_ = false;
};

} // namespace jet
