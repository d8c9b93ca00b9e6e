// Reading the Jet sample files: what the interop comparison with mdbtools and mdb-reader (which
// compares every value) does not see: row order after overflow, name lookup, the cursor and the
// structural check (which also holds each table's row count against its rows).
#include <gtest/gtest.h>

#include "jet/database.h"
#include "jet/error.h"
#include "test_util.h"

using namespace jettest;

namespace {

TEST(Reader, OverflowRowsAreReadWhereTheirPointerSays) {
    // Two rows were moved to overflow slots; the table's order is that of the original slots.
    auto db = jet::Database::open(fixture("overflowTestV2000.mdb"));
    std::vector<std::string> first;
    for (auto rs = db.openTable("Table1"); !rs.eof(); rs.moveNext()) {
        const jet::Value v = rs.field("data3");
        first.push_back(v.isNull() ? "" : v.asText());
    }
    EXPECT_EQ(first, (std::vector<std::string>{"", "row2col3", "row3col3", "row4col2", "row5col2",
                                               "row6col2", ""}));
}

TEST(Reader, NamesCompareExactlyAndTheCursorStopsAtTheEnd) {
    auto db = jet::Database::open(fixture("delTestV2000.mdb"));
    EXPECT_TRUE(db.hasTable("Table") && db.hasTable("[Table]"));
    EXPECT_FALSE(db.hasTable("table"));
    EXPECT_THROW(db.openTable("TABLE"), jet::Error);
    auto rs = db.openTable("Table");
    EXPECT_EQ(rs.fieldIndex("a"), 0);
    EXPECT_EQ(rs.fieldIndex("A"), -1);
    EXPECT_EQ(errorKind([&] { rs.field("A"); }), jet::ErrorKind::NotFound);
    EXPECT_EQ(rs.field("a").asText(), "z");
    rs.moveNext();
    rs.moveNext();
    EXPECT_TRUE(rs.eof());
    EXPECT_THROW(rs.field("a"), jet::Error);
    EXPECT_THROW(rs.moveNext(), jet::Error);
    rs.moveFirst();
    EXPECT_EQ(rs.field("b").asText(), "y");
    EXPECT_THROW(rs.addNew(), jet::Error) << "opened for reading";
}

TEST(Reader, EveryFixturePassesTheStructuralCheck) {
    for (const char* f :
         {"adox_jet4.mdb", "empty_v2000.mdb", "empty_v2003.mdb", "delTestV2000.mdb",
          "fixedTextTestV2000.mdb", "test2V2000.mdb", "indexTestV2000.mdb",
          "compIndexTestV2000.mdb", "overflowTestV2000.mdb", "delColTestV2000.mdb",
          "testUnicodeCompV2003.mdb", "V2000_no-password.mdb", "V2000_with-password.mdb"}) {
        SCOPED_TRACE(f);
        const jet::CheckReport r = jet::Database::open(fixture(f)).check();
        for (const auto& p : r.problems)
            ADD_FAILURE() << p;
    }
}

} // namespace
