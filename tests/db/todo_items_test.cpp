// Loading and rewriting the to-do items between a real file and a list of rows.
#include <gtest/gtest.h>

#include <QTemporaryDir>
#include <tuple>

#include "db/engine.h"
#include "db/routines.h"
#include "db/schema.h"
#include "db_test_util.h"
#include "jet/error.h"
#include "memory_todo_list.h"

using namespace dbtest;

namespace {

// A record of "Things To Do" of priority, client, project and text; null where not given.
Record item(const char* priority, const char* client, const char* project, const char* thing) {
    Record record;
    for (const auto& [field, value] : {std::pair{"TTD Priority", priority},
                                       {"TTD Client", client},
                                       {"TTD Project", project},
                                       {"ThingToDo", thing}})
        if (value != nullptr)
            record.emplace_back(field, text(value));
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
    Record first = item("1", "Doe, Jane", nullptr, "Telephone conference with Jane");
    first.emplace_back("Thing To Do Start Date", jet::Value::dateTime(storedDate(2026, 12, 5)));
    first.emplace_back("Thing To Do Deadline",
                       jet::Value::dateTime(storedDate(2027, 1, 9, 15, 30)));
    addRecords(m_file, "Things To Do",
               {first, item("5", nullptr, "MARKETING", nullptr),
                item("2", "Roe, Rick", "PAY BILLS", ""),
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

// Over records already there, as every save writes.
TEST_F(ToDoItems, RewriteSetsClientOrProjectByTheCommaRuleAndDatesOrNulls) {
    db::RewriteToDoItems(m_file, MemoryToDoList({{"9", "OLD", "gone", "", ""}}));
    db::RewriteToDoItems(m_file,
                         MemoryToDoList({
                             {"1", "Doe, Jane", "Call", "12/5/2026", "1/9/2027"},
                             {"2", "ADMINISTRATION", "Bills", "", "someday"},
                             {"3", "", "", "2/30/2026", "  12/05/2026  "},
                             {"4", "SMITH, JONES & CO", "Comma", "12/5/2026 2:30:00 PM", ""},
                             {"", "Doe,Jane", "no blank after the comma", "", ""},
                         }));
    const std::vector<std::vector<std::string>> expected = {
        {"Call", "Doe, Jane", "<null>", "1", "2026-12-05T00:00:00", "2027-01-09T00:00:00"},
        {"Bills", "<null>", "ADMINISTRATION", "2", "<null>", "<null>"},
        {"", "<null>", "", "3", "<null>", "2026-12-05T00:00:00"},
        {"Comma", "SMITH, JONES & CO", "<null>", "4", "2026-12-05T14:30:00", "<null>"},
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

// A table of other fields: loading reads fields only with a record, so an empty one loads as
// an empty list and one with a record fails without appending a row.
// An empty list is stored into it without touching a field, and a list with rows fails.
TEST_F(ToDoItems, FieldsAreRequiredOnlyWhenThereIsARecord) {
    m_file = m_dir.filePath("other.mdb");
    makeDatabase(m_file, {{"Things To Do", {textField("Note"), textField("TTD Priority", 4)}}});
    EXPECT_TRUE(load().isEmpty());
    EXPECT_NO_THROW(db::RewriteToDoItems(m_file, MemoryToDoList()));
    EXPECT_THROW(db::RewriteToDoItems(m_file, MemoryToDoList({{"1", "", "", "", ""}})), jet::Error);
    addRecords(m_file, "Things To Do", {{{"TTD Priority", text("1")}}});
    MemoryToDoList list;
    EXPECT_THROW(db::LoadToDoItems(m_file, list), jet::Error);
    EXPECT_TRUE(list.rows.isEmpty());
}

// An added item sets the client or the project, never both; each date only when it has one.
// An item or a rewritten row the table cannot hold changes nothing: each write is one
// transaction (the engine's crash tests show any transaction survives a crash or failure at
// every write as old or new).
TEST_F(ToDoItems, AnAddedItemIsOneRecordAtTheEnd) {
    db::AddToDoItem(
        m_file, {true, "Doe, Jane", "1", "Call", storedDate(2026, 12, 5), storedDate(2027, 1, 9)});
    db::AddToDoItem(m_file, {false, "MARKETING", "5", "", std::nullopt, storedDate(2026, 2, 1)});
    const auto expected = std::vector<std::vector<std::string>>{
        {"Call", "Doe, Jane", "<null>", "1", "2026-12-05T00:00:00", "2027-01-09T00:00:00"},
        {"", "<null>", "MARKETING", "5", "<null>", "2026-02-01T00:00:00"}};
    EXPECT_EQ(records(), expected);
    EXPECT_THROW(db::AddToDoItem(m_file, {false, "X", "12345", "", {}, {}}), jet::Error);
    const QList<Row> rows = {{"2", "MARKETING", "fine", "", ""},
                             {"12345", "MARKETING", "priority too long", "", ""}};
    EXPECT_THROW(db::RewriteToDoItems(m_file, MemoryToDoList(rows)), jet::Error);
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
        ASSERT_EQ(expected.size(), stored.size()) << "an empty list rewritten leaves no record";
        EXPECT_EQ(db::ReplaceToDoItem(m_file, key, {false, "NEW", "4", "new", {}, {}}),
                  deleted >= 0);
        if (deleted >= 0)
            expected.erase(expected.begin() + deleted);
        expected.push_back({"new", "<null>", "NEW", "4", "<null>", "<null>"});
        EXPECT_EQ(records(), expected) << key.project.toStdString() << deleted;
    }
}

} // namespace
