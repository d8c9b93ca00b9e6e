// The to-do items as an iCalendar calendar (RFC 5545), for other calendar programs.
#pragma once

#include <ctime>
#include <string>
#include <string_view>

#include "export.h"
#include "jet/database.h"

namespace cli {

/// Writes the records of `table`, which must be "Things To Do" (any other table throws with a
/// message saying so), as one VCALENDAR holding one VTODO per record, in stored order. Lines
/// end in CRLF and are folded at 75 octets, never inside a UTF-8 character.
///
/// Each VTODO:
/// - UID: 16 hex digits of a 64-bit FNV-1a hash of the client or project, the text and the
///   start date, then "-n" for the n-th earlier record with the same three, then "@tarnwick".
///   The priority and the deadline are left out of the hash, so an item whose priority or
///   deadline changed (the Edit dialog, a drag that trades priorities) keeps its UID and a
///   calendar updates it in place; sorting the list does not change any UID.
/// - DTSTAMP: `stamp`, the export's time in UTC ("yyyymmddThhmmssZ").
/// - SUMMARY: "ThingToDo"; CATEGORIES: "TTD Project", or "TTD Client" when there is no
///   project (the list's column 2); both escaped as TEXT, so a client "Smith, John" is one
///   category. Left out when null or empty.
/// - PRIORITY: "1" to "5" become 1, 3, 5, 7, 9; any other priority text, or none, is 0
///   (undefined).
/// - DTSTART and DUE from the start date and the deadline: whole days as VALUE=DATE; when
///   either carries a time of day, both are floating local DATE-TIMEs (the file stores wall
///   clock times without a zone), since the two must share one value type. A null date, or
///   one outside the years 100 to 9999, leaves its property out. A due date must come after
///   the start, so when the deadline is on or before the start date, DTSTART is left out and
///   the deadline alone is kept.
/// Text control characters other than tab and line breaks cannot appear in iCalendar text
/// and are dropped; line breaks become "\n".
void exportIcs(jet::Database& db, const std::string& table, std::string_view stamp,
               const Sink& sink);

/// `time` as a DTSTAMP text in UTC.
std::string icsStamp(std::time_t time);

} // namespace cli
