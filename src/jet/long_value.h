// Memo and OLE values ("long values"). In the row a long value is a 12-byte header:
//   u32  length (low 30 bits) with flags in the top byte: 0x80 data inline after the header,
//        0x40 data is the single row the pointer names, 0x00 data is a chain of rows
//   u32  page/row pointer of the first row elsewhere (0 when inline)
//   u32  0
// Rows elsewhere lie on "LVAL" data pages. A chain row starts with the pointer to the next
// row (0 in the last) followed by data.
#pragma once

#include "internal.h"

#include <cstdint>
#include <string>

#include "row.h"

namespace jet {

class Pager;

namespace long_value {
inline constexpr std::size_t kHeaderSize = 12;
inline constexpr std::uint8_t kInline = 0x80;
inline constexpr std::uint8_t kSingle = 0x40;
/// Values up to this size are stored inline, as Access and Jackcess do.
inline constexpr std::size_t kMaxInline = 64;
/// Largest value one LVAL row holds.
inline constexpr std::size_t kMaxSingleRow = 4076;

/// Appends the stored bytes of a long value (text still in its stored encoding) to `out`.
/// Throws Corrupt when the chain is broken, loops or ends early.
void read(Pager& pager, const row::FieldBytes& f, const std::string& column, std::string& out);
inline std::string read(Pager& pager, const row::FieldBytes& f, const std::string& column) {
    std::string out;
    read(pager, f, column, out);
    return out;
}

/// A header for a value stored inline, followed by the data.
std::string inlineValue(const std::string& data);
/// A header for a value stored in one row elsewhere.
std::string singleRowHeader(std::size_t length, std::uint32_t pointer);
} // namespace long_value

} // namespace jet
