// A new, empty database: the sixteen pages the Jet engine itself writes for a blank file.
#pragma once

#include "internal.h"

#include <cstdint>
#include <optional>
#include <vector>

#include "jet/database.h"

namespace jet {

struct BlankOptions {
    std::uint16_t sortOrder = 0x0409;
    std::uint16_t codePage = 1252;
    double creationDate = 0;
    /// DateCreate/DateUpdate of the system objects; the creation date when not set.
    std::optional<double> objectsDate;
};

/// Reads the locale text (";LANGID=0x0409;CP=1252;COUNTRY=0") and the date. Throws
/// InvalidArgument or Unsupported for locales other than General / 1252.
BlankOptions parseBlankOptions(const CreateOptions& options);

/// The bytes of the blank file (65 536 bytes).
std::vector<std::uint8_t> buildBlankDatabase(const BlankOptions& options);

} // namespace jet
