// Usage maps: the sets of pages a table, index or long-value column owns or has free space
// on. A map is a row on a data page, addressed by a page/row pointer:
//   type 0 (inline):    u8 0, u32 start page, bitmap (bit i = page start+i, LSB first)
//   type 1 (reference): u8 1, u32 page numbers of bitmap pages (type 0x05), 0 = none;
//                       entry k covers pages k*32736 .. (k+1)*32736-1; a bitmap page has
//                       05 01 00 00 and 4092 bytes of bitmap.
#pragma once

#include "internal.h"

#include <cstdint>
#include <functional>
#include <string>
#include <vector>

namespace jet {

class Pager;

inline constexpr std::uint32_t kPagesPerBitmapPage = (4096 - 4) * 8;

class UsageMap {
public:
    /// Reads the map at a page/row pointer. `what` names the map in error messages.
    /// Throws Corrupt.
    static UsageMap read(Pager& pager, std::uint32_t pointer, const std::string& what);

    const std::vector<std::uint32_t>& pages() const { return pages_; } // ascending
    bool contains(std::uint32_t page) const;
    void add(std::uint32_t page);
    void remove(std::uint32_t page);
    /// Removes every page of `pages` (ascending) in one pass.
    void remove(const std::vector<std::uint32_t>& pages);
    std::uint32_t pointer() const { return pointer_; }
    /// Bitmap pages of a reference map (0 entries are unused slots).
    const std::vector<std::uint32_t>& bitmapPages() const { return bitmapPages_; }
    std::uint8_t type() const { return type_; }

    /// Writes the set back into its row. An inline map moves its window when the pages still
    /// fit in one, and otherwise becomes a reference map, allocating bitmap pages with
    /// `allocate` (which must also record the new page as used).
    void write(Pager& pager, const std::function<std::uint32_t()>& allocate);
    bool changed() const { return changed_; }

    /// An empty inline map row: type 0, start page 0, `bitmapBytes` zero bytes.
    static std::string emptyInlineRow(std::size_t bitmapBytes = 64);

private:
    std::uint32_t pointer_ = 0;
    std::uint8_t type_ = 0;
    std::uint32_t start_ = 0;                // inline maps
    std::size_t rowSize_ = 0;                // bytes of the whole row
    std::vector<std::uint32_t> bitmapPages_; // reference maps, one entry per row slot
    std::vector<std::uint32_t> pages_;
    bool changed_ = false;
};

} // namespace jet
