#include "export.h"

#include <array>
#include <charconv>
#include <cmath>
#include <cstring>
#include <limits>
#include <vector>

#include "jet/datetime.h"
#include "jet/error.h"

namespace cli {
namespace {

constexpr std::size_t kChunk = std::size_t{256} << 10;
constexpr char kHexUpper[] = "0123456789ABCDEF";

// How a column's values are written, decided once per column from its type.
enum class Form { Text, Bytes, Boolean, Integer, Float, Currency, DateTime, Guid, Numeric };

Form formOf(jet::ColumnType type) {
    using T = jet::ColumnType;
    switch (type) {
    case T::Text:
    case T::Memo:
        return Form::Text;
    case T::Boolean:
        return Form::Boolean;
    case T::Byte:
    case T::Integer:
    case T::Long:
        return Form::Integer;
    case T::Single:
    case T::Double:
        return Form::Float;
    case T::Currency:
        return Form::Currency;
    case T::DateTime:
        return Form::DateTime;
    case T::Guid:
        return Form::Guid;
    case T::Numeric:
        return Form::Numeric;
    default: // Binary, OLE and types the engine reads as raw bytes
        return Form::Bytes;
    }
}

bool csvNeedsQuotes(std::string_view s) {
    for (char c : s)
        if (c == ',' || c == '"' || c == '\r' || c == '\n')
            return true;
    return false;
}

void appendCsvQuoted(std::string& out, std::string_view s) {
    out += '"';
    for (std::size_t quote; (quote = s.find('"')) != std::string_view::npos;) {
        out.append(s.data(), quote + 1);
        out += '"';
        s.remove_prefix(quote + 1);
    }
    out += s;
    out += '"';
}

// Quotes the text appended to `out` from `start` on when it needs quoting; `scratch` holds
// the rare text that does.
void quoteCsvTail(std::string& out, std::size_t start, std::string& scratch) {
    const std::string_view tail(out.data() + start, out.size() - start);
    if (!csvNeedsQuotes(tail))
        return;
    scratch.assign(tail);
    out.resize(start);
    appendCsvQuoted(out, scratch);
}

bool jsonNeedsEscape(std::string_view s) {
    for (unsigned char c : s)
        if (c < 0x20 || c == '"' || c == '\\')
            return true;
    return false;
}

void appendJsonEscaped(std::string& out, std::string_view s) {
    for (unsigned char c : s) {
        switch (c) {
        case '"':
            out += "\\\"";
            break;
        case '\\':
            out += "\\\\";
            break;
        case '\n':
            out += "\\n";
            break;
        case '\r':
            out += "\\r";
            break;
        case '\t':
            out += "\\t";
            break;
        default:
            if (c < 0x20) {
                out += "\\u00";
                out += "0123456789abcdef"[c >> 4];
                out += "0123456789abcdef"[c & 15];
            } else {
                out += static_cast<char>(c);
            }
        }
    }
}

// The JSON string for the text appended to `out` from `start` on, whose opening quote is
// already in place.
void closeJsonTail(std::string& out, std::size_t start, std::string& scratch) {
    const std::string_view tail(out.data() + start, out.size() - start);
    if (jsonNeedsEscape(tail)) {
        scratch.assign(tail);
        out.resize(start);
        appendJsonEscaped(out, scratch);
    }
    out += '"';
}

class Exporter {
public:
    Exporter(jet::Recordset& rs, Format format, const Sink& sink)
        : rs_(rs), format_(format), sink_(sink) {
        for (const auto& c : rs.definition().columns)
            forms_.push_back(formOf(c.type));
        out_.reserve(kChunk + (kChunk >> 2));
    }

    void run() {
        const auto& columns = rs_.definition().columns;
        if (format_ == Format::Csv) {
            for (std::size_t i = 0; i < columns.size(); ++i) {
                if (i)
                    out_ += ',';
                if (csvNeedsQuotes(columns[i].name))
                    appendCsvQuoted(out_, columns[i].name);
                else
                    out_ += columns[i].name;
            }
            out_ += '\n';
        } else {
            out_ += '[';
            for (const auto& c : columns) {
                std::string key;
                appendJsonString(key, c.name);
                keys_.push_back(key + ": ");
            }
        }
        bool first = true;
        for (; !rs_.eof(); rs_.moveNext()) {
            if (format_ == Format::Csv) {
                for (std::size_t i = 0; i < forms_.size(); ++i) {
                    if (i)
                        out_ += ',';
                    csvField(static_cast<int>(i));
                }
                out_ += '\n';
            } else {
                out_ += first ? "\n  {" : ",\n  {";
                for (std::size_t i = 0; i < forms_.size(); ++i) {
                    if (i)
                        out_ += ", ";
                    out_ += keys_[i];
                    jsonField(static_cast<int>(i));
                }
                out_ += '}';
            }
            first = false;
            if (out_.size() >= kChunk) {
                sink_(out_);
                out_.clear();
            }
        }
        if (format_ == Format::Json)
            out_ += first ? "]\n" : "\n]\n";
        sink_(out_);
    }

private:
    // Numbers, dates and Yes/No: no quoting or escaping needed in either format.
    void scalar(Form form, const jet::Value& v) {
        switch (form) {
        case Form::Boolean:
            out_ += v.asBool() ? "true" : "false";
            return;
        case Form::Integer:
            appendInteger(out_, v.asInt());
            return;
        case Form::Float:
            appendDouble(out_, v.asDouble());
            return;
        case Form::Currency:
            appendCurrency(out_, v.asInt());
            return;
        default:
            appendDateTime(out_, v.asDateTime());
            return;
        }
    }

    void csvField(int i) {
        const Form form = forms_[static_cast<std::size_t>(i)];
        switch (form) {
        case Form::Text: {
            const std::size_t start = out_.size();
            if (rs_.appendField(i, out_))
                quoteCsvTail(out_, start, scratch_);
            return;
        }
        case Form::Numeric:
            rs_.appendField(i, out_);
            return;
        case Form::Bytes:
        case Form::Guid:
            scratch_.clear();
            if (rs_.appendField(i, scratch_)) {
                if (form == Form::Bytes)
                    appendBase64(out_, scratch_);
                else
                    appendGuid(out_, scratch_);
            }
            return;
        default: {
            const jet::Value v = rs_.field(i);
            if (!v.isNull())
                scalar(form, v);
            return;
        }
        }
    }

    void jsonField(int i) {
        const Form form = forms_[static_cast<std::size_t>(i)];
        switch (form) {
        case Form::Text: {
            out_ += '"';
            const std::size_t start = out_.size();
            if (rs_.appendField(i, out_)) {
                closeJsonTail(out_, start, scratch_);
            } else {
                out_.pop_back();
                out_ += "null";
            }
            return;
        }
        case Form::Numeric:
            if (!rs_.appendField(i, out_))
                out_ += "null";
            return;
        case Form::Bytes:
        case Form::Guid:
            scratch_.clear();
            if (!rs_.appendField(i, scratch_)) {
                out_ += "null";
                return;
            }
            out_ += '"';
            if (form == Form::Bytes)
                appendBase64(out_, scratch_);
            else
                appendGuid(out_, scratch_);
            out_ += '"';
            return;
        default: {
            const jet::Value v = rs_.field(i);
            if (v.isNull() || (form == Form::Float && !std::isfinite(v.asDouble()))) {
                out_ += "null";
            } else if (form == Form::DateTime) {
                out_ += '"';
                scalar(form, v);
                out_ += '"';
            } else {
                scalar(form, v);
            }
            return;
        }
        }
    }

    jet::Recordset& rs_;
    Format format_;
    const Sink& sink_;
    std::vector<Form> forms_;
    std::vector<std::string> keys_; // JSON: the quoted column name and ": "
    std::string out_;
    std::string scratch_;
};

} // namespace

void appendInteger(std::string& out, std::int64_t value) {
    char buf[24];
    const auto res = std::to_chars(buf, buf + sizeof buf, value);
    out.append(buf, res.ptr);
}

void appendDouble(std::string& out, double value) {
    if (std::isnan(value)) {
        out += "NaN";
    } else if (std::isinf(value)) {
        out += value > 0 ? "Infinity" : "-Infinity";
    } else {
        char buf[32];
        const auto res = std::to_chars(buf, buf + sizeof buf, value);
        out.append(buf, res.ptr);
    }
}

void appendCurrency(std::string& out, std::int64_t v) {
    // Ten-thousandths as an exact decimal without trailing zeros: 12345 -> "1.2345".
    const std::uint64_t mag = v < 0 ? 0 - static_cast<std::uint64_t>(v) : v;
    if (v < 0)
        out += '-';
    char buf[24];
    const auto res = std::to_chars(buf, buf + sizeof buf, mag / 10000);
    out.append(buf, res.ptr);
    unsigned frac = static_cast<unsigned>(mag % 10000);
    if (frac == 0)
        return;
    char digits[4];
    for (int k = 3; k >= 0; --k, frac /= 10)
        digits[k] = static_cast<char>('0' + frac % 10);
    std::size_t n = 4;
    while (digits[n - 1] == '0')
        --n;
    out += '.';
    out.append(digits, n);
}

void appendDateTime(std::string& out, double days) {
    // The dates of a table repeat, and most are whole days (midnight): their texts are kept, by
    // day number, in a small table.
    struct Known {
        long day = std::numeric_limits<long>::min();
        char text[19];
    };
    thread_local std::array<Known, 1024> known;
    if (days > -1e6 && days < 1e7) {
        const long day = static_cast<long>(days);
        if (static_cast<double>(day) == days) {
            Known& k = known[static_cast<std::size_t>(day) % known.size()];
            if (k.day != day) {
                char buf[jet::kIsoDateTimeMax];
                if (jet::formatIsoDateTime(days, buf) != sizeof k.text) {
                    appendDouble(out, days); // outside the years 100 to 9999
                    return;
                }
                std::memcpy(k.text, buf, sizeof k.text);
                k.day = day;
            }
            out.append(k.text, sizeof k.text);
            return;
        }
    }
    char buf[jet::kIsoDateTimeMax];
    const std::size_t n = jet::formatIsoDateTime(days, buf);
    if (n)
        out.append(buf, n);
    else
        appendDouble(out, days);
}

void appendGuid(std::string& out, std::string_view b) {
    // Stored as Data1 (LE 32), Data2 (LE 16), Data3 (LE 16), Data4 (8 bytes in order).
    static constexpr int kOrder[16] = {3, 2, 1, 0, 5, 4, 7, 6, 8, 9, 10, 11, 12, 13, 14, 15};
    out += '{';
    for (int k = 0; k < 16; ++k) {
        if (k == 4 || k == 6 || k == 8 || k == 10)
            out += '-';
        const auto c = static_cast<unsigned char>(b[static_cast<std::size_t>(kOrder[k])]);
        out += kHexUpper[c >> 4];
        out += kHexUpper[c & 15];
    }
    out += '}';
}

void appendBase64(std::string& out, std::string_view bytes) {
    static const char* kAlphabet =
        "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789+/";
    std::size_t i = 0;
    for (; i + 2 < bytes.size(); i += 3) {
        const unsigned n = (static_cast<unsigned char>(bytes[i]) << 16) |
                           (static_cast<unsigned char>(bytes[i + 1]) << 8) |
                           static_cast<unsigned char>(bytes[i + 2]);
        out += kAlphabet[n >> 18];
        out += kAlphabet[(n >> 12) & 63];
        out += kAlphabet[(n >> 6) & 63];
        out += kAlphabet[n & 63];
    }
    if (i < bytes.size()) {
        unsigned n = static_cast<unsigned char>(bytes[i]) << 16;
        if (i + 1 < bytes.size())
            n |= static_cast<unsigned char>(bytes[i + 1]) << 8;
        out += kAlphabet[n >> 18];
        out += kAlphabet[(n >> 12) & 63];
        out += i + 1 < bytes.size() ? kAlphabet[(n >> 6) & 63] : '=';
        out += '=';
    }
}

void appendJsonString(std::string& out, std::string_view utf8) {
    out += '"';
    appendJsonEscaped(out, utf8);
    out += '"';
}

void exportTable(jet::Database& db, const std::string& table, Format format, const Sink& sink) {
    jet::Recordset rs = db.openTable(table);
    Exporter(rs, format, sink).run();
}

} // namespace cli
