#include "memory_fs.h"

#include <algorithm>
#include <cstring>

namespace jettest {
namespace {

std::string folderOf(const std::string& path) {
    const auto slash = path.find_last_of('/');
    return slash == std::string::npos ? "." : path.substr(0, slash);
}

std::shared_ptr<MemoryFileSystem::Node>
nodeAt(const std::map<std::string, std::shared_ptr<MemoryFileSystem::Node>>& files,
       const std::string& path) {
    const auto it = files.find(path);
    return it == files.end() ? nullptr : it->second;
}

void applyWrite(std::vector<std::uint8_t>& data, const MemoryFileSystem::Write& w) {
    if (w.truncate) {
        data.resize(w.offset);
        return;
    }
    if (data.size() < w.offset + w.bytes.size())
        data.resize(w.offset + w.bytes.size());
    std::memcpy(data.data() + w.offset, w.bytes.data(), w.bytes.size());
}

class MemoryFile : public jet::File {
public:
    MemoryFile(std::shared_ptr<MemoryFileSystem> fs, std::shared_ptr<MemoryFileSystem::Node> node,
               bool writable)
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
    void change(MemoryFileSystem::Write w, const char* what) {
        fs_->step(what);
        applyWrite(node_->data, w);
        node_->pending.push_back(std::move(w));
    }

    std::shared_ptr<MemoryFileSystem> fs_;
    std::shared_ptr<MemoryFileSystem::Node> node_;
    bool writable_;
};

} // namespace

void MemoryFileSystem::faultAt(std::uint64_t n, Fault fault) {
    count_ = 0;
    faultAt_ = n;
    fault_ = fault;
}

void MemoryFileSystem::step(const char* what) {
    alive();
    ++count_;
    if (fault_ == Fault::None || count_ != faultAt_)
        return;
    const Fault f = fault_;
    fault_ = Fault::None;
    if (f == Fault::Crash) {
        crashed_ = true;
        throw Crash();
    }
    if (f == Fault::DiskFull)
        throw jet::Error(jet::ErrorKind::DiskFull, std::string("injected full disk at ") + what);
    throw jet::Error(jet::ErrorKind::Io, std::string("injected failure of ") + what);
}

void MemoryFileSystem::crashRecover(Recovery how, std::uint32_t seed) {
    std::mt19937 rng(seed);
    std::map<std::string, std::shared_ptr<Node>> after;
    auto recoverNode = [&](const std::shared_ptr<Node>& n) {
        auto fresh = std::make_shared<Node>();
        fresh->data = n->durable;
        // With Random, each unsynced write may be lost (0), reach the disk (1), or reach it only
        // in part (2: a torn write, cut at a 512-byte sector).
        for (const Write& w : n->pending) {
            const auto fate = how == Recovery::KeepAll  ? 1
                              : how == Recovery::Random ? rng() % 3
                                                        : 0;
            if (fate == 1) {
                applyWrite(fresh->data, w);
            } else if (fate == 2 && !w.truncate && w.bytes.size() > 512) {
                Write torn = w;
                torn.bytes.resize(512 * (1 + rng() % (w.bytes.size() / 512)));
                applyWrite(fresh->data, torn);
            }
        }
        fresh->durable = fresh->data;
        return fresh;
    };
    // Directory entries: synced ones survive; with KeepAll every current entry survives, and
    // with Random each unsynced change of an entry may or may not have reached the disk.
    auto names = files_;
    names.insert(durableFiles_.begin(), durableFiles_.end());
    for (const auto& [p, unused] : names) {
        const bool current = how == Recovery::KeepAll || (how == Recovery::Random && rng() % 2);
        if (auto pick = nodeAt(current ? files_ : durableFiles_, p))
            after[p] = recoverNode(pick);
    }
    files_ = after;
    durableFiles_ = after;
    crashed_ = false;
    fault_ = Fault::None;
    count_ = 0;
}

std::vector<std::uint8_t> MemoryFileSystem::contents(const std::string& path) const {
    const auto node = nodeAt(files_, path);
    return node ? node->data : std::vector<std::uint8_t>{};
}

void MemoryFileSystem::setContents(const std::string& path, std::vector<std::uint8_t> bytes) {
    files_[path] = durableFiles_[path] = std::make_shared<Node>(Node{bytes, bytes, {}});
}

std::shared_ptr<MemoryFileSystem> MemoryFileSystem::clone() const {
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

std::unique_ptr<jet::File> MemoryFileSystem::open(const std::string& path, OpenFlags flags) {
    alive();
    auto it = files_.find(path);
    if (flags == OpenFlags::CreateNew) {
        if (it != files_.end())
            throw jet::Error(jet::ErrorKind::AlreadyExists, "'" + path + "' exists");
        step("create");
        auto n = std::make_shared<Node>();
        files_[path] = n;
        return std::make_unique<MemoryFile>(shared_from_this(), n, true);
    }
    if (it == files_.end())
        throw jet::Error(jet::ErrorKind::NotFound, "Could not open '" + path + "': no such file.");
    return std::make_unique<MemoryFile>(shared_from_this(), it->second,
                                        flags != OpenFlags::ReadOnly);
}

bool MemoryFileSystem::exists(const std::string& path) {
    alive();
    return files_.count(path) != 0;
}

void MemoryFileSystem::remove(const std::string& path) {
    step("remove");
    files_.erase(path);
}

void MemoryFileSystem::renameNoReplace(const std::string& source, const std::string& target) {
    step("rename");
    if (files_.count(target))
        throw jet::Error(jet::ErrorKind::AlreadyExists, "'" + target + "' exists");
    auto it = files_.find(source);
    if (it == files_.end())
        throw jet::Error(jet::ErrorKind::NotFound, "'" + source + "' does not exist");
    files_[target] = it->second;
    files_.erase(it);
}

void MemoryFileSystem::syncDirectory(const std::string& path) {
    step("sync directory");
    const std::string folder = folderOf(path);
    for (auto it = durableFiles_.begin(); it != durableFiles_.end();)
        it = folderOf(it->first) == folder && !files_.count(it->first) ? durableFiles_.erase(it)
                                                                       : std::next(it);
    for (const auto& [p, n] : files_)
        if (folderOf(p) == folder)
            durableFiles_[p] = n;
}

} // namespace jettest
