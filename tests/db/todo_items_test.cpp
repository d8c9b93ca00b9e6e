// Loading and rewriting the to-do items between a real file and typed items, and the texts the
// list shows for them: dates in several locales, and their way back into stored values.
#include <gtest/gtest.h>

#include <QTemporaryDir>
#include <cmath>
#include <tuple>

#include "db/date_text.h"
#include "db/engine.h"
#include "db/routines.h"
#include "db/schema.h"
#include "db_test_util.h"
#include "jet/error.h"

using namespace dbtest;
using db::ItemDate;
using db::ToDoItem;

namespace {

// A record of "Things To Do" of priority, client, project and text; null where not given.
Record record(const char* priority, const char* client, const char* project, const char* thing) {
    Record result;
    for (const auto& [field, value] : {std::pair{"TTD Priority", priority},
                                       {"TTD Client", client},
                                       {"TTD Project", project},
                                       {"ThingToDo", thing}})
        if (value != nullptr)
            result.emplace_back(field, text(value));
    return result;
}

class ToDoItems : public ::testing::Test {
protected:
    void SetUp() override {
        m_file = m_dir.filePath("items.mdb");
        db::schema::createDatabase(db::enginePath(m_file));
    }
    Rows load() { return rowsOf(db::LoadToDoItems(m_file)); }
    // "Things To Do" in field order: ThingToDo, TTD Client, TTD Project, TTD Priority, start
    // date, deadline.
    std::vector<std::vector<std::string>> records() { return tableRows(m_file, "Things To Do"); }

    LocaleGuard m_locale{QLocale::c()};
    QTemporaryDir m_dir;
    QString m_file;
};

TEST_F(ToDoItems, RecordsLoadAsItemsInStoredOrder) {
    Record first = record("1", "Doe, Jane", nullptr, "Telephone conference with Jane");
    first.emplace_back("Thing To Do Start Date", jet::Value::dateTime(storedDate(2026, 12, 5)));
    first.emplace_back("Thing To Do Deadline",
                       jet::Value::dateTime(storedDate(2027, 1, 9, 15, 30)));
    addRecords(m_file, "Things To Do",
               {first, record("5", nullptr, "MARKETING", nullptr),
                record("2", "Roe, Rick", "PAY BILLS", ""),
                record(nullptr, nullptr, "REVIEW CASES", "no priority"),
                record("03", "Acme, Inc", nullptr, "odd priority")});
    const Rows expected = {
        {"1", "Doe, Jane", "Telephone conference with Jane", "12/5/2026", "1/9/2027 3:30:00 PM"},
        {"5", "MARKETING", "", "", ""},
        {"2", "PAY BILLS", "", "", ""},
        {"", "REVIEW CASES", "no priority", "", ""},
        {"03", "Acme, Inc", "odd priority", "", ""},
    };
    EXPECT_EQ(load(), expected);
    const std::vector<ToDoItem> items = db::LoadToDoItems(m_file);
    EXPECT_EQ(items.at(0).priority.number(), 1);
    EXPECT_EQ(items.at(4).priority.number(), 0);
    EXPECT_EQ(items.at(0).partyKind(), db::PartyKind::Client);
    EXPECT_EQ(items.at(2).partyKind(), db::PartyKind::Project);
}

// Over records already there, as every save writes: the party by the comma rule, each date
// only when it has one, its time of day kept, a priority that is not 1 to 5 as it stood, and
// texts beyond ASCII (the engine's tests put them at every place of a stored text).
TEST_F(ToDoItems, RewriteSetsClientOrProjectByTheCommaRuleAndDatesOrNulls) {
    db::RewriteToDoItems(m_file, {item("9", "OLD", "gone")});
    const std::vector<ToDoItem> items = {
        item("1", "Doe, Jane", "Call", storedDate(2026, 12, 5), storedDate(2027, 1, 9)),
        item("2", "ADMINISTRATION", "Bills", std::nullopt, storedDate(2026, 12, 5, 14, 30)),
        item("3", "", ""),
        item("4", "SMITH, JONES & CO", "Comma"),
        item("", "Doe,Jane", "no blank after the comma"),
        item("High", "MARKETING", "a priority of other text"),
        item("5", QString::fromUtf8("\xc5\x81ukasz, Zo\xc3\xab"),
             QString::fromUtf8("\xf0\x9f\x98\x80 call")),
    };
    db::RewriteToDoItems(m_file, items);
    const std::vector<std::vector<std::string>> expected = {
        {"Call", "Doe, Jane", "<null>", "1", "2026-12-05T00:00:00", "2027-01-09T00:00:00"},
        {"Bills", "<null>", "ADMINISTRATION", "2", "<null>", "2026-12-05T14:30:00"},
        {"", "<null>", "", "3", "<null>", "<null>"},
        {"Comma", "SMITH, JONES & CO", "<null>", "4", "<null>", "<null>"},
        {"no blank after the comma", "<null>", "Doe,Jane", "", "<null>", "<null>"},
        {"a priority of other text", "<null>", "MARKETING", "High", "<null>", "<null>"},
        {"\xf0\x9f\x98\x80 call", "\xc5\x81ukasz, Zo\xc3\xab", "<null>", "5", "<null>", "<null>"},
    };
    EXPECT_EQ(records(), expected);
    EXPECT_EQ(db::LoadToDoItems(m_file), items);
}

// A table of other fields: loading reads fields only with a record, so an empty one loads as
// no items and one with a record fails. An empty list is stored into it without touching a
// field, and a list with items fails.
TEST_F(ToDoItems, FieldsAreRequiredOnlyWhenThereIsARecord) {
    m_file = m_dir.filePath("other.mdb");
    makeDatabase(m_file, {{"Things To Do", {textField("Note"), textField("TTD Priority", 4)}}});
    EXPECT_TRUE(load().isEmpty());
    EXPECT_NO_THROW(db::RewriteToDoItems(m_file, {}));
    EXPECT_THROW(db::RewriteToDoItems(m_file, {item("1", "", "")}), jet::Error);
    addRecords(m_file, "Things To Do", {{{"TTD Priority", text("1")}}});
    EXPECT_THROW(db::LoadToDoItems(m_file), jet::Error);
}

// An added item sets the field its dialog chose, never both; each date only when it has one. An
// item or a rewrite the table cannot hold changes nothing: each write is one transaction.
TEST_F(ToDoItems, AnAddedItemIsOneRecordAtTheEnd) {
    db::AddToDoItem(m_file,
                    item("1", "Doe, Jane", "Call", storedDate(2026, 12, 5), storedDate(2027, 1, 9)),
                    db::PartyKind::Client);
    db::AddToDoItem(m_file, item("5", "Acme, Inc", "", std::nullopt, storedDate(2026, 2, 1)),
                    db::PartyKind::Project);
    const auto expected = std::vector<std::vector<std::string>>{
        {"Call", "Doe, Jane", "<null>", "1", "2026-12-05T00:00:00", "2027-01-09T00:00:00"},
        {"", "<null>", "Acme, Inc", "5", "<null>", "2026-02-01T00:00:00"}};
    EXPECT_EQ(records(), expected);
    EXPECT_THROW(db::AddToDoItem(m_file, item("12345", "X", ""), db::PartyKind::Project),
                 jet::Error);
    EXPECT_THROW(db::RewriteToDoItems(m_file, {item("2", "MARKETING", "fine"),
                                               item("12345", "MARKETING", "priority too long")}),
                 jet::Error);
    EXPECT_EQ(records(), expected);
}

// Replacing deletes the first record whose client (or project) with a value, priority and text
// equal the old item's, exactly; a priority or text without a value matches the empty text.
// The replacement goes at the end whether or not a record matched.
TEST_F(ToDoItems, AReplacedItemLosesOnlyItsFirstMatchingRecord) {
    const std::vector<Record> stored = {
        record("2", "Doe, Jane", nullptr, "Call"), record("2", nullptr, "MARKETING", "Call"),
        record("2", "Doe, Jane", nullptr, "Call"), record(nullptr, nullptr, "PAY BILLS", nullptr)};
    const std::tuple<ToDoItem, int> cases[] = {
        {item("2", "Doe, Jane", "Call"), 0},  {item("2", "MARKETING", "Call"), 1},
        {item("", "PAY BILLS", ""), 3},       {item("2", "MARKETING", "call"), -1},
        {item("3", "MARKETING", "Call"), -1}, {item("2", "Doe,Jane", "Call"), -1},
    };
    for (const auto& [old, deleted] : cases) {
        db::RewriteToDoItems(m_file, {});
        addRecords(m_file, "Things To Do", stored);
        auto expected = records();
        ASSERT_EQ(expected.size(), stored.size()) << "an empty list rewritten leaves no record";
        EXPECT_EQ(db::ReplaceToDoItem(m_file, old, item("4", "NEW", "new")), deleted >= 0);
        if (deleted >= 0)
            expected.erase(expected.begin() + deleted);
        expected.push_back({"new", "<null>", "NEW", "4", "<null>", "<null>"});
        EXPECT_EQ(records(), expected) << old.party.toStdString() << deleted;
    }
}

// A date no form can show is empty, and none past the year 9999 can be chosen. (The list's texts
// of loaded and chosen dates under each locale are checked through the item dialogs.)
TEST(ItemTexts, DatesNoFormCanShowAreEmpty) {
    EXPECT_EQ((ItemDate{-700000.0, ItemDate::Form::Locale}).text(), "");
    EXPECT_FALSE(ItemDate::chosen(QDate(10000, 1, 1)));
}

struct Shown {
    const char* locale;
    double value;
    const char* text;
};

TEST(DateText, ShowsTheLocaleShortDateWithAFourDigitYearAndATimeOnlyWhenNotMidnight) {
    const Shown cases[] = {
        {"C", storedDate(2026, 12, 5), "12/5/2026"},
        {"C", storedDate(2026, 12, 5, 14, 30, 5), "12/5/2026 2:30:05 PM"},
        {"en_US", storedDate(2026, 12, 5, 0, 0, 1), "12/5/2026 12:00:01 AM"},
        {"de_DE", storedDate(2026, 12, 5), "05.12.2026"},
        {"de_DE", storedDate(2026, 12, 5, 14, 30, 5), "05.12.2026 14:30:05"},
        {"en_GB", storedDate(2026, 12, 5), "05/12/2026"},
        {"ja_JP", storedDate(2026, 12, 5), "2026/12/05"},
        {"C", -700000.0, ""}, // before the year 100
        {"C", std::nan(""), ""},
    };
    for (const Shown& c : cases) {
        LocaleGuard locale{QLocale(QString::fromLatin1(c.locale))};
        EXPECT_EQ(db::textFromDate(c.value), QString::fromUtf8(c.text))
            << c.locale << " " << c.value;
    }
}

struct Read {
    const char* locale;
    const char* text;
    std::optional<double> value;
};

TEST(DateText, ReadsTheLocaleFormThenMonthFirstAndNothingElse) {
    const Read cases[] = {
        {"C", "12/5/2026", storedDate(2026, 12, 5)},
        {"C", "  12/05/2026 ", storedDate(2026, 12, 5)},
        {"C", "12/5/2026 2:30:05 PM", storedDate(2026, 12, 5, 14, 30, 5)},
        {"C", "12/5/2026 14:30:05", storedDate(2026, 12, 5, 14, 30, 5)},
        {"C", "   ", std::nullopt},
        {"C", "2/30/2026", std::nullopt},
        {"C", "next week", std::nullopt},
        {"C", "12/5/2026 25:00:00", std::nullopt},
        {"C", "12/5/26", std::nullopt},
        {"de_DE", "5.12.2026", storedDate(2026, 12, 5)},
        {"de_DE", "12/5/2026", storedDate(2026, 12, 5)}, // as the item dialogs write it
        {"de_DE", "05.12.2026 14:30:05", storedDate(2026, 12, 5, 14, 30, 5)},
        // Day-first locale: the locale's reading wins where both fit.
        {"en_GB", "05/12/2026", storedDate(2026, 12, 5)},
        {"en_GB", "12/5/2026", storedDate(2026, 5, 12)},
        {"en_GB", "12/25/2026", storedDate(2026, 12, 25)},
    };
    for (const Read& c : cases) {
        LocaleGuard locale{QLocale(QString::fromLatin1(c.locale))};
        EXPECT_EQ(db::dateFromText(QString::fromUtf8(c.text)), c.value)
            << c.locale << " \"" << c.text << "\"";
    }
}

TEST(DateText, EveryShownOrDialogValueReadsBackToTheSameSecond) {
    const double values[] = {storedDate(2026, 12, 5),        storedDate(2026, 12, 5, 23, 59, 59),
                             storedDate(100, 1, 1),          storedDate(9999, 12, 31, 12, 0, 0),
                             storedDate(1899, 12, 30, 6, 0), storedDate(2024, 2, 29)};
    for (const char* name : {"C", "en_US", "de_DE", "en_GB", "fr_FR", "ja_JP", "fi_FI", "ar_EG"}) {
        LocaleGuard locale{QLocale(QString::fromLatin1(name))};
        for (const double value : values) {
            const QString text = db::textFromDate(value);
            EXPECT_EQ(db::dateFromText(text), value) << name << " \"" << text.toStdString() << "\"";
        }
        // The item dialogs write month first with ASCII digits in any locale.
        EXPECT_EQ(db::dialogDateText(QDate(2026, 12, 5)), "12/5/2026") << name;
        EXPECT_EQ(db::dateFromText(db::dialogDateText(QDate(2026, 1, 31))), storedDate(2026, 1, 31))
            << name;
    }
}

} // namespace
