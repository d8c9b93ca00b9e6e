#include "ics.h"

#include <cstdint>
#include <cstdio>
#include <stdexcept>
#include <tuple>
#include <unordered_map>

#include "db/schema.h"
#include "jet/datetime.h"
#include "jet/error.h"

namespace cli {
namespace {

constexpr std::size_t kChunk = std::size_t{256} << 10;
constexpr std::size_t kFoldAt = 75; // octets per line, CRLF not counted

// Appends `line` and CRLF to `out`, folded: a line longer than 75 octets goes on after CRLF and
// one blank. A cut never falls before a UTF-8 continuation byte.
void appendFolded(std::string& out, std::string_view line) {
    std::size_t room = kFoldAt;
    while (line.size() > room) {
        std::size_t cut = room;
        while (cut > 0 && (static_cast<unsigned char>(line[cut]) & 0xC0) == 0x80)
            --cut;
        out.append(line.data(), cut);
        out += "\r\n ";
        line.remove_prefix(cut);
        room = kFoldAt - 1;
    }
    out.append(line);
    out += "\r\n";
}

// Appends UTF-8 text as an iCalendar TEXT value.
void appendText(std::string& out, std::string_view text) {
    for (std::size_t i = 0; i < text.size(); ++i) {
        const char c = text[i];
        switch (c) {
        case '\\':
        case ';':
        case ',':
            out += '\\';
            out += c;
            break;
        case '\r':
            if (i + 1 < text.size() && text[i + 1] == '\n')
                ++i;
            [[fallthrough]];
        case '\n':
            out += "\\n";
            break;
        default:
            if ((static_cast<unsigned char>(c) >= 0x20 && c != 0x7F) || c == '\t')
                out += c;
        }
    }
}

std::uint64_t fnv1a(std::uint64_t hash, std::string_view bytes) {
    for (const char c : bytes) {
        hash ^= static_cast<unsigned char>(c);
        hash *= 0x100000001B3ULL;
    }
    return hash;
}

// A stored date as calendar fields, or nothing for null and values no calendar date can show.
struct Date {
    bool present = false;
    jet::DateTimeParts parts;
    bool hasTime() const { return parts.hour || parts.minute || parts.second; }
    auto key() const {
        return std::tie(parts.year, parts.month, parts.day, parts.hour, parts.minute, parts.second);
    }
};

Date dateOf(const jet::Value& value) {
    Date date;
    if (value.isNull())
        return date;
    try {
        date.parts = jet::toDateTimeParts(value.asDateTime());
        date.present = true;
    } catch (const jet::Error&) {
    }
    return date;
}

// "DTSTART;VALUE=DATE:20261205" or, with `withTime`, "DTSTART:20261205T143005".
void appendDateLine(std::string& out, const char* name, const Date& date, bool withTime) {
    char buf[64];
    const auto& p = date.parts;
    if (withTime)
        std::snprintf(buf, sizeof buf, "%s:%04d%02d%02dT%02d%02d%02d", name, p.year, p.month, p.day,
                      p.hour, p.minute, p.second);
    else
        std::snprintf(buf, sizeof buf, "%s;VALUE=DATE:%04d%02d%02d", name, p.year, p.month, p.day);
    appendFolded(out, buf);
}

} // namespace

std::string icsStamp(std::time_t time) {
    std::tm utc{};
    gmtime_r(&time, &utc);
    char buf[32];
    std::strftime(buf, sizeof buf, "%Y%m%dT%H%M%SZ", &utc);
    return buf;
}

void exportIcs(jet::Database& db, const std::string& table, std::string_view stamp,
               const Sink& sink) {
    if (table != db::schema::kThingsToDo)
        throw std::runtime_error("only the table \"" + std::string(db::schema::kThingsToDo) +
                                 "\" can be exported as iCalendar, not \"" + table + "\"");
    jet::Recordset items = db.openTable(table);
    const int priority = items.requireField(db::schema::kTtdPriority);
    const int client = items.requireField(db::schema::kTtdClient);
    const int project = items.requireField(db::schema::kTtdProject);
    const int thingToDo = items.requireField(db::schema::kThingToDo);
    const int startDate = items.requireField(db::schema::kStartDate);
    const int deadline = items.requireField(db::schema::kDeadline);

    std::string out = "BEGIN:VCALENDAR\r\nVERSION:2.0\r\nPRODID:-//Tarnwick//Tarnwick to-do "
                      "list//EN\r\nCALSCALE:GREGORIAN\r\n";
    const std::string stampLine = "DTSTAMP:" + std::string(stamp) + "\r\n";
    std::string category, text, priorityText, line;
    std::unordered_map<std::uint64_t, unsigned> seen; // hash -> records with it so far
    for (; !items.eof(); items.moveNext()) {
        category.clear();
        text.clear();
        priorityText.clear();
        if (!items.appendField(project, category))
            items.appendField(client, category);
        items.appendField(thingToDo, text);
        items.appendField(priority, priorityText);
        const Date start = dateOf(items.field(startDate));
        const Date due = dateOf(items.field(deadline));

        std::uint64_t hash = 0xCBF29CE484222325ULL;
        hash = fnv1a(hash, category);
        hash = fnv1a(hash, std::string_view("\0", 1));
        hash = fnv1a(hash, text);
        char buf[48];
        if (start.present) {
            const auto& p = start.parts;
            std::snprintf(buf, sizeof buf, "%c%04d%02d%02d%02d%02d%02d", '\0', p.year, p.month,
                          p.day, p.hour, p.minute, p.second);
            hash = fnv1a(hash, std::string_view(buf, 15));
        }
        const unsigned earlier = seen[hash]++;
        if (earlier)
            std::snprintf(buf, sizeof buf, "UID:%016llx-%u@tarnwick\r\n",
                          static_cast<unsigned long long>(hash), earlier);
        else
            std::snprintf(buf, sizeof buf, "UID:%016llx@tarnwick\r\n",
                          static_cast<unsigned long long>(hash));

        out += "BEGIN:VTODO\r\n";
        out += buf;
        out += stampLine;
        const bool withStart = start.present && (!due.present || start.key() < due.key());
        const bool withTime = (withStart && start.hasTime()) || (due.present && due.hasTime());
        if (withStart)
            appendDateLine(out, "DTSTART", start, withTime);
        if (due.present)
            appendDateLine(out, "DUE", due, withTime);
        if (!text.empty()) {
            line = "SUMMARY:";
            appendText(line, text);
            appendFolded(out, line);
        }
        if (!category.empty()) {
            line = "CATEGORIES:";
            appendText(line, category);
            appendFolded(out, line);
        }
        int level = 0;
        if (priorityText.size() == 1 && priorityText[0] >= '1' && priorityText[0] <= '5')
            level = 2 * (priorityText[0] - '0') - 1;
        out += "PRIORITY:";
        out += static_cast<char>('0' + level);
        out += "\r\nEND:VTODO\r\n";
        if (out.size() >= kChunk) {
            sink(out);
            out.clear();
        }
    }
    out += "END:VCALENDAR\r\n";
    sink(out);
}

} // namespace cli
