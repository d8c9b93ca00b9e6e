#include "database_impl.h"

#include <algorithm>
#include <cstring>

#include "data_page.h"
#include "jet/error.h"
#include "long_value.h"
#include "tdef.h"
#include "text.h"

namespace jet {
namespace {

constexpr std::uint32_t kCatalogPage = 2;
// A page stays in its table's free-space map while it has room for at least this much.
constexpr int kFreeThreshold = 64;
constexpr int kMaxOverflowHops = 4;

std::string lower(std::string_view s) {
    std::string out(s);
    for (char& c : out)
        if (c >= 'A' && c <= 'Z')
            c = static_cast<char>(c - 'A' + 'a');
    return out;
}

} // namespace

// ---------------------------------------------------------------------------------------------
// Opening and reading

DatabaseImpl::DatabaseImpl(const std::string& path, const OpenOptions& options)
    : pager(path, options) {
    if (pager.fileSize() == 0)
        throw Error(ErrorKind::Corrupt, "'" + path + "' is empty, not a database file.");
    if (pager.pageCount() == 0)
        throw Error(ErrorKind::Corrupt, "'" + path + "' is too short to be a database file (" +
                                            std::to_string(pager.fileSize()) + " bytes).");
    header = readHeader(pager.read(0), pager.fileSize(), path);
    loadCatalog();
}

void DatabaseImpl::loadCatalog() {
    tables_.clear();
    catalog.clear();
    auto objects = table(kCatalogPage, "MSysObjects");
    const TableDef& def = objects->def;
    const int id = def.findColumn("Id"), parent = def.findColumn("ParentId"),
              name = def.findColumn("Name"), type = def.findColumn("Type"),
              flags = def.findColumn("Flags");
    if (id < 0 || parent < 0 || name < 0 || type < 0 || flags < 0)
        throw Error(ErrorKind::Corrupt,
                    "'" + pager.path() +
                        "' is damaged: its system catalog lacks required columns.");
    for (const RowRef& ref : scan(*objects)) {
        CatalogEntry e;
        const Value vid = readField(*objects, ref, id);
        const Value vname = readField(*objects, ref, name);
        if (vid.kind() != Value::Kind::Integer || vname.kind() != Value::Kind::Text)
            continue;
        e.id = static_cast<std::int32_t>(vid.asInt());
        e.name = vname.asText();
        const Value vp = readField(*objects, ref, parent);
        const Value vt = readField(*objects, ref, type);
        const Value vf = readField(*objects, ref, flags);
        e.parentId = vp.kind() == Value::Kind::Integer ? static_cast<std::int32_t>(vp.asInt()) : 0;
        e.type = vt.kind() == Value::Kind::Integer ? static_cast<std::int32_t>(vt.asInt()) : 0;
        e.flags = vf.kind() == Value::Kind::Integer ? static_cast<std::int32_t>(vf.asInt()) : 0;
        e.where = ref;
        catalog.push_back(std::move(e));
    }
}

const CatalogEntry* DatabaseImpl::findTable(std::string_view name, bool caseSensitive) const {
    const std::string wanted = caseSensitive ? std::string(name) : lower(name);
    for (const CatalogEntry& e : catalog)
        if (e.isTable() && (caseSensitive ? e.name == wanted : lower(e.name) == wanted))
            return &e;
    return nullptr;
}

const CatalogEntry* DatabaseImpl::findById(std::int32_t id) const {
    for (const CatalogEntry& e : catalog)
        if (e.id == id)
            return &e;
    return nullptr;
}

std::shared_ptr<const Table> DatabaseImpl::table(std::uint32_t tdefPage, const std::string& name) {
    auto it = tables_.find(tdefPage);
    if (it != tables_.end())
        return it->second;
    if (tdefPage < 2 || tdefPage >= pager.pageCount())
        throw Error(ErrorKind::Corrupt, "The database file is damaged: the definition of table '" +
                                            name + "' would be on page " +
                                            std::to_string(tdefPage) + ", which does not exist.");
    auto t = std::make_shared<Table>();
    t->def = readTableDef(pager, tdefPage, name);
    t->layout = row::makeLayout(t->def);
    // Keys view the names held by t->def, which lives as long as the map.
    for (std::size_t i = 0; i < t->def.columns.size(); ++i)
        t->columnIndex.emplace(t->def.columns[i].name, static_cast<int>(i));
    tables_[tdefPage] = t;
    return t;
}

RowList DatabaseImpl::scan(const Table& t, std::vector<std::string>* notes) {
    RowList rows;
    const auto w = writers_.find(t.def.page);
    const TableWriter* pending = w == writers_.end() ? nullptr : w->second.get();
    const UsageMap owned = UsageMap::read(pager, t.def.ownedMap, "table '" + t.def.name + "'");
    // The definition's row count, as far as the pages could hold it, saves growing the list.
    rows.reserve(std::min<std::size_t>(t.def.rowCount, owned.pages().size() * page::kMaxSlots));
    for (std::uint32_t pageNumber : owned.pages()) {
        if (pageNumber >= pager.pageCount())
            throw Error(ErrorKind::Corrupt, "The database file is damaged: table '" + t.def.name +
                                                "' lists page " + std::to_string(pageNumber) +
                                                ", beyond the end of the file.");
        const std::uint8_t* p = pager.read(pageNumber);
        if (p[0] != 0x01 || bytes::u32(p + 4) != t.def.page) {
            if (notes)
                notes->push_back("table '" + t.def.name + "' lists page " +
                                 std::to_string(pageNumber) +
                                 ", which is not one of its data pages");
            continue;
        }
        const unsigned count = page::slotCount(p);
        if (page::kSlotTable + 2 * std::size_t{count} > kPageSize)
            throw Error(ErrorKind::Corrupt, "The database file is damaged: page " +
                                                std::to_string(pageNumber) +
                                                " claims more rows than it can hold.");
        for (unsigned slot = 0; slot < count; ++slot) {
            const std::uint16_t raw = bytes::u16(p + page::kSlotTable + 2 * slot);
            if (raw & page::kDeleted)
                continue; // deleted, or the target of an overflow pointer
            if (pending && pending->isDeleted(pageNumber, slot))
                continue; // deleted in the running transaction
            const RowRef ref{pageNumber, static_cast<std::uint16_t>(slot)};
            if (raw & page::kOverflow)
                dataSlot(t, ref); // a pointer that cannot be followed is reported now
            rows.push_back(ref);
        }
        // Outside a transaction the page is read again when its rows are: a large table is
        // not held in memory all at once.
        if (!pager.inTransaction())
            pager.drop(pageNumber);
    }
    return rows;
}

void DatabaseImpl::leavePage(const Table& t, std::uint32_t page) {
    if (!pager.inTransaction()) {
        pager.drop(page);
        return;
    }
    const auto w = writers_.find(t.def.page);
    if (w != writers_.end() && w->second->emptied(page))
        pager.drop(page);
}

RowRef DatabaseImpl::dataSlot(const Table& t, const RowRef& ref) {
    RowRef at = ref;
    for (int hop = 0; hop <= kMaxOverflowHops; ++hop) {
        const std::uint8_t* dp = pager.read(at.page);
        const page::Slot s = page::slot(dp, at.slot, at.page);
        if (!(s.flags & page::kOverflow) || (hop > 0 && (s.flags & page::kDeleted)))
            return at;
        if (hop == kMaxOverflowHops || s.size() < 4)
            break;
        const std::uint32_t ptr = bytes::u32(dp + s.start);
        at = RowRef{page::pointerPage(ptr), static_cast<std::uint16_t>(page::pointerRow(ptr))};
        if (at.page >= pager.pageCount() || pager.read(at.page)[0] != 0x01)
            throw Error(ErrorKind::Corrupt,
                        "The database file is damaged: an overflow row of table '" + t.def.name +
                            "' points to page " + std::to_string(at.page) +
                            ", which is not a data page.");
    }
    throw Error(ErrorKind::Corrupt, "The database file is damaged: an overflow row of table '" +
                                        t.def.name + "' on page " + std::to_string(ref.page) +
                                        " cannot be followed.");
}

bytes::View DatabaseImpl::rowBytes(const Table& t, const RowRef& ref) {
    const std::uint8_t* p = pager.read(ref.page);
    page::Slot s = page::slot(p, ref.slot, ref.page);
    if (s.overflow()) {
        const RowRef at = dataSlot(t, ref);
        p = pager.read(at.page);
        s = page::slot(p, at.slot, at.page);
    }
    return bytes::View(p + s.start, s.size(), "row");
}

Value DatabaseImpl::readField(const Table& t, const RowRef& ref, std::size_t columnIndex) {
    const bytes::View b = rowBytes(t, ref);
    return readField(t, row::crack(b.data(), b.size(), t.layout), columnIndex);
}

Value DatabaseImpl::readField(const Table& t, const row::Cracked& cracked,
                              std::size_t columnIndex) {
    const ColumnDef& c = t.def.columns[columnIndex];
    const row::FieldBytes f = row::field(cracked, t.layout, c, columnIndex);
    if (c.isLongValue() && !f.isNull) {
        const std::string raw = long_value::read(pager, f, c.name);
        if (c.type == ColumnType::Memo)
            return Value::text(
                text::decodeStored(reinterpret_cast<const std::uint8_t*>(raw.data()), raw.size()));
        return Value::binary(raw);
    }
    return c.isFixed() ? row::decodeFixed(c, f) : row::decodeVariable(c, f);
}

bool DatabaseImpl::appendField(const Table& t, const row::Cracked& cracked, std::size_t columnIndex,
                               std::string& out) {
    const ColumnDef& c = t.def.columns[columnIndex];
    switch (c.type) {
    case ColumnType::Boolean:
    case ColumnType::Byte:
    case ColumnType::Integer:
    case ColumnType::Long:
    case ColumnType::Currency:
    case ColumnType::Single:
    case ColumnType::Double:
    case ColumnType::DateTime:
        throw Error(ErrorKind::InvalidState, "The value is not a text.");
    default:
        break;
    }
    const row::FieldBytes f = row::field(cracked, t.layout, c, columnIndex);
    if (f.isNull)
        return false;
    if (c.isLongValue()) {
        if (c.type == ColumnType::Ole) {
            long_value::read(pager, f, c.name, out);
        } else {
            thread_local std::string raw; // kept between values: no allocation per value
            raw.clear();
            long_value::read(pager, f, c.name, raw);
            text::decodeStored(reinterpret_cast<const std::uint8_t*>(raw.data()), raw.size(), out);
        }
        return true;
    }
    switch (c.type) {
    case ColumnType::Text:
        text::decodeStored(f.data, f.size, out);
        return true;
    case ColumnType::Guid:
    case ColumnType::Numeric:
        out += readField(t, cracked, columnIndex).asText(); // checks the stored size
        return true;
    default: // Binary and types this engine does not know: the raw bytes
        out.append(reinterpret_cast<const char*>(f.data), f.size);
        return true;
    }
}

namespace {

// Brings every field of `row` into its stored form, checks it against its column and works out
// the row's size. Long values are wrapped, and stored outside the row when they need to be.
void encodeFields(TableWriter& writer, PendingRow& row) {
    const Table& t = writer.table();
    const std::size_t n = t.def.columns.size();
    row.present.resize(n);
    row.booleans.resize(n);
    for (std::size_t i = 0; i < n; ++i) {
        const ColumnDef& c = t.def.columns[i];
        std::string& bytes = row.bytes[i];
        row.present[i] = 0;
        row.booleans[i] = 0;
        switch (row.state[i]) {
        case PendingRow::State::Null:
            continue;
        case PendingRow::State::Stored: // never a long value
            if (c.type == ColumnType::Text)
                row::checkTextSize(c, row.units[i]);
            row.present[i] = 1;
            continue;
        case PendingRow::State::Value: {
            const Value& v = row.values[i];
            if (v.isNull())
                continue;
            if (c.type == ColumnType::Boolean) {
                if (v.kind() != Value::Kind::Boolean)
                    throw Error(ErrorKind::InvalidArgument,
                                "The value for field '" + c.name + "' is not Yes/No.");
                row.booleans[i] = v.asBool() ? 1 : 0;
                continue;
            }
            row::encodeValue(c, v, bytes);
            break;
        }
        }
        if (c.isLongValue()) {
            if (bytes.size() <= long_value::kMaxInline)
                bytes = long_value::inlineValue(bytes);
            else if (bytes.size() <= long_value::kMaxSingleRow)
                bytes = long_value::singleRowHeader(bytes.size(),
                                                    writer.storeLongValue(c.number, bytes));
            else
                throw Error(ErrorKind::Unsupported,
                            "The value for field '" + c.name + "' is longer than " +
                                std::to_string(long_value::kMaxSingleRow) +
                                " bytes, which this engine does not write.");
        }
        row.present[i] = 1;
    }
    row.size = row::size(t.layout, row.bytes, row.present);
    if (row.size > row::kMaxRowSize)
        throw Error(ErrorKind::InvalidArgument,
                    "The record is too large (" + std::to_string(row.size) + " bytes).");
}

} // namespace

std::string DatabaseImpl::encodeRow(TableWriter& writer, const std::vector<Value>& values) {
    const Table& t = writer.table();
    PendingRow row;
    row.clear(t.def.columns.size());
    for (std::size_t i = 0; i < values.size() && i < t.def.columns.size(); ++i)
        row.value(i) = values[i];
    encodeFields(writer, row);
    return row::build(t.layout, row.bytes, row.present, row.booleans);
}

RowRef DatabaseImpl::insertRow(TableWriter& writer, PendingRow& row) {
    encodeFields(writer, row);
    const Table& t = writer.table();
    RowRef placed;
    row::build(t.layout, row.bytes, row.present, row.booleans, writer.place(row.size, placed),
               row.size);
    return placed;
}

// ---------------------------------------------------------------------------------------------
// Transactions

void DatabaseImpl::begin(bool explicitTransaction) {
    pager.begin();
    explicit_ = explicitTransaction;
}

void DatabaseImpl::commit() {
    if (!pager.inTransaction())
        throw Error(ErrorKind::InvalidState, "There is no transaction to commit.");
    try {
        for (auto& [page, w] : writers_)
            w->flush();
        if (globalMap_)
            globalMap_->flush();
        pager.commit();
    } catch (...) {
        rollback();
        throw;
    }
    writers_.clear();
    ++writersCleared;
    globalMap_.reset();
    freeAtStart_.clear();
    explicit_ = false;
    // Definitions changed (row counts, maps); read them again when next needed.
    tables_.clear();
}

void DatabaseImpl::rollback(bool invalidate) {
    const bool hadChanges = pager.changed() || !writers_.empty();
    if (pager.inTransaction())
        pager.rollback();
    writers_.clear();
    ++writersCleared;
    globalMap_.reset();
    freeAtStart_.clear();
    explicit_ = false;
    if (invalidate)
        ++generation;
    if (hadChanges) {
        try {
            loadCatalog();
        } catch (...) {
        }
    }
}

TableWriter& DatabaseImpl::writer(const std::shared_ptr<const Table>& t) {
    auto it = writers_.find(t->def.page);
    if (it != writers_.end())
        return *it->second;
    auto w = std::make_unique<TableWriter>(*this, t);
    auto& ref = *w;
    writers_[t->def.page] = std::move(w);
    return ref;
}

std::uint32_t DatabaseImpl::allocatePage(std::uint32_t after) {
    if (!globalMap_) {
        globalMap_ = std::make_unique<GlobalMap>(pager);
        // Pages the map calls free and that nothing refers to. When the structures cannot be
        // read completely, no page is reused: new pages go to the end of the file.
        freeAtStart_.clear();
        try {
            const std::set<std::uint32_t> used = usedPages();
            std::vector<std::uint32_t> candidates;
            for (std::uint32_t p : globalMap_->freePages())
                if (!used.count(p))
                    candidates.push_back(p);
            // Only pages that look released: zeroed, or data pages left by a table. Their
            // contents are not needed beyond that, so they are not kept in memory.
            const std::vector<std::uint8_t> types = pager.pageTypes(candidates);
            for (std::size_t i = 0; i < candidates.size(); ++i)
                if (types[i] == 0x00 || types[i] == 0x01)
                    freeAtStart_.insert(freeAtStart_.end(), candidates[i]);
        } catch (const Error&) {
            freeAtStart_.clear();
        }
    }
    std::uint32_t page;
    auto it = freeAtStart_.upper_bound(after);
    if (it != freeAtStart_.end()) {
        page = *it;
        freeAtStart_.erase(it);
        pager.adopt(page);
    } else {
        page = pager.append();
    }
    globalMap_->noteAllocated(page);
    return page;
}

void DatabaseImpl::releasePage(std::uint32_t page) {
    if (!globalMap_)
        globalMap_ = std::make_unique<GlobalMap>(pager);
    globalMap_->noteReleased(page);
}

std::set<std::uint32_t> DatabaseImpl::usedPages() {
    std::set<std::uint32_t> used{0, 1};
    auto addMap = [&](std::uint32_t ptr, const std::string& what) {
        if (ptr == 0)
            return;
        used.insert(page::pointerPage(ptr));
        const UsageMap m = UsageMap::read(pager, ptr, what);
        used.insert(m.pages().begin(), m.pages().end());
        for (std::uint32_t b : m.bitmapPages())
            if (b != 0)
                used.insert(b);
    };
    for (const CatalogEntry& e : catalog) {
        if (!e.isTable())
            continue;
        auto t = table(e);
        used.insert(t->def.definitionPages.begin(), t->def.definitionPages.end());
        addMap(t->def.ownedMap, e.name);
        addMap(t->def.freeMap, e.name);
        for (const LongValueMaps& m : t->def.longValueMaps) {
            addMap(m.ownedMap, e.name);
            addMap(m.freeMap, e.name);
        }
        for (const RealIndexDef& x : t->def.realIndexes) {
            addMap(x.usageMap, e.name);
            used.insert(x.rootPage);
        }
    }
    return used;
}

void DatabaseImpl::refuseWriting(const Table& t) const {
    if (!pager.writable())
        throw Error(ErrorKind::ReadOnly,
                    "The database file '" + pager.path() + "' is open for reading only.");
    throw Error(ErrorKind::Unsupported,
                "Table '" + t.def.name +
                    "' has indexes, which this program cannot keep up to date; it was not "
                    "changed.");
}

// ---------------------------------------------------------------------------------------------
// Table writer

TableWriter::TableWriter(DatabaseImpl& db, std::shared_ptr<const Table> table)
    : db_(db), table_(std::move(table)),
      owned_(UsageMap::read(db.pager, table_->def.ownedMap, "table '" + table_->def.name + "'")),
      free_(UsageMap::read(db.pager, table_->def.freeMap, "table '" + table_->def.name + "'")) {}

namespace {
// A slot flagged 0xC000 holds a deleted row; anything else (rows, overflow pointers and their
// targets) keeps its place.
bool removedSlot(const std::uint8_t* p, unsigned slot) {
    const std::uint16_t raw = bytes::u16(p + page::kSlotTable + 2 * slot);
    return (raw & (page::kDeleted | page::kOverflow)) == (page::kDeleted | page::kOverflow);
}
} // namespace

bool TableWriter::emptied(std::uint32_t pageNumber) {
    if (emptied_.count(pageNumber))
        return true;
    if (!deletedOn(pageNumber))
        return false;
    const std::uint8_t* p = db_.pager.read(pageNumber);
    if (p[0] != 0x01 || bytes::u32(p + 4) != table_->def.page || lastLiveSlot(pageNumber, p) >= 0)
        return false;
    emptied_.insert(pageNumber);
    return true;
}

void TableWriter::forgetDeleted(std::uint32_t pageNumber) {
    deleted_.erase(pageNumber);
    lastMarked_ = nullptr;
}

const std::vector<bool>* TableWriter::deletedOn(std::uint32_t pageNumber) const {
    auto it = deleted_.find(pageNumber);
    return it == deleted_.end() ? nullptr : &it->second;
}

bool TableWriter::isDeleted(std::uint32_t pageNumber, unsigned slot) const {
    const std::vector<bool>* slots = deletedOn(pageNumber);
    return slots && slot < slots->size() && (*slots)[slot];
}

void TableWriter::markDeleted(std::uint32_t pageNumber, unsigned slot) {
    // Rows are mostly deleted in stored order: the last page's entry is kept at hand.
    if (!lastMarked_ || lastMarkedPage_ != pageNumber) {
        lastMarked_ = &deleted_[pageNumber];
        lastMarkedPage_ = pageNumber;
    }
    std::vector<bool>& slots = *lastMarked_;
    if (slots.size() <= slot)
        slots.resize(std::max<std::size_t>(slot + 1, page::kMaxSlots), false);
    slots[slot] = true;
}

int TableWriter::lastLiveSlot(std::uint32_t pageNumber, const std::uint8_t* p) const {
    const std::vector<bool>* deleted = deletedOn(pageNumber);
    for (unsigned slot = page::slotCount(p); slot-- > 0;)
        if (!removedSlot(p, slot) && !(deleted && slot < deleted->size() && (*deleted)[slot]))
            return static_cast<int>(slot);
    return -1;
}

bool TableWriter::liveOnPage(std::uint32_t pageNumber, const std::uint8_t* p) const {
    return lastLiveSlot(pageNumber, p) >= 0;
}

void TableWriter::applyDeletes(std::uint32_t pageNumber) {
    auto it = deleted_.find(pageNumber);
    if (it == deleted_.end())
        return;
    std::uint8_t* p = db_.pager.write(pageNumber);
    const unsigned count = page::slotCount(p);
    for (unsigned slot = 0; slot < it->second.size() && slot < count; ++slot) {
        if (!it->second[slot])
            continue;
        const std::uint16_t raw = bytes::u16(p + page::kSlotTable + 2 * slot);
        bytes::put16(p + page::kSlotTable + 2 * slot, raw | page::kDeleted | page::kOverflow);
    }
    forgetDeleted(pageNumber);
    page::compact(p, pageNumber);
    if (hotPage_ == pageNumber)
        hotPage_ = 0;
}

void TableWriter::findLastLive() {
    lastLive_.reset();
    const auto& pages = owned_.pages();
    for (auto it = pages.rbegin(); it != pages.rend() && !lastLive_; ++it) {
        if (*it >= db_.pager.pageCount() || emptied_.count(*it))
            continue;
        const std::uint8_t* p = db_.pager.read(*it);
        if (p[0] != 0x01 || bytes::u32(p + 4) != table_->def.page)
            continue;
        if (const int slot = lastLiveSlot(*it, p); slot >= 0)
            lastLive_ = RowRef{*it, static_cast<std::uint16_t>(slot)};
    }
    lastLiveKnown_ = true;
}

void TableWriter::updateFreeMap(std::uint32_t pageNumber, int freeSpace, unsigned slots) {
    if (freeSpace >= kFreeThreshold && slots < page::kMaxSlots)
        free_.add(pageNumber);
    else
        free_.remove(pageNumber);
}

bool TableWriter::tryPlace(std::uint32_t pageNumber, std::size_t size, RowRef& out,
                           std::uint8_t*& at) {
    if (pageNumber != hotPage_) {
        if (emptied_.count(pageNumber)) {
            free_.remove(pageNumber); // given back at the commit, like the pages below
            return false;
        }
        const std::uint8_t* p = db_.pager.read(pageNumber);
        if (p[0] != 0x01 || bytes::u32(p + 4) != table_->def.page)
            return false;
        if (deleted_.count(pageNumber)) {
            // A page emptied in this transaction is given back when it commits; its old rows
            // stay as they are until then, so nothing new goes on it.
            if (!liveOnPage(pageNumber, p)) {
                free_.remove(pageNumber);
                return false;
            }
            applyDeletes(pageNumber);
            p = db_.pager.read(pageNumber);
        }
        hotPage_ = pageNumber;
        hotSlots_ = page::slotCount(p);
        hotFree_ = page::freeSpace(p);
        hotData_ = nullptr;
    }
    if (hotSlots_ >= page::kMaxSlots || static_cast<int>(size) + 2 > hotFree_)
        return false;
    if (!hotData_) {
        // The page's copy for this transaction stays where it is until the transaction ends,
        // and rows added below the others move nothing a reader holds.
        hotData_ = db_.pager.write(pageNumber);
        hotListed_ = free_.contains(pageNumber);
    }
    // The free bytes and slot count kept for the page give where its lowest row starts.
    const std::size_t lowest =
        page::kSlotTable + 2 * std::size_t{hotSlots_} + static_cast<std::size_t>(hotFree_);
    out = RowRef{pageNumber, static_cast<std::uint16_t>(hotSlots_)};
    at = hotData_ + page::appendSlot(hotData_, size, lowest);
    hotSlots_ += 1;
    hotFree_ -= static_cast<int>(size) + 2;
    // The free-space map changes only when the page stops having room.
    const bool room = hotFree_ >= kFreeThreshold && hotSlots_ < page::kMaxSlots;
    if (room != hotListed_) {
        updateFreeMap(pageNumber, hotFree_, hotSlots_);
        hotListed_ = room;
    }
    return true;
}

RowRef TableWriter::insert(std::string_view row) {
    RowRef placed;
    std::memcpy(place(row.size(), placed), row.data(), row.size());
    return placed;
}

std::uint8_t* TableWriter::place(std::size_t size, RowRef& placed) {
    if (!lastLiveKnown_)
        findLastLive();
    std::uint8_t* at = nullptr;
    bool done = false;
    // Rows go after the last live row, so stored order is the order of insertion.
    if (lastLive_ && lastLive_->page == hotPage_)
        done = tryPlace(hotPage_, size, placed, at);
    if (!done) {
        // Pages with room, from the last live row's page on (copied: placing changes the map).
        const auto& pages = free_.pages();
        const std::size_t from =
            lastLive_
                ? static_cast<std::size_t>(
                      std::lower_bound(pages.begin(), pages.end(), lastLive_->page) - pages.begin())
                : 0;
        std::vector<std::uint32_t> candidates;
        candidates.reserve(pages.size() - from);
        for (std::size_t k = from; k < pages.size(); ++k)
            candidates.push_back(pages[k]);
        for (std::size_t k = 0; k < candidates.size() && !done; ++k)
            done = owned_.contains(candidates[k]) && tryPlace(candidates[k], size, placed, at);
    }
    if (!done) {
        const std::uint32_t fresh = db_.allocatePage(lastLive_ ? lastLive_->page : 0);
        page::initDataPage(db_.pager.write(fresh), table_->def.page);
        owned_.add(fresh);
        hotPage_ = 0;
        if (!tryPlace(fresh, size, placed, at))
            throw Error(ErrorKind::InvalidArgument, "The record does not fit on a page.");
    }
    lastLive_ = placed;
    ++rowCountDelta_;
    return at;
}

void TableWriter::remove(const RowRef& ref) {
    // The rows' slots are flagged when the transaction commits: a page that loses all its rows
    // is then given back without being changed, so its old contents need no journal.
    const page::Slot own = page::slot(db_.pager.read(ref.page), ref.slot, ref.page); // validates
    const RowRef data = own.overflow() ? db_.dataSlot(*table_, ref) : ref;
    // Long values stored outside the row go with it.
    for (std::size_t i = 0; table_->layout.hasLongValues && i < table_->def.columns.size(); ++i) {
        const ColumnDef& c = table_->def.columns[i];
        if (!c.isLongValue())
            continue;
        const bytes::View b = db_.rowBytes(*table_, ref);
        const row::Cracked cracked = row::crack(b.data(), b.size(), table_->layout);
        const row::FieldBytes f = row::field(cracked, table_->layout, c, i);
        if (f.isNull || f.size < long_value::kHeaderSize || (f.data[3] & long_value::kInline))
            continue;
        std::uint32_t ptr = bytes::u32(f.data + 4);
        const bool single = (f.data[3] & long_value::kSingle) != 0;
        std::set<std::uint32_t> seen;
        while (ptr != 0 && seen.insert(ptr).second) {
            const std::uint32_t pg = page::pointerPage(ptr);
            const unsigned rw = page::pointerRow(ptr);
            if (pg >= db_.pager.pageCount())
                break;
            const std::uint8_t* p = db_.pager.read(pg);
            const page::Slot s = page::slot(p, rw, pg);
            const std::uint32_t next = (!single && s.size() >= 4) ? bytes::u32(p + s.start) : 0;
            std::uint8_t* w = db_.pager.write(pg);
            bytes::put16(w + page::kSlotTable + 2 * rw, bytes::u16(w + page::kSlotTable + 2 * rw) |
                                                            page::kDeleted | page::kOverflow);
            ptr = next;
            if (single)
                break;
        }
    }
    markDeleted(ref.page, ref.slot);
    if (!(data == ref))
        markDeleted(data.page, data.slot);
    if (hotPage_ == ref.page || hotPage_ == data.page)
        hotPage_ = 0;
    if (lastLive_ && *lastLive_ == ref)
        lastLiveKnown_ = false;
    --rowCountDelta_;
}

void TableWriter::removeAll(const RowList& rows, const std::vector<bool>& skip) {
    if (table_->layout.hasLongValues) {
        for (std::size_t i = 0; i < rows.size(); ++i)
            if (!skip[i])
                remove(rows[i]);
        return;
    }
    // Without long values a row's removal changes no page until the commit, so each page is
    // looked up once for all its rows.
    std::uint32_t pageNumber = 0;
    const std::uint8_t* p = nullptr;
    std::vector<bool>* slots = nullptr; // the page's entry in deleted_, once made
    std::int64_t removed = 0;
    for (std::size_t i = 0; i < rows.size(); ++i) {
        if (skip[i])
            continue;
        const RowRef& ref = rows[i];
        if (!p || ref.page != pageNumber) {
            p = db_.pager.read(ref.page);
            pageNumber = ref.page;
            slots = nullptr;
        }
        const bool overflow = page::slot(p, ref.slot, ref.page).overflow(); // validates
        if (slots && ref.slot < slots->size()) {
            (*slots)[ref.slot] = true;
        } else {
            markDeleted(ref.page, ref.slot);
            slots = lastMarked_;
        }
        if (overflow) {
            const RowRef data = db_.dataSlot(*table_, ref);
            p = nullptr; // other pages were read
            slots = nullptr;
            if (!(data == ref))
                markDeleted(data.page, data.slot);
            if (hotPage_ == data.page)
                hotPage_ = 0;
        }
        if (hotPage_ == ref.page)
            hotPage_ = 0;
        if (lastLive_ && *lastLive_ == ref)
            lastLiveKnown_ = false;
        ++removed;
    }
    rowCountDelta_ -= removed;
}

std::uint32_t TableWriter::storeLongValue(std::uint16_t columnNumber, const std::string& data) {
    auto it = longValues_.find(columnNumber);
    if (it == longValues_.end()) {
        const auto& maps = table_->def.longValueMaps;
        auto m = std::find_if(maps.begin(), maps.end(), [&](const LongValueMaps& x) {
            return x.columnNumber == columnNumber;
        });
        if (m == maps.end())
            throw Error(ErrorKind::Corrupt, "The database file is damaged: a long-value column of "
                                            "table '" +
                                                table_->def.name + "' has no page maps.");
        const std::string what = "a long-value column of table '" + table_->def.name + "'";
        it = longValues_
                 .emplace(columnNumber, LongValueSpace{UsageMap::read(db_.pager, m->ownedMap, what),
                                                       UsageMap::read(db_.pager, m->freeMap, what)})
                 .first;
    }
    LongValueSpace& space = it->second;
    for (std::uint32_t pg : space.free.pages()) {
        if (pg >= db_.pager.pageCount())
            continue;
        const std::uint8_t* p = db_.pager.read(pg);
        if (p[0] != 0x01 || std::memcmp(p + 4, "LVAL", 4) != 0)
            continue;
        if (page::slotCount(p) < page::kMaxSlots &&
            static_cast<int>(data.size()) + 2 <= page::freeSpace(p)) {
            std::uint8_t* w = db_.pager.write(pg);
            const unsigned slot = page::appendRow(w, data);
            if (page::freeSpace(w) < kFreeThreshold)
                space.free.remove(pg);
            return page::pointer(pg, slot);
        }
    }
    const std::uint32_t fresh = db_.allocatePage();
    std::uint8_t* w = db_.pager.write(fresh);
    page::initDataPage(w, 0);
    std::memcpy(w + 4, "LVAL", 4);
    const unsigned slot = page::appendRow(w, data);
    space.owned.add(fresh);
    if (page::freeSpace(w) >= kFreeThreshold)
        space.free.add(fresh);
    return page::pointer(fresh, slot);
}

void TableWriter::flush() {
    std::vector<std::uint32_t> pages;
    for (const auto& [pageNumber, slots] : deleted_)
        pages.push_back(pageNumber);
    std::sort(pages.begin(), pages.end());
    std::vector<std::uint32_t> released; // ascending
    for (std::uint32_t pageNumber : pages) {
        const bool known = emptied_.count(pageNumber) != 0;
        const std::uint8_t* current = known ? nullptr : db_.pager.read(pageNumber);
        const bool ours =
            known || (current[0] == 0x01 && bytes::u32(current + 4) == table_->def.page);
        if (ours && (known || !liveOnPage(pageNumber, current))) {
            // Every row of the page is gone: the page leaves the table unchanged and is free
            // from the next transaction on.
            forgetDeleted(pageNumber);
            released.push_back(pageNumber);
            db_.releasePage(pageNumber);
            continue;
        }
        applyDeletes(pageNumber);
        if (ours) {
            const std::uint8_t* p = db_.pager.read(pageNumber);
            updateFreeMap(pageNumber, page::freeSpace(p), page::slotCount(p));
        }
    }
    owned_.remove(released);
    free_.remove(released);
    hotPage_ = 0;
    auto allocate = [this] { return db_.allocatePage(); };
    owned_.write(db_.pager, allocate);
    free_.write(db_.pager, allocate);
    for (auto& [col, space] : longValues_) {
        space.owned.write(db_.pager, allocate);
        space.free.write(db_.pager, allocate);
    }
    if (rowCountDelta_ != 0) {
        std::uint8_t* p = db_.pager.write(table_->def.page);
        const std::int64_t count = std::int64_t{bytes::u32(p + tdef::kRowCount)} + rowCountDelta_;
        bytes::put32(p + tdef::kRowCount,
                     static_cast<std::uint32_t>(std::max<std::int64_t>(count, 0)));
        rowCountDelta_ = 0;
    }
}

// ---------------------------------------------------------------------------------------------
// Global free-page map

std::vector<std::uint32_t> GlobalMap::freePages() {
    std::vector<std::uint32_t> out;
    const std::uint8_t* p = pager_.read(1);
    if (p[0] != 0x01 || page::slotCount(p) < 1)
        return out;
    const page::Slot s = page::slot(p, 0, 1);
    if (s.size() < 5 || p[s.start] != 0)
        return out;
    const std::uint32_t start = bytes::u32(p + s.start + 1);
    for (std::size_t i = 0; i < (s.size() - 5) * 8u; ++i)
        if ((p[s.start + 5 + i / 8] >> (i % 8)) & 1) {
            const std::uint64_t pg = std::uint64_t{start} + i;
            if (pg >= 2 && pg < pager_.pageCount())
                out.push_back(static_cast<std::uint32_t>(pg));
        }
    return out;
}

void GlobalMap::flush() {
    if (allocated_.empty() && released_.empty())
        return;
    // Row 0 of page 1 is an inline map whose set bits are free pages; pages the file does not
    // have yet count as free. Access lengthens the row as the file grows rather than switching
    // to a reference map, and so do we.
    const std::uint32_t pageCount = pager_.pageCount();
    const std::uint8_t* p = pager_.read(1);
    if (p[0] != 0x01 || page::slotCount(p) < 1)
        throw Error(ErrorKind::Corrupt, "The database file is damaged: page 1 is not the global "
                                        "page map.");
    const unsigned rows = page::slotCount(p);
    std::vector<std::string> rowData;
    for (unsigned i = 0; i < rows; ++i) {
        const page::Slot s = page::slot(p, i, 1);
        rowData.emplace_back(reinterpret_cast<const char*>(p + s.start), s.size());
    }
    std::string& map = rowData[0];
    if (map.size() < 5 || map[0] != 0)
        throw Error(ErrorKind::Unsupported,
                    "The database file's global page map has a form this engine does not write.");
    std::uint32_t start = bytes::u32(reinterpret_cast<const std::uint8_t*>(map.data() + 1));
    std::vector<bool> bits((map.size() - 5) * 8);
    for (std::size_t i = 0; i < bits.size(); ++i)
        bits[i] = (static_cast<std::uint8_t>(map[5 + i / 8]) >> (i % 8)) & 1;

    // Room on page 1 for the bitmap: everything but the other rows and the offset table.
    std::size_t others = 0;
    for (unsigned i = 1; i < rows; ++i)
        others += rowData[i].size();
    const std::size_t maxBitmap = kPageSize - page::kSlotTable - 2 * rows - others - 5;
    std::size_t needed = pageCount > start ? (pageCount - start + 7) / 8 : 0;
    needed = (needed + 31) / 32 * 32;
    if (needed > bits.size() / 8) {
        if (needed <= maxBitmap) {
            bits.resize(needed * 8, true); // pages the old map did not reach: free until used
        } else {
            // Slide the window so that it ends with the last page, as Jackcess does.
            const std::size_t capacity = maxBitmap / 8 * 64;
            std::uint32_t newStart =
                pageCount > capacity / 2 ? (pageCount - capacity / 2) & ~7u : 0;
            std::vector<bool> moved(capacity, true);
            for (std::size_t i = 0; i < bits.size(); ++i) {
                const std::uint64_t pg = std::uint64_t{start} + i;
                if (pg >= newStart && pg - newStart < capacity)
                    moved[pg - newStart] = bits[i];
            }
            bits = std::move(moved);
            start = newStart;
        }
    }
    for (std::uint32_t pg : released_)
        if (pg >= start && pg - start < bits.size())
            bits[pg - start] = true;
    for (std::uint32_t pg : allocated_)
        if (pg >= start && pg - start < bits.size())
            bits[pg - start] = false;
    std::string fresh(5 + bits.size() / 8, '\0');
    bytes::put32(reinterpret_cast<std::uint8_t*>(fresh.data() + 1), start);
    for (std::size_t i = 0; i < bits.size(); ++i)
        if (bits[i])
            fresh[5 + i / 8] = static_cast<char>(fresh[5 + i / 8] | (1 << (i % 8)));
    allocated_.clear();
    released_.clear();
    if (fresh.size() == map.size()) {
        std::uint8_t* w = pager_.write(1);
        const page::Slot s = page::slot(w, 0, 1);
        std::memcpy(w + s.start, fresh.data(), fresh.size());
        return;
    }
    map = std::move(fresh);
    std::uint8_t* w = pager_.write(1);
    std::uint8_t head[8];
    std::memcpy(head, w + 4, 8);
    page::initDataPage(w, 0);
    std::memcpy(w + 4, head, 8);
    for (const std::string& r : rowData)
        page::appendRow(w, r);
}

} // namespace jet
