// The structural check behind `tarnwick-cli check`: every table's definition, page maps, rows
// and indexes, and the pages they claim.
#include <algorithm>
#include <map>
#include <set>

#include "data_page.h"
#include "database_impl.h"
#include "index.h"
#include "jet/error.h"

namespace jet {
namespace {

// The key this engine computes for a row of an index, or nothing when one of its column types
// or characters has no key encoding here.
std::optional<std::string> computeKey(DatabaseImpl& db, const Table& t, const RowRef& ref,
                                      const RealIndexDef& x) {
    std::string key;
    for (const IndexColumn& ic : x.columns) {
        const auto it =
            std::find_if(t.def.columns.begin(), t.def.columns.end(),
                         [&](const ColumnDef& c) { return c.number == ic.columnNumber; });
        if (it == t.def.columns.end())
            return std::nullopt;
        const Value v = db.readField(t, ref, static_cast<std::size_t>(it - t.def.columns.begin()));
        if (it->type == ColumnType::Long) {
            if (v.isNull())
                key += index::longKey(std::nullopt, ic.ascending);
            else
                key += index::longKey(static_cast<std::int32_t>(v.asInt()), ic.ascending);
        } else if (it->type == ColumnType::Text) {
            if (v.isNull()) {
                key.push_back(ic.ascending ? '\x00' : '\xFF');
                continue;
            }
            auto k = index::textKey(v.asText(), ic.ascending);
            if (!k)
                return std::nullopt;
            key += *k;
        } else {
            return std::nullopt;
        }
    }
    return key;
}

} // namespace

CheckReport DatabaseImpl::check() {
    CheckReport report;
    auto problem = [&](const std::string& s) { report.problems.push_back(s); };
    auto note = [&](const std::string& s) { report.notes.push_back(s); };

    if (pager.fileSize() % kPageSize != 0)
        problem("the file's length (" + std::to_string(pager.fileSize()) +
                " bytes) is not a whole number of pages");
    if (!header.password.empty())
        note("the database has a password");

    // Page 1: the global free-page map.
    std::vector<bool> freePage(pager.pageCount(), false);
    try {
        const std::uint8_t* p = pager.read(1);
        const page::Slot s = page::slot(p, 0, 1);
        if (p[0] != 0x01 || s.size() < 5 || p[s.start] != 0) {
            problem("page 1 does not hold an inline global page map");
        } else {
            const std::uint32_t start = bytes::u32(p + s.start + 1);
            for (std::size_t i = 0; i < (s.size() - 5) * 8u; ++i)
                if ((p[s.start + 5 + i / 8] >> (i % 8)) & 1) {
                    const std::uint64_t pg = std::uint64_t{start} + i;
                    if (pg < freePage.size())
                        freePage[pg] = true;
                }
        }
    } catch (const Error& e) {
        problem(std::string("global page map: ") + e.what());
    }

    std::map<std::uint32_t, std::string> claimedBy;
    auto claim = [&](std::uint32_t pg, const std::string& who) {
        if (pg >= pager.pageCount()) {
            problem(who + " claims page " + std::to_string(pg) + ", beyond the end of the file");
            return;
        }
        auto [it, fresh] = claimedBy.emplace(pg, who);
        if (!fresh && it->second != who)
            problem("page " + std::to_string(pg) + " is claimed by " + it->second + " and by " +
                    who);
        if (freePage[pg])
            problem("page " + std::to_string(pg) + " of " + who +
                    " is marked free in the global page map");
    };

    std::set<std::uint32_t> seenTables;
    for (const CatalogEntry& entry : catalog) {
        if (!entry.isTable())
            continue;
        const std::string who = "table '" + entry.name + "'";
        if (!seenTables.insert(entry.tdefPage()).second) {
            problem(who + " shares its definition page with another table");
            continue;
        }
        std::shared_ptr<const Table> t;
        try {
            t = table(entry);
        } catch (const Error& e) {
            problem(who + ": " + e.what());
            continue;
        }
        for (std::uint32_t pg : t->def.definitionPages)
            claim(pg, who);
        RowList rows;
        try {
            const UsageMap owned = UsageMap::read(pager, t->def.ownedMap, who);
            const UsageMap freeMap = UsageMap::read(pager, t->def.freeMap, who);
            for (std::uint32_t pg : owned.pages())
                claim(pg, who);
            for (std::uint32_t pg : freeMap.pages())
                if (!owned.contains(pg))
                    note(who + " lists page " + std::to_string(pg) +
                         " as having free space but does not own it");
            std::vector<std::string> notes;
            rows = scan(*t, &notes);
            for (const auto& n : notes)
                problem(n);
        } catch (const Error& e) {
            problem(who + ": " + e.what());
            continue;
        }
        if (rows.size() != t->def.rowCount)
            problem(who + " records " + std::to_string(t->def.rowCount) + " rows but holds " +
                    std::to_string(rows.size()));
        for (const RowRef& ref : rows)
            for (std::size_t c = 0; c < t->def.columns.size(); ++c) {
                try {
                    readField(*t, ref, c);
                } catch (const Error& e) {
                    problem(who + ", row " + std::to_string(ref.slot) + " of page " +
                            std::to_string(ref.page) + ", field '" + t->def.columns[c].name +
                            "': " + e.what());
                }
            }
        for (const LongValueMaps& m : t->def.longValueMaps) {
            try {
                const UsageMap lv = UsageMap::read(pager, m.ownedMap, who);
                for (std::uint32_t pg : lv.pages())
                    claim(pg, who);
            } catch (const Error& e) {
                problem(who + ": " + e.what());
            }
        }

        // Indexes: entries in strict order, one per row, pointing at live rows, with the keys
        // this engine computes where it can.
        std::map<std::pair<std::uint32_t, unsigned>, std::size_t> live;
        for (std::size_t i = 0; i < rows.size(); ++i)
            live[{rows[i].page, rows[i].slot}] = i;
        for (std::size_t xi = 0; xi < t->def.realIndexes.size(); ++xi) {
            const RealIndexDef& x = t->def.realIndexes[xi];
            const std::string what = who + " index " + std::to_string(xi);
            std::vector<index::Entry> entries;
            try {
                if (x.usageMap != 0) {
                    const UsageMap im = UsageMap::read(pager, x.usageMap, what);
                    for (std::uint32_t pg : im.pages())
                        claim(pg, who);
                }
                entries = index::readAllEntries(pager, x.rootPage, what);
            } catch (const Error& e) {
                problem(what + ": " + e.what());
                continue;
            }
            for (std::size_t i = 1; i < entries.size(); ++i)
                if (!index::entryLess(entries[i - 1], entries[i]))
                    problem(what + " has entries out of order at position " + std::to_string(i));
            const bool ignoresNulls = (x.flags & 0x02) != 0;
            if (!ignoresNulls && entries.size() != rows.size())
                problem(what + " has " + std::to_string(entries.size()) + " entries for " +
                        std::to_string(rows.size()) + " rows");
            std::set<std::string> distinct;
            for (const index::Entry& e : entries) {
                distinct.insert(e.key);
                const auto at = live.find({e.page, e.row});
                if (at == live.end()) {
                    problem(what + " has an entry for row " + std::to_string(e.row) + " of page " +
                            std::to_string(e.page) + ", which is not a live row");
                    continue;
                }
                try {
                    const auto key = computeKey(*this, *t, rows[at->second], x);
                    if (key && *key != e.key)
                        problem(what + " holds a wrong key for row " + std::to_string(e.row) +
                                " of page " + std::to_string(e.page));
                } catch (const Error&) {
                }
            }
            // Access does not keep this count exact (it is not lowered on delete): a note.
            if (x.uniqueCount != distinct.size())
                note(what + " records " + std::to_string(x.uniqueCount) +
                     " distinct keys but holds " + std::to_string(distinct.size()));
        }
    }
    return report;
}

} // namespace jet
