// The database header (page 0): version, code page, sort order, database key, password and
// creation date. Bytes 24..151 are stored XORed with a fixed RC4 key stream.
#pragma once

#include "internal.h"

#include <array>
#include <cstdint>
#include <string>

namespace jet {

inline constexpr std::size_t kHeaderMaskStart = 24;
inline constexpr std::size_t kHeaderMaskLength = 128;

struct HeaderInfo {
    std::uint8_t version = 1;
    std::uint16_t codePage = 1252;
    std::uint16_t sortOrder = 0x0409; ///< LCID of the default text collation
    std::uint8_t sortOrderVersion = 0;
    std::uint32_t databaseKey = 0;
    double creationDate = 0;
    std::string password; ///< UTF-8; empty when there is none
};

/// Applies (or removes: the operation is its own inverse) the mask of bytes 24..151.
void applyHeaderMask(std::uint8_t* page);

/// Validates page 0 and reads its fields. `fileSize` is the file's length in bytes.
/// Throws Corrupt, Unsupported or Encrypted with a description of what the file is instead.
HeaderInfo readHeader(const std::uint8_t* page, std::uint64_t fileSize, const std::string& path);

/// A complete page 0 for a new file: the constant bytes of a file the Jet engine creates,
/// the given fields, no password, database key 0; already masked.
std::array<std::uint8_t, 4096> buildHeader(const HeaderInfo& info);

} // namespace jet
