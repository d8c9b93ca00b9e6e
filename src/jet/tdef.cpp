#include "tdef.h"

#include <algorithm>
#include <cctype>
#include <set>

#include "bytes.h"
#include "jet/error.h"
#include "pager.h"
#include "text.h"

namespace jet {
namespace {

[[noreturn]] void damaged(const std::string& table, const std::string& what) {
    throw Error(ErrorKind::Corrupt, "The database file is damaged: the definition of table '" +
                                        table + "' " + what + ".");
}

std::string readName(const bytes::View& v, std::size_t& at) {
    const std::uint16_t len = v.u16(at);
    const std::uint8_t* p = v.at(at + 2, len);
    at += 2 + std::size_t{len};
    return text::decodeStored(p, len);
}

} // namespace

int TableDef::findColumn(std::string_view columnName) const {
    for (std::size_t i = 0; i < columns.size(); ++i)
        if (columns[i].name == columnName)
            return static_cast<int>(i);
    return -1;
}

TableDef readTableDef(Pager& pager, std::uint32_t page, const std::string& name) {
    TableDef def;
    def.name = name;
    def.page = page;

    // The logical definition: the first page whole, then bytes 8.. of each continuation page.
    std::vector<std::uint8_t> buffer;
    std::set<std::uint32_t> seen;
    for (std::uint32_t p = page; p != 0;) {
        if (!seen.insert(p).second)
            damaged(name, "continues in a loop of pages");
        if (p >= pager.pageCount())
            damaged(name,
                    "continues on page " + std::to_string(p) + ", beyond the end of the file");
        const std::uint8_t* data = pager.read(p);
        if (data[0] != 0x02)
            damaged(name, "on page " + std::to_string(p) + " is not a table definition page");
        if (buffer.empty())
            buffer.assign(data, data + kPageSize);
        else
            buffer.insert(buffer.end(), data + 8, data + kPageSize);
        def.definitionPages.push_back(p);
        p = bytes::u32(data + tdef::kNextPage);
    }

    const bytes::View v(buffer.data(), buffer.size(), "table definition");
    def.rowCount = v.u32(tdef::kRowCount);
    def.autoNumber = v.u32(tdef::kAutoNumber);
    def.tableType = v.u8(tdef::kTableType);
    def.maxColumns = v.u16(tdef::kMaxColumns);
    def.varColumns = v.u16(tdef::kVarColumns);
    const std::size_t columnCount = v.u16(tdef::kColumnCount);
    const std::size_t logicalCount = v.u32(tdef::kLogicalIndexCount);
    const std::size_t realCount = v.u32(tdef::kRealIndexCount);
    def.ownedMap = v.u32(tdef::kOwnedMap);
    def.freeMap = v.u32(tdef::kFreeMap);

    // Each count must leave room for its entries before anything is allocated for them.
    std::size_t at = tdef::kHeaderSize;
    if (realCount > buffer.size() / tdef::kRealIndexSize ||
        logicalCount > buffer.size() / tdef::kLogicalIndexSize ||
        columnCount > buffer.size() / tdef::kColumnSize)
        damaged(name, "claims more columns or indexes than it holds");

    std::vector<std::uint32_t> uniqueCounts;
    for (std::size_t i = 0; i < realCount; ++i) {
        uniqueCounts.push_back(v.u32(at + 4));
        at += tdef::kIndexCountSize;
    }

    def.columns.resize(columnCount);
    for (auto& c : def.columns) {
        const bytes::View d = v.sub(at, tdef::kColumnSize);
        c.type = static_cast<ColumnType>(d.u8(0));
        c.number = d.u16(5);
        c.varIndex = d.u16(7);
        c.sortOrder = d.u16(11);
        c.precision = d.u8(11);
        c.scale = d.u8(12);
        c.flags = d.u8(15);
        c.extraFlags = d.u8(16);
        c.fixedOffset = d.u16(21);
        c.length = d.u16(23);
        at += tdef::kColumnSize;
    }
    for (auto& c : def.columns)
        c.name = readName(v, at);
    std::stable_sort(def.columns.begin(), def.columns.end(),
                     [](const ColumnDef& a, const ColumnDef& b) { return a.number < b.number; });
    for (std::size_t i = 1; i < def.columns.size(); ++i)
        if (def.columns[i].number == def.columns[i - 1].number)
            damaged(name, "has two columns numbered " + std::to_string(def.columns[i].number));

    def.realIndexes.resize(realCount);
    for (std::size_t i = 0; i < realCount; ++i) {
        auto& x = def.realIndexes[i];
        const bytes::View d = v.sub(at, tdef::kRealIndexSize);
        for (std::size_t slot = 0; slot < 10; ++slot) {
            const std::uint16_t col = d.u16(4 + slot * 3);
            if (col == 0xFFFF)
                continue;
            x.columns.push_back({col, (d.u8(4 + slot * 3 + 2) & 0x01) != 0});
        }
        x.usageMap = d.u32(34);
        x.rootPage = d.u32(38);
        x.flags = d.u8(46);
        x.uniqueCount = uniqueCounts[i];
        at += tdef::kRealIndexSize;
    }

    def.indexes.resize(logicalCount);
    for (auto& x : def.indexes) {
        const bytes::View d = v.sub(at, tdef::kLogicalIndexSize);
        x.number = d.u32(4);
        x.realIndex = d.u32(8);
        x.cascadeUpdates = d.u8(21);
        x.cascadeDeletes = d.u8(22);
        x.kind = d.u8(23);
        if (x.realIndex >= realCount)
            damaged(name, "has an index that refers to a missing index structure");
        at += tdef::kLogicalIndexSize;
    }
    for (auto& x : def.indexes)
        x.name = readName(v, at);

    // Usage maps of Memo/OLE columns: (column number, owned map, free map) until FF FF.
    while (at + 2 <= buffer.size()) {
        const std::uint16_t col = v.u16(at);
        if (col == 0xFFFF)
            break;
        if (at + 10 > buffer.size())
            break;
        def.longValueMaps.push_back({col, v.u32(at + 2), v.u32(at + 6)});
        at += 10;
    }
    return def;
}

void placeColumns(TableDef& def) {
    std::uint16_t fixedOffset = 0, varIndex = 0;
    for (std::size_t i = 0; i < def.columns.size(); ++i) {
        ColumnDef& c = def.columns[i];
        c.number = static_cast<std::uint16_t>(i);
        c.varIndex = varIndex;
        if (!c.isFixed())
            ++varIndex;
        else if (c.type != ColumnType::Boolean) {
            c.fixedOffset = fixedOffset;
            fixedOffset = static_cast<std::uint16_t>(fixedOffset + c.length);
        }
    }
    def.maxColumns = static_cast<std::uint16_t>(def.columns.size());
    def.varColumns = varIndex;
}

namespace {
bool lessByName(const std::string& a, const std::string& b) {
    return std::lexicographical_compare(a.begin(), a.end(), b.begin(), b.end(), [](char x, char y) {
        return std::tolower(static_cast<unsigned char>(x)) <
               std::tolower(static_cast<unsigned char>(y));
    });
}
} // namespace

std::vector<std::uint8_t> buildTableDef(const TableDef& source) {
    TableDef def = source;
    if (def.jetSystemLayout) {
        std::stable_sort(
            def.columns.begin(), def.columns.end(),
            [](const ColumnDef& a, const ColumnDef& b) { return lessByName(a.name, b.name); });
        std::stable_sort(def.indexes.begin(), def.indexes.end(),
                         [](const LogicalIndexDef& a, const LogicalIndexDef& b) {
                             return lessByName(a.name, b.name);
                         });
        auto nameOf = [&](std::uint16_t number) {
            for (const auto& c : def.columns)
                if (c.number == number)
                    return c.name;
            return std::string();
        };
        std::stable_sort(def.longValueMaps.begin(), def.longValueMaps.end(),
                         [&](const LongValueMaps& a, const LongValueMaps& b) {
                             return lessByName(nameOf(a.columnNumber), nameOf(b.columnNumber));
                         });
    }
    std::string out(tdef::kHeaderSize, '\0');
    auto* h = reinterpret_cast<std::uint8_t*>(out.data());
    h[0] = 0x02;
    h[1] = 0x01;
    bytes::put32(h + 12, tdef::kMagic);
    bytes::put32(h + tdef::kRowCount, def.rowCount);
    bytes::put32(h + tdef::kAutoNumber, def.autoNumber);
    h[24] = 0x01; // set in every file the Jet engine and Access write
    h[tdef::kTableType] = def.tableType;
    bytes::put16(h + tdef::kMaxColumns, def.maxColumns);
    bytes::put16(h + tdef::kVarColumns, def.varColumns);
    bytes::put16(h + tdef::kColumnCount, static_cast<std::uint32_t>(def.columns.size()));
    bytes::put32(h + tdef::kLogicalIndexCount, static_cast<std::uint32_t>(def.indexes.size()));
    bytes::put32(h + tdef::kRealIndexCount, static_cast<std::uint32_t>(def.realIndexes.size()));
    bytes::put32(h + tdef::kOwnedMap, def.ownedMap);
    bytes::put32(h + tdef::kFreeMap, def.freeMap);

    for (const auto& x : def.realIndexes) {
        bytes::append32(out, 0);
        bytes::append32(out, x.uniqueCount);
        bytes::append32(out, 0);
    }
    for (const auto& c : def.columns) {
        std::string d(tdef::kColumnSize, '\0');
        auto* p = reinterpret_cast<std::uint8_t*>(d.data());
        p[0] = static_cast<std::uint8_t>(c.type);
        bytes::put32(p + 1, tdef::kMagic);
        bytes::put16(p + 5, c.number);
        bytes::put16(p + 7, c.varIndex);
        bytes::put16(p + 9, def.jetSystemLayout ? 0 : c.number);
        if (c.type == ColumnType::Numeric) {
            p[11] = c.precision;
            p[12] = c.scale;
        } else {
            bytes::put16(p + 11, c.sortOrder);
        }
        p[15] = c.flags;
        p[16] = c.extraFlags;
        bytes::put16(p + 21, c.fixedOffset);
        bytes::put16(p + 23, c.length);
        out += d;
    }
    // Names: byte length, then UCS-2.
    auto appendName = [&out](const std::string& name) {
        const std::string n = text::encodeUcs2(text::utf8ToUtf16(name));
        bytes::append16(out, static_cast<std::uint32_t>(n.size()));
        out += n;
    };
    for (const auto& c : def.columns)
        appendName(c.name);
    for (const auto& x : def.realIndexes) {
        std::string d(tdef::kRealIndexSize, '\0');
        auto* p = reinterpret_cast<std::uint8_t*>(d.data());
        bytes::put32(p, 1923); // constant that opens every index definition
        for (std::size_t slot = 0; slot < 10; ++slot) {
            if (slot < x.columns.size()) {
                bytes::put16(p + 4 + slot * 3, x.columns[slot].columnNumber);
                p[4 + slot * 3 + 2] = x.columns[slot].ascending ? 0x01 : 0x00;
            } else {
                bytes::put16(p + 4 + slot * 3, 0xFFFF);
            }
        }
        bytes::put32(p + 34, x.usageMap);
        bytes::put32(p + 38, x.rootPage);
        p[46] = x.flags;
        out += d;
    }
    for (const auto& x : def.indexes) {
        std::string d(tdef::kLogicalIndexSize, '\0');
        auto* p = reinterpret_cast<std::uint8_t*>(d.data());
        bytes::put32(p, tdef::kMagic);
        bytes::put32(p + 4, x.number);
        bytes::put32(p + 8, x.realIndex);
        bytes::put32(p + 13, 0xFFFFFFFF); // no related index: not a foreign key
        p[21] = x.cascadeUpdates;
        p[22] = x.cascadeDeletes;
        p[23] = x.kind;
        out += d;
    }
    for (const auto& x : def.indexes)
        appendName(x.name);
    for (const auto& m : def.longValueMaps) {
        bytes::append16(out, m.columnNumber);
        bytes::append32(out, m.ownedMap);
        bytes::append32(out, m.freeMap);
    }
    bytes::append16(out, 0xFFFF);

    if (out.size() > kPageSize - 8)
        throw Error(ErrorKind::Unsupported,
                    "The definition of table '" + def.name + "' does not fit on one page.");
    auto* p = reinterpret_cast<std::uint8_t*>(out.data());
    bytes::put32(p + tdef::kLength, static_cast<std::uint32_t>(out.size()));
    // Free space as Access and Jet record it for a single-page definition.
    bytes::put16(p + 2, static_cast<std::uint32_t>(kPageSize - out.size() - 8));
    std::vector<std::uint8_t> page(kPageSize, 0);
    std::copy(out.begin(), out.end(), page.begin());
    return page;
}

} // namespace jet
