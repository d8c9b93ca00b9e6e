// Little-endian and big-endian integer encoding, and bounds-checked views of byte ranges.
// Every byte the engine reads from or writes to a page goes through these helpers.
#pragma once

#include "internal.h"

#include <cstddef>
#include <cstdint>
#include <cstring>
#include <string>

#include "jet/error.h"

namespace jet::bytes {

inline std::uint16_t u16(const std::uint8_t* p) {
    return static_cast<std::uint16_t>(p[0] | (p[1] << 8));
}
inline std::uint32_t u24(const std::uint8_t* p) {
    return static_cast<std::uint32_t>(p[0]) | (static_cast<std::uint32_t>(p[1]) << 8) |
           (static_cast<std::uint32_t>(p[2]) << 16);
}
inline std::uint32_t u32(const std::uint8_t* p) {
    return static_cast<std::uint32_t>(p[0]) | (static_cast<std::uint32_t>(p[1]) << 8) |
           (static_cast<std::uint32_t>(p[2]) << 16) | (static_cast<std::uint32_t>(p[3]) << 24);
}
inline std::uint64_t u64(const std::uint8_t* p) {
    return static_cast<std::uint64_t>(u32(p)) | (static_cast<std::uint64_t>(u32(p + 4)) << 32);
}
inline std::int16_t i16(const std::uint8_t* p) {
    return static_cast<std::int16_t>(u16(p));
}
inline std::int32_t i32(const std::uint8_t* p) {
    return static_cast<std::int32_t>(u32(p));
}
inline std::int64_t i64(const std::uint8_t* p) {
    return static_cast<std::int64_t>(u64(p));
}
inline double f64(const std::uint8_t* p) {
    std::uint64_t bits = u64(p);
    double d;
    std::memcpy(&d, &bits, sizeof d);
    return d;
}
inline float f32(const std::uint8_t* p) {
    std::uint32_t bits = u32(p);
    float f;
    std::memcpy(&f, &bits, sizeof f);
    return f;
}
/// Big-endian, as index keys and index entry pointers store numbers.
inline std::uint32_t u24be(const std::uint8_t* p) {
    return (static_cast<std::uint32_t>(p[0]) << 16) | (static_cast<std::uint32_t>(p[1]) << 8) |
           p[2];
}
inline std::uint32_t u32be(const std::uint8_t* p) {
    return (static_cast<std::uint32_t>(p[0]) << 24) | u24be(p + 1);
}

inline void put16(std::uint8_t* p, std::uint32_t v) {
    p[0] = static_cast<std::uint8_t>(v);
    p[1] = static_cast<std::uint8_t>(v >> 8);
}
inline void put24(std::uint8_t* p, std::uint32_t v) {
    put16(p, v);
    p[2] = static_cast<std::uint8_t>(v >> 16);
}
inline void put32(std::uint8_t* p, std::uint32_t v) {
    put16(p, v);
    put16(p + 2, v >> 16);
}
inline void put64(std::uint8_t* p, std::uint64_t v) {
    put32(p, static_cast<std::uint32_t>(v));
    put32(p + 4, static_cast<std::uint32_t>(v >> 32));
}
inline void putF64(std::uint8_t* p, double d) {
    std::uint64_t bits;
    std::memcpy(&bits, &d, sizeof bits);
    put64(p, bits);
}
inline void put24be(std::uint8_t* p, std::uint32_t v) {
    p[0] = static_cast<std::uint8_t>(v >> 16);
    p[1] = static_cast<std::uint8_t>(v >> 8);
    p[2] = static_cast<std::uint8_t>(v);
}
inline void put32be(std::uint8_t* p, std::uint32_t v) {
    p[0] = static_cast<std::uint8_t>(v >> 24);
    put24be(p + 1, v);
}

/// Appends little-endian values to a growing byte string.
inline void append16(std::string& out, std::uint32_t v) {
    const std::size_t at = out.size();
    out.resize(at + 2);
    put16(reinterpret_cast<std::uint8_t*>(out.data() + at), v);
}
inline void append32(std::string& out, std::uint32_t v) {
    const std::size_t at = out.size();
    out.resize(at + 4);
    put32(reinterpret_cast<std::uint8_t*>(out.data() + at), v);
}
inline void append64(std::string& out, std::uint64_t v) {
    const std::size_t at = out.size();
    out.resize(at + 8);
    put64(reinterpret_cast<std::uint8_t*>(out.data() + at), v);
}
inline void appendF64(std::string& out, double d) {
    std::uint64_t bits;
    std::memcpy(&bits, &d, sizeof bits);
    append64(out, bits);
}

/// A read-only byte range whose accessors check bounds and throw Corrupt with `what`
/// naming the structure being read.
class View {
public:
    View() = default;
    View(const std::uint8_t* data, std::size_t size, const char* what = "record")
        : data_(data), size_(size), what_(what) {}

    const std::uint8_t* data() const { return data_; }
    std::size_t size() const { return size_; }
    bool empty() const { return size_ == 0; }

    void need(std::size_t offset, std::size_t count) const {
        if (offset > size_ || count > size_ - offset)
            fail(offset, count);
    }
    std::uint8_t u8(std::size_t o) const {
        need(o, 1);
        return data_[o];
    }
    std::uint16_t u16(std::size_t o) const {
        need(o, 2);
        return bytes::u16(data_ + o);
    }
    std::uint32_t u32(std::size_t o) const {
        need(o, 4);
        return bytes::u32(data_ + o);
    }
    std::int32_t i32(std::size_t o) const {
        need(o, 4);
        return bytes::i32(data_ + o);
    }
    double f64(std::size_t o) const {
        need(o, 8);
        return bytes::f64(data_ + o);
    }
    View sub(std::size_t offset, std::size_t count) const {
        need(offset, count);
        return View(data_ + offset, count, what_);
    }
    const std::uint8_t* at(std::size_t offset, std::size_t count) const {
        need(offset, count);
        return data_ + offset;
    }

private:
    [[noreturn]] void fail(std::size_t offset, std::size_t count) const;
    const std::uint8_t* data_ = nullptr;
    std::size_t size_ = 0;
    const char* what_ = "record";
};

} // namespace jet::bytes
