// Table definitions (tdef pages, type 0x02): reading a definition that may span several
// pages, and writing the definition of a new table.
#pragma once

#include "internal.h"

#include <cstdint>
#include <string>
#include <vector>

#include "jet/schema.h"

namespace jet {

class Pager;

namespace tdef {
// Offsets in the first tdef page.
inline constexpr std::size_t kNextPage = 4;
inline constexpr std::size_t kLength = 8;
inline constexpr std::size_t kRowCount = 16;
inline constexpr std::size_t kAutoNumber = 20;
inline constexpr std::size_t kTableType = 40;
inline constexpr std::size_t kMaxColumns = 41;
inline constexpr std::size_t kVarColumns = 43;
inline constexpr std::size_t kColumnCount = 45;
inline constexpr std::size_t kLogicalIndexCount = 47;
inline constexpr std::size_t kRealIndexCount = 51;
inline constexpr std::size_t kOwnedMap = 55;
inline constexpr std::size_t kFreeMap = 59;
inline constexpr std::size_t kHeaderSize = 63;
inline constexpr std::size_t kIndexCountSize = 12;
inline constexpr std::size_t kColumnSize = 25;
inline constexpr std::size_t kRealIndexSize = 52;
inline constexpr std::size_t kLogicalIndexSize = 28;
/// Constant found at tdef offset 12 and in every column descriptor.
inline constexpr std::uint32_t kMagic = 1625;
} // namespace tdef

/// Reads the definition whose first page is `page`. Throws Corrupt with a description.
TableDef readTableDef(Pager& pager, std::uint32_t page, const std::string& name);

/// Where in the first tdef page each real index's unique-entry count is kept.
inline std::size_t uniqueCountOffset(std::size_t realIndex) {
    return tdef::kHeaderSize + realIndex * tdef::kIndexCountSize + 4;
}

/// Numbers the columns in order and places them as Access does: fixed columns one after
/// another in the fixed area (Yes/No takes no room), variable columns in var-index order, and
/// every fixed column carrying the count of variable columns before it. Sets the definition's
/// column counts.
void placeColumns(TableDef& def);

/// The bytes of a single-page definition for a table without indexes or long-value columns:
/// header, column descriptors and names, terminator. Throws Unsupported when it would not fit
/// on one page.
std::vector<std::uint8_t> buildTableDef(const TableDef& def);

} // namespace jet
