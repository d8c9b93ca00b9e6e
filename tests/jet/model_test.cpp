// Thousands of random changes checked against a plain in-memory model of the table, with the
// file reopened between steps.
#include <gtest/gtest.h>

#include <random>

#include "jet/database.h"
#include "test_util.h"

using namespace jettest;

namespace {

const std::string kPath = "/db/model.mdb";

Row randomRow(std::mt19937& rng, int serial) {
    static const char* kWords[] = {"Call", "Review", "Draft", "Größe", "Мир", "", "court", "file"};
    std::string text;
    const int words = static_cast<int>(rng() % 12);
    for (int i = 0; i < words; ++i)
        text += std::string(kWords[rng() % 8]) + " ";
    text += std::to_string(serial);
    if (rng() % 10 == 0)
        text.clear();
    const bool client = rng() % 2;
    const std::string who = client ? "Client" + std::to_string(rng() % 50) + ", X" : "PROJECT";
    Row r = todo(text, who, std::to_string(1 + rng() % 5), -1000.0 + rng() % 100000,
                 45000 + (rng() % 100000) / 100.0);
    if (rng() % 7 == 0)
        r[4] = jet::Value::null();
    if (rng() % 11 == 0)
        r[0] = jet::Value::null();
    return r;
}

TEST(Model, RandomAddsDeletesAndRewritesMatchTheModel) {
    auto fs = todoFile(kPath);
    std::mt19937 rng(20261205);
    std::vector<Row> model;
    int serial = 0;
    auto db = openIn(fs, kPath);
    for (int step = 0; step < 5000; ++step) {
        const unsigned action = rng() % 100;
        if (action < 50) { // add a few rows at the end
            std::vector<Row> add;
            for (unsigned k = rng() % 4 + 1; k > 0; --k)
                add.push_back(randomRow(rng, ++serial));
            addRows(db, "Things To Do", add);
            model.insert(model.end(), add.begin(), add.end());
        } else if (action < 80 && !model.empty()) { // delete one row somewhere
            const std::size_t at = rng() % model.size();
            auto rs = db.openTable("Things To Do");
            for (std::size_t i = 0; i < at; ++i)
                rs.moveNext();
            rs.deleteCurrent();
            model.erase(model.begin() + static_cast<std::ptrdiff_t>(at));
        } else if (action < 90) { // rewrite the table, shuffled and changed
            std::shuffle(model.begin(), model.end(), rng);
            if (!model.empty() && rng() % 2)
                model.resize(rng() % model.size());
            for (unsigned k = rng() % 20; k > 0; --k)
                model.push_back(randomRow(rng, ++serial));
            rewrite(db, "Things To Do", model);
        } else { // reopen, sometimes read-only
            db.close();
            db = openIn(fs, kPath, rng() % 2 ? jet::OpenMode::ReadOnly : jet::OpenMode::ReadWrite);
            ASSERT_EQ(readAll(db, "Things To Do"), model) << "after reopening, step " << step;
            db.close();
            db = openIn(fs, kPath);
        }
        if (step % 100 == 0) {
            ASSERT_EQ(readAll(db, "Things To Do"), model) << "step " << step;
            const jet::CheckReport r = db.check();
            ASSERT_TRUE(r.ok()) << "step " << step << ": " << r.problems.front();
            ASSERT_EQ(db.tableDef("Things To Do").rowCount, model.size());
        }
    }
    ASSERT_EQ(readAll(db, "Things To Do"), model);
}

} // namespace
