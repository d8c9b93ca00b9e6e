// A jet::FileSystem over the real files for tests of the routines: it can place every path
// under a root folder, and fail or stop at a chosen change (write, truncate, sync, remove,
// rename, folder sync), counted from the last faultAt().
//
// Fail: that one change throws and later ones work. Crash: that change and every later one
// throws, as if the process had died there; reads and locks still work so that the engine's
// clean-up runs, and the next open through another file system finds what reached the disk.
#pragma once

#include <cstdint>
#include <memory>
#include <string>

#include "jet/error.h"
#include "jet/file_system.h"

namespace dbtest {

class TestFileSystem final : public jet::FileSystem {
public:
    enum class Fault { Fail, Crash };

    /// Paths are prefixed with `root` (empty: used as they are).
    explicit TestFileSystem(std::string root = {}) : m_state(std::make_shared<State>()) {
        m_state->root = std::move(root);
    }

    /// Makes change number `n` (from now, 1-based) fail; 0 plans no fault.
    void faultAt(std::uint64_t n, Fault fault) {
        m_state->count = 0;
        m_state->faultAt = n;
        m_state->fault = fault;
        m_state->crashed = false;
    }
    std::uint64_t changes() const { return m_state->count; }

    std::unique_ptr<jet::File> open(const std::string& path, OpenFlags flags) override {
        if (flags == OpenFlags::CreateNew)
            step();
        return std::make_unique<TestFile>(m_native->open(mapped(path), flags), m_state);
    }
    bool exists(const std::string& path) override { return m_native->exists(mapped(path)); }
    void remove(const std::string& path) override {
        step();
        m_native->remove(mapped(path));
    }
    void renameNoReplace(const std::string& source, const std::string& target) override {
        step();
        m_native->renameNoReplace(mapped(source), mapped(target));
    }
    void syncDirectory(const std::string& path) override {
        step();
        m_native->syncDirectory(mapped(path));
    }

private:
    struct State {
        std::string root;
        std::uint64_t count = 0;
        std::uint64_t faultAt = 0;
        Fault fault = Fault::Fail;
        bool crashed = false;

        void step() {
            ++count;
            if (crashed)
                throw jet::Error(jet::ErrorKind::Io, "The process has stopped (simulated).");
            if (count != faultAt)
                return;
            if (fault == Fault::Crash)
                crashed = true;
            throw jet::Error(jet::ErrorKind::Io, "A write failed (simulated).");
        }
    };

    class TestFile final : public jet::File {
    public:
        TestFile(std::unique_ptr<jet::File> file, std::shared_ptr<State> state)
            : m_file(std::move(file)), m_state(std::move(state)) {}
        std::size_t readAt(std::uint64_t offset, void* buffer, std::size_t size) override {
            return m_file->readAt(offset, buffer, size);
        }
        void writeAt(std::uint64_t offset, const void* buffer, std::size_t size) override {
            m_state->step();
            m_file->writeAt(offset, buffer, size);
        }
        std::uint64_t size() override { return m_file->size(); }
        void truncate(std::uint64_t size) override {
            m_state->step();
            m_file->truncate(size);
        }
        void sync() override {
            m_state->step();
            m_file->sync();
        }
        bool tryLock(std::uint64_t offset, LockType type) override {
            return m_file->tryLock(offset, type);
        }
        void unlock(std::uint64_t offset) override { m_file->unlock(offset); }

    private:
        std::unique_ptr<jet::File> m_file;
        std::shared_ptr<State> m_state;
    };

    void step() { m_state->step(); }
    std::string mapped(const std::string& path) const { return m_state->root + path; }

    std::shared_ptr<State> m_state;
    std::shared_ptr<jet::FileSystem> m_native = jet::FileSystem::native();
};

} // namespace dbtest
