// A single field value as read from or written to a row.
#pragma once

#include <array>
#include <cstdint>
#include <string>
#include <string_view>

namespace jet {

/// Column type codes as stored in a table definition.
enum class ColumnType : std::uint8_t {
    Boolean = 0x01,
    Byte = 0x02,
    Integer = 0x03,
    Long = 0x04,
    Currency = 0x05,
    Single = 0x06,
    Double = 0x07,
    DateTime = 0x08,
    Binary = 0x09,
    Text = 0x0A,
    Ole = 0x0B,
    Memo = 0x0C,
    Guid = 0x0F,
    Numeric = 0x10,
};

/// Name of a column type as Access shows it ("Text", "Date/Time", "Long Integer", ...).
/// Unknown codes give "Unknown (0xNN)".
std::string columnTypeName(ColumnType type);

/// A value that may be null. Text is held as UTF-8; Binary and OLE data as raw bytes in a
/// std::string; a GUID as its 16 stored bytes; Numeric (Decimal) as exact decimal text
/// ("-12.345"); Currency as a count of ten-thousandths; Date/Time as the stored day count
/// (see datetime.h).
class Value {
public:
    enum class Kind : std::uint8_t {
        Null,
        Boolean,
        Integer,  // Byte, Integer, Long Integer
        Float,    // Single, Double
        Currency, // integer count of 1/10000
        DateTime, // days since 1899-12-30, fraction = time of day
        Text,
        Binary, // Binary and OLE Object
        Guid,
        Numeric,
    };

    Value() = default;
    static Value null() { return {}; }
    static Value boolean(bool b);
    static Value integer(std::int64_t v);
    static Value floating(double v);
    static Value currency(std::int64_t tenThousandths);
    static Value dateTime(double days);
    static Value text(std::string utf8);
    static Value binary(std::string bytes);
    static Value guid(const std::array<std::uint8_t, 16>& bytes);
    static Value numeric(std::string decimalText);

    /// Makes this a Text value holding `utf8`, reusing the memory this value already holds.
    void assignText(std::string_view utf8);
    /// Makes this value null, keeping its memory for a later assignText.
    void reset() noexcept;

    Kind kind() const noexcept { return kind_; }
    bool isNull() const noexcept { return kind_ == Kind::Null; }

    /// Accessors; each throws jet::Error(InvalidState) when the kind does not match.
    bool asBool() const;
    std::int64_t asInt() const;        // Integer, Currency (raw), Boolean (true = -1)
    double asDouble() const;           // Float, DateTime, Integer, Currency (scaled)
    const std::string& asText() const; // Text, Binary, Guid bytes, Numeric text
    double asDateTime() const;

    /// A plain text rendering: numbers in the shortest round-trip form, Booleans as
    /// "true"/"false", Date/Time as ISO 8601 local date-time ("2026-12-05T14:30:00"), GUIDs as
    /// "{XXXXXXXX-XXXX-XXXX-XXXX-XXXXXXXXXXXX}", binary as hex. Null gives "".
    std::string toString() const;

    bool operator==(const Value& other) const;

private:
    Kind kind_ = Kind::Null;
    std::int64_t int_ = 0;
    double double_ = 0;
    std::string bytes_;
};

} // namespace jet
