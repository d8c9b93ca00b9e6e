// The engine's state for one open file: pages, catalog, table definitions and the changes of
// the running transaction.
#pragma once

#include "internal.h"

#include <map>
#include <memory>
#include <optional>
#include <set>
#include <string>
#include <unordered_map>
#include <vector>

#include "bytes.h"
#include "header.h"
#include "jet/database.h"
#include "pager.h"
#include "row.h"
#include "usage_map.h"

namespace jet {

/// Where a row lives: its slot. When the slot holds an overflow pointer, the row's bytes are
/// in the slot the pointer names (see DatabaseImpl::dataSlot).
struct RowRef {
    std::uint32_t page = 0;
    std::uint16_t slot = 0;
    bool operator==(const RowRef& o) const { return page == o.page && slot == o.slot; }
};

/// Rows in stored order; large tables' lists live in huge-page blocks.
using RowList = std::vector<RowRef, LargeAllocator<RowRef>>;

struct CatalogEntry {
    std::int32_t id = 0;
    std::int32_t parentId = 0;
    std::string name;
    std::int32_t type = 0;
    std::int32_t flags = 0;
    RowRef where;
    std::uint32_t tdefPage() const { return static_cast<std::uint32_t>(id) & 0x00FFFFFF; }
    bool isTable() const { return (type & 0x7F) == 1; }
    bool isUserTable() const {
        return isTable() && (static_cast<std::uint32_t>(flags) & 0x80000002u) == 0;
    }
};

/// A table definition with the facts derived from it.
struct Table {
    TableDef def;
    row::Layout layout;
    /// Column index by exact name.
    std::unordered_map<std::string_view, int> columnIndex;
    int findColumn(std::string_view name) const {
        auto it = columnIndex.find(name);
        return it == columnIndex.end() ? -1 : it->second;
    }
};

/// The fields of a row being added, by column index. Each field is null, a Value still to be
/// encoded, or already in its stored form (Text fields given as UTF-16, dates), which needs
/// only the field's size checked. Long values are never held stored: encoding wraps them, and
/// a row whose update() failed is encoded again from its values. The buffers are kept from row to
/// row, so that adding many rows allocates nothing per row.
struct PendingRow {
    enum class State : std::uint8_t { Null, Value, Stored };
    std::vector<State> state;
    std::vector<Value> values;          ///< State::Value
    std::vector<std::string> bytes;     ///< the stored form (State::Value ones once encoded)
    std::vector<std::uint32_t> units;   ///< State::Stored texts: their UTF-16 code units
    std::vector<std::uint8_t> present;  ///< filled by encoding: a value goes into the row
    std::vector<std::uint8_t> booleans; ///< filled by encoding: Yes/No values
    std::size_t size = 0;               ///< filled by encoding: the row's size

    /// Every field null, for a table of `columns` columns.
    void clear(std::size_t columns) {
        state.assign(columns, State::Null);
        if (values.size() < columns) {
            values.resize(columns);
            bytes.resize(columns);
            units.resize(columns);
        }
    }
    Value& value(std::size_t i) {
        state[i] = State::Value;
        return values[i];
    }
};

class DatabaseImpl;

/// Changes to one table within a transaction: where rows go, page maps, the row count.
class TableWriter {
public:
    TableWriter(DatabaseImpl& db, std::shared_ptr<const Table> table);
    /// Stores a row after the last live row of the table's stored order.
    RowRef insert(std::string_view row);
    /// Makes room for a row of `size` bytes after the last live row of the table's stored order
    /// and returns where its bytes go, on a page changed in this transaction; `placed` names
    /// the new row.
    std::uint8_t* place(std::size_t size, RowRef& placed);
    void remove(const RowRef& ref);
    /// remove() for each row of `rows` whose `skip` entry is false.
    void removeAll(const RowList& rows, const std::vector<bool>& skip);
    /// A long value's bytes in a row on a long-value page; returns its page/row pointer.
    std::uint32_t storeLongValue(std::uint16_t columnNumber, const std::string& data);
    /// Writes compaction, page maps and the row count into the pages.
    void flush();
    const Table& table() const { return *table_; }
    /// Deleted in this transaction (the slot is flagged when it commits).
    bool isDeleted(std::uint32_t page, unsigned slot) const;
    /// True when every row of the page has been deleted in this transaction. Such a page is
    /// given back when the transaction commits and is not read again before: its memory may go.
    bool emptied(std::uint32_t page);

private:
    struct LongValueSpace {
        UsageMap owned, free;
    };
    void findLastLive();
    void updateFreeMap(std::uint32_t page, int freeSpace, unsigned slots);
    bool liveOnPage(std::uint32_t page, const std::uint8_t* p) const;
    /// The last slot of the page holding a live row, or -1.
    int lastLiveSlot(std::uint32_t page, const std::uint8_t* p) const;
    const std::vector<bool>* deletedOn(std::uint32_t page) const;
    void forgetDeleted(std::uint32_t page);
    void applyDeletes(std::uint32_t page);
    bool tryPlace(std::uint32_t page, std::size_t size, RowRef& out, std::uint8_t*& at);

    DatabaseImpl& db_;
    std::shared_ptr<const Table> table_;
    UsageMap owned_, free_;
    void markDeleted(std::uint32_t page, unsigned slot);
    std::unordered_map<std::uint32_t, std::vector<bool>> deleted_; // by page, not yet flagged
    std::vector<bool>* lastMarked_ = nullptr; // deleted_'s entry for lastMarkedPage_
    std::uint32_t lastMarkedPage_ = 0;
    std::set<std::uint32_t> emptied_; // pages whose rows are all deleted, known without reading
    // The page rows are being added to, with its free bytes and slot count.
    std::uint32_t hotPage_ = 0;
    int hotFree_ = 0;
    unsigned hotSlots_ = 0;
    std::uint8_t* hotData_ = nullptr; // its bytes for changing, once a row has gone on it
    bool hotListed_ = false;          // whether the free-space map lists it
    std::optional<RowRef> lastLive_;
    bool lastLiveKnown_ = false;
    std::int64_t rowCountDelta_ = 0;
    std::map<std::uint16_t, LongValueSpace> longValues_;
};

/// The global free-page map on page 1 (row 0: a set bit marks a free page), and the pages
/// taken and released in the running transaction.
class GlobalMap {
public:
    explicit GlobalMap(Pager& pager) : pager_(pager) {}
    /// Pages the map marks free, below the file's end (empty when the map is not inline).
    std::vector<std::uint32_t> freePages();
    void noteAllocated(std::uint32_t page) { allocated_.push_back(page); }
    void noteReleased(std::uint32_t page) { released_.push_back(page); }
    void flush();

private:
    Pager& pager_;
    std::vector<std::uint32_t> allocated_;
    std::vector<std::uint32_t> released_;
};

class DatabaseImpl : public std::enable_shared_from_this<DatabaseImpl> {
public:
    DatabaseImpl(const std::string& path, const OpenOptions& options);

    Pager pager;
    HeaderInfo header;
    std::vector<CatalogEntry> catalog;
    std::uint64_t generation = 0; ///< bumped by every rollback: record sets become stale

    void loadCatalog();
    const CatalogEntry* findTable(std::string_view name, bool caseSensitive = true) const;
    const CatalogEntry* findById(std::int32_t id) const;
    std::shared_ptr<const Table> table(std::uint32_t tdefPage, const std::string& name);
    std::shared_ptr<const Table> table(const CatalogEntry& entry) {
        return table(entry.tdefPage(), entry.name);
    }

    /// Rows of a table in stored order (overflow pointers followed).
    RowList scan(const Table& t, std::vector<std::string>* notes = nullptr);
    /// A reader of `t` has moved past one of its pages: outside a transaction the page's
    /// memory is let go; inside one, when every row of the page has been deleted.
    void leavePage(const Table& t, std::uint32_t page);
    /// The slot holding a row's bytes: its own, or the one its overflow pointers lead to.
    /// Throws Corrupt when the pointers cannot be followed.
    RowRef dataSlot(const Table& t, const RowRef& ref);
    /// The bytes of a row.
    bytes::View rowBytes(const Table& t, const RowRef& ref);
    Value readField(const Table& t, const RowRef& ref, std::size_t columnIndex);
    /// The same for a row already cracked (see row::crack).
    Value readField(const Table& t, const row::Cracked& cracked, std::size_t columnIndex);
    /// Appends what readField(...).asText() would give, without building the Value; false
    /// when the field is null. Throws InvalidState for fields whose values have no text.
    bool appendField(const Table& t, const row::Cracked& cracked, std::size_t columnIndex,
                     std::string& out);
    /// Encodes a complete row for insertion through `writer` (long values stored as needed).
    /// `values` by column index; null values (and columns beyond its end) are left null.
    std::string encodeRow(TableWriter& writer, const std::vector<Value>& values);
    /// Encodes a row straight into its place after the table's last live row.
    RowRef insertRow(TableWriter& writer, PendingRow& row);

    // Changes.
    void begin(bool explicitTransaction);
    void commit();
    /// Discards the running transaction; `invalidate` makes open record sets stale.
    void rollback(bool invalidate = true);
    bool explicitTransaction() const { return explicit_; }
    /// Runs `op` inside the current transaction, or inside one of its own. Any failure rolls
    /// the whole transaction back and is rethrown.
    template <typename Op> void change(Op&& op) {
        const bool own = !pager.inTransaction();
        if (own)
            begin(false);
        try {
            op();
            if (own)
                commit();
        } catch (...) {
            rollback(!own);
            throw;
        }
    }
    TableWriter& writer(const std::shared_ptr<const Table>& table);
    /// Counts the times the writers were let go (every commit and rollback): a writer found
    /// earlier is still the table's while this has not changed.
    std::uint64_t writersCleared = 0;
    /// A page for new contents: one that was free when the transaction began and lies after
    /// `after` (so that rows placed on it follow the table's other rows), or a new page at the
    /// end of the file.
    std::uint32_t allocatePage(std::uint32_t after = 0);
    /// Gives a page back; it becomes reusable from the next transaction on.
    void releasePage(std::uint32_t page);
    /// Every page something refers to: header, global map, definitions, page maps and the
    /// pages they list. Throws Corrupt when a structure cannot be read.
    std::set<std::uint32_t> usedPages();
    /// Refuses writing to a file open for reading only and to tables whose indexes this engine
    /// does not maintain (the error worked out apart: checked for every row added).
    void checkWritable(const Table& t) const {
        if (!pager.writable() || !t.def.realIndexes.empty()) [[unlikely]]
            refuseWriting(t);
    }
    [[noreturn, gnu::noinline, gnu::cold]] void refuseWriting(const Table& t) const;

    void createTable(const TableSpec& spec);
    CheckReport check();

private:
    std::map<std::uint32_t, std::shared_ptr<const Table>> tables_;
    std::map<std::uint32_t, std::unique_ptr<TableWriter>> writers_;
    std::unique_ptr<GlobalMap> globalMap_;
    std::set<std::uint32_t> freeAtStart_; // free pages not yet taken in this transaction
    bool explicit_ = false;
};

} // namespace jet
