// An in-memory file system for engine tests that can fail, or simulate a crash, at a chosen
// write, sync, truncate, remove or rename. Every file keeps its current bytes and its durable bytes
// (as of its last sync); directory entries become durable when their folder is synced. A simulated
// crash makes every later call throw; crashRecover() then keeps, drops, or randomly keeps, loses or
// tears the writes that were not synced, as a power failure may.
#pragma once

#include <algorithm>
#include <cstdint>
#include <cstring>
#include <map>
#include <memory>
#include <random>
#include <string>
#include <utility>
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
    void faultAt(std::uint64_t n, Fault fault) {
        count_ = 0;
        faultAt_ = n;
        fault_ = fault;
    }
    /// Operations (writes, syncs, truncates, removes, renames, directory syncs) since the file
    /// system was made or the last faultAt() or crashRecover().
    std::uint64_t operations() const { return count_; }
    /// Throws Crash after a simulated crash, until crashRecover().
    void alive() const {
        if (crashed_)
            throw Crash();
    }

    /// After a crash: rebuilds the files as a restart would find them.
    void crashRecover(Recovery how, std::uint32_t seed = 0) {
        std::mt19937 rng(seed);
        auto recoverNode = [&](const std::shared_ptr<Node>& n) {
            auto fresh = std::make_shared<Node>();
            fresh->data = n->durable;
            // With Random, each unsynced write may be lost (0), reach the disk (1), or reach it
            // only in part (2: a torn write, cut at a 512-byte sector).
            for (const Write& w : n->pending) {
                const auto fate = how == Recovery::KeepAll  ? 1
                                  : how == Recovery::Random ? rng() % 3
                                                            : 0;
                if (fate == 1) {
                    apply(fresh->data, w);
                } else if (fate == 2 && !w.truncate && w.bytes.size() > 512) {
                    Write torn = w;
                    torn.bytes.resize(512 * (1 + rng() % (w.bytes.size() / 512)));
                    apply(fresh->data, torn);
                }
            }
            fresh->durable = fresh->data;
            return fresh;
        };
        // Directory entries: synced ones survive; with KeepAll every current entry survives, and
        // with Random each unsynced change of an entry may or may not have reached the disk.
        auto names = files_;
        names.insert(durableFiles_.begin(), durableFiles_.end());
        Files after;
        for (const auto& [p, unused] : names) {
            const bool current = how == Recovery::KeepAll || (how == Recovery::Random && rng() % 2);
            if (auto pick = nodeAt(current ? files_ : durableFiles_, p))
                after[p] = recoverNode(pick);
        }
        files_ = durableFiles_ = after;
        crashed_ = false;
        fault_ = Fault::None;
        count_ = 0;
    }

    /// Direct access for tests: the current bytes of a file (empty when absent).
    std::vector<std::uint8_t> contents(const std::string& path) const {
        const auto node = nodeAt(files_, path);
        return node ? node->data : std::vector<std::uint8_t>{};
    }
    void setContents(const std::string& path, std::vector<std::uint8_t> bytes) {
        files_[path] = durableFiles_[path] = std::make_shared<Node>(Node{bytes, bytes, {}});
    }
    /// A deep copy of the current and durable state (no faults).
    std::shared_ptr<MemoryFileSystem> clone() const {
        auto copy = std::make_shared<MemoryFileSystem>();
        std::map<const Node*, std::shared_ptr<Node>> copies;
        auto dup = [&](const std::shared_ptr<Node>& n) {
            auto& c = copies[n.get()];
            if (!c)
                c = std::make_shared<Node>(*n);
            return c;
        };
        for (const auto& [p, n] : files_)
            copy->files_[p] = dup(n);
        for (const auto& [p, n] : durableFiles_)
            copy->durableFiles_[p] = dup(n);
        return copy;
    }

    std::unique_ptr<jet::File> open(const std::string& path, OpenFlags flags) override {
        alive();
        auto it = files_.find(path);
        if (flags == OpenFlags::CreateNew) {
            if (it != files_.end())
                throw jet::Error(jet::ErrorKind::AlreadyExists, "'" + path + "' exists");
            step("create");
            it = files_.emplace(path, std::make_shared<Node>()).first;
        } else if (it == files_.end()) {
            throw jet::Error(jet::ErrorKind::NotFound,
                             "Could not open '" + path + "': no such file.");
        }
        return std::make_unique<MemoryFile>(shared_from_this(), it->second,
                                            flags != OpenFlags::ReadOnly);
    }
    bool exists(const std::string& path) override {
        alive();
        return files_.count(path) != 0;
    }
    void remove(const std::string& path) override {
        step("remove");
        files_.erase(path);
    }
    void renameNoReplace(const std::string& source, const std::string& target) override {
        step("rename");
        if (files_.count(target))
            throw jet::Error(jet::ErrorKind::AlreadyExists, "'" + target + "' exists");
        auto it = files_.find(source);
        if (it == files_.end())
            throw jet::Error(jet::ErrorKind::NotFound, "'" + source + "' does not exist");
        files_[target] = it->second;
        files_.erase(it);
    }
    void syncDirectory(const std::string& path) override {
        step("sync directory");
        const std::string folder = folderOf(path);
        for (auto it = durableFiles_.begin(); it != durableFiles_.end();)
            it = folderOf(it->first) == folder && !files_.count(it->first) ? durableFiles_.erase(it)
                                                                           : std::next(it);
        for (const auto& [p, n] : files_)
            if (folderOf(p) == folder)
                durableFiles_[p] = n;
    }

private:
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
    using Files = std::map<std::string, std::shared_ptr<Node>>;

    class MemoryFile : public jet::File {
    public:
        MemoryFile(std::shared_ptr<MemoryFileSystem> fs, std::shared_ptr<Node> node, bool writable)
            : fs_(std::move(fs)), node_(std::move(node)), writable_(writable) {}
        std::size_t readAt(std::uint64_t offset, void* buffer, std::size_t size) override {
            fs_->alive();
            if (offset >= node_->data.size())
                return 0;
            const std::size_t n = std::min<std::size_t>(size, node_->data.size() - offset);
            std::memcpy(buffer, node_->data.data() + offset, n);
            return n;
        }
        void writeAt(std::uint64_t offset, const void* buffer, std::size_t size) override {
            if (!writable_)
                throw jet::Error(jet::ErrorKind::Io, "write to a read-only file");
            const auto* bytes = static_cast<const std::uint8_t*>(buffer);
            change({offset, {bytes, bytes + size}, false}, "write");
        }
        std::uint64_t size() override {
            fs_->alive();
            return node_->data.size();
        }
        void truncate(std::uint64_t size) override { change({size, {}, true}, "truncate"); }
        void sync() override {
            fs_->step("sync");
            node_->durable = node_->data;
            node_->pending.clear();
        }
        // One process's view: locks always succeed (the lock tests use real files).
        bool tryLock(std::uint64_t, LockType) override { return true; }
        void unlock(std::uint64_t) override {}

    private:
        void change(Write w, const char* what) {
            fs_->step(what);
            apply(node_->data, w);
            node_->pending.push_back(std::move(w));
        }

        std::shared_ptr<MemoryFileSystem> fs_;
        std::shared_ptr<Node> node_;
        bool writable_;
    };

    /// Counts one operation and applies the planned fault; throws for Fail/DiskFull/Crash.
    void step(const char* what) {
        alive();
        ++count_;
        if (fault_ == Fault::None || count_ != faultAt_)
            return;
        const Fault f = std::exchange(fault_, Fault::None);
        if (f == Fault::Crash) {
            crashed_ = true;
            throw Crash();
        }
        if (f == Fault::DiskFull)
            throw jet::Error(jet::ErrorKind::DiskFull,
                             std::string("injected full disk at ") + what);
        throw jet::Error(jet::ErrorKind::Io, std::string("injected failure of ") + what);
    }

    static std::string folderOf(const std::string& path) {
        const auto slash = path.find_last_of('/');
        return slash == std::string::npos ? "." : path.substr(0, slash);
    }
    static std::shared_ptr<Node> nodeAt(const Files& files, const std::string& path) {
        const auto it = files.find(path);
        return it == files.end() ? nullptr : it->second;
    }
    static void apply(std::vector<std::uint8_t>& data, const Write& w) {
        if (w.truncate) {
            data.resize(w.offset);
            return;
        }
        if (data.size() < w.offset + w.bytes.size())
            data.resize(w.offset + w.bytes.size());
        std::memcpy(data.data() + w.offset, w.bytes.data(), w.bytes.size());
    }

    Files files_;
    Files durableFiles_; // the directory as last synced
    std::uint64_t count_ = 0;
    std::uint64_t faultAt_ = 0;
    Fault fault_ = Fault::None;
    bool crashed_ = false;
};

} // namespace jettest
