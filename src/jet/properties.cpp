#include "properties.h"

#include <algorithm>

#include "bytes.h"
#include "jet/error.h"
#include "text.h"

namespace jet::properties {
namespace {

void appendName(std::string& out, const std::string& utf8) {
    const std::string n = text::encodeUcs2(text::utf8ToUtf16(utf8));
    bytes::append16(out, static_cast<std::uint32_t>(n.size()));
    out += n;
}

void patch32(std::string& s, std::size_t at, std::uint32_t v) {
    bytes::put32(reinterpret_cast<std::uint8_t*>(s.data() + at), v);
}

} // namespace

std::string encode(const std::vector<Block>& blocks) {
    std::vector<std::string> names;
    for (const Block& b : blocks)
        for (const Property& p : b.properties)
            if (std::find(names.begin(), names.end(), p.name) == names.end())
                names.push_back(p.name);
    std::string out("MR2\0", 4);
    std::size_t chunk = out.size();
    bytes::append32(out, 0);
    bytes::append16(out, 0x80);
    for (const std::string& n : names)
        appendName(out, n);
    patch32(out, chunk, static_cast<std::uint32_t>(out.size() - chunk));
    for (const Block& b : blocks) {
        chunk = out.size();
        bytes::append32(out, 0);
        bytes::append16(out, b.column ? 0x01 : 0x00);
        const std::size_t namePart = out.size();
        bytes::append32(out, 0);
        appendName(out, b.name);
        patch32(out, namePart, static_cast<std::uint32_t>(out.size() - namePart));
        for (const Property& p : b.properties) {
            const auto index = std::find(names.begin(), names.end(), p.name) - names.begin();
            bytes::append16(out, static_cast<std::uint32_t>(8 + p.value.size()));
            out.push_back(p.ddl ? '\x01' : '\x00');
            out.push_back(static_cast<char>(p.type));
            bytes::append16(out, static_cast<std::uint32_t>(index));
            bytes::append16(out, static_cast<std::uint32_t>(p.value.size()));
            out += p.value;
        }
        patch32(out, chunk, static_cast<std::uint32_t>(out.size() - chunk));
    }
    return out;
}

std::vector<Block> decode(const std::string& blob) {
    const bytes::View v(reinterpret_cast<const std::uint8_t*>(blob.data()), blob.size(),
                        "property list");
    if (blob.size() < 4 || (blob.compare(0, 4, std::string("MR2\0", 4)) != 0 &&
                            blob.compare(0, 4, std::string("KKD\0", 4)) != 0))
        throw Error(ErrorKind::Corrupt, "The database file is damaged: a property list has an "
                                        "unknown form.");
    std::vector<std::string> names;
    std::vector<Block> blocks;
    std::size_t at = 4;
    while (at + 6 <= blob.size()) {
        const std::size_t len = v.u32(at);
        const std::uint16_t type = v.u16(at + 4);
        if (len < 6 || at + len > blob.size())
            throw Error(ErrorKind::Corrupt, "The database file is damaged: a property list is "
                                            "cut short.");
        const std::size_t end = at + len;
        std::size_t p = at + 6;
        if (type == 0x80) {
            while (p + 2 <= end) {
                const std::size_t n = v.u16(p);
                names.push_back(text::decodeStored(v.at(p + 2, n), n));
                p += 2 + n;
            }
        } else {
            Block b;
            b.column = type == 0x01;
            const std::size_t nameLen = v.u32(p);
            if (nameLen > 6) {
                const std::size_t n = v.u16(p + 4);
                b.name = text::decodeStored(v.at(p + 6, n), n);
            }
            p += nameLen;
            while (p + 8 <= end) {
                const std::size_t entry = v.u16(p);
                if (entry < 8 || p + entry > end)
                    break;
                Property prop;
                prop.ddl = v.u8(p + 2) != 0;
                prop.type = static_cast<ColumnType>(v.u8(p + 3));
                const std::size_t index = v.u16(p + 4);
                const std::size_t size = v.u16(p + 6);
                prop.name = index < names.size() ? names[index] : std::string();
                prop.value.assign(reinterpret_cast<const char*>(v.at(p + 8, size)), size);
                b.properties.push_back(std::move(prop));
                p += entry;
            }
            blocks.push_back(std::move(b));
        }
        at = end;
    }
    return blocks;
}

} // namespace jet::properties
