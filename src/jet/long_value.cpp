#include "long_value.h"

#include <set>

#include "bytes.h"
#include "data_page.h"
#include "jet/error.h"
#include "pager.h"

namespace jet::long_value {
namespace {

[[noreturn]] void damaged(const std::string& column, const std::string& why) {
    throw Error(ErrorKind::Corrupt, "The database file is damaged: the long value of field '" +
                                        column + "' " + why + ".");
}

// The bytes of the row a long-value pointer names.
bytes::View lvalRow(Pager& pager, std::uint32_t ptr, const std::string& column) {
    const std::uint32_t pageNumber = page::pointerPage(ptr);
    if (pageNumber == 0 || pageNumber >= pager.pageCount())
        damaged(column, "points to page " + std::to_string(pageNumber) + ", which does not exist");
    const std::uint8_t* p = pager.read(pageNumber);
    if (p[0] != 0x01)
        damaged(column,
                "points to page " + std::to_string(pageNumber) + ", which is not a data page");
    const page::Slot s = page::slot(p, page::pointerRow(ptr), pageNumber);
    return bytes::View(p + s.start, s.size(), "long value row");
}

} // namespace

void read(Pager& pager, const row::FieldBytes& f, const std::string& column, std::string& out) {
    if (f.size < kHeaderSize)
        damaged(column, "is shorter than its header");
    const std::uint32_t word = bytes::u32(f.data);
    const std::size_t length = word & 0x3FFFFFFF;
    const std::uint8_t flags = f.data[3] & 0xC0;
    const std::uint32_t ptr = bytes::u32(f.data + 4);
    if (flags & kInline) {
        if (length > f.size - kHeaderSize)
            damaged(column, "claims more inline bytes than the row holds");
        out.append(reinterpret_cast<const char*>(f.data + kHeaderSize), length);
        return;
    }
    if (flags & kSingle) {
        const bytes::View r = lvalRow(pager, ptr, column);
        if (length > r.size())
            damaged(column, "claims more bytes than its row holds");
        out.append(reinterpret_cast<const char*>(r.data()), length);
        return;
    }
    std::set<std::uint32_t> seen;
    std::uint32_t next = ptr;
    for (std::size_t done = 0; done < length;) {
        if (next == 0)
            damaged(column, "ends before all of its bytes");
        if (!seen.insert(next).second)
            damaged(column, "is a chain of rows that loops");
        const bytes::View r = lvalRow(pager, next, column);
        if (r.size() < 4)
            damaged(column, "has a chain row shorter than its pointer");
        next = r.u32(0);
        const std::size_t take = std::min(r.size() - 4, length - done);
        out.append(reinterpret_cast<const char*>(r.data() + 4), take);
        done += take;
    }
}

std::string inlineValue(const std::string& data) {
    std::string out;
    bytes::append32(out, static_cast<std::uint32_t>(data.size()) | (std::uint32_t{kInline} << 24));
    bytes::append32(out, 0);
    bytes::append32(out, 0);
    return out + data;
}

std::string singleRowHeader(std::size_t length, std::uint32_t pointer) {
    std::string out;
    bytes::append32(out, static_cast<std::uint32_t>(length) | (std::uint32_t{kSingle} << 24));
    bytes::append32(out, pointer);
    bytes::append32(out, 0);
    return out;
}

} // namespace jet::long_value
