// The blank database: sixteen pages laid out as the Jet engine lays out a file it creates.
//
//   0 header            1 global page map       2-5 definitions of MSysObjects, MSysACEs,
//   6 page maps (31)    7-13 index leaves            MSysQueries, MSysRelationships
//  14 MSysObjects rows 15 MSysACEs rows
//
// The system tables' columns, indexes and catalog rows, the owner SIDs and the access-control
// entries are those of a blank file made by the Jet engine; their meaning is partly unknown,
// so they are reproduced rather than invented.
#include "blank.h"

#include <algorithm>
#include <cstring>

#include "bytes.h"
#include "data_page.h"
#include "header.h"
#include "index.h"
#include "jet/datetime.h"
#include "jet/error.h"
#include "row.h"
#include "tdef.h"
#include "usage_map.h"

namespace jet {
namespace {

constexpr std::uint32_t kPages = 16;
constexpr std::uint32_t kMapPage = 6;
constexpr std::uint8_t kSystemColumn = 0x12; // system-table flag 0x10 + can be null
constexpr std::uint8_t kSystemFixed = 0x13;
constexpr std::uint8_t kSystemSid = 0x32;

struct ColumnSpec {
    const char* name;
    ColumnType type;
    std::uint16_t length;
    std::uint8_t flags;
};

struct IndexSpec {
    const char* name;
    std::vector<std::uint16_t> columns;
    std::uint8_t flags;
    std::uint8_t kind;
    std::uint32_t rootPage;
    std::uint8_t mapRow;
};

struct SystemTable {
    const char* name;
    std::uint32_t page;
    std::vector<ColumnSpec> columns;
    std::uint8_t ownedRow;                                             // on the map page; free = +1
    std::vector<std::pair<std::uint16_t, std::uint8_t>> longValueRows; // column, owned row
    std::vector<IndexSpec> indexes;                                    // in real-index order
};

const std::vector<SystemTable>& systemTables() {
    using T = ColumnType;
    static const std::vector<SystemTable> tables = {
        {"MSysObjects",
         2,
         {{"Id", T::Long, 4, kSystemFixed},
          {"ParentId", T::Long, 4, kSystemFixed},
          {"Name", T::Text, 510, kSystemColumn},
          {"Type", T::Integer, 2, kSystemFixed},
          {"DateCreate", T::DateTime, 8, kSystemFixed},
          {"DateUpdate", T::DateTime, 8, kSystemFixed},
          {"Owner", T::Binary, 510, kSystemSid},
          {"Flags", T::Long, 4, kSystemFixed},
          {"Database", T::Memo, 0, kSystemColumn},
          {"Connect", T::Memo, 0, kSystemColumn},
          {"ForeignName", T::Text, 510, kSystemColumn},
          {"RmtInfoShort", T::Binary, 510, kSystemColumn},
          {"RmtInfoLong", T::Ole, 0, kSystemColumn},
          {"Lv", T::Ole, 0, kSystemColumn},
          {"LvProp", T::Ole, 0, kSystemColumn},
          {"LvModule", T::Ole, 0, kSystemColumn},
          {"LvExtra", T::Ole, 0, kSystemColumn}},
         0,
         {{8, 2}, {9, 4}, {12, 6}, {13, 8}, {14, 10}, {15, 12}, {16, 14}},
         {{"ParentIdName", {1, 2}, 0x81, 0, 7, 16}, {"Id", {0}, 0x81, 1, 8, 17}}},
        {"MSysACEs",
         3,
         {{"ObjectId", T::Long, 4, kSystemFixed},
          {"SID", T::Binary, 510, kSystemSid},
          {"ACM", T::Long, 4, kSystemFixed},
          {"FInheritable", T::Boolean, 1, kSystemFixed}},
         18,
         {},
         {{"ObjectId", {0}, 0x88, 0, 9, 20}}},
        {"MSysQueries",
         4,
         {{"ObjectId", T::Long, 4, kSystemFixed},
          {"Attribute", T::Byte, 1, kSystemFixed},
          {"Order", T::Binary, 510, kSystemColumn},
          {"Name1", T::Text, 510, kSystemColumn},
          {"Name2", T::Text, 510, kSystemColumn},
          {"Expression", T::Memo, 0, kSystemColumn},
          {"Flag", T::Integer, 2, kSystemFixed},
          {"LvExtra", T::Long, 4, kSystemFixed}},
         21,
         {{5, 23}},
         {{"ObjectIdAttribute", {0, 1, 2}, 0x81, 1, 10, 25}}},
        {"MSysRelationships",
         5,
         {{"szRelationship", T::Text, 510, kSystemColumn},
          {"grbit", T::Long, 4, kSystemFixed},
          {"ccolumn", T::Long, 4, kSystemFixed},
          {"icolumn", T::Long, 4, kSystemFixed},
          {"szObject", T::Text, 510, kSystemColumn},
          {"szColumn", T::Text, 510, kSystemColumn},
          {"szReferencedObject", T::Text, 510, kSystemColumn},
          {"szReferencedColumn", T::Text, 510, kSystemColumn}},
         26,
         {},
         {{"szRelationship", {0}, 0x82, 0, 11, 28},
          {"szObject", {4}, 0x82, 0, 12, 29},
          {"szReferencedObject", {6}, 0x82, 0, 13, 30}}},
    };
    return tables;
}

// Two-byte owner SIDs of the catalog rows: the Jet engine's blank uses one for its own objects
// and the other for MSysDb.
const std::string kOwnerSystem("\x65\x89", 2);
const std::string kOwnerDatabase("\x64\x8B", 2);

struct CatalogRow {
    std::int32_t id;
    std::int32_t parentId;
    const char* name;
    std::int16_t type;
    const std::string* owner;
};

const CatalogRow kCatalog[] = {
    {0x0F000001, 0x0F000000, "Tables", 3, &kOwnerSystem},
    {0x0F000002, 0x0F000000, "Databases", 3, &kOwnerSystem},
    {0x0F000003, 0x0F000000, "Relationships", 3, &kOwnerSystem},
    {0x10000000, 0x0F000002, "MSysDb", 2, &kOwnerDatabase},
    {2, 0x0F000001, "MSysObjects", 1, &kOwnerSystem},
    {3, 0x0F000001, "MSysACEs", 1, &kOwnerSystem},
    {4, 0x0F000001, "MSysQueries", 1, &kOwnerSystem},
    {5, 0x0F000001, "MSysRelationships", 1, &kOwnerSystem},
};

struct AceRow {
    std::int32_t objectId;
    std::uint32_t acm;
    const char* sid; // two bytes
    bool inheritable;
};

const AceRow kAces[] = {
    {2, 0x60000, "\x64\x8B", false},
    {3, 0x60000, "\x64\x8B", false},
    {4, 0x60000, "\x64\x8B", false},
    {5, 0xE0000, "\x64\x8B", false},
    {0x0F000001, 0xF00FE, "\x65\x8E", true},
    {0x0F000001, 0x60001, "\x64\x8B", false},
    {0x0F000003, 0xF00FE, "\x65\x8E", true},
    {0x0F000003, 0x60001, "\x64\x8B", false},
    {0x0F000002, 0x60000, "\x64\x8B", false},
    {0x10000000, 0x6000E, "\x64\x8B", false},
    {0x10000000, 0x0000E, "\x65\x8B", false},
    {4, 0x14, "\x65\x8B", false},
    {5, 0x14, "\x65\x8B", false},
    {2, 0x14, "\x65\x8B", false},
    {0x0F000001, 0xFFEFF, "\x65\x8B", true},
    {0x0F000003, 0xFFFFF, "\x65\x8B", true},
};

TableDef makeDef(const SystemTable& t, std::uint32_t rowCount) {
    TableDef def;
    def.name = t.name;
    def.page = t.page;
    def.tableType = 0x53;
    def.rowCount = rowCount;
    def.jetSystemLayout = true;
    for (const ColumnSpec& s : t.columns) {
        ColumnDef c;
        c.name = s.name;
        c.type = s.type;
        c.length = s.length;
        c.flags = s.flags;
        c.sortOrder = 0x0409;
        def.columns.push_back(c);
    }
    placeColumns(def);
    def.ownedMap = page::pointer(kMapPage, t.ownedRow);
    def.freeMap = page::pointer(kMapPage, t.ownedRow + 1u);
    for (std::size_t i = 0; i < t.indexes.size(); ++i) {
        const IndexSpec& x = t.indexes[i];
        RealIndexDef real;
        for (std::uint16_t col : x.columns)
            real.columns.push_back({col, true});
        real.usageMap = page::pointer(kMapPage, x.mapRow);
        real.rootPage = x.rootPage;
        real.flags = x.flags;
        def.realIndexes.push_back(real);
        LogicalIndexDef logical;
        logical.name = x.name;
        logical.number = static_cast<std::uint32_t>(i);
        logical.realIndex = static_cast<std::uint32_t>(i);
        logical.kind = x.kind;
        logical.cascadeUpdates = 4; // as the Jet engine writes them on its system tables
        logical.cascadeDeletes = 4;
        def.indexes.push_back(logical);
    }
    for (const auto& [col, row] : t.longValueRows)
        def.longValueMaps.push_back(
            {col, page::pointer(kMapPage, row), page::pointer(kMapPage, row + 1u)});
    return def;
}

std::string mapRow(std::initializer_list<std::uint32_t> pages) {
    std::string row = UsageMap::emptyInlineRow();
    for (std::uint32_t p : pages)
        row[5 + p / 8] = static_cast<char>(row[5 + p / 8] | (1 << (p % 8)));
    return row;
}

// Builds a row of `def` from values by column index.
std::string buildRow(const TableDef& def, const std::vector<std::pair<int, std::string>>& values,
                     const std::vector<int>& trueBooleans = {}) {
    const row::Layout layout = row::makeLayout(def);
    std::vector<std::string> encoded(def.columns.size());
    std::vector<std::uint8_t> present(def.columns.size(), 0), booleans(def.columns.size(), 0);
    for (const auto& [i, bytes] : values) {
        encoded[i] = bytes;
        present[i] = 1;
    }
    for (int i : trueBooleans)
        booleans[i] = 1;
    return row::build(layout, encoded, present, booleans);
}

std::string le32(std::uint32_t v) {
    std::string s;
    bytes::append32(s, v);
    return s;
}

} // namespace

BlankOptions parseBlankOptions(const CreateOptions& options) {
    BlankOptions out;
    // ";LANGID=0x0409;CP=1252;COUNTRY=0": fields separated by ';', NAME=VALUE.
    std::string text = options.locale;
    std::size_t at = 0;
    while (at <= text.size()) {
        const std::size_t end = std::min(text.find(';', at), text.size());
        const std::string part = text.substr(at, end - at);
        at = end + 1;
        if (part.empty())
            continue;
        const std::size_t eq = part.find('=');
        if (eq == std::string::npos)
            throw Error(ErrorKind::InvalidArgument, "The locale text '" + text + "' is not valid.");
        std::string key = part.substr(0, eq);
        for (char& c : key)
            c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
        const std::string value = part.substr(eq + 1);
        unsigned long number = 0;
        try {
            number = std::stoul(value, nullptr, 0);
        } catch (...) {
            throw Error(ErrorKind::InvalidArgument, "The locale text '" + text + "' is not valid.");
        }
        if (key == "LANGID")
            out.sortOrder = static_cast<std::uint16_t>(number);
        else if (key == "CP")
            out.codePage = static_cast<std::uint16_t>(number);
    }
    if (out.sortOrder != 0x0409 || out.codePage != 1252)
        throw Error(ErrorKind::Unsupported,
                    "Only the General sort order (LANGID=0x0409) with code page 1252 is supported "
                    "for new databases.");
    if (options.creationDate) {
        out.creationDate = *options.creationDate;
    } else {
        out.creationDate = localNow();
    }
    return out;
}

std::vector<std::uint8_t> buildBlankDatabase(const BlankOptions& options) {
    std::vector<std::uint8_t> file(std::size_t{kPages} * kPageSize, 0);
    auto pageAt = [&](std::uint32_t n) { return file.data() + std::size_t{n} * kPageSize; };

    HeaderInfo info;
    info.sortOrder = options.sortOrder;
    info.codePage = options.codePage;
    info.creationDate = options.creationDate;
    const auto header = buildHeader(info);
    std::memcpy(pageAt(0), header.data(), kPageSize);

    // Page 1: the global map; every page from the first one beyond the file is free.
    {
        std::uint8_t* p = pageAt(1);
        page::initDataPage(p, 1);
        std::string free = UsageMap::emptyInlineRow();
        for (std::uint32_t pg = kPages; pg < 512; ++pg)
            free[5 + pg / 8] = static_cast<char>(free[5 + pg / 8] | (1 << (pg % 8)));
        page::appendRow(p, free);
        page::appendRow(p, UsageMap::emptyInlineRow());
    }

    const auto& tables = systemTables();
    const TableDef objects = makeDef(tables[0], std::size(kCatalog));
    const TableDef aces = makeDef(tables[1], std::size(kAces));

    // Page 14: the catalog rows; page 15: the access-control rows.
    std::vector<index::Entry> byParentName, byId, byObject;
    {
        std::uint8_t* p = pageAt(14);
        page::initDataPage(p, 2);
        std::string date;
        bytes::appendF64(date, options.objectsDate.value_or(options.creationDate));
        for (const CatalogRow& r : kCatalog) {
            std::string type;
            bytes::append16(type, static_cast<std::uint16_t>(r.type));
            const std::u16string name16(r.name, r.name + std::strlen(r.name));
            std::string name;
            for (char16_t c : name16)
                bytes::append16(name, c);
            const std::string row =
                buildRow(objects, {{0, le32(static_cast<std::uint32_t>(r.id))},
                                   {1, le32(static_cast<std::uint32_t>(r.parentId))},
                                   {2, name},
                                   {3, type},
                                   {4, date},
                                   {5, date},
                                   {6, *r.owner},
                                   {7, le32(0x80000000u)}});
            const unsigned slot = page::appendRow(p, row);
            byParentName.push_back({index::longKey(r.parentId) + *index::textKey(r.name), 14,
                                    static_cast<std::uint8_t>(slot), 0});
            byId.push_back({index::longKey(r.id), 14, static_cast<std::uint8_t>(slot), 0});
        }
    }
    {
        std::uint8_t* p = pageAt(15);
        page::initDataPage(p, 3);
        for (const AceRow& a : kAces) {
            std::vector<int> trues;
            if (a.inheritable)
                trues.push_back(3);
            const std::string row = buildRow(aces,
                                             {{0, le32(static_cast<std::uint32_t>(a.objectId))},
                                              {1, std::string(a.sid, 2)},
                                              {2, le32(a.acm)}},
                                             trues);
            const unsigned slot = page::appendRow(p, row);
            byObject.push_back(
                {index::longKey(a.objectId), 15, static_cast<std::uint8_t>(slot), 0});
        }
    }

    // Index leaves, entries in key order.
    auto leaf = [&](std::uint32_t pageNumber, std::uint32_t owner,
                    std::vector<index::Entry> entries) {
        std::sort(entries.begin(), entries.end(), index::entryLess);
        index::IndexPage ip;
        ip.owner = owner;
        ip.entries = std::move(entries);
        index::writePage(ip, pageAt(pageNumber));
    };
    leaf(7, 2, byParentName);
    leaf(8, 2, byId);
    leaf(9, 3, byObject);
    for (std::uint32_t pg : {10u, 11u, 12u, 13u})
        leaf(pg, pg == 10 ? 4 : 5, {});

    // Definitions, with unique-key counts of the catalog indexes.
    for (const SystemTable& t : tables) {
        TableDef def = t.page == 2 ? objects : t.page == 3 ? aces : makeDef(t, 0);
        if (t.page == 2) {
            def.realIndexes[0].uniqueCount = std::size(kCatalog);
            def.realIndexes[1].uniqueCount = std::size(kCatalog);
        } else if (t.page == 3) {
            std::vector<std::int32_t> ids;
            for (const AceRow& a : kAces)
                ids.push_back(a.objectId);
            std::sort(ids.begin(), ids.end());
            def.realIndexes[0].uniqueCount =
                static_cast<std::uint32_t>(std::unique(ids.begin(), ids.end()) - ids.begin());
        }
        const std::vector<std::uint8_t> bytes = buildTableDef(def);
        std::memcpy(pageAt(t.page), bytes.data(), kPageSize);
    }

    // Page 6: the 31 page maps, in the order the definitions point to.
    {
        std::uint8_t* p = pageAt(kMapPage);
        page::initDataPage(p, 0);
        const std::string none = mapRow({});
        std::vector<std::string> rows(31, none);
        rows[0] = rows[1] = mapRow({14});
        rows[16] = mapRow({7});
        rows[17] = mapRow({8});
        rows[18] = rows[19] = mapRow({15});
        rows[20] = mapRow({9});
        rows[25] = mapRow({10});
        rows[28] = mapRow({11});
        rows[29] = mapRow({12});
        rows[30] = mapRow({13});
        for (const std::string& r : rows)
            page::appendRow(p, r);
    }
    return file;
}

} // namespace jet
