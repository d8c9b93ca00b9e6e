#include "data_page.h"

#include <algorithm>
#include <cstring>
#include <vector>

#include "bytes.h"
#include "jet/error.h"

namespace jet::page {

Slot slot(const std::uint8_t* p, unsigned row, std::uint32_t pageNumber) {
    const unsigned count = slotCount(p);
    auto bad = [&](const char* why) {
        throw Error(ErrorKind::Corrupt, "The database file is damaged: row " + std::to_string(row) +
                                            " of page " + std::to_string(pageNumber) + " " + why +
                                            ".");
    };
    if (row >= count)
        bad("does not exist");
    const std::size_t tableEnd = kSlotTable + 2 * std::size_t{count};
    if (tableEnd > kPageSize)
        bad("lies in an offset table longer than the page");
    const std::uint16_t raw = bytes::u16(p + kSlotTable + 2 * row);
    Slot s;
    s.flags = raw & 0xE000;
    s.start = raw & kOffsetMask;
    s.end =
        row == 0
            ? static_cast<std::uint16_t>(kPageSize)
            : static_cast<std::uint16_t>(bytes::u16(p + kSlotTable + 2 * (row - 1)) & kOffsetMask);
    // A deleted row's bytes are never read, and Access leaves such slots with any extent.
    // (A slot with 0x8000 alone is the target of an overflow pointer and is read.)
    const bool removed = (s.flags & (kDeleted | kOverflow)) == (kDeleted | kOverflow);
    if (s.start < tableEnd || s.start > s.end || s.end > kPageSize) {
        if (!removed)
            bad("lies outside its page");
        s.start = s.end = static_cast<std::uint16_t>(
            std::max<std::size_t>(tableEnd, std::min<std::size_t>(s.end, kPageSize)));
    }
    return s;
}

int freeSpace(const std::uint8_t* p) {
    const unsigned count = slotCount(p);
    std::size_t lowest = kPageSize;
    for (unsigned i = 0; i < count; ++i) {
        const std::size_t start = bytes::u16(p + kSlotTable + 2 * i) & kOffsetMask;
        if (start < lowest)
            lowest = start;
    }
    return static_cast<int>(lowest) - static_cast<int>(kSlotTable + 2 * std::size_t{count});
}

void initDataPage(std::uint8_t* p, std::uint32_t owner) {
    std::memset(p, 0, kPageSize);
    p[0] = 0x01;
    p[1] = 0x01;
    bytes::put16(p + 2, kPageSize - kSlotTable);
    bytes::put32(p + 4, owner);
}

unsigned appendRow(std::uint8_t* p, std::string_view row) {
    const unsigned count = slotCount(p);
    return appendRow(p, row, static_cast<std::size_t>(freeSpace(p)) + kSlotTable + 2 * count);
}

unsigned appendRow(std::uint8_t* p, std::string_view row, std::size_t lowest) {
    const unsigned count = slotCount(p);
    std::memcpy(p + appendSlot(p, row.size(), lowest), row.data(), row.size());
    return count;
}

std::size_t appendSlot(std::uint8_t* p, std::size_t size, std::size_t lowest) {
    const unsigned count = slotCount(p);
    const std::size_t start = lowest - size;
    bytes::put16(p + kSlotTable + 2 * count, static_cast<std::uint32_t>(start));
    bytes::put16(p + kSlotCount, count + 1);
    bytes::put16(p + 2, static_cast<std::uint32_t>(start - (kSlotTable + 2 * (count + 1))));
    return start;
}

void compact(std::uint8_t* p, std::uint32_t pageNumber) {
    unsigned count = slotCount(p);
    std::vector<Slot> slots;
    slots.reserve(count);
    for (unsigned i = 0; i < count; ++i)
        slots.push_back(slot(p, i, pageNumber));
    // Only slots carrying both flags are deleted rows; a lone 0x8000 marks the target of an
    // overflow pointer, whose bytes must stay.
    auto isDeleted = [](const Slot& s) {
        return (s.flags & (kDeleted | kOverflow)) == (kDeleted | kOverflow);
    };
    while (count > 0 && isDeleted(slots[count - 1]))
        --count;
    std::vector<std::uint8_t> copy(p, p + kPageSize);
    std::size_t pos = kPageSize;
    for (unsigned i = 0; i < count; ++i) {
        const Slot& s = slots[i];
        std::uint16_t flags = s.flags;
        if (!isDeleted(s)) {
            pos -= s.size();
            std::memmove(p + pos, copy.data() + s.start, s.size());
        } else {
            flags = kDeleted | kOverflow;
        }
        bytes::put16(p + kSlotTable + 2 * i, static_cast<std::uint32_t>(pos) | flags);
    }
    const std::size_t tableEnd = kSlotTable + 2 * std::size_t{count};
    if (pos > tableEnd)
        std::memset(p + tableEnd, 0, pos - tableEnd);
    bytes::put16(p + kSlotCount, count);
    bytes::put16(p + 2, static_cast<std::uint32_t>(freeSpace(p)));
}

} // namespace jet::page
