// Helpers shared by the engine tests.
#pragma once

#include <cstdint>
#include <fstream>
#include <functional>
#include <iterator>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "jet/database.h"
#include "jet/error.h"
#include "memory_fs.h"

namespace jettest {

inline std::string fixture(const std::string& name) {
    return std::string(TARNWICK_FIXTURES_DIR) + "/" + name;
}

inline std::vector<std::uint8_t> readFile(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

/// A memory file system holding one fixture under `as`.
inline std::shared_ptr<MemoryFileSystem> withFixture(const std::string& name,
                                                     const std::string& as) {
    auto fs = std::make_shared<MemoryFileSystem>();
    fs->setContents(as, readFile(fixture(name)));
    return fs;
}

/// Opens `path` in `fs`, or among the real files when `fs` is null.
inline jet::Database openIn(const std::shared_ptr<MemoryFileSystem>& fs, const std::string& path,
                            jet::OpenMode mode = jet::OpenMode::ReadWrite, int lockTimeoutMs = 0) {
    return jet::Database::open(path,
                               {.mode = mode, .lockTimeoutMs = lockTimeoutMs, .fileSystem = fs});
}

inline jet::Database createIn(const std::shared_ptr<MemoryFileSystem>& fs, const std::string& path,
                              double date = 45000.5) {
    return jet::Database::create(path, {.creationDate = date, .fileSystem = fs});
}

/// The kind of the jet::Error that `f` throws (its text into `what`), or nothing when it
/// returns.
inline std::optional<jet::ErrorKind> errorKind(const std::function<void()>& f,
                                               std::string* what = nullptr) {
    try {
        f();
    } catch (const jet::Error& e) {
        if (what)
            *what = e.what();
        return e.kind();
    }
    return std::nullopt;
}

using Row = std::vector<jet::Value>;

/// Every row of a table, every column, in stored order.
inline std::vector<Row> readAll(jet::Database& db, const std::string& table) {
    std::vector<Row> rows;
    auto rs = db.openTable(table);
    const auto n = rs.definition().columns.size();
    for (; !rs.eof(); rs.moveNext()) {
        Row r;
        for (std::size_t i = 0; i < n; ++i)
            r.push_back(rs.field(static_cast<int>(i)));
        rows.push_back(std::move(r));
    }
    return rows;
}

/// The to-do table's schema.
inline jet::TableSpec thingsToDoSpec() {
    using T = jet::ColumnType;
    return {"Things To Do",
            {{"ThingToDo", T::Text, 150, true, false},
             {"TTD Client", T::Text, 150, true, false},
             {"TTD Project", T::Text, 150, true, false},
             {"TTD Priority", T::Text, 4, true, false},
             {"Thing To Do Start Date", T::DateTime, 0, false, false},
             {"Thing To Do Deadline", T::DateTime, 0, false, false}}};
}

/// Adds rows (values by column index; nulls for missing) through an open record set.
inline void appendRows(jet::Recordset& rs, const std::vector<Row>& rows) {
    const auto& cols = rs.definition().columns;
    for (const Row& r : rows) {
        rs.addNew();
        for (std::size_t i = 0; i < r.size() && i < cols.size(); ++i)
            if (!r[i].isNull())
                rs.setField(cols[i].name, r[i]);
        rs.update();
    }
}

/// Adds rows in one transaction, after deleting every row when `replace`.
inline void addRows(jet::Database& db, const std::string& table, const std::vector<Row>& rows,
                    bool replace = false) {
    jet::Transaction tx(db);
    auto rs = db.openTable(table);
    for (; replace && !rs.eof(); rs.moveNext())
        rs.deleteCurrent();
    appendRows(rs, rows);
    tx.commit();
}
inline void rewrite(jet::Database& db, const std::string& table, const std::vector<Row>& rows) {
    addRows(db, table, rows, true);
}

/// A memory file system holding a new database at `path` with the to-do table and `rows`.
inline std::shared_ptr<MemoryFileSystem> todoFile(const std::string& path,
                                                  const std::vector<Row>& rows = {}) {
    auto fs = std::make_shared<MemoryFileSystem>();
    auto db = createIn(fs, path);
    db.createTable(thingsToDoSpec());
    addRows(db, "Things To Do", rows);
    return fs;
}

inline Row todo(const std::string& text, const std::string& who, const std::string& priority,
                double start, double deadline) {
    const bool client = who.find(", ") != std::string::npos;
    return {jet::Value::text(text),
            client ? jet::Value::text(who) : jet::Value::null(),
            client ? jet::Value::null() : jet::Value::text(who),
            jet::Value::text(priority),
            jet::Value::dateTime(start),
            jet::Value::dateTime(deadline)};
}

} // namespace jettest
