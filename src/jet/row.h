// Row layout (Jet 4), from the row's first byte:
//   u16 column count (the table's "max columns" when the row was written)
//   fixed area: each fixed column at its fixed offset
//   variable data, in var-index order
//   u16 EOD (offset just past the variable data)
//   u16 offsets of the variable columns, last column first
//   u16 variable column count
//   null mask, one bit per column number, 1 = not null (Boolean: the value itself)
// Without variable columns in the table the EOD, offsets and count are absent.
#pragma once

#include "internal.h"

#include <cstdint>
#include <string>
#include <vector>

#include "jet/schema.h"
#include "jet/value.h"

namespace jet::row {

/// Facts about a table's rows derived once from its definition.
struct Layout {
    std::vector<int> fixedOrdinal; ///< per column index: position among fixed columns, or -1
    std::size_t fixedAreaSize = 0;
    std::uint16_t varSlots = 0;        ///< entries in the var offset table of rows we write
    bool hasVarColumns = false;        ///< the definition records variable columns
    std::vector<std::size_t> varOrder; ///< indexes of the variable columns by var index
    bool hasLongValues = false;        ///< some column is a Memo or OLE column
    // The parts of the rows we write that do not depend on their values.
    std::size_t rowColumnCount = 0; ///< the column count written at the row's start
    std::size_t maskBytes = 0;      ///< bytes of the null mask
    std::size_t fixedEnd = 0;       ///< where the variable data starts
    std::size_t trailer = 0;        ///< EOD, offsets and count (0 without variable columns)
    /// Where build() puts each column's value, worked out once: fixed columns (not Boolean),
    /// Boolean columns, and variable columns in var-index order.
    struct Part {
        std::size_t index = 0;    ///< column index
        std::size_t offset = 0;   ///< fixed columns: offset in the row
        std::size_t size = 0;     ///< fixed columns: bytes in the fixed area
        std::size_t varIndex = 0; ///< variable columns
        std::size_t maskByte = 0; ///< the column's null-mask bit
        std::uint8_t maskBit = 0;
    };
    std::vector<Part> fixedParts, booleanParts, varParts;
};
Layout makeLayout(const TableDef& def);

/// Size in the fixed area of a fixed column (0 for Boolean).
std::size_t fixedSize(const ColumnDef& c);

/// A row's structure, checked against its own length.
struct Cracked {
    const std::uint8_t* data = nullptr;
    std::size_t size = 0;
    unsigned columnCount = 0;
    std::size_t maskOffset = 0;
    unsigned varCount = 0;
    std::size_t varEntry0 = 0; ///< offset of var offset entry 0; entry i is 2*i bytes lower
    unsigned fixedInRow = 0;
};
/// Throws Corrupt when the row's own length contradicts its structure.
Cracked crack(const std::uint8_t* data, std::size_t size, const Layout& layout);

struct FieldBytes {
    bool isNull = true;
    bool boolValue = false;
    const std::uint8_t* data = nullptr;
    std::size_t size = 0;
};
/// The bytes of one column; throws Corrupt when they lie outside the row.
FieldBytes field(const Cracked& row, const Layout& layout, const ColumnDef& column,
                 std::size_t columnIndex);

/// Decodes a fixed-length or inline value (everything but Memo/OLE long values).
Value decodeFixed(const ColumnDef& column, const FieldBytes& f);
/// Decodes a Text or Binary value.
Value decodeVariable(const ColumnDef& column, const FieldBytes& f);

/// Encodes a non-null value for a column into `out`, checking type and size. Memo/OLE values
/// are written as their raw data (the caller wraps them in a long-value header).
/// Throws InvalidArgument with a message naming the field.
void encodeValue(const ColumnDef& column, const Value& value, std::string& out);
inline std::string encodeValue(const ColumnDef& column, const Value& value) {
    std::string out;
    encodeValue(column, value, out);
    return out;
}

/// Throws InvalidArgument when a text of `units` UTF-16 code units is longer than `column`, a
/// Text field, holds.
[[noreturn]] void textTooLong(const ColumnDef& column);
inline void checkTextSize(const ColumnDef& column, std::size_t units) {
    if (column.type == ColumnType::Text && units * 2 > column.length)
        textTooLong(column);
}

/// The size of the row build() makes from these values.
std::size_t size(const Layout& layout, const std::vector<std::string>& values,
                 const std::vector<std::uint8_t>& present);
/// Builds a row into the `rowSize` = size(...) bytes at `out`. `values[i]` holds the encoded
/// bytes of column i (already wrapped for long values), `present[i]` whether it is not null;
/// Boolean columns take `booleans[i]`.
void build(const Layout& layout, const std::vector<std::string>& values,
           const std::vector<std::uint8_t>& present, const std::vector<std::uint8_t>& booleans,
           std::uint8_t* out, std::size_t rowSize);
inline std::string build(const Layout& layout, const std::vector<std::string>& values,
                         const std::vector<std::uint8_t>& present,
                         const std::vector<std::uint8_t>& booleans) {
    std::string out(size(layout, values, present), '\0');
    build(layout, values, present, booleans, reinterpret_cast<std::uint8_t*>(out.data()),
          out.size());
    return out;
}

/// Largest row the engine writes (Jackcess' limit for Jet 4).
inline constexpr std::size_t kMaxRowSize = 4060;

} // namespace jet::row
