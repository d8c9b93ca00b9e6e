// Loading and rewriting the to-do items between a real file and a list of rows.
#include <gtest/gtest.h>

#include <QTemporaryDir>
#include <algorithm>
#include <tuple>

#include "db/engine.h"
#include "db/routines.h"
#include "db/schema.h"
#include "db_test_util.h"
#include "jet/datetime.h"
#include "jet/error.h"
#include "memory_todo_list.h"

using namespace dbtest;

namespace {

jet::Value date(int year, int month, int day, int hour = 0, int minute = 0) {
    return jet::Value::dateTime(storedDate(year, month, day, hour, minute));
}

// A record of "Things To Do"; the fields given as null pointers stay null.
Record item(const char* priority, const char* client, const char* project, const char* thing,
            std::optional<jet::Value> start = {}, std::optional<jet::Value> deadline = {}) {
    Record record;
    const std::pair<const char*, const char*> texts[] = {{"TTD Priority", priority},
                                                         {"TTD Client", client},
                                                         {"TTD Project", project},
                                                         {"ThingToDo", thing}};
    for (const auto& [field, value] : texts)
        if (value != nullptr)
            record.emplace_back(field, text(value));
    if (start)
        record.emplace_back("Thing To Do Start Date", *start);
    if (deadline)
        record.emplace_back("Thing To Do Deadline", *deadline);
    return record;
}

class ToDoItems : public ::testing::Test {
protected:
    void SetUp() override {
        m_file = m_dir.filePath("items.mdb");
        db::schema::createDatabase(db::enginePath(m_file));
    }

    QList<Row> load() {
        MemoryToDoList list;
        db::LoadToDoItems(m_file, list);
        return list.rows;
    }
    // "Things To Do" in field order: ThingToDo, TTD Client, TTD Project, TTD Priority, start
    // date, deadline.
    std::vector<std::vector<std::string>> records() { return tableRows(m_file, "Things To Do"); }

    LocaleGuard m_locale{QLocale::c()};
    QTemporaryDir m_dir;
    QString m_file;
};

TEST_F(ToDoItems, RecordsLoadAsRowsOfFiveTextsInStoredOrder) {
    addRecords(m_file, "Things To Do",
               {item("1", "Doe, Jane", nullptr, "Telephone conference with Jane", date(2026, 12, 5),
                     date(2027, 1, 9, 15, 30)),
                item("5", nullptr, "MARKETING", nullptr), item("2", "Roe, Rick", "PAY BILLS", ""),
                item(nullptr, nullptr, "REVIEW CASES", "no priority")});
    MemoryToDoList list({Row{"3", "kept", "", "", ""}});
    db::LoadToDoItems(m_file, list);
    const QList<Row> expected = {
        {"3", "kept", "", "", ""},
        {"1", "Doe, Jane", "Telephone conference with Jane", "12/5/2026", "1/9/2027 3:30:00 PM"},
        {"5", "MARKETING", "", "", ""},
        {"2", "PAY BILLS", "", "", ""},
        {"", "REVIEW CASES", "no priority", "", ""},
    };
    EXPECT_EQ(list.rows, expected);
    EXPECT_EQ(list.current, 5);
}

TEST_F(ToDoItems, RewriteSetsClientOrProjectByTheCommaRuleAndDatesOrNulls) {
    const QList<Row> rows = {
        {"1", "Doe, Jane", "Call", "12/5/2026", "1/9/2027"},
        {"2", "ADMINISTRATION", "Bills", "", "someday"},
        {"3", "", "", "2/30/2026", "  12/05/2026  "},
        {"4", "SMITH, JONES & CO", "Project with a comma", "12/5/2026 2:30:00 PM", ""},
        {"", "Doe,Jane", "no blank after the comma", "", ""},
    };
    db::RewriteToDoItems(m_file, MemoryToDoList(rows));
    const std::vector<std::vector<std::string>> expected = {
        {"Call", "Doe, Jane", "<null>", "1", "2026-12-05T00:00:00", "2027-01-09T00:00:00"},
        {"Bills", "<null>", "ADMINISTRATION", "2", "<null>", "<null>"},
        {"", "<null>", "", "3", "<null>", "2026-12-05T00:00:00"},
        {"Project with a comma", "SMITH, JONES & CO", "<null>", "4", "2026-12-05T14:30:00",
         "<null>"},
        {"no blank after the comma", "<null>", "Doe,Jane", "", "<null>", "<null>"},
    };
    EXPECT_EQ(records(), expected);
}

TEST_F(ToDoItems, TextsBeyondAsciiSurviveARewriteWhereverTheyStand) {
    QList<Row> rows;
    for (int at = 0; at < 9; ++at) {
        const QString head(at, QLatin1Char('a'));
        rows.append({"1", head + QString::fromUtf8("\xc5\x81, Zoe"), // an L with stroke
                     head + QString::fromUtf8("\xf0\x9f\x98\x80 call"), "", ""});
        rows.append({"2", head + QString::fromUtf8("M\xc3\xbcller GmbH"), head + "plain", "", ""});
    }
    db::RewriteToDoItems(m_file, MemoryToDoList(rows));
    EXPECT_EQ(load(), rows);
}

TEST_F(ToDoItems, SortedRowsBecomeTheStoredOrder) {
    QList<Row> rows;
    for (int i = 0; i < 40; ++i)
        rows.append({QString::number(1 + i % 5), "Client, No" + QString::number(i), "item",
                     "12/1/2026", QStringLiteral("12/%1/2026").arg(1 + (i * 7) % 28)});
    db::RewriteToDoItems(m_file, MemoryToDoList(rows));
    QList<Row> sorted = load();
    ASSERT_EQ(sorted, rows);
    std::stable_sort(sorted.begin(), sorted.end(),
                     [](const Row& a, const Row& b) { return a[4] < b[4]; });
    db::RewriteToDoItems(m_file, MemoryToDoList(sorted));
    EXPECT_EQ(load(), sorted);

    db::RewriteToDoItems(m_file, MemoryToDoList());
    EXPECT_TRUE(records().empty());
    EXPECT_TRUE(load().isEmpty());
}

// A table of other fields: loading reads fields only with a record, so an empty one loads as
// an empty list and one with a record fails without appending a row.
TEST_F(ToDoItems, FieldsAreRequiredOnlyWhenThereIsARecord) {
    m_file = m_dir.filePath("other.mdb");
    makeDatabase(m_file, {{"Things To Do", {textField("Note"), textField("TTD Priority", 4)}}});
    EXPECT_TRUE(load().isEmpty());
    addRecords(m_file, "Things To Do", {{{"TTD Priority", text("1")}}});
    MemoryToDoList list;
    EXPECT_THROW(db::LoadToDoItems(m_file, list), jet::Error);
    EXPECT_TRUE(list.rows.isEmpty());
}

// The rewrite is one transaction: a row that fails part-way leaves the old records (the engine's
// crash tests show any transaction survives a crash or failure at every write as old or new).
TEST_F(ToDoItems, ARowTheTableCannotHoldLeavesTheOldRecords) {
    db::RewriteToDoItems(m_file, MemoryToDoList({{"1", "Doe, Jane", "keep me", "", ""}}));
    const auto before = records();
    const QList<Row> rows = {{"2", "MARKETING", "fine", "", ""},
                             {"12345", "MARKETING", "priority too long", "", ""}};
    EXPECT_THROW(db::RewriteToDoItems(m_file, MemoryToDoList(rows)), jet::Error);
    EXPECT_EQ(records(), before);
}

// An added item sets the client or the project, never both; each date only when it has one.
// An item the table cannot hold changes nothing.
TEST_F(ToDoItems, AnAddedItemIsOneRecordAtTheEnd) {
    db::AddToDoItem(
        m_file, {true, "Doe, Jane", "1", "Call", storedDate(2026, 12, 5), storedDate(2027, 1, 9)});
    db::AddToDoItem(m_file, {false, "MARKETING", "5", "", std::nullopt, storedDate(2026, 2, 1)});
    const auto expected = std::vector<std::vector<std::string>>{
        {"Call", "Doe, Jane", "<null>", "1", "2026-12-05T00:00:00", "2027-01-09T00:00:00"},
        {"", "<null>", "MARKETING", "5", "<null>", "2026-02-01T00:00:00"}};
    EXPECT_EQ(records(), expected);
    EXPECT_THROW(db::AddToDoItem(m_file, {false, "X", "12345", "", {}, {}}), jet::Error);
    EXPECT_EQ(records(), expected);
}

// Replacing deletes the first record whose client (or project) with a value, priority and text
// equal the key's, exactly; a priority or text without a value matches the empty text. The
// replacement goes at the end whether or not a record matched.
TEST_F(ToDoItems, AReplacedItemLosesOnlyItsFirstMatchingRecord) {
    const std::vector<Record> stored = {
        item("2", "Doe, Jane", nullptr, "Call"), item("2", nullptr, "MARKETING", "Call"),
        item("2", "Doe, Jane", nullptr, "Call"), item(nullptr, nullptr, "PAY BILLS", nullptr)};
    const std::tuple<db::StoredItemKey, int> cases[] = {
        {{"Doe, Jane", "", "2", "Call"}, 0},  {{"", "MARKETING", "2", "Call"}, 1},
        {{"", "PAY BILLS", "", ""}, 3},       {{"", "MARKETING", "2", "call"}, -1},
        {{"", "MARKETING", "3", "Call"}, -1}, {{"", "Doe, Jane", "2", "Call"}, -1},
    };
    for (const auto& [key, deleted] : cases) {
        db::RewriteToDoItems(m_file, MemoryToDoList());
        addRecords(m_file, "Things To Do", stored);
        auto expected = records();
        EXPECT_EQ(db::ReplaceToDoItem(m_file, key, {false, "NEW", "4", "new", {}, {}}),
                  deleted >= 0);
        if (deleted >= 0)
            expected.erase(expected.begin() + deleted);
        expected.push_back({"new", "<null>", "NEW", "4", "<null>", "<null>"});
        EXPECT_EQ(records(), expected) << key.project.toStdString() << deleted;
    }
}

} // namespace
