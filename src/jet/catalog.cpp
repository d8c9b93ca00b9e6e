// Adding a table to the catalog: its definition and page maps, the MSysObjects row with the
// entries of both catalog indexes, and its access-control rows.
#include <algorithm>
#include <chrono>
#include <cstring>
#include <ctime>

#include "data_page.h"
#include "database_impl.h"
#include "index.h"
#include "jet/datetime.h"
#include "jet/error.h"
#include "properties.h"
#include "tdef.h"
#include "text.h"

namespace jet {
namespace {

constexpr std::int32_t kTablesContainerId = 0x0F000001;
constexpr std::int32_t kFullAccess = 0xFFFFF;
constexpr std::size_t kMaxNameLength = 64;

[[noreturn]] void badName(const std::string& what, const std::string& name, const char* why) {
    throw Error(ErrorKind::InvalidArgument, "The " + what + " name '" + name + "' " + why + ".");
}

// Names follow the engine's identifier rules; table names must also have index key codes,
// since the catalog index holds them.
void validateName(const std::string& what, const std::string& name, bool needKey) {
    const std::u16string u = text::utf8ToUtf16(name);
    if (u.empty())
        badName(what, name, "is empty");
    if (u.size() > kMaxNameLength)
        badName(what, name, "is longer than 64 characters");
    if (u.front() == u' ')
        badName(what, name, "begins with a blank");
    for (char16_t c : u)
        if (c < 0x20 || c == u'.' || c == u'!' || c == u'`' || c == u'[' || c == u']')
            badName(what, name, "contains a character that names may not contain");
    if (needKey && !index::hasTextKey(name))
        badName(what, name,
                "contains a character this program cannot index; use letters, digits "
                "and blanks");
}

std::string foldCase(const std::string& s) {
    std::string out = s;
    for (char& c : out)
        if (c >= 'A' && c <= 'Z')
            c = static_cast<char>(c - 'A' + 'a');
    return out;
}

// A row's values by column name; columns the table lacks are skipped, the others stay null.
std::vector<Value> valuesByName(const TableDef& def,
                                std::initializer_list<std::pair<const char*, Value>> named) {
    std::vector<Value> values(def.columns.size());
    for (const auto& [column, value] : named) {
        const int i = def.findColumn(column);
        if (i >= 0)
            values[static_cast<std::size_t>(i)] = value;
    }
    return values;
}

int realIndexOn(const TableDef& def, std::initializer_list<const char*> columns) {
    std::vector<std::uint16_t> numbers;
    for (const char* c : columns) {
        const int i = def.findColumn(c);
        if (i < 0)
            return -1;
        numbers.push_back(def.columns[i].number);
    }
    for (std::size_t i = 0; i < def.realIndexes.size(); ++i) {
        const auto& x = def.realIndexes[i];
        if (x.columns.size() != numbers.size())
            continue;
        bool same = true;
        for (std::size_t k = 0; k < numbers.size(); ++k)
            same = same && x.columns[k].columnNumber == numbers[k];
        if (same)
            return static_cast<int>(i);
    }
    return -1;
}

} // namespace

void DatabaseImpl::createTable(const TableSpec& spec) {
    if (!pager.writable())
        throw Error(ErrorKind::ReadOnly,
                    "The database file '" + pager.path() + "' is open for reading only.");
    validateName("table", spec.name, true);
    for (const CatalogEntry& e : catalog)
        if (e.parentId == kTablesContainerId && foldCase(e.name) == foldCase(spec.name))
            throw Error(ErrorKind::AlreadyExists, "A table named '" + e.name + "' already exists.");
    if (spec.fields.empty() || spec.fields.size() > 255)
        throw Error(ErrorKind::InvalidArgument, "A table needs between 1 and 255 fields; '" +
                                                    spec.name + "' has " +
                                                    std::to_string(spec.fields.size()) + ".");
    for (std::size_t i = 0; i < spec.fields.size(); ++i) {
        const FieldSpec& f = spec.fields[i];
        validateName("field", f.name, false);
        for (std::size_t k = 0; k < i; ++k)
            if (foldCase(spec.fields[k].name) == foldCase(f.name))
                throw Error(ErrorKind::InvalidArgument,
                            "Table '" + spec.name + "' has two fields named '" + f.name + "'.");
        switch (f.type) {
        case ColumnType::Text:
            if (f.size < 1 || f.size > 255)
                throw Error(ErrorKind::InvalidArgument,
                            "Text field '" + f.name + "' must hold 1 to 255 characters.");
            break;
        case ColumnType::DateTime:
        case ColumnType::Long:
        case ColumnType::Double:
        case ColumnType::Boolean:
            break;
        default:
            throw Error(ErrorKind::Unsupported,
                        "Field '" + f.name + "' has a type this engine does not create.");
        }
    }

    const CatalogEntry* objectsEntry = findTable("MSysObjects");
    const CatalogEntry* acesEntry = findTable("MSysACEs");
    if (!objectsEntry || !acesEntry)
        throw Error(ErrorKind::Corrupt, "The database file is damaged: its system tables are "
                                        "missing.");
    auto objects = table(*objectsEntry);
    auto aces = table(*acesEntry);
    const int byParentName = realIndexOn(objects->def, {"ParentId", "Name"});
    const int byId = realIndexOn(objects->def, {"Id"});
    const int byObject = realIndexOn(aces->def, {"ObjectId"});
    if (byParentName < 0 || byId < 0 || byObject < 0 || objects->def.realIndexes.size() != 2 ||
        aces->def.realIndexes.size() != 1)
        throw Error(ErrorKind::Unsupported,
                    "The catalog of this database file has indexes this engine does not "
                    "maintain; no table was added.");

    // Entries go into single-leaf indexes; check that each has room before changing anything.
    auto leafFor = [&](std::uint32_t root, std::size_t extra) {
        if (root == 0 || root >= pager.pageCount())
            throw Error(ErrorKind::Corrupt, "The database file is damaged: a catalog index is "
                                            "missing.");
        index::IndexPage leaf = index::readPage(pager.read(root), root);
        if (leaf.type != 0x04 || leaf.next != 0 || leaf.prev != 0 ||
            index::entryBytes(leaf) + extra > index::kMaxEntryBytes)
            throw Error(ErrorKind::Unsupported,
                        "The catalog of this database file is too large for this engine to add a "
                        "table to it.");
        return leaf;
    };

    // The access-control entries the Tables container carries are copied to the new table.
    std::vector<std::string> sids;
    {
        const int objectId = aces->def.findColumn("ObjectId"), sid = aces->def.findColumn("SID");
        for (const RowRef& ref : scan(*aces)) {
            const Value o = readField(*aces, ref, objectId);
            const Value s = readField(*aces, ref, sid);
            if (o.kind() == Value::Kind::Integer && o.asInt() == kTablesContainerId &&
                s.kind() == Value::Kind::Binary)
                sids.push_back(s.asText());
        }
    }

    // The new table's owner is the owner of the Tables container.
    Value owner = Value::null();
    if (const CatalogEntry* tables = findById(kTablesContainerId))
        owner = readField(*objects, tables->where, objects->def.findColumn("Owner"));

    const std::string nameKey = *index::textKey(spec.name);
    leafFor(objects->def.realIndexes[byParentName].rootPage, nameKey.size() + 9);
    leafFor(objects->def.realIndexes[byId].rootPage, 9);
    leafFor(aces->def.realIndexes[byObject].rootPage, 9 * std::max<std::size_t>(sids.size(), 1));

    change([&] {
        const std::uint32_t tdefPage = allocatePage();
        const std::uint32_t mapPage = allocatePage();

        auto created = std::make_shared<Table>();
        TableDef& def = created->def;
        def.name = spec.name;
        def.page = tdefPage;
        def.tableType = 0x4E;
        std::vector<properties::Block> blocks;
        for (std::size_t i = 0; i < spec.fields.size(); ++i) {
            const FieldSpec& f = spec.fields[i];
            ColumnDef c;
            c.name = f.name;
            c.type = f.type;
            c.sortOrder = header.sortOrder;
            if (f.type == ColumnType::Text) {
                c.flags = column_flags::CanBeNull;
                c.extraFlags = 0x01;
                c.length = static_cast<std::uint16_t>(f.size * 2);
            } else {
                c.flags = column_flags::FixedLength | column_flags::CanBeNull;
                c.length = f.type == ColumnType::Long ? 4 : f.type == ColumnType::Boolean ? 1 : 8;
            }
            def.columns.push_back(c);
            properties::Block block{true, f.name, {}};
            if (f.type == ColumnType::Text && f.allowZeroLength)
                block.properties.push_back({"AllowZeroLength", ColumnType::Boolean, "\xFF", false});
            if (f.required)
                block.properties.push_back({"Required", ColumnType::Boolean, "\xFF", false});
            if (!block.properties.empty())
                blocks.push_back(std::move(block));
        }
        placeColumns(def);
        def.ownedMap = page::pointer(mapPage, 0);
        def.freeMap = page::pointer(mapPage, 1);
        created->layout = row::makeLayout(def);

        const std::vector<std::uint8_t> tdefBytes = buildTableDef(def);
        std::memcpy(pager.write(tdefPage), tdefBytes.data(), kPageSize);
        std::uint8_t* maps = pager.write(mapPage);
        page::initDataPage(maps, 0);
        page::appendRow(maps, UsageMap::emptyInlineRow());
        page::appendRow(maps, UsageMap::emptyInlineRow());

        // The catalog row and both of its index entries.
        const double now = localNow();
        const TableDef& od = objects->def;
        const std::vector<Value> values = valuesByName(
            od, {{"Id", Value::integer(static_cast<std::int32_t>(tdefPage))},
                 {"ParentId", Value::integer(kTablesContainerId)},
                 {"Name", Value::text(spec.name)},
                 {"Type", Value::integer(1)},
                 {"DateCreate", Value::dateTime(now)},
                 {"DateUpdate", Value::dateTime(now)},
                 {"Owner", owner},
                 {"Flags", Value::integer(0)},
                 {"LvProp",
                  blocks.empty() ? Value::null() : Value::binary(properties::encode(blocks))}});
        TableWriter& objectsWriter = writer(objects);
        const RowRef catalogRow = objectsWriter.insert(encodeRow(objectsWriter, values));

        auto addEntry = [&](std::uint32_t root, std::string key, const RowRef& ref) {
            index::IndexPage leaf = index::readPage(pager.read(root), root);
            index::Entry e{std::move(key), ref.page, static_cast<std::uint8_t>(ref.slot), 0};
            leaf.entries.insert(
                std::upper_bound(leaf.entries.begin(), leaf.entries.end(), e, index::entryLess), e);
            if (!index::writePage(leaf, pager.write(root)))
                throw Error(ErrorKind::Unsupported, "A catalog index page is full.");
        };
        auto bumpUnique = [&](std::uint32_t tdef, std::size_t real) {
            std::uint8_t* p = pager.write(tdef);
            const std::size_t at = uniqueCountOffset(real);
            bytes::put32(p + at, bytes::u32(p + at) + 1);
        };
        addEntry(od.realIndexes[byParentName].rootPage,
                 index::longKey(kTablesContainerId) + nameKey, catalogRow);
        addEntry(od.realIndexes[byId].rootPage, index::longKey(static_cast<std::int32_t>(tdefPage)),
                 catalogRow);
        bumpUnique(od.page, static_cast<std::size_t>(byParentName));
        bumpUnique(od.page, static_cast<std::size_t>(byId));

        // Access-control rows, one per SID of the Tables container.
        if (!sids.empty()) {
            const TableDef& ad = aces->def;
            TableWriter& acesWriter = writer(aces);
            for (const std::string& sid : sids) {
                const std::vector<Value> ace = valuesByName(
                    ad, {{"ObjectId", Value::integer(static_cast<std::int32_t>(tdefPage))},
                         {"SID", Value::binary(sid)},
                         {"ACM", Value::integer(kFullAccess)},
                         {"FInheritable", Value::boolean(false)}});
                const RowRef aceRow = acesWriter.insert(encodeRow(acesWriter, ace));
                addEntry(ad.realIndexes[byObject].rootPage,
                         index::longKey(static_cast<std::int32_t>(tdefPage)), aceRow);
            }
            bumpUnique(ad.page, static_cast<std::size_t>(byObject));
        }

        CatalogEntry entry;
        entry.id = static_cast<std::int32_t>(tdefPage);
        entry.parentId = kTablesContainerId;
        entry.name = spec.name;
        entry.type = 1;
        entry.flags = 0;
        entry.where = catalogRow;
        catalog.push_back(entry);
    });
}

} // namespace jet
