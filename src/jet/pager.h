// Page access for one open database file: a cache of pages read, copy-on-write pages of the
// running transaction, the rollback journal and the advisory locks.
//
// Locking protocol (one-byte OFD locks far beyond any Jet file's 2 GB limit, so they never
// cover data other tools read):
//   kReadLock   shared by every open handle for its whole lifetime; taken exclusively by a
//               writer only while it commits, and by an Exclusive handle for its lifetime.
//   kWriterLock exclusive while a handle is open for writing: one writer at a time.
// (The next byte, 0x7FFFFF0002, is the program's: the hold of the window that has the file in
// use, db/file_hold.h. The engine never touches it.)
// A reader therefore never sees a half-written transaction, and a journal found while
// holding kReadLock was left by a writer that died: it is rolled back before anything is read.
//
// Journal ("<file>-journal" beside the database): the original contents of every page a
// transaction changes, written and synced before the database file is touched:
//   header  "TWKJRNL1", u32 page size, u64 original file size, u32 record count
//   records u32 page number, page bytes
//   trailer "TWKJEND1", u64 checksum of header and records
// A journal without a valid trailer was never complete, so the database was never touched
// and the journal is simply deleted.
#pragma once

#include "internal.h"

#include <cstdint>
#include <memory>
#include <string>
#include <unordered_map>
#include <vector>

#include "jet/database.h"
#include "jet/file_system.h"

namespace jet {

inline constexpr std::uint32_t kPageSize = 4096;

/// Page buffers for one pager, carved from 2 MiB blocks that the kernel may back with huge
/// pages: a table of a hundred thousand rows spans thousands of pages, and bringing fresh
/// memory in one small page at a time costs more than reading the file. A buffer given back is
/// reused, and the blocks of a closed database serve the next one (up to 8 MiB are kept).
/// Under AddressSanitizer every buffer is a heap block of its own instead, so that a
/// read past a page's end or through a page pointer kept too long is reported.
class PagePool {
public:
#if defined(__SANITIZE_ADDRESS__)
    static constexpr bool kSeparatePages = true;
#elif defined(__has_feature)
    static constexpr bool kSeparatePages = __has_feature(address_sanitizer);
#else
    static constexpr bool kSeparatePages = false;
#endif
    PagePool() = default;
    PagePool(const PagePool&) = delete;
    PagePool& operator=(const PagePool&) = delete;
    ~PagePool();
    /// A buffer of kPageSize bytes with undefined contents.
    std::uint8_t* take();
    void give(std::uint8_t* page);

private:
    std::vector<std::uint8_t*> blocks_;
    std::vector<std::uint8_t*> free_;
    std::uint8_t* next_ = nullptr; // the newest block's first buffer not handed out yet
    std::size_t left_ = 0;         // buffers left in the newest block
};

/// Memory for large arrays (from 256 KiB on) in the same kind of blocks, fresh or spare;
/// smaller arrays, and all under AddressSanitizer, come from the heap.
void* allocateLarge(std::size_t bytes);
void freeLarge(void* memory, std::size_t bytes) noexcept;

/// An allocator for the engine's large arrays, such as the row list of a big table.
template <typename T> struct LargeAllocator {
    using value_type = T;
    LargeAllocator() = default;
    template <typename U> LargeAllocator(const LargeAllocator<U>&) noexcept {}
    T* allocate(std::size_t n) { return static_cast<T*>(allocateLarge(n * sizeof(T))); }
    void deallocate(T* p, std::size_t n) noexcept { freeLarge(p, n * sizeof(T)); }
    template <typename U> bool operator==(const LargeAllocator<U>&) const noexcept { return true; }
};

class Pager {
public:
    static constexpr std::uint64_t kReadLock = 0x7FFFFF0000ULL;
    static constexpr std::uint64_t kWriterLock = kReadLock + 1;

    /// Opens `path` and takes the locks of `options.mode`, rolling back a hot journal.
    Pager(const std::string& path, const OpenOptions& options);
    ~Pager();

    const std::string& path() const { return path_; }
    bool writable() const { return mode_ != OpenMode::ReadOnly; }
    OpenMode mode() const { return mode_; }

    /// Pages in the file, including pages appended by the running transaction.
    std::uint32_t pageCount() const { return pageCount_; }
    /// Bytes in the file when it was opened or last committed (may not be whole pages).
    std::uint64_t fileSize() const { return fileSize_; }

    /// A page's bytes, valid until the next call that changes this pager's state.
    /// Throws Corrupt when the page lies beyond the end of the file.
    const std::uint8_t* read(std::uint32_t page);
    /// The first byte (the page type) of each page, for pages the caller does not mean to read:
    /// uncached pages are read through a small buffer and not kept.
    std::vector<std::uint8_t> pageTypes(const std::vector<std::uint32_t>& pages);
    /// Lets go of a page read earlier and not changed: its memory serves the next page read.
    /// Readers of a table call it behind them, so that reading a large table takes little
    /// memory. Pointers to the page become stale (the epoch changes).
    void drop(std::uint32_t page);
    /// The page's bytes for changing; needs a transaction.
    std::uint8_t* write(std::uint32_t page);
    /// A new zero-filled page at the end of the file; needs a transaction.
    std::uint32_t append();
    /// Takes over a page that was free when the transaction began: zero-filled, and not saved
    /// in the journal, since nothing refers to its old contents. The caller vouches that the
    /// page is free.
    std::uint8_t* adopt(std::uint32_t page);

    void begin();
    void commit();
    void rollback();
    bool inTransaction() const { return inTransaction_; }
    /// Changes whenever a page pointer handed out earlier may have become stale.
    std::uint64_t epoch() const { return epoch_; }
    bool changed() const { return !dirty_.empty(); }

    /// Journal path for a database path.
    static std::string journalPath(const std::string& path) { return path + "-journal"; }

private:
    void acquire(std::uint64_t offset, File::LockType type, const char* why);
    void recoverIfHot();
    void acquireOn(File& file, std::uint64_t offset, File::LockType type, const char* why);
    bool rollBackJournal(File& out); // true when a journal existed
    void writeJournal();
    void restoreFromMemory();
    std::uint8_t* load(std::uint32_t page);
    std::uint8_t* zeroPage();
    /// The changed pages become the cached ones (their old buffers are given back).
    void keepDirtyPages();

    std::string path_;
    std::shared_ptr<FileSystem> fs_;
    std::unique_ptr<File> file_;
    OpenMode mode_;
    int lockTimeoutMs_;

    std::uint64_t fileSize_ = 0;
    std::uint32_t pageCount_ = 0;                            // current, with appended pages
    std::uint32_t committedPageCount_ = 0;                   // at the start of the transaction
    PagePool pool_;                                          // owns every buffer below
    std::vector<std::uint8_t*> cache_;                       // committed pages read, by number
    std::unordered_map<std::uint32_t, std::uint8_t*> dirty_; // this transaction's copies
    std::unordered_map<std::uint32_t, bool> adopted_;        // free pages taken in this transaction
    bool inTransaction_ = false;
    bool broken_ = false; // a failed commit could not be undone in the file: reopen to recover
    std::uint64_t epoch_ = 0;
};

} // namespace jet
