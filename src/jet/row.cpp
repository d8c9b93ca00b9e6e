#include "row.h"

#include <algorithm>
#include <cmath>
#include <cstring>

#include "bytes.h"
#include "jet/error.h"
#include "text.h"

namespace jet::row {
namespace {

[[noreturn]] void damaged(const std::string& why) {
    throw Error(ErrorKind::Corrupt, "The database file is damaged: a row " + why + ".");
}

[[noreturn]] void badValue(const ColumnDef& c, const std::string& why) {
    throw Error(ErrorKind::InvalidArgument, "The value for field '" + c.name + "' " + why + ".");
}

std::string numericText(const std::uint8_t* p, std::uint8_t scale) {
    // Sign in byte 0 (0x80 = negative), then a 128-bit magnitude as four little-endian 32-bit
    // words, the most significant word first.
    unsigned __int128 magnitude = 0;
    for (int w = 0; w < 4; ++w)
        magnitude = (magnitude << 32) | bytes::u32(p + 1 + 4 * w);
    std::string digits;
    do {
        digits.push_back(static_cast<char>('0' + static_cast<int>(magnitude % 10)));
        magnitude /= 10;
    } while (magnitude != 0);
    while (digits.size() <= scale)
        digits.push_back('0');
    std::reverse(digits.begin(), digits.end());
    if (scale > 0)
        digits.insert(digits.size() - scale, ".");
    const bool negative = (p[0] & 0x80) != 0;
    const bool zero = digits.find_first_not_of("0.") == std::string::npos;
    return negative && !zero ? "-" + digits : digits;
}

} // namespace

std::size_t fixedSize(const ColumnDef& c) {
    return c.type == ColumnType::Boolean ? 0 : c.length;
}

Layout makeLayout(const TableDef& def) {
    Layout l;
    l.fixedOrdinal.assign(def.columns.size(), -1);
    int ordinal = 0;
    int maxVar = -1;
    for (std::size_t i = 0; i < def.columns.size(); ++i) {
        const ColumnDef& c = def.columns[i];
        if (c.isFixed()) {
            l.fixedOrdinal[i] = ordinal++;
            l.fixedAreaSize = std::max(l.fixedAreaSize, std::size_t{c.fixedOffset} + fixedSize(c));
        } else {
            maxVar = std::max<int>(maxVar, c.varIndex);
        }
    }
    l.hasVarColumns = def.varColumns > 0;
    l.varSlots = static_cast<std::uint16_t>(std::max<int>(maxVar + 1, def.varColumns));
    for (std::size_t i = 0; i < def.columns.size(); ++i) {
        if (!def.columns[i].isFixed())
            l.varOrder.push_back(i);
        l.hasLongValues = l.hasLongValues || def.columns[i].isLongValue();
    }
    std::sort(l.varOrder.begin(), l.varOrder.end(), [&](std::size_t a, std::size_t b) {
        return def.columns[a].varIndex < def.columns[b].varIndex;
    });
    l.rowColumnCount = std::max<std::size_t>(def.maxColumns, def.columns.size());
    l.maskBytes = (l.rowColumnCount + 7) / 8;
    l.fixedEnd = 2 + l.fixedAreaSize;
    l.trailer =
        l.hasVarColumns ? 2 + 2 * std::size_t{std::min<std::uint16_t>(l.varSlots, 256)} + 2 : 0;
    auto part = [&](std::size_t i) {
        const ColumnDef& c = def.columns[i];
        Layout::Part p;
        p.index = i;
        p.offset = 2 + std::size_t{c.fixedOffset};
        p.size = fixedSize(c);
        p.varIndex = c.varIndex;
        p.maskByte = c.number / 8;
        p.maskBit = static_cast<std::uint8_t>(1u << (c.number % 8));
        return p;
    };
    for (std::size_t i = 0; i < def.columns.size(); ++i) {
        if (def.columns[i].type == ColumnType::Boolean)
            l.booleanParts.push_back(part(i));
        else if (def.columns[i].isFixed())
            l.fixedParts.push_back(part(i));
    }
    for (std::size_t i : l.varOrder)
        l.varParts.push_back(part(i));
    return l;
}

Cracked crack(const std::uint8_t* data, std::size_t size, const Layout& layout) {
    Cracked r;
    r.data = data;
    r.size = size;
    if (size < 2)
        damaged("is shorter than its column count");
    r.columnCount = bytes::u16(data);
    const std::size_t maskSize = (r.columnCount + 7) / 8;
    if (maskSize + 2 > size)
        damaged("is shorter than its null mask");
    r.maskOffset = size - maskSize;
    if (layout.hasVarColumns) {
        if (r.maskOffset < 4)
            damaged("is too short for its variable column table");
        r.varCount = bytes::u16(data + r.maskOffset - 2);
        // Entries 0..varCount (the last being EOD) lie below the count.
        const std::size_t tableBytes = 2 * (std::size_t{r.varCount} + 1);
        if (r.maskOffset < 2 + tableBytes + 2)
            damaged("has more variable columns than room for their offsets");
        r.varEntry0 = r.maskOffset - 4;
        if (r.varCount > r.columnCount)
            damaged("has more variable columns than columns");
    }
    r.fixedInRow = r.columnCount - r.varCount;
    return r;
}

FieldBytes field(const Cracked& row, const Layout& layout, const ColumnDef& c,
                 std::size_t columnIndex) {
    FieldBytes f;
    const std::size_t maskByte = c.number / 8;
    const bool bit = c.number < row.columnCount &&
                     (row.data[row.maskOffset + maskByte] & (1u << (c.number % 8))) != 0;
    if (c.type == ColumnType::Boolean) {
        f.isNull = false;
        f.boolValue = bit;
        return f;
    }
    if (!bit)
        return f; // null, or a column added after the row was written
    const int ordinal = layout.fixedOrdinal[columnIndex];
    if (ordinal >= 0) {
        if (static_cast<unsigned>(ordinal) >= row.fixedInRow)
            return f;
        const std::size_t start = 2 + std::size_t{c.fixedOffset};
        const std::size_t n = fixedSize(c);
        if (start + n > row.maskOffset)
            damaged("holds a fixed value beyond its end");
        f.isNull = false;
        f.data = row.data + start;
        f.size = n;
        return f;
    }
    if (c.varIndex >= row.varCount)
        return f;
    const std::size_t start = bytes::u16(row.data + row.varEntry0 - 2 * std::size_t{c.varIndex});
    const std::size_t end =
        bytes::u16(row.data + row.varEntry0 - 2 * (std::size_t{c.varIndex} + 1));
    const std::size_t limit = row.varEntry0 - 2 * std::size_t{row.varCount};
    if (start > end || end > limit || start < 2)
        damaged("holds a variable value outside its bounds");
    f.isNull = false;
    f.data = row.data + start;
    f.size = end - start;
    return f;
}

Value decodeFixed(const ColumnDef& c, const FieldBytes& f) {
    if (c.type == ColumnType::Boolean)
        return Value::boolean(f.boolValue);
    if (f.isNull)
        return Value::null();
    auto need = [&](std::size_t n) {
        if (f.size < n)
            throw Error(ErrorKind::Corrupt, "The database file is damaged: field '" + c.name +
                                                "' is shorter than its type.");
    };
    const std::uint8_t* p = f.data;
    switch (c.type) {
    case ColumnType::Byte:
        need(1);
        return Value::integer(p[0]);
    case ColumnType::Integer:
        need(2);
        return Value::integer(bytes::i16(p));
    case ColumnType::Long:
        need(4);
        return Value::integer(bytes::i32(p));
    case ColumnType::Currency:
        need(8);
        return Value::currency(bytes::i64(p));
    case ColumnType::Single:
        need(4);
        return Value::floating(bytes::f32(p));
    case ColumnType::Double:
        need(8);
        return Value::floating(bytes::f64(p));
    case ColumnType::DateTime:
        need(8);
        return Value::dateTime(bytes::f64(p));
    case ColumnType::Guid: {
        need(16);
        std::array<std::uint8_t, 16> g{};
        std::memcpy(g.data(), p, 16);
        return Value::guid(g);
    }
    case ColumnType::Numeric:
        need(17);
        return Value::numeric(numericText(p, c.scale));
    case ColumnType::Text:
    case ColumnType::Memo:
        return Value::text(text::decodeStored(f.data, f.size));
    default:
        // Binary, OLE and types this engine does not know (Access 2007+ attachments, ...):
        // the raw bytes.
        return Value::binary(std::string(reinterpret_cast<const char*>(f.data), f.size));
    }
}

Value decodeVariable(const ColumnDef& c, const FieldBytes& f) {
    if (f.isNull)
        return Value::null();
    if (c.type == ColumnType::Text || c.type == ColumnType::Memo)
        return Value::text(text::decodeStored(f.data, f.size));
    if (c.type == ColumnType::Binary || c.type == ColumnType::Ole)
        return Value::binary(std::string(reinterpret_cast<const char*>(f.data), f.size));
    // Fixed-size types stored in the variable area, and unknown types.
    return decodeFixed(c, f);
}

void encodeValue(const ColumnDef& c, const Value& v, std::string& out) {
    out.clear();
    auto asInteger = [&](std::int64_t lo, std::int64_t hi) {
        std::int64_t i;
        if (v.kind() == Value::Kind::Integer)
            i = v.asInt();
        else if (v.kind() == Value::Kind::Float && std::trunc(v.asDouble()) == v.asDouble() &&
                 std::fabs(v.asDouble()) < 9e18)
            i = static_cast<std::int64_t>(v.asDouble());
        else
            badValue(c, "is not a whole number");
        if (i < lo || i > hi)
            badValue(c, "is out of range");
        return i;
    };
    switch (c.type) {
    case ColumnType::Text:
    case ColumnType::Memo: {
        if (v.kind() != Value::Kind::Text)
            badValue(c, "is not text");
        checkTextSize(c, text::encodeStoredUtf8(v.asText(), c.compressedUnicode(), out));
        return;
    }
    case ColumnType::DateTime:
        if (v.kind() != Value::Kind::DateTime && v.kind() != Value::Kind::Float)
            badValue(c, "is not a date/time");
        bytes::appendF64(out, v.asDouble());
        return;
    case ColumnType::Double:
        if (v.kind() != Value::Kind::Float && v.kind() != Value::Kind::Integer)
            badValue(c, "is not a number");
        bytes::appendF64(out, v.asDouble());
        return;
    case ColumnType::Single: {
        if (v.kind() != Value::Kind::Float && v.kind() != Value::Kind::Integer)
            badValue(c, "is not a number");
        const float f = static_cast<float>(v.asDouble());
        std::uint32_t bits;
        std::memcpy(&bits, &f, sizeof bits);
        bytes::append32(out, bits);
        return;
    }
    case ColumnType::Long:
        bytes::append32(out, static_cast<std::uint32_t>(asInteger(INT32_MIN, INT32_MAX)));
        return;
    case ColumnType::Integer:
        bytes::append16(out, static_cast<std::uint32_t>(asInteger(INT16_MIN, INT16_MAX)));
        return;
    case ColumnType::Byte:
        out.push_back(static_cast<char>(asInteger(0, 255)));
        return;
    case ColumnType::Currency:
        if (v.kind() != Value::Kind::Currency)
            badValue(c, "is not a currency amount");
        bytes::append64(out, static_cast<std::uint64_t>(v.asInt()));
        return;
    case ColumnType::Binary:
    case ColumnType::Ole:
        if (v.kind() != Value::Kind::Binary)
            badValue(c, "is not binary data");
        if (c.type == ColumnType::Binary && v.asText().size() > c.length)
            badValue(c, "is longer than the field's " + std::to_string(c.length) + " bytes");
        out = v.asText();
        return;
    case ColumnType::Guid:
        if (v.kind() != Value::Kind::Guid)
            badValue(c, "is not a GUID");
        out = v.asText();
        return;
    default:
        badValue(c, "has a type this engine does not write");
    }
}

void textTooLong(const ColumnDef& c) {
    badValue(c, "is longer than the field's " + std::to_string(c.length / 2) + " characters");
}

std::size_t size(const Layout& layout, const std::vector<std::string>& values,
                 const std::vector<std::uint8_t>& present) {
    std::size_t varBytes = 0;
    for (const Layout::Part& v : layout.varParts)
        if (present[v.index])
            varBytes += values[v.index].size();
    return layout.fixedEnd + varBytes + layout.trailer + layout.maskBytes;
}

void build(const Layout& layout, const std::vector<std::string>& values,
           const std::vector<std::uint8_t>& present, const std::vector<std::uint8_t>& booleans,
           std::uint8_t* p, std::size_t rowSize) {
    // Every byte is written below but those of the fixed area and the mask.
    std::uint8_t* const mask = p + rowSize - layout.maskBytes;
    std::memset(p, 0, layout.fixedEnd);
    std::memset(mask, 0, layout.maskBytes);
    bytes::put16(p, static_cast<std::uint32_t>(layout.rowColumnCount));
    for (const Layout::Part& b : layout.booleanParts)
        if (booleans[b.index])
            mask[b.maskByte] |= b.maskBit;
    for (const Layout::Part& f : layout.fixedParts) {
        if (!present[f.index])
            continue;
        const std::string& v = values[f.index];
        if (f.size == 8 && v.size() == 8)
            std::memcpy(p + f.offset, v.data(), 8); // dates and numbers, copied inline
        else
            std::memcpy(p + f.offset, v.data(), std::min(v.size(), f.size));
        mask[f.maskByte] |= f.maskBit;
    }
    if (!layout.hasVarColumns)
        return;
    // Var columns in var-index order; slots of deleted columns repeat the current offset.
    // The offsets are stored last column first, just below the count.
    const std::size_t slots = std::min<std::size_t>(layout.varSlots, 256);
    std::size_t at = layout.fixedEnd, slot = 0;
    std::uint8_t* const count = mask - 2;
    auto setOffset = [&](std::size_t k, std::size_t offset) {
        bytes::put16(count - 2 * (k + 1), static_cast<std::uint32_t>(offset));
    };
    for (const Layout::Part& v : layout.varParts) {
        while (slot <= v.varIndex && slot < slots)
            setOffset(slot++, at);
        if (present[v.index]) {
            const std::string& value = values[v.index];
            std::memcpy(p + at, value.data(), value.size());
            at += value.size();
            mask[v.maskByte] |= v.maskBit;
        }
    }
    while (slot < slots)
        setOffset(slot++, at);
    bytes::put16(p + at, static_cast<std::uint32_t>(at)); // EOD
    bytes::put16(count, static_cast<std::uint32_t>(slots));
}

} // namespace jet::row
