// Damaged files: one named case per kind of damage. Each must end in a jet::Error with a
// description, never a crash, a hang or an unbounded allocation. (Random damage: the fuzz target.)
#include <gtest/gtest.h>

#include <cstring>
#include <functional>

#include "bytes.h"
#include "data_page.h"
#include "database_impl.h"
#include "header.h"
#include "jet/database.h"
#include "jet/error.h"
#include "long_value.h"
#include "test_util.h"

using namespace jettest;

namespace {

constexpr std::size_t kPage = 4096;
const std::string kPath = "/db/damaged.mdb";

using Bytes = std::vector<std::uint8_t>;

/// Opens `file` and, unless `openOnly`, reads every value of every table and runs the check.
void readEverything(const Bytes& file, bool openOnly = false) {
    auto fs = std::make_shared<MemoryFileSystem>();
    fs->setContents(kPath, file);
    auto db = openIn(fs, kPath, jet::OpenMode::ReadOnly);
    if (openOnly)
        return;
    for (const auto& name : db.allTableNames())
        readAll(db, name);
    db.check();
}

/// A database made by the engine with a to-do table of a few rows, and its table's
/// definition page.
std::pair<Bytes, std::uint32_t> sampleDatabase() {
    auto fs = todoFile(kPath, {todo("Call", "Smith, John", "1", 45000, 45001),
                               todo("Write", "PAY BILLS", "2", 45002, 45003)});
    return {fs->contents(kPath), openIn(fs, kPath).tableDef("Things To Do").page};
}

TEST(Corruption, EachKindOfDamageIsACleanError) {
    const auto [good, tdef] = sampleDatabase();
    const std::size_t last = good.size() - kPage; // the table's data page
    const auto cut = [](std::size_t size) { return [size](Bytes& f) { f.resize(size); }; };
    const auto version = [](std::uint8_t v) { return [v](Bytes& f) { f[0x14] = v; }; };
    const auto definition = [t = tdef](std::size_t at, std::uint32_t v) {
        return [=](Bytes& f) { jet::bytes::put32(f.data() + t * kPage + at, v); };
    };
    using K = jet::ErrorKind;
    const struct {
        const char* name;
        std::function<void(Bytes&)> edit;
        K kind;
        bool failsAtOpen;
    } cases[] = {
        {"zero-length file", cut(0), K::Corrupt, true},
        {"text file renamed .mdb",
         [](Bytes& f) {
             const std::string t = "Dear client,\nthis is a letter, not a database.\n";
             f.assign(t.begin(), t.end());
             f.resize(3 * kPage, ' ');
         },
         K::Corrupt, true},
        {"truncated inside the header", cut(100), K::Corrupt, true},
        {"truncated after the header", cut(kPage), K::Corrupt, true},
        {"truncated before the catalog rows", cut(10 * kPage), K::Corrupt, true},
        {"truncated before the table's rows", cut(last), K::Corrupt, false},
        {"truncated in the middle of a page", cut(good.size() - kPage / 2), K::Corrupt, false},
        {"Jet 3 version byte", version(0), K::Unsupported, true},
        {"Access 2007 version byte", version(2), K::Unsupported, true},
        {"unknown version byte", version(0x7F), K::Unsupported, true},
        {"database key set (encrypted)",
         [](Bytes& f) {
             jet::applyHeaderMask(f.data());
             f[0x3E] = 0x5A;
             jet::applyHeaderMask(f.data());
         },
         K::Encrypted, true},
        {"definition continues beyond the file", definition(4, 0x00FFFFFF), K::Corrupt, false},
        {"definition continues in a loop", definition(4, tdef), K::Corrupt, false},
        {"row offset outside its page",
         [=](Bytes& f) { jet::bytes::put16(f.data() + last + jet::page::kSlotTable, 2); },
         K::Corrupt, false},
        {"slot count larger than the page",
         [=](Bytes& f) { jet::bytes::put16(f.data() + last + jet::page::kSlotCount, 3000); },
         K::Corrupt, false},
        // The owned map's pointer in the definition: page 0x7FFFFF, row 0.
        {"usage map pointing outside the file", definition(55, 0x7FFFFF00), K::Corrupt, false},
        {"usage map window far beyond the file",
         [t = tdef](Bytes& f) {
             const std::uint32_t ptr = jet::bytes::u32(f.data() + t * kPage + 55);
             std::uint8_t* p = f.data() + jet::page::pointerPage(ptr) * kPage;
             std::uint8_t* row = p + jet::page::slot(p, jet::page::pointerRow(ptr), 0).start;
             jet::bytes::put32(row + 1, 0x00F00000); // start page of the inline map
             row[5] = 0xFF;
         },
         K::Corrupt, false},
        {"catalog definition page is not a definition", [](Bytes& f) { f[2 * kPage] = 0x01; },
         K::Corrupt, true},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        Bytes f = good;
        c.edit(f);
        std::string what;
        EXPECT_EQ(errorKind([&] { readEverything(f, c.failsAtOpen); }, &what), c.kind);
        EXPECT_GT(what.size(), 20u) << "a description";
    }
}

TEST(Corruption, LoopInALongValueChain) {
    auto fs = withFixture("test2V2000.mdb", kPath);
    // Find the first row of the chained value and point it back at itself.
    std::uint32_t first = 0;
    {
        jet::DatabaseImpl db(kPath, {.fileSystem = fs});
        auto t = db.table(*db.findTable("MSP_PROJECTS"));
        const int col = t->def.findColumn("RESERVED_BINARY_DATA");
        const jet::bytes::View b = db.rowBytes(*t, db.scan(*t).at(0));
        const auto cracked = jet::row::crack(b.data(), b.size(), t->layout);
        const auto f = jet::row::field(cracked, t->layout, t->def.columns[col], col);
        ASSERT_EQ(f.data[3] & 0xC0, 0) << "stored as a chain";
        first = jet::bytes::u32(f.data + 4);
    }
    auto file = fs->contents(kPath);
    std::uint8_t* p = file.data() + jet::page::pointerPage(first) * kPage;
    jet::bytes::put32(p + jet::page::slot(p, jet::page::pointerRow(first), 0).start, first);
    fs->setContents(kPath, file);
    auto rs = openIn(fs, kPath, jet::OpenMode::ReadOnly).openTable("MSP_PROJECTS");
    EXPECT_NO_THROW(rs.field("PROJ_NAME"));
    std::string what;
    EXPECT_EQ(errorKind([&] { rs.field("RESERVED_BINARY_DATA"); }, &what), jet::ErrorKind::Corrupt);
    EXPECT_NE(what.find("loops"), std::string::npos) << what;
}

} // namespace
