#include "jet/value.h"

#include <charconv>
#include <cmath>
#include <cstdio>

#include "jet/datetime.h"
#include "jet/error.h"

namespace jet {

std::string columnTypeName(ColumnType type) {
    switch (type) {
    case ColumnType::Boolean:
        return "Yes/No";
    case ColumnType::Byte:
        return "Byte";
    case ColumnType::Integer:
        return "Integer";
    case ColumnType::Long:
        return "Long Integer";
    case ColumnType::Currency:
        return "Currency";
    case ColumnType::Single:
        return "Single";
    case ColumnType::Double:
        return "Double";
    case ColumnType::DateTime:
        return "Date/Time";
    case ColumnType::Binary:
        return "Binary";
    case ColumnType::Text:
        return "Text";
    case ColumnType::Ole:
        return "OLE Object";
    case ColumnType::Memo:
        return "Memo";
    case ColumnType::Guid:
        return "Replication ID";
    case ColumnType::Numeric:
        return "Decimal";
    }
    char buf[24];
    std::snprintf(buf, sizeof buf, "Unknown (0x%02X)", static_cast<unsigned>(type));
    return buf;
}

Value Value::boolean(bool b) {
    Value v;
    v.kind_ = Kind::Boolean;
    v.int_ = b ? 1 : 0;
    return v;
}
Value Value::integer(std::int64_t i) {
    Value v;
    v.kind_ = Kind::Integer;
    v.int_ = i;
    return v;
}
Value Value::floating(double d) {
    Value v;
    v.kind_ = Kind::Float;
    v.double_ = d;
    return v;
}
Value Value::currency(std::int64_t tenThousandths) {
    Value v;
    v.kind_ = Kind::Currency;
    v.int_ = tenThousandths;
    return v;
}
Value Value::dateTime(double days) {
    Value v;
    v.kind_ = Kind::DateTime;
    v.double_ = days;
    return v;
}
Value Value::text(std::string utf8) {
    Value v;
    v.kind_ = Kind::Text;
    v.bytes_ = std::move(utf8);
    return v;
}
void Value::assignText(std::string_view utf8) {
    kind_ = Kind::Text;
    bytes_.assign(utf8);
}
void Value::reset() noexcept {
    kind_ = Kind::Null;
    bytes_.clear();
}
Value Value::binary(std::string bytes) {
    Value v;
    v.kind_ = Kind::Binary;
    v.bytes_ = std::move(bytes);
    return v;
}
Value Value::guid(const std::array<std::uint8_t, 16>& bytes) {
    Value v;
    v.kind_ = Kind::Guid;
    v.bytes_.assign(reinterpret_cast<const char*>(bytes.data()), bytes.size());
    return v;
}
Value Value::numeric(std::string decimalText) {
    Value v;
    v.kind_ = Kind::Numeric;
    v.bytes_ = std::move(decimalText);
    return v;
}

namespace {
[[noreturn]] void wrongKind(const char* wanted) {
    throw Error(ErrorKind::InvalidState, std::string("The value is not ") + wanted + ".");
}

std::string shortest(double d) {
    if (std::isnan(d))
        return "NaN";
    if (std::isinf(d))
        return d > 0 ? "Infinity" : "-Infinity";
    char buf[64];
    auto res = std::to_chars(buf, buf + sizeof buf, d);
    return std::string(buf, res.ptr);
}

std::string currencyText(std::int64_t v) {
    // Ten-thousandths as an exact decimal without trailing zeros: 12345 -> "1.2345".
    const bool negative = v < 0;
    const std::uint64_t mag = negative ? 0 - static_cast<std::uint64_t>(v) : v;
    std::string s = std::to_string(mag / 10000);
    std::uint64_t frac = mag % 10000;
    if (frac != 0) {
        char buf[8];
        std::snprintf(buf, sizeof buf, "%04u", static_cast<unsigned>(frac));
        std::string f(buf);
        while (!f.empty() && f.back() == '0')
            f.pop_back();
        s += "." + f;
    }
    return negative ? "-" + s : s;
}
} // namespace

bool Value::asBool() const {
    if (kind_ != Kind::Boolean)
        wrongKind("a Yes/No value");
    return int_ != 0;
}

std::int64_t Value::asInt() const {
    switch (kind_) {
    case Kind::Integer:
    case Kind::Currency:
        return int_;
    case Kind::Boolean:
        return int_ ? -1 : 0;
    default:
        wrongKind("a whole number");
    }
}

double Value::asDouble() const {
    switch (kind_) {
    case Kind::Float:
    case Kind::DateTime:
        return double_;
    case Kind::Integer:
        return static_cast<double>(int_);
    case Kind::Currency:
        return static_cast<double>(int_) / 10000.0;
    default:
        wrongKind("a number");
    }
}

const std::string& Value::asText() const {
    switch (kind_) {
    case Kind::Text:
    case Kind::Binary:
    case Kind::Guid:
    case Kind::Numeric:
        return bytes_;
    default:
        wrongKind("a text");
    }
}

double Value::asDateTime() const {
    if (kind_ != Kind::DateTime)
        wrongKind("a date/time");
    return double_;
}

std::string Value::toString() const {
    switch (kind_) {
    case Kind::Null:
        return {};
    case Kind::Boolean:
        return int_ ? "true" : "false";
    case Kind::Integer:
        return std::to_string(int_);
    case Kind::Float:
        return shortest(double_);
    case Kind::Currency:
        return currencyText(int_);
    case Kind::DateTime: {
        char buf[kIsoDateTimeMax];
        const std::size_t n = formatIsoDateTime(double_, buf);
        return n ? std::string(buf, n) : shortest(double_);
    }
    case Kind::Text:
    case Kind::Numeric:
        return bytes_;
    case Kind::Binary: {
        static const char* kHex = "0123456789abcdef";
        std::string out;
        out.reserve(bytes_.size() * 2);
        for (unsigned char c : bytes_) {
            out.push_back(kHex[c >> 4]);
            out.push_back(kHex[c & 15]);
        }
        return out;
    }
    case Kind::Guid: {
        // Stored as Data1 (LE 32), Data2 (LE 16), Data3 (LE 16), Data4 (8 bytes in order).
        const auto* b = reinterpret_cast<const unsigned char*>(bytes_.data());
        char buf[40];
        std::snprintf(buf, sizeof buf,
                      "{%02X%02X%02X%02X-%02X%02X-%02X%02X-%02X%02X-%02X%02X%02X%02X%02X%02X}",
                      b[3], b[2], b[1], b[0], b[5], b[4], b[7], b[6], b[8], b[9], b[10], b[11],
                      b[12], b[13], b[14], b[15]);
        return buf;
    }
    }
    return {};
}

bool Value::operator==(const Value& other) const {
    if (kind_ != other.kind_)
        return false;
    switch (kind_) {
    case Kind::Null:
        return true;
    case Kind::Boolean:
    case Kind::Integer:
    case Kind::Currency:
        return int_ == other.int_;
    case Kind::Float:
    case Kind::DateTime:
        return double_ == other.double_ || (std::isnan(double_) && std::isnan(other.double_));
    default:
        return bytes_ == other.bytes_;
    }
}

} // namespace jet
