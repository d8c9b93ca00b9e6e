// Index pages (0x03 intermediate, 0x04 leaf) and the index keys this engine computes.
//
// Page header: u8 type, u8 1, u16 free space, u32 tdef page, u32 0, u32 previous page,
// u32 next page, u32 tail page, u16 shared prefix length, u8 0, then a 453-byte entry mask
// at 27 and the entries from 480. For each entry the mask has the bit numbered by the
// offset just past the entry, relative to 480. With a shared prefix of p bytes, every entry after
// the first leaves out its first p bytes. Leaf entry: key, row page (3 bytes big-endian), row
// number. Intermediate entry: the same, then the child page (4 bytes big-endian).
#pragma once

#include "internal.h"

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "jet/value.h"

namespace jet {

class Pager;

namespace index {

inline constexpr std::size_t kEntriesStart = 480;
inline constexpr std::size_t kMaskStart = 27;
inline constexpr std::size_t kMaskBytes = 453;
inline constexpr std::size_t kMaxEntryBytes = 4096 - kEntriesStart; // 3616

struct Entry {
    std::string key;
    std::uint32_t page = 0; ///< data page of the row
    std::uint8_t row = 0;
    std::uint32_t child = 0; ///< intermediate entries only
};

struct IndexPage {
    std::uint8_t type = 0x04;
    std::uint32_t owner = 0; ///< tdef page
    std::uint32_t prev = 0, next = 0, tail = 0;
    std::vector<Entry> entries;
};

/// Decodes an index page. Throws Corrupt.
IndexPage readPage(const std::uint8_t* p, std::uint32_t pageNumber);
/// Encodes a page without prefix compression. Returns false when the entries do not fit.
bool writePage(const IndexPage& page, std::uint8_t* out);
/// Bytes the entries of a page take when written without prefix compression.
std::size_t entryBytes(const IndexPage& page);

/// All leaf entries of the index rooted at `root`, in index order, following the leaf chain.
/// Throws Corrupt for loops, wrong page types or a chain that breaks.
std::vector<Entry> readAllEntries(Pager& pager, std::uint32_t root, const std::string& what);

/// Key of a Long Integer value: flag 0x7F then the value big-endian with its sign bit flipped
/// (ascending), or 0x00 for null.
std::string longKey(std::optional<std::int32_t> value, bool ascending = true);
/// Key of a text value in the General (legacy) sort order: 0x7F, one or two code bytes per
/// character, 01, 00. Empty optional when the text has a character whose code this engine
/// does not know (anything but printable ASCII other than the apostrophe and the hyphen).
std::optional<std::string> textKey(std::string_view utf8, bool ascending = true);
/// True when every character of the name has a known key code.
bool hasTextKey(std::string_view utf8);

/// Orders entries as the index does: key bytes unsigned, then page, then row.
bool entryLess(const Entry& a, const Entry& b);

} // namespace index
} // namespace jet
