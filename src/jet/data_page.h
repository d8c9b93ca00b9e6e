// Data pages (type 0x01): the header, the row offset table and the rows packed downwards from
// the end of the page. Used for table rows, usage-map rows, long-value rows and page 1.
//
//   0  u8  0x01          2  u16 free space      4  u32 owning tdef page ("LVAL" on long-value
//   1  u8  0x01          8  u32 0               pages, 0 on pages of usage maps only)
//  12  u16 slot count   14  u16 offset of each slot; low 13 bits = start of the row,
//                           0x8000 = deleted, 0x4000 = overflow pointer
// Row i ends where row i-1 starts (row 0 ends at the end of the page).
#pragma once

#include "internal.h"

#include <cstdint>
#include <string_view>

#include "bytes.h"
#include "pager.h"

namespace jet::page {

inline constexpr std::size_t kSlotCount = 12;
inline constexpr std::size_t kSlotTable = 14;
inline constexpr std::uint16_t kOffsetMask = 0x1FFF;
inline constexpr std::uint16_t kDeleted = 0x8000;
inline constexpr std::uint16_t kOverflow = 0x4000;
/// Jackcess' limit; pointers to rows hold the row number in one byte.
inline constexpr unsigned kMaxSlots = 255;

struct Slot {
    std::uint16_t start = 0;
    std::uint16_t end = 0;
    std::uint16_t flags = 0;
    bool deleted() const { return (flags & kDeleted) != 0; }
    bool overflow() const { return (flags & kOverflow) != 0; }
    std::uint16_t size() const { return static_cast<std::uint16_t>(end - start); }
};

inline unsigned slotCount(const std::uint8_t* p) {
    return bytes::u16(p + kSlotCount);
}

/// The extent of slot `row`. Throws Corrupt when the slot does not exist or its bytes do not
/// lie between the offset table and the end of the page, or overlap the row before.
Slot slot(const std::uint8_t* p, unsigned row, std::uint32_t pageNumber);

/// Free bytes between the offset table and the lowest row.
int freeSpace(const std::uint8_t* p);

/// Starts an empty data page owned by `owner`.
void initDataPage(std::uint8_t* p, std::uint32_t owner);

/// Adds a row below the lowest one; returns its slot. The caller checks the space first:
/// `size + 2 <= freeSpace(p)` and fewer than kMaxSlots slots.
unsigned appendRow(std::uint8_t* p, std::string_view row);
/// The same, given the offset of the lowest row (saves scanning the offset table).
unsigned appendRow(std::uint8_t* p, std::string_view row, std::size_t lowest);
/// Adds a slot for a row of `size` bytes below the one starting at `lowest` and returns the
/// offset where the caller writes the row's bytes; the checks are appendRow's.
std::size_t appendSlot(std::uint8_t* p, std::size_t size, std::size_t lowest);

/// Rewrites the page with the same live rows in the same slots, deleted slots shrunk to zero
/// length and deleted slots at the end of the table dropped. Slot numbers of the remaining
/// rows do not change.
void compact(std::uint8_t* p, std::uint32_t pageNumber);

/// A page/row pointer as stored in definitions and long values: row in the low byte.
inline std::uint32_t pointer(std::uint32_t pageNumber, unsigned row) {
    return (pageNumber << 8) | (row & 0xFF);
}
inline std::uint32_t pointerPage(std::uint32_t ptr) {
    return ptr >> 8;
}
inline unsigned pointerRow(std::uint32_t ptr) {
    return ptr & 0xFF;
}

} // namespace jet::page
