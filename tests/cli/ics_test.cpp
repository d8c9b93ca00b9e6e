// The iCalendar export's own choices, which ical.js reading the export back (tests/interop)
// cannot tell: a repeated item's UID, priorities outside 1 to 5, the project before the client,
// control characters and lone carriage returns in texts, and dates out of range.
#include <gtest/gtest.h>

#include <regex>

#include "ics.h"
#include "test_util.h"

using namespace jettest;

namespace {

TEST(IcsExport, EachItemBecomesAToDoWithEscapedTextsMappedPriorityAndOrderedDates) {
    auto fs = std::make_shared<MemoryFileSystem>();
    auto db = createIn(fs, "/db/ics.mdb");
    db.createTable(thingsToDoSpec());
    using V = jet::Value;
    const V jan5 = V::dateTime(46027), jan10 = V::dateTime(46032);
    // ThingToDo, TTD Client, TTD Project, TTD Priority, start date, deadline
    addRows(
        db, "Things To Do",
        {{V::text("Call re lease"), V::text("Smith, John"), V::null(), V::text("1"), jan5, jan10},
         {V::text("a;b\\c,\r\nd\re\x01\tf"), V::text("Doe, Jane"), V::text("Estate"), V::text("2"),
          V::dateTime(46027.5), jan10},
         {V::text("x"), V::null(), V::null(), V::text("6"), jan5, jan5},
         {V::text("Call re lease"), V::text("Smith, John"), V::null(), V::text("5"), jan5,
          V::null()},
         {V::null(), V::null(), V::text(""), V::null(), V::dateTime(-1e7), V::null()}});
    std::string ics;
    cli::exportIcs(db, "Things To Do", "20260101T120000Z", [&](std::string_view s) { ics += s; });

    std::vector<std::string> uids;
    const std::regex uidLine("UID:([0-9a-f]{16}(-[0-9]+)?)@tarnwick\r\n");
    for (std::sregex_iterator m(ics.begin(), ics.end(), uidLine), end; m != end; ++m)
        uids.push_back((*m)[1]);
    ASSERT_EQ(uids.size(), 5u);
    EXPECT_EQ(uids[3], uids[0] + "-1"); // same item, other priority and deadline

    const std::string head = "BEGIN:VTODO\r\nUID\r\nDTSTAMP:20260101T120000Z\r\n";
    EXPECT_EQ(std::regex_replace(ics, uidLine, "UID\r\n"),
              "BEGIN:VCALENDAR\r\nVERSION:2.0\r\nPRODID:-//Tarnwick//Tarnwick to-do list//EN\r\n"
              "CALSCALE:GREGORIAN\r\n" +
                  head +
                  "DTSTART;VALUE=DATE:20260105\r\nDUE;VALUE=DATE:20260110\r\n"
                  "SUMMARY:Call re lease\r\nCATEGORIES:Smith\\, John\r\nPRIORITY:1\r\n"
                  "END:VTODO\r\n" +
                  head +
                  "DTSTART:20260105T120000\r\nDUE:20260110T000000\r\n"
                  "SUMMARY:a\\;b\\\\c\\,\\nd\\ne\tf\r\nCATEGORIES:Estate\r\nPRIORITY:3\r\n"
                  "END:VTODO\r\n" +
                  head + "DUE;VALUE=DATE:20260105\r\nSUMMARY:x\r\nPRIORITY:0\r\nEND:VTODO\r\n" +
                  head +
                  "DTSTART;VALUE=DATE:20260105\r\nSUMMARY:Call re lease\r\n"
                  "CATEGORIES:Smith\\, John\r\nPRIORITY:9\r\nEND:VTODO\r\n" +
                  head + "PRIORITY:0\r\nEND:VTODO\r\nEND:VCALENDAR\r\n");
    EXPECT_EQ(cli::icsStamp(0), "19700101T000000Z");
}

} // namespace
