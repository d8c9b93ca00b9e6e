// An in-memory file system for engine tests that can fail, or simulate a crash, at a chosen
// write, sync, truncate, remove or rename.
//
// Every file keeps its current bytes and its durable bytes (as of its last sync); directory
// entries become durable when their folder is synced. A simulated crash makes every later
// call throw; crashRecover() then keeps, drops, or randomly keeps, loses or tears the writes
// that were not synced, as a power failure may.
#pragma once

#include <cstdint>
#include <map>
#include <memory>
#include <random>
#include <string>
#include <vector>

#include "jet/error.h"
#include "jet/file_system.h"

namespace jettest {

struct Crash : std::runtime_error {
    Crash() : std::runtime_error("simulated crash") {}
};

class MemoryFileSystem : public jet::FileSystem,
                         public std::enable_shared_from_this<MemoryFileSystem> {
public:
    enum class Fault { None, Fail, DiskFull, Crash };
    enum class Recovery { KeepAll, DropUnsynced, Random };

    /// Makes operation number `n` (counted from now, 1-based) fail in the given way.
    void faultAt(std::uint64_t n, Fault fault);
    /// Operations (writes, syncs, truncates, removes, renames, directory syncs) since the file
    /// system was made or the last faultAt() or crashRecover().
    std::uint64_t operations() const { return count_; }
    /// Throws Crash after a simulated crash, until crashRecover().
    void alive() const {
        if (crashed_)
            throw Crash();
    }
    /// After a crash: rebuilds the files as a restart would find them.
    void crashRecover(Recovery how, std::uint32_t seed = 0);

    /// Direct access for tests: the current bytes of a file (empty when absent).
    std::vector<std::uint8_t> contents(const std::string& path) const;
    void setContents(const std::string& path, std::vector<std::uint8_t> bytes);
    /// A deep copy of the current and durable state (no faults).
    std::shared_ptr<MemoryFileSystem> clone() const;

    std::unique_ptr<jet::File> open(const std::string& path, OpenFlags flags) override;
    bool exists(const std::string& path) override;
    void remove(const std::string& path) override;
    void renameNoReplace(const std::string& source, const std::string& target) override;
    void syncDirectory(const std::string& path) override;

    struct Write {
        std::uint64_t offset = 0;
        std::vector<std::uint8_t> bytes; // empty + truncate flag: a truncate to `offset`
        bool truncate = false;
    };
    struct Node {
        std::vector<std::uint8_t> data;
        std::vector<std::uint8_t> durable;
        std::vector<Write> pending; // since the last sync, in order
    };

    /// Counts one operation and applies the planned fault; throws for Fail/DiskFull/Crash.
    void step(const char* what);

private:
    std::map<std::string, std::shared_ptr<Node>> files_;
    std::map<std::string, std::shared_ptr<Node>> durableFiles_; // directory as last synced
    std::uint64_t count_ = 0;
    std::uint64_t faultAt_ = 0;
    Fault fault_ = Fault::None;
    bool crashed_ = false;
};

} // namespace jettest
