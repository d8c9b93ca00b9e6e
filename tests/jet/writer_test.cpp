// Creating databases and tables, adding and deleting rows. Creating over an existing file is left
// to the routines' tests; values of every kind, large tables and Access-made files written to, to
// jet_write_samples and tests/interop; deletes during a scan, to the model test's rewrites.
#include <gtest/gtest.h>

#include <cstring>

#include "blank.h"
#include "bytes.h"
#include "header.h"
#include "jet/database.h"
#include "jet/datetime.h"
#include "jet/error.h"
#include "tdef.h"
#include "test_util.h"

using namespace jettest;
using jet::Value;

namespace {

const std::string kPath = "/db/todo.mdb";
constexpr std::size_t kPage = 4096;

// Byte ranges of the Jet engine's blank file that hold values it never initialises, so a
// file made anew cannot reproduce them: the fixed-offset field (descriptor bytes 21-22) of
// variable-length columns, the flag byte of unused column slots in index definitions, and
// index definition bytes 42-45.
std::vector<std::size_t> uninitialisedBytes(const std::vector<std::uint8_t>& file,
                                            std::uint32_t page) {
    const std::uint8_t* p = file.data() + page * kPage;
    const std::size_t columns = jet::bytes::u16(p + jet::tdef::kColumnCount);
    const std::size_t real = jet::bytes::u32(p + jet::tdef::kRealIndexCount);
    std::vector<std::size_t> out;
    std::size_t at = jet::tdef::kHeaderSize + real * jet::tdef::kIndexCountSize;
    for (std::size_t c = 0; c < columns; ++c, at += jet::tdef::kColumnSize)
        if (!(p[at + 15] & 0x01)) {
            out.push_back(at + 21);
            out.push_back(at + 22);
        }
    for (std::size_t c = 0; c < columns; ++c)
        at += 2 + jet::bytes::u16(p + at);
    for (std::size_t x = 0; x < real; ++x, at += jet::tdef::kRealIndexSize) {
        for (std::size_t slot = 0; slot < 10; ++slot)
            if (jet::bytes::u16(p + at + 4 + slot * 3) == 0xFFFF)
                out.push_back(at + 4 + slot * 3 + 2);
        for (std::size_t k = 42; k < 46; ++k)
            out.push_back(at + k);
    }
    return out;
}

TEST(Writer, BlankFileHasTheJetEnginesLayout) {
    const auto jetMade = readFile(fixture("adox_jet4.mdb"));
    ASSERT_EQ(jetMade.size(), 16 * kPage);
    std::uint8_t header[kPage];
    std::memcpy(header, jetMade.data(), kPage);
    jet::applyHeaderMask(header);
    jet::BlankOptions o;
    o.creationDate = jet::bytes::f64(header + 0x72); // the sample's own creation date
    // The sample's catalog rows carry a slightly later time than its header.
    o.objectsDate = jet::bytes::f64(jetMade.data() + 14 * kPage + 0xFB5 + 12);
    const auto ours = jet::buildBlankDatabase(o);
    ASSERT_EQ(ours.size(), jetMade.size());
    // With the same creation date, pages 0, 1 and 6-15 are identical byte for byte: header,
    // global map, page maps, index leaves and catalog and access-control rows. Pages 2-5, the
    // system tables' definitions, differ only in bytes the Jet engine leaves uninitialised.
    for (std::uint32_t page = 0; page < 16; ++page) {
        SCOPED_TRACE("page " + std::to_string(page));
        std::vector<std::size_t> allowed;
        if (page >= 2 && page <= 5)
            allowed = uninitialisedBytes(jetMade, page);
        for (std::size_t i = 0; i < kPage; ++i) {
            const std::size_t at = page * kPage + i;
            if (ours[at] != jetMade[at] &&
                std::find(allowed.begin(), allowed.end(), i) == allowed.end())
                ADD_FAILURE() << "byte " << i << ": ours " << int(ours[at]) << ", Jet's "
                              << int(jetMade[at]);
        }
    }
}

TEST(Writer, RejectsValuesTheFieldCannotHold) {
    auto db = openIn(todoFile(kPath), kPath);
    auto rs = db.openTable("Things To Do");
    const struct {
        const char* field;
        Value value;
    } cases[] = {
        {"TTD Priority", Value::text("12345")}, // longer than 4 characters
        {"ThingToDo", Value::text(std::string(151, 'a'))},
        {"Thing To Do Deadline", Value::text("tomorrow")},
        {"ThingToDo", Value::integer(3)},
        {"ThingToDo", Value::text("\xC3\x28")}, // not UTF-8
    };
    for (const auto& c : cases) {
        rs.addNew();
        rs.setField(c.field, c.value);
        EXPECT_THROW(rs.update(), jet::Error) << c.field;
        rs.cancelUpdate();
    }
    EXPECT_THROW(rs.setField("No Such Field", Value::text("x")), jet::Error);
    EXPECT_EQ(readAll(db, "Things To Do").size(), 0u);
    EXPECT_TRUE(db.check().ok());
}

TEST(Writer, TablesWithIndexesAreRefusedBeforeAnythingChanges) {
    auto fs = withFixture("indexTestV2000.mdb", kPath);
    const auto before = fs->contents(kPath);
    {
        auto rs = openIn(fs, kPath).openTable("Table1");
        std::string what;
        EXPECT_EQ(errorKind([&] { rs.addNew(); }, &what), jet::ErrorKind::Unsupported);
        EXPECT_NE(what.find("indexes"), std::string::npos) << what;
        EXPECT_THROW(rs.deleteCurrent(), jet::Error);
    }
    EXPECT_EQ(fs->contents(kPath), before);
}

TEST(Writer, RewritingReusesTheSpaceOfDeletedRows) {
    auto fs = todoFile(kPath);
    auto db = openIn(fs, kPath);
    std::vector<Row> rows;
    for (int i = 0; i < 1000; ++i)
        rows.push_back(todo("Item " + std::to_string(i) + " with some descriptive text",
                            "Client " + std::to_string(i % 37) + ", Anne",
                            std::to_string(1 + i % 5), 45000 + i, 45100 + i));
    rewrite(db, "Things To Do", rows);
    const std::size_t afterFirst = fs->contents(kPath).size();
#if defined(__SANITIZE_ADDRESS__)
    const int rounds = 100; // the property is checked at full size in the normal build
#else
    const int rounds = 1000;
#endif
    for (int i = 0; i < rounds; ++i) {
        std::rotate(rows.begin(), rows.begin() + 1, rows.end());
        rewrite(db, "Things To Do", rows);
    }
    EXPECT_LE(fs->contents(kPath).size(), 2 * afterFirst);
    EXPECT_EQ(readAll(db, "Things To Do"), rows);
    EXPECT_TRUE(db.check().ok());
}

TEST(Writer, DeletingAllRowsAtOnceLeavesTheFileRowByRowDeletesLeave) {
    std::vector<Row> items;
    for (int i = 0; i < 700; ++i)
        items.push_back(todo("Item " + std::to_string(i), "Client " + std::to_string(i % 7) + ", A",
                             std::to_string(1 + i % 5), 45000 + i, 45100 + i));
    const struct {
        const char* fixture; // and its table, or a new to-do table holding `rows`
        const char* table;
        std::vector<Row> rows;
        bool ownTransaction; // no transaction of the caller's: deleteAll commits its own
        bool changedFirst;   // a row deleted and rows added through the record set before
    } cases[] = {{nullptr, "Things To Do", items, false, false},
                 {nullptr, "Things To Do", items, false, true},
                 {nullptr, "Things To Do", items, true, true},
                 {nullptr, "Things To Do", {}, false, false},
                 {"overflowTestV2000.mdb", "Table1", {}, false, true}}; // rows moved to other pages
    for (const auto& c : cases) {
        const std::string table = c.table;
        std::vector<std::uint8_t> files[2];
        // One starting file for both ways: a new file's catalog holds the time it was made.
        const auto start = c.fixture ? withFixture(c.fixture, kPath) : todoFile(kPath, c.rows);
        for (int allAtOnce = 0; allAtOnce < 2; ++allAtOnce) {
            auto fs = start->clone();
            auto db = openIn(fs, kPath);
            std::vector<Row> added = c.fixture ? readAll(db, table) : c.rows;
            std::optional<jet::Transaction> tx;
            if (!c.ownTransaction)
                tx.emplace(db);
            auto rs = db.openTable(table);
            if (c.changedFirst) {
                rs.moveNext();
                rs.deleteCurrent();
                appendRows(rs, {added.begin(), added.begin() + 3});
            }
            if (allAtOnce) {
                rs.deleteAll();
            } else {
                for (rs.moveFirst(); !rs.eof(); rs.moveNext())
                    rs.deleteCurrent();
            }
            EXPECT_TRUE(rs.eof());
            EXPECT_EQ(rs.recordCount(), 0u);
            added.erase(added.begin(),
                        added.begin() + static_cast<std::ptrdiff_t>(added.size() / 2));
            appendRows(rs, added);
            if (tx)
                tx->commit();
            EXPECT_EQ(readAll(db, table), added) << table;
            EXPECT_TRUE(db.check().ok()) << table;
            db.close();
            files[allAtOnce] = fs->contents(kPath);
        }
        // Row by row without a transaction, every delete commits on its own.
        if (!c.ownTransaction) {
            EXPECT_EQ(files[0], files[1]) << table << " " << c.rows.size();
        }
    }
}

TEST(Writer, RollbackLeavesTheFileAsItWas) {
    auto fs = todoFile(kPath, {todo("keep", "P", "1", 1, 2)});
    const auto before = fs->contents(kPath);
    {
        auto db = openIn(fs, kPath);
        db.beginTransaction();
        auto rs = db.openTable("Things To Do");
        rs.deleteCurrent();
        rs.addNew();
        rs.setField("ThingToDo", Value::text("gone"));
        rs.update();
        db.rollback();
        EXPECT_THROW(rs.recordCount(), jet::Error) << "the record set went stale";
        EXPECT_EQ(readAll(db, "Things To Do").size(), 1u);
        db.beginTransaction();
        db.createTable({"Scratch", {{"A", jet::ColumnType::Text, 5, true, false}}});
        // Closing with an open transaction rolls it back.
    }
    EXPECT_EQ(fs->contents(kPath), before);
}

} // namespace
