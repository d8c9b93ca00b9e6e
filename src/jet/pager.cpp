#include "pager.h"

#include <algorithm>
#include <chrono>
#include <cstring>
#include <mutex>
#include <new>
#include <sys/mman.h>
#include <thread>

#include "bytes.h"
#include "jet/error.h"

namespace jet {
namespace {

constexpr char kJournalMagic[8] = {'T', 'W', 'K', 'J', 'R', 'N', 'L', '1'};
constexpr char kTrailerMagic[8] = {'T', 'W', 'K', 'J', 'E', 'N', 'D', '1'};
constexpr std::size_t kJournalHeader = 8 + 4 + 8 + 4;
constexpr std::size_t kJournalRecord = 4 + kPageSize;
constexpr std::size_t kJournalTrailer = 8 + 8;
// Pages read at once when a page is not cached yet: tables are scanned in page order.
constexpr std::uint32_t kReadAheadPages = 32;
// Blocks of the page pool: the size of a huge page, at an address aligned to it.
constexpr std::size_t kBlockBytes = std::size_t{2} << 20;

// 64-bit FNV-1a over the journal's bytes; detects a journal whose tail never reached the disk.
class Checksum {
public:
    void add(const void* data, std::size_t size) {
        const auto* p = static_cast<const std::uint8_t*>(data);
        for (std::size_t i = 0; i < size; ++i) {
            h_ ^= p[i];
            h_ *= 0x100000001B3ULL;
        }
    }
    std::uint64_t value() const { return h_; }

private:
    std::uint64_t h_ = 0xCBF29CE484222325ULL;
};

} // namespace

namespace {

// Blocks of closed databases, kept for the next one the process opens (a program opens its
// file for every operation): reused memory needs no clearing by the kernel. Bounded; the rest
// goes back to the system.
constexpr std::size_t kSpareBlocks = 4; // 8 MiB
std::mutex spareMutex;
std::vector<std::uint8_t*>& spareBlocks() {
    // Never destroyed: a database still open when the program ends gives its blocks back here
    // after the program's other objects have gone.
    static auto* blocks = new std::vector<std::uint8_t*>;
    return *blocks;
}

// `bytes` (a multiple of kBlockBytes) of fresh memory aligned to kBlockBytes, so that the
// kernel can use huge pages: twice as much is mapped and the aligned middle kept.
std::uint8_t* mapAligned(std::size_t bytes) {
    void* raw = ::mmap(nullptr, bytes + kBlockBytes, PROT_READ | PROT_WRITE,
                       MAP_PRIVATE | MAP_ANONYMOUS, -1, 0);
    if (raw == MAP_FAILED)
        throw std::bad_alloc();
    auto* base = static_cast<std::uint8_t*>(raw);
    const std::size_t skip =
        (kBlockBytes - reinterpret_cast<std::uintptr_t>(base) % kBlockBytes) % kBlockBytes;
    if (skip > 0)
        ::munmap(base, skip);
    ::munmap(base + skip + bytes, kBlockBytes - skip);
    ::madvise(base + skip, bytes, MADV_HUGEPAGE);
    return base + skip;
}

std::uint8_t* newBlock() {
    {
        const std::lock_guard<std::mutex> lock(spareMutex);
        if (!spareBlocks().empty()) {
            std::uint8_t* block = spareBlocks().back();
            spareBlocks().pop_back();
            return block;
        }
    }
    return mapAligned(kBlockBytes);
}

void releaseBlock(std::uint8_t* block) noexcept {
    const std::lock_guard<std::mutex> lock(spareMutex);
    if (spareBlocks().size() < kSpareBlocks)
        spareBlocks().push_back(block);
    else
        ::munmap(block, kBlockBytes);
}

constexpr std::size_t kLargeFrom = std::size_t{256} << 10;

std::size_t roundToBlocks(std::size_t bytes) {
    return (bytes + kBlockBytes - 1) / kBlockBytes * kBlockBytes;
}

} // namespace

void* allocateLarge(std::size_t bytes) {
    if (PagePool::kSeparatePages || bytes < kLargeFrom)
        return ::operator new(bytes);
    const std::size_t rounded = roundToBlocks(bytes);
    return rounded == kBlockBytes ? newBlock() : mapAligned(rounded);
}

void freeLarge(void* memory, std::size_t bytes) noexcept {
    if (PagePool::kSeparatePages || bytes < kLargeFrom)
        return ::operator delete(memory);
    const std::size_t rounded = roundToBlocks(bytes);
    if (rounded == kBlockBytes)
        releaseBlock(static_cast<std::uint8_t*>(memory));
    else
        ::munmap(memory, rounded);
}

PagePool::~PagePool() {
    for (std::uint8_t* block : blocks_)
        releaseBlock(block);
}

std::uint8_t* PagePool::take() {
    if constexpr (kSeparatePages)
        return new std::uint8_t[kPageSize];
    if (!free_.empty()) {
        std::uint8_t* page = free_.back();
        free_.pop_back();
        return page;
    }
    if (left_ == 0) {
        blocks_.reserve(blocks_.size() + 1);
        next_ = newBlock();
        blocks_.push_back(next_);
        left_ = kBlockBytes / kPageSize;
    }
    std::uint8_t* page = next_;
    next_ += kPageSize;
    --left_;
    return page;
}

void PagePool::give(std::uint8_t* page) {
    if constexpr (kSeparatePages)
        delete[] page;
    else
        free_.push_back(page);
}

Pager::Pager(const std::string& path, const OpenOptions& options)
    : path_(path), fs_(options.fileSystem ? options.fileSystem : FileSystem::native()),
      mode_(options.mode), lockTimeoutMs_(options.lockTimeoutMs) {
    file_ = fs_->open(path, mode_ == OpenMode::ReadOnly ? FileSystem::OpenFlags::ReadOnly
                                                        : FileSystem::OpenFlags::ReadWrite);
    if (mode_ != OpenMode::ReadOnly)
        acquire(kWriterLock, File::LockType::Exclusive, "another program is changing it");
    acquire(kReadLock,
            mode_ == OpenMode::Exclusive ? File::LockType::Exclusive : File::LockType::Shared,
            mode_ == OpenMode::Exclusive ? "another program has it open"
                                         : "another program has it open exclusively");
    recoverIfHot();
    fileSize_ = file_->size();
    pageCount_ =
        static_cast<std::uint32_t>(std::min<std::uint64_t>(fileSize_ / kPageSize, 0xFFFFFFFFULL));
    committedPageCount_ = pageCount_;
}

Pager::~Pager() {
    // Closing the file releases its OFD locks. Pool blocks go with the pool; separately
    // allocated pages are given back one by one.
    if constexpr (PagePool::kSeparatePages) {
        for (std::uint8_t* page : cache_)
            if (page)
                pool_.give(page);
        for (auto& [number, page] : dirty_)
            pool_.give(page);
    }
}

void Pager::acquire(std::uint64_t offset, File::LockType type, const char* why) {
    acquireOn(*file_, offset, type, why);
}

void Pager::acquireOn(File& file, std::uint64_t offset, File::LockType type, const char* why) {
    const auto deadline =
        std::chrono::steady_clock::now() + std::chrono::milliseconds(lockTimeoutMs_);
    while (!file.tryLock(offset, type)) {
        if (std::chrono::steady_clock::now() >= deadline)
            throw Error(ErrorKind::Locked,
                        "The database file '" + path_ + "' is locked: " + why + ".");
        std::this_thread::sleep_for(std::chrono::milliseconds(5));
    }
}

void Pager::recoverIfHot() {
    const std::string journal = journalPath(path_);
    if (!fs_->exists(journal))
        return;
    // The writer that left this journal is gone (it would hold kReadLock exclusively while
    // its journal exists). Take both locks exclusively so that only one handle recovers; a
    // handle opened for reading does it through a second, writable handle, since exclusive
    // locks need write access.
    std::unique_ptr<File> writable;
    File* locker = file_.get();
    if (mode_ == OpenMode::ReadOnly) {
        try {
            writable = fs_->open(path_, FileSystem::OpenFlags::ReadWrite);
        } catch (const Error& e) {
            throw Error(e.kind(), "The database file '" + path_ +
                                      "' must be repaired after an interrupted save, but it "
                                      "cannot be written: " +
                                      e.what());
        }
        locker = writable.get();
    }
    if (mode_ != OpenMode::Exclusive)
        file_->unlock(kReadLock);
    if (mode_ == OpenMode::ReadOnly)
        acquireOn(*locker, kWriterLock, File::LockType::Exclusive,
                  "another program is changing it");
    acquireOn(*locker, kReadLock, File::LockType::Exclusive, "another program has it open");
    rollBackJournal(*locker);
    if (writable) {
        writable.reset(); // releases its locks
        acquire(kReadLock, File::LockType::Shared, "another program has it open exclusively");
    } else if (mode_ != OpenMode::Exclusive) {
        acquire(kReadLock, File::LockType::Shared, "another program has it open exclusively");
    }
}

bool Pager::rollBackJournal(File& out) {
    const std::string journalName = journalPath(path_);
    if (!fs_->exists(journalName))
        return false;
    auto journal = fs_->open(journalName, FileSystem::OpenFlags::ReadOnly);
    const std::uint64_t size = journal->size();
    std::uint8_t header[kJournalHeader];
    bool complete = false;
    std::uint64_t originalSize = 0;
    std::uint32_t records = 0;
    if (size >= kJournalHeader + kJournalTrailer &&
        journal->readAt(0, header, sizeof header) == sizeof header &&
        std::memcmp(header, kJournalMagic, 8) == 0 && bytes::u32(header + 8) == kPageSize) {
        originalSize = bytes::u64(header + 12);
        records = bytes::u32(header + 20);
        complete =
            size == kJournalHeader + std::uint64_t{records} * kJournalRecord + kJournalTrailer;
    }
    std::vector<std::uint8_t> body;
    if (complete) {
        body.resize(static_cast<std::size_t>(size));
        complete = journal->readAt(0, body.data(), body.size()) == body.size();
    }
    if (complete) {
        Checksum sum;
        const std::size_t trailerAt = body.size() - kJournalTrailer;
        sum.add(body.data(), trailerAt);
        complete = std::memcmp(body.data() + trailerAt, kTrailerMagic, 8) == 0 &&
                   bytes::u64(body.data() + trailerAt + 8) == sum.value();
    }
    journal.reset();
    if (complete) {
        // Put every saved page back and cut the file to its old length.
        for (std::uint32_t i = 0; i < records; ++i) {
            const std::uint8_t* rec =
                body.data() + kJournalHeader + std::size_t{i} * kJournalRecord;
            out.writeAt(std::uint64_t{bytes::u32(rec)} * kPageSize, rec + 4, kPageSize);
        }
        out.truncate(originalSize);
        out.sync();
    }
    fs_->remove(journalName);
    fs_->syncDirectory(journalName);
    return true;
}

std::uint8_t* Pager::load(std::uint32_t page) {
    if (cache_.size() < committedPageCount_)
        cache_.resize(committedPageCount_, nullptr);
    if (!cache_[page]) {
        // The page and the uncached pages after it, read straight into their buffers.
        const std::uint32_t end = std::min(committedPageCount_, page + kReadAheadPages);
        std::uint32_t last = page + 1;
        while (last < end && !cache_[last])
            ++last;
        File::Piece pieces[kReadAheadPages];
        const std::size_t count = last - page;
        for (std::size_t i = 0; i < count; ++i)
            pieces[i] = File::Piece{pool_.take(), kPageSize};
        std::size_t got = 0;
        try {
            got = file_->readPieces(std::uint64_t{page} * kPageSize, pieces, count);
        } catch (...) {
            for (std::size_t i = 0; i < count; ++i)
                pool_.give(static_cast<std::uint8_t*>(pieces[i].data));
            throw;
        }
        for (std::size_t i = 0; i < count; ++i) {
            auto* buffer = static_cast<std::uint8_t*>(pieces[i].data);
            if ((i + 1) * kPageSize <= got)
                cache_[page + i] = buffer;
            else
                pool_.give(buffer);
        }
        if (!cache_[page])
            throw Error(ErrorKind::Corrupt, "The database file '" + path_ + "' is damaged: page " +
                                                std::to_string(page) +
                                                " could not be read in full.");
    }
    return cache_[page];
}

std::uint8_t* Pager::zeroPage() {
    std::uint8_t* page = pool_.take();
    std::memset(page, 0, kPageSize);
    return page;
}

const std::uint8_t* Pager::read(std::uint32_t page) {
    if (page >= pageCount_)
        throw Error(ErrorKind::Corrupt, "The database file is damaged: it refers to page " +
                                            std::to_string(page) + ", beyond its last page (" +
                                            std::to_string(pageCount_) + " pages).");
    if (inTransaction_) {
        auto it = dirty_.find(page);
        if (it != dirty_.end())
            return it->second;
    }
    return load(page);
}

void Pager::drop(std::uint32_t page) {
    if (page >= cache_.size() || !cache_[page] || (inTransaction_ && dirty_.count(page)))
        return;
    pool_.give(cache_[page]);
    cache_[page] = nullptr;
    ++epoch_;
}

std::vector<std::uint8_t> Pager::pageTypes(const std::vector<std::uint32_t>& pages) {
    std::vector<std::uint8_t> types(pages.size());
    // Each page's first byte goes to its entry and the rest of it to one small buffer, used
    // over and over: the pages' bytes pass through the cache without filling fresh memory.
    static constexpr std::size_t kRunPages = 256;
    std::uint8_t rest[kPageSize - 1];
    std::vector<File::Piece> pieces;
    auto known = [&](std::uint32_t page) -> const std::uint8_t* {
        if (inTransaction_) {
            auto it = dirty_.find(page);
            if (it != dirty_.end())
                return it->second;
        }
        return page < cache_.size() ? cache_[page] : nullptr;
    };
    for (std::size_t i = 0; i < pages.size();) {
        if (pages[i] >= pageCount_)
            throw Error(ErrorKind::Corrupt, "The database file is damaged: it refers to page " +
                                                std::to_string(pages[i]) +
                                                ", beyond its last page.");
        if (const std::uint8_t* p = known(pages[i]); p || pages[i] >= committedPageCount_) {
            types[i++] = p ? p[0] : 0; // a page appended in this transaction starts zeroed
            continue;
        }
        // A run of consecutive pages that are neither cached nor changed, read at once.
        std::size_t j = i + 1;
        while (j < pages.size() && j - i < kRunPages && pages[j] == pages[j - 1] + 1 &&
               pages[j] < committedPageCount_ && !known(pages[j]))
            ++j;
        pieces.clear();
        for (std::size_t k = i; k < j; ++k) {
            pieces.push_back(File::Piece{&types[k], 1});
            pieces.push_back(File::Piece{rest, sizeof rest});
        }
        const std::size_t got =
            file_->readPieces(std::uint64_t{pages[i]} * kPageSize, pieces.data(), pieces.size());
        if (got < (j - i) * kPageSize)
            throw Error(ErrorKind::Corrupt, "The database file '" + path_ + "' is damaged: page " +
                                                std::to_string(pages[i + got / kPageSize]) +
                                                " could not be read in full.");
        i = j;
    }
    return types;
}

std::uint8_t* Pager::write(std::uint32_t page) {
    ++epoch_;
    if (!inTransaction_)
        throw Error(ErrorKind::InvalidState, "A page was changed outside a transaction.");
    auto it = dirty_.find(page);
    if (it != dirty_.end())
        return it->second;
    const std::uint8_t* original = read(page);
    std::uint8_t* copy = pool_.take();
    std::memcpy(copy, original, kPageSize);
    dirty_.emplace(page, copy);
    return copy;
}

std::uint32_t Pager::append() {
    if (!inTransaction_)
        throw Error(ErrorKind::InvalidState, "A page was added outside a transaction.");
    if (pageCount_ >= 0x7FFFF) // 2 GB: the largest file Jet addresses
        throw Error(ErrorKind::Unsupported, "The database file has reached its 2 GB limit.");
    dirty_.emplace(pageCount_, zeroPage());
    return pageCount_++;
}

std::uint8_t* Pager::adopt(std::uint32_t page) {
    if (!inTransaction_)
        throw Error(ErrorKind::InvalidState, "A page was taken outside a transaction.");
    if (page >= pageCount_)
        throw Error(ErrorKind::InvalidState, "A page beyond the end of the file was taken.");
    std::uint8_t*& data = dirty_[page];
    if (data)
        std::memset(data, 0, kPageSize);
    else
        data = zeroPage();
    adopted_[page] = true;
    return data;
}

void Pager::begin() {
    if (broken_)
        throw Error(ErrorKind::InvalidState,
                    "An earlier failed save could not be undone; reopen the database file.");
    if (!writable())
        throw Error(ErrorKind::ReadOnly,
                    "The database file '" + path_ + "' is open for reading only.");
    if (inTransaction_)
        throw Error(ErrorKind::InvalidState, "A transaction is already running.");
    if (fileSize_ % kPageSize != 0)
        throw Error(ErrorKind::Corrupt, "The database file '" + path_ +
                                            "' is damaged: its length is not a whole number of "
                                            "pages, so it is not changed.");
    inTransaction_ = true;
    committedPageCount_ = pageCount_;
}

void Pager::rollback() {
    ++epoch_;
    for (auto& [page, data] : dirty_)
        pool_.give(data);
    dirty_.clear();
    adopted_.clear();
    pageCount_ = committedPageCount_;
    inTransaction_ = false;
}

void Pager::writeJournal() {
    std::vector<std::uint32_t> pages;
    for (const auto& [page, data] : dirty_)
        if (page < committedPageCount_ && !adopted_.count(page))
            pages.push_back(page);
    std::sort(pages.begin(), pages.end());

    const std::string name = journalPath(path_);
    auto journal = fs_->open(name, FileSystem::OpenFlags::CreateNew);
    Checksum sum;
    std::vector<std::uint8_t> buffer;
    buffer.reserve(256 * kJournalRecord);
    std::uint64_t offset = 0;
    auto flush = [&] {
        sum.add(buffer.data(), buffer.size());
        journal->writeAt(offset, buffer.data(), buffer.size());
        offset += buffer.size();
        buffer.clear();
    };
    buffer.insert(buffer.end(), kJournalMagic, kJournalMagic + 8);
    buffer.resize(kJournalHeader);
    bytes::put32(buffer.data() + 8, kPageSize);
    bytes::put64(buffer.data() + 12, fileSize_);
    bytes::put32(buffer.data() + 20, static_cast<std::uint32_t>(pages.size()));
    for (std::uint32_t page : pages) {
        const std::size_t at = buffer.size();
        buffer.resize(at + kJournalRecord);
        bytes::put32(buffer.data() + at, page);
        std::memcpy(buffer.data() + at + 4, load(page), kPageSize);
        if (buffer.size() >= 255 * kJournalRecord)
            flush();
    }
    flush();
    std::uint8_t trailer[kJournalTrailer];
    std::memcpy(trailer, kTrailerMagic, 8);
    bytes::put64(trailer + 8, sum.value());
    journal->writeAt(offset, trailer, sizeof trailer);
    journal->sync();
    fs_->syncDirectory(name);
}

void Pager::restoreFromMemory() {
    for (const auto& [page, data] : dirty_)
        if (page < committedPageCount_ && !adopted_.count(page))
            file_->writeAt(std::uint64_t{page} * kPageSize, load(page), kPageSize);
    file_->truncate(fileSize_);
    file_->sync();
    fs_->remove(journalPath(path_));
    fs_->syncDirectory(path_);
}

void Pager::keepDirtyPages() {
    if (cache_.size() < pageCount_)
        cache_.resize(pageCount_, nullptr);
    for (auto& [page, data] : dirty_) {
        if (cache_[page])
            pool_.give(cache_[page]);
        cache_[page] = data;
    }
    dirty_.clear();
    adopted_.clear();
}

void Pager::commit() {
    ++epoch_;
    if (!inTransaction_)
        throw Error(ErrorKind::InvalidState, "There is no transaction to commit.");
    if (dirty_.empty()) {
        inTransaction_ = false;
        return;
    }
    const bool exclusive = mode_ == OpenMode::Exclusive;
    if (!exclusive) {
        try {
            acquire(kReadLock, File::LockType::Exclusive, "another program is reading it");
        } catch (...) {
            rollback();
            throw;
        }
    }
    auto downgrade = [&] {
        if (!exclusive)
            file_->tryLock(kReadLock, File::LockType::Shared);
    };

    // 1. The journal, durable before the database file is touched.
    try {
        writeJournal();
    } catch (...) {
        try {
            fs_->remove(journalPath(path_));
        } catch (...) {
        }
        rollback();
        downgrade();
        throw;
    }

    // 2. The changed pages, written in runs of consecutive pages, then synced.
    std::vector<std::uint32_t> pages;
    pages.reserve(dirty_.size());
    for (const auto& [page, data] : dirty_)
        pages.push_back(page);
    std::sort(pages.begin(), pages.end());
    try {
        std::vector<File::Piece> run;
        for (std::size_t i = 0; i < pages.size();) {
            std::size_t j = i + 1;
            while (j < pages.size() && pages[j] == pages[j - 1] + 1 && j - i < 256)
                ++j;
            run.clear();
            for (std::size_t k = i; k < j; ++k)
                run.push_back(File::Piece{dirty_[pages[k]], kPageSize});
            file_->writePieces(std::uint64_t{pages[i]} * kPageSize, run.data(), run.size());
            i = j;
        }
        file_->sync();
    } catch (...) {
        try {
            restoreFromMemory();
        } catch (...) {
            broken_ = true; // the journal stays; the next open rolls it back
        }
        rollback();
        downgrade();
        throw;
    }

    // 3. Retire the journal: from here on the new contents are the committed ones. The folder
    // is synced too: a removal that did not reach the disk would let the next open undo the
    // transaction after a power failure.
    try {
        fs_->remove(journalPath(path_));
        fs_->syncDirectory(path_);
    } catch (const Error& e) {
        // The new contents are in the file, but a journal that survives would undo them at the
        // next open. Stop using this handle so the caller learns about it.
        broken_ = true;
        keepDirtyPages();
        inTransaction_ = false;
        downgrade();
        throw Error(e.kind(),
                    "The changes were saved, but the journal '" + journalPath(path_) +
                        "' could not be removed; the next open may undo them: " + e.what());
    }

    keepDirtyPages();
    fileSize_ = std::uint64_t{pageCount_} * kPageSize;
    committedPageCount_ = pageCount_;
    inTransaction_ = false;
    downgrade();
}

} // namespace jet
