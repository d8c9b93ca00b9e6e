#include "index.h"

#include <algorithm>
#include <cstring>
#include <set>

#include "bytes.h"
#include "jet/error.h"
#include "pager.h"
#include "text.h"

namespace jet::index {
namespace {

[[noreturn]] void damaged(std::uint32_t pageNumber, const std::string& why) {
    throw Error(ErrorKind::Corrupt, "The database file is damaged: index page " +
                                        std::to_string(pageNumber) + " " + why + ".");
}

// Key codes of the printable ASCII characters U+0020..U+007E in the General (legacy) order.
// "" marks the apostrophe and the hyphen, which take a different, multi-part encoding.
const char* const kCodes[95] = {
    "\x07",     "\x09", "\x0A", "\x0C",     "\x0E",     "\x10",     "\x12",
    "", // space ! " # $ % & '
    "\x14",     "\x16", "\x18", "\x2C",     "\x1A",     "",         "\x1C",
    "\x1E", // ( ) * + , - . /
    "\x36",     "\x38", "\x3A", "\x3C",     "\x3E",     "\x40",     "\x42",
    "\x44", // 0-7
    "\x46",     "\x48", "\x20", "\x22",     "\x2E",     "\x30",     "\x32",
    "\x24", // 8 9 : ; < = > ?
    "\x26",     "\x4A", "\x4C", "\x4D",     "\x4F",     "\x51",     "\x53",
    "\x55", // @ A-G
    "\x57",     "\x59", "\x5B", "\x5C",     "\x5E",     "\x60",     "\x62",
    "\x64", // H-O
    "\x66",     "\x68", "\x69", "\x6B",     "\x6D",     "\x6F",     "\x71",
    "\x73", // P-W
    "\x75",     "\x76", "\x78", "\x27",     "\x29",     "\x2A",     "\x2B\x02",
    "\x2B\x03", // X Y Z [ \ ] ^ _
    "\x2B\x07", "\x4A", "\x4C", "\x4D",     "\x4F",     "\x51",     "\x53",
    "\x55", // ` a-g
    "\x57",     "\x59", "\x5B", "\x5C",     "\x5E",     "\x60",     "\x62",
    "\x64", // h-o
    "\x66",     "\x68", "\x69", "\x6B",     "\x6D",     "\x6F",     "\x71",
    "\x73",                                                                     // p-w
    "\x75",     "\x76", "\x78", "\x2B\x09", "\x2B\x0B", "\x2B\x0D", "\x2B\x0F", // x y z { | } ~
};

} // namespace

bool entryLess(const Entry& a, const Entry& b) {
    const int c = std::memcmp(a.key.data(), b.key.data(), std::min(a.key.size(), b.key.size()));
    if (c != 0)
        return c < 0;
    if (a.key.size() != b.key.size())
        return a.key.size() < b.key.size();
    if (a.page != b.page)
        return a.page < b.page;
    return a.row < b.row;
}

IndexPage readPage(const std::uint8_t* p, std::uint32_t pageNumber) {
    IndexPage page;
    page.type = p[0];
    if (page.type != 0x03 && page.type != 0x04)
        damaged(pageNumber, "is not an index page");
    page.owner = bytes::u32(p + 4);
    page.prev = bytes::u32(p + 12);
    page.next = bytes::u32(p + 16);
    page.tail = bytes::u32(p + 20);
    const std::size_t prefix = bytes::u16(p + 24);
    const std::size_t trailer = page.type == 0x03 ? 8 : 4;
    std::size_t start = kEntriesStart;
    std::string first;
    for (std::size_t bit = 0; bit < kMaskBytes * 8; ++bit) {
        if (!(p[kMaskStart + bit / 8] & (1u << (bit % 8))))
            continue;
        const std::size_t end = kEntriesStart + bit;
        if (end > kPageSize)
            damaged(pageNumber, "has an entry beyond the end of the page");
        // The mask bit numbers the offset just past an entry, relative to 480.
        if (end <= start)
            damaged(pageNumber, "has an empty entry");
        std::string raw(reinterpret_cast<const char*>(p + start), end - start);
        if (page.entries.empty()) {
            first = raw;
        } else {
            if (prefix > first.size())
                damaged(pageNumber, "shares a prefix longer than its first entry");
            raw = first.substr(0, prefix) + raw;
        }
        if (raw.size() < trailer)
            damaged(pageNumber, "has an entry shorter than its row pointer");
        Entry e;
        const auto* tail = reinterpret_cast<const std::uint8_t*>(raw.data() + raw.size() - trailer);
        e.page = bytes::u24be(tail);
        e.row = tail[3];
        if (page.type == 0x03)
            e.child = bytes::u32be(tail + 4);
        e.key = raw.substr(0, raw.size() - trailer);
        page.entries.push_back(std::move(e));
        start = end;
    }
    return page;
}

std::size_t entryBytes(const IndexPage& page) {
    std::size_t total = 0;
    for (const Entry& e : page.entries)
        total += e.key.size() + (page.type == 0x03 ? 8 : 4);
    return total;
}

bool writePage(const IndexPage& page, std::uint8_t* out) {
    if (entryBytes(page) > kMaxEntryBytes)
        return false;
    std::memset(out, 0, kPageSize);
    out[0] = page.type;
    out[1] = 0x01;
    bytes::put32(out + 4, page.owner);
    bytes::put32(out + 12, page.prev);
    bytes::put32(out + 16, page.next);
    bytes::put32(out + 20, page.tail);
    std::size_t at = kEntriesStart;
    for (const Entry& e : page.entries) {
        std::memcpy(out + at, e.key.data(), e.key.size());
        at += e.key.size();
        bytes::put24be(out + at, e.page);
        out[at + 3] = e.row;
        at += 4;
        if (page.type == 0x03) {
            bytes::put32be(out + at, e.child);
            at += 4;
        }
        const std::size_t bit = at - kEntriesStart;
        out[kMaskStart + bit / 8] |= static_cast<std::uint8_t>(1u << (bit % 8));
    }
    bytes::put16(out + 2, static_cast<std::uint32_t>(kPageSize - at));
    return true;
}

std::vector<Entry> readAllEntries(Pager& pager, std::uint32_t root, const std::string& what) {
    auto load = [&](std::uint32_t n) {
        if (n == 0 || n >= pager.pageCount())
            throw Error(ErrorKind::Corrupt, "The database file is damaged: index " + what +
                                                " refers to page " + std::to_string(n) +
                                                ", which does not exist.");
        return readPage(pager.read(n), n);
    };
    // Descend along first entries to the leftmost leaf.
    std::uint32_t pageNumber = root;
    IndexPage page = load(pageNumber);
    std::set<std::uint32_t> seen{pageNumber};
    while (page.type == 0x03) {
        if (page.entries.empty())
            damaged(pageNumber, "is an empty intermediate page");
        pageNumber = page.entries.front().child;
        if (!seen.insert(pageNumber).second)
            damaged(pageNumber, "is part of a loop");
        page = load(pageNumber);
    }
    std::vector<Entry> out;
    for (;;) {
        for (auto& e : page.entries)
            out.push_back(std::move(e));
        if (page.next == 0)
            break;
        pageNumber = page.next;
        if (!seen.insert(pageNumber).second)
            damaged(pageNumber, "is part of a loop");
        page = load(pageNumber);
        if (page.type != 0x04)
            damaged(pageNumber, "follows a leaf page but is not a leaf");
    }
    return out;
}

std::string longKey(std::optional<std::int32_t> value, bool ascending) {
    std::string out;
    if (!value) {
        out.push_back(ascending ? '\x00' : '\xFF');
        return out;
    }
    std::uint8_t b[4];
    bytes::put32be(b, static_cast<std::uint32_t>(*value) ^ 0x80000000u);
    out.push_back(ascending ? '\x7F' : '\x80');
    for (std::uint8_t x : b)
        out.push_back(static_cast<char>(ascending ? x : static_cast<std::uint8_t>(~x)));
    return out;
}

std::optional<std::string> textKey(std::string_view utf8, bool ascending) {
    std::u16string u;
    try {
        u = text::utf8ToUtf16(utf8);
    } catch (const Error&) {
        return std::nullopt;
    }
    while (!u.empty() && u.back() == u' ')
        u.pop_back(); // trailing blanks do not count
    if (u.size() > 255)
        u.resize(255);
    std::string body;
    for (char16_t c : u) {
        if (c < 0x20 || c > 0x7E || kCodes[c - 0x20][0] == '\0')
            return std::nullopt;
        body += kCodes[c - 0x20];
    }
    body.push_back('\x01');
    std::string out;
    if (ascending) {
        out.push_back('\x7F');
        out += body;
        out.push_back('\x00');
    } else {
        out.push_back('\x80');
        body.push_back('\x00');
        for (char& ch : body)
            ch = static_cast<char>(~static_cast<unsigned char>(ch));
        out += body;
        out.push_back('\x00');
    }
    return out;
}

bool hasTextKey(std::string_view utf8) {
    return textKey(utf8).has_value();
}

} // namespace jet::index
