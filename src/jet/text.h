// Text encodings: stored UCS-2 (UTF-16LE) and the "Unicode compression" form, to and from
// the UTF-8 the engine's API uses.
//
// Compressed form: the bytes FF FE, then bytes read in compressed mode, where each byte b is
// the character U+00bb; a 00 byte switches between compressed mode and plain two-byte mode.
#pragma once

#include "internal.h"

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

namespace jet::text {

/// Appends the UTF-8 form of stored text (plain or compressed). Unpaired surrogates become
/// U+FFFD. Never throws.
void decodeStored(const std::uint8_t* data, std::size_t size, std::string& out);
inline std::string decodeStored(const std::uint8_t* data, std::size_t size) {
    std::string s;
    decodeStored(data, size, s);
    return s;
}

/// Converts UTF-8 to UTF-16 code units. Throws InvalidArgument on malformed UTF-8.
std::u16string utf8ToUtf16(std::string_view utf8);
std::string utf16ToUtf8(std::u16string_view utf16);

/// The stored bytes of a text value. With `allowCompression`, the compressed form is used when
/// every character lies in U+0001..U+00FF and the value is longer than two characters, which
/// is when Access itself compresses; otherwise plain UCS-2.
std::string encodeStored(std::u16string_view text, bool allowCompression);

/// Stored bytes of UTF-8 text, written into `out` (replacing its contents); returns the
/// number of UTF-16 code units (the characters a field's size counts). Same rules as
/// encodeStored; plain ASCII takes a fast path. Throws InvalidArgument on malformed UTF-8.
std::size_t encodeStoredUtf8(std::string_view utf8, bool allowCompression, std::string& out);

/// Stored bytes of UTF-16 text, written into `out` (replacing its contents and reusing its
/// memory); returns the number of code units. Same rules as encodeStored; the units are stored
/// as they are (an unpaired surrogate is kept, as UCS-2 allows). Never throws.
std::size_t encodeStoredUtf16(std::u16string_view text, bool allowCompression, std::string& out);

/// Plain UCS-2 bytes, as names of tables, columns and indexes are stored.
std::string encodeUcs2(std::u16string_view text);

} // namespace jet::text
