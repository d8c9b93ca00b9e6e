// Synthetic to-do items for benchmarks: realistic lengths, clients and projects, dates.
#pragma once

#include <string>
#include <vector>

#include "jet/database.h"
#include "jet/value.h"

namespace bench {

using Row = std::vector<jet::Value>;

inline std::vector<Row> todoRows(int n) {
    static const char* kActivities[] = {
        "Telephone conference with", "Review file",    "Court appearance re",
        "Prepare and send letter",   "Legal research", "Take deposition of"};
    std::vector<Row> rows;
    rows.reserve(n);
    for (int i = 0; i < n; ++i) {
        const bool client = i % 3 != 0;
        const std::string who = client ? "Client" + std::to_string(i % 997) + ", Anne"
                                       : "PROJECT " + std::to_string(i % 17);
        rows.push_back(
            {jet::Value::text(std::string(kActivities[i % 6]) + " matter " + std::to_string(i)),
             client ? jet::Value::text(who) : jet::Value::null(),
             client ? jet::Value::null() : jet::Value::text(who),
             jet::Value::text(std::to_string(1 + i % 5)), jet::Value::dateTime(45000 + i % 700),
             jet::Value::dateTime(45030 + i % 900)});
    }
    return rows;
}

inline const char* const kTodoFields[] = {
    "ThingToDo",           "TTD Client", "TTD Project", "TTD Priority", "Thing To Do Start Date",
    "Thing To Do Deadline"};

/// Deletes every row of "Things To Do" and writes `rows`, in one transaction.
inline void rewriteTodos(jet::Database& db, const std::vector<Row>& rows) {
    jet::Transaction tx(db);
    auto rs = db.openTable("Things To Do");
    rs.deleteAll(); // as the program's rewrite does
    for (const Row& r : rows) {
        rs.addNew();
        for (int i = 0; i < 6; ++i)
            if (!r[i].isNull())
                rs.setField(kTodoFields[i], jet::Value(r[i])); // moved in, as the program does
        rs.update();
    }
    tx.commit();
}

} // namespace bench
