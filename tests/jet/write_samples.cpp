// jet_write_samples OUTDIR: writes files with this engine, each with an expected-contents JSON
// built from the values written (not read back), for the interop test to check with mdbtools
// and mdb-reader. Each file must also pass the engine's structural check, or the run fails.
#include <cstdio>
#include <fstream>
#include <iostream>
#include <string>
#include <vector>

#include "db/schema.h"
#include "export.h"
#include "jet/database.h"
#include "jet/datetime.h"
#include "test_util.h"

using jet::Value;
using jettest::Row;

namespace {

std::string json(const std::string& text) {
    std::string out;
    cli::appendJsonString(out, text);
    return out;
}

std::string json(const Value& v) {
    if (v.kind() == Value::Kind::DateTime)
        return json(jet::formatIsoDateTime(v.asDateTime()));
    return v.isNull() ? "null" : v.kind() == Value::Kind::Text ? json(v.asText()) : v.toString();
}

struct Table {
    std::string name;
    std::vector<std::string> columns;
    std::vector<Row> rows; // missing trailing values are null
};

/// Writes `path`.json, naming the file's tables and the contents of `tables`, once the file at
/// `path` has passed the structural check.
void expect(const std::string& path, const std::vector<std::string>& names,
            const std::vector<Table>& tables) {
    const jet::CheckReport report = jet::Database::open(path).check();
    if (!report.ok())
        throw std::runtime_error(path + ": " + report.problems.front());
    std::ofstream out(path + ".json");
    out << "{\"tables\": [";
    for (std::size_t i = 0; i < names.size(); ++i)
        out << (i ? ", " : "") << json(names[i]);
    out << "],\n \"data\": {";
    for (std::size_t t = 0; t < tables.size(); ++t) {
        out << (t ? ",\n  " : "\n  ") << json(tables[t].name) << ": [";
        for (std::size_t r = 0; r < tables[t].rows.size(); ++r) {
            const Row& row = tables[t].rows[r];
            out << (r ? ",\n    {" : "\n    {");
            for (std::size_t c = 0; c < tables[t].columns.size(); ++c)
                out << (c ? ", " : "") << json(tables[t].columns[c]) << ": "
                    << json(c < row.size() ? row[c] : Value::null());
            out << '}';
        }
        out << "]";
    }
    out << "}}\n";
}

const std::vector<std::string> kSchemaTables = {"Clients", "Activities", "Projects",
                                                "Things To Do"};

Table todos(std::vector<Row> rows) {
    Table t{"Things To Do", {}, std::move(rows)};
    for (const jet::FieldSpec& field : jettest::thingsToDoSpec().fields)
        t.columns.push_back(field.name);
    return t;
}

Table list(const char* name, const char* column, const std::vector<std::string>& texts) {
    Table t{name, {column}, {}};
    for (const auto& text : texts)
        t.rows.push_back({Value::text(text)});
    return t;
}

/// A copy of the sample file `name` at `path`, open for writing.
jet::Database copyOfFixture(const std::string& name, const std::string& path) {
    std::ofstream(path, std::ios::binary | std::ios::trunc)
        << std::ifstream(jettest::fixture(name), std::ios::binary).rdbuf();
    return jettest::openIn(nullptr, path);
}

void newDatabase(const std::string& dir) {
    const std::string path = dir + "/todo-new.mdb";
    std::remove(path.c_str());
    db::schema::createDatabase(path);
    auto db = jettest::openIn(nullptr, path);
    const Table items = todos({
        jettest::todo("Telephone conference with Smith", "Smith, John", "1", 45000, 45007.75),
        jettest::todo("ääkkösiä — Мир 漢字 😀 \"quoted\", comma", "Ünal, Zoë", "5", 2.5, 73415.25),
        jettest::todo("", "", "", 45000.999988426, 45001),
        {Value::null(), Value::null(), Value::null(), Value::text("3")},
        jettest::todo(std::string(150, 'x'), "PAY BILLS", "1234", -728, 2958101), // 1898, 9999
        jettest::todo("Line one\nline two\ttab", "O'Brien, Seán", "2", 36526, 36526.5),
        jettest::todo("Year 100", "PROJECT", "1", -657434, 73051.999988426), // 0100, 2099
    });
    const Table clients =
        list("Clients", "Client", {"Smith, John", "Ünal, Zoë", "O'Brien, Seán", ""});
    jettest::addRows(db, items.name, items.rows);
    jettest::addRows(db, clients.name, clients.rows);
    expect(path, kSchemaTables,
           {items, clients, list("Activities", "Activity", db::schema::defaultActivities()),
            list("Projects", "Project", db::schema::defaultProjects())});
}

std::vector<Row> manyTodos(int n, int salt) {
    std::vector<Row> rows;
    for (int i = 0; i < n; ++i)
        rows.push_back(jettest::todo("Item " + std::to_string(i * 7 + salt) + " of the list",
                                     i % 3 ? "Client " + std::to_string(i % 41) + ", Ann"
                                           : "PROJECT " + std::to_string(i % 13),
                                     std::to_string(1 + (i + salt) % 5), 45000 + i % 900,
                                     45000.5 + (i * 3) % 1200));
    return rows;
}

// A table past the inline page maps, and one rewritten many times.
void largeAndRewritten(const std::string& dir) {
    for (const bool large : {true, false}) {
        const std::string path = dir + (large ? "/todo-large.mdb" : "/todo-rewritten.mdb");
        std::remove(path.c_str());
        auto db = jet::Database::create(path);
        db.createTable(jettest::thingsToDoSpec());
        std::vector<Row> rows;
        for (int round = 0; round < (large ? 1 : 60); ++round) {
            rows = large ? manyTodos(30000, 1) : manyTodos(300 + (round * 37) % 200, round);
            jettest::rewrite(db, "Things To Do", rows);
        }
        expect(path, {"Things To Do"}, {todos(rows)});
    }
}

void accessFileWrittenTo(const std::string& dir) {
    // Rows added to and deleted from a table Access made, and new tables in an Access-made
    // blank database.
    const std::string path = dir + "/delTest-written.mdb";
    auto db = copyOfFixture("delTestV2000.mdb", path);
    const std::vector<Row> added = {{Value::text("added"), Value::text("row")},
                                    {Value::text("ü"), Value::null()}};
    jettest::addRows(db, "Table", added);
    db.openTable("Table").deleteCurrent();
    Table table{"Table", {"a", "b"}, {{Value::text("v"), Value::text("u")}}};
    table.rows.insert(table.rows.end(), added.begin(), added.end());
    expect(path, {"Table"}, {table});

    const std::string blank = dir + "/empty_v2000-tables.mdb";
    auto made = copyOfFixture("empty_v2000.mdb", blank);
    jet::Transaction tx(made);
    for (const auto& spec : db::schema::tables())
        made.createTable(spec);
    tx.commit();
    const Table projects = list("Projects", "Project", db::schema::defaultProjects());
    jettest::addRows(made, projects.name, projects.rows);
    expect(blank, kSchemaTables, {projects, todos({})});
}

} // namespace

int main(int argc, char** argv) {
    if (argc != 2) {
        std::cerr << "usage: jet_write_samples OUTDIR\n";
        return 2;
    }
    try {
        newDatabase(argv[1]);
        largeAndRewritten(argv[1]);
        accessFileWrittenTo(argv[1]);
    } catch (const std::exception& e) {
        std::cerr << "jet_write_samples: " << e.what() << '\n';
        return 1;
    }
    return 0;
}
