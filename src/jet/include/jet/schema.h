// Table, column and index definitions as the engine reads them from a file, and the
// specifications from which it creates new tables.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "jet/value.h"

namespace jet {

/// Column flag bits (byte 15 of a column descriptor).
namespace column_flags {
inline constexpr std::uint8_t FixedLength = 0x01;
inline constexpr std::uint8_t CanBeNull = 0x02;
inline constexpr std::uint8_t AutoNumber = 0x04;
inline constexpr std::uint8_t AutoNumberGuid = 0x40;
inline constexpr std::uint8_t Hyperlink = 0x80;
} // namespace column_flags

struct ColumnDef {
    std::string name;
    ColumnType type = ColumnType::Text;
    std::uint16_t number = 0;      ///< position in the null mask; counts deleted columns
    std::uint16_t varIndex = 0;    ///< entry in the row's variable-offset table (variable columns)
    std::uint16_t fixedOffset = 0; ///< offset inside the fixed area (fixed columns)
    std::uint16_t length = 0;      ///< bytes; Text = 2 x characters; 0 for Memo/OLE
    std::uint8_t flags = 0;
    std::uint8_t extraFlags = 0; ///< 0x01: values may use Unicode compression
    std::uint16_t sortOrder = 0; ///< LCID of a Text/Memo column's collation
    std::uint8_t precision = 0;  ///< Numeric only
    std::uint8_t scale = 0;      ///< Numeric only

    bool isFixed() const { return (flags & column_flags::FixedLength) != 0; }
    bool isLongValue() const { return type == ColumnType::Memo || type == ColumnType::Ole; }
    bool compressedUnicode() const { return (extraFlags & 0x01) != 0; }
};

struct IndexColumn {
    std::uint16_t columnNumber = 0;
    bool ascending = true;
};

/// A physical index: the B-tree that holds keys.
struct RealIndexDef {
    std::vector<IndexColumn> columns;
    std::uint32_t usageMap = 0; ///< page/row pointer of the index's usage map
    std::uint32_t rootPage = 0;
    std::uint8_t flags = 0; ///< 0x01 unique, 0x02 ignore nulls, 0x08 required
    std::uint32_t uniqueCount = 0;
};

/// A named index as the user sees it; several may share one real index.
struct LogicalIndexDef {
    std::string name;
    std::uint32_t number = 0;
    std::uint32_t realIndex = 0;
    std::uint8_t kind = 0; ///< 1 primary key, 2 foreign key, 0 other
    std::uint8_t cascadeUpdates = 0;
    std::uint8_t cascadeDeletes = 0;
};

/// Usage maps of one Memo/OLE column.
struct LongValueMaps {
    std::uint16_t columnNumber = 0;
    std::uint32_t ownedMap = 0;
    std::uint32_t freeMap = 0;
};

struct TableDef {
    std::string name;
    std::uint32_t page = 0;        ///< first page of the definition = the table's catalog Id
    std::uint8_t tableType = 0x4E; ///< 0x4E user table, 0x53 system table
    std::uint32_t rowCount = 0;    ///< live rows as recorded in the definition
    std::uint32_t autoNumber = 0;
    std::uint16_t maxColumns = 0;
    std::uint16_t varColumns = 0;
    std::vector<ColumnDef> columns; ///< in column-number order
    std::vector<RealIndexDef> realIndexes;
    std::vector<LogicalIndexDef> indexes;
    std::vector<LongValueMaps> longValueMaps;
    std::uint32_t ownedMap = 0;                 ///< page/row pointer of the owned-pages usage map
    std::uint32_t freeMap = 0;                  ///< page/row pointer of the free-space usage map
    std::vector<std::uint32_t> definitionPages; ///< the tdef page and its continuations
    /// Written as the Jet engine writes its system tables: descriptors, names, indexes and
    /// long-value maps sorted by name, and no second copy of the column number in the column
    /// descriptors (readers accept either form).
    bool jetSystemLayout = false;

    /// Index into `columns` of the column of that name (exact match), or -1.
    int findColumn(std::string_view columnName) const;
};

/// A field of a table to be created.
struct FieldSpec {
    std::string name;
    ColumnType type = ColumnType::Text; ///< Text, DateTime, Long, Double or Boolean
    std::uint16_t size = 0;             ///< characters, for Text (1..255)
    bool allowZeroLength = false;       ///< Text only; stored as the field's property
    bool required = false;              ///< stored as the field's property when set
};

struct TableSpec {
    std::string name;
    std::vector<FieldSpec> fields;
};

} // namespace jet
