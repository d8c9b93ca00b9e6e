// jet_write_samples OUTDIR: writes files with this engine, each with an expected-contents JSON
// built from the values written (not read back), for the interop test to check with mdbtools
// and mdb-reader. Each file must also pass the engine's structural check, or the run fails.
#include <cstdio>
#include <fstream>
#include <functional>
#include <iostream>
#include <map>
#include <string>
#include <vector>

#include "db/schema.h"
#include "jet/database.h"
#include "jet/datetime.h"
#include "test_util.h"

using jet::Value;
using jettest::Row;

namespace {

std::string json(const std::string& s) {
    std::string out = "\"";
    for (unsigned char c : s) {
        if (c == '"' || c == '\\') {
            out += '\\';
            out += static_cast<char>(c);
        } else if (c < 0x20) {
            char buf[8];
            std::snprintf(buf, sizeof buf, "\\u%04x", c);
            out += buf;
        } else {
            out += static_cast<char>(c);
        }
    }
    return out + '"';
}

std::string json(const Value& v) {
    switch (v.kind()) {
    case Value::Kind::Null:
        return "null";
    case Value::Kind::Text:
        return json(v.asText());
    case Value::Kind::DateTime:
        return json(jet::formatIsoDateTime(v.asDateTime()));
    default:
        return v.toString();
    }
}

struct Expected {
    std::vector<std::string> tables;
    std::map<std::string, std::pair<std::vector<std::string>, std::vector<Row>>> data;

    /// Writes `path`.json, once the file at `path` has passed the structural check.
    void write(const std::string& path) const {
        const jet::CheckReport report = jet::Database::open(path).check();
        if (!report.ok())
            throw std::runtime_error(path + ": " + report.problems.front());
        std::ofstream out(path + ".json");
        out << "{\"tables\": [";
        for (std::size_t i = 0; i < tables.size(); ++i)
            out << (i ? ", " : "") << json(tables[i]);
        out << "],\n \"data\": {";
        bool firstTable = true;
        for (const auto& [table, content] : data) {
            out << (firstTable ? "\n  " : ",\n  ") << json(table) << ": [";
            firstTable = false;
            for (std::size_t r = 0; r < content.second.size(); ++r) {
                out << (r ? ",\n    {" : "\n    {");
                for (std::size_t c = 0; c < content.first.size(); ++c)
                    out << (c ? ", " : "") << json(content.first[c]) << ": "
                        << json(c < content.second[r].size() ? content.second[r][c]
                                                             : Value::null());
                out << '}';
            }
            out << "]";
        }
        out << "}}\n";
    }
};

jet::OpenOptions readWrite() {
    jet::OpenOptions o;
    o.mode = jet::OpenMode::ReadWrite;
    return o;
}

std::vector<std::string> todoColumns() {
    std::vector<std::string> names;
    for (const jet::FieldSpec& field : jettest::thingsToDoSpec().fields)
        names.push_back(field.name);
    return names;
}

/// A copy of the sample file `name` at `path`.
void copyFixture(const std::string& name, const std::string& path) {
    std::ifstream in(std::string(TARNWICK_FIXTURES_DIR) + "/" + name, std::ios::binary);
    std::ofstream(path, std::ios::binary | std::ios::trunc) << in.rdbuf();
}

std::vector<Row> textRows(const std::vector<std::string>& texts) {
    std::vector<Row> rows;
    for (const auto& t : texts)
        rows.push_back({Value::text(t)});
    return rows;
}

void newDatabase(const std::string& dir) {
    const std::string path = dir + "/todo-new.mdb";
    std::remove(path.c_str());
    db::schema::createDatabase(path);
    auto db = jet::Database::open(path, readWrite());
    const std::vector<Row> todos = {
        jettest::todo("Telephone conference with Smith", "Smith, John", "1", 45000, 45007.75),
        jettest::todo("ääkkösiä — Мир 漢字 😀 \"quoted\", comma", "Ünal, Zoë", "5", 2.5, 73415.25),
        jettest::todo("", "", "", 45000.999988426, 45001),
        {Value::null(), Value::null(), Value::null(), Value::text("3"), Value::null(),
         Value::null()},
        jettest::todo(std::string(150, 'x'), "PAY BILLS", "1234", -728, 2958101), // 1898, 9999
        jettest::todo("Line one\nline two\ttab", "O'Brien, Seán", "2", 36526, 36526.5),
        jettest::todo("Year 100", "PROJECT", "1", -657434, 73051.999988426), // 0100, 2099
    };
    jettest::addRows(db, "Things To Do", todos);
    const std::vector<std::string> clients = {"Smith, John", "Ünal, Zoë", "O'Brien, Seán", ""};
    jettest::addRows(db, "Clients", textRows(clients));
    Expected e;
    e.tables = {"Clients", "Activities", "Projects", "Things To Do"};
    e.data["Things To Do"] = {todoColumns(), todos};
    e.data["Clients"] = {{"Client"}, textRows(clients)};
    e.data["Activities"] = {{"Activity"}, textRows(db::schema::defaultActivities())};
    e.data["Projects"] = {{"Project"}, textRows(db::schema::defaultProjects())};
    e.write(path);
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

/// A to-do table written by `fill` in a new file `name`, expected to hold the rows it returns.
void todoTable(const std::string& path,
               const std::function<std::vector<Row>(jet::Database&)>& fill) {
    std::remove(path.c_str());
    auto db = jet::Database::create(path);
    db.createTable(jettest::thingsToDoSpec());
    Expected e;
    e.tables = {"Things To Do"};
    e.data["Things To Do"] = {todoColumns(), fill(db)};
    e.write(path);
}

// A table past the inline page maps, and one rewritten many times.
void largeAndRewritten(const std::string& dir) {
    todoTable(dir + "/todo-large.mdb", [](jet::Database& db) {
        const auto rows = manyTodos(30000, 1);
        jettest::rewrite(db, "Things To Do", rows);
        return rows;
    });
    todoTable(dir + "/todo-rewritten.mdb", [](jet::Database& db) {
        std::vector<Row> rows;
        for (int round = 0; round < 60; ++round) {
            rows = manyTodos(300 + (round * 37) % 200, round);
            jettest::rewrite(db, "Things To Do", rows);
        }
        return rows;
    });
}

void accessFileWrittenTo(const std::string& dir) {
    // Rows added to and deleted from a table Access made, and new tables in an Access-made
    // blank database.
    const std::string path = dir + "/delTest-written.mdb";
    copyFixture("delTestV2000.mdb", path);
    auto db = jet::Database::open(path, readWrite());
    jettest::addRows(
        db, "Table",
        {{Value::text("added"), Value::text("row")}, {Value::text("ü"), Value::null()}});
    db.openTable("Table").deleteCurrent();
    Expected e;
    e.tables = {"Table"};
    e.data["Table"] = {{"a", "b"},
                       {{Value::text("v"), Value::text("u")},
                        {Value::text("added"), Value::text("row")},
                        {Value::text("ü"), Value::null()}}};
    e.write(path);

    const std::string blank = dir + "/empty_v2000-tables.mdb";
    copyFixture("empty_v2000.mdb", blank);
    auto made = jet::Database::open(blank, readWrite());
    jet::Transaction tx(made);
    for (const auto& spec : db::schema::tables())
        made.createTable(spec);
    tx.commit();
    jettest::addRows(made, "Projects", textRows(db::schema::defaultProjects()));
    Expected b;
    b.tables = {"Clients", "Activities", "Projects", "Things To Do"};
    b.data["Projects"] = {{"Project"}, textRows(db::schema::defaultProjects())};
    b.data["Things To Do"] = {todoColumns(), {}};
    b.write(blank);
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
