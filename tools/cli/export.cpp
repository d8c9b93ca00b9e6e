#include "export.h"

#include <cmath>
#include <cstdio>

#include "jet/datetime.h"

namespace cli {
namespace {

std::string jsonValue(const jet::Value& v) {
    using K = jet::Value::Kind;
    switch (v.kind()) {
    case K::Null:
        return "null";
    case K::Boolean:
        return v.asBool() ? "true" : "false";
    case K::Integer:
    case K::Currency:
    case K::Numeric:
        return v.toString();
    case K::Float:
        return std::isfinite(v.asDouble()) ? v.toString() : "null";
    case K::DateTime:
        return jsonString(v.toString());
    case K::Text:
    case K::Guid:
        return jsonString(v.toString());
    case K::Binary:
        return jsonString(base64(v.asText()));
    }
    return "null";
}

void appendCsvText(std::string& out, std::string_view s) {
    bool quote = false;
    for (char c : s)
        if (c == ',' || c == '"' || c == '\r' || c == '\n') {
            quote = true;
            break;
        }
    if (!quote) {
        out += s;
        return;
    }
    out += '"';
    for (char c : s) {
        if (c == '"')
            out += '"';
        out += c;
    }
    out += '"';
}

void appendCsvField(std::string& out, const jet::Value& v) {
    switch (v.kind()) {
    case jet::Value::Kind::Null:
        return;
    case jet::Value::Kind::Text:
        appendCsvText(out, v.asText());
        return;
    case jet::Value::Kind::Binary:
        appendCsvText(out, base64(v.asText()));
        return;
    default:
        appendCsvText(out, v.toString());
        return;
    }
}

} // namespace

std::string jsonString(const std::string& s) {
    std::string out = "\"";
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
                char buf[8];
                std::snprintf(buf, sizeof buf, "\\u%04x", c);
                out += buf;
            } else {
                out += static_cast<char>(c);
            }
        }
    }
    return out + '"';
}

std::string base64(const std::string& bytes) {
    static const char* kAlphabet =
        "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789+/";
    std::string out;
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
    return out;
}

void exportTable(jet::Database& db, const std::string& table, Format format, std::ostream& out) {
    jet::Recordset rs = db.openTable(table);
    const auto& columns = rs.definition().columns;
    if (format == Format::Csv) {
        // Lines are gathered in a buffer and written in large pieces.
        std::string buffer;
        buffer.reserve(1 << 17);
        for (std::size_t i = 0; i < columns.size(); ++i) {
            if (i)
                buffer += ',';
            appendCsvField(buffer, jet::Value::text(columns[i].name));
        }
        buffer += '\n';
        for (; !rs.eof(); rs.moveNext()) {
            for (std::size_t i = 0; i < columns.size(); ++i) {
                if (i)
                    buffer += ',';
                appendCsvField(buffer, rs.field(static_cast<int>(i)));
            }
            buffer += '\n';
            if (buffer.size() > (1 << 16)) {
                out.write(buffer.data(), static_cast<std::streamsize>(buffer.size()));
                buffer.clear();
            }
        }
        out.write(buffer.data(), static_cast<std::streamsize>(buffer.size()));
        return;
    }
    out << '[';
    bool first = true;
    for (; !rs.eof(); rs.moveNext()) {
        out << (first ? "\n  {" : ",\n  {");
        first = false;
        for (std::size_t i = 0; i < columns.size(); ++i)
            out << (i ? ", " : "") << jsonString(columns[i].name) << ": "
                << jsonValue(rs.field(static_cast<int>(i)));
        out << '}';
    }
    out << (first ? "]\n" : "\n]\n");
}

} // namespace cli
