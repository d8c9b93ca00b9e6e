#include "usage_map.h"

#include <algorithm>
#include <cstring>
#include <iterator>

#include "bytes.h"
#include "data_page.h"
#include "jet/error.h"
#include "pager.h"

namespace jet {
namespace {

[[noreturn]] void damaged(const std::string& what, const std::string& why) {
    throw Error(ErrorKind::Corrupt,
                "The database file is damaged: the page map of " + what + " " + why + ".");
}

constexpr std::size_t kInlineHeader = 5; // type byte + start page

} // namespace

std::string UsageMap::emptyInlineRow(std::size_t bitmapBytes) {
    return std::string(kInlineHeader + bitmapBytes, '\0');
}

UsageMap UsageMap::read(Pager& pager, std::uint32_t pointer, const std::string& what) {
    UsageMap map;
    map.pointer_ = pointer;
    const std::uint32_t pageNumber = page::pointerPage(pointer);
    if (pageNumber == 0 || pageNumber >= pager.pageCount())
        damaged(what, "points to page " + std::to_string(pageNumber) + ", which does not exist");
    const std::uint8_t* p = pager.read(pageNumber);
    if (p[0] != 0x01)
        damaged(what,
                "points to page " + std::to_string(pageNumber) + ", which is not a data page");
    const page::Slot s = page::slot(p, page::pointerRow(pointer), pageNumber);
    const bytes::View row(p + s.start, s.size(), "page map");
    map.rowSize_ = row.size();
    map.type_ = row.u8(0);
    if (map.type_ == 0) {
        map.start_ = row.u32(1);
        for (std::size_t byte = kInlineHeader; byte < row.size(); ++byte) {
            const std::uint8_t bits = row.u8(byte);
            for (int bit = 0; bits && bit < 8; ++bit)
                if (bits & (1u << bit)) {
                    const std::uint64_t page =
                        std::uint64_t{map.start_} + (byte - kInlineHeader) * 8 + bit;
                    if (page <= 0xFFFFFF)
                        map.pages_.push_back(static_cast<std::uint32_t>(page));
                }
        }
    } else if (map.type_ == 1) {
        const std::size_t entries = (row.size() - 1) / 4;
        for (std::size_t k = 0; k < entries; ++k) {
            const std::uint32_t bitmapPage = row.u32(1 + 4 * k);
            map.bitmapPages_.push_back(bitmapPage);
            if (bitmapPage == 0)
                continue;
            if (bitmapPage >= pager.pageCount())
                damaged(what, "refers to bitmap page " + std::to_string(bitmapPage) +
                                  ", which does not exist");
            const std::uint8_t* b = pager.read(bitmapPage);
            if (b[0] != 0x05)
                damaged(what, "refers to page " + std::to_string(bitmapPage) +
                                  ", which is not a bitmap page");
            for (std::size_t byte = 4; byte < kPageSize; ++byte) {
                const std::uint8_t bits = b[byte];
                for (int bit = 0; bits && bit < 8; ++bit)
                    if (bits & (1u << bit))
                        map.pages_.push_back(static_cast<std::uint32_t>(k * kPagesPerBitmapPage +
                                                                        (byte - 4) * 8 + bit));
            }
        }
    } else {
        damaged(what, "has the unknown type " + std::to_string(map.type_));
    }
    std::sort(map.pages_.begin(), map.pages_.end());
    map.pages_.erase(std::unique(map.pages_.begin(), map.pages_.end()), map.pages_.end());
    return map;
}

bool UsageMap::contains(std::uint32_t page) const {
    return std::binary_search(pages_.begin(), pages_.end(), page);
}

void UsageMap::add(std::uint32_t page) {
    auto it = std::lower_bound(pages_.begin(), pages_.end(), page);
    if (it != pages_.end() && *it == page)
        return;
    pages_.insert(it, page);
    changed_ = true;
}

void UsageMap::remove(std::uint32_t page) {
    auto it = std::lower_bound(pages_.begin(), pages_.end(), page);
    if (it == pages_.end() || *it != page)
        return;
    pages_.erase(it);
    changed_ = true;
}

void UsageMap::remove(const std::vector<std::uint32_t>& pages) {
    std::vector<std::uint32_t> kept;
    kept.reserve(pages_.size());
    std::set_difference(pages_.begin(), pages_.end(), pages.begin(), pages.end(),
                        std::back_inserter(kept));
    if (kept.size() == pages_.size())
        return;
    pages_ = std::move(kept);
    changed_ = true;
}

void UsageMap::write(Pager& pager, const std::function<std::uint32_t()>& allocate) {
    if (!changed_)
        return;
    const std::uint32_t pageNumber = page::pointerPage(pointer_);
    const unsigned rowNumber = page::pointerRow(pointer_);

    if (type_ == 0) {
        const std::size_t capacity = (rowSize_ - kInlineHeader) * 8;
        bool fits =
            pages_.empty() || (pages_.front() >= start_ && pages_.back() - start_ < capacity);
        if (!fits) {
            // Move the window (kept on a multiple of 8) when the pages fit in one.
            const std::uint32_t newStart = pages_.front() & ~7u;
            if (pages_.back() - newStart < capacity) {
                start_ = newStart;
                fits = true;
            }
        }
        if (fits) {
            std::uint8_t* p = pager.write(pageNumber);
            const page::Slot s = page::slot(p, rowNumber, pageNumber);
            std::uint8_t* row = p + s.start;
            std::memset(row, 0, rowSize_);
            row[0] = 0;
            bytes::put32(row + 1, start_);
            for (std::uint32_t page : pages_) {
                const std::uint32_t bit = page - start_;
                row[kInlineHeader + bit / 8] |= static_cast<std::uint8_t>(1u << (bit % 8));
            }
            changed_ = false;
            return;
        }
        // Too wide for an inline map: become a reference map over bitmap pages.
        type_ = 1;
        bitmapPages_.assign((rowSize_ - 1) / 4, 0);
    }

    const std::uint32_t needed = pages_.empty() ? 0 : pages_.back() / kPagesPerBitmapPage + 1;
    if (needed > bitmapPages_.size())
        throw Error(ErrorKind::Unsupported, "A page map cannot describe a file this large.");
    for (std::uint32_t k = 0; k < needed; ++k)
        if (bitmapPages_[k] == 0) {
            const bool any = std::any_of(pages_.begin(), pages_.end(), [&](std::uint32_t pg) {
                return pg / kPagesPerBitmapPage == k;
            });
            if (!any)
                continue;
            const std::uint32_t fresh = allocate();
            std::uint8_t* b = pager.write(fresh);
            std::memset(b, 0, kPageSize);
            b[0] = 0x05;
            b[1] = 0x01;
            bitmapPages_[k] = fresh;
        }
    for (std::size_t k = 0; k < bitmapPages_.size(); ++k) {
        if (bitmapPages_[k] == 0)
            continue;
        std::uint8_t* b = pager.write(bitmapPages_[k]);
        std::memset(b + 4, 0, kPageSize - 4);
        const std::uint32_t first = static_cast<std::uint32_t>(k) * kPagesPerBitmapPage;
        auto it = std::lower_bound(pages_.begin(), pages_.end(), first);
        for (; it != pages_.end() && *it < first + kPagesPerBitmapPage; ++it) {
            const std::uint32_t bit = *it - first;
            b[4 + bit / 8] |= static_cast<std::uint8_t>(1u << (bit % 8));
        }
    }
    std::uint8_t* p = pager.write(pageNumber);
    const page::Slot s = page::slot(p, rowNumber, pageNumber);
    std::uint8_t* row = p + s.start;
    std::memset(row, 0, rowSize_);
    row[0] = 1;
    for (std::size_t k = 0; k < bitmapPages_.size(); ++k)
        bytes::put32(row + 1 + 4 * k, bitmapPages_[k]);
    changed_ = false;
}

} // namespace jet
